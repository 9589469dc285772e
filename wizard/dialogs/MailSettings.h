// The mailer's settings: server, sender and an optional login, kept as text
// values under the mailer's registry key and shared with the mail settings
// program, the password scrambled.
#pragma once

#include <string>

#include "DialogTooltip.h"

struct HablatSettings {
    bool Enabled = false;
    std::string SmtpServer;
    std::string Sender;
    bool AuthEnabled = false;
    std::string AuthLogin;
    std::string AuthPassword;  // clear text
};

class CMailSettings : public CDialogTooltip {
public:
    explicit CMailSettings(CWnd* parent);

    enum class WriteResult {
        Written,
        Failed,  // the key cannot be opened or created or a value cannot be written
        // The password came back changed through the system's code page: the
        // stored values were left as they were.
        PasswordNotKept,
    };

    // The reader reports false only without a record.
    static bool ReadHablatSettings(HablatSettings* settings);
    static WriteResult WriteHablatSettings(const HablatSettings* settings);

    CString m_strSmtpServer;
    CString m_strSender;
    CString m_strPassword;
    CString m_strLogin;
    BOOL m_bEnableMail = FALSE;
    BOOL m_bUseAuth = FALSE;
    HablatSettings m_settings;

protected:
    const classlib::MessageMap* GetMessageMap() const override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnEnableMail();
    void OnUseAuthentication();
    void SaveControls();
    // The first value to be written that the mailer cannot take, refused with
    // its message; false then.
    bool CheckSettings();
    void Refuse(int editId, UINT messageId);
    void EnableDlgItem(int id, BOOL enable);
};
