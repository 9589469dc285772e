#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "BatchName.h"
#include "DialogTooltip.h"
#include "KodraPageDlg.h"
#include "WizardTestKit.h"
#include "WizardUtil.h"
#include "classlib_testkit.h"
#include "resource.h"
#include "testlib.h"

namespace {

using classlib::testkit::MessageBoxRecorder;
using wizardtest::WizardFolder;

std::string InFolder(const std::string& name) { return WizardFolder() + "\\" + name; }

// "Messages.dat" beside the program while the object lives.
class Catalogue {
public:
    explicit Catalogue(const std::string& text)
    {
        testlib::WriteTextFile(InFolder("Messages.dat"), text);
    }
    ~Catalogue() { DeleteFileA(InFolder("Messages.dat").c_str()); }
};

std::string Lookup(UINT id, bool* found = nullptr)
{
    char buffer[1024];
    std::memset(buffer, '#', sizeof buffer);
    buffer[sizeof buffer - 1] = '\0';
    bool ok = CDialogTooltip::LookupTooltipText(id, buffer, sizeof buffer);
    if (found) *found = ok;
    return ok ? buffer : "<none>";
}

TEST(TooltipTable, LooksUpTheCatalogueEntryOfEachListedControl)
{
    const std::string longText(120, 'L');
    Catalogue catalogue("m850=Go to the next page\nm852=Leave the wizard\r\nm872=" + longText +
                        "\nm1105=The account's password\n");
    EXPECT_EQ("Go to the next page", Lookup(1003));
    EXPECT_EQ("Leave the wizard", Lookup(2));
    EXPECT_EQ("The account's password", Lookup(2232));
    EXPECT_EQ(longText, Lookup(1012));
    EXPECT_EQ("can't read message 851", Lookup(1004));  // listed, not in the catalogue
    bool found = true;
    EXPECT_EQ("<none>", Lookup(1005, &found));
    EXPECT_FALSE(found);
    EXPECT_EQ("<none>", Lookup(0));
    char buffer[8];
    EXPECT_FALSE(CDialogTooltip::LookupTooltipText(1003, nullptr, 8));
    EXPECT_TRUE(CDialogTooltip::LookupTooltipText(1003, buffer, sizeof buffer));
    EXPECT_STREQ("Go to t", buffer);
}

TEST(TooltipTable, WithoutTheCatalogueEveryListedControlShowsTheFallback)
{
    int rows = 0;
    for (const TooltipTextId* row = TooltipTextIds; row->controlId; ++row, ++rows) {
        EXPECT_EQ("can't read message " + std::to_string(row->messageNumber), Lookup(row->controlId))
            << row->controlId;
        for (const TooltipTextId* other = TooltipTextIds; other != row; ++other)
            EXPECT_NE(other->controlId, row->controlId) << "listed twice";
    }
    EXPECT_EQ(51, rows);
}

class TooltipPage : public CKODRAPageDlg {
public:
    TooltipPage() : CKODRAPageDlg(900, nullptr) {}
    void LoadFromConfig(CCnfData*) override {}
    BOOL SaveToConfig(CCnfData*) override { return TRUE; }
    UINT GetDialogId() override { return 900; }
    void SetInitialFocus() override {}
};

class TooltipDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(page_.Create(900, nullptr));
        tip_ = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP, 0, 0, 0, 0, page_.m_hWnd,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, tip_);
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND;
        tool.hwnd = page_.m_hWnd;
        tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(page_.m_hWnd, 1003));
        tool.lpszText = LPSTR_TEXTCALLBACKA;
        ASSERT_TRUE(SendMessageA(tip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)));
    }
    void TearDown() override
    {
        if (tip_) DestroyWindow(tip_);
        page_.DestroyWindow();
    }
    template <class Info>
    LRESULT Ask(Info& info, UINT code, UINT controlId)
    {
        info.hdr.hwndFrom = tip_;
        info.hdr.idFrom = reinterpret_cast<UINT_PTR>(GetDlgItem(page_.m_hWnd, controlId));
        info.hdr.code = code;
        info.uFlags = TTF_IDISHWND;
        return SendMessageA(page_.m_hWnd, WM_NOTIFY, controlId, reinterpret_cast<LPARAM>(&info));
    }
    TooltipPage page_;
    HWND tip_ = nullptr;
};

