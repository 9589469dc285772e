// The transport library. One reactor thread per process waits in select() on
// every socket and moves arriving bytes into per-sender inboxes, and publishes
// each handle's flags in a slot that NetConStatus reads without lock or system
// call: the tray polls it every millisecond. The thread runs while any handle is open.
// It also enforces the sender rules of KarNet.h; with no sender to watch it
// waits without a time-out, so an idle listener costs nothing here.
// Room for every listening end, every sender and the waker in one select().
#define FD_SETSIZE 1024
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include "KarNet.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "MessageRecord.h"
#include "NetConAddress.h"
#include "UniqueSocket.h"

namespace {

const size_t kInboxLimit = 64 * 1024;  // per sender; beyond it the sender waits in TCP
const size_t kMaxPeers = 256;          // all senders of all listening ends together
const DWORD kStallMs = 3000;           // a sender owed nothing is dropped after it
const DWORD kAnswerMs = 10000;         // the sender read last without a record is kept this long
const DWORD kQuietMs = 200;            // a sender this long without a byte has sent what it will
const DWORD kWriteTimeoutMs = 2000;    // a peer that does not read is dropped after it
const DWORD kConnectTimeoutMs = 5000;
const unsigned kSlotBits = 8;          // a handle is a serial number and its slot
const unsigned kSlots = 1u << kSlotBits;

thread_local DWORD t_lastError = 0;

int Fail(DWORD code)
{
    t_lastError = code;
    return 0;
}

// Every entry's body runs in here: an exception ends in the entry's failure
// result, its cause kept as the thread's last error.
template <typename Body>
auto Guarded(Body body) noexcept -> decltype(body())
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    } catch (...) {
        return Fail(ERROR_INTERNAL_ERROR);
    }
}

class Section {
public:
    Section() { InitializeCriticalSection(&cs_); }
    ~Section() { DeleteCriticalSection(&cs_); }
    void Enter() { EnterCriticalSection(&cs_); }
    void Leave() { LeaveCriticalSection(&cs_); }

private:
    CRITICAL_SECTION cs_;
};

class Hold {
public:
    explicit Hold(Section& s) : s_(s) { s_.Enter(); }
    ~Hold() { s_.Leave(); }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

private:
    Section& s_;
};

bool SetNonBlocking(SOCKET s)
{
    u_long on = 1;
    return ioctlsocket(s, FIONBIO, &on) == 0;
}

struct Peer {
    UniqueSocket sock;
    std::string inbox;
    bool announced = false;  // its first bytes were checked
    bool queued = false;     // in its endpoint's ready queue
    bool ended = false;      // the other side stopped sending, or the socket failed
    bool broken = false;     // to be dropped
    bool holdsRecord = false;  // its unread bytes hold a record
    size_t recordScan = 0;     // where the look for a record in its unread bytes goes on
    DWORD lastActive = 0;    // its last byte arrived or the listener last read it
    DWORD lastByte = 0;
    DWORD lastProgress = 0;  // it connected or the listener read a record of it
    bool readFrom = false;   // the listener has had bytes of it
    DWORD answerSince = 0;   // the first read of it, or the last read of a record or write to it
    char address[NETCON_PEER_TEXT] = "";
    Peer() = default;
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;
};
typedef std::shared_ptr<Peer> PeerPtr;

struct Endpoint {
    bool listening = false;
    unsigned slot = 0;
    UniqueSocket listener;
    std::vector<PeerPtr> peers;    // a connection has exactly one
    // Senders with announced bytes, oldest first. A listening end reserves room
    // for every sender when it opens: queueing one never allocates, so neither
    // taking bytes in nor reading them can fail half-way and lose them.
    std::vector<PeerPtr> ready;
    PeerPtr lastRead;              // where a write on a listening end goes
    bool lastReadRecord = false;   // that read held a record
    Endpoint() = default;
    Endpoint(const Endpoint&) = delete;
    Endpoint& operator=(const Endpoint&) = delete;
};
typedef std::shared_ptr<Endpoint> EndpointPtr;

