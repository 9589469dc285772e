// The mail settings program's parts that open no window: its catalogue reader,
// the entry trimming, the password and the start of the mailer.
#include <gtest/gtest.h>

#include <memory>
#include <cstring>
#include <string>

#include "MailConfigDlg.h"
#include "MailerSettings.h"
#include "MailerProcess.h"
#include "Password.h"
#include "testlib.h"

namespace {

using testlib::ScratchDir;

// Runs with a scratch folder as the current directory, where the program
// looks for "Messages.dat" and "Hablat.exe".
class InScratchDir : public ::testing::Test {
protected:
    void SetUp() override
    {
        cwd_ = std::make_unique<testlib::CurrentDirectory>(dir_.Path());
        ASSERT_TRUE(cwd_->Entered());
    }
    void TearDown() override { cwd_.reset(); }

    std::string Message(int number)
    {
        char text[512];
        std::memset(text, 'x', sizeof text);
        CMailConfigDlg::LoadMessageText(number, text);
        return text;
    }

    ScratchDir dir_;
    std::unique_ptr<testlib::CurrentDirectory> cwd_;
};

using LoadMessageText = InScratchDir;

TEST_F(LoadMessageText, CatalogueRules)
{
    ASSERT_TRUE(testlib::WriteTextFile(dir_.File("Messages.dat"),
                                       "remark without a key\r\n"
                                       "m5000=Line one\\nLine two\r\n"
                                       "m5001=Trailing\r\r\n"
                                       "m5003=\n"
                                       "m5004=Tab\t\n"
                                       "m5005=First\n"
                                       "m5005=Second\n"
                                       "m7=See m1= for details\n"
                                       "m1=First\n"
                                       "m11=Eleven\n"
                                       "m-3=Negative\n"
                                       "m5100=No line end"));
    EXPECT_EQ("Line one\r\nLine two", Message(5000));
    EXPECT_EQ("Trailing", Message(5001));
    EXPECT_EQ("", Message(5003));
    EXPECT_EQ("Tab\t", Message(5004));
    EXPECT_EQ("First", Message(5005));
    EXPECT_EQ("See m1= for details", Message(1));  // counted from the line's start
    EXPECT_EQ("Eleven", Message(11));
    EXPECT_EQ("Negative", Message(-3));
    EXPECT_EQ("No line end", Message(5100));
    EXPECT_EQ("", Message(4711));
}

TEST_F(LoadMessageText, WalkBackStopsAtTheFirstCarriageReturn)
{
    // Line feeds go, one carriage return goes and ends the walk, other control
    // characters are passed over.
    ASSERT_TRUE(testlib::WriteTextFile(dir_.File("Messages.dat"),
                                       "m1=a\\n\\n\n"
                                       "m3=c\\nd\x01\n"));
    EXPECT_EQ("a\r\n", Message(1));
    EXPECT_EQ("c\r\nd\x01", Message(3));
}

TEST_F(LoadMessageText, LongTextCutAt511Characters)
{
    std::string longText(900, 'L');
    ASSERT_TRUE(testlib::WriteTextFile(dir_.File("Messages.dat"), "m5002=" + longText + "\n"));
    char text[600];
    std::memset(text, 'x', sizeof text);
    CMailConfigDlg::LoadMessageText(5002, text);
    EXPECT_EQ(std::string(511, 'L'), std::string(text));
    for (size_t i = 512; i < sizeof text; ++i) ASSERT_EQ('x', text[i]) << "wrote past 512 bytes";
}

TEST_F(LoadMessageText, LineLongerThan1023IsReadInPieces)
{
    // The first piece is 1023 characters with the key; its rest counts as a line
    // of its own, so a key in it is found there.
    std::string line = "m1=" + std::string(1020, 'a') + "m2=rest\n";
    ASSERT_TRUE(testlib::WriteTextFile(dir_.File("Messages.dat"), line));
    EXPECT_EQ(std::string(511, 'a'), Message(1));
    EXPECT_EQ("rest", Message(2));
}

TEST_F(LoadMessageText, WithoutCatalogueEmpty)
{
    EXPECT_EQ("", Message(5000));
}

TEST(TrimContainsBlank, TrimsAndFindsWhiteSpaceInside)
{
    struct Case {
        const char* text;
        const char* trimmed;
        bool blank;
    } cases[] = {
        {"  me@example.com \t", "me@example.com", false},
        {"mail server", "mail server", true},
        {" a\tb ", "a\tb", true},
        {"a\vb", "a\vb", true},
        {"a\r\nb", "a\r\nb", true},
        {"\t \n", "", false},
        {"", "", false},
        {"a&b|c<d>e^f%PATH%", "a&b|c<d>e^f%PATH%", false},
    };
    for (const Case& c : cases) {
        CString text = c.text;
        EXPECT_EQ(c.blank, CMailConfigDlg::TrimContainsBlank(text)) << '"' << c.text << '"';
        EXPECT_STREQ(c.trimmed, text) << '"' << c.text << '"';
    }
}

TEST(UnscramblePassword, GivesTheClearTextOfAStoredValue)
{
    char stored[128];
    ScramblePassword(stored, "Secret#Pass13", sizeof stored);
    EXPECT_STREQ("Secret#Pass13", UnscramblePassword(stored));
}

TEST(UnscramblePassword, AtMost511CharactersRestZero)
{
    std::string stored(600, static_cast<char>(0xC0));
    const char* clear = UnscramblePassword(stored.c_str());
    EXPECT_EQ(511u, std::strlen(clear));
    UnscramblePassword("\xEC");  // 'p' scrambled with key byte 0
    for (int i = 1; i < 512; ++i) ASSERT_EQ('\0', clear[i]) << "byte " << i;
    EXPECT_EQ('p', clear[0]) << "one static buffer, overwritten by the next call";
}

// The mailer, the recorder under the name "Hablat.exe", logs how it was started.
class RunMailerTest : public InScratchDir {
protected:
    void SetUp() override
    {
        InScratchDir::SetUp();
        log_ = logDir_.File("hablat.log");
        SetEnvironmentVariableA("KODRA_RECORD_LOG", log_.c_str());
    }
    void TearDown() override
    {
        SetEnvironmentVariableA("KODRA_RECORD_LOG", nullptr);
        InScratchDir::TearDown();
    }
    bool PlaceMailer(const std::string& dir)
    {
        return testlib::CopyInto(testlib::DoublesDir() + "\\recorder.exe", dir, "Hablat.exe");
    }

