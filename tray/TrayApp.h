// The tray program's one application object and the functions of its user
// interface. Record handling, the listen thread and the service-state display
// work on its members.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "Glimlet.h"
#include "KodraFiles.h"
#include "ListenThread.h"
#include "NetConDll.h"
#include "ZLock.h"

class CTrayApp {
public:
    explicit CTrayApp(const char* transportLibrary = "KarNet.dll");

    CNetConDll Transport;
    CListenThread ListenThread;
    std::string PortText = "961";
    std::string Host = "localhost";
    std::string Product = "KODRA";
    std::string Title = "KODRA-Tray";
    std::string ConfigLink = "config.lnk";
    std::string DoubleClickTarget = kKodraLogFile;
    CGlimlet Icon;
    int IconId = 0;  // resource id of the icon shown, 0 for the default one
    UINT_PTR TimerId = 0;
    // Held for every change of icon and tooltip and for the service check.
    zwin::CZCritSect Lock;
    std::atomic<int> LastServiceState{-1};
    bool AboutOpen = false;
    // The close found the listen thread still running: its connection stays open.
    bool ListenThreadAbandoned = false;
};

extern CTrayApp theTrayApp;
extern HINSTANCE TrayInstance;
extern HWND TrayMainWindow;

// Asks the close question; tests put an answer in its place.
typedef int(WINAPI* TrayAskFn)(HWND owner, const char* text, const char* caption, UINT style);
extern TrayAskFn TrayAsk;

// Shows an own copy of the icon resource (the previous copy is destroyed).
// Once the listen thread runs, callers hold theTrayApp.Lock.
void SetTrayIcon(int iconId);
std::string LoadTrayString(UINT id, int bufferSize = 512);

void ReadMessagePort();
bool CreateMainWindow(HINSTANCE instance);
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int OnTrayMouse(CGlimlet* icon, UINT mouseMessage);
void OpenDoubleClickTarget();
void OpenConfiguration();
void ShowTrayMenu();
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The main function's work up to the end of its message loop.
int RunTray(HINSTANCE instance);
