// The mode, redundancy, server-time and shutdown-batch pages, each hosted in a
// window of its own and driven through its record and controls.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ClientSDBatchDlg.h"
#include "ModeDlg.h"
#include "RedundancyDlg.h"
#include "ServerTimeDlg.h"
#include "WizardTestKit.h"
#include "classlib_testkit.h"
#include "resource.h"
#include "testlib.h"

namespace {

using classlib::testkit::Click;
using classlib::testkit::FocusedId;
using classlib::testkit::GetSelection;
using classlib::testkit::GetText;
using classlib::testkit::IsChecked;
using classlib::testkit::SetText;
using wizardtest::Loaded;
using classlib::testkit::MessageBoxRecorder;
using wizardtest::WizardFolder;

const UINT kHostTemplate = 960;

std::string InFolder(const std::string& name) { return WizardFolder() + "\\" + name; }

// One page inside a shown top-level window, created and loaded as the main
// dialog does it.
template <class Page>
class Hosted {
public:
    Hosted()
    {
        EXPECT_TRUE(host_.Create(kHostTemplate, nullptr));
        host_.ShowWindow(SW_SHOW);
        EXPECT_TRUE(page.Create(page.GetDialogId(), &host_));
        page.ShowWindow(SW_SHOW);
    }
    ~Hosted()
    {
        page.DestroyWindow();
        host_.DestroyWindow();
    }
    void Load(CCnfData& record)
    {
        page.LoadFromConfig(&record);
        page.SetInitialFocus();
    }
    Page page;

private:
    CDialog host_;
};

// --- mode page ---------------------------------------------------------------

// The info file is looked for in the current folder.
class InCurrentFolder {
public:
    InCurrentFolder() : folder_("mode page cwd"), in_(folder_.Path()) {}
    std::string File(const char* name) const { return folder_.File(name); }

private:
    testlib::ScratchDir folder_;
    testlib::CurrentDirectory in_;
};

TEST(ModePage, ShowsTheInfoFileWholeOrTheBuiltInText)
{
    InCurrentFolder cwd;
    CCnfData record;
    {
        Hosted<CModeDlg> hosted;
        hosted.Load(record);
        EXPECT_EQ(Loaded(IDS_MODE_INFO), GetText(hosted.page, IDC_MODE_INFO).GetString());
    }
    ASSERT_TRUE(testlib::WriteTextFile(cwd.File("kodra.nfo"), ""));
    {
        Hosted<CModeDlg> hosted;
        hosted.Load(record);
        EXPECT_EQ(Loaded(IDS_MODE_INFO), GetText(hosted.page, IDC_MODE_INFO).GetString());
    }
    const std::string info = "Our site's UPS setup:\r\n  room 4, rack B\r\n\r\nCall 12 34.";
    ASSERT_TRUE(testlib::WriteTextFile(cwd.File("kodra.nfo"), info));
    Hosted<CModeDlg> hosted;
    ASSERT_TRUE(testlib::WriteTextFile(cwd.File("kodra.nfo"), "changed later"));
    hosted.Load(record);
    EXPECT_EQ(info, GetText(hosted.page, IDC_MODE_INFO).GetString());  // read once, when built
}

TEST(ModePage, ChecksTheChoiceOfTheModeAndFocusesIt)
{
    struct Case {
        DWORD wizardMode, installationMode;
        int checked;
    } cases[] = {
        {0, 0, IDC_MODE_CLIENT},    {0, 2, IDC_MODE_CLIENT},    {0, 1, IDC_MODE_SERVER},
        {0, 3, IDC_MODE_UNINSTALL}, {3, 2, IDC_MODE_UNINSTALL}, {2, 1, IDC_MODE_CLIENT},
    };
    Hosted<CModeDlg> hosted;
    for (const Case& c : cases) {
        CCnfData record;
        record.WizardMode = c.wizardMode;
        record.InstallationMode = c.installationMode;
        hosted.Load(record);
        for (int id : {IDC_MODE_CLIENT, IDC_MODE_SERVER, IDC_MODE_UNINSTALL})
            EXPECT_EQ(id == c.checked, IsChecked(hosted.page, id)) << c.wizardMode << c.installationMode << id;
        EXPECT_EQ(c.checked, FocusedId()) << c.wizardMode << c.installationMode;
    }
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(hosted.page.m_hWnd, IDC_MODE_SERVER)));
}

