// The interface between the main wizard dialog and its six pages. Each page is
// loaded from the record every time it is shown and saves into it when the user
// goes on; Enter and Esc never close a page.
#pragma once

#include "CnfData.h"
#include "DialogTooltip.h"

class CKODRACFGDlg;

class CKODRAPageDlg : public CDialogTooltip {
public:
    CKODRAPageDlg(UINT templateId, CWnd* parent);

    virtual void LoadFromConfig(CCnfData* record) = 0;
    // False after the page has told the user why and focused the control at fault.
    virtual BOOL SaveToConfig(CCnfData* record) = 0;
    virtual UINT GetDialogId() = 0;
    virtual void SetInitialFocus() = 0;

    void OnOK() override {}
    void OnCancel() override {}

    // Set by the main dialog, for the mode page only.
    CKODRACFGDlg* m_pMainDlg = NULL;
};
