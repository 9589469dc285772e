// Page 4, the last page of a client installation: the log size, the shutdown
// batch file and the batch files run at the execute, message and mail signals.
#pragma once

#include "KodraPageDlg.h"

class CClientSDBatchDlg : public CKODRAPageDlg {
public:
    explicit CClientSDBatchDlg(CWnd* parent = NULL);

    void LoadFromConfig(CCnfData* record) override;
    BOOL SaveToConfig(CCnfData* record) override;
    UINT GetDialogId() override;
    void SetInitialFocus() override;

    // Each shows why it refuses the text.
    static BOOL ValidateLogSize(const char* text, DWORD& number);

protected:
    void DoDataExchange(CDataExchange* dx) override;
    const classlib::MessageMap* GetMessageMap() const override;
    void OnBrowse();
    void OnConfigureSequence();
    void OnEditShutdownBatch();
    void OnEditExecuteBatch();
    void OnEditMessageBatch();
    void OnEditMailBatch();
    void OnViewLog();
    void OnMailSettings();

    CEdit m_editLogSize;
    CEdit m_editShutdownBatch;
    CEdit m_editExecuteBatch;
    CEdit m_editMessageBatch;
    CEdit m_editMailBatch;

private:
    void EditFileOf(CEdit& edit);
    void RefuseField(CEdit& edit);
};
