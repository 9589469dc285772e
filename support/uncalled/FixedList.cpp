#include "FixedList.h"

#include <cstdlib>
#include <cstring>

namespace {

FixedListNode* NewNode(const FixedList* list, const void* element)
{
    if (list->count >= FIXED_LIST_MAX_COUNT) return nullptr;
    FixedListNode* node = static_cast<FixedListNode*>(std::malloc(sizeof(FixedListNode)));
    if (!node) return nullptr;
    node->element = std::calloc(1, list->elementSize ? list->elementSize : 1);
    if (!node->element) {
        std::free(node);
        return nullptr;
    }
    std::memcpy(node->element, element, list->elementSize);
    node->next = nullptr;
    node->prev = nullptr;
    return node;
}

void FreeNode(FixedListNode* node)
{
    std::free(node->element);
    std::free(node);
}

void Unlink(FixedList* list, FixedListNode* node)
{
    if (node->prev) node->prev->next = node->next;
    else list->head = node->next;
    if (node->next) node->next->prev = node->prev;
    else list->tail = node->prev;
    --list->count;
    FreeNode(node);
}

}  // namespace

FixedList* FixedListInit(FixedList* list, uint32_t elementSize)
{
    list->count = 0;
    list->head = nullptr;
    list->tail = nullptr;
    list->elementSize = elementSize;
    return list;
}

FixedList* FixedListClear(FixedList* list)
{
    FixedListNode* node = list->head;
    while (node) {
        FixedListNode* next = node->next;
        FreeNode(node);
        node = next;
    }
    list->count = 0;
    list->head = nullptr;
    list->tail = nullptr;
    return list;
}

FixedList* FixedListDestroy(FixedList* list)
{
    FixedListClear(list);
    list->elementSize = 0;
    return list;
}

FixedListNode* FixedListPushFront(FixedList* list, const void* element)
{
    FixedListNode* node = NewNode(list, element);
    if (!node) return nullptr;
    node->next = list->head;
    if (list->head) list->head->prev = node;
    else list->tail = node;
    list->head = node;
    ++list->count;
    return node;
}

FixedListNode* FixedListPushBack(FixedList* list, const void* element)
{
    FixedListNode* node = NewNode(list, element);
    if (!node) return nullptr;
    node->prev = list->tail;
    if (list->tail) list->tail->next = node;
    else list->head = node;
    list->tail = node;
    ++list->count;
    return node;
}

FixedListNode* FixedListInsertBefore(FixedList* list, FixedListNode* node, const void* element)
{
    if (!node || node == list->head) return FixedListPushFront(list, element);
    FixedListNode* added = NewNode(list, element);
    if (!added) return nullptr;
    added->next = node;
    added->prev = node->prev;
    node->prev->next = added;
    node->prev = added;
    ++list->count;
    return added;
}

FixedListNode* FixedListInsertAfter(FixedList* list, FixedListNode* node, const void* element)
{
    if (!node || node == list->tail) return FixedListPushBack(list, element);
    FixedListNode* added = NewNode(list, element);
    if (!added) return nullptr;
    added->prev = node;
    added->next = node->next;
    node->next->prev = added;
    node->next = added;
    ++list->count;
    return added;
}

// Removing from an empty list does nothing rather than touching a null node.
FixedList* FixedListPopFront(FixedList* list, void* out)
{
    if (!list->head) return list;
    if (out) std::memcpy(out, list->head->element, list->elementSize);
    Unlink(list, list->head);
    return list;
}

FixedList* FixedListPopBack(FixedList* list, void* out)
{
    if (!list->tail) return list;
    if (out) std::memcpy(out, list->tail->element, list->elementSize);
    Unlink(list, list->tail);
    return list;
}

FixedList* FixedListRemove(FixedList* list, FixedListNode* node)
{
    if (node) Unlink(list, node);
    return list;
}

FixedListNode* FixedListAt(const FixedList* list, int index)
{
    if (index < 0 || index >= list->count) return nullptr;
    FixedListNode* node = list->head;
    while (index-- > 0) node = node->next;
    return node;
}

