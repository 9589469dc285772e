#include "Glimlet.h"

#include <cstring>

UINT CGlimlet::NextId = 1;
const IconRegistry::Map IconRegistry::empty_;
const UINT TaskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");

namespace {

const char kWindowClass[] = "GLIMLET_MESSAGE_PROCESSOR_WND_CLASS";
const char kWindowName[] = "GLIMLET_MESSAGE_PROCESSOR_WND";

void CopyCut(char* dest, size_t size, const std::string& text, size_t max)
{
    size_t n = text.size() < max ? text.size() : max;
    if (n > size - 1) n = size - 1;
    memcpy(dest, text.data(), n);
    dest[n] = '\0';
}

LRESULT CALLBACK MessageWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        if (message == CGlimlet::CallbackMessage) {
            CGlimlet* icon = GetIconRegistry().Find(static_cast<UINT>(wParam));
            if (icon) icon->OnNotify(static_cast<UINT>(lParam));
            return 0;
        }
        if (message == TaskbarCreatedMessage) {
            IconRegistry& registry = GetIconRegistry();
            for (auto it = registry.Begin(); it != registry.End(); ++it) it->second->ReAdd();
        }
    } catch (...) {
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void IconRegistry::Enter(CGlimlet* icon)
{
    if (!map_) map_.reset(new Map);
    (*map_)[icon->Id()] = icon;
}

void IconRegistry::Leave(UINT id)
{
    if (!map_) return;
    map_->erase(id);
    if (map_->empty()) map_.reset();
}

CGlimlet* IconRegistry::Find(UINT id) const
{
    if (!map_) return nullptr;
    auto it = map_->find(id);
    return it == map_->end() ? nullptr : it->second;
}

IconRegistry::Map::const_iterator IconRegistry::Begin() const
{
    return map_ ? map_->cbegin() : empty_.cbegin();
}

IconRegistry::Map::const_iterator IconRegistry::End() const
{
    return map_ ? map_->cend() : empty_.cend();
}

IconRegistry& GetIconRegistry()
{
    static IconRegistry registry;
    return registry;
}

HWND GetMessageWindow()
{
    static HWND window = nullptr;
    if (window) return window;
    HINSTANCE module = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = MessageWndProc;
    wc.hInstance = module;
    wc.hIcon = LoadIconA(nullptr, IDI_WINLOGO);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassExA(&wc)) return nullptr;
    window = CreateWindowExA(0, kWindowClass, kWindowName, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                             module, nullptr);
    return window;
}

CGlimlet::CGlimlet() : id_(NextId++)
{
    GetIconRegistry().Enter(this);
    Show(false);
}

CGlimlet::~CGlimlet()
{
    Show(false);
    GetIconRegistry().Leave(id_);
}

void CGlimlet::FillIconData(NOTIFYICONDATAA& data) const
{
    memset(&data, 0, sizeof data);
    // The first structure size limits the shell to a 63-character tooltip.
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = GetMessageWindow();
    data.uID = id_;
}

void CGlimlet::SetTooltip(const std::string& text)
{
    tooltip_ = text;
    if (!visible_) return;
    NOTIFYICONDATAA data;
    FillIconData(data);
    data.uFlags = NIF_TIP;
    CopyCut(data.szTip, sizeof data.szTip, tooltip_, MaxTooltip);
    Shell_NotifyIconA(NIM_MODIFY, &data);
}

bool CGlimlet::Show(bool visible)
{
    if (visible == visible_) return true;
    visible_ = visible;
    return visible ? AddIcon() : DeleteIcon();
}

void CGlimlet::SetIcon(HICON icon, bool destroyPrevious)
{
    if (icon == icon_) return;
    if (destroyPrevious && icon_) DestroyIcon(icon_);
    icon_ = icon;
    if (!visible_) return;
    NOTIFYICONDATAA data;
    FillIconData(data);
    data.uFlags = NIF_ICON;
    data.hIcon = GetIconOrDefault();
    Shell_NotifyIconA(NIM_MODIFY, &data);
}

int CGlimlet::OnNotify(UINT mouseMessage)
{
    return OnMouse ? OnMouse(this, mouseMessage) : 0;
}

bool CGlimlet::ShowBalloon(const char* title, const char* text, DWORD infoFlags)
{
    if (!visible_) return false;
    NOTIFYICONDATAA data;
    FillIconData(data);
    data.uFlags = NIF_INFO;
    data.dwInfoFlags = infoFlags;
    data.uTimeout = 10000;
    CopyCut(data.szInfoTitle, sizeof data.szInfoTitle, title ? title : "", 63);
    CopyCut(data.szInfo, sizeof data.szInfo, text ? text : "", 255);
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

void CGlimlet::ReAdd()
{
    if (!visible_) return;
    if (Guard) {
        zwin::CZSmartLock hold(Guard, true);
        AddIcon();
    } else {
        AddIcon();
    }
}

HICON CGlimlet::GetIconOrDefault() const
{
    return icon_ ? icon_ : LoadIconA(nullptr, IDI_APPLICATION);
}

bool CGlimlet::AddIcon()
{
    NOTIFYICONDATAA data;
    FillIconData(data);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = CallbackMessage;
    data.hIcon = GetIconOrDefault();
    CopyCut(data.szTip, sizeof data.szTip, tooltip_, MaxTooltip);
    return Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
}

bool CGlimlet::DeleteIcon()
{
    NOTIFYICONDATAA data;
    FillIconData(data);
    return Shell_NotifyIconA(NIM_DELETE, &data) != FALSE;
}
