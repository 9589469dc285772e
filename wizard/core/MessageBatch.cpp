#include "MessageBatch.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const char kBeepLineMarker[] = "msg.exe";
const char kBeepOption[] = "-c:";
const char kBeepLineFormat[] = "start /b msg.exe %%1 \"VELMOR:\" -c:%d KODRA";
// Lines are read and copied in pieces of at most this many characters.
const size_t kLinePieceLength = 511;

// The pieces a line-by-line read with a 512-byte buffer yields: up to and
// including a line feed, or 511 characters. The search for the beep line ends
// at a piece's first zero byte, as it would in a C string read from the file;
// a piece that is not replaced is copied whole, its zero bytes and all.
std::vector<std::string> Pieces(const std::string& text)
{
    std::vector<std::string> pieces;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = begin;
        while (end < text.size() && end - begin < kLinePieceLength) {
            if (text[end++] == '\n') break;
        }
        pieces.emplace_back(text.c_str() + begin, end - begin);
        begin = end;
    }
    return pieces;
}

}  // namespace

long LeadingNumber(const char* text)
{
    const char* p = text;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    // One past LONG_MAX, which a negative number reaches as LONG_MIN.
    const unsigned long long limit = static_cast<unsigned long long>(LONG_MAX) + 1;
    unsigned long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        const unsigned digit = static_cast<unsigned>(*p - '0');
        value = value > (limit - digit) / 10 ? limit : value * 10 + digit;
    }
    if (negative) return value >= limit ? LONG_MIN : -static_cast<long>(value);
    return value >= limit ? LONG_MAX : static_cast<long>(value);
}

BeepSetting FindBeepSetting(const std::string& batchText)
{
    BeepSetting setting;
    for (const std::string& piece : Pieces(batchText)) {
        if (!std::strstr(piece.c_str(), kBeepLineMarker)) continue;
        const char* option = std::strstr(piece.c_str(), kBeepOption);
        if (!option) {
            setting.choice = BeepChoice::Unchanged;
            return setting;
        }
        long count = LeadingNumber(option + std::strlen(kBeepOption));
        if (count < 0) {
            setting.choice = BeepChoice::Off;
        } else if (count == 0) {
            setting.choice = BeepChoice::Endless;
        } else {
            setting.choice = BeepChoice::Times;
            setting.count = count < 9 ? count : 9L;
        }
        return setting;
    }
    return setting;
}

std::string BeepLine(long count)
{
    char line[128];
    std::snprintf(line, sizeof line, kBeepLineFormat, static_cast<int>(count));
    return line;
}

std::string RewriteBeepLines(const std::string& batchText, long count)
{
    const std::string line = BeepLine(count) + "\n";
    std::string result;
    for (const std::string& piece : Pieces(batchText)) {
        if (std::strstr(piece.c_str(), kBeepLineMarker))
            result += line;
        else
            result += piece;
    }
    return result + "\n";
}
