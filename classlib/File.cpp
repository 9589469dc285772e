#include "File.h"

BOOL CFile::Open(const char* fileName, UINT openFlags)
{
    Close();
    DWORD access = GENERIC_READ;
    if (openFlags & modeWrite)
        access = GENERIC_WRITE;
    else if (openFlags & modeReadWrite)
        access = GENERIC_READ | GENERIC_WRITE;
    DWORD disposition = OPEN_EXISTING;
    if (openFlags & modeCreate)
        disposition = (openFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
    handle_.Reset(CreateFileA(fileName, access, FILE_SHARE_READ, NULL, disposition, FILE_ATTRIBUTE_NORMAL, NULL));
    return IsOpen();
}

void CFile::Close() { handle_.Reset(); }

BOOL CFile::Write(const void* data, UINT count)
{
    if (!handle_)
        return FALSE;
    DWORD written = 0;
    return WriteFile(handle_.Get(), data, count, &written, NULL) && written == count;
}

UINT CFile::Read(void* data, UINT count)
{
    DWORD got = 0;
    if (!handle_ || !ReadFile(handle_.Get(), data, count, &got, NULL))
        return 0;
    return got;
}
