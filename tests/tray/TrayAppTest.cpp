// The tray run in this process on a user-interface thread of its own, with the
// real notification area, service manager, KarNet.dll and process start: icon
// and tooltip, records from a socket, the popup menu, the About box and the close.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

#include "Records.h"
#include "TrayApp.h"
#include "TrayResources.h"
#include "TrayTestSupport.h"
#include "ZLock.h"
#include "testlib.h"

namespace {

std::string Rec(const std::string& tag, const std::string& text)
{
    return tag + "|" + std::to_string(text.size()) + "|" + text + "|";
}

struct Shown {
    int icon;
    std::string tooltip;
    bool operator==(const Shown& o) const { return icon == o.icon && tooltip == o.tooltip; }
};

std::ostream& operator<<(std::ostream& out, const Shown& s)
{
    return out << "icon " << s.icon << " tooltip '" << s.tooltip << "'";
}

Shown Snapshot()
{
    zwin::CZSmartLock hold(&theTrayApp.Lock, true);
    return {theTrayApp.IconId, theTrayApp.Icon.Tooltip()};
}

::testing::AssertionResult Shows(const Shown& expected)
{
    if (testlib::WaitFor([&] { return Snapshot() == expected; })) return ::testing::AssertionSuccess();
    std::ostringstream s;
    s << "shows " << Snapshot() << ", expected " << expected;
    return ::testing::AssertionFailure() << s.str();
}

std::atomic<int> closeAnswer{IDNO};
std::atomic<int> closeQuestions{0};
std::string closeText, closeCaption;

int WINAPI AnswerCloseQuestion(HWND, const char* text, const char* caption, UINT)
{
    closeText = text;
    closeCaption = caption;
    ++closeQuestions;
    return closeAnswer;
}

HWND FindThreadWindow(const char* className, const char* title)
{
    HWND found = FindWindowA(className, title);
    return found && IsWindowVisible(found) ? found : nullptr;
}

class TrayAppTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        service_ = new traytest::KodraService;
        ASSERT_TRUE(service_->Installed());
        bin_ = new testlib::ScratchDir("kodra tray app");
        ASSERT_TRUE(testlib::CopyInto(testlib::DoublesDir() + "\\recorder.exe", bin_->Path(), "job.exe"));
        port_ = traytest::FreePort();
        ASSERT_TRUE(traytest::SetMessagePort("KODRA", static_cast<DWORD>(port_)));
        TrayAsk = AnswerCloseQuestion;
        ui_ = new std::thread([] { exitCode_ = RunTray(GetModuleHandleA(nullptr)); });
        ASSERT_TRUE(testlib::WaitFor([] { return traytest::Client(port_).Connected(); }, std::chrono::seconds(30)));
        ASSERT_TRUE(testlib::WaitFor([] { return TrayMainWindow != nullptr; }));
    }

    static void TearDownTestSuite()
    {
        if (ui_) {
            PostMessageA(TrayMainWindow, WM_CLOSE, 0, 0);
            ui_->join();
            delete ui_;
        }
        traytest::DeleteMessagePort("KODRA");
        delete bin_;
        delete service_;
    }

    static HWND MessageWindow()
    {
        return FindWindowA("GLIMLET_MESSAGE_PROCESSOR_WND_CLASS", "GLIMLET_MESSAGE_PROCESSOR_WND");
    }

    // Right click on the icon; gives the popup menu's window once it shows.
    static HWND OpenMenu()
    {
        PostMessageA(MessageWindow(), CGlimlet::CallbackMessage, theTrayApp.Icon.Id(), WM_RBUTTONUP);
        HWND menu = nullptr;
        testlib::WaitFor([&] { return (menu = FindThreadWindow("#32768", nullptr)) != nullptr; });
        return menu;
    }

    static void ChooseEntry(HWND menu, int downs)
    {
        for (int i = 0; i < downs; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    }

    static bool MenuGone()
    {
        return testlib::WaitFor([] { return FindThreadWindow("#32768", nullptr) == nullptr; });
    }

    static traytest::KodraService* service_;
    static testlib::ScratchDir* bin_;
    static int port_;
    static std::thread* ui_;
    static std::atomic<int> exitCode_;
};

traytest::KodraService* TrayAppTest::service_ = nullptr;
testlib::ScratchDir* TrayAppTest::bin_ = nullptr;
int TrayAppTest::port_ = 0;
std::thread* TrayAppTest::ui_ = nullptr;
std::atomic<int> TrayAppTest::exitCode_{-2};

