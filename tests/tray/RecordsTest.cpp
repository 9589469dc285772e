// Record handling of the message port, driven through the real KarNet.dll from a
// plain socket: buffer in, replies out, programs started, icon and tooltip shown.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ListenThread.h"
#include "RecordText.h"
#include "Records.h"
#include "ServiceState.h"
#include "TrayApp.h"
#include "TrayResources.h"
#include "TrayTestSupport.h"
#include "testlib.h"

namespace {

std::string Rec(const std::string& tag, const std::string& text)
{
    return tag + "|" + std::to_string(text.size()) + "|" + text + "|";
}

class RecordsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        TrayInstance = GetModuleHandleA(nullptr);
        service_ = new traytest::KodraService;
        ASSERT_TRUE(service_->Installed());
        ASSERT_TRUE(service_->Start());
        bin_ = new testlib::ScratchDir("kodra records");
        std::string recorder = testlib::DoublesDir() + "\\recorder.exe";
        ASSERT_TRUE(testlib::CopyInto(recorder, bin_->Path(), "ktMsg.exe"));
        ASSERT_TRUE(testlib::CopyInto(recorder, bin_->Path(), "job.exe"));
        int port = traytest::FreePort();
        ASSERT_TRUE(theTrayApp.Transport.Open(("tcp:" + std::to_string(port) + "@localhost").c_str()));
        client_ = new traytest::Client(port);
        ASSERT_TRUE(client_->Connected());
    }

    static void TearDownTestSuite()
    {
        delete client_;
        theTrayApp.Transport.Close();
        delete bin_;
        delete service_;
        theTrayApp.LastServiceState = -1;
    }

    // The service runs and the tray knows it, so a record checks nothing first.
    void SetUp() override
    {
        theTrayApp.LastServiceState = 1;
        theTrayApp.IconId = -1;
        theTrayApp.Icon.SetTooltip("before");
        log_ = bin_->File("starts " + std::to_string(++logCount_) + ".log");
        SetEnvironmentVariableA("KODRA_RECORD_LOG", log_.c_str());
    }

    // Sends the buffer, lets one pass of the listen loop handle it and gives the
    // replies; a marker written after the pass shows where they end.
    std::string Exchange(const std::string& buffer)
    {
        if (!client_->Send(buffer)) return "<not sent>";
        PollAndRead();
        uint32_t written = 0;
        theTrayApp.Transport.WriteData("#", 1, &written);
        return client_->ReadUntil('#');
    }

    std::vector<testlib::RecordedStart> Starts(size_t expected)
    {
        testlib::WaitFor([&] { return testlib::ReadRecorderLog(log_).size() >= expected; });
        return testlib::ReadRecorderLog(log_);
    }

    static std::string Job(const std::string& args)
    {
        return "\"" + bin_->File("job.exe") + "\" " + args;
    }

    static traytest::KodraService* service_;
    static testlib::ScratchDir* bin_;
    static traytest::Client* client_;
    static int logCount_;
    std::string log_;
};

traytest::KodraService* RecordsTest::service_ = nullptr;
testlib::ScratchDir* RecordsTest::bin_ = nullptr;
traytest::Client* RecordsTest::client_ = nullptr;
int RecordsTest::logCount_ = 0;

struct Case {
    const char* name;
    std::string buffer;
    std::string replies;
    std::vector<int> startShows;  // show state of each program started, in order
};