TEST(ModePage, AStoredModeWithoutAChoiceIsRefusedOnNext)
{
    Hosted<CModeDlg> hosted;
    CCnfData record;
    record.WizardMode = 7;
    hosted.Load(record);
    MessageBoxRecorder boxes;
    EXPECT_FALSE(hosted.page.SaveToConfig(&record));
    EXPECT_EQ(std::vector<std::string>{"Illegal Choice!"}, boxes.Texts());
    ASSERT_TRUE(Click(hosted.page, IDC_MODE_UNINSTALL));
    EXPECT_TRUE(hosted.page.SaveToConfig(&record));
    EXPECT_EQ(3u, record.WizardMode);
}

TEST(ModePage, AVisibleChoiceClearsTheHiddenServerChoice)
{
    Hosted<CModeDlg> hosted;
    CCnfData record;
    record.InstallationMode = 1;
    hosted.Load(record);
    ASSERT_TRUE(IsChecked(hosted.page, IDC_MODE_SERVER));
    ASSERT_TRUE(Click(hosted.page, IDC_MODE_UNINSTALL));
    EXPECT_FALSE(IsChecked(hosted.page, IDC_MODE_SERVER));
    MessageBoxRecorder boxes;
    EXPECT_TRUE(hosted.page.SaveToConfig(&record));
    EXPECT_EQ(3u, record.WizardMode);
    EXPECT_TRUE(boxes.Texts().empty());  // removal asks later, on the final step
}

CCnfData ServerRecordWithSettings(DWORD installationMode)
{
    CCnfData record;
    record.InstallationMode = installationMode;
    record.WizardMode = installationMode;
    record.Addr.Add("10.0.0.1");
    record.Addr.Add("10.0.0.2");
    record.ExecutePrg = "C:\\kodra\\shutdown.bat";
    record.AlivePrg = "C:\\kodra\\alive.bat";
    return record;
}

TEST(ModePage, SwitchingAnInstalledServerToAClientAsksAndClearsWhatDoesNotCarryOver)
{
    Hosted<CModeDlg> hosted;
    CCnfData record = ServerRecordWithSettings(1);
    hosted.Load(record);
    ASSERT_TRUE(Click(hosted.page, IDC_MODE_CLIENT));

    MessageBoxRecorder boxes(IDNO);
    EXPECT_FALSE(hosted.page.SaveToConfig(&record));
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(Loaded(IDS_SERVER_TO_CLIENT), boxes.Boxes()[0].text);
    EXPECT_EQ("Warning", boxes.Boxes()[0].caption);
    EXPECT_EQ(2, record.Addr.GetSize());
    EXPECT_TRUE(IsChecked(hosted.page, IDC_MODE_CLIENT));

    boxes.SetAnswer(IDYES);
    EXPECT_TRUE(hosted.page.SaveToConfig(&record));
    EXPECT_EQ(0, record.Addr.GetSize());
    EXPECT_EQ("", std::string(record.ExecutePrg));
    EXPECT_EQ("", std::string(record.AlivePrg));
    EXPECT_EQ(2u, record.WizardMode);
}

TEST(ModePage, SwitchingAnInstalledClientToAServerAsksTheOtherQuestion)
{
    Hosted<CModeDlg> hosted;
    CCnfData record = ServerRecordWithSettings(2);
    hosted.Load(record);
    // No user can reach the hidden choice; set it as a stored server would.
    CheckRadioButton(hosted.page.m_hWnd, IDC_MODE_CLIENT, IDC_MODE_UNINSTALL, IDC_MODE_SERVER);
    MessageBoxRecorder boxes(IDYES);
    EXPECT_TRUE(hosted.page.SaveToConfig(&record));
    EXPECT_EQ(std::vector<std::string>{Loaded(IDS_CLIENT_TO_SERVER)}, boxes.Texts());
    EXPECT_EQ(1u, record.WizardMode);
    EXPECT_EQ(0, record.Addr.GetSize());
}

