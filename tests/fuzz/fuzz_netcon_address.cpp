// The transport's address texts.
#include "FuzzInput.h"
#include "NetConAddress.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const std::string text = in.Text();
    NetConAddress address;
    if (ParseNetConAddress(text.c_str(), &address)) {
        Expect(address.port != 0, "a port of 1 to 65535");
        Expect(!address.host.empty(), "a host");
        if (address.listening) Expect(address.ipv4 >> 24 == 127, "a listening end on the loopback");
    }
    uint32_t ipv4 = 0;
    if (ParseDottedQuad(text, &ipv4)) {
        char again[16];
        std::snprintf(again, sizeof again, "%u.%u.%u.%u", ipv4 >> 24, (ipv4 >> 16) & 255,
                      (ipv4 >> 8) & 255, ipv4 & 255);
        uint32_t back = 0;
        Expect(ParseDottedQuad(again, &back) && back == ipv4, "a dotted quad reads back");
    }
    return 0;
}
