// Asks for the seconds of a wait step of the shutdown sequence.
#pragma once

#include "classlib.h"

class CPauseCfgDlg : public CDialog {
public:
    // The seconds are the number at the start of the text, 0 when there is none.
    CPauseCfgDlg(const char* secondsText, CWnd* parent);

    CString GetSecondsText() const;

protected:
    const classlib::MessageMap* GetMessageMap() const override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnDeltaposSpin(NMHDR* header, LRESULT* result);

private:
    DWORD m_dwSeconds;
};
