#include "DebugTrace.h"

#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <cstring>
#include <string>
#include <vector>

#include "TestServices.h"
#include "testlib.h"

namespace {

const char kKey[] = "Software\\Tessalt\\Debug";
const char kTooLong[] = "ZtDbgReport: string too long or io error\r\n";

struct Box {
    void* owner;
    std::string text, caption;
    unsigned style;
};
std::vector<Box> g_boxes;
int g_boxAnswer = IDIGNORE;

int RecordBox(void* owner, const char* text, const char* caption, unsigned style)
{
    g_boxes.push_back({owner, text, caption, style});
    return g_boxAnswer;
}

struct Report {
    int level, bits;
    std::string text;
    unsigned size;
    int colour;
};
std::vector<Report> g_reports;
int g_hookAnswer = 1;
int g_filterCalls = 0;

int RecordReport(int level, int bits, const char* text, unsigned size, int colour)
{
    g_reports.push_back({level, bits, text, size, colour});
    return g_hookAnswer;
}

int CountFilter(int, int, const char*, unsigned)
{
    ++g_filterCalls;
    return 1;
}

void DeleteKey() { testlib::DeleteSharedKey(kKey); }

void SetValue(const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, testlib::CreateSharedKey(kKey, KEY_SET_VALUE, &key));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size));
    RegCloseKey(key);
}

void SetText(const char* name, const std::string& value)
{
    SetValue(name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void SetDword(const char* name, DWORD value) { SetValue(name, REG_DWORD, &value, sizeof value); }

// Each test starts as a freshly started program without the debug key.
class TraceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DebugResetForTests();
        DeleteKey();
        DebugSetMessageBoxForTests(RecordBox);
        g_boxes.clear();
        g_boxAnswer = IDIGNORE;
        g_reports.clear();
        g_hookAnswer = 1;
        g_filterCalls = 0;
    }
    void TearDown() override
    {
        DebugResetForTests();
        DeleteKey();
    }
    int ChannelsFromRegistry()
    {
        DebugResetForTests();
        DebugReadRegistry(DEBUG_READ_REGISTRY, DEBUG_STREAM_REGISTRY);
        return DebugLevelFlags(DEBUG_INFO, -1);
    }
};

TEST_F(TraceTest, WithoutTheKeyOnlyAssertionsShowTheirBox)
{
    DebugSetReportHook(RecordReport);
    DebugInfo("info %d", 1);
    DebugWarning("warning");
    DebugError("error");
    EXPECT_TRUE(g_reports.empty());
    EXPECT_EQ(0, DebugLevelFlags(DEBUG_ERROR, -1));
    DebugSetReportHook(nullptr);
    DebugAssert("src\\trace", 42);
    ASSERT_EQ(1u, g_boxes.size());
    EXPECT_EQ("Debug Assertion Failed!\n\nFile: trace\nLine: 42\n\nAssertion failed!\n\n", g_boxes[0].text);
    EXPECT_EQ("Tessalt Debug Library", g_boxes[0].caption);
    EXPECT_EQ(0x12012u, g_boxes[0].style);
    EXPECT_EQ(nullptr, g_boxes[0].owner);
}

TEST_F(TraceTest, ModeKeywordsIgnoreCase)
{
    struct {
        const char* mode;
        int bits;
    } cases[] = {
        {"file", 0x01},   {"FILE", 0x01},   {"debug", 0x02},  {"OutputDebugStr", 0x02},
        {"window", 0x08}, {"WinNet", 0x10}, {"none", 0},      {"verbose", 0},
    };
    for (const auto& c : cases) {
        SetText("Mode", c.mode);
        EXPECT_EQ(c.bits, ChannelsFromRegistry()) << c.mode;
    }
}

// A box keyword written to the shared key would stop every other program of
// the test run at its first report, so this one reads a private copy of HKLM.
TEST_F(TraceTest, MsgBoxKeywordSelectsTheMessageBox)
{
    HKEY scratch;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\KodraTest\\TraceHklm", 0,
                                             nullptr, 0, KEY_ALL_ACCESS, nullptr, &scratch, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_LOCAL_MACHINE, scratch));
    SetText("Mode", "MsgBox");
    const int bits = ChannelsFromRegistry();
    DeleteKey();
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegCloseKey(scratch);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\KodraTest\\TraceHklm\\Software\\Tessalt");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\KodraTest\\TraceHklm\\Software");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\KodraTest\\TraceHklm");
    EXPECT_EQ(0x04, bits);
}

