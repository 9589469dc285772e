#include "MessageCatalog.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "CatalogText.h"
#include "CharBufferUtil.h"
#include "SysFileUtil.h"

namespace {

// The catalogue's whole text read as text, or false without a readable file.
bool ReadCatalog(std::string& text)
{
    char folder[MAX_PATH];
    if (!GetProgramDir(folder, sizeof folder)) return false;
    char path[MAX_PATH];
    int n = std::snprintf(path, sizeof path, "%s\\%s", folder, "Messages.dat");
    if (n < 0 || n >= static_cast<int>(sizeof path)) return false;
    return ReadTextFile(path, text);
}

}  // namespace

int ReadMessage(int number, char* buffer, int size)
{
    if (!buffer || size < 1) return 0;
    std::string catalog;
    if (ReadCatalog(catalog) && FindCatalogMessage(catalog, number, buffer, size)) return 1;
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