// g_state guards everything below it (the slots are written under it and read
// without it); g_life serialises opening, closing and the reactor's start and
// stop, which may wait.
Section g_state;
Section g_life;
std::map<NetConHandle, EndpointPtr> g_endpoints;
uint32_t g_nextSerial = 1;

// What NetConStatus reads: the handle that owns the slot and its current flags.
struct StatusSlot {
    std::atomic<NetConHandle> handle{0};
    std::atomic<uint32_t> flags{0};
};
StatusSlot g_slots[kSlots];
size_t g_peerCount = 0;
std::vector<EndpointPtr> g_retired;
unsigned g_retireAsked = 0;
unsigned g_retireDone = 0;
bool g_stopReactor = false;
UniqueKernelHandle g_reactor;
unsigned g_installs = 0;
UniqueSocket g_waker;
sockaddr_in g_wakerAddress;

void Wake()
{
    if (!g_waker) return;
    char byte = 0;
    sendto(g_waker.Get(), &byte, 1, 0, reinterpret_cast<const sockaddr*>(&g_wakerAddress),
           sizeof g_wakerAddress);
}

EndpointPtr Find(NetConHandle handle)
{
    auto it = g_endpoints.find(handle);
    return it == g_endpoints.end() ? EndpointPtr() : it->second;
}

uint32_t Flags(const Endpoint& ep)
{
    if (ep.listening) {
        for (const PeerPtr& peer : ep.ready)
            if (!peer->broken) return NETCON_USABLE | NETCON_DATA_WAITING;
        return NETCON_USABLE;
    }
    const Peer& peer = *ep.peers.front();
    bool data = !peer.inbox.empty();
    bool usable = !peer.broken && (!peer.ended || data);
    return (usable ? uint32_t(NETCON_USABLE) : 0u) | (data ? uint32_t(NETCON_DATA_WAITING) : 0u);
}

// Under g_state, after every change of an endpoint.
void Publish(const Endpoint& ep) { g_slots[ep.slot].flags.store(Flags(ep)); }

enum class FirstBytes { Undecided, Request, Other };

// A web page can make a browser send to the port; its request line gives it away.
FirstBytes CheckFirstBytes(const std::string& data, bool complete)
{
    static const char* const methods[] = {"GET ",     "HEAD ",    "POST ",  "PUT ",  "DELETE ",
                                          "CONNECT ", "OPTIONS ", "TRACE ", "PATCH "};
    bool prefix = false;
    for (const char* m : methods) {
        size_t n = strlen(m);
        if (data.size() >= n) {
            if (data.compare(0, n, m) == 0) return FirstBytes::Request;
        } else if (strncmp(m, data.data(), data.size()) == 0) {
            prefix = true;
        }
    }
    return prefix && !complete ? FirstBytes::Undecided : FirstBytes::Other;
}

// Lower serves first: a record, then bytes that will not grow (the sender
// ended or went quiet), then bytes still arriving.
int Rank(const Peer& peer, DWORD now)
{
    if (peer.holdsRecord) return 0;
    if (peer.ended || now - peer.lastByte >= kQuietMs) return 1;
    return 2;
}

// The listener may still be answering the sender it read last: without a time
// limit when the read held a record, as a program the tray starts for it may
// be slow to start; else for a bounded time, as a listener may answer what is
// no record too. Further pieces do not extend that time, or a lone trickler,
// read again and again, would never go.
bool MayBeAnswering(const Endpoint& ep, const PeerPtr& peer, DWORD now)
{
    return peer == ep.lastRead && (ep.lastReadRecord || now - peer->answerSince < kAnswerMs);
}

// A sender that the rules may drop: neither a record of it waits nor may the
// listener still be answering it.
bool Expendable(const Endpoint& ep, const PeerPtr& peer, DWORD now)
{
    return !peer->broken && !peer->holdsRecord && !MayBeAnswering(ep, peer, now);
}

void Dequeue(Endpoint& ep, const PeerPtr& peer)
{
    if (!peer->queued) return;
    ep.ready.erase(std::remove(ep.ready.begin(), ep.ready.end(), peer), ep.ready.end());
    peer->queued = false;
}

