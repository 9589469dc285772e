// Works the demo installation's programs from outside, through their windows, as
// a person would, in the Wine prefix it runs in:
//   DemoDriver check DEMO_DIR
//       copies the demo installation to a scratch folder beside this program and
//       there walks the wizard's client installation, sends a message through
//       Plenrik and the tray to the stand-in ktMsg.exe, and walks the removal.
//   DemoDriver pictures DEMO_DIR OUT_DIR
//       the same walk in the folder C:\KODRA, with a detour into every dialog,
//       saving a picture of every wizard page and dialog, the tray's icon,
//       tooltip, menu and About box, Orlenk and the stand-ins' windows as
//       OUT_DIR\<name>.bmp.
// Clicks are posted to the controls (BM_CLICK), so no window needs the focus.
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

int _dowildcard = 0;

namespace {

const DWORD kTimeoutMs = 30000;
const char kServiceName[] = "KODRA";
const char kParametersKey[] = "SYSTEM\\CurrentControlSet\\Services\\KODRA\\Parameters";
const char kKtMsgTitle[] = "ktMsg.exe (demo stand-in)";
const char kHablatTitle[] = "Hablat.exe (demo stand-in)";
const char kTrayMainClass[] = "TrayMainWndClass";

// Controls of the wizard (resources/wizard/resource.h).
const int kNext = 1003;
const int kModeUninstall = 1008;
const int kAddrAdd = 1015;
const int kAddrConfigure = 1112;
const int kAddressText = 1011;
const int kAddressOk = 1039;
const int kNetBrowseIp = 1109;
const int kNetMessagePort = 1011;
const int kAliveEnable = 1029;
const int kAliveTest = 1054;
const int kAliveRedundancy = 1060;
const int kSdbConfigure = 1027;
const int kSdbMailSettings = 1111;
const int kBatchAvailable = 1050;
const int kBatchAdd = 1051;
// The wizard's default message port, and the one the demo gives a user who may
// not listen below 1024 (tests/session.sh does the same for `build.sh run`).
const u_short kDefaultMessagePort = 961;
const u_short kUnprivilegedMessagePort = 6961;
// ... and of Orlenk (resources/mailsettings/resource.h).
const int kOrlenkSender = 1000;
const int kOrlenkServer = 1001;

// The programs started and still running: a failure ends them, or they would
// hold the output that CTest waits on.
std::vector<HANDLE> g_running;

[[noreturn]] void Fail(const std::string& what)
{
    std::fprintf(stderr, "DemoDriver: %s\n", what.c_str());
    std::fflush(stderr);
    for (HANDLE process : g_running) TerminateProcess(process, 1);
    ExitProcess(1);
}

void Say(const std::string& what)
{
    std::printf("%s\n", what.c_str());
    std::fflush(stdout);
}

// A program of the demo installation, started in its folder; ended by force
// when it is still running as the object goes.
class Program {
public:
    Program(const std::string& folder, const std::string& commandLine)
    {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::vector<char> line(commandLine.begin(), commandLine.end());
        line.push_back('\0');
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            folder.c_str(), &startup, &info_))
            Fail("cannot start " + commandLine + " (error " + std::to_string(GetLastError()) + ")");
        CloseHandle(info_.hThread);
        g_running.push_back(info_.hProcess);
    }
    ~Program()
    {
        g_running.erase(std::find(g_running.begin(), g_running.end(), info_.hProcess));
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(info_.hProcess, 1);
            WaitForSingleObject(info_.hProcess, 5000);
        }
        CloseHandle(info_.hProcess);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    DWORD Id() const { return info_.dwProcessId; }
    DWORD WaitForExit(const std::string& what)
    {
        if (WaitForSingleObject(info_.hProcess, kTimeoutMs) != WAIT_OBJECT_0)
            Fail(what + " did not end");
        DWORD code = 0;
        if (!GetExitCodeProcess(info_.hProcess, &code)) Fail("no exit code of " + what);
        return code;
    }

private:
    PROCESS_INFORMATION info_{};
};

std::string Text(HWND window)
{
    char text[2048] = "";
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 5000, &length))
        return std::string();
    text[sizeof text - 1] = '\0';
    return text;
}

std::string ClassOf(HWND window)
{
    char name[128] = "";
    if (!GetClassNameA(window, name, sizeof name)) return std::string();
    return name;
}

