// Window messaging: messages to a window found by class, text lines to the
// "winio_class" viewer window, starting a program that owns a window class.
#pragma once

#include <windows.h>

int SendToWindowClass(const char* className, UINT message, WPARAM wParam, LPARAM lParam);
int WinioSendLine(const char* line);
int WinioSendText(const char* text);
int RunAndWaitForWindow(const char* commandLine, const char* className, int showCommand);
