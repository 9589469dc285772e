#include "SysFileUtil.h"
#include "FileSystemUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "testlib.h"

namespace {

using testlib::ScratchDir;
using testlib::WriteTextFile;

// Runs the body while the calling thread impersonates the process token with
// the Administrators group made deny-only.
template <typename F>
void AsRestrictedUser(F body)
{
    HANDLE restricted = testlib::RestrictedAdminToken();
    ASSERT_NE(nullptr, restricted);
    HANDLE impersonation = nullptr;
    ASSERT_TRUE(DuplicateToken(restricted, SecurityImpersonation, &impersonation));
    ASSERT_TRUE(SetThreadToken(nullptr, impersonation));
    body();
    RevertToSelf();
    CloseHandle(impersonation);
    CloseHandle(restricted);
}

TEST(IsAdministrator, ProcessRunningAsAdministratorPasses)
{
    EXPECT_TRUE(IsAdministrator());
}

TEST(IsAdministrator, ImpersonatingThreadIsJudgedByItsOwnToken)
{
    AsRestrictedUser([] { EXPECT_FALSE(IsAdministrator()); });
    EXPECT_TRUE(IsAdministrator());
}

TEST(IsAdministrator, TestSwitchForcesTheRefusal)
{
    ForceNotAdministratorForTests(true);
    EXPECT_FALSE(IsAdministrator());
    ForceNotAdministratorForTests(false);
    EXPECT_TRUE(IsAdministrator());
}

TEST(ModuleFiles, ProgramFileAndFolder)
{
    const std::string path = GetModuleFilePath(nullptr);
    EXPECT_EQ(testlib::TestBinDir() + "\\support_sysfile_tests.exe", path);
    EXPECT_EQ(testlib::TestBinDir() + "\\", GetModuleDirectory(nullptr));
    EXPECT_NE("", GetModuleFilePath(GetModuleHandleA("kernel32.dll")));
}

TEST(ModuleFiles, ModuleThatIsNotLoadedGivesEmptyTexts)
{
    HMODULE bogus = reinterpret_cast<HMODULE>(0x12340000);
    EXPECT_EQ("", GetModuleFilePath(bogus));
    EXPECT_EQ("", GetModuleDirectory(bogus));
}

TEST(CurrentDirectory, SetAndGet)
{
    const std::string before = GetCurrentDir();
    ASSERT_NE("", before);
    ScratchDir dir;
    ASSERT_TRUE(SetCurrentDir(dir.Path()));
    EXPECT_EQ(dir.Path(), GetCurrentDir());
    EXPECT_FALSE(SetCurrentDir(dir.File("missing")));
    ASSERT_TRUE(SetCurrentDir(before));
}

TEST(Files, ExistenceOfFilesAndFolders)
{
    ScratchDir dir;
    ASSERT_TRUE(WriteTextFile(dir.File("plain.txt"), "x"));
    struct {
        std::string path;
        bool file, folder;
    } cases[] = {
        {dir.File("plain.txt"), true, false},
        {dir.Path(), false, true},
        {dir.File("missing"), false, false},
        {"", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.file, FileExists(c.path)) << c.path;
        EXPECT_EQ(c.folder, DirectoryExists(c.path)) << c.path;
    }
}

TEST(Files, FindOnSearchPath)
{
    std::string out = "unchanged";
    EXPECT_FALSE(FindOnSearchPath("no-such-program-xyz.exe", out));
    EXPECT_EQ("unchanged", out);
    ASSERT_TRUE(FindOnSearchPath("kernel32.dll", out));
    EXPECT_TRUE(FileExists(out));
    EXPECT_NE(std::string::npos, out.find('\\'));
}

TEST(Files, FileSizes)
{
    ScratchDir dir;
    ASSERT_TRUE(WriteTextFile(dir.File("five.bin"), std::string(5000, 'a')));
    ASSERT_TRUE(WriteTextFile(dir.File("empty.bin"), ""));
    uint64_t size = 7;
    EXPECT_TRUE(GetFileSize64(dir.File("five.bin"), &size));
    EXPECT_EQ(5000u, size);
    EXPECT_TRUE(GetFileSize64(dir.File("empty.bin"), &size));
    EXPECT_EQ(0u, size);
    EXPECT_TRUE(GetFileSize64(dir.File("five.bin"), nullptr));
    size = 7;
    EXPECT_FALSE(GetFileSize64(dir.File("missing"), &size));
    EXPECT_EQ(7u, size);
    EXPECT_EQ(5000u, GetFileSize32(dir.File("five.bin")));
    EXPECT_EQ(0u, GetFileSize32(dir.File("missing")));
}

TEST(Files, ReadTextFileReadsLineEndsAsLineFeeds)
{
    ScratchDir dir;
    const std::string long_line(10000, 'x');  // more than one read's worth
    ASSERT_TRUE(WriteTextFile(dir.File("lines.txt"), "one\r\ntwo\n" + long_line));
    std::string text = "stale";
    ASSERT_TRUE(ReadTextFile(dir.File("lines.txt"), text));
    EXPECT_EQ("one\ntwo\n" + long_line, text);
    EXPECT_FALSE(ReadTextFile(dir.File("missing.txt"), text));
    EXPECT_FALSE(ReadTextFile(dir.Path(), text));  // a folder is no file
}

TEST(DiskSpace, RootOfThePathIsAskedFor)
{
    EXPECT_EQ("\\\\server\\share\\", DiskSpaceRoot("\\\\server\\share\\dir\\file"));
    EXPECT_EQ("\\\\server\\share\\", DiskSpaceRoot("\\\\server\\share"));
    EXPECT_EQ("C:", DiskSpaceRoot("C:\\dir\\file"));
    EXPECT_EQ("", DiskSpaceRoot("dir\\file"));
}

TEST(DiskSpace, ReportsTheVolumeOfAPath)
{
    ScratchDir dir;
    uint64_t available = 0, total = 0, free = 0;
    ASSERT_TRUE(GetDiskSpace(dir.File("some file"), &available, &total, &free));
    EXPECT_GT(total, 0u);
    EXPECT_LE(free, total);
    EXPECT_LE(available, total);
    EXPECT_TRUE(GetDiskSpace(dir.Path(), nullptr, nullptr, nullptr));
    EXPECT_FALSE(GetDiskSpace("Q:\\nowhere", &available, &total, &free));
    EXPECT_EQ(1, GetDiskSpaceEx(DiskSpaceRoot(dir.Path()), nullptr, &total, nullptr));
}

TEST(DiskSpace, ClusterWayGivesEqualAvailableAndFree)
{
    ScratchDir dir;
    uint64_t available = 1, total = 0, free = 2;
    ASSERT_TRUE(GetDiskSpaceClusters(DiskSpaceRoot(dir.Path()) + "\\", &available, &total, &free));
    EXPECT_EQ(available, free);
    EXPECT_GT(total, 0u);
    available = 5;
    EXPECT_FALSE(GetDiskSpaceClusters("Q:\\", &available, nullptr, nullptr));
    EXPECT_EQ(5u, available);
}

TEST(MoveDirectoryTree, EmptySourceOrTargetTouchesNothing)
{
    ScratchDir dir;
    EXPECT_EQ(static_cast<int32_t>(0x80070057), MoveDirectoryTree("", dir.Path(), 0));
    EXPECT_EQ(static_cast<int32_t>(0x80070057), MoveDirectoryTree(dir.Path(), "", 0));
    EXPECT_TRUE(DirectoryExists(dir.Path()));
}

class MoveTreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        source = dir.File("src");
        target = dir.File("dst");
        for (const char* folder : {"", "\\a", "\\a\\deep", "\\b", "\\empty"})
            ASSERT_TRUE(CreateDirectoryA((source + folder).c_str(), nullptr));
        for (const char* file : {"\\top.txt", "\\a\\one.txt", "\\a\\deep\\two.txt", "\\b\\three.txt"})
            ASSERT_TRUE(WriteTextFile(source + file, file));
    }
    void ExpectMovedFiles()
    {
        for (const char* file : {"\\top.txt", "\\a\\one.txt", "\\a\\deep\\two.txt", "\\b\\three.txt"}) {
            EXPECT_EQ(file, testlib::ReadTextFile(target + file)) << file;
            EXPECT_FALSE(FileExists(source + file)) << file;
        }
        EXPECT_TRUE(DirectoryExists(target + "\\empty"));
        for (const char* folder : {"\\a", "\\a\\deep", "\\b", "\\empty"})
            EXPECT_FALSE(DirectoryExists(source + folder)) << folder;
    }
    ScratchDir dir;
    std::string source, target;
};

