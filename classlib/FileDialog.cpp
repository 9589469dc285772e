#include "FileDialog.h"

#include <cstring>

#include "Internal.h"
#include "Wnd.h"

CFileDialog::CFileDialog(BOOL openFileDialog, const char* defaultExtension, const char* fileName,
                         DWORD flags, const char* filter, CWnd* parent)
    : open_(openFileDialog != FALSE), defaultExtension_(defaultExtension)
{
    if (filter) {
        filter_ = filter;
        for (char& c : filter_) {
            if (c == '|')
                c = '\0';
        }
        filter_.push_back('\0');
    }
    if (fileName)
        lstrcpynA(fileName_, fileName, sizeof(fileName_));
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.hwndOwner = parent ? parent->m_hWnd : NULL;
    m_ofn.lpstrFilter = filter_.empty() ? NULL : filter_.c_str();
    m_ofn.nFilterIndex = 1;
    m_ofn.lpstrFile = fileName_;
    m_ofn.nMaxFile = sizeof(fileName_);
    m_ofn.lpstrDefExt = defaultExtension_.IsEmpty() ? NULL : defaultExtension_.GetString();
    m_ofn.Flags = flags;
}

INT_PTR CFileDialog::DoModal()
{
    m_ofn.Flags |= OFN_EXPLORER;
    bool chosen;
    if (classlib::FileDialogHook hook = classlib::detail::CurrentFileDialogHook())
        chosen = hook(m_ofn, open_);
    else
        chosen = open_ ? GetOpenFileNameA(&m_ofn) != FALSE : GetSaveFileNameA(&m_ofn) != FALSE;
    return chosen ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const { return CString(m_ofn.lpstrFile); }

CString CFileDialog::GetFileName() const
{
    CString path = GetPathName();
    int cut = path.ReverseFind('\\');
    return cut >= 0 ? path.Mid(cut + 1) : path;
}
