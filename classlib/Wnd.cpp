#include "Wnd.h"

#include <commctrl.h>

#include <cstring>
#include <memory>
#include <type_traits>
#include <unordered_map>

#include "App.h"
#include "Seams.h"

namespace {

// Never destroyed: windows of static objects may outlive every other static.
std::unordered_map<HWND, CWnd*>& Permanent()
{
    static auto* map = new std::unordered_map<HWND, CWnd*>;
    return *map;
}

std::unordered_map<HWND, std::unique_ptr<CWnd>>& Temporary()
{
    static auto* map = new std::unordered_map<HWND, std::unique_ptr<CWnd>>;
    return *map;
}

// The message being handled on this thread, for Default().
struct CurrentMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    WNDPROC super;
    CurrentMessage* previous;
};
thread_local CurrentMessage* g_current = nullptr;

bool IsMouseMessage(UINT message)
{
    return message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP ||
           message == WM_RBUTTONDOWN || message == WM_RBUTTONUP || message == WM_MBUTTONDOWN ||
           message == WM_MBUTTONUP;
}

bool HasClass(HWND hwnd, const char* name)
{
    char buffer[64] = {};
    return GetClassNameA(hwnd, buffer, sizeof(buffer)) > 0 && lstrcmpiA(buffer, name) == 0;
}

// The visible child control of parent under the screen point, disabled ones and
// statics included. Group boxes are frames around other controls and are
// passed over; a child dialog (a page) shows the tips of its own controls.
HWND ControlAtPoint(HWND parent, POINT screen)
{
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child))
            continue;
        RECT rect;
        if (!GetWindowRect(child, &rect) || !PtInRect(&rect, screen))
            continue;
        if (HasClass(child, "#32770"))
            return NULL;
        if (HasClass(child, "Button") && (GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX)
            continue;
        return child;
    }
    return NULL;
}

const char kTipOwner[] = "classlib.tip.owner";
const char kTipProc[] = "classlib.tip.proc";

// The tooltip asks which window lies under the cursor before it shows a tip;
// inside its dialog it gets the control there, also a disabled one or a
// static, which the system's answer would skip.
LRESULT CALLBACK ToolTipProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC super = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kTipProc));
    HWND owner = static_cast<HWND>(GetPropA(hwnd, kTipOwner));
    if (message == TTM_WINDOWFROMPOINT && owner && lParam) {
        POINT point = *reinterpret_cast<const POINT*>(lParam);
        RECT client;
        if (IsWindowVisible(owner) && GetClientRect(owner, &client)) {
            MapWindowPoints(owner, NULL, reinterpret_cast<POINT*>(&client), 2);
            if (PtInRect(&client, point)) {
                HWND control = ControlAtPoint(owner, point);
                return reinterpret_cast<LRESULT>(control ? control : owner);
            }
        }
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(super));
        RemovePropA(hwnd, kTipProc);
        RemovePropA(hwnd, kTipOwner);
    }
    return super ? CallWindowProcA(super, hwnd, message, wParam, lParam)
                 : DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

struct WndAccess {
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static void FinishNcDestroy(HWND hwnd);
};

// Both are installed through a cast to LONG_PTR, which would hide a calling
// convention or parameter list that no longer matches what the system calls.
static_assert(std::is_same_v<WNDPROC, decltype(&WndAccess::WindowProc)>);
static_assert(std::is_same_v<WNDPROC, decltype(&ToolTipProc)>);

LRESULT CALLBACK WndAccess::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
    if (!wnd || !wnd->superProc_)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    WNDPROC super = wnd->superProc_;
    CurrentMessage frame{hwnd, message, wParam, lParam, super, g_current};
    g_current = &frame;
    LRESULT result = 0;
    bool handled = false;
    try {
        handled = wnd->DispatchToMap(message, wParam, lParam, result);
        if (!handled && message == WM_COMMAND && AfxGetApp())
            handled = AfxGetApp()->DispatchToMap(message, wParam, lParam, result);
    } catch (...) {
        OutputDebugStringA("classlib: a message handler threw an exception\n");
        handled = true;
        result = 0;
    }
    g_current = frame.previous;
    // From here on only the window handle is used: a handler may have deleted
    // the object.
    if (!handled)
        result = CallWindowProcA(super, hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY)
        FinishNcDestroy(hwnd);
    return result;
}

void WndAccess::FinishNcDestroy(HWND hwnd)
{
    CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
    if (wnd) {
        if (wnd->superProc_)
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(wnd->superProc_));
        wnd->superProc_ = NULL;
        if (wnd->toolTip_ && IsWindow(wnd->toolTip_))
            ::DestroyWindow(wnd->toolTip_);
        wnd->toolTip_ = NULL;
        wnd->Detach();
    }
    // Controls that were only attached went with their dialog.
    auto& map = Permanent();
    for (auto it = map.begin(); it != map.end();) {
        if (!it->second->superProc_ && !IsWindow(it->first)) {
            it->second->m_hWnd = NULL;
            it = map.erase(it);
        } else {
            ++it;
        }
    }
    if (wnd)
        wnd->PostNcDestroy();
}

