// The registry module: typed reads, string sizes and the profile area.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "RegLib.h"

namespace {

std::string OwnKeyName(const char* what)
{
    return std::string("Software\\KodraTests\\reglib ") + what + " " +
           std::to_string(GetCurrentProcessId());
}

class RegLib : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = OwnKeyName("values");
        key = RegLibCreateKey(HKEY_CURRENT_USER, path.c_str(), nullptr);
        ASSERT_NE(key, nullptr);
    }
    void TearDown() override
    {
        RegLibCloseKey(key);
        RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
    }
    void Raw(const char* name, DWORD type, const void* data, DWORD size)
    {
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), 0);
    }

    std::string path;
    HKEY key = nullptr;
};

TEST_F(RegLib, DwordReadsOnlyAFourByteDword)
{
    uint32_t v = 7;
    ASSERT_EQ(RegLibSetDword(key, "MessagePort", 7000), 1);
    EXPECT_EQ(RegLibGetDword(key, "MessagePort", &v), 1);
    EXPECT_EQ(v, 7000u);

    const uint64_t qword = 961;
    const uint32_t four = 961;
    const uint16_t two = 961;
    Raw("text", REG_SZ, "961", 4);
    Raw("binary", REG_BINARY, &four, 4);
    Raw("qword", REG_QWORD, &qword, 8);
    Raw("short dword", REG_DWORD, &two, 2);
    for (const char* name : {"text", "binary", "qword", "short dword", "missing"}) {
        uint32_t out = 5;
        EXPECT_EQ(RegLibGetDword(key, name, &out), 0) << name;
        EXPECT_EQ(out, 5u) << name << ": the caller's default stays";
    }
}

TEST_F(RegLib, StringsByTypeAndSize)
{
    ASSERT_EQ(RegLibSetString(key, "plain", "hello"), 1);
    ASSERT_EQ(RegLibSetExpandString(key, "expand", "%TEMP%\\x"), 1);
    char buffer[32];
    uint32_t size = sizeof buffer;
    EXPECT_EQ(RegLibGetString(key, "plain", buffer, &size), 1);
    EXPECT_STREQ(buffer, "hello");
    EXPECT_EQ(size, 6u);
    size = sizeof buffer;
    EXPECT_EQ(RegLibGetString(key, "expand", buffer, &size), 0);
    size = sizeof buffer;
    EXPECT_EQ(RegLibGetExpandString(key, "plain", buffer, &size), 0);
    size = sizeof buffer;
    EXPECT_EQ(RegLibGetExpandString(key, "expand", buffer, &size), 1);
    EXPECT_STREQ(buffer, "%TEMP%\\x") << "returned unexpanded";

    size = 5;
    EXPECT_EQ(RegLibGetString(key, "plain", buffer, &size), 0) << "no room for the terminator";
    size = 6;
    EXPECT_EQ(RegLibGetString(key, "plain", buffer, &size), 1) << "exactly fits";
    EXPECT_STREQ(buffer, "hello");
    size = 0;
    EXPECT_EQ(RegLibGetString(key, "plain", buffer, &size), 0);
    EXPECT_EQ(RegLibGetString(key, "plain", nullptr, &size), 0);
}

TEST_F(RegLib, AStoredTextWithoutTerminatorComesBackTerminated)
{
    Raw("bare", REG_SZ, "abcdef", 6);
    char buffer[16];
    memset(buffer, 'Z', sizeof buffer);
    uint32_t size = sizeof buffer;
    EXPECT_EQ(RegLibGetString(key, "bare", buffer, &size), 1);
    EXPECT_STREQ(buffer, "abcdef");
    EXPECT_EQ(size, 7u);
    memset(buffer, 'Z', sizeof buffer);
    size = 6;
    EXPECT_EQ(RegLibGetString(key, "bare", buffer, &size), 0) << "fills the buffer: no terminator fits";
    EXPECT_EQ(buffer[6], 'Z') << "nothing written past the buffer";
}

