// The installed programs end to end under Wine: kodratray.exe in a folder of its
// own with KarNet.dll, records sent by Plenrik and by a plain socket, the message
// road from "message.bat" through msg.exe and through Plenrik, the configuration
// link from the menu, the close, and the start-up without KarNet.dll.
#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "TrayTestSupport.h"
#include "testlib.h"

namespace {

std::string Rec(const std::string& text) { return "KODRA|" + std::to_string(text.size()) + "|" + text + "|"; }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

bool MakeLink(const std::string& linkPath, const std::string& target, const std::string& args)
{
    if (FAILED(CoInitialize(nullptr))) return false;
    IShellLinkA* link = nullptr;
    bool ok = false;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        link->SetPath(target.c_str());
        link->SetArguments(args.c_str());
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            std::wstring wide(linkPath.begin(), linkPath.end());
            ok = SUCCEEDED(file->Save(wide.c_str(), TRUE));
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return ok;
}

class TrayProgramTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        service_ = new traytest::KodraService;
        ASSERT_TRUE(service_->Installed());
        ASSERT_TRUE(service_->Start());
        bin_ = new testlib::ScratchDir("kodra tray bin");
        work_ = new testlib::ScratchDir("kodra tray work");
        const std::string install = testlib::InstallDir();
        for (const char* name : {"kodratray.exe", "KarNet.dll", "Plenrik.exe", "msg.exe"})
            ASSERT_TRUE(testlib::CopyInto(install + "\\" + name, bin_->Path(), name));
        std::string recorder = testlib::DoublesDir() + "\\recorder.exe";
        ASSERT_TRUE(testlib::CopyInto(recorder, bin_->Path(), "ktMsg.exe"));
        ASSERT_TRUE(testlib::CopyInto(recorder, bin_->Path(), "job.exe"));
        port_ = traytest::FreePort();
        ASSERT_TRUE(traytest::SetMessagePort("KODRA", static_cast<DWORD>(port_)));
        log_ = work_->File("starts.log");
        SetEnvironmentVariableA("KODRA_RECORD_LOG", log_.c_str());
        tray_ = new traytest::Process(Quoted(bin_->File("kodratray.exe")), work_->Path());
        ASSERT_TRUE(tray_->Started());
        ASSERT_TRUE(testlib::WaitFor([] { return traytest::Client(port_).Connected(); },
                                     std::chrono::seconds(30)));
        ASSERT_TRUE(testlib::WaitFor([] { return MainWindow() != nullptr; }));
    }

    static void TearDownTestSuite()
    {
        delete tray_;
        traytest::DeleteMessagePort("KODRA");
        delete work_;
        delete bin_;
        delete service_;
    }

    void SetUp() override { DeleteFileA(log_.c_str()); }

    static HWND MainWindow() { return traytest::FindProcessWindow(tray_->Id(), "TrayMainWndClass"); }

    static std::vector<testlib::RecordedStart> Starts(size_t expected)
    {
        testlib::WaitFor([&] { return testlib::ReadRecorderLog(log_).size() >= expected; });
        return testlib::ReadRecorderLog(log_);
    }

    static std::string KtMsgLine(const std::string& folder, const std::string& args)
    {
        return Quoted(folder + "\\ktMsg.exe") + " " + args;
    }

    static traytest::KodraService* service_;
    static testlib::ScratchDir* bin_;
    static testlib::ScratchDir* work_;
    static traytest::Process* tray_;
    static int port_;
    static std::string log_;
};

traytest::KodraService* TrayProgramTest::service_ = nullptr;
testlib::ScratchDir* TrayProgramTest::bin_ = nullptr;
testlib::ScratchDir* TrayProgramTest::work_ = nullptr;
traytest::Process* TrayProgramTest::tray_ = nullptr;
int TrayProgramTest::port_ = 0;
std::string TrayProgramTest::log_;

TEST_F(TrayProgramTest, PlenrikReachesTheRecorderThroughTheTray)
{
    testlib::RunResult r = testlib::Run(Quoted(bin_->File("Plenrik.exe")) +
                                        " \"Power failure\" VELMOR: -c:3 KODRA");
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.exitCode, 1u);
    std::vector<testlib::RecordedStart> starts = Starts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].cmd,
              KtMsgLine(bin_->Path(), "\"Power failure\" \"VELMOR:\" \"-c:3\" \"KODRA\""));
    EXPECT_EQ(starts[0].show, SW_SHOW);
    EXPECT_EQ(starts[0].cwd, work_->Path());
}

