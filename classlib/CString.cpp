#include "CString.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

bool IsSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
char FoldLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char FoldUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Size of the character starting at index: 2 for a lead byte with its trail.
size_t CharSize(const std::string& s, size_t index)
{
    if (classlib::IsLeadByte(static_cast<unsigned char>(s[index])) && index + 1 < s.size())
        return 2;
    return 1;
}

template <class Fold>
void MapCase(std::string& s, Fold fold)
{
    for (size_t i = 0; i < s.size();) {
        size_t n = CharSize(s, i);
        if (n == 1)
            s[i] = fold(s[i]);
        i += n;
    }
}

int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

}  // namespace

CString::CString(const char* text) : text_(text ? text : "") {}

CString::CString(const char* text, int length)
{
    if (text && length > 0)
        text_.assign(text, static_cast<size_t>(length));
}

CString::CString(char ch, int repeat)
{
    if (repeat > 0)
        text_.assign(static_cast<size_t>(repeat), ch);
}

CString& CString::operator=(const char* text)
{
    text_ = text ? text : "";
    return *this;
}

CString& CString::operator=(char ch)
{
    text_.assign(1, ch);
    return *this;
}

CString& CString::operator+=(const CString& text)
{
    text_ += text.text_;
    return *this;
}

CString& CString::operator+=(const char* text)
{
    if (text)
        text_ += text;
    return *this;
}

CString& CString::operator+=(char ch)
{
    text_ += ch;
    return *this;
}

char CString::GetAt(int index) const
{
    if (index < 0 || index >= GetLength())
        return '\0';
    return text_[static_cast<size_t>(index)];
}

void CString::SetAt(int index, char ch)
{
    if (index >= 0 && index < GetLength())
        text_[static_cast<size_t>(index)] = ch;
}

int CString::Compare(const char* other) const
{
    return Sign(std::strcmp(text_.c_str(), other ? other : ""));
}

