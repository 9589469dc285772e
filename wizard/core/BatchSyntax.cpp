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

namespace {
// How many times the interpreter reads a "%" as it expands the line.
std::string::size_type Percents(bool called) { return called ? 4 : 2; }
}  // namespace

std::string BatchQuoted(const std::string& text, bool called)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '%')
            quoted.append(Percents(called), '%');
        else
            quoted += c;
    }
    return quoted + "\"";
}

bool BatchUnquoted(const std::string& quoted, std::string& text, bool called)
{
    if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') return false;
    text.clear();
    for (std::string::size_type i = 1; i + 1 < quoted.size(); ++i) {
        text += quoted[i];
        if (quoted[i] != '%') continue;
        for (std::string::size_type more = 1; more < Percents(called) && quoted[i + 1] == '%'; ++more) ++i;
    }
    return true;
}
