// The mail settings dialog under Xvfb, driven through the class library's
// seams, with the mailer key seeded in the test prefix's registry and the
// recorder standing in for the mailer "Hablat.exe".
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <map>
#include <string>
#include <vector>

#include "MailConfigDlg.h"
#include "MailerSettings.h"
#include "TestServices.h"
#include "classlib_testkit.h"
#include "testlib.h"

namespace {

using testlib::ScratchDir;

const std::map<int, std::string> kCatalogue = {
    {5000, "Please enter the sender's address."},
    {5001, "Please enter the mail server."},
    {5002, "Mail configuration"},
    {5003, "Please enter the login."},
    {5004, "Please enter the password."},
    {5005, "The sender's address must not contain blanks."},
    {5006, "The mail server must not contain blanks."},
    {5007, "The login must not contain blanks."},
    {5008, "The password must not contain blanks."},
    {5100, "Sender tip\\nsecond line"},
};

std::string Text(int number) { return kCatalogue.at(number); }

void DeleteMailerKey() { testlib::DeleteSharedKey(kMailerKey); }

std::string ItemText(HWND dialog, int id)
{
    char text[1024] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

bool ItemEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

void SetItem(HWND dialog, int id, const std::string& text) { SetDlgItemTextA(dialog, id, text.c_str()); }

void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

class MailConfigDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string catalogue;
        for (const auto& [number, text] : kCatalogue)
            catalogue += "m" + std::to_string(number) + "=" + text + "\r\n";
        ASSERT_TRUE(testlib::WriteTextFile(dir_.File("Messages.dat"), catalogue));
        ASSERT_TRUE(testlib::CopyInto(testlib::DoublesDir() + "\\recorder.exe", dir_.Path(), "Hablat.exe"));
        cwd_ = std::make_unique<testlib::CurrentDirectory>(dir_.Path());
        ASSERT_TRUE(cwd_->Entered());
        log_ = logDir_.File("hablat.log");
        SetEnvironmentVariableA("KODRA_RECORD_LOG", log_.c_str());
        DeleteMailerKey();
    }

    void TearDown() override
    {
        DeleteMailerKey();
        SetEnvironmentVariableA("KODRA_RECORD_LOG", nullptr);
        cwd_.reset();
    }

    void Seed(const char* name, const std::string& value)
    {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, testlib::CreateSharedKey(kMailerKey, KEY_SET_VALUE, &key));
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, REG_SZ,
                                                reinterpret_cast<const BYTE*>(value.c_str()),
                                                static_cast<DWORD>(value.size() + 1)));
        RegCloseKey(key);
    }

    void SeedPassword(const std::string& clear)
    {
        std::vector<char> stored(clear.size() + 1);
        ScramblePassword(stored.data(), clear.c_str(), stored.size());
        Seed("AUTHPassword", stored.data());
    }

    // Runs the dialog modally; drive sets it up and may press OK. A dialog
    // still open afterwards is cancelled, so IDCANCEL means it stayed open.
    INT_PTR Run(const std::function<void(HWND)>& drive)
    {
        bool shown = false;
        classlib::testkit::ModalDriver driver([&](CDialog& dlg) {
            shown = true;
            drive(dlg.GetSafeHwnd());
            PostMessageA(dlg.GetSafeHwnd(), WM_COMMAND, IDCANCEL, 0);
        });
        CMailConfigDlg dlg;
        INT_PTR result = dlg.DoModal();
        EXPECT_TRUE(shown) << "the dialog did not open: " << result;
        return result;
    }

    std::vector<testlib::RecordedStart> Starts() { return testlib::ReadRecorderLog(log_); }

    ScratchDir dir_;
    ScratchDir logDir_{"kodra log"};
    std::string log_;
    std::unique_ptr<testlib::CurrentDirectory> cwd_;
    classlib::testkit::MessageBoxRecorder boxes_;
};

TEST_F(MailConfigDialog, EmptyFieldsGiveTheirTextsInOrderAndStayOpen)
{
    EXPECT_EQ(IDCANCEL, Run([](HWND dlg) { Click(dlg, IDOK); }));
    ASSERT_EQ((std::vector<std::string>{Text(5000), Text(5001)}), boxes_.Texts());
    for (const auto& box : boxes_.Boxes()) {
        EXPECT_EQ(Text(5002), box.caption);
        EXPECT_EQ(static_cast<UINT>(MB_OK), box.type);
    }
    EXPECT_TRUE(Starts().empty());
}