int CString::CompareNoCase(const char* other) const
{
    const std::string b = other ? other : "";
    size_t i = 0;
    size_t j = 0;
    while (i < text_.size() && j < b.size()) {
        size_t n = CharSize(text_, i);
        size_t m = CharSize(b, j);
        if (n == 1 && m == 1) {
            unsigned char x = static_cast<unsigned char>(FoldLower(text_[i]));
            unsigned char y = static_cast<unsigned char>(FoldLower(b[j]));
            if (x != y)
                return x < y ? -1 : 1;
        } else {
            int c = text_.compare(i, n, b, j, m);
            if (c != 0)
                return Sign(c);
        }
        i += n;
        j += m;
    }
    if (i < text_.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

CString CString::Left(int count) const
{
    if (count <= 0)
        return CString();
    CString r;
    r.text_ = text_.substr(0, static_cast<size_t>(count));
    return r;
}

CString CString::Right(int count) const
{
    if (count <= 0)
        return CString();
    if (count >= GetLength())
        return *this;
    CString r;
    r.text_ = text_.substr(static_cast<size_t>(GetLength() - count));
    return r;
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const
{
    if (first < 0)
        first = 0;
    if (first >= GetLength() || count <= 0)
        return CString();
    CString r;
    r.text_ = text_.substr(static_cast<size_t>(first), static_cast<size_t>(count));
    return r;
}

int CString::Find(char ch, int start) const
{
    if (start < 0)
        start = 0;
    for (size_t i = 0; i < text_.size();) {
        size_t n = CharSize(text_, i);
        if (i >= static_cast<size_t>(start) && n == 1 && text_[i] == ch)
            return static_cast<int>(i);
        i += n;
    }
    return -1;
}

int CString::Find(const char* text, int start) const
{
    if (start < 0)
        start = 0;
    if (start > GetLength())
        return -1;
    const size_t length = text ? std::strlen(text) : 0;
    if (length == 0)
        return start;
    for (size_t i = 0; i < text_.size();) {
        if (i >= static_cast<size_t>(start) && text_.compare(i, length, text) == 0)
            return static_cast<int>(i);
        i += CharSize(text_, i);
    }
    return -1;
}

int CString::ReverseFind(char ch) const
{
    int found = -1;
    for (size_t i = 0; i < text_.size();) {
        size_t n = CharSize(text_, i);
        if (n == 1 && text_[i] == ch)
            found = static_cast<int>(i);
        i += n;
    }
    return found;
}

CString& CString::MakeUpper()
{
    MapCase(text_, FoldUpper);
    return *this;
}

CString& CString::MakeLower()
{
    MapCase(text_, FoldLower);
    return *this;
}

CString& CString::TrimLeft()
{
    size_t i = 0;
    while (i < text_.size() && IsSpace(static_cast<unsigned char>(text_[i])))
        ++i;
    text_.erase(0, i);
    return *this;
}

CString& CString::TrimRight()
{
    // Walk forwards so that a trail byte is never taken for white space.
    size_t keep = 0;
    for (size_t i = 0; i < text_.size();) {
        size_t n = CharSize(text_, i);
        if (n != 1 || !IsSpace(static_cast<unsigned char>(text_[i])))
            keep = i + n;
        i += n;
    }
    text_.erase(keep);
    return *this;
}

CString& CString::Trim()
{
    TrimLeft();
    return TrimRight();
}

void CString::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(const char* format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    int needed = std::vsnprintf(NULL, 0, format, copy);
    va_end(copy);
    if (needed < 0) {
        text_.clear();
        return;
    }
    std::string out(static_cast<size_t>(needed) + 1, '\0');
    int written = std::vsnprintf(&out[0], out.size(), format, args);
    out.resize(written < 0 ? 0 : static_cast<size_t>(written < needed ? written : needed));
    text_ = std::move(out);
}

char* CString::GetBuffer(int minLength)
{
    if (minLength > GetLength())
        text_.resize(static_cast<size_t>(minLength), '\0');
    return &text_[0];
}

char* CString::GetBufferSetLength(int length)
{
    text_.resize(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    return &text_[0];
}

void CString::ReleaseBuffer(int newLength)
{
    if (newLength < 0)
        newLength = static_cast<int>(std::strlen(text_.c_str()));
    if (newLength < GetLength())
        text_.resize(static_cast<size_t>(newLength));
}

CString operator+(const CString& a, const CString& b)
{
    CString r(a);
    r += b;
    return r;
}
CString operator+(const CString& a, const char* b)
{
    CString r(a);
    r += b;
    return r;
}
CString operator+(const char* a, const CString& b)
{
    CString r(a);
    r += b;
    return r;
}
CString operator+(const CString& a, char b)
{
    CString r(a);
    r += b;
    return r;
}
CString operator+(char a, const CString& b)
{
    CString r(a);
    r += b;
    return r;
}

bool operator==(const CString& a, const CString& b) { return a.str() == b.str(); }
bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
bool operator==(const char* a, const CString& b) { return b.Compare(a) == 0; }
bool operator!=(const CString& a, const CString& b) { return !(a == b); }
bool operator!=(const CString& a, const char* b) { return !(a == b); }
bool operator!=(const char* a, const CString& b) { return !(a == b); }
bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
bool operator<(const CString& a, const char* b) { return a.Compare(b) < 0; }
bool operator<(const char* a, const CString& b) { return b.Compare(a) > 0; }
bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
bool operator>(const CString& a, const char* b) { return a.Compare(b) > 0; }
bool operator>(const char* a, const CString& b) { return b.Compare(a) < 0; }
bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
bool operator<=(const CString& a, const char* b) { return a.Compare(b) <= 0; }
bool operator<=(const char* a, const CString& b) { return b.Compare(a) >= 0; }
bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }
bool operator>=(const CString& a, const char* b) { return a.Compare(b) >= 0; }
bool operator>=(const char* a, const CString& b) { return b.Compare(a) <= 0; }

int CStringArray::Add(const char* text)
{
    items_.emplace_back(text);
    return GetSize() - 1;
}

int CStringArray::Add(const CString& text)
{
    items_.push_back(text);
    return GetSize() - 1;
}

const CString& CStringArray::GetAt(int index) const { return items_.at(static_cast<size_t>(index)); }

CString& CStringArray::operator[](int index) { return items_.at(static_cast<size_t>(index)); }

void CStringArray::SetAt(int index, const char* text) { items_.at(static_cast<size_t>(index)) = text; }

void CStringArray::RemoveAt(int index, int count)
{
    if (index < 0 || index >= GetSize() || count <= 0)
        return;
    int end = index + count < GetSize() ? index + count : GetSize();
    items_.erase(items_.begin() + index, items_.begin() + end);
}

void CStringArray::InsertAt(int index, const char* text, int count)
{
    if (count <= 0)
        return;
    if (index < 0)
        index = 0;
    if (index > GetSize())
        index = GetSize();
    items_.insert(items_.begin() + index, static_cast<size_t>(count), CString(text));
}
