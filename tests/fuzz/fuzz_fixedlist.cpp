// The fixed-element list's stream loading, and saving what was loaded.
#include "FixedList.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!stream) return 0;
    FixedList list;
    FixedListInit(&list, 0);
    const int loaded = FixedListLoad(stream, &list);
    std::fclose(stream);
    if (!loaded) {
        Expect(FixedListIsEmpty(&list), "a failed load leaves an empty list");
        return 0;
    }
    const size_t stored = 6 + static_cast<size_t>(FixedListCount(&list)) * FixedListElementSize(&list);
    Expect(stored <= size, "the elements loaded were in the stream");
    char* saved = nullptr;
    size_t savedSize = 0;
    FILE* out = open_memstream(&saved, &savedSize);
    Expect(out != nullptr, "a stream to save into");
    Expect(FixedListSave(out, &list) == 1, "a loaded list saves");
    std::fclose(out);
    Expect(savedSize == stored && std::memcmp(saved, data, stored) == 0, "it saves as it was stored");
    std::free(saved);
    FixedListDestroy(&list);
    return 0;
}
