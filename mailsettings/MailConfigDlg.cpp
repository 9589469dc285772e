#include "MailConfigDlg.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "MailerProcess.h"
#include "MailerSettings.h"
#include "Password.h"
#include "RegLib.h"
#include "SharedKeyView.h"
#include "UniqueHandle.h"

namespace {

const int kMaxEntry = 64;
const int kTextSize = 512;

const int kMsgSenderEmpty = 5000;
const int kMsgServerEmpty = 5001;
const int kMsgCaption = 5002;
const int kMsgLoginEmpty = 5003;
const int kMsgPasswordEmpty = 5004;
const int kMsgFirstBlank = 5005;
const int kTooltipOffset = 4100;

enum Field { kSender, kServer, kLogin, kPassword };
// The string table's texts for a double quote, in the order of the fields.
const UINT kFirstQuoteMessage = IDS_SENDER_QUOTE;
static_assert(IDS_PASSWORD_QUOTE - IDS_SENDER_QUOTE == kPassword, "one text per field");

// A value that does not fit 512 bytes or is not REG_SZ reads as not present.
bool ReadValue(HKEY key, const char* name, CString& value)
{
    char buffer[kTextSize];
    uint32_t size = sizeof buffer;
    if (!RegLibGetString(key, name, buffer, &size)) return false;
    value = buffer;
    return true;
}

}  // namespace

CMailConfigDlg::CMailConfigDlg(CWnd* parent)
    : CDialog(IDD_MAILCONFIG_DIALOG, parent), m_bUseAuth(FALSE)
{
    m_hIcon = ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

const classlib::MessageMap* CMailConfigDlg::GetMessageMap() const
{
    using namespace classlib;
    static const MessageMap map(CDialog::GetMessageMap(), {
        MapMessage<&CMailConfigDlg::OnPaint>(WM_PAINT),
        MapMessage<&CMailConfigDlg::OnQueryDragIcon>(WM_QUERYDRAGICON),
        MapCommand<&CMailConfigDlg::OnUseAuth>(IDC_USE_AUTH),
        MapNotifyRange<&CMailConfigDlg::OnToolTipNeedText>(TTN_NEEDTEXTA, 0, 0xFFFF),
    });
    return &map;
}

void CMailConfigDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_SENDER, m_strSender);
    DDV_MaxChars(dx, m_strSender, kMaxEntry);
    DDX_Text(dx, IDC_SERVER, m_strServer);
    DDV_MaxChars(dx, m_strServer, kMaxEntry);
    DDX_Text(dx, IDC_LOGIN, m_strLogin);
    DDV_MaxChars(dx, m_strLogin, kMaxEntry);
    DDX_Text(dx, IDC_PASSWORD, m_strPassword);
    DDV_MaxChars(dx, m_strPassword, kMaxEntry);
    DDX_Check(dx, IDC_USE_AUTH, m_bUseAuth);
}

BOOL CMailConfigDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    EnableToolTips(TRUE);

    bool useAuth = false;
    UniqueRegKey key(
        RegLibOpenKeyAccess(HKEY_LOCAL_MACHINE, kMailerKey, KEY_ALL_ACCESS | kSharedKeyView));
    if (key) {
        ReadValue(key.Get(), kMailerSenderValue, m_strSender);
        ReadValue(key.Get(), kMailerServerValue, m_strServer);
        if (ReadValue(key.Get(), kMailerLoginValue, m_strLogin)) {
            m_strSavedLogin = m_strLogin;
            useAuth = !m_strSavedLogin.IsEmpty();
        }
        CString stored;
        if (ReadValue(key.Get(), kMailerPasswordValue, stored)) {
            // A damaged password stays out of the field, so that OK asks for it
            // instead of installing the damage.
            if (StoredPasswordReadsWhole(key.Get(), stored)) {
                m_strSavedPassword = UnscramblePassword(stored);
                m_strPassword = m_strSavedPassword;
            }
        } else {
            useAuth = false;
        }
    }

    m_bUseAuth = FALSE;
    UpdateData(FALSE);
    if (useAuth) {
        CheckDlgButton(IDC_USE_AUTH, BST_CHECKED);
        OnUseAuth();
    }
    return TRUE;
}

void CMailConfigDlg::OnPaint()
{
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    int iconWidth = GetSystemMetrics(SM_CXICON);
    int iconHeight = GetSystemMetrics(SM_CYICON);
    RECT client;
    GetClientRect(&client);
    dc.DrawIcon((client.right - client.left - iconWidth + 1) / 2,
                (client.bottom - client.top - iconHeight + 1) / 2, m_hIcon);
}

HCURSOR CMailConfigDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

