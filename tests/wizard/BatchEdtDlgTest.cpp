// The shutdown-sequence editor and its pause and relay dialogs under Xvfb,
// driven through the class library's seams. The helper programs are empty
// files in a scratch folder that is the current directory.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <functional>
#include <string>
#include <vector>

#include "BatchEdtDlg.h"
#include "DebugTrace.h"
#include "KodraRelayCfg.h"
#include "PauseCfgDlg.h"
#include "classlib_testkit.h"
#include "resource.h"
#include "testlib.h"

namespace {

using classlib::testkit::Click;
using classlib::testkit::FileDialogAnswer;
using classlib::testkit::GetText;
using classlib::testkit::MessageBoxRecorder;
using classlib::testkit::ModalDriver;
using classlib::testkit::SetText;
using Names = std::vector<std::string>;

const char* const kHelpers[] = {"Voldrun.exe", "ktSleep.exe", "Brasket.exe", "Quorrin.exe",
                                "Tavilo.exe",  "Ostrel.exe",  "Ostrel95.exe", "kodra.exe"};
const Names kAllRows = {"Log off user",       "Shut down Windows",     "Power off Windows",
                        "Restart Windows",    "Hibernate Windows",     "Suspend Windows",
                        "Quit Lotus Notes",   "Quit Microsoft Office", "Quit Siemens SIMATIC",
                        "Quit Applications",  "Quit Applications (Win95)",
                        "Wait some seconds...", "KODRA shutdown relay"};
const char kHeader[] = "@ECHO off\r\nREM --- Created by KODRA configuration ---\r\n";

HWND Item(CWnd& dlg, int id) { return GetDlgItem(dlg.GetSafeHwnd(), id); }

Names ListNames(CWnd& dlg, int listId)
{
    HWND list = Item(dlg, listId);
    Names names;
    int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[256] = "";
        LVITEMA item{};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
        names.push_back(text);
    }
    return names;
}

Names Available(CWnd& dlg) { return ListNames(dlg, IDC_BATCH_AVAILABLE); }
Names Sequence(CWnd& dlg) { return ListNames(dlg, IDC_BATCH_SEQUENCE); }

int Selected(CWnd& dlg, int listId)
{
    return static_cast<int>(SendMessageA(Item(dlg, listId), LVM_GETNEXTITEM, -1, LVNI_SELECTED));
}

// -1 clears the selection.
void Select(CWnd& dlg, int listId, int index)
{
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = index >= 0 ? item.stateMask : 0;
    SendMessageA(Item(dlg, listId), LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
}

void SelectName(CWnd& dlg, int listId, const std::string& name)
{
    Names names = ListNames(dlg, listId);
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) {
            Select(dlg, listId, static_cast<int>(i));
            return;
        }
    }
    ADD_FAILURE() << name << " is not listed";
}

// Adds the relay template count times; each opens the relay dialog.
void AddRelays(CWnd& dlg, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        SelectName(dlg, IDC_BATCH_AVAILABLE, "KODRA shutdown relay");
        Click(dlg, IDC_BATCH_ADD);
    }
}

void Move(CWnd& dlg, int delta)
{
    NMUPDOWN change{};
    change.hdr.hwndFrom = Item(dlg, IDC_BATCH_MOVE);
    change.hdr.idFrom = IDC_BATCH_MOVE;
    change.hdr.code = UDN_DELTAPOS;
    change.iDelta = delta;
    SendMessageA(dlg.GetSafeHwnd(), WM_NOTIFY, IDC_BATCH_MOVE, reinterpret_cast<LPARAM>(&change));
}

void Notify(CWnd& dlg, int listId, UINT code, int index)
{
    NMITEMACTIVATE activate{};
    activate.hdr.hwndFrom = Item(dlg, listId);
    activate.hdr.idFrom = listId;
    activate.hdr.code = code;
    activate.iItem = index;
    SendMessageA(dlg.GetSafeHwnd(), WM_NOTIFY, listId, reinterpret_cast<LPARAM>(&activate));
}

std::string Shown(CWnd& dlg) { return GetText(dlg, IDC_BATCH_NAME).GetString(); }

void SetAddress(CWnd& dlg, int id, BYTE a, BYTE b, BYTE c, BYTE d)
{
    SendMessageA(Item(dlg, id), IPM_SETADDRESS, 0, MAKEIPADDRESS(a, b, c, d));
}

DWORD GetAddress(CWnd& dlg, int id)
{
    DWORD address = 0;
    SendMessageA(Item(dlg, id), IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
    return address;
}

void FieldChanged(CWnd& dlg, int id, int field, int value)
{
    NMIPADDRESS change{};
    change.hdr.hwndFrom = Item(dlg, id);
    change.hdr.idFrom = id;
    change.hdr.code = IPN_FIELDCHANGED;
    change.iField = field;
    change.iValue = value;
    SendMessageA(dlg.GetSafeHwnd(), WM_NOTIFY, id, reinterpret_cast<LPARAM>(&change));
}

// Control id and text of each tool of the editor's tooltip control.
std::vector<std::pair<int, std::string>> ToolTexts(CWnd& dlg)
{
    HWND tip = classlib::testkit::FindToolTipOf(dlg.GetSafeHwnd());
    std::vector<std::pair<int, std::string>> tools;
    if (!tip) return tools;
    int count = static_cast<int>(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TTTOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        if (!SendMessageA(tip, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&tool))) continue;
        char text[256] = "";
        tool.lpszText = text;
        SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
        int id = (tool.uFlags & TTF_IDISHWND) ? GetDlgCtrlID(reinterpret_cast<HWND>(tool.uId))
                                              : static_cast<int>(tool.uId);
        tools.push_back({id, text});
    }
    return tools;
}

