// The address list page, the address entry, the advanced network settings and
// the adapter chooser under Xvfb, driven through the class library's seams.
#include <winsock2.h>
#include <iphlpapi.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "AddrDlg.h"
#include "AddrlistDlg.h"
#include "AdvNetDlg.h"
#include "PageHost.h"
#include "SelectAdapter.h"
#include "WizardTestKit.h"
#include "classlib_testkit.h"
#include "testlib.h"

namespace {

using namespace classlib::testkit;
using wizardtest::WizardFolder;

const char kServerText[] =
    "IP address list of all KODRA clients that should be notified\r\nby this server.";
const char kClientText[] =
    "IP address list of all KODRA servers that are allowed to send a\r\nshutdown command to this "
    "client (no entry means:every server).";

class AddrlistPage : public testing::Test {
protected:
    void SetUp() override
    {
        record_.SetDefaults();
        record_.WizardMode = 2;
    }
    void Load(std::initializer_list<const char*> addresses)
    {
        record_.Addr.RemoveAll();
        for (const char* a : addresses) record_.Addr.Add(a);
        page_.LoadFromConfig(&record_);
    }
    std::vector<std::string> Entries()
    {
        std::vector<std::string> entries;
        HWND list = ::GetDlgItem(page_.m_hWnd, 1009);
        int count = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[256] = "";
            ::SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            entries.push_back(text);
        }
        return entries;
    }
    int Selection() { return static_cast<int>(page_.SendDlgItemMessage(1009, LB_GETCURSEL)); }
    void Select(int index) { page_.SendDlgItemMessage(1009, LB_SETCURSEL, index); }
    // Opens the address entry from the page and types the text.
    bool AddThroughPage(const char* text)
    {
        ModalDriver driver([&](CDialog& d) {
            SetText(d, 1011, text);
            Click(d, 1039);
        });
        return Click(page_, 1015) && driver.Runs() == 1;
    }

    CAddrlistDlg page_;
    wizardtest::PageHost host_{page_};
    CCnfData record_;
    MessageBoxRecorder boxes_{IDOK};
};

TEST_F(AddrlistPage, LoadsTheListInOrderAndExplainsTheMode)
{
    Load({"zeta", "10.0.0.1", "alpha", "10.0.0.1"});
    EXPECT_EQ((std::vector<std::string>{"zeta", "10.0.0.1", "alpha", "10.0.0.1"}), Entries());
    EXPECT_EQ(kClientText, std::string(GetText(page_, 1023)));
    EXPECT_FALSE(IsVisible(page_, 1022));
    EXPECT_FALSE(IsEnabled(page_, 1022));
    EXPECT_TRUE(IsEnabled(page_, 1015));
    EXPECT_EQ(131u, page_.GetDialogId());
    page_.SetInitialFocus();
    EXPECT_EQ(1015, FocusedId());

    record_.WizardMode = 1;
    Load({"client"});
    EXPECT_EQ(kServerText, std::string(GetText(page_, 1023)));
    EXPECT_EQ(std::vector<std::string>{"client"}, Entries());
}

struct EntryCase {
    std::string text;
    const char* box;  // nullptr: accepted
    std::string result;
};

class AddressEntry : public testing::Test {
protected:
    void SetUp() override
    {
        WSADATA data;
        ASSERT_EQ(0, WSAStartup(MAKEWORD(1, 1), &data));
    }
    void TearDown() override { WSACleanup(); }
};

