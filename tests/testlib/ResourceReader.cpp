#include "ResourceReader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <cwctype>

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

namespace {

// The accelerator letter of a text ("&P" gives P), 0 when it has none.
wchar_t Accelerator(const std::wstring& text)
{
    for (size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == L'&' && text[i + 1] != L'&') return static_cast<wchar_t>(std::towupper(text[i + 1]));
    return 0;
}

INT_PTR CALLBACK Inert(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

void ExpectText(HWND window, const std::wstring& text)
{
    wchar_t wide[1024] = L"";
    char narrow[1024] = "";
    GetWindowTextW(window, wide, 1024);
    GetWindowTextA(window, narrow, sizeof narrow);
    EXPECT_EQ(text, std::wstring(wide));
    EXPECT_EQ(std::wstring(wide), Widen(narrow, GetACP()));
}

// Whether the control shows its whole text: a static wraps it within its
// height, a button keeps it on one line beside its box or within its frame.
void ExpectTextFits(HWND control, const std::wstring& text, bool isStatic)
{
    if (text.empty()) return;
    RECT client = {};
    GetClientRect(control, &client);
    UINT flags = DT_CALCRECT | (isStatic ? DT_WORDBREAK : DT_SINGLELINE);
    int margin = 0;
    if (!isStatic) {
        LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
        margin = type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON ? 6 : 16;
    }
    RECT needed = {0, 0, client.right - margin, 0};
    HDC dc = GetDC(control);
    ASSERT_NE(nullptr, dc);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    DrawTextW(dc, text.c_str(), -1, &needed, flags);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    EXPECT_LE(needed.right + margin, client.right) << "too wide: control " << GetDlgCtrlID(control);
    EXPECT_LE(needed.bottom, client.bottom) << "too high: control " << GetDlgCtrlID(control);
}

}  // namespace

void ExpectTranslatedLayout(const DialogTemplate& expected, const DialogTemplate& translated, UINT codePage)
{
    EXPECT_EQ(expected.style, translated.style);
    EXPECT_EQ(expected.exStyle, translated.exStyle);
    EXPECT_EQ(expected.cx, translated.cx);
    EXPECT_EQ(expected.cy, translated.cy);
    EXPECT_EQ(expected.font, translated.font);
    EXPECT_EQ(expected.pointSize, translated.pointSize);
    EXPECT_TRUE(RoundTrips(translated.caption, codePage));
    EXPECT_EQ(expected.caption.empty(), translated.caption.empty());
    if (!expected.caption.empty()) {
        EXPECT_NE(expected.caption, translated.caption);
    }
    ASSERT_EQ(expected.items.size(), translated.items.size());
    for (size_t i = 0; i < expected.items.size(); ++i) {
        const TemplateItem& want = expected.items[i];
        const TemplateItem& got = translated.items[i];
        SCOPED_TRACE("control " + std::to_string(static_cast<int>(want.id)));
        EXPECT_EQ(want.id, got.id);
        EXPECT_EQ(want.windowClass, got.windowClass);
        EXPECT_EQ(want.style, got.style);
        EXPECT_EQ(want.exStyle, got.exStyle);
        EXPECT_EQ(want.x, got.x);
        EXPECT_EQ(want.y, got.y);
        EXPECT_EQ(want.cx, got.cx);
        EXPECT_EQ(want.cy, got.cy);
        EXPECT_TRUE(RoundTrips(got.text, codePage));
        EXPECT_EQ(want.text.empty(), got.text.empty());
        if (wchar_t letter = Accelerator(want.text)) {
            EXPECT_NE(std::wstring::npos, got.text.find(std::wstring(L"(&") + letter + L")")) << letter;
        }
    }
}

void ExpectOpensAs(HMODULE module, WORD dialog, LANGID language, HWND host, bool wholeTexts)
{
    SCOPED_TRACE("template " + std::to_string(dialog));
    DialogTemplate stored;
    ASSERT_TRUE(LoadDialogTemplate(module, dialog, language, stored));
    HWND window = CreateDialogParamA(module, MAKEINTRESOURCEA(dialog), host, Inert, 0);
    ASSERT_NE(nullptr, window);
    ExpectText(window, stored.caption);
    size_t index = 0;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT), ++index) {
        if (index >= stored.items.size()) continue;  // counted below
        const TemplateItem& item = stored.items[index];
        EXPECT_EQ(static_cast<WORD>(item.id), static_cast<WORD>(GetDlgCtrlID(child)));
        EXPECT_EQ((item.style & WS_VISIBLE) != 0, (GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE) != 0);
        wchar_t className[32] = L"";
        GetClassNameW(child, className, 32);
        bool isStatic = !lstrcmpiW(className, L"Static");
        if (isStatic || !lstrcmpiW(className, L"Button")) {
            ExpectText(child, item.text);
            if (wholeTexts) ExpectTextFits(child, item.text, isStatic);
        }
    }
    EXPECT_EQ(stored.items.size(), index);
    DestroyWindow(window);
}

}  // namespace testlib
