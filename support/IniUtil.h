// Helpers on the class library's CString that the wizard uses: absolute paths
// in the program's folder and trimming. Compiled into the wizard only (target
// support_cl); the other helpers on its strings are in uncalled/ProfileText.h
// and uncalled/ProfileUtil.h. MakeAbsolutePath asks Windows for the program's
// folder (IniUtilWin.cpp); the rest builds natively too.
#pragma once

#include "CString.h"

bool IsAbsolutePath(const char* name);
void MakeAbsolutePath(const char* name, CString& out);
CString& TrimCString(CString& text);
