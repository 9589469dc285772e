#include "MailSettings.h"

#include <cstring>
#include <string>
#include <vector>

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

MailerWriteGate& WriteGate()
{
    static MailerWriteGate gate;
    return gate;
}

LONG Gate(const char* name)
{
    return WriteGate() ? WriteGate()(name) : ERROR_SUCCESS;
}

bool WriteText(HKEY key, const char* name, const char* text)
{
    return Gate(name) == ERROR_SUCCESS &&
           RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(std::strlen(text) + 1)) == ERROR_SUCCESS;
}

// A value exactly as stored (type and bytes, or none), taken and put back
// through the wide calls, which no code page changes.
class SavedValue {
public:
    SavedValue(HKEY key, const char* name)
        : key_(key), name_(name), wideName_(name, name + std::strlen(name))
    {
    }

    bool Take()
    {
        DWORD size = 0;
        LONG result = RegQueryValueExW(key_, wideName_.c_str(), nullptr, &type_, nullptr, &size);
        if (result == ERROR_FILE_NOT_FOUND) return true;
        if (result != ERROR_SUCCESS) return false;
        data_.resize(size);
        result = RegQueryValueExW(key_, wideName_.c_str(), nullptr, &type_, data_.data(), &size);
        if (result != ERROR_SUCCESS) return false;
        data_.resize(size);
        present_ = true;
        return true;
    }

    bool PutBack() const
    {
        if (Gate(name_) != ERROR_SUCCESS) return false;
        if (!present_) {
            const LONG result = RegDeleteValueW(key_, wideName_.c_str());
            return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
        }
        return RegSetValueExW(key_, wideName_.c_str(), 0, type_, data_.data(),
                              static_cast<DWORD>(data_.size())) == ERROR_SUCCESS;
    }

private:
    HKEY key_;
    const char* name_;
    std::wstring wideName_;
    bool present_ = false;
    DWORD type_ = 0;
    std::vector<BYTE> data_;
};

struct NewValue {
    const char* name;
    std::string text;
};

// The values the save writes, in order: the mailer's defaults into a key the
// save created, then the four settings; a stored password that does not read
// whole stays while the field was left empty.
std::vector<NewValue> ValuesToWrite(const HablatSettings& settings, bool created)
{
    std::vector<NewValue> values;
    if (created) {
        values.push_back({kMailerPortValue, "25"});
        values.push_back({kMailerTryValue, "1"});
    }
    if (!settings.Enabled) {
        for (const char* name : {kMailerServerValue, kMailerSenderValue, kMailerLoginValue, kMailerPasswordValue})
            values.push_back({name, ""});
        return values;
    }
    values.push_back({kMailerServerValue, settings.SmtpServer});
    values.push_back({kMailerSenderValue, settings.Sender});
    if (!settings.AuthEnabled) {
        values.push_back({kMailerLoginValue, ""});
        values.push_back({kMailerPasswordValue, ""});
        return values;
    }
    values.push_back({kMailerLoginValue, settings.AuthLogin});
    if (!settings.PasswordUnreadable || !settings.AuthPassword.empty()) {
        char scrambled[kValueSize];
        ScramblePassword(scrambled, settings.AuthPassword.c_str(), sizeof scrambled);
        values.push_back({kMailerPasswordValue, scrambled});
    }
    return values;
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
    // A longer value could be written but not read back when the dialog opens again.
    for (int id : {IDC_MAIL_SERVER, IDC_MAIL_SENDER, IDC_MAIL_LOGIN, IDC_MAIL_PASSWORD})
        SendDlgItemMessage(id, EM_LIMITTEXT, kValueSize - 1);
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
    if (!CheckSettings()) return;
    // Closing as if saved would lose what the user typed without a word.
    switch (WriteHablatSettings(&m_settings)) {
    case WriteResult::Written:
        CDialogTooltip::OnOK();
        return;
    case WriteResult::PasswordCut:
        Refuse(IDC_MAIL_PASSWORD, IDS_MAIL_PASSWORD_CUT);
        return;
    case WriteResult::PasswordNotKept:
        Refuse(IDC_MAIL_PASSWORD, IDS_MAIL_PASSWORD_NOT_KEPT);
        return;
    case WriteResult::Failed:
        ShowInfoMessage(LoadResString(IDS_MAIL_NOT_STORED));
        return;
    case WriteResult::NotRestored:
        ShowInfoMessage(LoadResString(IDS_MAIL_NOT_RESTORED));
        return;
    }
}

