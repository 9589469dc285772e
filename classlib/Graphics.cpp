#include "Graphics.h"

#include "App.h"

CBitmap::~CBitmap() { DeleteObject(); }

BOOL CBitmap::LoadBitmap(UINT id)
{
    DeleteObject();
    handle_ = ::LoadBitmapA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(id));
    return handle_ != NULL;
}

BOOL CBitmap::DeleteObject()
{
    if (!handle_)
        return FALSE;
    BOOL deleted = ::DeleteObject(handle_);
    handle_ = NULL;
    return deleted;
}

BOOL CDC::DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }

CPaintDC::CPaintDC(CWnd* window) : hwnd_(window ? window->m_hWnd : NULL)
{
    m_hDC = ::BeginPaint(hwnd_, &m_ps);
}

CPaintDC::~CPaintDC()
{
    if (m_hDC)
        ::EndPaint(hwnd_, &m_ps);
}

CWaitCursor::CWaitCursor() : previous_(::SetCursor(::LoadCursorA(NULL, IDC_WAIT))) {}

CWaitCursor::~CWaitCursor()
{
    POINT point;
    HWND under = GetCursorPos(&point) ? WindowFromPoint(point) : NULL;
    // Let the window under the cursor choose its own cursor again.
    if (!under || !::SendMessageA(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                                  MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)))
        ::SetCursor(previous_);
}