// --- redundancy page ---------------------------------------------------------

HWND GroupList(CWnd& page) { return GetDlgItem(page.m_hWnd, IDC_RED_GROUP); }

std::vector<bool> Checks(CWnd& page)
{
    std::vector<bool> checks;
    HWND list = GroupList(page);
    for (int i = 0; i < ListView_GetItemCount(list); ++i) checks.push_back(ListView_GetCheckState(list, i) != 0);
    return checks;
}

std::vector<std::string> LevelEntries(CWnd& page)
{
    std::vector<std::string> entries;
    HWND combo = GetDlgItem(page.m_hWnd, IDC_RED_LEVEL);
    int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[32] = {};
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

int LevelSelection(CWnd& page)
{
    return static_cast<int>(SendDlgItemMessageA(page.m_hWnd, IDC_RED_LEVEL, CB_GETCURSEL, 0, 0));
}

std::string ListViewItemText(CWnd& page, int row)
{
    char text[64] = {};
    ListView_GetItemText(GroupList(page), row, 0, text, sizeof text);
    return text;
}

void SetRowCheck(CWnd& page, int row, bool check)
{
    ListView_SetCheckState(GroupList(page), row, check ? TRUE : FALSE);
}

CCnfData GroupRecord(int addresses, std::initializer_list<int> members, LONG level)
{
    CCnfData record;
    for (int i = 0; i < addresses; ++i) record.Addr.Add(("192.168.1." + std::to_string(i + 1)).c_str());
    for (int m : members) record.Addr_Checked[m] = static_cast<short>(m % 2 ? -1 : 1);
    record.RedundancyLevel = level;
    record.RedundancyBatchSuppress = 0;
    record.RedundancyBatchFile = "C:\\kodra\\suppressed.bat";
    return record;
}

TEST(RedundancyPage, LoadsAtMostFourMembersAndTheirLevels)
{
    Hosted<CRedundancyDlg> hosted;
    MessageBoxRecorder boxes;
    CCnfData record = GroupRecord(7, {0, 1, 3, 4, 5, 6}, -1);
    hosted.Load(record);
    EXPECT_EQ((std::vector<bool>{true, true, false, true, true, false, false}), Checks(hosted.page));
    EXPECT_EQ((std::vector<std::string>{"0", "1", "2", "3"}), LevelEntries(hosted.page));
    EXPECT_EQ(3, LevelSelection(hosted.page));
    EXPECT_EQ("192.168.1.4", ListViewItemText(hosted.page, 3));
    EXPECT_TRUE(IsChecked(hosted.page, IDC_RED_EXECUTE));
    EXPECT_EQ("C:\\kodra\\suppressed.bat", std::string(GetText(hosted.page, IDC_RED_BATCH)));
    EXPECT_EQ(IDC_RED_GROUP, FocusedId());
    EXPECT_TRUE(boxes.Texts().empty());

    struct Case {
        LONG stored;
        int selected;
    } cases[] = {{-1, 2}, {0, 0}, {1, 1}, {2, 2}, {5, 2}};
    for (const Case& c : cases) {
        CCnfData three = GroupRecord(4, {0, 2, 3}, c.stored);
        hosted.Load(three);
        EXPECT_EQ((std::vector<std::string>{"0", "1", "2"}), LevelEntries(hosted.page));
        EXPECT_EQ(c.selected, LevelSelection(hosted.page)) << c.stored;
    }
}

TEST(RedundancyPage, AFifthMemberIsRefusedAndTooFewMembersWarn)
{
    Hosted<CRedundancyDlg> hosted;
    CCnfData record = GroupRecord(6, {0, 1, 2, 3}, 1);
    hosted.Load(record);

    {
        MessageBoxRecorder boxes;
        SetRowCheck(hosted.page, 4, true);
        EXPECT_EQ(std::vector<std::string>{Loaded(IDS_GROUP_FULL)}, boxes.Texts());
        EXPECT_EQ((std::vector<bool>{true, true, true, true, false, false}), Checks(hosted.page));
        EXPECT_EQ(4u, LevelEntries(hosted.page).size());
        EXPECT_EQ(1, LevelSelection(hosted.page));
    }
    MessageBoxRecorder boxes;
    SetRowCheck(hosted.page, 0, false);
    SetRowCheck(hosted.page, 1, false);
    EXPECT_TRUE(boxes.Texts().empty());
    EXPECT_EQ((std::vector<std::string>{"0", "1"}), LevelEntries(hosted.page));
    EXPECT_EQ(1, LevelSelection(hosted.page));
    SetRowCheck(hosted.page, 2, false);  // the second-last member
    EXPECT_EQ(std::vector<std::string>{Loaded(IDS_GROUP_TOO_SMALL)}, boxes.Texts());
    EXPECT_EQ((std::vector<std::string>{"0"}), LevelEntries(hosted.page));
    EXPECT_EQ(0, LevelSelection(hosted.page));
    SetRowCheck(hosted.page, 3, false);
    EXPECT_TRUE(LevelEntries(hosted.page).empty());
    EXPECT_EQ(-1, LevelSelection(hosted.page));
    SetRowCheck(hosted.page, 5, true);
    EXPECT_EQ((std::vector<std::string>{"0"}), LevelEntries(hosted.page));
    EXPECT_EQ(0, LevelSelection(hosted.page));
}

// A mouse click on the row: on its check box, or else on its text.
void ClickRow(CWnd& page, int row, bool onCheckBox)
{
    HWND list = GroupList(page);
    RECT bounds{};
    ListView_GetItemRect(list, row, &bounds, LVIR_BOUNDS);
    POINT at{-1, (bounds.top + bounds.bottom) / 2};
    for (int x = bounds.left; x < bounds.right && at.x < 0; ++x) {
        LVHITTESTINFO hit{};
        hit.pt = {x, at.y};
        ListView_SubItemHitTest(list, &hit);
        UINT wanted = onCheckBox ? LVHT_ONITEMSTATEICON : LVHT_ONITEMLABEL;
        if (hit.iItem == row && (hit.flags & wanted)) at.x = x + (onCheckBox ? 2 : 10);
    }
    ASSERT_GE(at.x, 0) << "no place to click on row " << row;
    LPARAM where = MAKELPARAM(at.x, at.y);
    PostMessageA(list, WM_LBUTTONUP, 0, where);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, where);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

TEST(RedundancyPage, OneClickWarnsOnceAndOnlyWhenAMemberIsUnchecked)
{
    Hosted<CRedundancyDlg> hosted;
    CCnfData record = GroupRecord(3, {0, 1}, 0);
    hosted.Load(record);
    MessageBoxRecorder boxes;
    ClickRow(hosted.page, 1, true);  // the second-last member leaves
    EXPECT_EQ((std::vector<bool>{true, false, false}), Checks(hosted.page));
    EXPECT_EQ(std::vector<std::string>{Loaded(IDS_GROUP_TOO_SMALL)}, boxes.Texts());
    ClickRow(hosted.page, 2, false);  // only selects another row
    ClickRow(hosted.page, 0, false);
    EXPECT_EQ((std::vector<bool>{true, false, false}), Checks(hosted.page));
    EXPECT_EQ(1u, boxes.Texts().size());
}

TEST(RedundancyPage, SavesFlagsLevelAndBatchSetting)
{
    Hosted<CRedundancyDlg> hosted;
    CCnfData record = GroupRecord(5, {1, 3}, 0);
    for (int i = 5; i < kMaxAddresses; ++i) record.Addr_Checked[i] = 1;  // stale flags beyond the list
    hosted.Load(record);
    MessageBoxRecorder boxes;
    SetRowCheck(hosted.page, 4, true);
    SendDlgItemMessageA(hosted.page.m_hWnd, IDC_RED_LEVEL, CB_SETCURSEL, 2, 0);
    ASSERT_TRUE(Click(hosted.page, IDC_RED_EXECUTE));

    EXPECT_TRUE(hosted.page.SaveToConfig(&record));
    std::vector<short> flags(record.Addr_Checked, record.Addr_Checked + kMaxAddresses);
    std::vector<short> expected(kMaxAddresses, 0);
    expected[1] = expected[3] = expected[4] = 1;
    EXPECT_EQ(expected, flags);
    EXPECT_EQ(2, record.RedundancyLevel);
    EXPECT_EQ(1u, record.RedundancyBatchSuppress);
    EXPECT_EQ("C:\\kodra\\suppressed.bat", std::string(record.RedundancyBatchFile));
}

TEST(RedundancyPage, WithoutAddressesListAndLevelStayEmpty)
{
    Hosted<CRedundancyDlg> hosted;
    CCnfData record;
    record.RedundancyLevel = 2;
    record.RedundancyBatchSuppress = 1;
    hosted.Load(record);
    EXPECT_TRUE(Checks(hosted.page).empty());
    EXPECT_TRUE(LevelEntries(hosted.page).empty());
    EXPECT_EQ(-1, LevelSelection(hosted.page));
    EXPECT_FALSE(IsChecked(hosted.page, IDC_RED_EXECUTE));
    EXPECT_TRUE(hosted.page.SaveToConfig(&record));
    EXPECT_EQ(-1, record.RedundancyLevel);
}

TEST(RedundancyPage, EditFileOpensTheBatchInTheEditorAndWaits)
{
    Hosted<CRedundancyDlg> hosted;
    CCnfData record = GroupRecord(0, {}, -1);
    hosted.Load(record);
    classlib::testkit::ProgramStartRecorder starts;
    ASSERT_TRUE(Click(hosted.page, IDC_RED_EDIT_FILE));
    ASSERT_EQ(1u, starts.Calls().size());
    EXPECT_EQ("\"notepad.exe\" \"C:\\kodra\\suppressed.bat\"", std::string(starts.Calls()[0].commandLine));
    EXPECT_TRUE(starts.Calls()[0].wait);
    EXPECT_EQ(SW_SHOW, starts.Calls()[0].showMode);
}

// --- server-time page --------------------------------------------------------

TEST(ServerTimePage, ShowsTheStoredLeadTimeAtLeastOne)
{
    Hosted<CServerTimeDlg> hosted;
    for (auto [stored, shown] : std::vector<std::pair<DWORD, std::string>>{
             {0, "1"}, {1, "1"}, {2, "2"}, {45, "45"}, {4294967295u, "4294967295"}}) {
        CCnfData record;
        record.ExtraTimeMinutes = stored;
        hosted.Load(record);
        EXPECT_EQ(shown, std::string(GetText(hosted.page, IDC_ST_MINUTES)));
        EXPECT_EQ(IDC_ST_MINUTES, FocusedId());
    }
    hosted.page.LoadFromConfig(nullptr);
    EXPECT_FALSE(hosted.page.SaveToConfig(nullptr));
}

TEST(ServerTimePage, AcceptsLeadingDigitsAndRefusesTheRest)
{
    Hosted<CServerTimeDlg> hosted;
    struct Case {
        const char* text;
        const char* message;  // nullptr: accepted
        DWORD stored;
    } cases[] = {
        {"15", nullptr, 15},   {"15 min", nullptr, 15}, {"007", nullptr, 7},
        {"1", nullptr, 1},     {"", "Illegal number!", 3},  {" 15", "Illegal number!", 3},
        {"min", "Illegal number!", 3}, {"-4", "Illegal number!", 3}, {"0", "Number too small!", 3},
        {"00 min", "Number too small!", 3},
        // The job holds an int: a larger number would reach it as another one.
        {"2147483647", nullptr, 2147483647}, {"0002147483647 min", nullptr, 2147483647},
        {"2147483648", "Illegal number!", 3}, {"4294967295", "Illegal number!", 3},
        {"4294967296", "Illegal number!", 3}, {"99999999999", "Illegal number!", 3},
    };
    for (const Case& c : cases) {
        CCnfData record;
        record.ExtraTimeMinutes = 3;
        hosted.Load(record);
        SetText(hosted.page, IDC_ST_MINUTES, c.text);
        MessageBoxRecorder boxes;
        EXPECT_EQ(c.message == nullptr, hosted.page.SaveToConfig(&record) != FALSE) << c.text;
        EXPECT_EQ(c.stored, record.ExtraTimeMinutes) << c.text;
        std::vector<std::string> expected;
        if (c.message) expected.push_back(c.message);
        EXPECT_EQ(expected, boxes.Texts()) << c.text;
    }
}

// --- shutdown-batch page -----------------------------------------------------

class ShutdownBatchPage : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(testlib::WriteTextFile(InFolder("shutdown.bat"), "@echo off\r\n"));
        record_.ExecutePrg = "shutdown.bat";
        record_.LogFileMaxKB = 512;
        hosted_.Load(record_);
    }
    void TearDown() override { DeleteFileA(InFolder("shutdown.bat").c_str()); }

    CWnd& Page() { return hosted_.page; }
    // Saves with the two fields set; the texts of the boxes shown, in order.
    bool Save(const char* logSize, const char* batch, std::vector<std::string>* texts = nullptr,
              int answer = IDYES)
    {
        SetText(Page(), IDC_SDB_LOGSIZE, logSize);
        SetText(Page(), IDC_SDB_SHUTDOWN, batch);
        MessageBoxRecorder boxes(answer);
        bool saved = hosted_.page.SaveToConfig(&record_) != FALSE;
        if (texts) *texts = boxes.Texts();
        return saved;
    }
    void ExpectRefusedField(int id)
    {
        EXPECT_EQ(id, FocusedId());
        int start = -1, end = -1;
        GetSelection(Page(), id, start, end);
        EXPECT_EQ(0, start);
        EXPECT_EQ(GetText(Page(), id).GetLength(), end);
    }

    CCnfData record_;
    Hosted<CClientSDBatchDlg> hosted_;
};

