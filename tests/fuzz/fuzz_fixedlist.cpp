// The fixed-element list. Read first: an element size (0 to 64 bytes), the
// length of a stream part and that part, then up to 128 operations, each with
// its index, counts and flags before its element bytes.
// The stream part is loaded: a failed load leaves an empty list; a list that
// loads holds no more elements than the stream, saves back as it was stored,
// and at the maximum count takes no more. The loaded list (when it holds at
// most 1024 elements of 64 bytes or fewer) or an empty one of the element size
// then takes pushes at both ends, inserts before and after a node picked by
// index, pops at both ends with and without out, removes, at, find with a byte
// count (up to one more than the element size) and find-if behind a node, set
// and get, front and back, next and previous walks, clear, and a save loaded
// back into the same list, all against a model of the element bytes: after
// every operation the count, the order both ways and every position a call
// gives agree with the model, and at the end a save loads back to the model.
#include <string>
#include <vector>

#include "FixedList.h"
#include "FuzzInput.h"

namespace {

const uint32_t kMaxElementSize = 64;
const int kMaxOperations = 128;
// Walking a longer list after every operation would make the runs crawl.
const size_t kMaxOperatedCount = 1024;

using Model = std::vector<std::string>;

// The byte count FindIf's compare function looks at.
size_t g_compareSize = 0;

int CompareBytes(const void* key, const void* element) { return std::memcmp(key, element, g_compareSize); }

bool Holds(const FixedListNode* node, const std::string& element)
{
    return std::memcmp(node->element, element.data(), element.size()) == 0;
}

// The links both ways against the model.
void CheckList(const FixedList& list, const Model& model)
{
    const size_t count = model.size();
    Expect(FixedListCount(&list) == static_cast<int>(count), "the count is the model's");
    Expect((FixedListIsEmpty(&list) != 0) == model.empty(), "empty when the model is");
    const FixedListNode* node = FixedListHead(&list);
    const FixedListNode* last = nullptr;
    bool inOrder = true;
    size_t i = 0;
    for (; i < count && node; ++i, last = node, node = node->next)
        inOrder = inOrder && node->prev == last && Holds(node, model[i]);
    Expect(inOrder && i == count && !node && FixedListTail(&list) == last,
           "the elements in the model's order from the head");
    node = FixedListTail(&list);
    const FixedListNode* first = nullptr;
    for (; i > 0 && node; --i, first = node, node = node->prev)
        inOrder = inOrder && node->next == first && Holds(node, model[i - 1]);
    Expect(inOrder && i == 0 && !node && FixedListHead(&list) == first,
           "the elements in the model's order from the tail");
}

// A node's position from the head, -1 for null.
long PositionOf(const FixedList& list, const FixedListNode* node)
{
    if (!node) return -1;
    long at = 0;
    for (const FixedListNode* n = FixedListHead(&list); n; n = n->next, ++at)
        if (n == node) return at;
    Expect(false, "a node given is in the list");
    return -1;
}

// The first element from start whose first count bytes are the key's, or -1.
long FindInModel(const Model& model, const std::string& key, size_t count, size_t start)
{
    for (size_t i = start; i < model.size(); ++i)
        if (model[i].compare(0, count, key, 0, count) == 0) return static_cast<long>(i);
    return -1;
}

std::string Saved(const FixedList& list)
{
    char* saved = nullptr;
    size_t savedSize = 0;
    FILE* out = open_memstream(&saved, &savedSize);
    Expect(out != nullptr, "a stream to save into");
    Expect(FixedListSave(out, &list) == 1, "a list saves");
    std::fclose(out);
    std::string bytes(saved, savedSize);
    std::free(saved);
    return bytes;
}

// Loads bytes into list, 0 when no stream could be made of them.
int Load(const std::string& bytes, FixedList* list)
{
    FILE* stream = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
    if (!stream) return 0;
    const int loaded = FixedListLoad(stream, list);
    std::fclose(stream);
    return loaded;
}

// The stream part loaded; the model of what loaded, or nothing when it did not.
bool LoadStreamPart(const std::string& stored, FixedList* list, Model* model)
{
    if (!Load(stored, list)) {
        Expect(FixedListIsEmpty(list), "a failed load leaves an empty list");
        return false;
    }
    const size_t elementSize = FixedListElementSize(list);
    const size_t count = static_cast<size_t>(FixedListCount(list));
    Expect(count <= static_cast<size_t>(FIXED_LIST_MAX_COUNT), "no more than the maximum count");
    Expect(count == 0 || elementSize <= (stored.size() - 6) / count, "the elements loaded were in the stream");
    const size_t length = 6 + count * elementSize;
    Expect(Saved(*list) == stored.substr(0, length), "it saves as it was stored");
    if (count == static_cast<size_t>(FIXED_LIST_MAX_COUNT)) {
        const std::string element(elementSize + 1, '\0');
        Expect(!FixedListPushBack(list, element.data()) && !FixedListPushFront(list, element.data()) &&
                   !FixedListInsertAfter(list, FixedListHead(list), element.data()),
               "a full list takes no more");
    }
    if (elementSize > kMaxElementSize || count > kMaxOperatedCount) return false;
    for (size_t i = 0; i < count; ++i) model->push_back(stored.substr(6 + i * elementSize, elementSize));
    return true;
}

// A node picked by index, null for the count itself.
FixedListNode* Pick(const FixedList& list, uint32_t pick, size_t* at)
{
    *at = pick % (static_cast<uint32_t>(FixedListCount(&list)) + 1);
    return FixedListAt(&list, static_cast<int>(*at));
}

// An added node is where the model put its element.
void CheckAdded(const FixedList& list, Model& model, const FixedListNode* added, size_t at, const std::string& element)
{
    Expect(added != nullptr, "an element is added below the maximum count");
    model.insert(model.begin() + static_cast<long>(at), element);
    Expect(PositionOf(list, added) == static_cast<long>(at), "the added node is where it was put");
}

void Operate(FuzzInput& in, FixedList& list, Model& model)
{
    const uint32_t size = FixedListElementSize(&list);
    const unsigned op = in.Byte() % 15;
    const uint32_t pick = in.Long();
    size_t at = 0;
    switch (op) {
    case 0:
    case 1: {
        std::string element = in.Bytes(size);
        element.resize(size);
        const bool front = op == 0;
        const FixedListNode* added = front ? FixedListPushFront(&list, element.data())
                                           : FixedListPushBack(&list, element.data());
        CheckAdded(list, model, added, front ? 0 : model.size(), element);
        break;
    }
    case 2:
    case 3: {
        std::string element = in.Bytes(size);
        element.resize(size);
        FixedListNode* node = Pick(list, pick, &at);
        const bool before = op == 2;
        const FixedListNode* added = before ? FixedListInsertBefore(&list, node, element.data())
                                            : FixedListInsertAfter(&list, node, element.data());
        // Before no node is the front, after no node the back.
        CheckAdded(list, model, added, node ? (before ? at : at + 1) : (before ? 0 : model.size()), element);
        break;
    }
    case 4:
    case 5: {
        const bool front = op == 4;
        const bool withOut = in.Flag();
        GuardedBuffer out(size);
        const std::string untouched(out.Data(), size);
        if (front) FixedListPopFront(&list, withOut ? out.Data() : nullptr);
        else FixedListPopBack(&list, withOut ? out.Data() : nullptr);
        out.Check("a pop");
        if (model.empty()) {
            Expect(std::string(out.Data(), size) == untouched, "popping an empty list leaves out");
        } else {
            const std::string popped = front ? model.front() : model.back();
            if (withOut) Expect(std::string(out.Data(), size) == popped, "a pop gives the element at its end");
            model.erase(front ? model.begin() : model.end() - 1);
        }
        break;
    }
    case 6: {
        FixedListNode* node = Pick(list, pick, &at);
        Expect(FixedListRemove(&list, node) == &list, "Remove gives the list");
        if (node) model.erase(model.begin() + static_cast<long>(at));
        break;
    }
    case 7: {
        const int index = static_cast<int32_t>(pick);
        const FixedListNode* node = FixedListAt(&list, index);
        if (index < 0 || static_cast<size_t>(index) >= model.size())
            Expect(node == nullptr, "no node outside the list");
        else
            Expect(PositionOf(list, node) == index, "At gives the node at its index");
        break;
    }
    case 8:
    case 9: {
        const bool ifCompare = op == 9;
        const bool fromList = in.Flag();
        const size_t count = in.Byte() % (size + 2);
        FixedListNode* after = Pick(list, in.Long(), &at);
        std::string key = in.Bytes(size + 1);
        key.resize(size + 1);
        if (fromList && !model.empty()) key.replace(0, size, model[pick % model.size()]);
        const size_t start = after ? at + 1 : 0;
        const FixedListNode* found;
        long expected;
        if (ifCompare) {
            g_compareSize = size;
            found = FixedListFindIf(&list, key.data(), CompareBytes, after);
            expected = FindInModel(model, key, size, start);
        } else {
            found = FixedListFind(&list, key.data(), static_cast<uint32_t>(count), after);
            expected = count > size ? -1 : FindInModel(model, key, count, start);
        }
        Expect(PositionOf(list, found) == expected, "a find gives the first match behind the node");
        break;
    }
    case 10: {
        std::string element = in.Bytes(size);
        element.resize(size);
        FixedListNode* node = Pick(list, pick, &at);
        if (!node) break;
        FixedListSet(&list, node, element.data());
        model[at] = element;
        GuardedBuffer out(size);
        FixedListGet(&list, node, out.Data());
        out.Check("FixedListGet");
        Expect(std::string(out.Data(), size) == element, "Get gives what Set stored");
        break;
    }
    case 11: {
        GuardedBuffer front(size), back(size);
        const std::string untouched(front.Data(), size);
        FixedListFront(&list, front.Data());
        FixedListBack(&list, back.Data());
        front.Check("FixedListFront");
        back.Check("FixedListBack");
        Expect(std::string(front.Data(), size) == (model.empty() ? untouched : model.front()) &&
                   std::string(back.Data(), size) == (model.empty() ? untouched : model.back()),
               "front and back give the elements at the ends");
        break;
    }
    case 12:
    case 13: {
        const bool forward = op == 12;
        FixedListNode* node = Pick(list, pick, &at);
        GuardedBuffer out(size);
        for (int steps = in.Byte(); node && steps > 0; --steps) {
            node = forward ? FixedListNext(&list, node, out.Data()) : FixedListPrev(&list, node, out.Data());
            out.Check("a walk");
            Expect(std::string(out.Data(), size) == model[at], "a walk gives the elements in order");
            if (forward) ++at;
            Expect(PositionOf(list, node) == (forward ? (at < model.size() ? static_cast<long>(at) : -1)
                                                      : static_cast<long>(at) - 1),
                   "a walk moves one node on");
            if (!forward) --at;
        }
        break;
    }
    default:
        if (in.Flag()) {
            Expect(FixedListClear(&list) == &list && FixedListElementSize(&list) == size,
                   "a cleared list keeps its element size");
            model.clear();
        } else {
            Expect(Load(Saved(list), &list) == 1 && FixedListElementSize(&list) == size,
                   "a saved list loads back into itself");
        }
        break;
    }
    CheckList(list, model);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const uint32_t elementSize = in.Byte() % (kMaxElementSize + 1);
    const std::string stored = in.Bytes(in.Word());

    FixedList list;
    FixedListInit(&list, 0);
    Model model;
    if (!LoadStreamPart(stored, &list, &model)) {
        FixedListDestroy(&list);
        FixedListInit(&list, elementSize);
    }
    CheckList(list, model);
    for (int i = 0; i < kMaxOperations && !in.Empty(); ++i) Operate(in, list, model);

    FixedList loaded;
    FixedListInit(&loaded, 0);
    Expect(Load(Saved(list), &loaded) == 1 && FixedListElementSize(&loaded) == FixedListElementSize(&list),
           "a saved list loads");
    CheckList(loaded, model);
    FixedListDestroy(&loaded);
    FixedListDestroy(&list);
    return 0;
}