TEST_F(TrayAppTest, ShowsTheServiceStateAsTheServiceStartsAndStops)
{
    EXPECT_TRUE(theTrayApp.Icon.IsVisible());
    EXPECT_FALSE(IsWindowVisible(TrayMainWindow));
    EXPECT_TRUE(Shows({IDI_STOPPED, "KODRA-VELMOR stopped"}));
    ASSERT_TRUE(service_->Start());
    EXPECT_TRUE(Shows({IDI_RUNNING, "KODRA-VELMOR running"}));
    ASSERT_TRUE(service_->Stop());
    EXPECT_TRUE(Shows({IDI_STOPPED, "KODRA-VELMOR stopped"}));
    ASSERT_TRUE(service_->Start());
    EXPECT_TRUE(Shows({IDI_RUNNING, "KODRA-VELMOR running"}));
}

TEST_F(TrayAppTest, ServesRecordsFromASocket)
{
    std::string log = bin_->File("starts.log");
    SetEnvironmentVariableA("KODRA_RECORD_LOG", log.c_str());
    std::string job = "\"" + bin_->File("job.exe") + "\" from socket";
    std::string missing = "\"" + bin_->File("missing.exe") + "\"";
    traytest::Client client(port_);
    ASSERT_TRUE(client.Connected());
    ASSERT_TRUE(client.Send(Rec("KODRA", job) + Rec("KODRA", missing) + "KODRA|4|abc|" +
                            Rec("VELMOR", job)));
    EXPECT_EQ(client.ReadExactly(4), "0213");
    ASSERT_TRUE(testlib::WaitFor([&] { return testlib::ReadRecorderLog(log).size() == 1; }));
    testlib::RecordedStart start = testlib::ReadRecorderLog(log)[0];
    EXPECT_EQ(start.cmd, job);
    EXPECT_EQ(start.show, SW_HIDE);
}

TEST_F(TrayAppTest, StatusTextsTurnIntoTooltipWordsAndIcons)
{
    ASSERT_TRUE(Shows({IDI_RUNNING, "KODRA-VELMOR running"}));
    traytest::Client client(port_);
    ASSERT_TRUE(client.Send(Rec("KODRA", "STATUS=16393;NAME=UPS1")));
    EXPECT_EQ(client.ReadExactly(1), "0");
    EXPECT_TRUE(Shows({IDI_STOPPED, "KODRA-Trap-Status [UPS1]:\nBackup mode, Bypass, COMM lost"}));
    ASSERT_TRUE(client.Send(Rec("KODRA", "STATUS=4")));
    EXPECT_EQ(client.ReadExactly(1), "0");
    EXPECT_TRUE(Shows({IDI_STATUS_OK, "KODRA-Trap-Status:\nOutput active"}));
    ASSERT_TRUE(service_->Stop());
    EXPECT_TRUE(Shows({IDI_STOPPED, "KODRA-VELMOR stopped"}));
    ASSERT_TRUE(service_->Start());
    EXPECT_TRUE(Shows({IDI_RUNNING, "KODRA-VELMOR running"}));
}

// A record behind a leading field is answered though the tray takes its time
// over it, as a program start may on a busy machine: here the status display
// waits 3.5 s for the lock the test holds.
// The tray reads one sender at a time and handles its record under the
// application lock; while that lock is held past the transport's 3 s for a
// sender that has sent no record, the senders behind it wait unread. Each is
// still read and answered whatever spelling of a record it sent.
TEST_F(TrayAppTest, RecordsOfEverySpellingWaitingBehindASlowHandlingAreAnswered)
{
    ASSERT_TRUE(Shows({IDI_RUNNING, "KODRA-VELMOR running"}));
    const std::string spellings[] = {Rec("KODRA", "STATUS=0"), "xyz|" + Rec("KODRA", "STATUS=0"),
                                     " kodra | 8 | STATUS=0 |", "KODRA|8| STATUS=0|"};
    std::vector<std::unique_ptr<traytest::Client>> clients;
    {
        zwin::CZSmartLock hold(&theTrayApp.Lock, true);
        for (const std::string& record : spellings) {
            clients.push_back(std::make_unique<traytest::Client>(port_));
            ASSERT_TRUE(clients.back()->Send(record));
        }
        Sleep(4000);
    }
    for (size_t i = 0; i < clients.size(); ++i)
        EXPECT_EQ(clients[i]->ReadExactly(1, std::chrono::seconds(20)), "0") << "'" << spellings[i] << "'";
}

