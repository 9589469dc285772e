// The real KarNet.dll of the installation folder, with all thirteen entry points,
// and plain Winsock peers to talk to it over loopback.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <string>

#include "KarNet.h"

struct KarNetApi {
    KarNetApi();
    ~KarNetApi();
    KarNetApi(const KarNetApi&) = delete;
    KarNetApi& operator=(const KarNetApi&) = delete;

    HMODULE module = nullptr;
    NetConInstallFn Install = nullptr;
    NetConRemoveFn Remove = nullptr;
    NetConOpenFn Open = nullptr;
    NetConCloseFn Close = nullptr;
    NetConWriteDataFn WriteData = nullptr;
    NetConReadDataFn ReadData = nullptr;
    NetConStatusFn Status = nullptr;
    NetConDisconnectFn Disconnect = nullptr;
    NetConWriteDataToFn WriteDataTo = nullptr;
    NetConReadDataFromFn ReadDataFrom = nullptr;
    NetConBroadcastDataFn BroadcastData = nullptr;
    NetConLastErrorFn LastError = nullptr;
    NetConOpen2Fn Open2 = nullptr;

    // Waits until the handle announces data; false after the time-out.
    bool WaitData(NetConHandle handle, DWORD timeoutMs = 5000);
    // Reads everything that arrives until want bytes came or the time-out passed.
    std::string ReadAll(NetConHandle handle, size_t want, DWORD timeoutMs = 5000);
};

// A port on 127.0.0.1 that nothing listens on right now.
unsigned short FreePort();

std::string ListenAddress(unsigned short port);
std::string ConnectAddress(unsigned short port);

// A plain blocking TCP client.
class RawPeer {
public:
    RawPeer() = default;
    ~RawPeer();
    RawPeer(const RawPeer&) = delete;
    RawPeer& operator=(const RawPeer&) = delete;

    bool Connect(const char* ip, unsigned short port);
    bool Send(const std::string& bytes);
    void ShutdownSend();
    // Up to want bytes within the time-out; stops early at the peer's close.
    std::string Receive(size_t want, DWORD timeoutMs = 5000);
    // True when the other side closed or reset the connection within the
    // time-out; looks at least once.
    bool SeesClose(DWORD timeoutMs = 5000);
    void SetReceiveBuffer(int bytes);

private:
    SOCKET s_ = INVALID_SOCKET;
};
