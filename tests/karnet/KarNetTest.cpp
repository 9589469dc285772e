// KarNet.dll over real loopback sockets.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <functional>
#include <thread>
#include <vector>

#include "AllocationRefusal.h"
#include "KarNetApi.h"
#include "testlib.h"

namespace {

const DWORD kAnswerMs = 10000;  // how long the sender read last is kept for its reply

class KarNet : public ::testing::Test {
protected:
    void SetUp() override
    {
        port = FreePort();
        listener = api.Open(ListenAddress(port).c_str());
        ASSERT_NE(listener, 0u);
    }
    void TearDown() override
    {
        if (listener) api.Close(listener);
    }

    // One read of the listening end; the bytes of one sender.
    std::string ReadOnce(uint32_t size = 4095)
    {
        if (!api.WaitData(listener)) return "(no data)";
        std::string buffer(size, '\0');
        uint32_t count = 0;
        if (!api.ReadData(listener, &buffer[0], size, &count)) return "(read failed)";
        buffer.resize(count);
        return buffer;
    }
    int Reply(const std::string& text)
    {
        uint32_t written = 0;
        return api.WriteData(listener, text.data(), static_cast<uint32_t>(text.size()), &written);
    }

    KarNetApi api;
    unsigned short port = 0;
    NetConHandle listener = 0;
};

TEST_F(KarNet, RecordAndReplyTravelAsRawBytes)
{
    NetConHandle sender = api.Open(ConnectAddress(port).c_str());
    ASSERT_NE(sender, 0u);
    const std::string record = "KODRA|5|hello|";
    uint32_t written = 99;
    EXPECT_EQ(api.WriteData(sender, record.data(), static_cast<uint32_t>(record.size()), &written), 1);
    EXPECT_EQ(written, record.size());

    EXPECT_EQ(ReadOnce(), record);
    uint32_t flags = 0;
    EXPECT_EQ(api.Status(listener, &flags, 0), 1);
    EXPECT_EQ(flags, uint32_t(NETCON_USABLE));
    EXPECT_EQ(Reply("0"), 1);
    EXPECT_EQ(api.ReadAll(sender, 1), "0");
    EXPECT_EQ(api.Close(sender), 1);
}

TEST_F(KarNet, ListensOnTheLoopbackAddressAloneAndExclusively)
{
    RawPeer loopback;
    EXPECT_TRUE(loopback.Connect("127.0.0.1", port));
    RawPeer otherAddress;
    EXPECT_FALSE(otherAddress.Connect("127.0.0.2", port));
    EXPECT_EQ(api.Open(ListenAddress(port).c_str()), 0u);
    EXPECT_EQ(api.Open(("tcp:" + std::to_string(port) + "@127.0.0.1").c_str()), 0u);
}

TEST_F(KarNet, AddressTexts)
{
    unsigned short p = FreePort();
    std::string ps = std::to_string(p);
    struct Case {
        std::string address;
        bool opens;
    } cases[] = {
        {"tcp:" + ps + "@LocalHost", true},
        {"tcp:" + ps + "@127.0.0.1", true},
        {"tcp:0" + ps + "@localhost", true},
        {"tcp:0@localhost", false},
        {"tcp:65536@localhost", false},
        {"tcp:4294967297@localhost", false},
        {"tcp:-5@localhost", false},
        {"tcp:+5000@localhost", false},
        {"tcp: 5000@localhost", false},
        {"tcp:50a0@localhost", false},
        {"tcp:@localhost", false},
        {"tcp:" + ps + "@", false},
        {"tcp:" + ps, false},
        {"tcp:" + ps + "@0.0.0.0", false},
        {"tcp:" + ps + "@10.1.2.3", false},
        {"tcp:" + ps + "@127.1", false},
        {"tcp:" + ps + "@example.invalid", false},
        {"TCP:" + ps + "@localhost", false},
        {"udp:" + ps + "@localhost", false},
        {"", false},
        {"tcp-127.0.0.1:0", false},
        {"tcp-127.0.0.1:70000", false},
        {"tcp-127.0.0.1:", false},
        {"tcp-127.0.0.1", false},
        {"tcp-:" + std::to_string(port), false},
        {"tcp-127.0.0.256:" + std::to_string(port), false},
        {"tcp-0127.0.0.1:" + std::to_string(port), false},
        {"tcp-127.0.0.1:" + std::to_string(port), true},
        {"tcp-localhost:" + std::to_string(port), true},
    };
    for (const Case& c : cases) {
        NetConHandle h = api.Open(c.address.c_str());
        EXPECT_EQ(h != 0, c.opens) << c.address;
        if (h) {
            EXPECT_EQ(api.Close(h), 1);
        } else {
            EXPECT_NE(api.LastError(), 0u) << c.address;
        }
    }
    EXPECT_EQ(api.Open(nullptr), 0u);
    EXPECT_EQ(api.Open(ConnectAddress(p).c_str()), 0u) << "nothing listens there";
}

TEST_F(KarNet, TwoSendersEachGetTheirOwnReply)
{
    RawPeer a, b;
    ASSERT_TRUE(a.Connect("127.0.0.1", port));
    ASSERT_TRUE(b.Connect("127.0.0.1", port));
    const std::string fromA(3000, 'a'), fromB(2000, 'b');
    ASSERT_TRUE(a.Send(fromA));
    ASSERT_TRUE(b.Send(fromB));

    std::string gotA, gotB, repliesForA, repliesForB;
    while (gotA.size() < fromA.size() || gotB.size() < fromB.size()) {
        std::string chunk = ReadOnce();
        ASSERT_FALSE(chunk.empty());
        ASSERT_EQ(chunk.find_first_not_of(chunk[0]), std::string::npos) << "one sender per read";
        ASSERT_TRUE(chunk[0] == 'a' || chunk[0] == 'b') << chunk.substr(0, 20);
        (chunk[0] == 'a' ? gotA : gotB) += chunk;
        std::string reply = std::string("to-") + chunk[0];
        (chunk[0] == 'a' ? repliesForA : repliesForB) += reply;
        ASSERT_EQ(Reply(reply), 1);
    }
    EXPECT_EQ(gotA, fromA);
    EXPECT_EQ(gotB, fromB);
    EXPECT_EQ(a.Receive(repliesForA.size()), repliesForA);
    EXPECT_EQ(b.Receive(repliesForB.size()), repliesForB);
}

TEST_F(KarNet, AReadNeverWritesPastItsBuffer)
{
    RawPeer sender;
    ASSERT_TRUE(sender.Connect("127.0.0.1", port));
    std::string data;
    for (int i = 0; i < 10000; ++i) data += static_cast<char>('A' + i % 26);
    ASSERT_TRUE(sender.Send(data));

    std::string got;
    while (got.size() < data.size()) {
        ASSERT_TRUE(api.WaitData(listener));
        const uint32_t size = 4095;
        std::unique_ptr<char[]> buffer(new char[size + 64]);
        memset(buffer.get(), 0x5A, size + 64);
        uint32_t count = 0;
        ASSERT_EQ(api.ReadData(listener, buffer.get(), size, &count), 1);
        ASSERT_LE(count, size);
        for (uint32_t i = size; i < size + 64; ++i) ASSERT_EQ(buffer[i], 0x5A) << "guard byte " << i;
        got.append(buffer.get(), count);
    }
    EXPECT_EQ(got, data);
}

TEST_F(KarNet, AnHttpRequestIsDroppedUnannounced)
{
    RawPeer web;
    ASSERT_TRUE(web.Connect("127.0.0.1", port));
    ASSERT_TRUE(web.Send("POST / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n|KODRA|5|calc.|"));
    RawPeer slow;
    ASSERT_TRUE(slow.Connect("127.0.0.1", port));
    ASSERT_TRUE(slow.Send("GE"));
    EXPECT_TRUE(web.SeesClose());

    ASSERT_TRUE(slow.Send("T /x HTTP/1.0\r\n\r\n"));
    EXPECT_TRUE(slow.SeesClose());

    RawPeer sender;
    ASSERT_TRUE(sender.Connect("127.0.0.1", port));
    ASSERT_TRUE(sender.Send("KODRA|5|hello|"));
    EXPECT_EQ(ReadOnce(), "KODRA|5|hello|");
}

TEST_F(KarNet, APrefixOfARequestLineThatEndsIsDelivered)
{
    RawPeer sender;
    ASSERT_TRUE(sender.Connect("127.0.0.1", port));
    ASSERT_TRUE(sender.Send("GET"));
    sender.ShutdownSend();
    EXPECT_EQ(ReadOnce(), "GET");
    EXPECT_EQ(Reply("13"), 1);
    EXPECT_EQ(sender.Receive(2), "13");
}

TEST_F(KarNet, APeerThatNeverReadsCannotBlockTheListener)
{
    RawPeer stuck;
    stuck.SetReceiveBuffer(4096);
    ASSERT_TRUE(stuck.Connect("127.0.0.1", port));
    ASSERT_TRUE(stuck.Send("x"));
    ASSERT_EQ(ReadOnce(), "x");

    const std::string flood(64 * 1024 * 1024, 'f');
    uint32_t written = 0;
    DWORD begin = GetTickCount();
    EXPECT_EQ(api.WriteData(listener, flood.data(), static_cast<uint32_t>(flood.size()), &written), 0);
    EXPECT_LT(written, flood.size());
    EXPECT_LT(GetTickCount() - begin, 10000u);
    EXPECT_EQ(Reply("again"), 0) << "the stuck peer was dropped";

    RawPeer next;
    ASSERT_TRUE(next.Connect("127.0.0.1", port));
    ASSERT_TRUE(next.Send("KODRA|1|a|"));
    EXPECT_EQ(ReadOnce(), "KODRA|1|a|");
    EXPECT_EQ(Reply("0"), 1);
    EXPECT_EQ(next.Receive(1), "0");
}

TEST_F(KarNet, StaleAndClosedHandlesFailCleanly)
{
    NetConHandle sender = api.Open(ConnectAddress(port).c_str());
    ASSERT_NE(sender, 0u);
    ASSERT_EQ(api.Close(sender), 1);
    char buffer[16];
    uint32_t count = 7, flags = 7;
    for (NetConHandle h : {NetConHandle(0), sender, NetConHandle(0xDEADBEEF)}) {
        EXPECT_EQ(api.Status(h, &flags, 0), 0);
        EXPECT_EQ(flags, 0u);
        EXPECT_EQ(api.ReadData(h, buffer, sizeof buffer, &count), 0);
        EXPECT_EQ(count, 0u);
        EXPECT_EQ(api.WriteData(h, "x", 1, &count), 0);
        EXPECT_EQ(api.Close(h), 0);
        EXPECT_EQ(api.Disconnect(h), 0);
        EXPECT_EQ(api.LastError(), uint32_t(ERROR_INVALID_HANDLE));
    }
    EXPECT_EQ(api.Status(listener, nullptr, 0), 0);
    EXPECT_EQ(api.ReadData(listener, nullptr, 10, &count), 0);
    EXPECT_EQ(api.WriteData(listener, "x", 1, nullptr), 0) << "nobody has sent yet";
    NetConHandle again = api.Open(ConnectAddress(port).c_str());
    EXPECT_NE(again, sender) << "a closed handle is not given out again";
    api.Close(again);
}

TEST_F(KarNet, AConnectionEndsWhenTheListenerCloses)
{
    NetConHandle sender = api.Open(ConnectAddress(port).c_str());
    ASSERT_NE(sender, 0u);
    ASSERT_EQ(api.WriteData(sender, "hi", 2, nullptr), 1);
    ASSERT_EQ(ReadOnce(), "hi");
    ASSERT_EQ(Reply("bye"), 1);
    ASSERT_EQ(api.Close(listener), 1);
    listener = 0;

    EXPECT_EQ(api.ReadAll(sender, 3), "bye");
    EXPECT_TRUE(testlib::WaitFor([&] {
        uint32_t flags = 0;
        return api.Status(sender, &flags, 0) == 1 && flags == 0;
    }));
    char buffer[8];
    uint32_t count = 0;
    EXPECT_EQ(api.ReadData(sender, buffer, sizeof buffer, &count), 0);
    api.Close(sender);

    listener = api.Open(ListenAddress(port).c_str());
    EXPECT_NE(listener, 0u) << "the port is free again once closed";
}

TEST_F(KarNet, SendersThatCloseAreReaped)
{
    for (int i = 0; i < 300; ++i) {
        RawPeer sender;
        ASSERT_TRUE(sender.Connect("127.0.0.1", port));
        ASSERT_TRUE(sender.Send("r"));
        sender.ShutdownSend();
        ASSERT_EQ(ReadOnce(), "r") << "round " << i;
    }
}

// A sender without a record is dropped after a few seconds; one whose
// record waits unread, or whose record was read and awaits its reply, is not.
TEST_F(KarNet, WhatTheListenerOwesASenderOutlivesTheStallRule)
{
    RawPeer answered, waiting, silent;
    ASSERT_TRUE(answered.Connect("127.0.0.1", port));
    ASSERT_TRUE(answered.Send("KODRA|1|a|"));
    ASSERT_EQ(ReadOnce(), "KODRA|1|a|");
    ASSERT_TRUE(waiting.Connect("127.0.0.1", port));
    ASSERT_TRUE(waiting.Send("KODRA|1|w|"));
    ASSERT_TRUE(silent.Connect("127.0.0.1", port));

    // The last to come: once it is dropped, the others' time has passed as well.
    EXPECT_TRUE(silent.SeesClose(10000)) << "the silent sender stalled";
    EXPECT_EQ(Reply("0"), 1);
    EXPECT_EQ(answered.Receive(1), "0");
    EXPECT_EQ(ReadOnce(), "KODRA|1|w|");
    EXPECT_EQ(Reply("1"), 1);
    EXPECT_EQ(waiting.Receive(1), "1");
}

// The listener's time to answer the sender it read last runs from the first
// read: though a lone trickler is the one read last, again and again, it goes
// once that time is over.
TEST_F(KarNet, ALoneSenderReadOnlyInPiecesIsDroppedAlthoughReadLast)
{
    RawPeer trickler;
    ASSERT_TRUE(trickler.Connect("127.0.0.1", port));
    ASSERT_TRUE(trickler.Send("KODRA|9|"));
    const DWORD begin = GetTickCount();
    bool dropped = false;
    while (!dropped && GetTickCount() - begin < kAnswerMs + 5000) {
        ASSERT_TRUE(trickler.Send("x") || trickler.SeesClose(1000));
        ReadOnce();
        dropped = trickler.SeesClose(300);
    }
    EXPECT_TRUE(dropped);
}

// A sender that ended its sending with a piece is owed at most what the
// listener answers within its time to answer: it goes when that time ends,
// though it is still the one read last.
TEST_F(KarNet, ASenderThatEndedWithAPieceGoesWhenTheTimeToAnswerItEnds)
{
    RawPeer piece;
    ASSERT_TRUE(piece.Connect("127.0.0.1", port));
    ASSERT_TRUE(piece.Send("KOD"));
    piece.ShutdownSend();
    ASSERT_EQ(ReadOnce(), "KOD");
    ASSERT_EQ(Reply("13"), 1);
    EXPECT_EQ(piece.Receive(2), "13");
    EXPECT_TRUE(piece.SeesClose(kAnswerMs + 2000));
}

// Each reply to a sender read in pieces gives the listener its full time to
// answer again, as the replies to a batch follow one another.
TEST_F(KarNet, AWriteRenewsTheTimeToAnswer)
{
    RawPeer piece;
    ASSERT_TRUE(piece.Connect("127.0.0.1", port));
    ASSERT_TRUE(piece.Send("KOD"));
    ASSERT_EQ(ReadOnce(), "KOD");
    // The first reply within the time from the read, the second past it but
    // within the time from the first.
    Sleep(kAnswerMs * 6 / 10);
    EXPECT_EQ(Reply("1"), 1);
    EXPECT_EQ(piece.Receive(1), "1");
    Sleep(kAnswerMs * 6 / 10);
    EXPECT_EQ(Reply("2"), 1);
    EXPECT_EQ(piece.Receive(1), "2");
}

TEST_F(KarNet, TheEntriesNobodyCalls)
{
    EXPECT_EQ(api.Open2(ListenAddress(port).c_str(), 1), 0u);
    EXPECT_EQ(api.LastError(), uint32_t(ERROR_INVALID_PARAMETER));
    NetConHandle sender = api.Open2(ConnectAddress(port).c_str(), 0);
    ASSERT_NE(sender, 0u);
    uint32_t written = 5;
    EXPECT_EQ(api.WriteDataTo(sender, ConnectAddress(port).c_str(), "x", 1, &written), 0);
    EXPECT_EQ(written, 0u);

    ASSERT_EQ(api.WriteData(sender, "one", 3, nullptr), 1);
    ASSERT_TRUE(api.WaitData(listener));
    char buffer[16], from[NETCON_PEER_TEXT];
    uint32_t count = 0;
    ASSERT_EQ(api.ReadDataFrom(listener, buffer, sizeof buffer, &count, from, sizeof from), 1);
    EXPECT_EQ(std::string(buffer, count), "one");
    EXPECT_EQ(std::string(from).rfind("tcp-127.0.0.1:", 0), 0u) << from;

    RawPeer other;
    ASSERT_TRUE(other.Connect("127.0.0.1", port));
    ASSERT_TRUE(other.Send("two"));
    ASSERT_EQ(ReadOnce(), "two");
    EXPECT_EQ(api.BroadcastData(listener, "all", 3), 1);
    EXPECT_EQ(other.Receive(3), "all");
    EXPECT_EQ(api.ReadAll(sender, 3), "all");

    EXPECT_EQ(api.Disconnect(listener), 1);
    EXPECT_TRUE(other.SeesClose());
    EXPECT_EQ(Reply("late"), 0);
    EXPECT_EQ(api.Disconnect(sender), 1);
    uint32_t flags = 9;
    EXPECT_EQ(api.Status(sender, &flags, 0), 1);
    EXPECT_EQ(flags & NETCON_USABLE, 0u);
    api.Close(sender);
}

// Once memory is there again, the library works as before: a sender is served
// on the listening end, and both close.
void ExpectServedAndClose(KarNetApi& api, NetConHandle listener, unsigned short port)
{
    NetConHandle sender = api.Open(ConnectAddress(port).c_str());
    ASSERT_NE(sender, 0u);
    EXPECT_EQ(api.WriteData(sender, "ok", 2, nullptr), 1);
    EXPECT_EQ(api.ReadAll(listener, 2), "ok");
    EXPECT_EQ(api.Close(sender), 1);
    EXPECT_EQ(api.Close(listener), 1);
}

void ExpectServedAndClose(KarNetApi& api)
{
    const unsigned short port = FreePort();
    NetConHandle listener = api.Open(ListenAddress(port).c_str());
    ASSERT_NE(listener, 0u);
    ExpectServedAndClose(api, listener, port);
}

// The library copies the address text: a text larger than any block the heap
// has left makes that copy fail, which the entry reports instead of throwing.
void ExpectRefusedAtTheAddressCopy(KarNetApi& api)
{
    const size_t refusedFrom = 1 << 20;
    const std::string address =
        "tcp:" + std::to_string(FreePort()) + "@" + std::string(refusedFrom, 'a');
    const struct {
        const char* entry;
        std::function<NetConHandle()> open;
    } cases[] = {
        {"NetConOpen", [&] { return api.Open(address.c_str()); }},
        {"NetConOpen2", [&] { return api.Open2(address.c_str(), 0); }},
    };
    for (const auto& c : cases) {
        NetConHandle handle = 0;
        uint32_t error = 0;
        {
            AllocationRefusal refusal(api.module, refusedFrom);
            ASSERT_TRUE(refusal.Active());
            handle = c.open();
            error = api.LastError();
        }
        EXPECT_EQ(handle, 0u) << c.entry;
        EXPECT_EQ(error, uint32_t(ERROR_NOT_ENOUGH_MEMORY)) << c.entry;
    }
}

// The library's runtime makes some of its state at first use: each thread's
// error code and exception state, and the lock of the reserve it throws from
// when the heap has no room for an exception. A first exception with only a
// huge block refused makes the thread's state (at 64 bits a block of 64 bytes
// or more among it), then a refusal of the larger blocks alone sends the next
// exception to the reserve, as on a machine that runs at all; after both, a
// refusal of every block meets only the library's own steps.
void LetTheRuntimeMakeItsState(KarNetApi& api)
{
    ExpectRefusedAtTheAddressCopy(api);
    AllocationRefusal refusal(api.module, 64);
    ASSERT_TRUE(refusal.Active());
    EXPECT_EQ(api.Open(ListenAddress(FreePort()).c_str()), 0u);
    EXPECT_EQ(api.LastError(), uint32_t(ERROR_NOT_ENOUGH_MEMORY));
}

// What a failed call may have left behind (a handle, the library's thread)
// keeps the library loaded once its user lets go of it.
bool LibraryLoaded() { return GetModuleHandleA((testlib::InstallDir() + "\\KarNet.dll").c_str()) != nullptr; }

// The heap runs out at each of an open's allocations in turn, up to its last,
// the insertion of the new handle: the open fails every time and leaves nothing
// held. Each is refused more often than the library has handles, so a refused
// open that kept a handle's place would make a later one fail.
TEST(KarNetMemory, AnOpenWithoutMemoryFailsAndLeavesNothingHeld)
{
    ASSERT_FALSE(LibraryLoaded()) << "the test needs the library loaded afresh";
    const unsigned short port = FreePort();
    const std::string address = ListenAddress(port);
    bool refused = true;
    for (unsigned served = 0; refused; ++served) {
        {
            KarNetApi api;
            LetTheRuntimeMakeItsState(api);
            for (int round = 0; round < 300 && refused; ++round) {
                NetConHandle handle = 0;
                uint32_t error = 0;
                {
                    AllocationRefusal refusal(api.module, 1, served);
                    ASSERT_TRUE(refusal.Active());
                    handle = api.Open(address.c_str());
                    error = api.LastError();
                    refused = refusal.Refused() > 0;
                }
                if (refused) {
                    ASSERT_EQ(handle, 0u) << "allocation " << served << ", round " << round;
                    ASSERT_EQ(error, uint32_t(ERROR_NOT_ENOUGH_MEMORY))
                        << "allocation " << served << ", round " << round;
                } else {
                    ASSERT_NE(handle, 0u) << "all " << served << " allocations served, round "
                                          << round << ", error " << error;
                    ExpectServedAndClose(api, handle, port);
                }
            }
        }
        ASSERT_FALSE(LibraryLoaded()) << "allocation " << served;
    }
}

// The heap runs out as a close has found its handle: the close fails and the
// handle stays open and usable; once memory is there, it closes.
TEST(KarNetMemory, ACloseWithoutMemoryFailsAndLeavesTheHandleOpen)
{
    ASSERT_FALSE(LibraryLoaded()) << "the test needs the library loaded afresh";
    {
        KarNetApi api;
        LetTheRuntimeMakeItsState(api);
        const unsigned short port = FreePort();
        NetConHandle listener = api.Open(ListenAddress(port).c_str());
        ASSERT_NE(listener, 0u);
        unsigned refusedCloses = 0;
        for (unsigned served = 0;; ++served) {
            int closed = 0;
            uint32_t error = 0;
            bool refused = false;
            {
                AllocationRefusal refusal(api.module, 1, served);
                ASSERT_TRUE(refusal.Active());
                closed = api.Close(listener);
                error = api.LastError();
                refused = refusal.Refused() > 0;
            }
            if (!refused) {
                EXPECT_EQ(closed, 1);
                break;
            }
            ++refusedCloses;
            ASSERT_EQ(closed, 0) << "allocation " << served;
            ASSERT_EQ(error, uint32_t(ERROR_NOT_ENOUGH_MEMORY)) << "allocation " << served;
            uint32_t flags = 0;
            ASSERT_EQ(api.Status(listener, &flags, 0), 1) << "allocation " << served;
            RawPeer sender;
            ASSERT_TRUE(sender.Connect("127.0.0.1", port));
            ASSERT_TRUE(sender.Send("still open"));
            ASSERT_EQ(api.ReadAll(listener, 10), "still open");
        }
        EXPECT_GE(refusedCloses, 1u) << "no close was refused after its lookup";
        ExpectServedAndClose(api);
    }
    EXPECT_FALSE(LibraryLoaded());
}

// Neither taking a sender's bytes in nor reading them allocates for the queue
// of senders to read, and a read takes bytes only once nothing can fail: with
// no block left of the size that queue grows by, 70 senders' records arrive and
// are read in turn, the queue passing every size from 0 to 70 and back for the
// first time, and not one is lost; each reply reaches the sender read last.
TEST(KarNetMemory, ArrivalsAndReadsWithoutMemoryLoseNothing)
{
    KarNetApi api;
    const unsigned short port = FreePort();
    const unsigned short otherPort = FreePort();
    const NetConHandle listener = api.Open(ListenAddress(port).c_str());
    const NetConHandle other = api.Open(ListenAddress(otherPort).c_str());
    ASSERT_NE(listener, 0u);
    ASSERT_NE(other, 0u);
    // Each record names its sender. Senders of three records come first, then
    // those of two, then those of one: read in turn, the queue shrinks to 64
    // and to 32 with a sender to queue again at its head.
    const int kSenders = 70;
    auto record = [](int i) {
        char text[8];
        snprintf(text, sizeof text, "K|2|%02d|", i);
        return std::string(text);
    };
    auto records = [](int i) { return i < 32 ? 3 : i < 64 ? 2 : 1; };
    std::vector<int> read(kSenders, 0);
    auto readOne = [&] {
        char buffer[7];
        uint32_t count = 0;
        if (!api.WaitData(listener) || !api.ReadData(listener, buffer, sizeof buffer, &count)) return false;
        const std::string got(buffer, count);
        const int i = count == sizeof buffer ? (got[4] - '0') * 10 + (got[5] - '0') : -1;
        if (i < 0 || i >= kSenders || got != record(i)) return false;
        ++read[i];
        return api.WriteData(listener, "r", 1, nullptr) == 1;
    };
    // The library takes in what arrived for every listening end at once: once
    // a record sent later to the other one is announced, all that came before
    // was taken in.
    auto takenIn = [&] {
        RawPeer marker;
        return marker.Connect("127.0.0.1", otherPort) && marker.Send("K|0||") &&
               api.ReadAll(other, 5) == "K|0||";
    };

    // All connect while memory is there, the listening end has room for them,
    // and none has sent yet: the queue has never held a sender.
    std::vector<std::unique_ptr<RawPeer>> senders;
    for (int i = 0; i < kSenders; ++i) {
        senders.push_back(std::make_unique<RawPeer>());
        ASSERT_TRUE(senders.back()->Connect("127.0.0.1", port));
    }
    ASSERT_TRUE(takenIn());
    {
        // Sized so that the senders' bytes and the marker still fit.
        AllocationRefusal refusal(api.module, 512);
        ASSERT_TRUE(refusal.Active());
        int total = 0;
        for (int i = 0; i < kSenders; ++i) {
            std::string sent;
            for (int k = 0; k < records(i); ++k) sent += record(i);
            ASSERT_TRUE(senders[i]->Send(sent));
            total += records(i);
        }
        ASSERT_TRUE(takenIn());
        for (int r = 0; r < total; ++r) ASSERT_TRUE(readOne()) << "read " << r;
    }
    for (int i = 0; i < kSenders; ++i) {
        EXPECT_EQ(read[i], records(i)) << "sender " << i;
        EXPECT_EQ(senders[i]->Receive(static_cast<size_t>(read[i])), std::string(static_cast<size_t>(read[i]), 'r'))
            << "sender " << i;
    }
    EXPECT_EQ(api.Close(other), 1);
    EXPECT_EQ(api.Close(listener), 1);
}

// The library's own thread takes in what senders send: one whose bytes it
// has no room for is dropped, and the listening end serves the next as before.
TEST(KarNetMemory, ASenderWithoutRoomForItsBytesIsDroppedAndTheListenerGoesOn)
{
    KarNetApi api;
    const unsigned short port = FreePort();
    NetConHandle listener = api.Open(ListenAddress(port).c_str());
    ASSERT_NE(listener, 0u);
    {
        AllocationRefusal refusal(api.module, 4096);
        ASSERT_TRUE(refusal.Active());
        RawPeer refused;
        ASSERT_TRUE(refused.Connect("127.0.0.1", port));
        ASSERT_TRUE(refused.Send(std::string(16384, 'x')));
        EXPECT_TRUE(refused.SeesClose());
    }
    ExpectServedAndClose(api, listener, port);
}

TEST(KarNetLifecycle, OpenCloseRoundsFromSeveralThreads)
{
    KarNetApi api;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&api] {
            for (int i = 0; i < 50; ++i) {
                unsigned short port = FreePort();
                NetConHandle l = api.Open(ListenAddress(port).c_str());
                NetConHandle c = l ? api.Open(ConnectAddress(port).c_str()) : 0;
                if (c) api.WriteData(c, "x", 1, nullptr);
                if (c) api.Close(c);
                if (l) api.Close(l);
            }
        });
    }
    for (auto& t : threads) t.join();
    unsigned short port = FreePort();
    NetConHandle l = api.Open(ListenAddress(port).c_str());
    ASSERT_NE(l, 0u);
    NetConHandle c = api.Open(ConnectAddress(port).c_str());
    ASSERT_NE(c, 0u);
    EXPECT_EQ(api.WriteData(c, "ok", 2, nullptr), 1);
    EXPECT_EQ(api.ReadAll(l, 2), "ok");
    api.Close(c);
    api.Close(l);
}

}  // namespace
