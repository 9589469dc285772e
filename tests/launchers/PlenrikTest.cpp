// Plenrik, the real program in a folder with blanks, sending to a plain socket
// that listens on the message port set in the registry.
#include <gtest/gtest.h>

#include <string>

#include "ForwardLauncher.h"
#include "TrayTestSupport.h"
#include "testlib.h"

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

class PlenrikTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(testlib::CopyInto(testlib::InstallDir() + "\\Plenrik.exe", bin_.Path(), "Plenrik.exe"));
        ASSERT_TRUE(testlib::CopyInto(testlib::InstallDir() + "\\KarNet.dll", bin_.Path(), "KarNet.dll"));
        ASSERT_TRUE(traytest::SetMessagePort("KODRA", static_cast<DWORD>(port_)));
    }
    void TearDown() override
    {
        traytest::DeleteMessagePort("KODRA");
        traytest::DeleteMessagePort("Velmor");
    }

    DWORD RunPlenrik(const std::string& args)
    {
        testlib::RunResult r = testlib::Run(Quoted(bin_.File("Plenrik.exe")) + args);
        EXPECT_TRUE(r.ended);
        return r.exitCode;
    }

    std::string CommandLine(const std::string& quotedArgs)
    {
        return Quoted(bin_.File("ktMsg.exe")) + " " + quotedArgs;
    }

    std::string Record(const std::string& tag, const std::string& commandLine)
    {
        return tag + "|" + std::to_string(commandLine.size()) + "|" + commandLine + "|";
    }

    testlib::ScratchDir bin_{"kodra plenrik"};
    int port_ = traytest::FreePort();
    traytest::Listener listener_{port_};
};

TEST_F(PlenrikTest, SendsOneRecordOfTheLauncherCommandLine)
{
    ASSERT_TRUE(listener_.Listening());
    EXPECT_EQ(RunPlenrik(" \"Power failure\" VELMOR: -c:3 \"\" KODRA"), 1u);
    EXPECT_EQ(listener_.ReceiveOne(),
              Record("KODRA", CommandLine("\"Power failure\" \"VELMOR:\" \"-c:3\" \"\" \"KODRA\"")));
}

TEST_F(PlenrikTest, TheTrimmedLastArgumentChoosesTagAndPort)
{
    EXPECT_EQ(RunPlenrik(" hello \" KODRA \""), 1u);
    EXPECT_EQ(listener_.ReceiveOne(), Record("KODRA", CommandLine("\"hello\" \" KODRA \"")));

    int velmorPort = traytest::FreePort();
    traytest::Listener velmor(velmorPort);
    ASSERT_TRUE(traytest::SetMessagePort("Velmor", static_cast<DWORD>(velmorPort)));
    for (const char* last : {"kodra", "KODRA:", "hello"}) {
        SCOPED_TRACE(last);
        EXPECT_EQ(RunPlenrik(std::string(" ") + last), 1u);
        EXPECT_EQ(velmor.ReceiveOne(), Record("VELMOR", CommandLine(Quoted(last))));
    }
    EXPECT_FALSE(listener_.HasPendingConnection());
}

TEST_F(PlenrikTest, NothingIsSentWithoutArgumentsConnectionOrLibrary)
{
    EXPECT_EQ(RunPlenrik(""), 0u);
    EXPECT_FALSE(listener_.HasPendingConnection());

    traytest::DeleteMessagePort("KODRA");
    ASSERT_TRUE(traytest::SetMessagePort("KODRA", static_cast<DWORD>(traytest::FreePort())));
    EXPECT_EQ(RunPlenrik(" KODRA"), 0u);

    ASSERT_TRUE(traytest::SetMessagePort("KODRA", static_cast<DWORD>(port_)));
    ASSERT_TRUE(DeleteFileA(bin_.File("KarNet.dll").c_str()));
    EXPECT_EQ(RunPlenrik(" KODRA"), 0u);
    EXPECT_FALSE(listener_.HasPendingConnection());
}

TEST_F(PlenrikTest, ACommandLineTooLongForOneRecordIsNotSent)
{
    // "KODRA|2035|", the command line and "|" make the longest record of 2047 characters.
    std::string arg(2035 - CommandLine("\"\" \"KODRA\"").size(), 'm');
    std::string line = CommandLine(Quoted(arg) + " \"KODRA\"");
    ASSERT_EQ(line.size(), 2035u);
    EXPECT_EQ(RunPlenrik(" " + arg + " KODRA"), 1u);
    EXPECT_EQ(listener_.ReceiveOne(), Record("KODRA", line));

    EXPECT_EQ(RunPlenrik(" " + arg + "m KODRA"), 0u);
    EXPECT_FALSE(listener_.HasPendingConnection());
}

TEST(ForwardLauncherTest, PortsComeFromTheirKeyOrTheDefault)
{
    traytest::DeleteMessagePort("KODRA");
    traytest::DeleteMessagePort("Velmor");
    std::string port;
    EXPECT_EQ(GetMessagePort("KODRA"), "961");
    EXPECT_EQ(GetMessagePort("VELMOR"), "960");
    EXPECT_EQ(GetMessagePort("kodra"), "960");
    ASSERT_TRUE(traytest::SetMessagePort("KODRA", 0));
    EXPECT_TRUE(GetKodraMessagePort(port));
    EXPECT_EQ(port, "0");
    ASSERT_TRUE(traytest::SetMessagePortText("KODRA", "7000"));
    EXPECT_FALSE(GetKodraMessagePort(port));
    EXPECT_EQ(port, "961");
    traytest::DeleteMessagePort("KODRA");
}

TEST(ForwardLauncherTest, TheRecordHoldsAtMost2047Characters)
{
    std::string record;
    std::string line(2047 - std::string("KODRA|2035||").size(), 'x');
    ASSERT_EQ(line.size(), 2035u);
    EXPECT_TRUE(BuildMessageRecord("KODRA", line, record));
    EXPECT_EQ(record, "KODRA|2035|" + line + "|");
    EXPECT_FALSE(BuildMessageRecord("KODRA", line + "x", record));
    EXPECT_TRUE(record.empty());
    EXPECT_EQ(GetProductTag("\t KODRA \r\n"), "KODRA");
    EXPECT_EQ(GetProductTag(""), "VELMOR");
}

}  // namespace
