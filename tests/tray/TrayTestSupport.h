// Helpers of the tray's and the forwarding launcher's tests: plain TCP ends on
// 127.0.0.1, the message port in the registry and the KODRA service double.
#pragma once

#include <windows.h>

#include <cstdint>

#include <chrono>
#include <string>

#include "TestServices.h"

namespace traytest {

// A Winsock socket, kept out of this header so it mixes with any include order.
const uintptr_t kNoSocket = ~static_cast<uintptr_t>(0);

// A port of 1024 or above that nothing listens on right now.
int FreePort();

class Client {
public:
    explicit Client(int port);
    ~Client();
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;
    bool Connected() const { return socket_ != kNoSocket; }
    bool Send(const std::string& bytes);
    // Everything up to (not including) the marker byte; "<timeout>" when it never comes.
    std::string ReadUntil(char marker, std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Exactly count bytes; "<timeout>" or "<closed>" with what came when they do not.
    std::string ReadExactly(size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // What arrives within the wait, or until the other end closes.
    std::string ReadFor(std::chrono::milliseconds wait);

private:
    uintptr_t socket_ = kNoSocket;
};

// A listening socket that takes one connection and reads it to its end.
class Listener {
public:
    explicit Listener(int port);
    ~Listener();
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;
    bool Listening() const { return socket_ != kNoSocket; }
    // True when a connection waits to be accepted now.
    bool HasPendingConnection();
    // Accepts one connection and reads until the sender closes it; "<none>" without one.
    std::string ReceiveOne(std::chrono::milliseconds timeout = std::chrono::seconds(10));

private:
    uintptr_t socket_ = kNoSocket;
};

// "SYSTEM\CurrentControlSet\Services\<service>\Parameters" under HKLM.
std::string ParametersKey(const std::string& service);
bool SetMessagePort(const std::string& service, DWORD port);
bool SetMessagePortText(const std::string& service, const std::string& text);
void DeleteMessagePort(const std::string& service);

// The tiny own-process service double, installed as "KODRA" for the test's life.
class KodraService {
public:
    KodraService();
    KodraService(const KodraService&) = delete;
    KodraService& operator=(const KodraService&) = delete;
    bool Installed() const { return installed_; }
    bool Start();
    bool Stop();

private:
    testlib::ScopedService service_;
    bool installed_;
};

// A program started without waiting for it; ended by force if still running
// when the object goes.
class Process {
public:
    Process(const std::string& commandLine, const std::string& workDir);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    bool Started() const { return info_.hProcess != nullptr; }
    DWORD Id() const { return info_.dwProcessId; }
    // True with the exit code when it ended within the time-out.
    bool Wait(DWORD& exitCode, std::chrono::milliseconds timeout = std::chrono::seconds(30));

private:
    PROCESS_INFORMATION info_ = {};
};

// A visible or hidden top-level window of the process with that class.
HWND FindProcessWindow(DWORD processId, const char* className);

// The in-process tray's transport library: the built KarNet.dll.
std::string KarNetPath();

}  // namespace traytest
