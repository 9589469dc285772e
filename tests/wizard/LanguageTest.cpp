// The wizard's resources in Japanese, Korean and Simplified Chinese beside the
// English ones: each translated template keeps the English structure apart from
// its own known differences, every text is carried by the language's code page,
// and under each user-interface language the program opens that language's
// texts. KODRA_EXPECT_LANG names the language the CTest entry runs under ("ja",
// "ko", "zh", "de"; none: English).
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "AddrlistDlg.h"
#include "CnfData.h"
#include "MailSettings.h"
#include "MailerSettings.h"
#include "NarrowStoredPasswords.h"
#include "PageHost.h"
#include "ResourceReader.h"
#include "TestServices.h"
#include "WizardTestKit.h"
#include "classlib_testkit.h"
#include "resource.h"
#include "testlib.h"

namespace {

using namespace classlib::testkit;
using testlib::DialogTemplate;
using testlib::TemplateItem;

struct Language {
    const char* name;
    LANGID ui;        // the user-interface language Wine reports
    LANGID resource;  // the language the resources are stored under
    UINT codePage;
};

const LANGID kEnglish = 1031;
const Language kLanguages[] = {
    {"en", 0x409, kEnglish, 1252},
    {"de", 0x407, kEnglish, 1252},
    {"ja", 0x411, 1041, 932},
    {"ko", 0x412, 1042, 949},
    {"zh", 0x804, 2052, 936},
};

const WORD kTranslatedDialogs[] = {
    IDD_KODRACFG_DIALOG, IDD_MODE,           IDD_ADDRLIST,    IDD_ADDRESS,  IDD_ADV_NET,
    IDD_CLIENT_ALIVE,    IDD_CHECK_VELMOR,   IDD_REDUNDANCY,  IDD_CLIENT_SDBATCH,
    IDD_SERVER_TIME,     IDD_BATCHEDT,       IDD_PAUSECFG,    IDD_MAILSETTINGS,
};
const WORD kEnglishOnlyDialogs[] = {IDD_SELECT_ADAPTER, IDD_KODRACFG};

const Language& Current()
{
    const char* name = std::getenv("KODRA_EXPECT_LANG");
    for (const Language& language : kLanguages)
        if (name && std::string(name) == language.name) return language;
    return kLanguages[0];
}

HMODULE Program() { return GetModuleHandleA(nullptr); }

// The placeholders and line breaks of a text, in order.
std::wstring Skeleton(const std::wstring& text)
{
    std::wstring skeleton;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' || text[i] == L'\n') {
            skeleton += text[i];
        } else if (text[i] == L'%' && i + 1 < text.size()) {
            size_t end = i + 1;
            while (end < text.size() && !std::iswalpha(text[end])) ++end;
            if (end < text.size() && text[end] == L'l') ++end;
            skeleton += text.substr(i, end - i + 1) + L' ';
            i = end;
        }
    }
    return skeleton;
}

std::vector<UINT> EnglishStringIds()
{
    std::vector<UINT> ids;
    std::wstring text;
    for (UINT id = 1; id < 1000; ++id)
        if (testlib::LoadTableString(Program(), id, kEnglish, text)) ids.push_back(id);
    return ids;
}

bool IsVersionLine(const TemplateItem& item) { return item.id == IDC_MAIN_VERSION; }
bool IsRule(const TemplateItem& item)
{
    return static_cast<WORD>(item.id) == 0xFFFF && (item.style & SS_TYPEMASK) == SS_ETCHEDHORZ;
}
bool IsMailSettingsButton(const TemplateItem& item) { return item.id == IDC_SDB_MAIL_SETTINGS; }