TEST_F(ShutdownBatchPage, LoadsTheFieldsAndTheSignalFilesOfTheProgramFolder)
{
    EXPECT_EQ("shutdown.bat", std::string(GetText(Page(), IDC_SDB_SHUTDOWN)));
    EXPECT_EQ("512", std::string(GetText(Page(), IDC_SDB_LOGSIZE)));
    EXPECT_EQ(InFolder("execute.bat"), std::string(GetText(Page(), IDC_SDB_EXECUTE)));
    EXPECT_EQ(InFolder("message.bat"), std::string(GetText(Page(), IDC_SDB_MESSAGE)));
    EXPECT_EQ(InFolder("mail.bat"), std::string(GetText(Page(), IDC_SDB_MAIL)));
    EXPECT_EQ(IDC_SDB_LOGSIZE, FocusedId());
    for (int id : {IDC_SDB_EXECUTE, IDC_SDB_MESSAGE, IDC_SDB_MAIL})
        EXPECT_TRUE(GetWindowLongA(GetDlgItem(Page().m_hWnd, id), GWL_STYLE) & ES_READONLY) << id;
}

TEST_F(ShutdownBatchPage, LogSizeMustBeAPlainNumberFromOneTo10000)
{
    struct Case {
        const char* text;
        UINT message;  // 0: accepted
    } cases[] = {
        {"512", 0}, {"1", 0}, {"10000", 0}, {"0", IDS_INVALID_LOG_SIZE},
        {"10001", IDS_INVALID_LOG_SIZE}, {"0512", IDS_INVALID_LOG_SIZE}, {"-5", IDS_INVALID_LOG_SIZE},
        {" 512", IDS_INVALID_LOG_SIZE}, {"512 ", IDS_INVALID_LOG_SIZE}, {"+512", IDS_INVALID_LOG_SIZE},
        {"4294967808", IDS_INVALID_LOG_SIZE}, {"", IDS_NO_LOG_SIZE},
    };
    for (const Case& c : cases) {
        record_.LogFileMaxKB = 77;
        std::vector<std::string> texts;
        EXPECT_EQ(c.message == 0, Save(c.text, "shutdown.bat", &texts)) << c.text;
        if (c.message) {
            EXPECT_EQ(std::vector<std::string>{Loaded(c.message)}, texts) << c.text;
            EXPECT_EQ(77u, record_.LogFileMaxKB) << c.text;
            ExpectRefusedField(IDC_SDB_LOGSIZE);
        } else {
            EXPECT_TRUE(texts.empty()) << c.text;
            EXPECT_EQ(std::to_string(record_.LogFileMaxKB), c.text);
        }
    }
}

