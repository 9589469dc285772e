// The client shutdown batch file without a window: the command entries, the
// table of available commands, the writer, the reader and the matching of the
// lines read back. The helper programs are tested in the current directory,
// so each test works in a scratch folder of its own.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "BatchFile.h"
#include "DebugTrace.h"
#include "WizardTestKit.h"
#include "testlib.h"

namespace {

const char* const kAllHelpers[] = {"Voldrun.exe", "ktSleep.exe", "Brasket.exe", "Quorrin.exe",
                                   "Tavilo.exe",  "Ostrel.exe",  "Ostrel95.exe", "kodra.exe"};

struct Trace {
    int level;
    std::string text;
};
std::vector<Trace> g_traces;

int CaptureTrace(int level, int, const char* text, unsigned, int)
{
    g_traces.push_back({level, text});
    return 0;
}

class BatchFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        cwd_ = std::make_unique<testlib::CurrentDirectory>(dir_.Path());
        ASSERT_TRUE(cwd_->Entered());
        DebugResetForTests();
        DebugSetup(DEBUG_CH_DEBUGGER, DEBUG_STREAM_NONE);
        DebugSetReportHook(CaptureTrace);
        g_traces.clear();
    }
    void TearDown() override
    {
        DebugResetForTests();
        cwd_.reset();
    }

    void Touch(const std::string& name) { ASSERT_TRUE(testlib::WriteTextFile(dir_.File(name), "")); }
    void TouchAllHelpers()
    {
        for (const char* helper : kAllHelpers) Touch(helper);
    }
    std::string File(const std::string& name) const { return dir_.File(name); }

    std::vector<BatchCmdPtr> Read(const std::string& content, std::string& globalPath)
    {
        testlib::WriteTextFile(File("shutdown.bat"), content);
        std::vector<BatchCmdPtr> rows = BuildCommandList();
        BatchCmdList table;
        for (const BatchCmdPtr& row : rows) table.push_back(row.get());
        std::vector<BatchCmdPtr> read;
        ReadBatchFile(File("shutdown.bat"), table, globalPath, read);
        return read;
    }

    // The editor's initialisation: table, file, matching; the sequence's names.
    std::vector<std::string> Reload(const std::string& path, std::string& globalPath,
                                    BatchCmdList* sequence = nullptr)
    {
        owned_.clear();
        table_.clear();
        for (BatchCmdPtr& row : BuildCommandList()) {
            table_.push_back(row.get());
            owned_.push_back(std::move(row));
        }
        std::vector<BatchCmdPtr> read;
        ReadBatchFile(path, table_, globalPath, read);
        std::vector<std::string> names;
        BatchCmdList entries;
        for (const BatchMatch& match : MatchBatchCommands(read, table_, owned_)) {
            names.push_back(match.entry->GetName());
            entries.push_back(match.entry);
        }
        if (sequence) *sequence = entries;
        return names;
    }

    // The sequence written, run by the command interpreter with the recorder
    // as its programs, which start in order at paths; then read back to the
    // same names and folders, and written again to the same bytes.
    void RunsInOrderAndReadsBack(const BatchCmdList& sequence, const std::vector<std::string>& names,
                                 const std::vector<std::string>& paths)
    {
        ASSERT_TRUE(WriteBatchFile(File("first.bat"), "", sequence));
        const std::string written = testlib::ReadTextFile(File("first.bat"));

        const std::string log = File("started.log");
        testlib::RunResult run = testlib::Run("cmd.exe /c first.bat", dir_.Path(), {testlib::RecorderLogVar(log)});
        ASSERT_TRUE(run.ended);
        std::vector<std::string> started;
        for (const testlib::RecordedStart& start : testlib::ReadRecorderLog(log)) started.push_back(start.exe);
        EXPECT_EQ(paths, started) << written;

        std::string globalPath;
        BatchCmdList read;
        EXPECT_EQ(names, Reload(File("first.bat"), globalPath, &read));
        EXPECT_EQ("", globalPath);
        for (size_t i = 0; i < read.size() && i < sequence.size(); ++i)
            EXPECT_EQ(sequence[i]->GetDir(), read[i]->GetDir()) << names[i];
        ASSERT_TRUE(WriteBatchFile(File("second.bat"), globalPath, read));
        EXPECT_EQ(written, testlib::ReadTextFile(File("second.bat")));
    }

    testlib::ScratchDir dir_{"batch file"};
    std::unique_ptr<testlib::CurrentDirectory> cwd_;
    std::vector<BatchCmdPtr> owned_;
    BatchCmdList table_;
};