TEST_F(MailConfigDialog, RefusedEntries)
{
    struct Case {
        const char* sender;
        const char* server;
        bool auth;
        const char* login;
        const char* password;
        std::vector<int> messages;
    } cases[] = {
        {"me@example.com", "mail server", false, "", "", {5006}},
        {"me @example.com", "", false, "", "", {5005, 5001}},
        {"me\t@example.com", "smtp.example.com", false, "", "", {5005}},
        {"me@example.com", "smtp\x0bhost", false, "", "", {5006}},
        {"me@example.com", "smtp.example.com", true, "", "", {5003, 5004}},
        {"me@example.com", "smtp.example.com", true, "al ice", "pass\tword", {5007, 5008}},
        {"", "  ", true, "a\tb", " ", {5000, 5001, 5007, 5004}},
    };
    for (const Case& c : cases) {
        boxes_.Clear();
        INT_PTR result = Run([&](HWND dlg) {
            SetItem(dlg, IDC_SENDER, c.sender);
            SetItem(dlg, IDC_SERVER, c.server);
            if (c.auth) Click(dlg, IDC_USE_AUTH);
            SetItem(dlg, IDC_LOGIN, c.login);
            SetItem(dlg, IDC_PASSWORD, c.password);
            Click(dlg, IDOK);
        });
        std::vector<std::string> expected;
        for (int number : c.messages) expected.push_back(Text(number));
        EXPECT_EQ(expected, boxes_.Texts()) << c.sender << "|" << c.server << "|" << c.login;
        EXPECT_EQ(IDCANCEL, result) << "the dialog stays open";
    }
    EXPECT_TRUE(Starts().empty());
}

TEST_F(MailConfigDialog, AcceptedEntriesReachTheMailerAsTyped)
{
    struct Case {
        const char* sender;
        const char* server;
        bool auth;
        const char* login;
        const char* password;
        const char* command;
    } cases[] = {
        {"  me@example.com \t", " smtp.example.com", false, "ignored login", "",
         "Hablat.exe -install smtp.example.com me@example.com"},
        {"me@example.com", "smtp.example.com", true, " alice ", "s3cret",
         "Hablat.exe -install smtp.example.com me@example.com alice s3cret"},
        {"a<b>c^d%PATH%@x", "smtp&echo|x", true, "l&o", "p|w>%TEMP%",
         "Hablat.exe -install smtp&echo|x a<b>c^d%PATH%@x l&o p|w>%TEMP%"},
    };
    size_t count = 0;
    for (const Case& c : cases) {
        boxes_.Clear();
        INT_PTR result = Run([&](HWND dlg) {
            SetItem(dlg, IDC_SENDER, c.sender);
            SetItem(dlg, IDC_SERVER, c.server);
            if (c.auth) Click(dlg, IDC_USE_AUTH);
            SetItem(dlg, IDC_LOGIN, c.login);
            SetItem(dlg, IDC_PASSWORD, c.password);
            Click(dlg, IDOK);
        });
        EXPECT_EQ(IDOK, result) << c.command;
        EXPECT_TRUE(boxes_.Calls().empty()) << c.command;
        auto starts = Starts();
        ASSERT_EQ(++count, starts.size()) << c.command;
        EXPECT_EQ(c.command, starts.back().cmd);
        EXPECT_EQ(dir_.File("Hablat.exe"), starts.back().exe);
    }
}

const char kServerQuote[] = "The name of the mail server must not contain a double quote (\").";
const char kSenderQuote[] = "The e-mail address of the sender must not contain a double quote (\").";
const char kLoginQuote[] = "The login must not contain a double quote (\").";
const char kPasswordQuote[] = "The password must not contain a double quote (\").";
const char kPasswordNotStored[] = "The mailer cannot store this password: its scrambled form would be cut or "
                                  "changed on this system.\r\nPlease choose another password.";

