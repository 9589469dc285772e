// The client shutdown batch file's text: reading arbitrary text, and reading
// back what the writer writes.
#include <cctype>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "PathUtil.h"
#include "ShutdownBatchText.h"

namespace {

using namespace ShutdownBatchFormat;

// What a custom program's folder line holds after "SET path=".
const std::string kFolderText = std::string(kCommandPathLine).substr(sizeof kPathLine - 1);

bool SameCommands(const std::vector<ShutdownBatchCommand>& a, const std::vector<ShutdownBatchCommand>& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const ShutdownBatchCommand& x = a[i];
        const ShutdownBatchCommand& y = b[i];
        if (x.program != y.program || x.arguments != y.arguments || x.directory != y.directory ||
            x.custom != y.custom)
            return false;
    }
    return true;
}

bool SameBatch(const ShutdownBatch& a, const ShutdownBatch& b)
{
    return a.globalPath == b.globalPath && SameCommands(a.commands, b.commands);
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
        if (length + 2 >= static_cast<size_t>(kLineSize)) return false;
    }
    return true;
}

// The reader compares its words ignoring case, in the classic locale the
// fuzzer runs in.
bool StartsWithNoCase(const std::string& text, const std::string& prefix)
{
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(text[i])) != std::toupper(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

// What the format carries. Outside these limits a value comes back otherwise
// by the format's design, not by a fault:
// - No LF anywhere: it ends the line. (No zero byte either: the input's texts
//   end at one.)
// - No blank and no CR at the end of a line: the reader trims blanks off both
//   ends, and the file, read as text, takes a CR right before the line end
//   for part of the line end. Blanks at the start of a value that does not
//   start its line, and CRs inside a line, are carried.
// - A program is not empty. A custom program is named by its folder (the
//   word); it does not start with a backslash and its folder does not end
//   with two, since PathJoin makes one of them. A word that the writer quotes
//   (ShutdownBatchProgramText) holds no quote: the reader takes the name up
//   to the first one. Any other is read up to the first blank, so it does
//   not start with a quote (the reader would look for the closing one).
// - A global path does not start with "%path%;", ignoring case: the reader
//   takes such a first path line for the folder of the custom program after it.
// - A custom program's folder holds no quote (illegal in a folder's name; the
//   reader takes a folder line in quotes for a quoted folder). One that the
//   writer leaves unquoted (without & ^ % ;) ends its line.
// A directory of a command that is not custom is not written, and comes back
// empty.
bool EndsLine(const std::string& text) { return text.empty() || (text.back() != ' ' && text.back() != '\r'); }

bool NoLineEnd(const std::string& text) { return text.find('\n') == std::string::npos; }

bool Holds(const std::string& text, const char* characters)
{
    return text.find_first_of(characters) != std::string::npos;
}

bool GlobalPathCarried(const std::string& globalPath)
{
    return NoLineEnd(globalPath) && EndsLine(globalPath) && !StartsWithNoCase(globalPath, kFolderText);
}

// The program as its command line names it.
std::string Word(const ShutdownBatchCommand& command)
{
    return command.custom ? PathJoin(command.directory, command.program) : command.program;
}

bool CommandCarried(const ShutdownBatchCommand& command)
{
    const std::string& program = command.program;
    const std::string& arguments = command.arguments;
    const std::string& directory = command.directory;
    if (program.empty() || !NoLineEnd(program) || !NoLineEnd(arguments) || !EndsLine(arguments)) return false;
    if (command.custom && (program[0] == '\\' ||
                           (directory.size() >= 2 && directory.compare(directory.size() - 2, 2, "\\\\") == 0)))
        return false;
    const std::string word = Word(command);
    if (ShutdownBatchProgramText(word)[0] == '"') {
        if (Holds(word, "\"")) return false;
    } else if (word[0] == '"' || !EndsLine(arguments.empty() ? word : arguments)) {
        return false;
    }
    if (!command.custom) return true;
    return NoLineEnd(directory) && !Holds(directory, "\"") && (Holds(directory, "&^%;") || EndsLine(directory));
}

const size_t kMostCommands = 16;

// Values first: the number of commands and whether each is custom; then the
// texts: the global path, and each command's program, arguments and directory.
void ReadSequence(FuzzInput& in, std::string& globalPath, std::vector<ShutdownBatchCommand>& commands)
{
    commands.resize(in.Byte() % (kMostCommands + 1));
    for (ShutdownBatchCommand& command : commands) command.custom = in.Flag();
    globalPath = in.Text();
    for (ShutdownBatchCommand& command : commands) {
        command.program = in.Text();
        command.arguments = in.Text();
        command.directory = in.Text();
    }
}

// What reading the written lines gives: every line before the first of the
// line limit, the writer's frame included.
ShutdownBatch ExpectedBatch(const std::string& globalPath, const std::vector<ShutdownBatchCommand>& commands,
                            const std::vector<std::string>& lines, const BecomesCustom& becomesCustom)
{
    size_t cut = 0;
    while (cut < lines.size() && lines[cut].size() < static_cast<size_t>(kLineSize)) ++cut;

    ShutdownBatch batch;
    if (cut > 0) batch.commands.push_back({kEcho, "off", "", false});
    size_t at = 2;  // after the frame's two lines
    if (!globalPath.empty()) {
        if (at < cut) batch.globalPath = globalPath;
        ++at;
    }
    for (const ShutdownBatchCommand& command : commands) {
        bool custom = command.custom;
        if (custom) {
            // With no global path before it, a folder line is the global
            // path after all when it is read last, or when the command after
            // it has arguments or does not become custom.
            if (at < cut && batch.globalPath.empty() &&
                (at + 1 == cut || !command.arguments.empty() || !becomesCustom(command.program, command.arguments))) {
                batch.globalPath = lines[at].substr(sizeof kPathLine - 1);
                custom = false;
            }
            ++at;
        }
        // A command whose folder line was the global path is read as the
        // word that names it.
        const std::string program = command.custom && !custom ? Word(command) : command.program;
        if (at < cut) batch.commands.push_back({program, command.arguments, custom ? command.directory : "", custom});
        ++at;
    }
    if (at < cut) batch.commands.push_back({kCls, "", "", false});
    return batch;
}

// The salt chooses which commands become custom.
void RoundTrip(FuzzInput& in, unsigned salt)
{
    std::string globalPath;
    std::vector<ShutdownBatchCommand> read;
    ReadSequence(in, globalPath, read);
    if (!GlobalPathCarried(globalPath)) globalPath.clear();
    std::vector<ShutdownBatchCommand> commands;
    for (const ShutdownBatchCommand& command : read)
        if (CommandCarried(command)) commands.push_back(command);

    const BecomesCustom becomesCustom = [salt](const std::string& program, const std::string& arguments) {
        return (program.size() + arguments.size() + salt) % 3 != 0;
    };
    const std::vector<std::string> lines = ShutdownBatchLines(globalPath, commands);
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    const ShutdownBatch batch = ParseShutdownBatch(text, [](const std::string&) { return true; }, becomesCustom);
    const ShutdownBatch expected = ExpectedBatch(globalPath, commands, lines, becomesCustom);
    Expect(batch.globalPath == expected.globalPath, "the global path written reads back");
    Expect(SameCommands(batch.commands, expected.commands), "the commands written read back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const unsigned salt = in.Byte();
    FuzzInput sequence = in;
    const std::string text = in.Rest();
    // Which programs exist is the input's choice too, and never the same for
    // every name.
    ProgramExists exists = [salt](const std::string& path) {
        return !path.empty() && (static_cast<unsigned char>(path.back()) + salt) % 3 != 0;
    };
    BecomesCustom becomesCustom = [salt](const std::string& program, const std::string& arguments) {
        return (program.size() + arguments.size() + salt / 3) % 2 == 0;
    };

    ShutdownBatch batch = ParseShutdownBatch(text, exists, becomesCustom);
    for (const ShutdownBatchCommand& command : batch.commands) ParseShutdownRelay(command.arguments);
    for (const ShutdownBatchCommand& command : batch.commands) ShutdownBatchProgramText(command.program);
    // Line ends of either kind read the same.
    if (text.find('\r') == std::string::npos && LinesShort(text))
        Expect(SameBatch(batch, ParseShutdownBatch(WithCrLf(text), exists, becomesCustom)),
               "CR LF reads as LF");

    // The same bytes after the first, as a sequence to write and read back.
    RoundTrip(sequence, salt);
    return 0;
}
