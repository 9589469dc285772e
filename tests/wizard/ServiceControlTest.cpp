#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CnfData.h"
#include "ServiceControl.h"
#include "WizardTestKit.h"
#include "classlib_testkit.h"
#include "resource.h"
#include "testlib.h"

namespace {

using wizardtest::EventRecorder;
using wizardtest::Loaded;
using classlib::testkit::MessageBoxRecorder;
using wizardtest::ReadKodraLog;
using wizardtest::ScopedEnv;
using wizardtest::ScopedService;

std::string ErrorText(DWORD code)
{
    char text[1024];
    return GetSystemErrorText(code, text, sizeof text) ? text : "<none>";
}

std::string Call(const char* arguments)
{
    return "call \"" + wizardtest::KodraProgramPath() + "\" " + arguments;
}

std::string Formatted(UINT id, const std::string& a, const std::string& b = std::string())
{
    CString text;
    if (b.empty())
        text.Format(Loaded(id).c_str(), a.c_str());
    else
        text.Format(Loaded(id).c_str(), a.c_str(), b.c_str());
    return text.GetString();
}

// Installs the service through the double itself, with its switches, and starts it.
void InstallRunning(const std::string& name, const char* stopMode = nullptr)
{
    ScopedEnv stop("KODRA_DOUBLE_STOP", stopMode);
    testlib::RunResult r = testlib::Run("\"" + wizardtest::KodraProgramPath() + "\" -i -name " + name);
    ASSERT_TRUE(r.ended && r.exitCode == 0);
    ASSERT_TRUE(testlib::StartTestService(name));
}

class ServiceTest : public testing::Test {
protected:
    void SetUp() override { wizardtest::ClearKodraLog(); }
    MessageBoxRecorder boxes_;
    EventRecorder events_;
};

TEST_F(ServiceTest, NewServiceRunsOnlyTheInstallLine)
{
    ScopedService service("WzInstFresh");
    ASSERT_TRUE(InstallService("KODRA", "KODRA.EXE", service.c_str()));
    EXPECT_EQ(std::vector<std::string>{Call("-i -name WzInstFresh")}, ReadKodraLog());
    EXPECT_TRUE(boxes_.Boxes().empty());
    ASSERT_EQ(1u, EventRecorder::Events().size());
    const EventRecorder::Event& e = EventRecorder::Events()[0];
    EXPECT_EQ("WzInstFresh", e.source);
    EXPECT_EQ(EVENTLOG_INFORMATION_TYPE, e.type);
    EXPECT_EQ(100u, e.id);
    EXPECT_EQ(std::vector<std::string>{"WzInstFresh"}, e.strings);

    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                            "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\KODRA", 0,
                            KEY_READ, &key));
    char file[MAX_PATH] = "";
    DWORD type = 0, size = sizeof file;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "EventMessageFile", nullptr, &type,
                                              reinterpret_cast<BYTE*>(file), &size));
    EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), type);
    EXPECT_EQ(wizardtest::KodraProgramPath(), file);
    DWORD types = 0;
    size = sizeof types;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "TypesSupported", nullptr, &type,
                                              reinterpret_cast<BYTE*>(&types), &size));
    EXPECT_EQ(7u, types);
    RegCloseKey(key);

    EXPECT_EQ(static_cast<DWORD>(SERVICE_STOPPED), wizardtest::ServiceState(service.Name()));
    EXPECT_EQ(0u, StartServiceIfStopped(service.c_str()));
    ASSERT_TRUE(testlib::WaitFor(
        [&] { return wizardtest::ServiceState(service.Name()) == SERVICE_RUNNING; }));
    EXPECT_TRUE(IsServiceActive(service.c_str()));
    EXPECT_EQ(0u, StartServiceIfStopped(service.c_str()));  // running: no second start
    ASSERT_TRUE(testlib::WaitFor([&] { return ReadKodraLog().size() >= 2; }));
    EXPECT_EQ("service start WzInstFresh", ReadKodraLog().back());
    EXPECT_EQ(2u, ReadKodraLog().size());
}

