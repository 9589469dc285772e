#include <winsock2.h>

#include "WizardUtil.h"

#include "BatchSyntax.h"
#include "CharBufferUtil.h"
#include "IniUtil.h"
#include "KodraFiles.h"
#include "PathUtil.h"
#include "SysFileUtil.h"
#include "UniqueHandle.h"
#include "resource.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

char g_browseFileName[2048];

// The program's file name, or the empty text when it cannot be read whole.
CString ProgramFileName()
{
    char path[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    if (n == 0 || n >= sizeof path) return CString();
    return CString(path, static_cast<int>(n));
}

int CopyBounded(char* buffer, int size, const char* text, int length)
{
    int count = length < size - 1 ? length : size - 1;
    std::memcpy(buffer, text, static_cast<size_t>(count));
    buffer[count] = '\0';
    return count;
}

int LastIndexOfAny(const CString& text, const char* characters)
{
    for (int i = text.GetLength() - 1; i >= 0; --i)
        if (std::strchr(characters, text[i])) return i;
    return -1;
}

HWND MainWindow()
{
    CWnd* main = AfxGetMainWnd();
    return main ? main->GetSafeHwnd() : nullptr;
}

}  // namespace

CString LoadResString(UINT id)
{
    CString text;
    text.LoadString(id);
    return text;
}

void ShowInfoMessage(const char* text, const char* caption)
{
    if (!text) return;
    CString product = LoadResString(IDS_PRODUCT);
    classlib::ShowMessageBox(MainWindow(), text, caption ? caption : product.GetString(),
                             MB_OK | MB_ICONINFORMATION);
}

bool AskYesNo(const char* text, const char* caption)
{
    if (!text) return false;
    CString product = LoadResString(IDS_PRODUCT);
    return classlib::ShowMessageBox(MainWindow(), text, caption ? caption : product.GetString(),
                                    MB_YESNO | MB_ICONQUESTION) == IDYES;
}

CString ProgramFolderFile(const char* name)
{
    CString path;
    MakeAbsolutePath(name, path);
    return path;
}

bool FileExistsInProgramDir(const char* name)
{
    if (!name) return false;
    CString path = ProgramFolderFile(name);
    WIN32_FIND_DATAA found;
    UniqueFindHandle search(FindFirstFileA(path, &found));
    return static_cast<bool>(search);
}

void GetExeFolder(CString& out)
{
    CString path = ProgramFileName();
    int cut = LastIndexOfAny(path, "\\:");
    out = cut >= 0 ? path.Left(cut) : CString();
}

void GetFileNamePart(const char* path, CString& out)
{
    CString text(path);
    out = text.Mid(LastIndexOfAny(text, "\\/:") + 1);
}

bool BrowseForFile(CString& out, const char* filter, const char* title, const char* startFile,
                   const char* startFolder)
{
    out.Empty();
    if (!filter) return false;
    g_browseFileName[0] = '\0';
    if (startFile)
        CopyBounded(g_browseFileName, sizeof g_browseFileName, startFile,
                    static_cast<int>(std::strlen(startFile)));
    CString folder;
    if (startFolder)
        folder = startFolder;
    else
        GetExeFolder(folder);

    CFileDialog dialog(TRUE, NULL, NULL,
                       OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR);
    dialog.m_ofn.hwndOwner = nullptr;
    dialog.m_ofn.lpstrFilter = filter;
    dialog.m_ofn.nFilterIndex = 1;
    dialog.m_ofn.lpstrFile = g_browseFileName;
    dialog.m_ofn.nMaxFile = sizeof g_browseFileName;
    dialog.m_ofn.lpstrInitialDir = folder;
    dialog.m_ofn.lpstrTitle = title;
    if (dialog.DoModal() != IDOK) return false;
    out = g_browseFileName;
    return true;
}

bool CheckBatchSafeAddress(const char* address)
{
    if (IsBatchSafeAddress(address)) return true;
    CString message;
    message.Format(LoadResString(IDS_BATCH_UNSAFE_ADDRESS), address);
    ShowInfoMessage(message);
    return false;
}