TEST_F(BatchFileTest, EntriesCompareTheirCommandLinesIgnoringCase)
{
    CBatchCmd plain("Voldrun.exe", "logoff", "Log off user", "d", "", 0);
    CBatchCmd shouted("VOLDRUN.EXE", "LOGOFF", "other name", "other", "D:\\x\\", 4);
    CBatchCmd twoBlanks("Voldrun.exe", " logoff", "", "", "", 0);
    CBatchCmd alone("Quorrin.exe", "", "", "", "", 0);
    EXPECT_EQ("Voldrun.exe logoff", plain.GetCommandLine());
    EXPECT_EQ("Quorrin.exe", alone.GetCommandLine());
    EXPECT_TRUE(plain.IsSameCommand(shouted));
    EXPECT_FALSE(plain.IsSameCommand(twoBlanks));
    EXPECT_EQ("D:\\x\\", shouted.GetDir());
    EXPECT_EQ(4, shouted.GetType());
}

TEST_F(BatchFileTest, FactoriesMakeWaitRelayAndCustomEntries)
{
    BatchCmdPtr waitTemplate = MakeWaitCommand("-1", true);
    EXPECT_EQ("ktSleep.exe -1", waitTemplate->GetCommandLine());
    EXPECT_EQ("Wait some seconds...", waitTemplate->GetName());
    EXPECT_EQ("Waits a duration in seconds until the next command is executed.",
              waitTemplate->GetDescription());
    EXPECT_EQ(3, waitTemplate->GetType());

    BatchCmdPtr wait = MakeWaitCommand("5", false);
    EXPECT_EQ("Wait 5 second(s)", wait->GetName());
    EXPECT_EQ("Waits 5 second(s) until the next command is executed.", wait->GetDescription());
    BatchCmdPtr bare = MakeWaitCommand("", false);
    EXPECT_EQ("Wait  second(s)", bare->GetName());
    EXPECT_EQ("ktSleep.exe", bare->GetCommandLine());

    BatchCmdPtr relayTemplate = MakeRelayCommand("", false);
    EXPECT_EQ("kodra.exe -s -a ", relayTemplate->GetCommandLine());
    EXPECT_EQ("KODRA shutdown relay", relayTemplate->GetName());
    EXPECT_EQ(9, relayTemplate->GetType());
    BatchCmdPtr relay = MakeRelayCommand("10.0.0.7", true);
    EXPECT_EQ("kodra.exe -s -a 10.0.0.7 -ssl", relay->GetCommandLine());
    EXPECT_EQ("KODRA shutdown relay to 10.0.0.7", relay->GetName());
    EXPECT_EQ("Relays KODRA shutdown command to another computer. Enter IP address or hostname of "
              "the remote computer you want to shutdown.",
              relay->GetDescription());
    EXPECT_EQ("", relay->GetDir());

    BatchCmdPtr custom = MakeCustomCommand("stop.exe", "D:\\tools\\");
    EXPECT_EQ("stop.exe", custom->GetName());
    EXPECT_EQ("Custom application.", custom->GetDescription());
    EXPECT_EQ(4, custom->GetType());
}

