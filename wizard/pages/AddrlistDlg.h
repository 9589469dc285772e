// Page 1: the address list. For a server the clients it notifies, for a client
// the servers that may send it a shutdown (an empty client list allows every
// server); also the advanced network settings.
#pragma once

#include "KodraPageDlg.h"

class CAddrlistDlg : public CKODRAPageDlg {
public:
    explicit CAddrlistDlg(CWnd* parent = NULL);

    void LoadFromConfig(CCnfData* record) override;
    BOOL SaveToConfig(CCnfData* record) override;
    UINT GetDialogId() override;
    void SetInitialFocus() override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    const classlib::MessageMap* GetMessageMap() const override;
    void OnAddAddress();
    void OnDeleteAddress();
    void OnEditAddress();
    void OnConfigureNetwork();
    // -1 after telling the user that nothing is selected.
    int GetSelectedIndex();

private:
    void EnableAddButtons(BOOL enable);

    CListBox m_listAddr;
    CStatic m_staticExplain;
    BOOL m_bModified = 1;
    int m_nPort = 0;
    int m_nMessagePort = 0;
    BOOL m_bJobsAsUser = 0;
    CString m_strBindAddress;
    BOOL m_bSSL = 0;
    BOOL m_bAcceptExpired = 0;
    // The redundancy-group flag of each entry, kept beside it as entries are
    // deleted, so that no flag passes to another address.
    short m_groupFlags[kMaxAddresses] = {};
};