// One field at a time holds the value. The mailer's C runtime must split the
// command line into "-install" and the four values, each as typed; a value it
// would take otherwise (a double quote is quoting to it: server `smtp"x` and
// the sender would arrive as one argument, password `pa"ss` as "pass") is
// refused as a blank is, naming the field, and the mailer does not run.
TEST_F(MailConfigDialog, EachValueIsOneArgumentOfTheMailerAsTypedOrRefused)
{
    struct Case {
        int field;
        const char* value;
        const char* refusal;  // null: accepted
    } cases[] = {
        {IDC_SERVER, "smtp&echo|x", nullptr},
        {IDC_SENDER, "a<b>c^d%PATH%@x", nullptr},
        {IDC_LOGIN, "dom\\user", nullptr},
        {IDC_LOGIN, "l&o'", nullptr},
        {IDC_PASSWORD, "p|w>%TEMP%", nullptr},
        {IDC_PASSWORD, "C:\\dir\\", nullptr},
        {IDC_PASSWORD, "pa\\\\ss", nullptr},
        {IDC_PASSWORD, "Gr\xFC\xDF" "e1", nullptr},
        {IDC_SERVER, "smtp\"x", kServerQuote},
        {IDC_SENDER, "\"me\"@example.com", kSenderQuote},
        {IDC_LOGIN, "\"bob", kLoginQuote},
        {IDC_PASSWORD, "pa\"ss", kPasswordQuote},
        {IDC_PASSWORD, "pw\"", kPasswordQuote},
        {IDC_PASSWORD, "a\\\"b", kPasswordQuote},
        // Scrambled, a byte of these is zero: the mailer would store them cut.
        {IDC_PASSWORD, "Brand1\x99x", kPasswordNotStored},
        {IDC_PASSWORD, "\x9C" "bersicht1", kPasswordNotStored},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        std::map<int, std::string> typed = {{IDC_SERVER, "smtp.example.com"},
                                            {IDC_SENDER, "me@example.com"},
                                            {IDC_LOGIN, "alice"},
                                            {IDC_PASSWORD, "s3cret"}};
        typed[c.field] = c.value;
        boxes_.Clear();
        const size_t before = Starts().size();
        std::map<int, std::string> shown;
        INT_PTR result = Run([&](HWND dlg) {
            Click(dlg, IDC_USE_AUTH);
            for (const auto& [id, text] : typed) SetItem(dlg, id, text);
            Click(dlg, IDOK);
            for (const auto& [id, text] : typed) shown[id] = ItemText(dlg, id);
        });
        auto starts = Starts();
        if (c.refusal) {
            EXPECT_EQ(IDCANCEL, result) << "the dialog stays open";
            EXPECT_EQ(std::vector<std::string>{c.refusal}, boxes_.Texts());
            for (const auto& box : boxes_.Boxes()) EXPECT_EQ(Text(5002), box.caption);
            EXPECT_EQ(typed, shown) << "with the entries";
            EXPECT_EQ(before, starts.size());
            continue;
        }
        EXPECT_EQ(IDOK, result);
        EXPECT_TRUE(boxes_.Calls().empty());
        ASSERT_EQ(before + 1, starts.size());
        EXPECT_EQ((std::vector<std::string>{"-install", typed[IDC_SERVER], typed[IDC_SENDER], typed[IDC_LOGIN],
                                            typed[IDC_PASSWORD]}),
                  starts.back().args);
    }
}

// Every field with a double quote has its own message, after the blank's.
TEST_F(MailConfigDialog, ADoubleQuoteInSeveralFieldsGivesEachItsMessage)
{
    struct Case {
        const char* server;
        const char* login;
        const char* password;
        std::vector<std::string> messages;
    } cases[] = {
        {"smtp.example.com", "\"bob", "pw\"", {kLoginQuote, kPasswordQuote}},
        {"smtp \"x", "alice", " \"", {Text(5006), kPasswordQuote}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.server + std::string("|") + c.login + "|" + c.password);
        boxes_.Clear();
        INT_PTR result = Run([&](HWND dlg) {
            SetItem(dlg, IDC_SENDER, "me@example.com");
            SetItem(dlg, IDC_SERVER, c.server);
            Click(dlg, IDC_USE_AUTH);
            SetItem(dlg, IDC_LOGIN, c.login);
            SetItem(dlg, IDC_PASSWORD, c.password);
            Click(dlg, IDOK);
        });
        EXPECT_EQ(IDCANCEL, result);
        EXPECT_EQ(c.messages, boxes_.Texts());
    }
    EXPECT_TRUE(Starts().empty());

    // Without authentication the login is neither handed on nor checked.
    boxes_.Clear();
    EXPECT_EQ(IDOK, Run([](HWND dlg) {
                  SetItem(dlg, IDC_SENDER, "me@example.com");
                  SetItem(dlg, IDC_SERVER, "smtp.example.com");
                  SetItem(dlg, IDC_LOGIN, "\"bob");
                  Click(dlg, IDOK);
              }));
    EXPECT_TRUE(boxes_.Calls().empty());
    ASSERT_EQ(1u, Starts().size());
    EXPECT_EQ((std::vector<std::string>{"-install", "smtp.example.com", "me@example.com"}), Starts()[0].args);
}