namespace {

bool ToWide(UINT codePage, const char* text, int length, std::wstring& out)
{
    const int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text, length, nullptr, 0);
    if (n <= 0) return false;
    out.assign(static_cast<size_t>(n), L'\0');
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text, length, &out[0], n) == n;
}

}  // namespace

bool IsBatchCodePageSafe(const char* text)
{
    const int length = static_cast<int>(std::strlen(text));
    bool ascii = true;
    for (int i = 0; i < length; ++i) ascii = ascii && static_cast<unsigned char>(text[i]) < 0x80;
    if (ascii || GetACP() == GetOEMCP()) return true;
    std::wstring ansi;
    std::wstring oem;
    return ToWide(CP_ACP, text, length, ansi) && ToWide(CP_OEMCP, text, length, oem) && ansi == oem;
}

void RefuseBatchCodePage(const char* text)
{
    CString message;
    message.Format("\"%s\" cannot be written into a batch file: the command interpreter would read some "
                   "of its characters as other characters.",
                   text);
    ShowInfoMessage(message);
}

bool CheckBatchCodePage(const char* text)
{
    if (IsBatchCodePageSafe(text)) return true;
    RefuseBatchCodePage(text);
    return false;
}

bool CheckIPv4Address(const char* text, bool strict)
{
    if (!text || CountFieldsN(text, ".") != 4) return false;
    for (int n = 1; n <= 4; ++n) {
        char field[255];
        GetFieldN(field, sizeof field, text, ".", n);
        size_t length = std::strlen(field);
        if (length < 1 || length > 3) return false;
        int value = std::atoi(field);
        char canonical[16];
        std::snprintf(canonical, sizeof canonical, "%d", value);
        if (std::strcmp(canonical, field) != 0) return false;
        if (strict && (value < (n == 1 ? 1 : 0) || value > 255)) return false;
    }
    return true;
}

const char* ResolveHostAddress(const char* name)
{
    CWaitCursor wait;
    if (!name) return nullptr;
    hostent* host = gethostbyname(name);
    if (!host || host->h_addrtype != AF_INET || !host->h_addr_list || !host->h_addr_list[0])
        return nullptr;
    in_addr address;
    std::memcpy(&address, host->h_addr_list[0], sizeof address);
    return inet_ntoa(address);
}

bool RunProgram(const char* program, const char* arguments, bool wait, int showMode,
                DWORD* error)
{
    CString commandLine = program ? program : "";
    if (commandLine.GetLength() == 0 || commandLine[0] != '"')
        commandLine = CString("\"") + commandLine + "\"";
    if (arguments) commandLine += CString(" ") + arguments;
    return classlib::StartProgram(commandLine, static_cast<WORD>(showMode), wait, error);
}

void EditInNotepad(const char* path, int showMode)
{
    CString arguments;
    arguments.Format("\"%s\"", path ? path : "");
    RunProgram("notepad.exe", arguments, true, showMode, nullptr);
}

int GetExeDriveAndDir(char* buffer, int size)
{
    if (!buffer || size <= 0) return 0;
    CString path = ProgramFileName();
    if (path.IsEmpty()) return 0;
    int cut = LastIndexOfAny(path, "\\/");
    if (cut < 0) cut = path[1] == ':' ? 1 : -1;
    return CopyBounded(buffer, size, path, cut + 1);
}

bool TrayProgramInstalled()
{
    char folder[MAX_PATH];
    GetExeDriveAndDir(folder, sizeof folder);
    return FileExists(PathJoin(folder, kKodraTrayProgram));
}

int GetExePath(char* buffer, int size)
{
    if (!buffer || size <= 0) return 0;
    CString path = ProgramFileName();
    if (path.IsEmpty() || path.GetLength() > size - 1) return 0;
    CopyBounded(buffer, size, path, path.GetLength());
    return 1;
}

int GetExeDirNoDrive(char* buffer, int size)
{
    if (!buffer || size <= 0) return 0;
    CString path = ProgramFileName();
    int start = path[1] == ':' ? 2 : 0;
    int cut = LastIndexOfAny(path, "\\/");
    CString folder = cut >= start ? path.Mid(start, cut + 1 - start) : CString();
    CopyBounded(buffer, size, folder, folder.GetLength());
    return folder.IsEmpty() ? 0 : 1;
}