TEST_F(ShutdownBatchPage, ShutdownBatchIsCheckedAndStoredAsTyped)
{
    std::vector<std::string> texts;
    EXPECT_FALSE(Save("600", "   ", &texts));
    EXPECT_EQ(std::vector<std::string>{Loaded(IDS_NO_BATCH_FILE)}, texts);
    EXPECT_EQ(600u, record_.LogFileMaxKB);  // stored before the batch file is looked at
    ExpectRefusedField(IDC_SDB_SHUTDOWN);

    EXPECT_FALSE(Save("512", "shut*.bat", &texts));
    EXPECT_EQ(std::vector<std::string>{Loaded(IDS_ILLEGAL_FILENAME)}, texts);
    EXPECT_FALSE(Save("512", "shutdown?.bat", &texts));
    EXPECT_EQ(std::vector<std::string>{Loaded(IDS_ILLEGAL_FILENAME)}, texts);

    EXPECT_FALSE(Save("512", "missing.bat", &texts));
    EXPECT_EQ(std::vector<std::string>{Loaded(IDS_FILE_MISSING)}, texts);
    ExpectRefusedField(IDC_SDB_SHUTDOWN);

    EXPECT_TRUE(Save("512", "shutdown.bat", &texts));  // relative: the program folder
    EXPECT_EQ("shutdown.bat", std::string(record_.ExecutePrg));
    std::string absolute = InFolder("shutdown.bat") + " ";
    EXPECT_TRUE(Save("512", absolute.c_str(), &texts));
    EXPECT_TRUE(texts.empty());
    EXPECT_EQ(absolute, std::string(record_.ExecutePrg));
    EXPECT_FALSE(Save("512", " shutdown.bat", &texts));  // the untrimmed name is looked for
    EXPECT_EQ(std::vector<std::string>{Loaded(IDS_FILE_MISSING)}, texts);
}

