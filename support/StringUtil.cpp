#include "StringUtil.h"

#include "CharBufferUtil.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstring>
#include <locale>
#include <memory>
#include <new>
#include <vector>

namespace {

// The character classes of the global locale. Taking the locale costs a lock,
// so the functions that classify every character of a text take it once.
const std::ctype<char>& Classes(const std::locale& locale)
{
    return std::use_facet<std::ctype<char>>(locale);
}

bool IsSpace(char c) { return std::isspace(c, std::locale()); }

// The runtime's atoi with its 32-bit wrap-around, the same on every build.
int Atoi32(const char* text)
{
    while (std::isspace(static_cast<unsigned char>(*text))) ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    uint32_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) value = value * 10u + static_cast<uint32_t>(*text - '0');
    return static_cast<int32_t>(negative ? 0u - value : value);
}

// Value of a text of digits; false when it exceeds the largest unsigned 32-bit
// value, which no range of ours includes.
bool DigitsValue(const char* text, uint32_t& value)
{
    uint64_t v = 0;
    for (; *text != '\0'; ++text) {
        v = v * 10u + static_cast<uint64_t>(*text - '0');
        if (v > UINT32_MAX) return false;
    }
    value = static_cast<uint32_t>(v);
    return true;
}

std::string SignedText(int32_t value, int radix)
{
    char buf[34];
    return SignedToText(value, buf, radix);
}

std::string UnsignedText(uint32_t value, int radix)
{
    char buf[34];
    return UnsignedToText(value, buf, radix);
}

// The first separator at or after from that has an even number of quote
// characters between from and itself, or the text's end.
std::size_t CsvFieldEnd(const std::string& text, std::size_t from, char sep, char quote)
{
    int quotes = 0;
    for (; from < text.size(); ++from) {
        if (text[from] == quote)
            ++quotes;
        else if (text[from] == sep && quotes % 2 == 0)
            break;
    }
    return from;
}

bool SameChar(char a, char b, bool caseSensitive)
{
    return caseSensitive ? a == b
                         : std::toupper(static_cast<unsigned char>(a)) ==
                               std::toupper(static_cast<unsigned char>(b));
}

}  // namespace

