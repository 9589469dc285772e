// Dialog data exchange: DoDataExchange calls the DDX_ and DDV_ functions for
// each control; UpdateData(FALSE) fills the controls, UpdateData(TRUE) takes
// and checks their values. A failed check shows the library's prompt, selects
// the control's whole text, focuses it and makes UpdateData return FALSE.
#pragma once

#include <windows.h>

#include "CString.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate);

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;

    // The control's window (NULL when the dialog has no such control, which
    // the exchange then passes over); it becomes the control a failure focuses.
    HWND PrepareCtrl(int id);
    HWND PrepareEditCtrl(int id);
    // Focuses (and for an edit, selects) the last prepared control and ends the
    // exchange; never returns.
    [[noreturn]] void Fail();
    // The prompt through AfxMessageBox, then Fail.
    [[noreturn]] void Fail(const char* prompt);

    HWND LastControl() const { return lastControl_; }

private:
    HWND lastControl_ = NULL;
    bool lastIsEdit_ = false;
};

void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_Text(CDataExchange* dx, int id, CString& value);
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, UINT& value);
void DDX_Text(CDataExchange* dx, int id, DWORD& value);
void DDX_Check(CDataExchange* dx, int id, int& value);  // BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE
// id is the first radio button of a group; value is the checked one's index, -1 for none.
void DDX_Radio(CDataExchange* dx, int id, int& value);

// Also limits typing in the last prepared edit control to count characters.
void DDV_MaxChars(CDataExchange* dx, const CString& value, int count);
void DDV_MinMaxInt(CDataExchange* dx, int value, int minValue, int maxValue);
void DDV_MinMaxUInt(CDataExchange* dx, UINT value, UINT minValue, UINT maxValue);
void DDV_MinMaxDWord(CDataExchange* dx, DWORD value, DWORD minValue, DWORD maxValue);