// A stored password whose characters the system's code page cannot carry reads
// as another one through the narrow calls, which the mailer uses as well: the
// field stays empty, so OK asks for the password instead of installing that one.
TEST_F(MailConfigDialog, AStoredPasswordTheCodePageCannotCarryIsNotInstalled)
{
    Seed("sender", "me@example.com");
    Seed("SMTP server", "smtp.example.com");
    Seed("AUTHLogin", "alice");
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, testlib::CreateSharedKey(kMailerKey, KEY_SET_VALUE, &key));
    const wchar_t stored[] = L"\x3042\x3044pw";  // two hiragana, as a system of code page 932 stores them
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExW(key, L"AUTHPassword", 0, REG_SZ, reinterpret_cast<const BYTE*>(stored),
                                            sizeof stored));
    RegCloseKey(key);
    INT_PTR result = Run([](HWND dlg) {
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dlg, IDC_USE_AUTH));
        EXPECT_EQ("alice", ItemText(dlg, IDC_LOGIN));
        EXPECT_EQ("", ItemText(dlg, IDC_PASSWORD));
        Click(dlg, IDC_USE_AUTH);
        Click(dlg, IDC_USE_AUTH);
        EXPECT_EQ("", ItemText(dlg, IDC_PASSWORD)) << "nor put back by the check box";
        Click(dlg, IDOK);
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(std::vector<std::string>{Text(5004)}, boxes_.Texts());
    EXPECT_TRUE(Starts().empty());
}

// Passwords of plain ASCII whose scrambled bytes do not pair into characters
// of a double-byte code page: the mailer's narrow registry calls would store
// another password. Refused where that is so, as the wizard refuses them, and
// handed on unchanged elsewhere. Also run under code page 932.
TEST_F(MailConfigDialog, APasswordTheMailerWouldStoreChangedIsRefused)
{
    struct Case {
        const char* password;
        std::vector<UINT> refusedUnder;  // code pages
    } cases[] = {
        {"secret", {932, 949, 936}},
        {"Passw0rd", {932, 949, 936}},
        {"alice123", {932, 949}},
        {"A", {}},  // scrambled 0xDD: a single-byte katakana in 932
    };
    char message[512] = "";
    ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), IDS_PASSWORD_NOT_STORED, message, sizeof message), 0);
    if (GetACP() == 1252) {
        EXPECT_STREQ(kPasswordNotStored, message);
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.password);
        const bool refused =
            std::find(c.refusedUnder.begin(), c.refusedUnder.end(), GetACP()) != c.refusedUnder.end();
        boxes_.Clear();
        const size_t before = Starts().size();
        std::string shown;
        INT_PTR result = Run([&](HWND dlg) {
            SetItem(dlg, IDC_SENDER, "me@example.com");
            SetItem(dlg, IDC_SERVER, "smtp.example.com");
            Click(dlg, IDC_USE_AUTH);
            SetItem(dlg, IDC_LOGIN, "alice");
            SetItem(dlg, IDC_PASSWORD, c.password);
            Click(dlg, IDOK);
            shown = ItemText(dlg, IDC_PASSWORD);
        });
        auto starts = Starts();
        if (refused) {
            EXPECT_EQ(IDCANCEL, result) << "the dialog stays open";
            EXPECT_EQ(std::vector<std::string>{message}, boxes_.Texts());
            EXPECT_EQ(c.password, shown);
            EXPECT_EQ(before, starts.size()) << "the mailer did not run";
            continue;
        }
        EXPECT_EQ(IDOK, result);
        EXPECT_TRUE(boxes_.Calls().empty());
        ASSERT_EQ(before + 1, starts.size());
        EXPECT_EQ(c.password, starts.back().args.back());
    }
}

TEST_F(MailConfigDialog, AMailerThatCannotStartIsReportedAndTheDialogStays)
{
    ASSERT_TRUE(DeleteFileA(dir_.File("Hablat.exe").c_str()));
    EXPECT_EQ(IDCANCEL, Run([](HWND dlg) {
        SetItem(dlg, IDC_SENDER, "me@example.com");
        SetItem(dlg, IDC_SERVER, "smtp.example.com");
        Click(dlg, IDOK);
    }));
    ASSERT_EQ(1u, boxes_.Calls().size());
    EXPECT_NE(std::string::npos, boxes_.Boxes()[0].text.find("Hablat.exe could not be started"));
    EXPECT_EQ(Text(5002), boxes_.Boxes()[0].caption);
}

