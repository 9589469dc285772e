// Page 2 of the client flow: how the KODRA client checks that its VELMOR
// servers are alive, the switch to the redundancy page, and the beep setting,
// which lives in the "msg.exe" lines of "message.bat" in the wizard's folder.
#pragma once

#include "CheckVelmorDlg.h"
#include "KodraPageDlg.h"

class CClientAliveDlg : public CKODRAPageDlg {
public:
    explicit CClientAliveDlg(CWnd* parent = NULL);
    ~CClientAliveDlg() override;

    void LoadFromConfig(CCnfData* record) override;
    BOOL SaveToConfig(CCnfData* record) override;
    UINT GetDialogId() override;
    void SetInitialFocus() override;

    // The open connection-test dialog, NULL when none is open.
    CCheckVelmorDlg* GetTestDialog() const { return m_pTestDlg; }

protected:
    void DoDataExchange(CDataExchange* dx) override;
    const classlib::MessageMap* GetMessageMap() const override;
    void OnEnableCheck();
    void OnUseTraps();
    void OnTestConnection();
    void OnBrowse();
    void OnDefaultSetting();
    void OnEditFile();
    void OnBeepRadio();
    void OnDestroy();
    LRESULT OnConnectionTestClosed(WPARAM, LPARAM);

    void ReadBeepSetting();
    void WriteBeepSetting();
    bool ValidatePollRate(const CString& text, DWORD* seconds);
    void EnableCheckControls(BOOL enable);

private:
    void UpdatePollingEdit();
    void CloseTestDialog();
    void Refuse(CEdit& edit);

    CEdit m_editBeepCount;
    CButton m_radioBeepOff;
    CButton m_checkRedundancy;
    CButton m_checkEnable;
    CButton m_checkTraps;
    CEdit m_editPolling;
    CEdit m_editRetries;
    CEdit m_editFailureBatch;
    bool m_bFirstLoad = true;
    bool m_bCheckState = false;
    bool m_bTrapsState = false;
    CStringArray m_testAddresses;
    CStringArray m_loadedAddresses;
    CCheckVelmorDlg* m_pTestDlg = nullptr;
};