bool CMailSettings::CheckSettings()
{
    if (!m_settings.Enabled) return true;
    struct Entry {
        bool written;
        const std::string& value;
        int editId;
        UINT tooLongId;
        UINT quoteId;
    } entries[] = {
        {true, m_settings.SmtpServer, IDC_MAIL_SERVER, IDS_MAIL_SERVER_TOO_LONG, IDS_MAIL_SERVER_QUOTE},
        {true, m_settings.Sender, IDC_MAIL_SENDER, IDS_MAIL_SENDER_TOO_LONG, IDS_MAIL_SENDER_QUOTE},
        {m_settings.AuthEnabled, m_settings.AuthLogin, IDC_MAIL_LOGIN, IDS_MAIL_LOGIN_TOO_LONG,
         IDS_MAIL_LOGIN_QUOTE},
        {m_settings.AuthEnabled, m_settings.AuthPassword, IDC_MAIL_PASSWORD, IDS_MAIL_PASSWORD_TOO_LONG,
         IDS_MAIL_PASSWORD_QUOTE},
    };
    for (const Entry& entry : entries) {
        // The edits' limit counts characters; under a double-byte code page a
        // value of as many characters can hold more bytes than are read back.
        if (entry.written && entry.value.size() >= kValueSize) {
            Refuse(entry.editId, entry.tooLongId);
            return false;
        }
        if (entry.written && HoldsDoubleQuote(entry.value.c_str())) {
            Refuse(entry.editId, entry.quoteId);
            return false;
        }
    }
    return true;
}

void CMailSettings::Refuse(int editId, UINT messageId)
{
    ShowInfoMessage(LoadResString(messageId));
    if (CWnd* edit = GetDlgItem(editId)) {
        edit->SendMessage(EM_SETSEL, 0, -1);
        GotoDlgCtrl(edit);
    }
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
    settings->PasswordUnreadable = password && !StoredPasswordReadsWhole(key, stored.c_str());
    if (settings->PasswordUnreadable) {
        // Shown or stored again, the damage would pass for the password.
        settings->AuthPassword.clear();
    } else if (password) {
        char clear[kValueSize];
        ScramblePassword(clear, stored.c_str(), sizeof clear);
        settings->AuthPassword = clear;
    }
    settings->AuthEnabled = settings->AuthEnabled && password &&
                            (settings->PasswordUnreadable || !settings->AuthPassword.empty());
    return true;
}

CMailSettings::WriteResult CMailSettings::WriteHablatSettings(const HablatSettings* settings)
{
    if (!settings) return WriteResult::Written;
    if (settings->Enabled && settings->AuthEnabled) {
        // Checked as it would be stored, so that nothing is written for a
        // password the mailer would not get back.
        const std::string stored = settings->AuthPassword.substr(0, kValueSize - 1);
        switch (HowPasswordIsStored(stored.c_str())) {
        case PasswordStorage::Whole:
            break;
        case PasswordStorage::Cut:
            return WriteResult::PasswordCut;
        case PasswordStorage::Changed:
            return WriteResult::PasswordNotKept;
        }
    }

    UniqueRegKey key;
    bool created = false;
    const LONG opened =
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMailerKey, 0, kWriteAccess | kSharedKeyView, key.Put());
    if (opened != ERROR_SUCCESS) {
        // Without a key there is nothing to clear.
        if (!settings->Enabled) return opened == ERROR_FILE_NOT_FOUND ? WriteResult::Written : WriteResult::Failed;
        DWORD disposition = 0;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kMailerKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                            kWriteAccess | kSharedKeyView, nullptr, key.Put(), &disposition) != ERROR_SUCCESS)
            return WriteResult::Failed;
        created = disposition == REG_CREATED_NEW_KEY;
    }

    // The mailer must never find the settings half written: every value the
    // save touches is taken first and put back after any failure, and a key
    // the save created goes again.
    const std::vector<NewValue> values = ValuesToWrite(*settings, created);
    std::vector<SavedValue> saved;
    bool ok = true;
    if (!created) {
        for (const NewValue& value : values) {
            saved.emplace_back(key.Get(), value.name);
            if (!saved.back().Take()) return WriteResult::Failed;
        }
    }
    for (const NewValue& value : values) {
        if (!WriteText(key.Get(), value.name, value.text.c_str())) {
            ok = false;
            break;
        }
    }
    if (ok) return WriteResult::Written;

    bool restored = true;
    if (created) {
        key.Reset();
        restored = Gate(kMailerKey) == ERROR_SUCCESS &&
                   RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kMailerKey, kSharedKeyView, 0) == ERROR_SUCCESS;
    } else {
        for (const SavedValue& value : saved) restored = value.PutBack() && restored;
    }
    return restored ? WriteResult::Failed : WriteResult::NotRestored;
}

MailerWriteGate SetMailerWriteGate(MailerWriteGate gate)
{
    MailerWriteGate previous = std::move(WriteGate());
    WriteGate() = std::move(gate);
    return previous;
}
