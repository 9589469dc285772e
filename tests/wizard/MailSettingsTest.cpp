// The wizard's mail settings dialog under Xvfb with the mailer key of the
// test prefix (shared with the mail settings program's tests: they take the
// same CTest resource lock).
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "MailerSettings.h"
#include "MailSettings.h"
#include "classlib_testkit.h"
#include "resource.h"
#include "TestServices.h"
#include "WizardTestKit.h"
#include "testlib.h"

namespace {

using classlib::testkit::Click;
using classlib::testkit::FocusedId;
using classlib::testkit::GetSelection;
using classlib::testkit::GetText;
using classlib::testkit::IsChecked;
using classlib::testkit::IsEnabled;
using classlib::testkit::MessageBoxRecorder;
using classlib::testkit::ModalDriver;
using classlib::testkit::SetText;

const char* const kValues[] = {"SMTP server", "sender", "AUTHLogin", "AUTHPassword"};

bool KeyExists()
{
    HKEY key;
    if (testlib::OpenSharedKey(kMailerKey, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// The value as stored, its type and byte count; "<none>" when missing.
std::string Stored(const char* name, DWORD* type = nullptr, DWORD* bytes = nullptr)
{
    HKEY key;
    if (testlib::OpenSharedKey(kMailerKey, KEY_READ, &key) != ERROR_SUCCESS) return "<none>";
    char buffer[1024] = "";
    DWORD size = sizeof buffer - 1;
    DWORD valueType = 0;
    LONG result = RegQueryValueExA(key, name, nullptr, &valueType, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) return "<none>";
    if (type) *type = valueType;
    if (bytes) *bytes = size;
    return buffer;
}

std::string Scrambled(const std::string& clear)
{
    std::vector<char> out(clear.size() + 1);
    ScramblePassword(out.data(), clear.c_str(), out.size());
    return out.data();
}

class MailSettingsTest : public testing::Test {
protected:
    void SetUp() override { testlib::DeleteSharedKey(kMailerKey); }
    void TearDown() override { testlib::DeleteSharedKey(kMailerKey); }

    void Seed(const char* name, const std::string& value, DWORD type = REG_SZ)
    {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, testlib::CreateSharedKey(kMailerKey, KEY_SET_VALUE, &key));
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                                                static_cast<DWORD>(value.size() + 1)));
        RegCloseKey(key);
    }
    void SeedAll(const std::string& server, const std::string& sender, const std::string& login,
                 const std::string& password)
    {
        Seed("SMTP server", server);
        Seed("sender", sender);
        Seed("AUTHLogin", login);
        Seed("AUTHPassword", Scrambled(password));
    }

    // Runs the dialog; a dialog still open after drive is cancelled.
    INT_PTR Run(const std::function<void(CDialog&)>& drive)
    {
        ModalDriver driver([&](CDialog& dlg) {
            drive(dlg);
            if (IsWindow(dlg.GetSafeHwnd())) PostMessageA(dlg.GetSafeHwnd(), WM_COMMAND, IDCANCEL, 0);
        });
        CMailSettings dialog(nullptr);
        return dialog.DoModal();
    }
};

std::string Text(CDialog& dlg, int id) { return GetText(dlg, id).GetString(); }

TEST_F(MailSettingsTest, WithoutTheKeyEverythingIsEmptyAndDisabledMailCreatesNothing)
{
    EXPECT_EQ(IDOK, Run([&](CDialog& dlg) {
                  EXPECT_TRUE(dlg.IsKindOf(CDialogTooltip::StaticClass()));
                  for (int id : {IDC_MAIL_SERVER, IDC_MAIL_SENDER, IDC_MAIL_LOGIN, IDC_MAIL_PASSWORD})
                      EXPECT_EQ("", Text(dlg, id)) << id;
                  EXPECT_FALSE(IsChecked(dlg, IDC_MAIL_ENABLE));
                  EXPECT_FALSE(IsChecked(dlg, IDC_MAIL_USE_AUTH));
                  EXPECT_TRUE(IsEnabled(dlg, IDC_MAIL_ENABLE));
                  for (int id : {IDC_MAIL_SERVER, IDC_MAIL_SERVER_LABEL, IDC_MAIL_SENDER, IDC_MAIL_SENDER_LABEL,
                                 IDC_MAIL_USE_AUTH, IDC_MAIL_LOGIN, IDC_MAIL_LOGIN_LABEL, IDC_MAIL_PASSWORD,
                                 IDC_MAIL_PASSWORD_LABEL})
                      EXPECT_FALSE(IsEnabled(dlg, id)) << id;
                  Click(dlg, IDOK);
              }));
    EXPECT_FALSE(KeyExists());
}

TEST_F(MailSettingsTest, EnablingMailCreatesTheKeyWithPortAndTry)
{
    EXPECT_EQ(IDOK, Run([&](CDialog& dlg) {
                  ASSERT_TRUE(Click(dlg, IDC_MAIL_ENABLE));
                  EXPECT_TRUE(IsEnabled(dlg, IDC_MAIL_SERVER));
                  EXPECT_TRUE(IsEnabled(dlg, IDC_MAIL_SENDER_LABEL));
                  EXPECT_TRUE(IsEnabled(dlg, IDC_MAIL_USE_AUTH));
                  EXPECT_FALSE(IsEnabled(dlg, IDC_MAIL_LOGIN));
                  SetText(dlg, IDC_MAIL_SERVER, "smtp.example.com");
                  SetText(dlg, IDC_MAIL_SENDER, "ups@example.com");
                  ASSERT_TRUE(Click(dlg, IDC_MAIL_USE_AUTH));
                  EXPECT_TRUE(IsEnabled(dlg, IDC_MAIL_LOGIN));
                  EXPECT_TRUE(IsEnabled(dlg, IDC_MAIL_PASSWORD_LABEL));
                  SetText(dlg, IDC_MAIL_LOGIN, "alice");
                  SetText(dlg, IDC_MAIL_PASSWORD, "Secret-Pass13");
                  Click(dlg, IDOK);
              }));
    DWORD type = 0, bytes = 0;
    EXPECT_EQ("25", Stored("SMTP Port", &type, &bytes));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(3u, bytes);
    EXPECT_EQ("1", Stored("Try"));
    EXPECT_EQ("smtp.example.com", Stored("SMTP server", &type, &bytes));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(17u, bytes);  // with the terminating zero
    EXPECT_EQ("ups@example.com", Stored("sender"));
    EXPECT_EQ("alice", Stored("AUTHLogin"));
    const std::string stored = Stored("AUTHPassword");
    EXPECT_EQ(Scrambled("Secret-Pass13"), stored);
    EXPECT_NE("Secret-Pass13", stored);
    // The thirteenth character uses key byte 0 again.
    EXPECT_EQ(static_cast<char>('3' ^ 0x9C), stored[12]);
    EXPECT_EQ(static_cast<char>('S' ^ 0x9C), stored[0]);

    // Read back when the dialog opens again.
    Run([&](CDialog& dlg) {
        EXPECT_TRUE(IsChecked(dlg, IDC_MAIL_ENABLE));
        EXPECT_TRUE(IsChecked(dlg, IDC_MAIL_USE_AUTH));
        EXPECT_EQ("smtp.example.com", Text(dlg, IDC_MAIL_SERVER));
        EXPECT_EQ("Secret-Pass13", Text(dlg, IDC_MAIL_PASSWORD));
        EXPECT_TRUE(IsEnabled(dlg, IDC_MAIL_PASSWORD));
    });
}

// The shipped programs and the mailer are 32-bit: on 64-bit Windows the values
// live in the 32-bit view, and a 64-bit build must write them there too.
TEST_F(MailSettingsTest, TheValuesGoWhereA32BitMailerReadsThem)
{
    SYSTEM_INFO system;
    GetNativeSystemInfo(&system);
    // 32-bit Windows has one view, which both flags name.
    const bool oneView = system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_INTEL;
    if (!oneView) RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kMailerKey, KEY_WOW64_64KEY, 0);
    HablatSettings settings;
    settings.Enabled = true;
    settings.SmtpServer = "smtp.example.com";
    settings.Sender = "ups@example.com";
    ASSERT_EQ(CMailSettings::WriteResult::Written, CMailSettings::WriteHablatSettings(&settings));
    auto serverIn = [](REGSAM view) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMailerKey, 0, KEY_QUERY_VALUE | view, &key) !=
            ERROR_SUCCESS)
            return std::string("<no key>");
        char text[64] = "";
        DWORD size = sizeof text - 1;
        LONG read = RegQueryValueExA(key, kMailerServerValue, nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(text), &size);
        RegCloseKey(key);
        return read == ERROR_SUCCESS ? std::string(text) : std::string("<no value>");
    };
    EXPECT_EQ("smtp.example.com", serverIn(KEY_WOW64_32KEY));
    EXPECT_EQ(oneView ? "smtp.example.com" : "<no key>", serverIn(KEY_WOW64_64KEY));
}

