#include "ShutdownBatchText.h"

#include <cstring>
#include <string>
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
// The interpreter's own commands, and the characters besides those of
// kProgramSyntax at which it ends such a command's word ("ECHO." prints).
const char* const kInternalCommands[] = {
    "ASSOC", "BREAK", "CALL",  "CD",       "CHDIR", "CLS",   "COLOR",  "COPY",  "DATE",   "DEL",   "DIR",
    "DPATH", "ECHO",  "ENDLOCAL", "ERASE", "EXIT",  "FOR",   "FTYPE",  "GOTO",  "IF",     "KEYS",  "MD",
    "MKDIR", "MKLINK", "MOVE", "PATH",     "PAUSE", "POPD",  "PROMPT", "PUSHD", "RD",     "REN",   "RENAME",
    "RMDIR", "SET",   "SETLOCAL", "SHIFT", "START", "TIME",  "TITLE",  "TYPE",  "VER",    "VERIFY", "VOL"};
const char kCommandWordEnd[] = ".+[]/\\:";

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

bool BeginsWithInternalCommand(const std::string& program)
{
    for (const char* command : kInternalCommands) {
        const std::string::size_type length = std::char_traits<char>::length(command);
        if (StartsWithNoCase(program, command) &&
            (program.size() == length || std::strchr(kCommandWordEnd, program[length])))
            return true;
    }
    return false;
}

// The program's name without the folder that the command line names it by,
// when that is the folder of the folder line before it.
std::string NameInFolder(const std::string& directory, const std::string& program)
{
    if (directory.empty()) return program;
    // The folder as PathJoin ends it.
    const std::string folder = StripTrailingSeparators(directory) + PathSeparator();
    if (program.size() <= folder.size() || program.compare(0, folder.size(), folder) != 0) return program;
    const std::string name = program.substr(folder.size());
    return PathJoin(directory, name) == program ? name : program;
}

// Splits a command line into its program and its arguments. A program in
// double quotes ends at the closing quote; any other ends at the first blank.
void SplitCommand(const std::string& line, bool called, std::string& program, std::string& arguments)
{
    std::string::size_type close = line[0] == '"' ? line.find('"', 1) : std::string::npos;
    if (close != std::string::npos) {
        BatchUnquoted(line.substr(0, close + 1), program, called);
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
    std::string pending;      // the folder for the next command line
    bool folderLine = false;  // the line before was a "SET path=%path%;" line
    std::string held;         // a first "SET path=%path%;" line, global or the next program's
    bool heldSet = false;
    std::vector<char> trimmed(kLineSize);
    const std::string call = std::string(kCall) + kSeparator;

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
                folderLine = StartsWithNoCase(line, kCommandPathLine);
            }
            continue;
        }

        const bool called = StartsWithNoCase(line, call);
        if (called) line = TrimSpaces(trimmed.data(), line.substr(call.size()).c_str());
        std::string program;
        std::string arguments;
        SplitCommand(line, called, program, arguments);
        std::string directory = pending;
        bool custom = folderLine;
        const std::string name = NameInFolder(directory, program);
        if (heldSet && !(arguments.empty() && becomesCustom(name, arguments) &&
                         programExists(PathJoin(directory, name)))) {
            // Not a custom program of that folder (a command of the editor's
            // own never is one, and a custom program has no arguments): the
            // line was the global path.
            batch.globalPath = held;
            directory.clear();
            custom = false;
        } else {
            program = name;
        }
        heldSet = false;
        if (programExists(PathJoin(directory, program)))
            batch.commands.push_back({program, arguments, directory, custom});
        pending.clear();
        folderLine = false;
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
        std::string program = command.program;
        if (command.custom) {
            lines.push_back(kCommandPathLine + FolderText(command.directory));
            program = PathJoin(command.directory, command.program);
        }
        const bool called = ShutdownBatchCalls(command.program);
        std::string line = ShutdownBatchProgramText(program, called);
        if (called) line = kCall + (kSeparator + line);
        if (!command.arguments.empty()) line += kSeparator + command.arguments;
        lines.push_back(line);
    }
    lines.push_back(kCls);
    return lines;
}

std::string ShutdownBatchProgramText(const std::string& program, bool called)
{
    // A name that begins like a comment line would be passed over when read,
    // and the interpreter runs a line's leading "@" as no part of the name.
    const bool quoted = Holds(program, kProgramSyntax) || StartsWithNoCase(program, kComment) ||
                        (!program.empty() && program[0] == '@') || BeginsWithInternalCommand(program);
    return quoted ? BatchQuoted(program, called) : program;
}

bool ShutdownBatchCalls(const std::string& program)
{
    const std::string extension = program.size() >= 4 ? StrToUpper(program.substr(program.size() - 4)) : "";
    return extension == ".BAT" || extension == ".CMD";
}

bool ShutdownBatchCallable(const std::string& path) { return !Holds(path, "^%"); }

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
