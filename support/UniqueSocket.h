// The owner of a Windows Sockets socket, on the one owner template. Apart from
// UniqueHandle.h because winsock2.h must come before windows.h in every file
// that uses it.
#pragma once

#include <winsock2.h>

#include "UniqueHandle.h"

struct SocketTraits {
    using Handle = SOCKET;
    static Handle Invalid() noexcept { return INVALID_SOCKET; }
    static void Close(Handle handle) noexcept { closesocket(handle); }
};
using UniqueSocket = UniqueHandle<SocketTraits>;
