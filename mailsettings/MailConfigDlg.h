// The mail settings dialog: shows the mailer's stored values, checks the
// entries and hands them to the mailer's install command.
#pragma once

#include "classlib.h"
#include "resource.h"

class CMailConfigDlg : public CDialog {
public:
    explicit CMailConfigDlg(CWnd* parent = NULL);

    CString m_strSender;
    CString m_strServer;
    CString m_strLogin;
    CString m_strPassword;
    BOOL m_bUseAuth;
    HICON m_hIcon;
    CString m_strSavedLogin;
    CString m_strSavedPassword;

    // Trims white space at both ends in place; true when white space remains inside.
    static bool TrimContainsBlank(CString& text);
    // The catalogue text of the number from "Messages.dat" in the current
    // directory, or the empty text; destination holds 512 bytes.
    static void LoadMessageText(int number, char* destination);

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    const classlib::MessageMap* GetMessageMap() const override;

    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnUseAuth();
    BOOL OnToolTipNeedText(UINT id, NMHDR* header, LRESULT* result);

    void ShowBlankMessage(const char* caption, int field);

private:
    void ShowMessage(const char* caption, int number);
    // Trims the value and reports a blank inside, an empty value, a double quote
    // or a password the mailer cannot store; true when it passes.
    bool CheckEntry(CString& value, const char* caption, int field, int emptyMessage);
};
