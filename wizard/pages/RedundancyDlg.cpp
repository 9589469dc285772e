#include "RedundancyDlg.h"

#include "WizardUtil.h"
#include "resource.h"

CRedundancyDlg::CRedundancyDlg(CWnd* parent) : CKODRAPageDlg(IDD_REDUNDANCY, parent) {}

UINT CRedundancyDlg::GetDialogId()
{
    return IDD_REDUNDANCY;
}

void CRedundancyDlg::SetInitialFocus()
{
    GotoDlgCtrl(&m_listGroup);
}

void CRedundancyDlg::DoDataExchange(CDataExchange* dx)
{
    CKODRAPageDlg::DoDataExchange(dx);
    DDX_Control(dx, IDC_RED_BATCH, m_editBatchFile);
    DDX_Control(dx, IDC_RED_EXECUTE, m_checkExecuteBatch);
    DDX_Control(dx, IDC_RED_LEVEL, m_comboLevel);
    DDX_Control(dx, IDC_RED_GROUP, m_listGroup);
}

BOOL CRedundancyDlg::OnInitDialog()
{
    BOOL result = CKODRAPageDlg::OnInitDialog();
    m_listGroup.SetExtendedStyle(m_listGroup.GetExtendedStyle() | LVS_EX_CHECKBOXES);
    CRect client;
    m_listGroup.GetClientRect(&client);
    m_listGroup.InsertColumn(0, "", LVCFMT_LEFT, client.Width());
    return result;
}

void CRedundancyDlg::LoadFromConfig(CCnfData* record)
{
    m_bRulesActive = FALSE;
    m_listGroup.DeleteAllItems();
    m_comboLevel.ResetContent();
    int members = 0;
    int count = record->Addr.GetSize();
    if (count > kMaxAddresses) count = kMaxAddresses;
    for (int i = 0; i < count; ++i) {
        int row = m_listGroup.InsertItem(i, record->Addr[i]);
        bool member = record->Addr_Checked[i] != 0 && members < kMaxRedundancyMembers;
        if (member) {
            CString entry;
            entry.Format("%d", members);
            m_comboLevel.AddString(entry);
            ++members;
        }
        m_listGroup.SetCheck(row, member ? TRUE : FALSE);
    }

    DWORD level = static_cast<DWORD>(record->RedundancyLevel);
    DWORD last = static_cast<DWORD>(members - 1);
    m_comboLevel.SetCurSel(static_cast<int>(level > last ? last : level));

    m_checkExecuteBatch.SetCheck(record->RedundancyBatchSuppress == 0 ? BST_CHECKED
                                                                      : BST_UNCHECKED);
    m_editBatchFile.SetWindowText(record->RedundancyBatchFile);
    m_bRulesActive = TRUE;
}

void CRedundancyDlg::OnItemChangedGroup(NMHDR* header, LRESULT* result)
{
    *result = 0;
    if (!m_bRulesActive) return;
    const NMLISTVIEW* change = reinterpret_cast<NMLISTVIEW*>(header);
    // One click also moves the selection and the focus, each with its own
    // notification: only the check box's own change is the user's action.
    bool checkChanged = (change->uChanged & LVIF_STATE) &&
                        ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK);
    ApplyGroupRules(change->iItem, checkChanged);
}

void CRedundancyDlg::ApplyGroupRules(int row, bool checkChanged)
{
    int members = 0;
    for (int i = 0; i < m_listGroup.GetItemCount(); ++i)
        if (m_listGroup.GetCheck(i)) ++members;

    bool rowUnchecked = row >= 0 && !m_listGroup.GetCheck(row);
    if (members > kMaxRedundancyMembers && row >= 0) {
        AfxMessageBox(LoadResString(IDS_GROUP_FULL), MB_OK);
        m_listGroup.SetCheck(row, FALSE);
        members = kMaxRedundancyMembers;
    } else if (members < 2 && rowUnchecked && checkChanged) {
        AfxMessageBox(LoadResString(IDS_GROUP_TOO_SMALL), MB_OK);
    }

    int selection = m_comboLevel.GetCurSel();
    while (m_comboLevel.GetCount() > members) m_comboLevel.DeleteString(m_comboLevel.GetCount() - 1);
    while (m_comboLevel.GetCount() < members) {
        CString entry;
        entry.Format("%d", m_comboLevel.GetCount());
        m_comboLevel.AddString(entry);
    }
    if (selection == -1 && members > 0) selection = 0;
    if (selection > members - 1) selection = members - 1;
    m_comboLevel.SetCurSel(selection);
}

BOOL CRedundancyDlg::SaveToConfig(CCnfData* record)
{
    record->ClearRedundancyGroup();
    int rows = m_listGroup.GetItemCount();
    if (rows > kMaxAddresses) rows = kMaxAddresses;
    for (int i = 0; i < rows; ++i) record->Addr_Checked[i] = m_listGroup.GetCheck(i) ? 1 : 0;
    record->RedundancyLevel = m_comboLevel.GetCurSel();
    record->RedundancyBatchSuppress = m_checkExecuteBatch.GetCheck() == BST_CHECKED ? 0 : 1;
    m_editBatchFile.GetWindowText(record->RedundancyBatchFile);
    return TRUE;
}

void CRedundancyDlg::OnEditFile()
{
    CString path;
    m_editBatchFile.GetWindowText(path);
    EditInNotepad(path, SW_SHOW);
}

const classlib::MessageMap* CRedundancyDlg::GetMessageMap() const
{
    using namespace classlib;
    static const MessageMap map(
        CKODRAPageDlg::GetMessageMap(),
        {
            MapNotify<&CRedundancyDlg::OnItemChangedGroup>(IDC_RED_GROUP, LVN_ITEMCHANGED),
            MapCommand<&CRedundancyDlg::OnEditFile>(IDC_RED_EDIT_FILE),
        });
    return &map;
}
