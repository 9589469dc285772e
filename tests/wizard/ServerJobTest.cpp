#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "BatchSyntax.h"
#include "ServerJob.h"
#include "WizardTestKit.h"
#include "classlib_testkit.h"
#include "testlib.h"

namespace {

using classlib::testkit::MessageBoxRecorder;

const char kVelmorService[] = "SYSTEM\\CurrentControlSet\\Services\\VELMOR";
const char kVelmorParameters[] = "SYSTEM\\CurrentControlSet\\Services\\VELMOR\\Parameters";

const std::string kRule =
    "@REM #############################     DON'T EDIT     #############################\r\n";
const std::string kHead = "@\r\n@REM                     Written by KODRA configuration program\r\n"
                          "@\r\n@\r\n@\r\n" + kRule + "@\r\n";
const std::string kTail = "@\r\n" + kRule;

std::string BatchPath() { return wizardtest::WizardFolder() + "\\SDSrv.bat"; }

std::string InstallHelp()
{
    return "\r\n\r\nYou have to configure VELMOR on your own. To do\r\nso, start VELMOR -config and "
           "enter the full path\r\nof the KODRA batch file:\r\n" +
           BatchPath() +
           "\r\nas one of the special jobs (page \"Special\").\r\n\r\nYou have to remove old "
           "KODRA job entries and job\r\nentries that you do not need anymore. KODRA entries "
           "should\r\ncontain the string SDSrv.bat. If VELMOR -config\r\ndoesn't work, try VELMOR "
           "-install before calling\r\nVELMOR -config.";
}

const std::string kRemoveHelp =
    "\r\n\r\nYou have to uninstall KODRA on your own. To do\r\nso, start VELMOR -config and remove "
    "the KODRA\r\njob lines (page \"Special\"). These job\r\nentries should contain the string "
    "SDSrv.bat.";

using Values = std::map<std::string, std::string>;

class ServerJobTest : public testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    void Clean()
    {
        wizardtest::DeleteKeyTree(HKEY_LOCAL_MACHINE, kVelmorService);
        SetFileAttributesA(BatchPath().c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(BatchPath().c_str());
        RemoveDirectoryA(BatchPath().c_str());
    }
    // Seeds the VELMOR key with the given values (all REG_SZ).
    void Seed(const Values& values)
    {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_LOCAL_MACHINE, kVelmorParameters, &key));
        for (const auto& [name, value] : values)
            RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>(value.size() + 1));
        RegCloseKey(key);
    }
    // Every value of the key as text; REG_SZ only, as the wizard writes them.
    Values Stored()
    {
        Values values;
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVelmorParameters, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return values;
        for (DWORD i = 0;; ++i) {
            char name[256];
            BYTE data[1024];
            DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
            if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
                break;
            std::string text(reinterpret_cast<char*>(data), dataSize);
            if (!text.empty() && text.back() == '\0') text.pop_back();
            values[name] = type == REG_SZ ? text : "<type>";
        }
        RegCloseKey(key);
        return values;
    }
    CCnfData Server(std::vector<const char*> addresses, DWORD port = 6003)
    {
        CCnfData record;
        record.SetDefaults();
        record.Port = port;
        for (const char* a : addresses) record.Addr.Add(a);
        return record;
    }
    std::string Line(const std::string& address, const std::string& port = "6003")
    {
        return "   \"" + wizardtest::KodraProgramPath() + "\" -s -a " + address + " -p " + port + "\r\n";
    }
    std::string OwnCommand() { return "\"" + BatchPath() + "\""; }
    MessageBoxRecorder boxes_;
};

TEST_F(ServerJobTest, BatchFileByteForByte)
{
    CCnfData record = Server({"10.0.0.7", "   ", "", " host-a "}, 7001);
    ASSERT_TRUE(WriteServerBatchFile(record, "KODRA.EXE"));
    EXPECT_EQ(kHead + Line("10.0.0.7", "7001") + Line("host-a", "7001") + kTail,
              testlib::ReadTextFile(BatchPath()));

    ASSERT_TRUE(WriteServerBatchFile(Server({}), "KODRA.EXE"));  // replaces the file
    EXPECT_EQ(kHead + kTail, testlib::ReadTextFile(BatchPath()));
}

