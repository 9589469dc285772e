// The VELMOR connection test against a double of the service's status port:
// the wire exchange, the alive rule, the time-outs and the result dialog.
#include "VelmorConnection.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "CheckVelmorDlg.h"
#include "VelmorDouble.h"
#include "WizardTestKit.h"
#include "classlib_testkit.h"
#include "testlib.h"

namespace {

using namespace classlib::testkit;
using wizardtest::SplitRequests;
using wizardtest::VelmorDouble;

using Clock = std::chrono::steady_clock;

long long MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

class Winsock : public testing::Test {
protected:
    void SetUp() override
    {
        WSADATA data;
        ASSERT_EQ(0, WSAStartup(MAKEWORD(1, 1), &data));
    }
    void TearDown() override { WSACleanup(); }
};

// One exchange over a socket of our own, so that its number is known.
struct Exchange {
    BOOL connected;
    BOOL alive;
    int socketNumber;
};

Exchange RunExchange()
{
    SOCKET s = INVALID_SOCKET;
    Exchange result{FALSE, FALSE, -1};
    if (!CreateTcpSocket(&s)) return result;
    result.socketNumber = static_cast<int>(s);
    result.connected = ConnectWithTimeout(s, kVelmorStatusPort, "127.0.0.1");
    if (result.connected) result.alive = VelmorLogonTest(s);
    CloseTcpSocket(s);
    return result;
}

TEST(IsVelmorReply, ADigitABarAndADigit)
{
    struct Case {
        const char* reply;
        BOOL alive;
    } cases[] = {{"1|0", TRUE}, {"9|9 and any text", TRUE}, {"0|5|7", TRUE}, {"1|", FALSE},
                 {"x|1", FALSE}, {"1:1", FALSE},           {"", FALSE},      {"|1|", FALSE},
                 {"11|", FALSE}, {"1|x", FALSE},           {" 1|1", FALSE}};
    for (const Case& c : cases) EXPECT_EQ(c.alive, IsVelmorReply(c.reply)) << c.reply;
    EXPECT_FALSE(IsVelmorReply(nullptr));
}

class VelmorWire : public Winsock {};

TEST_F(VelmorWire, LogonAndLogoffCarryTheSocketNumberAndAZeroByte)
{
    VelmorDouble server({VelmorDouble::Reply(std::string("1|0", 4))});
    ASSERT_TRUE(server.Listening());
    Exchange e = RunExchange();
    EXPECT_TRUE(e.connected);
    EXPECT_TRUE(e.alive);
    ASSERT_TRUE(server.WaitForConnections(1));
    std::string number = std::to_string(e.socketNumber);
    std::string expected = "WINCLIENT " + number + " LOGON" + std::string(1, '\0') + "WINCLIENT " +
                           number + " LOGOFF" + std::string(1, '\0');
    EXPECT_EQ(expected, server.Received()[0]);
}

TEST_F(VelmorWire, OnlyADigitBarDigitReplyIsAlive)
{
    struct Case {
        std::string reply;
        BOOL alive;
    } cases[] = {
        {std::string("1|0", 3), TRUE},                    // without a zero byte
        {std::string("9|9 VELMOR 5.1\0junk", 19), TRUE},  // only the first three count
        {std::string("1|", 3), FALSE},
        {std::string("x|1", 4), FALSE},
        {std::string("1:1", 4), FALSE},
        {std::string("\0" "1|1", 4), FALSE},  // the text ends at the first zero byte
    };
    std::vector<VelmorDouble::Session> script;
    for (const Case& c : cases) script.push_back(VelmorDouble::Reply(c.reply));
    VelmorDouble server(script);
    ASSERT_TRUE(server.Listening());
    for (const Case& c : cases) {
        Exchange e = RunExchange();
        EXPECT_TRUE(e.connected);
        EXPECT_EQ(c.alive, e.alive) << c.reply;
    }
    ASSERT_TRUE(server.WaitForConnections(std::size(cases)));
    for (const std::string& bytes : server.Received()) {
        std::vector<std::string> requests = SplitRequests(bytes);
        ASSERT_EQ(2u, requests.size());  // the logoff goes out whatever the reply was
        EXPECT_NE(std::string::npos, requests[1].find(" LOGOFF"));
    }
}

TEST_F(VelmorWire, AServerThatClosesOrRefusesIsNotAlive)
{
    {
        VelmorDouble server({VelmorDouble::Close()});
        ASSERT_TRUE(server.Listening());
        EXPECT_FALSE(RunExchange().alive);
        ASSERT_TRUE(server.WaitForConnections(1));
        EXPECT_EQ(1u, SplitRequests(server.Received()[0]).size());
    }
    Clock::time_point start = Clock::now();
    EXPECT_FALSE(RunExchange().alive);  // nothing listens now
    EXPECT_LT(MillisecondsSince(start), 4000);
}

TEST_F(VelmorWire, ASilentServerCountsAsNotAliveAfterTheReplyTimeOut)
{
    VelmorDouble server({VelmorDouble::Silent()});
    ASSERT_TRUE(server.Listening());
    Clock::time_point start = Clock::now();
    Exchange e = RunExchange();
    long long elapsed = MillisecondsSince(start);
    EXPECT_TRUE(e.connected);
    EXPECT_FALSE(e.alive);
    EXPECT_GE(elapsed, static_cast<long long>(kVelmorReplyTimeoutMs) - 200);
    EXPECT_LT(elapsed, static_cast<long long>(kVelmorReplyTimeoutMs) + 4000);
    ASSERT_TRUE(server.WaitForConnections(1));
    EXPECT_EQ(1u, SplitRequests(server.Received()[0]).size());  // no logoff after silence
}

TEST_F(VelmorWire, AConnectThatHangsEndsAfterTheConnectTimeOut)
{
    // A listener that never accepts: once its backlog is full, connects hang.
    VelmorDouble server({}, false);
    ASSERT_TRUE(server.Listening());
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(kVelmorStatusPort);
    address.sin_addr.s_addr = inet_addr("127.0.0.1");
    std::vector<SOCKET> fillers;
    for (int i = 0; i < 3; ++i) {
        SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        u_long nonBlocking = 1;
        ioctlsocket(s, FIONBIO, &nonBlocking);
        connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
        fillers.push_back(s);
    }
    SOCKET s = INVALID_SOCKET;
    ASSERT_TRUE(CreateTcpSocket(&s));
    Clock::time_point start = Clock::now();
    EXPECT_FALSE(ConnectWithTimeout(s, kVelmorStatusPort, "127.0.0.1"));
    long long elapsed = MillisecondsSince(start);
    EXPECT_GE(elapsed, static_cast<long long>(kVelmorConnectTimeoutMs) - 200);
    EXPECT_LT(elapsed, static_cast<long long>(kVelmorConnectTimeoutMs) + 4000);
    u_long mode = 1;
    EXPECT_EQ(0, ioctlsocket(s, FIONBIO, &mode));  // the socket is still usable
    CloseTcpSocket(s);
    for (SOCKET f : fillers) closesocket(f);
}

TEST_F(VelmorWire, ANumberAbove255IsNotConnectedAtAll)
{
    SOCKET s = INVALID_SOCKET;
    ASSERT_TRUE(CreateTcpSocket(&s));
    Clock::time_point start = Clock::now();
    EXPECT_FALSE(ConnectWithTimeout(s, kVelmorStatusPort, "300.1.1.1"));
    EXPECT_LT(MillisecondsSince(start), 1000);
    CloseTcpSocket(s);
}

// A shown window that counts the dialog's closing messages.
class NotifyWindow : public CDialog {
public:
    int closed = 0;

protected:
    const classlib::MessageMap* GetMessageMap() const override
    {
        using namespace classlib;
        static const MessageMap map(CDialog::GetMessageMap(), {
            MapMessage<&NotifyWindow::OnClosed>(WM_CONNECTION_TEST_CLOSED),
        });
        return &map;
    }
    LRESULT OnClosed(WPARAM, LPARAM)
    {
        ++closed;
        return 1;
    }
};

class ResultDialog : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(notify_.Create(900, nullptr));
        notify_.ShowWindow(SW_SHOW);
    }
    void TearDown() override
    {
        delete dialog_;
        notify_.DestroyWindow();
    }
    LRESULT Run(std::initializer_list<const char*> addresses)
    {
        CStringArray list;
        for (const char* a : addresses) list.Add(a);
        dialog_ = new CCheckVelmorDlg(list, &notify_);
        EXPECT_TRUE(dialog_->Create(140, &notify_));
        dialog_->ShowWindow(SW_SHOW);
        return dialog_->SendMessage(WM_RUN_CONNECTION_TEST);
    }
    std::vector<std::string> Rows()
    {
        std::vector<std::string> rows;
        HWND list = ::GetDlgItem(dialog_->m_hWnd, 1106);
        for (int i = 0; i < ListView_GetItemCount(list); ++i) {
            char address[128] = "", result[128] = "";
            ListView_GetItemText(list, i, 0, address, sizeof address);
            ListView_GetItemText(list, i, 1, result, sizeof result);
            rows.push_back(std::string(address) + " = " + result);
        }
        return rows;
    }
    NotifyWindow notify_;
    CCheckVelmorDlg* dialog_ = nullptr;
};

