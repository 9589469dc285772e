#include "ClientAliveDlg.h"

#include <climits>

#include "BatchName.h"
#include "KodraFiles.h"
#include "MessageBatchFile.h"
#include "WizardUtil.h"
#include "resource.h"

namespace {

void SetEnabled(CWnd& window, int id, BOOL enable)
{
    CWnd* control = window.GetDlgItem(id);
    if (control) control->EnableWindow(enable);
}

}  // namespace

CClientAliveDlg::CClientAliveDlg(CWnd* parent) : CKODRAPageDlg(IDD_CLIENT_ALIVE, parent) {}

CClientAliveDlg::~CClientAliveDlg() { CloseTestDialog(); }

UINT CClientAliveDlg::GetDialogId() { return IDD_CLIENT_ALIVE; }

void CClientAliveDlg::DoDataExchange(CDataExchange* dx)
{
    CKODRAPageDlg::DoDataExchange(dx);
    DDX_Control(dx, IDC_ALIVE_BEEP_COUNT, m_editBeepCount);
    DDX_Control(dx, IDC_ALIVE_BEEP_OFF, m_radioBeepOff);
    DDX_Control(dx, IDC_ALIVE_REDUNDANCY, m_checkRedundancy);
    DDX_Control(dx, IDC_ALIVE_ENABLE, m_checkEnable);
    DDX_Control(dx, IDC_ALIVE_TRAPS, m_checkTraps);
    DDX_Control(dx, IDC_ALIVE_POLLING, m_editPolling);
    DDX_Control(dx, IDC_ALIVE_RETRIES, m_editRetries);
    DDX_Control(dx, IDC_ALIVE_FAILURE_BATCH, m_editFailureBatch);
}

const classlib::MessageMap* CClientAliveDlg::GetMessageMap() const
{
    using namespace classlib;
    static const MessageMap map(CKODRAPageDlg::GetMessageMap(), {
        MapCommand<&CClientAliveDlg::OnEnableCheck>(IDC_ALIVE_ENABLE),
        MapCommand<&CClientAliveDlg::OnUseTraps>(IDC_ALIVE_TRAPS),
        MapCommand<&CClientAliveDlg::OnTestConnection>(IDC_ALIVE_TEST),
        MapCommand<&CClientAliveDlg::OnBrowse>(IDC_ALIVE_BROWSE),
        MapCommand<&CClientAliveDlg::OnDefaultSetting>(IDC_ALIVE_DEFAULT),
        MapCommand<&CClientAliveDlg::OnEditFile>(IDC_ALIVE_EDIT_FILE),
        MapCommand<&CClientAliveDlg::OnBeepRadio>(IDC_ALIVE_BEEP_OFF),
        MapCommand<&CClientAliveDlg::OnBeepRadio>(IDC_ALIVE_BEEP_ENDLESS),
        MapCommand<&CClientAliveDlg::OnBeepRadio>(IDC_ALIVE_BEEP_TIMES),
        MapMessage<&CClientAliveDlg::OnDestroy>(WM_DESTROY),
        MapMessage<&CClientAliveDlg::OnConnectionTestClosed>(WM_CONNECTION_TEST_CLOSED),
    });
    return &map;
}

void CClientAliveDlg::SetInitialFocus() { m_checkEnable.SetFocus(); }

void CClientAliveDlg::EnableCheckControls(BOOL enable)
{
    for (int id : {IDC_ALIVE_POLLING, IDC_ALIVE_FAILURE_BATCH, IDC_ALIVE_RETRIES, IDC_ALIVE_TRAPS,
                   IDC_ALIVE_TEST, IDC_ALIVE_BROWSE, IDC_ALIVE_DEFAULT, IDC_ALIVE_EDIT_FILE})
        SetEnabled(*this, id, enable);
}

void CClientAliveDlg::UpdatePollingEdit()
{
    m_editPolling.EnableWindow(m_checkEnable.GetCheck() == BST_CHECKED &&
                               m_checkTraps.GetCheck() != BST_CHECKED);
}

