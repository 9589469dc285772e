// The keys under HKEY_LOCAL_MACHINE\Software that the programs share with
// programs outside the system (the debug configuration, the mailer's settings)
// are where the shipped 32-bit programs see them: on 64-bit Windows under
// Wow6432Node. Every open, creation and deletion of them asks for that view, so
// that a 64-bit build reads and writes the same key; 32-bit Windows ignores it.
#pragma once

#include <windows.h>

constexpr REGSAM kSharedKeyView = KEY_WOW64_32KEY;