TEST_F(RecordsTest, BatchesAreAnsweredAndStartedAsTheTableSays)
{
    const std::string job = Job("one");
    const std::string ktmsg = "\"" + bin_->File("ktmsg.exe") + "\" \"hello\" \"KODRA\"";
    const std::string missing = "\"" + bin_->File("missing.exe") + "\"";
    const Case cases[] = {
        {"one record is started hidden", Rec("KODRA", job), "0", {SW_HIDE}},
        {"no closing bar: three fields, nothing", "KODRA|5|hello", "", {}},
        {"two records, two replies", Rec("KODRA", job) + "KODRA|4|abc|", "013", {SW_HIDE}},
        {"lower-case tag is accepted", Rec("kodra", job), "0", {SW_HIDE}},
        {"foreign tag gets no reply", Rec("VELMOR", job), "", {}},
        {"a junk field before the record", "xyz|" + Rec("KODRA", job), "0", {SW_HIDE}},
        {"junk fields before the record start it once", "a|b|c|" + Rec("KODRA", job), "0", {SW_HIDE}},
        {"six junk fields still start it once", "a|b|c|d|e|f|" + Rec("KODRA", job), "0", {SW_HIDE}},
        {"a text with a bar is refused, the next record found",
         "KODRA|7|he|llo|" + Rec("KODRA", job), "130", {SW_HIDE}},
        {"a cut last record is refused", Rec("KODRA", job) + "KODRA|3|a", "013", {SW_HIDE}},
        {"more than 511 characters are refused", Rec("KODRA", std::string(600, 'a')), "13", {}},
        {"the count of an overlong text cut to a field is refused",
         "KODRA|511|" + job + " " + std::string(600, 'x') + "|", "13", {}},
        {"a count that wraps past 32 bits is refused",
         "KODRA|" + std::to_string((1ull << 32) + job.size()) + "|" + job + "|", "13", {}},
        {"a length that counts a blank is refused", "KODRA|6|hello |", "13", {}},
        {"ktmsg in any case is started shown", Rec("KODRA", ktmsg), "0", {SW_SHOW}},
        {"a missing program answers its error", Rec("KODRA", missing), "2", {}},
        {"an empty text fails to start", "KODRA|0||", "2", {}},
        {"STATUS only in a later field is a command", Rec("KODRA", job + ";STATUS=8"), "0", {SW_HIDE}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        EXPECT_EQ(Exchange(c.buffer), c.replies);
        std::vector<testlib::RecordedStart> starts = Starts(c.startShows.size());
        ASSERT_EQ(starts.size(), c.startShows.size());
        for (size_t i = 0; i < starts.size(); ++i) EXPECT_EQ(starts[i].show, c.startShows[i]);
        EXPECT_EQ(theTrayApp.Icon.Tooltip(), "before");
    }
}

TEST_F(RecordsTest, StartedProgramGetsTheTextAsItsCommandLine)
{
    EXPECT_EQ(Exchange(Rec("KODRA", "  " + Job("\"a b\" c") + "  ")), "13");
    EXPECT_EQ(Exchange(Rec("KODRA", Job("\"a b\" c"))), "0");
    std::vector<testlib::RecordedStart> starts = Starts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].cmd, Job("\"a b\" c"));
}

struct StatusCase {
    const char* text;
    int icon;  // -1: unchanged
    std::string tooltip;  // "before": unchanged
};

TEST_F(RecordsTest, StatusTextsBecomeIconAndTooltip)
{
    const StatusCase cases[] = {
        {"STATUS=6", IDI_STATUS_ALARM, "KODRA-Trap-Status:\nOutput off"},
        {"STATUS=0", -1, "before"},
        {"STATUS=512", IDI_STATUS_WARNING, "KODRA-Trap-Status:\n"},
        {"status=8;x=A", IDI_STATUS_ALARM, "KODRA-Trap-Status [A]:\nBackup mode"},
        {"STATUS=8;NAME=UPS1", IDI_STATUS_ALARM, "KODRA-Trap-Status [UPS1]:\nBackup mode"},
        {"STATUS=16393", IDI_STOPPED, "KODRA-Trap-Status:\nBackup mode, Bypass, COMM lost"},
        {"STATUS=2052;NAME", IDI_STATUS_OK, "KODRA-Trap-Status:\nOutput active, ECO mode"},
        {"STATUS=65544", IDI_STATUS_ALARM, "KODRA-Trap-Status:\nBackup mode"},
        {"STATUS=32768", -1, "KODRA-Trap-Status:\n"},
        {"STATUS=x", -1, "before"},
    };
    for (const StatusCase& c : cases) {
        SCOPED_TRACE(c.text);
        SetUp();
        EXPECT_EQ(Exchange(Rec("KODRA", c.text)), "0");
        EXPECT_EQ(theTrayApp.IconId, c.icon);
        EXPECT_EQ(theTrayApp.Icon.Tooltip(), c.tooltip);
        EXPECT_TRUE(testlib::ReadRecorderLog(log_).empty());
    }
}

TEST_F(RecordsTest, NothingIsServedWhileTheServiceIsStopped)
{
    ASSERT_TRUE(service_->Stop());
    theTrayApp.LastServiceState = -1;
    EXPECT_EQ(Exchange(Rec("KODRA", Job("x")) + Rec("KODRA", "STATUS=8")), "1313");
    EXPECT_EQ(theTrayApp.LastServiceState, 0);
    EXPECT_EQ(theTrayApp.IconId, IDI_STOPPED);
    EXPECT_EQ(theTrayApp.Icon.Tooltip(), "KODRA-VELMOR stopped");

    // Each record checks afresh while the last state is not "running".
    ASSERT_TRUE(service_->Start());
    EXPECT_EQ(Exchange(Rec("KODRA", "STATUS=8")), "0");
    EXPECT_EQ(theTrayApp.LastServiceState, 1);
    EXPECT_EQ(Starts(0).size(), 0u);
}

