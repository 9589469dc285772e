#include <winsock2.h>

#include "TrayTestSupport.h"

#include "testlib.h"

namespace traytest {

namespace {

const char kServiceName[] = "KODRA";

struct WinsockUser {
    WinsockUser()
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~WinsockUser() { WSACleanup(); }
};

void UseWinsock() { static WinsockUser user; }

sockaddr_in Loopback(int port)
{
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<u_short>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

bool Readable(SOCKET s, std::chrono::milliseconds wait)
{
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tv;
    tv.tv_sec = static_cast<long>(wait.count() / 1000);
    tv.tv_usec = static_cast<long>((wait.count() % 1000) * 1000);
    return select(0, &set, nullptr, nullptr, &tv) == 1;
}

}  // namespace

int FreePort()
{
    UseWinsock();
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a = Loopback(0);
    int port = 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
        int size = sizeof a;
        if (getsockname(s, reinterpret_cast<sockaddr*>(&a), &size) == 0) port = ntohs(a.sin_port);
    }
    closesocket(s);
    return port;
}

Client::Client(int port)
{
    UseWinsock();
    socket_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a = Loopback(port);
    if (connect(socket_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }
}

Client::~Client()
{
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
}

bool Client::Send(const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        int n = send(socket_, bytes.data() + done, static_cast<int>(bytes.size() - done), 0);
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string Client::ReadUntil(char marker, std::chrono::milliseconds timeout)
{
    std::string got;
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !Readable(socket_, left)) return "<timeout>";
        char c;
        if (recv(socket_, &c, 1, 0) != 1) return "<closed>";
        if (c == marker) return got;
        got += c;
    }
}

std::string Client::ReadExactly(size_t count, std::chrono::milliseconds timeout)
{
    std::string got;
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (got.size() < count) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !Readable(socket_, left)) return "<timeout>" + got;
        char buffer[64];
        size_t want = count - got.size() < sizeof buffer ? count - got.size() : sizeof buffer;
        int n = recv(socket_, buffer, static_cast<int>(want), 0);
        if (n <= 0) return "<closed>" + got;
        got.append(buffer, static_cast<size_t>(n));
    }
    return got;
}

std::string Client::ReadFor(std::chrono::milliseconds wait)
{
    std::string got;
    char buffer[512];
    while (Readable(socket_, wait)) {
        int n = recv(socket_, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        got.append(buffer, static_cast<size_t>(n));
    }
    return got;
}

Listener::Listener(int port)
{
    UseWinsock();
    socket_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a = Loopback(port);
    if (bind(socket_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(socket_, 4) != 0) {
        closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }
}

Listener::~Listener()
{
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
}

bool Listener::HasPendingConnection() { return Readable(socket_, std::chrono::milliseconds(0)); }

std::string Listener::ReceiveOne(std::chrono::milliseconds timeout)
{
    if (!Readable(socket_, timeout)) return "<none>";
    SOCKET peer = accept(socket_, nullptr, nullptr);
    if (peer == INVALID_SOCKET) return "<none>";
    std::string got;
    char buffer[1024];
    while (Readable(peer, timeout)) {
        int n = recv(peer, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        got.append(buffer, static_cast<size_t>(n));
    }
    closesocket(peer);
    return got;
}

std::string ParametersKey(const std::string& service)
{
    return "SYSTEM\\CurrentControlSet\\Services\\" + service + "\\Parameters";
}

bool SetMessagePort(const std::string& service, DWORD port)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, ParametersKey(service).c_str(), 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    bool ok = RegSetValueExA(key, "MessagePort", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&port),
                             sizeof port) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

bool SetMessagePortText(const std::string& service, const std::string& text)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, ParametersKey(service).c_str(), 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    bool ok = RegSetValueExA(key, "MessagePort", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

void DeleteMessagePort(const std::string& service)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ParametersKey(service).c_str(), 0, KEY_ALL_ACCESS, &key) !=
        ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, "MessagePort");
    RegCloseKey(key);
}

KodraService::KodraService()
    : service_(kServiceName),
      installed_(testlib::CreateTestService(
          kServiceName, "\"" + testlib::DoublesDir() + "\\kodra_double.exe\" -service -name " + kServiceName))
{
}

bool KodraService::Start() { return testlib::StartTestService(kServiceName); }

bool KodraService::Stop() { return testlib::StopTestService(kServiceName); }

Process::Process(const std::string& commandLine, const std::string& workDir)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                        workDir.empty() ? nullptr : workDir.c_str(), &startup, &info_))
        info_ = PROCESS_INFORMATION();
}

Process::~Process()
{
    if (!info_.hProcess) return;
    if (WaitForSingleObject(info_.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

bool Process::Wait(DWORD& exitCode, std::chrono::milliseconds timeout)
{
    if (!info_.hProcess ||
        WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
        return false;
    return GetExitCodeProcess(info_.hProcess, &exitCode) != 0;
}

namespace {

struct WindowSearch {
    DWORD processId;
    const char* className;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[128];
    if (owner == search->processId && GetClassNameA(window, name, sizeof name) &&
        lstrcmpA(name, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND FindProcessWindow(DWORD processId, const char* className)
{
    WindowSearch search = {processId, className, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string KarNetPath() { return testlib::InstallDir() + "\\KarNet.dll"; }

}  // namespace traytest