TEST_F(BatchFileTest, TheTableListsThePresentHelpersThenTheTwoTemplates)
{
    struct Row {
        const char* commandLine;
        const char* name;
        const char* description;
        int type;
    };
    const Row all[] = {
        {"Voldrun.exe logoff", "Log off user", "Ends your session, leaving the computer running on full power.", 0},
        {"Voldrun.exe shutdown force", "Shut down Windows", "Ends your session and shuts down Windows so that you can safely turn off power.", 0},
        {"Voldrun.exe poweroff force", "Power off Windows", "Ends your session, shuts down Windows, and turns off the power.", 0},
        {"Voldrun.exe reboot", "Restart Windows", "Ends your session, shuts down Windows, and starts Windows again.", 0},
        {"Voldrun.exe hibernate", "Hibernate Windows", "Hibernates your windows session.", 0},
        {"Voldrun.exe suspend", "Suspend Windows", "Suspends your windows session.", 0},
        {"Brasket.exe", "Quit Lotus Notes", "Closes Lotus Notes before shutting down Windows.\r\nPlease configure a 'Wait' delay after this command.", 0},
        {"Quorrin.exe", "Quit Microsoft Office", "Closes Microsoft Office before shutting down Windows.", 0},
        {"Tavilo.exe", "Quit Siemens SIMATIC", "Closes WinCC Database before shutting down Windows.\r\nPlease configure a 'Wait' delay after this command.", 0},
        {"Ostrel.exe", "Quit Applications", "Closes all applications before shutting down Windows.", 0},
        {"Ostrel95.exe", "Quit Applications (Win95)", "Closes all applications before shutting down Windows 95.\r\nPlease use this command only when running Windows 95.", 0},
        {"ktSleep.exe -1", "Wait some seconds...", "Waits a duration in seconds until the next command is executed.", 3},
        {"kodra.exe -s -a ", "KODRA shutdown relay", "Relays KODRA shutdown command to another computer. Enter IP address or hostname of the remote computer you want to shutdown.", 9},
    };

    std::vector<BatchCmdPtr> bare = BuildCommandList();
    ASSERT_EQ(2u, bare.size());  // the templates need no helper
    EXPECT_EQ("ktSleep.exe -1", bare[0]->GetCommandLine());
    EXPECT_EQ("kodra.exe -s -a ", bare[1]->GetCommandLine());

    TouchAllHelpers();
    std::vector<BatchCmdPtr> rows = BuildCommandList();
    ASSERT_EQ(13u, rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(all[i].commandLine, rows[i]->GetCommandLine()) << i;
        EXPECT_EQ(all[i].name, rows[i]->GetName()) << i;
        EXPECT_EQ(all[i].description, rows[i]->GetDescription()) << i;
        EXPECT_EQ(all[i].type, rows[i]->GetType()) << i;
        EXPECT_EQ("", rows[i]->GetDir()) << i;
    }

    ASSERT_TRUE(DeleteFileA(File("Voldrun.exe").c_str()));
    ASSERT_TRUE(DeleteFileA(File("Tavilo.exe").c_str()));
    std::vector<BatchCmdPtr> fewer = BuildCommandList();
    ASSERT_EQ(6u, fewer.size());
    EXPECT_EQ("Quit Lotus Notes", fewer[0]->GetName());
    EXPECT_EQ("Quit Microsoft Office", fewer[1]->GetName());
    EXPECT_EQ("Quit Applications", fewer[2]->GetName());
}

TEST_F(BatchFileTest, TheWriterWritesTheFixedFrameAndEachEntry)
{
    ASSERT_TRUE(WriteBatchFile(File("empty.bat"), "", {}));
    EXPECT_EQ("@ECHO off\r\nREM --- Created by KODRA configuration ---\r\n@CLS\r\n",
              testlib::ReadTextFile(File("empty.bat")));

    CBatchCmd logoff("Voldrun.exe", "logoff", "Log off user", "", "", 0);
    CBatchCmd custom("stop.exe", "", "stop.exe", "Custom application.", "D:\\tools\\", 4);
    BatchCmdPtr wait = MakeWaitCommand("5", false);
    BatchCmdPtr relay = MakeRelayCommand("10.0.0.7", true);
    ASSERT_TRUE(WriteBatchFile(File("full.bat"), "D:\\tools",
                               {&logoff, &custom, wait.get(), relay.get(), &logoff}));
    EXPECT_EQ("@ECHO off\r\n"
              "REM --- Created by KODRA configuration ---\r\n"
              "SET path=D:\\tools\r\n"
              "Voldrun.exe logoff\r\n"
              "SET path=%path%;D:\\tools\\\r\n"
              "D:\\tools\\stop.exe\r\n"
              "ktSleep.exe 5\r\n"
              "kodra.exe -s -a 10.0.0.7 -ssl\r\n"
              "Voldrun.exe logoff\r\n"
              "@CLS\r\n",
              testlib::ReadTextFile(File("full.bat")));
    EXPECT_TRUE(g_traces.empty());
}