std::vector<std::string> g_traces;
int CaptureTrace(int level, int, const char* text, unsigned, int)
{
    if (level == DEBUG_INFO) g_traces.push_back(text);
    return 0;
}

class BatchEditorTest : public testing::Test {
protected:
    void SetUp() override
    {
        cwd_ = std::make_unique<testlib::CurrentDirectory>(dir_.Path());
        ASSERT_TRUE(cwd_->Entered());
        for (const char* helper : kHelpers) ASSERT_TRUE(testlib::WriteTextFile(dir_.File(helper), ""));
        path_ = dir_.File("shutdown.bat");
    }
    void TearDown() override { cwd_.reset(); }

    void WriteBatch(const std::string& commands) { testlib::WriteTextFile(path_, kHeader + commands + "@CLS\r\n"); }
    std::string Written() { return testlib::ReadTextFile(path_); }

    // Runs the editor; drive works it, nested handles the pause and relay
    // dialogs. An editor still open afterwards is cancelled, so IDCANCEL
    // also means that it stayed open.
    INT_PTR RunEditor(const std::function<void(CDialog&)>& drive,
                      const std::function<void(CDialog&)>& nested = {})
    {
        ModalDriver driver([&](CDialog& dlg) {
            if (dlg.GetTemplateId() == IDD_BATCHEDT) {
                drive(dlg);
                if (IsWindow(dlg.GetSafeHwnd())) PostMessageA(dlg.GetSafeHwnd(), WM_COMMAND, IDCANCEL, 0);
            } else if (nested) {
                nested(dlg);
            } else {
                ADD_FAILURE() << "unexpected dialog " << dlg.GetTemplateId();
                PostMessageA(dlg.GetSafeHwnd(), WM_COMMAND, IDCANCEL, 0);
            }
        });
        CBatchEdtDlg editor(path_.c_str(), nullptr);
        return editor.DoModal();
    }

    testlib::ScratchDir dir_{"batch editor"};
    std::unique_ptr<testlib::CurrentDirectory> cwd_;
    std::string path_;
};

TEST_F(BatchEditorTest, OpensTheFileAsTheSequenceBesideTheRemainingCommands)
{
    WriteBatch("Voldrun.exe logoff\r\nktSleep.exe 5\r\nkodra.exe -s -a 10.0.0.7 -ssl\r\nQuorrin.exe\r\n");
    MessageBoxRecorder boxes(IDNO);
    INT_PTR result = RunEditor([&](CDialog& dlg) {
        EXPECT_EQ((Names{"Log off user", "Wait 5 second(s)", "KODRA shutdown relay to 10.0.0.7",
                         "Quit Microsoft Office"}),
                  Sequence(dlg));
        Names available = kAllRows;
        available.erase(available.begin() + 7);
        available.erase(available.begin());
        EXPECT_EQ(available, Available(dlg));
        EXPECT_EQ(0, Selected(dlg, IDC_BATCH_SEQUENCE));
        EXPECT_EQ(0, Selected(dlg, IDC_BATCH_AVAILABLE));
        EXPECT_EQ("'Shut down Windows'", Shown(dlg));
        EXPECT_EQ("Ends your session and shuts down Windows so that you can safely turn off power.",
                  std::string(GetText(dlg, IDC_BATCH_DESCRIPTION).GetString()));
        EXPECT_EQ(path_, std::string(GetText(dlg, IDC_BATCH_FILE).GetString()));
        EXPECT_TRUE(GetWindowLongA(Item(dlg, IDC_BATCH_FILE), GWL_STYLE) & SS_PATHELLIPSIS);
        EXPECT_FALSE(IsWindowEnabled(Item(dlg, IDC_BATCH_ADD_ALL)));
        char caption[64] = "";
        GetWindowTextA(dlg.GetSafeHwnd(), caption, sizeof caption);
        EXPECT_STREQ("Configure Shutdown Sequence", caption);
        const std::vector<std::pair<int, std::string>> tools = {
            {1050, "Available shutdown commands"},
            {1051, "Add command"},
            {1052, "Add all commands"},
            {1056, "Remove command"},
            {1054, "Remove all commands"},
            {1003, "Move command up or down"},
            {1057, "Current shutdown sequence"},
            {1005, "Description of selected command"},
            {2, "Discard any sequence changes"},
            {1, "Save shutdown sequence"},
            {1103, "Insert custom application (e.g. C:\\windows\\notepad.exe)"},
        };
        EXPECT_EQ(tools, ToolTexts(dlg));
        Click(dlg, IDOK);
    });
    EXPECT_EQ(IDOK, result);
}

