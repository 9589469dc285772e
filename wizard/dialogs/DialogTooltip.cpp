#include "DialogTooltip.h"

#include "MessageCatalog.h"

const TooltipTextId TooltipTextIds[] = {
    {1003, 850}, {1004, 851}, {2, 852},     {1006, 853}, {1007, 854}, {1008, 855},
    {1022, 857}, {1015, 858}, {1017, 859},  {1019, 860}, {1010, 861}, {1011, 862},
    {1039, 863}, {1041, 864}, {1034, 865},  {1029, 866}, {1031, 867}, {1054, 868},
    {1016, 869}, {1052, 870}, {1053, 871},  {1012, 872}, {1025, 873}, {1027, 874},
    {1048, 875}, {1035, 876}, {1110, 877},  {1020, 878}, {1049, 879}, {1018, 880},
    {1043, 881}, {1051, 882}, {1038, 883},  {1055, 884}, {1060, 885}, {1061, 886},
    {1062, 887}, {1100, 888}, {1101, 889},  {1102, 890}, {1107, 891}, {1108, 892},
    {1111, 893}, {1109, 894}, {1112, 895},  {1056, 1100}, {1058, 1101}, {1059, 1102},
    {1057, 1103}, {2231, 1104}, {2232, 1105}, {0, 0},
};

namespace {
const int kTipVisibleMilliseconds = 30000;
const int kTipWidthPixels = 300;
char g_tipText[1024];
}  // namespace

CDialogTooltip::CDialogTooltip() = default;

CDialogTooltip::CDialogTooltip(const char* templateName, CWnd* parent)
    : CDialog(templateName, parent)
{
}

CDialogTooltip::CDialogTooltip(UINT templateId, CWnd* parent) : CDialog(templateId, parent) {}

BOOL CDialogTooltip::OnInitDialog()
{
    BOOL result = CDialog::OnInitDialog();
    EnableToolTips(TRUE);
    return result;
}

const classlib::MessageMap* CDialogTooltip::GetMessageMap() const
{
    using namespace classlib;
    static const MessageMap map(
        CDialog::GetMessageMap(),
        {
            MapNotifyRange<&CDialogTooltip::OnToolTipNeedText>(TTN_NEEDTEXTA, 0, 0xFFFF),
            MapNotifyRange<&CDialogTooltip::OnToolTipNeedText>(TTN_NEEDTEXTW, 0, 0xFFFF),
        });
    return &map;
}

bool CDialogTooltip::LookupTooltipText(UINT controlId, char* buffer, int size)
{
    if (controlId == 0 || !buffer || size <= 0) return false;
    for (const TooltipTextId* row = TooltipTextIds; row->controlId != 0; ++row) {
        if (row->controlId == controlId) {
            ReadMessage(row->messageNumber, buffer, size);
            return true;
        }
    }
    return false;
}

BOOL CDialogTooltip::OnToolTipNeedText(UINT, NMHDR* header, LRESULT* result)
{
    HWND tip = header->hwndFrom;
    ::SendMessageA(tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(kTipVisibleMilliseconds, 0));
    ::SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, kTipWidthPixels);

    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = m_hWnd;
    tool.uId = header->idFrom;
    if (::SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)) &&
        !(tool.uFlags & TTF_CENTERTIP)) {
        tool.uFlags |= TTF_CENTERTIP;
        ::SendMessageA(tip, TTM_SETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool));
    }

    bool narrow = header->code == TTN_NEEDTEXTA;
    UINT flags = narrow ? reinterpret_cast<NMTTDISPINFOA*>(header)->uFlags
                        : reinterpret_cast<NMTTDISPINFOW*>(header)->uFlags;
    UINT_PTR id = header->idFrom;
    if (flags & TTF_IDISHWND) id = static_cast<UINT_PTR>(::GetDlgCtrlID(reinterpret_cast<HWND>(id)));
    if (id == 0 || !LookupTooltipText(static_cast<UINT>(id), g_tipText, sizeof g_tipText))
        return FALSE;

    if (narrow) {
        reinterpret_cast<NMTTDISPINFOA*>(header)->lpszText = g_tipText;
    } else {
        NMTTDISPINFOW* wide = reinterpret_cast<NMTTDISPINFOW*>(header);
        const int capacity = static_cast<int>(sizeof wide->szText / sizeof wide->szText[0]);
        WCHAR converted[sizeof g_tipText];
        int length = MultiByteToWideChar(CP_THREAD_ACP, 0, g_tipText, -1, converted,
                                         static_cast<int>(sizeof converted / sizeof converted[0]));
        int count = length > 0 ? length - 1 : 0;
        if (count > capacity - 1) count = capacity - 1;
        for (int i = 0; i < count; ++i) wide->szText[i] = converted[i];
        wide->szText[count] = L'\0';
        wide->lpszText = wide->szText;
    }
    *result = 0;
    return TRUE;
}
