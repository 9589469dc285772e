// Costs of the transport as the tray uses it, measured under Wine:
//   karnet_bench idle SECONDS     an idle listener polled as the tray's listen thread
//                                 polls it (50 ms pause, then a status poll every 1 ms)
//   karnet_bench sleep SECONDS    the same loop of Sleep(1) without any status call
//   karnet_bench latency COUNT    delay from a sender's write to the listener's
//                                 announcement, under the same polling
//   karnet_bench calls COUNT      the time of one status poll
// Prints "begin" and "end" around the measured part (a wrapper samples the
// wineserver's CPU time there), then this process's CPU time and the figures.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "NetConDll.h"

int _dowildcard = 0;

namespace {

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double CpuSeconds()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               1e7;
    };
    return seconds(kernel) + seconds(user);
}

void Mark(const char* what)
{
    printf("%s\n", what);
    fflush(stdout);
}

std::string Port() { return std::to_string(20000 + GetCurrentProcessId() % 30000); }

// The tray's pass: a pause, then up to five seconds of polling every millisecond.
int Idle(CNetConDll& listener, double seconds)
{
    Mark("begin");
    double cpu = CpuSeconds(), begin = Now();
    long passes = 0;
    while (Now() - begin < seconds) {
        Sleep(50);
        double left = std::max(0.0, seconds - (Now() - begin));
        listener.WaitData(static_cast<DWORD>(std::min(5000.0, left * 1000)));
        ++passes;
    }
    double wall = Now() - begin, used = CpuSeconds() - cpu;
    Mark("end");
    printf("wall %.1f s, process cpu %.3f s (%.2f %% of a core), %ld passes\n", wall, used,
           100 * used / wall, passes);
    return 0;
}

// The price of one status poll alone, without any sleep between polls.
int Calls(CNetConDll& listener, long count)
{
    double cpu = CpuSeconds(), begin = Now();
    uint32_t flags = 0;
    for (long i = 0; i < count; ++i) listener.Status(&flags);
    double wall = Now() - begin, used = CpuSeconds() - cpu;
    printf("%ld status calls: %.3f us each (wall), process cpu %.3f s\n", count, 1e6 * wall / count,
           used);
    return 0;
}

int SleepOnly(double seconds)
{
    Mark("begin");
    double cpu = CpuSeconds(), begin = Now();
    long sleeps = 0;
    while (Now() - begin < seconds) {
        Sleep(1);
        ++sleeps;
    }
    double wall = Now() - begin, used = CpuSeconds() - cpu;
    Mark("end");
    printf("wall %.1f s, process cpu %.3f s (%.2f %% of a core), %.3f ms per Sleep(1)\n", wall,
           used, 100 * used / wall, 1000 * wall / sleeps);
    return 0;
}

int Latency(CNetConDll& listener, const std::string& port, int count)
{
    std::atomic<double> sentAt{0};
    std::atomic<bool> go{false}, done{false};
    HANDLE sendNow = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::thread sender([&] {
        CNetConDll connection("KarNet.dll");
        if (!connection.Open(("tcp-127.0.0.1:" + port).c_str())) std::abort();
        while (!done) {
            if (WaitForSingleObject(sendNow, 100) != WAIT_OBJECT_0) continue;
            // Land somewhere inside a poll interval, not right after a wake-up.
            Sleep(static_cast<DWORD>(rand() % 3));
            sentAt = Now();
            connection.WriteData("KODRA|1|x|", 10, nullptr);
        }
    });
    std::vector<double> delays;
    Mark("begin");
    for (int i = 0; i < count; ++i) {
        SetEvent(sendNow);
        if (!listener.WaitData(5000)) continue;
        double announced = Now();
        delays.push_back(1000 * (announced - sentAt));
        char buffer[4096];
        uint32_t n = 0;
        listener.ReadData(buffer, 4095, &n);
        Sleep(5);
    }
    Mark("end");
    done = true;
    sender.join();
    CloseHandle(sendNow);
    if (delays.empty()) return 1;
    std::sort(delays.begin(), delays.end());
    auto at = [&](double q) { return delays[static_cast<size_t>(q * (delays.size() - 1))]; };
    printf("%zu sends: delay to announced median %.3f ms, 90 %% %.3f ms, 99 %% %.3f ms, max %.3f ms\n",
           delays.size(), at(0.5), at(0.9), at(0.99), delays.back());
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: karnet_bench idle|sleep SECONDS | latency|calls COUNT\n");
        return 2;
    }
    std::string mode = argv[1];
    double amount = atof(argv[2]);
    if (mode == "sleep") return SleepOnly(amount);
    CNetConDll listener("KarNet.dll");
    std::string port = Port();
    if (!listener.Open(("tcp:" + port + "@localhost").c_str())) {
        fprintf(stderr, "cannot listen on port %s\n", port.c_str());
        return 1;
    }
    if (mode == "idle") return Idle(listener, amount);
    if (mode == "latency") return Latency(listener, port, static_cast<int>(amount));
    if (mode == "calls") return Calls(listener, static_cast<long>(amount));
    return 2;
}