TEST_F(BatchEditorTest, AddAndRemoveMoveBuiltInCommandsBetweenTheLists)
{
    RunEditor([&](CDialog& dlg) {
        EXPECT_EQ(kAllRows, Available(dlg));
        EXPECT_TRUE(Sequence(dlg).empty());
        Select(dlg, IDC_BATCH_AVAILABLE, -1);
        Click(dlg, IDC_BATCH_ADD);
        Click(dlg, IDC_BATCH_REMOVE);
        Move(dlg, -1);
        EXPECT_EQ(kAllRows, Available(dlg));
        EXPECT_TRUE(Sequence(dlg).empty());

        SelectName(dlg, IDC_BATCH_AVAILABLE, "Restart Windows");
        Click(dlg, IDC_BATCH_ADD);
        EXPECT_EQ("'Restart Windows'", Shown(dlg));
        SelectName(dlg, IDC_BATCH_AVAILABLE, "Log off user");
        Click(dlg, IDC_BATCH_ADD);
        EXPECT_EQ((Names{"Restart Windows", "Log off user"}), Sequence(dlg));
        EXPECT_EQ(1, Selected(dlg, IDC_BATCH_SEQUENCE));
        EXPECT_EQ(11u, Available(dlg).size());
        EXPECT_EQ(0, Selected(dlg, IDC_BATCH_AVAILABLE));  // the item before, or the first

        Select(dlg, IDC_BATCH_SEQUENCE, -1);
        Click(dlg, IDC_BATCH_REMOVE);
        EXPECT_EQ(2u, Sequence(dlg).size());
        SelectName(dlg, IDC_BATCH_SEQUENCE, "Restart Windows");
        Click(dlg, IDC_BATCH_REMOVE);
        EXPECT_EQ((Names{"Log off user"}), Sequence(dlg));
        Names available = Available(dlg);
        ASSERT_EQ(12u, available.size());
        EXPECT_EQ("Restart Windows", available[1]);  // after the selected available item
        Click(dlg, IDOK);
    });
    EXPECT_EQ(std::string(kHeader) + "Voldrun.exe logoff\r\n@CLS\r\n", Written());
}

TEST_F(BatchEditorTest, AWaitStepAsksForItsSecondsAndLeavesForGoodWhenRemoved)
{
    MessageBoxRecorder boxes;
    int pauses = 0;
    RunEditor(
        [&](CDialog& dlg) {
            SelectName(dlg, IDC_BATCH_AVAILABLE, "Quit Applications");
            Click(dlg, IDC_BATCH_ADD);
            SelectName(dlg, IDC_BATCH_AVAILABLE, "Wait some seconds...");
            Click(dlg, IDC_BATCH_ADD);  // 10
            SelectName(dlg, IDC_BATCH_AVAILABLE, "Wait some seconds...");
            Click(dlg, IDC_BATCH_ADD);  // Esc
            SelectName(dlg, IDC_BATCH_SEQUENCE, "Quit Applications");
            SelectName(dlg, IDC_BATCH_AVAILABLE, "Wait some seconds...");
            Click(dlg, IDC_BATCH_ADD);  // 0 and 86401 refused, then 7
            EXPECT_EQ((Names{"Quit Applications", "Wait 7 second(s)", "Wait 10 second(s)"}), Sequence(dlg));
            EXPECT_EQ(12u, Available(dlg).size());
            SelectName(dlg, IDC_BATCH_SEQUENCE, "Wait 10 second(s)");
            Click(dlg, IDC_BATCH_REMOVE);
            EXPECT_EQ((Names{"Quit Applications", "Wait 7 second(s)"}), Sequence(dlg));
            EXPECT_EQ(12u, Available(dlg).size());
            Click(dlg, IDOK);
        },
        [&](CDialog& pause) {
            ASSERT_EQ(static_cast<UINT>(IDD_PAUSECFG), pause.GetTemplateId());
            EXPECT_EQ("3", std::string(GetText(pause, IDC_PAUSE_SECONDS).GetString()));
            ++pauses;
            if (pauses == 1) {
                SetText(pause, IDC_PAUSE_SECONDS, "10");
                Click(pause, IDOK);
            } else if (pauses == 2) {
                PostMessageA(pause.GetSafeHwnd(), WM_COMMAND, IDCANCEL, 0);
            } else {
                SetText(pause, IDC_PAUSE_SECONDS, "0");
                Click(pause, IDOK);
                SetText(pause, IDC_PAUSE_SECONDS, "86401");
                Click(pause, IDOK);
                SetText(pause, IDC_PAUSE_SECONDS, "ten");
                Click(pause, IDOK);
                EXPECT_TRUE(IsWindow(pause.GetSafeHwnd()));
                EXPECT_EQ(3u, boxes.Calls().size());
                SetText(pause, IDC_PAUSE_SECONDS, "7");
                Click(pause, IDOK);
            }
        });
    EXPECT_EQ(3, pauses);
    EXPECT_EQ(std::string(kHeader) + "Ostrel.exe\r\nktSleep.exe 7\r\n@CLS\r\n", Written());
}

