// The wizard's start-up: the service-name option, the administrator check, the
// sockets around the modal main dialog; in this process and as the real
// program "KODRACFG.exe" with the KODRA program double beside it.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "KODRACFGApp.h"
#include "KODRACFGDlg.h"
#include "SysFileUtil.h"
#include "WizardTestKit.h"
#include "classlib_testkit.h"
#include "resource.h"
#include "testlib.h"

namespace {

using classlib::testkit::GetText;
using wizardtest::KeyExists;
using wizardtest::Loaded;
using classlib::testkit::MessageBoxRecorder;

std::string ParametersKey(const std::string& service)
{
    return "SYSTEM\\CurrentControlSet\\Services\\" + service + "\\Parameters";
}

void StoreInstallationMode(const std::string& service, DWORD mode)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_LOCAL_MACHINE, ParametersKey(service).c_str(), &key));
    RegSetValueExA(key, "InstallationMode", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&mode),
                   sizeof mode);
    RegCloseKey(key);
}

std::string Name(std::vector<const char*> args)
{
    args.insert(args.begin(), "KODRACFG.exe");
    CString name;
    GetServiceNameOption(static_cast<int>(args.size()), const_cast<char**>(args.data()), name,
                         "-name", "KODRA");
    return name.GetString();
}

TEST(ServiceNameOption, TheLastNameWithAValueWins)
{
    EXPECT_EQ("KODRA", Name({}));
    EXPECT_EQ("Alpha", Name({"-name", "Alpha"}));
    EXPECT_EQ("Beta", Name({"-NAME", "Alpha", "-name", "Beta"}));
    EXPECT_EQ("Alpha", Name({"-Name", "Alpha", "-name"}));
    EXPECT_EQ("KODRA", Name({"-name"}));
    EXPECT_EQ("KODRA", Name({"name", "Alpha", "/name", "Beta", "-names", "Gamma"}));
    EXPECT_EQ("-name", Name({"-name", "-name"}));
    EXPECT_EQ("two words", Name({"x", "-name", "two words", "y"}));
}

// This process's command line as the application sees it, while the object lives.
class Arguments {
public:
    explicit Arguments(std::vector<std::string> args) : texts_(std::move(args))
    {
        texts_.insert(texts_.begin(), "KODRACFG.exe");
        for (std::string& t : texts_) pointers_.push_back(&t[0]);
        pointers_.push_back(nullptr);
        oldCount_ = __argc;
        oldVector_ = __argv;
        __argc = static_cast<int>(texts_.size());
        __argv = pointers_.data();
    }
    ~Arguments()
    {
        __argc = oldCount_;
        __argv = oldVector_;
    }

private:
    std::vector<std::string> texts_;
    std::vector<char*> pointers_;
    int oldCount_;
    char** oldVector_;
};

bool SocketsWork()
{
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    if (s == INVALID_SOCKET) return false;
    closesocket(s);
    return true;
}

TEST(WizardApplication, RefusesToStartWithoutAdministratorRights)
{
    CKODRACFGApp app;
    MessageBoxRecorder boxes;
    classlib::testkit::ModalDriver driver([](CDialog& d) { d.EndDialog(IDCANCEL); });
    ForceNotAdministratorForTests(true);
    BOOL result = app.InitInstance();
    ForceNotAdministratorForTests(false);
    EXPECT_FALSE(result);
    EXPECT_EQ(0, driver.Runs());
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(Loaded(IDS_NOT_ADMINISTRATOR), boxes.Boxes()[0].text);
    EXPECT_EQ(app.GetAppTitle(), boxes.Boxes()[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK), boxes.Boxes()[0].type);
    EXPECT_FALSE(SocketsWork());
}

TEST(WizardApplication, RunsTheMainDialogForTheNamedServiceBetweenSocketStartAndStop)
{
    wizardtest::ScopedService service("W1AppSecond");
    StoreInstallationMode(service.Name(), 3);  // uninstall: Cancel closes without a question
    Arguments args({"-NAME", "W1AppFirst", "-name", "W1AppSecond"});
    CKODRACFGApp app;
    MessageBoxRecorder boxes;
    std::string title;
    bool mainWindow = false, sockets = false;
    classlib::testkit::ModalDriver driver([&](CDialog& d) {
        CString text;
        d.GetWindowText(text);
        title = text.GetString();
        mainWindow = AfxGetMainWnd() == &d && dynamic_cast<CKODRACFGDlg*>(&d) != nullptr;
        sockets = SocketsWork();
        d.SendMessage(WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(1, driver.Runs());
    EXPECT_EQ(Loaded(IDS_TITLE_UNINSTALL), title);
    EXPECT_TRUE(mainWindow);
    EXPECT_TRUE(sockets);
    EXPECT_TRUE(boxes.Texts().empty());
    EXPECT_EQ(nullptr, AfxGetMainWnd());
    EXPECT_FALSE(SocketsWork());
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ParametersKey("W1AppFirst")));
}

TEST(WizardApplication, RefusesAnUnusableServiceNameBeforeAnythingIsWritten)
{
    for (std::string bad : {std::string(" W1App"), std::string("W1\\App"), std::string(251, 'n'),
                            std::string("")}) {
        Arguments args({"-name", bad});
        CKODRACFGApp app;
        MessageBoxRecorder boxes;
        classlib::testkit::ModalDriver driver([](CDialog& d) { d.EndDialog(IDCANCEL); });
        EXPECT_FALSE(app.InitInstance());
        EXPECT_EQ(0, driver.Runs()) << bad;
        ASSERT_EQ(1u, boxes.Texts().size()) << bad;
        EXPECT_NE(std::string::npos, boxes.Texts()[0].find("cannot be used")) << bad;
    }
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ParametersKey(" W1App")));
}

