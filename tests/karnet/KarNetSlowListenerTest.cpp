// A listener that takes its time over a record, as a tray whose program is
// slow to start on a busy machine: every record it reads as one, however it is
// spelt, is kept while the listener is busy with another sender and answered
// however late the reply comes.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "KarNetApi.h"

namespace {

const DWORD kBusyMs = 4000;     // longer than the stall rule's 3 s
const DWORD kReplyMs = 30000;   // three times the 10 s a sender read in pieces is kept

// Every spelling of a record that the tray answers, as a sender may send it.
const char* const kSpellings[] = {
    "KODRA|5|hello|",
    "kodra|5|hello|",
    "xyz|KODRA|5|hello|",
    " kodra | 5 | hello |",
    "KODRA|5| hello|",
    "|KODRA|5|hello|",
    "a first field of more than sixty-three characters, which is no tag|KODRA|5|hello|",
    "KODRA|3|a|b|KODRA|5|hello|",
    "KODRA|5|hello|KODRA|5|world|",
};

// Sleeps until the given tick count.
void SleepUntil(DWORD tick)
{
    const DWORD now = GetTickCount();
    if (static_cast<int>(tick - now) > 0) Sleep(tick - now);
}

// Each spelling has a listening end of its own, so that all wait out the same
// slow listener together: it reads a first sender's record, and while it is
// busy with it a second sender sends the spelling.
TEST(KarNetSlowListener, EverySpellingIsKeptWhileItIsBusyAndItsLateReplyArrives)
{
    struct Port {
        std::string spelling;
        unsigned short number = 0;
        NetConHandle listener = 0;
        RawPeer first;
        RawPeer second;
    };
    KarNetApi api;
    std::vector<std::unique_ptr<Port>> ports;
    for (const char* spelling : kSpellings) {
        ports.push_back(std::make_unique<Port>());
        Port& p = *ports.back();
        p.spelling = spelling;
        p.number = FreePort();
        p.listener = api.Open(ListenAddress(p.number).c_str());
        ASSERT_NE(p.listener, 0u) << spelling;
        ASSERT_TRUE(p.first.Connect("127.0.0.1", p.number)) << spelling;
        ASSERT_TRUE(p.first.Send("KODRA|1|a|")) << spelling;
        ASSERT_EQ(api.ReadAll(p.listener, 10), "KODRA|1|a|") << spelling;
    }
    const DWORD busySince = GetTickCount();
    Sleep(200);
    for (auto& p : ports) {
        ASSERT_TRUE(p->second.Connect("127.0.0.1", p->number)) << p->spelling;
        ASSERT_TRUE(p->second.Send(p->spelling)) << p->spelling;
    }
    SleepUntil(busySince + kBusyMs);

    for (auto& p : ports) {
        EXPECT_EQ(api.WriteData(p->listener, "0", 1, nullptr), 1) << p->spelling;
        EXPECT_EQ(p->first.Receive(1), "0") << p->spelling;
        EXPECT_EQ(api.ReadAll(p->listener, p->spelling.size(), 1000), p->spelling);
    }
    Sleep(kReplyMs);
    for (auto& p : ports) {
        EXPECT_EQ(api.WriteData(p->listener, "1", 1, nullptr), 1) << p->spelling;
        EXPECT_EQ(p->second.Receive(1), "1") << p->spelling;
        EXPECT_EQ(api.Close(p->listener), 1);
    }
}

}  // namespace
