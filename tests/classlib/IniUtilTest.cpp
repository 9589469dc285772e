#include <gtest/gtest.h>

#include <string>

#include "IniUtil.h"
#include "ProfileUtil.h"
#include "StringsOf.h"
#include "classlib_testkit.h"
#include "testlib.h"

namespace {

using classlib::testkit::MessageBoxRecorder;


TEST(IniUtilPaths, TellsAbsoluteFromRelativeNames)
{
    struct Case {
        const char* name;
        BOOL absolute;
    } cases[] = {{"", FALSE},        {"   ", FALSE},      {"  C:\\x", TRUE}, {"\\\\server\\share\\x", TRUE},
                 {"\\x", TRUE},      {"C:file", TRUE},    {"x\\y", FALSE},   {".\\x", FALSE},
                 {"/x", FALSE},      {nullptr, FALSE}};
    for (const Case& c : cases)
        EXPECT_EQ(c.absolute, IsAbsolutePath(c.name)) << (c.name ? c.name : "NULL");
}

TEST(IniUtilPaths, MakesRelativeNamesAbsoluteInTheProgramFolder)
{
    const std::string folder = testlib::TestBinDir() + "\\";
    CString out;
    MakeAbsolutePath("shutdown.bat", out);
    EXPECT_STRCASEEQ((folder + "shutdown.bat").c_str(), out);
    MakeAbsolutePath("D:\\x\\y.bat", out);
    EXPECT_EQ("D:\\x\\y.bat", S(out));
    MakeAbsolutePath("  rel.bat", out);
    EXPECT_STRCASEEQ((folder + "  rel.bat").c_str(), out);
    MakeAbsolutePath(".\\x.bat", out);
    EXPECT_STRCASEEQ((folder + ".\\x.bat").c_str(), out);
}

class IniFiles : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& content)
    {
        std::string path = dir_.File(name);
        EXPECT_TRUE(testlib::WriteTextFile(path, content));
        return path;
    }
    testlib::ScratchDir dir_{"kodra ini"};
};

TEST_F(IniFiles, SystemReaderPassesOverRemarksAndIncompletePairs)
{
    std::string file = Write("a.ini", "[One]\r\n;remark=1\r\n=value\r\nkey=\r\n k1 = v1 \r\nk2=v=2\r\n[Two]\r\nx=y\r\n");
    CStringArray keys;
    CStringArray values;
    EXPECT_EQ(2, ReadIniSection(keys, values, " One ", file.c_str()));
    EXPECT_EQ((Strings{"k1", "k2"}), V(keys));
    EXPECT_EQ((Strings{"v1", "v=2"}), V(values));
    EXPECT_EQ(0, ReadIniSection(keys, values, "Missing", file.c_str()));
    EXPECT_EQ(0, keys.GetSize());

    CStringArray names;
    EXPECT_EQ(2, ReadIniSectionNames(names, file.c_str()));
    EXPECT_EQ((Strings{"One", "Two"}), V(names));
    EXPECT_EQ(0, ReadIniSectionNames(names, dir_.File("none.ini").c_str()));
}

TEST_F(IniFiles, SystemReaderGrowsItsBufferForLargeSections)
{
    std::string content = "[Big]\r\n";
    for (int i = 0; i < 3000; ++i)
        content += "key" + std::to_string(i) + "=" + std::string(20, 'v') + "\r\n";
    std::string file = Write("big.ini", content);
    CStringArray keys;
    CStringArray values;
    EXPECT_EQ(3000, ReadIniSection(keys, values, "Big", file.c_str()));
    EXPECT_EQ("key2999", S(keys[2999]));
}

