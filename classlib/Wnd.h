// The window wrapper. A CWnd is either permanent (a dialog of ours, or a
// control bound with DDX_Control or Attach) or a temporary wrapper handed out
// by FromHandle and GetDlgItem, which lives until the program ends.
#pragma once

#include <windows.h>

#include "CString.h"
#include "MessageMap.h"
#include "Rect.h"

class CWnd : public CCmdTarget {
    CLASSLIB_RUNTIME_CLASS(CWnd, CCmdTarget)
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = NULL;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return GetSafeHwnd(); }

    // The permanent object of a window, else a temporary wrapper; NULL for NULL.
    static CWnd* FromHandle(HWND hwnd);
    static CWnd* FromHandlePermanent(HWND hwnd);
    BOOL Attach(HWND hwnd);  // makes this the window's permanent object
    HWND Detach();

    void SetWindowText(const char* text);
    int GetWindowText(CString& text) const;
    int GetWindowTextLength() const;
    void SetDlgItemText(int id, const char* text);
    int GetDlgItemText(int id, CString& text) const;

    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL ShowWindow(int command);
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void MoveWindow(LPCRECT rect, BOOL repaint = TRUE);
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    void GetClientRect(LPRECT rect) const;
    void GetWindowRect(LPRECT rect) const;
    void ScreenToClient(LPPOINT point) const;
    void ScreenToClient(LPRECT rect) const;
    void ClientToScreen(LPPOINT point) const;
    void ClientToScreen(LPRECT rect) const;
    // Centres on the owner (or the parent, or alternate), else on the work area.
    void CenterWindow(CWnd* alternateOwner = NULL);
    void Invalidate(BOOL erase = TRUE);
    void UpdateWindow();

    CWnd* SetFocus();  // returns the window that had the focus
    static CWnd* GetFocus();
    CWnd* GetParent() const;
    int GetDlgCtrlID() const;
    CWnd* GetDlgItem(int id) const;  // NULL when there is no such control
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    // Changes the style bits; flags other than 0 also run SetWindowPos with them.
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);

    HICON SetIcon(HICON icon, BOOL bigIcon);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    void CheckDlgButton(int id, UINT check);
    UINT IsDlgButtonChecked(int id) const;
    void CheckRadioButton(int firstId, int lastId, int checkId);
    int GetCheckedRadioButton(int firstId, int lastId) const;  // 0 when none

    UINT_PTR SetTimer(UINT_PTR id, UINT elapse);
    BOOL KillTimer(UINT_PTR id);

    // A message box owned by this window, through the message-box seam; a NULL
    // caption gives the application's title.
    int MessageBox(const char* text, const char* caption = NULL, UINT type = MB_OK);

    // Tooltips for every child control: the tool's text is asked from this
    // window with TTN_NEEDTEXTA / TTN_NEEDTEXTW (TTF_IDISHWND set, idFrom the
    // control's window). Disabled controls and statics get their tips too.
    BOOL EnableToolTips(BOOL enable = TRUE);

    virtual BOOL DestroyWindow();

    // Called by the message loops for every message to this window or its
    // descendants before it is dispatched; TRUE when the message was consumed.
    virtual BOOL PreTranslateMessage(MSG* msg);

protected:
    // Runs the window's previous procedure for the message being handled (the
    // standard handling, e.g. default painting from an OnPaint handler).
    LRESULT Default();
    virtual void PostNcDestroy() {}

    // Makes this object handle the window's messages (our window procedure in
    // front of the window's own); the window is destroyed with the object.
    void SubclassWindowProc(HWND hwnd);

private:
    friend struct WndAccess;
    WNDPROC superProc_ = NULL;
    HWND toolTip_ = NULL;
    bool toolTipsEnabled_ = false;
    bool temporary_ = false;
    void RelayToolTip(const MSG& msg);
};

namespace classlib {
// The message filter of the modal loops: PreTranslateMessage of every permanent
// window from the message's window up to its top-level window. Programs with a
// message loop of their own call it before TranslateMessage/DispatchMessage.
BOOL PreTranslate(MSG& msg);
}  // namespace classlib