TEST_F(AddressEntry, RefusesEmptyLongAndIllegalAddresses)
{
    const std::string numeric63 = std::string(56, '0') + "1.2.3.4";  // resolves to 1.2.3.4
    const EntryCase cases[] = {
        {"", "Empty address not allowed!", ""},
        {"   ", "Empty address not allowed!", ""},
        {numeric63, nullptr, numeric63},
        {"0" + numeric63, "Addresses longer than 63 characters are not allowed!", ""},
        {"0.1.2.3", "Illegal Address specified!", ""},
        {"300.1.1.1", "Illegal Address specified!", ""},
        {"1.2.3.0", nullptr, "1.2.3.0"},
        {"  192.168.0.7\t", nullptr, "192.168.0.7"},
        {"010.1.1.1", nullptr, "010.1.1.1"},  // not canonical: looked up as a name
        {"localhost", nullptr, "localhost"},
        {"no-such-host.invalid", "Illegal Address specified!", ""},
    };
    for (const EntryCase& c : cases) {
        MessageBoxRecorder boxes;
        int focus = 0, start = -1, end = -1;
        CString shownText;
        ModalDriver driver([&](CDialog& d) {
            EXPECT_STREQ("prefilled", GetText(d, 1011));
            SetText(d, 1011, c.text.c_str());
            Click(d, 1039);
            focus = FocusedId();
            GetSelection(d, 1011, start, end);
            shownText = GetText(d, 1011);
            // Handled only by a dialog that is still open.
            d.PostMessage(WM_COMMAND, IDCANCEL);
        });
        CAddrDlg entry;
        entry.m_strAddress = "prefilled";
        INT_PTR result = entry.DoModal();
        if (c.box) {
            EXPECT_EQ(IDCANCEL, result) << c.text;
            EXPECT_STREQ("prefilled", entry.m_strAddress) << c.text;
            ASSERT_EQ(1u, boxes.Calls().size()) << c.text;
            EXPECT_STREQ(c.box, boxes.Calls()[0].text) << c.text;
            EXPECT_STREQ("KODRA", boxes.Calls()[0].caption) << c.text;
            EXPECT_EQ(1011, focus) << c.text;
            EXPECT_EQ(0, start) << c.text;
            EXPECT_EQ(shownText.GetLength(), end) << c.text;
        } else {
            EXPECT_EQ(IDOK, result) << c.text;
            EXPECT_TRUE(boxes.Calls().empty()) << c.text;
            EXPECT_EQ(c.result, std::string(entry.m_strAddress)) << c.text;
        }
    }
}

TEST_F(AddrlistPage, AddEditAndDeleteKeepOrderAndAllowDuplicates)
{
    Load({"10.0.0.1"});
    ASSERT_TRUE(AddThroughPage(" 10.0.0.2 "));
    ASSERT_TRUE(AddThroughPage("10.0.0.1"));
    EXPECT_EQ((std::vector<std::string>{"10.0.0.1", "10.0.0.2", "10.0.0.1"}), Entries());

    // Nothing selected: edit and delete only say so.
    Select(-1);
    ASSERT_TRUE(Click(page_, 1019));
    ASSERT_TRUE(Click(page_, 1017));
    ASSERT_EQ(2u, boxes_.Calls().size());
    EXPECT_STREQ("No address selected!", boxes_.Calls()[0].text);
    EXPECT_STREQ("No address selected!", boxes_.Calls()[1].text);
    boxes_.Clear();

    Select(1);
    {
        ModalDriver driver([&](CDialog& d) {
            EXPECT_STREQ("10.0.0.2", GetText(d, 1011));
            SetText(d, 1011, "localhost");
            Click(d, 1039);
        });
        ASSERT_TRUE(Click(page_, 1019));
    }
    EXPECT_EQ((std::vector<std::string>{"10.0.0.1", "localhost", "10.0.0.1"}), Entries());

    Select(1);
    boxes_.QueueAnswers({IDCANCEL});
    ASSERT_TRUE(Click(page_, 1017));
    EXPECT_EQ(3u, Entries().size());
    ASSERT_EQ(1u, boxes_.Calls().size());
    EXPECT_STREQ("Really delete adress [localhost] from list ?", boxes_.Calls()[0].text);
    EXPECT_STREQ("KODRA", boxes_.Calls()[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OKCANCEL | MB_ICONQUESTION), boxes_.Calls()[0].type);

    Select(2);  // the last entry: the new last one is selected
    ASSERT_TRUE(Click(page_, 1017));
    EXPECT_EQ((std::vector<std::string>{"10.0.0.1", "localhost"}), Entries());
    EXPECT_EQ(1, Selection());
    Select(0);
    ASSERT_TRUE(Click(page_, 1017));
    EXPECT_EQ(0, Selection());
    ASSERT_TRUE(Click(page_, 1017));
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(-1, Selection());
}

