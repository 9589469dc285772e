#include "BatchEdtDlg.h"

#include <cstdio>

#include "DebugTrace.h"
#include "KodraRelayCfg.h"
#include "PathUtil.h"
#include "PauseCfgDlg.h"
#include "WizardUtil.h"
#include "resource.h"

namespace {

const char kCaption[] = "Configure Shutdown Sequence";

bool g_failToolTip = false;

struct ToolText {
    int id;
    const char* text;
};

const ToolText kToolTexts[] = {
    {IDC_BATCH_AVAILABLE, "Available shutdown commands"},
    {IDC_BATCH_ADD, "Add command"},
    {IDC_BATCH_ADD_ALL, "Add all commands"},
    {IDC_BATCH_REMOVE, "Remove command"},
    {IDC_BATCH_REMOVE_ALL, "Remove all commands"},
    {IDC_BATCH_MOVE, "Move command up or down"},
    {IDC_BATCH_SEQUENCE, "Current shutdown sequence"},
    {IDC_BATCH_DESCRIPTION, "Description of selected command"},
    {IDCANCEL, "Discard any sequence changes"},
    {IDOK, "Save shutdown sequence"},
    {IDC_BATCH_CUSTOM, "Insert custom application (e.g. C:\\windows\\notepad.exe)"},
};

CBatchCmd* EntryOf(const CListCtrl& list, int index)
{
    return reinterpret_cast<CBatchCmd*>(list.GetItemData(index));
}

void SelectItem(CListCtrl& list, int index)
{
    list.SetItemState(index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

// Adds the list's one column when it has none yet.
void EnsureColumn(CListCtrl& list, const char* name)
{
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH;
    if (list.GetColumn(0, &column)) return;
    CRect area;
    list.GetClientRect(&area);
    list.InsertColumn(0, name, LVCFMT_LEFT, area.Width());
}

}  // namespace

CBatchEdtDlg::CBatchEdtDlg(const char* batchFile, CWnd* parent)
    : CDialog(IDD_BATCHEDT, parent), m_strBatchFile(batchFile ? batchFile : "")
{
}

CBatchEdtDlg::~CBatchEdtDlg() = default;

void CBatchEdtDlg::FailToolTipForTests(bool fail) { g_failToolTip = fail; }

const classlib::MessageMap* CBatchEdtDlg::GetMessageMap() const
{
    using namespace classlib;
    static const MessageMap map(CDialog::GetMessageMap(), {
        MapCommand<&CBatchEdtDlg::OnAddCommand>(IDC_BATCH_ADD),
        MapCommand<&CBatchEdtDlg::OnAddAllCommands>(IDC_BATCH_ADD_ALL),
        MapCommand<&CBatchEdtDlg::OnRemoveCommand>(IDC_BATCH_REMOVE),
        MapCommand<&CBatchEdtDlg::OnRemoveAllCommands>(IDC_BATCH_REMOVE_ALL),
        MapCommand<&CBatchEdtDlg::OnAddCustomApp>(IDC_BATCH_CUSTOM),
        MapNotify<&CBatchEdtDlg::OnMoveCommand>(IDC_BATCH_MOVE, UDN_DELTAPOS),
        MapNotify<&CBatchEdtDlg::OnClickAvailable>(IDC_BATCH_AVAILABLE, NM_CLICK),
        MapNotify<&CBatchEdtDlg::OnRClickAvailable>(IDC_BATCH_AVAILABLE, NM_RCLICK),
        MapNotify<&CBatchEdtDlg::OnItemChangedAvailable>(IDC_BATCH_AVAILABLE, LVN_ITEMCHANGED),
        MapNotify<&CBatchEdtDlg::OnClickSequence>(IDC_BATCH_SEQUENCE, NM_CLICK),
        MapNotify<&CBatchEdtDlg::OnRClickSequence>(IDC_BATCH_SEQUENCE, NM_RCLICK),
        MapNotify<&CBatchEdtDlg::OnItemChangedSequence>(IDC_BATCH_SEQUENCE, LVN_ITEMCHANGED),
    });
    return &map;
}

void CBatchEdtDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_BATCH_FILE, m_staticFile);
    DDX_Control(dx, IDC_BATCH_AVAILABLE, m_listAvailable);
    DDX_Control(dx, IDC_BATCH_ADD, m_buttonAdd);
    DDX_Control(dx, IDC_BATCH_ADD_ALL, m_buttonAddAll);
    DDX_Control(dx, IDC_BATCH_REMOVE, m_buttonRemove);
    DDX_Control(dx, IDC_BATCH_REMOVE_ALL, m_buttonRemoveAll);
    DDX_Control(dx, IDC_BATCH_SEQUENCE, m_listSequence);
    DDX_Control(dx, IDC_BATCH_MOVE, m_spinMove);
    DDX_Control(dx, IDC_BATCH_NAME, m_staticName);
    DDX_Control(dx, IDC_BATCH_DESCRIPTION, m_staticDescription);
    DDX_Control(dx, IDC_BATCH_CUSTOM, m_buttonCustom);
    DDX_Control(dx, IDCANCEL, m_buttonCancel);
    DDX_Control(dx, IDOK, m_buttonOK);
}

