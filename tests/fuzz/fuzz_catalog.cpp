// The message catalogue's reader on a catalogue text, with a caller buffer of
// a size taken from the input.
#include "CatalogText.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const int number = static_cast<int32_t>(in.Long());
    GuardedBuffer buffer(in.Size(1100));
    const std::string catalog = in.Rest();

    const int found = FindCatalogMessage(catalog, number, buffer.Data(), buffer.IntSize());
    buffer.Check("FindCatalogMessage");
    if (found) {
        const size_t length = buffer.Text("FindCatalogMessage").size();
        Expect(length < buffer.Size() && length < 1023, "a message is cut to the buffer and the piece");
        for (size_t i = length; i < buffer.Size(); ++i)
            Expect(buffer.Data()[i] == '\0', "the rest of the buffer is zero-filled");
    } else {
        for (size_t i = 0; i + 1 < buffer.Size(); ++i)
            Expect(buffer.Data()[i] == GuardedBuffer::kFill, "a message not found leaves the buffer");
    }
    return 0;
}