TEST_F(ServiceTest, RunningServiceIsStoppedThenRemovedThenInstalled)
{
    ScopedService service("WzInstRunning");
    InstallRunning(service.Name());
    wizardtest::ClearKodraLog();
    ASSERT_TRUE(InstallService("KODRA", "KODRA.EXE", service.c_str()));
    std::vector<std::string> expected = {"service stop-request WzInstRunning",
                                         "service stopped WzInstRunning",
                                         Call("-u -name WzInstRunning"),
                                         Call("-i -name WzInstRunning")};
    EXPECT_EQ(expected, ReadKodraLog());
    EXPECT_TRUE(boxes_.Boxes().empty());
    EXPECT_TRUE(wizardtest::ServicePresent(service.Name()));
}

TEST_F(ServiceTest, StoppedServiceIsRemovedThenInstalled)
{
    ScopedService service("Wz Inst Stopped");
    testlib::RunResult r =
        testlib::Run("\"" + wizardtest::KodraProgramPath() + "\" -i -name \"Wz Inst Stopped\"");
    ASSERT_TRUE(r.ended && r.exitCode == 0);
    wizardtest::ClearKodraLog();
    ASSERT_TRUE(InstallService("KODRA", "KODRA.EXE", service.c_str()));
    // A name with a blank stays one argument.
    std::vector<std::string> expected = {Call("-u -name \"Wz Inst Stopped\""),
                                         Call("-i -name \"Wz Inst Stopped\"")};
    EXPECT_EQ(expected, ReadKodraLog());
    EXPECT_TRUE(wizardtest::ServicePresent(service.Name()));
}

TEST_F(ServiceTest, InstallThatCreatesNoServiceIsAFailure)
{
    ScopedService service("WzInstNothing");
    ScopedEnv fail("KODRA_DOUBLE_INSTALL", "fail");
    EXPECT_FALSE(InstallService("KODRA", "KODRA.EXE", service.c_str()));
    EXPECT_EQ(std::vector<std::string>{Call("-i -name WzInstNothing")}, ReadKodraLog());
    EXPECT_EQ(std::vector<std::string>{Formatted(IDS_SERVICE_INSTALL_FAILED,
                                                 ErrorText(ERROR_SERVICE_DOES_NOT_EXIST))},
              boxes_.Texts());
    EXPECT_TRUE(EventRecorder::Events().empty());
}

TEST_F(ServiceTest, ServiceThatRemovalLeavesInPlaceIsNotInstalledOver)
{
    ScopedService service("WzInstStays");
    ASSERT_TRUE(wizardtest::CreateDoubleService(service.Name()));
    ScopedEnv fail("KODRA_DOUBLE_UNINSTALL", "fail");
    EXPECT_FALSE(InstallService("KODRA", "KODRA.EXE", service.c_str()));
    EXPECT_EQ(std::vector<std::string>{Call("-u -name WzInstStays")}, ReadKodraLog());
    EXPECT_EQ(std::vector<std::string>{Loaded(IDS_SERVICE_CANNOT_INSTALL)}, boxes_.Texts());
    EXPECT_TRUE(EventRecorder::Events().empty());
}

TEST_F(ServiceTest, ServiceThatRefusesToStopEndsTheInstallation)
{
    ScopedService service("WzInstRefuse");
    InstallRunning(service.Name(), "refuse");
    wizardtest::ClearKodraLog();
    EXPECT_FALSE(InstallService("KODRA", "KODRA.EXE", service.c_str()));
    ASSERT_EQ(1u, boxes_.Boxes().size());
    EXPECT_EQ(Formatted(IDS_SERVICE_STOP_FAILED, "WzInstRefuse",
                        ErrorText(ERROR_INVALID_SERVICE_CONTROL)),
              boxes_.Boxes()[0].text);
    EXPECT_EQ("KODRA", boxes_.Boxes()[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONINFORMATION), boxes_.Boxes()[0].type);
    EXPECT_TRUE(ReadKodraLog().empty());  // neither "-u" nor "-i"

    boxes_.SetAnswer(IDOK);
    EXPECT_FALSE(UninstallService(service.c_str()));
    ASSERT_EQ(1u, EventRecorder::Events().size());
    EXPECT_EQ(102u, EventRecorder::Events()[0].id);
    EXPECT_EQ(EVENTLOG_ERROR_TYPE, EventRecorder::Events()[0].type);
    EXPECT_TRUE(wizardtest::ServicePresent(service.Name()));
}

