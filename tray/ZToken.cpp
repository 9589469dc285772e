#include "ZToken.h"

#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "CharBufferUtil.h"
#include "StringUtil.h"

namespace {

bool CopyDelimiter(char* dest, size_t size, const char* delimiter)
{
    if (!delimiter) return false;
    size_t n = strlen(delimiter);
    if (n >= size) return false;
    memcpy(dest, delimiter, n + 1);
    return true;
}

// atoi's reading, with the value taken modulo 2^32 instead of overflowing.
uint32_t ParseModulo(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10u + static_cast<uint32_t>(text[i] - '0');
    return negative ? 0u - value : value;
}

}  // namespace

CZToken::CZToken(const char* delimiter)
{
    scratch_[0] = '\0';
    if (!CopyDelimiter(delimiter_, sizeof delimiter_, delimiter)) delimiter_[0] = '\0';
}

int CZToken::SetDelimiter(const char* delimiter)
{
    return CopyDelimiter(delimiter_, sizeof delimiter_, delimiter) ? 1 : 0;
}

int CZToken::Count(const char* text) const
{
    if (!text) return 0;
    return CountFieldsN(text, delimiter_);
}

std::string CZToken::ExtractField(const char* text, int index, const char* delimiter,
                                  bool trim) const
{
    std::string field = ::GetField(text ? text : "", delimiter ? delimiter : "", index, false);
    return trim ? StrTrim(field) : field;
}

int CZToken::GetField(char* dest, int max, const char* text, int index, bool trim) const
{
    if (!dest || !text) return 0;
    if (max < 1) return 1;
    std::string field = ExtractField(text, index, delimiter_, trim);
    size_t n = field.size() < static_cast<size_t>(max - 1) ? field.size()
                                                           : static_cast<size_t>(max - 1);
    memcpy(dest, field.data(), n);
    dest[n] = '\0';
    return 1;
}

int CZToken::GetNumber(uint32_t* out, const char* text, int index) const
{
    if (!out || !text) return 0;
    *out = ParseModulo(ExtractField(text, index, delimiter_, true));
    return 1;
}

int CZToken::GetShort(int16_t* out, const char* text, int index) const
{
    uint32_t v;
    if (!out || !GetNumber(&v, text, index)) return 0;
    *out = static_cast<int16_t>(static_cast<uint16_t>(v));
    return 1;
}

int CZToken::GetUShort(uint16_t* out, const char* text, int index) const
{
    uint32_t v;
    if (!out || !GetNumber(&v, text, index)) return 0;
    *out = static_cast<uint16_t>(v);
    return 1;
}

int CZToken::GetInt(int32_t* out, const char* text, int index) const
{
    uint32_t v;
    if (!out || !GetNumber(&v, text, index)) return 0;
    *out = static_cast<int32_t>(v);
    return 1;
}

int CZToken::GetUInt(uint32_t* out, const char* text, int index) const
{
    return GetNumber(out, text, index);
}

int CZToken::GetLong(int32_t* out, const char* text, int index) const
{
    return GetInt(out, text, index);
}

int CZToken::GetULong(uint32_t* out, const char* text, int index) const
{
    return GetNumber(out, text, index);
}

int CZToken::GetDouble(double* out, const char* text, int index) const
{
    if (!out || !text) return 0;
    *out = strtod(ExtractField(text, index, delimiter_, true).c_str(), nullptr);
    return 1;
}

int CZToken::GetFloat(float* out, const char* text, int index) const
{
    double d;
    if (!out || !GetDouble(&d, text, index)) return 0;
    if (d > FLT_MAX) *out = HUGE_VALF;
    else if (d < -FLT_MAX) *out = -HUGE_VALF;
    else *out = static_cast<float>(d);
    return 1;
}

int CZToken::SetField(const char* value, char* buffer, size_t bufferSize, unsigned index)
{
    if (!value || !buffer) return 0;
    return SetFieldText(buffer, bufferSize, index, delimiter_, value) ? 1 : 0;
}

int CZToken::SetScratch(char* buffer, size_t bufferSize, unsigned index)
{
    return SetFieldText(buffer, bufferSize, index, delimiter_, scratch_) ? 1 : 0;
}

int CZToken::SetChar(char value, char* buffer, size_t bufferSize, unsigned index)
{
    if (!buffer) return 0;
    snprintf(scratch_, sizeof scratch_, "%c", value);
    return SetScratch(buffer, bufferSize, index);
}

int CZToken::SetShort(int16_t value, char* buffer, size_t bufferSize, unsigned index)
{
    if (!buffer) return 0;
    snprintf(scratch_, sizeof scratch_, "%hd", value);
    return SetScratch(buffer, bufferSize, index);
}

int CZToken::SetUShort(uint16_t value, char* buffer, size_t bufferSize, unsigned index)
{
    if (!buffer) return 0;
    snprintf(scratch_, sizeof scratch_, "%hu", value);
    return SetScratch(buffer, bufferSize, index);
}

int CZToken::SetInt(int32_t value, char* buffer, size_t bufferSize, unsigned index)
{
    if (!buffer) return 0;
    snprintf(scratch_, sizeof scratch_, "%ld", static_cast<long>(value));
    return SetScratch(buffer, bufferSize, index);
}

int CZToken::SetUInt(uint32_t value, char* buffer, size_t bufferSize, unsigned index)
{
    if (!buffer) return 0;
    snprintf(scratch_, sizeof scratch_, "%lu", static_cast<unsigned long>(value));
    return SetScratch(buffer, bufferSize, index);
}

int CZToken::SetLong(int32_t value, char* buffer, size_t bufferSize, unsigned index)
{
    return SetInt(value, buffer, bufferSize, index);
}

int CZToken::SetULong(uint32_t value, char* buffer, size_t bufferSize, unsigned index)
{
    return SetUInt(value, buffer, bufferSize, index);
}

int CZToken::SetDouble(double value, char* buffer, size_t bufferSize, unsigned index)
{
    if (!buffer) return 0;
    snprintf(scratch_, sizeof scratch_, "%f", value);
    return SetScratch(buffer, bufferSize, index);
}

int CZToken::SetFloat(float value, char* buffer, size_t bufferSize, unsigned index)
{
    return SetDouble(value, buffer, bufferSize, index);
}

char* CZToken::SetFieldText(char* buffer, size_t bufferSize, unsigned index,
                            const char* delimiter, const char* value)
{
    if (!buffer || !delimiter || !value || bufferSize == 0) return nullptr;
    std::vector<std::string> fields = SplitFields(buffer, delimiter);
    size_t count = fields.size();
    if (index > count + 1 && index - 1 - count > bufferSize) return nullptr;
    if (index >= 2 && index <= count) {
        fields[index - 1] = value;
    } else {
        if (index > count + 1) fields.resize(index - 1);
        fields.push_back(value);
    }
    std::string joined = fields[0];
    for (size_t i = 1; i < fields.size(); ++i) joined += std::string(delimiter) + fields[i];
    if (joined.size() >= bufferSize) return nullptr;
    memcpy(buffer, joined.c_str(), joined.size() + 1);
    return buffer;
}

char* CZToken::Trim(char* text)
{
    if (!text) return nullptr;
    size_t n = strlen(text);
    while (n > 0 && isspace(static_cast<unsigned char>(text[n - 1]))) text[--n] = '\0';
    while (*text && isspace(static_cast<unsigned char>(*text))) ++text;
    return text;
}