TEST_F(MailSettingsTest, AnExistingKeyKeepsPortAndTryAndAuthenticationOffBlanksTheLogin)
{
    Seed("SMTP Port", "587");
    Seed("Try", "3");
    SeedAll("old.example.com", "old@example.com", "bob", "pw");
    Run([&](CDialog& dlg) {
        EXPECT_EQ("bob", Text(dlg, IDC_MAIL_LOGIN));
        ASSERT_TRUE(Click(dlg, IDC_MAIL_USE_AUTH));
        EXPECT_FALSE(IsEnabled(dlg, IDC_MAIL_LOGIN));
        SetText(dlg, IDC_MAIL_SERVER, "new.example.com");
        Click(dlg, IDOK);
    });
    EXPECT_EQ("587", Stored("SMTP Port"));
    EXPECT_EQ("3", Stored("Try"));
    EXPECT_EQ("new.example.com", Stored("SMTP server"));
    EXPECT_EQ("old@example.com", Stored("sender"));
    EXPECT_EQ("", Stored("AUTHLogin"));
    EXPECT_EQ("", Stored("AUTHPassword"));
}

TEST_F(MailSettingsTest, DisablingMailBlanksTheFourValuesAndKeepsTheKey)
{
    Seed("SMTP Port", "25");
    Seed("Other", "kept");
    SeedAll("smtp.example.com", "ups@example.com", "alice", "pw");
    Run([&](CDialog& dlg) {
        ASSERT_TRUE(Click(dlg, IDC_MAIL_ENABLE));
        EXPECT_FALSE(IsEnabled(dlg, IDC_MAIL_SERVER));
        EXPECT_FALSE(IsEnabled(dlg, IDC_MAIL_LOGIN));  // authentication stays checked but is off
        EXPECT_TRUE(IsChecked(dlg, IDC_MAIL_USE_AUTH));
        Click(dlg, IDOK);
    });
    for (const char* name : kValues) {
        DWORD type = 0;
        EXPECT_EQ("", Stored(name, &type)) << name;
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), type) << name;
    }
    EXPECT_EQ("kept", Stored("Other"));
    EXPECT_EQ("25", Stored("SMTP Port"));
}

