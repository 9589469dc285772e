#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "DemoDialogs.h"
#include "IniUtil.h"
#include "ProfileUtil.h"
#include "classlib_testkit.h"
#include "testlib.h"

namespace {

using namespace classlib::testkit;

std::string S(const CString& s) { return std::string(s.GetString(), s.GetLength()); }

// The test program's application object; it records the Help command that
// reaches it from windows that do not handle it.
class CTestApp : public CWinApp {
public:
    int helpCommands = 0;

protected:
    const classlib::MessageMap* GetMessageMap() const override
    {
        static const classlib::MessageMap map(CWinApp::GetMessageMap(), {
            classlib::MapCommand<&CTestApp::OnHelpCommand>(ID_HELP),
        });
        return &map;
    }
    void OnHelpCommand() { ++helpCommands; }
};
CTestApp theTestApp;

// Runs the dialog modelessly for the duration of a test.
template <class Dialog>
struct Modeless {
    Modeless()
    {
        EXPECT_TRUE(dialog.Create(IDD_DEMO));
        dialog.ShowWindow(SW_SHOW);
    }
    ~Modeless() { dialog.DestroyWindow(); }
    Dialog dialog;
};

struct MainWindowScope {
    explicit MainWindowScope(CWnd* main) { theTestApp.m_pMainWnd = main; }
    ~MainWindowScope() { theTestApp.m_pMainWnd = nullptr; }
};

struct FailureCase {
    const char* name;
    int control;
    const char* text;
    const char* prompt;
};

class DataExchangeFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(DataExchangeFailure, PromptsSelectsFocusesAndStaysOpen)
{
    const FailureCase& c = GetParam();
    MessageBoxRecorder boxes;
    CDemoDlg demo;
    bool stayedOpen = false;
    int focused = 0;
    int selStart = -1;
    int selEnd = -1;
    ModalDriver driver([&](CDialog& dialog) {
        SetText(dialog, c.control, c.text);
        Click(dialog, IDOK);
        stayedOpen = IsWindowVisible(dialog.m_hWnd) != FALSE;
        focused = FocusedId();
        GetSelection(dialog, c.control, selStart, selEnd);
        dialog.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, demo.DoModal());
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(c.control, focused);
    EXPECT_EQ(0, selStart);
    EXPECT_EQ(static_cast<int>(strlen(c.text)), selEnd);
    ASSERT_EQ(1u, boxes.Calls().size());
    EXPECT_EQ(c.prompt, S(boxes.Calls()[0].text));
    EXPECT_STREQ(AfxGetAppTitle(), boxes.Calls()[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION), boxes.Calls()[0].type);
}

INSTANTIATE_TEST_SUITE_P(
    Prompts, DataExchangeFailure,
    ::testing::Values(
        FailureCase{"NotAnInteger", IDC_PORT, "12x", "Bitte geben Sie eine ganze Zahl ein."},
        FailureCase{"IntegerOverflow", IDC_PORT, "99999999999", "Bitte geben Sie eine ganze Zahl ein."},
        FailureCase{"IntegerOutOfRange", IDC_PORT, "65536",
                    "Bitte geben Sie eine ganze Zahl zwischen 0 und 65535 ein."},
        FailureCase{"NegativeUnsigned", IDC_COUNT, "-1", "Bitte geben Sie eine nicht negative ganze Zahl ein."},
        FailureCase{"UnsignedOutOfRange", IDC_COUNT, "10",
                    "Bitte geben Sie eine ganze Zahl zwischen 1 und 9 ein."},
        FailureCase{"EmptyDWord", IDC_SECONDS, "", "Bitte geben Sie eine nicht negative ganze Zahl ein."},
        FailureCase{"DWordOutOfRange", IDC_SECONDS, "86401",
                    "Bitte geben Sie eine ganze Zahl zwischen 1 und 86400 ein."},
        FailureCase{"TooManyCharacters", IDC_NAME, "123456789",
                    "Bitte geben Sie h\xF6" "chstens 8 Zeichen ein."}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST(DataExchange, FillsTheControlsAndTakesTheirValues)
{
    CDemoDlg demo;
    demo.m_name = "abc";
    demo.m_port = -5;
    demo.m_count = 3;
    demo.m_seconds = 86400;
    demo.m_flag = 1;
    demo.m_radio = 1;
    std::string name, port, count, seconds;
    bool flag = false, radio2 = false, radio1 = true;
    LRESULT limit = 0;
    ModalDriver driver([&](CDialog& dialog) {
        name = S(GetText(dialog, IDC_NAME));
        port = S(GetText(dialog, IDC_PORT));
        count = S(GetText(dialog, IDC_COUNT));
        seconds = S(GetText(dialog, IDC_SECONDS));
        flag = IsChecked(dialog, IDC_FLAG);
        radio1 = IsChecked(dialog, IDC_RADIO1);
        radio2 = IsChecked(dialog, IDC_RADIO2);
        limit = dialog.SendDlgItemMessage(IDC_NAME, EM_GETLIMITTEXT);
        SetText(dialog, IDC_NAME, "xyz");
        SetText(dialog, IDC_PORT, " 65535 ");
        SetText(dialog, IDC_COUNT, "9");
        SetText(dialog, IDC_SECONDS, "1");
        Click(dialog, IDC_FLAG);
        Click(dialog, IDC_RADIO3);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(IDOK, demo.DoModal());
    EXPECT_EQ("abc", name);
    EXPECT_EQ("-5", port);
    EXPECT_EQ("3", count);
    EXPECT_EQ("86400", seconds);
    EXPECT_TRUE(flag);
    EXPECT_FALSE(radio1);
    EXPECT_TRUE(radio2);
    EXPECT_EQ(8, limit);
    EXPECT_EQ("xyz", S(demo.m_name));
    EXPECT_EQ(65535, demo.m_port);
    EXPECT_EQ(9u, demo.m_count);
    EXPECT_EQ(1u, demo.m_seconds);
    EXPECT_EQ(0, demo.m_flag);
    EXPECT_EQ(2, demo.m_radio);
}

TEST(DataExchange, RadioGroupWithoutCheckGivesMinusOne)
{
    Modeless<CDemoDlg> run;
    CDemoDlg& demo = run.dialog;
    for (int id : {IDC_RADIO1, IDC_RADIO2, IDC_RADIO3})
        demo.CheckDlgButton(id, BST_UNCHECKED);
    demo.m_radio = 2;
    EXPECT_TRUE(demo.UpdateData(TRUE));
    EXPECT_EQ(-1, demo.m_radio);
}

TEST(ModalDialogs, WithoutParentTheMainWindowOwnsAndIsDisabled)
{
    CDemoDlg demo;
    MainWindowScope main(&demo);
    HWND owner = NULL;
    HWND mainWindow = NULL;
    bool ownerEnabledDuringRun = true;
    bool enabledAfterRun = false;
    ModalDriver driver([&](CDialog& dialog) {
        if (dialog.GetTemplateId() == IDD_SMALL) {
            owner = GetWindow(dialog.m_hWnd, GW_OWNER);
            ownerEnabledDuringRun = demo.IsWindowEnabled() != FALSE;
            SetText(dialog, IDC_SMALL_EDIT, "nested");
            Click(dialog, IDOK);
            return;
        }
        mainWindow = dialog.m_hWnd;
        Click(dialog, IDC_OPEN_SMALL);  // runs the nested dialog to its end
        enabledAfterRun = dialog.IsWindowEnabled() != FALSE;
        dialog.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, demo.DoModal());
    EXPECT_EQ(2, driver.Runs());
    EXPECT_EQ(static_cast<HWND>(NULL), demo.m_hWnd);
    ASSERT_NE(static_cast<HWND>(NULL), mainWindow);
    EXPECT_EQ(mainWindow, owner);
    EXPECT_FALSE(ownerEnabledDuringRun);
    EXPECT_TRUE(enabledAfterRun);
    EXPECT_EQ(IDOK, demo.smallResult);
    EXPECT_TRUE(demo.Logged("small closed"));
}

TEST(ModalDialogs, APageAsParentMakesItsDialogTheOwner)
{
    Modeless<CDemoDlg> run;
    CPageDlg page;
    ASSERT_TRUE(page.Create(IDD_PAGE, &run.dialog));
    run.dialog.smallParent = &page;
    HWND owner = NULL;
    bool ownerEnabled = true;
    ModalDriver driver([&](CDialog& dialog) {
        owner = GetWindow(dialog.m_hWnd, GW_OWNER);
        ownerEnabled = run.dialog.IsWindowEnabled() != FALSE;
        dialog.EndDialog(IDCANCEL);
    });
    Click(run.dialog, IDC_OPEN_SMALL);
    EXPECT_EQ(run.dialog.m_hWnd, owner);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(run.dialog.IsWindowEnabled());
    EXPECT_EQ(IDCANCEL, run.dialog.smallResult);
}

TEST(ModalDialogs, WithoutParentAndMainWindowNothingOwns)
{
    CSmallDlg small;
    HWND owner = reinterpret_cast<HWND>(1);
    ModalDriver driver([&](CDialog& dialog) {
        owner = GetWindow(dialog.m_hWnd, GW_OWNER);
        dialog.EndDialog(7);
    });
    EXPECT_EQ(7, small.DoModal());
    EXPECT_EQ(static_cast<HWND>(NULL), owner);
}

TEST(ModalDialogs, TheCloseBoxAndEscCancel)
{
    CSmallDlg small;
    ModalDriver close([](CDialog& dialog) { dialog.SendMessage(WM_CLOSE); });
    EXPECT_EQ(IDCANCEL, small.DoModal());
    ModalDriver escape([](CDialog&) {
        HWND focus = ::GetFocus();
        PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(focus, WM_KEYUP, VK_ESCAPE, 0);
    });
    EXPECT_EQ(IDCANCEL, small.DoModal());
    ModalDriver enter([](CDialog& dialog) {
        SetText(dialog, IDC_SMALL_EDIT, "typed");
        PostMessageA(::GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
    });
    EXPECT_EQ(IDOK, small.DoModal());
    EXPECT_EQ("typed", S(small.m_text));
}

TEST(ModalDialogs, EndedInOnInitDialogReturnsAtOnce)
{
    CSmallDlg small;
    small.endInInit = true;
    ModalDriver driver([](CDialog&) {});
    EXPECT_EQ(IDABORT, small.DoModal());
    EXPECT_EQ(0, driver.Runs());
}

TEST(ModalDialogs, AMissingTemplateGivesMinusOne)
{
    CDialog missing(4711);
    EXPECT_EQ(-1, missing.DoModal());
}

TEST(ModelessDialogs, AChildPageSitsInsideItsParent)
{
    Modeless<CDemoDlg> run;
    CDemoDlg& demo = run.dialog;
    CPageDlg page;
    ASSERT_TRUE(page.Create(IDD_PAGE, &demo));
    EXPECT_EQ(demo.m_hWnd, ::GetParent(page.m_hWnd));
    EXPECT_TRUE(page.GetStyle() & WS_CHILD);
    page.MoveWindow(CRect(10, 20, 210, 120));
    page.ShowWindow(SW_SHOW);
    CRect rect;
    page.GetWindowRect(&rect);
    demo.ScreenToClient(&rect);
    EXPECT_EQ(10, rect.left);
    EXPECT_EQ(20, rect.top);
    EXPECT_EQ(200, rect.Width());
    EXPECT_TRUE(page.IsWindowVisible());

    // Keyboard navigation of the dialog enters the page.
    ::SetFocus(::GetDlgItem(demo.m_hWnd, IDCANCEL));
    MSG tab{::GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    EXPECT_TRUE(classlib::PreTranslate(tab));
    EXPECT_EQ(IDC_PAGE_EDIT, FocusedId());

    // Enter and Esc in a page reach the dialog around it, not the page.
    page.SendMessage(WM_COMMAND, IDOK);
    EXPECT_TRUE(page.IsWindowVisible());
}

TEST(ModelessDialogs, EndDialogHidesAModelessDialog)
{
    Modeless<CDemoDlg> run;
    EXPECT_TRUE(Click(run.dialog, IDCANCEL));
    EXPECT_FALSE(run.dialog.IsWindowVisible());
    EXPECT_TRUE(IsWindow(run.dialog.m_hWnd));
}

TEST(MessageMaps, ReachEveryKindOfHandler)
{
    Modeless<CDemoDlg> run;
    CDemoDlg& demo = run.dialog;

    Click(demo, IDC_FLAG);
    EXPECT_TRUE(demo.Logged("flag clicked"));
    demo.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FLAG, BN_DOUBLECLICKED),
                     reinterpret_cast<LPARAM>(::GetDlgItem(demo.m_hWnd, IDC_FLAG)));
    EXPECT_TRUE(demo.Logged("flag double-clicked"));
    SetText(demo, IDC_NAME, "typed");
    EXPECT_TRUE(demo.Logged("name changed"));

    demo.m_list.InsertColumn(0, "c", LVCFMT_LEFT, 50);
    demo.m_list.InsertItem(0, "row");
    demo.m_list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_TRUE(demo.Logged("list item 0 changed"));

    NMUPDOWN delta{};
    delta.hdr = {demo.m_spin.m_hWnd, IDC_SPIN, static_cast<UINT>(UDN_DELTAPOS)};
    delta.iDelta = -1;
    EXPECT_EQ(1, demo.SendMessage(WM_NOTIFY, IDC_SPIN, reinterpret_cast<LPARAM>(&delta)));
    EXPECT_TRUE(demo.Logged("spin delta -1"));

    NMIPADDRESS field{};
    field.hdr = {demo.m_ip.m_hWnd, IDC_IP, static_cast<UINT>(IPN_FIELDCHANGED)};
    field.iField = 2;
    field.iValue = 77;
    demo.SendMessage(WM_NOTIFY, IDC_IP, reinterpret_cast<LPARAM>(&field));
    EXPECT_TRUE(demo.Logged("ip field 2=77"));

    // Tooltip requests for window tools arrive under the control's id.
    HWND label = ::GetDlgItem(demo.m_hWnd, IDC_LABEL);
    NMTTDISPINFOA tipA{};
    tipA.hdr = {NULL, reinterpret_cast<UINT_PTR>(label), static_cast<UINT>(TTN_NEEDTEXTA)};
    tipA.uFlags = TTF_IDISHWND;
    demo.SendMessage(WM_NOTIFY, tipA.hdr.idFrom, reinterpret_cast<LPARAM>(&tipA));
    NMTTDISPINFOW tipW{};
    tipW.hdr = {NULL, reinterpret_cast<UINT_PTR>(label), static_cast<UINT>(TTN_NEEDTEXTW)};
    tipW.uFlags = TTF_IDISHWND;
    demo.SendMessage(WM_NOTIFY, tipW.hdr.idFrom, reinterpret_cast<LPARAM>(&tipW));
    EXPECT_EQ((std::vector<int>{IDC_LABEL, IDC_LABEL}), demo.tipRequests);
    EXPECT_STREQ("A tip", tipA.lpszText);

    const int paints = demo.paints;
    demo.Invalidate();
    demo.UpdateWindow();
    EXPECT_GT(demo.paints, paints);

    demo.icon = LoadIconA(NULL, IDI_APPLICATION);
    EXPECT_EQ(reinterpret_cast<LRESULT>(demo.icon), demo.SendMessage(WM_QUERYDRAGICON));

    EXPECT_EQ(42, demo.SendMessage(WM_DEMO_CUSTOM, 40, 2));

    demo.SetTimer(9, 1);
    EXPECT_TRUE(PumpUntil([&] { return demo.Logged("timer 9"); }));

    demo.DestroyWindow();
    EXPECT_TRUE(demo.Logged("destroy"));
    EXPECT_EQ(static_cast<HWND>(NULL), demo.m_hWnd);
}

TEST(MessageMaps, DerivedEntriesComeFirstAndBaseEntriesStillWork)
{
    Modeless<CDerivedDemoDlg> run;
    Click(run.dialog, IDC_FLAG);
    Click(run.dialog, IDC_RADIO1);
    SetText(run.dialog, IDC_NAME, "x");
    EXPECT_TRUE(run.dialog.Logged("derived flag clicked"));
    EXPECT_FALSE(run.dialog.Logged("flag clicked"));
    EXPECT_TRUE(run.dialog.Logged("radio 1"));
    EXPECT_TRUE(run.dialog.Logged("name changed"));
}

TEST(MessageMaps, UnhandledCommandsGoOnToTheApplication)
{
    Modeless<CDemoDlg> run;
    const int before = theTestApp.helpCommands;
    run.dialog.SendMessage(WM_COMMAND, ID_HELP);
    EXPECT_EQ(before + 1, theTestApp.helpCommands);
}

TEST(MessageMaps, AHandlerMayDeleteTheObjectWhoseMessageIsRunning)
{
    Modeless<CDemoDlg> run;
    run.dialog.popup = new CClosingPopup(&run.dialog);
    ASSERT_TRUE(run.dialog.popup->Create(IDD_SMALL, &run.dialog));
    run.dialog.popup->ShowWindow(SW_SHOW);
    HWND popupWindow = run.dialog.popup->m_hWnd;
    EXPECT_TRUE(Click(*run.dialog.popup, IDOK));
    EXPECT_EQ(nullptr, run.dialog.popup);
    EXPECT_TRUE(run.dialog.Logged("popup deleted"));
    EXPECT_FALSE(IsWindow(popupWindow));
    PumpMessages();
}

// The pointer only ever goes to one point, before a tooltip test shows its
// dialog, and the control to hover is moved under it. Every thread of the
// session with windows on the display (the desktop's among them) reports each
// move of the pointer at its own pace, and a report that came after the next
// move would put the cursor back where it was: the tooltip, which looks at the
// cursor when its delay ends, would then find the control hovered before and
// show no tip. Reports of a pointer that never goes anywhere else cannot do
// that. Only child windows move, since they have no window of their own on the
// display: crossings that the display reports for a top-level window's old
// place would be mapped to its new one.
const POINT kHoverPoint{512, 384};

void PointerToHoverPoint() { ASSERT_TRUE(SetCursorPos(kHoverPoint.x, kHoverPoint.y)); }

// Moves the control, or the page that holds it, so that the control's centre
// lies under the pointer, above its siblings; returns the control.
HWND BringUnderPointer(HWND parent, int id)
{
    HWND control = ::GetDlgItem(parent, id);
    HWND moved = control;
    HWND top = ::GetAncestor(control, GA_ROOT);
    while (::GetParent(moved) != top)
        moved = ::GetParent(moved);
    RECT at;
    RECT place;
    EXPECT_TRUE(::GetWindowRect(control, &at) && ::GetWindowRect(moved, &place));
    POINT corner{place.left + kHoverPoint.x - (at.left + at.right) / 2,
                 place.top + kHoverPoint.y - (at.top + at.bottom) / 2};
    ::ScreenToClient(top, &corner);
    EXPECT_TRUE(::SetWindowPos(moved, HWND_TOP, corner.x, corner.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE));
    return control;
}

// Brings the control under the pointer and lets the tooltip come up.
bool HoverUntilTip(CWnd& dialog, int id, const std::vector<int>& requests)
{
    BringUnderPointer(dialog.m_hWnd, id);
    // The mouse message goes where the system would send it: past a disabled
    // control or a static, to the dialog.
    HWND target = WindowFromPoint(kHoverPoint);
    POINT client = kHoverPoint;
    ::ScreenToClient(target, &client);
    PostMessageA(target, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
    return PumpUntil([&] { return std::find(requests.begin(), requests.end(), id) != requests.end(); });
}

TEST(ToolTips, ReachADisabledControlAndAStatic)
{
    PointerToHoverPoint();
    CDemoDlg demo;
    demo.tooltips = true;
    bool disabled = false;
    bool label = false;
    ModalDriver driver([&](CDialog& dialog) {
        disabled = HoverUntilTip(dialog, IDC_DISABLED, demo.tipRequests);
        label = HoverUntilTip(dialog, IDC_LABEL, demo.tipRequests);
        dialog.EndDialog(IDCANCEL);
    });
    demo.DoModal();
    EXPECT_TRUE(disabled);
    EXPECT_TRUE(label);
}

TEST(ToolTips, AChildPageShowsTheTipsOfItsOwnControls)
{
    PointerToHoverPoint();
    CDemoDlg demo;
    demo.tooltips = true;
    CPageDlg page;
    page.tooltips = true;
    bool reached = false;
    ModalDriver driver([&](CDialog& dialog) {
        ASSERT_TRUE(page.Create(IDD_PAGE, &dialog));
        CRect free(130, 145, 290, 195);  // an empty part of the dialog
        ::MapDialogRect(dialog.m_hWnd, &free);
        page.MoveWindow(free);
        page.ShowWindow(SW_SHOW);
        ::EnableWindow(::GetDlgItem(page.m_hWnd, IDC_PAGE_EDIT), FALSE);
        reached = HoverUntilTip(page, IDC_PAGE_EDIT, page.tipRequests);
        dialog.EndDialog(IDCANCEL);
    });
    demo.DoModal();
    EXPECT_TRUE(reached);
    EXPECT_TRUE(demo.tipRequests.empty());
}

TEST(ToolTips, AnOwnToolTipControlShowsTheToolsItIsGiven)
{
    PointerToHoverPoint();
    CRelayDemoDlg demo;
    bool shown = false;
    bool onFlag = false;
    ModalDriver driver([&](CDialog& dialog) {
        ASSERT_NE(static_cast<HWND>(NULL), demo.m_tip.m_hWnd);
        HWND flag = BringUnderPointer(dialog.m_hWnd, IDC_FLAG);
        POINT client = kHoverPoint;
        ::ScreenToClient(flag, &client);
        PostMessageA(flag, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
        shown = PumpUntil([&] { return IsWindowVisible(demo.m_tip.m_hWnd) != FALSE; });
        TTTOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        onFlag = demo.m_tip.SendMessage(TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) &&
                 tool.uId == reinterpret_cast<UINT_PTR>(flag);
        TTTOOLINFOA info;
        EXPECT_TRUE(demo.m_tip.GetToolInfo(info, &dialog, reinterpret_cast<UINT_PTR>(flag)));
        dialog.EndDialog(IDCANCEL);
    });
    demo.DoModal();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(onFlag);
}

TEST(Seams, MessageBoxesAreRecordedAndAnswered)
{
    Modeless<CDemoDlg> run;
    MessageBoxRecorder boxes(IDNO);
    boxes.QueueAnswers({IDYES});
    EXPECT_EQ(IDYES, run.dialog.MessageBox("Question?", NULL, MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(IDNO, run.dialog.MessageBox("Again?", "Caption", MB_YESNO));
    EXPECT_EQ(IDNO, AfxMessageBox(IDS_PROMPT));
    ASSERT_EQ(3u, boxes.Calls().size());
    EXPECT_EQ(run.dialog.m_hWnd, boxes.Calls()[0].owner);
    EXPECT_EQ("Question?", S(boxes.Calls()[0].text));
    EXPECT_STREQ(AfxGetAppTitle(), boxes.Calls()[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION), boxes.Calls()[0].type);
    EXPECT_EQ("Caption", S(boxes.Calls()[1].caption));
    EXPECT_EQ("A prompt from the table", S(boxes.Calls()[2].text));
    EXPECT_STREQ(AfxGetAppTitle(), boxes.Calls()[2].caption);
}

TEST(Seams, FileDialogGetsTheFilterAndAnswersWithAPath)
{
    {
        FileDialogAnswer answer("C:\\tools\\run.bat");
        CFileDialog dialog(TRUE, NULL, "start.bat", OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR,
                           "Executables |*.bat;*.cmd;*.exe||");
        dialog.m_ofn.lpstrTitle = "Choose";
        ASSERT_EQ(IDOK, dialog.DoModal());
        EXPECT_EQ("C:\\tools\\run.bat", S(dialog.GetPathName()));
        EXPECT_EQ("run.bat", S(dialog.GetFileName()));
        ASSERT_EQ(1u, answer.Calls().size());
        const FileDialogRequest& request = answer.Calls()[0];
        EXPECT_TRUE(request.open);
        EXPECT_EQ("Executables |*.bat;*.cmd;*.exe|", request.filter);
        EXPECT_EQ("start.bat", request.fileName);
        EXPECT_EQ("Choose", request.title);
        EXPECT_EQ(static_cast<DWORD>(OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER),
                  request.flags);
    }
    FileDialogAnswer cancel(nullptr);
    CFileDialog dialog(FALSE, "txt", NULL, 0, "Text|*.txt|All|*||");
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_FALSE(cancel.Calls()[0].open);
    EXPECT_EQ("Text|*.txt|All|*|", cancel.Calls()[0].filter);
}

TEST(Seams, ProgramStartsAreRecordedOrRealAndWaitedFor)
{
    {
        ProgramStartRecorder starts(false, ERROR_FILE_NOT_FOUND);
        DWORD error = 0;
        EXPECT_FALSE(classlib::StartProgram("notepad.exe \"x.bat\"", SW_SHOW, true, &error));
        EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), error);
        ASSERT_EQ(1u, starts.Calls().size());
        EXPECT_EQ("notepad.exe \"x.bat\"", S(starts.Calls()[0].commandLine));
        EXPECT_EQ(SW_SHOW, starts.Calls()[0].showMode);
        EXPECT_TRUE(starts.Calls()[0].wait);
    }
    testlib::ScratchDir dir("kodra start");
    ASSERT_TRUE(testlib::CopyInto(testlib::DoublesDir() + "\\recorder.exe", dir.Path(), "notepad.exe"));
    const std::string log = dir.File("starts.log");
    ASSERT_TRUE(SetEnvironmentVariableA("KODRA_RECORD_LOG", log.c_str()));
    const std::string line = "\"" + dir.File("notepad.exe") + "\" \"my file.bat\"";
    DWORD error = 0;
    const bool started = classlib::StartProgram(line.c_str(), SW_SHOWMINIMIZED, true, &error);
    SetEnvironmentVariableA("KODRA_RECORD_LOG", NULL);
    ASSERT_TRUE(started);
    // The log exists at once: the call waited for the program to end.
    std::vector<testlib::RecordedStart> recorded = testlib::ReadRecorderLog(log);
    ASSERT_EQ(1u, recorded.size());
    EXPECT_EQ(line, recorded[0].cmd);
    EXPECT_EQ(SW_SHOWMINIMIZED, recorded[0].show);

    EXPECT_FALSE(classlib::StartProgram(dir.File("missing.exe").c_str(), SW_SHOW, false, &error));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), error);
}

TEST(Controls, ListViewWithColumnsDataChecksAndSelection)
{
    Modeless<CDemoDlg> run;
    CListCtrl& list = run.dialog.m_list;
    list.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    EXPECT_EQ(static_cast<DWORD>(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT),
              list.GetExtendedStyle() & (LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT));
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH;
    EXPECT_FALSE(list.GetColumn(0, &column));
    EXPECT_EQ(0, list.InsertColumn(0, "Address", LVCFMT_LEFT, 60));
    EXPECT_EQ(1, list.InsertColumn(1, "Name", LVCFMT_LEFT, 120));
    EXPECT_TRUE(list.GetColumn(0, &column));
    EXPECT_EQ(60, list.GetColumnWidth(0));
    for (int i = 0; i < 3; ++i) {
        CString text;
        text.Format("10.0.0.%d", i);
        EXPECT_EQ(i, list.InsertItem(list.GetItemCount(), text));
        list.SetItemText(i, 1, std::string(300, static_cast<char>('a' + i)).c_str());
        list.SetItemData(i, static_cast<DWORD_PTR>(100 + i));
    }
    EXPECT_EQ(3, list.GetItemCount());
    EXPECT_EQ("10.0.0.1", S(list.GetItemText(1, 0)));
    EXPECT_EQ(std::string(300, 'c'), S(list.GetItemText(2, 1)));
    EXPECT_EQ(102u, list.GetItemData(2));
    list.SetCheck(1, TRUE);
    EXPECT_TRUE(list.GetCheck(1));
    EXPECT_FALSE(list.GetCheck(0));
    list.SetCheck(1, FALSE);
    EXPECT_FALSE(list.GetCheck(1));
    EXPECT_EQ(-1, list.GetNextItem(-1, LVNI_SELECTED));
    list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(2, list.GetNextItem(-1, LVNI_SELECTED));
    list.SetSelectionMark(2);
    EXPECT_EQ(2, list.GetSelectionMark());
    EXPECT_TRUE(list.DeleteItem(0));
    EXPECT_EQ(101u, list.GetItemData(0));
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(0, list.GetItemCount());
}

TEST(Controls, ListAndComboBoxesSpinAndAddressFields)
{
    Modeless<CDemoDlg> run;
    CDemoDlg& demo = run.dialog;
    CStringArray items;
    items.Add("  one ");
    items.Add("two");
    demo.m_combo.AddString("stale");
    FillComboBox(items, demo.m_combo, TRUE);
    ASSERT_EQ(2, demo.m_combo.GetCount());
    CString text;
    demo.m_combo.GetLBText(0, text);
    EXPECT_EQ("one", S(text));
    FillComboBox(items, demo.m_combo, FALSE);
    demo.m_combo.GetLBText(0, text);
    EXPECT_EQ("  one ", S(text));
    EXPECT_EQ(CB_ERR, demo.m_combo.GetCurSel());
    demo.m_combo.SetCurSel(1);
    EXPECT_EQ(1, demo.m_combo.GetCurSel());

    demo.m_listBox.AddString("b");
    demo.m_listBox.InsertString(0, "a");
    demo.m_listBox.AddString("c");
    demo.m_listBox.DeleteString(2);
    ASSERT_EQ(2, demo.m_listBox.GetCount());
    demo.m_listBox.GetText(1, text);
    EXPECT_EQ("b", S(text));
    EXPECT_EQ(LB_ERR, demo.m_listBox.GetText(5, text));
    EXPECT_EQ(LB_ERR, demo.m_listBox.GetCurSel());

    demo.m_spin.SetPos(40);
    EXPECT_EQ(40, demo.m_spin.GetPos());

    EXPECT_TRUE(demo.m_ip.IsBlank());
    DWORD address = 1;
    EXPECT_EQ(0, demo.m_ip.GetAddress(address));
    EXPECT_EQ(0u, address);
    demo.m_ip.SetAddress(192, 168, 1, 10);
    EXPECT_EQ(4, demo.m_ip.GetAddress(address));
    EXPECT_EQ(0xC0A8010Au, address);
    BYTE f0, f1, f2, f3;
    demo.m_ip.GetAddress(f0, f1, f2, f3);
    EXPECT_EQ(168, f1);
    demo.m_ip.ClearAddress();
    EXPECT_TRUE(demo.m_ip.IsBlank());
}

TEST(Controls, StaticBitmapSwapAndStyleChange)
{
    Modeless<CDemoDlg> run;
    CDemoDlg& demo = run.dialog;
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadBitmap(IDB_DEMO));
    EXPECT_EQ(static_cast<HBITMAP>(NULL), demo.m_picture.SetBitmap(bitmap));
    EXPECT_EQ(bitmap.GetSafeHandle(), demo.m_picture.GetBitmap());
    EXPECT_EQ(bitmap.GetSafeHandle(), demo.m_picture.SetBitmap(NULL));
    EXPECT_TRUE(bitmap.DeleteObject());
    EXPECT_FALSE(bitmap.DeleteObject());

    CWnd* label = demo.GetDlgItem(IDC_LABEL);
    ASSERT_NE(nullptr, label);
    EXPECT_TRUE(label->ModifyStyle(0, SS_PATHELLIPSIS, SWP_FRAMECHANGED));
    EXPECT_TRUE(label->GetStyle() & SS_PATHELLIPSIS);
    EXPECT_FALSE(label->ModifyStyle(0, SS_PATHELLIPSIS));  // nothing to change
    EXPECT_EQ(nullptr, demo.GetDlgItem(4711));
    EXPECT_EQ(label, demo.GetDlgItem(IDC_LABEL));
}

TEST(Application, TitleIconAndInstance)
{
    EXPECT_EQ(&theTestApp, AfxGetApp());
    EXPECT_STRCASEEQ("classlib_gui_tests", AfxGetAppTitle());
    EXPECT_EQ(GetModuleHandleA(NULL), AfxGetInstanceHandle());
    EXPECT_NE(static_cast<HICON>(NULL), theTestApp.LoadIcon(IDI_DEMO));
    EXPECT_EQ(static_cast<HICON>(NULL), theTestApp.LoadIcon(4711));
    EXPECT_TRUE(theTestApp.Enable3dControls());
    EXPECT_EQ(nullptr, AfxGetMainWnd());
}

TEST(Application, CentresADialogOnItsOwner)
{
    Modeless<CDemoDlg> run;
    CSmallDlg small(&run.dialog);
    ASSERT_TRUE(small.Create(IDD_SMALL, &run.dialog));
    small.CenterWindow();
    CRect outer;
    CRect inner;
    run.dialog.GetWindowRect(&outer);
    small.GetWindowRect(&inner);
    EXPECT_NEAR(outer.CenterPoint().x, inner.CenterPoint().x, 1);
    EXPECT_NEAR(outer.CenterPoint().y, inner.CenterPoint().y, 1);
    small.DestroyWindow();
}

}  // namespace
