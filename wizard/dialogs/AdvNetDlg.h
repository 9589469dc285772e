// The advanced network settings of the address list page: bind address,
// service and message ports, SSL options and jobs as interactive user.
#pragma once

#include "DialogTooltip.h"

class CAdvNetDlg : public CDialogTooltip {
public:
    CAdvNetDlg(const char* bindAddress, int port, int messagePort, BOOL jobsAsUser, BOOL ssl,
               BOOL acceptExpired, CWnd* parent = NULL);

    BOOL OnInitDialog() override;
    void OnOK() override;

    CString m_strBindAddress;
    BOOL m_bSSL;
    int m_nPort;
    int m_nMessagePort;
    BOOL m_bAcceptExpired;
    BOOL m_bJobsAsUser;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    const classlib::MessageMap* GetMessageMap() const override;
    void OnBrowseForIP();
    void OnSslClicked();
    void ShowJobsFlag();
    void OnJobsShownClicked();
};