// The controls the translated template must hold: the English ones with the
// differences the translated templates have always had.
std::vector<TemplateItem> ExpectedItems(WORD dialog, LANGID language, std::vector<TemplateItem> items)
{
    auto drop = [&items](bool (*which)(const TemplateItem&)) {
        items.erase(std::remove_if(items.begin(), items.end(), which), items.end());
    };
    auto find = [&items](DWORD id) {
        return std::find_if(items.begin(), items.end(), [id](const TemplateItem& i) { return i.id == id; });
    };
    switch (dialog) {
    case IDD_KODRACFG_DIALOG:
        drop(IsVersionLine);
        if (language == 1041) drop(IsRule);
        break;
    case IDD_CLIENT_SDBATCH:
        drop(IsMailSettingsButton);
        break;
    case IDD_PAUSECFG:
        if (language == 1042) find(IDC_PAUSE_SPIN)->style &= ~WS_DISABLED;
        break;
    case IDD_ADV_NET: {
        auto jobs = find(IDC_NET_JOBS_AS_USER);
        TemplateItem shown = *jobs;
        shown.id = IDC_NET_JOBS_SHOWN;
        jobs->style &= ~WS_VISIBLE;
        jobs->text = L"Show &Tray-Icon for messages";
        items.insert(jobs + 1, shown);
        break;
    }
    default:
        break;
    }
    return items;
}

TEST(WizardLanguages, TranslatedTemplatesKeepTheEnglishStructureAndTheirCodePage)
{
    for (const Language& language : kLanguages) {
        if (language.resource == kEnglish) continue;
        for (WORD dialog : kTranslatedDialogs) {
            SCOPED_TRACE(std::string(language.name) + " template " + std::to_string(dialog));
            DialogTemplate english, translated;
            ASSERT_TRUE(testlib::LoadDialogTemplate(Program(), dialog, kEnglish, english));
            ASSERT_TRUE(testlib::LoadDialogTemplate(Program(), dialog, language.resource, translated));
            DialogTemplate expected = english;
            expected.items = ExpectedItems(dialog, language.resource, english.items);
            // The shell's dialog font, which Windows maps to the language's own:
            // the raster MS Sans Serif of some English templates has no glyphs
            // for these languages.
            expected.font = L"MS Shell Dlg";
            testlib::ExpectTranslatedLayout(expected, translated, language.codePage);
        }
        for (WORD dialog : kEnglishOnlyDialogs) {
            EXPECT_EQ(std::vector<LANGID>{kEnglish}, testlib::ResourceLanguages(Program(), MAKEINTRESOURCEW(5), dialog))
                << dialog;
        }
    }
}

TEST(WizardLanguages, TranslatedStringsKeepTheirPlaceholdersAndTheirCodePage)
{
    const std::vector<UINT> ids = EnglishStringIds();
    ASSERT_GT(ids.size(), 60u);
    for (const Language& language : kLanguages) {
        if (language.resource == kEnglish) continue;
        for (UINT id : ids) {
            SCOPED_TRACE(std::string(language.name) + " string " + std::to_string(id));
            std::wstring english, translated;
            ASSERT_TRUE(testlib::LoadTableString(Program(), id, kEnglish, english));
            ASSERT_TRUE(testlib::LoadTableString(Program(), id, language.resource, translated));
            EXPECT_TRUE(testlib::RoundTrips(translated, language.codePage));
            EXPECT_EQ(Skeleton(english), Skeleton(translated));
            if (english != L"KODRA") {
                EXPECT_NE(english, translated);
            }
        }
    }
}

// What the narrow program sees under the entry's language.
class UnderTheLanguage : public testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX classes = {sizeof classes,
                                        ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS | ICC_INTERNET_CLASSES};
        ASSERT_TRUE(InitCommonControlsEx(&classes));
    }

    // Opens the template as the program does (a page inside a host, as in the
    // wizard) and expects the texts stored under `language`.
    void ExpectOpensAs(WORD dialog, LANGID language, bool wholeTexts)
    {
        HWND host = CreateDialogParamA(Program(), MAKEINTRESOURCEA(900), nullptr, Inert, 0);
        ASSERT_NE(nullptr, host);
        testlib::ExpectOpensAs(Program(), dialog, language, host, wholeTexts);
        DestroyWindow(host);
    }
    static INT_PTR CALLBACK Inert(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

    const Language& language_ = Current();
};

TEST_F(UnderTheLanguage, TheUserInterfaceLanguageAndCodePageAreTheEntrys)
{
    EXPECT_EQ(language_.ui, GetUserDefaultUILanguage());
    EXPECT_EQ(language_.codePage, GetACP());
}

