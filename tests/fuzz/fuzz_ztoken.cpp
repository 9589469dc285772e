// The field tokenizer CZToken on a delimiter and a text (both read first, the
// text past the 4095 bytes where the field reader leaves its stack buffer),
// then operation after operation, each reading its index as a full 32-bit
// value (getters take it as int, setters as unsigned) and its sizes and
// numbers before its texts; caller buffers are up to 2048 bytes, as the tray's.
// Asserted: Count and GetField give what SplitFields gives, cut to max - 1 and
// trimmed when asked; the number getters are one value cut to each type, the
// float the double or infinity out of range; a setter either rewrites field
// index as its contract says (0 and 1 append, beyond the end empty fields pad)
// and the field reads back, or leaves the buffer unchanged because the result
// would not fit; nothing is written past a buffer.
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "TextModels.h"
#include "StringUtil.h"
#include "ZToken.h"

namespace {

const size_t kMaxBuffer = 2048;
const size_t kMaxDelimiter = 79;

std::string Join(const std::vector<std::string>& fields, const std::string& delimiter)
{
    std::string joined;
    for (size_t i = 0; i < fields.size(); ++i) joined += (i > 0 ? delimiter : std::string()) + fields[i];
    return joined;
}

// A caller buffer holding the text, with what it held before a setter ran.
struct SetterBuffer {
    SetterBuffer(size_t size, const std::string& text)
        : buffer(size, text), bytes(buffer.Data(), size), before(size > 0 ? buffer.Text("a buffer") : std::string())
    {
    }
    GuardedBuffer buffer;
    const std::string bytes;
    const std::string before;
};

// A setter's outcome against its contract, value being the field's text.
void CheckSetter(SetterBuffer& b, bool stored, unsigned index, const std::string& delimiter, const std::string& value,
                 const char* what)
{
    b.buffer.Check(what);
    std::vector<std::string> fields = SplitFields(b.before, delimiter);
    const size_t count = fields.size();
    const size_t at = index >= 2 && index <= count ? index : index > count + 1 ? index : count + 1;
    const size_t padding = at > count + 1 ? at - 1 - count : 0;
    // Padding costs a delimiter a field: beyond the buffer's size it cannot fit.
    if (padding > b.buffer.Size()) {
        Expect(!stored, "a setter refuses padding beyond the buffer");
    } else {
        if (at <= count) {
            fields[at - 1] = value;
        } else {
            fields.resize(at - 1);
            fields.push_back(value);
        }
        const std::string expected = Join(fields, delimiter);
        Expect(stored == (expected.size() < b.buffer.Size()), "a setter stores what fits and only that");
        if (stored) {
            Expect(b.buffer.Text(what) == expected, "a setter rewrites one field, appends or pads");
            if (delimiter.size() == 1 && value.find(delimiter) == std::string::npos && at <= INT32_MAX)
                Expect(FieldOf(SplitFields(expected, delimiter), delimiter, static_cast<int>(at)) == value,
                       "the field set reads back");
        }
    }
    if (!stored) Expect(std::string(b.buffer.Data(), b.buffer.Size()) == b.bytes, "a refused setter changes nothing");
}

std::string Formatted(const char* format, double value)
{
    char text[1024];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    std::string delimiter = in.Text();
    CZToken token(delimiter.c_str());
    if (delimiter.size() > kMaxDelimiter) delimiter.clear();
    const std::string text = in.Text();
    while (!in.Empty()) {
        const uint32_t index = in.Long();
        const int getIndex = static_cast<int32_t>(index);
        switch (in.Byte() % 8) {
        case 0: {
            const std::string next = in.Text();
            const bool taken = token.SetDelimiter(next.c_str()) == 1;
            Expect(taken == (next.size() <= kMaxDelimiter), "a delimiter of up to 79 characters is taken");
            if (taken) delimiter = next;
            break;
        }
        case 1:
            Expect(token.Count(text.c_str()) == static_cast<int>(SplitFields(text, delimiter).size()),
                   "Count counts the fields");
            break;
        case 2: {
            GuardedBuffer dest(in.Size(kMaxBuffer));
            const bool trim = in.Flag();
            Expect(token.GetField(dest.Data(), dest.IntSize(), text.c_str(), getIndex, trim) == 1, "GetField");
            dest.Check("GetField");
            if (dest.Size() > 0) {
                std::string field = FieldOf(SplitFields(text, delimiter), delimiter, getIndex);
                if (trim) field = StrTrim(field);
                Expect(dest.Text("GetField") == field.substr(0, dest.Size() - 1), "GetField gives the field, cut");
            }
            break;
        }
        case 3: {
            int16_t s = 0;
            uint16_t us = 0;
            int32_t i = 0, l = 0;
            uint32_t u = 0, ul = 0;
            float f = 0;
            double d = 0;
            Expect(token.GetShort(&s, text.c_str(), getIndex) && token.GetUShort(&us, text.c_str(), getIndex) &&
                       token.GetInt(&i, text.c_str(), getIndex) && token.GetUInt(&u, text.c_str(), getIndex) &&
                       token.GetLong(&l, text.c_str(), getIndex) && token.GetULong(&ul, text.c_str(), getIndex) &&
                       token.GetFloat(&f, text.c_str(), getIndex) && token.GetDouble(&d, text.c_str(), getIndex),
                   "the number getters read");
            Expect(s == static_cast<int16_t>(u) && us == static_cast<uint16_t>(u) && i == static_cast<int32_t>(u) &&
                       l == i && ul == u,
                   "one value modulo 2^32, cut to each type");
            Expect(d > FLT_MAX    ? f == HUGE_VALF
                   : d < -FLT_MAX ? f == -HUGE_VALF
                   : std::isnan(d) ? std::isnan(f)
                                   : f == static_cast<float>(d),
                   "a float is the double, infinity of its sign out of range");
            break;
        }
        case 4: {
            SetterBuffer buffer(in.Size(kMaxBuffer), text);
            const std::string value = in.Text();
            const int stored = token.SetField(value.c_str(), buffer.buffer.Data(), buffer.buffer.Size(), index);
            CheckSetter(buffer, stored == 1, index, delimiter, value, "SetField");
            break;
        }
        case 5: {
            SetterBuffer buffer(in.Size(kMaxBuffer), text);
            const uint32_t number = in.Long();
            const uint32_t high = in.Long();
            char* const b = buffer.buffer.Data();
            const size_t n = buffer.buffer.Size();
            int stored = 0;
            std::string value;
            switch (in.Byte() % 10) {
            case 0: {
                const char c = static_cast<char>(number);
                stored = token.SetChar(c, b, n, index);
                value = c ? std::string(1, c) : std::string();
                break;
            }
            case 1: {
                const int16_t v = static_cast<int16_t>(number);
                stored = token.SetShort(v, b, n, index);
                value = std::to_string(v);
                break;
            }
            case 2: {
                const uint16_t v = static_cast<uint16_t>(number);
                stored = token.SetUShort(v, b, n, index);
                value = std::to_string(v);
                break;
            }
            case 3:
                stored = token.SetInt(static_cast<int32_t>(number), b, n, index);
                value = std::to_string(static_cast<int32_t>(number));
                break;
            case 4:
                stored = token.SetUInt(number, b, n, index);
                value = std::to_string(number);
                break;
            case 5:
                stored = token.SetLong(static_cast<int32_t>(number), b, n, index);
                value = std::to_string(static_cast<int32_t>(number));
                break;
            case 6:
                stored = token.SetULong(number, b, n, index);
                value = std::to_string(number);
                break;
            case 7: {
                float f;
                std::memcpy(&f, &number, sizeof f);
                stored = token.SetFloat(f, b, n, index);
                value = Formatted("%f", f);
                break;
            }
            default: {
                const uint64_t bits = (static_cast<uint64_t>(high) << 32) | number;
                double d;
                std::memcpy(&d, &bits, sizeof d);
                stored = token.SetDouble(d, b, n, index);
                value = Formatted("%f", d);
                break;
            }
            }
            CheckSetter(buffer, stored == 1, index, delimiter, value, "a typed setter");
            break;
        }
        case 6: {
            SetterBuffer buffer(in.Size(kMaxBuffer), text);
            const std::string own = in.Text();
            const std::string value = in.Text();
            const bool stored = token.SetFieldText(buffer.buffer.Data(), buffer.buffer.Size(), index, own.c_str(),
                                                   value.c_str()) == buffer.buffer.Data();
            CheckSetter(buffer, stored, index, own, value, "SetFieldText");
            break;
        }
        default: {
            GuardedBuffer buffer(text.size() + 1, text);
            const std::string trimmed = CZToken::Trim(buffer.Data());
            buffer.Check("Trim");
            Expect(trimmed == StrTrim(text), "Trim cuts white space at both ends");
            break;
        }
        }
    }
    return 0;
}
