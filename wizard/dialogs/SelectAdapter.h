// The chooser of the address to bind to, one row per network adapter of the
// IP Helper's list (borrowed from the caller while the dialog is open).
#pragma once

#include <memory>
#include <vector>

#include "classlib.h"

struct _IP_ADAPTER_INFO;

class CSelectAdapter : public CDialog {
public:
    CSelectAdapter(const _IP_ADAPTER_INFO* adapters, const char* bindAddress, CWnd* parent = NULL);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    CString GetSelectedAddress() const { return m_strChosen; }

protected:
    void DoDataExchange(CDataExchange* dx) override;
    const classlib::MessageMap* GetMessageMap() const override;
    void OnDblclkList(NMHDR* header, LRESULT* result);

private:
    void ReleaseRows();

    CListCtrl m_list;
    const _IP_ADAPTER_INFO* m_pAdapters;
    CString m_strChosen;
    CString m_strPreselect;
    // The item data of each row points at its own 32-byte address text.
    std::vector<std::unique_ptr<char[]>> m_rowAddresses;
};
