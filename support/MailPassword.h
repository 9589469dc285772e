// The mailer's "AUTHPassword" scrambling, shared by the wizard's mail dialog and
// the mail settings program; the mailer itself uses the same 12-byte key.
#pragma once

#include <cstddef>

// Clears all of out, then stores text byte i exclusive-or key byte i % 12 for
// the first min(strlen(text), size - 1) bytes; out is always terminated.
// The operation is its own inverse. size must be at least 1.
void ScramblePassword(char* out, const char* text, std::size_t size);
