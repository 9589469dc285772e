// Orlenk's dialog exists in English (1033) and Japanese (1041): the Japanese
// template has the English controls (two labels wider) and only characters of
// code page 932, and under each user-interface language the program opens the
// Japanese one only under Japanese. KODRA_EXPECT_LANG names the language the
// CTest entry runs under ("ja", "ko", "zh", "de"; none: English).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "ResourceReader.h"
#include "resource.h"

namespace {

const LANGID kEnglish = 1033;
const LANGID kJapanese = 1041;

HMODULE Program() { return GetModuleHandleA(nullptr); }

bool Japanese()
{
    const char* lang = std::getenv("KODRA_EXPECT_LANG");
    return lang && std::string(lang) == "ja";
}

TEST(OrlenkLanguages, TheJapaneseTemplateKeepsTheEnglishStructure)
{
    testlib::DialogTemplate english, japanese;
    ASSERT_TRUE(testlib::LoadDialogTemplate(Program(), IDD_MAILCONFIG_DIALOG, kEnglish, english));
    ASSERT_TRUE(testlib::LoadDialogTemplate(Program(), IDD_MAILCONFIG_DIALOG, kJapanese, japanese));
    // The Japanese login and password labels are wider, their edits narrower.
    testlib::DialogTemplate expected = english;
    for (testlib::TemplateItem& item : expected.items) {
        if (item.id == IDC_LOGIN_LABEL || item.id == IDC_PASSWORD_LABEL) item.cx += 10;
        if (item.id == IDC_LOGIN || item.id == IDC_PASSWORD) {
            item.x += 10;
            item.cx -= 10;
        }
    }
    testlib::ExpectTranslatedLayout(expected, japanese, 932);
    EXPECT_EQ((std::vector<LANGID>{kEnglish, kJapanese}),
              testlib::ResourceLanguages(Program(), MAKEINTRESOURCEW(5), IDD_MAILCONFIG_DIALOG));
}

TEST(OrlenkLanguages, TheDialogOpensInTheLanguage)
{
    testlib::ExpectOpensAs(Program(), IDD_MAILCONFIG_DIALOG, Japanese() ? kJapanese : kEnglish, nullptr, true);
}

}  // namespace
