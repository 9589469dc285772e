#include "ServerJob.h"

#include "BatchSyntax.h"
#include "IniUtil.h"
#include "KodraFiles.h"
#include "KodraProgram.h"
#include "RegValues.h"
#include "UniqueHandle.h"
#include "WizardUtil.h"
#include "resource.h"

#include <climits>

namespace {

const char kVelmorKey[] = "SYSTEM\\CurrentControlSet\\Services\\VELMOR\\Parameters";
const char kBatchRuleLine[] =
    "@REM #############################     DON'T EDIT     #############################";

CString SlotValueName(const char* format, int slotNumber)
{
    CString name;
    name.Format(format, slotNumber);
    return name;
}

// The decimal value at the start of the text, bounded; 0 when it has no digits.
int LeadingNumber(const CString& text)
{
    const char* p = text;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    long long value = 0;
    while (*p >= '0' && *p <= '9') {
        value = value * 10 + (*p++ - '0');
        if (value > INT_MAX) value = INT_MAX;
    }
    return static_cast<int>(negative ? -value : value);
}

bool IsOwnSlot(const SpecialJob& slot)
{
    if (!slot.EnableExtra) return false;
    CString command = slot.ExtraJob;
    command.MakeUpper();
    return command.Find("SDSRV") >= 0;
}

void ShowWithHelp(const CString& text, BOOL uninstall)
{
    CString message = text;
    AppendSpecialJobHelp(message, uninstall);
    ShowInfoMessage(message);
}

}  // namespace

void GetServerBatchPath(CString& path) { MakeAbsolutePath(kKodraServerBatch, path); }

BOOL OpenVelmorParametersKey(HKEY* key)
{
    *key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVelmorKey, 0, KEY_ALL_ACCESS, key) == ERROR_SUCCESS)
        return TRUE;
    *key = nullptr;
    return FALSE;
}

void AppendSpecialJobHelp(CString& message, BOOL uninstall)
{
    message += "\r\n\r\n";
    if (uninstall) {
        message += "You have to uninstall KODRA on your own. To do\r\nso, start VELMOR -config and "
                   "remove the KODRA\r\njob lines (page \"Special\"). These job\r\nentries should "
                   "contain the string SDSrv.bat.";
        return;
    }
    CString batchPath;
    GetServerBatchPath(batchPath);
    message += "You have to configure VELMOR on your own. To do\r\nso, start VELMOR -config and "
               "enter the full path\r\nof the KODRA batch file:\r\n";
    message += batchPath;
    message += "\r\nas one of the special jobs (page \"Special\").\r\n\r\n";
    message += "You have to remove old KODRA job entries and job\r\nentries that you do not need "
               "anymore. KODRA entries should\r\ncontain the string SDSrv.bat. If VELMOR "
               "-config\r\ndoesn't work, try VELMOR -install before calling\r\nVELMOR -config.";
}

BOOL ReadSpecialJob(HKEY key, SpecialJob& slot, int slotNumber)
{
    CString text;
    if (RegReadString(key, SlotValueName("EnableExtra%d", slotNumber), text)) {
        TrimCString(text);
        slot.EnableExtra = text.CompareNoCase("yes") == 0;
    }
    text.Empty();
    if (RegReadString(key, SlotValueName("ExtraJob%d", slotNumber), text)) {
        TrimCString(text);
        slot.ExtraJob = text;
    }
    text.Empty();
    RegReadString(key, SlotValueName("ExtraTime%d", slotNumber), text);
    TrimCString(text);
    int minutes = LeadingNumber(text);
    slot.ExtraTime = minutes > 0 ? minutes : 1;
    return TRUE;
}

BOOL ReadSpecialJobs(SpecialJob* slots, int count)
{
    UniqueRegKey key;
    if (!OpenVelmorParametersKey(key.Put())) return FALSE;
    for (int i = 0; i < count; ++i) {
        slots[i].Clear();
        ReadSpecialJob(key.Get(), slots[i], i + 1);
    }
    return TRUE;
}

int FindSpecialJobSlot(const SpecialJob* slots, int count, BOOL uninstall, BOOL* ownSlot)
{
    *ownSlot = FALSE;
    if (count <= 0) return -1;
    int own = -1;
    int free = -1;
    for (int i = 0; i < count; ++i) {
        if (IsOwnSlot(slots[i])) {
            if (own >= 0) {
                ShowWithHelp(LoadResString(IDS_JOB_SEVERAL_OWN), uninstall);
                return -1;
            }
            own = i;
        } else if (!slots[i].EnableExtra && free < 0) {
            free = i;
        }
    }
    if (own >= 0) {
        *ownSlot = TRUE;
        return own;
    }
    if (uninstall) {
        ShowWithHelp(LoadResString(IDS_JOB_NO_OWN), TRUE);
        return -1;
    }
    if (free < 0) {
        ShowWithHelp(LoadResString(IDS_JOB_NO_FREE), uninstall);
        return -1;
    }
    return free;
}

BOOL WriteSpecialJob(HKEY key, const SpecialJob& slot, int slotNumber, BOOL uninstallHelp)
{
    CString command = CString("\"") + slot.ExtraJob + "\"";
    CString minutes;
    minutes.Format("%d", slot.ExtraTime);
    if (!RegWriteString(key, SlotValueName("EnableExtra%d", slotNumber),
                        slot.EnableExtra ? "yes" : "no", REG_SZ) ||
        !RegWriteString(key, SlotValueName("ExtraJob%d", slotNumber), command, REG_SZ) ||
        !RegWriteString(key, SlotValueName("ExtraTime%d", slotNumber), minutes, REG_SZ)) {
        ShowWithHelp("Writing the KODRA job failed!", uninstallHelp);
        return FALSE;
    }
    return TRUE;
}

