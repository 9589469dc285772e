// The main wizard dialog run modally as the program runs it: the page flow of
// each mode, its buttons and titles, and the final step against the KODRA
// program double, the real service manager and the registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "KODRACFGDlg.h"
#include "WizardTestKit.h"
#include "classlib_testkit.h"
#include "resource.h"
#include "testlib.h"

namespace {

using classlib::testkit::Click;
using classlib::testkit::GetText;
using classlib::testkit::IsChecked;
using classlib::testkit::IsEnabled;
using classlib::testkit::SetText;
using wizardtest::DeleteKeyTree;
using wizardtest::KeyExists;
using wizardtest::Loaded;
using classlib::testkit::MessageBoxRecorder;
using wizardtest::WizardFolder;

const char kVelmorService[] = "SYSTEM\\CurrentControlSet\\Services\\VELMOR";
const char kVelmorParameters[] = "SYSTEM\\CurrentControlSet\\Services\\VELMOR\\Parameters";
const int kIdCheckRedundancy = 1060;  // on the alive-check page
const int kIdAddressList = 1009;      // on the address list page

std::string InFolder(const std::string& name) { return WizardFolder() + "\\" + name; }

std::string ParametersKey(const std::string& service)
{
    return "SYSTEM\\CurrentControlSet\\Services\\" + service + "\\Parameters";
}

// The one shown page, or nullptr when none or several are shown.
CDialog* ShownPage(CDialog& main)
{
    CDialog* shown = nullptr;
    int count = 0;
    for (HWND child = GetWindow(main.m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[16] = {};
        GetClassNameA(child, name, sizeof name);
        if (std::strcmp(name, "#32770") == 0 && IsWindowVisible(child)) {
            shown = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(child));
            ++count;
        }
    }
    return count == 1 ? shown : nullptr;
}

// What the user sees: page template, title, Next caption and whether Back works.
std::string Screen(CDialog& main)
{
    CDialog* page = ShownPage(main);
    CString title;
    main.GetWindowText(title);
    return std::to_string(page ? page->GetTemplateId() : 0) + " | " + title.GetString() + " | " +
           GetText(main, IDC_MAIN_NEXT).GetString() + " | " +
           (IsEnabled(main, IDC_MAIN_BACK) ? "back" : "no back");
}

std::string Screen(UINT page, const char* title, const char* next, bool back)
{
    return std::to_string(page) + " | " + title + " | " + next + " | " + (back ? "back" : "no back");
}

const char kNext[] = "Next >  ";

void Next(CDialog& main) { ASSERT_TRUE(Click(main, IDC_MAIN_NEXT)); }
void Back(CDialog& main) { ASSERT_TRUE(Click(main, IDC_MAIN_BACK)); }
CDialog& Page(CDialog& main)
{
    CDialog* page = ShownPage(main);
    EXPECT_NE(nullptr, page);
    return page ? *page : main;
}

// Lets everyone only read the key while the object lives: writes to it fail
// as they fail for a key whose access list denies them.
class ReadOnlyKey {
public:
    explicit ReadOnlyKey(const std::string& path)
    {
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_READ | WRITE_DAC,
                            nullptr, &key_, nullptr) != ERROR_SUCCESS)
            key_ = nullptr;
        restricted_ = key_ && wizardtest::RestrictKey(key_, true);
    }
    ~ReadOnlyKey()
    {
        if (restricted_) wizardtest::RestrictKey(key_, false);
        if (key_) RegCloseKey(key_);
    }
    ReadOnlyKey(const ReadOnlyKey&) = delete;
    ReadOnlyKey& operator=(const ReadOnlyKey&) = delete;
    bool Restricted() const { return restricted_; }

private:
    HKEY key_ = nullptr;
    bool restricted_ = false;
};

class WizardDialog : public testing::Test {
protected:
    WizardDialog() : service_(ServiceName()) {}

