// The modeless result list of the VELMOR connection test: one row per address
// with its alive result. The owner creates it, sends WM_RUN_CONNECTION_TEST and
// destroys and deletes it on WM_CONNECTION_TEST_CLOSED.
#pragma once

#include "classlib.h"

// Runs the test inside the send; the result is 1 when every address was tested.
constexpr UINT WM_RUN_CONNECTION_TEST = WM_USER + 1500;
// Sent to the notify window once OK or Cancel closed the dialog.
constexpr UINT WM_CONNECTION_TEST_CLOSED = WM_USER + 1501;

class CCheckVelmorDlg : public CDialog {
public:
    CCheckVelmorDlg(const CStringArray& addresses, CWnd* notifyWindow);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    const classlib::MessageMap* GetMessageMap() const override;
    LRESULT OnRunTest(WPARAM, LPARAM);

private:
    void Redraw();

    CListCtrl m_list;
    CStringArray m_addresses;
    CWnd* m_pNotifyWnd;
};
