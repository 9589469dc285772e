// The beep line of "message.bat": reading the setting and rewriting the lines.
// Asserted: a text that names no "msg.exe" comes back byte for byte with one
// more line end; where every line fits a 511-character piece, each line that
// is not a beep line comes back as it was, zero bytes and all, and each beep
// line as the one written; and the setting written reads back.
#include <cstring>

#include "FuzzInput.h"
#include "MessageBatch.h"

namespace {

const char kMarker[] = "msg.exe";
const size_t kPieceLength = 511;

// The lines of the text, each with its line feed.
std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t begin = 0;
    while (begin < text.size()) {
        const size_t feed = text.find('\n', begin);
        const size_t end = feed == std::string::npos ? text.size() : feed + 1;
        lines.push_back(text.substr(begin, end - begin));
        begin = end;
    }
    return lines;
}

// The rewrite of a text whose lines all fit a piece, line by line; false when
// a line does not fit.
bool RewriteByLines(const std::string& batch, long count, std::string* expected)
{
    expected->clear();
    for (const std::string& line : Lines(batch)) {
        if (line.size() > kPieceLength) return false;
        // A beep line is found as in a C string: up to its first zero byte.
        *expected += std::strstr(line.c_str(), kMarker) ? BeepLine(count) + "\n" : line;
    }
    *expected += "\n";
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const long count = static_cast<long>(in.Byte() % 11) - 1;
    const std::string number = in.Text();
    const std::string batch = in.Rest();

    LeadingNumber(number.c_str());
    BeepSetting setting = FindBeepSetting(batch);
    if (setting.choice == BeepChoice::Times)
        Expect(setting.count >= 1 && setting.count <= 9, "a count of 1 to 9");

    const std::string rewritten = RewriteBeepLines(batch, count);
    Expect(!rewritten.empty() && rewritten.back() == '\n', "the rewritten text ends with a line end");
    if (batch.find(kMarker) == std::string::npos)
        Expect(rewritten == batch + "\n", "a text without a beep line comes back as it was");
    std::string expected;
    if (RewriteByLines(batch, count, &expected))
        Expect(rewritten == expected, "lines that are not replaced come back byte for byte");
    // Without zero bytes the pieces before the first beep line stay as they
    // were, so the rewritten file reads back as the setting written.
    if (setting.choice != BeepChoice::Off && batch.find('\0') == std::string::npos) {
        BeepSetting back = FindBeepSetting(rewritten);
        BeepChoice written = count < 0 ? BeepChoice::Off : count == 0 ? BeepChoice::Endless : BeepChoice::Times;
        Expect(back.choice == written, "the written setting reads back");
        if (written == BeepChoice::Times) Expect(back.count == count, "the written count reads back");
    }
    return 0;
}