void Announce(Endpoint& ep, const PeerPtr& peer)
{
    if (!peer->announced) {
        FirstBytes verdict = CheckFirstBytes(peer->inbox, peer->ended);
        if (verdict == FirstBytes::Undecided) return;
        if (verdict == FirstBytes::Request) {
            peer->broken = true;
            peer->inbox.clear();
            return;
        }
        peer->announced = true;
    }
    if (ep.listening && !peer->queued && !peer->inbox.empty()) {
        ep.ready.push_back(peer);
        peer->queued = true;
    }
}

void Receive(Endpoint& ep, const PeerPtr& peer)
{
    char buffer[16384];
    size_t room = std::min(kInboxLimit - peer->inbox.size(), sizeof buffer);
    int n = recv(peer->sock.Get(), buffer, static_cast<int>(room), 0);
    if (n > 0) {
        try {
            peer->inbox.append(buffer, static_cast<size_t>(n));
        } catch (const std::bad_alloc&) {
            // No room for what it sent: it goes, as a sender that stalls goes.
            peer->broken = true;
            shutdown(peer->sock.Get(), SD_BOTH);
            return;
        }
        if (ep.listening && !peer->holdsRecord)
            peer->holdsRecord = HoldsRecord(peer->inbox, &peer->recordScan);
        peer->lastActive = peer->lastByte = GetTickCount();
    } else if (n == 0 || WSAGetLastError() != WSAEWOULDBLOCK) {
        peer->ended = true;
    }
    Announce(ep, peer);
}

void Unlist(Endpoint& ep, const PeerPtr& peer)
{
    Dequeue(ep, peer);
    ep.peers.erase(std::remove(ep.peers.begin(), ep.peers.end(), peer), ep.peers.end());
    --g_peerCount;
}

// The expendable sender of any listening end that has been idle longest.
bool FindLongestIdle(EndpointPtr* epOut, PeerPtr* peerOut)
{
    DWORD now = GetTickCount();
    DWORD longest = 0;
    bool found = false;
    for (auto& entry : g_endpoints) {
        if (!entry.second->listening) continue;
        for (const PeerPtr& peer : entry.second->peers) {
            if (!Expendable(*entry.second, peer, now)) continue;
            DWORD idle = now - peer->lastActive;
            if (!found || idle > longest) {
                found = true;
                longest = idle;
                *epOut = entry.second;
                *peerOut = peer;
            }
        }
    }
    return found;
}

bool MakeRoom()
{
    if (g_peerCount < kMaxPeers) return true;
    EndpointPtr ep;
    PeerPtr victim;
    if (!FindLongestIdle(&ep, &victim)) return false;
    victim->broken = true;
    shutdown(victim->sock.Get(), SD_BOTH);
    Unlist(*ep, victim);
    Publish(*ep);
    return true;
}