TEST_F(ShutdownBatchPage, TheServerBatchNameAsksFirst)
{
    ASSERT_TRUE(testlib::WriteTextFile(InFolder("SDSrv.bat"), "@"));
    std::vector<std::string> texts;
    std::string question = Loaded(IDS_SDSRV_FOR_CLIENT);
    question.replace(question.find("%s"), 2, "SDSrv.bat");
    EXPECT_FALSE(Save("512", "C:\\elsewhere\\sdsrv.BAT ", &texts, IDNO));
    EXPECT_EQ(std::vector<std::string>{question}, texts);
    ExpectRefusedField(IDC_SDB_SHUTDOWN);
    {
        MessageBoxRecorder boxes(IDNO);
        SetText(Page(), IDC_SDB_SHUTDOWN, "a/b:sdsrv.bat");
        EXPECT_FALSE(hosted_.page.SaveToConfig(&record_));
        ASSERT_EQ(1u, boxes.Boxes().size());
        EXPECT_EQ("Warning", boxes.Boxes()[0].caption);
        EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION), boxes.Boxes()[0].type);
    }
    EXPECT_TRUE(Save("512", "SDSrv.bat", &texts, IDYES));
    EXPECT_EQ(std::vector<std::string>{question}, texts);
    EXPECT_EQ("SDSrv.bat", std::string(record_.ExecutePrg));
    EXPECT_FALSE(Save("512", "sdsrv2.bat", &texts));
    EXPECT_EQ(std::vector<std::string>{Loaded(IDS_FILE_MISSING)}, texts);
    DeleteFileA(InFolder("SDSrv.bat").c_str());
}

