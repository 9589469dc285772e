// Page 5, the last page of a server installation: how many minutes before its
// own shutdown the server sends the shutdown to its clients.
#pragma once

#include "KodraPageDlg.h"

class CServerTimeDlg : public CKODRAPageDlg {
public:
    explicit CServerTimeDlg(CWnd* parent = NULL);

    void LoadFromConfig(CCnfData* record) override;
    BOOL SaveToConfig(CCnfData* record) override;
    UINT GetDialogId() override;
    void SetInitialFocus() override;

protected:
    void DoDataExchange(CDataExchange* dx) override;

    CEdit m_editMinutes;
};