TEST_F(AddrlistPage, TheAddButtonStopsAtThirtyEntries)
{
    record_.Addr.RemoveAll();
    for (int i = 1; i <= 29; ++i) record_.Addr.Add(("10.0.0." + std::to_string(i)).c_str());
    page_.LoadFromConfig(&record_);
    EXPECT_TRUE(IsEnabled(page_, 1015));
    ASSERT_TRUE(AddThroughPage("10.0.0.30"));
    EXPECT_EQ(30u, Entries().size());
    EXPECT_FALSE(IsEnabled(page_, 1015));
    EXPECT_FALSE(IsVisible(page_, 1022));
    EXPECT_FALSE(AddThroughPage("10.0.0.31"));
    EXPECT_EQ(30u, Entries().size());

    Select(4);
    ASSERT_TRUE(Click(page_, 1017));
    EXPECT_TRUE(IsEnabled(page_, 1015));
    EXPECT_TRUE(IsEnabled(page_, 1022));  // enabled with Add, and still never shown
    EXPECT_FALSE(IsVisible(page_, 1022));

    ASSERT_TRUE(page_.SaveToConfig(&record_));
    ASSERT_EQ(29, record_.Addr.GetSize());
    record_.Addr.Add("10.0.0.99");
    page_.LoadFromConfig(&record_);
    EXPECT_FALSE(IsEnabled(page_, 1015));
}

TEST_F(AddrlistPage, AReloadWithRoomInTheListEnablesAddAgain)
{
    record_.Addr.RemoveAll();
    for (int i = 1; i <= 29; ++i) record_.Addr.Add(("10.0.0." + std::to_string(i)).c_str());
    page_.LoadFromConfig(&record_);
    ASSERT_TRUE(AddThroughPage("10.0.0.30"));
    ASSERT_FALSE(IsEnabled(page_, 1015));
    page_.LoadFromConfig(&record_);  // Back and Next: the 30th was never saved
    EXPECT_EQ(29u, Entries().size());
    EXPECT_TRUE(IsEnabled(page_, 1015));

    // A stored server with 30 clients switched to a client: an empty list.
    record_.Addr.Add("10.0.0.30");
    page_.LoadFromConfig(&record_);
    ASSERT_FALSE(IsEnabled(page_, 1015));
    Load({});
    EXPECT_TRUE(IsEnabled(page_, 1015));
}

TEST_F(AddrlistPage, SavesTrimmedEntriesAndTheNetworkCopies)
{
    record_.AddrModified = 0;
    record_.Port = 7001;
    record_.MessagePort = 1961;
    record_.CmdTray = 1;
    record_.ListenIP = "10.9.9.9";
    record_.Velmor.Add("left over");
    Load({" 10.0.0.1 ", "\tname.local"});
    record_.Addr.RemoveAll();
    ASSERT_TRUE(page_.SaveToConfig(&record_));
    ASSERT_EQ(2, record_.Addr.GetSize());
    EXPECT_STREQ("10.0.0.1", record_.Addr[0]);
    EXPECT_STREQ("name.local", record_.Addr[1]);
    EXPECT_EQ(0, record_.Velmor.GetSize());
    EXPECT_EQ(7001u, record_.Port);
    EXPECT_EQ(1961u, record_.MessagePort);
    EXPECT_EQ(1u, record_.CmdTray);
    EXPECT_STREQ("10.9.9.9", record_.ListenIP);
    EXPECT_EQ(0u, record_.AddrModified);  // nothing edited

    ASSERT_TRUE(AddThroughPage("10.0.0.3"));
    ASSERT_TRUE(page_.SaveToConfig(&record_));
    EXPECT_EQ(1u, record_.AddrModified);
    EXPECT_TRUE(boxes_.Calls().empty());
}

TEST_F(AddrlistPage, AServerNeedsAnAddressAClientDoesNot)
{
    record_.WizardMode = 1;
    Load({});
    record_.Addr.Add("untouched");
    EXPECT_FALSE(page_.SaveToConfig(&record_));
    ASSERT_EQ(1u, boxes_.Calls().size());
    EXPECT_STREQ("No client addresses specified!", boxes_.Calls()[0].text);
    EXPECT_STREQ("KODRA", boxes_.Calls()[0].caption);
    EXPECT_EQ(1, record_.Addr.GetSize());

    record_.WizardMode = 2;
    Load({});
    EXPECT_TRUE(page_.SaveToConfig(&record_));
    EXPECT_EQ(0, record_.Addr.GetSize());
}