    static std::string ServiceName()
    {
        return std::string("W1Wiz") + testing::UnitTest::GetInstance()->current_test_info()->name();
    }
    void SetUp() override
    {
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kVelmorService);
        ASSERT_TRUE(testlib::WriteTextFile(InFolder("shutdown.bat"), "@echo off\r\n"));
        wizardtest::ClearKodraLog();
    }
    void TearDown() override
    {
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kVelmorService);
        for (const char* file : {"shutdown.bat", "SDSrv.bat", "message.bat"})
            DeleteFileA(InFolder(file).c_str());
    }

    void SetDword(const char* name, DWORD value)
    {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegCreateKeyA(HKEY_LOCAL_MACHINE, ParametersKey(service_.Name()).c_str(), &key));
        RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
        RegCloseKey(key);
    }
    void SetString(const char* name, const std::string& value)
    {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegCreateKeyA(HKEY_LOCAL_MACHINE, ParametersKey(service_.Name()).c_str(), &key));
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
        RegCloseKey(key);
    }
    bool ReadValue(const std::string& keyPath, const char* name, std::string& text, DWORD& number)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        BYTE data[1024] = {};
        DWORD size = sizeof data, type = 0;
        bool read = RegQueryValueExA(key, name, nullptr, &type, data, &size) == ERROR_SUCCESS;
        RegCloseKey(key);
        if (type == REG_DWORD) std::memcpy(&number, data, sizeof number);
        if (type == REG_SZ) text = reinterpret_cast<char*>(data);
        return read;
    }
    DWORD Dword(const char* name)
    {
        std::string text;
        DWORD number = 0xDEADBEEF;
        ReadValue(ParametersKey(service_.Name()), name, text, number);
        return number;
    }
    std::string VelmorString(const char* name)
    {
        std::string text = "<none>";
        DWORD number = 0;
        ReadValue(kVelmorParameters, name, text, number);
        return text;
    }
    bool ParametersExist() { return KeyExists(HKEY_LOCAL_MACHINE, ParametersKey(service_.Name())); }

    // Runs the wizard; the action drives it once it is shown.
    INT_PTR Run(const std::function<void(CDialog&)>& action)
    {
        classlib::testkit::ModalDriver driver([&](CDialog& dialog) {
            if (dynamic_cast<CKODRACFGDlg*>(&dialog)) action(dialog);
        });
        CKODRACFGDlg dialog;
        dialog.SetServiceName(service_.c_str());
        return dialog.DoModal();
    }

    wizardtest::ScopedService service_;
};