TEST_F(RecordsTest, ServiceStateChangesTheDisplayOnlyOnAChange)
{
    theTrayApp.LastServiceState = -1;
    PollServiceState();
    EXPECT_EQ(theTrayApp.IconId, IDI_RUNNING);
    EXPECT_EQ(theTrayApp.Icon.Tooltip(), "KODRA-VELMOR running");

    theTrayApp.Icon.SetTooltip("status shown");
    PollServiceState();
    EXPECT_EQ(theTrayApp.Icon.Tooltip(), "status shown");

    ASSERT_TRUE(service_->Stop());
    PollServiceState();
    EXPECT_EQ(theTrayApp.IconId, IDI_STOPPED);
    EXPECT_EQ(theTrayApp.Icon.Tooltip(), "KODRA-VELMOR stopped");
    EXPECT_FALSE(IsServiceRunning("KODRA"));
    EXPECT_FALSE(IsServiceRunning("KODRA-not-installed"));
    ASSERT_TRUE(service_->Start());
    EXPECT_TRUE(IsServiceRunning("KODRA"));
}

TEST_F(RecordsTest, TheTrayDestroysOnlyItsOwnIconCopies)
{
    HICON shared = LoadIconA(TrayInstance, MAKEINTRESOURCEA(IDI_STATUS_ALARM));
    ASSERT_NE(shared, nullptr);
    SetTrayIcon(IDI_STATUS_ALARM);
    HICON first = theTrayApp.Icon.Icon();
    SetTrayIcon(IDI_STATUS_ALARM);
    HICON second = theTrayApp.Icon.Icon();
    EXPECT_NE(first, shared);
    EXPECT_NE(second, first);
    ICONINFO info;
    EXPECT_FALSE(GetIconInfo(first, &info));
    ASSERT_TRUE(GetIconInfo(shared, &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

TEST(ReadMessagePortTest, ThePortComesFromTheKodraKeyOrIsTheDefault)
{
    ASSERT_TRUE(traytest::SetMessagePort("KODRA", 7000));
    ReadMessagePort();
    EXPECT_EQ(theTrayApp.PortText, "7000");
    ASSERT_TRUE(traytest::SetMessagePort("KODRA", 0));
    ReadMessagePort();
    EXPECT_EQ(theTrayApp.PortText, "0");
    ASSERT_TRUE(traytest::SetMessagePortText("KODRA", "7000"));
    ReadMessagePort();
    EXPECT_EQ(theTrayApp.PortText, "961");
    traytest::DeleteMessagePort("KODRA");
    ReadMessagePort();
    EXPECT_EQ(theTrayApp.PortText, "961");
}

// Each field of a batch is read once: a megabyte of separators (a third of a
// million records to search) is passed over at once, not in hours.
TEST(BatchSplitTest, ALongRunOfSeparatorsIsPassedOverAtOnce)
{
    const std::string separators(1 << 20, '|');
    EXPECT_TRUE(SplitBatch(separators.c_str(), "KODRA").empty());
    const std::string batch = separators + "KODRA|5|hello|";
    std::vector<std::string> records = SplitBatch(batch.c_str(), "KODRA");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0], "KODRA|5|hello");
}

// The length field vouches for the text only as the text's own count, in
// digits, of a text that a batch field holds whole.
TEST(RecordCheckTest, TheLengthIsTheDecimalCountOfAWholeText)
{
    const std::string longest(511, 'a');
    const std::string overlong(600, 'a');
    const struct {
        std::string batch;
        bool passes;
    } cases[] = {
        {"KODRA|5|hello|", true},
        {" kodra | 5 | hello |", true},
        {"KODRA|005|hello|", true},
        {"KODRA|0||", true},
        {"KODRA|511|" + longest + "|", true},
        {"KODRA|511|" + overlong + "|", false},
        {"KODRA|600|" + overlong + "|", false},
        {"KODRA|4294967301|hello|", false},
        {"KODRA|-4294967291|hello|", false},
        {"KODRA|18446744073709551621|hello|", false},
        {"KODRA|+5|hello|", false},
        {"KODRA|5 x|hello|", false},
        {"KODRA|5x|hello|", false},
        {"KODRA||hello|", false},
        {"KODRA|4|hello|", false},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> records = SplitBatch(c.batch.c_str(), "KODRA");
        ASSERT_EQ(records.size(), 1u) << c.batch.substr(0, 40);
        const RecordCheck check = CheckRecord(records[0].c_str(), "KODRA");
        EXPECT_TRUE(check.addressed) << c.batch.substr(0, 40);
        EXPECT_EQ(check.lengthMatches, c.passes) << c.batch.substr(0, 40);
    }
}

TEST(StartFailureCodeTest, AFailureIsNeverAnsweredAsStarted)
{
    EXPECT_EQ(StartFailureCode(ERROR_FILE_NOT_FOUND), ERROR_FILE_NOT_FOUND);
    EXPECT_NE(StartFailureCode(0), 0);
}

}  // namespace
