#include "ResourceReader.h"

#include <cstring>

namespace testlib {

namespace {

// Bounded reads over one resource's bytes.
class Reader {
public:
    Reader(const BYTE* data, DWORD size) : data_(data), size_(size) {}
    bool ok() const { return ok_; }

    template <typename T>
    T Get()
    {
        T value{};
        if (!ok_ || size_ - pos_ < sizeof(T)) {
            ok_ = false;
            return value;
        }
        std::memcpy(&value, data_ + pos_, sizeof(T));
        pos_ += sizeof(T);
        return value;
    }
    std::wstring String()
    {
        std::wstring text;
        for (WCHAR c = Get<WCHAR>(); ok_ && c; c = Get<WCHAR>()) text += c;
        return text;
    }
    // A name or ordinal field: empty, 0xFFFF and a number, or a string.
    std::wstring NameOrOrdinal()
    {
        WORD first = Get<WORD>();
        if (first == 0) return std::wstring();
        if (first == 0xFFFF) return L"#" + std::to_wstring(Get<WORD>());
        pos_ -= sizeof(WORD);
        return String();
    }
    void AlignDword() { pos_ = (pos_ + 3) & ~DWORD(3); }
    void Skip(DWORD count)
    {
        if (size_ - pos_ < count) ok_ = false;
        else pos_ += count;
    }

private:
    const BYTE* data_;
    DWORD size_;
    DWORD pos_ = 0;
    bool ok_ = true;
};

bool LockExact(HMODULE module, LPCWSTR type, LPCWSTR name, LANGID language, const BYTE*& data, DWORD& size)
{
    HRSRC found = FindResourceExW(module, type, name, language);
    if (!found) return false;
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded) return false;
    data = static_cast<const BYTE*>(LockResource(loaded));
    size = SizeofResource(module, found);
    return data != nullptr;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR list)
{
    reinterpret_cast<std::vector<LANGID>*>(list)->push_back(language);
    return TRUE;
}

}  // namespace

bool LoadDialogTemplate(HMODULE module, WORD id, LANGID language, DialogTemplate& out)
{
    const BYTE* data = nullptr;
    DWORD size = 0;
    if (!LockExact(module, MAKEINTRESOURCEW(5) /* RT_DIALOG */, MAKEINTRESOURCEW(id), language, data, size))
        return false;
    Reader r(data, size);
    if (r.Get<WORD>() != 1 || r.Get<WORD>() != 0xFFFF) return false;
    out = DialogTemplate();
    r.Get<DWORD>();  // help id
    out.exStyle = r.Get<DWORD>();
    out.style = r.Get<DWORD>();
    WORD count = r.Get<WORD>();
    r.Get<short>();
    r.Get<short>();
    out.cx = r.Get<short>();
    out.cy = r.Get<short>();
    r.NameOrOrdinal();  // menu
    r.NameOrOrdinal();  // class
    out.caption = r.String();
    if (out.style & (DS_SETFONT | DS_SHELLFONT)) {
        out.pointSize = r.Get<WORD>();
        r.Get<WORD>();  // weight
        r.Get<BYTE>();  // italic
        r.Get<BYTE>();  // character set
        out.font = r.String();
    }
    for (WORD i = 0; i < count && r.ok(); ++i) {
        r.AlignDword();
        TemplateItem item;
        r.Get<DWORD>();  // help id
        item.exStyle = r.Get<DWORD>();
        item.style = r.Get<DWORD>();
        item.x = r.Get<short>();
        item.y = r.Get<short>();
        item.cx = r.Get<short>();
        item.cy = r.Get<short>();
        item.id = r.Get<DWORD>();
        item.windowClass = r.NameOrOrdinal();
        item.text = r.NameOrOrdinal();
        r.Skip(r.Get<WORD>());  // creation data
        out.items.push_back(item);
    }
    return r.ok();
}

std::vector<LANGID> ResourceLanguages(HMODULE module, LPCWSTR type, WORD id)
{
    std::vector<LANGID> languages;
    EnumResourceLanguagesW(module, type, MAKEINTRESOURCEW(id), CollectLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    return languages;
}

bool LoadTableString(HMODULE module, UINT id, LANGID language, std::wstring& out)
{
    const BYTE* data = nullptr;
    DWORD size = 0;
    if (!LockExact(module, MAKEINTRESOURCEW(6) /* RT_STRING */, MAKEINTRESOURCEW(id / 16 + 1), language, data,
                   size))
        return false;
    Reader r(data, size);
    for (UINT i = 0; i < id % 16; ++i) r.Skip(r.Get<WORD>() * sizeof(WCHAR));
    WORD length = r.Get<WORD>();
    out.clear();
    for (WORD i = 0; i < length; ++i) out += r.Get<WCHAR>();
    return r.ok() && length > 0;
}

bool RoundTrips(const std::wstring& text, UINT codePage)
{
    if (text.empty()) return true;
    BOOL defaultUsed = FALSE;
    BOOL* flag = &defaultUsed;
    int length = WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                     nullptr, flag);
    if (length <= 0) return false;
    std::string narrow(length, '\0');
    WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()), &narrow[0], length, nullptr,
                        flag);
    return !defaultUsed && Widen(narrow, codePage) == text;
}

std::wstring Widen(const std::string& text, UINT codePage)
{
    if (text.empty()) return std::wstring();
    int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.c_str(), static_cast<int>(text.size()),
                                     nullptr, 0);
    if (length <= 0) return L"<not valid in code page " + std::to_wstring(codePage) + L">";
    std::wstring wide(length, L'\0');
    MultiByteToWideChar(codePage, 0, text.c_str(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

}  // namespace testlib
