// The client shutdown batch file: the table of available commands, the entry
// factories, the writer, the reader and the rule that turns the lines read
// back into commands of the table.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "BatchCmd.h"

// The format's fixed words.
namespace BatchKeywords {
extern const std::string WaitProgram;   // "ktSleep.exe"
extern const std::string RelayProgram;  // "kodra.exe"
extern const std::string Echo;          // "@ECHO", the first command word written
extern const std::string Cls;           // "@CLS", the last one
}  // namespace BatchKeywords

using BatchCmdPtr = std::unique_ptr<CBatchCmd>;
// Lists of entries that someone else owns.
using BatchCmdList = std::vector<CBatchCmd*>;

// A wait step of the seconds text, or with asTemplate the "Wait some seconds..." row.
BatchCmdPtr MakeWaitCommand(const std::string& seconds, bool asTemplate);
// A relay to the address (the template when it is empty).
BatchCmdPtr MakeRelayCommand(const std::string& address, bool ssl);
// A program of the user's, started from its own folder.
BatchCmdPtr MakeCustomCommand(const std::string& program, const std::string& directory);

// Why a program chosen at "Add custom application" cannot be a custom entry.
enum class CustomProgramFault {
    None,
    // The next reading would take its name for one of the editor's own
    // commands: the wait or relay program, a frame word, or a helper program
    // that has a row without arguments.
    OwnCommand,
    // The command interpreter would read its name or folder as other
    // characters (IsBatchCodePageSafe).
    CodePage,
    // A batch file whose path cannot reach the interpreter whole after CALL.
    NotCallable,
};
CustomProgramFault CheckCustomProgram(const std::string& program, const std::string& directory);

// The rows of the available commands, in order: each helper program's rows
// only when the program exists in the current directory or the wizard's
// folder, then the wait and relay templates.
std::vector<BatchCmdPtr> BuildCommandList();

// Writes the whole file as a copy beside it, which then replaces it; false
// when the copy cannot be opened (traced), not be written completely or not
// replace the file: the file then stays as it was.
bool WriteBatchFile(const std::string& path, const std::string& globalPath,
                    const BatchCmdList& sequence);
// Replaces result with one entry per command line whose program exists where
// it is tested (see ParseShutdownBatch), the helper programs in the current
// directory or the wizard's folder; the file's global path sets globalPath
// when it is empty. A line becomes custom when MatchBatchCommands would make
// a custom entry of it with this table.
void ReadBatchFile(const std::string& path, const BatchCmdList& table, std::string& globalPath,
                   std::vector<BatchCmdPtr>& result);

struct BatchMatch {
    CBatchCmd* entry;  // goes into the sequence
    bool withdrawn;    // a table row that leaves the available commands
};
// The sequence that the entries read stand for, in file order. New wait,
// relay and custom entries are handed to owned; the wait and relay ones are
// also appended to the table.
std::vector<BatchMatch> MatchBatchCommands(const std::vector<BatchCmdPtr>& read,
                                           BatchCmdList& table, std::vector<BatchCmdPtr>& owned);