TEST_F(AddrlistPage, RedundancyFlagsStayWithTheirAddresses)
{
    const short flags[] = {1, 0, 1, 1};
    std::memcpy(record_.Addr_Checked, flags, sizeof flags);
    record_.Addr_Checked[4] = 1;  // beyond the list: no address carries it
    Load({"a.local", "b.local", "c.local", "d.local"});

    Select(1);
    ASSERT_TRUE(Click(page_, 1017));  // b goes; c and d keep their membership
    {
        ModalDriver driver([&](CDialog& d) {
            SetText(d, 1011, "127.0.0.5");
            Click(d, 1039);
        });
        Select(0);
        ASSERT_TRUE(Click(page_, 1019));  // an edited entry keeps its place in the group
    }
    ASSERT_TRUE(AddThroughPage("127.0.0.9"));  // a new entry starts outside
    ASSERT_TRUE(page_.SaveToConfig(&record_));

    ASSERT_EQ(4, record_.Addr.GetSize());
    EXPECT_STREQ("127.0.0.5", record_.Addr[0]);
    EXPECT_STREQ("c.local", record_.Addr[1]);
    EXPECT_STREQ("d.local", record_.Addr[2]);
    EXPECT_STREQ("127.0.0.9", record_.Addr[3]);
    const short expected[] = {1, 1, 1, 0};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(expected[i], record_.Addr_Checked[i]) << i;
    for (int i = 4; i < kMaxAddresses; ++i) EXPECT_EQ(0, record_.Addr_Checked[i]) << i;

    // An unedited list hands the flags on as they were.
    CCnfData other;
    other.SetDefaults();
    other.WizardMode = 2;
    other.Addr.Add("x");
    other.Addr_Checked[0] = -1;
    other.Addr_Checked[7] = 3;
    page_.LoadFromConfig(&other);
    ASSERT_TRUE(page_.SaveToConfig(&other));
    EXPECT_EQ(-1, other.Addr_Checked[0]);
    EXPECT_EQ(3, other.Addr_Checked[7]);
}

// The SSL text through load, the network dialog's check boxes and save.
TEST_F(AddrlistPage, SslTextFieldsLoadAndSaveBack)
{
    struct Case {
        const char* stored;
        bool ssl, acceptExpired;
        const char* saved;
    } cases[] = {{"0", false, true, "0;;0"},          {"1;abc;0", true, true, "1;abc;0"},
                 {"1;abc;1", true, false, "1;abc;1"}, {"7x;keep;5", true, false, "1;keep;1"},
                 {"", false, true, "0;;0"},           {"0;a b;c;0", false, true, "0;a b;0"}};
    for (const Case& c : cases) {
        record_.SSL = c.stored;
        Load({"10.0.0.1"});
        bool ssl = false, accept = false, acceptEnabled = false;
        ModalDriver driver([&](CDialog& d) {
            ssl = IsChecked(d, 1107);
            accept = IsChecked(d, 1110);
            acceptEnabled = IsEnabled(d, 1110);
            Click(d, IDCANCEL);
        });
        ASSERT_TRUE(Click(page_, 1112));
        EXPECT_EQ(c.ssl, ssl) << c.stored;
        EXPECT_EQ(c.acceptExpired, accept) << c.stored;
        EXPECT_EQ(c.ssl, acceptEnabled) << c.stored;
        ASSERT_TRUE(page_.SaveToConfig(&record_));
        EXPECT_STREQ(c.saved, record_.SSL) << c.stored;
    }
}

class NetworkDialog : public AddrlistPage {
protected:
    void SetUp() override
    {
        AddrlistPage::SetUp();
        DeleteFileA(Tray().c_str());
    }
    void TearDown() override { DeleteFileA(Tray().c_str()); }
    static std::string Tray() { return WizardFolder() + "\\kodratray.exe"; }
};