TEST_F(BatchEditorTest, ARelayStepAddsTheHostThenTheRangeInAscendingOrder)
{
    struct Answer {
        const char* host;
        bool ssl;
        BYTE from[4];
        BYTE to[4];  // all zero: left blank
    };
    const Answer answers[] = {
        {"srv1", true, {192, 168, 1, 10}, {192, 168, 1, 12}},
        {"", false, {10, 0, 0, 250}, {10, 0, 0, 5}},
        {"", false, {10, 0, 0, 255}, {10, 0, 0, 255}},
        {"", false, {10, 0, 0, 5}, {0, 0, 0, 0}},
        {" my-alpha ", false, {0, 0, 0, 0}, {0, 0, 0, 0}},
    };
    size_t asked = 0;
    RunEditor(
        [&](CDialog& dlg) {
            AddRelays(dlg, sizeof answers / sizeof answers[0]);
            EXPECT_EQ(kAllRows, Available(dlg));
            Click(dlg, IDOK);
        },
        [&](CDialog& relay) {
            ASSERT_EQ(static_cast<UINT>(IDD_KODRACFG), relay.GetTemplateId());
            ASSERT_LT(asked, sizeof answers / sizeof answers[0]);
            const Answer& a = answers[asked++];
            EXPECT_EQ("", std::string(GetText(relay, IDC_RELAY_HOST).GetString()));
            EXPECT_FALSE(classlib::testkit::IsChecked(relay, IDC_RELAY_SSL));
            EXPECT_TRUE(SendMessageA(Item(relay, IDC_RELAY_FROM), IPM_ISBLANK, 0, 0));
            SetText(relay, IDC_RELAY_HOST, a.host);
            if (a.ssl) Click(relay, IDC_RELAY_SSL);
            if (a.from[0]) SetAddress(relay, IDC_RELAY_FROM, a.from[0], a.from[1], a.from[2], a.from[3]);
            if (a.to[0]) SetAddress(relay, IDC_RELAY_TO, a.to[0], a.to[1], a.to[2], a.to[3]);
            Click(relay, IDOK);
        });
    EXPECT_EQ(std::string(kHeader) +
                  "kodra.exe -s -a srv1 -ssl\r\n"
                  "kodra.exe -s -a 192.168.1.10 -ssl\r\n"
                  "kodra.exe -s -a 192.168.1.11 -ssl\r\n"
                  "kodra.exe -s -a 192.168.1.12 -ssl\r\n"
                  "kodra.exe -s -a 10.0.0.255\r\n"
                  "kodra.exe -s -a my-alpha\r\n"
                  "@CLS\r\n",
              Written());
}

TEST_F(BatchEditorTest, ARelayHostReadsBackAsTypedOrIsRefused)
{
    struct Host {
        const char* typed;
        bool ssl;
        const char* kept;  // nullptr: refused
    } hosts[] = {
        {"my-alpha", false, "my-alpha"},  {"db-archive", false, "db-archive"}, {"srv-a1", true, "srv-a1"},
        {"web-ssl01", false, "web-ssl01"}, {" srv1", false, "srv1"},           {"10.0.0.7", true, "10.0.0.7"},
        {"srv1 & echo x", false, nullptr}, {"srv1>nul", false, nullptr},        {"srv%USERNAME%", false, nullptr},
    };
    size_t asked = 0;
    RunEditor(
        [&](CDialog& dlg) {
            AddRelays(dlg, sizeof hosts / sizeof hosts[0]);
            Click(dlg, IDOK);
        },
        [&](CDialog& relay) {
            ASSERT_LT(asked, sizeof hosts / sizeof hosts[0]);
            const Host& host = hosts[asked++];
            SetText(relay, IDC_RELAY_HOST, host.typed);
            if (host.ssl) Click(relay, IDC_RELAY_SSL);
            MessageBoxRecorder boxes;
            Click(relay, IDOK);
            if (host.kept) {
                EXPECT_TRUE(boxes.Texts().empty()) << host.typed;
                return;
            }
            // The server batch file's message; the dialog stays open.
            EXPECT_EQ(std::vector<std::string>{std::string("The address \"") + host.typed +
                                               "\" cannot be written into a batch file.\r\nAn address must not "
                                               "contain blanks or any of the characters & | < > ^ % \"."},
                      boxes.Texts());
            EXPECT_TRUE(IsWindow(relay.GetSafeHwnd())) << host.typed;
            EXPECT_EQ(IDC_RELAY_HOST, GetDlgCtrlID(GetFocus())) << host.typed;
            PostMessageA(relay.GetSafeHwnd(), WM_COMMAND, IDCANCEL, 0);
        });
    std::string lines;
    Names names;
    for (const Host& host : hosts) {
        if (!host.kept) continue;
        lines += std::string("kodra.exe -s -a ") + host.kept + (host.ssl ? " -ssl" : "") + "\r\n";
        names.push_back(std::string("KODRA shutdown relay to ") + host.kept);
    }
    const std::string expected = std::string(kHeader) + lines + "@CLS\r\n";
    EXPECT_EQ(expected, Written());

    // The next opening shows the same relays and writes them unchanged.
    MessageBoxRecorder boxes(IDYES);
    RunEditor([&](CDialog& dlg) {
        EXPECT_EQ(names, Sequence(dlg));
        Click(dlg, IDOK);
    });
    EXPECT_EQ(expected, Written());
}