void Accept(Endpoint& ep)
{
    for (;;) {
        sockaddr_in from;
        int length = sizeof from;
        UniqueSocket s(accept(ep.listener.Get(), reinterpret_cast<sockaddr*>(&from), &length));
        if (!s) return;
        if (!MakeRoom()) return;
        if (!SetNonBlocking(s.Get())) continue;
        BOOL on = TRUE;
        setsockopt(s.Get(), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
        PeerPtr peer = std::make_shared<Peer>();
        peer->sock = std::move(s);
        peer->lastActive = peer->lastByte = peer->lastProgress = GetTickCount();
        snprintf(peer->address, sizeof peer->address, "tcp-%s:%u", inet_ntoa(from.sin_addr),
                 static_cast<unsigned>(ntohs(from.sin_port)));
        ep.peers.push_back(peer);
        ++g_peerCount;
    }
}

// Dropped senders leave the list, and those that closed with nothing left to
// read as soon as the listener can no longer be answering them. What leaves is
// written to no more, so its socket closes. A connection keeps its one peer,
// which then reads as no longer usable.
void Reap(Endpoint& ep, DWORD now)
{
    if (!ep.listening) return;
    for (auto it = ep.peers.begin(); it != ep.peers.end();) {
        const PeerPtr& peer = *it;
        bool finished = peer->ended && (peer->inbox.empty() || !peer->announced) &&
                        !MayBeAnswering(ep, peer, now);
        if (peer->broken || finished) {
            if (peer == ep.lastRead) ep.lastRead.reset();
            Dequeue(ep, peer);
            it = ep.peers.erase(it);
            --g_peerCount;
        } else {
            ++it;
        }
    }
}

// Drops the stalled senders of a listening end; gives the milliseconds until
// the next one stalls or the listener's time to answer ends, INFINITE when
// neither can happen.
DWORD ExpireStalled(Endpoint& ep, DWORD now)
{
    DWORD next = INFINITE;
    if (!ep.listening) return next;
    for (const PeerPtr& peer : ep.peers) {
        if (peer->broken || peer->holdsRecord) continue;
        if (MayBeAnswering(ep, peer, now)) {
            if (!ep.lastReadRecord) next = std::min(next, kAnswerMs - (now - peer->answerSince));
            continue;
        }
        DWORD age = now - peer->lastProgress;
        if (age >= kStallMs) {
            peer->broken = true;
            shutdown(peer->sock.Get(), SD_BOTH);
        } else {
            next = std::min(next, kStallMs - age);
        }
    }
    return next;
}

// One wait on the sockets and what came of it; false once the reactor is to stop.
bool ReactorPass()
{
    fd_set readable;
    FD_ZERO(&readable);
    DWORD wait = INFINITE;
    {
        Hold hold(g_state);
        g_retired.clear();
        g_retireDone = g_retireAsked;
        if (g_stopReactor) return false;
        FD_SET(g_waker.Get(), &readable);
        DWORD now = GetTickCount();
        for (auto& entry : g_endpoints) {
            Endpoint& ep = *entry.second;
            wait = std::min(wait, ExpireStalled(ep, now));
            Reap(ep, now);
            Publish(ep);
        }
        // At the limit a new sender is taken only when another can make room.
        EndpointPtr unused;
        PeerPtr none;
        bool room = g_peerCount < kMaxPeers || FindLongestIdle(&unused, &none);
        for (auto& entry : g_endpoints) {
            Endpoint& ep = *entry.second;
            if (ep.listening && room) FD_SET(ep.listener.Get(), &readable);
            for (const PeerPtr& peer : ep.peers)
                if (!peer->ended && !peer->broken && peer->inbox.size() < kInboxLimit)
                    FD_SET(peer->sock.Get(), &readable);
        }
    }
    timeval timeout = {static_cast<long>(wait / 1000), static_cast<long>(wait % 1000) * 1000};
    if (select(0, &readable, nullptr, nullptr, wait == INFINITE ? nullptr : &timeout) ==
        SOCKET_ERROR) {
        Sleep(1);
        return true;
    }
    Hold hold(g_state);
    if (FD_ISSET(g_waker.Get(), &readable)) {
        char drain[64];
        while (recv(g_waker.Get(), drain, sizeof drain, 0) > 0) {
        }
    }
    for (auto& entry : g_endpoints) {
        Endpoint& ep = *entry.second;
        if (ep.listening && FD_ISSET(ep.listener.Get(), &readable)) Accept(ep);
        for (size_t i = 0; i < ep.peers.size(); ++i) {
            PeerPtr peer = ep.peers[i];
            if (FD_ISSET(peer->sock.Get(), &readable)) Receive(ep, peer);
        }
        Reap(ep, GetTickCount());
        Publish(ep);
    }
    return true;
}

// An exception that left the thread would end the whole program: a pass that
// runs out of memory otherwise (a sender being taken in is closed) is given
// up, and the next one tries again.
DWORD WINAPI ReactorMain(void* module)
{
    for (;;) {
        try {
            if (!ReactorPass()) break;
        } catch (...) {
            Sleep(1);
        }
    }
    FreeLibraryAndExitThread(static_cast<HMODULE>(module), 0);
    return 0;
}

// Under g_life. The thread holds its own reference to this library, so a caller
// that unloads it without closing cannot pull the code from under the thread.
bool StartReactor()
{
    if (g_reactor) return true;
    UniqueSocket waker(socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    if (!waker) return false;
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    HMODULE self = nullptr;
    if (bind(waker.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(waker.Get(), reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        !SetNonBlocking(waker.Get()) ||
        !GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<const char*>(&ReactorMain), &self))
        return false;
    UniqueLibrary selfReference(self);
    {
        Hold hold(g_state);
        g_waker = std::move(waker);
        g_wakerAddress = address;
        g_stopReactor = false;
    }
    g_reactor.Reset(CreateThread(nullptr, 0, ReactorMain, self, 0, nullptr));
    if (!g_reactor) {
        selfReference.Reset();
        Hold hold(g_state);
        g_waker.Reset();
        return false;
    }
    // The thread now holds the reference and lets it go as it ends.
    selfReference.Release();
    return true;
}

// Under g_life, with no handle left.
void StopReactor()
{
    if (!g_reactor) return;
    {
        Hold hold(g_state);
        g_stopReactor = true;
        Wake();
    }
    WaitForSingleObject(g_reactor.Get(), INFINITE);
    g_reactor.Reset();
    Hold hold(g_state);
    g_waker.Reset();
    g_retired.clear();
}

// Under g_life: the thread, and with it this library, stays only while a handle is open.
void StopReactorWhenIdle()
{
    bool idle;
    {
        Hold hold(g_state);
        idle = g_endpoints.empty();
    }
    if (idle) StopReactor();
}

class WinsockUse {
public:
    WinsockUse()
    {
        WSADATA data;
        ok_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~WinsockUse()
    {
        if (ok_) WSACleanup();
    }
    bool Ok() const { return ok_; }
    void Keep() { ok_ = false; }  // the open handle now owns this use

private:
    bool ok_;
};

bool ResolveHost(const NetConAddress& a, in_addr* out)
{
    if (a.ipv4 != 0) {
        out->s_addr = htonl(a.ipv4);
        return true;
    }
    hostent* h = gethostbyname(a.host.c_str());
    if (!h || h->h_addrtype != AF_INET || !h->h_addr_list[0]) return false;
    memcpy(out, h->h_addr_list[0], sizeof *out);
    return true;
}

UniqueSocket OpenListener(const sockaddr_in& address)
{
    UniqueSocket s(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (!s) return s;
    BOOL on = TRUE;
    bool ok = setsockopt(s.Get(), SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on),
                         sizeof on) == 0 &&
              bind(s.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
              listen(s.Get(), SOMAXCONN) == 0 && SetNonBlocking(s.Get());
    if (!ok) {
        DWORD error = WSAGetLastError();
        s.Reset();
        WSASetLastError(static_cast<int>(error));
    }
    return s;
}

UniqueSocket OpenConnection(const sockaddr_in& address)
{
    UniqueSocket s(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (!s) return s;
    DWORD error = 0;
    if (!SetNonBlocking(s.Get())) {
        error = WSAGetLastError();
    } else if (connect(s.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        error = WSAGetLastError();
        if (error == WSAEWOULDBLOCK) {
            fd_set writable, failed;
            FD_ZERO(&writable);
            FD_ZERO(&failed);
            FD_SET(s.Get(), &writable);
            FD_SET(s.Get(), &failed);
            timeval wait = {static_cast<long>(kConnectTimeoutMs / 1000), 0};
            int n = select(0, nullptr, &writable, &failed, &wait);
            int soError = 0;
            int length = sizeof soError;
            if (n == 0) {
                error = WSAETIMEDOUT;
            } else if (n < 0) {
                error = WSAGetLastError();
            } else {
                getsockopt(s.Get(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&soError), &length);
                error = FD_ISSET(s.Get(), &failed) && soError == 0 ? WSAECONNREFUSED
                                                             : static_cast<DWORD>(soError);
            }
        }
    }
    if (error != 0) {
        s.Reset();
        WSASetLastError(static_cast<int>(error));
        return s;
    }
    BOOL on = TRUE;
    setsockopt(s.Get(), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    return s;
}

// Gives the endpoint a handle and a slot; 0 when every slot is taken.
NetConHandle Register(const EndpointPtr& ep)
{
    Hold hold(g_state);
    unsigned slot = 0;
    while (slot < kSlots && g_slots[slot].handle.load() != 0) ++slot;
    if (slot == kSlots) return 0;
    if ((g_nextSerial << kSlotBits) == 0) g_nextSerial = 1;
    NetConHandle handle = (g_nextSerial++ << kSlotBits) | slot;
    ep->slot = slot;
    // The step that may throw comes first: a refused one leaves no handle behind.
    g_endpoints[handle] = ep;
    Publish(*ep);
    g_slots[slot].handle.store(handle);
    Wake();
    return handle;
}

NetConHandle Open(const char* text)
{
    NetConAddress a;
    if (!ParseNetConAddress(text, &a)) return Fail(ERROR_INVALID_PARAMETER);
    WinsockUse winsock;
    if (!winsock.Ok()) return Fail(WSASYSNOTREADY);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(a.port);
    if (!ResolveHost(a, &address.sin_addr)) return Fail(WSAHOST_NOT_FOUND);

    EndpointPtr ep = std::make_shared<Endpoint>();
    ep->listening = a.listening;
    if (a.listening) {
        ep->ready.reserve(kMaxPeers);
        ep->listener = OpenListener(address);
        if (!ep->listener) return Fail(WSAGetLastError());
    } else {
        PeerPtr peer = std::make_shared<Peer>();
        peer->sock = OpenConnection(address);
        if (!peer->sock) return Fail(WSAGetLastError());
        peer->announced = true;
        snprintf(peer->address, sizeof peer->address, "tcp-%s:%u", inet_ntoa(address.sin_addr),
                 static_cast<unsigned>(a.port));
        ep->peers.push_back(peer);
    }

    Hold life(g_life);
    if (!StartReactor()) return Fail(ERROR_NOT_ENOUGH_MEMORY);
    NetConHandle handle = 0;
    try {
        handle = Register(ep);
    } catch (...) {
        StopReactorWhenIdle();
        throw;
    }
    if (!handle) {
        StopReactorWhenIdle();
        return Fail(ERROR_TOO_MANY_OPEN_FILES);
    }
    winsock.Keep();
    return handle;
}

// Drops a peer that failed or that the caller let go; the reactor reaps it.
void Drop(const PeerPtr& peer)
{
    peer->broken = true;
    shutdown(peer->sock.Get(), SD_BOTH);
    Wake();
}

bool Send(const PeerPtr& peer, const char* data, uint32_t length, uint32_t* sent)
{
    DWORD begin = GetTickCount();
    while (*sent < length) {
        int chunk = static_cast<int>(std::min<uint32_t>(length - *sent, 65536));
        int n = send(peer->sock.Get(), data + *sent, chunk, 0);
        if (n > 0) {
            *sent += static_cast<uint32_t>(n);
            continue;
        }
        DWORD error = WSAGetLastError();
        DWORD elapsed = GetTickCount() - begin;
        if (n == 0 || error != WSAEWOULDBLOCK) return Fail(error) != 0;
        if (elapsed >= kWriteTimeoutMs) return Fail(WSAETIMEDOUT) != 0;
        fd_set writable;
        FD_ZERO(&writable);
        FD_SET(peer->sock.Get(), &writable);
        DWORD left = kWriteTimeoutMs - elapsed;
        timeval wait = {static_cast<long>(left / 1000), static_cast<long>(left % 1000) * 1000};
        select(0, nullptr, &writable, nullptr, &wait);
    }
    return true;
}

int Write(const PeerPtr& peer, const void* data, uint32_t length, uint32_t* written)
{
    uint32_t sent = 0;
    bool ok = Send(peer, static_cast<const char*>(data), length, &sent);
    if (written) *written = sent;
    Hold hold(g_state);
    if (ok) {
        // The replies to a batch follow one another: each has the full time.
        peer->answerSince = GetTickCount();
    } else {
        Drop(peer);
    }
    return ok ? 1 : 0;
}

int Read(NetConHandle handle, void* buffer, uint32_t size, uint32_t* count, char* from,
         uint32_t fromSize)
{
    if (count) *count = 0;
    if (from && fromSize > 0) from[0] = '\0';
    if (!buffer || size == 0) return Fail(ERROR_INVALID_PARAMETER);
    Hold hold(g_state);
    EndpointPtr ep = Find(handle);
    if (!ep) return Fail(ERROR_INVALID_HANDLE);
    PeerPtr peer;
    if (!ep->listening) {
        peer = ep->peers.front();
        if (peer->inbox.empty()) return peer->ended || peer->broken ? Fail(WSAECONNRESET) : 1;
    } else {
        DWORD now = GetTickCount();
        int best = 3;
        for (const PeerPtr& candidate : ep->ready) {
            if (candidate->broken) continue;
            int rank = Rank(*candidate, now);
            if (rank < best) {
                best = rank;
                peer = candidate;
            }
        }
        if (!peer) return 1;
    }
    bool wasFull = peer->inbox.size() >= kInboxLimit;
    uint32_t n = static_cast<uint32_t>(std::min<size_t>(size, peer->inbox.size()));
    // Whether the bytes this read takes hold a record, not only those after them.
    size_t scan = 0;
    const bool record = peer->holdsRecord && HoldsRecord(std::string_view(peer->inbox.data(), n), &scan);
    if (ep->listening) {
        // The next read serves the next sender; this one queues again behind it
        // while bytes are left. Queued first: the bytes are taken only once
        // nothing can fail.
        Dequeue(*ep, peer);
        if (n < peer->inbox.size()) {
            ep->ready.push_back(peer);
            peer->queued = true;
        }
        DWORD now = GetTickCount();
        peer->lastActive = now;
        if (record) peer->lastProgress = now;
        // Its answer's time runs from the first read; a record starts it again.
        if (record || !peer->readFrom) peer->answerSince = now;
        peer->readFrom = true;
        ep->lastRead = peer;
        ep->lastReadRecord = record;
    }
    memcpy(buffer, peer->inbox.data(), n);
    peer->inbox.erase(0, n);
    if (ep->listening) {
        // The next read of what is left begins a field.
        peer->recordScan = 0;
        peer->holdsRecord = HoldsRecord(peer->inbox, &peer->recordScan);
    }
    Publish(*ep);
    // The reactor learns which senders the rules may drop now.
    if (ep->listening || wasFull || (peer->ended && peer->inbox.empty())) Wake();
    if (count) *count = n;
    if (from && fromSize > 0) snprintf(from, fromSize, "%s", peer->address);
    return 1;
}

}  // namespace

extern "C" {

int NETCON_CALL NetConInstall(void) noexcept
{
    return Guarded([] {
        Hold life(g_life);
        WSADATA data;
        if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return Fail(WSASYSNOTREADY);
        ++g_installs;
        return 1;
    });
}

// Undoes one NetConInstall; handles still open stay usable.
int NETCON_CALL NetConRemove(void) noexcept
{
    return Guarded([] {
        Hold life(g_life);
        if (g_installs == 0) return Fail(WSANOTINITIALISED);
        --g_installs;
        WSACleanup();
        return 1;
    });
}

NetConHandle NETCON_CALL NetConOpen(const char* address) noexcept
{
    return Guarded([&] { return Open(address); });
}

NetConHandle NETCON_CALL NetConOpen2(const char* address, uint32_t flags) noexcept
{
    return Guarded([&] { return flags == 0 ? Open(address) : Fail(ERROR_INVALID_PARAMETER); });
}

int NETCON_CALL NetConClose(NetConHandle handle) noexcept
{
    return Guarded([&] {
        Hold life(g_life);
        {
            Hold hold(g_state);
            auto it = g_endpoints.find(handle);
            if (it == g_endpoints.end()) return Fail(ERROR_INVALID_HANDLE);
            // The step that may throw comes first: a refused close leaves the handle open.
            g_retired.push_back(it->second);
            g_peerCount -= it->second->listening ? it->second->peers.size() : 0;
            g_slots[it->second->slot].handle.store(0);
            g_endpoints.erase(it);
            unsigned ticket = ++g_retireAsked;
            Wake();
            // The reactor lets go of the sockets before they close.
            while (static_cast<int>(g_retireDone - ticket) < 0) {
                g_state.Leave();
                Sleep(1);
                g_state.Enter();
            }
        }
        StopReactorWhenIdle();
        WSACleanup();
        return 1;
    });
}

int NETCON_CALL NetConStatus(NetConHandle handle, uint32_t* flags, uint32_t) noexcept
{
    return Guarded([&] {
        if (!flags) return Fail(ERROR_INVALID_PARAMETER);
        const StatusSlot& slot = g_slots[handle & (kSlots - 1)];
        uint32_t value = slot.flags.load();
        if (handle == 0 || slot.handle.load() != handle) {
            *flags = 0;
            return Fail(ERROR_INVALID_HANDLE);
        }
        *flags = value;
        return 1;
    });
}

int NETCON_CALL NetConReadData(NetConHandle handle, void* buffer, uint32_t size,
                               uint32_t* count) noexcept
{
    return Guarded([&] { return Read(handle, buffer, size, count, nullptr, 0); });
}

int NETCON_CALL NetConReadDataFrom(NetConHandle handle, void* buffer, uint32_t size,
                                   uint32_t* count, char* from, uint32_t fromSize) noexcept
{
    return Guarded([&] { return Read(handle, buffer, size, count, from, fromSize); });
}

int NETCON_CALL NetConWriteData(NetConHandle handle, const void* data, uint32_t length,
                                uint32_t* written) noexcept
{
    return Guarded([&] {
        if (written) *written = 0;
        if (!data && length > 0) return Fail(ERROR_INVALID_PARAMETER);
        PeerPtr peer;
        {
            Hold hold(g_state);
            EndpointPtr ep = Find(handle);
            if (!ep) return Fail(ERROR_INVALID_HANDLE);
            peer = ep->listening ? ep->lastRead : ep->peers.front();
            if (!peer || peer->broken) return Fail(WSAENOTCONN);
        }
        return Write(peer, data, length, written);
    });
}

int NETCON_CALL NetConBroadcastData(NetConHandle handle, const void* data, uint32_t length) noexcept
{
    return Guarded([&] {
        if (!data && length > 0) return Fail(ERROR_INVALID_PARAMETER);
        std::vector<PeerPtr> peers;
        {
            Hold hold(g_state);
            EndpointPtr ep = Find(handle);
            if (!ep) return Fail(ERROR_INVALID_HANDLE);
            for (const PeerPtr& peer : ep->peers)
                if (!peer->broken) peers.push_back(peer);
        }
        int all = 1;
        for (const PeerPtr& peer : peers)
            if (!Write(peer, data, length, nullptr)) all = 0;
        return all;
    });
}

int NETCON_CALL NetConDisconnect(NetConHandle handle) noexcept
{
    return Guarded([&] {
        Hold hold(g_state);
        EndpointPtr ep = Find(handle);
        if (!ep) return Fail(ERROR_INVALID_HANDLE);
        PeerPtr peer = ep->listening ? ep->lastRead : ep->peers.front();
        if (!peer || peer->broken) return Fail(WSAENOTCONN);
        Drop(peer);
        if (ep->listening) ep->lastRead.reset();
        Publish(*ep);
        return 1;
    });
}

int NETCON_CALL NetConWriteDataTo(NetConHandle, const char*, const void*, uint32_t,
                                  uint32_t* written) noexcept
{
    return Guarded([&] {
        if (written) *written = 0;
        return Fail(ERROR_NOT_SUPPORTED);
    });
}

// Reads a number and nothing else: it cannot throw.
uint32_t NETCON_CALL NetConLastError(void) noexcept { return t_lastError; }

}  // extern "C"
