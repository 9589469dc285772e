#include "AddrlistDlg.h"

#include <cstdlib>
#include <cstring>

#include "AddrDlg.h"
#include "AdvNetDlg.h"
#include "CharBufferUtil.h"
#include "IniUtil.h"
#include "WizardUtil.h"
#include "resource.h"

namespace {

// Leading digits of the SSL text's field; none give 0.
long SslFieldValue(const char* text, int field)
{
    char buffer[32];
    GetFieldN(buffer, sizeof buffer, text, ";", field);
    long value = 0;
    for (const char* p = buffer; *p >= '0' && *p <= '9'; ++p)
        value = value < 100000000 ? value * 10 + (*p - '0') : value;
    return value;
}

CString SslCarriedField(const char* text)
{
    char buffer[512];
    GetFieldN(buffer, sizeof buffer, text, ";", 2);
    return buffer;
}

}  // namespace

CAddrlistDlg::CAddrlistDlg(CWnd* parent) : CKODRAPageDlg(IDD_ADDRLIST, parent) {}

UINT CAddrlistDlg::GetDialogId() { return IDD_ADDRLIST; }

void CAddrlistDlg::DoDataExchange(CDataExchange* dx)
{
    CKODRAPageDlg::DoDataExchange(dx);
    DDX_Control(dx, IDC_ADDR_LIST, m_listAddr);
    DDX_Control(dx, IDC_ADDR_EXPLAIN, m_staticExplain);
}

const classlib::MessageMap* CAddrlistDlg::GetMessageMap() const
{
    using namespace classlib;
    static const MessageMap map(CKODRAPageDlg::GetMessageMap(), {
        MapCommand<&CAddrlistDlg::OnAddAddress>(IDC_ADDR_ADD),
        MapCommand<&CAddrlistDlg::OnDeleteAddress>(IDC_ADDR_DELETE),
        MapCommand<&CAddrlistDlg::OnEditAddress>(IDC_ADDR_EDIT),
        MapCommand<&CAddrlistDlg::OnConfigureNetwork>(IDC_ADDR_CONFIGURE),
    });
    return &map;
}

void CAddrlistDlg::SetInitialFocus()
{
    CWnd* add = GetDlgItem(IDC_ADDR_ADD);
    if (add) add->SetFocus();
}

void CAddrlistDlg::EnableAddButtons(BOOL enable)
{
    // The hidden scanner button follows the Add button.
    for (int id : {IDC_ADDR_ADD, IDC_ADDR_BROWSE_SERVERS}) {
        CWnd* button = GetDlgItem(id);
        if (button) button->EnableWindow(enable);
    }
}

void CAddrlistDlg::LoadFromConfig(CCnfData* record)
{
    if (!record) return;
    m_strBindAddress = record->ListenIP;
    m_bSSL = SslFieldValue(record->SSL, 1) != 0;
    m_bAcceptExpired = SslFieldValue(record->SSL, 3) == 0;
    m_bModified = record->AddrModified != 0;

    m_staticExplain.SetWindowText(
        LoadResString(record->WizardMode == kModeServer ? IDS_SERVER_ADDR_EXPLAIN : IDS_CLIENT_ADDR_EXPLAIN));

    m_listAddr.ResetContent();
    for (int i = 0; i < record->Addr.GetSize(); ++i) m_listAddr.AddString(record->Addr[i]);
    std::memcpy(m_groupFlags, record->Addr_Checked, sizeof m_groupFlags);
    // The window keeps the state of its last show: a list with room gets its
    // Add button back.
    if (m_listAddr.GetCount() >= kMaxAddresses)
        EnableAddButtons(FALSE);
    else if (CWnd* add = GetDlgItem(IDC_ADDR_ADD))
        add->EnableWindow(TRUE);

    m_nPort = static_cast<int>(record->Port);
    m_nMessagePort = static_cast<int>(record->MessagePort);
    m_bJobsAsUser = record->CmdTray != 0;
}