TEST_F(ShutdownBatchPage, EditButtonsOpenTheirFilesInTheEditorAndWait)
{
    SetText(Page(), IDC_SDB_SHUTDOWN, " my shutdown.bat ");
    classlib::testkit::ProgramStartRecorder starts;
    for (int id : {IDC_SDB_EDIT_SHUTDOWN, IDC_SDB_EDIT_EXECUTE, IDC_SDB_EDIT_MESSAGE,
                   IDC_SDB_EDIT_MAIL, IDC_SDB_VIEW_LOG})
        ASSERT_TRUE(Click(Page(), id)) << id;
    std::vector<std::string> lines;
    for (const auto& call : starts.Calls()) {
        lines.push_back(call.commandLine.GetString());
        EXPECT_TRUE(call.wait);
        EXPECT_EQ(SW_SHOW, call.showMode);
    }
    EXPECT_EQ((std::vector<std::string>{
                  "\"notepad.exe\" \" my shutdown.bat \"",
                  "\"notepad.exe\" \"" + InFolder("execute.bat") + "\"",
                  "\"notepad.exe\" \"" + InFolder("message.bat") + "\"",
                  "\"notepad.exe\" \"" + InFolder("mail.bat") + "\"",
                  "\"notepad.exe\" \"" + InFolder("kodra.log") + "\"",
              }),
              lines);
}

