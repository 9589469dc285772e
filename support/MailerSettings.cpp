#include "MailerSettings.h"

#include <cstring>

namespace {

// None zero, none printable ASCII, so only other bytes can scramble to zero.
const unsigned char kPasswordKey[12] = {0x9C, 0x1E, 0x85, 0x93, 0x07, 0x82,
                                        0x99, 0x14, 0x86, 0x8D, 0x02, 0x8F};

}  // namespace

void ScramblePassword(char* out, const char* text, std::size_t size)
{
    std::memset(out, 0, size);
    for (std::size_t i = 0; i + 1 < size && text[i] != '\0'; ++i)
        out[i] = static_cast<char>(static_cast<unsigned char>(text[i]) ^ kPasswordKey[i % 12]);
}

bool HoldsDoubleQuote(const char* value)
{
    return std::strchr(value, '"') != nullptr;
}

bool ScramblesToZero(const char* password)
{
    for (std::size_t i = 0; password[i] != '\0'; ++i)
        if (static_cast<unsigned char>(password[i]) == kPasswordKey[i % 12]) return true;
    return false;
}

bool HoldsControlCharacter(const char* password)
{
    for (std::size_t i = 0; password[i] != '\0'; ++i) {
        const unsigned char c = static_cast<unsigned char>(password[i]);
        if (c < 0x20 || c == 0x7F) return true;
    }
    return false;
}
