#include <windows.h>

#include "App.h"
#include "IniUtil.h"

void MakeAbsolutePath(const char* name, CString& out)
{
    if (IsAbsolutePath(name)) {
        out = name;
        return;
    }
    char program[260] = {};
    DWORD length = GetModuleFileNameA(AfxGetInstanceHandle(), program, sizeof(program));
    program[length < sizeof(program) ? length : sizeof(program) - 1] = '\0';
    out = program;
    int cut = out.ReverseFind('\\');
    int colon = out.ReverseFind(':');
    if (colon > cut)
        cut = colon;
    out = out.Left(cut + 1) + name;
}
