#include "MessageCatalog.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "CharBufferUtil.h"

namespace {

// At most size - 1 characters, the rest of the size bytes zero, terminated.
void StoreFilled(char* buffer, int size, const char* text)
{
    size_t length = std::strlen(text);
    if (length > static_cast<size_t>(size - 1)) length = static_cast<size_t>(size - 1);
    std::memcpy(buffer, text, length);
    std::memset(buffer + length, 0, static_cast<size_t>(size) - length);
}

bool FindMessage(const char* key, char* buffer, int size)
{
    char folder[MAX_PATH];
    if (!GetProgramDir(folder, sizeof folder)) return false;
    char path[MAX_PATH];
    int n = std::snprintf(path, sizeof path, "%s\\%s", folder, "Messages.dat");
    if (n < 0 || n >= static_cast<int>(sizeof path)) return false;
    FILE* file = std::fopen(path, "r");
    if (!file) return false;
    const size_t keyLength = std::strlen(key);
    bool found = false;
    char line[1024];
    while (!found && std::fgets(line, sizeof line, file)) {
        if (!std::strstr(line, key)) continue;
        size_t length = std::strlen(line);
        if (length > 0 && line[length - 1] == '\n') line[--length] = '\0';
        StoreFilled(buffer, size, line + (keyLength <= length ? keyLength : length));
        found = true;
    }
    std::fclose(file);
    return found;
}

}  // namespace

int ReadMessage(int number, char* buffer, int size)
{
    if (!buffer || size < 1) return 0;
    char key[24];
    std::snprintf(key, sizeof key, "m%d=", number);
    if (FindMessage(key, buffer, size)) return 1;
    char text[48];
    std::snprintf(text, sizeof text, "can't read message %d", number);
    StoreFilled(buffer, size, text);
    return 0;
}

int GetProgramDir(char* buffer, int size)
{
    if (!buffer || size < 1) return 0;
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    // A name that filled the buffer came back cut and unterminated.
    if (n == 0 || n >= sizeof path) return 0;
    char folder[MAX_PATH];
    FileDirectory(folder, path);
    StoreFilled(buffer, size, folder);
    return 1;
}