struct TopSearch {
    DWORD processId;
    const char* title;
    HWND found;
};

BOOL CALLBACK MatchTop(HWND window, LPARAM data)
{
    TopSearch* search = reinterpret_cast<TopSearch*>(data);
    if (!IsWindowVisible(window)) return TRUE;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (search->processId != 0 && owner != search->processId) return TRUE;
    char title[512] = "";
    GetWindowTextA(window, title, sizeof title);
    if (std::strstr(title, search->title) == nullptr) return TRUE;
    search->found = window;
    return FALSE;
}

HWND FindTop(DWORD processId, const char* title)
{
    TopSearch search{processId, title, nullptr};
    EnumWindows(MatchTop, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Waits for a visible top-level window whose title holds the text (of any
// process when processId is 0).
HWND WaitTop(DWORD processId, const char* title)
{
    for (DWORD waited = 0; waited < kTimeoutMs; waited += 20) {
        if (HWND window = FindTop(processId, title)) return window;
        Sleep(20);
    }
    Fail(std::string("no window \"") + title + "\" appeared");
}

void WaitGone(HWND window, const std::string& what)
{
    for (DWORD waited = 0; waited < kTimeoutMs; waited += 20) {
        if (!IsWindow(window) || !IsWindowVisible(window)) return;
        Sleep(20);
    }
    Fail(what + " did not close");
}

HWND Control(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control) Fail("no control " + std::to_string(id) + " in \"" + Text(dialog) + "\"");
    return control;
}

void Click(HWND dialog, int id)
{
    if (!PostMessageA(Control(dialog, id), BM_CLICK, 0, 0)) Fail("cannot click " + std::to_string(id));
}

void SetText(HWND control, const char* text)
{
    if (!SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                             5000, nullptr))
        Fail(std::string("cannot enter ") + text);
}

// The texts of a message box's static controls, one after the other.
std::string BoxText(HWND box)
{
    std::string text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == "Static") text += Text(child);
    }
    return text;
}

struct BoxSearch {
    DWORD processId;
    const char* caption;
    const char* words;
    HWND found;
    std::string seen;
};

