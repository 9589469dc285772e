// The alive-check page under Xvfb: its check boxes and validation, the beep
// setting in "message.bat" byte for byte, and the connection test it runs
// against a double of the VELMOR status port.
#include "VelmorDouble.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ClientAliveDlg.h"
#include "PageHost.h"
#include "WizardTestKit.h"
#include "classlib_testkit.h"
#include "testlib.h"

namespace {

using namespace classlib::testkit;
using wizardtest::VelmorDouble;
using wizardtest::WizardFolder;

std::string InFolder(const std::string& name) { return WizardFolder() + "\\" + name; }

const int kCheckControls[] = {1031, 1016, 1048, 1055, 1054, 1052, 1053, 1035};

class AlivePage : public testing::Test {
protected:
    void SetUp() override
    {
        DeleteFileA(Batch().c_str());
        DeleteFileA(InFolder("message.xxx").c_str());
        ASSERT_TRUE(testlib::WriteTextFile(InFolder("alive.bat"), "@echo alive\r\n"));
        record_.SetDefaults();
        record_.WizardMode = 2;
        record_.Addr.Add("127.0.0.1");
        record_.VelMorCheckAlive = 1;
        record_.AddrModified = 0;
        record_.AlivePrg = "alive.bat";
    }
    void TearDown() override
    {
        DeleteFileA(Batch().c_str());
        DeleteFileA(InFolder("alive.bat").c_str());
    }
    static std::string Batch() { return InFolder("message.bat"); }
    static void WriteBatch(const std::string& bytes) { ASSERT_TRUE(testlib::WriteTextFile(Batch(), bytes)); }
    static std::string ReadBatch() { return testlib::ReadTextFile(Batch()); }
    void Load() { page_.LoadFromConfig(&record_); }
    // The page saved as Next does it, with the polling rate typed.
    BOOL SaveWithRate(const char* minutes)
    {
        SetText(page_, 1031, minutes);
        return page_.SaveToConfig(&record_);
    }
    bool CheckControlsEnabled(bool expected)
    {
        bool all = true;
        for (int id : kCheckControls)
            if (IsEnabled(page_, id) != expected) {
                ADD_FAILURE() << "control " << id;
                all = false;
            }
        return all;
    }
    int Beep() { return page_.GetCheckedRadioButton(1115, 1117); }

