// The field tokenizer CZToken: counting, reading, number reading and rewriting
// fields, with caller buffers of sizes taken from the input.
#include <cmath>

#include "FuzzInput.h"
#include "ZToken.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    CZToken token(in.Text().c_str());
    const std::string text = in.Text();
    while (!in.Empty()) {
        const int index = static_cast<int16_t>(in.Word());
        switch (in.Byte() % 8) {
        case 0:
            token.SetDelimiter(in.Text().c_str());
            break;
        case 1:
            Expect(token.Count(text.c_str()) >= 0, "a count");
            break;
        case 2: {
            GuardedBuffer dest(in.Size(600));
            const bool trim = in.Flag();
            token.GetField(dest.Data(), dest.IntSize(), text.c_str(), index, trim);
            if (dest.Size() > 0) Expect(dest.Text("GetField").size() < dest.Size(), "cut to size - 1");
            dest.Check("GetField");
            break;
        }
        case 3: {
            int16_t s; uint16_t us; int32_t i; uint32_t u; float f; double d;
            token.GetShort(&s, text.c_str(), index);
            token.GetUShort(&us, text.c_str(), index);
            token.GetInt(&i, text.c_str(), index);
            token.GetUInt(&u, text.c_str(), index);
            token.GetLong(&i, text.c_str(), index);
            token.GetULong(&u, text.c_str(), index);
            token.GetFloat(&f, text.c_str(), index);
            token.GetDouble(&d, text.c_str(), index);
            break;
        }
        case 4: {
            GuardedBuffer buffer(in.Size(600), text);
            const std::string value = in.Text();
            token.SetField(value.c_str(), buffer.Data(), buffer.Size(), static_cast<uint16_t>(index));
            if (buffer.Size() > 0) buffer.Text("SetField");
            buffer.Check("SetField");
            break;
        }
        case 5: {
            GuardedBuffer buffer(in.Size(600), text);
            const unsigned at = static_cast<uint16_t>(index);
            const uint32_t number = in.Long();
            switch (in.Byte() % 10) {
            case 0: token.SetChar(static_cast<char>(number), buffer.Data(), buffer.Size(), at); break;
            case 1: token.SetShort(static_cast<int16_t>(number), buffer.Data(), buffer.Size(), at); break;
            case 2: token.SetUShort(static_cast<uint16_t>(number), buffer.Data(), buffer.Size(), at); break;
            case 3: token.SetInt(static_cast<int32_t>(number), buffer.Data(), buffer.Size(), at); break;
            case 4: token.SetUInt(number, buffer.Data(), buffer.Size(), at); break;
            case 5: token.SetLong(static_cast<int32_t>(number), buffer.Data(), buffer.Size(), at); break;
            case 6: token.SetULong(number, buffer.Data(), buffer.Size(), at); break;
            case 7: {
                float f;
                std::memcpy(&f, &number, sizeof f);
                token.SetFloat(f, buffer.Data(), buffer.Size(), at);
                break;
            }
            default: {
                uint64_t bits = (static_cast<uint64_t>(in.Long()) << 32) | number;
                double d;
                std::memcpy(&d, &bits, sizeof d);
                token.SetDouble(d, buffer.Data(), buffer.Size(), at);
                break;
            }
            }
            if (buffer.Size() > 0) buffer.Text("a setter");
            buffer.Check("a setter");
            break;
        }
        case 6: {
            GuardedBuffer buffer(in.Size(600), text);
            const std::string delimiter = in.Text();
            const std::string value = in.Text();
            token.SetFieldText(buffer.Data(), buffer.Size(), static_cast<uint16_t>(index),
                               delimiter.c_str(), value.c_str());
            if (buffer.Size() > 0) buffer.Text("SetFieldText");
            buffer.Check("SetFieldText");
            break;
        }
        default: {
            GuardedBuffer buffer(text.size() + 1, text);
            CZToken::Trim(buffer.Data());
            buffer.Check("Trim");
            break;
        }
        }
    }
    return 0;
}
