#include <winsock2.h>
#include <iphlpapi.h>

#include "SelectAdapter.h"

#include <cstring>

#include "WizardUtil.h"
#include "resource.h"

namespace {
const int kRowAddressSize = 32;
}

CSelectAdapter::CSelectAdapter(const IP_ADAPTER_INFO* adapters, const char* bindAddress, CWnd* parent)
    : CDialog(IDD_SELECT_ADAPTER, parent), m_pAdapters(adapters)
{
    const char* resolved = ResolveHostAddress(bindAddress);
    if (resolved) m_strPreselect = resolved;
}

void CSelectAdapter::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_ADAPTER_LIST, m_list);
}

const classlib::MessageMap* CSelectAdapter::GetMessageMap() const
{
    using namespace classlib;
    static const MessageMap map(CDialog::GetMessageMap(), {
        MapNotify<&CSelectAdapter::OnDblclkList>(IDC_ADAPTER_LIST, NM_DBLCLK),
    });
    return &map;
}

BOOL CSelectAdapter::OnInitDialog()
{
    CDialog::OnInitDialog();
    CenterWindow();
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    CRect client;
    m_list.GetClientRect(&client);
    int third = client.Width() / 3;
    m_list.InsertColumn(0, LoadResString(IDS_ADAPTER_ADDRESS_COLUMN), LVCFMT_LEFT, third);
    m_list.InsertColumn(1, LoadResString(IDS_ADAPTER_NAME_COLUMN), LVCFMT_LEFT, third * 2);

    int chosen = 0;
    for (const IP_ADAPTER_INFO* adapter = m_pAdapters; adapter; adapter = adapter->Next) {
        const IP_ADDR_STRING* entry =
            adapter->CurrentIpAddress ? adapter->CurrentIpAddress : &adapter->IpAddressList;
        int row = m_list.InsertItem(m_list.GetItemCount(), entry->IpAddress.String);
        if (row < 0) continue;
        m_list.SetItemText(row, 1, adapter->Description);
        std::unique_ptr<char[]> text(new char[kRowAddressSize]());
        std::strncpy(text.get(), entry->IpAddress.String, kRowAddressSize - 1);
        m_list.SetItemData(row, reinterpret_cast<DWORD_PTR>(text.get()));
        m_rowAddresses.push_back(std::move(text));
        if (m_strPreselect == entry->IpAddress.String) chosen = row;
    }
    if (m_list.GetItemCount() == 0) {
        AfxMessageBox(LoadResString(IDS_NO_ADAPTERS));
        EndDialog(IDCANCEL);
        return TRUE;
    }
    m_list.SetItemState(chosen, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    return TRUE;
}

void CSelectAdapter::ReleaseRows()
{
    for (int row = 0; row < m_list.GetItemCount(); ++row) m_list.SetItemData(row, 0);
    m_rowAddresses.clear();
}

void CSelectAdapter::OnOK()
{
    m_strChosen.Empty();
    int row = m_list.GetNextItem(-1, LVNI_SELECTED);
    if (row >= 0) {
        const char* text = reinterpret_cast<const char*>(m_list.GetItemData(row));
        if (text) m_strChosen = text;
    }
    ReleaseRows();
    EndDialog(IDOK);
}

void CSelectAdapter::OnCancel()
{
    ReleaseRows();
    CDialog::OnCancel();
}

void CSelectAdapter::OnDblclkList(NMHDR*, LRESULT*) { OnOK(); }
