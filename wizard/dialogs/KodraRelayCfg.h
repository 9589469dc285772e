// Asks for the target of a KODRA shutdown relay: a host, an IPv4 range, or both.
#pragma once

#include "classlib.h"

class CKODRACfg : public CDialog {
public:
    explicit CKODRACfg(CWnd* parent);

    // Read by the caller after OK: the host trimmed, empty or one word that
    // the command interpreter takes as it stands. The addresses have the
    // first octet in the most significant byte; 0 when the control was left
    // blank.
    CString m_strHost;
    int m_bSSL = 0;
    DWORD m_dwRangeFrom = 0;
    DWORD m_dwRangeTo = 0;

protected:
    const classlib::MessageMap* GetMessageMap() const override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;
    void OnFromFieldChanged(NMHDR* header, LRESULT* result);
    void OnToFieldChanged(NMHDR* header, LRESULT* result);

private:
    // The first three octets of both controls follow each other.
    void CopyField(const NMHDR* header, CIPAddressCtrl& other);

    CIPAddressCtrl m_ipFrom;
    CIPAddressCtrl m_ipTo;
};