TEST_F(BatchFileTest, FilesThatDoNotOpenAreTracedAsInformation)
{
    const std::string missing = File("no such folder\\shutdown.bat");
    EXPECT_FALSE(WriteBatchFile(missing, "", {}));
    ASSERT_EQ(1u, g_traces.size());
    EXPECT_EQ(DEBUG_INFO, g_traces[0].level);
    EXPECT_EQ("Cannot open target(" + missing + ")", g_traces[0].text);
    EXPECT_FALSE(testlib::FileExists(missing));

    g_traces.clear();
    std::string globalPath = "kept";
    std::vector<BatchCmdPtr> read;
    read.push_back(MakeWaitCommand("1", false));
    ReadBatchFile(missing, {}, globalPath, read);
    EXPECT_TRUE(read.empty());
    EXPECT_EQ("kept", globalPath);
    ASSERT_EQ(1u, g_traces.size());
    EXPECT_EQ(DEBUG_INFO, g_traces[0].level);
    EXPECT_EQ("Cannot open source(" + missing + ")", g_traces[0].text);

    g_traces.clear();
    Read("Voldrun.exe logoff\r\n", globalPath);
    ASSERT_EQ(1u, g_traces.size());
    EXPECT_EQ(DEBUG_INFO, g_traces[0].level);
    EXPECT_EQ("ERROR: Read job", g_traces[0].text);  // the end of the file
}

TEST_F(BatchFileTest, TheReaderKeepsCommandsWhoseProgramExistsWhereItIsTested)
{
    Touch("Voldrun.exe");
    Touch("remote.exe");
    ASSERT_TRUE(CreateDirectoryA(File("tools").c_str(), nullptr));
    ASSERT_TRUE(testlib::WriteTextFile(File("tools\\stop.exe"), ""));
    const std::string tools = File("tools") + "\\";
    std::string globalPath;
    std::vector<BatchCmdPtr> read = Read(
        "@ECHO off\r\n"
        "REM --- Created by KODRA configuration ---\r\n"
        "\r\n"
        "   \r\n"
        "rem lower case comment\r\n"
        "remote.exe\r\n"
        "set PATH=D:\\tools\r\n"
        "   Voldrun.exe logoff   \r\n"
        "Voldrun.exe  logoff\r\n"
        "\tVoldrun.exe logoff\r\n"
        "\"Voldrun.exe\" logoff\r\n"
        "Missing.exe now\r\n"
        "SET path=%path%;" + tools + "\r\n"
        "stop.exe -now please\r\n"
        "stop.exe\r\n"
        "SET path=%path%;" + tools + "\r\n"
        "SET path=C:\\no third field\r\n"
        "stop.exe\n"
        "Voldrun.exe\n"
        "@CLS\r\n",
        globalPath);
    EXPECT_EQ("D:\\tools", globalPath);
    struct Expected {
        const char* program;
        const char* arguments;
        std::string directory;
    };
    const std::vector<Expected> expected = {
        {"Voldrun.exe", "logoff", ""},
        {"Voldrun.exe", " logoff", ""},
        {"Voldrun.exe", "logoff", ""},  // a quoted program is the name inside the quotes
        {"stop.exe", "-now please", tools},
        {"Voldrun.exe", "", ""},
    };
    ASSERT_EQ(expected.size(), read.size());
    for (size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(expected[i].program, read[i]->GetExe()) << i;
        EXPECT_EQ(expected[i].arguments, read[i]->GetArgs()) << i;
        EXPECT_EQ(expected[i].directory, read[i]->GetDir()) << i;
        EXPECT_EQ("", read[i]->GetName()) << i;
        EXPECT_EQ(0, read[i]->GetType()) << i;
    }
}

TEST_F(BatchFileTest, ALineOf1024CharactersEndsTheReading)
{
    Touch("Voldrun.exe");
    const std::string longest = "Voldrun.exe " + std::string(1023 - 12, 'a');
    const std::string tooLong = "Voldrun.exe " + std::string(1024 - 12, 'b');
    std::string globalPath;
    std::vector<BatchCmdPtr> read =
        Read(longest + "\r\nVoldrun.exe one\r\n" + tooLong + "\r\nVoldrun.exe two\r\n", globalPath);
    ASSERT_EQ(2u, read.size());
    EXPECT_EQ(std::string(1011, 'a'), read[0]->GetArgs());
    EXPECT_EQ("one", read[1]->GetArgs());
    ASSERT_EQ(1u, g_traces.size());
    EXPECT_EQ("ERROR: Read job", g_traces[0].text);
}