CWnd::~CWnd()
{
    if (temporary_ || !m_hWnd)
        return;
    if (superProc_)
        ::DestroyWindow(m_hWnd);
    if (m_hWnd)
        Detach();
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    auto& map = Permanent();
    auto it = map.find(hwnd);
    return it == map.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    if (CWnd* wnd = FromHandlePermanent(hwnd))
        return wnd;
    auto& temporary = Temporary();
    std::unique_ptr<CWnd>& slot = temporary[hwnd];
    if (!slot) {
        slot = std::make_unique<CWnd>();
        slot->m_hWnd = hwnd;
        slot->temporary_ = true;
    }
    return slot.get();
}

BOOL CWnd::Attach(HWND hwnd)
{
    if (!hwnd || temporary_)
        return FALSE;
    if (m_hWnd)
        Detach();
    auto& map = Permanent();
    auto it = map.find(hwnd);
    if (it != map.end() && it->second != this) {
        if (it->second->superProc_)
            return FALSE;  // another object runs this window
        it->second->m_hWnd = NULL;
    }
    map[hwnd] = this;
    m_hWnd = hwnd;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hwnd = m_hWnd;
    if (hwnd && !temporary_) {
        auto& map = Permanent();
        auto it = map.find(hwnd);
        if (it != map.end() && it->second == this)
            map.erase(it);
    }
    m_hWnd = NULL;
    return hwnd;
}

void CWnd::SubclassWindowProc(HWND hwnd)
{
    if (!Attach(hwnd))
        return;
    SetLastError(0);
    LONG_PTR previous =
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WndAccess::WindowProc));
    if (previous == 0 && GetLastError() != 0) {
        Detach();
        return;
    }
    superProc_ = reinterpret_cast<WNDPROC>(previous);
}

LRESULT CWnd::Default()
{
    CurrentMessage* current = g_current;
    if (!current || current->hwnd != m_hWnd)
        return 0;
    return CallWindowProcA(current->super, current->hwnd, current->message, current->wParam,
                           current->lParam);
}

void CWnd::SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text ? text : ""); }

int CWnd::GetWindowText(CString& text) const
{
    int length = ::GetWindowTextLengthA(m_hWnd);
    if (length <= 0) {
        text.Empty();
        return 0;
    }
    int got = ::GetWindowTextA(m_hWnd, text.GetBufferSetLength(length), length + 1);
    text.ReleaseBuffer(got < 0 ? 0 : got);
    return text.GetLength();
}

int CWnd::GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }

void CWnd::SetDlgItemText(int id, const char* text) { ::SetDlgItemTextA(m_hWnd, id, text ? text : ""); }

int CWnd::GetDlgItemText(int id, CString& text) const
{
    HWND item = ::GetDlgItem(m_hWnd, id);
    if (!item) {
        text.Empty();
        return 0;
    }
    return CWnd::FromHandle(item)->GetWindowText(text);
}

BOOL CWnd::EnableWindow(BOOL enable) { return ::EnableWindow(m_hWnd, enable); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
BOOL CWnd::ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint)
{
    ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}

void CWnd::MoveWindow(LPCRECT rect, BOOL repaint)
{
    ::MoveWindow(m_hWnd, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
                 repaint);
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    return ::SetWindowPos(m_hWnd, insertAfter ? insertAfter->m_hWnd : NULL, x, y, cx, cy, flags);
}

void CWnd::GetClientRect(LPRECT rect) const
{
    if (!::GetClientRect(m_hWnd, rect))
        SetRectEmpty(rect);
}

void CWnd::GetWindowRect(LPRECT rect) const
{
    if (!::GetWindowRect(m_hWnd, rect))
        SetRectEmpty(rect);
}

void CWnd::ScreenToClient(LPPOINT point) const { ::ScreenToClient(m_hWnd, point); }
void CWnd::ScreenToClient(LPRECT rect) const { MapWindowPoints(NULL, m_hWnd, reinterpret_cast<POINT*>(rect), 2); }
void CWnd::ClientToScreen(LPPOINT point) const { ::ClientToScreen(m_hWnd, point); }
void CWnd::ClientToScreen(LPRECT rect) const { MapWindowPoints(m_hWnd, NULL, reinterpret_cast<POINT*>(rect), 2); }

void CWnd::CenterWindow(CWnd* alternateOwner)
{
    const bool child = (GetStyle() & WS_CHILD) != 0;
    HWND center = alternateOwner ? alternateOwner->m_hWnd
                                 : (child ? ::GetParent(m_hWnd) : GetWindow(m_hWnd, GW_OWNER));
    RECT area;
    if (child) {
        if (!center || !::GetClientRect(center, &area))
            return;
    } else if (center && ::IsWindowVisible(center) && !::IsIconic(center)) {
        ::GetWindowRect(center, &area);
    } else if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0)) {
        return;
    }
    RECT self;
    GetWindowRect(&self);
    int width = self.right - self.left;
    int height = self.bottom - self.top;
    int x = (area.left + area.right - width) / 2;
    int y = (area.top + area.bottom - height) / 2;
    if (!child) {
        RECT work;
        if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
            if (x + width > work.right)
                x = work.right - width;
            if (y + height > work.bottom)
                y = work.bottom - height;
            if (x < work.left)
                x = work.left;
            if (y < work.top)
                y = work.top;
        }
    }
    ::SetWindowPos(m_hWnd, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::Invalidate(BOOL erase) { ::InvalidateRect(m_hWnd, NULL, erase); }
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }

CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }
CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
CWnd* CWnd::GetDlgItem(int id) const { return m_hWnd ? FromHandle(::GetDlgItem(m_hWnd, id)) : nullptr; }
DWORD CWnd::GetStyle() const { return static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_STYLE)); }
DWORD CWnd::GetExStyle() const { return static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_EXSTYLE)); }

namespace {
BOOL ChangeLong(HWND hwnd, int index, DWORD remove, DWORD add, UINT flags)
{
    DWORD style = static_cast<DWORD>(GetWindowLongA(hwnd, index));
    DWORD changed = (style & ~remove) | add;
    if (changed == style)
        return FALSE;
    SetLastError(0);
    if (SetWindowLongA(hwnd, index, static_cast<LONG>(changed)) == 0 && GetLastError() != 0)
        return FALSE;
    if (flags)
        ::SetWindowPos(hwnd, NULL, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    return TRUE;
}
}  // namespace

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags) { return ChangeLong(m_hWnd, GWL_STYLE, remove, add, flags); }
BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT flags) { return ChangeLong(m_hWnd, GWL_EXSTYLE, remove, add, flags); }

HICON CWnd::SetIcon(HICON icon, BOOL bigIcon)
{
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::SendDlgItemMessage(int id, UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendDlgItemMessageA(m_hWnd, id, message, wParam, lParam);
}

void CWnd::CheckDlgButton(int id, UINT check) { ::CheckDlgButton(m_hWnd, id, check); }
UINT CWnd::IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id); }
void CWnd::CheckRadioButton(int firstId, int lastId, int checkId) { ::CheckRadioButton(m_hWnd, firstId, lastId, checkId); }

int CWnd::GetCheckedRadioButton(int firstId, int lastId) const
{
    for (int id = firstId; id <= lastId; ++id) {
        if (::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED)
            return id;
    }
    return 0;
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse) { return ::SetTimer(m_hWnd, id, elapse, NULL); }
BOOL CWnd::KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }

int CWnd::MessageBox(const char* text, const char* caption, UINT type)
{
    return classlib::ShowMessageBox(m_hWnd, text, caption ? caption : AfxGetAppTitle(), type);
}

BOOL CWnd::EnableToolTips(BOOL enable)
{
    toolTipsEnabled_ = enable != FALSE;
    if (toolTip_)
        ::SendMessageA(toolTip_, TTM_ACTIVATE, enable, 0);
    return TRUE;
}

void CWnd::RelayToolTip(const MSG& msg)
{
    if (!toolTip_) {
        toolTip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, NULL,
                                   WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, NULL,
                                   AfxGetInstanceHandle(), NULL);
        if (!toolTip_) {
            toolTipsEnabled_ = false;
            return;
        }
        LONG_PTR previous =
            SetWindowLongPtrA(toolTip_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ToolTipProc));
        if (!previous || !SetPropA(toolTip_, kTipProc, reinterpret_cast<HANDLE>(previous)) ||
            !SetPropA(toolTip_, kTipOwner, m_hWnd)) {
            if (previous)
                SetWindowLongPtrA(toolTip_, GWLP_WNDPROC, previous);
            ::DestroyWindow(toolTip_);
            toolTip_ = NULL;
            toolTipsEnabled_ = false;
            return;
        }
    }
    MSG relay = msg;
    HWND control = ControlAtPoint(m_hWnd, msg.pt);
    relay.hwnd = control ? control : m_hWnd;
    POINT point = msg.pt;
    ::ScreenToClient(relay.hwnd, &point);
    relay.lParam = MAKELPARAM(point.x, point.y);
    if (control) {
        TTTOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.hwnd = m_hWnd;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        if (!::SendMessageA(toolTip_, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool))) {
            tool.uFlags = TTF_IDISHWND;
            tool.lpszText = LPSTR_TEXTCALLBACKA;
            ::SendMessageA(toolTip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
    ::SendMessageA(toolTip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}

BOOL CWnd::PreTranslateMessage(MSG* msg)
{
    if (toolTipsEnabled_ && m_hWnd && IsMouseMessage(msg->message))
        RelayToolTip(*msg);
    return FALSE;
}

BOOL classlib::PreTranslate(MSG& msg)
{
    for (HWND hwnd = msg.hwnd; hwnd;) {
        CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
        if (wnd && wnd->PreTranslateMessage(&msg))
            return TRUE;
        if (!(GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD))
            break;
        hwnd = ::GetParent(hwnd);
    }
    return FALSE;
}