BOOL CAddrlistDlg::SaveToConfig(CCnfData* record)
{
    if (!record) return FALSE;
    int count = m_listAddr.GetCount();
    if (count <= 0 && record->WizardMode == kModeServer) {
        ShowInfoMessage("No client addresses specified!");
        return FALSE;
    }
    record->Addr.RemoveAll();
    record->Velmor.RemoveAll();
    for (int i = 0; i < count; ++i) {
        CString entry;
        m_listAddr.GetText(i, entry);
        record->Addr.Add(TrimCString(entry));
    }
    std::memcpy(record->Addr_Checked, m_groupFlags, sizeof m_groupFlags);
    record->Port = static_cast<DWORD>(m_nPort);
    record->MessagePort = static_cast<DWORD>(m_nMessagePort);
    record->CmdTray = m_bJobsAsUser ? 1 : 0;
    record->ListenIP = m_strBindAddress;
    record->AddrModified = m_bModified ? 1 : 0;
    CString carried = SslCarriedField(record->SSL);
    record->SSL.Format("%d;%s;%x", m_bSSL ? 1 : 0, carried.GetString(), m_bAcceptExpired ? 0u : 1u);
    return TRUE;
}

int CAddrlistDlg::GetSelectedIndex()
{
    int index = m_listAddr.GetCurSel();
    if (index < 0) {
        ShowInfoMessage(LoadResString(IDS_NO_ADDRESS_SELECTED));
        return -1;
    }
    return index;
}

void CAddrlistDlg::OnAddAddress()
{
    CAddrDlg entry(this);
    if (entry.DoModal() != IDOK) return;
    int index = m_listAddr.AddString(entry.m_strAddress);
    // A new address starts outside the redundancy group.
    if (index >= 0 && index < kMaxAddresses) m_groupFlags[index] = 0;
    m_bModified = 1;
    if (m_listAddr.GetCount() >= kMaxAddresses) EnableAddButtons(FALSE);
}

void CAddrlistDlg::OnEditAddress()
{
    int index = GetSelectedIndex();
    if (index < 0) return;
    CAddrDlg entry(this);
    m_listAddr.GetText(index, entry.m_strAddress);
    if (entry.DoModal() != IDOK) return;
    m_listAddr.DeleteString(index);
    m_listAddr.InsertString(index, entry.m_strAddress);
    m_bModified = 1;
}

void CAddrlistDlg::OnDeleteAddress()
{
    int index = GetSelectedIndex();
    if (index < 0) return;
    CString entry;
    m_listAddr.GetText(index, entry);
    CString question;
    question.Format(LoadResString(IDS_DELETE_ADDRESS), entry.GetString());
    CWnd* main = AfxGetMainWnd();
    if (classlib::ShowMessageBox(main ? main->GetSafeHwnd() : nullptr, question,
                                 LoadResString(IDS_PRODUCT), MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    m_bModified = 1;
    m_listAddr.DeleteString(index);
    if (index < kMaxAddresses) {
        std::memmove(&m_groupFlags[index], &m_groupFlags[index + 1],
                     sizeof(short) * (kMaxAddresses - 1 - index));
        m_groupFlags[kMaxAddresses - 1] = 0;
    }
    int remaining = m_listAddr.GetCount();
    if (remaining > 0) m_listAddr.SetCurSel(index < remaining - 1 ? index : remaining - 1);
    if (remaining < kMaxAddresses) EnableAddButtons(TRUE);
}

void CAddrlistDlg::OnConfigureNetwork()
{
    CAdvNetDlg settings(m_strBindAddress, m_nPort, m_nMessagePort, m_bJobsAsUser, m_bSSL,
                        m_bAcceptExpired, this);
    if (settings.DoModal() != IDOK) return;
    m_strBindAddress = settings.m_strBindAddress;
    m_nPort = settings.m_nPort;
    m_nMessagePort = settings.m_nMessagePort;
    m_bJobsAsUser = settings.m_bJobsAsUser;
    m_bSSL = settings.m_bSSL;
    m_bAcceptExpired = settings.m_bAcceptExpired;
}
