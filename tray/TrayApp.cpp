#include "TrayApp.h"

#include <cstdio>
#include <vector>

#include "DebugTrace.h"
#include "MessagePort.h"
#include "PathUtil.h"
#include "ServiceState.h"
#include "SysFileUtil.h"
#include "TrayResources.h"
#include "VersionInfo.h"

HINSTANCE TrayInstance = nullptr;
HWND TrayMainWindow = nullptr;
TrayAskFn TrayAsk = MessageBoxA;

namespace {

const char kMainClass[] = "TrayMainWndClass";
const UINT_PTR kTimerEvent = 1234;
enum MenuCommand { kCommandClose = 3, kCommandAbout = 4, kCommandConfig = 5 };

// Kills the timer and stops the listen thread; the connection is closed only
// once the thread has ended, since a running pass still reads and replies on it.
void StopListening()
{
    if (theTrayApp.TimerId != 0) {
        KillTimer(TrayMainWindow, theTrayApp.TimerId);
        theTrayApp.TimerId = 0;
    }
    if (theTrayApp.ListenThread.Stop(10000, false)) {
        theTrayApp.Transport.Close();
        theTrayApp.ListenThreadAbandoned = false;
    } else {
        theTrayApp.ListenThreadAbandoned = true;
    }
}

void OnMainCreate(HWND window)
{
    ShowWindow(window, SW_HIDE);
    theTrayApp.TimerId = SetTimer(window, kTimerEvent, 1000, nullptr);
}

void OnMainTimer(WPARAM timerId)
{
    if (theTrayApp.ListenThread.IsRunning() && timerId == theTrayApp.TimerId) PollServiceState();
}

void OpenInProgramFolder(const std::string& name)
{
    std::string path = PathJoin(GetModuleDirectory(nullptr), name);
    ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void SetAboutIcon(HWND dialog)
{
    HWND picture = GetDlgItem(dialog, IDC_ABOUT_ICON);
    if (!picture) return;
    SendMessageA(picture, STM_SETICON,
                 reinterpret_cast<WPARAM>(LoadIconA(TrayInstance, MAKEINTRESOURCEA(IDI_ABOUT))), 0);
}

void FillAboutText(HWND dialog)
{
    CVersionInfo version(nullptr);
    if (HWND line = GetDlgItem(dialog, IDC_ABOUT_VERSION)) {
        std::string text = theTrayApp.Title + " Version " + version.GetFileVersion();
        SetWindowTextA(line, text.c_str());
    }
    if (HWND line = GetDlgItem(dialog, IDC_ABOUT_COPYRIGHT))
        SetWindowTextA(line, version.GetLegalCopyright().c_str());
}

void PlaceAboutBox(HWND dialog)
{
    RECT desktop, box;
    if (!GetWindowRect(GetDesktopWindow(), &desktop) || !GetWindowRect(dialog, &box)) return;
    int width = box.right - box.left;
    int height = box.bottom - box.top;
    SetWindowPos(dialog, nullptr, desktop.right - width - 100, desktop.bottom - height - 200, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowAboutBox()
{
    if (theTrayApp.AboutOpen) return;
    theTrayApp.AboutOpen = true;
    DialogBoxParamA(TrayInstance, MAKEINTRESOURCEA(IDD_ABOUT), TrayMainWindow, AboutDlgProc, 0);
    theTrayApp.AboutOpen = false;
}

void AskAndClose()
{
    std::string question = LoadTrayString(IDS_CLOSE_QUESTION);
    std::string caption = LoadTrayString(IDS_CLOSE_CAPTION, 128);
    if (TrayAsk(TrayMainWindow, question.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES)
        PostMessageA(TrayMainWindow, WM_CLOSE, 0, 0);
}

}  // namespace

CTrayApp::CTrayApp(const char* transportLibrary) : Transport(transportLibrary) {}

void SetTrayIcon(int iconId)
{
    HICON icon = static_cast<HICON>(LoadImageA(TrayInstance, MAKEINTRESOURCEA(iconId), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    if (!icon) return;
    theTrayApp.Icon.SetIcon(icon, true);
    theTrayApp.IconId = iconId;
}

std::string LoadTrayString(UINT id, int bufferSize)
{
    std::vector<char> text(static_cast<size_t>(bufferSize), '\0');
    int n = LoadStringA(TrayInstance, id, text.data(), bufferSize);
    return n > 0 ? std::string(text.data(), static_cast<size_t>(n)) : std::string();
}

void ReadMessagePort()
{
    ReadServiceMessagePort("KODRA", "961", theTrayApp.PortText);
}

bool CreateMainWindow(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kMainClass;
    if (!RegisterClassA(&wc)) return false;
    TrayMainWindow = CreateWindowA(kMainClass, "Main Window",
                                   WS_MINIMIZE | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, 300, 200, nullptr, nullptr, instance,
                                   nullptr);
    return TrayMainWindow != nullptr;
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        switch (message) {
        case WM_CREATE:
            TrayMainWindow = window;
            OnMainCreate(window);
            break;
        case WM_TIMER:
            OnMainTimer(wParam);
            break;
        case WM_CLOSE:
            StopListening();
            break;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
        }
    } catch (...) {
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int OnTrayMouse(CGlimlet*, UINT mouseMessage)
{
    if (mouseMessage == WM_LBUTTONDBLCLK) OpenDoubleClickTarget();
    else if (mouseMessage == WM_RBUTTONUP) ShowTrayMenu();
    return 0;
}

void OpenDoubleClickTarget() { OpenInProgramFolder(theTrayApp.DoubleClickTarget); }

void OpenConfiguration() { OpenInProgramFolder(theTrayApp.ConfigLink); }

void ShowTrayMenu()
{
    POINT at;
    if (!GetCursorPos(&at)) return;
    HMENU menu = CreatePopupMenu();
    if (!menu) return;
    AppendMenuA(menu, MF_STRING, kCommandAbout, LoadTrayString(IDS_MENU_ABOUT).c_str());
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, kCommandConfig, LoadTrayString(IDS_MENU_CONFIG).c_str());
    AppendMenuA(menu, MF_STRING, kCommandClose, LoadTrayString(IDS_MENU_CLOSE).c_str());
    // The menu closes on a click elsewhere only while its owner is the foreground
    // window; the posted message lets the menu loop end before the next click.
    SetForegroundWindow(TrayMainWindow);
    int command = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0,
                                 TrayMainWindow, nullptr);
    PostMessageA(TrayMainWindow, WM_NULL, 0, 0);
    DestroyMenu(menu);
    switch (command) {
    case kCommandClose:
        AskAndClose();
        break;
    case kCommandAbout:
        ShowAboutBox();
        break;
    case kCommandConfig:
        OpenConfiguration();
        break;
    default:
        break;
    }
}

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    try {
        if (message == WM_INITDIALOG) {
            SetAboutIcon(dialog);
            FillAboutText(dialog);
            PlaceAboutBox(dialog);
            return TRUE;
        }
        if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
    } catch (...) {
        return FALSE;
    }
    return FALSE;
}

int RunTray(HINSTANCE instance)
{
    DebugSetup(0, DEBUG_STREAM_NONE);
    TrayInstance = instance;
    theTrayApp.Icon.SetTooltip(theTrayApp.Title);
    theTrayApp.Icon.Show(true);
    SetTrayIcon(IDI_STATUS_OK);
    theTrayApp.Icon.Guard = &theTrayApp.Lock;
    ReadMessagePort();
    theTrayApp.Icon.OnMouse = OnTrayMouse;
    theTrayApp.Host = "localhost";
    theTrayApp.LastServiceState = -1;
    theTrayApp.AboutOpen = false;

    char address[512];
    snprintf(address, sizeof address, "tcp:%s@%s", theTrayApp.PortText.c_str(),
             theTrayApp.Host.c_str());
    if (!theTrayApp.Transport.Open(address)) return -1;
    if (!theTrayApp.ListenThread.Start(10000, false)) return -1;
    if (!CreateMainWindow(instance)) {
        StopListening();
        return -1;
    }

    MSG msg;
    for (;;) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) {
            StopListening();
            return -1;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
