// Reads a program's dialog templates and string tables under one exact
// resource language, as stored, for the tests that compare the languages.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testlib {

struct TemplateItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    std::wstring windowClass;  // "#128" and so on for the predefined classes
    std::wstring text;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    short cx = 0, cy = 0;
    std::wstring caption;
    WORD pointSize = 0;
    std::wstring font;
    std::vector<TemplateItem> items;
};

// The extended template `id` of the module stored under exactly `language`;
// false when there is none or it is not a well-formed extended template.
bool LoadDialogTemplate(HMODULE module, WORD id, LANGID language, DialogTemplate& out);

// The languages under which the module stores the resource.
std::vector<LANGID> ResourceLanguages(HMODULE module, LPCWSTR type, WORD id);

// The string `id` of the module's table stored under exactly `language`; false
// when the table has no such string.
bool LoadTableString(HMODULE module, UINT id, LANGID language, std::wstring& out);

// True when every character of the text is carried by the code page: the text
// converts to it and back unchanged.
bool RoundTrips(const std::wstring& text, UINT codePage);

// The text as the narrow API of that code page sees it, widened again.
std::wstring Widen(const std::string& text, UINT codePage);

// Checks shared by the language tests.

// The translated template against the one expected from the English: the same
// frame, font and controls (ids, classes, styles, positions); every text carried
// by the code page, present where the expected one is, and with the expected
// accelerator letter written after the word as "(&X)"; a caption of its own.
void ExpectTranslatedLayout(const DialogTemplate& expected, const DialogTemplate& translated, UINT codePage);

// Opens the template as a narrow program does (owned by or inside `host`) and
// expects the caption, the controls in order and the texts of the template
// stored under `language`, read alike through the wide and the narrow API; with
// `wholeTexts`, each static's and button's text shown whole in its control.
void ExpectOpensAs(HMODULE module, WORD dialog, LANGID language, HWND host, bool wholeTexts);

}  // namespace testlib
