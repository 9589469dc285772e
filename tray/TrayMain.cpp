#include <windows.h>

#include "TrayApp.h"

CTrayApp theTrayApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    int code = RunTray(instance);
    // A listen thread that outlived the close still uses the application object
    // and the transport library: end the process without destroying them.
    if (!theTrayApp.ListenThread.Stop(0, false)) {
        theTrayApp.Icon.Show(false);
        ExitProcess(static_cast<UINT>(code));
    }
    return code;
}