void CClientAliveDlg::LoadFromConfig(CCnfData* record)
{
    if (!record) return;
    m_editFailureBatch.SetWindowText(record->AlivePrg);
    CString number;
    number.Format("%lu", static_cast<unsigned long>(record->VelMorCheckIntervallSec / 60));
    m_editPolling.SetWindowText(number);
    number.Format("%ld", static_cast<long>(record->VelMorCheckConnectRetries));
    m_editRetries.SetWindowText(number);

    m_testAddresses.Copy(record->Addr);
    m_loadedAddresses.Copy(record->Addr);
    bool haveAddresses = m_loadedAddresses.GetSize() > 0;
    m_checkEnable.EnableWindow(haveAddresses);

    if (m_bFirstLoad) {
        m_bTrapsState = record->VelMorCheckUsesTraps;
        m_checkTraps.SetCheck(m_bTrapsState ? BST_CHECKED : BST_UNCHECKED);
    }
    if (haveAddresses) {
        if (m_bFirstLoad && record->VelMorCheckAlive != 0) {
            m_checkEnable.SetCheck(BST_CHECKED);
            m_bCheckState = true;
            EnableCheckControls(TRUE);
            m_bFirstLoad = false;
        } else {
            m_checkEnable.SetCheck(m_bCheckState ? BST_CHECKED : BST_UNCHECKED);
            EnableCheckControls(m_bCheckState);
            m_checkTraps.SetCheck(m_bTrapsState ? BST_CHECKED : BST_UNCHECKED);
        }
    } else {
        m_checkEnable.SetCheck(BST_UNCHECKED);
        EnableCheckControls(FALSE);
    }
    UpdatePollingEdit();
    m_checkRedundancy.SetCheck(record->RedundancyEnabled ? BST_CHECKED : BST_UNCHECKED);
    ReadBeepSetting();
}

void CClientAliveDlg::Refuse(CEdit& edit)
{
    edit.SetSel(0, -1);
    edit.SetFocus();
}

BOOL CClientAliveDlg::SaveToConfig(CCnfData* record)
{
    if (!record) return FALSE;
    record->VelMorCheckUsesTraps = m_checkTraps.GetCheck() == BST_CHECKED;
    if (m_checkEnable.GetCheck() == BST_CHECKED) {
        record->VelMorCheckAlive = 1;
        if (record->AddrModified) {
            OnTestConnection();
            record->AddrModified = 0;
        }
        record->Velmor.Copy(m_testAddresses);

        CString polling;
        m_editPolling.GetWindowText(polling);
        DWORD seconds = 0;
        if (!ValidatePollRate(polling, &seconds)) {
            Refuse(m_editPolling);
            return FALSE;
        }
        record->VelMorCheckIntervallSec = seconds;

        CString retries;
        m_editRetries.GetWindowText(retries);
        record->VelMorCheckConnectRetries = static_cast<DWORD>(LeadingNumber(retries));

        CString batch;
        m_editFailureBatch.GetWindowText(batch);
        if (!ValidateBatchName(batch)) {
            Refuse(m_editFailureBatch);
            return FALSE;
        }
        record->AlivePrg = batch;
    } else {
        record->Velmor.RemoveAll();
        record->VelMorCheckAlive = 0;
    }
    record->RedundancyEnabled = m_checkRedundancy.GetCheck() == BST_CHECKED ? 1 : 0;
    WriteBeepSetting();
    return TRUE;
}

bool CClientAliveDlg::ValidatePollRate(const CString& text, DWORD* seconds)
{
    if (text.IsEmpty()) {
        ShowInfoMessage(LoadResString(IDS_NO_POLLRATE));
        return false;
    }
    long minutes = LeadingNumber(text);
    char canonical[32];
    std::snprintf(canonical, sizeof canonical, "%ld", minutes);
    // The interval is a 32-bit number of seconds: larger rates cannot be stored.
    long long total = static_cast<long long>(minutes) * 60;
    if (text != canonical || minutes == 0 || total > INT_MAX || total < INT_MIN) {
        ShowInfoMessage(LoadResString(IDS_INVALID_POLLRATE));
        return false;
    }
    *seconds = static_cast<DWORD>(static_cast<long>(total));
    return true;
}

void CClientAliveDlg::OnEnableCheck()
{
    BOOL checked = m_checkEnable.GetCheck() == BST_CHECKED;
    EnableCheckControls(checked);
    UpdatePollingEdit();
    m_bCheckState = checked != FALSE;
}

void CClientAliveDlg::OnUseTraps()
{
    UpdatePollingEdit();
    m_bTrapsState = m_checkTraps.GetCheck() == BST_CHECKED;
}

