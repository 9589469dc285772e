#include "BatchFile.h"

#include <cstdio>

#include "DebugTrace.h"
#include "KodraProgram.h"
#include "PathUtil.h"
#include "ShutdownBatchText.h"
#include "StringUtil.h"
#include "SysFileUtil.h"
#include "WizardUtil.h"

namespace BatchKeywords {
const std::string WaitProgram = "ktSleep.exe";
const std::string RelayProgram = kKodraRelayProgram;
const std::string Echo = ShutdownBatchFormat::kEcho;
const std::string Cls = ShutdownBatchFormat::kCls;
}  // namespace BatchKeywords

namespace {

using namespace BatchKeywords;

const char kWaitTemplateName[] = "Wait some seconds...";
const char kWaitTemplateDescription[] = "Waits a duration in seconds until the next command is executed.";
const char kRelayName[] = "KODRA shutdown relay";
const char kRelayDescription[] =
    "Relays KODRA shutdown command to another computer. Enter IP address or hostname of the "
    "remote computer you want to shutdown.";
const char kCustomDescription[] = "Custom application.";
const char kWaitAfterThis[] = "\r\nPlease configure a 'Wait' delay after this command.";

struct HelperRow {
    const char* arguments;
    const char* name;
    std::string description;
};

struct HelperProgram {
    const char* program;
    std::vector<HelperRow> rows;
};

const std::vector<HelperProgram>& HelperPrograms()
{
    static const std::vector<HelperProgram> programs = {
        {"Voldrun.exe",
         {{"logoff", "Log off user", "Ends your session, leaving the computer running on full power."},
          {"shutdown force", "Shut down Windows",
           "Ends your session and shuts down Windows so that you can safely turn off power."},
          {"poweroff force", "Power off Windows",
           "Ends your session, shuts down Windows, and turns off the power."},
          {"reboot", "Restart Windows", "Ends your session, shuts down Windows, and starts Windows again."},
          {"hibernate", "Hibernate Windows", "Hibernates your windows session."},
          {"suspend", "Suspend Windows", "Suspends your windows session."}}},
        {"Brasket.exe",
         {{"", "Quit Lotus Notes",
           std::string("Closes Lotus Notes before shutting down Windows.") + kWaitAfterThis}}},
        {"Quorrin.exe",
         {{"", "Quit Microsoft Office", "Closes Microsoft Office before shutting down Windows."}}},
        {"Tavilo.exe",
         {{"", "Quit Siemens SIMATIC",
           std::string("Closes WinCC Database before shutting down Windows.") + kWaitAfterThis}}},
        {"Ostrel.exe",
         {{"", "Quit Applications", "Closes all applications before shutting down Windows."}}},
        {"Ostrel95.exe",
         {{"", "Quit Applications (Win95)",
           "Closes all applications before shutting down Windows 95.\r\n"
           "Please use this command only when running Windows 95."}}},
    };
    return programs;
}

// Helper programs are looked for in the current directory and, so that a
// wizard started from another folder still finds them, in its own folder.
bool HelperExists(const std::string& path)
{
    if (FileExists(path)) return true;
    char folder[MAX_PATH];
    return GetExeDriveAndDir(folder, sizeof folder) > 0 && FileExists(PathJoin(folder, path));
}

enum class LineKind { Wait, Relay, Frame, Other };

// What the program of a line read makes of it before the table is searched.
LineKind KindOf(const std::string& program)
{
    const std::string upper = StrToUpper(program);
    if (upper == StrToUpper(WaitProgram)) return LineKind::Wait;
    if (upper == StrToUpper(RelayProgram)) return LineKind::Relay;
    if (upper == StrToUpper(Echo) || upper == StrToUpper(Cls)) return LineKind::Frame;
    return LineKind::Other;
}

// The first table row that stands for the same command, or none.
CBatchCmd* FindRow(const BatchCmdList& table, const CBatchCmd& entry)
{
    for (CBatchCmd* row : table)
        if (row->IsSameCommand(entry)) return row;
    return nullptr;
}

// A helper program whose row without arguments a custom program of its name
// would match on reading, whether the helper is present now or later.
bool IsHelperWithoutArguments(const std::string& program)
{
    for (const HelperProgram& helper : HelperPrograms())
        for (const HelperRow& row : helper.rows)
            if (!*row.arguments && StrToUpper(program) == StrToUpper(helper.program)) return true;
    return false;
}

bool WriteLine(FILE* file, const std::string& line)
{
    return std::fputs(line.c_str(), file) >= 0 && std::fputs("\r\n", file) >= 0 && std::fflush(file) == 0;
}

// What the file holds up to its end or a read error.
void ReadText(FILE* file, std::string& text)
{
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, n);
}

}  // namespace

BatchCmdPtr MakeWaitCommand(const std::string& seconds, bool asTemplate)
{
    std::string name = asTemplate ? kWaitTemplateName : "Wait " + seconds + " second(s)";
    std::string description = asTemplate ? kWaitTemplateDescription
                                         : "Waits " + seconds + " second(s) until the next command is executed.";
    return std::make_unique<CBatchCmd>(WaitProgram, seconds, name, description, "",
                                       CBatchCmd::Reusable | CBatchCmd::Wait);
}