    ScratchDir logDir_{"kodra log"};
    std::string log_;
};

TEST_F(RunMailerTest, FromTheCurrentDirectoryWithoutInterpreterAndWaited)
{
    ASSERT_TRUE(PlaceMailer(dir_.Path()));
    const char* command = "Hablat.exe -install a&b|c<d>e^f%PATH% \"x\" me@example.com";
    ASSERT_TRUE(RunMailer(command));
    // Read at once: the start waits until the mailer has ended.
    auto starts = testlib::ReadRecorderLog(log_);
    ASSERT_EQ(1u, starts.size());
    EXPECT_EQ(command, starts[0].cmd);
    EXPECT_EQ(dir_.File("Hablat.exe"), starts[0].exe);
    EXPECT_EQ(dir_.Path(), starts[0].cwd);
}

TEST_F(RunMailerTest, FoundOnTheSearchPath)
{
    ScratchDir onPath("kodra path");
    ASSERT_TRUE(PlaceMailer(onPath.Path()));
    char saved[32768];
    DWORD n = GetEnvironmentVariableA("PATH", saved, sizeof saved);
    ASSERT_TRUE(n > 0 && n < sizeof saved);
    SetEnvironmentVariableA("PATH", ("C:\\no such folder;" + onPath.Path() + ";" + saved).c_str());
    bool ran = RunMailer("Hablat.exe -install smtp.example.com me@example.com");
    SetEnvironmentVariableA("PATH", saved);
    ASSERT_TRUE(ran);
    auto starts = testlib::ReadRecorderLog(log_);
    ASSERT_EQ(1u, starts.size());
    EXPECT_EQ(onPath.File("Hablat.exe"), starts[0].exe);
    EXPECT_EQ("Hablat.exe -install smtp.example.com me@example.com", starts[0].cmd);
}

TEST_F(RunMailerTest, MissingMailerOnlyReported)
{
    EXPECT_FALSE(RunMailer("Hablat.exe -install smtp.example.com me@example.com"));
    EXPECT_FALSE(testlib::FileExists(log_));
}

TEST_F(RunMailerTest, FailingMailerStillRan)
{
    ASSERT_TRUE(PlaceMailer(dir_.Path()));
    SetEnvironmentVariableA("KODRA_RECORD_EXIT", "3");
    bool ran = RunMailer("Hablat.exe -install s m");
    SetEnvironmentVariableA("KODRA_RECORD_EXIT", nullptr);
    EXPECT_TRUE(ran);
    EXPECT_EQ(1u, testlib::ReadRecorderLog(log_).size());
}

}  // namespace
