#include "Controls.h"

#include "App.h"
#include "Internal.h"

void classlib::detail::EnsureCommonControls()
{
    // Tried again on the next dialog when it failed.
    static bool registered = false;
    if (registered)
        return;
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES | ICC_INTERNET_CLASSES;
    registered = InitCommonControlsEx(&controls) != FALSE;
}

int CButton::GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
void CButton::SetCheck(int check) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }

void CEdit::SetSel(int start, int end, BOOL noScroll)
{
    SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end);
    if (!noScroll)
        SendMessage(EM_SCROLLCARET);
}

void CEdit::LimitText(int count) { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(count)); }

HBITMAP CStatic::SetBitmap(HBITMAP bitmap)
{
    return reinterpret_cast<HBITMAP>(
        SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
}

HBITMAP CStatic::GetBitmap() const
{
    return reinterpret_cast<HBITMAP>(SendMessage(STM_GETIMAGE, IMAGE_BITMAP));
}

int CListBox::GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
int CListBox::GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
int CListBox::SetCurSel(int index) { return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(index))); }
int CListBox::AddString(const char* text) { return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text))); }

int CListBox::InsertString(int index, const char* text)
{
    return static_cast<int>(SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)));
}

int CListBox::DeleteString(int index) { return static_cast<int>(SendMessage(LB_DELETESTRING, static_cast<WPARAM>(index))); }
void CListBox::ResetContent() { SendMessage(LB_RESETCONTENT); }
int CListBox::GetTextLen(int index) const { return static_cast<int>(SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(index))); }

int CListBox::GetText(int index, CString& text) const
{
    int length = GetTextLen(index);
    if (length == LB_ERR || length <= 0) {
        text.Empty();
        return length == LB_ERR ? LB_ERR : 0;
    }
    int got = static_cast<int>(SendMessage(LB_GETTEXT, static_cast<WPARAM>(index),
                                           reinterpret_cast<LPARAM>(text.GetBufferSetLength(length))));
    text.ReleaseBuffer(got == LB_ERR ? 0 : got);
    return text.GetLength();
}

int CComboBox::GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
int CComboBox::GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
int CComboBox::SetCurSel(int index) { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index))); }
int CComboBox::AddString(const char* text) { return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text))); }

int CComboBox::InsertString(int index, const char* text)
{
    return static_cast<int>(SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)));
}

int CComboBox::DeleteString(int index) { return static_cast<int>(SendMessage(CB_DELETESTRING, static_cast<WPARAM>(index))); }
void CComboBox::ResetContent() { SendMessage(CB_RESETCONTENT); }

int CComboBox::GetLBText(int index, CString& text) const
{
    int length = static_cast<int>(SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index)));
    if (length == CB_ERR || length <= 0) {
        text.Empty();
        return length == CB_ERR ? CB_ERR : 0;
    }
    int got = static_cast<int>(SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index),
                                           reinterpret_cast<LPARAM>(text.GetBufferSetLength(length))));
    text.ReleaseBuffer(got == CB_ERR ? 0 : got);
    return text.GetLength();
}

DWORD CListCtrl::SetExtendedStyle(DWORD exStyle)
{
    return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(exStyle)));
}

DWORD CListCtrl::GetExtendedStyle() const { return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE)); }

int CListCtrl::InsertColumn(int column, const char* heading, int format, int width, int subItem)
{
    LVCOLUMNA info{};
    info.mask = LVCF_TEXT | LVCF_FMT;
    info.fmt = format;
    info.pszText = const_cast<char*>(heading ? heading : "");
    if (width != -1) {
        info.mask |= LVCF_WIDTH;
        info.cx = width;
    }
    if (subItem != -1) {
        info.mask |= LVCF_SUBITEM;
        info.iSubItem = subItem;
    }
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info)));
}

BOOL CListCtrl::GetColumn(int column, LVCOLUMNA* info) const
{
    return static_cast<BOOL>(SendMessage(LVM_GETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(info)));
}

BOOL CListCtrl::SetColumnWidth(int column, int width)
{
    return static_cast<BOOL>(SendMessage(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0)));
}

int CListCtrl::GetColumnWidth(int column) const { return static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column))); }
int CListCtrl::GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }

int CListCtrl::InsertItem(int item, const char* text)
{
    LVITEMA info{};
    info.mask = LVIF_TEXT;
    info.iItem = item;
    info.pszText = const_cast<char*>(text ? text : "");
    return InsertItem(&info);
}

int CListCtrl::InsertItem(const LVITEMA* item)
{
    return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(item)));
}

BOOL CListCtrl::DeleteItem(int item) { return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(item))); }
BOOL CListCtrl::DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }

BOOL CListCtrl::SetItemText(int item, int subItem, const char* text)
{
    LVITEMA info{};
    info.iSubItem = subItem;
    info.pszText = const_cast<char*>(text ? text : "");
    return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&info)));
}

CString CListCtrl::GetItemText(int item, int subItem) const
{
    // LVM_GETITEMTEXT gives no length: grow until the text fits with room to spare.
    for (int size = 256;; size *= 2) {
        CString text;
        LVITEMA info{};
        info.iSubItem = subItem;
        info.cchTextMax = size;
        info.pszText = text.GetBufferSetLength(size);
        int got = static_cast<int>(SendMessage(LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&info)));
        if (got < size - 1 || size >= (1 << 20)) {
            text.ReleaseBuffer(got < 0 ? 0 : got);
            return text;
        }
    }
}

BOOL CListCtrl::SetItemData(int item, DWORD_PTR data)
{
    LVITEMA info{};
    info.mask = LVIF_PARAM;
    info.iItem = item;
    info.lParam = static_cast<LPARAM>(data);
    return static_cast<BOOL>(SendMessage(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&info)));
}

