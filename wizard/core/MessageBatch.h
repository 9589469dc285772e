// The beep setting in the "msg.exe" lines of "message.bat", read from and
// written into the batch file's text. MessageBatchFile opens and replaces the
// file; these functions never touch it.
#pragma once

#include <string>

// An optional sign and the digits after it, saturated to long; no digits give 0.
long LeadingNumber(const char* text);

enum class BeepChoice { Off, Endless, Times, Unchanged };

struct BeepSetting {
    BeepChoice choice = BeepChoice::Off;
    long count = 0;  // 1 to 9 for Times
};

// The setting of the first line that contains "msg.exe" (case-sensitive), read
// in pieces of at most 511 characters as the file is: no such line is Off, a
// line without "-c:" leaves the choice Unchanged.
BeepSetting FindBeepSetting(const std::string& batchText);

// The beep line for count (-1 no beep, 0 endless, 1 to 9 beeps), without line end.
std::string BeepLine(long count);

// The batch text with every piece that contains "msg.exe" replaced by the beep
// line and a line end, every other piece byte for byte as it was, and one more
// line end at the close.
std::string RewriteBeepLines(const std::string& batchText, long count);