TEST_F(RegLib, BinaryValues)
{
    const unsigned char bytes[5] = {1, 2, 0, 4, 5};
    ASSERT_EQ(RegLibSetBinary(key, "blob", bytes, sizeof bytes), 1);
    unsigned char out[8] = {};
    uint32_t count = 0;
    EXPECT_EQ(RegLibGetBinary(key, "blob", out, sizeof out, &count), 1);
    EXPECT_EQ(count, 5u);
    EXPECT_EQ(memcmp(out, bytes, 5), 0);
    EXPECT_EQ(RegLibGetBinary(key, "blob", out, 2, &count), 0);
    EXPECT_EQ(count, 5u) << "the stored length";
    RegLibSetDword(key, "number", 1);
    EXPECT_EQ(RegLibGetBinary(key, "number", out, sizeof out, &count), 0);
}

TEST_F(RegLib, KeysValuesAndEnumeration)
{
    EXPECT_EQ(RegLibOpenKeyAccess(HKEY_CURRENT_USER, (path + "\\absent").c_str(), KEY_READ), nullptr);
    EXPECT_EQ(RegLibOpenKey(HKEY_CURRENT_USER, (path + "\\absent").c_str()), nullptr);
    HKEY sub = RegLibCreateKey(key, "sub", nullptr);
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(RegLibFlushKey(sub), 1);
    EXPECT_EQ(RegLibCloseKey(sub), 1);
    HKEY again = RegLibOpenKeyAccess(key, "sub", KEY_READ);
    ASSERT_NE(again, nullptr);
    RegLibCloseKey(again);

    RegLibSetDword(key, "one", 1);
    DWORD subkeys = 0, values = 0, maxName = 0, maxClass = 9;
    EXPECT_EQ(RegLibQueryInfoKey(key, nullptr, nullptr, &maxClass, &subkeys, nullptr, &values,
                                 &maxName, nullptr, nullptr, nullptr),
              1);
    EXPECT_EQ(subkeys, 1u);
    EXPECT_EQ(values, 1u);
    EXPECT_EQ(maxName, 3u);
    char name[16];
    DWORD nameSize = sizeof name, type = 0, data = 0, dataSize = sizeof data;
    EXPECT_EQ(RegLibEnumValue(key, 0, name, &nameSize, &type, reinterpret_cast<BYTE*>(&data),
                              &dataSize),
              1);
    EXPECT_STREQ(name, "one");
    EXPECT_EQ(type, DWORD(REG_DWORD));
    nameSize = sizeof name;
    EXPECT_EQ(RegLibEnumValue(key, 1, name, &nameSize, nullptr, nullptr, nullptr), 0);

    EXPECT_EQ(RegLibDeleteValue(key, "one"), 1);
    EXPECT_EQ(RegLibDeleteValue(key, "one"), 0);
    EXPECT_EQ(RegLibDeleteKey(key, "sub"), 1);
    EXPECT_EQ(RegLibDeleteKey(key, "sub"), 0);
    EXPECT_EQ(RegLibInit(), 1);
    EXPECT_EQ(RegLibCheckVersion("1.0.0.0"), 1);
    EXPECT_EQ(RegLibCheckVersion("1.0.0"), 0);
    EXPECT_EQ(RegLibCheckVersion(nullptr), 0);
}

class RegLibProfile : public ::testing::Test {
protected:
    void TearDown() override
    {
        RegLibProfileUninit();
        RegDeleteKeyA(HKEY_CURRENT_USER, (std::string("Software\\") + company + "\\App\\sub").c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, (std::string("Software\\") + company + "\\App").c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, (std::string("Software\\") + company).c_str());
    }
    std::string companyText = "KodraTestCo " + std::to_string(GetCurrentProcessId());
    const char* company = companyText.c_str();
};

