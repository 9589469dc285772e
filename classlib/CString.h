// The counted narrow string and its array. Characters are bytes of the system
// code page; case mapping, case-blind comparison, searching and trimming never
// split a double-byte character of that code page. Everything but the code
// page and LoadString (CStringWin.cpp) includes no Windows header, so the
// string also builds natively for the sanitizer and fuzz builds.
#pragma once

#include <cstdarg>
#include <string>
#include <vector>

// Format follows C99, mingw's own printf rather than msvcrt's: the compiler
// checks it as gnu_printf there and as printf in the native builds.
#ifdef __MINGW32__
#define CLASSLIB_PRINTF_FORMAT gnu_printf
#else
#define CLASSLIB_PRINTF_FORMAT printf
#endif

class CString {
public:
    CString() = default;
    CString(const char* text);  // NULL gives the empty string
    CString(const char* text, int length);
    CString(char ch, int repeat = 1);
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(const char* text);
    CString& operator=(char ch);

    CString& operator+=(const CString& text);
    CString& operator+=(const char* text);
    CString& operator+=(char ch);

    operator const char*() const { return text_.c_str(); }
    const char* GetString() const { return text_.c_str(); }

    int GetLength() const { return static_cast<int>(text_.size()); }
    bool IsEmpty() const { return text_.empty(); }
    void Empty() { text_.clear(); }
    char GetAt(int index) const;  // '\0' outside the string
    char operator[](int index) const { return GetAt(index); }
    void SetAt(int index, char ch);  // ignored outside the string

    // Byte-wise comparison: < 0, 0 or > 0. NoCase folds only A-Z and a-z.
    int Compare(const char* other) const;
    int CompareNoCase(const char* other) const;

    // Counts are clamped to the string; a negative count gives the empty string.
    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;

    // Index of the first match at or after start, or -1. A match starts on a
    // character boundary; an empty text is found at start.
    int Find(char ch, int start = 0) const;
    int Find(const char* text, int start = 0) const;
    int ReverseFind(char ch) const;

    CString& MakeUpper();
    CString& MakeLower();
    CString& TrimLeft();   // white space of the "C" locale
    CString& TrimRight();
    CString& Trim();

    // printf rules (C99 formatting). Pass a CString as (const char*) or GetString().
    void Format(const char* format, ...) __attribute__((format(CLASSLIB_PRINTF_FORMAT, 2, 3)));
    void FormatV(const char* format, va_list args);

    // Text of the string-table entry of the application's module; false and the
    // empty string when there is none.
    bool LoadString(unsigned int id);

    // Direct access: the buffer holds at least minLength characters plus the
    // terminator; ReleaseBuffer(-1) takes the length up to the first zero.
    char* GetBuffer(int minLength = 0);
    char* GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);

    const std::string& str() const { return text_; }

private:
    std::string text_;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, const char* b);
CString operator+(const char* a, const CString& b);
CString operator+(const CString& a, char b);
CString operator+(char a, const CString& b);

bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, const char* b);
bool operator==(const char* a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, const char* b);
bool operator!=(const char* a, const CString& b);
bool operator<(const CString& a, const CString& b);
bool operator<(const CString& a, const char* b);
bool operator<(const char* a, const CString& b);
bool operator>(const CString& a, const CString& b);
bool operator>(const CString& a, const char* b);
bool operator>(const char* a, const CString& b);
bool operator<=(const CString& a, const CString& b);
bool operator<=(const CString& a, const char* b);
bool operator<=(const char* a, const CString& b);
bool operator>=(const CString& a, const CString& b);
bool operator>=(const CString& a, const char* b);
bool operator>=(const char* a, const CString& b);

class CStringArray {
public:
    int GetSize() const { return static_cast<int>(items_.size()); }
    int Add(const char* text);  // returns the new element's index
    int Add(const CString& text);
    const CString& GetAt(int index) const;  // index must be valid
    CString& operator[](int index);
    const CString& operator[](int index) const { return GetAt(index); }
    void SetAt(int index, const char* text);
    void RemoveAt(int index, int count = 1);              // clamped to the array
    void InsertAt(int index, const char* text, int count = 1);  // index beyond the end appends
    void RemoveAll() { items_.clear(); }
    void Copy(const CStringArray& other) { items_ = other.items_; }

private:
    std::vector<CString> items_;
};

namespace classlib {
// The code page whose lead bytes CString respects; CP_ACP unless a test sets another.
unsigned int MultiByteCodePage();
void SetMultiByteCodePage(unsigned int codePage);
bool IsLeadByte(unsigned char byte);
}  // namespace classlib
