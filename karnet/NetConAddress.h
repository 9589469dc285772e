// Address texts of the transport: "tcp:PORT@HOST" (listening end, loopback only)
// and "tcp-HOST:PORT" (connection).
#pragma once

#include <cstdint>
#include <string>

struct NetConAddress {
    bool listening = false;
    std::string host;        // as written; for a listening end "localhost" or 127.x.y.z
    uint32_t ipv4 = 0;       // host order; 0 when the host is a name still to be resolved
    uint16_t port = 0;
};

// False for any other form, a port that is not all digits or outside 1 to
// 65535, an empty host, or a listening host that is not the loopback.
bool ParseNetConAddress(const char* text, NetConAddress* out);

// Four decimal parts of 0 to 255 and nothing else.
bool ParseDottedQuad(const std::string& text, uint32_t* ipv4);
