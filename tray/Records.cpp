#include "Records.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "ProcessStart.h"
#include "RecordText.h"
#include "ServiceState.h"
#include "StringUtil.h"
#include "TrayApp.h"

void HandleBatch(const char* text)
{
    for (const std::string& record : SplitBatch(text, theTrayApp.Product)) {
        long result = HandleRecord(record.c_str());
        char reply[16];
        int replyLength = snprintf(reply, sizeof reply, "%ld", result);
        uint32_t written = 0;
        theTrayApp.Transport.WriteData(reply, static_cast<uint32_t>(replyLength), &written);
    }
}

int HandleRecord(const char* record)
{
    if (!record) return kRefused;
    RecordCheck check = CheckRecord(record, theTrayApp.Product);
    if (!check.addressed) return kRefused;
    if (theTrayApp.LastServiceState < 1) {
        PollServiceState();
        if (theTrayApp.LastServiceState < 1) return kRefused;
    }
    if (!check.lengthMatches) return kRefused;
    if (check.isStatus) {
        zwin::CZSmartLock hold(&theTrayApp.Lock, true);
        SelectStatusIcon(check.flags);
        ShowUpsStatus(check.name.c_str(), check.flags);
        return 0;
    }
    return ExecuteCommand(check.text.c_str());
}

bool IsOwnTag(char* field)
{
    return IsProductTag(field, theTrayApp.Product);
}

void SelectStatusIcon(uint16_t flags)
{
    int icon = StatusIconFor(flags);
    if (icon) SetTrayIcon(icon);
}

void ShowUpsStatus(const char* name, uint16_t flags)
{
    if (flags == 0) return;
    std::string words;
    for (unsigned id : StatusWordIds(flags)) AppendStatusWord(id, words);
    theTrayApp.Icon.SetTooltip(StatusTooltip(name, words));
}

void AppendStatusWord(unsigned stringId, std::string& words)
{
    std::string word = LoadTrayString(stringId, 128);
    if (!words.empty()) words += ", ";
    words += word;
}

int StartFailureCode(unsigned long lastError)
{
    return lastError != 0 ? static_cast<int>(lastError) : ERROR_GEN_FAILURE;
}

int ExecuteCommand(const char* commandLine)
{
    const int show = StrToUpper(commandLine).find("KTMSG") == std::string::npos ? SW_HIDE : SW_SHOW;
    DWORD error = 0;
    if (!StartProcess(nullptr, commandLine, show, nullptr, false, &error))
        return StartFailureCode(error);
    return 0;
}
