// The tray's texts follow the user-interface language: the German tables under
// German, the English ones otherwise. KODRA_EXPECT_LANG names the language the
// CTest entry runs under ("de" or "en").
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "TrayApp.h"
#include "TrayResources.h"

namespace {

bool German()
{
    const char* lang = std::getenv("KODRA_EXPECT_LANG");
    return lang && std::string(lang) == "de";
}

class LanguageTest : public ::testing::Test {
protected:
    void SetUp() override { TrayInstance = GetModuleHandleA(nullptr); }
};

TEST_F(LanguageTest, TheStringTableOfTheLanguageIsChosen)
{
    EXPECT_EQ(PRIMARYLANGID(GetUserDefaultUILanguage()), German() ? LANG_GERMAN : LANG_ENGLISH);
    if (German()) {
        EXPECT_EQ(LoadTrayString(IDS_MENU_CLOSE), "KODRA-Tray beenden");
        EXPECT_EQ(LoadTrayString(IDS_MENU_ABOUT), "\xDC" "ber...");
        EXPECT_EQ(LoadTrayString(IDS_MENU_CONFIG), "KODRA-Konfiguration");
        EXPECT_EQ(LoadTrayString(IDS_SERVICE_RUNNING), "Service running");
        EXPECT_EQ(LoadTrayString(IDS_SERVICE_STOPPED), "Service stopped");
        EXPECT_EQ(LoadTrayString(IDS_CLOSE_QUESTION),
                  "Wenn Sie KODRA-Tray beenden, k\xF6nnen Sie keine Nachrichten mehr von KODRA "
                  "empfangen!\nWollen Sie KODRA-Tray wirklich beenden?");
    } else {
        EXPECT_EQ(LoadTrayString(IDS_MENU_CLOSE), "Close KODRA-Tray");
        EXPECT_EQ(LoadTrayString(IDS_MENU_ABOUT), "About...");
        EXPECT_EQ(LoadTrayString(IDS_MENU_CONFIG), "KODRA configuration");
        EXPECT_EQ(LoadTrayString(IDS_SERVICE_RUNNING), "VELMOR running");
        EXPECT_EQ(LoadTrayString(IDS_SERVICE_STOPPED), "VELMOR stopped");
        EXPECT_EQ(LoadTrayString(IDS_CLOSE_QUESTION),
                  "If you close KODRA-Tray you are not able to receive notifications from KODRA!\n"
                  "Are you sure that you want to close KODRA-Tray?");
    }
    EXPECT_EQ(LoadTrayString(IDS_CLOSE_CAPTION), "KODRA-Tray");
    EXPECT_EQ(LoadTrayString(IDS_WORD_BACKUP_MODE), "Backup mode");
    EXPECT_EQ(LoadTrayString(IDS_WORD_OVER_TEMP), "Over temp.");
    EXPECT_EQ(LoadTrayString(IDS_WORD_COMM_LOST), "COMM lost");
}

TEST_F(LanguageTest, TheAboutBoxOfTheLanguageIsChosen)
{
    HWND about = CreateDialogParamA(TrayInstance, MAKEINTRESOURCEA(IDD_ABOUT), nullptr, AboutDlgProc, 0);
    ASSERT_NE(about, nullptr);
    char caption[64];
    GetWindowTextA(about, caption, sizeof caption);
    EXPECT_STREQ(caption, German() ? "\xDC" "ber..." : "About...");
    HWND picture = GetDlgItem(about, IDC_ABOUT_ICON);
    if (German()) {
        ASSERT_NE(picture, nullptr);
        EXPECT_NE(SendMessageA(picture, STM_GETICON, 0, 0), 0);
    } else {
        EXPECT_EQ(picture, nullptr);
    }
    RECT units = {0, 0, German() ? 179 : 188, 8};
    MapDialogRect(about, &units);
    RECT line;
    GetWindowRect(GetDlgItem(about, IDC_ABOUT_VERSION), &line);
    EXPECT_EQ(line.right - line.left, units.right);
    DestroyWindow(about);
}

}  // namespace