// A host of more characters than a host name has would make a line that the
// file's reader stops at, and every command after it would be lost.
TEST_F(BatchEditorTest, ARelayHostLongerThanAHostNameIsRefused)
{
    const std::string longest(253, 'a');
    std::vector<std::string> prompts;
    RunEditor(
        [&](CDialog& dlg) {
            AddRelays(dlg, 1);
            Click(dlg, IDOK);
        },
        [&](CDialog& relay) {
            SetText(relay, IDC_RELAY_HOST, (longest + "b").c_str());
            MessageBoxRecorder boxes;
            Click(relay, IDOK);
            prompts = boxes.Texts();
            EXPECT_TRUE(IsWindow(relay.GetSafeHwnd()));
            SetText(relay, IDC_RELAY_HOST, longest.c_str());
            Click(relay, IDOK);
            EXPECT_EQ(1u, boxes.Texts().size());
        });
    ASSERT_EQ(1u, prompts.size());
    EXPECT_NE(std::string::npos, prompts[0].find("253"));
    EXPECT_NE(std::string::npos, Written().find("kodra.exe -s -a " + longest + "\r\n"));
}

TEST_F(BatchEditorTest, ARelayHostReadAsAnOptionOrAsOtherCharactersIsRefused)
{
    const char* const option = " would be read as an option of the relay program: a host must not begin "
                               "with \"-\" or \"/\".";
    const std::string hosts[][2] = {
        {"-ssl", std::string("The host \"-ssl\"") + option},
        {"/?", std::string("The host \"/?\"") + option},
        {"-p", std::string("The host \"-p\"") + option},
        {"b\xFCro", "\"b\xFCro\" cannot be written into a batch file: the command interpreter would read some "
                   "of its characters as other characters."},
    };
    size_t asked = 0;
    RunEditor(
        [&](CDialog& dlg) {
            AddRelays(dlg, sizeof hosts / sizeof hosts[0]);
            EXPECT_TRUE(Sequence(dlg).empty());
            Click(dlg, IDOK);
        },
        [&](CDialog& relay) {
            ASSERT_LT(asked, sizeof hosts / sizeof hosts[0]);
            const auto& host = hosts[asked++];
            SetText(relay, IDC_RELAY_HOST, host[0].c_str());
            MessageBoxRecorder boxes;
            Click(relay, IDOK);
            EXPECT_EQ(std::vector<std::string>{host[1]}, boxes.Texts());
            EXPECT_TRUE(IsWindow(relay.GetSafeHwnd())) << host[0];
            EXPECT_EQ(IDC_RELAY_HOST, GetDlgCtrlID(GetFocus())) << host[0];
            PostMessageA(relay.GetSafeHwnd(), WM_COMMAND, IDCANCEL, 0);
        });
    EXPECT_EQ(sizeof hosts / sizeof hosts[0], asked);
    EXPECT_EQ(std::string(kHeader) + "@CLS\r\n", Written());
}

TEST_F(BatchEditorTest, TheRangeControlsShareTheirFirstThreeFields)
{
    ModalDriver driver([&](CDialog& relay) {
        SetAddress(relay, IDC_RELAY_FROM, 10, 1, 2, 3);
        SetAddress(relay, IDC_RELAY_TO, 10, 1, 2, 9);
        FieldChanged(relay, IDC_RELAY_FROM, 1, 77);
        EXPECT_EQ(static_cast<DWORD>(MAKEIPADDRESS(10, 77, 2, 9)), GetAddress(relay, IDC_RELAY_TO));
        FieldChanged(relay, IDC_RELAY_TO, 0, 172);
        EXPECT_EQ(static_cast<DWORD>(MAKEIPADDRESS(172, 1, 2, 3)), GetAddress(relay, IDC_RELAY_FROM));
        FieldChanged(relay, IDC_RELAY_FROM, 3, 200);
        EXPECT_EQ(static_cast<DWORD>(MAKEIPADDRESS(10, 77, 2, 9)), GetAddress(relay, IDC_RELAY_TO));
        Click(relay, IDOK);
    });
    CKODRACfg relay(nullptr);
    ASSERT_EQ(IDOK, relay.DoModal());
    EXPECT_EQ(static_cast<DWORD>(MAKEIPADDRESS(172, 1, 2, 3)), relay.m_dwRangeFrom);
    EXPECT_EQ(static_cast<DWORD>(MAKEIPADDRESS(10, 77, 2, 9)), relay.m_dwRangeTo);
    EXPECT_EQ("", std::string(relay.m_strHost.GetString()));
    EXPECT_EQ(0, relay.m_bSSL);
}

