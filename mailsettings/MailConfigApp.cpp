#include "MailConfigApp.h"

#include "MailConfigDlg.h"

CMailConfigApp theMailConfigApp;

const classlib::MessageMap* CMailConfigApp::GetMessageMap() const
{
    using namespace classlib;
    static const MessageMap map(CWinApp::GetMessageMap(), {
        MapCommand<&CWinApp::OnHelp>(ID_HELP),
    });
    return &map;
}

BOOL CMailConfigApp::InitInstance()
{
    Enable3dControls();
    CMailConfigDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    return FALSE;
}