TEST_F(ShutdownBatchPage, BrowseOffersBatchAndProgramFilesFromTheCurrentText)
{
    {
        classlib::testkit::FileDialogAnswer answer("C:\\kodra\\picked.bat");
        ASSERT_TRUE(Click(Page(), IDC_SDB_BROWSE));
        ASSERT_EQ(1u, answer.Calls().size());
        const auto& call = answer.Calls()[0];
        EXPECT_TRUE(call.open);
        EXPECT_EQ("Batch files|*.bat|Program files|*.exe|All files|*|", call.filter);
        EXPECT_EQ(Loaded(IDS_BROWSE_SHUTDOWN_TITLE), call.title);
        EXPECT_EQ("shutdown.bat", call.fileName);
        EXPECT_EQ(WizardFolder(), call.initialDir);
    }
    EXPECT_EQ("C:\\kodra\\picked.bat", std::string(GetText(Page(), IDC_SDB_SHUTDOWN)));
    classlib::testkit::FileDialogAnswer cancel(nullptr);
    ASSERT_TRUE(Click(Page(), IDC_SDB_BROWSE));
    EXPECT_EQ("C:\\kodra\\picked.bat", std::string(GetText(Page(), IDC_SDB_SHUTDOWN)));
}

TEST_F(ShutdownBatchPage, ConfigureRunsTheSequenceEditorAndTheMailDialog)
{
    SetText(Page(), IDC_SDB_SHUTDOWN, "shutdown.bat");
    std::vector<UINT> templates;
    classlib::testkit::ModalDriver driver([&](CDialog& dialog) {
        templates.push_back(dialog.GetTemplateId());
        dialog.EndDialog(IDOK);
    });
    MessageBoxRecorder boxes;
    ASSERT_TRUE(Click(Page(), IDC_SDB_CONFIGURE));
    ASSERT_TRUE(Click(Page(), IDC_SDB_MAIL_SETTINGS));
    EXPECT_EQ((std::vector<UINT>{IDD_BATCHEDT, IDD_MAILSETTINGS}), templates);
    EXPECT_EQ("shutdown.bat", std::string(GetText(Page(), IDC_SDB_SHUTDOWN)));
}

}  // namespace
