// The main wizard dialog: owns the six pages and the configuration record, leads
// through the pages of the chosen mode and runs the final step on the last one.
#pragma once

#include "DialogTooltip.h"
#include "KodraPageDlg.h"

constexpr int kWizardPageCount = 6;

class CKODRACFGDlg : public CDialogTooltip {
public:
    explicit CKODRACFGDlg(CWnd* parent = NULL);
    ~CKODRACFGDlg() override;
    CKODRACFGDlg(const CKODRACFGDlg&) = delete;
    CKODRACFGDlg& operator=(const CKODRACFGDlg&) = delete;

    void SetServiceName(const char* name);
    BOOL ShowPage(int index);
    void HideCurrentPage();
    void UpdateButtons();
    void SetMode(DWORD mode);
    BOOL DoInstall(const char* serviceName);

    BOOL OnInitDialog() override;
    void OnCancel() override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    const classlib::MessageMap* GetMessageMap() const override;
    void OnNext();
    void OnBack();
    void OnPaint();
    LRESULT OnQueryDragIcon(WPARAM, LPARAM);
    void OnDestroy();

    CStatic m_staticPicture;
    CButton m_btnNext;
    CButton m_btnBack;
    HICON m_hIcon;
    CBitmap m_bitmap;
    BOOL m_bBitmapSet = FALSE;
    HBITMAP m_hOldPicture = NULL;
    int m_nCurPage = -1;
    CKODRAPageDlg* m_pages[kWizardPageCount] = {};
    CCnfData m_cnf;
    int m_nLastPage = -1;
    CString m_strLastNextText;
    CString m_strServiceName;
};