TEST_F(UnderTheLanguage, EveryStringIsTheLanguagesOwnAndReadsTheSameNarrow)
{
    for (UINT id : EnglishStringIds()) {
        SCOPED_TRACE("string " + std::to_string(id));
        std::wstring stored;
        ASSERT_TRUE(testlib::LoadTableString(Program(), id, language_.resource, stored));
        wchar_t wide[2048] = L"";
        char narrow[2048] = "";
        LoadStringW(Program(), id, wide, 2048);
        LoadStringA(Program(), id, narrow, sizeof narrow);
        EXPECT_EQ(stored, std::wstring(wide));
        EXPECT_EQ(stored, testlib::Widen(narrow, GetACP()));
        EXPECT_EQ(stored, testlib::Widen(wizardtest::Loaded(id), GetACP()));
    }
}

TEST_F(UnderTheLanguage, EveryTemplateOpensInTheLanguage)
{
    for (WORD dialog : kTranslatedDialogs) ExpectOpensAs(dialog, language_.resource, true);
    // The English-only dialogs are checked for their texts, not for their
    // layout, which the translations left alone.
    for (WORD dialog : kEnglishOnlyDialogs) ExpectOpensAs(dialog, kEnglish, false);
}

// The jobs flag through the address list page's network dialog: in the
// translated templates the visible 1120 shows and sets what the hidden 1119
// carries into the record and the service's parameters.
class JobsFlag : public UnderTheLanguage {
protected:
    void SetUp() override
    {
        UnderTheLanguage::SetUp();
        ASSERT_TRUE(testlib::WriteTextFile(Tray(), "tray"));
        wizardtest::DeleteKeyTree(HKEY_LOCAL_MACHINE, ServiceKey());
        record_.SetDefaults();
        record_.WizardMode = 2;
        record_.ListenIP = "127.0.0.1";
        record_.Addr.Add("10.0.0.1");
    }
    void TearDown() override
    {
        DeleteFileA(Tray().c_str());
        wizardtest::DeleteKeyTree(HKEY_LOCAL_MACHINE, ServiceKey());
    }
    static std::string Tray() { return wizardtest::WizardFolder() + "\\kodratray.exe"; }
    static std::string ServiceKey() { return "SYSTEM\\CurrentControlSet\\Services\\" + std::string(kService); }
    // Opens the network dialog from the page, lets `act` work on it, confirms
    // it and saves the page.
    void ThroughTheDialog(const std::function<void(CDialog&)>& act)
    {
        page_.LoadFromConfig(&record_);
        ModalDriver driver([&](CDialog& d) {
            act(d);
            Click(d, IDOK);
        });
        ASSERT_TRUE(Click(page_, IDC_ADDR_CONFIGURE));
        ASSERT_EQ(1, driver.Runs());
        ASSERT_TRUE(page_.SaveToConfig(&record_));
    }
    DWORD StoredCmdTray()
    {
        EXPECT_TRUE(WriteServiceParameters(record_, false, kService));
        HKEY key = nullptr;
        DWORD value = 0xDEAD, size = sizeof value;
        if (OpenServiceParametersKey(kService, false, &key)) {
            RegQueryValueExA(key, "CmdTray", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
            RegCloseKey(key);
        }
        return value;
    }

    static constexpr const char* kService = "WzLanguageJobs";
    CAddrlistDlg page_;
    wizardtest::PageHost host_{page_};
    CCnfData record_;
    MessageBoxRecorder boxes_{IDOK};
};

TEST_F(JobsFlag, TheVisibleBoxSetsTheFlagStoredAsCmdTray)
{
    if (language_.resource == kEnglish) {
        ThroughTheDialog([](CDialog& d) {
            EXPECT_TRUE(IsVisible(d, IDC_NET_JOBS_AS_USER));
            EXPECT_EQ(nullptr, ::GetDlgItem(d.m_hWnd, IDC_NET_JOBS_SHOWN));
        });
        return;
    }
    record_.CmdTray = 0;
    ThroughTheDialog([](CDialog& d) {
        EXPECT_FALSE(IsVisible(d, IDC_NET_JOBS_AS_USER));
        EXPECT_TRUE(IsVisible(d, IDC_NET_JOBS_SHOWN));
        EXPECT_TRUE(IsEnabled(d, IDC_NET_JOBS_SHOWN));
        EXPECT_FALSE(IsChecked(d, IDC_NET_JOBS_SHOWN));
        EXPECT_TRUE(Click(d, IDC_NET_JOBS_SHOWN));
        EXPECT_TRUE(IsChecked(d, IDC_NET_JOBS_AS_USER));
    });
    EXPECT_EQ(1u, record_.CmdTray);
    EXPECT_EQ(1u, StoredCmdTray());

    // Shown again when the dialog reopens, and cleared through the same box.
    ThroughTheDialog([](CDialog& d) {
        EXPECT_TRUE(IsChecked(d, IDC_NET_JOBS_SHOWN));
        EXPECT_TRUE(Click(d, IDC_NET_JOBS_SHOWN));
        EXPECT_FALSE(IsChecked(d, IDC_NET_JOBS_AS_USER));
    });
    EXPECT_EQ(0u, record_.CmdTray);
    EXPECT_EQ(0u, StoredCmdTray());
    EXPECT_TRUE(boxes_.Calls().empty());
}

TEST_F(JobsFlag, TheVisibleBoxFollowsTheFlagWithoutTheTrayProgram)
{
    if (language_.resource == kEnglish) GTEST_SKIP() << "the English template has no second box";
    ASSERT_TRUE(DeleteFileA(Tray().c_str()));
    record_.CmdTray = 1;
    ThroughTheDialog([](CDialog& d) {
        EXPECT_EQ(IsEnabled(d, IDC_NET_JOBS_AS_USER), IsEnabled(d, IDC_NET_JOBS_SHOWN));
        EXPECT_EQ(IsChecked(d, IDC_NET_JOBS_AS_USER), IsChecked(d, IDC_NET_JOBS_SHOWN));
    });
}

// The scrambled password through the narrow registry calls of the entry's code
// page, which the mailer reads it with too: under 1252 every byte comes back;
// under the double-byte code pages bytes of 0x80 and above that do not form a
// character come back changed. Such a password is refused, and nothing of the
// record replaces what was stored.
class MailPassword : public UnderTheLanguage {
protected:
    void SetUp() override
    {
        UnderTheLanguage::SetUp();
        testlib::DeleteSharedKey(kMailerKey);
    }
    void TearDown() override { testlib::DeleteSharedKey(kMailerKey); }