TEST_F(MailSettingsTest, MailCountsAsEnabledOnlyWithServerAndSender)
{
    struct Case {
        const char* server;
        const char* sender;  // nullptr: no value
        const char* login;
        const char* password;
        bool mail;
        bool auth;
    };
    const Case cases[] = {
        {"smtp.example.com", "", "alice", "pw", false, true},
        {"smtp.example.com", nullptr, "", "pw", false, false},
        {"", "ups@example.com", "alice", nullptr, false, false},
        {"smtp.example.com", "ups@example.com", "alice", "", true, false},
    };
    for (const Case& c : cases) {
        testlib::DeleteSharedKey(kMailerKey);
        Seed("SMTP server", c.server);
        if (c.sender) Seed("sender", c.sender);
        Seed("AUTHLogin", c.login);
        if (c.password) Seed("AUTHPassword", Scrambled(c.password));
        HablatSettings settings;
        EXPECT_TRUE(CMailSettings::ReadHablatSettings(&settings));
        EXPECT_EQ(c.mail, settings.Enabled) << c.server << "/" << (c.sender ? c.sender : "-");
        EXPECT_EQ(c.auth, settings.AuthEnabled) << c.login;
        EXPECT_EQ(c.server, settings.SmtpServer);
        EXPECT_EQ(c.login, settings.AuthLogin);
    }
    EXPECT_FALSE(CMailSettings::ReadHablatSettings(nullptr));

    // A stored server without a sender shows in the disabled field; OK blanks all four.
    testlib::DeleteSharedKey(kMailerKey);
    Seed("SMTP server", "smtp.example.com");
    Seed("sender", "");
    Run([&](CDialog& dlg) {
        EXPECT_EQ("smtp.example.com", Text(dlg, IDC_MAIL_SERVER));
        EXPECT_FALSE(IsEnabled(dlg, IDC_MAIL_SERVER));
        EXPECT_FALSE(IsChecked(dlg, IDC_MAIL_ENABLE));
        Click(dlg, IDOK);
    });
    for (const char* name : kValues) EXPECT_EQ("", Stored(name)) << name;
}