TEST_F(RegLibProfile, InitRefusesLongNamesAndRoots)
{
    const std::string name128(128, 'n'), name127(127, 'n');
    EXPECT_EQ(RegLibProfileInit(0x01, company, nullptr), 0);
    EXPECT_EQ(RegLibProfileInit(0x01, company, name128.c_str()), 0);
    EXPECT_EQ(RegLibProfileOpenAppKey(), nullptr) << "the state was cleared";
    EXPECT_EQ(RegLibProfileInit(0x01, name128.c_str(), "App"), 0);
    EXPECT_EQ(RegLibProfileInit(0x00, company, "App"), 0);
    EXPECT_EQ(RegLibProfileInit(0x02, company, "App"), 0);
    EXPECT_EQ(RegLibProfileSetRoot(0x02), 0);
    EXPECT_EQ(RegLibProfileOpenAppKey(), nullptr);
    EXPECT_EQ(RegLibProfileInit(0x01, company, name127.c_str()), 1);
}

TEST_F(RegLibProfile, ReadsAndWritesUnderTheApplicationKey)
{
    ASSERT_EQ(RegLibProfileInit(0x01, company, "App"), 1);
    char buffer[16];
    EXPECT_EQ(RegLibProfileReadString("sub", "missing", "fallback", buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "fallback");
    EXPECT_EQ(RegLibProfileReadString("sub", "missing", "a long fallback text", buffer, 8), 0);
    EXPECT_STREQ(buffer, "a long ");
    EXPECT_EQ(RegLibProfileWriteString("sub", "name", "value"), 1);
    EXPECT_EQ(RegLibProfileReadString("sub", "name", "fallback", buffer, sizeof buffer), 1);
    EXPECT_STREQ(buffer, "value");
    EXPECT_EQ(RegLibProfileWriteString("sub", "name", nullptr), 1);
    EXPECT_EQ(RegLibProfileReadString("sub", "name", "gone", buffer, sizeof buffer), 0);

    uint32_t n = 0;
    EXPECT_EQ(RegLibProfileReadDword("sub", "count", 42, &n), 0);
    EXPECT_EQ(n, 42u);
    EXPECT_EQ(RegLibProfileWriteDword("sub", "count", 9), 1);
    EXPECT_EQ(RegLibProfileReadDword("sub", "count", 42, &n), 1);
    EXPECT_EQ(n, 9u);

    HKEY direct = RegLibOpenKeyAccess(
        HKEY_CURRENT_USER, (std::string("Software\\") + company + "\\App\\sub").c_str(), KEY_READ);
    ASSERT_NE(direct, nullptr) << "Software\\company\\application\\subkey";
    RegLibCloseKey(direct);
    EXPECT_EQ(RegLibProfileWriteString("sub", nullptr, nullptr), 1) << "deletes the subkey";
    EXPECT_EQ(RegLibOpenKeyAccess(HKEY_CURRENT_USER,
                                  (std::string("Software\\") + company + "\\App\\sub").c_str(),
                                  KEY_READ),
              nullptr);
}

TEST_F(RegLibProfile, TheServicesRootOfTheLocalMachine)
{
    const std::string app = "KodraProfileTest " + std::to_string(GetCurrentProcessId());
    ASSERT_EQ(RegLibProfileInit(0x12, nullptr, app.c_str()), 1);
    HKEY k = RegLibProfileOpenAppKey();
    ASSERT_NE(k, nullptr);
    RegLibCloseKey(k);
    const std::string where = "System\\CurrentControlSet\\Services\\" + app;
    HKEY direct = RegLibOpenKeyAccess(HKEY_LOCAL_MACHINE, where.c_str(), KEY_READ);
    EXPECT_NE(direct, nullptr);
    if (direct) RegLibCloseKey(direct);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, where.c_str());
    EXPECT_EQ(RegLibProfileSetRoot(0x22), 1);
}

}  // namespace
