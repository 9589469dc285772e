// The application object of a test that runs the tray's code in its own
// process, bound to the built KarNet.dll.
#include "TrayApp.h"
#include "TrayTestSupport.h"

CTrayApp theTrayApp(traytest::KarNetPath().c_str());
