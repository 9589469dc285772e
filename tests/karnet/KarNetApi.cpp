#include "KarNetApi.h"

#include <cstdlib>

#include "testlib.h"

namespace {

template <typename Fn>
void Bind(HMODULE module, const char* name, Fn* out)
{
    *out = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

class WinsockOnce {
public:
    WinsockOnce()
    {
        WSADATA data;
        if (WSAStartup(MAKEWORD(2, 2), &data) != 0) std::abort();
    }
};

void StartWinsock() { static WinsockOnce once; }

}  // namespace

KarNetApi::KarNetApi()
{
    module = LoadLibraryA((testlib::InstallDir() + "\\KarNet.dll").c_str());
    if (!module) std::abort();
    Bind(module, "NetConInstall", &Install);
    Bind(module, "NetConRemove", &Remove);
    Bind(module, "NetConOpen", &Open);
    Bind(module, "NetConClose", &Close);
    Bind(module, "NetConWriteData", &WriteData);
    Bind(module, "NetConReadData", &ReadData);
    Bind(module, "NetConStatus", &Status);
    Bind(module, "NetConDisconnect", &Disconnect);
    Bind(module, "NetConWriteDataTo", &WriteDataTo);
    Bind(module, "NetConReadDataFrom", &ReadDataFrom);
    Bind(module, "NetConBroadcastData", &BroadcastData);
    Bind(module, "NetConLastError", &LastError);
    Bind(module, "NetConOpen2", &Open2);
    if (!Install || !Install()) std::abort();
}

KarNetApi::~KarNetApi()
{
    Remove();
    FreeLibrary(module);
}

bool KarNetApi::WaitData(NetConHandle handle, DWORD timeoutMs)
{
    return testlib::WaitFor(
        [&] {
            uint32_t flags = 0;
            return Status(handle, &flags, 0) && (flags & NETCON_DATA_WAITING);
        },
        std::chrono::milliseconds(timeoutMs));
}

std::string KarNetApi::ReadAll(NetConHandle handle, size_t want, DWORD timeoutMs)
{
    std::string got;
    DWORD begin = GetTickCount();
    while (got.size() < want && GetTickCount() - begin < timeoutMs) {
        if (!WaitData(handle, timeoutMs)) break;
        char buffer[4096];
        uint32_t count = 0;
        if (!ReadData(handle, buffer, sizeof buffer, &count)) break;
        got.append(buffer, count);
    }
    return got;
}

unsigned short FreePort()
{
    StartWinsock();
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof a;
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &length);
    closesocket(s);
    return ntohs(a.sin_port);
}

std::string ListenAddress(unsigned short port) { return "tcp:" + std::to_string(port) + "@localhost"; }

std::string ConnectAddress(unsigned short port)
{
    return "tcp-127.0.0.1:" + std::to_string(port);
}

RawPeer::~RawPeer()
{
    if (s_ != INVALID_SOCKET) closesocket(s_);
}

bool RawPeer::Connect(const char* ip, unsigned short port)
{
    StartWinsock();
    s_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = inet_addr(ip);
    a.sin_port = htons(port);
    return connect(s_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
}

bool RawPeer::Send(const std::string& bytes)
{
    return send(s_, bytes.data(), static_cast<int>(bytes.size()), 0) ==
           static_cast<int>(bytes.size());
}

void RawPeer::ShutdownSend() { shutdown(s_, SD_SEND); }

void RawPeer::SetReceiveBuffer(int bytes)
{
    setsockopt(s_, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&bytes), sizeof bytes);
}

std::string RawPeer::Receive(size_t want, DWORD timeoutMs)
{
    std::string got;
    DWORD begin = GetTickCount();
    while (got.size() < want) {
        DWORD elapsed = GetTickCount() - begin;
        if (elapsed >= timeoutMs) break;
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(s_, &readable);
        DWORD left = timeoutMs - elapsed;
        timeval wait = {static_cast<long>(left / 1000), static_cast<long>(left % 1000) * 1000};
        if (select(0, &readable, nullptr, nullptr, &wait) <= 0) break;
        char buffer[4096];
        int n = recv(s_, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        got.append(buffer, static_cast<size_t>(n));
    }
    return got;
}

bool RawPeer::SeesClose(DWORD timeoutMs)
{
    DWORD begin = GetTickCount();
    do {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(s_, &readable);
        timeval wait = {0, 100000};
        if (select(0, &readable, nullptr, nullptr, &wait) < 0) return true;
        if (!FD_ISSET(s_, &readable)) continue;
        char buffer[256];
        if (recv(s_, buffer, sizeof buffer, 0) <= 0) return true;
    } while (GetTickCount() - begin < timeoutMs);
    return false;
}
