#include "NetConAddress.h"

#include <cstring>

namespace {

const uint32_t kLocalhost = 0x7F000001;

bool ParsePort(const std::string& text, uint16_t* port)
{
    if (text.empty()) return false;
    uint32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<uint32_t>(c - '0');
        if (value > 65535) return false;
    }
    if (value == 0) return false;
    *port = static_cast<uint16_t>(value);
    return true;
}

bool IsLocalhostName(const std::string& host)
{
    if (host.size() != 9) return false;
    for (size_t i = 0; i < host.size(); ++i) {
        char c = host[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != "localhost"[i]) return false;
    }
    return true;
}

bool IsNumericText(const std::string& text)
{
    for (char c : text)
        if ((c < '0' || c > '9') && c != '.') return false;
    return true;
}

}  // namespace

bool ParseDottedQuad(const std::string& text, uint32_t* ipv4)
{
    uint32_t result = 0;
    size_t pos = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (pos >= text.size() || text[pos] != '.') return false;
            ++pos;
        }
        size_t begin = pos;
        uint32_t value = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - begin < 3)
            value = value * 10 + static_cast<uint32_t>(text[pos++] - '0');
        if (pos == begin || value > 255) return false;
        result = (result << 8) | value;
    }
    if (pos != text.size()) return false;
    *ipv4 = result;
    return true;
}

bool ParseNetConAddress(const char* text, NetConAddress* out)
{
    if (!text || !out) return false;
    std::string s = text;
    NetConAddress a;
    std::string portText;
    if (s.compare(0, 4, "tcp:") == 0) {
        size_t at = s.find('@', 4);
        if (at == std::string::npos) return false;
        a.listening = true;
        portText = s.substr(4, at - 4);
        a.host = s.substr(at + 1);
    } else if (s.compare(0, 4, "tcp-") == 0) {
        size_t colon = s.rfind(':');
        if (colon == std::string::npos || colon < 4) return false;
        a.host = s.substr(4, colon - 4);
        portText = s.substr(colon + 1);
    } else {
        return false;
    }
    if (!ParsePort(portText, &a.port) || a.host.empty()) return false;
    if (IsLocalhostName(a.host)) {
        a.ipv4 = kLocalhost;
    } else if (IsNumericText(a.host)) {
        if (!ParseDottedQuad(a.host, &a.ipv4)) return false;
    }
    // Listening ends serve this machine alone.
    if (a.listening && (a.ipv4 >> 24) != 127) return false;
    *out = a;
    return true;
}
