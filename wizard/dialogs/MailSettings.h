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

    // The reader reports false only without a record; the writer false when the
    // key cannot be opened or created or a value cannot be written.
    static bool ReadHablatSettings(HablatSettings* settings);
    static bool WriteHablatSettings(const HablatSettings* settings);

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
    void EnableDlgItem(int id, BOOL enable);
};
