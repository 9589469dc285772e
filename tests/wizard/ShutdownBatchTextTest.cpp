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

Parsed Parse(const std::string& text, const std::set<std::string>& existing)
{
    ShutdownBatch batch =
        ParseShutdownBatch(text, [&](const std::string& path) { return existing.count(path) > 0; });
    Parsed parsed{batch.globalPath, {}};
    for (const ShutdownBatchCommand& c : batch.commands)
        parsed.commands.push_back({c.program, c.arguments, c.directory, c.custom});
    return parsed;
}

const std::set<std::string> kHelpers = {"Voldrun.exe", "ktSleep.exe", "Quorrin.exe", "kodra.exe",
                                        "D:\\tools\\stop.exe", "D:\\my tools\\Stop Server.bat"};

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
        {"a first custom line before a built-in command is the global path",
         "SET path=%path%;D:\\tools\\\r\nVoldrun.exe logoff\r\nQuorrin.exe\r\n",
         "%path%;D:\\tools\\",
         {{"Voldrun.exe", "logoff", ""}, {"Quorrin.exe", "", ""}}},
        {"that global path followed by a custom program",
         "SET path=%path%;D:\\tools\\\r\nSET path=%path%;D:\\tools\\\r\nstop.exe\r\n",
         "%path%;D:\\tools\\",
         {{"stop.exe", "", "D:\\tools\\", true}}},
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
