#include "VelmorConnection.h"

#include <cstdio>

#include "UniqueHandle.h"

namespace {

const int kReplyBufferSize = 1024;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool SendRequest(SOCKET socket, const char* command)
{
    char request[64];
    int length = std::snprintf(request, sizeof request, "%s %d %s", "WINCLIENT",
                               static_cast<int>(socket), command);
    if (length < 0 || length >= static_cast<int>(sizeof request)) return false;
    // The terminating zero byte belongs to the request.
    return send(socket, request, length + 1, 0) != SOCKET_ERROR;
}

// One receive, bounded in time; -1 on error or silence. The text ends at the
// first zero byte or after the last byte received.
int ReceiveReply(SOCKET socket, char (&reply)[kReplyBufferSize + 1])
{
    reply[0] = '\0';
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket, &readable);
    timeval wait{static_cast<long>(kVelmorReplyTimeoutMs / 1000),
                 static_cast<long>(kVelmorReplyTimeoutMs % 1000) * 1000};
    if (select(0, &readable, nullptr, nullptr, &wait) != 1) return -1;
    int received = recv(socket, reply, kReplyBufferSize, 0);
    if (received == SOCKET_ERROR) return -1;
    reply[received] = '\0';
    return received;
}

}  // namespace

BOOL CreateTcpSocket(SOCKET* result)
{
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET || s == 0) return FALSE;
    *result = s;
    return TRUE;
}

void CloseTcpSocket(SOCKET socket)
{
    shutdown(socket, SD_BOTH);
    closesocket(socket);
}

BOOL ConnectWithTimeout(SOCKET socket, int port, const char* dottedAddress)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = inet_addr(dottedAddress ? dottedAddress : "");
    // A number above 255 gives no address; connecting would reach the broadcast address.
    if (address.sin_addr.s_addr == INADDR_NONE) return FALSE;
    sockaddr* target = reinterpret_cast<sockaddr*>(&address);

    // A socket event is a kernel event object.
    UniqueKernelHandle event(WSACreateEvent());
    if (!event) return connect(socket, target, sizeof address) == 0;
    if (WSAEventSelect(socket, event.Get(), FD_CONNECT) == SOCKET_ERROR)
        return connect(socket, target, sizeof address) == 0;

    bool signalled;
    if (connect(socket, target, sizeof address) == 0)
        signalled = true;
    else if (WSAGetLastError() == WSAEWOULDBLOCK)
        signalled =
            WaitForSingleObjectEx(event.Get(), kVelmorConnectTimeoutMs, TRUE) == WAIT_OBJECT_0;
    else
        signalled = false;

    if (WSAEventSelect(socket, event.Get(), 0) == SOCKET_ERROR) return FALSE;
    event.Reset();
    u_long nonBlocking = 0;
    if (ioctlsocket(socket, FIONBIO, &nonBlocking) == SOCKET_ERROR) return FALSE;
    return signalled ? TRUE : FALSE;
}

BOOL VelmorLogonTest(SOCKET socket)
{
    char reply[kReplyBufferSize + 1];
    if (!SendRequest(socket, "LOGON")) return FALSE;
    if (ReceiveReply(socket, reply) < 0) return FALSE;
    BOOL alive = IsVelmorReply(reply);
    if (!SendRequest(socket, "LOGOFF")) return FALSE;
    ReceiveReply(socket, reply);
    return alive;
}

BOOL IsVelmorReply(const char* reply)
{
    if (!reply) return FALSE;
    return IsDigit(reply[0]) && reply[1] == '|' && IsDigit(reply[2]) ? TRUE : FALSE;
}