TEST_F(TrayAppTest, PopupMenuClosesOnAClickElsewhereAndIsDestroyed)
{
    HWND menuWindow = OpenMenu();
    ASSERT_NE(menuWindow, nullptr);
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    ASSERT_TRUE(IsMenu(menu));
    ASSERT_EQ(GetMenuItemCount(menu), 4);
    char text[64];
    GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "About...");
    EXPECT_EQ(GetMenuItemID(menu, 2), 5u);
    GetMenuStringA(menu, 3, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "Close KODRA-Tray");

    RECT box;
    ASSERT_TRUE(GetWindowRect(menuWindow, &box));
    INPUT click[2] = {};
    for (INPUT& in : click) {
        in.type = INPUT_MOUSE;
        in.mi.dx = 65535 * 10 / GetSystemMetrics(SM_CXSCREEN);
        in.mi.dy = 65535 * 10 / GetSystemMetrics(SM_CYSCREEN);
    }
    ASSERT_FALSE(PtInRect(&box, POINT{10, 10}));
    click[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(SendInput(2, click, sizeof(INPUT)), 2u);
    EXPECT_TRUE(MenuGone());
    EXPECT_TRUE(testlib::WaitFor([&] { return !IsMenu(menu); }));
    EXPECT_EQ(FindThreadWindow("#32770", nullptr), nullptr);
}

TEST_F(TrayAppTest, AboutBoxShowsVersionAndCopyrightAtItsPlace)
{
    ChooseEntry(OpenMenu(), 1);
    HWND about = nullptr;
    ASSERT_TRUE(testlib::WaitFor([&] { return (about = FindThreadWindow("#32770", "About...")) != nullptr; }));
    char text[256];
    GetDlgItemTextA(about, IDC_ABOUT_VERSION, text, sizeof text);
    EXPECT_STREQ(text, "KODRA-Tray Version 1.0.1.2");
    GetDlgItemTextA(about, IDC_ABOUT_COPYRIGHT, text, sizeof text);
    EXPECT_STREQ(text, "Copyright (C) 2024 Tessalt");
    RECT desktop, box;
    ASSERT_TRUE(GetWindowRect(GetDesktopWindow(), &desktop));
    ASSERT_TRUE(GetWindowRect(about, &box));
    EXPECT_EQ(box.right, desktop.right - 100);
    EXPECT_EQ(box.bottom, desktop.bottom - 200);
    EXPECT_EQ(GetWindow(about, GW_OWNER), TrayMainWindow);

    // Choosing About again while the box is open opens no second box.
    HWND menuWindow = OpenMenu();
    ASSERT_NE(menuWindow, nullptr);
    ChooseEntry(menuWindow, 1);
    EXPECT_TRUE(MenuGone());
    int boxes = 0;
    for (HWND w = FindWindowA("#32770", nullptr); w; w = FindWindowExA(nullptr, w, "#32770", nullptr))
        if (IsWindowVisible(w)) ++boxes;
    EXPECT_EQ(boxes, 1);

    PostMessageA(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(testlib::WaitFor([&] { return !IsWindow(about); }));
    EXPECT_TRUE(testlib::WaitFor([] { return !theTrayApp.AboutOpen; }));
}

TEST_F(TrayAppTest, CloseAnsweredNoKeepsTheTrayRunning)
{
    closeAnswer = IDNO;
    int before = closeQuestions;
    ChooseEntry(OpenMenu(), 3);
    ASSERT_TRUE(testlib::WaitFor([&] { return closeQuestions == before + 1; }));
    EXPECT_EQ(closeText, "If you close KODRA-Tray you are not able to receive notifications from KODRA!\n"
                         "Are you sure that you want to close KODRA-Tray?");
    EXPECT_EQ(closeCaption, "KODRA-Tray");
    traytest::Client client(port_);
    ASSERT_TRUE(client.Send(Rec("KODRA", "STATUS=8")));
    EXPECT_EQ(client.ReadExactly(1), "0");
    EXPECT_TRUE(theTrayApp.ListenThread.IsRunning());
}

TEST_F(TrayAppTest, CloseAnsweredYesEndsInOrder)
{
    closeAnswer = IDYES;
    ChooseEntry(OpenMenu(), 3);
    ui_->join();
    delete ui_;
    ui_ = nullptr;
    EXPECT_EQ(exitCode_, 0);
    EXPECT_FALSE(theTrayApp.ListenThreadAbandoned);
    EXPECT_FALSE(theTrayApp.ListenThread.IsRunning());
    EXPECT_EQ(theTrayApp.TimerId, 0u);
    EXPECT_FALSE(IsWindow(TrayMainWindow));
    EXPECT_FALSE(traytest::Client(port_).Connected());
}

}  // namespace
