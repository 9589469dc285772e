#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "CnfData.h"
#include "RegValues.h"
#include "WizardTestKit.h"

namespace {

using wizardtest::DeleteKeyTree;
using wizardtest::KeyExists;
using wizardtest::RestrictKey;

const std::string kServices = "SYSTEM\\CurrentControlSet\\Services\\";

// A parameters key of its own for one test, removed before and after.
class ParamsKey {
public:
    explicit ParamsKey(const std::string& service) : service_(service)
    {
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kServices + service_);
    }
    ~ParamsKey()
    {
        if (key_) RegCloseKey(key_);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kServices + service_);
    }
    HKEY Create()
    {
        if (!key_)
            RegCreateKeyA(HKEY_LOCAL_MACHINE, (kServices + service_ + "\\Parameters").c_str(), &key_);
        return key_;
    }
    void Dword(const char* name, DWORD value)
    {
        RegSetValueExA(Create(), name, 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), sizeof value);
    }
    void Raw(const char* name, DWORD type, const void* data, DWORD size)
    {
        RegSetValueExA(Create(), name, 0, type, static_cast<const BYTE*>(data), size);
    }
    void Text(const char* name, const std::string& value, DWORD type = REG_SZ)
    {
        Raw(name, type, value.c_str(), static_cast<DWORD>(value.size() + 1));
    }
    bool ReadDword(const char* name, DWORD& out)
    {
        DWORD type = 0, size = sizeof out;
        return RegQueryValueExA(Create(), name, nullptr, &type, reinterpret_cast<BYTE*>(&out),
                                &size) == ERROR_SUCCESS &&
               type == REG_DWORD;
    }
    // The stored bytes of a REG_SZ value, its terminator included; "<missing>" or
    // "<type n>" otherwise.
    std::string ReadText(const char* name)
    {
        char buffer[512];
        DWORD type = 0, size = sizeof buffer;
        if (RegQueryValueExA(Create(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                             &size) != ERROR_SUCCESS)
            return "<missing>";
        if (type != REG_SZ) return "<type " + std::to_string(type) + ">";
        return std::string(buffer, size);
    }
    const std::string& Service() const { return service_; }

private:
    std::string service_;
    HKEY key_ = nullptr;
};

std::string InFolder(const char* name) { return wizardtest::WizardFolder() + "\\" + name; }

TEST(ReadServiceParameters, WithoutAKeyTheRecordHoldsTheDefaults)
{
    ParamsKey key("WzParamsNoKey");
    CCnfData record;
    record.ListenIP = "kept";
    record.ListenIP.Empty();
    EXPECT_FALSE(ReadServiceParameters(record, key.Service().c_str()));
    EXPECT_EQ(6003u, record.Port);
    EXPECT_EQ(961u, record.MessagePort);
    EXPECT_STREQ("", record.ListenIP);
    EXPECT_EQ(0u, record.InstallationMode);
    EXPECT_EQ(0u, record.WizardMode);
    EXPECT_EQ(InFolder("shutdown.bat"), record.ExecutePrg.GetString());
    EXPECT_EQ(InFolder("alive.bat"), record.AlivePrg.GetString());
    EXPECT_EQ(InFolder("ShutdownSuppressed.bat"), record.RedundancyBatchFile.GetString());
    EXPECT_EQ(512u, record.LogFileMaxKB);
    EXPECT_EQ(1800u, record.VelMorCheckIntervallSec);
    EXPECT_EQ(100u, record.VelMorCheckConnectRetries);
    EXPECT_EQ(3u, record.ExtraTimeMinutes);
    EXPECT_EQ(1u, record.AddrModified);
    EXPECT_EQ(-1, record.RedundancyLevel);
    EXPECT_STREQ("0", record.SSL);
    EXPECT_EQ(0, record.Addr.GetSize());
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kServices + key.Service()));
}

TEST(ReadServiceParameters, ResetKeepsListenIpAndTheRedundancyFile)
{
    CCnfData record;
    record.ListenIP = "10.1.1.1";
    record.RedundancyBatchFile = "x.bat";
    record.AddrModified = 0;
    record.Addr.Add("a");
    record.Addr_Checked[3] = 1;
    record.RedundancyLevel = 2;
    record.Reset();
    EXPECT_STREQ("10.1.1.1", record.ListenIP);
    EXPECT_STREQ("x.bat", record.RedundancyBatchFile);
    EXPECT_EQ(0u, record.AddrModified);
    EXPECT_EQ(0, record.Addr.GetSize());
    EXPECT_EQ(0, record.Addr_Checked[3]);
    EXPECT_EQ(-1, record.RedundancyLevel);
}

