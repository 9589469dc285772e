#include "KODRACFGDlg.h"

#include "AddrlistDlg.h"
#include "ClientAliveDlg.h"
#include "ClientSDBatchDlg.h"
#include "KodraProgram.h"
#include "ModeDlg.h"
#include "RedundancyDlg.h"
#include "ServerJob.h"
#include "ServerTimeDlg.h"
#include "ServiceControl.h"
#include "VersionInfo.h"
#include "WizardUtil.h"
#include "resource.h"

namespace {

enum Page { kModePage, kAddrPage, kAlivePage, kRedundancyPage, kSDBatchPage, kServerTimePage };

// Room that the bitmap at the left and the button row below keep free.
const int kPageLeft = 160;
const int kPageRightMargin = 5;
const int kPageBottomMargin = 60;

}  // namespace

CKODRACFGDlg::CKODRACFGDlg(CWnd* parent)
    : CDialogTooltip(IDD_KODRACFG_DIALOG, parent),
      m_hIcon(::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_strServiceName(kKodraBaseName)
{
}

CKODRACFGDlg::~CKODRACFGDlg()
{
    for (CKODRAPageDlg*& page : m_pages) {
        delete page;
        page = NULL;
    }
}

void CKODRACFGDlg::SetServiceName(const char* name)
{
    m_strServiceName = name;
}

void CKODRACFGDlg::DoDataExchange(CDataExchange* dx)
{
    CDialogTooltip::DoDataExchange(dx);
    DDX_Control(dx, IDC_MAIN_PICTURE, m_staticPicture);
    DDX_Control(dx, IDC_MAIN_NEXT, m_btnNext);
    DDX_Control(dx, IDC_MAIN_BACK, m_btnBack);
}

BOOL CKODRACFGDlg::OnInitDialog()
{
    CDialogTooltip::OnInitDialog();

    SetIcon(m_hIcon, TRUE);
    if (m_bitmap.LoadBitmap(IDB_WIZARD)) {
        m_hOldPicture = m_staticPicture.SetBitmap(m_bitmap);
        m_bBitmapSet = TRUE;
    }

    m_pages[kModePage] = new CModeDlg();
    m_pages[kAddrPage] = new CAddrlistDlg();
    m_pages[kAlivePage] = new CClientAliveDlg();
    m_pages[kSDBatchPage] = new CClientSDBatchDlg();
    m_pages[kServerTimePage] = new CServerTimeDlg();
    m_pages[kRedundancyPage] = new CRedundancyDlg();
    m_pages[kModePage]->m_pMainDlg = this;

    CString baseName;
    CheckServiceProgram(baseName, true);

    CVersionInfo version;
    if (version.LoadFromFile(baseName + kKodraProgramExtension)) {
        CString line = kKodraVersionPrefix;
        line += version.GetFileVersion().c_str();
        SetDlgItemText(IDC_MAIN_VERSION, line);
    }

    ReadServiceParameters(m_cnf, m_strServiceName);

    // An unknown stored mode is treated like a new configuration.
    if (m_cnf.WizardMode < kModeServer || m_cnf.WizardMode > kModeUninstall)
        m_cnf.WizardMode = kModeClient;
    SetMode(m_cnf.WizardMode);
    ShowPage(kModePage);
    return FALSE;
}

void CKODRACFGDlg::SetMode(DWORD mode)
{
    UINT title;
    switch (mode) {
    case kModeServer:
        m_nLastPage = kServerTimePage;
        m_strLastNextText = LoadResString(IDS_NEXT_INSTALL_SERVER);
        title = IDS_TITLE_SERVER;
        break;
    case kModeClient:
        m_nLastPage = kSDBatchPage;
        m_strLastNextText = LoadResString(IDS_NEXT_INSTALL_CLIENT);
        title = IDS_TITLE_CLIENT;
        break;
    case kModeUninstall:
        m_nLastPage = kModePage;
        m_strLastNextText = LoadResString(IDS_NEXT_UNINSTALL);
        title = IDS_TITLE_UNINSTALL;
        break;
    default:
        return;
    }
    SetWindowText(LoadResString(title));
    m_cnf.WizardMode = mode;
    UpdateButtons();
}

void CKODRACFGDlg::UpdateButtons()
{
    m_btnBack.EnableWindow(m_nCurPage > 0);
    CString wanted = m_nCurPage == m_nLastPage ? m_strLastNextText : LoadResString(IDS_NEXT);
    CString current;
    m_btnNext.GetWindowText(current);
    if (current != wanted) m_btnNext.SetWindowText(wanted);
}

void CKODRACFGDlg::HideCurrentPage()
{
    if (m_nCurPage < 0 || m_nCurPage >= kWizardPageCount) return;
    CKODRAPageDlg* page = m_pages[m_nCurPage];
    m_nCurPage = -1;
    if (page && page->GetSafeHwnd()) page->ShowWindow(SW_HIDE);
}

BOOL CKODRACFGDlg::ShowPage(int index)
{
    if (index < 0 || index >= kWizardPageCount || !m_pages[index]) return FALSE;
    CKODRAPageDlg* page = m_pages[index];
    if (index != m_nCurPage) {
        HideCurrentPage();
        if (!page->GetSafeHwnd() && !page->Create(page->GetDialogId(), this)) return FALSE;
        CRect client;
        GetClientRect(&client);
        CRect place(kPageLeft, 0, client.Width() - kPageRightMargin,
                    client.Height() - kPageBottomMargin);
        page->MoveWindow(&place, TRUE);
        page->LoadFromConfig(&m_cnf);
        page->ShowWindow(SW_SHOW);
        m_nCurPage = index;
    }
    UpdateButtons();
    page->SetInitialFocus();
    return TRUE;
}

void CKODRACFGDlg::OnNext()
{
    if (m_nCurPage < 0 || m_nCurPage >= kWizardPageCount) return;
    if (!m_pages[m_nCurPage]->SaveToConfig(&m_cnf)) return;

    if (m_nCurPage != m_nLastPage) {
        int next;
        if (m_nCurPage == kAddrPage)
            next = m_cnf.WizardMode == kModeServer ? kServerTimePage : kAlivePage;
        else if (m_nCurPage == kAlivePage)
            next = m_cnf.RedundancyEnabled ? kRedundancyPage : kSDBatchPage;
        else
            next = m_nCurPage + 1;
        ShowPage(next);
        return;
    }

    if (!DoInstall(m_strServiceName)) return;
    UINT done = m_cnf.WizardMode == kModeUninstall ? IDS_UNINSTALLED
                : m_cnf.WizardMode == kModeClient  ? IDS_CLIENT_INSTALLED
                                                   : IDS_SERVER_INSTALLED;
    ShowInfoMessage(LoadResString(done));
    EndDialog(IDOK);
}

void CKODRACFGDlg::OnBack()
{
    if (m_nCurPage <= 0) return;
    int previous;
    if (m_nCurPage == kServerTimePage)
        previous = kAddrPage;
    else if (m_nCurPage == kSDBatchPage)
        previous = m_cnf.RedundancyEnabled ? kRedundancyPage : kAlivePage;
    else
        previous = m_nCurPage - 1;
    ShowPage(previous);
}

BOOL CKODRACFGDlg::DoInstall(const char* serviceName)
{
    CString baseName;
    CheckServiceProgram(baseName, false);
    CString programName = baseName + kKodraProgramExtension;

    // Jobs can start through the tray only when its program is there.
    if (m_cnf.WizardMode != kModeUninstall && !TrayProgramInstalled()) m_cnf.CmdTray = 0;

    switch (m_cnf.WizardMode) {
    case kModeServer:
        if (!WriteServiceParameters(m_cnf, true, serviceName)) {
            ShowInfoMessage("Writing the KODRA server parameters failed!");
            return FALSE;
        }
        return InstallServerJob(m_cnf, programName, m_cnf.ExtraTimeMinutes);

    case kModeClient: {
        if (!InstallService(baseName, programName, serviceName)) return FALSE;
        if (!WriteServiceParameters(m_cnf, false, serviceName)) {
            ShowInfoMessage(LoadResString(IDS_CLIENT_INSTALL_FAILED));
            return FALSE;
        }
        DWORD code;
        {
            CWaitCursor wait;
            code = StartServiceIfStopped(serviceName);
        }
        if (code != 0) {
            char errorText[512];
            if (!GetSystemErrorText(code, errorText, sizeof errorText))
                lstrcpynA(errorText, LoadResString(IDS_UNKNOWN_ERROR), sizeof errorText);
            CString message;
            message.Format(LoadResString(IDS_SERVICE_START_FAILED), serviceName, errorText);
            ShowInfoMessage(message);
            return FALSE;
        }
        return TRUE;
    }

    case kModeUninstall:
        if (m_cnf.InstallationMode == kModeServer) {
            if (!AskYesNo(LoadResString(IDS_ASK_UNINSTALL_SERVER))) return FALSE;
            // A job still entered keeps the parameters that describe it (the
            // user has been told why); one that was already gone does not.
            if (!RemoveServerJob() && ServerJobPresent()) return FALSE;
            DeleteServiceRegistryKeys(serviceName);
            return TRUE;
        }
        if (m_cnf.InstallationMode == kModeClient) {
            if (!AskYesNo(LoadResString(IDS_ASK_UNINSTALL_CLIENT))) return FALSE;
            // Without its parameters a service still in place could no longer
            // be removed by the wizard.
            if (!UninstallService(serviceName) && !ServiceIsGone(serviceName)) return FALSE;
            DeleteServiceRegistryKeys(serviceName);
            return TRUE;
        }
        ShowInfoMessage(LoadResString(IDS_NOTHING_TO_UNINSTALL));
        return FALSE;

    default:
        return FALSE;
    }
}

void CKODRACFGDlg::OnCancel()
{
    if (m_cnf.WizardMode != kModeUninstall && !AskYesNo(LoadResString(IDS_CANCEL_INSTALLATION)))
        return;
    EndDialog(IDCANCEL);
}

void CKODRACFGDlg::OnPaint()
{
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    CRect client;
    GetClientRect(&client);
    int x = (client.Width() - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.Height() - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

LRESULT CKODRACFGDlg::OnQueryDragIcon(WPARAM, LPARAM)
{
    return reinterpret_cast<LRESULT>(m_hIcon);
}

void CKODRACFGDlg::OnDestroy()
{
    if (m_bBitmapSet) {
        m_staticPicture.SetBitmap(m_hOldPicture);
        m_bitmap.DeleteObject();
        m_bBitmapSet = FALSE;
    }
    Default();
}

const classlib::MessageMap* CKODRACFGDlg::GetMessageMap() const
{
    using namespace classlib;
    static const MessageMap map(CDialogTooltip::GetMessageMap(),
                                {
                                    MapCommand<&CKODRACFGDlg::OnNext>(IDC_MAIN_NEXT),
                                    MapCommand<&CKODRACFGDlg::OnBack>(IDC_MAIN_BACK),
                                    MapMessage<&CKODRACFGDlg::OnPaint>(WM_PAINT),
                                    MapMessage<&CKODRACFGDlg::OnQueryDragIcon>(WM_QUERYDRAGICON),
                                    MapMessage<&CKODRACFGDlg::OnDestroy>(WM_DESTROY),
                                });
    return &map;
}
