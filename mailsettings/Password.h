#pragma once

// The clear text of a stored "AUTHPassword" value, at most 511 characters, in a
// static buffer that the next call overwrites.
const char* UnscramblePassword(const char* stored);