BOOL CALLBACK MatchBox(HWND window, LPARAM data)
{
    BoxSearch* search = reinterpret_cast<BoxSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (!IsWindowVisible(window) || owner != search->processId) return TRUE;
    char title[512] = "";
    GetWindowTextA(window, title, sizeof title);
    if (std::strcmp(title, search->caption) != 0) return TRUE;
    std::string text = BoxText(window);
    if (text.find(search->words) == std::string::npos) {
        if (!text.empty()) search->seen = text;
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

// A message box of the process with that caption whose text holds the words.
HWND WaitBox(DWORD processId, const char* caption, const char* words)
{
    BoxSearch search{processId, caption, words, nullptr, std::string()};
    for (DWORD waited = 0; waited < kTimeoutMs; waited += 20) {
        EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        Sleep(20);
    }
    Fail(std::string("no box \"") + caption + "\" said \"" + words + "\" (the last said \"" +
         search.seen + "\")");
}

// Saves pictures of windows as BMP files, or nothing when no folder is given.
class Pictures {
public:
    explicit Pictures(std::string folder) : folder_(std::move(folder)) {}
    bool On() const { return !folder_.empty(); }

    // The window with its frame, once it has painted.
    void Window(HWND window, const std::string& name)
    {
        if (!On()) return;
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        RECT rect;
        if (!GetWindowRect(window, &rect)) Fail("no rectangle of " + name);
        Settle();
        Area(rect, name);
    }

    void Area(const RECT& rect, const std::string& name)
    {
        if (!On()) return;
        const int width = rect.right - rect.left;
        const int height = rect.bottom - rect.top;
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!screen || !memory || !bitmap) Fail("cannot capture " + name);
        HGDIOBJ previous = SelectObject(memory, bitmap);
        bool copied = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != 0;
        GdiFlush();
        const DWORD stride = ((width * 3 + 3) / 4) * 4;
        const DWORD size = stride * height;
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof info.bmiHeader;
        file.bfSize = file.bfOffBits + size;
        std::string path = folder_ + "\\" + name + ".bmp";
        bool written = false;
        if (copied) {
            if (FILE* out = std::fopen(path.c_str(), "wb")) {
                written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                          std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
                          std::fwrite(bits, 1, size, out) == size;
                written = std::fclose(out) == 0 && written;
            }
        }
        SelectObject(memory, previous);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        if (!written) Fail("cannot save " + path);
        Say("picture: " + name);
    }

    // Pictures only: the screen has no "painted" event to wait for.
    static void Settle() { Sleep(700); }

private:
    std::string folder_;
};

// The wizard program of the scratch installation, with its main dialog.
class Wizard {
public:
    Wizard(const std::string& folder, const char* title, Pictures& pictures)
        : program_(folder, "\"" + folder + "\\KODRACFG.exe\""), pictures_(pictures)
    {
        main_ = WaitTop(program_.Id(), title);
        WaitPage();
    }
    DWORD Id() const { return program_.Id(); }
    HWND Main() const { return main_; }

    // The shown page: the one visible child dialog of the main dialog.
    HWND Page() const
    {
        for (HWND child = GetWindow(main_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (IsWindowVisible(child) && ClassOf(child) == "#32770") return child;
        }
        return nullptr;
    }
    HWND WaitPage() const
    {
        for (DWORD waited = 0; waited < kTimeoutMs; waited += 20) {
            if (HWND page = Page()) return page;
            Sleep(20);
        }
        Fail("the wizard shows no page");
    }
    std::string NextCaption() const { return Text(Control(main_, kNext)); }

    // Clicks Next or Back and waits for the other page.
    void Go(int button)
    {
        HWND before = WaitPage();
        Click(main_, button);
        for (DWORD waited = 0; waited < kTimeoutMs; waited += 20) {
            HWND page = Page();
            if (page && page != before) return;
            Sleep(20);
        }
        Fail("the wizard stayed on its page");
    }

    // Opens a dialog with a button of the shown page (or of the given window)
    // and returns the dialog.
    HWND Open(HWND from, int button, const char* title)
    {
        Click(from, button);
        return WaitTop(program_.Id(), title);
    }

    // Pictures the dialog and closes it with the button, or as Esc does.
    void Picture(HWND dialog, const std::string& name, int closeWith = IDCANCEL)
    {
        pictures_.Window(dialog, name);
        if (closeWith == IDCANCEL)
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        else
            Click(dialog, closeWith);
        WaitGone(dialog, name);
    }

    DWORD WaitForExit() { return program_.WaitForExit("the wizard"); }

private:
    Program program_;
    Pictures& pictures_;
    HWND main_ = nullptr;
};

void CopyInstallation(const std::string& from, const std::string& to)
{
    if (!CreateDirectoryA(to.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        Fail("cannot create " + to);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((from + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) Fail("no demo installation in " + from);
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        std::string source = from + "\\" + found.cFileName;
        std::string target = to + "\\" + found.cFileName;
        if (!CopyFileA(source.c_str(), target.c_str(), FALSE)) Fail("cannot copy " + source);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

DWORD ServiceState()
{
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (!manager) Fail("cannot open the service manager");
    SC_HANDLE service = OpenServiceA(manager, kServiceName, SERVICE_QUERY_STATUS);
    DWORD state = 0;
    SERVICE_STATUS status{};
    if (service && QueryServiceStatus(service, &status)) state = status.dwCurrentState;
    if (service) CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return state;
}

// A KODRA service or parameters left by an earlier run are removed first.
void RemoveLeftovers(const std::string& folder)
{
    if (ServiceState() != 0) {
        SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
        SC_HANDLE service = manager ? OpenServiceA(manager, kServiceName, SERVICE_STOP) : nullptr;
        SERVICE_STATUS status{};
        if (service) ControlService(service, SERVICE_CONTROL_STOP, &status);
        if (service) CloseServiceHandle(service);
        if (manager) CloseServiceHandle(manager);
        Program remove(folder, "\"" + folder + "\\KODRA.EXE\" -u -name KODRA");
        remove.WaitForExit("the KODRA program");
        for (DWORD waited = 0; ServiceState() != 0; waited += 20) {
            if (waited > kTimeoutMs) Fail("an earlier KODRA service stays");
            Sleep(20);
        }
    }
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kParametersKey);
}

void SetInstallationMode(DWORD mode)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kParametersKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        Fail("cannot open the service parameters");
    LONG result = RegSetValueExA(key, "InstallationMode", 0, REG_DWORD,
                                 reinterpret_cast<const BYTE*>(&mode), sizeof mode);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) Fail("cannot write InstallationMode");
}

// Selects an entry of another process's list view by the keyboard: the posted
// keys move its selection without the focus.
void SelectListEntry(HWND list, UINT firstKey, int ups)
{
    PostMessageA(list, WM_KEYDOWN, firstKey, 0);
    for (int i = 0; i < ups; ++i) PostMessageA(list, WM_KEYDOWN, VK_UP, 0);
}

// The address page's dialogs; an address is added for the connection test.
void AddressPageDialogs(Wizard& wizard)
{
    HWND page = wizard.WaitPage();
    HWND address = wizard.Open(page, kAddrAdd, "IP address");
    SetText(Control(address, kAddressText), "127.0.0.1");
    wizard.Picture(address, "wizard-address", kAddressOk);
    HWND network = wizard.Open(page, kAddrConfigure, "Advanced network settings");
    wizard.Picture(wizard.Open(network, kNetBrowseIp, "Select network adapter"), "wizard-select-adapter");
    wizard.Picture(network, "wizard-network-settings");
}

// The message port the tray can listen on for this user: the default, unless
// binding it is refused for want of rights (only root may listen below 1024).
u_short MessagePortForThisUser()
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) Fail("no Winsock");
    SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (probe == INVALID_SOCKET) Fail("no socket (error " + std::to_string(WSAGetLastError()) + ")");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(kDefaultMessagePort);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool refused = bind(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) ==
                             SOCKET_ERROR &&
                         WSAGetLastError() == WSAEACCES;
    closesocket(probe);
    WSACleanup();
    return refused ? kUnprivilegedMessagePort : kDefaultMessagePort;
}

// Enters the message port in the address page's network settings, as an
// administrator would.
void SetMessagePort(Wizard& wizard, u_short port)
{
    HWND network = wizard.Open(wizard.WaitPage(), kAddrConfigure, "Advanced network settings");
    SetText(Control(network, kNetMessagePort), std::to_string(port).c_str());
    Click(network, IDOK);
    WaitGone(network, "the network settings");
}

void ClientInstallation(const std::string& folder, Pictures& pictures)
{
    Wizard wizard(folder, "Client installation", pictures);
    pictures.Window(wizard.Main(), "kodracfg");
    wizard.Go(kNext);
    pictures.Window(wizard.Main(), "wizard-addresses");
    if (pictures.On()) AddressPageDialogs(wizard);
    const u_short port = MessagePortForThisUser();
    if (port == kDefaultMessagePort) {
        Say("message port: " + std::to_string(port));
    } else {
        SetMessagePort(wizard, port);
        Say("message port: " + std::to_string(port) + ", since this user may not listen on " +
            std::to_string(kDefaultMessagePort));
    }
    wizard.Go(kNext);
    if (pictures.On()) {
        HWND page = wizard.WaitPage();
        Click(page, kAliveEnable);
        Click(page, kAliveRedundancy);
        pictures.Window(wizard.Main(), "wizard-alive-check");
        HWND test = wizard.Open(page, kAliveTest, "Check VELMOR connections");
        wizard.Picture(test, "wizard-velmor-test", IDOK);
        Click(page, kAliveEnable);
        wizard.Go(kNext);
        pictures.Window(wizard.Main(), "wizard-redundancy");
    }
    while (wizard.NextCaption() != "Install") wizard.Go(kNext);
    pictures.Window(wizard.Main(), "wizard-shutdown-batch");
    if (pictures.On()) {
        HWND page = wizard.WaitPage();
        HWND editor = wizard.Open(page, kSdbConfigure, "Configure Shutdown Sequence");
        pictures.Window(editor, "wizard-sequence-editor");
        HWND list = Control(editor, kBatchAvailable);
        SelectListEntry(list, VK_END, 1);
        wizard.Picture(wizard.Open(editor, kBatchAdd, "Configure Pause"), "wizard-pause");
        SelectListEntry(list, VK_END, 0);
        wizard.Picture(wizard.Open(editor, kBatchAdd, "Configure KODRA shutdown relay"), "wizard-relay");
        PostMessageA(editor, WM_COMMAND, IDCANCEL, 0);
        WaitGone(editor, "the sequence editor");
        wizard.Picture(wizard.Open(page, kSdbMailSettings, "E-Mail settings"), "wizard-mail-settings");
    }
    Click(wizard.Main(), kNext);
    HWND done = WaitBox(wizard.Id(), "KODRA", "Client installation successful!");
    pictures.Window(done, "wizard-installed");
    Click(done, IDOK);
    wizard.WaitForExit();
    if (ServiceState() != SERVICE_RUNNING) Fail("the KODRA service does not run after the installation");
    Say("client installation: done, the KODRA service runs");
}

void ServerPages(const std::string& folder, Pictures& pictures)
{
    SetInstallationMode(1);
    {
        Wizard wizard(folder, "Server installation", pictures);
        wizard.Go(kNext);
        wizard.Go(kNext);
        pictures.Window(wizard.Main(), "wizard-server-time");
        Click(wizard.Main(), IDCANCEL);
        HWND ask = WaitBox(wizard.Id(), "KODRA", "Cancel installation?");
        pictures.Window(ask, "wizard-cancel");
        Click(ask, IDYES);
        wizard.WaitForExit();
    }
    SetInstallationMode(2);
}

void MouseAt(POINT at, DWORD buttons)
{
    SetCursorPos(at.x, at.y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof input);
    for (DWORD flag : {buttons & MOUSEEVENTF_RIGHTDOWN, buttons & MOUSEEVENTF_RIGHTUP}) {
        if (!flag) continue;
        input.mi.dwFlags = flag;
        SendInput(1, &input, sizeof input);
    }
}

// A visible window of the class, of any process.
HWND WaitVisible(const char* className, const std::string& what)
{
    for (DWORD waited = 0; waited < kTimeoutMs; waited += 20) {
        for (HWND window = FindWindowExA(nullptr, nullptr, className, nullptr); window;
             window = FindWindowExA(nullptr, window, className, nullptr)) {
            if (IsWindowVisible(window)) return window;
        }
        Sleep(20);
    }
    Fail(what + " did not show");
}

void Key(WORD key)
{
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof input[0]);
}

