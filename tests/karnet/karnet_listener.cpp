// A tray-like listener for the test that sends from the Linux side: it opens
// "tcp:PORT@localhost" through the binding, waits and reads as the tray's listen
// thread does, and answers each read with "got N: " and the bytes it read. A
// read of "STOP" ends it. Usage: karnet_listener.exe <KarNet.dll path> <port>
#include <windows.h>

#include <cstdio>
#include <string>

#include "NetConDll.h"

int _dowildcard = 0;

int main(int argc, char** argv)
{
    if (argc != 3) return 2;
    CNetConDll transport(argv[1]);
    std::string address = std::string("tcp:") + argv[2] + "@localhost";
    if (!transport.Open(address.c_str())) return 3;
    printf("listening\n");
    fflush(stdout);
    for (;;) {
        if (!transport.WaitData(5000)) continue;
        char buffer[4096] = {};
        uint32_t count = 0;
        if (!transport.ReadData(buffer, 4095, &count) || count == 0) continue;
        std::string data(buffer, count);
        std::string reply = "got " + std::to_string(count) + ": " + data;
        uint32_t written = 0;
        transport.WriteData(reply.data(), static_cast<uint32_t>(reply.size()), &written);
        if (data == "STOP") return 0;
    }
}
