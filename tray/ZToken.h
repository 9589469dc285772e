// Reads and rewrites the fields of a delimited text. Fields count from 1, empty
// fields count and a trailing delimiter ends an empty last field.
#pragma once

#include <cstdint>
#include <string>

class CZToken {
public:
    // A delimiter of more than 79 characters is not taken (the object has none).
    explicit CZToken(const char* delimiter);
    virtual ~CZToken() = default;

    // 0, keeping the old delimiter, for null or one of more than 79 characters.
    int SetDelimiter(const char* delimiter);
    int Count(const char* text) const;
    std::string ExtractField(const char* text, int index, const char* delimiter, bool trim) const;
    // Stores at most max - 1 characters, always terminated (nothing for max < 1);
    // 1 also for an empty or missing field, 0 for a null dest or text.
    int GetField(char* dest, int max, const char* text, int index, bool trim) const;

    // The trimmed field as a decimal number: leading white space, a sign and the
    // digits up to the first other character, taken modulo 2^32 and then cut to the
    // out type (so '65536' reads 0 as unsigned short); no digits read 0.
    int GetShort(int16_t* out, const char* text, int index) const;
    int GetUShort(uint16_t* out, const char* text, int index) const;
    int GetInt(int32_t* out, const char* text, int index) const;
    int GetUInt(uint32_t* out, const char* text, int index) const;
    int GetLong(int32_t* out, const char* text, int index) const;
    int GetULong(uint32_t* out, const char* text, int index) const;
    // Out of range gives infinity of the sign.
    int GetFloat(float* out, const char* text, int index) const;
    int GetDouble(double* out, const char* text, int index) const;

    // The setters rewrite field index of the text in buffer (bufferSize bytes). A
    // result that would not fit leaves the buffer unchanged and gives 0 (null for
    // SetFieldText). Index 0 or 1 appends; beyond the end empty fields pad.
    int SetField(const char* value, char* buffer, size_t bufferSize, unsigned index);
    int SetChar(char value, char* buffer, size_t bufferSize, unsigned index);
    int SetShort(int16_t value, char* buffer, size_t bufferSize, unsigned index);
    int SetUShort(uint16_t value, char* buffer, size_t bufferSize, unsigned index);
    int SetInt(int32_t value, char* buffer, size_t bufferSize, unsigned index);
    int SetUInt(uint32_t value, char* buffer, size_t bufferSize, unsigned index);
    int SetLong(int32_t value, char* buffer, size_t bufferSize, unsigned index);
    int SetULong(uint32_t value, char* buffer, size_t bufferSize, unsigned index);
    int SetFloat(float value, char* buffer, size_t bufferSize, unsigned index);
    int SetDouble(double value, char* buffer, size_t bufferSize, unsigned index);
    char* SetFieldText(char* buffer, size_t bufferSize, unsigned index, const char* delimiter,
                       const char* value);

    // Cuts trailing white space in place; points at the first other character.
    static char* Trim(char* text);

private:
    int GetNumber(uint32_t* out, const char* text, int index) const;
    int SetScratch(char* buffer, size_t bufferSize, unsigned index);

    char scratch_[1024];
    char delimiter_[80];
};