class ResultDialogWithWinsock : public ResultDialog {
protected:
    void SetUp() override
    {
        WSADATA data;
        ASSERT_EQ(0, WSAStartup(MAKEWORD(1, 1), &data));
        ResultDialog::SetUp();
    }
    void TearDown() override
    {
        ResultDialog::TearDown();
        WSACleanup();
    }
};

TEST_F(ResultDialogWithWinsock, OneRowPerAddressWithItsResult)
{
    VelmorDouble server({VelmorDouble::Reply(std::string("1|0", 4)),
                         VelmorDouble::Reply(std::string("1:1", 4)), VelmorDouble::Close(),
                         VelmorDouble::Reply(std::string("9|9 more", 9))});
    ASSERT_TRUE(server.Listening());
    EXPECT_EQ(1, Run({"127.0.0.1", "localhost", "127.0.0.1", "no-such-host.invalid", "300.1.1.1",
                      "127.0.0.1"}));
    EXPECT_EQ((std::vector<std::string>{
                  "127.0.0.1 = Successfully connected to VELMOR",
                  "localhost = Unable to connect to VELMOR",  // tested at its address, shown by name
                  "127.0.0.1 = Unable to connect to VELMOR",
                  "no-such-host.invalid = Unable to resolve IP",
                  "300.1.1.1 = Unable to connect to VELMOR",
                  "127.0.0.1 = Successfully connected to VELMOR",
              }),
              Rows());
    EXPECT_TRUE(IsEnabled(*dialog_, IDOK));
    EXPECT_TRUE(server.WaitForConnections(4));
    EXPECT_EQ(4u, server.Received().size());

    char caption[64] = "";
    ::GetWindowTextA(dialog_->m_hWnd, caption, sizeof caption);
    EXPECT_STREQ("Check VELMOR connections", caption);
    EXPECT_FALSE(IsVisible(*dialog_, IDCANCEL));
    HWND list = ::GetDlgItem(dialog_->m_hWnd, 1106);
    char heading[64] = "";
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT;
    column.pszText = heading;
    column.cchTextMax = sizeof heading;
    ListView_GetColumn(list, 0, &column);
    EXPECT_STREQ("VELMOR address", heading);
    ListView_GetColumn(list, 1, &column);
    EXPECT_STREQ("Alive result", heading);
    EXPECT_TRUE(ListView_GetExtendedListViewStyle(list) & LVS_EX_FULLROWSELECT);
}