    // The stored value as the wide calls give it; "<none>" when missing.
    static std::wstring StoredWide(const wchar_t* name)
    {
        HKEY key;
        if (testlib::OpenSharedKey(kMailerKey, KEY_READ, &key) != ERROR_SUCCESS) return L"<none>";
        wchar_t text[256] = L"";
        DWORD size = sizeof text - sizeof(wchar_t);
        LONG result = RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
        RegCloseKey(key);
        return result == ERROR_SUCCESS ? std::wstring(text) : L"<none>";
    }
    static void SeedWide(const wchar_t* name, const std::wstring& value)
    {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, testlib::CreateSharedKey(kMailerKey, KEY_SET_VALUE, &key));
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                                static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))));
        RegCloseKey(key);
    }
    static HablatSettings Settings(const char* password)
    {
        HablatSettings settings;
        settings.Enabled = true;
        settings.SmtpServer = "smtp.example.com";
        settings.Sender = "ups@example.com";
        settings.AuthEnabled = true;
        settings.AuthLogin = "alice";
        settings.AuthPassword = password;
        return settings;
    }
};

TEST_F(MailPassword, StoredOnlyWhenItReadsBackAsWritten)
{
    struct Case {
        const char* password;
        std::vector<UINT> keptUnder;  // code pages
    } cases[] = {
        {"secret", {1252}},
        {"Passw0rd", {1252}},
        {"alice123", {1252, 936}},  // its scrambled bytes pair into characters of 936
        {"A", {1252, 932}},  // scrambled 0xDD: a single-byte katakana in 932
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.password);
        const bool kept = std::count(c.keptUnder.begin(), c.keptUnder.end(), language_.codePage) > 0;
        testlib::DeleteSharedKey(kMailerKey);
        SeedWide(L"SMTP server", L"old.example.com");
        SeedWide(L"AUTHPassword", L"\x00EF{\x00E6");
        const auto before = wizardtest::MailerKeySnapshot();
        const HablatSettings settings = Settings(c.password);
        EXPECT_EQ(kept ? CMailSettings::WriteResult::Written : CMailSettings::WriteResult::PasswordNotKept,
                  CMailSettings::WriteHablatSettings(&settings));
        HablatSettings back;
        CMailSettings::ReadHablatSettings(&back);
        if (kept) {
            EXPECT_EQ(c.password, back.AuthPassword);
            EXPECT_EQ("smtp.example.com", back.SmtpServer);
        } else {
            EXPECT_EQ(L"\x00EF{\x00E6", StoredWide(L"AUTHPassword"));
            EXPECT_EQ(L"old.example.com", StoredWide(L"SMTP server"));
            EXPECT_EQ(L"<none>", StoredWide(L"AUTHLogin"));
            EXPECT_EQ(before, wizardtest::MailerKeySnapshot());
        }
    }

    // A password that was not there is not there afterwards either.
    testlib::DeleteSharedKey(kMailerKey);
    const HablatSettings settings = Settings("secret");
    CMailSettings::WriteHablatSettings(&settings);
    if (language_.codePage != 1252) {
        EXPECT_EQ(L"<none>", StoredWide(L"AUTHPassword"));
        EXPECT_FALSE(wizardtest::MailerKeySnapshot()) << "nor the key";
    }
}

