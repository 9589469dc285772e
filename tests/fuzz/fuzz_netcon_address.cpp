// The transport's address texts. Read first: an IPv4 address and a port, then
// the text. Asserted: what parses has a port of 1 to 65535, a host, and for a
// listening end the loopback, and formatted back as "tcp:PORT@HOST" or
// "tcp-HOST:PORT" parses to the same address; the transport's own peer text
// "tcp-%u.%u.%u.%u:%u" of an address and port parses to that address and port
// (and is refused for port 0); a dotted quad formatted back reads the same.
#include <string>

#include "FuzzInput.h"
#include "NetConAddress.h"

namespace {

std::string Dotted(uint32_t ipv4)
{
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", ipv4 >> 24, (ipv4 >> 16) & 255, (ipv4 >> 8) & 255, ipv4 & 255);
    return text;
}

bool Same(const NetConAddress& a, const NetConAddress& b)
{
    return a.listening == b.listening && a.host == b.host && a.ipv4 == b.ipv4 && a.port == b.port;
}

void CheckParsed(const NetConAddress& address)
{
    Expect(address.port != 0, "a port of 1 to 65535");
    Expect(!address.host.empty(), "a host");
    if (address.listening) Expect(address.ipv4 >> 24 == 127, "a listening end on the loopback");
    const std::string port = std::to_string(address.port);
    const std::string text = address.listening ? "tcp:" + port + "@" + address.host : "tcp-" + address.host + ":" + port;
    NetConAddress again;
    Expect(ParseNetConAddress(text.c_str(), &again) && Same(again, address), "an address formatted back parses the same");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const uint32_t peer = in.Long();
    const uint16_t peerPort = in.Word();
    const std::string text = in.Text();

    NetConAddress address;
    if (ParseNetConAddress(text.c_str(), &address)) CheckParsed(address);

    const std::string peerText = "tcp-" + Dotted(peer) + ":" + std::to_string(peerPort);
    NetConAddress fromPeer;
    const bool parsed = ParseNetConAddress(peerText.c_str(), &fromPeer);
    Expect(parsed == (peerPort != 0), "a peer text parses unless its port is 0");
    if (parsed) {
        Expect(!fromPeer.listening && fromPeer.ipv4 == peer && fromPeer.port == peerPort && fromPeer.host == Dotted(peer),
               "a peer text parses to its address and port");
        CheckParsed(fromPeer);
    }

    uint32_t ipv4 = 0;
    if (ParseDottedQuad(text, &ipv4)) {
        uint32_t back = 0;
        Expect(ParseDottedQuad(Dotted(ipv4), &back) && back == ipv4, "a dotted quad reads back");
    }
    return 0;
}
