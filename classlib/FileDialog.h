// The open and save file dialogs, through the file-dialog seam.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>

#include "CString.h"

class CWnd;

class CFileDialog {
public:
    // The filter is in the "|" form: "Text files|*.txt|All files|*||".
    explicit CFileDialog(BOOL openFileDialog, const char* defaultExtension = NULL,
                         const char* fileName = NULL, DWORD flags = 0, const char* filter = NULL,
                         CWnd* parent = NULL);
    virtual ~CFileDialog() = default;
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK when a file was chosen, else IDCANCEL. OFN_EXPLORER is always set.
    virtual INT_PTR DoModal();
    CString GetPathName() const;
    CString GetFileName() const;

    // May be changed before DoModal (e.g. lpstrFile to a caller's buffer).
    OPENFILENAMEA m_ofn{};

private:
    bool open_;
    std::string filter_;
    CString defaultExtension_;
    char fileName_[MAX_PATH] = {};
};
