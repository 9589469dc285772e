// "message.bat" in the wizard's folder, which the KODRA service runs with each
// message: the beep setting of its "msg.exe" lines read from and written into
// the file. The text rules are MessageBatch's.
#pragma once

#include "MessageBatch.h"

// The file's setting; a file that cannot be read gives Off.
BeepSetting ReadMessageBatchBeep();

// Rewrites the file's "msg.exe" lines for count (-1 no beep, 0 endless, 1 to 9
// beeps). A whole copy replaces the file, or the file stays as it was; a file
// that cannot be read is left alone, and a missing one is not created.
void WriteMessageBatchBeep(long count);