TEST_F(BatchFileTest, LinesReadBackBecomeTableCommandsWaitsRelaysAndCustomPrograms)
{
    TouchAllHelpers();
    Touch("other.exe");
    std::string globalPath;
    testlib::WriteTextFile(File("shutdown.bat"),
                           "VOLDRUN.EXE LOGOFF\r\n"
                           "ktSleep.exe 5\r\n"
                           "kodra.exe -s -a 10.0.0.7 -ssl\r\n"
                           "kodra.exe -s -a my-alpha\r\n"
                           "kodra.exe -s -a \r\n"
                           "kodra.exe -p 7 -a srv2 -x -ssl\r\n"
                           "Voldrun.exe  logoff\r\n"
                           "other.exe -with arguments\r\n"
                           "Voldrun.exe logoff\r\n"
                           "ktSleep.exe -1\r\n");
    const size_t tableRows = 13;
    BatchCmdList sequence;
    std::vector<std::string> names = Reload(File("shutdown.bat"), globalPath, &sequence);
    const std::vector<std::string> expected = {
        "Log off user",
        "Wait 5 second(s)",
        "KODRA shutdown relay to 10.0.0.7",
        "KODRA shutdown relay to my-alpha",
        "KODRA shutdown relay to srv2",
        "Voldrun.exe",
        "other.exe",
        "Log off user",
        "Wait -1 second(s)",
    };
    EXPECT_EQ(expected, names);
    ASSERT_EQ(expected.size(), sequence.size());
    EXPECT_EQ(table_[0], sequence[0]);
    EXPECT_EQ(sequence[0], sequence[7]);  // one entry, listed twice
    EXPECT_EQ("kodra.exe -s -a 10.0.0.7 -ssl", sequence[2]->GetCommandLine());
    EXPECT_EQ("kodra.exe -s -a my-alpha", sequence[3]->GetCommandLine());
    EXPECT_EQ("kodra.exe -s -a srv2 -ssl", sequence[4]->GetCommandLine());
    EXPECT_EQ("Voldrun.exe", sequence[5]->GetCommandLine());  // a custom entry has no arguments
    EXPECT_EQ("Custom application.", sequence[5]->GetDescription());
    EXPECT_EQ(4, sequence[5]->GetType());
    // Waits and relays join the table; custom programs do not.
    ASSERT_EQ(tableRows + 5, table_.size());
    EXPECT_EQ(sequence[1], table_[tableRows]);
    EXPECT_EQ(sequence[8], table_[tableRows + 4]);
}

TEST_F(BatchFileTest, OnlyTableRowsThatAreNotReusableAreWithdrawn)
{
    Touch("Voldrun.exe");
    for (BatchCmdPtr& row : BuildCommandList()) {
        table_.push_back(row.get());
        owned_.push_back(std::move(row));
    }
    std::vector<BatchCmdPtr> read;
    read.push_back(std::make_unique<CBatchCmd>("Voldrun.exe", "reboot", "", "", "", 0));
    read.push_back(std::make_unique<CBatchCmd>("Voldrun.exe", "reboot", "", "", "", 0));
    read.push_back(std::make_unique<CBatchCmd>("@echo", "off", "", "", "", 0));
    read.push_back(std::make_unique<CBatchCmd>("@CLS", "", "", "", "", 0));
    read.push_back(std::make_unique<CBatchCmd>("x.exe", "", "", "", "D:\\x\\", 0));
    std::vector<BatchMatch> matches = MatchBatchCommands(read, table_, owned_);
    ASSERT_EQ(3u, matches.size());
    EXPECT_EQ(table_[3], matches[0].entry);
    EXPECT_TRUE(matches[0].withdrawn);
    EXPECT_EQ(table_[3], matches[1].entry);
    EXPECT_TRUE(matches[1].withdrawn);
    EXPECT_EQ("D:\\x\\", matches[2].entry->GetDir());
    EXPECT_FALSE(matches[2].withdrawn);
}

TEST_F(BatchFileTest, AWrittenFileReadsBackToTheSameBytes)
{
    TouchAllHelpers();
    ASSERT_TRUE(CreateDirectoryA(File("my tools").c_str(), nullptr));
    ASSERT_TRUE(testlib::WriteTextFile(File("my tools\\stop.exe"), ""));
    const std::string tools = File("my tools") + "\\";
    const std::string content =
        "@ECHO off\r\n"
        "REM --- Created by KODRA configuration ---\r\n"
        "SET path=C:\\Windows\\system32;D:\\bin\r\n"
        "Ostrel.exe\r\n"
        "ktSleep.exe 10\r\n"
        "SET path=%path%;" + tools + "\r\n"
        "\"" + tools + "stop.exe\"\r\n"
        "kodra.exe -s -a 10.0.0.7 -ssl\r\n"
        "kodra.exe -s -a srv1\r\n"
        "Voldrun.exe poweroff force\r\n"
        "@CLS\r\n";
    ASSERT_TRUE(testlib::WriteTextFile(File("first.bat"), content));
    std::string globalPath;
    BatchCmdList sequence;
    Reload(File("first.bat"), globalPath, &sequence);
    ASSERT_TRUE(WriteBatchFile(File("second.bat"), globalPath, sequence));
    EXPECT_EQ(content, testlib::ReadTextFile(File("second.bat")));
}

