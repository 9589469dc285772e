// The application object and the program's start-up. A program defines one
// global object of a class derived from CWinApp; the library's WinMain calls
// its InitInstance, and a FALSE result ends the program.
#pragma once

#include <windows.h>

#include "CString.h"
#include "MessageMap.h"

class CWnd;

// The Help command, routed from any window that does not handle it to the
// application, whose OnHelp does nothing (there is no help file).
constexpr UINT ID_HELP = IDHELP;

class CWinApp : public CCmdTarget {
    CLASSLIB_RUNTIME_CLASS(CWinApp, CCmdTarget)
    CWinApp();
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return FALSE; }
    // The message loop, for an InitInstance that returns TRUE; ends on WM_QUIT.
    virtual int Run();

    HICON LoadIcon(UINT id) const;
    BOOL Enable3dControls() { return TRUE; }  // the controls look three-dimensional anyway
    // The program file's name without folder and extension.
    const char* GetAppTitle() const { return title_.GetString(); }

    CWnd* m_pMainWnd = NULL;
    HINSTANCE m_hInstance = NULL;

    void OnHelp() {}

protected:
    const classlib::MessageMap* GetMessageMap() const override;

private:
    CString title_;
};

// The application object (NULL in a program without one, e.g. a test).
CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();  // the program's module without an application
// The application's title, also without an application object.
const char* AfxGetAppTitle();

// A message box captioned with the application's title, owned by the active
// window of this thread or else the main window, through the message-box seam.
int AfxMessageBox(const char* text, UINT type = MB_OK);
int AfxMessageBox(UINT stringId, UINT type = MB_OK);
