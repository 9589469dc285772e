#include "VelmorConnection.h"

#include "CheckVelmorDlg.h"
#include "WizardUtil.h"
#include "resource.h"

CCheckVelmorDlg::CCheckVelmorDlg(const CStringArray& addresses, CWnd* notifyWindow)
    : CDialog(IDD_CHECK_VELMOR, notifyWindow), m_pNotifyWnd(notifyWindow)
{
    m_addresses.Copy(addresses);
}

void CCheckVelmorDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_VELMOR_LIST, m_list);
}

const classlib::MessageMap* CCheckVelmorDlg::GetMessageMap() const
{
    using namespace classlib;
    static const MessageMap map(CDialog::GetMessageMap(), {
        MapMessage<&CCheckVelmorDlg::OnRunTest>(WM_RUN_CONNECTION_TEST),
    });
    return &map;
}

BOOL CCheckVelmorDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CenterWindow();
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    CRect client;
    m_list.GetClientRect(&client);
    int third = (client.right - client.left) / 3;
    m_list.InsertColumn(0, LoadResString(IDS_VELMOR_ADDRESS_COLUMN), LVCFMT_LEFT, third);
    m_list.InsertColumn(1, LoadResString(IDS_VELMOR_RESULT_COLUMN), LVCFMT_LEFT, third * 2);
    return TRUE;
}

void CCheckVelmorDlg::Redraw()
{
    Invalidate();
    UpdateWindow();
    m_list.UpdateWindow();
}

LRESULT CCheckVelmorDlg::OnRunTest(WPARAM, LPARAM)
{
    CWaitCursor wait;
    CWnd* ok = GetDlgItem(IDOK);
    if (ok) ok->EnableWindow(FALSE);
    Redraw();
    m_list.DeleteAllItems();

    for (int i = 0; i < m_addresses.GetSize(); ++i) {
        const CString& text = m_addresses[i];
        int row = m_list.InsertItem(m_list.GetItemCount(), text);
        Redraw();

        CString address = text;
        if (!CheckIPv4Address(text, false)) {
            const char* resolved = ResolveHostAddress(text);
            if (!resolved) {
                m_list.SetItemText(row, 1, LoadResString(IDS_VELMOR_UNRESOLVED));
                Redraw();
                continue;
            }
            address = resolved;
        }

        SOCKET socket = INVALID_SOCKET;
        if (!CreateTcpSocket(&socket)) {
            CString message;
            message.Format(LoadResString(IDS_SOCKET_FAILED), static_cast<long>(WSAGetLastError()));
            AfxMessageBox(message, MB_OK);
            return 0;
        }
        bool alive = ConnectWithTimeout(socket, kVelmorStatusPort, address) && VelmorLogonTest(socket);
        CloseTcpSocket(socket);
        m_list.SetItemText(row, 1, LoadResString(alive ? IDS_VELMOR_CONNECTED : IDS_VELMOR_UNREACHABLE));
        Redraw();
    }

    if (ok) ok->EnableWindow(TRUE);
    return 1;
}

void CCheckVelmorDlg::OnOK()
{
    CDialog::OnOK();
    // The notify window deletes this dialog: nothing of it may be touched after.
    if (m_pNotifyWnd) m_pNotifyWnd->SendMessage(WM_CONNECTION_TEST_CLOSED);
}

void CCheckVelmorDlg::OnCancel()
{
    CDialog::OnCancel();
    if (m_pNotifyWnd) m_pNotifyWnd->SendMessage(WM_CONNECTION_TEST_CLOSED);
}
