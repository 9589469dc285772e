#include "KodraRelayCfg.h"

#include "IniUtil.h"
#include "WizardUtil.h"
#include "resource.h"

// The most characters of a host name: its line then stays far below the
// length at which the shutdown batch file stops being read.
const int kLongestHostName = 253;

namespace {

// The relay program reads a word that begins like an option as one, not as
// the host.
bool CheckNoOption(const CString& host)
{
    if (host.IsEmpty() || (host[0] != '-' && host[0] != '/')) return true;
    CString message;
    message.Format("The host \"%s\" would be read as an option of the relay program: a host must not "
                   "begin with \"-\" or \"/\".",
                   host.GetString());
    ShowInfoMessage(message);
    return false;
}

}  // namespace

CKODRACfg::CKODRACfg(CWnd* parent) : CDialog(IDD_KODRACFG, parent) {}

const classlib::MessageMap* CKODRACfg::GetMessageMap() const
{
    using namespace classlib;
    static const MessageMap map(CDialog::GetMessageMap(), {
        MapNotify<&CKODRACfg::OnFromFieldChanged>(IDC_RELAY_FROM, IPN_FIELDCHANGED),
        MapNotify<&CKODRACfg::OnToFieldChanged>(IDC_RELAY_TO, IPN_FIELDCHANGED),
    });
    return &map;
}

void CKODRACfg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_RELAY_FROM, m_ipFrom);
    DDX_Control(dx, IDC_RELAY_TO, m_ipTo);
    DDX_Text(dx, IDC_RELAY_HOST, m_strHost);
    DDV_MaxChars(dx, m_strHost, kLongestHostName);
    DDX_Check(dx, IDC_RELAY_SSL, m_bSSL);
}

void CKODRACfg::OnOK()
{
    if (!UpdateData(TRUE)) return;
    // The host becomes one word of a batch file line, read back at its blanks.
    TrimCString(m_strHost);
    if (!CheckBatchSafeAddress(m_strHost) || !CheckBatchCodePage(m_strHost) || !CheckNoOption(m_strHost)) {
        GotoDlgCtrl(GetDlgItem(IDC_RELAY_HOST));
        return;
    }
    m_ipFrom.GetAddress(m_dwRangeFrom);
    m_ipTo.GetAddress(m_dwRangeTo);
    EndDialog(IDOK);
}

void CKODRACfg::OnFromFieldChanged(NMHDR* header, LRESULT*) { CopyField(header, m_ipTo); }

void CKODRACfg::OnToFieldChanged(NMHDR* header, LRESULT*) { CopyField(header, m_ipFrom); }

void CKODRACfg::CopyField(const NMHDR* header, CIPAddressCtrl& other)
{
    const NMIPADDRESS* change = reinterpret_cast<const NMIPADDRESS*>(header);
    if (change->iField < 0 || change->iField > 2) return;
    BYTE fields[4] = {};
    other.GetAddress(fields[0], fields[1], fields[2], fields[3]);
    fields[change->iField] = static_cast<BYTE>(change->iValue & 0xFF);
    other.SetAddress(fields[0], fields[1], fields[2], fields[3]);
}