TEST_F(MoveTreeTest, MovesEveryFileAndRemovesTheSourceTree)
{
    EXPECT_EQ(0, MoveDirectoryTree(source, target, 0));
    ExpectMovedFiles();
    EXPECT_FALSE(DirectoryExists(source));
}

TEST_F(MoveTreeTest, KeepSourceRootLeavesTheEmptiedSourceFolder)
{
    EXPECT_EQ(0, MoveDirectoryTreeEx(source, target, 0, true));
    ExpectMovedFiles();
    EXPECT_TRUE(DirectoryExists(source));
}

TEST_F(MoveTreeTest, FailedMoveStopsAndRemovesNothing)
{
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));
    ASSERT_TRUE(WriteTextFile(target + "\\top.txt", "already there"));
    EXPECT_EQ(HResultFromWin32(ERROR_ALREADY_EXISTS), MoveDirectoryTree(source, target, 0));
    EXPECT_TRUE(DirectoryExists(source));
    EXPECT_TRUE(FileExists(source + "\\top.txt"));
    EXPECT_EQ(0, MoveDirectoryTree(source, target, MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ("\\top.txt", testlib::ReadTextFile(target + "\\top.txt"));
}

TEST_F(MoveTreeTest, MissingSourceIsAnError)
{
    EXPECT_EQ(HResultFromWin32(ERROR_PATH_NOT_FOUND), MoveDirectoryTree(dir.File("none"), target, 0));
}

TEST(ErrorCodes, HResultFromWin32)
{
    struct {
        int32_t code, result;
    } cases[] = {
        {0, 0},
        {5, static_cast<int32_t>(0x80070005)},
        {static_cast<int32_t>(0x80070005), static_cast<int32_t>(0x80070005)},
        {-1, -1},
        {0x12345, static_cast<int32_t>(0x80072345)},
    };
    for (const auto& c : cases) EXPECT_EQ(c.result, HResultFromWin32(c.code)) << c.code;
}

TEST(ErrorCodes, CutLineBreak)
{
    struct {
        const char* text;
        const char* rest;
    } cases[] = {
        {"Access is denied.\r\n", "Access is denied."},
        {"one\r\ntwo\r\n", "one\r\ntwo"},
        {"one\r\ntwo", "one"},
        {"plain", "plain"},
        {"", ""},
    };
    for (const auto& c : cases) {
        char buffer[32];
        std::strcpy(buffer, c.text);
        EXPECT_EQ(static_cast<int>(std::strlen(c.rest)), CutLineBreak(buffer));
        EXPECT_STREQ(c.rest, buffer);
    }
}

TEST(ErrorCodes, FormatSystemErrorIsCutToTheBuffer)
{
    char full[256];
    FormatSystemError(ERROR_ACCESS_DENIED, full, sizeof full);
    ASSERT_GT(std::strlen(full), 9u);
    EXPECT_EQ(nullptr, std::strchr(full, '\n'));
    char small[16];
    std::memset(small, '#', sizeof small);
    EXPECT_EQ(small, FormatSystemError(ERROR_ACCESS_DENIED, small, 10));
    EXPECT_EQ(std::string(full, 9), small);
    EXPECT_EQ('#', small[10]);
    char unknown[16] = "stale";
    FormatSystemError(0x0FFFFFFF, unknown, sizeof unknown);
    EXPECT_STREQ("", unknown);
    EXPECT_EQ(nullptr, FormatSystemError(5, nullptr, 10));
}

TEST(ErrorCodes, FormatSystemErrorLeavesInsertsOfTextsAlone)
{
    char text[256];
    FormatSystemError(ERROR_BAD_EXE_FORMAT, text, sizeof text);
    EXPECT_NE(nullptr, std::strstr(text, "%1")) << text;
}

TEST(Handles, LibraryHandleHoldsTheModuleOrNull)
{
    CLibraryHandle kernel("kernel32.dll");
    EXPECT_EQ(GetModuleHandleA("kernel32.dll"), kernel.GetHandle());
    CLibraryHandle missing("no-such-library-xyz.dll");
    EXPECT_EQ(nullptr, missing.GetHandle());
}

TEST(Handles, FileHandleClosesItsStream)
{
    ScratchDir dir;
    ASSERT_TRUE(WriteTextFile(dir.File("f.txt"), "x"));
    {
        CFileHandle open(dir.File("f.txt").c_str(), "r");
        CFileHandle missing(dir.File("missing").c_str(), "r");
    }
    EXPECT_TRUE(DeleteFileA(dir.File("f.txt").c_str()));
}

}  // namespace