TEST(ReadServiceParameters, ListenIpOfAnExistingKey)
{
    struct Case {
        const char* stored;  // nullptr: no value
        const char* read;
    } cases[] = {{nullptr, "127.0.0.1"}, {"", "127.0.0.1"}, {"   ", "   "}, {"10.0.0.2", "10.0.0.2"}};
    for (const Case& c : cases) {
        ParamsKey key("WzParamsListen");
        key.Dword("Port", 7000);
        if (c.stored) key.Text("ListenIP", c.stored);
        CCnfData record;
        EXPECT_TRUE(ReadServiceParameters(record, key.Service().c_str()));
        EXPECT_STREQ(c.read, record.ListenIP) << (c.stored ? c.stored : "(none)");
    }
}

TEST(ReadServiceParameters, TakesOnlyValuesOfTheExpectedType)
{
    ParamsKey key("WzParamsTypes");
    key.Text("Port", "7000");                       // a text where a number belongs
    key.Dword("MessagePort", 0);                    // 0 means the default
    WORD shortNumber = 9;
    key.Raw("LogFileMaxKB", REG_DWORD, &shortNumber, sizeof shortNumber);  // not 4 bytes
    key.Dword("VelMorCheckUsesTraps", 5);
    key.Text("ExecutePrg", "%TEMP%\\x.bat", REG_EXPAND_SZ);
    key.Raw("AlivePrg", REG_SZ, "C:\\no-terminator.bat", 20);  // stored without its zero
    DWORD number = 4;
    key.Raw("SSL", REG_DWORD, &number, sizeof number);
    key.Dword("InstallationMode", 1);
    key.Dword("RedundancyLevel", static_cast<DWORD>(-1));
    key.Dword("ExtraTimeMinutes", 9);

    CCnfData record;
    ASSERT_TRUE(ReadServiceParameters(record, key.Service().c_str()));
    EXPECT_EQ(6003u, record.Port);
    EXPECT_EQ(961u, record.MessagePort);
    EXPECT_EQ(512u, record.LogFileMaxKB);
    EXPECT_TRUE(record.VelMorCheckUsesTraps);
    EXPECT_STREQ("%TEMP%\\x.bat", record.ExecutePrg);
    EXPECT_STREQ("C:\\no-terminator.bat", record.AlivePrg);
    EXPECT_EQ(20, record.AlivePrg.GetLength());
    EXPECT_STREQ("0", record.SSL);
    EXPECT_EQ(1u, record.InstallationMode);
    EXPECT_EQ(1u, record.WizardMode);
    EXPECT_EQ(-1, record.RedundancyLevel);
    EXPECT_EQ(9u, record.ExtraTimeMinutes);

    // Written back, the expanded-string value is a plain REG_SZ and traps are 1.
    ASSERT_TRUE(WriteServiceParameters(record, false, key.Service().c_str()));
    EXPECT_EQ(std::string("%TEMP%\\x.bat") + '\0', key.ReadText("ExecutePrg"));
    DWORD traps = 0;
    ASSERT_TRUE(key.ReadDword("VelMorCheckUsesTraps", traps));
    EXPECT_EQ(1u, traps);
}