BOOL WriteBatchLine(const char* text, HANDLE file)
{
    CString line = CString(text) + "\r\n";
    DWORD written = 0;
    return WriteFile(file, line.GetString(), static_cast<DWORD>(line.GetLength()), &written,
                     nullptr) &&
           written == static_cast<DWORD>(line.GetLength());
}

BOOL WriteServerBatchFile(const CCnfData& record, const char* programName)
{
    CString program;
    MakeAbsolutePath(programName, program);
    CString path;
    GetServerBatchPath(path);

    // The interpreter reads the file in the OEM code page.
    if (!IsBatchCodePageSafe(program)) return FALSE;

    CStringArray lines;
    lines.Add("@");
    lines.Add("@REM                     Written by KODRA configuration program");
    lines.Add("@");
    lines.Add("@");
    lines.Add("@");
    lines.Add(kBatchRuleLine);
    lines.Add("@");
    for (int i = 0; i < record.Addr.GetSize(); ++i) {
        CString address = record.Addr.GetAt(i);
        TrimCString(address);
        if (address.IsEmpty()) continue;
        if (!IsBatchSafeAddress(address)) return FALSE;
        CString port;
        port.Format("%lu", static_cast<unsigned long>(record.Port));
        lines.Add(CString("   ") + BatchQuoted(program.GetString()).c_str() + kKodraNotifySwitch +
                  kKodraAddressSwitch + address + kKodraPortSwitch + port);
    }
    lines.Add("@");
    lines.Add(kBatchRuleLine);

    UniqueFileHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return FALSE;
    BOOL ok = TRUE;
    for (int i = 0; ok && i < lines.GetSize(); ++i) ok = WriteBatchLine(lines.GetAt(i), file.Get());
    // The last buffered bytes reach the disk when the file closes.
    if (!CloseHandle(file.Release())) ok = FALSE;
    return ok;
}

BOOL InstallServerJob(const CCnfData& record, const char* programName, DWORD minutes)
{
    for (int i = 0; i < record.Addr.GetSize(); ++i) {
        CString address = record.Addr.GetAt(i);
        TrimCString(address);
        if (!CheckBatchSafeAddress(address)) return FALSE;
    }
    CString program;
    MakeAbsolutePath(programName, program);
    if (!CheckBatchCodePage(program)) return FALSE;
    if (!WriteServerBatchFile(record, programName)) {
        ShowWithHelp("Failed to create the server batch file!", FALSE);
        return FALSE;
    }
    SpecialJob slots[kSpecialJobSlots];
    if (!ReadSpecialJobs(slots, kSpecialJobSlots)) {
        ShowInfoMessage("Failed to load the VELMOR configuration!\r\nYou have to install VELMOR "
                        "(call VELMOR.exe -install\r\nand VELMOR.exe -config) before installing "
                        "KODRA!");
        return FALSE;
    }
    BOOL own = FALSE;
    int index = FindSpecialJobSlot(slots, kSpecialJobSlots, FALSE, &own);
    if (index < 0) return FALSE;
    UniqueRegKey key;
    if (!OpenVelmorParametersKey(key.Put())) {
        ShowWithHelp(LoadResString(IDS_JOB_SAVE_FAILED), FALSE);
        return FALSE;
    }
    SpecialJob& slot = slots[index];
    slot.EnableExtra = TRUE;
    GetServerBatchPath(slot.ExtraJob);
    slot.ExtraTime = minutes >= 1 && minutes <= kMostJobMinutes ? static_cast<int>(minutes) : 1;
    return WriteSpecialJob(key.Get(), slot, index + 1, FALSE);
}

BOOL ServerJobPresent()
{
    HKEY opened = nullptr;
    LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVelmorKey, 0, KEY_READ, &opened);
    if (result == ERROR_FILE_NOT_FOUND) return FALSE;
    // A key that cannot be read may still hold the job.
    if (result != ERROR_SUCCESS) return TRUE;
    UniqueRegKey key(opened);
    BOOL present = FALSE;
    for (int n = 1; n <= kSpecialJobSlots && !present; ++n) {
        SpecialJob slot;
        ReadSpecialJob(key.Get(), slot, n);
        present = IsOwnSlot(slot);
    }
    return present;
}

namespace {

BOOL DisableServerJob()
{
    SpecialJob slots[kSpecialJobSlots];
    if (!ReadSpecialJobs(slots, kSpecialJobSlots)) {
        ShowWithHelp(LoadResString(IDS_JOB_LOAD_FAILED), TRUE);
        return FALSE;
    }
    BOOL own = FALSE;
    int index = FindSpecialJobSlot(slots, kSpecialJobSlots, TRUE, &own);
    if (index < 0) return FALSE;
    UniqueRegKey key;
    if (!OpenVelmorParametersKey(key.Put())) {
        ShowWithHelp(LoadResString(IDS_JOB_DELETE_FAILED), TRUE);
        return FALSE;
    }
    SpecialJob& slot = slots[index];
    slot.EnableExtra = FALSE;
    slot.ExtraJob = "own";
    slot.ExtraTime = 0;
    return WriteSpecialJob(key.Get(), slot, index + 1, TRUE);
}

}  // namespace

BOOL RemoveServerJob()
{
    BOOL removed = DisableServerJob();
    // A job that stays in place keeps the file it runs.
    if (removed || !ServerJobPresent()) {
        CString path;
        GetServerBatchPath(path);
        DeleteFileA(path);
    }
    return removed;
}