TEST_F(ServiceTest, AnEventSourceThatCannotBeWrittenFailsTheInstallation)
{
    ScopedService service("WzInstNoSource");
    const std::string sourceKey =
        "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\WzLockedSource";
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_LOCAL_MACHINE, sourceKey.c_str(), &key));
    ASSERT_TRUE(wizardtest::RestrictKey(key, true));
    bool installed = InstallService("WzLockedSource", "KODRA.EXE", service.c_str());
    wizardtest::RestrictKey(key, false);
    RegCloseKey(key);
    wizardtest::DeleteKeyTree(HKEY_LOCAL_MACHINE, sourceKey);

    EXPECT_FALSE(installed);
    EXPECT_EQ(std::vector<std::string>{Formatted(IDS_SERVICE_INSTALL_FAILED,
                                                 ErrorText(ERROR_ACCESS_DENIED))},
              boxes_.Texts());
    EXPECT_TRUE(EventRecorder::Events().empty());
}

TEST_F(ServiceTest, StopThatDoesNotFinishTimesOut)
{
    ScopedService service("WzStopIgnored");
    InstallRunning(service.Name(), "ignore");
    DWORD start = GetTickCount();
    EXPECT_EQ(static_cast<DWORD>(ERROR_TIMEOUT), StopServiceWait(service.c_str(), 1));
    EXPECT_GE(GetTickCount() - start, 1000u);
    EXPECT_TRUE(IsServiceActive(service.c_str()));
}

TEST_F(ServiceTest, MissingProgramIsReportedAtTheStartAndAtInstall)
{
    ScopedService service("WzInstNoProgram");
    std::string program = wizardtest::KodraProgramPath();
    std::string aside = wizardtest::WizardFolder() + "\\aside.exe";
    ASSERT_TRUE(MoveFileA(program.c_str(), aside.c_str()));

    CString base;
    EXPECT_FALSE(CheckServiceProgram(base, false));
    EXPECT_STREQ("KODRA", base);
    EXPECT_TRUE(boxes_.Boxes().empty());
    EXPECT_FALSE(CheckServiceProgram(base, true));
    ASSERT_EQ(1u, boxes_.Boxes().size());
    EXPECT_EQ("The KODRA program\r\n" + program + "\r\ndoes not exist!", boxes_.Boxes()[0].text);
    EXPECT_EQ("Warning", boxes_.Boxes()[0].caption);

    EXPECT_FALSE(InstallService("KODRA", "KODRA.EXE", service.c_str()));
    ASSERT_EQ(2u, boxes_.Boxes().size());
    EXPECT_EQ(Formatted(IDS_SERVICE_INSTALL_FAILED, ErrorText(ERROR_FILE_NOT_FOUND)),
              boxes_.Boxes()[1].text);

    // An existing service whose removal line cannot start is reported too.
    ASSERT_TRUE(wizardtest::CreateDoubleService(service.Name()));
    EXPECT_FALSE(InstallService("KODRA", "KODRA.EXE", service.c_str()));
    ASSERT_EQ(3u, boxes_.Boxes().size());
    EXPECT_EQ(boxes_.Boxes()[1].text, boxes_.Boxes()[2].text);
    EXPECT_TRUE(ReadKodraLog().empty());

    ASSERT_TRUE(MoveFileA(aside.c_str(), program.c_str()));
    EXPECT_TRUE(CheckServiceProgram(base, true));
    EXPECT_EQ(3u, boxes_.Boxes().size());
}

TEST_F(ServiceTest, UnusableServiceNamesAreRefusedBeforeAnythingRuns)
{
    const std::string tooLong(kMaxServiceNameLength + 1, 'n');
    const char* names[] = {"", "Wz\\Sub", "Wz/Sub", "Wz\"Quote", "Wz\rCr", " WzLead", "WzTrail ",
                           tooLong.c_str()};
    for (const char* name : names) {
        MessageBoxRecorder boxes;
        EXPECT_FALSE(InstallService("KODRA", "KODRA.EXE", name)) << name;
        ASSERT_EQ(1u, boxes.Boxes().size()) << name;
        EXPECT_NE(std::string::npos, boxes.Boxes()[0].text.find("cannot be used")) << name;
    }
    EXPECT_TRUE(ReadKodraLog().empty());
    EXPECT_TRUE(EventRecorder::Events().empty());
}