std::string TrimCharLeft(const std::string& text, char c)
{
    std::size_t first = text.find_first_not_of(c);
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::string TrimCharRight(const std::string& text, char c)
{
    std::size_t last = text.find_last_not_of(c);
    return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

std::string TrimChar(const std::string& text, char c) { return TrimCharRight(TrimCharLeft(text, c), c); }

int CountLeadingChars(const std::string& text, char c)
{
    return static_cast<int>(text.size() - TrimCharLeft(text, c).size());
}

int CountTrailingChars(const std::string& text, char c)
{
    return static_cast<int>(text.size() - TrimCharRight(text, c).size());
}

std::string SetLeadingChars(const std::string& text, char c, int n)
{
    return std::string(static_cast<std::size_t>(std::max(n, 0)), c) + TrimCharLeft(text, c);
}

std::string SetTrailingChars(const std::string& text, char c, int n)
{
    return TrimCharRight(text, c) + std::string(static_cast<std::size_t>(std::max(n, 0)), c);
}

std::string AppendChar(const std::string& text, char c) { return text + c; }

std::string StrTrimLeft(const std::string& text)
{
    std::size_t i = 0;
    const std::locale locale;
    const std::ctype<char>& classes = Classes(locale);
    while (i < text.size() && classes.is(std::ctype_base::space, text[i])) ++i;
    return text.substr(i);
}

std::string StrTrimRight(const std::string& text)
{
    std::size_t n = text.size();
    const std::locale locale;
    const std::ctype<char>& classes = Classes(locale);
    while (n > 0 && classes.is(std::ctype_base::space, text[n - 1])) --n;
    return text.substr(0, n);
}

std::string StrTrim(const std::string& text) { return StrTrimRight(StrTrimLeft(text)); }

char CharToUpper(char c) { return std::toupper(c, std::locale()); }

char CharToLower(char c) { return std::tolower(c, std::locale()); }

std::string StrToUpper(const std::string& text)
{
    std::string out = text;
    const std::locale locale;
    Classes(locale).toupper(&out[0], &out[0] + out.size());
    return out;
}

std::string StrToLower(const std::string& text)
{
    std::string out = text;
    const std::locale locale;
    Classes(locale).tolower(&out[0], &out[0] + out.size());
    return out;
}

bool StrEqualNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && StrEqualNoCaseN(a, b, static_cast<unsigned>(a.size()));
}

bool StrEqualNoCaseN(const std::string& a, const std::string& b, unsigned n)
{
    if (a.size() < n || b.size() < n) return false;
    const std::locale locale;
    const std::ctype<char>& classes = Classes(locale);
    for (unsigned i = 0; i < n; ++i)
        if (classes.toupper(a[i]) != classes.toupper(b[i])) return false;
    return true;
}

// Only the latest "*" ever needs another try: whatever an earlier one would
// take more of, the latest can take as well. So each failure moves the latest
// star's text one character on, and the time is at most text x pattern.
bool WildcardMatch(const char* text, const char* pattern, bool caseSensitive)
{
    const char* star = nullptr;      // just after the latest "*" passed
    const char* starText = nullptr;  // where the text stood when it was passed
    while (*text != '\0') {
        if (*pattern == '*') {
            star = ++pattern;
            starText = text;
        } else if (*pattern != '\0' && (*pattern == '?' || SameChar(*pattern, *text, caseSensitive))) {
            ++pattern;
            ++text;
        } else if (star) {
            pattern = star;
            text = ++starText;
        } else {
            return false;
        }
    }
    while (*pattern == '*') ++pattern;
    return *pattern == '\0';
}

bool IsIdentStartChar(char c) { return std::isalpha(c, std::locale()) || c == '_'; }

bool IsIdentChar(char c) { return IsIdentStartChar(c) || std::isdigit(c, std::locale()); }

bool IsAllDigits(const char* text)
{
    if (*text == '\0') return false;
    for (; *text != '\0'; ++text)
        if (*text < '0' || *text > '9') return false;
    return true;
}

bool IsNumberInRange(const char* text, int lo, int hi)
{
    uint32_t value = 0;
    if (!IsAllDigits(text) || !DigitsValue(text, value) || value > INT_MAX) return false;
    int v = static_cast<int>(value);
    return lo <= v && v <= hi;
}

bool IsUnsignedInRange(const char* text, unsigned lo, unsigned hi)
{
    uint32_t value = 0;
    if (!IsAllDigits(text) || !DigitsValue(text, value)) return false;
    return lo <= value && value <= hi;
}

bool LeadingUnsigned(const char* text, uint32_t most, uint32_t& value)
{
    const std::string digits(text, std::strspn(text, "0123456789"));
    uint32_t v = 0;
    if (digits.empty() || !DigitsValue(digits.c_str(), v) || v > most) return false;
    value = v;
    return true;
}

bool IsIpAddress(const char* text)
{
    if (CountFields(text, ".", true) != 4) return false;
    for (int i = 1; i <= 4; ++i)
        if (!IsNumberInRange(GetField(text, ".", i, false).c_str(), 0, 255)) return false;
    return true;
}

std::string NumberToString(int value, int radix) { return SignedText(value, radix); }
std::string NumberToString(long value, int radix) { return SignedText(static_cast<int32_t>(value), radix); }
std::string NumberToString(short value, int radix) { return SignedText(value, radix); }
std::string NumberToString(unsigned int value, int radix) { return UnsignedText(value, radix); }
std::string NumberToString(unsigned long value, int radix)
{
    return UnsignedText(static_cast<uint32_t>(value), radix);
}
std::string NumberToString(unsigned short value, int radix) { return UnsignedText(value, radix); }

std::string StrGroupDigits(const std::string& text, char sep)
{
    // Groups of three from the right; a lone "-" in front joins its group
    // without a separator.
    std::size_t n = text.size();
    if (n == 0) return std::string();
    std::size_t head = n - 3 * ((n - 1) / 3);
    std::string result = text.substr(0, head);
    const bool sepAfterHead = result != "-";
    for (std::size_t i = head; i < n; i += 3) {
        if (i > head || sepAfterHead) result += sep;
        result.append(text, i, 3);
    }
    return result;
}

std::string GetField(const std::string& text, const std::string& separator, int n, bool collapse)
{
    char stackBuffer[4096];
    std::unique_ptr<char[]> heapBuffer;
    char* buffer = stackBuffer;
    int size = sizeof stackBuffer;
    if (text.size() > sizeof stackBuffer - 1) {
        heapBuffer.reset(new (std::nothrow) char[text.size() + 1]);
        if (!heapBuffer) return std::string();
        buffer = heapBuffer.get();
        size = static_cast<int>(text.size() + 1);
    }
    if (collapse)
        GetFieldCollapsed(buffer, size, text.c_str(), separator.c_str(), n);
    else
        GetFieldN(buffer, size, text.c_str(), separator.c_str(), n);
    return buffer;
}

std::vector<std::string> SplitFields(const std::string& text, const std::string& separator)
{
    std::vector<std::string> fields;
    const char* p = text.c_str();
    if (*p == '\0') return fields;
    const std::size_t sepLen = std::strlen(separator.c_str());
    if (sepLen == 0) {
        fields.emplace_back(p);
        return fields;
    }
    const char* begin = p;
    while (*p != '\0') {
        if (std::strncmp(p, separator.c_str(), sepLen) == 0) {
            fields.emplace_back(begin, static_cast<std::size_t>(p - begin));
            p += sepLen;
            begin = p;
        } else {
            ++p;
        }
    }
    fields.emplace_back(begin, static_cast<std::size_t>(p - begin));
    return fields;
}

int CountFields(const std::string& text, const std::string& separator, bool collapse)
{
    return collapse ? CountFieldsCollapsed(text.c_str(), separator.c_str())
                    : CountFieldsN(text.c_str(), separator.c_str());
}

std::string TextBetween(const std::string& text, const std::string& open, const std::string& close)
{
    std::size_t start = text.find(open);
    if (start == std::string::npos) return std::string();
    start += open.size();
    std::size_t end = text.find(close, start);
    if (end == std::string::npos) return std::string();
    return text.substr(start, end - start);
}

bool SplitAtFirst(std::string& left, std::string& right, const char* text, const char* separator)
{
    std::string whole = text;
    std::size_t at = whole.find(separator);
    if (at == std::string::npos) {
        left = whole;
        return false;
    }
    left = whole.substr(0, at);
    right = whole.substr(at + std::strlen(separator));
    return true;
}

bool ReplaceAll(std::string& out, const char* text, const char* find, const char* replacement)
{
    std::size_t findLen = std::strlen(find);
    if (findLen == 0) {
        out = text;
        return true;
    }
    std::string result;
    for (const char* p = text; *p != '\0';) {
        if (std::strncmp(p, find, findLen) == 0) {
            result += replacement;
            p += findLen;
        } else {
            result += *p++;
        }
    }
    out = result;
    return true;
}

std::string StrReplaceAll(const std::string& text, const std::string& find, const std::string& replacement)
{
    std::string out;
    ReplaceAll(out, text.c_str(), find.c_str(), replacement.c_str());
    return out;
}

bool ParseUrl(const char* url, std::string& scheme, std::string& user, std::string& password,
              std::string& host, int& port, std::string& path)
{
    std::string work = url;
    std::size_t at = work.find("//");
    if (at != std::string::npos) {
        scheme = work.substr(0, at);
        work = work.substr(at + 2);
    }
    at = work.find('@');
    if (at != std::string::npos) {
        std::string userPart = work.substr(0, at);
        work = work.substr(at + 1);
        std::size_t colon = userPart.find(':');
        if (colon != std::string::npos) {
            user = userPart.substr(0, colon);
            password = userPart.substr(colon + 1);
        } else {
            user = userPart;
        }
    }
    at = work.find('/');
    if (at != std::string::npos) {
        path = work.substr(at);
        work = work.substr(0, at);
    }
    at = work.find(':');
    host = work.substr(0, at);
    if (at != std::string::npos && at + 1 < work.size()) port = Atoi32(work.c_str() + at + 1);
    return true;
}

bool ParseUrlHost(const char* url, std::string& host, int& port)
{
    std::string scheme, user, password, path;
    return ParseUrl(url, scheme, user, password, host, port, path);
}

int CountCsvFields(const std::string& text, char sep, char quote)
{
    if (text.empty()) return 0;
    int count = 1;
    int quotes = 0;
    for (char c : text) {
        if (c == quote)
            ++quotes;
        else if (c == sep && quotes % 2 == 0)
            ++count;
    }
    return count;
}

std::string GetCsvFieldHead(const std::string& text, char sep, char quote, int* consumed)
{
    if (!consumed) return std::string();
    std::size_t stop = CsvFieldEnd(text, 0, sep, quote);
    std::string field = text.substr(0, stop);
    if (!IsSpace(sep)) field = StrTrim(field);
    if (field.size() >= 2 && field.front() == quote && field.back() == quote)
        field = field.substr(1, field.size() - 2);
    field = StrReplaceAll(field, std::string(2, quote), std::string(1, quote));
    *consumed = static_cast<int>(stop);
    return field;
}

std::string GetCsvField(const std::string& text, char sep, unsigned n, char quote)
{
    if (text.empty() || n == 0) return std::string();
    // The rest is the text from an offset on, never a copy: a copy per field
    // made long lists of empty fields take quadratic time.
    std::size_t at = 0;
    std::string field;
    for (unsigned pass = 1; pass <= n; ++pass) {
        int consumed = 0;
        field = GetCsvFieldHead(text.substr(at, CsvFieldEnd(text, at, sep, quote) - at), sep, quote,
                                &consumed);
        at += static_cast<std::size_t>(consumed);
        if (!IsSpace(sep)) {
            const std::locale locale;
            const std::ctype<char>& classes = Classes(locale);
            while (at < text.size() && classes.is(std::ctype_base::space, text[at])) ++at;
        }
        if (at >= text.size()) return pass < n ? std::string() : field;
        ++at;
    }
    return field;
}

std::string QuoteString(const std::string& text, char quote, bool asIs)
{
    return quote + (asIs ? text : TrimChar(text, quote)) + quote;
}
