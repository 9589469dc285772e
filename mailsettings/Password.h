#pragma once

#include <windows.h>

// The clear text of a stored "AUTHPassword" value, at most 511 characters, in a
// static buffer that the next call overwrites.
const char* UnscramblePassword(const char* stored);

// Whether narrow, the value as the ANSI registry calls read it, is the text
// stored: false when the system's code page cannot carry each of the stored
// characters, or the value cannot be read.
bool ReadsAsStored(HKEY key, const char* name, const char* narrow);
