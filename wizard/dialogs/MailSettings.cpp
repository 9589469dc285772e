#include "MailSettings.h"

#include <cstring>

#include "MailerSettings.h"
#include "SharedKeyView.h"
#include "UniqueHandle.h"
#include "WizardUtil.h"
#include "resource.h"

namespace {

const int kValueSize = 128;
const REGSAM kWriteAccess = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

// A text value that fits the buffer with its terminator.
bool ReadText(HKEY key, const char* name, std::string& out)
{
    char buffer[kValueSize];
    DWORD size = sizeof buffer;
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS)
        return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) return false;
    if (size == 0 || buffer[size - 1] != '\0') {
        if (size >= sizeof buffer) return false;
        buffer[size] = '\0';
    }
    out = buffer;
    return true;
}

bool WriteText(HKEY key, const char* name, const char* text)
{
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(std::strlen(text) + 1)) == ERROR_SUCCESS;
}

}  // namespace

CMailSettings::CMailSettings(CWnd* parent) : CDialogTooltip(IDD_MAILSETTINGS, parent) {}

const classlib::MessageMap* CMailSettings::GetMessageMap() const
{
    using namespace classlib;
    static const MessageMap map(CDialogTooltip::GetMessageMap(), {
        MapCommand<&CMailSettings::OnEnableMail>(IDC_MAIL_ENABLE),
        MapCommand<&CMailSettings::OnUseAuthentication>(IDC_MAIL_USE_AUTH),
    });
    return &map;
}

void CMailSettings::DoDataExchange(CDataExchange* dx)
{
    CDialogTooltip::DoDataExchange(dx);
    DDX_Text(dx, IDC_MAIL_SERVER, m_strSmtpServer);
    DDX_Text(dx, IDC_MAIL_SENDER, m_strSender);
    DDX_Text(dx, IDC_MAIL_PASSWORD, m_strPassword);
    DDX_Text(dx, IDC_MAIL_LOGIN, m_strLogin);
    DDX_Check(dx, IDC_MAIL_ENABLE, m_bEnableMail);
    DDX_Check(dx, IDC_MAIL_USE_AUTH, m_bUseAuth);
}

BOOL CMailSettings::OnInitDialog()
{
    CDialogTooltip::OnInitDialog();
    ReadHablatSettings(&m_settings);
    m_strPassword = m_settings.AuthPassword.c_str();
    m_strLogin = m_settings.AuthLogin.c_str();
    m_strSmtpServer = m_settings.SmtpServer.c_str();
    m_strSender = m_settings.Sender.c_str();
    m_bEnableMail = m_settings.Enabled;
    m_bUseAuth = m_settings.AuthEnabled;
    UpdateData(FALSE);
    OnUseAuthentication();
    OnEnableMail();
    return TRUE;
}

void CMailSettings::OnEnableMail()
{
    UpdateData(TRUE);
    const BOOL mail = m_bEnableMail;
    EnableDlgItem(IDC_MAIL_SERVER, mail);
    EnableDlgItem(IDC_MAIL_SERVER_LABEL, mail);
    EnableDlgItem(IDC_MAIL_SENDER, mail);
    EnableDlgItem(IDC_MAIL_SENDER_LABEL, mail);
    EnableDlgItem(IDC_MAIL_USE_AUTH, mail);
    UpdateData(FALSE);
    const BOOL auth = mail && m_bUseAuth;
    EnableDlgItem(IDC_MAIL_LOGIN, auth);
    EnableDlgItem(IDC_MAIL_LOGIN_LABEL, auth);
    EnableDlgItem(IDC_MAIL_PASSWORD, auth);
    EnableDlgItem(IDC_MAIL_PASSWORD_LABEL, auth);
}

void CMailSettings::OnUseAuthentication()
{
    UpdateData(TRUE);
    EnableDlgItem(IDC_MAIL_LOGIN, m_bUseAuth);
    EnableDlgItem(IDC_MAIL_LOGIN_LABEL, m_bUseAuth);
    EnableDlgItem(IDC_MAIL_PASSWORD, m_bUseAuth);
    EnableDlgItem(IDC_MAIL_PASSWORD_LABEL, m_bUseAuth);
}

void CMailSettings::OnOK()
{
    SaveControls();
    // Closing as if saved would lose what the user typed without a word.
    if (!WriteHablatSettings(&m_settings)) {
        ShowInfoMessage("The mail settings could not be stored.");
        return;
    }
    CDialogTooltip::OnOK();
}

