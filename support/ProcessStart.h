// The one way the programs start another program.
#pragma once

#include <windows.h>

// A show mode that leaves the window's first showing to the started program.
const int kDefaultShowMode = -1;

// Starts a program with CreateProcessA: no handle inheritance, the current
// environment. program is the application name, or nullptr to take the program
// from the command line; showMode is a SW_ value for the start-up information or
// kDefaultShowMode; folder is the working folder, nullptr or "" for the current one.
// With wait, returns only when the program has ended. True when it started; on
// failure *error (when given) receives GetLastError of the start.
bool StartProcess(const char* program, const char* commandLine, int showMode, const char* folder,
                  bool wait, DWORD* error);
