// Orlenk's dialog exists in English (1033) and Japanese (1041): the Japanese
// template has the English controls (two labels wider) and only characters of
// code page 932, and under each user-interface language the program opens the
// Japanese one only under Japanese. KODRA_EXPECT_LANG names the language the
// CTest entry runs under ("ja", "ko", "zh", "de"; none: English).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "MailConfigDlg.h"
#include "MailerSettings.h"
#include "NarrowStoredPasswords.h"
#include "ResourceReader.h"
#include "TestServices.h"
#include "classlib_testkit.h"
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

// What the dialog shows of the stored login: its password field, and whether
// authentication is checked.
struct ShownPassword {
    std::string password = "<not opened>";
    bool checked = false;
};

ShownPassword OpenAndCancel()
{
    ShownPassword shown;
    classlib::testkit::ModalDriver driver([&](CDialog& dlg) {
        char text[64] = "";
        GetDlgItemTextA(dlg.GetSafeHwnd(), IDC_PASSWORD, text, sizeof text);
        shown.password = text;
        shown.checked = IsDlgButtonChecked(dlg.GetSafeHwnd(), IDC_USE_AUTH) == BST_CHECKED;
        PostMessageA(dlg.GetSafeHwnd(), WM_COMMAND, IDCANCEL, 0);
    });
    CMailConfigDlg dlg;
    dlg.DoModal();
    return shown;
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

TEST(OrlenkLanguages, EveryMessageOfTheStringTableInBothLanguages)
{
    for (UINT id : {IDS_SENDER_QUOTE, IDS_SERVER_QUOTE, IDS_LOGIN_QUOTE, IDS_PASSWORD_QUOTE, IDS_PASSWORD_NOT_STORED}) {
        SCOPED_TRACE(id);
        std::wstring english, japanese;
        ASSERT_TRUE(testlib::LoadTableString(Program(), id, kEnglish, english));
        ASSERT_TRUE(testlib::LoadTableString(Program(), id, kJapanese, japanese));
        EXPECT_NE(english, japanese);
        EXPECT_TRUE(testlib::RoundTrips(japanese, 932));
        char narrow[512] = "";
        LoadStringA(Program(), id, narrow, sizeof narrow);
        EXPECT_EQ(Japanese() ? japanese : english, testlib::Widen(narrow, GetACP()));
    }
}

// A password stored by a system of code page 1252 ("secret", scrambled, as
// that system's narrow calls widened it) reads whole only under that code
// page; elsewhere the narrow calls, the mailer's too, give another password,
// which the program neither shows nor installs.
TEST(OrlenkLanguages, AStoredPasswordIsShownOnlyWhereItReadsWhole)
{
    testlib::DeleteSharedKey(kMailerKey);
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, testlib::CreateSharedKey(kMailerKey, KEY_SET_VALUE, &key));
    const wchar_t login[] = L"alice";
    const wchar_t stored[] = L"\x00EF{\x00E6\x00E1" L"b\x00F6";
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExW(key, L"AUTHLogin", 0, REG_SZ, reinterpret_cast<const BYTE*>(login),
                                            sizeof login));
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExW(key, L"AUTHPassword", 0, REG_SZ,
                                            reinterpret_cast<const BYTE*>(stored), sizeof stored));
    RegCloseKey(key);
    const ShownPassword shown = OpenAndCancel();
    testlib::DeleteSharedKey(kMailerKey);
    EXPECT_TRUE(shown.checked);
    EXPECT_EQ(GetACP() == 1252 ? "secret" : "", shown.password);
}

// A password that the mailer's narrow store under this code page damaged stays
// out of the field, so that OK asks for the password, as the wizard's does.
TEST(OrlenkLanguages, APasswordTheCodePageChangedIsNotShown)
{
    for (const testlib::NarrowStoredPassword& c : testlib::NarrowStoredPasswords()) {
        SCOPED_TRACE(c.password);
        testlib::DeleteSharedKey(kMailerKey);
        char stored[64];
        ScramblePassword(stored, c.password, sizeof stored);
        ASSERT_TRUE(testlib::SetSharedTextsNarrow(kMailerKey, {{"AUTHLogin", "alice"}, {"AUTHPassword", stored}}));
        const ShownPassword shown = OpenAndCancel();
        EXPECT_TRUE(shown.checked);
        EXPECT_EQ(c.ReadsWholeUnder(GetACP()) ? c.password : "", shown.password);
    }
    testlib::DeleteSharedKey(kMailerKey);
}

}  // namespace