void CMailSettings::SaveControls()
{
    UpdateData(TRUE);
    m_settings.SmtpServer = m_strSmtpServer.GetString();
    m_settings.Sender = m_strSender.GetString();
    m_settings.AuthLogin = m_strLogin.GetString();
    m_settings.AuthPassword = m_strPassword.GetString();
    m_settings.Enabled = m_bEnableMail != 0;
    m_settings.AuthEnabled = m_bUseAuth != 0;
}

void CMailSettings::EnableDlgItem(int id, BOOL enable)
{
    if (CWnd* control = GetDlgItem(id)) control->EnableWindow(enable);
}

bool CMailSettings::ReadHablatSettings(HablatSettings* settings)
{
    if (!settings) return false;
    HKEY opened = nullptr;
    LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMailerKey, 0, KEY_QUERY_VALUE | kSharedKeyView,
                                &opened);
    if (result != ERROR_SUCCESS) {
        *settings = HablatSettings();
        return true;
    }
    UniqueRegKey owner(opened);
    HKEY key = owner.Get();
    // Mail counts as enabled only with both server and sender stored and not
    // empty, authentication only with both login and password.
    if (ReadText(key, kMailerServerValue, settings->SmtpServer))
        settings->Enabled = !settings->SmtpServer.empty();
    const bool sender = ReadText(key, kMailerSenderValue, settings->Sender);
    settings->Enabled = settings->Enabled && sender && !settings->Sender.empty();
    if (ReadText(key, kMailerLoginValue, settings->AuthLogin))
        settings->AuthEnabled = !settings->AuthLogin.empty();
    std::string stored;
    const bool password = ReadText(key, kMailerPasswordValue, stored);
    if (password) {
        char clear[kValueSize];
        ScramblePassword(clear, stored.c_str(), sizeof clear);
        settings->AuthPassword = clear;
    }
    settings->AuthEnabled = settings->AuthEnabled && password && !settings->AuthPassword.empty();
    return true;
}

bool CMailSettings::WriteHablatSettings(const HablatSettings* settings)
{
    if (!settings) return true;
    UniqueRegKey key;
    HKEY opened = nullptr;
    bool ok = true;
    if (settings->Enabled) {
        LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMailerKey, 0,
                                    kWriteAccess | kSharedKeyView, &opened);
        if (result == ERROR_SUCCESS) {
            key.Reset(opened);
        } else {
            opened = nullptr;
            DWORD disposition = 0;
            if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kMailerKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                kWriteAccess | kSharedKeyView, nullptr, &opened,
                                &disposition) != ERROR_SUCCESS) {
                ok = false;
            } else {
                key.Reset(opened);
                if (disposition == REG_CREATED_NEW_KEY) {
                    ok = WriteText(key.Get(), kMailerPortValue, "25") && ok;
                    ok = WriteText(key.Get(), kMailerTryValue, "1") && ok;
                }
            }
        }
        if (key) {
            ok = WriteText(key.Get(), kMailerServerValue, settings->SmtpServer.c_str()) && ok;
            ok = WriteText(key.Get(), kMailerSenderValue, settings->Sender.c_str()) && ok;
            if (settings->AuthEnabled) {
                ok = WriteText(key.Get(), kMailerLoginValue, settings->AuthLogin.c_str()) && ok;
                char scrambled[kValueSize];
                ScramblePassword(scrambled, settings->AuthPassword.c_str(), sizeof scrambled);
                ok = WriteText(key.Get(), kMailerPasswordValue, scrambled) && ok;
            } else {
                ok = WriteText(key.Get(), kMailerLoginValue, "") && ok;
                ok = WriteText(key.Get(), kMailerPasswordValue, "") && ok;
            }
        }
    } else {
        LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMailerKey, 0,
                                    kWriteAccess | kSharedKeyView, &opened);
        if (result == ERROR_SUCCESS) {
            key.Reset(opened);
            for (const char* name :
                 {kMailerServerValue, kMailerSenderValue, kMailerLoginValue, kMailerPasswordValue})
                ok = WriteText(key.Get(), name, "") && ok;
        } else {
            // Without a key there is nothing to clear.
            ok = result == ERROR_FILE_NOT_FOUND;
        }
    }
    return ok;
}
