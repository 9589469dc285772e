#include "ServerTimeDlg.h"

#include "ServerJob.h"
#include "StringUtil.h"
#include "WizardUtil.h"
#include "resource.h"

CServerTimeDlg::CServerTimeDlg(CWnd* parent) : CKODRAPageDlg(IDD_SERVER_TIME, parent) {}

UINT CServerTimeDlg::GetDialogId()
{
    return IDD_SERVER_TIME;
}

void CServerTimeDlg::SetInitialFocus()
{
    GotoDlgCtrl(&m_editMinutes);
}

void CServerTimeDlg::DoDataExchange(CDataExchange* dx)
{
    CKODRAPageDlg::DoDataExchange(dx);
    DDX_Control(dx, IDC_ST_MINUTES, m_editMinutes);
}

void CServerTimeDlg::LoadFromConfig(CCnfData* record)
{
    if (!record) return;
    unsigned long minutes = record->ExtraTimeMinutes <= 1 ? 1 : record->ExtraTimeMinutes;
    CString text;
    text.Format("%lu", minutes);
    m_editMinutes.SetWindowText(text);
}

BOOL CServerTimeDlg::SaveToConfig(CCnfData* record)
{
    if (!record) return FALSE;
    CString text;
    m_editMinutes.GetWindowText(text);
    // Digits up to the first other character; more minutes than the job holds
    // would reach it as another number.
    uint32_t minutes = 0;
    if (!LeadingUnsigned(text, kMostJobMinutes, minutes)) {
        ShowInfoMessage("Illegal number!");
        return FALSE;
    }
    if (minutes == 0) {
        ShowInfoMessage("Number too small!");
        return FALSE;
    }
    record->ExtraTimeMinutes = minutes;
    return TRUE;
}