DWORD_PTR CListCtrl::GetItemData(int item) const
{
    LVITEMA info{};
    info.mask = LVIF_PARAM;
    info.iItem = item;
    if (!SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&info)))
        return 0;
    return static_cast<DWORD_PTR>(info.lParam);
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask)
{
    LVITEMA info{};
    info.state = state;
    info.stateMask = mask;
    return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&info)));
}

UINT CListCtrl::GetItemState(int item, UINT mask) const
{
    return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(item), static_cast<LPARAM>(mask)));
}

int CListCtrl::GetNextItem(int start, int flags) const
{
    return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
}

int CListCtrl::SetSelectionMark(int item) { return static_cast<int>(SendMessage(LVM_SETSELECTIONMARK, 0, item)); }
int CListCtrl::GetSelectionMark() const { return static_cast<int>(SendMessage(LVM_GETSELECTIONMARK)); }

BOOL CListCtrl::GetCheck(int item) const
{
    // The state image is 1 for a clear box and 2 for a checked one.
    return ((GetItemState(item, LVIS_STATEIMAGEMASK) >> 12) - 1) == 1;
}

BOOL CListCtrl::SetCheck(int item, BOOL check)
{
    return SetItemState(item, INDEXTOSTATEIMAGEMASK(check ? 2 : 1), LVIS_STATEIMAGEMASK);
}

BOOL CListCtrl::Update(int item) { return static_cast<BOOL>(SendMessage(LVM_UPDATE, static_cast<WPARAM>(item))); }

int CSpinButtonCtrl::SetPos(int position)
{
    return static_cast<short>(LOWORD(SendMessage(UDM_SETPOS, 0, MAKELPARAM(static_cast<short>(position), 0))));
}

int CSpinButtonCtrl::GetPos() const { return static_cast<short>(LOWORD(SendMessage(UDM_GETPOS))); }

int CIPAddressCtrl::GetAddress(DWORD& address) const
{
    address = 0;
    return static_cast<int>(SendMessage(IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address)));
}

int CIPAddressCtrl::GetAddress(BYTE& field0, BYTE& field1, BYTE& field2, BYTE& field3) const
{
    DWORD address = 0;
    int fields = GetAddress(address);
    field0 = static_cast<BYTE>(FIRST_IPADDRESS(address));
    field1 = static_cast<BYTE>(SECOND_IPADDRESS(address));
    field2 = static_cast<BYTE>(THIRD_IPADDRESS(address));
    field3 = static_cast<BYTE>(FOURTH_IPADDRESS(address));
    return fields;
}

void CIPAddressCtrl::SetAddress(DWORD address) { SendMessage(IPM_SETADDRESS, 0, static_cast<LPARAM>(address)); }

void CIPAddressCtrl::SetAddress(BYTE field0, BYTE field1, BYTE field2, BYTE field3)
{
    SetAddress(static_cast<DWORD>(MAKEIPADDRESS(field0, field1, field2, field3)));
}

void CIPAddressCtrl::ClearAddress() { SendMessage(IPM_CLEARADDRESS); }
BOOL CIPAddressCtrl::IsBlank() const { return static_cast<BOOL>(SendMessage(IPM_ISBLANK)); }

CToolTipCtrl::~CToolTipCtrl()
{
    if (m_hWnd && IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
    Detach();
}

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD style)
{
    classlib::detail::EnsureCommonControls();
    HWND window = CreateWindowExA(0, TOOLTIPS_CLASSA, NULL, WS_POPUP | style, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  parent ? parent->m_hWnd : NULL, NULL, AfxGetInstanceHandle(), NULL);
    if (!window)
        return FALSE;
    if (!Attach(window)) {
        ::DestroyWindow(window);
        return FALSE;
    }
    return TRUE;
}

BOOL CToolTipCtrl::AddTool(CWnd* window, const char* text, LPCRECT rect, UINT_PTR toolId)
{
    if (!window || !window->m_hWnd)
        return FALSE;
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.lpszText = const_cast<char*>(text);
    if (rect) {
        tool.hwnd = window->m_hWnd;
        tool.uId = toolId;
        tool.rect = *rect;
    } else {
        HWND parent = ::GetParent(window->m_hWnd);
        tool.hwnd = parent ? parent : window->m_hWnd;
        tool.uId = reinterpret_cast<UINT_PTR>(window->m_hWnd);
        tool.uFlags = TTF_IDISHWND;
    }
    return static_cast<BOOL>(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)));
}

void CToolTipCtrl::Activate(BOOL activate) { SendMessage(TTM_ACTIVATE, activate); }

void CToolTipCtrl::RelayEvent(MSG* msg)
{
    if (m_hWnd)
        SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
}

int CToolTipCtrl::SetMaxTipWidth(int width) { return static_cast<int>(SendMessage(TTM_SETMAXTIPWIDTH, 0, width)); }

void CToolTipCtrl::SetDelayTime(DWORD duration, int milliseconds)
{
    SendMessage(TTM_SETDELAYTIME, duration, MAKELPARAM(milliseconds, 0));
}

BOOL CToolTipCtrl::GetToolInfo(TTTOOLINFOA& info, CWnd* window, UINT_PTR toolId) const
{
    info = TTTOOLINFOA{};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.hwnd = window ? window->m_hWnd : NULL;
    info.uId = toolId;
    return static_cast<BOOL>(SendMessage(TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&info)));
}

void CToolTipCtrl::SetToolInfo(const TTTOOLINFOA* info) { SendMessage(TTM_SETTOOLINFOA, 0, reinterpret_cast<LPARAM>(info)); }