TEST(ReadServiceParameters, FlagsStayWithTheirAddressesWhenTheListClosesUp)
{
    ParamsKey key("WzParamsAddr");
    key.Text("Addr1", "  10.0.0.1  ");
    key.Dword("Addr_Checked1", 1);
    key.Dword("Addr_Checked2", 1);  // its address is missing: the flag goes with it
    key.Text("Addr3", "host.example");
    key.Dword("Addr_Checked3", 0x7FFF0001);  // low 16 bits 1
    key.Text("Addr4", "   ");  // blank: dropped with its flag
    key.Dword("Addr_Checked4", 1);
    key.Text("Addr5", "10.0.0.5");
    key.Dword("Addr_Checked5", 0);
    key.Text("Addr6", "10.0.0.6");
    key.Text("Addr_Checked6", "1");  // another type counts as 0
    key.Text("Addr7", "10.0.0.7");
    key.Dword("Addr_Checked7", 0xFFFF);

    CCnfData record;
    ASSERT_TRUE(ReadServiceParameters(record, key.Service().c_str()));
    ASSERT_EQ(5, record.Addr.GetSize());
    const char* addresses[] = {"10.0.0.1", "host.example", "10.0.0.5", "10.0.0.6", "10.0.0.7"};
    const short flags[] = {1, 1, 0, 0, -1};
    for (int i = 0; i < 5; ++i) {
        EXPECT_STREQ(addresses[i], record.Addr.GetAt(i)) << i;
        EXPECT_EQ(flags[i], record.Addr_Checked[i]) << i;
    }
    for (int i = 5; i < kMaxAddresses; ++i) EXPECT_EQ(0, record.Addr_Checked[i]) << i;

    // Written back without gaps, each flag beside its address; -1 as 32 bits.
    ASSERT_TRUE(WriteServiceParameters(record, false, key.Service().c_str()));
    EXPECT_EQ(std::string("host.example") + '\0', key.ReadText("Addr2"));
    DWORD flag = 0;
    ASSERT_TRUE(key.ReadDword("Addr_Checked2", flag));
    EXPECT_EQ(1u, flag);
    ASSERT_TRUE(key.ReadDword("Addr_Checked5", flag));
    EXPECT_EQ(0xFFFFFFFFu, flag);
    EXPECT_EQ(std::string(1, '\0'), key.ReadText("Addr6"));
}

CCnfData ClientRecord(int addresses)
{
    CCnfData record;
    record.SetDefaults();
    record.ListenIP = "0.0.0.0";
    for (int i = 0; i < addresses; ++i) {
        record.Addr.Add((" 10.0.1." + std::to_string(i + 1) + " ").c_str());
        record.Addr_Checked[i] = static_cast<short>(i % 2);
        record.Velmor.Add(("10.0.1." + std::to_string(i + 1)).c_str());
    }
    record.VelMorCheckUsesTraps = true;
    record.VelMorCheckAlive = 1;
    record.RedundancyEnabled = 1;
    record.RedundancyLevel = 2;
    record.SSL = "1;x";
    return record;
}

TEST(WriteServiceParameters, ClientWriteHoldsEveryValue)
{
    ParamsKey key("WzParamsClient");
    CCnfData record = ClientRecord(2);
    record.ExtraTimeMinutes = 7;
    ASSERT_TRUE(WriteServiceParameters(record, false, key.Service().c_str()));

    struct Number {
        const char* name;
        DWORD value;
    } numbers[] = {{"Port", 6003},
                   {"MessagePort", 961},
                   {"CmdTray", 0},
                   {"ExtraTimeMinutes", 0},
                   {"VelMorCheckIntervallSec", 1800},
                   {"VelMorCheckConnectRetries", 100},
                   {"VelMorCheckUsesTraps", 1},
                   {"VelMorCheckRetries", 0},
                   {"InstallationMode", 2},
                   {"LogFileMaxKB", 512},
                   {"RedundancyEnabled", 1},
                   {"RedundancyLevel", 2},
                   {"RedundancyBatchSuppress", 0},
                   {"VelMorCheckAlive", 1},
                   {"Addr_Checked1", 0},
                   {"Addr_Checked2", 1},
                   {"Addr_Checked30", 0}};
    for (const Number& n : numbers) {
        DWORD value = 12345;
        EXPECT_TRUE(key.ReadDword(n.name, value)) << n.name;
        EXPECT_EQ(n.value, value) << n.name;
    }
    struct Text {
        const char* name;
        std::string value;
    } texts[] = {{"ListenIP", "0.0.0.0"},
                 {"ExecutePrg", InFolder("shutdown.bat")},
                 {"AlivePrg", InFolder("alive.bat")},
                 {"LogFileTxt", "WzParamsClient.log"},
                 {"Addr1", "10.0.1.1"},
                 {"Addr2", "10.0.1.2"},
                 {"Addr3", ""},
                 {"Addr30", ""},
                 {"RedundancyBatchFile", InFolder("ShutdownSuppressed.bat")},
                 {"SSL", "1;x"},
                 {"Velmor1", "10.0.1.1"},
                 {"Velmor30", ""}};
    for (const Text& t : texts) EXPECT_EQ(t.value + '\0', key.ReadText(t.name)) << t.name;
    EXPECT_EQ("<missing>", key.ReadText("Addr31"));
}