TEST_F(MailSettingsTest, LongAndWronglyTypedValuesAreNotRead)
{
    const std::string longest(127, 's');
    Seed("SMTP server", longest);
    Seed("sender", std::string(128, 'x'));
    Seed("AUTHLogin", "alice", REG_EXPAND_SZ);
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, testlib::OpenSharedKey(kMailerKey, KEY_SET_VALUE, &key));
    const DWORD number = 7;
    RegSetValueExA(key, "AUTHPassword", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegCloseKey(key);

    HablatSettings settings;
    settings.Sender = "previous";
    settings.AuthPassword = "previous";
    CMailSettings::ReadHablatSettings(&settings);
    EXPECT_EQ(longest, settings.SmtpServer);
    EXPECT_EQ("previous", settings.Sender);  // 128 characters do not fit
    EXPECT_EQ("alice", settings.AuthLogin);
    EXPECT_EQ("previous", settings.AuthPassword);
    EXPECT_FALSE(settings.Enabled);

    testlib::DeleteSharedKey(kMailerKey);
    HablatSettings none;
    none.SmtpServer = "x";
    none.Enabled = true;
    CMailSettings::ReadHablatSettings(&none);
    EXPECT_EQ("", none.SmtpServer);
    EXPECT_FALSE(none.Enabled);
}

TEST_F(MailSettingsTest, APasswordIsStoredCutTo127Characters)
{
    std::string password;
    for (int i = 0; i < 130; ++i) password += static_cast<char>('a' + i % 26);
    HablatSettings settings;
    settings.Enabled = true;
    settings.SmtpServer = "smtp.example.com";
    settings.Sender = "ups@example.com";
    settings.AuthEnabled = true;
    settings.AuthLogin = "alice";
    settings.AuthPassword = password;
    EXPECT_EQ(CMailSettings::WriteResult::Written, CMailSettings::WriteHablatSettings(&settings));
    DWORD bytes = 0;
    EXPECT_EQ(Scrambled(password.substr(0, 127)), Stored("AUTHPassword", nullptr, &bytes));
    EXPECT_EQ(128u, bytes);
    HablatSettings back;
    CMailSettings::ReadHablatSettings(&back);
    EXPECT_EQ(password.substr(0, 127), back.AuthPassword);
    EXPECT_TRUE(back.Enabled);
    EXPECT_TRUE(back.AuthEnabled);
}

