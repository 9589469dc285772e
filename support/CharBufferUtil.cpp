#include "CharBufferUtil.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

bool SeparatorAt(const char* p, const char* separator, int sepLen)
{
    return StrCompareN(p, separator, static_cast<unsigned>(sepLen)) == 0;
}

// The getters start with the empty text, so an unused field is "".
bool BeginField(char* out, int size)
{
    if (size <= 0) return false;
    out[0] = '\0';
    return true;
}

char* CopyWhile(char* dst, unsigned size, const char* src, int (*keep)(int))
{
    if (size == 0) return dst;
    unsigned i = 0;
    while (i + 1 < size && src[i] != '\0' && keep(static_cast<unsigned char>(src[i]))) {
        dst[i] = src[i];
        ++i;
    }
    dst[i] = '\0';
    return dst;
}

int IsNotWhite(int c) { return !IsWhiteChar(c); }

// Start of token n, tokens being runs of characters that "inside" accepts;
// null when there is no such token.
const char* FindRun(const char* text, int n, int (*inside)(int))
{
    if (n <= 0) return nullptr;
    const char* p = text;
    while (*p != '\0' && !inside(static_cast<unsigned char>(*p))) ++p;
    int counter = 1;
    while (*p != '\0') {
        if (counter == n) return p;
        while (*p != '\0' && inside(static_cast<unsigned char>(*p))) ++p;
        while (*p != '\0' && !inside(static_cast<unsigned char>(*p))) ++p;
        ++counter;
    }
    return nullptr;
}

int CountRuns(const char* text, int (*inside)(int))
{
    int count = 0;
    const char* p = text;
    for (;;) {
        while (*p != '\0' && !inside(static_cast<unsigned char>(*p))) ++p;
        if (*p == '\0') return count;
        ++count;
        while (*p != '\0' && inside(static_cast<unsigned char>(*p))) ++p;
    }
}

bool IsPathBreak(char c) { return c == '\\' || c == ':' || c == '/'; }

}  // namespace

char* GetFieldN(char* out, int size, const char* text, const char* separator, int n)
{
    if (!BeginField(out, size)) return out;
    if (text[0] == '\0' || n <= 0) return out;
    int sepLen = StrLength(separator);
    if (sepLen == 0) return CopyBounded(out, text, size);
    int counter = 1;
    const char* p = text;
    while (*p != '\0') {
        if (counter == n) return CopyToSeparator(out, static_cast<unsigned>(size), p, separator);
        if (SeparatorAt(p, separator, sepLen)) {
            ++counter;
            p += sepLen;
        } else {
            ++p;
        }
    }
    return out;
}

int CountFieldsN(const char* text, const char* separator)
{
    if (text[0] == '\0') return 0;
    int sepLen = StrLength(separator);
    if (sepLen == 0) return 1;
    int count = 0;
    int remaining = StrLength(text);
    const char* p = text;
    while (remaining >= sepLen) {
        if (SeparatorAt(p, separator, sepLen)) {
            ++count;
            p += sepLen;
            remaining -= sepLen;
        } else {
            ++p;
            --remaining;
        }
    }
    return count + 1;
}

char* GetFieldCollapsed(char* out, int size, const char* text, const char* separator, int n)
{
    if (!BeginField(out, size)) return out;
    if (text[0] == '\0' || n <= 0) return out;
    int sepLen = StrLength(separator);
    if (sepLen == 0) return CopyBounded(out, text, size);
    const char* p = text;
    while (SeparatorAt(p, separator, sepLen)) p += sepLen;
    int counter = 1;
    while (*p != '\0') {
        if (counter == n) return CopyToSeparator(out, static_cast<unsigned>(size), p, separator);
        if (SeparatorAt(p, separator, sepLen)) {
            p += sepLen;
            if (!SeparatorAt(p, separator, sepLen)) ++counter;
        } else {
            ++p;
        }
    }
    return out;
}

int CountFieldsCollapsed(const char* text, const char* separator)
{
    if (text[0] == '\0') return 0;
    int sepLen = StrLength(separator);
    if (sepLen == 0) return 1;
    const char* p = text;
    while (SeparatorAt(p, separator, sepLen)) p += sepLen;
    if (*p == '\0') return 0;
    int count = 1;
    int remaining = StrLength(p);
    while (remaining > sepLen) {
        if (SeparatorAt(p, separator, sepLen)) {
            p += sepLen;
            remaining -= sepLen;
            if (!SeparatorAt(p, separator, sepLen)) ++count;
        } else {
            ++p;
            --remaining;
        }
    }
    return count;
}

char* CopyToSeparator(char* dst, unsigned size, const char* src, const char* separator)
{
    if (size == 0) return dst;
    int sepLen = StrLength(separator);
    unsigned i = 0;
    while (i + 1 < size && src[i] != '\0' && !SeparatorAt(src + i, separator, sepLen)) {
        dst[i] = src[i];
        ++i;
    }
    dst[i] = '\0';
    return dst;
}

int IsWhiteChar(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == 26 || c == '\0';
}