TEST_F(MailConfigDialog, EntryOverTheLimitStopsOkBeforeTheChecks)
{
    INT_PTR result = Run([](HWND dlg) {
        SetItem(dlg, IDC_SENDER, std::string(65, 's') + "@example.com");
        Click(dlg, IDOK);
    });
    EXPECT_EQ(IDCANCEL, result);
    ASSERT_EQ(1u, boxes_.Calls().size()) << "only the exchange's prompt, no 5001 for the empty server";
    EXPECT_NE(std::string::npos, boxes_.Boxes()[0].text.find("64"));
    EXPECT_TRUE(Starts().empty());
}

TEST_F(MailConfigDialog, StoredValueOverTheLimitShownInFullAndReported)
{
    const std::string sender = std::string(70, 's') + "@example.com";
    Seed("sender", sender);
    Seed("SMTP server", "smtp.example.com");
    Seed("AUTHLogin", "alice");
    SeedPassword("secret");
    size_t boxesAtOpening = 0;
    INT_PTR result = Run([&](HWND dlg) {
        boxesAtOpening = boxes_.Calls().size();
        EXPECT_EQ(sender, ItemText(dlg, IDC_SENDER));
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dlg, IDC_USE_AUTH));
        EXPECT_TRUE(ItemEnabled(dlg, IDC_LOGIN)) << "the box decides though the exchange refused";
        EXPECT_EQ("secret", ItemText(dlg, IDC_PASSWORD));
        Click(dlg, IDOK);
    });
    EXPECT_EQ(1u, boxesAtOpening) << "the exchange's prompt when the data is first taken";
    EXPECT_EQ(2u, boxes_.Calls().size());
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_TRUE(Starts().empty());
}

TEST_F(MailConfigDialog, StoredValuesFillTheFieldsAndCheckTheBox)
{
    Seed("sender", "me@example.com");
    Seed("SMTP server", "smtp.example.com");
    Seed("AUTHLogin", "alice");
    SeedPassword("s3cret pw");
    INT_PTR result = Run([](HWND dlg) {
        EXPECT_EQ("me@example.com", ItemText(dlg, IDC_SENDER));
        EXPECT_EQ("smtp.example.com", ItemText(dlg, IDC_SERVER));
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dlg, IDC_USE_AUTH));
        EXPECT_EQ("alice", ItemText(dlg, IDC_LOGIN));
        EXPECT_EQ("s3cret pw", ItemText(dlg, IDC_PASSWORD));
        for (int id : {IDC_LOGIN, IDC_PASSWORD, IDC_LOGIN_LABEL, IDC_PASSWORD_LABEL})
            EXPECT_TRUE(ItemEnabled(dlg, id)) << id;
    });
    EXPECT_EQ(IDCANCEL, result);
}

TEST_F(MailConfigDialog, BoxClearWithoutAReadablePassword)
{
    struct Case {
        const char* login;
        const char* password;  // null: no value
        const char* shownPassword;
    } cases[] = {
        {"alice", nullptr, ""},
        {"", "secret", "secret"},
        {"alice", "600", ""},  // a password of 600 characters does not fit 512 bytes
    };
    for (const Case& c : cases) {
        DeleteMailerKey();
        Seed("AUTHLogin", c.login);
        if (c.password && std::string(c.password) == "600")
            SeedPassword(std::string(600, 'p'));
        else if (c.password)
            SeedPassword(c.password);
        Run([&](HWND dlg) {
            EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dlg, IDC_USE_AUTH)) << c.login;
            EXPECT_FALSE(ItemEnabled(dlg, IDC_LOGIN));
            EXPECT_FALSE(ItemEnabled(dlg, IDC_PASSWORD));
            EXPECT_EQ(c.login, ItemText(dlg, IDC_LOGIN));
            EXPECT_EQ(c.shownPassword, ItemText(dlg, IDC_PASSWORD));
        });
    }
}

