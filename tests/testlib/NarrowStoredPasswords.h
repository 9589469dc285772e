// Passwords as the mailer stores them, scrambled through the narrow registry
// calls of the system's code page, and the code pages under which the stored
// value reads back whole. Under a double-byte code page the narrow write turns
// scrambled bytes that do not pair into a character into the default
// character: such a value reads the same both ways but unscrambles to another
// password. The wizard's and Orlenk's tests read the same table, since the two
// programs must show the same passwords.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

namespace testlib {

struct NarrowStoredPassword {
    const char* password;
    std::vector<UINT> wholeUnder;  // code pages

    bool ReadsWholeUnder(UINT codePage) const
    {
        return std::find(wholeUnder.begin(), wholeUnder.end(), codePage) != wholeUnder.end();
    }
};

inline const std::vector<NarrowStoredPassword>& NarrowStoredPasswords()
{
    static const std::vector<NarrowStoredPassword> passwords = {
        {"secret", {1252}},
        {"Passw0rd", {1252}},
        {"alice123", {1252, 936}},
        {"pw\x1B" "damaged", {}},  // as a damaged value unscrambles
    };
    return passwords;
}

}  // namespace testlib
