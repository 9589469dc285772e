// Dialogs from resource templates: modal (DoModal) and modeless (Create, also
// as a child page placed inside another dialog).
#pragma once

#include <windows.h>

#include "Wnd.h"

class CDataExchange;

class CDialog : public CWnd {
    CLASSLIB_RUNTIME_CLASS(CDialog, CWnd)
    CDialog() = default;  // template given to Create
    explicit CDialog(UINT templateId, CWnd* parent = NULL);
    explicit CDialog(const char* templateName, CWnd* parent = NULL);
    ~CDialog() override;

    // Runs the dialog modally and returns the EndDialog result, or -1 when the
    // window could not be created. The owner is the parent's top-level window,
    // or the application's main window when no parent was given; it is
    // disabled while the dialog runs.
    virtual INT_PTR DoModal();

    // Creates the dialog modeless; a child template becomes a page inside the
    // parent. Without a parent the main window owns it.
    BOOL Create(UINT templateId, CWnd* parent = NULL);
    BOOL Create(const char* templateName, CWnd* parent = NULL);

    // Ends a modal run with the result; a modeless dialog is hidden.
    void EndDialog(int result);
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    void GotoDlgCtrl(CWnd* control);

    // The template the dialog was made from: an id, or 0 with a name.
    UINT GetTemplateId() const { return templateId_; }

    BOOL PreTranslateMessage(MSG* msg) override;

    virtual BOOL OnInitDialog();  // data to the controls; TRUE: the system sets the focus
    virtual void OnOK();          // data from the controls; closes only when that succeeds
    virtual void OnCancel();

protected:
    virtual void DoDataExchange(CDataExchange* dx);
    const classlib::MessageMap* GetMessageMap() const override;

    CWnd* m_pParentWnd = NULL;

private:
    friend struct DialogAccess;
    BOOL CreateFromTemplate(const char* resource, HWND owner);
    UINT templateId_ = 0;
    CString templateName_;
    bool modal_ = false;
    bool endModal_ = false;
    INT_PTR modalResult_ = -1;
};
