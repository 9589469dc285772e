// The server's batch file "SDSrv.bat" and the VELMOR special job that runs it:
// the values "EnableExtra%d", "ExtraJob%d" and "ExtraTime%d" of slots 1 to 3 under
// "SYSTEM\CurrentControlSet\Services\VELMOR\Parameters".
#pragma once

#include "CnfData.h"

constexpr int kSpecialJobSlots = 3;
// The most minutes a job's lead time holds ("ExtraTime%d" is read as an int).
constexpr DWORD kMostJobMinutes = 2147483647;

struct SpecialJob {
    SpecialJob() { Clear(); }
    void Clear()
    {
        EnableExtra = FALSE;
        ExtraJob.Empty();
        ExtraTime = 0;
    }

    BOOL EnableExtra;
    CString ExtraJob;
    int ExtraTime;
};

BOOL InstallServerJob(const CCnfData& record, const char* programName, DWORD minutes);
// Disables the job and deletes "SDSrv.bat"; a job it could not disable keeps
// the file.
BOOL RemoveServerJob();
// An enabled own job is still entered (or the VELMOR key cannot be read).
BOOL ServerJobPresent();

BOOL WriteServerBatchFile(const CCnfData& record, const char* programName);
BOOL WriteBatchLine(const char* text, HANDLE file);

BOOL ReadSpecialJobs(SpecialJob* slots, int count);
BOOL ReadSpecialJob(HKEY key, SpecialJob& slot, int slotNumber);
int FindSpecialJobSlot(const SpecialJob* slots, int count, BOOL uninstall, BOOL* ownSlot);
BOOL WriteSpecialJob(HKEY key, const SpecialJob& slot, int slotNumber, BOOL uninstallHelp);
void AppendSpecialJobHelp(CString& message, BOOL uninstall);
void GetServerBatchPath(CString& path);
BOOL OpenVelmorParametersKey(HKEY* key);
