// The text of the client shutdown batch file: the lines the writer puts into
// it and the reading of its text back into command lines. Plain values in and
// out, no file or system access, so the rules can be tested and fuzzed on
// their own, also against each other. The file handling is BatchFile's.
#pragma once

#include <functional>
#include <string>
#include <vector>

// The format's fixed words.
namespace ShutdownBatchFormat {
constexpr char kComment[] = "REM";
// The first and the last command word the writer puts into the file.
constexpr char kEcho[] = "@ECHO";
constexpr char kCls[] = "@CLS";
constexpr char kSeparator[] = " ";
constexpr char kPathLine[] = "SET path=";
// The line a custom program's folder stands on, right before the program.
constexpr char kCommandPathLine[] = "SET path=%path%;";
// The word in front of a batch file, which otherwise would not return.
constexpr char kCall[] = "CALL";
// Lines of this many characters or more end the reading.
constexpr int kLineSize = 1024;
// The words of a relay line's arguments: notify, the address after its own
// word, and the secure connection.
constexpr char kRelayNotify[] = "-s";
constexpr char kRelayAddress[] = "-a";
constexpr char kRelaySsl[] = "-ssl";
}  // namespace ShutdownBatchFormat

struct ShutdownBatchCommand {
    std::string program;    // unquoted, without its folder
    std::string arguments;  // the text after the program and one blank
    std::string directory;  // the custom program's folder, empty for all others
    // Written after a folder line of its own and named by its folder, also
    // when the directory is empty; read back for a command after a folder
    // line.
    bool custom = false;
};

struct ShutdownBatch {
    std::string globalPath;  // the text after "SET path=" of the global line, or empty
    std::vector<ShutdownBatchCommand> commands;
};

// The test whether a program exists: the program itself, or its folder joined
// with it.
using ProgramExists = std::function<bool(const std::string& path)>;
// Whether the editor takes a command line read for a custom program, the one
// kind that the writer puts after a folder line of its own.
using BecomesCustom = std::function<bool(const std::string& program, const std::string& arguments)>;

// Reads the file's text (lines end with LF or CR LF): every command line whose
// program exists where it is tested, and the global path. A leading "CALL" is
// no part of the command. A program named by the folder of the folder line
// before it is read as its name alone, as earlier versions wrote it. A
// "SET path=%path%;" line first in the file names the folder of the custom
// program after it (an empty one when nothing follows the ";") when that
// command becomes custom, has no arguments (the writer writes none for a
// custom program) and its program is found there; otherwise it is the global
// path (earlier versions wrote it so), and the command after it is tested on
// its own.
ShutdownBatch ParseShutdownBatch(const std::string& text, const ProgramExists& programExists,
                                 const BecomesCustom& becomesCustom);

// The file's lines, each without its line end: the frame, the global path line
// when the path is not empty, and every command's line, a custom program's
// after its folder line and named by that folder, so that no other program of
// its name that the interpreter finds first runs instead. A batch file is
// called (ShutdownBatchCalls).
std::vector<std::string> ShutdownBatchLines(const std::string& globalPath,
                                            const std::vector<ShutdownBatchCommand>& commands);

// The program as a command line names it: in double quotes (BatchQuoted) when
// the command interpreter would otherwise end the name early or read part of
// it as syntax, at a blank or one of , ; = & ^ ( ) %, or drop a leading "@";
// when the line would begin like a comment ("REM") and be passed over; and
// when the name begins with one of the interpreter's own command words,
// followed by nothing or by a character that ends a command word there
// (. + [ ] / \ :), which would run that command instead. called: the text
// after "CALL", which expands a "%" once more.
std::string ShutdownBatchProgramText(const std::string& program, bool called = false);

// A batch file (.bat or .cmd, ignoring case), which the writer calls: without
// CALL the interpreter would not come back from it to the commands after it.
bool ShutdownBatchCalls(const std::string& program);
// Whether a called batch file's path reaches the interpreter whole: CALL
// doubles every caret, also inside quotes, and expands a "%" a second time,
// which interpreters do not do alike.
bool ShutdownBatchCallable(const std::string& path);

struct ShutdownRelay {
    std::string address;
    bool ssl = false;
};
// A relay line's arguments: notify, the address and, when set, the secure
// connection.
std::string ShutdownRelayArguments(const ShutdownRelay& relay);
// The address is the word after the word "-a"; "-ssl" as a word of its own
// sets the secure connection. Words are separated by blanks.
ShutdownRelay ParseShutdownRelay(const std::string& arguments);
