#include <winsock2.h>

#include "KODRACFGApp.h"
#include "KODRACFGDlg.h"
#include "KodraProgram.h"
#include "ServiceControl.h"
#include "SysFileUtil.h"
#include "resource.h"

namespace {
const char kServiceNameOption[] = "-name";
}  // namespace

void GetServiceNameOption(int argc, char** argv, CString& name, const char* option,
                          const char* defaultName)
{
    name = defaultName;
    for (int i = 1; i < argc - 1; ++i) {
        if (argv[i] && argv[i + 1] && CString(argv[i]).CompareNoCase(option) == 0)
            name = argv[i + 1];
    }
}

BOOL CKODRACFGApp::InitInstance()
{
    WSADATA data;
    bool sockets = WSAStartup(MAKEWORD(1, 1), &data) == 0;

    if (!IsAdministrator()) {
        AfxMessageBox(IDS_NOT_ADMINISTRATOR, MB_OK);
    } else {
        CKODRACFGDlg dlg;
        CString serviceName;
        GetServiceNameOption(__argc, __argv, serviceName, kServiceNameOption, kKodraBaseName);
        if (ConfirmValidServiceName(serviceName)) {
            dlg.SetServiceName(serviceName);
            m_pMainWnd = &dlg;
            dlg.DoModal();
            m_pMainWnd = NULL;
        }
    }

    if (sockets) WSACleanup();
    return FALSE;
}

const classlib::MessageMap* CKODRACFGApp::GetMessageMap() const
{
    static const classlib::MessageMap map(CWinApp::GetMessageMap(),
                                          {
                                              classlib::MapCommand<&CWinApp::OnHelp>(ID_HELP),
                                          });
    return &map;
}