TEST_F(TraceTest, DwordModeNeverKeepsTheRegistryBitAndOtherTypesAreIgnored)
{
    SetDword("Mode", 0x12);
    EXPECT_EQ(0x12, ChannelsFromRegistry());
    SetDword("Mode", 0x33);
    EXPECT_EQ(0x13, ChannelsFromRegistry());
    SetValue("Mode", REG_BINARY, "\x01\x00\x00\x00", 4);
    EXPECT_EQ(0, ChannelsFromRegistry());
}

TEST_F(TraceTest, ModeWithoutTerminatorIsStillReadSafely)
{
    SetValue("Mode", REG_SZ, "file", 4);
    EXPECT_EQ(0x01, ChannelsFromRegistry());
    SetValue("Mode", REG_SZ, std::string(400, 'f').c_str(), 400);
    EXPECT_EQ(0, ChannelsFromRegistry());
}

TEST_F(TraceTest, FileValueChoosesTheStreamOnlyWithChannels)
{
    SetText("File", "stdout");
    SetText("Mode", "verbose");
    ChannelsFromRegistry();
    EXPECT_EQ(DEBUG_STREAM_NONE, DebugLevelFile(DEBUG_INFO, DEBUG_STREAM_QUERY));
    struct {
        const char* file;
        FILE* stream;
    } cases[] = {{"stdout", stdout}, {"stderr", stderr}, {"zentra", DEBUG_STREAM_ZENTRA},
                 {"other", DEBUG_STREAM_NONE}};
    SetText("Mode", "file");
    for (const auto& c : cases) {
        SetText("File", c.file);
        ChannelsFromRegistry();
        EXPECT_EQ(c.stream, DebugLevelFile(DEBUG_ERROR, DEBUG_STREAM_QUERY)) << c.file;
        EXPECT_EQ(DEBUG_STREAM_NONE, DebugLevelFile(DEBUG_ASSERT, DEBUG_STREAM_QUERY));
    }
}

TEST_F(TraceTest, FirstReportAppendsToZentraFileWithoutLineEnds)
{
    testlib::ScratchDir dir;
    auto in = std::make_unique<testlib::CurrentDirectory>(dir.Path());
    ASSERT_TRUE(in->Entered());
    SetText("Mode", "file");
    SetText("File", "zentra");
    DebugInfo("first %d", 1);
    DebugError("second");
    DebugPrintf(DEBUG_WARNING, -1, "%s", "third");
    in.reset();
    EXPECT_EQ("first 1secondthird", testlib::ReadTextFile(dir.File("zentra.txt")));
}

TEST_F(TraceTest, SetupSwitchesTracingOffAndTheKeyIsNeverRead)
{
    testlib::ScratchDir dir;
    auto in = std::make_unique<testlib::CurrentDirectory>(dir.Path());
    ASSERT_TRUE(in->Entered());
    SetText("Mode", "file");
    SetText("File", "zentra");
    DebugSetup(0, DEBUG_STREAM_NONE);
    DebugInfo("dropped");
    EXPECT_EQ(0, DebugLevelFlags(DEBUG_INFO, -1));
    DebugSetup(DEBUG_READ_REGISTRY, DEBUG_STREAM_REGISTRY);
    DebugInfo("kept");
    in.reset();
    EXPECT_EQ("kept", testlib::ReadTextFile(dir.File("zentra.txt")));
}

class StreamTest : public TraceTest {
protected:
    void SetUp() override
    {
        TraceTest::SetUp();
        stream = std::tmpfile();
        ASSERT_NE(nullptr, stream);
    }
    void TearDown() override
    {
        DebugResetForTests();
        std::fclose(stream);
        TraceTest::TearDown();
    }
    std::string Written()
    {
        std::fflush(stream);
        std::rewind(stream);
        std::string s;
        char chunk[512];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, stream)) > 0) s.append(chunk, n);
        std::fseek(stream, 0, SEEK_END);
        return s;
    }
    FILE* stream = nullptr;
};

