#include "App.h"

#include "Seams.h"
#include "Wnd.h"

namespace {

CWinApp* g_app = nullptr;

CString ModuleTitle()
{
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(NULL, path, sizeof(path));
    if (n == 0 || n >= sizeof(path))
        return CString();
    CString title(path, static_cast<int>(n));
    int slash = title.ReverseFind('\\');
    if (slash >= 0)
        title = title.Mid(slash + 1);
    int dot = title.ReverseFind('.');
    if (dot > 0)
        title = title.Left(dot);
    return title;
}

}  // namespace

CWinApp::CWinApp() : m_hInstance(GetModuleHandleA(NULL)), title_(ModuleTitle())
{
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

int CWinApp::Run()
{
    MSG msg;
    for (;;) {
        BOOL got = GetMessageA(&msg, NULL, 0, 0);
        if (got == 0 || got == -1)
            break;
        if (!classlib::PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}

HICON CWinApp::LoadIcon(UINT id) const { return ::LoadIconA(m_hInstance, MAKEINTRESOURCEA(id)); }


const classlib::MessageMap* CWinApp::GetMessageMap() const
{
    static const classlib::MessageMap map(CCmdTarget::GetMessageMap(), {
        classlib::MapCommand<&CWinApp::OnHelp>(ID_HELP),
    });
    return &map;
}

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }

HINSTANCE AfxGetInstanceHandle() { return g_app ? g_app->m_hInstance : GetModuleHandleA(NULL); }

const char* AfxGetAppTitle()
{
    if (g_app)
        return g_app->GetAppTitle();
    static const CString title = ModuleTitle();
    return title.GetString();
}

int AfxMessageBox(const char* text, UINT type)
{
    HWND owner = GetActiveWindow();
    if (!owner && AfxGetMainWnd())
        owner = AfxGetMainWnd()->GetSafeHwnd();
    return classlib::ShowMessageBox(owner, text, AfxGetAppTitle(), type);
}

int AfxMessageBox(UINT stringId, UINT type)
{
    CString text;
    text.LoadString(stringId);
    return AfxMessageBox(text, type);
}

// The program's entry: the application object was built by static
// initialisation; its InitInstance decides whether the message loop runs.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    app->m_hInstance = instance;
    if (!app->InitInstance())
        return 0;
    return app->Run();
}
