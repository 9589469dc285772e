#include "DemoDialogs.h"

namespace {
char g_tipText[] = "A tip";
wchar_t g_tipTextW[] = L"A wide tip";
}  // namespace

const classlib::MessageMap* CPageDlg::GetMessageMap() const
{
    using namespace classlib;
    static const MessageMap map(CDialog::GetMessageMap(), {
        MapNotifyRange<&CPageDlg::OnToolTipText>(TTN_NEEDTEXTA, 0, 0xFFFF),
    });
    return &map;
}

BOOL CPageDlg::OnToolTipText(UINT id, NMHDR* header, LRESULT*)
{
    tipRequests.push_back(static_cast<int>(id));
    reinterpret_cast<NMTTDISPINFOA*>(header)->lpszText = g_tipText;
    return TRUE;
}

void CDemoDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_LIST, m_list);
    DDX_Control(dx, IDC_SPIN, m_spin);
    DDX_Control(dx, IDC_IP, m_ip);
    DDX_Control(dx, IDC_COMBO, m_combo);
    DDX_Control(dx, IDC_LISTBOX, m_listBox);
    DDX_Control(dx, IDC_PICTURE, m_picture);
    DDX_Text(dx, IDC_NAME, m_name);
    DDV_MaxChars(dx, m_name, 8);
    DDX_Text(dx, IDC_PORT, m_port);
    DDV_MinMaxInt(dx, m_port, 0, 65535);
    DDX_Text(dx, IDC_COUNT, m_count);
    DDV_MinMaxUInt(dx, m_count, 1, 9);
    DDX_Text(dx, IDC_SECONDS, m_seconds);
    DDV_MinMaxDWord(dx, m_seconds, 1, 86400);
    DDX_Check(dx, IDC_FLAG, m_flag);
    DDX_Radio(dx, IDC_RADIO1, m_radio);
}

BOOL CDemoDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    log.push_back("init");
    if (tooltips)
        EnableToolTips(TRUE);
    return TRUE;
}

const classlib::MessageMap* CDemoDlg::GetMessageMap() const
{
    using namespace classlib;
    static const MessageMap map(CDialog::GetMessageMap(), {
        MapCommand<&CDemoDlg::OnFlagClicked>(IDC_FLAG),
        MapCommand<&CDemoDlg::OnFlagDoubleClicked>(IDC_FLAG, BN_DOUBLECLICKED),
        MapCommand<&CDemoDlg::OnNameChanged>(IDC_NAME, EN_CHANGE),
        MapCommand<&CDemoDlg::OnOpenSmall>(IDC_OPEN_SMALL),
        MapNotify<&CDemoDlg::OnListItemChanged>(IDC_LIST, LVN_ITEMCHANGED),
        MapNotify<&CDemoDlg::OnSpinDelta>(IDC_SPIN, UDN_DELTAPOS),
        MapNotify<&CDemoDlg::OnIpFieldChanged>(IDC_IP, IPN_FIELDCHANGED),
        MapNotifyRange<&CDemoDlg::OnToolTipText>(TTN_NEEDTEXTA, 0, 0xFFFF),
        MapNotifyRange<&CDemoDlg::OnToolTipTextW>(TTN_NEEDTEXTW, 0, 0xFFFF),
        MapMessage<&CDemoDlg::OnPaint>(WM_PAINT),
        MapMessage<&CDemoDlg::OnQueryDragIcon>(WM_QUERYDRAGICON),
        MapMessage<&CDemoDlg::OnTimer>(WM_TIMER),
        MapMessage<&CDemoDlg::OnDestroy>(WM_DESTROY),
        MapMessage<&CDemoDlg::OnCustom>(WM_DEMO_CUSTOM),
        MapMessage<&CDemoDlg::OnPopupClosed>(WM_DEMO_POPUP_CLOSED),
    });
    return &map;
}

void CDemoDlg::OnOpenSmall()
{
    CSmallDlg small(smallParent);
    smallResult = small.DoModal();
    log.push_back("small closed");
}

void CDemoDlg::OnListItemChanged(NMHDR* header, LRESULT*)
{
    const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(header);
    if (change->uChanged & LVIF_STATE)
        log.push_back("list item " + std::to_string(change->iItem) + " changed");
}

void CDemoDlg::OnSpinDelta(NMHDR* header, LRESULT* result)
{
    log.push_back("spin delta " + std::to_string(reinterpret_cast<const NMUPDOWN*>(header)->iDelta));
    *result = 1;  // refuses the change
}

void CDemoDlg::OnIpFieldChanged(NMHDR* header, LRESULT*)
{
    const NMIPADDRESS* change = reinterpret_cast<const NMIPADDRESS*>(header);
    log.push_back("ip field " + std::to_string(change->iField) + "=" + std::to_string(change->iValue));
}

BOOL CDemoDlg::OnToolTipText(UINT id, NMHDR* header, LRESULT*)
{
    tipRequests.push_back(static_cast<int>(id));
    reinterpret_cast<NMTTDISPINFOA*>(header)->lpszText = g_tipText;
    return TRUE;
}

bool CDemoDlg::OnToolTipTextW(NMHDR* header, LRESULT*)
{
    NMTTDISPINFOW* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    const UINT id = (info->uFlags & TTF_IDISHWND)
                        ? static_cast<UINT>(::GetDlgCtrlID(reinterpret_cast<HWND>(header->idFrom)))
                        : static_cast<UINT>(header->idFrom);
    tipRequests.push_back(static_cast<int>(id));
    info->lpszText = g_tipTextW;
    return true;
}

void CDemoDlg::OnPaint()
{
    ++paints;
    if (IsIconic()) {
        CPaintDC dc(this);
        dc.DrawIcon(0, 0, icon);
    } else {
        Default();
    }
}

void CDemoDlg::OnTimer(UINT_PTR id)
{
    log.push_back("timer " + std::to_string(id));
    KillTimer(id);
}

void CDemoDlg::OnDestroy()
{
    log.push_back("destroy");
    Default();
}

LRESULT CDemoDlg::OnCustom(WPARAM wParam, LPARAM lParam)
{
    log.push_back("custom");
    return static_cast<LRESULT>(wParam) + lParam;
}

LRESULT CDemoDlg::OnPopupClosed(WPARAM, LPARAM)
{
    popup->DestroyWindow();
    delete popup;
    popup = nullptr;
    log.push_back("popup deleted");
    return 1;
}

const classlib::MessageMap* CDerivedDemoDlg::GetMessageMap() const
{
    using namespace classlib;
    static const MessageMap map(CDemoDlg::GetMessageMap(), {
        MapCommand<&CDerivedDemoDlg::OnFlagClickedDerived>(IDC_FLAG),
        MapCommand<&CDerivedDemoDlg::OnRadio1>(IDC_RADIO1),
    });
    return &map;
}