TEST_F(ServerJobTest, PercentInTheProgramPathIsKeptLiteral)
{
    ASSERT_TRUE(WriteServerBatchFile(Server({"10.0.0.1"}), "C:\\Tools 50%\\KODRA.EXE"));
    EXPECT_EQ(kHead + "   \"C:\\Tools 50%%\\KODRA.EXE\" -s -a 10.0.0.1 -p 6003\r\n" + kTail,
              testlib::ReadTextFile(BatchPath()));
}

TEST_F(ServerJobTest, InstallationTakesTheFirstFreeSlotOrItsOwn)
{
    struct Case {
        const char* what;
        Values before;
        Values after;  // the values the installation changes
    } cases[] = {
        {"all disabled", {}, {{"EnableExtra1", "yes"}, {"ExtraJob1", ""}, {"ExtraTime1", "3"}}},
        {"slot 1 in use",
         {{"EnableExtra1", "yes"}, {"ExtraJob1", "\"C:\\other.bat\""}, {"EnableExtra2", "no"}},
         {{"EnableExtra2", "yes"}, {"ExtraJob2", ""}, {"ExtraTime2", "3"}}},
        {"own slot elsewhere",
         {{"EnableExtra1", "no"}, {"EnableExtra3", " Yes "}, {"ExtraJob3", "\"D:\\old\\sdsrv.BAT\""},
          {"ExtraTime3", "9"}},
         {{"EnableExtra3", "yes"}, {"ExtraJob3", ""}, {"ExtraTime3", "3"}}},
        {"disabled own command is free",
         {{"EnableExtra1", "yes"}, {"ExtraJob1", "x"}, {"EnableExtra2", "no"},
          {"ExtraJob2", "\"C:\\SDSrv.bat\""}},
         {{"EnableExtra2", "yes"}, {"ExtraJob2", ""}, {"ExtraTime2", "3"}}},
    };
    for (Case& c : cases) {
        Clean();
        Seed(c.before);
        Seed({{"Other", "kept"}});
        Values expected = Stored();
        for (auto& [name, value] : c.after) expected[name] = value.empty() ? OwnCommand() : value;
        EXPECT_TRUE(InstallServerJob(Server({"10.0.0.1"}), "KODRA.EXE", 3)) << c.what;
        EXPECT_EQ(expected, Stored()) << c.what;
        EXPECT_TRUE(boxes_.Boxes().empty()) << c.what;
        EXPECT_EQ(kHead + Line("10.0.0.1") + kTail, testlib::ReadTextFile(BatchPath())) << c.what;
    }
}

TEST_F(ServerJobTest, LeadTimeOfZeroIsWrittenAsOne)
{
    Seed({});
    ASSERT_TRUE(InstallServerJob(Server({}), "KODRA.EXE", 0));
    EXPECT_EQ("1", Stored()["ExtraTime1"]);
}

TEST_F(ServerJobTest, SlotsThatCannotBeChosenWriteNothing)
{
    struct Case {
        const char* what;
        Values before;
        std::string message;
    } cases[] = {
        {"two own slots",
         {{"EnableExtra1", "yes"}, {"ExtraJob1", "a\\SDSRV.BAT"}, {"EnableExtra2", "YES"},
          {"ExtraJob2", "b\\sdsrv.bat"}},
         "Sorry, but there is more than one \"special job\" entry\r\nconfigured for VELMOR "
         "containing an KODRA command.\r\nBecause of this, I cannot decide which entry belongs "
         "to\r\nan old KODRA configuration!"},
        {"no free slot",
         {{"EnableExtra1", "yes"}, {"EnableExtra2", "yes"}, {"EnableExtra3", "yes"}},
         "Sorry, but there is no free \"special job\" entry\r\nthat can be used to install the "
         "KODRA batch file."},
    };
    for (Case& c : cases) {
        Clean();
        Seed(c.before);
        Values before = Stored();
        MessageBoxRecorder boxes;
        EXPECT_FALSE(InstallServerJob(Server({"10.0.0.1"}), "KODRA.EXE", 3)) << c.what;
        EXPECT_EQ(std::vector<std::string>{c.message + InstallHelp()}, boxes.Texts()) << c.what;
        EXPECT_EQ(before, Stored()) << c.what;
        EXPECT_TRUE(testlib::FileExists(BatchPath())) << c.what;  // already written
    }
}