TEST_F(BatchEditorTest, ACustomApplicationRunsFromItsOwnFolder)
{
    ASSERT_TRUE(CreateDirectoryA(dir_.File("my tools").c_str(), nullptr));
    const std::string program = dir_.File("my tools\\stop.exe");
    ASSERT_TRUE(testlib::WriteTextFile(program, ""));
    RunEditor([&](CDialog& dlg) {
        {
            FileDialogAnswer cancel(nullptr);
            Click(dlg, IDC_BATCH_CUSTOM);
            EXPECT_TRUE(Sequence(dlg).empty());
        }
        FileDialogAnswer answer(program.c_str());
        SelectName(dlg, IDC_BATCH_AVAILABLE, "Suspend Windows");
        Click(dlg, IDC_BATCH_ADD);
        Select(dlg, IDC_BATCH_SEQUENCE, -1);
        Click(dlg, IDC_BATCH_CUSTOM);
        ASSERT_EQ(1u, answer.Calls().size());
        EXPECT_TRUE(answer.Calls()[0].open);
        EXPECT_EQ("Executables |*.bat;*.cmd;*.exe|", answer.Calls()[0].filter.substr(0, 31));
        const DWORD flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
        EXPECT_EQ(flags, answer.Calls()[0].flags & flags);
        EXPECT_EQ((Names{"Suspend Windows", "stop.exe"}), Sequence(dlg));
        EXPECT_EQ("Custom application.", std::string(GetText(dlg, IDC_BATCH_DESCRIPTION).GetString()));

        SelectName(dlg, IDC_BATCH_SEQUENCE, "stop.exe");
        Click(dlg, IDC_BATCH_REMOVE);
        EXPECT_EQ(13u, Available(dlg).size());
        SelectName(dlg, IDC_BATCH_AVAILABLE, "stop.exe");
        Click(dlg, IDC_BATCH_ADD);
        EXPECT_EQ((Names{"Suspend Windows", "stop.exe"}), Sequence(dlg));
        EXPECT_EQ(12u, Available(dlg).size());
        Click(dlg, IDOK);
    });
    const std::string expected = std::string(kHeader) + "Voldrun.exe suspend\r\nSET path=%path%;" +
                                 dir_.File("my tools") + "\\\r\n\"" + program + "\"\r\n@CLS\r\n";
    EXPECT_EQ(expected, Written());

    // Read back by the next opening, and written again unchanged.
    MessageBoxRecorder boxes(IDYES);
    RunEditor([&](CDialog& dlg) {
        EXPECT_EQ((Names{"Suspend Windows", "stop.exe"}), Sequence(dlg));
        Click(dlg, IDOK);
    });
    EXPECT_EQ(expected, Written());
}

// What the file would not run as the editor shows it, or the next opening
// would show otherwise, is refused when it is added.
TEST_F(BatchEditorTest, ACustomApplicationThatWouldNotRunAsShownIsRefused)
{
    const std::string unreadable = dir_.File("B\xFCro") + "\\x.exe";
    const std::string own = dir_.File("tools") + "\\kodra.exe";
    const std::string uncallable = dir_.File("a^b") + "\\stop.bat";
    const std::string refusals[][2] = {
        {unreadable, "\"" + unreadable + "\" cannot be written into a batch file: the command interpreter "
                     "would read some of its characters as other characters."},
        {own, "\"kodra.exe\" has the name of one of the shutdown sequence's own commands and cannot be added "
              "as a custom application."},
        {uncallable, "The batch file \"" + uncallable + "\" cannot be called from the shutdown batch file.\r\n"
                     "The path of a batch file must not contain the characters ^ or %."},
    };
    RunEditor([&](CDialog& dlg) {
        for (const auto& refusal : refusals) {
            FileDialogAnswer answer(refusal[0].c_str());
            MessageBoxRecorder boxes;
            Click(dlg, IDC_BATCH_CUSTOM);
            EXPECT_EQ(std::vector<std::string>{refusal[1]}, boxes.Texts());
            EXPECT_TRUE(IsWindow(dlg.GetSafeHwnd()));
            EXPECT_TRUE(Sequence(dlg).empty()) << refusal[0];
            EXPECT_EQ(kAllRows, Available(dlg));
        }
        Click(dlg, IDOK);
    });
    EXPECT_EQ(std::string(kHeader) + "@CLS\r\n", Written());
}

TEST_F(BatchEditorTest, TheUpDownControlMovesTheSelectedCommand)
{
    WriteBatch("Brasket.exe\r\nQuorrin.exe\r\nTavilo.exe\r\n");
    RunEditor([&](CDialog& dlg) {
        const Names start = {"Quit Lotus Notes", "Quit Microsoft Office", "Quit Siemens SIMATIC"};
        Select(dlg, IDC_BATCH_SEQUENCE, -1);
        Move(dlg, 1);
        EXPECT_EQ(start, Sequence(dlg));
        Select(dlg, IDC_BATCH_SEQUENCE, 0);
        Move(dlg, -1);
        EXPECT_EQ(start, Sequence(dlg));
        Move(dlg, 1);
        EXPECT_EQ((Names{"Quit Microsoft Office", "Quit Lotus Notes", "Quit Siemens SIMATIC"}), Sequence(dlg));
        EXPECT_EQ(1, Selected(dlg, IDC_BATCH_SEQUENCE));
        Move(dlg, 0);
        EXPECT_EQ((Names{"Quit Microsoft Office", "Quit Siemens SIMATIC", "Quit Lotus Notes"}), Sequence(dlg));
        Move(dlg, 1);
        EXPECT_EQ(2, Selected(dlg, IDC_BATCH_SEQUENCE));
        Move(dlg, -1);
        EXPECT_EQ((Names{"Quit Microsoft Office", "Quit Lotus Notes", "Quit Siemens SIMATIC"}), Sequence(dlg));
        EXPECT_EQ(1, Selected(dlg, IDC_BATCH_SEQUENCE));
    });
}

