// Bitmaps, device contexts for painting, and the wait cursor.
#pragma once

#include <windows.h>

#include "Wnd.h"

class CBitmap {
public:
    CBitmap() = default;
    ~CBitmap();
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;
    BOOL LoadBitmap(UINT id);  // from the application's module
    BOOL DeleteObject();
    HBITMAP GetSafeHandle() const { return handle_; }
    operator HBITMAP() const { return handle_; }

private:
    HBITMAP handle_ = NULL;
};

class CDC {
public:
    HDC m_hDC = NULL;
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    BOOL DrawIcon(int x, int y, HICON icon);
};

// BeginPaint on construction, EndPaint on destruction: for WM_PAINT handlers.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* window);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    PAINTSTRUCT m_ps{};

private:
    HWND hwnd_;
};

// The hourglass while the object lives.
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    HCURSOR previous_;
};