TEST_F(ServerJobTest, WithoutTheVelmorKeyTheBatchFileStaysAndTheLoadFails)
{
    EXPECT_FALSE(InstallServerJob(Server({"10.0.0.1"}), "KODRA.EXE", 3));
    EXPECT_EQ(std::vector<std::string>{"Failed to load the VELMOR configuration!\r\nYou have to "
                                       "install VELMOR (call VELMOR.exe -install\r\nand "
                                       "VELMOR.exe -config) before installing KODRA!"},
              boxes_.Texts());
    EXPECT_TRUE(testlib::FileExists(BatchPath()));
    EXPECT_FALSE(wizardtest::KeyExists(HKEY_LOCAL_MACHINE, kVelmorParameters));
}

TEST_F(ServerJobTest, AddressesTheInterpreterWouldSplitAreRefused)
{
    Seed({});
    for (const char* address : {"10.0.0.1&calc", "a|b", "a<b", "a>b", "a^b", "%PATH%", "a\"b",
                                "a b", "a\tb"}) {
        MessageBoxRecorder boxes;
        EXPECT_FALSE(InstallServerJob(Server({"10.0.0.2", address}), "KODRA.EXE", 3)) << address;
        ASSERT_EQ(1u, boxes.Boxes().size()) << address;
        EXPECT_EQ(std::string("The address \"") + address +
                      "\" cannot be written into a batch file.\r\nAn address must not contain blanks or any "
                      "of the characters & | < > ^ % \".",
                  boxes.Boxes()[0].text)
            << address;
        EXPECT_FALSE(testlib::FileExists(BatchPath())) << address;
        EXPECT_TRUE(Stored().empty()) << address;
        EXPECT_FALSE(WriteServerBatchFile(Server({address}), "KODRA.EXE")) << address;
    }
    EXPECT_TRUE(IsBatchSafeAddress("host-1.example.com"));
    EXPECT_TRUE(IsBatchSafeAddress("10.0.0.1"));
}

// The interpreter reads the file in the OEM code page: the program's path
// would name another folder there.
TEST_F(ServerJobTest, AProgramPathReadAsOtherCharactersIsRefused)
{
    Seed({});
    const char program[] = "C:\\B\xFCro\\KODRA.EXE";
    EXPECT_FALSE(InstallServerJob(Server({"10.0.0.2"}), program, 3));
    EXPECT_EQ(std::vector<std::string>{std::string("\"") + program +
                                       "\" cannot be written into a batch file: the command interpreter would "
                                       "read some of its characters as other characters."},
              boxes_.Texts());
    EXPECT_FALSE(testlib::FileExists(BatchPath()));
    EXPECT_TRUE(Stored().empty());
    EXPECT_FALSE(WriteServerBatchFile(Server({"10.0.0.2"}), program));
    EXPECT_FALSE(testlib::FileExists(BatchPath()));
}

TEST_F(ServerJobTest, BatchFileThatCannotBeWrittenIsNotEnteredAsAJob)
{
    Seed({});
    ASSERT_TRUE(CreateDirectoryA(BatchPath().c_str(), nullptr));
    EXPECT_FALSE(InstallServerJob(Server({"10.0.0.1"}), "KODRA.EXE", 3));
    EXPECT_EQ(std::vector<std::string>{"Failed to create the server batch file!" + InstallHelp()},
              boxes_.Texts());
    EXPECT_TRUE(Stored().empty());

    // A write that stops short is a failure of the line.
    std::string probe = wizardtest::WizardFolder() + "\\probe.txt";
    ASSERT_TRUE(testlib::WriteTextFile(probe, "x"));
    HANDLE readOnly = CreateFileA(probe.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, readOnly);
    EXPECT_FALSE(WriteBatchLine("@", readOnly));
    CloseHandle(readOnly);
    DeleteFileA(probe.c_str());
}