TEST_F(BatchFileTest, ACustomProgramWithoutAGlobalPathComesBackWithItsFolder)
{
    ASSERT_TRUE(CreateDirectoryA(File("tools").c_str(), nullptr));
    ASSERT_TRUE(testlib::WriteTextFile(File("tools\\stop.exe"), ""));
    Touch("Quorrin.exe");
    const std::string tools = File("tools") + "\\";
    BatchCmdPtr custom = MakeCustomCommand("stop.exe", tools);
    CBatchCmd office("Quorrin.exe", "", "", "", "", 0);
    ASSERT_TRUE(WriteBatchFile(File("first.bat"), "", {custom.get(), &office}));

    std::string globalPath;
    BatchCmdList sequence;
    EXPECT_EQ((std::vector<std::string>{"stop.exe", "Quit Microsoft Office"}),
              Reload(File("first.bat"), globalPath, &sequence));
    EXPECT_EQ("", globalPath);
    EXPECT_EQ(tools, sequence[0]->GetDir());
    ASSERT_TRUE(WriteBatchFile(File("second.bat"), globalPath, sequence));
    EXPECT_EQ(testlib::ReadTextFile(File("first.bat")), testlib::ReadTextFile(File("second.bat")));
}

TEST_F(BatchFileTest, CommandsOfAMissingHelperAreDroppedOnReading)
{
    Touch("ktSleep.exe");
    std::string globalPath;
    testlib::WriteTextFile(File("shutdown.bat"),
                           "Voldrun.exe logoff\r\nktSleep.exe 3\r\nkodra.exe -s -a 10.0.0.1\r\n");
    // The relay program is found as the KODRA program in the wizard's folder.
    EXPECT_EQ((std::vector<std::string>{"Wait 3 second(s)", "KODRA shutdown relay to 10.0.0.1"}),
              Reload(File("shutdown.bat"), globalPath));
}

// --- what a save and a re-read keep ------------------------------------------

TEST_F(BatchFileTest, ACustomProgramWithABlankInItsNameRunsAndReadsBack)
{
    ASSERT_TRUE(CreateDirectoryA(File("my tools").c_str(), nullptr));
    const std::string tools = File("my tools") + "\\";
    const std::string marker = File("ran.txt");
    ASSERT_TRUE(testlib::WriteTextFile(tools + "Stop Server.bat", "@echo ran>\"" + marker + "\"\r\n"));
    BatchCmdPtr custom = MakeCustomCommand("Stop Server.bat", tools);
    ASSERT_TRUE(WriteBatchFile(File("first.bat"), "", {custom.get()}));
    const std::string written = testlib::ReadTextFile(File("first.bat"));
    EXPECT_NE(std::string::npos, written.find("\r\nCALL \"" + tools + "Stop Server.bat\"\r\n")) << written;

    // The command interpreter runs the whole name from the folder on the path.
    testlib::RunResult run = testlib::Run("cmd.exe /c first.bat", dir_.Path());
    ASSERT_TRUE(run.ended);
    EXPECT_TRUE(testlib::FileExists(marker)) << written;

    std::string globalPath;
    BatchCmdList sequence;
    EXPECT_EQ(std::vector<std::string>{"Stop Server.bat"}, Reload(File("first.bat"), globalPath, &sequence));
    ASSERT_EQ(1u, sequence.size());
    EXPECT_EQ(tools, sequence[0]->GetDir());
    ASSERT_TRUE(WriteBatchFile(File("second.bat"), globalPath, sequence));
    EXPECT_EQ(written, testlib::ReadTextFile(File("second.bat")));
}