TEST_F(BatchEditorTest, ACommandListedTwiceMovesAndLeavesItemByItem)
{
    WriteBatch("Brasket.exe\r\nQuorrin.exe\r\nBrasket.exe\r\n");
    MessageBoxRecorder boxes(IDYES);
    RunEditor([&](CDialog& dlg) {
        EXPECT_EQ((Names{"Quit Lotus Notes", "Quit Microsoft Office", "Quit Lotus Notes"}), Sequence(dlg));
        EXPECT_EQ(11u, Available(dlg).size());
        Select(dlg, IDC_BATCH_SEQUENCE, 2);
        Move(dlg, -1);  // the selected item moves, not its twin
        EXPECT_EQ((Names{"Quit Lotus Notes", "Quit Lotus Notes", "Quit Microsoft Office"}), Sequence(dlg));
        EXPECT_EQ(1, Selected(dlg, IDC_BATCH_SEQUENCE));
        Click(dlg, IDC_BATCH_REMOVE);  // the first item of the entry goes
        EXPECT_EQ((Names{"Quit Lotus Notes", "Quit Microsoft Office"}), Sequence(dlg));
        EXPECT_EQ(12u, Available(dlg).size());
        Click(dlg, IDOK);
    });
    EXPECT_EQ(std::string(kHeader) + "Brasket.exe\r\nQuorrin.exe\r\n@CLS\r\n", Written());
}

TEST_F(BatchEditorTest, RemoveAllRebuildsTheAvailableCommands)
{
    ASSERT_TRUE(testlib::WriteTextFile(dir_.File("stop.exe"), ""));
    WriteBatch("Voldrun.exe reboot\r\nktSleep.exe 4\r\nstop.exe\r\nkodra.exe -s -a srv\r\n");
    RunEditor([&](CDialog& dlg) {
        EXPECT_EQ(4u, Sequence(dlg).size());
        ASSERT_TRUE(DeleteFileA(dir_.File("Voldrun.exe").c_str()));
        Click(dlg, IDC_BATCH_REMOVE_ALL);
        EXPECT_TRUE(Sequence(dlg).empty());
        EXPECT_EQ(Names(kAllRows.begin() + 6, kAllRows.end()), Available(dlg));
        EXPECT_EQ(0, Selected(dlg, IDC_BATCH_AVAILABLE));
        EXPECT_EQ("'Quit Lotus Notes'", Shown(dlg));
    });
}

TEST_F(BatchEditorTest, ClicksAndItemChangesShowTheNamedItemsDescription)
{
    WriteBatch("Ostrel95.exe\r\n");
    RunEditor([&](CDialog& dlg) {
        Notify(dlg, IDC_BATCH_AVAILABLE, NM_CLICK, 6);
        EXPECT_EQ("'Quit Lotus Notes'", Shown(dlg));
        EXPECT_EQ("Closes Lotus Notes before shutting down Windows.\r\nPlease configure a 'Wait' delay after this command.",
                  std::string(GetText(dlg, IDC_BATCH_DESCRIPTION).GetString()));
        Notify(dlg, IDC_BATCH_SEQUENCE, NM_CLICK, -1);
        EXPECT_EQ("'Quit Lotus Notes'", Shown(dlg));
        Notify(dlg, IDC_BATCH_SEQUENCE, NM_RCLICK, 0);
        EXPECT_EQ("'Quit Applications (Win95)'", Shown(dlg));
        Notify(dlg, IDC_BATCH_AVAILABLE, NM_RCLICK, 1);
        EXPECT_EQ("'Shut down Windows'", Shown(dlg));
        Select(dlg, IDC_BATCH_SEQUENCE, -1);
        Select(dlg, IDC_BATCH_SEQUENCE, 0);  // an item change
        EXPECT_EQ("'Quit Applications (Win95)'", Shown(dlg));
    });
}

TEST_F(BatchEditorTest, OkAsksBeforeOverwritingAnExistingFile)
{
    WriteBatch("Quorrin.exe\r\n");
    const std::string before = Written();
    {
        MessageBoxRecorder boxes(IDNO);
        EXPECT_EQ(IDOK, RunEditor([&](CDialog& dlg) {
                      Click(dlg, IDC_BATCH_REMOVE_ALL);
                      Click(dlg, IDOK);
                  }));
        ASSERT_EQ(1u, boxes.Calls().size());
        EXPECT_EQ("Overwrite File:\r\n" + path_, std::string(boxes.Calls()[0].text.GetString()));
        EXPECT_EQ("Configure Shutdown Sequence", std::string(boxes.Calls()[0].caption.GetString()));
        EXPECT_EQ(static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION), boxes.Calls()[0].type);
        EXPECT_EQ(before, Written());
    }
    {
        MessageBoxRecorder boxes(IDCANCEL);
        EXPECT_EQ(IDCANCEL, RunEditor([&](CDialog& dlg) {
                      Click(dlg, IDC_BATCH_REMOVE_ALL);
                      Click(dlg, IDOK);
                      EXPECT_TRUE(IsWindowVisible(dlg.GetSafeHwnd()));
                      EXPECT_TRUE(Sequence(dlg).empty());
                      EXPECT_EQ(13u, Available(dlg).size());
                  }));
        EXPECT_EQ(1u, boxes.Calls().size());
        EXPECT_EQ(before, Written());
    }
    {
        MessageBoxRecorder boxes(IDYES);
        EXPECT_EQ(IDCANCEL, RunEditor([&](CDialog& dlg) {
                      Click(dlg, IDC_BATCH_REMOVE_ALL);
                      Click(dlg, IDCANCEL);
                  }));
        EXPECT_TRUE(boxes.Calls().empty());
        EXPECT_EQ(before, Written());
        EXPECT_EQ(IDOK, RunEditor([&](CDialog& dlg) {
                      Click(dlg, IDC_BATCH_REMOVE_ALL);
                      Click(dlg, IDOK);
                  }));
        EXPECT_EQ(1u, boxes.Calls().size());
        EXPECT_EQ(std::string(kHeader) + "@CLS\r\n", Written());
    }
    {
        ASSERT_TRUE(DeleteFileA(path_.c_str()));
        MessageBoxRecorder boxes(IDNO);
        EXPECT_EQ(IDOK, RunEditor([&](CDialog& dlg) { Click(dlg, IDOK); }));
        EXPECT_TRUE(boxes.Calls().empty());  // nothing to overwrite
        EXPECT_EQ(std::string(kHeader) + "@CLS\r\n", Written());
    }
}

