// The demonstration dialogs of the class library's GUI tests: one dialog with
// a control of every kind, a child page and a small dialog, each recording
// which of its handlers ran.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "classlib.h"
#include "demo_resource.h"

constexpr UINT WM_DEMO_CUSTOM = WM_USER + 5;
constexpr UINT WM_DEMO_POPUP_CLOSED = WM_APP + 1;

class CSmallDlg : public CDialog {
public:
    explicit CSmallDlg(CWnd* parent = NULL) : CDialog(IDD_SMALL, parent) {}
    CString m_text;
    bool endInInit = false;

protected:
    void DoDataExchange(CDataExchange* dx) override
    {
        CDialog::DoDataExchange(dx);
        DDX_Text(dx, IDC_SMALL_EDIT, m_text);
    }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (endInInit)
            EndDialog(IDABORT);
        return TRUE;
    }
};

class CPageDlg : public CDialog {
public:
    CPageDlg() = default;
    bool tooltips = false;
    std::vector<int> tipRequests;

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (tooltips)
            EnableToolTips(TRUE);
        return TRUE;
    }
    void OnOK() override {}
    void OnCancel() override {}
    const classlib::MessageMap* GetMessageMap() const override;
    BOOL OnToolTipText(UINT id, NMHDR* header, LRESULT* result);
};

// A modeless popup that tells its parent when it is closed; the parent then
// destroys and deletes it while its own OnOK is still on the stack. Freed
// objects are overwritten, so any later use of one fails loudly.
class CClosingPopup : public CDialog {
public:
    explicit CClosingPopup(CWnd* notify) : notify_(notify) {}
    static void operator delete(void* p, std::size_t size)
    {
        std::memset(p, 0xDD, size);
        ::operator delete(p);
    }

protected:
    void OnOK() override
    {
        CDialog::OnOK();
        notify_->SendMessage(WM_DEMO_POPUP_CLOSED);
    }

private:
    CWnd* notify_;
};

class CDemoDlg : public CDialog {
public:
    explicit CDemoDlg(CWnd* parent = NULL) : CDialog(IDD_DEMO, parent) {}

    CString m_name;
    int m_port = 0;
    UINT m_count = 1;
    DWORD m_seconds = 1;
    int m_flag = 0;
    int m_radio = -1;

    CListCtrl m_list;
    CSpinButtonCtrl m_spin;
    CIPAddressCtrl m_ip;
    CComboBox m_combo;
    CListBox m_listBox;
    CStatic m_picture;

    bool tooltips = false;
    CWnd* smallParent = nullptr;  // parent given to the small dialog
    INT_PTR smallResult = 0;
    CClosingPopup* popup = nullptr;
    std::vector<std::string> log;
    std::vector<int> tipRequests;
    int paints = 0;
    HICON icon = NULL;

    bool Logged(const std::string& entry) const
    {
        for (const std::string& e : log) {
            if (e == entry)
                return true;
        }
        return false;
    }

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    const classlib::MessageMap* GetMessageMap() const override;

    void OnFlagClicked() { log.push_back("flag clicked"); }
    void OnFlagDoubleClicked() { log.push_back("flag double-clicked"); }
    void OnNameChanged() { log.push_back("name changed"); }
    void OnOpenSmall();
    void OnListItemChanged(NMHDR* header, LRESULT* result);
    void OnSpinDelta(NMHDR* header, LRESULT* result);
    void OnIpFieldChanged(NMHDR* header, LRESULT* result);
    BOOL OnToolTipText(UINT id, NMHDR* header, LRESULT* result);
    bool OnToolTipTextW(NMHDR* header, LRESULT* result);
    void OnPaint();
    HCURSOR OnQueryDragIcon() { return static_cast<HCURSOR>(icon); }
    void OnTimer(UINT_PTR id);
    void OnDestroy();
    LRESULT OnCustom(WPARAM wParam, LPARAM lParam);
    LRESULT OnPopupClosed(WPARAM, LPARAM);
};

// Overrides one handler of its base's map and adds one of its own.
class CDerivedDemoDlg : public CDemoDlg {
protected:
    const classlib::MessageMap* GetMessageMap() const override;
    void OnFlagClickedDerived() { log.push_back("derived flag clicked"); }
    void OnRadio1() { log.push_back("radio 1"); }
};

// Drives a tooltip control of its own, as a dialog does that relays the mouse
// messages itself.
class CRelayDemoDlg : public CDemoDlg {
public:
    CToolTipCtrl m_tip;

protected:
    BOOL OnInitDialog() override
    {
        CDemoDlg::OnInitDialog();
        if (m_tip.Create(this)) {
            m_tip.AddTool(GetDlgItem(IDC_FLAG), "Flag tip");
            m_tip.SetMaxTipWidth(300);
            m_tip.SetDelayTime(TTDT_INITIAL, 10);
            m_tip.Activate(TRUE);
        }
        return TRUE;
    }
    BOOL PreTranslateMessage(MSG* msg) override
    {
        m_tip.RelayEvent(msg);
        return CDemoDlg::PreTranslateMessage(msg);
    }
};
