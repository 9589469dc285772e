#include "IniUtil.h"

bool IsAbsolutePath(const char* name)
{
    CString trimmed(name);
    trimmed.Trim();
    if (trimmed.IsEmpty())
        return false;
    return trimmed[0] == '\\' || trimmed[1] == ':';
}

CString& TrimCString(CString& text) { return text.Trim(); }
