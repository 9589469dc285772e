#include "AddrDlg.h"

#include "IniUtil.h"
#include "WizardUtil.h"
#include "resource.h"

namespace {
const int kMaxAddressLength = 63;
}

CAddrDlg::CAddrDlg(CWnd* parent) : CDialogTooltip(IDD_ADDRESS, parent) {}

void CAddrDlg::DoDataExchange(CDataExchange* dx)
{
    CDialogTooltip::DoDataExchange(dx);
    DDX_Control(dx, IDC_ADDRESS_TEXT, m_edit);
}

const classlib::MessageMap* CAddrDlg::GetMessageMap() const
{
    using namespace classlib;
    static const MessageMap map(CDialogTooltip::GetMessageMap(), {
        MapCommand<&CAddrDlg::OnOkButton>(IDC_ADDRESS_OK),
        MapCommand<&CAddrDlg::OnCancelButton>(IDC_ADDRESS_CANCEL),
    });
    return &map;
}

BOOL CAddrDlg::OnInitDialog()
{
    CDialogTooltip::OnInitDialog();
    m_edit.SetWindowText(m_strAddress);
    return TRUE;
}

// Enter reaches the default button; a stray IDOK must not skip the checks.
void CAddrDlg::OnOK() { OnOkButton(); }

void CAddrDlg::Refuse(UINT messageId)
{
    ShowInfoMessage(LoadResString(messageId));
    m_edit.SetSel(0, -1);
    m_edit.SetFocus();
}

void CAddrDlg::OnOkButton()
{
    CString text;
    m_edit.GetWindowText(text);
    TrimCString(text);
    if (text.IsEmpty()) {
        Refuse(IDS_EMPTY_ADDRESS);
        return;
    }
    if (text.GetLength() > kMaxAddressLength) {
        Refuse(IDS_ADDRESS_TOO_LONG);
        return;
    }
    if (!CheckIPv4Address(text, false)) {
        if (!ResolveHostAddress(text)) {
            Refuse(IDS_ILLEGAL_ADDRESS);
            return;
        }
    } else if (!CheckIPv4Address(text, true)) {
        Refuse(IDS_ILLEGAL_ADDRESS);
        return;
    }
    m_strAddress = text;
    EndDialog(IDOK);
}

void CAddrDlg::OnCancelButton() { CDialogTooltip::OnCancel(); }
