// Wrappers of the standard and common controls. Bind them to a dialog's
// controls with DDX_Control. They add no data to CWnd.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "Wnd.h"

class CButton : public CWnd {
public:
    int GetCheck() const;
    void SetCheck(int check);
};

class CEdit : public CWnd {
public:
    void SetSel(int start, int end, BOOL noScroll = FALSE);  // (0, -1) selects everything
    void LimitText(int count = 0);
};

class CStatic : public CWnd {
public:
    HBITMAP SetBitmap(HBITMAP bitmap);  // returns the image it held before
    HBITMAP GetBitmap() const;
};

class CListBox : public CWnd {
public:
    int GetCount() const;
    int GetCurSel() const;  // LB_ERR (-1) when none
    int SetCurSel(int index);
    int AddString(const char* text);
    int InsertString(int index, const char* text);
    int DeleteString(int index);
    void ResetContent();
    int GetText(int index, CString& text) const;
    int GetTextLen(int index) const;
};

class CComboBox : public CWnd {
public:
    int GetCount() const;
    int GetCurSel() const;  // CB_ERR (-1) when none
    int SetCurSel(int index);
    int AddString(const char* text);
    int InsertString(int index, const char* text);
    int DeleteString(int index);
    void ResetContent();
    int GetLBText(int index, CString& text) const;
};

class CListCtrl : public CWnd {
public:
    DWORD SetExtendedStyle(DWORD exStyle);  // returns the previous extended style
    DWORD GetExtendedStyle() const;
    int InsertColumn(int column, const char* heading, int format = LVCFMT_LEFT, int width = -1,
                     int subItem = -1);
    BOOL GetColumn(int column, LVCOLUMNA* info) const;
    BOOL SetColumnWidth(int column, int width);
    int GetColumnWidth(int column) const;

    int GetItemCount() const;
    int InsertItem(int item, const char* text);
    int InsertItem(const LVITEMA* item);
    BOOL DeleteItem(int item);
    BOOL DeleteAllItems();
    BOOL SetItemText(int item, int subItem, const char* text);
    CString GetItemText(int item, int subItem) const;
    BOOL SetItemData(int item, DWORD_PTR data);
    DWORD_PTR GetItemData(int item) const;
    BOOL SetItemState(int item, UINT state, UINT mask);
    UINT GetItemState(int item, UINT mask) const;
    int GetNextItem(int start, int flags) const;  // e.g. (-1, LVNI_SELECTED): the first selected
    int SetSelectionMark(int item);
    int GetSelectionMark() const;
    BOOL GetCheck(int item) const;  // check boxes (LVS_EX_CHECKBOXES)
    BOOL SetCheck(int item, BOOL check = TRUE);
    BOOL Update(int item);
};

class CSpinButtonCtrl : public CWnd {
public:
    int SetPos(int position);  // 16-bit position; returns the previous one
    int GetPos() const;
};

class CIPAddressCtrl : public CWnd {
public:
    // The address with the first field in the most significant byte; returns
    // the number of non-blank fields (blank fields read as 0).
    int GetAddress(DWORD& address) const;
    int GetAddress(BYTE& field0, BYTE& field1, BYTE& field2, BYTE& field3) const;
    void SetAddress(DWORD address);
    void SetAddress(BYTE field0, BYTE field1, BYTE field2, BYTE field3);
    void ClearAddress();
    BOOL IsBlank() const;
};

// A tooltip control that the dialog drives itself: add tools, activate it and
// relay the mouse messages to it (RelayEvent from PreTranslateMessage).
class CToolTipCtrl : public CWnd {
public:
    ~CToolTipCtrl() override;
    BOOL Create(CWnd* parent, DWORD style = 0);
    // A tool for the window (TTF_IDISHWND, owned by the window's parent), or,
    // with a rectangle, a rectangle of the window with the given id.
    BOOL AddTool(CWnd* window, const char* text = LPSTR_TEXTCALLBACKA, LPCRECT rect = NULL,
                 UINT_PTR toolId = 0);
    void Activate(BOOL activate);
    void RelayEvent(MSG* msg);
    int SetMaxTipWidth(int width);
    void SetDelayTime(DWORD duration, int milliseconds);
    BOOL GetToolInfo(TTTOOLINFOA& info, CWnd* window, UINT_PTR toolId = 0) const;
    void SetToolInfo(const TTTOOLINFOA* info);
};
