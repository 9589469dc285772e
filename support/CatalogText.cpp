#include "CatalogText.h"

#include <cstdio>
#include <cstring>

namespace {

// A line is read in pieces of at most this many characters, its line feed included.
const size_t kPieceLength = 1023;

}  // namespace

void StoreFilled(char* buffer, int size, const char* text)
{
    size_t length = std::strlen(text);
    if (length > static_cast<size_t>(size - 1)) length = static_cast<size_t>(size - 1);
    std::memcpy(buffer, text, length);
    std::memset(buffer + length, 0, static_cast<size_t>(size) - length);
}

int FindCatalogMessage(const std::string& catalog, int number, char* buffer, int size)
{
    if (!buffer || size < 1) return 0;
    char key[24];
    std::snprintf(key, sizeof key, "m%d=", number);
    const size_t keyLength = std::strlen(key);
    size_t begin = 0;
    while (begin < catalog.size()) {
        size_t end = begin;
        while (end < catalog.size() && end - begin < kPieceLength) {
            if (catalog[end++] == '\n') break;
        }
        // The piece as a C string: it ends at its first zero byte, if any.
        std::string line(catalog.c_str() + begin, end - begin);
        begin = end;
        if (!std::strstr(line.c_str(), key)) continue;
        size_t length = std::strlen(line.c_str());
        if (length > 0 && line[length - 1] == '\n') --length;
        line.resize(length);
        StoreFilled(buffer, size, line.c_str() + (keyLength <= length ? keyLength : length));
        return 1;
    }
    return 0;
}