TEST_F(ResultDialogWithWinsock, AnEmptyListGivesNoRowsAndOk)
{
    EXPECT_EQ(1, Run({}));
    EXPECT_TRUE(Rows().empty());
    EXPECT_TRUE(IsEnabled(*dialog_, IDOK));
}

TEST_F(ResultDialogWithWinsock, OkAndCancelCloseAndTellTheNotifyWindow)
{
    EXPECT_EQ(1, Run({}));
    ASSERT_TRUE(Click(*dialog_, IDOK));
    EXPECT_EQ(1, notify_.closed);
    EXPECT_FALSE(::IsWindowVisible(dialog_->m_hWnd));
    EXPECT_TRUE(::IsWindow(dialog_->m_hWnd));  // the owner destroys it
    delete dialog_;
    dialog_ = nullptr;

    EXPECT_EQ(1, Run({}));
    dialog_->SendMessage(WM_COMMAND, IDCANCEL);  // Esc and the close box
    EXPECT_EQ(2, notify_.closed);
}

// Without Windows Sockets started no socket can be created: the run stops.
TEST_F(ResultDialog, ASocketThatCannotBeCreatedStopsTheRun)
{
    MessageBoxRecorder boxes;
    EXPECT_EQ(0, Run({"127.0.0.1", "127.0.0.1"}));
    EXPECT_EQ(std::vector<std::string>{"127.0.0.1 = "}, Rows());
    EXPECT_FALSE(IsEnabled(*dialog_, IDOK));
    ASSERT_EQ(1u, boxes.Calls().size());
    EXPECT_STREQ("Failed to create socket\nError[10093]", boxes.Calls()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_OK), boxes.Calls()[0].type);
    dialog_->SendMessage(WM_COMMAND, IDCANCEL);
    EXPECT_EQ(1, notify_.closed);
}

}  // namespace