void CClientAliveDlg::OnBeepRadio()
{
    bool counted = IsDlgButtonChecked(IDC_ALIVE_BEEP_TIMES) == BST_CHECKED;
    m_editBeepCount.EnableWindow(counted);
    if (counted && m_editBeepCount.GetWindowTextLength() == 0) m_editBeepCount.SetWindowText("1");
}

void CClientAliveDlg::OnBrowse()
{
    std::string filter;
    const std::pair<UINT, const char*> entries[] = {
        {IDS_FILTER_BATCH, "*.bat"}, {IDS_FILTER_PROGRAM, "*.exe"}, {IDS_FILTER_ALL, "*"}};
    for (const auto& entry : entries) {
        filter += LoadResString(entry.first).GetString();
        filter += '\0';
        filter += entry.second;
        filter += '\0';
    }
    filter += '\0';
    CString current;
    m_editFailureBatch.GetWindowText(current);
    CString chosen;
    if (BrowseForFile(chosen, filter.c_str(), LoadResString(IDS_ALIVE_BATCH_TITLE), current, nullptr))
        m_editFailureBatch.SetWindowText(chosen);
}

void CClientAliveDlg::OnDefaultSetting()
{
    m_editFailureBatch.SetWindowText(ProgramFolderFile(kKodraAliveBatch));
}

void CClientAliveDlg::OnEditFile()
{
    CString file;
    m_editFailureBatch.GetWindowText(file);
    EditInNotepad(file, SW_SHOWNORMAL);
}

void CClientAliveDlg::OnTestConnection()
{
    if (m_pTestDlg || m_loadedAddresses.GetSize() == 0) return;
    m_testAddresses.Copy(m_loadedAddresses);
    m_pTestDlg = new CCheckVelmorDlg(m_testAddresses, this);
    if (!m_pTestDlg->Create(IDD_CHECK_VELMOR, this)) {
        CloseTestDialog();
        return;
    }
    m_pTestDlg->ShowWindow(SW_SHOW);
    m_pTestDlg->SendMessage(WM_RUN_CONNECTION_TEST);
}

void CClientAliveDlg::CloseTestDialog()
{
    CCheckVelmorDlg* dialog = m_pTestDlg;
    m_pTestDlg = nullptr;
    if (!dialog) return;
    dialog->DestroyWindow();
    delete dialog;
}

LRESULT CClientAliveDlg::OnConnectionTestClosed(WPARAM, LPARAM)
{
    CloseTestDialog();
    return 1;
}

void CClientAliveDlg::OnDestroy()
{
    CloseTestDialog();
    Default();
}

void CClientAliveDlg::ReadBeepSetting()
{
    m_editBeepCount.EnableWindow(FALSE);
    BeepSetting setting = ReadMessageBatchBeep();
    switch (setting.choice) {
    case BeepChoice::Off:
        CheckRadioButton(IDC_ALIVE_BEEP_OFF, IDC_ALIVE_BEEP_TIMES, IDC_ALIVE_BEEP_OFF);
        break;
    case BeepChoice::Endless:
        CheckRadioButton(IDC_ALIVE_BEEP_OFF, IDC_ALIVE_BEEP_TIMES, IDC_ALIVE_BEEP_ENDLESS);
        break;
    case BeepChoice::Times: {
        CheckRadioButton(IDC_ALIVE_BEEP_OFF, IDC_ALIVE_BEEP_TIMES, IDC_ALIVE_BEEP_TIMES);
        CString text;
        text.Format("%ld", setting.count);
        m_editBeepCount.SetWindowText(text);
        m_editBeepCount.EnableWindow(TRUE);
        break;
    }
    case BeepChoice::Unchanged:
        break;
    }
}

void CClientAliveDlg::WriteBeepSetting()
{
    long count;
    if (m_radioBeepOff.GetCheck() == BST_CHECKED) {
        count = -1;
    } else if (IsDlgButtonChecked(IDC_ALIVE_BEEP_ENDLESS) == BST_CHECKED) {
        count = 0;
    } else {
        CString text;
        m_editBeepCount.GetWindowText(text);
        count = LeadingNumber(text);
        if (count < 1) count = 1;
        if (count > 9) count = 9;
    }
    WriteMessageBatchBeep(count);
}