TEST_F(TrayProgramTest, APlainSocketGetsTheRepliesOfItsRecords)
{
    traytest::Client client(port_);
    ASSERT_TRUE(client.Connected());
    ASSERT_TRUE(client.Send(Rec(Quoted(bin_->File("job.exe")) + " socket") + "KODRA|4|abc|" +
                            Rec(Quoted(bin_->File("missing.exe")))));
    EXPECT_EQ(client.ReadExactly(4), "0132");
    std::vector<testlib::RecordedStart> starts = Starts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].cmd, Quoted(bin_->File("job.exe")) + " socket");
    EXPECT_EQ(starts[0].show, SW_HIDE);
}

TEST_F(TrayProgramTest, MessageBatchReachesTheRecorderThroughMsgAndThroughPlenrik)
{
    // The line as the wizard writes it into "message.bat".
    const std::string batch = "@echo off\r\nstart /b msg.exe %1 \"VELMOR:\" -c:3 KODRA\r\nexit\r\n";
    const std::string args = "\"Power failure\" \"VELMOR:\" \"-c:3\" \"KODRA\"";

    ASSERT_TRUE(testlib::WriteTextFile(bin_->File("message.bat"), batch));
    testlib::RunResult direct = testlib::Run("cmd /c message.bat \"Power failure\"", bin_->Path());
    ASSERT_TRUE(direct.ended);
    std::vector<testlib::RecordedStart> starts = Starts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].cmd, KtMsgLine(bin_->Path(), args));

    // An installation that places Plenrik under the name "msg.exe".
    testlib::ScratchDir forwarding("kodra forwarding");
    ASSERT_TRUE(testlib::CopyInto(bin_->File("Plenrik.exe"), forwarding.Path(), "msg.exe"));
    ASSERT_TRUE(testlib::CopyInto(bin_->File("KarNet.dll"), forwarding.Path(), "KarNet.dll"));
    ASSERT_TRUE(testlib::CopyInto(bin_->File("ktMsg.exe"), forwarding.Path(), "ktMsg.exe"));
    ASSERT_TRUE(testlib::WriteTextFile(forwarding.File("message.bat"), batch));
    testlib::RunResult forwarded = testlib::Run("cmd /c message.bat \"Power failure\"", forwarding.Path());
    ASSERT_TRUE(forwarded.ended);
    starts = Starts(2);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[1].cmd, KtMsgLine(forwarding.Path(), args));
    EXPECT_EQ(starts[1].show, SW_SHOW);
    EXPECT_EQ(starts[1].cwd, work_->Path());
}

TEST_F(TrayProgramTest, TheMenuOpensTheConfigurationLink)
{
    ASSERT_TRUE(MakeLink(bin_->File("config.lnk"), bin_->File("job.exe"), "from link"));
    HWND messages = traytest::FindProcessWindow(tray_->Id(), "GLIMLET_MESSAGE_PROCESSOR_WND_CLASS");
    ASSERT_NE(messages, nullptr);
    // The tray's one icon has the id 1.
    PostMessageA(messages, WM_USER + 100, 1, WM_RBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(testlib::WaitFor([&] {
        menu = traytest::FindProcessWindow(tray_->Id(), "#32768");
        return menu && IsWindowVisible(menu);
    }));
    for (int i = 0; i < 2; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    std::vector<testlib::RecordedStart> starts = Starts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_NE(starts[0].cmd.find("from link"), std::string::npos);
}

TEST_F(TrayProgramTest, CloseEndsTheProgramInOrder)
{
    ASSERT_TRUE(PostMessageA(MainWindow(), WM_CLOSE, 0, 0));
    DWORD code = 1;
    ASSERT_TRUE(tray_->Wait(code));
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(traytest::Client(port_).Connected());
}

TEST(TrayStartTest, WithoutKarNetTheTrayEndsWithMinusOne)
{
    testlib::ScratchDir bin("kodra tray alone");
    ASSERT_TRUE(testlib::CopyInto(testlib::InstallDir() + "\\kodratray.exe", bin.Path(), "kodratray.exe"));
    testlib::RunResult r = testlib::Run(Quoted(bin.File("kodratray.exe")), bin.Path());
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.exitCode, static_cast<DWORD>(-1));
}

}  // namespace
