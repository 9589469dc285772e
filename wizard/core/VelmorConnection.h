// The client side of the VELMOR service's status protocol: one TCP connection
// to port 5769, a LOGON and a LOGOFF request, and the alive rule for the reply.
// Windows Sockets must be started by the caller.
#pragma once

#include <winsock2.h>
#include <windows.h>

constexpr int kVelmorStatusPort = 5769;
constexpr DWORD kVelmorConnectTimeoutMs = 5000;
// The service answers at once; a server that accepts and stays silent must not
// hold the wizard's only thread for longer than this.
constexpr DWORD kVelmorReplyTimeoutMs = 5000;

BOOL CreateTcpSocket(SOCKET* socket);
void CloseTcpSocket(SOCKET socket);
// Leaves the socket in blocking mode. A refused connection may still count as
// made here; the exchange then fails at its first send or receive.
BOOL ConnectWithTimeout(SOCKET socket, int port, const char* dottedAddress);
BOOL VelmorLogonTest(SOCKET socket);
// At least three characters: a digit, "|" and a digit.
BOOL IsVelmorReply(const char* reply);