char* GetWhiteToken(char* out, int size, const char* text, int n)
{
    if (!BeginField(out, size)) return out;
    const char* p = FindRun(text, n, IsNotWhite);
    return p ? CopyToWhite(out, static_cast<unsigned>(size), p) : out;
}

int CountWhiteTokens(const char* text) { return CountRuns(text, IsNotWhite); }

char* CopyToWhite(char* dst, unsigned size, const char* src) { return CopyWhile(dst, size, src, IsNotWhite); }

int IsAlphaChar(int c) { return std::isalpha(static_cast<unsigned char>(c)) ? 1 : 0; }

char* GetWord(char* out, int size, const char* text, int n)
{
    if (!BeginField(out, size)) return out;
    const char* p = FindRun(text, n, IsAlphaChar);
    return p ? CopyAlpha(out, static_cast<unsigned>(size), p) : out;
}

int CountWords(const char* text) { return CountRuns(text, IsAlphaChar); }

char* CopyAlpha(char* dst, unsigned size, const char* src) { return CopyWhile(dst, size, src, IsAlphaChar); }

char* CopyBounded(char* dst, const char* src, int size)
{
    if (size <= 0) return dst;
    int i = 0;
    while (i + 1 < size && src[i] != '\0') {
        dst[i] = src[i];
        ++i;
    }
    dst[i] = '\0';
    return dst;
}

char* CopyToBlank(char* dst, const char* src, int size)
{
    if (size <= 0) return dst;
    int i = 0;
    while (i + 1 < size && src[i] != '\0' && src[i] != ' ') {
        dst[i] = src[i];
        ++i;
    }
    dst[i] = '\0';
    return dst;
}

void CopyPadBlanks(char* dst, const char* src, int width)
{
    int i = 0;
    for (; i < width && src[i] != '\0'; ++i) dst[i] = src[i];
    for (; i < width; ++i) dst[i] = ' ';
}

void CopyPadZeros(char* dst, const char* src, int width)
{
    if (width < 0) return;
    int i = 0;
    for (; i < width && src[i] != '\0'; ++i) dst[i] = src[i];
    for (; i <= width; ++i) dst[i] = '\0';
}

char* StrCopyN(char* dst, const char* src, unsigned n)
{
    if (n == 0) return dst;
    std::strncpy(dst, src, n);
    dst[n - 1] = '\0';
    return dst;
}

char* StrCatN(char* dst, const char* src, unsigned n)
{
    if (n == 0) return dst;
    // Appending only what survives the cut keeps every write inside the n bytes.
    std::size_t len = std::strlen(dst);
    if (len >= n - 1) {
        dst[n - 1] = '\0';
        return dst;
    }
    std::strncat(dst, src, n - 1 - len);
    return dst;
}

char* StrDuplicate(const char* src)
{
    std::size_t len = std::strlen(src) + 1;
    char* copy = static_cast<char*>(std::malloc(len));
    if (copy) std::memcpy(copy, src, len);
    return copy;
}

int StrCompareNoCase(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        int ca = std::tolower(static_cast<unsigned char>(*a));
        int cb = std::tolower(static_cast<unsigned char>(*b));
        if (ca != cb || ca == 0) return ca - cb;
    }
}

int StrCompareNoCaseN(const char* a, const char* b, unsigned n)
{
    for (unsigned i = 0; i < n; ++i) {
        int ca = std::tolower(static_cast<unsigned char>(a[i]));
        int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb || ca == 0) return ca - cb;
    }
    return 0;
}

int StrCompareN(const char* a, const char* b, unsigned n) { return std::strncmp(a, b, n); }

int StrLength(const char* text) { return static_cast<int>(std::strlen(text)); }

int StrCompare(const char* a, const char* b)
{
    while (*a != '\0' && *b != '\0') {
        if (*a != *b) return static_cast<signed char>(*a) - static_cast<signed char>(*b);
        ++a;
        ++b;
    }
    return static_cast<signed char>(*a) - static_cast<signed char>(*b);
}

char* TrimSpaces(char* dst, const char* src)
{
    const char* begin = src;
    while (*begin == ' ') ++begin;
    std::size_t len = std::strlen(begin);
    while (len > 0 && begin[len - 1] == ' ') --len;
    std::memmove(dst, begin, len);
    dst[len] = '\0';
    return dst;
}

char* TrimWhiteRight(char* buf)
{
    std::size_t len = std::strlen(buf);
    while (len > 0 && IsWhiteChar(static_cast<unsigned char>(buf[len - 1]))) --len;
    buf[len] = '\0';
    return buf;
}

void StripTrailingChar(char* buf, char c)
{
    std::size_t len = std::strlen(buf);
    while (len > 0 && buf[len - 1] == c) buf[--len] = '\0';
}

int UpperChar(int c) { return std::toupper(static_cast<unsigned char>(c)); }

char* StrUpperCopy(char* dst, const char* src)
{
    std::size_t i = 0;
    do {
        dst[i] = static_cast<char>(UpperChar(src[i]));
    } while (src[i++] != '\0');
    return dst;
}

char* StrUpperInPlace(char* text) { return StrUpperCopy(text, text); }