BatchCmdPtr MakeRelayCommand(const std::string& address, bool ssl)
{
    std::string arguments = ShutdownRelayArguments({address, ssl});
    std::string name = address.empty() ? kRelayName : std::string(kRelayName) + " to " + address;
    return std::make_unique<CBatchCmd>(RelayProgram, arguments, name, kRelayDescription, "",
                                       CBatchCmd::Reusable | CBatchCmd::Relay);
}

BatchCmdPtr MakeCustomCommand(const std::string& program, const std::string& directory)
{
    return std::make_unique<CBatchCmd>(program, "", program, kCustomDescription, directory,
                                       CBatchCmd::Custom);
}

CustomProgramFault CheckCustomProgram(const std::string& program, const std::string& directory)
{
    if (KindOf(program) != LineKind::Other || IsHelperWithoutArguments(program))
        return CustomProgramFault::OwnCommand;
    if (!IsBatchCodePageSafe(program.c_str()) || !IsBatchCodePageSafe(directory.c_str()))
        return CustomProgramFault::CodePage;
    if (ShutdownBatchCalls(program) && !ShutdownBatchCallable(PathJoin(directory, program)))
        return CustomProgramFault::NotCallable;
    return CustomProgramFault::None;
}

std::vector<BatchCmdPtr> BuildCommandList()
{
    std::vector<BatchCmdPtr> rows;
    for (const HelperProgram& helper : HelperPrograms()) {
        if (!HelperExists(helper.program)) continue;
        for (const HelperRow& row : helper.rows)
            rows.push_back(std::make_unique<CBatchCmd>(helper.program, row.arguments, row.name,
                                                       row.description, "", 0));
    }
    rows.push_back(MakeWaitCommand("-1", true));
    rows.push_back(MakeRelayCommand("", false));
    return rows;
}

bool WriteBatchFile(const std::string& path, const std::string& globalPath,
                    const BatchCmdList& sequence)
{
    // The old sequence stays in force until a whole copy of the new one is on
    // disk: a write that fails half-way must not leave a cut file.
    const std::string copy = path + ".xxx";
    FILE* file = std::fopen(copy.c_str(), "wb");
    if (!file) {
        DebugInfo("Cannot open target(%s)", path.c_str());
        return false;
    }
    std::vector<ShutdownBatchCommand> commands;
    for (const CBatchCmd* entry : sequence)
        commands.push_back({entry->GetExe(), entry->GetArgs(), entry->GetDir(),
                            (entry->GetType() & CBatchCmd::Custom) != 0});
    bool written = true;
    for (const std::string& line : ShutdownBatchLines(globalPath, commands)) {
        written = WriteLine(file, line);
        if (!written) break;
    }
    written = std::fclose(file) == 0 && written;
    if (written && MoveFileExA(copy.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
        return true;
    DeleteFileA(copy.c_str());
    return false;
}

void ReadBatchFile(const std::string& path, const BatchCmdList& table, std::string& globalPath,
                   std::vector<BatchCmdPtr>& result)
{
    result.clear();
    FILE* file = std::fopen(path.c_str(), "r");
    if (!file) {
        DebugInfo("Cannot open source(%s)", path.c_str());
        return;
    }
    std::string text;
    ReadText(file, text);
    std::fclose(file);
    ShutdownBatch batch =
        ParseShutdownBatch(text, HelperExists, [&](const std::string& program, const std::string& arguments) {
            return KindOf(program) == LineKind::Other &&
                   !FindRow(table, CBatchCmd(program, arguments, "", "", "", 0));
        });
    if (globalPath.empty()) globalPath = batch.globalPath;
    for (const ShutdownBatchCommand& command : batch.commands)
        result.push_back(std::make_unique<CBatchCmd>(command.program, command.arguments, "", "",
                                                     command.directory, 0));
    DebugInfo("ERROR: Read job");
}

std::vector<BatchMatch> MatchBatchCommands(const std::vector<BatchCmdPtr>& read,
                                           BatchCmdList& table, std::vector<BatchCmdPtr>& owned)
{
    std::vector<BatchMatch> sequence;
    auto keep = [&](BatchCmdPtr entry, bool inTable) {
        CBatchCmd* raw = entry.get();
        owned.push_back(std::move(entry));
        if (inTable) table.push_back(raw);
        sequence.push_back({raw, false});
    };
    for (const BatchCmdPtr& entry : read) {
        switch (KindOf(entry->GetExe())) {
        case LineKind::Wait:
            keep(MakeWaitCommand(entry->GetArgs(), false), true);
            break;
        case LineKind::Relay: {
            const ShutdownRelay relay = ParseShutdownRelay(entry->GetArgs());
            if (!relay.address.empty()) keep(MakeRelayCommand(relay.address, relay.ssl), true);
            break;
        }
        case LineKind::Frame:
            break;
        case LineKind::Other:
            if (CBatchCmd* match = FindRow(table, *entry))
                sequence.push_back({match, !(match->GetType() & CBatchCmd::Reusable)});
            else
                keep(MakeCustomCommand(entry->GetExe(), entry->GetDir()), false);
            break;
        }
    }
    return sequence;
}
