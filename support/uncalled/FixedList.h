// Doubly linked list of elements of one fixed byte size, copied in and out by
// value, with a stream format to save and load a whole list.
#pragma once

#include <cstdint>
#include <cstdio>

struct FixedListNode {
    FixedListNode* next;
    FixedListNode* prev;
    void* element;
};

#pragma pack(push, 1)
struct FixedList {
    int16_t count;
    FixedListNode* head;
    FixedListNode* tail;
    uint32_t elementSize;
};
#pragma pack(pop)

const int FIXED_LIST_MAX_COUNT = 32767;

FixedList* FixedListInit(FixedList* list, uint32_t elementSize);
FixedList* FixedListClear(FixedList* list);
FixedList* FixedListDestroy(FixedList* list);
FixedListNode* FixedListPushFront(FixedList* list, const void* element);
FixedListNode* FixedListPushBack(FixedList* list, const void* element);
FixedListNode* FixedListInsertBefore(FixedList* list, FixedListNode* node, const void* element);
FixedListNode* FixedListInsertAfter(FixedList* list, FixedListNode* node, const void* element);
FixedList* FixedListPopFront(FixedList* list, void* out);
FixedList* FixedListPopBack(FixedList* list, void* out);
FixedList* FixedListRemove(FixedList* list, FixedListNode* node);
FixedListNode* FixedListAt(const FixedList* list, int index);
FixedListNode* FixedListFind(const FixedList* list, const void* key, uint32_t byteCount,
                             FixedListNode* after);
typedef int (*FixedListCompare)(const void* key, const void* element);
FixedListNode* FixedListFindIf(const FixedList* list, const void* key, FixedListCompare compare,
                               FixedListNode* after);
int16_t FixedListCount(const FixedList* list);
int FixedListIsEmpty(const FixedList* list);
uint32_t FixedListElementSize(const FixedList* list);
FixedListNode* FixedListHead(const FixedList* list);
FixedListNode* FixedListTail(const FixedList* list);
void FixedListFront(const FixedList* list, void* out);
void FixedListBack(const FixedList* list, void* out);
FixedListNode* FixedListNext(const FixedList* list, FixedListNode* node, void* out);
FixedListNode* FixedListPrev(const FixedList* list, FixedListNode* node, void* out);
void FixedListGet(const FixedList* list, const FixedListNode* node, void* out);
void FixedListSet(FixedList* list, FixedListNode* node, const void* element);
int FixedListSave(FILE* stream, const FixedList* list);
// Loads nothing (0) from a stream that holds fewer bytes than its header names
// or that cannot tell how many it holds.
int FixedListLoad(FILE* stream, FixedList* list);