TEST_F(WizardDialog, NewComputerLeadsThroughTheClientPagesAndCancelAsks)
{
    MessageBoxRecorder boxes(IDNO);
    INT_PTR result = Run([&](CDialog& d) {
        EXPECT_EQ(Screen(IDD_MODE, "Client installation", kNext, false), Screen(d));
        EXPECT_TRUE(IsChecked(Page(d), IDC_MODE_CLIENT));
        EXPECT_EQ("KODRA ver. 4.2.0.17", std::string(GetText(d, IDC_MAIN_VERSION)));
        Next(d);
        EXPECT_EQ(Screen(IDD_ADDRLIST, "Client installation", kNext, true), Screen(d));
        Next(d);
        EXPECT_EQ(Screen(IDD_CLIENT_ALIVE, "Client installation", kNext, true), Screen(d));
        Next(d);
        EXPECT_EQ(Screen(IDD_CLIENT_SDBATCH, "Client installation", "Install", true), Screen(d));
        Back(d);
        EXPECT_EQ(Screen(IDD_CLIENT_ALIVE, "Client installation", kNext, true), Screen(d));
        Back(d);
        Back(d);
        EXPECT_EQ(Screen(IDD_MODE, "Client installation", kNext, false), Screen(d));
        EXPECT_TRUE(boxes.Texts().empty());

        ASSERT_TRUE(Click(d, IDCANCEL));
        EXPECT_EQ(std::vector<std::string>{Loaded(IDS_CANCEL_INSTALLATION)}, boxes.Texts());
        EXPECT_TRUE(IsWindowVisible(d.m_hWnd));
        boxes.SetAnswer(IDYES);
        ASSERT_TRUE(Click(d, IDCANCEL));
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(2u, boxes.Texts().size());
    EXPECT_FALSE(ParametersExist());
}

TEST_F(WizardDialog, ModeChoicesSwitchTitleAndLastPageAtOnce)
{
    MessageBoxRecorder boxes(IDYES);
    Run([&](CDialog& d) {
        ASSERT_TRUE(Click(Page(d), IDC_MODE_UNINSTALL));
        EXPECT_EQ(Screen(IDD_MODE, "Uninstall", "Uninstall", false), Screen(d));
        ASSERT_TRUE(Click(Page(d), IDC_MODE_CLIENT));
        EXPECT_EQ(Screen(IDD_MODE, "Client installation", kNext, false), Screen(d));
        ASSERT_TRUE(Click(Page(d), IDC_MODE_UNINSTALL));
        Next(d);  // nothing is installed
        EXPECT_EQ(std::vector<std::string>{Loaded(IDS_NOTHING_TO_UNINSTALL)}, boxes.Texts());
        EXPECT_EQ(Screen(IDD_MODE, "Uninstall", "Uninstall", false), Screen(d));
        ASSERT_TRUE(Click(d, IDCANCEL));  // closes without a question in uninstall mode
    });
    EXPECT_EQ(1u, boxes.Texts().size());
    EXPECT_FALSE(ParametersExist());
}

TEST_F(WizardDialog, StoredModesChooseTheStartingFlow)
{
    struct Case {
        DWORD stored;
        const char* title;
        const char* next;
        int checked;
    } cases[] = {
        {1, "Server installation", kNext, IDC_MODE_SERVER},
        {2, "Client installation", kNext, IDC_MODE_CLIENT},
        {3, "Uninstall", "Uninstall", IDC_MODE_UNINSTALL},
        {7, "Client installation", kNext, IDC_MODE_CLIENT},  // unknown: as a new configuration
    };
    for (const Case& c : cases) {
        SetDword("InstallationMode", c.stored);
        MessageBoxRecorder boxes(IDYES);
        Run([&](CDialog& d) {
            EXPECT_EQ(Screen(IDD_MODE, c.title, c.next, false), Screen(d)) << c.stored;
            EXPECT_TRUE(IsChecked(Page(d), c.checked)) << c.stored;
            ASSERT_TRUE(Click(d, IDCANCEL));
        });
    }
}

TEST_F(WizardDialog, RedundancyPageOnlyWhenEnabledOnTheAliveCheckPage)
{
    MessageBoxRecorder boxes(IDYES);
    Run([&](CDialog& d) {
        Next(d);
        Next(d);
        ASSERT_TRUE(Click(Page(d), kIdCheckRedundancy));
        Next(d);
        EXPECT_EQ(Screen(IDD_REDUNDANCY, "Client installation", kNext, true), Screen(d));
        Next(d);
        EXPECT_EQ(Screen(IDD_CLIENT_SDBATCH, "Client installation", "Install", true), Screen(d));
        Back(d);
        EXPECT_EQ(IDD_REDUNDANCY, Page(d).GetTemplateId());
        Back(d);
        EXPECT_EQ(IDD_CLIENT_ALIVE, Page(d).GetTemplateId());
        ASSERT_TRUE(Click(Page(d), kIdCheckRedundancy));
        Next(d);
        EXPECT_EQ(IDD_CLIENT_SDBATCH, Page(d).GetTemplateId());
        Back(d);
        EXPECT_EQ(IDD_CLIENT_ALIVE, Page(d).GetTemplateId());
        ASSERT_TRUE(Click(d, IDCANCEL));
    });
}

TEST_F(WizardDialog, BackStoresNothingAndEveryShowReloadsThePage)
{
    SetDword("InstallationMode", 1);
    SetString("Addr1", "10.1.1.1");
    SetDword("ExtraTimeMinutes", 9);
    MessageBoxRecorder boxes(IDYES);
    Run([&](CDialog& d) {
        Next(d);
        EXPECT_EQ(Screen(IDD_ADDRLIST, "Server installation", kNext, true), Screen(d));
        Next(d);
        EXPECT_EQ(Screen(IDD_SERVER_TIME, "Server installation", "Install", true), Screen(d));
        EXPECT_EQ("9", std::string(GetText(Page(d), IDC_ST_MINUTES)));
        SetText(Page(d), IDC_ST_MINUTES, "77");
        Back(d);
        EXPECT_EQ(Screen(IDD_ADDRLIST, "Server installation", kNext, true), Screen(d));
        Next(d);
        EXPECT_EQ("9", std::string(GetText(Page(d), IDC_ST_MINUTES)));
        SetText(Page(d), IDC_ST_MINUTES, "x");
        Next(d);  // refused: stays
        EXPECT_EQ(std::vector<std::string>{"Illegal number!"}, boxes.Texts());
        EXPECT_EQ(IDD_SERVER_TIME, Page(d).GetTemplateId());
        ASSERT_TRUE(Click(d, IDCANCEL));
    });
    EXPECT_EQ(9u, Dword("ExtraTimeMinutes"));
}

TEST_F(WizardDialog, SwitchingAServerToAClientClearsItsAddresses)
{
    SetDword("InstallationMode", 1);
    SetString("Addr1", "10.1.1.1");
    SetString("Addr2", "10.1.1.2");
    MessageBoxRecorder boxes(IDYES);
    Run([&](CDialog& d) {
        ASSERT_TRUE(Click(Page(d), IDC_MODE_CLIENT));
        Next(d);
        EXPECT_EQ(std::vector<std::string>{Loaded(IDS_SERVER_TO_CLIENT)}, boxes.Texts());
        EXPECT_EQ(Screen(IDD_ADDRLIST, "Client installation", kNext, true), Screen(d));
        EXPECT_EQ(0, SendDlgItemMessageA(Page(d).m_hWnd, kIdAddressList, LB_GETCOUNT, 0, 0));
        ASSERT_TRUE(Click(d, IDCANCEL));
    });
}

TEST_F(WizardDialog, AMissingProgramIsReportedAndLeavesTheVersionLineEmpty)
{
    std::string program = wizardtest::KodraProgramPath();
    ASSERT_TRUE(MoveFileA(program.c_str(), (program + ".away").c_str()));
    MessageBoxRecorder boxes(IDYES);
    Run([&](CDialog& d) {
        EXPECT_EQ("", std::string(GetText(d, IDC_MAIN_VERSION)));
        EXPECT_EQ(Screen(IDD_MODE, "Client installation", kNext, false), Screen(d));
        ASSERT_TRUE(Click(d, IDCANCEL));
    });
    ASSERT_TRUE(MoveFileA((program + ".away").c_str(), program.c_str()));
    ASSERT_GE(boxes.Boxes().size(), 1u);
    EXPECT_EQ("Warning", boxes.Boxes()[0].caption);
    EXPECT_NE(std::string::npos, boxes.Boxes()[0].text.find(program));
}

TEST_F(WizardDialog, ClientInstallationInstallsWritesAndStartsTheService)
{
    MessageBoxRecorder boxes(IDYES);
    INT_PTR result = Run([&](CDialog& d) {
        Next(d);
        Next(d);
        Next(d);
        SetText(Page(d), IDC_SDB_LOGSIZE, "2048");
        Next(d);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(std::vector<std::string>{Loaded(IDS_CLIENT_INSTALLED)}, boxes.Texts());
    // The wizard asks for the start and does not wait for it: the service
    // reports itself running when its own process gets that far.
    EXPECT_TRUE(testlib::WaitFor(
        [&] { return wizardtest::ServiceState(service_.Name()) == SERVICE_RUNNING; }));
    EXPECT_EQ(2u, Dword("InstallationMode"));
    EXPECT_EQ(2048u, Dword("LogFileMaxKB"));
    std::vector<std::string> calls = wizardtest::ReadKodraLog();
    ASSERT_FALSE(calls.empty());
    EXPECT_NE(std::string::npos, calls[0].find("-i -name " + service_.Name())) << calls[0];
}

TEST_F(WizardDialog, AFailedInstallationKeepsTheLastPageAndWritesNothing)
{
    wizardtest::ScopedEnv failing("KODRA_DOUBLE_INSTALL", "fail");
    MessageBoxRecorder boxes(IDYES);
    INT_PTR result = Run([&](CDialog& d) {
        Next(d);
        Next(d);
        Next(d);
        Next(d);
        EXPECT_EQ(1u, boxes.Texts().size());
        EXPECT_EQ(Screen(IDD_CLIENT_SDBATCH, "Client installation", "Install", true), Screen(d));
        ASSERT_TRUE(Click(d, IDCANCEL));
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_FALSE(ParametersExist());
    EXPECT_FALSE(wizardtest::ServicePresent(service_.Name()));
}

TEST_F(WizardDialog, ClientRemovalAsksThenRemovesServiceAndParameters)
{
    ASSERT_TRUE(wizardtest::CreateDoubleService(service_.Name()));
    ASSERT_TRUE(testlib::StartTestService(service_.Name()));
    SetDword("InstallationMode", 2);
    MessageBoxRecorder boxes(IDNO);
    INT_PTR result = Run([&](CDialog& d) {
        ASSERT_TRUE(Click(Page(d), IDC_MODE_UNINSTALL));
        Next(d);
        EXPECT_EQ(std::vector<std::string>{Loaded(IDS_ASK_UNINSTALL_CLIENT)}, boxes.Texts());
        EXPECT_TRUE(wizardtest::ServicePresent(service_.Name()));
        boxes.SetAnswer(IDYES);
        Next(d);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(Loaded(IDS_UNINSTALLED), boxes.Texts().back());
    EXPECT_TRUE(testlib::WaitFor([&] { return !wizardtest::ServicePresent(service_.Name()); }));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\" + service_.Name()));
}

// --- installation: what cannot be written is reported, nothing half done ------

TEST_F(WizardDialog, AParametersKeyThatCannotBeWrittenStillShowsTheStoredServer)
{
    SetDword("InstallationMode", 1);
    SetString("Addr1", "10.1.1.1");
    ReadOnlyKey locked(ParametersKey(service_.Name()));
    ASSERT_TRUE(locked.Restricted());
    MessageBoxRecorder boxes(IDYES);
    Run([&](CDialog& d) {
        EXPECT_EQ(Screen(IDD_MODE, "Server installation", kNext, false), Screen(d));
        Next(d);
        EXPECT_EQ(1, SendDlgItemMessageA(Page(d).m_hWnd, kIdAddressList, LB_GETCOUNT, 0, 0));
        ASSERT_TRUE(Click(d, IDCANCEL));
    });
}

TEST_F(WizardDialog, ServerParametersThatCannotBeWrittenAreReportedAndNothingIsEntered)
{
    SetDword("InstallationMode", 1);
    SetString("Addr1", "10.1.1.1");
    HKEY velmor = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_LOCAL_MACHINE, kVelmorParameters, &velmor));
    RegCloseKey(velmor);
    ReadOnlyKey locked(ParametersKey(service_.Name()));
    ASSERT_TRUE(locked.Restricted());
    MessageBoxRecorder boxes(IDYES);
    INT_PTR result = Run([&](CDialog& d) {
        if (Screen(d) != Screen(IDD_MODE, "Server installation", kNext, false)) {
            ADD_FAILURE() << "not the stored server: " << Screen(d);
            Click(d, IDCANCEL);
            return;
        }
        Next(d);
        Next(d);
        Next(d);
        EXPECT_EQ(std::vector<std::string>{"Writing the KODRA server parameters failed!"},
                  boxes.Texts());
        EXPECT_EQ(Screen(IDD_SERVER_TIME, "Server installation", "Install", true), Screen(d));
        ASSERT_TRUE(Click(d, IDCANCEL));
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_FALSE(testlib::FileExists(InFolder("SDSrv.bat")));
    EXPECT_EQ("<none>", VelmorString("EnableExtra1"));
}

TEST_F(WizardDialog, WithoutTheTrayProgramAClientInstallationStoresCmdTrayZero)
{
    const std::string tray = InFolder("kodratray.exe");
    auto install = [&] {
        SetDword("CmdTray", 1);
        MessageBoxRecorder boxes(IDYES);
        return Run([&](CDialog& d) {
            Next(d);
            Next(d);
            Next(d);
            Next(d);
        });
    };
    ASSERT_TRUE(testlib::WriteTextFile(tray, ""));
    EXPECT_EQ(IDOK, install());
    DeleteFileA(tray.c_str());
    EXPECT_EQ(1u, Dword("CmdTray"));

    EXPECT_EQ(IDOK, install());
    EXPECT_EQ(0u, Dword("CmdTray"));
}

// --- removal: a failed removal keeps what is still needed ---------------------

TEST_F(WizardDialog, AClientRemovalThatCannotStopTheServiceKeepsItsParameters)
{
    {
        wizardtest::ScopedEnv refuse("KODRA_DOUBLE_STOP", "refuse");
        testlib::RunResult r =
            testlib::Run("\"" + wizardtest::KodraProgramPath() + "\" -i -name " + service_.Name());
        ASSERT_TRUE(r.ended && r.exitCode == 0);
    }
    ASSERT_TRUE(testlib::StartTestService(service_.Name()));
    SetDword("InstallationMode", 2);
    MessageBoxRecorder boxes(IDYES);
    INT_PTR result = Run([&](CDialog& d) {
        ASSERT_TRUE(Click(Page(d), IDC_MODE_UNINSTALL));
        Next(d);
        std::vector<std::string> texts = boxes.Texts();
        EXPECT_EQ(2u, texts.size());
        EXPECT_EQ(Loaded(IDS_ASK_UNINSTALL_CLIENT), texts.front());
        EXPECT_NE(std::string::npos, texts.back().find("failed to stop")) << texts.back();
        EXPECT_EQ(Screen(IDD_MODE, "Uninstall", "Uninstall", false), Screen(d));
        Click(d, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_TRUE(ParametersExist());
    EXPECT_EQ(2u, Dword("InstallationMode"));
    EXPECT_TRUE(wizardtest::ServicePresent(service_.Name()));

    // A service that is already gone: the removal goes on and takes the parameters.
    testlib::RemoveService(service_.Name());
    SetDword("InstallationMode", 2);
    MessageBoxRecorder again(IDYES);
    result = Run([&](CDialog& d) {
        ASSERT_TRUE(Click(Page(d), IDC_MODE_UNINSTALL));
        Next(d);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(Loaded(IDS_UNINSTALLED), again.Texts().back());
    EXPECT_FALSE(ParametersExist());
}

TEST_F(WizardDialog, AServerRemovalWhoseJobCannotBeRemovedKeepsParametersAndBatch)
{
    SetDword("InstallationMode", 1);
    SetString("Addr1", "10.1.1.1");
    const std::string job = "\"" + InFolder("SDSrv.bat") + "\"";
    HKEY velmor = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_LOCAL_MACHINE, kVelmorParameters, &velmor));
    RegSetValueExA(velmor, "EnableExtra1", 0, REG_SZ, reinterpret_cast<const BYTE*>("yes"), 4);
    RegSetValueExA(velmor, "ExtraJob1", 0, REG_SZ, reinterpret_cast<const BYTE*>(job.c_str()),
                   static_cast<DWORD>(job.size() + 1));
    RegCloseKey(velmor);
    ASSERT_TRUE(testlib::WriteTextFile(InFolder("SDSrv.bat"), "@\r\n"));
    {
        ReadOnlyKey locked(kVelmorParameters);
        ASSERT_TRUE(locked.Restricted());
        MessageBoxRecorder boxes(IDYES);
        INT_PTR result = Run([&](CDialog& d) {
            ASSERT_TRUE(Click(Page(d), IDC_MODE_UNINSTALL));
            Next(d);
            std::vector<std::string> texts = boxes.Texts();
            EXPECT_EQ(2u, texts.size());
            EXPECT_EQ(0u, texts.back().find(Loaded(IDS_JOB_LOAD_FAILED))) << texts.back();
            EXPECT_EQ(Screen(IDD_MODE, "Uninstall", "Uninstall", false), Screen(d));
            Click(d, IDCANCEL);
        });
        EXPECT_EQ(IDCANCEL, result);
    }
    EXPECT_TRUE(ParametersExist());
    EXPECT_EQ("yes", VelmorString("EnableExtra1"));
    EXPECT_TRUE(testlib::FileExists(InFolder("SDSrv.bat")));

    // Once the job can be removed the removal completes.
    MessageBoxRecorder boxes(IDYES);
    EXPECT_EQ(IDOK, Run([&](CDialog& d) {
        ASSERT_TRUE(Click(Page(d), IDC_MODE_UNINSTALL));
        Next(d);
    }));
    EXPECT_EQ(Loaded(IDS_UNINSTALLED), boxes.Texts().back());
    EXPECT_FALSE(ParametersExist());
    EXPECT_EQ("no", VelmorString("EnableExtra1"));
    EXPECT_FALSE(testlib::FileExists(InFolder("SDSrv.bat")));
}

TEST_F(WizardDialog, ServerInstallationWritesTheBatchAndTheSpecialJobAndRemovalTakesThem)
{
    SetDword("InstallationMode", 1);
    SetString("Addr1", "10.1.1.1");
    HKEY velmor = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_LOCAL_MACHINE, kVelmorParameters, &velmor));
    RegCloseKey(velmor);

    MessageBoxRecorder boxes(IDYES);
    INT_PTR result = Run([&](CDialog& d) {
        Next(d);
        Next(d);
        SetText(Page(d), IDC_ST_MINUTES, "12");
        Next(d);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(Loaded(IDS_SERVER_INSTALLED), boxes.Texts().back());
    EXPECT_EQ(1u, Dword("InstallationMode"));
    EXPECT_EQ(12u, Dword("ExtraTimeMinutes"));
    std::string batch = testlib::ReadTextFile(InFolder("SDSrv.bat"));
    EXPECT_NE(std::string::npos, batch.find(" -s -a 10.1.1.1 -p 6003")) << batch;
    EXPECT_EQ("\"" + InFolder("SDSrv.bat") + "\"", VelmorString("ExtraJob1"));
    EXPECT_EQ("12", VelmorString("ExtraTime1"));
    EXPECT_EQ("yes", VelmorString("EnableExtra1"));
    EXPECT_FALSE(wizardtest::ServicePresent(service_.Name()));

    MessageBoxRecorder removal(IDNO);
    Run([&](CDialog& d) {
        EXPECT_EQ(Screen(IDD_MODE, "Server installation", kNext, false), Screen(d));
        ASSERT_TRUE(Click(Page(d), IDC_MODE_UNINSTALL));
        Next(d);
        EXPECT_EQ(std::vector<std::string>{Loaded(IDS_ASK_UNINSTALL_SERVER)}, removal.Texts());
        EXPECT_TRUE(ParametersExist());
        removal.SetAnswer(IDYES);
        Next(d);
    });
    EXPECT_EQ(Loaded(IDS_UNINSTALLED), removal.Texts().back());
    EXPECT_FALSE(ParametersExist());
    EXPECT_EQ("no", VelmorString("EnableExtra1"));
    EXPECT_EQ(std::string::npos, VelmorString("ExtraJob1").find("SDSrv.bat"));
}

TEST_F(WizardDialog, CancelKeepsWhatThePagesWroteEarlier)
{
    ASSERT_TRUE(testlib::WriteTextFile(InFolder("message.bat"),
                                       "@echo off\r\nmsg.exe %1 old line\r\n"));
    MessageBoxRecorder boxes(IDYES);
    INT_PTR result = Run([&](CDialog& d) {
        Next(d);
        Next(d);
        Next(d);  // leaving the alive-check page forwards writes the beep setting
        EXPECT_EQ(IDD_CLIENT_SDBATCH, Page(d).GetTemplateId());
        ASSERT_TRUE(Click(d, IDCANCEL));
    });
    EXPECT_EQ(IDCANCEL, result);
    std::string message = testlib::ReadTextFile(InFolder("message.bat"));
    EXPECT_NE(std::string::npos, message.find("start /b msg.exe %1 \"VELMOR:\" -c:")) << message;
    EXPECT_EQ(std::string::npos, message.find("old line")) << message;
    EXPECT_FALSE(ParametersExist());
}

}  // namespace