TEST_F(NetworkDialog, ValuesGoBackToThePageOnlyOnOk)
{
    ASSERT_TRUE(testlib::WriteTextFile(Tray(), "tray"));
    record_.Port = 6003;
    record_.MessagePort = 961;
    record_.CmdTray = 0;
    record_.ListenIP = "127.0.0.1";
    record_.SSL = "0;carried;1";
    Load({"10.0.0.1"});

    ModalDriver change([&](CDialog& d) {
        EXPECT_EQ(141u, d.GetTemplateId());
        EXPECT_STREQ("127.0.0.1", GetText(d, 1108));
        EXPECT_STREQ("6003", GetText(d, 1010));
        EXPECT_STREQ("961", GetText(d, 1011));
        EXPECT_TRUE(IsEnabled(d, 1119));
        EXPECT_FALSE(IsEnabled(d, 1110));
        SetText(d, 1108, "localhost");
        SetText(d, 1010, "7000");
        SetText(d, 1011, "65535");
        Click(d, 1119);
        Click(d, 1107);
        EXPECT_TRUE(IsEnabled(d, 1110));
        Click(d, 1110);
        Click(d, 1107);
        EXPECT_FALSE(IsEnabled(d, 1110));
        Click(d, 1107);
        Click(d, IDOK);
    });
    ASSERT_TRUE(Click(page_, 1112));
    ASSERT_TRUE(page_.SaveToConfig(&record_));
    EXPECT_TRUE(boxes_.Calls().empty());
    EXPECT_STREQ("localhost", record_.ListenIP);
    EXPECT_EQ(7000u, record_.Port);
    EXPECT_EQ(65535u, record_.MessagePort);
    EXPECT_EQ(1u, record_.CmdTray);
    EXPECT_STREQ("1;carried;0", record_.SSL);

    ModalDriver cancel([&](CDialog& d) {
        SetText(d, 1010, "1");
        Click(d, 1119);
        Click(d, IDCANCEL);
    });
    ASSERT_TRUE(Click(page_, 1112));
    ASSERT_TRUE(page_.SaveToConfig(&record_));
    EXPECT_EQ(7000u, record_.Port);
    EXPECT_EQ(1u, record_.CmdTray);
}

TEST_F(NetworkDialog, WithoutTheTrayProgramJobsAsUserIsOffAndDisabled)
{
    record_.CmdTray = 1;
    Load({"10.0.0.1"});
    bool enabled = true, checked = true;
    {
        ModalDriver cancel([&](CDialog& d) { Click(d, IDCANCEL); });
        ASSERT_TRUE(Click(page_, 1112));
    }
    ASSERT_TRUE(page_.SaveToConfig(&record_));
    EXPECT_EQ(1u, record_.CmdTray);  // cancelled: the old value stays

    ModalDriver ok([&](CDialog& d) {
        enabled = IsEnabled(d, 1119);
        checked = IsChecked(d, 1119);
        Click(d, IDOK);
    });
    ASSERT_TRUE(Click(page_, 1112));
    EXPECT_FALSE(enabled);
    EXPECT_FALSE(checked);
    ASSERT_TRUE(page_.SaveToConfig(&record_));
    EXPECT_EQ(0u, record_.CmdTray);
}