TEST_F(ServiceTest, UninstallStopsAndDeletesTheService)
{
    ScopedService service("WzUninstall");
    InstallRunning(service.Name());
    CCnfData record;
    record.SetDefaults();
    ASSERT_TRUE(WriteServiceParameters(record, false, service.c_str()));
    EXPECT_TRUE(UninstallService(service.c_str()));
    EXPECT_FALSE(wizardtest::ServicePresent(service.Name()));
    ASSERT_EQ(1u, EventRecorder::Events().size());
    EXPECT_EQ(101u, EventRecorder::Events()[0].id);
    EXPECT_EQ(EVENTLOG_INFORMATION_TYPE, EventRecorder::Events()[0].type);
    EXPECT_TRUE(boxes_.Boxes().empty());
    DeleteServiceRegistryKeys(service.c_str());  // the service manager may have taken them
    EXPECT_FALSE(wizardtest::KeyExists(HKEY_LOCAL_MACHINE,
                                       "SYSTEM\\CurrentControlSet\\Services\\WzUninstall"));
}

TEST_F(ServiceTest, UninstallOfAMissingServiceReportsTheOpenFailure)
{
    ScopedService service("WzUninstallMissing");
    EXPECT_FALSE(UninstallService(service.c_str()));
    EXPECT_EQ(std::vector<std::string>{Formatted(IDS_SERVICE_OPEN_FAILED,
                                                 ErrorText(ERROR_SERVICE_DOES_NOT_EXIST))},
              boxes_.Texts());
    ASSERT_EQ(1u, EventRecorder::Events().size());
    EXPECT_EQ(102u, EventRecorder::Events()[0].id);
}

TEST(ServiceCalls, ArgumentsAndMissingServices)
{
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), StopServiceWait("WzAnything", 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), StopServiceWait("", 5));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), StartServiceIfStopped(""));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST), StopServiceWait("WzNoSuch", 1));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST), StartServiceIfStopped("WzNoSuch"));
    EXPECT_FALSE(ServiceExists("WzNoSuch"));
    EXPECT_FALSE(IsServiceActive("WzNoSuch"));
    EXPECT_TRUE(WaitServiceDeleted("WzNoSuch", 1));
}

TEST(SystemErrorText, SystemNetworkAndUnknownCodes)
{
    char text[1024];
    ASSERT_TRUE(GetSystemErrorText(ERROR_ACCESS_DENIED, text, sizeof text));
    std::string full = text;
    EXPECT_FALSE(full.empty());
    char small[10];
    ASSERT_TRUE(GetSystemErrorText(ERROR_ACCESS_DENIED, small, sizeof small));
    EXPECT_EQ(full.substr(0, 9), small);
    EXPECT_FALSE(GetSystemErrorText(ERROR_ACCESS_DENIED, nullptr, 10));
    EXPECT_FALSE(GetSystemErrorText(15999, text, sizeof text));

    MessageBoxRecorder boxes;
    ShowServiceError(15999, IDS_SERVICE_INSTALL_FAILED);
    ShowServiceError(0, IDS_SERVICE_CANNOT_DELETE);
    ShowServiceError(ERROR_ACCESS_DENIED, IDS_SERVICE_STOP_FAILED, "WzName");
    std::vector<std::string> expected = {
        "Unable to install service!\nError: Unknown Error",
        "The KODRA service cannot be deleted.\nThere is a possibility that \"Service-Control-Panel\" "
        "is open.\nPlease try again after closing \"Service-Control-Panel\".",
        "Service WzName failed to stop!\nError: " + full};
    EXPECT_EQ(expected, boxes.Texts());

    // Network codes take their texts from "netmsg.dll" beside the program.
    std::string netmsg = wizardtest::WizardFolder() + "\\netmsg.dll";
    ASSERT_TRUE(testlib::CopyInto(wizardtest::DoublesDir() + "\\netmsg_double.dll",
                                  wizardtest::WizardFolder(), "netmsg.dll"));
    EXPECT_TRUE(GetSystemErrorText(2102, text, sizeof text));
    EXPECT_STREQ("The workstation driver is not installed.\r\n", text);
    EXPECT_TRUE(GetSystemErrorText(2103, text, sizeof text));
    EXPECT_STREQ("The server could not be located.\r\n", text);
    EXPECT_TRUE(GetSystemErrorText(ERROR_ACCESS_DENIED, text, sizeof text));
    EXPECT_EQ(full, text);
    ASSERT_TRUE(DeleteFileA(netmsg.c_str()));
    EXPECT_FALSE(GetSystemErrorText(2102, text, sizeof text) &&
                 std::string(text) == "The workstation driver is not installed.\r\n");
}

}  // namespace
