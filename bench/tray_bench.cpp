// Costs of the tray under Wine, with the installed programs copied into a folder
// of their own, the KODRA service double running and the recorder as ktMsg.exe:
//   tray_bench idle SECONDS   the idle tray: prints "begin" and "end" around the
//                             measured part, where a wrapper samples the CPU time
//                             of the tray, the wineserver and the service manager
//   tray_bench start COUNT    time from a launcher's start to the recorder's start,
//                             for msg.exe starting it directly and for Plenrik
//                             sending it through the tray
//   tray_bench socket COUNT   the tray's own share: from a plain socket's record to
//                             the tray's reply, for a program that starts and for
//                             one that is missing, and on to the recorder's start
// Starts are a third of a second apart, so that the listen thread waits for data
// as it does between messages, not in the pause after a pass.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "TrayTestSupport.h"
#include "testlib.h"

int _dowildcard = 0;

namespace {

double Now()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

void Mark(const char* what)
{
    printf("%s\n", what);
    fflush(stdout);
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The installation in a folder of its own and the tray running from it.
class RunningTray {
public:
    RunningTray()
    {
        for (const char* name : {"kodratray.exe", "KarNet.dll", "Plenrik.exe", "msg.exe"})
            testlib::CopyInto(testlib::InstallDir() + "\\" + name, bin_.Path(), name);
        testlib::CopyInto(testlib::DoublesDir() + "\\recorder.exe", bin_.Path(), "ktMsg.exe");
        service_.Start();
        port_ = traytest::FreePort();
        traytest::SetMessagePort("KODRA", static_cast<DWORD>(port_));
        log_ = bin_.File("starts.log");
        SetEnvironmentVariableA("KODRA_RECORD_LOG", log_.c_str());
        tray_.reset(new traytest::Process(Quoted(bin_.File("kodratray.exe")), bin_.Path()));
        ok_ = tray_->Started() &&
              testlib::WaitFor([&] { return traytest::Client(port_).Connected(); },
                               std::chrono::seconds(30));
        process_ = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, tray_->Id());
    }
    ~RunningTray()
    {
        HWND main = traytest::FindProcessWindow(tray_->Id(), "TrayMainWndClass");
        if (main) PostMessageA(main, WM_CLOSE, 0, 0);
        DWORD code;
        tray_->Wait(code);
        if (process_) CloseHandle(process_);
        traytest::DeleteMessagePort("KODRA");
    }
    bool Ok() const { return ok_ && process_; }
    HANDLE Handle() const { return process_; }
    std::string File(const std::string& name) const { return bin_.File(name); }
    const std::string& Log() const { return log_; }
    int Port() const { return port_; }

private:
    testlib::ScratchDir bin_{"kodra tray bench"};
    traytest::KodraService service_;
    int port_ = 0;
    std::string log_;
    std::unique_ptr<traytest::Process> tray_;
    HANDLE process_ = nullptr;
    bool ok_ = false;
};

int Idle(double seconds)
{
    RunningTray tray;
    if (!tray.Ok()) return 1;
    // The first service check and the icon changes are behind us.
    Sleep(2000);
    Mark("begin");
    double begin = Now();
    WaitForSingleObject(tray.Handle(), static_cast<DWORD>(seconds * 1000));
    double wall = Now() - begin;
    Mark("end");
    printf("idle tray: wall %.1f s\n", wall);
    return 0;
}

// Milliseconds from the launcher's start until the recorder has logged its start.
double StartToRecorder(const RunningTray& tray, const std::string& launcher)
{
    DeleteFileA(tray.Log().c_str());
    double begin = Now();
    traytest::Process run(Quoted(tray.File(launcher)) + " \"Power failure\" VELMOR: -c:3 KODRA", "");
    while (testlib::ReadRecorderLog(tray.Log()).empty()) {
        if (Now() - begin > 10) return -1;
        Sleep(1);
    }
    double ms = 1000 * (Now() - begin);
    DWORD code;
    run.Wait(code);
    return ms;
}

void Report(const char* what, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double m : ms) sum += m;
    printf("%-26s %zu starts: median %.1f ms, mean %.1f ms, min %.1f ms, max %.1f ms\n", what,
           ms.size(), ms[ms.size() / 2], sum / ms.size(), ms.front(), ms.back());
}

int Start(int count)
{
    RunningTray tray;
    if (!tray.Ok()) return 1;
    std::vector<double> direct, forwarded;
    for (int i = 0; i < count; ++i) {
        double d = StartToRecorder(tray, "msg.exe");
        double f = StartToRecorder(tray, "Plenrik.exe");
        if (d < 0 || f < 0) return 1;
        Sleep(300);
        direct.push_back(d);
        forwarded.push_back(f);
    }
    Report("msg.exe -> ktMsg.exe", direct);
    Report("Plenrik -> tray -> ktMsg", forwarded);
    return 0;
}

int Socket(int count)
{
    RunningTray tray;
    if (!tray.Ok()) return 1;
    std::vector<double> replied, started;
    std::string text = Quoted(tray.File("ktMsg.exe")) + " x";
    std::string record = "KODRA|" + std::to_string(text.size()) + "|" + text + "|";
    for (int i = 0; i < count; ++i) {
        DeleteFileA(tray.Log().c_str());
        double begin = Now();
        traytest::Client client(tray.Port());
        client.Send(record);
        client.ReadExactly(1);
        replied.push_back(1000 * (Now() - begin));
        while (testlib::ReadRecorderLog(tray.Log()).empty()) Sleep(1);
        started.push_back(1000 * (Now() - begin));
        Sleep(300);
    }
    std::string missing = Quoted(tray.File("missing.exe"));
    std::string absent = "KODRA|" + std::to_string(missing.size()) + "|" + missing + "|";
    std::vector<double> failed;
    for (int i = 0; i < count; ++i) {
        double begin = Now();
        traytest::Client client(tray.Port());
        client.Send(absent);
        client.ReadExactly(1);
        failed.push_back(1000 * (Now() - begin));
        Sleep(300);
    }
    Report("socket -> reply, started", replied);
    Report("socket -> reply, missing", failed);
    Report("socket -> ktMsg", started);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: tray_bench idle SECONDS | start COUNT\n");
        return 2;
    }
    std::string mode = argv[1];
    if (mode == "idle") return Idle(atof(argv[2]));
    if (mode == "start") return Start(atoi(argv[2]));
    if (mode == "socket") return Socket(atoi(argv[2]));
    return 2;
}
