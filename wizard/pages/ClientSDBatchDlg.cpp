#include "ClientSDBatchDlg.h"

#include <cstdio>
#include <cstdlib>

#include "BatchEdtDlg.h"
#include "BatchName.h"
#include "IniUtil.h"
#include "KodraProgram.h"
#include "MailSettings.h"
#include "WizardUtil.h"
#include "resource.h"

namespace {
const long kMinLogSizeKB = 1;
const long kMaxLogSizeKB = 10000;
}  // namespace

CClientSDBatchDlg::CClientSDBatchDlg(CWnd* parent) : CKODRAPageDlg(IDD_CLIENT_SDBATCH, parent) {}

UINT CClientSDBatchDlg::GetDialogId()
{
    return IDD_CLIENT_SDBATCH;
}

void CClientSDBatchDlg::SetInitialFocus()
{
    GotoDlgCtrl(&m_editLogSize);
}

void CClientSDBatchDlg::DoDataExchange(CDataExchange* dx)
{
    CKODRAPageDlg::DoDataExchange(dx);
    DDX_Control(dx, IDC_SDB_LOGSIZE, m_editLogSize);
    DDX_Control(dx, IDC_SDB_SHUTDOWN, m_editShutdownBatch);
    DDX_Control(dx, IDC_SDB_EXECUTE, m_editExecuteBatch);
    DDX_Control(dx, IDC_SDB_MESSAGE, m_editMessageBatch);
    DDX_Control(dx, IDC_SDB_MAIL, m_editMailBatch);
}

void CClientSDBatchDlg::LoadFromConfig(CCnfData* record)
{
    if (!record) return;
    m_editShutdownBatch.SetWindowText(record->ExecutePrg);
    CString path;
    MakeAbsolutePath(kKodraExecuteBatch, path);
    m_editExecuteBatch.SetWindowText(path);
    MakeAbsolutePath(kKodraMessageBatch, path);
    m_editMessageBatch.SetWindowText(path);
    MakeAbsolutePath(kKodraMailBatch, path);
    m_editMailBatch.SetWindowText(path);
    CString size;
    size.Format("%ld", static_cast<long>(record->LogFileMaxKB));
    m_editLogSize.SetWindowText(size);
}

BOOL CClientSDBatchDlg::SaveToConfig(CCnfData* record)
{
    if (!record) return FALSE;
    CString text;
    m_editLogSize.GetWindowText(text);
    DWORD size = 0;
    if (!ValidateLogSize(text, size)) {
        RefuseField(m_editLogSize);
        return FALSE;
    }
    record->LogFileMaxKB = size;

    m_editShutdownBatch.GetWindowText(text);
    if (!ValidateBatchName(text)) {
        RefuseField(m_editShutdownBatch);
        return FALSE;
    }
    record->ExecutePrg = text;
    return TRUE;
}

void CClientSDBatchDlg::RefuseField(CEdit& edit)
{
    edit.SetSel(0, -1);
    GotoDlgCtrl(&edit);
}

BOOL CClientSDBatchDlg::ValidateLogSize(const char* text, DWORD& number)
{
    if (!text || !*text) {
        ShowInfoMessage(LoadResString(IDS_NO_LOG_SIZE));
        return FALSE;
    }
    long n = std::atol(text);
    CString canonical;
    canonical.Format("%ld", n);
    if (canonical == text && n >= kMinLogSizeKB && n <= kMaxLogSizeKB) {
        number = static_cast<DWORD>(n);
        return TRUE;
    }
    ShowInfoMessage(LoadResString(IDS_INVALID_LOG_SIZE));
    return FALSE;
}

void CClientSDBatchDlg::EditFileOf(CEdit& edit)
{
    CString path;
    edit.GetWindowText(path);
    EditInNotepad(path, SW_SHOW);
}

void CClientSDBatchDlg::OnBrowse()
{
    CString batch = LoadResString(IDS_FILTER_BATCH);
    CString program = LoadResString(IDS_FILTER_PROGRAM);
    CString all = LoadResString(IDS_FILTER_ALL);
    char filter[512];
    int length = std::snprintf(filter, sizeof filter, "%s%c*.bat%c%s%c*.exe%c%s%c*%c%c",
                               batch.GetString(), '\0', '\0', program.GetString(), '\0', '\0',
                               all.GetString(), '\0', '\0', '\0');
    if (length < 0 || length >= static_cast<int>(sizeof filter)) return;
    CString start;
    m_editShutdownBatch.GetWindowText(start);
    CString chosen;
    if (BrowseForFile(chosen, filter, LoadResString(IDS_BROWSE_SHUTDOWN_TITLE), start, NULL))
        m_editShutdownBatch.SetWindowText(chosen);
}

void CClientSDBatchDlg::OnConfigureSequence()
{
    CString path;
    m_editShutdownBatch.GetWindowText(path);
    CBatchEdtDlg editor(path, NULL);
    editor.DoModal();
}

void CClientSDBatchDlg::OnEditShutdownBatch() { EditFileOf(m_editShutdownBatch); }
void CClientSDBatchDlg::OnEditExecuteBatch() { EditFileOf(m_editExecuteBatch); }
void CClientSDBatchDlg::OnEditMessageBatch() { EditFileOf(m_editMessageBatch); }
void CClientSDBatchDlg::OnEditMailBatch() { EditFileOf(m_editMailBatch); }

void CClientSDBatchDlg::OnViewLog()
{
    CString path;
    MakeAbsolutePath(kKodraLogFile, path);
    EditInNotepad(path, SW_SHOW);
}

void CClientSDBatchDlg::OnMailSettings()
{
    CMailSettings settings(NULL);
    settings.DoModal();
}

const classlib::MessageMap* CClientSDBatchDlg::GetMessageMap() const
{
    using namespace classlib;
    static const MessageMap map(
        CKODRAPageDlg::GetMessageMap(),
        {
            MapCommand<&CClientSDBatchDlg::OnBrowse>(IDC_SDB_BROWSE),
            MapCommand<&CClientSDBatchDlg::OnConfigureSequence>(IDC_SDB_CONFIGURE),
            MapCommand<&CClientSDBatchDlg::OnEditShutdownBatch>(IDC_SDB_EDIT_SHUTDOWN),
            MapCommand<&CClientSDBatchDlg::OnEditExecuteBatch>(IDC_SDB_EDIT_EXECUTE),
            MapCommand<&CClientSDBatchDlg::OnEditMessageBatch>(IDC_SDB_EDIT_MESSAGE),
            MapCommand<&CClientSDBatchDlg::OnEditMailBatch>(IDC_SDB_EDIT_MAIL),
            MapCommand<&CClientSDBatchDlg::OnViewLog>(IDC_SDB_VIEW_LOG),
            MapCommand<&CClientSDBatchDlg::OnMailSettings>(IDC_SDB_MAIL_SETTINGS),
        });
    return &map;
}
