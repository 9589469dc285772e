// The shutdown batch file's text rules on their own: the lines written, which
// lines read become commands, which folder each is tested in, and what the
// global path is. The existence test is a set of paths, so no file is needed.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "ShutdownBatchText.h"

namespace {

struct Command {
    std::string program;
    std::string arguments;
    std::string directory;
    bool custom = false;
    bool operator==(const Command& o) const
    {
        return program == o.program && arguments == o.arguments && directory == o.directory &&
               custom == o.custom;
    }
};

std::ostream& operator<<(std::ostream& out, const Command& c)
{
    return out << "{" << c.program << "|" << c.arguments << "|" << c.directory << (c.custom ? "|custom" : "")
               << "}";
}

struct Parsed {
    std::string globalPath;
    std::vector<Command> commands;
};

// The editor's own commands, which it never takes for custom programs: rows
// of its table, and every wait, relay and frame line.
bool BecomesCustom(const std::string& program, const std::string& arguments)
{
    static const std::set<std::string> rows = {"Voldrun.exe logoff", "Voldrun.exe poweroff force", "Quorrin.exe"};
    static const std::set<std::string> programs = {"ktSleep.exe", "kodra.exe", "@ECHO", "@CLS"};
    return !programs.count(program) && !rows.count(arguments.empty() ? program : program + " " + arguments);
}

Parsed Parse(const std::string& text, const std::set<std::string>& existing)
{
    ShutdownBatch batch = ParseShutdownBatch(
        text, [&](const std::string& path) { return existing.count(path) > 0; }, BecomesCustom);
    Parsed parsed{batch.globalPath, {}};
    for (const ShutdownBatchCommand& c : batch.commands)
        parsed.commands.push_back({c.program, c.arguments, c.directory, c.custom});
    return parsed;
}

const std::set<std::string> kHelpers = {"Voldrun.exe", "ktSleep.exe", "Quorrin.exe", "kodra.exe",
                                        "D:\\tools\\stop.exe", "D:\\my tools\\Stop Server.bat",
                                        "D:\\tools\\Voldrun.exe", "D:\\tools\\kodra.exe"};

TEST(ShutdownBatchText, TheWriterFramesTheCommandsAndPutsACustomFolderBeforeItsProgram)
{
    struct Case {
        const char* what;
        std::string globalPath;
        std::vector<ShutdownBatchCommand> commands;
        std::vector<std::string> lines;
    } cases[] = {
        {"nothing to write", "", {}, {"@ECHO off", "REM --- Created by KODRA configuration ---", "@CLS"}},
        {"global path, built-in with arguments, custom program, quoted custom program",
         "D:\\tools",
         {{"Voldrun.exe", "logoff", "D:\\ignored\\", false},
          {"stop.exe", "", "D:\\tools\\", true},
          {"Stop Server.bat", "now", "D:\\my tools\\", true}},
         {"@ECHO off", "REM --- Created by KODRA configuration ---", "SET path=D:\\tools",
          "Voldrun.exe logoff", "SET path=%path%;D:\\tools\\", "stop.exe",
          "SET path=%path%;D:\\my tools\\", "\"Stop Server.bat\" now", "@CLS"}},
        {"a custom program read without a folder", "", {{"stop.exe", "", "", true}},
         {"@ECHO off", "REM --- Created by KODRA configuration ---", "SET path=%path%;", "stop.exe", "@CLS"}},
    };
    for (const Case& c : cases) EXPECT_EQ(c.lines, ShutdownBatchLines(c.globalPath, c.commands)) << c.what;
}

TEST(ShutdownBatchText, FilesOfEarlierVersionsReadAsBefore)
{
    struct Case {
        const char* what;
        std::string text;
        std::string globalPath;
        std::vector<Command> commands;
    } cases[] = {
        {"frame, comments and blank lines",
         "@ECHO off\r\nREM --- Created by KODRA configuration ---\r\n\r\n   \r\nrem x\r\n@CLS\r\n",
         "",
         {}},
        {"global path, built-in, wait, relay",
         "SET path=C:\\bin;D:\\x\r\nVoldrun.exe poweroff force\r\nktSleep.exe 10\r\n"
         "kodra.exe -s -a 10.0.0.7 -ssl\r\n",
         "C:\\bin;D:\\x",
         {{"Voldrun.exe", "poweroff force", ""}, {"ktSleep.exe", "10", ""},
          {"kodra.exe", "-s -a 10.0.0.7 -ssl", ""}}},
        {"custom program under a global path",
         "SET path=C:\\bin\r\nSET path=%path%;D:\\tools\\\r\nstop.exe\r\nVoldrun.exe logoff\r\n",
         "C:\\bin",
         {{"stop.exe", "", "D:\\tools\\", true}, {"Voldrun.exe", "logoff", ""}}},
        {"custom program first, no global path",
         "SET path=%path%;D:\\tools\\\r\nstop.exe\r\nQuorrin.exe\r\n",
         "",
         {{"stop.exe", "", "D:\\tools\\", true}, {"Quorrin.exe", "", ""}}},
        {"a first custom line before a built-in command is the global path, also when its folder holds the program",
         "SET path=%path%;D:\\tools\\\r\nVoldrun.exe logoff\r\nQuorrin.exe\r\n",
         "%path%;D:\\tools\\",
         {{"Voldrun.exe", "logoff", ""}, {"Quorrin.exe", "", ""}}},
        {"that global path followed by a custom program",
         "SET path=%path%;D:\\tools\\\r\nSET path=%path%;D:\\tools\\\r\nstop.exe\r\n",
         "%path%;D:\\tools\\",
         {{"stop.exe", "", "D:\\tools\\", true}}},
        {"the same program without a row's arguments is custom",
         "SET path=%path%;D:\\tools\\\r\nVoldrun.exe\r\n",
         "",
         {{"Voldrun.exe", "", "D:\\tools\\", true}}},
        {"and so before a wait or a relay",
         "SET path=%path%;D:\\tools\\\r\nkodra.exe -s -a srv1\r\n",
         "%path%;D:\\tools\\",
         {{"kodra.exe", "-s -a srv1", ""}}},
        {"a first custom line with nothing after it",
         "SET path=%path%;D:\\tools\\\r\n",
         "%path%;D:\\tools\\",
         {}},
        {"missing programs, two blanks, tab, no third field",
         "Missing.exe now\nVoldrun.exe  logoff\n\tVoldrun.exe x\nSET path=C:\\a\nSET path=C:\\b\nstop.exe\n",
         "C:\\a",
         {{"Voldrun.exe", " logoff", ""}}},
    };
    for (const Case& c : cases) {
        Parsed parsed = Parse(c.text, kHelpers);
        EXPECT_EQ(c.globalPath, parsed.globalPath) << c.what;
        EXPECT_EQ(c.commands, parsed.commands) << c.what;
    }
}

TEST(ShutdownBatchText, AQuotedProgramIsTheWholeName)
{
    Parsed parsed = Parse("SET path=%path%;D:\\my tools\\\r\n\"Stop Server.bat\"\r\n"
                          "\"Voldrun.exe\" logoff\r\n\"Voldrun.exe\"\r\n\"Voldrun.exe\r\n",
                          kHelpers);
    EXPECT_EQ("", parsed.globalPath);
    EXPECT_EQ((std::vector<Command>{{"Stop Server.bat", "", "D:\\my tools\\", true},
                                    {"Voldrun.exe", "logoff", ""},
                                    {"Voldrun.exe", "", ""}}),
              parsed.commands);

    EXPECT_EQ("\"Stop Server.bat\"", ShutdownBatchProgramText("Stop Server.bat"));
    EXPECT_EQ("stop.exe", ShutdownBatchProgramText("stop.exe"));
}

TEST(ShutdownBatchText, CustomProgramsAndFoldersAreWrittenForTheInterpreterAndReadBack)
{
    // Quoted, the interpreter takes every character as it stands but "%",
    // which it expands unless doubled. A folder's blanks and brackets it takes
    // as they stand after "SET", so such a folder keeps the earlier form.
    struct Case {
        std::string program;
        std::string directory;
        std::string folderLine;
        std::string programLine;
    } cases[] = {
        {"a&b.exe", "D:\\tools\\", "SET path=%path%;D:\\tools\\", "\"a&b.exe\""},
        {"stop.exe", "D:\\x&y\\", "SET path=%path%;\"D:\\x&y\\\"", "stop.exe"},
        {"stop.exe", "D:\\100%\\", "SET path=%path%;\"D:\\100%%\\\"", "stop.exe"},
        {"100% sure.bat", "D:\\my tools\\", "SET path=%path%;D:\\my tools\\", "\"100%% sure.bat\""},
        {"Stop Server.bat", "C:\\Program Files (x86)\\K\\", "SET path=%path%;C:\\Program Files (x86)\\K\\",
         "\"Stop Server.bat\""},
        {"setup(1).exe", "D:\\a^b;c\\", "SET path=%path%;\"D:\\a^b;c\\\"", "\"setup(1).exe\""},
        {"x,y=z;w^.cmd", "D:\\%TEMP%\\", "SET path=%path%;\"D:\\%%TEMP%%\\\"", "\"x,y=z;w^.cmd\""},
        {"%%.bat", "D:\\%%\\", "SET path=%path%;\"D:\\%%%%\\\"", "\"%%%%.bat\""},
        {"Remote.exe", "D:\\x\\", "SET path=%path%;D:\\x\\", "\"Remote.exe\""},
        {"rem.bat", "D:\\y\\", "SET path=%path%;D:\\y\\", "\"rem.bat\""},
        {"@tool.exe", "D:\\z\\", "SET path=%path%;D:\\z\\", "\"@tool.exe\""},
    };
    std::vector<ShutdownBatchCommand> commands;
    std::vector<Command> expected;
    std::set<std::string> existing;
    for (const Case& c : cases) {
        commands.push_back({c.program, "", c.directory, true});
        expected.push_back({c.program, "", c.directory, true});
        existing.insert(c.directory + c.program);
        EXPECT_EQ((std::vector<std::string>{"@ECHO off", "REM --- Created by KODRA configuration ---",
                                            c.folderLine, c.programLine, "@CLS"}),
                  ShutdownBatchLines("", {commands.back()}))
            << c.program;
    }
    for (const std::string globalPath : {"", "C:\\bin"}) {
        std::string text;
        for (const std::string& line : ShutdownBatchLines(globalPath, commands)) text += line + "\r\n";
        Parsed parsed = Parse(text, existing);
        EXPECT_EQ(globalPath, parsed.globalPath);
        EXPECT_EQ(expected, parsed.commands) << text;
    }
}

TEST(ShutdownBatchText, AnEarlierVersionsGlobalPathBeforeAProgramOfItsFolderReadsBack)
{
    const std::vector<ShutdownBatchCommand> commands = {{"Voldrun.exe", "logoff", "", false},
                                                        {"ktSleep.exe", "5", "", false}};
    std::string text;
    for (const std::string& line : ShutdownBatchLines("%path%;D:\\tools\\", commands)) text += line + "\r\n";
    Parsed parsed = Parse(text, kHelpers);  // D:\tools\Voldrun.exe exists
    EXPECT_EQ("%path%;D:\\tools\\", parsed.globalPath);
    EXPECT_EQ((std::vector<Command>{{"Voldrun.exe", "logoff", ""}, {"ktSleep.exe", "5", ""}}), parsed.commands);
}

TEST(ShutdownBatchText, ARelayLineReadsBackItsHostAndItsSecureConnection)
{
    EXPECT_EQ("-s -a ", ShutdownRelayArguments({"", false}));
    EXPECT_EQ("-s -a 10.0.0.7 -ssl", ShutdownRelayArguments({"10.0.0.7", true}));
    for (const char* host : {"my-alpha", "db-archive", "srv-a1", "web-ssl01", "-a", "10.0.0.7", "srv1"}) {
        for (bool ssl : {false, true}) {
            ShutdownRelay read = ParseShutdownRelay(ShutdownRelayArguments({host, ssl}));
            EXPECT_EQ(host, read.address) << host << ssl;
            EXPECT_EQ(ssl, read.ssl) << host << ssl;
        }
    }
    struct Case {
        const char* arguments;
        const char* address;
        bool ssl;
    } cases[] = {
        {"-s -a  srv1", "srv1", false},  // an earlier version wrote the host untrimmed
        {"-p 7 -a srv2 -x -ssl", "srv2", true},
        {"-s -a srv1 -sslx", "srv1", false},
        {"-s -a", "", false},
        {"-s -ssl", "", true},
        {"", "", false},
    };
    for (const Case& c : cases) {
        ShutdownRelay read = ParseShutdownRelay(c.arguments);
        EXPECT_EQ(c.address, read.address) << c.arguments;
        EXPECT_EQ(c.ssl, read.ssl) << c.arguments;
    }
}

TEST(ShutdownBatchText, ALineOf1024CharactersEndsTheReading)
{
    const std::string longest = "Voldrun.exe " + std::string(1023 - 12, 'a');
    const std::string tooLong = "Voldrun.exe " + std::string(1024 - 12, 'b');
    Parsed parsed = Parse(longest + "\r\nVoldrun.exe one\r\n" + tooLong + "\r\nVoldrun.exe two\r\n",
                          kHelpers);
    ASSERT_EQ(2u, parsed.commands.size());
    EXPECT_EQ(std::string(1011, 'a'), parsed.commands[0].arguments);
    EXPECT_EQ("one", parsed.commands[1].arguments);
}

TEST(ShutdownBatchText, OddTextEndsCleanly)
{
    const std::string texts[] = {"", "\n", "\r", "\"", "\"\"", "SET path=", "SET path=%",
                                 std::string("Voldrun.exe\0x\n", 14), std::string(5000, 'x')};
    for (const std::string& text : texts) {
        Parsed parsed = Parse(text, kHelpers);
        EXPECT_LE(parsed.commands.size(), 1u);
    }
}

}  // namespace