// --- the program itself ------------------------------------------------------

struct Search {
    DWORD pid;
    std::string title;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char text[256] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    if (pid != search->pid || !IsWindowVisible(hwnd) || search->title != text) return TRUE;
    search->found = hwnd;
    return FALSE;
}

BOOL CALLBACK CollectText(HWND child, LPARAM param)
{
    char text[512] = {};
    GetWindowTextA(child, text, sizeof text);
    *reinterpret_cast<std::string*>(param) += std::string(text) + "|";
    return TRUE;
}

// The build's program folder; this test runs as a copy elsewhere, but the
// doubles folder, <build>\tests\doubles, is known.
std::string ProgramsDir() { return wizardtest::DoublesDir() + "\\..\\..\\bin"; }

// "KODRACFG.exe" and the KODRA program double in a folder of their own.
class WizardProgram : public testing::Test {
protected:
    WizardProgram() : folder_("wizard program") {}
    void SetUp() override
    {
        ASSERT_TRUE(testlib::CopyInto(ProgramsDir() + "\\KODRACFG.exe", folder_.Path(),
                                      "KODRACFG.exe"));
        ASSERT_TRUE(testlib::CopyInto(wizardtest::DoublesDir() + "\\kodra_double.exe",
                                      folder_.Path(), "KODRA.EXE"));
    }
    void TearDown() override
    {
        if (process_.hProcess) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 9);
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
        }
    }
    bool Start(const std::string& arguments, HANDLE token = nullptr)
    {
        std::string commandLine = "\"" + folder_.File("KODRACFG.exe") + "\" " + arguments;
        std::vector<char> buffer(commandLine.begin(), commandLine.end());
        buffer.push_back('\0');
        STARTUPINFOA si{};
        si.cb = sizeof si;
        BOOL started = token ? CreateProcessAsUserA(token, nullptr, buffer.data(), nullptr, nullptr,
                                                    FALSE, 0, nullptr, folder_.Path().c_str(), &si,
                                                    &process_)
                             : CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0,
                                              nullptr, folder_.Path().c_str(), &si, &process_);
        return started != FALSE;
    }
    // A shown top-level window of the program with this title.
    HWND WaitForWindow(const std::string& title)
    {
        Search search{process_.dwProcessId, title, nullptr};
        testlib::WaitFor(
            [&] {
                EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
                return search.found != nullptr;
            },
            std::chrono::seconds(30));
        return search.found;
    }
    DWORD WaitForExit()
    {
        if (WaitForSingleObject(process_.hProcess, 30000) != WAIT_OBJECT_0) return 0xFFFFFFFF;
        DWORD code = 0xFFFFFFFF;
        GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

    testlib::ScratchDir folder_;
    PROCESS_INFORMATION process_{};
};

std::string ControlText(HWND window, int id)
{
    char text[1024] = {};
    GetDlgItemTextA(window, id, text, sizeof text);
    return text;
}

TEST_F(WizardProgram, StartsTheWizardForTheNamedService)
{
    wizardtest::ScopedService service("W1AppProgram");
    StoreInstallationMode(service.Name(), 3);
    ASSERT_TRUE(Start("-name W1AppProgram"));
    HWND wizard = WaitForWindow(Loaded(IDS_TITLE_UNINSTALL));
    ASSERT_NE(nullptr, wizard);
    EXPECT_EQ("KODRA ver. 4.2.0.17", ControlText(wizard, IDC_MAIN_VERSION));
    EXPECT_EQ("Uninstall", ControlText(wizard, IDC_MAIN_NEXT));
    PostMessageA(wizard, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(0u, WaitForExit());
}

TEST_F(WizardProgram, WithoutAdministratorRightsOnlyTheRefusalShows)
{
    HANDLE restricted = testlib::RestrictedAdminToken();
    ASSERT_NE(nullptr, restricted);
    bool started = Start("-name W1AppRestricted", restricted);
    CloseHandle(restricted);
    ASSERT_TRUE(started);

    HWND box = WaitForWindow("KODRACFG");
    ASSERT_NE(nullptr, box);
    std::string texts;
    EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&texts));
    EXPECT_NE(std::string::npos, texts.find(Loaded(IDS_NOT_ADMINISTRATOR))) << texts;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(0u, WaitForExit());
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ParametersKey("W1AppRestricted")));
}

}  // namespace
