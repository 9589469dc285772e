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

const char kHeaderLines[] = "@ECHO off\r\nREM --- Created by KODRA configuration ---\r\n";

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
        {"global path, built-in with arguments, custom program, called custom batch files",
         "D:\\tools",
         {{"Voldrun.exe", "logoff", "D:\\ignored\\", false},
          {"stop.exe", "", "D:\\tools\\", true},
          {"Stop Server.bat", "now", "D:\\my tools\\", true},
          {"drain.CMD", "", "D:\\tools", true},
          {"last.BaT", "", "", true}},
         {"@ECHO off", "REM --- Created by KODRA configuration ---", "SET path=D:\\tools",
          "Voldrun.exe logoff", "SET path=%path%;D:\\tools\\", "D:\\tools\\stop.exe",
          "SET path=%path%;D:\\my tools\\", "CALL \"D:\\my tools\\Stop Server.bat\" now",
          "SET path=%path%;D:\\tools", "CALL D:\\tools\\drain.CMD", "SET path=%path%;", "CALL last.BaT", "@CLS"}},
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
    // which it expands unless doubled, and twice after CALL. A folder's blanks
    // and brackets it takes as they stand after "SET", so such a folder keeps
    // the earlier form. The program is named by its folder.
    struct Case {
        std::string program;
        std::string directory;
        std::string folderLine;
        std::string programLine;
    } cases[] = {
        {"a&b.exe", "D:\\tools\\", "SET path=%path%;D:\\tools\\", "\"D:\\tools\\a&b.exe\""},
        {"stop.exe", "D:\\x&y\\", "SET path=%path%;\"D:\\x&y\\\"", "\"D:\\x&y\\stop.exe\""},
        {"stop.exe", "D:\\100%\\", "SET path=%path%;\"D:\\100%%\\\"", "\"D:\\100%%\\stop.exe\""},
        {"100% sure.bat", "D:\\my tools\\", "SET path=%path%;D:\\my tools\\",
         "CALL \"D:\\my tools\\100%%%% sure.bat\""},
        {"Stop Server.bat", "C:\\Program Files (x86)\\K\\", "SET path=%path%;C:\\Program Files (x86)\\K\\",
         "CALL \"C:\\Program Files (x86)\\K\\Stop Server.bat\""},
        {"setup(1).exe", "D:\\a^b;c\\", "SET path=%path%;\"D:\\a^b;c\\\"", "\"D:\\a^b;c\\setup(1).exe\""},
        {"x,y=z;w^.cmd", "D:\\%TEMP%\\", "SET path=%path%;\"D:\\%%TEMP%%\\\"",
         "CALL \"D:\\%%%%TEMP%%%%\\x,y=z;w^.cmd\""},
        {"%%.bat", "D:\\%%\\", "SET path=%path%;\"D:\\%%%%\\\"", "CALL \"D:\\%%%%%%%%\\%%%%%%%%.bat\""},
        {"Remote.exe", "D:\\x\\", "SET path=%path%;D:\\x\\", "D:\\x\\Remote.exe"},
        {"rem.bat", "", "SET path=%path%;", "CALL \"rem.bat\""},
        {"@tool.exe", "", "SET path=%path%;", "\"@tool.exe\""},
        {"echo.exe", "", "SET path=%path%;", "\"echo.exe\""},
        {"exit.cmd", "D:\\z\\", "SET path=%path%;D:\\z\\", "CALL D:\\z\\exit.cmd"},
        {"stop.exe", "cd\\", "SET path=%path%;cd\\", "\"cd\\stop.exe\""},
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

TEST(ShutdownBatchText, EachQuotingCharacterOnItsOwnQuotesTheName)
{
    struct Case {
        std::string program;
        bool quoted;
    } programs[] = {
        {"a b.exe", true},   {"a,b.exe", true},   {"a;b.exe", true},    {"a=b.exe", true},
        {"a&b.exe", true},   {"a^b.exe", true},   {"a(b.exe", true},    {"a)b.exe", true},
        {"a%b.exe", true},   {"stop.exe", false}, {"a.b-c_d.exe", false},
        // The interpreter's own command words, ended where it ends them.
        {"echo.exe", true},  {"EXIT.exe", true},  {"goto.exe", true},   {"copy.exe", true},
        {"start.exe", true}, {"set.cmd", true},   {"echo+x.exe", true}, {"echo[1].exe", true},
        {"echo]x.exe", true}, {"title/x", true},  {"cd\\x.exe", true}, {"echo:x.exe", true},
        {"ver", true},       {"Echoes.exe", false}, {"settings.exe", false}, {"cdrom.exe", false},
        {"dirty.bat", false}, {"vol1.exe", false},
    };
    for (const Case& c : programs) EXPECT_EQ(c.quoted, ShutdownBatchProgramText(c.program)[0] == '"') << c.program;

    struct Folder {
        std::string directory;
        bool quoted;
    } folders[] = {{"D:\\a&b\\", true}, {"D:\\a^b\\", true}, {"D:\\a%b\\", true},
                   {"D:\\a;b\\", true}, {"D:\\a b\\", false}, {"D:\\a(b)\\", false}, {"D:\\a,b=c\\", false}};
    for (const Folder& f : folders) {
        const std::string text = ShutdownBatchLines("", {{"x.exe", "", f.directory, true}})[2];
        const std::string folder = text.substr(std::string("SET path=%path%;").size());
        EXPECT_EQ(f.quoted, folder[0] == '"') << text;
    }
}

TEST(ShutdownBatchText, BatchFilesAreCalledAndReadBackWithoutCall)
{
    EXPECT_TRUE(ShutdownBatchCalls("stop.bat"));
    EXPECT_TRUE(ShutdownBatchCalls("Stop Server.CMD"));
    EXPECT_FALSE(ShutdownBatchCalls("stop.exe"));
    EXPECT_FALSE(ShutdownBatchCalls("bat"));
    EXPECT_FALSE(ShutdownBatchCallable("D:\\a^b\\stop.bat"));
    EXPECT_FALSE(ShutdownBatchCallable("D:\\100%\\stop.bat"));
    EXPECT_TRUE(ShutdownBatchCallable("D:\\a&b (1)\\stop.bat"));

    // Hand-written calls read as the program they call.
    Parsed parsed = Parse("SET path=C:\\bin\r\nSET path=%path%;D:\\tools\\\r\ncall   D:\\tools\\stop.exe\r\n"
                          "CALL \"Voldrun.exe\" logoff\r\nCALL\r\n",
                          kHelpers);
    EXPECT_EQ((std::vector<Command>{{"stop.exe", "", "D:\\tools\\", true}, {"Voldrun.exe", "logoff", ""}}),
              parsed.commands);
}

TEST(ShutdownBatchText, ACustomProgramReadsTheSameNamedByItsFolderOrAlone)
{
    // Earlier versions named a custom program alone; the same entries come
    // back from both forms, and both are written in the second.
    const std::set<std::string> existing = {"D:\\t\\stop.exe", "D:\\t\\sub\\x.exe", "D:\\u\\stop.exe",
                                            "Quorrin.exe"};
    const std::vector<Command> expected = {{"stop.exe", "", "D:\\t\\", true},
                                           {"sub\\x.exe", "", "D:\\t\\", true},
                                           {"stop.exe", "", "D:\\u\\", true},
                                           {"Quorrin.exe", "", ""}};
    const std::string earlier = "SET path=%path%;D:\\t\\\r\nstop.exe\r\nSET path=%path%;D:\\t\\\r\nsub\\x.exe\r\n"
                                "SET path=%path%;D:\\u\\\r\nstop.exe\r\nQuorrin.exe\r\n";
    const std::string now = "SET path=%path%;D:\\t\\\r\nD:\\t\\stop.exe\r\nSET path=%path%;D:\\t\\\r\n"
                            "D:\\t\\sub\\x.exe\r\nSET path=%path%;D:\\u\\\r\nD:\\u\\stop.exe\r\nQuorrin.exe\r\n";
    for (const std::string& text : {earlier, now}) {
        Parsed parsed = Parse(text, existing);
        EXPECT_EQ("", parsed.globalPath) << text;
        EXPECT_EQ(expected, parsed.commands) << text;
    }
    std::vector<ShutdownBatchCommand> commands;
    for (const Command& c : expected) commands.push_back({c.program, c.arguments, c.directory, c.custom});
    std::string written;
    for (const std::string& line : ShutdownBatchLines("", commands)) written += line + "\r\n";
    EXPECT_EQ(std::string(kHeaderLines) + now + "@CLS\r\n", written);
}

TEST(ShutdownBatchText, AFirstFolderLineIsAProgramsOnlyWhenTheProgramCouldBeCustom)
{
    struct Case {
        const char* what;
        std::string text;
        std::string globalPath;
        std::vector<Command> commands;
    } cases[] = {
        {"a command with arguments after it: the global path, also when the folder holds the program",
         "SET path=%path%;D:\\tools\\\r\nstop.exe now\r\nktSleep.exe 5\r\n",
         "%path%;D:\\tools\\",
         {{"ktSleep.exe", "5", ""}}},
        {"an empty folder before a custom program is that program's",
         "SET path=%path%;\r\nVoldrun.exe\r\nktSleep.exe 5\r\n",
         "",
         {{"Voldrun.exe", "", "", true}, {"ktSleep.exe", "5", ""}}},
        {"an empty folder before a built-in command is the global path",
         "SET path=%path%;\r\nQuorrin.exe\r\n",
         "%path%;",
         {{"Quorrin.exe", "", ""}}},
    };
    for (const Case& c : cases) {
        Parsed parsed = Parse(c.text, kHelpers);
        EXPECT_EQ(c.globalPath, parsed.globalPath) << c.what;
        EXPECT_EQ(c.commands, parsed.commands) << c.what;
    }

    // A custom program without a folder is written, and read, so again.
    const std::vector<ShutdownBatchCommand> commands = {{"Voldrun.exe", "", "", true}};
    std::string text;
    for (const std::string& line : ShutdownBatchLines("", commands)) text += line + "\r\n";
    Parsed parsed = Parse(text, kHelpers);
    std::string again;
    std::vector<ShutdownBatchCommand> read;
    for (const Command& c : parsed.commands) read.push_back({c.program, c.arguments, c.directory, c.custom});
    for (const std::string& line : ShutdownBatchLines(parsed.globalPath, read)) again += line + "\r\n";
    EXPECT_EQ(text, again);
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
