#include <winsock2.h>
#include <iphlpapi.h>

#include "AdvNetDlg.h"

#include <vector>

#include "SelectAdapter.h"
#include "WizardUtil.h"
#include "resource.h"

CAdvNetDlg::CAdvNetDlg(const char* bindAddress, int port, int messagePort, BOOL jobsAsUser, BOOL ssl,
                       BOOL acceptExpired, CWnd* parent)
    : CDialogTooltip(IDD_ADV_NET, parent),
      m_strBindAddress(bindAddress),
      m_bSSL(ssl),
      m_nPort(port),
      m_nMessagePort(messagePort),
      m_bAcceptExpired(acceptExpired),
      m_bJobsAsUser(jobsAsUser)
{
}

void CAdvNetDlg::DoDataExchange(CDataExchange* dx)
{
    CDialogTooltip::DoDataExchange(dx);
    DDX_Text(dx, IDC_NET_BIND, m_strBindAddress);
    DDX_Check(dx, IDC_NET_SSL, m_bSSL);
    DDX_Text(dx, IDC_NET_PORT, m_nPort);
    DDV_MinMaxInt(dx, m_nPort, 0, 65535);
    DDX_Text(dx, IDC_NET_MESSAGE_PORT, m_nMessagePort);
    DDV_MinMaxInt(dx, m_nMessagePort, 0, 65535);
    DDX_Check(dx, IDC_NET_ACCEPT_EXPIRED, m_bAcceptExpired);
    DDX_Check(dx, IDC_NET_JOBS_AS_USER, m_bJobsAsUser);
}

const classlib::MessageMap* CAdvNetDlg::GetMessageMap() const
{
    using namespace classlib;
    static const MessageMap map(CDialogTooltip::GetMessageMap(), {
        MapCommand<&CAdvNetDlg::OnBrowseForIP>(IDC_NET_BROWSE_IP),
        MapCommand<&CAdvNetDlg::OnSslClicked>(IDC_NET_SSL),
        MapCommand<&CAdvNetDlg::OnJobsShownClicked>(IDC_NET_JOBS_SHOWN),
    });
    return &map;
}

BOOL CAdvNetDlg::OnInitDialog()
{
    CDialogTooltip::OnInitDialog();
    if (!TrayProgramInstalled()) {
        CWnd* jobs = GetDlgItem(IDC_NET_JOBS_AS_USER);
        if (jobs) jobs->EnableWindow(FALSE);
        m_bJobsAsUser = FALSE;
    }
    UpdateData(FALSE);
    OnSslClicked();
    ShowJobsFlag();
    return TRUE;
}

// The translated templates keep the jobs flag in the hidden 1119 and show it in
// 1120, which mirrors 1119's state and hands every click on to it.
void CAdvNetDlg::ShowJobsFlag()
{
    CWnd* shown = GetDlgItem(IDC_NET_JOBS_SHOWN);
    CWnd* jobs = GetDlgItem(IDC_NET_JOBS_AS_USER);
    if (!shown || !jobs) return;
    shown->EnableWindow(jobs->IsWindowEnabled());
    CheckDlgButton(IDC_NET_JOBS_SHOWN, IsDlgButtonChecked(IDC_NET_JOBS_AS_USER));
}

void CAdvNetDlg::OnJobsShownClicked()
{
    CheckDlgButton(IDC_NET_JOBS_AS_USER, IsDlgButtonChecked(IDC_NET_JOBS_SHOWN));
}

void CAdvNetDlg::OnSslClicked()
{
    CWnd* acceptExpired = GetDlgItem(IDC_NET_ACCEPT_EXPIRED);
    if (acceptExpired) acceptExpired->EnableWindow(IsDlgButtonChecked(IDC_NET_SSL) == BST_CHECKED);
}

void CAdvNetDlg::OnOK()
{
    // A refused value has shown its prompt; the address question still comes.
    UpdateData(TRUE);
    if (!ResolveHostAddress(m_strBindAddress)) {
        CString question;
        question.Format(LoadResString(IDS_BIND_UNRESOLVED), m_strBindAddress.GetString());
        if (!AskYesNo(question)) {
            CWnd* bind = GetDlgItem(IDC_NET_BIND);
            if (bind) GotoDlgCtrl(bind);
            return;
        }
    }
    CDialogTooltip::OnOK();
}

void CAdvNetDlg::OnBrowseForIP()
{
    ULONG size = 0;
    if (GetAdaptersInfo(nullptr, &size) == ERROR_SUCCESS || size == 0) return;
    // The size covers the adapter records and the further address entries
    // packed after them, so it need not be a whole number of records.
    std::vector<IP_ADAPTER_INFO> adapters((size + sizeof(IP_ADAPTER_INFO) - 1) / sizeof(IP_ADAPTER_INFO));
    ULONG capacity = static_cast<ULONG>(adapters.size() * sizeof(IP_ADAPTER_INFO));
    if (GetAdaptersInfo(adapters.data(), &capacity) != ERROR_SUCCESS) return;

    CString current;
    GetDlgItemText(IDC_NET_BIND, current);
    CSelectAdapter chooser(adapters.data(), current, this);
    if (chooser.DoModal() != IDOK) return;
    m_strBindAddress = chooser.GetSelectedAddress();
    SetDlgItemText(IDC_NET_BIND, m_strBindAddress);
}
