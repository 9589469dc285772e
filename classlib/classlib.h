// Our own small dialog class library on the narrow Win32 API. Include this one
// header; link the static library target `classlib`.
//
// A dialog class:
//
//     class CMyDlg : public CDialog {
//     public:
//         explicit CMyDlg(CWnd* parent = NULL) : CDialog(IDD_MY, parent) {}
//         CString m_strName;
//         int m_nPort = 0;
//     protected:
//         void DoDataExchange(CDataExchange* dx) override {
//             CDialog::DoDataExchange(dx);
//             DDX_Control(dx, IDC_LIST, m_list);
//             DDX_Text(dx, IDC_NAME, m_strName);
//             DDV_MaxChars(dx, m_strName, 64);
//             DDX_Text(dx, IDC_PORT, m_nPort);
//             DDV_MinMaxInt(dx, m_nPort, 0, 65535);
//         }
//         BOOL OnInitDialog() override;            // call CDialog::OnInitDialog() first
//         void OnOK() override;                    // CDialog::OnOK() takes the data and closes
//         const classlib::MessageMap* GetMessageMap() const override;
//         void OnBrowse();                         // handlers: any access, non-static members
//         void OnItemChanged(NMHDR* header, LRESULT* result);
//         void OnPaint();
//         LRESULT OnMyMessage(WPARAM, LPARAM);
//         BOOL OnToolTipNeedText(UINT id, NMHDR* header, LRESULT* result);
//         CListCtrl m_list;
//     };
//
//     const classlib::MessageMap* CMyDlg::GetMessageMap() const {
//         using namespace classlib;
//         static const MessageMap map(CDialog::GetMessageMap(), {
//             MapCommand<&CMyDlg::OnBrowse>(IDC_BROWSE),              // BN_CLICKED
//             MapCommand<&CMyDlg::OnBrowse>(IDC_BROWSE, BN_DOUBLECLICKED),
//             MapNotify<&CMyDlg::OnItemChanged>(IDC_LIST, LVN_ITEMCHANGED),
//             MapNotifyRange<&CMyDlg::OnToolTipNeedText>(TTN_NEEDTEXTA, 0, 0xFFFF),
//             MapMessage<&CMyDlg::OnPaint>(WM_PAINT),
//             MapMessage<&CMyDlg::OnMyMessage>(WM_USER + 1),
//         });
//         return &map;
//     }
//
// The first matching entry of the most derived map wins; unhandled messages get
// the standard handling, and unhandled commands go on to the application's map
// (ID_HELP reaches CWinApp::OnHelp). IDOK and IDCANCEL call the virtual OnOK and
// OnCancel. A handler may destroy and delete its own object: the library does
// not touch it afterwards. Call Default() from a handler for the standard
// handling of the message being handled (e.g. painting when not minimised).
// Tooltip text requests of EnableToolTips come with TTF_IDISHWND and are matched
// by the control id of the tool window, so a range 0..0xFFFF receives them all.
//
// Pages: Create(templateId, parentDialog) for a child template; place it with
// MoveWindow and ShowWindow. Modeless popups: Create, ShowWindow, and
// DestroyWindow before deleting the object.
//
// Strings: CString converts to const char*; pass (const char*)s or s.GetString()
// to Format and other printf-like calls (the compiler warns otherwise).
//
// Tests (GUI tests under Xvfb): Seams.h has one hook each for message boxes,
// modal dialog runs, the file dialog and starting programs; the test kit in
// tests/classlib/testkit (target classlib_testkit) wraps them in scoped
// recorders and drivers and adds Click/SetText/GetText helpers:
//
//     classlib::testkit::MessageBoxRecorder boxes(IDYES);     // answers every box
//     classlib::testkit::ModalDriver driver([&](CDialog& dlg) {
//         classlib::testkit::SetText(dlg, IDC_NAME, "x");
//         classlib::testkit::Click(dlg, IDOK);                // runs OnOK at once
//     });
//     EXPECT_EQ(IDOK, dlg.DoModal());
//     EXPECT_EQ(1u, boxes.Calls().size());
#pragma once

#include <windows.h>

#include "CString.h"
#include "Object.h"
#include "App.h"
#include "Wnd.h"
#include "Dialog.h"
#include "MessageMap.h"
#include "DataExchange.h"
#include "Controls.h"
#include "FileDialog.h"
#include "Graphics.h"
#include "File.h"
#include "Rect.h"
#include "Seams.h"
