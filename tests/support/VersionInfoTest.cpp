#include "VersionInfo.h"

#include <gtest/gtest.h>

#include <string>

#include "testlib.h"

namespace {

std::string Fixture(const char* name) { return testlib::TestBinDir() + "\\" + name; }

TEST(VersionInfo, OwnValuesLoadOnFirstUse)
{
    CVersionInfo info;
    EXPECT_EQ("5.1.2.7", info.GetFileVersion());
    EXPECT_EQ("Copyright 2024 Test Makers", info.GetLegalCopyright());
    EXPECT_EQ("support_sysfile_tests", info.GetInternalName());
    EXPECT_EQ("Support Tests", info.GetProductName());
}

TEST(VersionInfo, LoadsFromTheModuleAndFromItsFile)
{
    CVersionInfo fromModule(GetModuleHandleA(nullptr));
    EXPECT_EQ("5.1.2.7", fromModule.GetFileVersion());
    CVersionInfo fromFile;
    ASSERT_TRUE(fromFile.LoadFromFile(Fixture("support_sysfile_tests.exe").c_str()));
    EXPECT_EQ("Copyright 2024 Test Makers", fromFile.GetLegalCopyright());
}

TEST(VersionInfo, FixedInformationAsNumbers)
{
    CVersionInfo info;
    VS_FIXEDFILEINFO fixed;
    ASSERT_TRUE(info.GetFixedInfo(&fixed));
    EXPECT_EQ(0xFEEF04BDu, fixed.dwSignature);
    EXPECT_EQ("5,1,2,7", info.GetFileVersionNumber());
    EXPECT_EQ("6,0,0,1", info.GetProductVersionNumber());
}

TEST(VersionInfo, FileWithoutVersionResourceLeavesTheObjectEmpty)
{
    testlib::ScratchDir dir;
    ASSERT_TRUE(testlib::WriteTextFile(dir.File("plain.txt"), "no resources here"));
    CVersionInfo info;
    EXPECT_FALSE(info.LoadFromFile(dir.File("plain.txt").c_str()));
    EXPECT_FALSE(info.LoadFromFile(dir.File("missing.dll").c_str()));
    // An empty object answers with the running program's own values.
    EXPECT_EQ("5.1.2.7", info.GetFileVersion());
}

TEST(VersionInfo, OnlyTheFirstTranslationIsRead)
{
    CVersionInfo info;
    ASSERT_TRUE(info.LoadFromFile(Fixture("version_multi.dll").c_str()));
    EXPECT_EQ("7.0 de", info.GetFileVersion());
    EXPECT_EQ("", info.GetStringValue("Comments"));
    EXPECT_EQ("only in the second translation", info.GetStringValue("Comments", 0x040904b0));
    EXPECT_EQ("7.0 de", info.GetStringValue("FileVersion", 0x040704e4));
}

TEST(VersionInfo, ValuesAreHandedOutWhole)
{
    CVersionInfo info;
    ASSERT_TRUE(info.LoadFromFile(Fixture("version_multi.dll").c_str()));
    const std::string copyright = info.GetLegalCopyright();
    EXPECT_EQ(0u, copyright.find("A very long copyright text"));
    EXPECT_EQ("nineteen twenty.", copyright.substr(copyright.size() - 16));
}

TEST(VersionInfo, MissingValueAndOverlongNameGiveEmptyText)
{
    CVersionInfo info;
    ASSERT_TRUE(info.LoadFromFile(Fixture("version_multi.dll").c_str()));
    EXPECT_EQ("", info.GetStringValue("SpecialBuild"));
    EXPECT_EQ("", info.GetStringValue(std::string(240, 'F').c_str()));
    EXPECT_EQ("", info.GetStringValue(""));
}

TEST(VersionInfo, TranslationThatTheStringBlockDoesNotMatch)
{
    CVersionInfo info;
    ASSERT_TRUE(info.LoadFromFile(Fixture("version_mismatch.dll").c_str()));
    EXPECT_EQ("", info.GetFileVersion());
    EXPECT_EQ("8.0 de", info.GetStringValue("FileVersion", 0x040704e4));
    EXPECT_EQ("8,0,0,0", info.GetFileVersionNumber());
}

TEST(VersionInfo, BlockWithoutTranslationTableDoesNotLoad)
{
    CVersionInfo info;
    EXPECT_FALSE(info.LoadFromFile(Fixture("version_notrans.dll").c_str()));
    EXPECT_EQ("5.1.2.7", info.GetFileVersion());
}

TEST(VersionInfo, SecondLoadAndFreeReplaceTheBlock)
{
    CVersionInfo info;
    ASSERT_TRUE(info.LoadFromFile(Fixture("version_multi.dll").c_str()));
    ASSERT_TRUE(info.LoadFromFile(Fixture("version_mismatch.dll").c_str()));
    EXPECT_EQ("8.0 de", info.GetStringValue("FileVersion", 0x040704e4));
    info.Free();
    EXPECT_EQ("5.1.2.7", info.GetFileVersion());
}

TEST(VersionInfo, Banner)
{
    EXPECT_EQ("Support Tests - support_sysfile_tests V5.1.2.7", GetVersionBanner(false, nullptr));
    EXPECT_EQ("Support Tests - support_sysfile_tests V5.1.2.7\n(c) Copyright 2024 Test Makers. All rights reserved\n",
              GetVersionBanner(true, nullptr));
    EXPECT_EQ("", GetVersionBanner(true, reinterpret_cast<HMODULE>(0x12340000)));
}

}  // namespace