BOOL CBatchEdtDlg::PreTranslateMessage(MSG* msg)
{
    if (m_toolTip) m_toolTip->RelayEvent(msg);
    return CDialog::PreTranslateMessage(msg);
}

bool CBatchEdtDlg::CreateToolTips()
{
    auto toolTip = std::make_unique<CToolTipCtrl>();
    if (g_failToolTip || !toolTip->Create(this)) return false;
    for (const ToolText& tool : kToolTexts) toolTip->AddTool(GetDlgItem(tool.id), tool.text);
    toolTip->Activate(TRUE);
    m_toolTip = std::move(toolTip);
    return true;
}

BOOL CBatchEdtDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // Without tooltips the editor still shows the file: opening it empty would
    // let OK overwrite the sequence with nothing.
    if (!CreateToolTips()) DebugInfo("Unable To create ToolTip\n");
    BuildCommandTable();
    std::vector<BatchCmdPtr> read;
    ReadBatchFile(m_strBatchFile, m_commandTable, m_strGlobalPath, read);
    m_staticFile.ModifyStyle(0, SS_PATHELLIPSIS);
    m_staticFile.SetWindowText(m_strBatchFile.c_str());
    FillAvailableList(m_commandTable);
    ClearSequenceList();
    for (const BatchMatch& match : MatchBatchCommands(read, m_commandTable, m_entries)) {
        InsertCommand(m_listSequence, match.entry, -1);
        if (match.withdrawn) RemoveCommand(m_listAvailable, match.entry);
    }
    read.clear();
    if (m_listSequence.GetItemCount() > 0) SelectItem(m_listSequence, 0);
    if (m_listAvailable.GetItemCount() > 0) SelectItem(m_listAvailable, 0);
    ShowDescription(m_listAvailable, 0);
    return TRUE;
}

void CBatchEdtDlg::BuildCommandTable()
{
    m_commandTable.clear();
    for (BatchCmdPtr& row : BuildCommandList()) m_commandTable.push_back(Keep(std::move(row)));
}

CBatchCmd* CBatchEdtDlg::Keep(BatchCmdPtr entry)
{
    m_entries.push_back(std::move(entry));
    return m_entries.back().get();
}

void CBatchEdtDlg::AddMadeCommand(BatchCmdPtr entry)
{
    CBatchCmd* made = Keep(std::move(entry));
    m_commandTable.push_back(made);
    InsertCommand(m_listSequence, made, -1);
}