TEST_F(StreamTest, ColourRequestWritesConsoleLines)
{
    DebugSetup(DEBUG_CH_STREAM | DEBUG_CH_COLOUR, stream);
    DebugConsole("[a] Error text");
    DebugConsole("[b] Watch out");
    DebugConsole("[c] plain");
    DebugConsole("no mark");
    DebugInfo("[d] Error but no colour request");
    EXPECT_EQ("ERROR: Error text\nWarning: Watch out\nplain\nno mark\n[d] Error but no colour request",
              Written());
}

TEST_F(StreamTest, ExplicitBitsApplyOnlyToLevelsWithChannels)
{
    DebugLevelFlags(DEBUG_INFO, DEBUG_CH_DEBUGGER);
    DebugLevelFile(DEBUG_INFO, stream);
    DebugLevelFile(DEBUG_WARNING, stream);
    DebugPrintf(DEBUG_INFO, DEBUG_CH_STREAM, "to the stream ");
    DebugPrintf(DEBUG_WARNING, DEBUG_CH_STREAM, "level without channels ");
    DebugPrintf(7, DEBUG_CH_STREAM, "no such level");
    DebugPrintf(-1, DEBUG_CH_STREAM, "no such level");
    DebugInfo("debugger only");
    EXPECT_EQ("to the stream ", Written());
}

TEST_F(StreamTest, LevelSettersAnswerTheOldValues)
{
    EXPECT_EQ(0, DebugLevelFlags(DEBUG_WARNING, 0x03));
    EXPECT_EQ(0x03, DebugLevelFlags(DEBUG_WARNING, 0x01));
    EXPECT_EQ(0x04, DebugLevelFlags(DEBUG_ASSERT, -1));
    EXPECT_EQ(0, DebugLevelFlags(4, 0x01));
    EXPECT_EQ(DEBUG_STREAM_NONE, DebugLevelFile(DEBUG_WARNING, stream));
    EXPECT_EQ(stream, DebugLevelFile(DEBUG_WARNING, DEBUG_STREAM_ZENTRA));
    EXPECT_EQ(nullptr, DebugLevelFile(-1, stream));
    EXPECT_EQ(1024u, DebugSetBufferSize(10));
    EXPECT_EQ(1024u, DebugSetBufferSize(4096));
    EXPECT_EQ(4096u, DebugSetBufferSize(1024));
}

TEST_F(StreamTest, TheRegistrySentinelIsRefusedAsAStream)
{
    DebugSetup(DEBUG_CH_STREAM, stream);
    EXPECT_EQ(nullptr, DebugLevelFile(DEBUG_INFO, DEBUG_STREAM_REGISTRY));
    ASSERT_EQ(stream, DebugLevelFile(DEBUG_INFO, DEBUG_STREAM_QUERY));
    DebugInfo("still the stream");
    EXPECT_EQ("still the stream", Written());
}

TEST_F(StreamTest, MessagesMustFitTheBuffer)
{
    DebugSetup(DEBUG_CH_STREAM, stream);
    DebugInfo("%s", std::string(1022, 'a').c_str());
    EXPECT_EQ(std::string(1022, 'a'), Written());
    DebugResetForTests();
    DebugSetup(DEBUG_CH_STREAM, stream);
    DebugInfo("%s", std::string(1023, 'b').c_str());
    EXPECT_EQ(std::string(1022, 'a') + kTooLong, Written());
    DebugSetBufferSize(2048);
    DebugInfo("%s", std::string(2000, 'c').c_str());
    EXPECT_EQ(std::string(1022, 'a') + kTooLong + std::string(2000, 'c'), Written());
}

TEST_F(StreamTest, ReportHookWinsOverFilterHookAndCanDrop)
{
    DebugSetup(DEBUG_CH_STREAM, stream);
    DebugSetFilterHook(CountFilter);
    EXPECT_EQ(nullptr, DebugSetReportHook(RecordReport));
    g_hookAnswer = 0;
    DebugConsole("dropped %d", 5);
    ASSERT_EQ(1u, g_reports.size());
    EXPECT_EQ(0, g_reports[0].level);
    EXPECT_EQ(DEBUG_CH_STREAM, g_reports[0].bits);
    EXPECT_EQ("dropped 5", g_reports[0].text);
    EXPECT_EQ(1024u, g_reports[0].size);
    EXPECT_EQ(1, g_reports[0].colour);
    EXPECT_EQ(0, g_filterCalls);
    EXPECT_EQ(RecordReport, DebugSetReportHook(nullptr));
    DebugInfo("passed");
    EXPECT_EQ(1, g_filterCalls);
    EXPECT_EQ("passed", Written());
}