// The tray's icon with its tooltip, its menu and the About box it opens.
void TrayPictures(DWORD trayId, Pictures& pictures)
{
    HWND bar = FindWindowA("Shell_TrayWnd", nullptr);
    RECT barRect;
    if (!bar || !GetWindowRect(bar, &barRect)) Fail("the desktop has no taskbar");
    // The notification icons are drawn on the taskbar itself, the first one at
    // its right end, a small icon with a border of two pixels each side wide.
    const int iconWidth = GetSystemMetrics(SM_CXSMICON) + 4;
    POINT at{barRect.right - iconWidth / 2, (barRect.top + barRect.bottom) / 2};
    const RECT corner{barRect.right - 420, barRect.top - 140, barRect.right, barRect.bottom};

    MouseAt(POINT{at.x - 40, at.y}, 0);
    MouseAt(at, 0);
    HWND tip = WaitVisible("tooltips_class32", "the icon's tooltip");
    Pictures::Settle();
    pictures.Area(corner, "tray-tooltip");
    MouseAt(POINT{at.x - 40, at.y - 200}, 0);
    WaitGone(tip, "the icon's tooltip");

    MouseAt(at, MOUSEEVENTF_RIGHTDOWN | MOUSEEVENTF_RIGHTUP);
    HWND menu = WaitVisible("#32768", "the tray's menu");
    Pictures::Settle();
    RECT menuRect;
    GetWindowRect(menu, &menuRect);
    RECT area = corner;
    area.top = menuRect.top < area.top ? menuRect.top - 10 : area.top;
    area.left = menuRect.left < area.left ? menuRect.left - 10 : area.left;
    pictures.Area(area, "tray-menu");

    Key(VK_DOWN);
    Key(VK_RETURN);
    HWND about = WaitTop(trayId, "About");
    pictures.Window(about, "tray-about");
    Click(about, IDOK);
    WaitGone(about, "the About box");
}