void CBatchEdtDlg::OnOK()
{
    int answer = IDYES;
    if (FILE* existing = std::fopen(m_strBatchFile.c_str(), "r")) {
        std::fclose(existing);
        CString question = "Overwrite File:\r\n";
        question += m_strBatchFile.c_str();
        answer = MessageBox(question, kCaption, MB_YESNOCANCEL | MB_ICONQUESTION);
    }
    if (answer != IDYES && answer != IDNO) return;
    if (answer == IDYES) {
        BatchCmdList sequence;
        for (int i = 0; i < m_listSequence.GetItemCount(); ++i)
            sequence.push_back(EntryOf(m_listSequence, i));
        if (!WriteBatchFile(m_strBatchFile, m_strGlobalPath, sequence)) {
            // Closing as if saved would leave the old sequence in force unnoticed.
            CString failure = "Cannot write file:\r\n";
            failure += m_strBatchFile.c_str();
            MessageBox(failure, kCaption, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
    }
    EndDialog(IDOK);
}

void CBatchEdtDlg::OnAddCommand()
{
    CBatchCmd* entry = GetSelectedCommand(m_listAvailable, nullptr);
    if (!entry) return;
    const int type = entry->GetType();
    if (!(type & CBatchCmd::Reusable)) {
        RemoveCommand(m_listAvailable, entry);
        InsertCommand(m_listSequence, entry, -1);
    } else if (type & CBatchCmd::Wait) {
        AddWait();
    } else if (type & CBatchCmd::Relay) {
        AddRelays();
    }
}

void CBatchEdtDlg::AddWait()
{
    CPauseCfgDlg pause("3", this);
    if (pause.DoModal() != IDOK) return;
    AddMadeCommand(MakeWaitCommand(pause.GetSecondsText().GetString(), false));
}

void CBatchEdtDlg::AddRelays()
{
    CKODRACfg relay(this);
    if (relay.DoModal() != IDOK) return;
    const bool ssl = relay.m_bSSL != 0;
    if (!relay.m_strHost.IsEmpty()) AddMadeCommand(MakeRelayCommand(relay.m_strHost.GetString(), ssl));
    const DWORD from = relay.m_dwRangeFrom;
    const DWORD to = relay.m_dwRangeTo;
    if (from == 0 || to == 0) return;
    for (int last = static_cast<int>(from & 0xFF); last <= static_cast<int>(to & 0xFF); ++last) {
        char address[16];
        std::snprintf(address, sizeof address, "%d.%d.%d.%d", static_cast<int>((from >> 24) & 0xFF),
                      static_cast<int>((from >> 16) & 0xFF), static_cast<int>((from >> 8) & 0xFF), last);
        AddMadeCommand(MakeRelayCommand(address, ssl));
    }
}

void CBatchEdtDlg::OnAddAllCommands() {}

void CBatchEdtDlg::OnRemoveCommand()
{
    CBatchCmd* entry = GetSelectedCommand(m_listSequence, nullptr);
    if (!entry) return;
    RemoveCommand(m_listSequence, entry);
    if (!(entry->GetType() & CBatchCmd::Reusable)) InsertCommand(m_listAvailable, entry, -1);
}

void CBatchEdtDlg::OnRemoveAllCommands()
{
    m_listSequence.DeleteAllItems();
    BuildCommandTable();
    FillAvailableList(m_commandTable);
    if (m_listAvailable.GetItemCount() > 0) SelectItem(m_listAvailable, 0);
    ShowDescription(m_listAvailable, 0);
}

void CBatchEdtDlg::OnAddCustomApp()
{
    CFileDialog dialog(TRUE, NULL, NULL, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR,
                       "Executables |*.bat;*.cmd;*.exe||", this);
    if (dialog.DoModal() != IDOK) return;
    const std::string path = dialog.GetPathName().GetString();
    const std::string program = dialog.GetFileName().GetString();
    const std::string directory = PathDirectory(path);
    // Refused now, what the file would not run as shown, or the next opening
    // would show otherwise.
    CString refusal;
    switch (CheckCustomProgram(program, directory)) {
    case CustomProgramFault::None:
        break;
    case CustomProgramFault::OwnCommand:
        refusal.Format("\"%s\" has the name of one of the shutdown sequence's own commands and cannot be "
                       "added as a custom application.",
                       program.c_str());
        break;
    case CustomProgramFault::CodePage:
        RefuseBatchCodePage(path.c_str());
        return;
    case CustomProgramFault::NotCallable:
        refusal.Format("The batch file \"%s\" cannot be called from the shutdown batch file.\r\nThe path of "
                       "a batch file must not contain the characters ^ or %%.",
                       path.c_str());
        break;
    }
    if (!refusal.IsEmpty()) {
        ShowInfoMessage(refusal);
        return;
    }
    CBatchCmd* entry = Keep(MakeCustomCommand(program, directory));
    InsertCommand(m_listSequence, entry, -1);
}

void CBatchEdtDlg::OnMoveCommand(NMHDR* header, LRESULT*)
{
    int index = -1;
    CBatchCmd* entry = GetSelectedCommand(m_listSequence, &index);
    if (!entry) return;
    const NMUPDOWN* change = reinterpret_cast<const NMUPDOWN*>(header);
    int target;
    if (change->iDelta < 0) {
        if (index == 0) return;
        target = index - 1;
    } else {
        if (index >= m_listSequence.GetItemCount() - 1) return;
        target = index + 1;
    }
    // The selected item itself: a command listed twice must not move its twin.
    m_listSequence.DeleteItem(index);
    InsertCommand(m_listSequence, entry, target);
}

void CBatchEdtDlg::ShowNotifiedItem(CListCtrl& list, NMHDR* header)
{
    ShowDescription(list, reinterpret_cast<const NMLISTVIEW*>(header)->iItem);
}

void CBatchEdtDlg::ShowActivatedItem(CListCtrl& list, NMHDR* header)
{
    ShowDescription(list, reinterpret_cast<const NMITEMACTIVATE*>(header)->iItem);
}

void CBatchEdtDlg::OnClickAvailable(NMHDR* header, LRESULT*) { ShowActivatedItem(m_listAvailable, header); }
void CBatchEdtDlg::OnRClickAvailable(NMHDR* header, LRESULT*) { ShowActivatedItem(m_listAvailable, header); }
void CBatchEdtDlg::OnItemChangedAvailable(NMHDR* header, LRESULT*) { ShowNotifiedItem(m_listAvailable, header); }
void CBatchEdtDlg::OnClickSequence(NMHDR* header, LRESULT*) { ShowActivatedItem(m_listSequence, header); }
void CBatchEdtDlg::OnRClickSequence(NMHDR* header, LRESULT*) { ShowActivatedItem(m_listSequence, header); }
void CBatchEdtDlg::OnItemChangedSequence(NMHDR* header, LRESULT*) { ShowNotifiedItem(m_listSequence, header); }

void CBatchEdtDlg::InsertCommand(CListCtrl& list, CBatchCmd* entry, int position)
{
    if (!entry) return;
    int index = position;
    if (index == -1) {
        int selected = list.GetNextItem(-1, LVNI_SELECTED);
        index = selected >= 0 ? selected + 1 : list.GetItemCount();
    }
    const std::string name = entry->GetName();
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<char*>(name.c_str());
    item.lParam = reinterpret_cast<LPARAM>(entry);
    const int inserted = list.InsertItem(&item);
    if (inserted >= 0) SelectItem(list, inserted);
}

void CBatchEdtDlg::RemoveCommand(CListCtrl& list, CBatchCmd* entry)
{
    for (int i = 0; i < list.GetItemCount(); ++i) {
        if (EntryOf(list, i) != entry) continue;
        list.DeleteItem(i);
        if (list.GetItemCount() > 0) {
            const int next = i > 0 ? i - 1 : 0;
            SelectItem(list, next);
            ShowDescription(list, next);
        }
        return;
    }
}

CBatchCmd* CBatchEdtDlg::GetSelectedCommand(CListCtrl& list, int* index)
{
    const int selected = list.GetNextItem(-1, LVNI_SELECTED);
    if (index) *index = selected;
    return selected >= 0 ? EntryOf(list, selected) : nullptr;
}

void CBatchEdtDlg::ShowDescription(CListCtrl& list, int index)
{
    if (index < 0 || index >= list.GetItemCount()) return;
    const CBatchCmd* entry = EntryOf(list, index);
    if (!entry) return;
    SetDlgItemText(IDC_BATCH_NAME, ("'" + entry->GetName() + "'").c_str());
    SetDlgItemText(IDC_BATCH_DESCRIPTION, entry->GetDescription().c_str());
}

void CBatchEdtDlg::InsertCommands(CListCtrl& list, const BatchCmdList& entries)
{
    for (CBatchCmd* entry : entries) InsertCommand(list, entry, -1);
}

void CBatchEdtDlg::FillAvailableList(const BatchCmdList& table)
{
    EnsureColumn(m_listAvailable, "ScopePane");
    m_listAvailable.DeleteAllItems();
    InsertCommands(m_listAvailable, table);
    m_listAvailable.SetSelectionMark(0);
}

void CBatchEdtDlg::ClearSequenceList()
{
    EnsureColumn(m_listSequence, "ResultPane");
    m_listSequence.DeleteAllItems();
    m_listSequence.SetSelectionMark(0);
}
