#include "BatchSyntax.h"

#include <cstring>

bool IsBatchSafeAddress(const char* address)
{
    for (const char* p = address; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c <= ' ' || c == 0x7F || std::strchr("&|<>^%\"", c)) return false;
    }
    return true;
}

std::string BatchQuoted(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c;
        if (c == '%') quoted += '%';
    }
    return quoted + "\"";
}

bool BatchUnquoted(const std::string& quoted, std::string& text)
{
    if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') return false;
    text.clear();
    for (std::string::size_type i = 1; i + 1 < quoted.size(); ++i) {
        text += quoted[i];
        if (quoted[i] == '%' && quoted[i + 1] == '%') ++i;
    }
    return true;
}