TEST(WriteServiceParameters, ShorterListOverwritesEveryPairOfALongerOne)
{
    ParamsKey key("WzParamsPairs");
    CCnfData longList = ClientRecord(kMaxAddresses);
    for (short& flag : longList.Addr_Checked) flag = 1;
    ASSERT_TRUE(WriteServiceParameters(longList, false, key.Service().c_str()));
    EXPECT_EQ(std::string("10.0.1.30") + '\0', key.ReadText("Addr30"));

    CCnfData shortList = ClientRecord(1);
    ASSERT_TRUE(WriteServiceParameters(shortList, false, key.Service().c_str()));
    for (int n = 2; n <= kMaxAddresses; ++n) {
        std::string name = "Addr" + std::to_string(n);
        EXPECT_EQ(std::string(1, '\0'), key.ReadText(name.c_str())) << name;
        DWORD flag = 7;
        std::string flagName = "Addr_Checked" + std::to_string(n);
        EXPECT_TRUE(key.ReadDword(flagName.c_str(), flag));
        EXPECT_EQ(0u, flag) << flagName;
    }
    CCnfData readBack;
    ASSERT_TRUE(ReadServiceParameters(readBack, key.Service().c_str()));
    EXPECT_EQ(1, readBack.Addr.GetSize());
}

TEST(WriteServiceParameters, ServerWriteAfterAClientWrite)
{
    ParamsKey key("WzParamsServer");
    ASSERT_TRUE(WriteServiceParameters(ClientRecord(3), false, key.Service().c_str()));
    CCnfData server = ClientRecord(1);
    server.Velmor.RemoveAll();
    server.ExtraTimeMinutes = 5;
    ASSERT_TRUE(WriteServiceParameters(server, true, key.Service().c_str()));

    EXPECT_EQ(std::string(1, '\0'), key.ReadText("ExecutePrg"));
    EXPECT_EQ(std::string(1, '\0'), key.ReadText("AlivePrg"));
    EXPECT_EQ(std::string("10.0.1.3") + '\0', key.ReadText("Velmor3"));  // left from the client
    EXPECT_EQ(std::string(1, '\0'), key.ReadText("Addr2"));
    struct Number {
        const char* name;
        DWORD value;
    } numbers[] = {{"InstallationMode", 1},       {"ExtraTimeMinutes", 5},
                   {"VelMorCheckIntervallSec", 0}, {"VelMorCheckConnectRetries", 0},
                   {"VelMorCheckUsesTraps", 0},    {"LogFileMaxKB", 0},
                   {"RedundancyEnabled", 1}};
    for (const Number& n : numbers) {
        DWORD value = 12345;
        EXPECT_TRUE(key.ReadDword(n.name, value)) << n.name;
        EXPECT_EQ(n.value, value) << n.name;
    }
    CCnfData readBack;
    ASSERT_TRUE(ReadServiceParameters(readBack, key.Service().c_str()));
    EXPECT_EQ(1u, readBack.WizardMode);
    EXPECT_STREQ("", readBack.ExecutePrg);
}

TEST(WriteServiceParameters, ValuesThatCannotBeWrittenMakeItFail)
{
    ParamsKey key("WzParamsReadOnly");
    ASSERT_TRUE(RestrictKey(key.Create(), true));
    CCnfData record;
    record.SetDefaults();
    // The key still opens (for reading), so every value is tried and fails.
    EXPECT_FALSE(WriteServiceParameters(record, false, key.Service().c_str()));
    EXPECT_FALSE(WriteServiceParameters(record, true, key.Service().c_str()));
    EXPECT_EQ("<missing>", key.ReadText("LogFileTxt"));
    ASSERT_TRUE(RestrictKey(key.Create(), false));
    EXPECT_TRUE(WriteServiceParameters(record, false, key.Service().c_str()));
}

