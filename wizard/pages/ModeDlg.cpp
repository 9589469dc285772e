#include "ModeDlg.h"

#include "KODRACFGDlg.h"
#include "UniqueHandle.h"
#include "WizardUtil.h"
#include "resource.h"

namespace {
const char kInfoFile[] = ".\\kodra.nfo";
// An info file larger than this is treated like a missing one.
const DWORD kMaxInfoFileSize = 0x1000000;
}  // namespace

CModeDlg::CModeDlg(CWnd* parent) : CKODRAPageDlg(IDD_MODE, parent)
{
    ReadInfoFile(kInfoFile, m_pszInfoText);
}

CModeDlg::~CModeDlg()
{
    delete[] m_pszInfoText;
}

void CModeDlg::ReadInfoFile(const char* fileName, char*& text)
{
    UniqueFileHandle file(::CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, NULL,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL));
    if (!file) return;
    DWORD high = 0;
    DWORD size = ::GetFileSize(file.Get(), &high);
    if (size != INVALID_FILE_SIZE && size != 0 && high == 0 && size <= kMaxInfoFileSize) {
        char* buffer = new char[size + 1];
        DWORD read = 0;
        if (::ReadFile(file.Get(), buffer, size, &read, NULL) && read != 0) {
            buffer[read] = '\0';
            delete[] text;
            text = buffer;
        } else {
            delete[] buffer;
        }
    }
}

UINT CModeDlg::GetDialogId()
{
    return IDD_MODE;
}

void CModeDlg::LoadFromConfig(CCnfData* record)
{
    if (!record) return;
    if (m_pszInfoText)
        SetDlgItemText(IDC_MODE_INFO, m_pszInfoText);
    else
        SetDlgItemText(IDC_MODE_INFO, LoadResString(IDS_MODE_INFO));

    DWORD mode = record->WizardMode;
    if (mode == kModeNone) mode = record->InstallationMode;
    if (mode == kModeNone) mode = kModeClient;
    CheckDlgButton(IDC_MODE_CLIENT, mode == kModeClient ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_MODE_SERVER, mode == kModeServer ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_MODE_UNINSTALL, mode == kModeUninstall ? BST_CHECKED : BST_UNCHECKED);
}

BOOL CModeDlg::SaveToConfig(CCnfData* record)
{
    if (!record) return FALSE;
    WizardModeValue choice;
    if (IsDlgButtonChecked(IDC_MODE_CLIENT) == BST_CHECKED)
        choice = kModeClient;
    else if (IsDlgButtonChecked(IDC_MODE_SERVER) == BST_CHECKED)
        choice = kModeServer;
    else if (IsDlgButtonChecked(IDC_MODE_UNINSTALL) == BST_CHECKED)
        choice = kModeUninstall;
    else {
        ShowInfoMessage("Illegal Choice!");
        return FALSE;
    }

    if (IsInstallModeSwitch(*record, choice)) {
        UINT question = record->InstallationMode == kModeClient ? IDS_CLIENT_TO_SERVER : IDS_SERVER_TO_CLIENT;
        if (!AskYesNo(LoadResString(question), LoadResString(IDS_WARNING))) return FALSE;
        record->Addr.RemoveAll();
        record->ExecutePrg.Empty();
        record->AlivePrg.Empty();
    }
    record->WizardMode = choice;
    return TRUE;
}

void CModeDlg::SetInitialFocus()
{
    int id = IDC_MODE_CLIENT;
    if (IsDlgButtonChecked(IDC_MODE_SERVER) == BST_CHECKED)
        id = IDC_MODE_SERVER;
    else if (IsDlgButtonChecked(IDC_MODE_UNINSTALL) == BST_CHECKED)
        id = IDC_MODE_UNINSTALL;
    if (CWnd* control = GetDlgItem(id)) GotoDlgCtrl(control);
}

void CModeDlg::SelectMode(DWORD mode)
{
    if (m_pMainDlg) m_pMainDlg->SetMode(mode);
}

// The system's automatic radio buttons skip hidden members of their group, so
// a click would leave the hidden server choice checked.
void CModeDlg::Choose(int radioId, DWORD mode)
{
    CheckRadioButton(IDC_MODE_CLIENT, IDC_MODE_UNINSTALL, radioId);
    SelectMode(mode);
}

void CModeDlg::OnInstallClient() { Choose(IDC_MODE_CLIENT, kModeClient); }
void CModeDlg::OnDoubleClickedInstallClient() { Choose(IDC_MODE_CLIENT, kModeClient); }
void CModeDlg::OnInstallServer() { Choose(IDC_MODE_SERVER, kModeServer); }
void CModeDlg::OnDoubleClickedInstallServer() { Choose(IDC_MODE_SERVER, kModeServer); }
void CModeDlg::OnUninstall() { Choose(IDC_MODE_UNINSTALL, kModeUninstall); }
void CModeDlg::OnDoubleClickedUninstall() { Choose(IDC_MODE_UNINSTALL, kModeUninstall); }

const classlib::MessageMap* CModeDlg::GetMessageMap() const
{
    using namespace classlib;
    static const MessageMap map(
        CKODRAPageDlg::GetMessageMap(),
        {
            MapCommand<&CModeDlg::OnInstallClient>(IDC_MODE_CLIENT),
            MapCommand<&CModeDlg::OnDoubleClickedInstallClient>(IDC_MODE_CLIENT, BN_DOUBLECLICKED),
            MapCommand<&CModeDlg::OnInstallServer>(IDC_MODE_SERVER),
            MapCommand<&CModeDlg::OnDoubleClickedInstallServer>(IDC_MODE_SERVER, BN_DOUBLECLICKED),
            MapCommand<&CModeDlg::OnUninstall>(IDC_MODE_UNINSTALL),
            MapCommand<&CModeDlg::OnDoubleClickedUninstall>(IDC_MODE_UNINSTALL, BN_DOUBLECLICKED),
        });
    return &map;
}
