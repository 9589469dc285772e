#include "PauseCfgDlg.h"

#include <climits>

#include "resource.h"

namespace {

const DWORD kMaxSeconds = 86400;

DWORD LeadingNumber(const char* text)
{
    if (!text) return 0;
    while (*text == ' ' || *text == '\t') ++text;
    DWORD value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        DWORD digit = static_cast<DWORD>(*text - '0');
        value = value > (ULONG_MAX - digit) / 10 ? ULONG_MAX : value * 10 + digit;
    }
    return value;
}

}  // namespace

CPauseCfgDlg::CPauseCfgDlg(const char* secondsText, CWnd* parent)
    : CDialog(IDD_PAUSECFG, parent), m_dwSeconds(LeadingNumber(secondsText))
{
}

CString CPauseCfgDlg::GetSecondsText() const
{
    CString text;
    text.Format("%lu", m_dwSeconds);
    return text;
}

const classlib::MessageMap* CPauseCfgDlg::GetMessageMap() const
{
    using namespace classlib;
    static const MessageMap map(CDialog::GetMessageMap(), {
        MapNotify<&CPauseCfgDlg::OnDeltaposSpin>(IDC_PAUSE_SPIN, UDN_DELTAPOS),
    });
    return &map;
}

void CPauseCfgDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_PAUSE_SECONDS, m_dwSeconds);
    DDV_MinMaxDWord(dx, m_dwSeconds, 1, kMaxSeconds);
}

BOOL CPauseCfgDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SendDlgItemMessage(IDC_PAUSE_SPIN, UDM_SETPOS, 0, MAKELPARAM(m_dwSeconds & 0xFFFF, 0));
    return TRUE;
}

void CPauseCfgDlg::OnDeltaposSpin(NMHDR* header, LRESULT*)
{
    const NMUPDOWN* change = reinterpret_cast<const NMUPDOWN*>(header);
    if (change->iDelta <= 0)
        ++m_dwSeconds;
    else
        --m_dwSeconds;
    if (m_dwSeconds == 0) m_dwSeconds = 1;
    if (m_dwSeconds >= kMaxSeconds) m_dwSeconds = kMaxSeconds;
    UpdateData(FALSE);
}
