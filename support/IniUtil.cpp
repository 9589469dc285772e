#include "IniUtil.h"

BOOL IsAbsolutePath(const char* name)
{
    CString trimmed(name);
    trimmed.Trim();
    if (trimmed.IsEmpty())
        return FALSE;
    return trimmed[0] == '\\' || trimmed[1] == ':';
}

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

CString& TrimCString(CString& text) { return text.Trim(); }
