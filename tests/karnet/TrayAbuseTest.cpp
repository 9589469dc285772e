// The real tray against hostile local senders: kodratray.exe from a folder of
// its own with the real KarNet.dll, the KODRA service double running and the
// recorder as ktMsg.exe. While up to 300 local connections misbehave, a record
// from a sender that behaves is answered and its program started within 2
// seconds; a record whose length field cannot vouch for its text is refused.
#include <gtest/gtest.h>

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "Abusers.h"
#include "TrayTestSupport.h"
#include "testlib.h"

namespace {

const double kWithinMs = 2000;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

class RealTray : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        service_ = new traytest::KodraService;
        ASSERT_TRUE(service_->Installed());
        ASSERT_TRUE(service_->Start());
        bin_ = new testlib::ScratchDir("kodra tray abuse");
        for (const char* name : {"kodratray.exe", "KarNet.dll"})
            ASSERT_TRUE(testlib::CopyInto(testlib::InstallDir() + "\\" + name, bin_->Path(), name));
        ASSERT_TRUE(testlib::CopyInto(testlib::DoublesDir() + "\\recorder.exe", bin_->Path(), "ktMsg.exe"));
        port_ = traytest::FreePort();
        ASSERT_TRUE(traytest::SetMessagePort("KODRA", static_cast<DWORD>(port_)));
        log_ = bin_->File("starts.log");
        SetEnvironmentVariableA("KODRA_RECORD_LOG", log_.c_str());
        tray_ = new traytest::Process(Quoted(bin_->File("kodratray.exe")), bin_->Path());
        ASSERT_TRUE(tray_->Started());
        ASSERT_TRUE(testlib::WaitFor([] { return traytest::Client(port_).Connected(); },
                                     std::chrono::seconds(30)));
    }

    static void TearDownTestSuite()
    {
        delete tray_;
        traytest::DeleteMessagePort("KODRA");
        delete bin_;
        delete service_;
    }

    // Connect, send the record of a ktMsg.exe start, read the reply: the
    // milliseconds until the reply came and until the program had started.
    static bool TimeRecord(double* replyMs, double* startMs)
    {
        DeleteFileA(log_.c_str());
        std::string text = Quoted(bin_->File("ktMsg.exe")) + " \"Power failure\"";
        std::string record = "KODRA|" + std::to_string(text.size()) + "|" + text + "|";
        DWORD begin = GetTickCount();
        traytest::Client sender(port_);
        if (!sender.Connected() || !sender.Send(record)) return false;
        if (sender.ReadExactly(1, std::chrono::seconds(10)) != "0") return false;
        *replyMs = GetTickCount() - begin;
        if (!testlib::WaitFor([] { return !testlib::ReadRecorderLog(log_).empty(); })) return false;
        *startMs = GetTickCount() - begin;
        return true;
    }

    static traytest::KodraService* service_;
    static testlib::ScratchDir* bin_;
    static traytest::Process* tray_;
    static int port_;
    static std::string log_;
};

traytest::KodraService* RealTray::service_ = nullptr;
testlib::ScratchDir* RealTray::bin_ = nullptr;
traytest::Process* RealTray::tray_ = nullptr;
int RealTray::port_ = 0;
std::string RealTray::log_;

TEST_F(RealTray, ARecordWhoseLengthCannotVouchForItsTextIsRefused)
{
    DeleteFileA(log_.c_str());
    const std::string start = Quoted(bin_->File("ktMsg.exe")) + " ";
    const std::string overlong = start + std::string(600 - start.size(), 'x');
    const std::string text = start + "\"refused\"";
    const unsigned long long wrap = 1ull << 32;
    const struct {
        const char* what;
        std::string record;
    } refused[] = {
        {"the count of the text cut to a field", "KODRA|511|" + overlong + "|"},
        {"a count past 32 bits", "KODRA|" + std::to_string(wrap + text.size()) + "|" + text + "|"},
        {"a negative count that wraps", "KODRA|-" + std::to_string(wrap - text.size()) + "|" + text + "|"},
        {"a count with a sign", "KODRA|+" + std::to_string(text.size()) + "|" + text + "|"},
    };
    for (const auto& c : refused) {
        traytest::Client sender(port_);
        ASSERT_TRUE(sender.Connected() && sender.Send(c.record)) << c.what;
        EXPECT_EQ("13", sender.ReadExactly(2)) << c.what;
    }
    // Records are handled in turn: a refused record that had been started
    // would have been started before this one.
    const std::string accepted = start + "\"accepted\"";
    traytest::Client sender(port_);
    ASSERT_TRUE(sender.Connected() && sender.Send("KODRA|" + std::to_string(accepted.size()) + "|" + accepted + "|"));
    ASSERT_EQ("0", sender.ReadExactly(1));
    ASSERT_TRUE(testlib::WaitFor([] { return !testlib::ReadRecorderLog(log_).empty(); }));
    const std::vector<testlib::RecordedStart> starts = testlib::ReadRecorderLog(log_);
    ASSERT_EQ(1u, starts.size());
    EXPECT_NE(std::string::npos, starts[0].cmd.find("accepted"));
}

class TrayAbuse : public RealTray, public ::testing::WithParamInterface<Abuse> {};

TEST_P(TrayAbuse, ARecordIsAnsweredAndStartedWithinTwoSeconds)
{
    Abusers abusers(GetParam(), static_cast<unsigned short>(port_));
    ASSERT_TRUE(abusers.Connected());
    if (GetParam().kind == AbuseKind::Trickle) {
        ASSERT_TRUE(testlib::WaitFor([&] { return abusers.TrickleRounds() >= 2; }));
    }

    std::string times;
    for (int round = 0; round < 3; ++round) {
        double reply = 0, start = 0;
        ASSERT_TRUE(TimeRecord(&reply, &start)) << "round " << round;
        EXPECT_LT(start, kWithinMs) << "round " << round;
        times += " " + std::to_string(static_cast<int>(reply)) + "/" +
                 std::to_string(static_cast<int>(start));
    }
    std::cout << GetParam().name << ": replied/started after" << times << " ms" << std::endl;
}

INSTANTIATE_TEST_SUITE_P(Abusers, TrayAbuse, ::testing::ValuesIn(kAbuses),
                         [](const ::testing::TestParamInfo<Abuse>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