FixedListNode* FixedListFind(const FixedList* list, const void* key, uint32_t byteCount,
                             FixedListNode* after)
{
    if (byteCount > list->elementSize) return nullptr;
    for (FixedListNode* node = after ? after->next : list->head; node; node = node->next)
        if (std::memcmp(node->element, key, byteCount) == 0) return node;
    return nullptr;
}

FixedListNode* FixedListFindIf(const FixedList* list, const void* key, FixedListCompare compare,
                               FixedListNode* after)
{
    for (FixedListNode* node = after ? after->next : list->head; node; node = node->next)
        if (compare(key, node->element) == 0) return node;
    return nullptr;
}

int16_t FixedListCount(const FixedList* list) { return list->count; }
int FixedListIsEmpty(const FixedList* list) { return list->count == 0 ? 1 : 0; }
uint32_t FixedListElementSize(const FixedList* list) { return list->elementSize; }
FixedListNode* FixedListHead(const FixedList* list) { return list->head; }
FixedListNode* FixedListTail(const FixedList* list) { return list->tail; }

void FixedListFront(const FixedList* list, void* out)
{
    if (list->head) std::memcpy(out, list->head->element, list->elementSize);
}

void FixedListBack(const FixedList* list, void* out)
{
    if (list->tail) std::memcpy(out, list->tail->element, list->elementSize);
}

FixedListNode* FixedListNext(const FixedList* list, FixedListNode* node, void* out)
{
    std::memcpy(out, node->element, list->elementSize);
    return node->next;
}

FixedListNode* FixedListPrev(const FixedList* list, FixedListNode* node, void* out)
{
    std::memcpy(out, node->element, list->elementSize);
    return node->prev;
}

void FixedListGet(const FixedList* list, const FixedListNode* node, void* out)
{
    std::memcpy(out, node->element, list->elementSize);
}

void FixedListSet(FixedList* list, FixedListNode* node, const void* element)
{
    std::memcpy(node->element, element, list->elementSize);
}

namespace {

void PutLe(unsigned char* p, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

uint32_t GetLe(const unsigned char* p, int bytes)
{
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
    return v;
}

// The bytes from the stream's position to its end, or -1 when it cannot tell.
long long RemainingBytes(FILE* stream)
{
    long here = std::ftell(stream);
    if (here < 0 || std::fseek(stream, 0, SEEK_END) != 0) return -1;
    long end = std::ftell(stream);
    if (std::fseek(stream, here, SEEK_SET) != 0 || end < here) return -1;
    return static_cast<long long>(end) - here;
}

}  // namespace

int FixedListSave(FILE* stream, const FixedList* list)
{
    unsigned char header[6];
    PutLe(header, list->elementSize, 4);
    PutLe(header + 4, static_cast<uint16_t>(list->count), 2);
    if (std::fwrite(header, 1, sizeof header, stream) != sizeof header) return 0;
    for (FixedListNode* node = list->head; node; node = node->next)
        if (list->elementSize &&
            std::fwrite(node->element, list->elementSize, 1, stream) != 1)
            return 0;
    return 1;
}

int FixedListLoad(FILE* stream, FixedList* list)
{
    unsigned char size[4], count[2];
    if (std::fread(size, 1, sizeof size, stream) != sizeof size) return 0;
    if (std::fread(count, 1, sizeof count, stream) != sizeof count) return 0;
    FixedListClear(list);
    FixedListInit(list, GetLe(size, 4));
    const int16_t stored = static_cast<int16_t>(GetLe(count, 2));
    if (stored < 0) return 0;
    if (stored == 0) return 1;
    // A header is no reason to allocate: the elements it names must be there.
    long long remaining = RemainingBytes(stream);
    if (remaining < 0 ||
        static_cast<unsigned long long>(stored) * list->elementSize >
            static_cast<unsigned long long>(remaining))
        return 0;
    void* element = std::malloc(list->elementSize ? list->elementSize : 1);
    if (!element) return 0;
    int ok = 1;
    for (int i = 0; i < stored && ok; ++i) {
        ok = (list->elementSize == 0 || std::fread(element, list->elementSize, 1, stream) == 1) &&
             FixedListPushBack(list, element) != nullptr;
    }
    std::free(element);
    if (!ok || list->count != stored) {
        FixedListClear(list);
        return 0;
    }
    return 1;
}
