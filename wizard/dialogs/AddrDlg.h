// The entry of one address: a dotted quad or a host name that resolves.
#pragma once

#include "DialogTooltip.h"

class CAddrDlg : public CDialogTooltip {
public:
    explicit CAddrDlg(CWnd* parent = NULL);

    BOOL OnInitDialog() override;
    void OnOK() override;

    // The text shown on opening; after OK the trimmed entry.
    CString m_strAddress;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    const classlib::MessageMap* GetMessageMap() const override;
    void OnOkButton();
    void OnCancelButton();

private:
    void Refuse(UINT messageId);

    CEdit m_edit;
};