// A password that the mailer's narrow store under this code page damaged is
// not shown, and saving the settings unchanged keeps it as it is, as the mail
// settings program does.
TEST_F(MailPassword, APasswordTheCodePageChangedIsNeitherShownNorStoredAgain)
{
    for (const testlib::NarrowStoredPassword& c : testlib::NarrowStoredPasswords()) {
        SCOPED_TRACE(c.password);
        testlib::DeleteSharedKey(kMailerKey);
        char stored[64];
        ScramblePassword(stored, c.password, sizeof stored);
        ASSERT_TRUE(testlib::SetSharedTextsNarrow(kMailerKey, {{"SMTP server", "smtp.example.com"},
                                                               {"sender", "ups@example.com"},
                                                               {"AUTHLogin", "alice"},
                                                               {"AUTHPassword", stored}}));
        const std::wstring before = StoredWide(L"AUTHPassword");
        HablatSettings settings;
        CMailSettings::ReadHablatSettings(&settings);
        const bool whole = c.ReadsWholeUnder(language_.codePage);
        EXPECT_EQ(whole ? c.password : "", settings.AuthPassword);
        EXPECT_TRUE(settings.AuthEnabled);
        if (whole) continue;
        EXPECT_EQ(CMailSettings::WriteResult::Written, CMailSettings::WriteHablatSettings(&settings));
        EXPECT_EQ(before, StoredWide(L"AUTHPassword"));
        EXPECT_EQ(L"alice", StoredWide(L"AUTHLogin"));
    }
}

TEST_F(MailPassword, TheDialogSaysThePasswordCannotBeStoredHere)
{
    if (language_.codePage == 1252) GTEST_SKIP() << "code page 1252 carries every scrambled byte";
    MessageBoxRecorder boxes;
    bool stillOpen = false;
    int focused = 0;
    ModalDriver driver([&](CDialog& dlg) {
        EXPECT_TRUE(Click(dlg, IDC_MAIL_ENABLE));
        EXPECT_TRUE(Click(dlg, IDC_MAIL_USE_AUTH));
        SetText(dlg, IDC_MAIL_SERVER, "smtp.example.com");
        SetText(dlg, IDC_MAIL_SENDER, "ups@example.com");
        SetText(dlg, IDC_MAIL_LOGIN, "alice");
        SetText(dlg, IDC_MAIL_PASSWORD, "secret");
        Click(dlg, IDOK);
        stillOpen = IsWindow(dlg.GetSafeHwnd()) != FALSE;
        focused = FocusedId();
        PostMessageA(dlg.GetSafeHwnd(), WM_COMMAND, IDCANCEL, 0);
    });
    CMailSettings dialog(nullptr);
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(IDC_MAIL_PASSWORD, focused);
    EXPECT_FALSE(wizardtest::MailerKeySnapshot()) << "the key was not there before";
    ASSERT_EQ(1u, boxes.Calls().size());
    std::wstring message;
    ASSERT_TRUE(testlib::LoadTableString(Program(), IDS_MAIL_PASSWORD_NOT_KEPT, language_.resource, message));
    EXPECT_EQ(message, testlib::Widen(std::string(boxes.Calls()[0].text), GetACP()));
}

}  // namespace
