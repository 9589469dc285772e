// Typed registry value reads and writes on an open key. The reads succeed only
// for the expected type and leave the out value unchanged otherwise; they share
// one buffer, so they are not reentrant.
#pragma once

#include "classlib.h"

// REG_SZ or REG_EXPAND_SZ (nothing expanded) of at most 8192 bytes.
bool RegReadString(HKEY key, const char* name, CString& out);
// REG_DWORD of exactly 4 bytes.
bool RegReadDword(HKEY key, const char* name, DWORD& out);
// The text with its terminating zero byte, as the given type.
bool RegWriteString(HKEY key, const char* name, const char* text, DWORD type);
bool RegWriteDword(HKEY key, const char* name, DWORD number);