TEST_F(ServerJobTest, ReadingTheSlots)
{
    Seed({{"EnableExtra1", "  YES "}, {"ExtraJob1", "  \"C:\\a b\\SDSrv.bat\"  "}, {"ExtraTime1", " 12 "},
          {"EnableExtra2", "y"}, {"ExtraTime2", "0"},
          {"EnableExtra3", "yes"}, {"ExtraTime3", "abc"}});
    SpecialJob slots[3];
    ASSERT_TRUE(ReadSpecialJobs(slots, 3));
    EXPECT_TRUE(slots[0].EnableExtra);
    EXPECT_STREQ("\"C:\\a b\\SDSrv.bat\"", slots[0].ExtraJob);
    EXPECT_EQ(12, slots[0].ExtraTime);
    EXPECT_FALSE(slots[1].EnableExtra);
    EXPECT_STREQ("", slots[1].ExtraJob);
    EXPECT_EQ(1, slots[1].ExtraTime);
    EXPECT_EQ(1, slots[2].ExtraTime);

    struct Time {
        const char* stored;
        int read;
    } times[] = {{"-4", 1}, {"7x", 7}, {"99999999999", 2147483647}, {"", 1}};
    for (const Time& t : times) {
        Seed({{"ExtraTime1", t.stored}});
        ASSERT_TRUE(ReadSpecialJobs(slots, 1));
        EXPECT_EQ(t.read, slots[0].ExtraTime) << t.stored;
    }
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVelmorParameters, 0, KEY_ALL_ACCESS, &key));
    RegDeleteValueA(key, "ExtraTime1");
    const char expand[] = "yes";
    RegSetValueExA(key, "EnableExtra1", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(expand), sizeof expand);
    RegCloseKey(key);
    ASSERT_TRUE(ReadSpecialJobs(slots, 1));
    EXPECT_TRUE(slots[0].EnableExtra);
    EXPECT_EQ(1, slots[0].ExtraTime);

    BOOL own = TRUE;
    EXPECT_EQ(-1, FindSpecialJobSlot(slots, 0, FALSE, &own));
    EXPECT_FALSE(own);
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(ServerJobTest, RemovalDisablesTheOwnSlotAndDeletesTheFile)
{
    Seed({{"EnableExtra1", "yes"}, {"ExtraJob1", "other"}, {"EnableExtra2", "yes"},
          {"ExtraJob2", "\"X:\\SDSrv.bat\""}, {"ExtraTime2", "5"}});
    ASSERT_TRUE(testlib::WriteTextFile(BatchPath(), "old"));
    Values expected = Stored();
    expected["EnableExtra2"] = "no";
    expected["ExtraJob2"] = "\"own\"";
    expected["ExtraTime2"] = "0";
    EXPECT_TRUE(RemoveServerJob());
    EXPECT_EQ(expected, Stored());
    EXPECT_FALSE(testlib::FileExists(BatchPath()));
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(ServerJobTest, RemovalFailures)
{
    Seed({{"EnableExtra1", "no"}, {"ExtraJob1", "\"X:\\SDSrv.bat\""}});
    ASSERT_TRUE(testlib::WriteTextFile(BatchPath(), "old"));
    EXPECT_FALSE(RemoveServerJob());
    EXPECT_FALSE(testlib::FileExists(BatchPath()));
    Clean();
    EXPECT_FALSE(RemoveServerJob());
    std::vector<std::string> expected = {
        "Sorry, no old \"special job\" KODRA entry found." + kRemoveHelp,
        "Failed to load the VELMOR configuration!" + kRemoveHelp};
    EXPECT_EQ(expected, boxes_.Texts());
}

}  // namespace