TEST_F(MailConfigDialog, UncheckingAndCheckingAgainRestoresTheStoredLogin)
{
    Seed("sender", "me@example.com");
    Seed("SMTP server", "smtp.example.com");
    Seed("AUTHLogin", "alice");
    SeedPassword("secret");
    INT_PTR result = Run([](HWND dlg) {
        SetItem(dlg, IDC_LOGIN, "typed");
        SetItem(dlg, IDC_PASSWORD, "other");
        Click(dlg, IDC_USE_AUTH);
        EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dlg, IDC_USE_AUTH));
        for (int id : {IDC_LOGIN, IDC_PASSWORD, IDC_LOGIN_LABEL, IDC_PASSWORD_LABEL})
            EXPECT_FALSE(ItemEnabled(dlg, id)) << id;
        Click(dlg, IDC_USE_AUTH);
        EXPECT_TRUE(ItemEnabled(dlg, IDC_LOGIN));
        EXPECT_EQ("alice", ItemText(dlg, IDC_LOGIN));
        EXPECT_EQ("secret", ItemText(dlg, IDC_PASSWORD));
        Click(dlg, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    auto starts = Starts();
    ASSERT_EQ(1u, starts.size());
    EXPECT_EQ("Hablat.exe -install smtp.example.com me@example.com alice secret", starts[0].cmd);
}

// The text the dialog's tooltip shows for a control, asked the way the
// tooltip asks when the mouse rests on it.
std::string ToolTipText(HWND dlg, int id, int* maxWidth)
{
    HWND control = GetDlgItem(dlg, id);
    RECT rect;
    GetWindowRect(control, &rect);
    MSG move{};
    move.hwnd = control;
    move.message = WM_MOUSEMOVE;
    move.pt = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    classlib::PreTranslate(move);
    HWND tip = classlib::testkit::FindToolTipOf(dlg);
    if (!tip) return "<no tooltip>";
    char text[256] = "";
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = dlg;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    *maxWidth = static_cast<int>(SendMessageA(tip, TTM_GETMAXTIPWIDTH, 0, 0));
    return text;
}

TEST_F(MailConfigDialog, ToolTipsFromTheCatalogueOrTheirId)
{
    Run([](HWND dlg) {
        int width = 0;
        EXPECT_EQ("Sender tip\r\nsecond line", ToolTipText(dlg, IDC_SENDER, &width));
        EXPECT_EQ(300, width);
        EXPECT_EQ("ID: 5101", ToolTipText(dlg, IDC_SERVER, &width));
        EXPECT_EQ("ID: 5105", ToolTipText(dlg, IDC_LOGIN, &width)) << "a disabled edit has its tip";
    });
}

TEST_F(MailConfigDialog, ToolTipRequestAnsweredByTheHandler)
{
    Run([](HWND dlg) {
        NMTTDISPINFOA info{};
        info.hdr.hwndFrom = nullptr;
        info.hdr.idFrom = reinterpret_cast<UINT_PTR>(GetDlgItem(dlg, IDC_SENDER));
        info.hdr.code = TTN_NEEDTEXTA;
        info.uFlags = TTF_IDISHWND;
        SendMessageA(dlg, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        ASSERT_NE(nullptr, info.lpszText);
        EXPECT_STREQ("Sender tip\r\nsecond line", info.lpszText);
    });
}

// Orlenk.exe itself: reads the key, runs the mailer from its current
// directory and ends when the dialog closes.
TEST_F(MailConfigDialog, ProgramInstallsTheStoredValues)
{
    Seed("sender", "me@example.com");
    Seed("SMTP server", "smtp.example.com");
    Seed("AUTHLogin", "alice");
    SeedPassword("secret");
    std::string command = "\"" + testlib::InstallDir() + "\\Orlenk.exe\"";
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               dir_.Path().c_str(), &startup, &process));
    HWND dlg = nullptr;
    bool shown = testlib::WaitFor([&] {
        dlg = FindWindowA("#32770", "VELMOR eMail Configuration Programm");
        return dlg && IsWindowVisible(dlg) && ItemText(dlg, IDC_LOGIN) == "alice";
    });
    if (shown) {
        EXPECT_EQ("smtp.example.com", ItemText(dlg, IDC_SERVER));
        EXPECT_EQ(BST_CHECKED, SendDlgItemMessageA(dlg, IDC_USE_AUTH, BM_GETCHECK, 0, 0));
        PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    }
    bool ended = WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    ASSERT_TRUE(shown);
    EXPECT_TRUE(ended);
    auto starts = Starts();
    ASSERT_EQ(1u, starts.size());
    EXPECT_EQ("Hablat.exe -install smtp.example.com me@example.com alice secret", starts[0].cmd);
    EXPECT_EQ(dir_.File("Hablat.exe"), starts[0].exe);
}

}  // namespace
