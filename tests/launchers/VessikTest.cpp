// The real "msg.exe" under Wine, copied into a folder whose name holds blanks,
// with the recorder beside it as "ktMsg.exe". Each run waits until everything
// it started has ended before the recorder's log is read.
#include "JobRun.h"
#include "testlib.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testlib::ReadRecorderLog;
using testlib::RecordedStart;
using testlib::ScratchDir;

class Vessik : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(std::string::npos, dir_.Path().find(' '));
        SetEnvironmentVariableA("KODRA_RECORD_LOG", log_.c_str());
    }
    void TearDown() override { SetEnvironmentVariableA("KODRA_RECORD_LOG", nullptr); }

    static void Install(const std::string& folder, bool withRecorder = true)
    {
        ASSERT_TRUE(testlib::CopyInto(testlib::InstallDir() + "\\msg.exe", folder, "msg.exe"));
        if (withRecorder) {
            ASSERT_TRUE(testlib::CopyInto(testlib::DoublesDir() + "\\recorder.exe", folder, "ktMsg.exe"));
        }
    }

    // Runs msg.exe from our folder with the given text behind its quoted path.
    JobRun Run(const std::string& arguments, const std::string& workDir = "")
    {
        std::string commandLine = "\"" + dir_.File("msg.exe") + "\"";
        if (!arguments.empty()) commandLine += " " + arguments;
        return RunInJob(commandLine, workDir);
    }

    std::vector<RecordedStart> Starts() const { return ReadRecorderLog(log_); }
    std::string KtMsg() const { return "\"" + dir_.File("ktMsg.exe") + "\""; }

    ScratchDir dir_{"kodra msg"};
    ScratchDir logDir_{"kodra msg log"};
    std::string log_ = logDir_.File("starts.log");
};

TEST_F(Vessik, NoArgumentsStartsNothing)
{
    Install(dir_.Path());
    JobRun launch = Run("");
    ASSERT_TRUE(launch.ended);
    EXPECT_EQ(0u, launch.exitCode);
    EXPECT_EQ(1u, launch.processes);
    EXPECT_TRUE(Starts().empty());
}

TEST_F(Vessik, MissingProgramGivesZero)
{
    Install(dir_.Path(), false);
    JobRun launch = Run("hello");
    ASSERT_TRUE(launch.ended);
    EXPECT_EQ(0u, launch.exitCode);
    EXPECT_EQ(1u, launch.processes);
}

TEST_F(Vessik, StartsKtMsgFromItsFolderWithBlanks)
{
    Install(dir_.Path());
    ScratchDir work("kodra msg cwd");
    JobRun launch = Run("hello", work.Path());
    ASSERT_TRUE(launch.ended);
    EXPECT_EQ(1u, launch.exitCode);
    EXPECT_EQ(2u, launch.processes);
    std::vector<RecordedStart> starts = Starts();
    ASSERT_EQ(1u, starts.size());
    EXPECT_EQ(KtMsg() + " \"hello\"", starts[0].cmd);
    EXPECT_EQ(dir_.File("ktMsg.exe"), starts[0].exe);
    // The started program inherits the launcher's current directory, not its folder.
    EXPECT_EQ(work.Path(), starts[0].cwd);
    // Started with a cleared start-up record: no show state is requested.
    EXPECT_EQ(-1, starts[0].show);
}

TEST_F(Vessik, ArgumentsAreQuotedAndNeverChanged)
{
    struct Case {
        const char* name;
        const char* arguments;   // as msg.exe's command line carries them
        const char* parameters;  // what ktMsg.exe must receive behind its path
    } const cases[] = {
        {"message batch line", "\"Power failure on UPS-1\" \"VELMOR:\" -c:3 KODRA",
         "\"Power failure on UPS-1\" \"VELMOR:\" \"-c:3\" \"KODRA\""},
        {"empty argument", "\"\"", "\"\""},
        {"empty argument between two", "a \"\" b", "\"a\" \"\" \"b\""},
        {"argument with a double quote", "\"say \\\"hi\\\"\"", "\"say \"hi\"\""},
        {"wildcards", "*.txt a?.txt", "\"*.txt\" \"a?.txt\""},
        {"blanks and tabs inside", "\"a  b\t c\"", "\"a  b\t c\""},
    };
    Install(dir_.Path());
    // Files that the wildcards would match if they were expanded.
    ASSERT_TRUE(testlib::WriteTextFile(dir_.File("a1.txt"), "x"));
    ASSERT_TRUE(testlib::WriteTextFile(dir_.File("a2.txt"), "x"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA(log_.c_str());
        JobRun launch = Run(c.arguments, dir_.Path());
        ASSERT_TRUE(launch.ended);
        EXPECT_EQ(1u, launch.exitCode);
        std::vector<RecordedStart> starts = Starts();
        ASSERT_EQ(1u, starts.size());
        EXPECT_EQ(KtMsg() + " " + c.parameters, starts[0].cmd);
    }
}

TEST_F(Vessik, ModuleNameThatFillsTheBufferGivesZero)
{
    std::string folder = dir_.Path() + "\\";
    folder += std::string(260 - folder.size() - 8, 'x');
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << GetLastError();
    ASSERT_EQ(260u, (folder + "\\msg.exe").size());
    Install(folder);
    JobRun launch = RunInJob("msg.exe hello", "", folder, "msg.exe");
    ASSERT_TRUE(launch.started);
    ASSERT_TRUE(launch.ended);
    EXPECT_EQ(0u, launch.exitCode);
    EXPECT_EQ(1u, launch.processes);
}

}  // namespace