TEST_F(BatchFileTest, TheSecondSaveOfEarlierVersionsKeepsItsPathAndCommands)
{
    // Earlier versions took a custom program's path line, first in the file,
    // for the global path and wrote it back so, before the built-in commands;
    // also when that folder holds the built-in program too.
    TouchAllHelpers();
    ASSERT_TRUE(CreateDirectoryA(File("tools").c_str(), nullptr));
    ASSERT_TRUE(testlib::WriteTextFile(File("tools\\Voldrun.exe"), ""));
    for (const std::string& folder : {std::string("D:\\tools\\"), File("tools") + "\\"}) {
        const std::string content =
            "@ECHO off\r\n"
            "REM --- Created by KODRA configuration ---\r\n"
            "SET path=%path%;" + folder + "\r\n"
            "Voldrun.exe logoff\r\n"
            "ktSleep.exe 5\r\n"
            "@CLS\r\n";
        ASSERT_TRUE(testlib::WriteTextFile(File("first.bat"), content));
        std::string globalPath;
        BatchCmdList sequence;
        EXPECT_EQ((std::vector<std::string>{"Log off user", "Wait 5 second(s)"}),
                  Reload(File("first.bat"), globalPath, &sequence))
            << folder;
        EXPECT_EQ("%path%;" + folder, globalPath);
        ASSERT_TRUE(WriteBatchFile(File("second.bat"), globalPath, sequence));
        EXPECT_EQ(content, testlib::ReadTextFile(File("second.bat"))) << folder;
    }
}

TEST_F(BatchFileTest, CustomProgramsWithBatchCharactersRunWholeAndReadBack)
{
    // Legal names that the interpreter would otherwise cut, split or expand;
    // each program is the recorder, which logs its own path. Wine's
    // interpreter differs from the system's in two ways that the order and
    // names here avoid: its program search drops a caret from a path entry,
    // and it expands a "%" again that an earlier line put into the path.
    struct Custom {
        const char* folder;
        const char* program;
    } customs[] = {
        {"x&y", "a&b.exe"}, {"a (1)", "run^(1).exe"}, {"tools", "%USERNAME%.exe"}, {"semi;colon", "c,d=e.exe"},
        {"100%", "stop.exe"},
    };
    std::vector<BatchCmdPtr> entries;
    BatchCmdList sequence;
    std::vector<std::string> names;
    std::vector<std::string> paths;
    for (const Custom& custom : customs) {
        const std::string folder = File(custom.folder) + "\\";
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
        ASSERT_TRUE(testlib::CopyInto(wizardtest::DoublesDir() + "\\recorder.exe", folder, custom.program));
        entries.push_back(MakeCustomCommand(custom.program, folder));
        sequence.push_back(entries.back().get());
        names.push_back(custom.program);
        paths.push_back(folder + custom.program);
    }
    RunsInOrderAndReadsBack(sequence, names, paths);
}

TEST_F(BatchFileTest, EveryEntryRunsInOrderUnderTheInterpreterAndReadsBack)
{
    // Each program is the recorder under the chosen name, and each batch file
    // starts a recorder of its own. A batch file named without CALL would not
    // return; a program named like one of the interpreter's commands would be
    // that command, and exit and goto would end the sequence; a program named
    // alone would be the first of its name on the path, the system's own
    // hostname.exe or an earlier custom folder's.
    struct Custom {
        const char* folder;
        const char* program;
        const char* started;  // by a batch file
    } customs[] = {
        {"s1", "stop.exe", nullptr},       {"a", "stop.bat", "from bat.exe"},
        {"b c", "Stop Server.cmd", "from cmd.exe"}, {"e", "exit.exe", nullptr},
        {"f", "echo.exe", nullptr},        {"g", "goto.exe", nullptr},
        {"s2", "stop.exe", nullptr},       {"h", "hostname.exe", nullptr},
        {"z", "last.exe", nullptr},
    };
    const std::string recorder = wizardtest::DoublesDir() + "\\recorder.exe";
    std::vector<BatchCmdPtr> entries;
    BatchCmdList sequence;
    std::vector<std::string> names;
    std::vector<std::string> paths;
    for (const Custom& custom : customs) {
        const std::string folder = File(custom.folder) + "\\";
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
        if (custom.started) {
            ASSERT_TRUE(testlib::CopyInto(recorder, folder, custom.started));
            ASSERT_TRUE(testlib::WriteTextFile(folder + custom.program,
                                               "@\"" + folder + custom.started + "\"\r\n"));
            paths.push_back(folder + custom.started);
        } else {
            ASSERT_TRUE(testlib::CopyInto(recorder, folder, custom.program));
            paths.push_back(folder + custom.program);
        }
        entries.push_back(MakeCustomCommand(custom.program, folder));
        sequence.push_back(entries.back().get());
        names.push_back(custom.program);
    }
    RunsInOrderAndReadsBack(sequence, names, paths);
}