void MessageThroughTray(const std::string& folder, Pictures& pictures)
{
    Program tray(folder, "\"" + folder + "\\kodratray.exe\"");
    std::string plenrik = "\"" + folder + "\\Plenrik.exe\" \"Power failure\" \"VELMOR:\" \"-c:1\" \"KODRA\"";
    // Until the tray listens, Plenrik finds no connection and ends with 0.
    for (DWORD waited = 0;; waited += 100) {
        Program sender(folder, plenrik);
        if (sender.WaitForExit("Plenrik") != 0) break;
        if (waited > kTimeoutMs) Fail("Plenrik found no tray to send to");
        Sleep(100);
    }
    HWND message = WaitTop(0, kKtMsgTitle);
    std::string text = BoxText(message);
    if (text.find("Power failure") == std::string::npos) Fail("ktMsg.exe shows \"" + text + "\"");
    pictures.Window(message, "ktmsg");
    Click(message, IDOK);
    WaitGone(message, "ktMsg.exe");
    Say("message through the tray: shown by ktMsg.exe");
    if (pictures.On()) TrayPictures(tray.Id(), pictures);

    HWND main = FindWindowA(kTrayMainClass, nullptr);
    if (!main) Fail("the tray has no main window");
    PostMessageA(main, WM_CLOSE, 0, 0);
    tray.WaitForExit("the tray");
}

