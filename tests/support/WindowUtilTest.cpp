#include "WindowUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DebugTrace.h"
#include "testlib.h"

namespace {

std::vector<std::string> g_lines;
std::vector<std::pair<WPARAM, LPARAM>> g_other;

LRESULT CALLBACK ViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USER + 1) {
        char line[256] = "";
        GlobalGetAtomNameA(static_cast<ATOM>(lParam), line, sizeof line);
        g_lines.push_back(line);
        return 0;
    }
    if (message == WM_USER + 2) {
        g_other.emplace_back(wParam, lParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A small stand-in for the outside text viewer: a hidden window of its class.
class ViewerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ViewerProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "winio_class";
        ASSERT_NE(0, RegisterClassA(&wc));
    }
    void SetUp() override
    {
        g_lines.clear();
        g_other.clear();
        viewer = CreateWindowExA(0, "winio_class", "viewer", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, viewer);
    }
    void TearDown() override
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        DestroyWindow(viewer);
        DebugResetForTests();
    }
    HWND viewer = nullptr;
};

TEST_F(ViewerTest, TextGoesLineByLine)
{
    struct {
        std::string text;
        std::vector<std::string> lines;
    } cases[] = {
        {"a\n\nb\n", {"a", " ", "b"}},
        {"\n", {" "}},
        {"one line", {"one line"}},
        {"", {}},
        {"\n\nlast", {" ", " ", "last"}},
    };
    for (const auto& c : cases) {
        g_lines.clear();
        EXPECT_EQ(1, WinioSendText(c.text.c_str()));
        EXPECT_EQ(c.lines, g_lines) << c.text;
    }
}

TEST_F(ViewerTest, TextLongerThanTheFieldBufferKeepsItsLinesWhole)
{
    std::string text;
    std::vector<std::string> lines;
    for (int i = 0; i < 30; ++i) {
        lines.push_back(std::to_string(i) + std::string(200, 'a' + i % 26));
        text += lines.back() + "\n";
    }
    ASSERT_GT(text.size(), 4096u);
    EXPECT_EQ(1, WinioSendText(text.c_str()));
    EXPECT_EQ(lines, g_lines);
}

TEST_F(ViewerTest, LinesOver255CharactersAreDropped)
{
    EXPECT_EQ(1, WinioSendLine(std::string(255, 'x').c_str()));
    EXPECT_EQ(0, WinioSendLine(std::string(256, 'y').c_str()));
    EXPECT_EQ(0, WinioSendLine(""));
    ASSERT_EQ(1u, g_lines.size());
    EXPECT_EQ(std::string(255, 'x'), g_lines[0]);
}

TEST_F(ViewerTest, SendToWindowClassFindsTheWindow)
{
    EXPECT_EQ(1, SendToWindowClass("winio_class", WM_USER + 2, 5, 6));
    ASSERT_EQ(1u, g_other.size());
    EXPECT_EQ(5u, g_other[0].first);
    EXPECT_EQ(6, g_other[0].second);
    EXPECT_EQ(0, SendToWindowClass("kodra_no_such_class", WM_USER + 2, 0, 0));
}

TEST_F(ViewerTest, WindowChannelOfTheTrace)
{
    DebugLevelFlags(DEBUG_INFO, DEBUG_CH_WINDOW);
    DebugInfo("first %d\nsecond\n", 1);
    EXPECT_EQ((std::vector<std::string>{"first 1", "second"}), g_lines);
}

TEST_F(ViewerTest, RunAndWaitForAnExistingWindowOnlyShowsIt)
{
    EXPECT_EQ(1, RunAndWaitForWindow("no-such-program.exe", "winio_class", 0));
    EXPECT_FALSE(IsWindowVisible(viewer));
    EXPECT_EQ(1, RunAndWaitForWindow("no-such-program.exe", "winio_class", SW_SHOWNORMAL));
    EXPECT_TRUE(IsWindowVisible(viewer));
}

TEST(RunAndWaitForWindow, ProgramThatCannotStartGivesZero)
{
    EXPECT_EQ(0, RunAndWaitForWindow("no-such-program-xyz.exe", "kodra_no_such_class", SW_HIDE));
}

TEST(RunAndWaitForWindow, StartedProgramWithoutTheWindowIsWaitedForFiveSeconds)
{
    testlib::ScratchDir dir;
    const std::string log = dir.File("starts.log");
    ASSERT_TRUE(SetEnvironmentVariableA("KODRA_RECORD_LOG", log.c_str()));
    const std::string cmd = "\"" + testlib::DoublesDir() + "\\recorder.exe\" viewer-arg";
    const DWORD start = GetTickCount();
    EXPECT_EQ(1, RunAndWaitForWindow(cmd.c_str(), "kodra_no_such_class", SW_HIDE));
    const DWORD elapsed = GetTickCount() - start;
    SetEnvironmentVariableA("KODRA_RECORD_LOG", nullptr);
    EXPECT_GE(elapsed, 4800u);
    EXPECT_LT(elapsed, 7000u);
    ASSERT_TRUE(testlib::WaitFor([&] { return testlib::ReadRecorderLog(log).size() == 1; }));
    EXPECT_NE(std::string::npos, testlib::ReadRecorderLog(log)[0].cmd.find("viewer-arg"));
}

}  // namespace