TEST_F(IniFiles, OwnReaderScansOneSectionAndStopsAtTheNext)
{
    std::string file = Write("b.ini",
                             "x=before\r\n[ other ]\r\ny=1\r\n[  SeCtIoN  ]\r\n; note=1\r\n a = 1 \r\n=z\r\nb=2\r\n"
                             "a=3\r\n[next]\r\nc=4\r\n");
    CStringArray keys;
    CStringArray values;
    EXPECT_EQ(3, ReadIniSectionLines(keys, values, "section", file.c_str()));
    EXPECT_EQ((Strings{"a", "b", "a"}), V(keys));
    EXPECT_EQ((Strings{"1", "2", "3"}), V(values));

    CString value;
    EXPECT_EQ(1, GetIniValue(value, "Section", " A ", file.c_str()));
    EXPECT_EQ("1", S(value));  // the first of two
    EXPECT_EQ(0, GetIniValue(value, "Section", "c", file.c_str()));
    EXPECT_TRUE(value.IsEmpty());
    EXPECT_EQ(0, GetIniValue(value, "Section", "  ", file.c_str()));
    EXPECT_EQ(0, GetIniValue(value, "Section", "a", dir_.File("missing.ini").c_str()));
}

TEST_F(IniFiles, OwnReaderPassesALineAcrossTheBlockBoundaryWhole)
{
    std::string content = "[s]\r\n";
    while (content.size() < 64000 - 10)
        content += ";" + std::string(98, 'f') + "\r\n";
    content.resize(64000 - 10, 'f');
    content += "\r\nlongkey=" + std::string(40, 'v') + "\r\nlast=1";
    std::string file = Write("long.ini", content);
    CStringArray keys;
    CStringArray values;
    ReadIniSectionLines(keys, values, "s", file.c_str());
    EXPECT_EQ((Strings{"longkey", "last"}), V(keys));
    EXPECT_EQ(std::string(40, 'v'), S(values[0]));
}

TEST_F(IniFiles, OwnReaderWithoutSectionPassesEveryLine)
{
    std::string file = Write("c.ini", "a=1\r\n[s]\r\nb=2\r\n");
    std::vector<std::string> lines;
    ScanIniFile(
        [](const char* line, void* context) {
            static_cast<std::vector<std::string>*>(context)->push_back(line);
            return 1;
        },
        &lines, file.c_str(), nullptr);
    EXPECT_EQ((Strings{"a=1", "[s]", "b=2"}), lines);
}

TEST_F(IniFiles, ResolvesConnectionNamesToAddresses)
{
    std::string file = Write("conn.ini",
                             "[Connections]\r\nsrv1 = x | 10.0.0.1 | rest\r\nsrv2=y|10.0.0.2\r\n"
                             "dup=z|10.0.0.1\r\nnoaddr=w\r\n");
    CStringArray names;
    for (const char* n : {"SRV1", "missing", "dup", "srv2", "noaddr"})
        names.Add(n);
    CStringArray addresses;
    CStringArray entries;
    ResolveConnections(file.c_str(), names, addresses, &entries, FALSE);
    EXPECT_EQ((Strings{"10.0.0.1", "", "10.0.0.1", "10.0.0.2", ""}), V(addresses));
    EXPECT_EQ((Strings{"x | 10.0.0.1 | rest", "", "z|10.0.0.1", "y|10.0.0.2", "w"}), V(entries));
    EXPECT_EQ(5, names.GetSize());

    ResolveConnections(file.c_str(), names, addresses, nullptr, TRUE);
    EXPECT_EQ((Strings{"SRV1", "srv2"}), V(names));
    EXPECT_EQ((Strings{"10.0.0.1", "10.0.0.2"}), V(addresses));
}

TEST_F(IniFiles, WritesLinesAndSectionsThroughAFile)
{
    std::string path = dir_.File("out.ini");
    CStringArray keys;
    CStringArray values;
    keys.Add("a");
    keys.Add("b");
    values.Add("1");
    values.Add("2");
    {
        CFile file;
        ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
        WriteLine("first", file);
        WriteIniSection("Sec", keys, values, file);
        CStringArray more;
        more.Add("x");
        more.Add("y");
        WriteLines(more, file);
    }
    EXPECT_EQ("first\r\n\r\n[Sec]\r\na=1\r\nb=2\r\nx\r\ny\r\n", testlib::ReadTextFile(path));

    // A key without a value of its own is written with an empty one.
    values.RemoveAt(1);
    {
        CFile file;
        ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
        WriteIniSection("Sec", keys, values, file);
    }
    EXPECT_EQ("\r\n[Sec]\r\na=1\r\nb=\r\n", testlib::ReadTextFile(path));
}

