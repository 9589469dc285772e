// Reading back the number texts that the converters write, for the targets
// that check them.
#pragma once

#include <cstdint>
#include <string>

// A number text in radix 2 .. 36 read back; false for any other character or
// a value past 32 bits.
inline bool DigitsValue(const std::string& text, unsigned radix, uint32_t* value)
{
    if (text.empty()) return false;
    uint64_t v = 0;
    for (char c : text) {
        const unsigned d = c >= '0' && c <= '9' ? static_cast<unsigned>(c - '0')
                           : c >= 'a' && c <= 'z' ? static_cast<unsigned>(c - 'a' + 10)
                                                  : 36;
        if (d >= radix) return false;
        v = v * radix + d;
        if (v > UINT32_MAX) return false;
    }
    *value = static_cast<uint32_t>(v);
    return true;
}