TEST_F(TooltipDialogTest, NarrowAndWideRequestsGetTheCatalogueText)
{
    const std::string longText(100, 'W');
    Catalogue catalogue("m850=Next page\nm872=" + longText + "\n");

    NMTTDISPINFOA narrow{};
    Ask(narrow, TTN_NEEDTEXTA, 1003);
    ASSERT_NE(nullptr, narrow.lpszText);
    EXPECT_STREQ("Next page", narrow.lpszText);
    EXPECT_EQ(30000, SendMessageA(tip_, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0));
    EXPECT_EQ(300, SendMessageA(tip_, TTM_GETMAXTIPWIDTH, 0, 0));
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = page_.m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(page_.m_hWnd, 1003));
    ASSERT_TRUE(SendMessageA(tip_, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_TRUE(tool.uFlags & TTF_CENTERTIP);

    NMTTDISPINFOA whole{};
    Ask(whole, TTN_NEEDTEXTA, 1012);
    ASSERT_NE(nullptr, whole.lpszText);
    EXPECT_EQ(longText, whole.lpszText);

    NMTTDISPINFOW wide{};
    Ask(wide, TTN_NEEDTEXTW, 1012);
    EXPECT_EQ(std::wstring(79, L'W'), std::wstring(wide.szText));

    NMTTDISPINFOA unlisted{};
    Ask(unlisted, TTN_NEEDTEXTA, 1005);
    EXPECT_EQ(nullptr, unlisted.lpszText);
}

TEST_F(TooltipDialogTest, PagesKeepEnterAndEscape)
{
    page_.ShowWindow(SW_SHOW);
    SendMessageA(page_.m_hWnd, WM_COMMAND, IDOK, 0);
    SendMessageA(page_.m_hWnd, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(IsWindow(page_.m_hWnd));
    EXPECT_TRUE(IsWindowVisible(page_.m_hWnd));
    EXPECT_EQ(nullptr, page_.m_pMainDlg);
    EXPECT_TRUE(page_.IsKindOf(CDialogTooltip::StaticClass()));
    EXPECT_STREQ("CDialogTooltip", CDialogTooltip::StaticClass().name);
}

TEST(MessageBoxHelpers, CaptionsButtonsAndAnswers)
{
    MessageBoxRecorder boxes(IDYES);
    ShowInfoMessage("Saved.");
    ShowInfoMessage("Careful.", "Warning");
    ShowInfoMessage(nullptr);
    EXPECT_TRUE(AskYesNo("Go on?"));
    boxes.SetAnswer(IDNO);
    EXPECT_FALSE(AskYesNo("Really?", "Question"));
    EXPECT_FALSE(AskYesNo(nullptr));
    ASSERT_EQ(4u, boxes.Boxes().size());
    EXPECT_EQ("Saved.", boxes.Boxes()[0].text);
    EXPECT_EQ("KODRA", boxes.Boxes()[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONINFORMATION), boxes.Boxes()[0].type);
    EXPECT_EQ("Warning", boxes.Boxes()[1].caption);
    EXPECT_EQ("KODRA", boxes.Boxes()[2].caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION), boxes.Boxes()[2].type);
    EXPECT_EQ("Question", boxes.Boxes()[3].caption);
}

TEST(ProgramFolder, FilesAreLookedUpBesideTheProgram)
{
    ASSERT_TRUE(testlib::WriteTextFile(InFolder("probe file.bat"), "@"));
    ASSERT_TRUE(CreateDirectoryA(InFolder("probe folder").c_str(), nullptr));
    testlib::ScratchDir elsewhere("wizard cwd");
    ASSERT_TRUE(testlib::WriteTextFile(elsewhere.File("only here.bat"), "@"));
    {
        testlib::CurrentDirectory in(elsewhere.Path());
        ASSERT_TRUE(in.Entered());

        EXPECT_TRUE(FileExistsInProgramDir("probe file.bat"));
        EXPECT_TRUE(FileExistsInProgramDir("probe folder"));
        EXPECT_TRUE(FileExistsInProgramDir("probe f*.bat"));
        EXPECT_FALSE(FileExistsInProgramDir("only here.bat"));  // the current folder does not count
        EXPECT_TRUE(FileExistsInProgramDir(elsewhere.File("only here.bat").c_str()));
        EXPECT_FALSE(FileExistsInProgramDir("missing.bat"));
        EXPECT_FALSE(FileExistsInProgramDir(nullptr));
    }
    DeleteFileA(InFolder("probe file.bat").c_str());
    RemoveDirectoryA(InFolder("probe folder").c_str());

    CString folder;
    GetExeFolder(folder);
    EXPECT_EQ(WizardFolder(), folder.GetString());

    char buffer[MAX_PATH];
    EXPECT_EQ(static_cast<int>(WizardFolder().size() + 1), GetExeDriveAndDir(buffer, sizeof buffer));
    EXPECT_EQ(WizardFolder() + "\\", buffer);
    EXPECT_EQ(4, GetExeDriveAndDir(buffer, 5));
    EXPECT_EQ(WizardFolder().substr(0, 4), buffer);

    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    EXPECT_EQ(1, GetExePath(buffer, sizeof buffer));
    EXPECT_STREQ(self, buffer);
    std::strcpy(buffer, "untouched");
    EXPECT_EQ(0, GetExePath(buffer, static_cast<int>(std::strlen(self))));
    EXPECT_STREQ("untouched", buffer);
    EXPECT_EQ(0, GetExePath(nullptr, 10));
    EXPECT_EQ(0, GetExePath(buffer, 0));

    ASSERT_EQ(':', WizardFolder()[1]);
    EXPECT_EQ(1, GetExeDirNoDrive(buffer, sizeof buffer));
    EXPECT_EQ(WizardFolder().substr(2) + "\\", buffer);
    EXPECT_EQ(1, GetExeDirNoDrive(buffer, 4));
    EXPECT_EQ(WizardFolder().substr(2, 3), buffer);
    EXPECT_EQ(0, GetExeDirNoDrive(buffer, 0));
    EXPECT_EQ(0, GetExeDirNoDrive(nullptr, 10));
}

TEST(FileNamePart, TextAfterTheLastSeparator)
{
    struct Case {
        const char* path;
        const char* part;
    } cases[] = {{"C:\\K\\SDSrv.bat", "SDSrv.bat"}, {"SDSrv.bat", "SDSrv.bat"}, {"C:", ""},
                 {"C:x.bat", "x.bat"},           {"a/b/c.bat", "c.bat"},     {"", ""},
                 {"dir\\", ""}};
    for (const Case& c : cases) {
        CString out = "previous";
        GetFileNamePart(c.path, out);
        EXPECT_STREQ(c.part, out) << c.path;
    }
}

TEST(BatchName, FaultsInTheOrderTheUserHearsOfThem)
{
    ASSERT_TRUE(testlib::WriteTextFile(InFolder("probe.bat"), "@"));
    ASSERT_TRUE(testlib::WriteTextFile(InFolder("sdsrv.BAT"), "@"));
    struct Case {
        const char* text;
        BatchNameFault fault;
        bool serverBatch;
    } cases[] = {
        {"probe.bat", BatchNameFault::None, false},
        {"  probe.bat", BatchNameFault::Missing, false},  // looked for as entered
        {"", BatchNameFault::Empty, false},
        {" \t ", BatchNameFault::Empty, false},
        {nullptr, BatchNameFault::Empty, false},
        {"pro*.bat", BatchNameFault::Wildcard, false},
        {"SDSrv?.bat", BatchNameFault::Wildcard, false},
        {"missing.bat", BatchNameFault::Missing, false},
        {"sdsrv.BAT", BatchNameFault::None, true},
        {"C:\\elsewhere\\SDSrv.bat", BatchNameFault::Missing, true},
        {"SDSrv.bat.txt", BatchNameFault::Missing, false},
    };
    for (const Case& c : cases) {
        BatchNameCheck check = CheckBatchName(c.text);
        const char* shown = c.text ? c.text : "(null)";
        EXPECT_EQ(c.fault, check.fault) << shown;
        EXPECT_EQ(c.serverBatch, check.serverBatch) << shown;
    }

    MessageBoxRecorder boxes(IDNO);
    // Refused by the user before the file is looked for.
    EXPECT_FALSE(ValidateBatchName("C:\\elsewhere\\SDSrv.bat"));
    EXPECT_TRUE(ValidateBatchName("probe.bat"));
    boxes.SetAnswer(IDYES);
    EXPECT_TRUE(ValidateBatchName("sdsrv.BAT"));
    EXPECT_FALSE(ValidateBatchName("C:\\elsewhere\\SDSrv.bat"));
    EXPECT_FALSE(ValidateBatchName(" "));
    EXPECT_FALSE(ValidateBatchName("*.bat"));
    std::vector<std::string> texts = boxes.Texts();
    ASSERT_EQ(6u, texts.size());
    EXPECT_EQ("Warning", boxes.Boxes()[0].caption);
    EXPECT_EQ("Warning", boxes.Boxes()[1].caption);
    EXPECT_EQ("Warning", boxes.Boxes()[2].caption);
    EXPECT_EQ(LoadResString(IDS_FILE_MISSING).GetString(), texts[3]);
    EXPECT_EQ(LoadResString(IDS_NO_BATCH_FILE).GetString(), texts[4]);
    EXPECT_EQ(LoadResString(IDS_ILLEGAL_FILENAME).GetString(), texts[5]);
    DeleteFileA(InFolder("probe.bat").c_str());
    DeleteFileA(InFolder("sdsrv.BAT").c_str());
}

TEST(CheckIPv4Address, CanonicalDottedQuads)
{
    struct Case {
        const char* text;
        bool loose, strict;
    } cases[] = {{"192.168.0.1", true, true},   {"192.168.000.1", false, false},
                 {"0.1.2.3", true, false},      {"300.1.1.1", true, false},
                 {"1.2.3", false, false},       {"1.2.3.4.5", false, false},
                 {"1.2.3.256", true, false},    {"255.255.255.255", true, true},
                 {"1.2.3.", false, false},      {" 1.2.3.4", false, false},
                 {"1.2.+3.4", false, false},    {"1.2.3.x", false, false},
                 {"-1.2.3.4", true, false},     {"1..3.4", false, false},
                 {"1000.1.1.1", false, false},  {"", false, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.loose, CheckIPv4Address(c.text, false)) << c.text;
        EXPECT_EQ(c.strict, CheckIPv4Address(c.text, true)) << c.text;
    }
    EXPECT_FALSE(CheckIPv4Address(nullptr, false));
}

TEST(ResolveHostAddress, DottedTextOfTheFirstAddress)
{
    WSADATA data;
    ASSERT_EQ(0, WSAStartup(MAKEWORD(1, 1), &data));
    const char* address = ResolveHostAddress("127.0.0.1");
    ASSERT_NE(nullptr, address);
    EXPECT_STREQ("127.0.0.1", address);
    address = ResolveHostAddress("localhost");
    ASSERT_NE(nullptr, address);
    EXPECT_STREQ("127.0.0.1", address);
    EXPECT_EQ(nullptr, ResolveHostAddress(nullptr));
    EXPECT_EQ(nullptr, ResolveHostAddress("no-such-host.invalid"));
    WSACleanup();
}

TEST(BrowseForFile, OpenDialogSettingsAndResult)
{
    static const char filter[] = "Batch files\0*.bat\0All files\0*\0";
    const std::string startFile(3000, 's');
    std::vector<OPENFILENAMEA> seen;
    std::string lpstrFileSeen, initialDir;
    classlib::testkit::ScopedFileDialogHook answer([&](OPENFILENAMEA& ofn, bool open) {
        EXPECT_TRUE(open);
        seen.push_back(ofn);
        lpstrFileSeen = ofn.lpstrFile;
        initialDir = ofn.lpstrInitialDir ? ofn.lpstrInitialDir : "<null>";
        lstrcpynA(ofn.lpstrFile, "C:\\chosen\\file.bat", ofn.nMaxFile);
        return true;
    });
    CString out;
    EXPECT_TRUE(BrowseForFile(out, filter, "Pick one", startFile.c_str(), nullptr));
    EXPECT_STREQ("C:\\chosen\\file.bat", out);
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(filter, seen[0].lpstrFilter);
    EXPECT_EQ(1u, seen[0].nFilterIndex);
    EXPECT_EQ(2048u, seen[0].nMaxFile);
    EXPECT_EQ(std::string(2047, 's'), lpstrFileSeen);
    EXPECT_EQ(WizardFolder(), initialDir);
    EXPECT_STREQ("Pick one", seen[0].lpstrTitle);
    EXPECT_EQ(nullptr, seen[0].hwndOwner);
    DWORD flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    EXPECT_EQ(flags, seen[0].Flags & flags);

    EXPECT_TRUE(BrowseForFile(out, filter, "Pick", nullptr, "D:\\start"));
    EXPECT_EQ("", lpstrFileSeen);
    EXPECT_EQ("D:\\start", initialDir);

    classlib::testkit::ScopedFileDialogHook cancel([&](OPENFILENAMEA&, bool) { return false; });
    out = "old";
    EXPECT_FALSE(BrowseForFile(out, filter, "Pick", "x.bat", nullptr));
    EXPECT_STREQ("", out);
    seen.clear();
    out = "old";
    EXPECT_FALSE(BrowseForFile(out, nullptr, "Pick", "x.bat", nullptr));
    EXPECT_STREQ("", out);
}

TEST(RunProgram, QuotedProgramWholeCommandLineAndStartErrors)
{
    std::string tool = InFolder("my tool.exe");
    ASSERT_TRUE(testlib::CopyInto(wizardtest::DoublesDir() + "\\recorder.exe", WizardFolder(), "my tool.exe"));
    std::string log = InFolder("recorder.log");
    wizardtest::ScopedEnv record("KODRA_RECORD_LOG", log.c_str());

    const std::string longArgument(1000, 'a');
    DWORD error = 99;
    EXPECT_TRUE(RunProgram(tool.c_str(), ("\"x y.bat\" " + longArgument).c_str(), true, SW_SHOW, &error));
    EXPECT_EQ(99u, error);
    EXPECT_TRUE(RunProgram(("\"" + tool + "\"").c_str(), nullptr, true, SW_HIDE, nullptr));
    std::vector<testlib::RecordedStart> starts = testlib::ReadRecorderLog(log);  // both waited for
    ASSERT_EQ(2u, starts.size());
    EXPECT_EQ("\"" + tool + "\" \"x y.bat\" " + longArgument, starts[0].cmd);
    EXPECT_EQ(SW_SHOW, starts[0].show);
    EXPECT_EQ("\"" + tool + "\"", starts[1].cmd);
    EXPECT_EQ(SW_HIDE, starts[1].show);

    EXPECT_FALSE(RunProgram(InFolder("missing.exe").c_str(), "x", true, SW_HIDE, &error));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), error);
    DeleteFileA(tool.c_str());
    DeleteFileA(log.c_str());

    classlib::testkit::ProgramStartRecorder hooked;
    const std::vector<classlib::ProgramStartRequest>& requests = hooked.Calls();
    EXPECT_TRUE(RunProgram("notepad.exe", "\"C:\\a b\\shutdown.bat\"", true, SW_SHOW, nullptr));
    ASSERT_EQ(1u, requests.size());
    EXPECT_STREQ("\"notepad.exe\" \"C:\\a b\\shutdown.bat\"", requests[0].commandLine);
    EXPECT_TRUE(requests[0].wait);
    EXPECT_EQ(SW_SHOW, requests[0].showMode);
}

}  // namespace