TEST_F(IniFiles, TellsFoldersFromFiles)
{
    EXPECT_TRUE(IsExistingDirectory(dir_.Path().c_str()));
    std::string file = Write("plain.txt", "x");
    EXPECT_FALSE(IsExistingDirectory(file.c_str()));
    EXPECT_FALSE(IsExistingDirectory(dir_.File("none").c_str()));
}

TEST_F(IniFiles, CreatesEveryMissingFolderOfAPath)
{
    MessageBoxRecorder boxes(IDYES);
    EXPECT_TRUE(CreateDirectoryPath(dir_.Path().c_str(), "x/y", FALSE, TRUE));
    EXPECT_TRUE(IsExistingDirectory(dir_.File("x\\y").c_str()));
    EXPECT_TRUE(boxes.Calls().empty());

    // An empty root takes the drive from the path.
    EXPECT_TRUE(CreateDirectoryPath("", (dir_.Path() + "\\p\\q").c_str(), FALSE, FALSE));
    EXPECT_TRUE(IsExistingDirectory(dir_.File("p\\q").c_str()));

    // Everything there already: no question even with askFirst.
    EXPECT_TRUE(CreateDirectoryPath(dir_.Path().c_str(), "x\\y", TRUE, TRUE));
    EXPECT_TRUE(CreateDirectoryPath(dir_.Path().c_str(), "", TRUE, TRUE));
    EXPECT_TRUE(boxes.Calls().empty());

    // A doubled separator names no folder.
    EXPECT_TRUE(CreateDirectoryPath(dir_.Path().c_str(), "d\\\\e", FALSE, TRUE));
    EXPECT_TRUE(IsExistingDirectory(dir_.File("d\\e").c_str()));
}

TEST_F(IniFiles, AsksOnceInGermanBeforeCreating)
{
    MessageBoxRecorder boxes(IDNO);
    const std::string full = dir_.Path() + "\\n1\\n2";
    EXPECT_FALSE(CreateDirectoryPath(dir_.Path().c_str(), "n1\\n2", TRUE, TRUE));
    EXPECT_FALSE(IsExistingDirectory(dir_.File("n1").c_str()));
    ASSERT_EQ(1u, boxes.Calls().size());
    EXPECT_EQ("Das Verzeichnis\r\n" + full + "\r\nexistiert nicht!\r\n\r\nSoll es angelegt werden?",
              S(boxes.Calls()[0].text));
    EXPECT_EQ("Verzeichnis anlegen", S(boxes.Calls()[0].caption));
    EXPECT_EQ(static_cast<UINT>(MB_YESNO), boxes.Calls()[0].type);
    EXPECT_EQ(NULL, boxes.Calls()[0].owner);

    boxes.Clear();
    boxes.QueueAnswers({IDYES});
    EXPECT_TRUE(CreateDirectoryPath(dir_.Path().c_str(), "n1\\n2", TRUE, TRUE));
    EXPECT_TRUE(IsExistingDirectory(dir_.File("n1\\n2").c_str()));
    EXPECT_EQ(1u, boxes.Calls().size());
}

TEST_F(IniFiles, ReportsAFolderThatCannotBeCreated)
{
    MessageBoxRecorder boxes;
    Write("blocker", "x");
    EXPECT_FALSE(CreateDirectoryPath(dir_.Path().c_str(), "blocker\\sub", FALSE, TRUE));
    ASSERT_EQ(1u, boxes.Calls().size());
    EXPECT_EQ("Das Verzeichnis\r\n" + dir_.Path() + "\\blocker\\sub\r\nkonnte nicht angelegt werden!",
              S(boxes.Calls()[0].text));
    EXPECT_EQ("Fehler", S(boxes.Calls()[0].caption));
    EXPECT_EQ(static_cast<UINT>(MB_OK), boxes.Calls()[0].type);

    boxes.Clear();
    EXPECT_FALSE(CreateDirectoryPath(dir_.Path().c_str(), "blocker\\sub", FALSE, FALSE));
    EXPECT_TRUE(boxes.Calls().empty());
}

}  // namespace
