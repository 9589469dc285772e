#include "BatchFile.h"

#include <cstdio>

#include "CharBufferUtil.h"
#include "DebugTrace.h"
#include "KodraProgram.h"
#include "PathUtil.h"
#include "StringUtil.h"
#include "SysFileUtil.h"

namespace BatchKeywords {
const std::string Comment = "REM";
const std::string Separator = " ";
const std::string WaitProgram = "ktSleep.exe";
const std::string PathLine = "SET path=";
const std::string RelayProgram = kKodraRelayProgram;
const std::string Echo = "@ECHO";
const std::string Cls = "@CLS";
}  // namespace BatchKeywords

namespace {

using namespace BatchKeywords;

// A custom program's own line in front of its command line.
const std::string kCommandPathLine = PathLine + "%path%;";

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

bool StartsWithNoCase(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() &&
           StrToUpper(text.substr(0, prefix.size())) == StrToUpper(prefix);
}

const int kLineSize = 1024;

// False at the end of the file and for a line of kLineSize or more characters.
bool ReadLine(FILE* file, char* line)
{
    int length = 0;
    int c;
    while ((c = std::fgetc(file)) != EOF && c != '\n') {
        if (length == kLineSize - 1) return false;
        line[length++] = static_cast<char>(c);
    }
    line[length] = '\0';
    return c == '\n' || length > 0;
}

std::string Field(const std::string& text, const char* separator, int n, int size)
{
    std::vector<char> out(size);
    return GetFieldN(out.data(), size, text.c_str(), separator, n);
}

bool WriteLine(FILE* file, const std::string& line)
{
    return std::fputs(line.c_str(), file) >= 0 && std::fputs("\r\n", file) >= 0 && std::fflush(file) == 0;
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
    std::string arguments = kKodraRelayArgs + address + (ssl ? kKodraRelaySsl : "");
    std::string name = address.empty() ? kRelayName : std::string(kRelayName) + " to " + address;
    return std::make_unique<CBatchCmd>(RelayProgram, arguments, name, kRelayDescription, "",
                                       CBatchCmd::Reusable | CBatchCmd::Relay);
}

BatchCmdPtr MakeCustomCommand(const std::string& program, const std::string& directory)
{
    return std::make_unique<CBatchCmd>(program, "", program, kCustomDescription, directory,
                                       CBatchCmd::Custom);
}

std::vector<BatchCmdPtr> BuildCommandList()
{
    std::vector<BatchCmdPtr> rows;
    for (const HelperProgram& helper : HelperPrograms()) {
        if (!FileExists(helper.program)) continue;
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
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        DebugInfo("Cannot open target(%s)", path.c_str());
        return false;
    }
    // A file cut short (a full disk) must not count as the saved sequence.
    bool written = WriteLine(file, Echo + " off") &&
                   WriteLine(file, Comment + " --- Created by KODRA configuration ---") &&
                   (globalPath.empty() || WriteLine(file, PathLine + globalPath));
    for (const CBatchCmd* entry : sequence) {
        if (!written) break;
        written = (!(entry->GetType() & CBatchCmd::Custom) || WriteLine(file, kCommandPathLine + entry->GetDir())) &&
                  WriteLine(file, entry->GetCommandLine());
    }
    written = written && WriteLine(file, Cls);
    return std::fclose(file) == 0 && written;
}

void ReadBatchFile(const std::string& path, std::string& globalPath,
                   std::vector<BatchCmdPtr>& result)
{
    result.clear();
    FILE* file = std::fopen(path.c_str(), "r");
    if (!file) {
        DebugInfo("Cannot open source(%s)", path.c_str());
        return;
    }
    std::string pending;
    char raw[kLineSize];
    char trimmed[kLineSize];
    while (ReadLine(file, raw)) {
        std::string line = TrimSpaces(trimmed, raw);
        if (line.empty() || StartsWithNoCase(line, Comment)) continue;
        if (StartsWithNoCase(line, PathLine)) {
            // A custom program's own line is never the global one, wherever it stands.
            if (globalPath.empty() && !StartsWithNoCase(line, kCommandPathLine))
                globalPath = line.substr(PathLine.size());
            else
                pending = TrimChar(Field(line, "%", 3, kLineSize), ';');
            continue;
        }
        std::string program = Field(line, Separator.c_str(), 1, kLineSize);
        std::string arguments =
            line.size() > program.size() ? line.substr(program.size() + 1) : std::string();
        std::string testPath = pending.empty() ? program : PathJoin(pending, program);
        if (FileExists(testPath))
            result.push_back(std::make_unique<CBatchCmd>(program, arguments, "", "", pending, 0));
        pending.clear();
    }
    DebugInfo("ERROR: Read job");
    std::fclose(file);
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
        const std::string program = StrToUpper(entry->GetExe());
        if (program == StrToUpper(WaitProgram)) {
            keep(MakeWaitCommand(entry->GetArgs(), false), true);
        } else if (program == StrToUpper(RelayProgram)) {
            const std::string arguments = entry->GetArgs();
            std::string address = Field(Field(arguments, "-a", 2, 256), " ", 2, 256);
            if (!address.empty())
                keep(MakeRelayCommand(address, arguments.find("-ssl") != std::string::npos), true);
        } else if (program == StrToUpper(Echo) || program == StrToUpper(Cls)) {
            continue;
        } else {
            CBatchCmd* match = nullptr;
            for (CBatchCmd* row : table) {
                if (row->IsSameCommand(*entry)) {
                    match = row;
                    break;
                }
            }
            if (match)
                sequence.push_back({match, !(match->GetType() & CBatchCmd::Reusable)});
            else
                keep(MakeCustomCommand(entry->GetExe(), entry->GetDir()), false);
        }
    }
    return sequence;
}