TEST_F(StreamTest, HexDumpWritesRowsOfSixteen)
{
    DebugSetup(DEBUG_CH_STREAM, stream);
    unsigned char bytes[20];
    for (int i = 0; i < 20; ++i) bytes[i] = static_cast<unsigned char>('A' + i);
    bytes[1] = 0x01;
    bytes[2] = 0xFF;
    DebugHexDump(bytes, sizeof bytes);
    const std::string out = Written();
    char address[2][16];
    std::snprintf(address[0], sizeof address[0], "%08lx: ", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(bytes)));
    std::snprintf(address[1], sizeof address[1], "%08lx: ", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(bytes + 16)));
    const std::string first = std::string(address[0]) +
                              "41 01 ff 44 45 46 47 48 49 4a 4b 4c 4d 4e 4f 50 A..DEFGHIJKLMNOP\n";
    const std::string second = std::string(address[1]) + "51 52 53 54 " + std::string(36, ' ') + "QRST\n";
    EXPECT_EQ(first + second, out);
}

TEST_F(TraceTest, MessageBoxNamesLevelFileAndLine)
{
    DebugLevelFlags(DEBUG_WARNING, DEBUG_CH_MSGBOX);
    DebugWarning("careful %s", "now");
    DebugLevelFlags(DEBUG_ASSERT, DEBUG_CH_MSGBOX);
    DebugAssert("dir/sub/file.cpp", 0);
    DebugAssert("C:file.cpp", 7);
    DebugAssert(nullptr, 9);
    ASSERT_EQ(4u, g_boxes.size());
    EXPECT_EQ("Debug Warning!\n\nFile: \nLine: <line unknown>\n\ncareful now\n\n", g_boxes[0].text);
    EXPECT_EQ(0u, g_boxes[1].text.find("Debug Assertion Failed!\n\nFile: file.cpp\nLine: <line unknown>\n"));
    EXPECT_EQ(0u, g_boxes[2].text.find("Debug Assertion Failed!\n\nFile: file.cpp\nLine: 7\n"));
    EXPECT_EQ(0u, g_boxes[3].text.find("Debug Assertion Failed!\n\nFile: \nLine: 9\n"));
}

TEST_F(TraceTest, OverlongBoxTextIsReplaced)
{
    DebugLevelFlags(DEBUG_INFO, DEBUG_CH_MSGBOX);
    DebugInfo("%s", std::string(1000, 'x').c_str());
    ASSERT_EQ(1u, g_boxes.size());
    EXPECT_EQ(kTooLong, g_boxes[0].text);
}

TEST_F(TraceTest, RetryAndIgnoreContinueTheReport)
{
    DebugLevelFlags(DEBUG_INFO, DEBUG_CH_MSGBOX);
    for (int answer : {IDRETRY, IDIGNORE}) {
        g_boxAnswer = answer;
        DebugInfo("go on");
    }
    EXPECT_EQ(2u, g_boxes.size());
}

TEST_F(TraceTest, AbortEndsTheProgramWithExitCodeThree)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            DebugSetMessageBoxForTests(RecordBox);
            g_boxAnswer = IDABORT;
            DebugAssert("f", 1);
        },
        ::testing::ExitedWithCode(3), "");
}

TEST_F(TraceTest, UdpHostWithoutItsLibraryStillAnswersOne)
{
    EXPECT_EQ(1, DebugUdpHost(1, 2, 7));
}

