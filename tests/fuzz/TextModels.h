// What the text functions should give, worked out the plain way, for the
// targets that check the functions against it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Item n (from 1) of a list, "" outside it.
inline std::string Nth(const std::vector<std::string>& items, int n)
{
    return n >= 1 && static_cast<size_t>(n) <= items.size() ? items[static_cast<size_t>(n) - 1] : std::string();
}

// Field n (from 1) of a text split into fields at separator; without a
// separator every field number gives the whole text.
inline std::string FieldOf(const std::vector<std::string>& fields, const std::string& separator, int n)
{
    if (separator.empty()) return n >= 1 && !fields.empty() ? fields[0] : std::string();
    return Nth(fields, n);
}

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
