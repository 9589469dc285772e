// The client shutdown batch file's text: reading it back into commands.
#include <string>

#include "FuzzInput.h"
#include "ShutdownBatchParser.h"

namespace {

bool SameBatch(const ShutdownBatch& a, const ShutdownBatch& b)
{
    if (a.globalPath != b.globalPath || a.commands.size() != b.commands.size()) return false;
    for (size_t i = 0; i < a.commands.size(); ++i) {
        const ShutdownBatchCommand& x = a.commands[i];
        const ShutdownBatchCommand& y = b.commands[i];
        if (x.program != y.program || x.arguments != y.arguments || x.directory != y.directory)
            return false;
    }
    return true;
}

std::string WithCrLf(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// Short enough that one more character per line cannot reach the line limit.
bool LinesShort(const std::string& text)
{
    size_t length = 0;
    for (char c : text) {
        length = c == '\n' ? 0 : length + 1;
        if (length + 2 >= static_cast<size_t>(ShutdownBatchFormat::kLineSize)) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const unsigned salt = in.Byte();
    const std::string text = in.Rest();
    // Which programs exist is the input's choice too, and never the same for
    // every name.
    ProgramExists exists = [salt](const std::string& path) {
        return !path.empty() && (static_cast<unsigned char>(path.back()) + salt) % 3 != 0;
    };

    ShutdownBatch batch = ParseShutdownBatch(text, exists);
    for (const ShutdownBatchCommand& command : batch.commands) ShutdownBatchProgramText(command.program);
    // Line ends of either kind read the same.
    if (text.find('\r') == std::string::npos && LinesShort(text))
        Expect(SameBatch(batch, ParseShutdownBatch(WithCrLf(text), exists)),
               "CR LF reads as LF");
    return 0;
}