TEST_F(BatchFileTest, CustomProgramsThatWouldNotRunAsShownAreFound)
{
    struct Case {
        const char* program;
        const char* directory;
        CustomProgramFault fault;
    } cases[] = {
        {"stop.exe", "D:\\tools\\", CustomProgramFault::None},
        {"Voldrun.exe", "D:\\tools\\", CustomProgramFault::None},  // every row of it has arguments
        {"a^b.exe", "D:\\100%\\", CustomProgramFault::None},
        {"stop.bat", "D:\\a&b (1)\\", CustomProgramFault::None},
        {"kodra.exe", "D:\\tools\\", CustomProgramFault::OwnCommand},
        {"KODRA.EXE", "D:\\tools\\", CustomProgramFault::OwnCommand},
        {"ktsleep.exe", "D:\\tools\\", CustomProgramFault::OwnCommand},
        {"@ECHO", "D:\\tools\\", CustomProgramFault::OwnCommand},
        {"@cls", "D:\\tools\\", CustomProgramFault::OwnCommand},
        {"Quorrin.exe", "D:\\tools\\", CustomProgramFault::OwnCommand},  // also without the helper here
        {"ostrel95.EXE", "D:\\tools\\", CustomProgramFault::OwnCommand},
        {"x.exe", "D:\\B\xFCro\\", CustomProgramFault::CodePage},
        {"B\xFCro.exe", "D:\\tools\\", CustomProgramFault::CodePage},
        {"stop.bat", "D:\\a^b\\", CustomProgramFault::NotCallable},
        {"50%.CMD", "D:\\tools\\", CustomProgramFault::NotCallable},
    };
    for (const Case& c : cases)
        EXPECT_EQ(static_cast<int>(c.fault), static_cast<int>(CheckCustomProgram(c.program, c.directory)))
            << c.program << " in " << c.directory;
}

TEST_F(BatchFileTest, HelpersBesideTheWizardAreFoundFromAnotherCurrentFolder)
{
    const std::string helper = wizardtest::WizardFolder() + "\\Voldrun.exe";
    ASSERT_TRUE(testlib::WriteTextFile(helper, ""));
    const std::string content =
        "@ECHO off\r\n"
        "REM --- Created by KODRA configuration ---\r\n"
        "Voldrun.exe reboot\r\n"
        "@CLS\r\n";
    ASSERT_TRUE(testlib::WriteTextFile(File("first.bat"), content));
    std::string globalPath;
    BatchCmdList sequence;
    std::vector<std::string> names = Reload(File("first.bat"), globalPath, &sequence);
    size_t tableRows = table_.size();
    DeleteFileA(helper.c_str());
    EXPECT_EQ(std::vector<std::string>{"Restart Windows"}, names);
    EXPECT_EQ(8u, tableRows);  // the six rows of the helper and the two templates
    ASSERT_TRUE(WriteBatchFile(File("second.bat"), globalPath, sequence));
    EXPECT_EQ(content, testlib::ReadTextFile(File("second.bat")));
}

TEST_F(BatchFileTest, TheFileIsReplacedOnlyByAWholeCopy)
{
    const std::string path = File("shutdown.bat");
    const std::string old = "@ECHO off\r\nVoldrun.exe logoff\r\n@CLS\r\n";
    ASSERT_TRUE(testlib::WriteTextFile(path, old));
    CBatchCmd office("Quorrin.exe", "", "", "", "", 0);
    {
        // Another program reads the file and does not let it be replaced.
        HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, held);
        EXPECT_FALSE(WriteBatchFile(path, "", {&office}));
        CloseHandle(held);
    }
    EXPECT_EQ(old, testlib::ReadTextFile(path));
    EXPECT_FALSE(testlib::FileExists(path + ".xxx"));

    ASSERT_TRUE(WriteBatchFile(path, "", {&office}));
    EXPECT_EQ("@ECHO off\r\nREM --- Created by KODRA configuration ---\r\nQuorrin.exe\r\n@CLS\r\n",
              testlib::ReadTextFile(path));
    EXPECT_FALSE(testlib::FileExists(path + ".xxx"));
}

}  // namespace