void CMailConfigDlg::OnUseAuth()
{
    // A stored value too long for its field refuses the exchange before the
    // check box is taken; the box itself still decides the enabling.
    if (!UpdateData(TRUE)) m_bUseAuth = IsDlgButtonChecked(IDC_USE_AUTH) == BST_CHECKED;
    static const int controls[] = {IDC_LOGIN, IDC_PASSWORD, IDC_LOGIN_LABEL, IDC_PASSWORD_LABEL};
    for (int id : controls) {
        if (CWnd* control = GetDlgItem(id)) control->EnableWindow(m_bUseAuth);
    }
    if (m_bUseAuth) {
        SetDlgItemText(IDC_LOGIN, m_strSavedLogin);
        SetDlgItemText(IDC_PASSWORD, m_strSavedPassword);
    }
}

BOOL CMailConfigDlg::OnToolTipNeedText(UINT, NMHDR* header, LRESULT* result)
{
    NMTTDISPINFOA* info = reinterpret_cast<NMTTDISPINFOA*>(header);
    UINT_PTR tool = header->idFrom;
    int id = (info->uFlags & TTF_IDISHWND) ? ::GetDlgCtrlID(reinterpret_cast<HWND>(tool))
                                           : static_cast<int>(tool);
    ::SendMessageA(header->hwndFrom, TTM_SETMAXTIPWIDTH, 0, 300);

    static char text[kTextSize];
    LoadMessageText(id + kTooltipOffset, text);
    if (text[0] == '\0') std::snprintf(text, sizeof text, "ID: %i", id + kTooltipOffset);
    info->lpszText = text;
    info->hinst = NULL;
    *result = 0;
    return TRUE;
}

bool CMailConfigDlg::TrimContainsBlank(CString& text)
{
    text.Trim();
    for (int i = 0; i < text.GetLength(); ++i) {
        if (std::isspace(static_cast<unsigned char>(text[i]))) return true;
    }
    return false;
}

void CMailConfigDlg::ShowMessage(const char* caption, int number)
{
    char text[kTextSize];
    LoadMessageText(number, text);
    MessageBox(text, caption, MB_OK);
}

void CMailConfigDlg::ShowBlankMessage(const char* caption, int field)
{
    ShowMessage(caption, kMsgFirstBlank + field);
}

bool CMailConfigDlg::CheckEntry(CString& value, const char* caption, int field, int emptyMessage)
{
    if (TrimContainsBlank(value)) {
        ShowBlankMessage(caption, field);
        return false;
    }
    if (value.IsEmpty()) {
        ShowMessage(caption, emptyMessage);
        return false;
    }
    if (HoldsDoubleQuote(value)) {
        CString text;
        text.LoadString(kFirstQuoteMessage + field);
        MessageBox(text, caption, MB_OK);
        return false;
    }
    if (field == kPassword && HowPasswordIsStored(value) != PasswordStorage::Whole) {
        CString text;
        text.LoadString(IDS_PASSWORD_NOT_STORED);
        MessageBox(text, caption, MB_OK);
        return false;
    }
    return true;
}

void CMailConfigDlg::OnOK()
{
    // The exchange has shown its prompt and focused the field.
    if (!UpdateData(TRUE)) return;
    char caption[kTextSize];
    LoadMessageText(kMsgCaption, caption);

    bool accepted = CheckEntry(m_strSender, caption, kSender, kMsgSenderEmpty);
    accepted = CheckEntry(m_strServer, caption, kServer, kMsgServerEmpty) && accepted;
    if (m_bUseAuth) {
        accepted = CheckEntry(m_strLogin, caption, kLogin, kMsgLoginEmpty) && accepted;
        accepted = CheckEntry(m_strPassword, caption, kPassword, kMsgPasswordEmpty) && accepted;
    }
    if (!accepted) return;

    CString command = "Hablat.exe -install " + m_strServer + " " + m_strSender;
    if (m_bUseAuth) command += " " + m_strLogin + " " + m_strPassword;
    if (!RunMailer(command)) {
        // Closing now would leave the user believing the settings were installed.
        MessageBox("The mailer program Hablat.exe could not be started: the settings were not "
                   "installed.",
                   caption, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CDialog::OnOK();
}

void CMailConfigDlg::LoadMessageText(int number, char* destination)
{
    destination[0] = '\0';
    char key[16];
    std::snprintf(key, sizeof key, "m%i=", number);
    const size_t keyLength = std::strlen(key);

    if (FILE* file = std::fopen("Messages.dat", "r")) {
        char line[1024];
        while (std::fgets(line, sizeof line, file)) {
            if (!std::strstr(line, key)) continue;
            // Counted from the line's start, where the key belongs.
            std::snprintf(destination, kTextSize, "%s", line + keyLength);
            break;
        }
        std::fclose(file);
    }

    for (char* p = destination; (p = std::strstr(p, "\\n")) != NULL; p += 2) {
        p[0] = '\r';
        p[1] = '\n';
    }

    for (int i = static_cast<int>(std::strlen(destination)) - 1; i >= 0; --i) {
        unsigned char c = static_cast<unsigned char>(destination[i]);
        if (c == '\n') {
            destination[i] = '\0';
        } else if (c == '\r') {
            destination[i] = '\0';
            break;
        } else if (c >= ' ') {
            break;
        }
    }
}