TEST(ServiceParameters, UnusableNamesTouchNothing)
{
    const std::string tooLong(kMaxServiceNameLength + 1, 'n');
    const char* names[] = {"", "   ", "WzBad\\Sub", "WzBad/Sub", "WzBad\"Q", "WzBad\tTab",
                           "WzBad\x7f", tooLong.c_str()};
    for (const char* name : names) {
        CCnfData record;
        record.SetDefaults();
        EXPECT_FALSE(WriteServiceParameters(record, false, name)) << name;
        EXPECT_FALSE(ReadServiceParameters(record, name)) << name;
        EXPECT_FALSE(DeleteServiceRegistryKeys(name)) << name;
    }
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kServices + "WzBad"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kServices + tooLong));

    // Blanks at the ends of a name are trimmed for the key, as before.
    ParamsKey key("WzTrailing");
    CCnfData record;
    record.SetDefaults();
    EXPECT_TRUE(WriteServiceParameters(record, false, "WzTrailing  "));
    EXPECT_EQ(std::string("WzTrailing.log") + '\0', key.ReadText("LogFileTxt"));

    EXPECT_TRUE(IsValidServiceName(std::string(kMaxServiceNameLength, 'w').c_str()));
    // Wine's narrow registry calls take paths of at most 260 characters, which
    // leaves 215 for the name in the parameters key.
    const std::string longName(215, 'w');
    ParamsKey longKey(longName);
    EXPECT_TRUE(WriteServiceParameters(record, false, longName.c_str()));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kServices + longName + "\\Parameters"));
}

TEST(DeleteServiceRegistryKeys, ServiceKeyGoesOnlyWithoutAService)
{
    CCnfData record;
    record.SetDefaults();
    {
        ParamsKey key("WzDeleteNoService");
        ASSERT_TRUE(WriteServiceParameters(record, true, key.Service().c_str()));
        EXPECT_TRUE(DeleteServiceRegistryKeys(key.Service().c_str()));
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kServices + key.Service()));
        EXPECT_FALSE(DeleteServiceRegistryKeys(key.Service().c_str()));  // nothing left
    }
    {
        wizardtest::ScopedService service("WzDeleteWithService");
        ASSERT_TRUE(wizardtest::CreateDoubleService(service.Name()));
        ASSERT_TRUE(WriteServiceParameters(record, false, service.c_str()));
        EXPECT_TRUE(DeleteServiceRegistryKeys(service.c_str()));
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kServices + service.Name() + "\\Parameters"));
        EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kServices + service.Name()));
        EXPECT_TRUE(wizardtest::ServicePresent(service.Name()));
    }
}

TEST(IsInstallModeSwitch, OnlyBetweenAnInstalledClientAndServer)
{
    struct Case {
        DWORD installed, chosen;
        bool expected;
    } cases[] = {{2, 1, true},  {1, 2, true},  {1, 1, false}, {2, 2, false}, {0, 1, false},
                 {2, 3, false}, {3, 1, false}, {1, 0, false}, {0, 2, false}};
    for (const Case& c : cases) {
        CCnfData record;
        record.InstallationMode = c.installed;
        EXPECT_EQ(c.expected, IsInstallModeSwitch(record, c.chosen)) << c.installed << "->" << c.chosen;
    }
}

TEST(RegistryValues, ReadsAreTypedAndLeaveTheOutValueOnFailure)
{
    ParamsKey key("WzRegValues");
    HKEY h = key.Create();
    std::string big(8191, 'b');
    key.Raw("Big", REG_SZ, big.c_str(), static_cast<DWORD>(big.size() + 1));  // fills the buffer
    std::string tooBig(8193, 'b');
    key.Raw("TooBig", REG_SZ, tooBig.data(), static_cast<DWORD>(tooBig.size()));
    key.Text("Multi", "a", REG_MULTI_SZ);
    key.Dword("Number", 42);

    CString text = "unchanged";
    EXPECT_TRUE(RegReadString(h, "Big", text));
    EXPECT_EQ(8191, text.GetLength());
    text = "unchanged";
    EXPECT_FALSE(RegReadString(h, "TooBig", text));
    EXPECT_FALSE(RegReadString(h, "Multi", text));
    EXPECT_FALSE(RegReadString(h, "Number", text));
    EXPECT_FALSE(RegReadString(h, "Missing", text));
    EXPECT_STREQ("unchanged", text);

    DWORD number = 7;
    EXPECT_FALSE(RegReadDword(h, "Big", number));
    EXPECT_FALSE(RegReadDword(h, "Missing", number));
    EXPECT_EQ(7u, number);
    EXPECT_TRUE(RegReadDword(h, "Number", number));
    EXPECT_EQ(42u, number);

    EXPECT_FALSE(RegWriteString(h, nullptr, "x", REG_SZ));
    EXPECT_FALSE(RegWriteString(h, "x", nullptr, REG_SZ));
    EXPECT_FALSE(RegWriteDword(h, nullptr, 1));
    EXPECT_TRUE(RegWriteString(h, "Written", "abc", REG_SZ));
    EXPECT_EQ(std::string("abc") + '\0', key.ReadText("Written"));
}

}  // namespace
