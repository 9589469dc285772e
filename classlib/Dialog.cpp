#include "Dialog.h"

#include "App.h"
#include "DataExchange.h"
#include "Internal.h"

struct DialogAccess {
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static void RunModalLoop(CDialog& dialog, HWND self);
};

INT_PTR CALLBACK DialogAccess::DialogProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam)
{
    // Only the first message needs the dialog procedure: from then on our
    // window procedure runs in front of the dialog's own.
    if (message != WM_INITDIALOG)
        return FALSE;
    CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
    dialog->SubclassWindowProc(hwnd);
    if (dialog->m_hWnd != hwnd)
        return TRUE;
    try {
        return dialog->OnInitDialog();
    } catch (...) {
        OutputDebugStringA("classlib: OnInitDialog threw an exception\n");
        return TRUE;
    }
}

void DialogAccess::RunModalLoop(CDialog& dialog, HWND self)
{
    while (!dialog.endModal_ && IsWindow(self)) {
        MSG msg;
        BOOL got = GetMessageA(&msg, NULL, 0, 0);
        if (got == -1)
            break;
        if (got == 0) {
            // Leave the quit request to the outer loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!classlib::PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

CDialog::CDialog(UINT templateId, CWnd* parent) : m_pParentWnd(parent), templateId_(templateId) {}

CDialog::CDialog(const char* templateName, CWnd* parent)
    : m_pParentWnd(parent), templateName_(templateName)
{
}

CDialog::~CDialog() = default;

BOOL CDialog::CreateFromTemplate(const char* resource, HWND owner)
{
    classlib::detail::EnsureCommonControls();
    HWND hwnd = CreateDialogParamA(AfxGetInstanceHandle(), resource, owner, &DialogAccess::DialogProc,
                                   reinterpret_cast<LPARAM>(this));
    if (!hwnd)
        return FALSE;
    if (m_hWnd != hwnd) {
        ::DestroyWindow(hwnd);
        return FALSE;
    }
    return TRUE;
}

namespace {
const char* TemplateResource(UINT id, const CString& name)
{
    return id ? MAKEINTRESOURCEA(id) : name.GetString();
}

// The main window, unless it is the dialog itself or has no window yet.
HWND MainWindowFor(const CWnd* self)
{
    CWnd* main = AfxGetMainWnd();
    if (!main || main == self || !main->m_hWnd)
        return NULL;
    return main->m_hWnd;
}
}  // namespace

INT_PTR CDialog::DoModal()
{
    HWND owner = m_pParentWnd && m_pParentWnd->m_hWnd ? m_pParentWnd->m_hWnd : MainWindowFor(this);
    if (owner)
        owner = GetAncestor(owner, GA_ROOT);
    const bool reenableOwner = owner && ::IsWindowEnabled(owner);
    if (reenableOwner)
        ::EnableWindow(owner, FALSE);
    modal_ = true;
    endModal_ = false;
    modalResult_ = -1;
    if (!CreateFromTemplate(TemplateResource(templateId_, templateName_), owner)) {
        if (reenableOwner)
            ::EnableWindow(owner, TRUE);
        modal_ = false;
        return -1;
    }
    HWND self = m_hWnd;
    if (!endModal_) {
        if (!::IsWindowVisible(self))
            ::ShowWindow(self, SW_SHOWNORMAL);
        if (classlib::ModalHook hook = classlib::detail::CurrentModalHook()) {
            try {
                hook(*this);
            } catch (...) {
                OutputDebugStringA("classlib: the modal hook threw an exception\n");
                EndDialog(-1);
            }
        }
        DialogAccess::RunModalLoop(*this, self);
    }
    const INT_PTR result = modalResult_;
    if (IsWindow(self)) {
        ::SetWindowPos(self, NULL, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The owner comes back before the dialog goes, so the activation returns to it.
    if (reenableOwner)
        ::EnableWindow(owner, TRUE);
    if (owner && ::GetActiveWindow() == self)
        ::SetActiveWindow(owner);
    if (IsWindow(self))
        ::DestroyWindow(self);
    modal_ = false;
    return result;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent)
{
    templateId_ = templateId;
    templateName_.Empty();
    return Create(static_cast<const char*>(nullptr), parent);
}

BOOL CDialog::Create(const char* templateName, CWnd* parent)
{
    if (templateName) {
        templateId_ = 0;
        templateName_ = templateName;
    }
    if (m_hWnd)
        return FALSE;
    m_pParentWnd = parent;
    modal_ = false;
    endModal_ = false;
    modalResult_ = -1;
    HWND parentWindow = parent && parent->m_hWnd ? parent->m_hWnd : MainWindowFor(this);
    return CreateFromTemplate(TemplateResource(templateId_, templateName_), parentWindow);
}

void CDialog::EndDialog(int result)
{
    modalResult_ = result;
    if (modal_)
        endModal_ = true;
    else if (m_hWnd)
        ::ShowWindow(m_hWnd, SW_HIDE);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    CDataExchange exchange(this, saveAndValidate);
    try {
        DoDataExchange(&exchange);
    } catch (const classlib::detail::DataExchangeFailure&) {
        return FALSE;
    }
    return TRUE;
}

void CDialog::GotoDlgCtrl(CWnd* control)
{
    if (control && control->m_hWnd && m_hWnd)
        SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control->m_hWnd), TRUE);
}

BOOL CDialog::PreTranslateMessage(MSG* msg)
{
    if (CWnd::PreTranslateMessage(msg))
        return TRUE;
    // A page leaves the keyboard to the dialog it sits in.
    if (!m_hWnd || (GetStyle() & WS_CHILD))
        return FALSE;
    return ::IsDialogMessageA(m_hWnd, msg);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

const classlib::MessageMap* CDialog::GetMessageMap() const
{
    static const classlib::MessageMap map(CWnd::GetMessageMap(), {
        classlib::MapCommand<&CDialog::OnOK>(IDOK),
        classlib::MapCommand<&CDialog::OnCancel>(IDCANCEL),
    });
    return &map;
}