// A password damaged by a code page unscrambles to control characters: it is
// not shown, and OK keeps the stored value until a password is typed.
TEST_F(MailSettingsTest, AStoredPasswordThatDoesNotReadWholeIsNeitherShownNorOverwritten)
{
    SeedAll("smtp.example.com", "ups@example.com", "alice", "pw\x1B" "damaged");
    const std::string stored = Stored("AUTHPassword");
    EXPECT_EQ(IDOK, Run([&](CDialog& dlg) {
                  EXPECT_TRUE(IsChecked(dlg, IDC_MAIL_USE_AUTH));
                  EXPECT_EQ("alice", Text(dlg, IDC_MAIL_LOGIN));
                  EXPECT_EQ("", Text(dlg, IDC_MAIL_PASSWORD));
                  SetText(dlg, IDC_MAIL_SERVER, "new.example.com");
                  Click(dlg, IDOK);
              }));
    EXPECT_EQ("new.example.com", Stored("SMTP server"));
    EXPECT_EQ("alice", Stored("AUTHLogin"));
    EXPECT_EQ(stored, Stored("AUTHPassword"));

    EXPECT_EQ(IDOK, Run([&](CDialog& dlg) {
                  SetText(dlg, IDC_MAIL_PASSWORD, "n3w-pw");
                  Click(dlg, IDOK);
              }));
    EXPECT_EQ(Scrambled("n3w-pw"), Stored("AUTHPassword"));
}

TEST_F(MailSettingsTest, CancelWritesNothing)
{
    SeedAll("smtp.example.com", "ups@example.com", "alice", "pw");
    EXPECT_EQ(IDCANCEL, Run([&](CDialog& dlg) {
                  Click(dlg, IDC_MAIL_ENABLE);
                  Click(dlg, IDCANCEL);
              }));
    EXPECT_EQ("smtp.example.com", Stored("SMTP server"));
    EXPECT_EQ("alice", Stored("AUTHLogin"));
    EXPECT_EQ("<none>", Stored("SMTP Port"));
}

TEST_F(MailSettingsTest, SettingsThatCannotBeStoredKeepTheDialogOpen)
{
    SeedAll("smtp.example.com", "ups@example.com", "alice", "pw");
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, testlib::OpenSharedKey(kMailerKey, KEY_ALL_ACCESS, &key));
    ASSERT_TRUE(wizardtest::RestrictKey(key, true));
    MessageBoxRecorder boxes;
    bool stillOpen = false;
    EXPECT_EQ(IDCANCEL, Run([&](CDialog& dlg) {
                  SetText(dlg, IDC_MAIL_SERVER, "mail.example.org");
                  Click(dlg, IDOK);
                  stillOpen = IsWindow(dlg.GetSafeHwnd()) != FALSE;
              }));
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(1u, boxes.Calls().size());
    EXPECT_STREQ("The mail settings could not be stored.", boxes.Calls()[0].text);
    EXPECT_EQ("smtp.example.com", Stored("SMTP server"));

    ASSERT_TRUE(wizardtest::RestrictKey(key, false));
    RegCloseKey(key);
    HablatSettings settings;
    settings.Enabled = false;
    EXPECT_EQ(CMailSettings::WriteResult::Written, CMailSettings::WriteHablatSettings(&settings));
    EXPECT_EQ("", Stored("SMTP server"));
}

// What the user types into the four fields with mail and authentication on;
// the refused entries leave the dialog open with its message, the offending
// field selected and focused, and write nothing.
struct Typed {
    std::string server = "smtp.example.com";
    std::string sender = "ups@example.com";
    std::string login = "alice";
    std::string password = "s3cret";
};

class MailSettingsEntries : public MailSettingsTest {
protected:
    // Types the entries into the dialog opened without a key, presses OK; true
    // when the dialog closed with OK.
    bool TypeAndConfirm(const Typed& typed, bool auth = true)
    {
        testlib::DeleteSharedKey(kMailerKey);
        return Run([&](CDialog& dlg) {
            EXPECT_TRUE(Click(dlg, IDC_MAIL_ENABLE));
            if (auth) {
                EXPECT_TRUE(Click(dlg, IDC_MAIL_USE_AUTH));
            }
            SetText(dlg, IDC_MAIL_SERVER, typed.server.c_str());
            SetText(dlg, IDC_MAIL_SENDER, typed.sender.c_str());
            SetText(dlg, IDC_MAIL_LOGIN, typed.login.c_str());
            SetText(dlg, IDC_MAIL_PASSWORD, typed.password.c_str());
            Click(dlg, IDOK);
            focused_ = FocusedId();
            GetSelection(dlg, focused_, selStart_, selEnd_);
            shown_ = Text(dlg, focused_);
        }) == IDOK;
    }

