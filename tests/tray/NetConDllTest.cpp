// The transport binding against the stand-ins of KarNet.dll and the real one.
#include <gtest/gtest.h>

#include <string>

#include "DebugTrace.h"
#include "NetConDll.h"
#include "testlib.h"

namespace {

std::string Double(const char* variant)
{
    return testlib::DoublesDir() + "\\karnet_" + variant + ".dll";
}

// The recorder's log and its environment, set for this process (the stand-in
// reads them at each call) and cleared afterwards.
class RecorderEnv {
public:
    RecorderEnv() : dir_("netcon binding")
    {
        SetEnvironmentVariableA("KODRA_NETCON_LOG", Log().c_str());
    }
    ~RecorderEnv()
    {
        for (const char* name : {"KODRA_NETCON_LOG", "KODRA_NETCON_FLAGS",
                                 "KODRA_NETCON_WRITE_RESULT", "KODRA_NETCON_OPEN_RESULT"})
            SetEnvironmentVariableA(name, nullptr);
    }
    std::string Log() const { return dir_.File("calls.log"); }
    std::string Calls() const { return testlib::ReadTextFile(Log()); }
    const testlib::ScratchDir& Dir() const { return dir_; }

private:
    testlib::ScratchDir dir_;
};

TEST(NetConDll, AMissingLibraryLeavesEveryWrapperFailing)
{
    CNetConDll net("no such library.dll");
    for (int i = 0; i < NETCON_ENTRY_COUNT; ++i) EXPECT_FALSE(net.HasEntry(i)) << i;
    EXPECT_EQ(net.Install(), 0);
    EXPECT_FALSE(net.Open("tcp:961@localhost"));
    uint32_t flags = 5, count = 5;
    char buffer[8];
    EXPECT_EQ(net.Status(&flags), 0);
    EXPECT_EQ(net.ReadData(buffer, sizeof buffer, &count), 0);
    EXPECT_EQ(net.WriteData("x", 1, nullptr), 0);
    DWORD begin = GetTickCount();
    EXPECT_FALSE(net.WaitData(5000));
    EXPECT_LT(GetTickCount() - begin, 1000u);
    net.Close();
    net.Remove();
}

TEST(NetConDll, ALibraryWithoutOpenCannotOpen)
{
    RecorderEnv env;
    CNetConDll net(Double("no_open").c_str());
    EXPECT_FALSE(net.HasEntry(NETCON_OPEN));
    EXPECT_TRUE(net.HasEntry(NETCON_CLOSE));
    EXPECT_TRUE(net.HasEntry(NETCON_STATUS));
    EXPECT_FALSE(net.HasEntry(NETCON_OPEN2));
    EXPECT_FALSE(net.HasEntry(-1));
    EXPECT_FALSE(net.HasEntry(NETCON_ENTRY_COUNT));
    EXPECT_FALSE(net.Open("tcp:961@localhost"));
    EXPECT_EQ(net.WriteData("x", 1, nullptr), 0) << "no connection, so nothing reaches the library";
    EXPECT_EQ(env.Calls(), "NetConInstall\r\n");
}

TEST(NetConDll, WaitDataEndsAtOnceWhenTheStatusFails)
{
    CNetConDll net(Double("status_fails").c_str());
    ASSERT_TRUE(net.Open("tcp:961@localhost"));
    DWORD begin = GetTickCount();
    EXPECT_FALSE(net.WaitData(5000));
    EXPECT_LT(GetTickCount() - begin, 1000u);
}

TEST(NetConDll, WaitDataEndsAfterTheTimeOutWhenNoDataIsAnnounced)
{
    CNetConDll net(Double("no_data").c_str());
    ASSERT_TRUE(net.Open("tcp:961@localhost"));
    DWORD begin = GetTickCount();
    EXPECT_FALSE(net.WaitData(300));
    DWORD elapsed = GetTickCount() - begin;
    EXPECT_GE(elapsed, 290u);
    EXPECT_LT(elapsed, 2000u);
}

TEST(NetConDll, WaitStatusFollowsTheFlags)
{
    RecorderEnv env;
    CNetConDll net(Double("recorder").c_str());
    ASSERT_TRUE(net.Open("tcp:961@localhost"));
    SetEnvironmentVariableA("KODRA_NETCON_FLAGS", "3");
    EXPECT_TRUE(net.WaitData(5000));
    SetEnvironmentVariableA("KODRA_NETCON_FLAGS", "0");
    DWORD begin = GetTickCount();
    EXPECT_FALSE(net.WaitData(5000)) << "no longer usable";
    EXPECT_LT(GetTickCount() - begin, 1000u);
}

TEST(NetConDll, WaitStatusWithPumpingDispatchesAndStopsAtQuit)
{
    CNetConDll net(Double("no_data").c_str());
    ASSERT_TRUE(net.Open("tcp:961@localhost"));
    PostQuitMessage(7);
    EXPECT_FALSE(net.WaitStatus(true, 5000, 1));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "quit posted again";
    EXPECT_EQ(msg.wParam, 7u);
}

TEST(NetConDll, CallsReachTheLibraryInOrder)
{
    RecorderEnv env;
    {
        CNetConDll net(Double("recorder").c_str());
        ASSERT_TRUE(net.Open("tcp-127.0.0.1:961"));
        SetEnvironmentVariableA("KODRA_NETCON_WRITE_RESULT", "7");
        uint32_t count = 0;
        EXPECT_EQ(net.WriteData("KODRA|3|abc|", 12, &count), 7);
        char buffer[16];
        EXPECT_EQ(net.ReadData(buffer, sizeof buffer, &count), 1);
        SetEnvironmentVariableA("KODRA_NETCON_OPEN_RESULT", "0");
        EXPECT_FALSE(net.Open("tcp-127.0.0.1:962"));
        EXPECT_EQ(net.WriteData("x", 1, nullptr), 0) << "the failed open left no connection";
    }
    EXPECT_EQ(env.Calls(),
              "NetConInstall\r\n"
              "NetConOpen tcp-127.0.0.1:961\r\n"
              "NetConWriteData 1 12 KODRA|3|abc|\r\n"
              "NetConReadData 1\r\n"
              "NetConClose 1\r\n"
              "NetConOpen tcp-127.0.0.1:962\r\n"
              "NetConRemove\r\n");
}

TEST(NetConDll, DestructionClosesThenRemoves)
{
    RecorderEnv env;
    {
        CNetConDll net(Double("recorder").c_str());
        ASSERT_TRUE(net.Open("a"));
        ASSERT_TRUE(net.Open("b"));
    }
    EXPECT_EQ(env.Calls(),
              "NetConInstall\r\nNetConOpen a\r\nNetConClose 1\r\nNetConOpen b\r\n"
              "NetConClose 2\r\nNetConRemove\r\n");
}

// A bare name is looked up in the program's own folder only.
TEST(NetConDll, ABareNameLoadsFromTheProgramFolderNeverTheCurrentOne)
{
    RecorderEnv env;
    const std::string inProgramFolder = "netcon binding probe.dll";
    const std::string inCurrentFolder = "netcon planted probe.dll";
    ASSERT_TRUE(testlib::CopyInto(Double("recorder"), testlib::TestBinDir(), inProgramFolder));
    ASSERT_TRUE(testlib::CopyInto(Double("recorder"), env.Dir().Path(), inCurrentFolder));
    {
        testlib::CurrentDirectory in(env.Dir().Path());
        ASSERT_TRUE(in.Entered());
        CNetConDll fromProgram(inProgramFolder.c_str());
        EXPECT_TRUE(fromProgram.HasEntry(NETCON_OPEN));
        CNetConDll planted(inCurrentFolder.c_str());
        EXPECT_FALSE(planted.HasEntry(NETCON_OPEN));
        EXPECT_FALSE(planted.Open("x"));
    }
    DeleteFileA((testlib::TestBinDir() + "\\" + inProgramFolder).c_str());
}

TEST(NetConDll, LoadOfNullChangesNothing)
{
    CNetConDll net(Double("recorder").c_str());
    EXPECT_FALSE(net.Load(nullptr));
    EXPECT_TRUE(net.HasEntry(NETCON_OPEN));
    net.Unload();
    EXPECT_FALSE(net.HasEntry(NETCON_OPEN));
}

std::string g_traced;
int Capture(int, int, const char* text, unsigned, int)
{
    g_traced += text;
    return 0;
}

TEST(NetConDll, OnlyTheLauncherFormTracesAFailedLoad)
{
    DebugResetForTests();
    DebugSetup(DEBUG_CH_DEBUGGER, DEBUG_STREAM_NONE);
    DebugSetReportHook(Capture);
    g_traced.clear();
    { CNetConDll tray("missing KarNet.dll"); }
    EXPECT_EQ(g_traced, "");
    { CNetConDll launcher("missing KarNet.dll", NetConForm::Launcher); }
    EXPECT_EQ(g_traced, "ERROR: Loading 'missing KarNet.dll'\n");
    DebugResetForTests();
}

TEST(NetConDll, TheDeadlineSurvivesTheTickCounterWrap)
{
    EXPECT_FALSE(TicksPassed(0xFFFFFFF0u, 0x00000010u, 100));
    EXPECT_TRUE(TicksPassed(0xFFFFFFF0u, 0x00000054u, 100));
    EXPECT_FALSE(TicksPassed(0xFFFFFF00u, 0xFFFFFF63u, 100));
    EXPECT_TRUE(TicksPassed(0xFFFFFF00u, 0xFFFFFF64u, 100));
    EXPECT_TRUE(TicksPassed(5, 5, 0));
}

TEST(NetConDll, TheRealLibraryCarriesARecord)
{
    const std::string dll = testlib::InstallDir() + "\\KarNet.dll";
    CNetConDll listener(dll.c_str());
    CNetConDll sender(dll.c_str());
    std::string port;
    for (int attempt = 0; attempt < 20 && port.empty(); ++attempt) {
        std::string candidate = std::to_string(20000 + (GetTickCount() + attempt * 7919) % 30000);
        if (listener.Open(("tcp:" + candidate + "@localhost").c_str())) port = candidate;
    }
    ASSERT_FALSE(port.empty());
    ASSERT_TRUE(sender.Open(("tcp-127.0.0.1:" + port).c_str()));
    EXPECT_FALSE(listener.WaitData(50));
    const std::string record = "KODRA|5|hello|";
    EXPECT_EQ(sender.WriteData(record.data(), static_cast<uint32_t>(record.size()), nullptr), 1);
    ASSERT_TRUE(listener.WaitData(5000));
    char buffer[4096] = {};
    uint32_t count = 0;
    ASSERT_EQ(listener.ReadData(buffer, 4095, &count), 1);
    EXPECT_EQ(std::string(buffer, count), record);
    uint32_t written = 0;
    EXPECT_EQ(listener.WriteData("0", 1, &written), 1);
    EXPECT_EQ(written, 1u);
    ASSERT_TRUE(sender.WaitData(5000));
    ASSERT_EQ(sender.ReadData(buffer, 4095, &count), 1);
    EXPECT_EQ(std::string(buffer, count), "0");
}

}  // namespace