    CClientAliveDlg page_;
    wizardtest::PageHost host_{page_};
    CCnfData record_;
    MessageBoxRecorder boxes_{IDOK};
};

TEST_F(AlivePage, ShowsTheRecordInMinutes)
{
    record_.VelMorCheckIntervallSec = 90;
    record_.VelMorCheckConnectRetries = 7;
    record_.AlivePrg = "C:\\x\\check.bat";
    record_.RedundancyEnabled = 1;
    Load();
    EXPECT_STREQ("1", GetText(page_, 1031));
    EXPECT_STREQ("7", GetText(page_, 1048));
    EXPECT_STREQ("C:\\x\\check.bat", GetText(page_, 1016));
    EXPECT_TRUE(IsChecked(page_, 1060));
    EXPECT_TRUE(IsChecked(page_, 1029));
    CheckControlsEnabled(true);
    EXPECT_EQ(135u, page_.GetDialogId());
    page_.SetInitialFocus();
    EXPECT_EQ(1029, FocusedId());
}

TEST_F(AlivePage, PollRateTexts)
{
    struct Case {
        const char* text;
        const char* box;  // nullptr: stored
        DWORD seconds;
    } cases[] = {
        {"", "No Pollrate specified!", 0},
        {"0", "Invalid Pollrate specified!", 0},
        {"05", "Invalid Pollrate specified!", 0},
        {"5min", "Invalid Pollrate specified!", 0},
        {" 5", "Invalid Pollrate specified!", 0},
        {"+5", "Invalid Pollrate specified!", 0},
        {"5", nullptr, 300},
        {"-5", nullptr, 0xFFFFFFFFu - 299},
        {"35791394", nullptr, 2147483640u},
        {"35791395", "Invalid Pollrate specified!", 0},  // beyond 32 bits of seconds
        {"99999999999", "Invalid Pollrate specified!", 0},
    };
    Load();
    for (const Case& c : cases) {
        boxes_.Clear();
        record_.VelMorCheckIntervallSec = 1800;
        BOOL saved = SaveWithRate(c.text);
        if (c.box) {
            EXPECT_FALSE(saved) << c.text;
            EXPECT_EQ(std::vector<std::string>{c.box}, boxes_.Texts()) << c.text;
            EXPECT_EQ(1800u, record_.VelMorCheckIntervallSec) << c.text;
            EXPECT_EQ(1031, FocusedId()) << c.text;
            int start = -1, end = -1;
            GetSelection(page_, 1031, start, end);
            EXPECT_EQ(0, start) << c.text;
            EXPECT_EQ(static_cast<int>(std::strlen(c.text)), end) << c.text;
        } else {
            EXPECT_TRUE(saved) << c.text;
            EXPECT_TRUE(boxes_.Texts().empty()) << c.text;
            EXPECT_EQ(c.seconds, record_.VelMorCheckIntervallSec) << c.text;
        }
    }
    // A negative rate comes back as the unsigned seconds over 60.
    SaveWithRate("-5");
    Load();
    EXPECT_STREQ("71582783", GetText(page_, 1031));
}

TEST_F(AlivePage, RetriesTakeTheLeadingNumber)
{
    Load();
    const std::pair<const char*, DWORD> cases[] = {
        {"abc", 0}, {"-3", static_cast<DWORD>(-3)}, {"12x", 12}, {"", 0}, {"+4", 4}};
    for (const auto& c : cases) {
        SetText(page_, 1048, c.first);
        ASSERT_TRUE(SaveWithRate("30")) << c.first;
        EXPECT_EQ(c.second, record_.VelMorCheckConnectRetries) << c.first;
    }
    Load();
    EXPECT_STREQ("4", GetText(page_, 1048));
}

TEST_F(AlivePage, FailureBatchTexts)
{
    struct Case {
        const char* text;
        std::vector<int> answers;
        std::vector<std::string> boxes;
        bool saved;
    } cases[] = {
        {"", {}, {"No batch file specified!"}, false},
        {"   ", {}, {"No batch file specified!"}, false},
        {"a*.bat", {}, {"Illegal filename!"}, false},
        {"al?ve.bat", {}, {"Illegal filename!"}, false},
        {"missing.bat", {}, {"The file does not exist!"}, false},
        {" alive.bat", {}, {"The file does not exist!"}, false},  // checked as typed
        {"alive.bat", {}, {}, true},
        {"c:\\x\\sdsrv.BAT", {IDNO}, {"SDSrv.bat is the name of the server\r\nbatch file!\r\nDo you "
                                      "really want to use it for a client\r\n(normally, this doesn't "
                                      "make sense)?"},
         false},
        {"c:\\x\\sdsrv.BAT", {IDYES}, {"", "The file does not exist!"}, false},
    };
    Load();
    for (const Case& c : cases) {
        boxes_.Clear();
        boxes_.QueueAnswers({});
        for (int a : c.answers) boxes_.QueueAnswers({a});
        record_.AlivePrg = "before";
        SetText(page_, 1016, c.text);
        BOOL saved = SaveWithRate("30");
        EXPECT_EQ(c.saved, saved != FALSE) << c.text;
        std::vector<std::string> texts = boxes_.Texts();
        ASSERT_EQ(c.boxes.size(), texts.size()) << c.text;
        for (size_t i = 0; i < texts.size(); ++i)
            if (!c.boxes[i].empty()) {
                EXPECT_EQ(c.boxes[i], texts[i]) << c.text;
            }
        EXPECT_EQ(c.saved ? std::string(c.text) : "before", std::string(record_.AlivePrg)) << c.text;
        if (!c.saved) {
            EXPECT_EQ(1016, FocusedId()) << c.text;
        }
    }
    boxes_.Clear();
    boxes_.QueueAnswers({IDNO});
    SetText(page_, 1016, "C:\\K\\SDSrv.bat");
    EXPECT_FALSE(SaveWithRate("30"));
    ASSERT_EQ(1u, boxes_.Calls().size());
    EXPECT_STREQ("Warning", boxes_.Calls()[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION), boxes_.Calls()[0].type);
}

TEST_F(AlivePage, WithoutAddressesTheCheckIsOffAndNothingIsChecked)
{
    record_.Addr.RemoveAll();
    record_.Velmor.Add("old");
    record_.VelMorCheckIntervallSec = 1234;
    record_.AlivePrg = "kept.bat";
    Load();
    EXPECT_FALSE(IsChecked(page_, 1029));
    EXPECT_FALSE(IsEnabled(page_, 1029));
    CheckControlsEnabled(false);
    SetText(page_, 1031, "");  // not validated while the check is off
    ASSERT_TRUE(page_.SaveToConfig(&record_));
    EXPECT_EQ(0, record_.Velmor.GetSize());
    EXPECT_EQ(0u, record_.VelMorCheckAlive);
    EXPECT_EQ(1234u, record_.VelMorCheckIntervallSec);
    EXPECT_STREQ("kept.bat", record_.AlivePrg);
    EXPECT_TRUE(boxes_.Texts().empty());
}

TEST_F(AlivePage, TheUsersChoiceSurvivesLaterLoads)
{
    record_.VelMorCheckUsesTraps = true;
    Load();
    EXPECT_TRUE(IsChecked(page_, 1029));
    EXPECT_TRUE(IsChecked(page_, 1055));
    EXPECT_FALSE(IsEnabled(page_, 1031));  // traps instead of polling

    ASSERT_TRUE(Click(page_, 1055));
    EXPECT_TRUE(IsEnabled(page_, 1031));
    ASSERT_TRUE(Click(page_, 1029));
    CheckControlsEnabled(false);

    Load();  // back to the address page and here again: the record did not change
    EXPECT_FALSE(IsChecked(page_, 1029));
    EXPECT_FALSE(IsChecked(page_, 1055));
    CheckControlsEnabled(false);
    ASSERT_TRUE(Click(page_, 1029));
    CheckControlsEnabled(true);
    EXPECT_TRUE(IsEnabled(page_, 1031));

    ASSERT_TRUE(SaveWithRate("15"));
    EXPECT_EQ(1u, record_.VelMorCheckAlive);
    EXPECT_FALSE(record_.VelMorCheckUsesTraps);
    ASSERT_EQ(1, record_.Velmor.GetSize());
    EXPECT_STREQ("127.0.0.1", record_.Velmor[0]);
    EXPECT_EQ(900u, record_.VelMorCheckIntervallSec);
    EXPECT_STREQ("alive.bat", record_.AlivePrg);
    EXPECT_EQ(0u, record_.RedundancyEnabled);
    ASSERT_TRUE(Click(page_, 1060));
    ASSERT_TRUE(SaveWithRate("15"));
    EXPECT_EQ(1u, record_.RedundancyEnabled);
}

TEST_F(AlivePage, BrowseDefaultAndEditTheFailureBatch)
{
    Load();
    SetText(page_, 1016, "C:\\start\\now.bat");
    {
        FileDialogAnswer answer("C:\\chosen\\check.bat");
        ASSERT_TRUE(Click(page_, 1052));
        ASSERT_EQ(1u, answer.Calls().size());
        EXPECT_EQ("Batch files|*.bat|Program files|*.exe|All files|*|", answer.Calls()[0].filter);
        EXPECT_EQ("Client check-connection batch file", answer.Calls()[0].title);
        EXPECT_EQ("C:\\start\\now.bat", answer.Calls()[0].fileName);
        EXPECT_STREQ("C:\\chosen\\check.bat", GetText(page_, 1016));
    }
    {
        FileDialogAnswer cancel(nullptr);
        ASSERT_TRUE(Click(page_, 1052));
        EXPECT_STREQ("C:\\chosen\\check.bat", GetText(page_, 1016));
    }
    ASSERT_TRUE(Click(page_, 1053));
    EXPECT_EQ(InFolder("alive.bat"), std::string(GetText(page_, 1016)));

    ProgramStartRecorder starts;
    ASSERT_TRUE(Click(page_, 1035));
    ASSERT_EQ(1u, starts.Calls().size());
    EXPECT_EQ("\"notepad.exe\" \"" + InFolder("alive.bat") + "\"",
              std::string(starts.Calls()[0].commandLine));
    EXPECT_TRUE(starts.Calls()[0].wait);
    EXPECT_EQ(SW_SHOWNORMAL, starts.Calls()[0].showMode);
}

TEST_F(AlivePage, BeepRadiosEnableTheCount)
{
    Load();
    EXPECT_EQ(1115, Beep());  // no message.bat
    EXPECT_FALSE(IsEnabled(page_, 1118));
    EXPECT_STREQ("", GetText(page_, 1118));
    ASSERT_TRUE(Click(page_, 1117));
    EXPECT_TRUE(IsEnabled(page_, 1118));
    EXPECT_STREQ("1", GetText(page_, 1118));
    SetText(page_, 1118, "4");
    ASSERT_TRUE(Click(page_, 1116));
    EXPECT_FALSE(IsEnabled(page_, 1118));
    ASSERT_TRUE(Click(page_, 1117));
    EXPECT_STREQ("4", GetText(page_, 1118));
}

// message.bat before, what the page shows, the choice made, message.bat after.
struct BatchCase {
    std::string before;
    int shownRadio;  // 0: none checked
    std::string shownCount;
    int chosenRadio;  // 0: leave as shown
    std::string typedCount;
    std::string after;
};

const std::string kLine = "start /b msg.exe %1 \"VELMOR:\" -c:";

TEST_F(AlivePage, MessageBatchLinesByteForByte)
{
    const BatchCase cases[] = {
        {"echo off\r\n" + kLine + "3 KODRA\r\nexit\r\n", 1117, "3", 1116, "",
         "echo off\r\n" + kLine + "0 KODRA\r\nexit\r\n\r\n"},
        {"msg.exe -c:12\r\n", 1117, "9", 0, "", kLine + "9 KODRA\r\n\r\n"},
        {"msg.exe -c:abc\r\n", 1116, "", 0, "", kLine + "0 KODRA\r\n\r\n"},
        {"msg.exe -c:-7\r\n", 1115, "", 1117, "0", kLine + "1 KODRA\r\n\r\n"},
        {"msg.exe -c:5\r\n", 1117, "5", 1117, "42", kLine + "9 KODRA\r\n\r\n"},
        {"rem msg.exe without count\r\n", 0, "", 0, "", kLine + "1 KODRA\r\n\r\n"},
        {"a msg.exe -c:-1\r\nb\r\nc msg.exe -c:5\r\n", 1115, "", 0, "",
         kLine + "-1 KODRA\r\nb\r\n" + kLine + "-1 KODRA\r\n\r\n"},
        {"MSG.EXE -c:5\r\nrem\r\n", 1115, "", 1116, "", "MSG.EXE -c:5\r\nrem\r\n\r\n"},
        {"echo\r\nlast msg.exe -c:2", 1117, "2", 1115, "", "echo\r\n" + kLine + "-1 KODRA\r\n\r\n"},
        {"a\r\nb", 1115, "", 0, "", "a\r\nb\r\n"},
        {"", 1115, "", 0, "", "\r\n"},
        {std::string(600, 'x') + "\r\n" + kLine + "2 KODRA\r\n", 1117, "2", 0, "",
         std::string(600, 'x') + "\r\n" + kLine + "2 KODRA\r\n\r\n"},
        {std::string("echo a\0b\r\n", 10) + kLine + "2 KODRA\r\n", 1117, "2", 1115, "",
         std::string("echo a\0b\r\n", 10) + kLine + "-1 KODRA\r\n\r\n"},
    };
    for (const BatchCase& c : cases) {
        WriteBatch(c.before);
        // A fresh page shows no radio button until the file says one.
        CClientAliveDlg page;
        wizardtest::PageHost host(page);
        page.LoadFromConfig(&record_);
        EXPECT_EQ(c.shownRadio, page.GetCheckedRadioButton(1115, 1117)) << c.before;
        EXPECT_EQ(c.shownCount, std::string(GetText(page, 1118))) << c.before;
        EXPECT_EQ(c.shownRadio == 1117, IsEnabled(page, 1118)) << c.before;
        if (c.chosenRadio) {
            ASSERT_TRUE(Click(page, c.chosenRadio)) << c.before;
        }
        if (!c.typedCount.empty()) SetText(page, 1118, c.typedCount.c_str());
        SetText(page, 1031, "30");
        ASSERT_TRUE(page.SaveToConfig(&record_)) << c.before;
        EXPECT_EQ(c.after, ReadBatch()) << c.before;
        EXPECT_FALSE(testlib::FileExists(InFolder("message.xxx")));
    }
}

TEST_F(AlivePage, AMissingBatchIsNotCreatedAndARefusedPageWritesNothing)
{
    Load();
    ASSERT_TRUE(Click(page_, 1116));
    ASSERT_TRUE(SaveWithRate("30"));
    EXPECT_FALSE(testlib::FileExists(Batch()));
    EXPECT_FALSE(testlib::FileExists(InFolder("message.xxx")));

    const std::string before = "echo\r\n" + kLine + "3 KODRA\r\n";
    WriteBatch(before);
    Load();
    ASSERT_TRUE(Click(page_, 1115));
    EXPECT_FALSE(SaveWithRate("0"));
    EXPECT_EQ(before, ReadBatch());
    ASSERT_TRUE(SaveWithRate("30"));  // left forwards: written at once
    EXPECT_EQ("echo\r\n" + kLine + "-1 KODRA\r\n\r\n", ReadBatch());
}

// The connection test runs against the double of the VELMOR status port.
class AlivePageConnectionTest : public AlivePage {};

TEST_F(AlivePageConnectionTest, NextRunsTheTestFirstWhenTheAddressesChanged)
{
    VelmorDouble server({VelmorDouble::Reply(std::string("1|1", 4))});
    ASSERT_TRUE(server.Listening());
    record_.Addr.Add("127.0.0.1");
    record_.AddrModified = 1;
    Load();
    EXPECT_FALSE(SaveWithRate(""));  // the test has run before the rate is refused
    EXPECT_EQ(std::vector<std::string>{"No Pollrate specified!"}, boxes_.Texts());
    EXPECT_EQ(0u, record_.AddrModified);
    ASSERT_EQ(2, record_.Velmor.GetSize());
    ASSERT_TRUE(server.WaitForConnections(2));
    CCheckVelmorDlg* dialog = page_.GetTestDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_TRUE(::IsWindowVisible(dialog->m_hWnd));
    HWND list = ::GetDlgItem(dialog->m_hWnd, 1106);
    char result[128] = "";
    ListView_GetItemText(list, 1, 1, result, sizeof result);
    EXPECT_STREQ("Successfully connected to VELMOR", result);

    ASSERT_TRUE(SaveWithRate("30"));  // no second test while the first is still open
    ASSERT_TRUE(Click(page_, 1054));
    EXPECT_EQ(dialog, page_.GetTestDialog());
    EXPECT_EQ(2u, server.Received().size());

    ASSERT_TRUE(Click(*dialog, IDOK));  // the page destroys and deletes it
    EXPECT_EQ(nullptr, page_.GetTestDialog());
    ASSERT_TRUE(Click(page_, 1054));
    ASSERT_NE(nullptr, page_.GetTestDialog());
    ASSERT_TRUE(server.WaitForConnections(4));
    HWND open = page_.GetTestDialog()->m_hWnd;
    page_.DestroyWindow();  // the wizard closes with the dialog still open
    EXPECT_EQ(nullptr, page_.GetTestDialog());
    EXPECT_FALSE(::IsWindow(open));
}

TEST_F(AlivePageConnectionTest, NoTestWithoutAddressesOrWithTheCheckOff)
{
    VelmorDouble server({});
    ASSERT_TRUE(server.Listening());
    record_.AddrModified = 1;
    record_.VelMorCheckAlive = 0;
    Load();
    ASSERT_TRUE(SaveWithRate("30"));
    EXPECT_EQ(nullptr, page_.GetTestDialog());
    EXPECT_EQ(1u, record_.AddrModified);  // the check is off: nothing tested

    record_.Addr.RemoveAll();
    Load();
    EXPECT_FALSE(IsEnabled(page_, 1054));
    page_.SendMessage(WM_COMMAND, 1054);
    EXPECT_EQ(nullptr, page_.GetTestDialog());
    EXPECT_TRUE(server.Received().empty());
}

}  // namespace