    MessageBoxRecorder boxes_;
    int focused_ = 0;
    int selStart_ = -1;
    int selEnd_ = -1;
    std::string shown_;
};

TEST_F(MailSettingsEntries, ADoubleQuoteInAWrittenValueIsRefusedNamingTheField)
{
    struct Case {
        int field;
        const char* value;
        const char* message;
    } cases[] = {
        {IDC_MAIL_SERVER, "smtp\"x", "The outgoing server must not contain a double quote (\")."},
        {IDC_MAIL_SENDER, "\"ups\"@example.com", "The sender e-mail address must not contain a double quote (\")."},
        {IDC_MAIL_LOGIN, "\"bob", "The account user name must not contain a double quote (\")."},
        {IDC_MAIL_PASSWORD, "pa\"ss", "The account password must not contain a double quote (\")."},
        {IDC_MAIL_PASSWORD, "pw\"", "The account password must not contain a double quote (\")."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        boxes_.Clear();
        Typed typed;
        if (c.field == IDC_MAIL_SERVER) typed.server = c.value;
        if (c.field == IDC_MAIL_SENDER) typed.sender = c.value;
        if (c.field == IDC_MAIL_LOGIN) typed.login = c.value;
        if (c.field == IDC_MAIL_PASSWORD) typed.password = c.value;
        EXPECT_FALSE(TypeAndConfirm(typed));
        EXPECT_EQ(std::vector<std::string>{c.message}, boxes_.Texts());
        EXPECT_EQ(c.field, focused_);
        EXPECT_EQ(c.value, shown_);
        EXPECT_EQ(0, selStart_);
        EXPECT_EQ(static_cast<int>(std::string(c.value).size()), selEnd_);
        EXPECT_FALSE(KeyExists());
    }

    // Values that are not written are not checked.
    boxes_.Clear();
    Typed login;
    login.login = "\"bob";
    login.password = "pa\"ss";
    EXPECT_TRUE(TypeAndConfirm(login, false));
    EXPECT_TRUE(boxes_.Calls().empty());
    EXPECT_EQ("", Stored("AUTHLogin"));
}

// The edits stop at 127 characters, but under a double-byte code page those
// can be twice as many bytes, more than the next opening reads back.
TEST_F(MailSettingsEntries, AValueOfMoreBytesThanAreReadBackIsRefused)
{
    const std::string tooLong(128, 'a');
    const struct {
        int field;
        const char* name;
    } fields[] = {{IDC_MAIL_SERVER, "The outgoing server"},
                  {IDC_MAIL_SENDER, "The sender e-mail address"},
                  {IDC_MAIL_LOGIN, "The account user name"},
                  {IDC_MAIL_PASSWORD, "The account password"}};
    for (const auto& [field, name] : fields) {
        SCOPED_TRACE(field);
        boxes_.Clear();
        Typed typed;
        if (field == IDC_MAIL_SERVER) typed.server = tooLong;
        if (field == IDC_MAIL_SENDER) typed.sender = tooLong;
        if (field == IDC_MAIL_LOGIN) typed.login = tooLong;
        if (field == IDC_MAIL_PASSWORD) typed.password = tooLong;
        EXPECT_FALSE(TypeAndConfirm(typed));
        EXPECT_EQ(std::vector<std::string>{std::string(name) + " is too long: at most 127 bytes of it can be stored."},
                  boxes_.Texts());
        EXPECT_EQ(field, focused_);
        EXPECT_EQ(tooLong, shown_);
        EXPECT_FALSE(KeyExists());
    }
}

// Printable characters of code page 1252 (and lead bytes of 932) that equal
// the key byte at their position would end the stored text there.
TEST_F(MailSettingsEntries, APasswordThatWouldBeStoredCutIsRefused)
{
    const char* const cut[] = {
        "\x9C" "bersicht1",       // oe ligature, key byte 0
        "abc\x93" "def\x94",      // left double quotation mark, key byte 3
        "Brand1\x99x",            // trade mark sign, key byte 6
        "abcde\x82\xA0",          // a hiragana's lead byte, key byte 5
    };
    for (const char* password : cut) {
        SCOPED_TRACE(password);
        boxes_.Clear();
        Typed typed;
        typed.password = password;
        EXPECT_FALSE(TypeAndConfirm(typed));
        ASSERT_EQ(1u, boxes_.Calls().size());
        EXPECT_STREQ("This password cannot be stored: the mailer's scrambling would end it at one of its "
                     "characters.\r\nPlease choose another password.",
                     boxes_.Calls()[0].text);
        EXPECT_EQ(IDC_MAIL_PASSWORD, focused_);
        EXPECT_EQ(password, shown_);
        EXPECT_FALSE(KeyExists());
    }

    // The same characters elsewhere scramble to other bytes and come back whole.
    for (const char* password : {"Gr\xFC\xDF" "e1", "x\x9C" "bersicht1", "\x93" "abc\x94"}) {
        SCOPED_TRACE(password);
        Typed typed;
        typed.password = password;
        EXPECT_TRUE(TypeAndConfirm(typed));
        HablatSettings back;
        CMailSettings::ReadHablatSettings(&back);
        EXPECT_EQ(password, back.AuthPassword);
        EXPECT_TRUE(back.AuthEnabled);
    }
}

TEST_F(MailSettingsEntries, TheEditsTakeAtMostWhatTheNextOpeningReads)
{
    const std::string typed130(130, 'v');
    Run([&](CDialog& dlg) {
        ASSERT_TRUE(Click(dlg, IDC_MAIL_ENABLE));
        ASSERT_TRUE(Click(dlg, IDC_MAIL_USE_AUTH));
        for (int id : {IDC_MAIL_SERVER, IDC_MAIL_SENDER, IDC_MAIL_LOGIN, IDC_MAIL_PASSWORD}) {
            EXPECT_EQ(127, dlg.SendDlgItemMessage(id, EM_GETLIMITTEXT)) << id;
            // What typing or pasting does: the edit takes no more than its limit.
            dlg.SendDlgItemMessage(id, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(typed130.c_str()));
            EXPECT_EQ(127u, Text(dlg, id).size()) << id;
        }
        Click(dlg, IDOK);
    });
    const std::string longest(127, 'v');
    Run([&](CDialog& dlg) {
        EXPECT_TRUE(IsChecked(dlg, IDC_MAIL_ENABLE));
        EXPECT_TRUE(IsChecked(dlg, IDC_MAIL_USE_AUTH));
        for (int id : {IDC_MAIL_SERVER, IDC_MAIL_SENDER, IDC_MAIL_LOGIN, IDC_MAIL_PASSWORD})
            EXPECT_EQ(longest, Text(dlg, id)) << id;
    });
}

// Refuses, as a registry that cannot be written would, the given call of each
// named value (1: its first write; 2: the next change, the put-back).
class RefusedWrites {
public:
    explicit RefusedWrites(std::map<std::string, int> refused) : refused_(std::move(refused))
    {
        previous_ = SetMailerWriteGate([this](const char* name) -> LONG {
            auto it = refused_.find(name);
            return it != refused_.end() && ++calls_[name] == it->second ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
        });
    }
    ~RefusedWrites() { SetMailerWriteGate(previous_); }

private:
    std::map<std::string, int> refused_;
    std::map<std::string, int> calls_;
    MailerWriteGate previous_;
};

const char kNotStored[] = "The mail settings could not be stored.";
const char kNotRestored[] = "The mail settings could not be stored, and the earlier settings could not be restored.";

// A seeded key of every kind of value the save touches or must leave: the
// snapshot after a failed save is the one before, name for name and byte for
// byte.
class MailSave : public MailSettingsEntries {
protected:
    void SeedKey()
    {
        Seed("SMTP Port", "587");
        Seed("Other", "%kept%", REG_EXPAND_SZ);
        Seed("SMTP server", "old.example.com");
        Seed("sender", "old@example.com", REG_EXPAND_SZ);
        Seed("AUTHLogin", "bob");
        Seed("AUTHPassword", Scrambled("0ld-pw"));
    }

    // Opens the dialog on the key, changes every field and presses OK; true
    // when it closed.
    bool ChangeAll(const std::string& password)
    {
        return Run([&](CDialog& dlg) {
                   EXPECT_TRUE(IsChecked(dlg, IDC_MAIL_USE_AUTH));
                   SetText(dlg, IDC_MAIL_SERVER, "new.example.com");
                   SetText(dlg, IDC_MAIL_SENDER, "new@example.com");
                   SetText(dlg, IDC_MAIL_LOGIN, "carol");
                   SetText(dlg, IDC_MAIL_PASSWORD, password.c_str());
                   Click(dlg, IDOK);
               }) == IDOK;
    }
};

TEST_F(MailSave, AValueThatCannotBeWrittenLeavesTheKeyAsItWas)
{
    for (const char* name : {"SMTP server", "sender", "AUTHLogin", "AUTHPassword"}) {
        SCOPED_TRACE(name);
        testlib::DeleteSharedKey(kMailerKey);
        SeedKey();
        const auto before = wizardtest::MailerKeySnapshot();
        boxes_.Clear();
        RefusedWrites refused({{name, 1}});
        EXPECT_FALSE(ChangeAll("n3w-pw"));
        EXPECT_EQ(std::vector<std::string>{kNotStored}, boxes_.Texts());
        EXPECT_EQ(before, wizardtest::MailerKeySnapshot());
    }

    // Blanking the values for disabled mail fails the same way.
    testlib::DeleteSharedKey(kMailerKey);
    SeedKey();
    const auto before = wizardtest::MailerKeySnapshot();
    boxes_.Clear();
    RefusedWrites refused({{"AUTHLogin", 1}});
    Run([&](CDialog& dlg) {
        Click(dlg, IDC_MAIL_ENABLE);
        Click(dlg, IDOK);
    });
    EXPECT_EQ(std::vector<std::string>{kNotStored}, boxes_.Texts());
    EXPECT_EQ(before, wizardtest::MailerKeySnapshot());
}

TEST_F(MailSave, AKeyTheFailedSaveCreatedIsRemoved)
{
    for (const char* name : {"Try", "SMTP server", "AUTHPassword"}) {
        SCOPED_TRACE(name);
        boxes_.Clear();
        RefusedWrites refused({{name, 1}});
        Typed typed;
        EXPECT_FALSE(TypeAndConfirm(typed));
        EXPECT_EQ(std::vector<std::string>{kNotStored}, boxes_.Texts());
        EXPECT_FALSE(KeyExists());
    }
}

// When the earlier values cannot all be put back, the message says so.
TEST_F(MailSave, APutBackThatFailsIsReported)
{
    SeedKey();
    {
        RefusedWrites refused({{"AUTHPassword", 1}, {"SMTP server", 2}});
        EXPECT_FALSE(ChangeAll("n3w-pw"));
    }
    EXPECT_EQ(std::vector<std::string>{kNotRestored}, boxes_.Texts());
    EXPECT_EQ("new.example.com", Stored("SMTP server")) << "the value that could not be put back";
    EXPECT_EQ("old@example.com", Stored("sender"));
    EXPECT_EQ(Scrambled("0ld-pw"), Stored("AUTHPassword"));

    testlib::DeleteSharedKey(kMailerKey);
    boxes_.Clear();
    RefusedWrites refused({{"sender", 1}, {kMailerKey, 1}});
    Typed typed;
    EXPECT_FALSE(TypeAndConfirm(typed));
    EXPECT_EQ(std::vector<std::string>{kNotRestored}, boxes_.Texts());
}

}  // namespace
