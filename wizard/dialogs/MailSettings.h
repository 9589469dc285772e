// The mailer's settings: server, sender and an optional login, kept as text
// values under the mailer's registry key and shared with the mail settings
// program, the password scrambled.
#pragma once

#include <functional>
#include <string>

#include "DialogTooltip.h"

struct HablatSettings {
    bool Enabled = false;
    std::string SmtpServer;
    std::string Sender;
    bool AuthEnabled = false;
    std::string AuthLogin;
    std::string AuthPassword;  // clear text
    // The stored password does not read whole (a code page damaged it): the
    // field shows nothing, and while it stays empty the stored value is kept.
    bool PasswordUnreadable = false;
};

// Asked before each change a save makes to the mailer's key (each write,
// deletion and put-back of a value, with the value's name, and the removal of
// a key the save created, with the key's path); a result other than
// ERROR_SUCCESS fails that change as the registry would refuse it. Tests set
// it to reach the save's failure paths; empty: nothing is refused. Returns the
// previous gate.
using MailerWriteGate = std::function<LONG(const char* name)>;
MailerWriteGate SetMailerWriteGate(MailerWriteGate gate);

class CMailSettings : public CDialogTooltip {
public:
    explicit CMailSettings(CWnd* parent);

    // Every result but Written leaves the key as it was before the save.
    enum class WriteResult {
        Written,
        Failed,  // the key cannot be opened or created or a value cannot be written
        // A value could not be written, and what the save had changed could not
        // all be put back.
        NotRestored,
        PasswordCut,  // the scrambled password would end at a zero byte
        // The scrambled password would come back changed through the system's
        // code page.
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
