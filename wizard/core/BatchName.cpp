#include "BatchName.h"

#include "IniUtil.h"
#include "KodraFiles.h"
#include "WizardUtil.h"
#include "resource.h"

BatchNameCheck CheckBatchName(const char* text)
{
    BatchNameCheck check;
    CString trimmed = text ? text : "";
    TrimCString(trimmed);
    if (trimmed.IsEmpty()) {
        check.fault = BatchNameFault::Empty;
        return check;
    }
    if (trimmed.Find('*') >= 0 || trimmed.Find('?') >= 0) {
        check.fault = BatchNameFault::Wildcard;
        return check;
    }
    CString name;
    GetFileNamePart(trimmed, name);
    TrimCString(name);
    check.serverBatch = name.CompareNoCase(kKodraServerBatch) == 0;
    if (!FileExistsInProgramDir(text)) check.fault = BatchNameFault::Missing;
    return check;
}

bool ValidateBatchName(const char* text)
{
    BatchNameCheck check = CheckBatchName(text);
    switch (check.fault) {
    case BatchNameFault::Empty:
        ShowInfoMessage(LoadResString(IDS_NO_BATCH_FILE));
        return false;
    case BatchNameFault::Wildcard:
        ShowInfoMessage(LoadResString(IDS_ILLEGAL_FILENAME));
        return false;
    default:
        break;
    }
    if (check.serverBatch) {
        CString question;
        question.Format(LoadResString(IDS_SDSRV_FOR_CLIENT), kKodraServerBatch);
        if (!AskYesNo(question, LoadResString(IDS_WARNING))) return false;
    }
    if (check.fault == BatchNameFault::Missing) {
        ShowInfoMessage(LoadResString(IDS_FILE_MISSING));
        return false;
    }
    return true;
}