// A receiver inside the test on a port of its own choosing above 1023.
class TcpTest : public TraceTest {
protected:
    void SetUp() override
    {
        TraceTest::SetUp();
        WSADATA data;
        ASSERT_EQ(0, WSAStartup(MAKEWORD(2, 2), &data));
        listener = socket(AF_INET, SOCK_STREAM, 0);
        ASSERT_NE(INVALID_SOCKET, listener);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = inet_addr("127.0.0.1");
        ASSERT_EQ(0, bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a));
        ASSERT_EQ(0, listen(listener, 4));
        int len = sizeof a;
        ASSERT_EQ(0, getsockname(listener, reinterpret_cast<sockaddr*>(&a), &len));
        port = ntohs(a.sin_port);
        ASSERT_GE(port, 1024);
    }
    void TearDown() override
    {
        DebugResetForTests();
        if (peer != INVALID_SOCKET) closesocket(peer);
        closesocket(listener);
        WSACleanup();
        TraceTest::TearDown();
    }
    bool Accept()
    {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(listener, &set);
        timeval wait{5, 0};
        if (select(0, &set, nullptr, nullptr, &wait) != 1) return false;
        if (peer != INVALID_SOCKET) closesocket(peer);
        peer = accept(listener, nullptr, nullptr);
        return peer != INVALID_SOCKET;
    }
    // Reads until the received text holds at least the given count of bytes.
    std::string Receive(size_t count)
    {
        std::string got;
        char chunk[4096];
        while (got.size() < count) {
            fd_set set;
            FD_ZERO(&set);
            FD_SET(peer, &set);
            timeval wait{5, 0};
            if (select(0, &set, nullptr, nullptr, &wait) != 1) break;
            int n = recv(peer, chunk, sizeof chunk, 0);
            if (n <= 0) break;
            got.append(chunk, n);
        }
        return got;
    }
    bool NothingMore()
    {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(peer, &set);
        timeval wait{0, 100000};
        return select(0, &set, nullptr, nullptr, &wait) == 0;
    }
    SOCKET listener = INVALID_SOCKET;
    SOCKET peer = INVALID_SOCKET;
    int port = 0;
};

TEST_F(TcpTest, RecordsGoToTheConfiguredReceiverOverOneConnection)
{
    SetText("Mode", "winnet");
    SetText("host", "127.0.0.1");
    SetDword("port", static_cast<DWORD>(port));
    DebugInfo("a\r\nb ");
    DebugError("  second\n");
    ASSERT_TRUE(Accept());
    const std::string expected = "ZENTRA|4|a  b|ZENTRA|6|second|";
    EXPECT_EQ(expected, Receive(expected.size()));
    EXPECT_TRUE(NothingMore());
}

TEST_F(TcpTest, DefaultHostAndLongRecordsCutAt2047Bytes)
{
    SetDword("Mode", 0x10);
    SetDword("port", 0x10000 + static_cast<DWORD>(port));
    SetText("host", std::string(200, '9'));
    DebugSetBufferSize(4096);
    DebugInfo("%s", std::string(3000, 'z').c_str());
    ASSERT_TRUE(Accept());
    const std::string got = Receive(2047);
    EXPECT_EQ(2047u, got.size());
    EXPECT_EQ("ZENTRA|2047|" + std::string(2035, 'z'), got);
    EXPECT_TRUE(NothingMore());
}

TEST_F(TcpTest, ReconnectsAfterTheReceiverWentAway)
{
    SetText("Mode", "winnet");
    SetDword("port", static_cast<DWORD>(port));
    DebugInfo("one");
    ASSERT_TRUE(Accept());
    EXPECT_EQ("ZENTRA|3|one|", Receive(13));
    closesocket(peer);
    peer = INVALID_SOCKET;
    bool reconnected = testlib::WaitFor([&] {
        DebugInfo("again");
        fd_set set;
        FD_ZERO(&set);
        FD_SET(listener, &set);
        timeval none{0, 20000};
        return select(0, &set, nullptr, nullptr, &none) == 1;
    });
    ASSERT_TRUE(reconnected);
    ASSERT_TRUE(Accept());
    EXPECT_EQ("ZENTRA|5|again|", Receive(15).substr(0, 15));
}

TEST_F(TcpTest, UnreachableReceiverDropsTheRecord)
{
    closesocket(listener);
    listener = socket(AF_INET, SOCK_STREAM, 0);
    SetText("Mode", "winnet");
    SetDword("port", static_cast<DWORD>(port));
    const DWORD start = GetTickCount();
    DebugInfo("nobody listens");
    DebugInfo("still nobody");
    EXPECT_LT(GetTickCount() - start, 5000u);
}

}  // namespace
