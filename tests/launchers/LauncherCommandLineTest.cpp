#include "JobRun.h"
#include "LauncherCommandLine.h"
#include "testlib.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(LauncherCommandLine, ApplicationPartIsKtMsgInTheModuleFolder)
{
    EXPECT_EQ("\"D:\\Programs\\ktMsg.exe\"", LauncherApplicationPart("D:\\Programs\\msg.exe"));
    EXPECT_EQ("\"C:\\Program Files\\Kodra\\ktMsg.exe\"", LauncherApplicationPart("C:\\Program Files\\Kodra\\msg.exe"));
    EXPECT_EQ("\"ktMsg.exe\"", LauncherApplicationPart("msg.exe"));
    EXPECT_EQ("\"\\\\srv\\share\\ktMsg.exe\"", LauncherApplicationPart("\\\\srv\\share\\msg.exe"));
}

TEST(LauncherCommandLine, EveryArgumentInQuotesOneBlankApart)
{
    char program[] = "msg.exe", text[] = "Power failure", sender[] = "VELMOR:", beep[] = "-c:3",
         product[] = "KODRA", empty[] = "", quote[] = "say \"hi\"";
    char* batchLine[] = {program, text, sender, beep, product};
    EXPECT_EQ("\"Power failure\" \"VELMOR:\" \"-c:3\" \"KODRA\"", LauncherParameterPart(5, batchLine));
    char* odd[] = {program, empty, quote};
    EXPECT_EQ("\"\" \"say \"hi\"\"", LauncherParameterPart(3, odd));
    char* none[] = {program};
    EXPECT_EQ("", LauncherParameterPart(1, none));
    EXPECT_EQ("\"D:\\ktMsg.exe\" \"x\"", LauncherCommandLine("\"D:\\ktMsg.exe\"", "\"x\""));
}

TEST(LauncherCommandLine, OwnModuleFileName)
{
    std::string name;
    ASSERT_TRUE(OwnModuleFileName(name));
    EXPECT_EQ("vessik_tests.exe", name.substr(name.rfind('\\') + 1));
}

// Run only by the next test, in a copy of this program whose full file name
// has a chosen length; KODRA_EXPECT_NAME says whether the name must be available.
TEST(LauncherCommandLine, OwnModuleFileNameProbe)
{
    char expect[4];
    if (GetEnvironmentVariableA("KODRA_EXPECT_NAME", expect, sizeof expect) != 1) GTEST_SKIP();
    std::string name;
    EXPECT_EQ(expect[0] == '1', OwnModuleFileName(name)) << name;
}

TEST(LauncherCommandLine, NameThatFillsTheBufferIsNotAvailable)
{
    testlib::ScratchDir dir("kodra name");
    const std::string program = "vessik_tests.exe";
    for (std::size_t length : {259u, 260u}) {
        SCOPED_TRACE(length);
        std::string folder = dir.Path() + "\\" + std::to_string(length) + "-";
        folder += std::string(length - folder.size() - 1 - program.size(), 'x');
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << GetLastError();
        ASSERT_TRUE(testlib::CopyInto(testlib::TestBinDir() + "\\" + program, folder, program));
        ASSERT_EQ(length, (folder + "\\" + program).size());
        SetEnvironmentVariableA("KODRA_EXPECT_NAME", length < 260 ? "1" : "0");
        JobRun r = RunInJob(program + " --gtest_filter=LauncherCommandLine.OwnModuleFileNameProbe", "", folder,
                            program);
        SetEnvironmentVariableA("KODRA_EXPECT_NAME", nullptr);
        ASSERT_TRUE(r.started);
        ASSERT_TRUE(r.ended);
        EXPECT_EQ(0u, r.exitCode);
    }
}

}  // namespace
