// Page 3, shown only when redundancy is enabled: which servers form the
// redundancy group (at most four), its level and the batch file run when
// redundancy suppresses a shutdown.
#pragma once

#include "KodraPageDlg.h"

constexpr int kMaxRedundancyMembers = 4;

class CRedundancyDlg : public CKODRAPageDlg {
public:
    explicit CRedundancyDlg(CWnd* parent = NULL);

    void LoadFromConfig(CCnfData* record) override;
    BOOL SaveToConfig(CCnfData* record) override;
    UINT GetDialogId() override;
    void SetInitialFocus() override;

    BOOL OnInitDialog() override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    const classlib::MessageMap* GetMessageMap() const override;
    void OnItemChangedGroup(NMHDR* header, LRESULT* result);
    void OnEditFile();
    // The too-few warning comes only with a change of the row's check box.
    void ApplyGroupRules(int row, bool checkChanged);

    CEdit m_editBatchFile;
    CButton m_checkExecuteBatch;
    CComboBox m_comboLevel;
    CListCtrl m_listGroup;
    BOOL m_bRulesActive = TRUE;
};