TEST_F(NetworkDialog, BadPortsAndUnresolvedBindAddresses)
{
    // A posted Cancel is handled only by a dialog that stayed open.
    CAdvNetDlg badPort("", 6003, 961, FALSE, FALSE, TRUE);
    {
        ModalDriver driver([&](CDialog& d) {
            SetText(d, 1010, "65536");
            Click(d, IDOK);  // refused when taken and again by the standard OK
            d.PostMessage(WM_COMMAND, IDCANCEL);
        });
        EXPECT_EQ(IDCANCEL, badPort.DoModal());
    }
    ASSERT_EQ(2u, boxes_.Calls().size());
    EXPECT_EQ(boxes_.Calls()[0].text, boxes_.Calls()[1].text);  // the class library's range prompt
    boxes_.Clear();

    const char question[] =
        "The IP address <no-such-host.invalid> could not be resolved by DNS.\nContinue anyway?";
    CAdvNetDlg unresolved("no-such-host.invalid", 6003, 961, FALSE, FALSE, TRUE);
    int focus = 0;
    {
        boxes_.QueueAnswers({IDNO});
        ModalDriver driver([&](CDialog& d) {
            Click(d, IDOK);
            focus = FocusedId();
            d.PostMessage(WM_COMMAND, IDCANCEL);
        });
        EXPECT_EQ(IDCANCEL, unresolved.DoModal());
    }
    EXPECT_EQ(1108, focus);
    ASSERT_EQ(1u, boxes_.Calls().size());
    EXPECT_STREQ(question, boxes_.Calls()[0].text);
    EXPECT_STREQ("KODRA", boxes_.Calls()[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION), boxes_.Calls()[0].type);

    boxes_.QueueAnswers({IDYES});
    ModalDriver driver([&](CDialog& d) {
        SetText(d, 1010, "6004");
        Click(d, IDOK);
    });
    EXPECT_EQ(IDOK, unresolved.DoModal());
    EXPECT_EQ(6004, unresolved.m_nPort);
    EXPECT_STREQ("no-such-host.invalid", unresolved.m_strBindAddress);
    EXPECT_EQ(2u, boxes_.Calls().size());

    CAdvNetDlg empty("", 6003, 961, FALSE, FALSE, TRUE);  // the local computer
    EXPECT_EQ(IDOK, empty.DoModal());
    EXPECT_EQ(2u, boxes_.Calls().size());
}

// Adapter records as the IP Helper links them.
class AdapterList {
public:
    void Add(const char* listAddress, const char* description, const char* current = nullptr)
    {
        auto adapter = std::make_unique<IP_ADAPTER_INFO>();
        std::memset(adapter.get(), 0, sizeof(IP_ADAPTER_INFO));
        std::strcpy(adapter->IpAddressList.IpAddress.String, listAddress);
        std::strcpy(adapter->Description, description);
        if (current) {
            auto entry = std::make_unique<IP_ADDR_STRING>();
            std::memset(entry.get(), 0, sizeof(IP_ADDR_STRING));
            std::strcpy(entry->IpAddress.String, current);
            adapter->CurrentIpAddress = entry.get();
            currents_.push_back(std::move(entry));
        }
        if (!adapters_.empty()) adapters_.back()->Next = adapter.get();
        adapters_.push_back(std::move(adapter));
    }
    const IP_ADAPTER_INFO* First() const { return adapters_.empty() ? nullptr : adapters_[0].get(); }

private:
    std::vector<std::unique_ptr<IP_ADAPTER_INFO>> adapters_;
    std::vector<std::unique_ptr<IP_ADDR_STRING>> currents_;
};

struct ChooserView {
    std::vector<std::string> rows;
    std::vector<int> selected;
    std::string headers;
};

ChooserView Look(CDialog& d)
{
    ChooserView view;
    HWND list = ::GetDlgItem(d.m_hWnd, 1106);
    int count = ListView_GetItemCount(list);
    for (int i = 0; i < count; ++i) {
        char address[64] = "", name[256] = "";
        ListView_GetItemText(list, i, 0, address, sizeof address);
        ListView_GetItemText(list, i, 1, name, sizeof name);
        view.rows.push_back(std::string(address) + " " + name);
        if (ListView_GetItemState(list, i, LVIS_SELECTED)) view.selected.push_back(i);
    }
    for (int column = 0; column < 2; ++column) {
        char heading[64] = "";
        LVCOLUMNA info{};
        info.mask = LVCF_TEXT;
        info.pszText = heading;
        info.cchTextMax = sizeof heading;
        ListView_GetColumn(list, column, &info);
        view.headers += std::string(heading) + "|";
    }
    return view;
}

class AdapterChooser : public AddressEntry {};

