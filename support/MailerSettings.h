// The mailer's settings as the wizard's mail dialog writes them and the mail
// settings program reads them: values under one key of HKEY_LOCAL_MACHINE, the
// password scrambled with the mailer's own 12-byte key. Each program keeps
// its own value sizes.
#pragma once

#include <cstddef>

constexpr const char kMailerKey[] = "SOFTWARE\\Public Domain\\Hablat";

constexpr const char kMailerServerValue[] = "SMTP server";
constexpr const char kMailerSenderValue[] = "sender";
constexpr const char kMailerLoginValue[] = "AUTHLogin";
constexpr const char kMailerPasswordValue[] = "AUTHPassword";
// Written with the mailer's defaults "25" and "1" when the key is created.
constexpr const char kMailerPortValue[] = "SMTP Port";
constexpr const char kMailerTryValue[] = "Try";

// The mailer takes its values unquoted on its command line, which its C
// runtime splits at white space and where a double quote is quoting, never a
// character: a value holding one arrives changed or fused with its neighbour.
// Both programs refuse such a value.
bool HoldsDoubleQuote(const char* value);

// True when a byte of the password equals the key byte it is combined with: the
// scrambled text, stored up to its first zero byte, would end there. Printable
// ASCII never does; bytes of other code pages can.
bool ScramblesToZero(const char* password);

// True when the clear password holds a control character (below the blank, or
// 0x7F): no one types those, but a stored value damaged by a code page
// unscrambles to them.
bool HoldsControlCharacter(const char* password);

// Clears all of out, then stores text byte i exclusive-or key byte i % 12 for
// the first min(strlen(text), size - 1) bytes; out is always terminated.
// The operation is its own inverse. size must be at least 1.
void ScramblePassword(char* out, const char* text, std::size_t size);

// These two call the system and are built only into the Windows library.
#ifdef _WIN32
#include <windows.h>

// Whether the mailer's key keeps the password as it is. The mailer stores the
// scrambled text through the narrow registry calls, which carry it through the
// system's code page: under a double-byte one, bytes of 0x80 and above that do
// not pair into a character come back changed, and the mailer then
// authenticates with another password. Both programs refuse what is not Whole.
enum class PasswordStorage {
    Whole,
    Cut,      // the scrambled text holds a zero byte before its end
    Changed,  // the scrambled text does not survive the code page's round trip
};
PasswordStorage HowPasswordIsStored(const char* password);

// Whether stored, the "AUTHPassword" value of key as the narrow calls read it,
// gives the password that was stored: false when it was stored under another
// code page (its wide text is not what the narrow read gives), when its clear
// text holds a control character, or when this code page cannot carry the
// clear text into an edit. Neither program shows or hands on such a password.
bool StoredPasswordReadsWhole(HKEY key, const char* stored);
#endif
