#include "ShutdownBatchText.h"

#include <vector>

#include "BatchSyntax.h"
#include "CharBufferUtil.h"
#include "PathUtil.h"
#include "StringUtil.h"

namespace {

using namespace ShutdownBatchFormat;

bool StartsWithNoCase(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() &&
           StrToUpper(text.substr(0, prefix.size())) == StrToUpper(prefix);
}

std::string Field(const std::string& text, const char* separator, int n)
{
    std::vector<char> out(kLineSize);
    return GetFieldN(out.data(), kLineSize, text.c_str(), separator, n);
}

// Characters that end a command's name or are syntax on a command line.
const char kProgramSyntax[] = " ,;=&^()%";
// Characters of a folder that the path line's interpreter reads as syntax or
// as the path's separator. Blanks and brackets it takes as they stand.
const char kFolderSyntax[] = "&^%;";

bool Holds(const std::string& text, const char* characters)
{
    return text.find_first_of(characters) != std::string::npos;
}

// The folder of a "SET path=" line after the global one: the quoted folder
// that the writer puts after "SET path=%path%;"; in files of earlier versions
// the line's third field at "%", without the ";" around it.
std::string LineDirectory(const std::string& line)
{
    std::string directory;
    if (StartsWithNoCase(line, kCommandPathLine) &&
        BatchUnquoted(line.substr(sizeof kCommandPathLine - 1), directory))
        return directory;
    return TrimChar(Field(line, "%", 3), ';');
}

std::string FolderText(const std::string& directory)
{
    return Holds(directory, kFolderSyntax) ? BatchQuoted(directory) : directory;
}

// Splits a command line into its program and its arguments. A program in
// double quotes ends at the closing quote; any other ends at the first blank.
void SplitCommand(const std::string& line, std::string& program, std::string& arguments)
{
    std::string::size_type close = line[0] == '"' ? line.find('"', 1) : std::string::npos;
    if (close != std::string::npos) {
        BatchUnquoted(line.substr(0, close + 1), program);
        std::string::size_type rest = close + 1;
        if (rest < line.size() && line[rest] == ' ') ++rest;
        arguments = line.substr(rest);
        return;
    }
    program = Field(line, kSeparator, 1);
    arguments = line.size() > program.size() ? line.substr(program.size() + 1) : std::string();
}

}  // namespace

ShutdownBatch ParseShutdownBatch(const std::string& text, const ProgramExists& programExists,
                                 const BecomesCustom& becomesCustom)
{
    ShutdownBatch batch;
    std::string pending;  // the folder for the next command line
    std::string held;     // a first "SET path=%path%;" line, global or the next program's
    bool heldSet = false;
    std::vector<char> trimmed(kLineSize);

    std::string::size_type start = 0;
    while (start < text.size()) {
        std::string::size_type end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? text.size() : end + 1;
        if (end != std::string::npos && !line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() >= static_cast<std::string::size_type>(kLineSize)) break;
        // A zero character ends the line, as it ends the line's buffer.
        line = TrimSpaces(trimmed.data(), line.c_str());
        if (line.empty() || StartsWithNoCase(line, kComment)) continue;

        if (StartsWithNoCase(line, kPathLine)) {
            if (heldSet) {
                // Nothing ran in between: the held line was the global one.
                batch.globalPath = held;
                heldSet = false;
            }
            if (batch.globalPath.empty() && !StartsWithNoCase(line, kCommandPathLine)) {
                batch.globalPath = line.substr(sizeof kPathLine - 1);
            } else {
                if (batch.globalPath.empty()) {
                    held = line.substr(sizeof kPathLine - 1);
                    heldSet = true;
                }
                pending = LineDirectory(line);
            }
            continue;
        }

        std::string program;
        std::string arguments;
        SplitCommand(line, program, arguments);
        std::string directory = pending;
        if (heldSet && !(!directory.empty() && becomesCustom(program, arguments) &&
                         programExists(PathJoin(directory, program)))) {
            // Not a custom program of that folder (a command of the editor's
            // own never has one): the line was the global path.
            batch.globalPath = held;
            directory.clear();
        }
        heldSet = false;
        std::string testPath = directory.empty() ? program : PathJoin(directory, program);
        if (programExists(testPath))
            batch.commands.push_back({program, arguments, directory, !directory.empty()});
        pending.clear();
    }
    if (heldSet) batch.globalPath = held;
    return batch;
}

std::vector<std::string> ShutdownBatchLines(const std::string& globalPath,
                                            const std::vector<ShutdownBatchCommand>& commands)
{
    std::vector<std::string> lines = {std::string(kEcho) + " off",
                                      std::string(kComment) + " --- Created by KODRA configuration ---"};
    if (!globalPath.empty()) lines.push_back(kPathLine + globalPath);
    for (const ShutdownBatchCommand& command : commands) {
        if (command.custom) lines.push_back(kCommandPathLine + FolderText(command.directory));
        std::string line = ShutdownBatchProgramText(command.program);
        if (!command.arguments.empty()) line += kSeparator + command.arguments;
        lines.push_back(line);
    }
    lines.push_back(kCls);
    return lines;
}

std::string ShutdownBatchProgramText(const std::string& program)
{
    // A name that begins like a comment line would be passed over when read,
    // and the interpreter runs a line's leading "@" as no part of the name.
    const bool quoted = Holds(program, kProgramSyntax) || StartsWithNoCase(program, kComment) ||
                        (!program.empty() && program[0] == '@');
    return quoted ? BatchQuoted(program) : program;
}

std::string ShutdownRelayArguments(const ShutdownRelay& relay)
{
    std::string arguments = std::string(kRelayNotify) + kSeparator + kRelayAddress + kSeparator + relay.address;
    if (relay.ssl) arguments += std::string(kSeparator) + kRelaySsl;
    return arguments;
}

ShutdownRelay ParseShutdownRelay(const std::string& arguments)
{
    ShutdownRelay relay;
    bool addressNext = false;
    for (const std::string& word : SplitFields(arguments, kSeparator)) {
        if (word.empty()) continue;
        if (addressNext)
            relay.address = word;
        else if (word == kRelaySsl)
            relay.ssl = true;
        addressNext = !addressNext && word == kRelayAddress;
    }
    return relay;
}
