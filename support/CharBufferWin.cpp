#include "CharBufferUtil.h"

#include <windows.h>

int FileExistsOpen(const char* path)
{
    OFSTRUCT info;
    return OpenFile(path, &info, OF_EXIST | OF_SHARE_DENY_NONE) != HFILE_ERROR ? 1 : 0;
}

void SleepMs(unsigned milliseconds) { Sleep(milliseconds); }