TEST_F(BatchEditorTest, AFileThatCannotBeWrittenKeepsTheEditorOpen)
{
    path_ = dir_.File("no such folder\\shutdown.bat");
    MessageBoxRecorder boxes(IDOK);
    EXPECT_EQ(IDCANCEL, RunEditor([&](CDialog& dlg) {
                  Click(dlg, IDOK);
                  EXPECT_TRUE(IsWindowVisible(dlg.GetSafeHwnd()));
              }));
    ASSERT_EQ(1u, boxes.Calls().size());
    EXPECT_EQ("Cannot write file:\r\n" + path_, std::string(boxes.Calls()[0].text.GetString()));
    EXPECT_EQ("Configure Shutdown Sequence", std::string(boxes.Calls()[0].caption.GetString()));
}

TEST_F(BatchEditorTest, WithoutTooltipsTheFileIsStillShown)
{
    WriteBatch("Quorrin.exe\r\n");
    const std::string before = Written();
    DebugResetForTests();
    DebugSetup(DEBUG_CH_DEBUGGER, DEBUG_STREAM_NONE);
    DebugSetReportHook(CaptureTrace);
    g_traces.clear();
    CBatchEdtDlg::FailToolTipForTests(true);
    MessageBoxRecorder boxes(IDYES);
    RunEditor([&](CDialog& dlg) {
        EXPECT_TRUE(ToolTexts(dlg).empty());
        EXPECT_EQ((Names{"Quit Microsoft Office"}), Sequence(dlg));
        EXPECT_EQ(12u, Available(dlg).size());
        Click(dlg, IDOK);
    });
    CBatchEdtDlg::FailToolTipForTests(false);
    DebugResetForTests();
    ASSERT_FALSE(g_traces.empty());
    EXPECT_EQ("Unable To create ToolTip\n", g_traces[0]);
    EXPECT_EQ(1u, boxes.Calls().size());
    EXPECT_EQ(before, Written());
}

TEST(PauseDialog, TheUpDownControlStepsTheStoredSecondsWithinTheRange)
{
    EXPECT_EQ("42", std::string(CPauseCfgDlg("  42abc", nullptr).GetSecondsText().GetString()));
    EXPECT_EQ("0", std::string(CPauseCfgDlg("abc", nullptr).GetSecondsText().GetString()));

    struct Step {
        const char* start;
        int delta;
        const char* typed;  // nullptr: nothing typed
        const char* shown;
    };
    const Step steps[] = {
        {"1", 1, nullptr, "1"},     {"1", -1, nullptr, "2"},      {"5", 0, nullptr, "6"},
        {"5", 3, nullptr, "4"},     {"86400", 0, nullptr, "86400"}, {"86399", -1, nullptr, "86400"},
        {"20", -1, "50", "21"},
    };
    for (const Step& step : steps) {
        ModalDriver driver([&](CDialog& pause) {
            HWND spin = Item(pause, IDC_PAUSE_SPIN);
            EXPECT_FALSE(IsWindowEnabled(spin));
            if (step.typed) SetText(pause, IDC_PAUSE_SECONDS, step.typed);
            NMUPDOWN change{};
            change.hdr.hwndFrom = spin;
            change.hdr.idFrom = IDC_PAUSE_SPIN;
            change.hdr.code = UDN_DELTAPOS;
            change.iDelta = step.delta;
            SendMessageA(pause.GetSafeHwnd(), WM_NOTIFY, IDC_PAUSE_SPIN, reinterpret_cast<LPARAM>(&change));
            EXPECT_EQ(step.shown, std::string(GetText(pause, IDC_PAUSE_SECONDS).GetString())) << step.start;
            Click(pause, IDOK);
        });
        CPauseCfgDlg pause(step.start, nullptr);
        EXPECT_EQ(IDOK, pause.DoModal());
        EXPECT_EQ(step.shown, std::string(pause.GetSecondsText().GetString()));
    }
}

}  // namespace