void Removal(const std::string& folder, Pictures& pictures)
{
    Wizard wizard(folder, "Client installation", pictures);
    Click(wizard.WaitPage(), kModeUninstall);
    for (DWORD waited = 0; wizard.NextCaption() != "Uninstall"; waited += 20) {
        if (waited > kTimeoutMs) Fail("Uninstall did not become the last step");
        Sleep(20);
    }
    pictures.Window(wizard.Main(), "wizard-uninstall");
    Click(wizard.Main(), kNext);
    HWND ask = WaitBox(wizard.Id(), "KODRA", "Really uninstall client?");
    pictures.Window(ask, "wizard-uninstall-question");
    Click(ask, IDYES);
    HWND done = WaitBox(wizard.Id(), "KODRA", "Uninstall successful");
    pictures.Window(done, "wizard-uninstalled");
    Click(done, IDOK);
    wizard.WaitForExit();
    for (DWORD waited = 0; ServiceState() != 0; waited += 20) {
        if (waited > kTimeoutMs) Fail("the KODRA service stays after the removal");
        Sleep(20);
    }
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kParametersKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
        Fail("the service parameters stay after the removal");
    }
    Say("removal: done, the KODRA service and its parameters are gone");
}

// Orlenk with a server and a sender, and what the stand-in mailer would install.
void Orlenk(const std::string& folder, Pictures& pictures)
{
    Program orlenk(folder, "\"" + folder + "\\Orlenk.exe\"");
    HWND dialog = WaitTop(orlenk.Id(), "eMail Configuration");
    SetText(Control(dialog, kOrlenkSender), "ups@example.com");
    SetText(Control(dialog, kOrlenkServer), "mail.example.com");
    pictures.Window(dialog, "orlenk");
    Click(dialog, IDOK);
    HWND mailer = WaitTop(0, kHablatTitle);
    if (BoxText(mailer).find("mail.example.com") == std::string::npos)
        Fail("Hablat.exe shows \"" + BoxText(mailer) + "\"");
    pictures.Window(mailer, "hablat");
    Click(mailer, IDOK);
    orlenk.WaitForExit("Orlenk");
}

std::string OwnFolder()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    if (n == 0 || n >= sizeof path) Fail("no own path");
    std::string folder(path, n);
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string FullPath(const char* path)
{
    char full[MAX_PATH];
    DWORD n = GetFullPathNameA(path, sizeof full, full, nullptr);
    if (n == 0 || n >= sizeof full) Fail(std::string("bad path ") + path);
    return full;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (!((mode == "check" && argc == 3) || (mode == "pictures" && argc == 4))) {
        std::fprintf(stderr, "usage: DemoDriver check DEMO_DIR | pictures DEMO_DIR OUT_DIR\n");
        return 2;
    }
    Pictures pictures(mode == "pictures" ? FullPath(argv[3]) : std::string());
    // The pictures show the paths of a plain installation folder.
    const std::string folder = mode == "pictures" ? std::string("C:\\KODRA") : OwnFolder() + "\\demo-check";
    CopyInstallation(FullPath(argv[2]), folder);
    RemoveLeftovers(folder);

    ClientInstallation(folder, pictures);
    MessageThroughTray(folder, pictures);
    if (pictures.On()) {
        ServerPages(folder, pictures);
        Orlenk(folder, pictures);
    }
    Removal(folder, pictures);
    Say("demo installation: every walk passed");
    return 0;
}
