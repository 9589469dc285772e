// Closing the tray while its listen thread is stuck in a pass: the close waits
// its time, then leaves the thread its connection instead of closing it.
#include <gtest/gtest.h>

#include <thread>

#include "TrayApp.h"
#include "TrayTestSupport.h"
#include "ZLock.h"
#include "testlib.h"

namespace {

std::string Rec(const std::string& text) { return "KODRA|" + std::to_string(text.size()) + "|" + text + "|"; }

TEST(TrayStopTest, AListenThreadThatDidNotEndKeepsItsConnection)
{
    traytest::KodraService service;
    ASSERT_TRUE(service.Installed());
    ASSERT_TRUE(service.Start());
    testlib::ScratchDir bin("kodra tray stop");
    ASSERT_TRUE(testlib::CopyInto(testlib::DoublesDir() + "\\recorder.exe", bin.Path(), "job.exe"));
    SetEnvironmentVariableA("KODRA_RECORD_LOG", bin.File("starts.log").c_str());
    int port = traytest::FreePort();
    ASSERT_TRUE(traytest::SetMessagePort("KODRA", static_cast<DWORD>(port)));
    int exitCode = -2;
    std::thread ui([&] { exitCode = RunTray(GetModuleHandleA(nullptr)); });
    ASSERT_TRUE(testlib::WaitFor([&] { return TrayMainWindow && traytest::Client(port).Connected(); },
                                 std::chrono::seconds(30)));
    ASSERT_TRUE(testlib::WaitFor([] { return theTrayApp.LastServiceState == 1; }));
    // The timer's service check would wait for the lock as well.
    ASSERT_TRUE(KillTimer(TrayMainWindow, theTrayApp.TimerId));

    traytest::Client client(port);
    {
        // Held here, the lock stops the listen thread in the status display of the
        // second record, after it has answered the first.
        zwin::CZSmartLock hold(&theTrayApp.Lock, true);
        ASSERT_TRUE(client.Send(Rec("\"" + bin.File("job.exe") + "\"") + Rec("STATUS=8")));
        ASSERT_EQ(client.ReadExactly(1), "0");
        PostMessageA(TrayMainWindow, WM_CLOSE, 0, 0);
        ui.join();
        EXPECT_EQ(exitCode, 0);
        EXPECT_TRUE(theTrayApp.ListenThreadAbandoned);
        uint32_t flags = 0;
        EXPECT_TRUE(theTrayApp.Transport.Status(&flags));
        EXPECT_TRUE(flags & NETCON_USABLE);
    }
    // Let go, the pass ends and answers on the connection that stayed open.
    EXPECT_EQ(client.ReadExactly(1), "0");
    EXPECT_TRUE(theTrayApp.ListenThread.Stop(INFINITE, false));
    theTrayApp.Transport.Close();
    traytest::DeleteMessagePort("KODRA");
}

}  // namespace
