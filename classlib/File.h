// A binary file opened by its caller.
#pragma once

#include <windows.h>

#include "UniqueHandle.h"

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        modeCreate = 0x1000,      // create, or truncate an existing file
        modeNoTruncate = 0x2000,  // with modeCreate: keep an existing file's content
    };

    CFile() = default;
    ~CFile() = default;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    BOOL Open(const char* fileName, UINT openFlags);
    void Close();
    BOOL IsOpen() const { return handle_ ? TRUE : FALSE; }
    // FALSE when the file is not open or not every byte was written.
    BOOL Write(const void* data, UINT count);
    UINT Read(void* data, UINT count);  // bytes read; 0 at the end or on failure

private:
    UniqueFileHandle handle_;
};