TEST_F(AdapterChooser, ListsEachAdapterAndPreselectsTheBindAddress)
{
    AdapterList adapters;
    adapters.Add("10.1.1.1", "First adapter");
    adapters.Add("10.2.2.9", "Second adapter", "10.2.2.2");
    adapters.Add("10.1.1.1", "Third adapter");

    ChooserView view;
    ModalDriver driver([&](CDialog& d) {
        view = Look(d);
        Click(d, IDOK);
    });
    CSelectAdapter chooser(adapters.First(), "10.1.1.1");
    EXPECT_EQ(IDOK, chooser.DoModal());
    EXPECT_EQ("Address|Adaptername|", view.headers);
    EXPECT_EQ((std::vector<std::string>{"10.1.1.1 First adapter", "10.2.2.2 Second adapter",
                                        "10.1.1.1 Third adapter"}),
              view.rows);
    EXPECT_EQ(std::vector<int>{2}, view.selected);  // the last row that matches
    EXPECT_STREQ("10.1.1.1", chooser.GetSelectedAddress());

    CSelectAdapter unresolved(adapters.First(), "no-such-host.invalid");
    EXPECT_EQ(IDOK, unresolved.DoModal());
    EXPECT_EQ(std::vector<int>{0}, view.selected);
}

TEST_F(AdapterChooser, DoubleClickChoosesAndNoSelectionGivesAnEmptyAddress)
{
    AdapterList adapters;
    adapters.Add("10.1.1.1", "First adapter");
    adapters.Add("10.2.2.2", "Second adapter");
    {
        ModalDriver driver([&](CDialog& d) {
            HWND list = ::GetDlgItem(d.m_hWnd, 1106);
            ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
            ListView_SetItemState(list, 1, LVIS_SELECTED, LVIS_SELECTED);
            NMHDR header{list, 1106, static_cast<UINT>(NM_DBLCLK)};
            ::SendMessageA(d.m_hWnd, WM_NOTIFY, 1106, reinterpret_cast<LPARAM>(&header));
        });
        CSelectAdapter chooser(adapters.First(), "10.1.1.1");
        EXPECT_EQ(IDOK, chooser.DoModal());
        EXPECT_STREQ("10.2.2.2", chooser.GetSelectedAddress());
    }
    ModalDriver driver([&](CDialog& d) {
        ListView_SetItemState(::GetDlgItem(d.m_hWnd, 1106), -1, 0, LVIS_SELECTED);
        Click(d, IDOK);
    });
    CSelectAdapter chooser(adapters.First(), "10.1.1.1");
    EXPECT_EQ(IDOK, chooser.DoModal());
    EXPECT_STREQ("", chooser.GetSelectedAddress());
}

TEST_F(AdapterChooser, AnEmptyListSaysSoAndCancels)
{
    MessageBoxRecorder boxes;
    ModalDriver driver([&](CDialog& d) { Click(d, IDOK); });
    CSelectAdapter chooser(nullptr, "");
    EXPECT_EQ(IDCANCEL, chooser.DoModal());
    EXPECT_EQ(0, driver.Runs());
    ASSERT_EQ(1u, boxes.Calls().size());
    EXPECT_STREQ("No network adapters found!", boxes.Calls()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_OK), boxes.Calls()[0].type);
}

// The real IP Helper list; its size also counts packed further addresses, so
// it need not be a whole number of adapter records.
TEST_F(NetworkDialog, BrowseForIpTakesTheChosenAdapterAddress)
{
    ULONG size = 0;
    if (GetAdaptersInfo(nullptr, &size) != ERROR_BUFFER_OVERFLOW || size == 0)
        GTEST_SKIP() << "this computer reports no network adapter";
    std::string chosen;
    ModalDriver driver([&](CDialog& d) {
        if (d.GetTemplateId() == 141) {
            SetText(d, 1108, "");
            Click(d, 1109);
            EXPECT_EQ(chosen, std::string(GetText(d, 1108)));
            Click(d, IDOK);
            return;
        }
        ASSERT_EQ(249u, d.GetTemplateId());
        HWND list = ::GetDlgItem(d.m_hWnd, 1106);
        int last = ListView_GetItemCount(list) - 1;
        ASSERT_GE(last, 0);
        char address[64] = "";
        ListView_GetItemText(list, last, 0, address, sizeof address);
        chosen = address;
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
        ListView_SetItemState(list, last, LVIS_SELECTED, LVIS_SELECTED);
        Click(d, IDOK);
    });
    Load({"10.0.0.1"});
    ASSERT_TRUE(Click(page_, 1112));
    EXPECT_EQ(2, driver.Runs()) << "reported size " << size;
    ASSERT_TRUE(page_.SaveToConfig(&record_));
    EXPECT_EQ(chosen, std::string(record_.ListenIP));
}

}  // namespace
