// Page 0: the explanation and the choice between installing a client, a server
// (hidden, preselected only for a stored server) and uninstalling.
#pragma once

#include "KodraPageDlg.h"

class CModeDlg : public CKODRAPageDlg {
public:
    explicit CModeDlg(CWnd* parent = NULL);
    ~CModeDlg() override;
    CModeDlg(const CModeDlg&) = delete;
    CModeDlg& operator=(const CModeDlg&) = delete;

    static void ReadInfoFile(const char* fileName, char*& text);

    void LoadFromConfig(CCnfData* record) override;
    BOOL SaveToConfig(CCnfData* record) override;
    UINT GetDialogId() override;
    void SetInitialFocus() override;

    void SelectMode(DWORD mode);

protected:
    const classlib::MessageMap* GetMessageMap() const override;
    void OnInstallClient();
    void OnDoubleClickedInstallClient();
    void OnInstallServer();
    void OnDoubleClickedInstallServer();
    void OnUninstall();
    void OnDoubleClickedUninstall();

private:
    void Choose(int radioId, DWORD mode);

    char* m_pszInfoText = NULL;
};