char* AlignText(char* text, int width, char fill, int mode)
{
    if (width < 0) width = 0;
    char work[256];
    CopyBounded(work, text, sizeof work);
    int count = StrLength(work);
    int n = count > width ? width : count;
    if (mode == 2) {
        int pad = width - n;
        std::memset(text, fill, static_cast<std::size_t>(pad));
        std::memcpy(text + pad, work, static_cast<std::size_t>(count) + 1);
    } else if (mode == 3) {
        int pad = (width - n) / 2;
        std::memset(text, fill, static_cast<std::size_t>(pad));
        std::memcpy(text + pad, work, static_cast<std::size_t>(n));
        std::memset(text + pad + n, fill, static_cast<std::size_t>(width - pad - n));
        text[width] = '\0';
    } else {
        std::memcpy(text, work, static_cast<std::size_t>(count));
        std::memset(text + count, fill, static_cast<std::size_t>(width - n));
        text[count + width - n] = '\0';
    }
    return text;
}

char* PictureFill(char* dst, const char* values, const char* picture, const char* mask)
{
    std::strcpy(dst, picture);
    const char* v = values;
    const char* m = mask;
    while (*m != '\0' && *v != '\0') {
        char letter = *m;
        const char* found = std::strchr(picture, letter);
        std::size_t pos = found ? static_cast<std::size_t>(found - picture) : 0;
        while (*m == letter && *v != '\0') {
            if (found && picture[pos] == letter) dst[pos++] = *v;
            ++v;
            ++m;
        }
    }
    return dst;
}

int FindInSpan(const char* text, const char* pattern, int len)
{
    int textLen = StrLength(text);
    if (len > textLen) len = textLen;
    int patLen = StrLength(pattern);
    for (int start = 0; start <= len - patLen; ++start)
        if (std::strncmp(text + start, pattern, static_cast<std::size_t>(patLen)) == 0) return 1;
    return 0;
}

void IntToText(unsigned value, char* out, unsigned radix, int negative)
{
    if (radix < 2 || radix > 36) {
        out[0] = '\0';
        return;
    }
    char* p = out;
    if (negative) {
        *p++ = '-';
        value = 0u - value;
    }
    char digits[33];
    int count = 0;
    do {
        unsigned d = value % radix;
        digits[count++] = static_cast<char>(d < 10 ? '0' + d : 'a' + d - 10);
        value /= radix;
    } while (value != 0);
    while (count > 0) *p++ = digits[--count];
    *p = '\0';
}

char* SignedToText(int value, char* out, int radix)
{
    IntToText(static_cast<unsigned>(value), out, static_cast<unsigned>(radix), radix == 10 && value < 0);
    return out;
}

char* LongToText(long value, char* out, int radix)
{
    IntToText(static_cast<uint32_t>(value), out, static_cast<unsigned>(radix), radix == 10 && value < 0);
    return out;
}

char* UnsignedToText(unsigned value, char* out, int radix)
{
    IntToText(value, out, static_cast<unsigned>(radix), 0);
    return out;
}

void FormatDateTime(int32_t time, char* date, char* clock, int flags)
{
    std::time_t t = static_cast<std::time_t>(time);
    const std::tm* local = std::localtime(&t);
    if (!local) return;
    char text[48];
    if (date) {
        if (flags & 0x01) {
            char year[12];
            std::snprintf(year, sizeof year, "%d", local->tm_year + 1900);
            std::snprintf(text, sizeof text, "%02d.%02d.%c%c", local->tm_mday, local->tm_mon + 1, year[2], year[3]);
        } else {
            std::snprintf(text, sizeof text, "%02d.%02d.%d", local->tm_mday, local->tm_mon + 1,
                          local->tm_year + 1900);
        }
        CopyBounded(date, text, 11);
    }
    if (clock) {
        if (flags & 0x02)
            std::snprintf(text, sizeof text, "%02d:%02d:%02d", local->tm_hour, local->tm_min, local->tm_sec);
        else
            std::snprintf(text, sizeof text, "%02d:%02d", local->tm_hour, local->tm_min);
        CopyBounded(clock, text, 9);
    }
}

char* FileDirectory(char* dst, const char* path)
{
    int last = -1;
    for (int i = 0; path[i] != '\0'; ++i)
        if (IsPathBreak(path[i])) last = i;
    int len = last > 0 ? last : 0;
    std::memmove(dst, path, static_cast<std::size_t>(len));
    dst[len] = '\0';
    return dst;
}

char* FileNamePart(char* dst, const char* path)
{
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p)
        if (IsPathBreak(*p)) name = p + 1;
    std::memmove(dst, name, std::strlen(name) + 1);
    return dst;
}

int ReadFileLine(FILE* stream, char* buf, int size)
{
    if (!stream) return 0;
    int length = 0;
    for (int c = std::fgetc(stream); c != EOF && c != '\n'; c = std::fgetc(stream)) {
        if (length + 1 < size) buf[length] = static_cast<char>(c);
        ++length;
    }
    if (size > 0) buf[length < size ? length : size - 1] = '\0';
    return length;
}
