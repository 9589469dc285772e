#include "MessageCatalog.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "testlib.h"

namespace {

// The catalogue is read from the running program's folder, so the cases run in
// a copy of this program placed in a scratch folder beside the file under test.
const char kChildVar[] = "KODRA_CATALOG_CHILD";

bool InChild() { return std::getenv(kChildVar) != nullptr; }

std::string LongLine()
{
    // The second piece of the line starts at character 1023 with its own key.
    std::string line = "m30=" + std::string(1019, 'x');
    return line + "m31=tail";
}

std::string Catalogue()
{
    return "; remarks and blank lines are passed over\n"
           "\n"
           "m7=Hello\n"
           "m8=Carriage return\r\n"
           "m20=\n"
           "m21=first\n"
           "m21=second\n"
           "m11=Other\n"
           "m5=See m1= for details\n"
           "m1=First\n"
           "m0=zero\n"
           "m-3=minus three\n"
           "m40=keeps \\n as typed\n" +
           LongLine() + "\n" +
           "m9=End of file";
}

struct Read {
    int result;
    std::string text;
};

Read ReadOf(int number, int size = 256)
{
    char buffer[1100];
    std::memset(buffer, '#', sizeof buffer);
    Read r;
    r.result = ReadMessage(number, buffer, size);
    r.text = buffer;
    return r;
}

TEST(CatalogueInFolder, FindsTheFirstLineThatHoldsTheKey)
{
    if (!InChild()) GTEST_SKIP() << "runs in a copy beside its catalogue";
    struct {
        int number, result;
        const char* text;
    } cases[] = {
        {7, 1, "Hello"},
        {8, 1, "Carriage return"},
        {9, 1, "End of file"},
        {20, 1, ""},
        {21, 1, "first"},
        {11, 1, "Other"},
        {1, 1, "See m1= for details"},
        {0, 1, "zero"},
        {-3, 1, "minus three"},
        {40, 1, "keeps \\n as typed"},
        {99, 0, "can't read message 99"},
    };
    for (const auto& c : cases) {
        Read r = ReadOf(c.number);
        EXPECT_EQ(c.result, r.result) << c.number;
        EXPECT_EQ(c.text, r.text) << c.number;
    }
}

TEST(CatalogueInFolder, LongLinesAreReadInPiecesOf1023)
{
    if (!InChild()) GTEST_SKIP() << "runs in a copy beside its catalogue";
    Read r = ReadOf(30, 1100);
    EXPECT_EQ(1, r.result);
    EXPECT_EQ(std::string(1019, 'x'), r.text);
    r = ReadOf(31);
    EXPECT_EQ(1, r.result);
    EXPECT_EQ("tail", r.text);
}

TEST(CatalogueInFolder, TextIsCutToTheBufferAndTheRestZeroed)
{
    if (!InChild()) GTEST_SKIP() << "runs in a copy beside its catalogue";
    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(1, ReadMessage(7, buffer, 8));
    EXPECT_STREQ("Hello", buffer);
    EXPECT_EQ(std::string(3, '\0'), std::string(buffer + 5, 3));
    EXPECT_EQ('#', buffer[8]);
    EXPECT_EQ(1, ReadMessage(7, buffer, 3));
    EXPECT_STREQ("He", buffer);
    EXPECT_EQ(1, ReadMessage(7, buffer, 1));
    EXPECT_STREQ("", buffer);
    EXPECT_EQ(0, ReadMessage(99, buffer, 6));
    EXPECT_STREQ("can't", buffer);
    EXPECT_EQ('#', buffer[8]);
    EXPECT_EQ(0, ReadMessage(7, buffer, 0));
    EXPECT_EQ('#', buffer[8]);
}

TEST(CatalogueInFolder, ProgramFolderWithoutSeparator)
{
    if (!InChild()) GTEST_SKIP() << "runs in a copy beside its catalogue";
    char folder[MAX_PATH];
    ASSERT_EQ(1, GetProgramDir(folder, sizeof folder));
    EXPECT_STREQ(std::getenv("KODRA_CATALOG_DIR"), folder);
    char small[8];
    std::memset(small, '#', sizeof small);
    ASSERT_EQ(1, GetProgramDir(small, 5));
    EXPECT_EQ(std::string(folder, 4), small);
    EXPECT_EQ('#', small[5]);
}

TEST(CatalogueAbsent, EveryNumberIsMissing)
{
    if (!InChild()) GTEST_SKIP() << "runs in a copy without a catalogue";
    Read r = ReadOf(7);
    EXPECT_EQ(0, r.result);
    EXPECT_EQ("can't read message 7", r.text);
}

bool RunCopy(const std::string& folder, const char* filter)
{
    const std::string self = testlib::TestBinDir() + "\\support_trace_tests.exe";
    if (!testlib::CopyInto(self, folder, "catalogue probe.exe")) return false;
    const std::string cmd = "\"" + folder + "\\catalogue probe.exe\" --gtest_filter=" + filter;
    testlib::RunResult r = testlib::Run(cmd, folder, {std::string(kChildVar) + "=1", "KODRA_CATALOG_DIR=" + folder});
    return r.started && r.ended && r.exitCode == 0;
}

TEST(MessageCatalog, ReadsTheCatalogueBesideTheProgram)
{
    if (InChild()) GTEST_SKIP();
    testlib::ScratchDir dir("catalogue test");
    ASSERT_TRUE(testlib::WriteTextFile(dir.File("Messages.dat"), Catalogue()));
    EXPECT_TRUE(RunCopy(dir.Path(), "CatalogueInFolder.*"));
}

TEST(MessageCatalog, WithoutTheFileEveryMessageIsMissing)
{
    if (InChild()) GTEST_SKIP();
    testlib::ScratchDir dir("catalogue test");
    EXPECT_TRUE(RunCopy(dir.Path(), "CatalogueAbsent.*"));
}

}  // namespace
