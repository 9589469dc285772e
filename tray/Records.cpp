#include "Records.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "ProcessStart.h"
#include "ServiceState.h"
#include "StringUtil.h"
#include "TrayApp.h"
#include "TrayResources.h"
#include "ZToken.h"

namespace {

const int kFieldSize = 512;  // fields of a batch are read with at most 511 characters

struct StatusWord {
    uint16_t bit;
    unsigned stringId;
};

const StatusWord kUpsStatusWords[] = {
    {0x0004, IDS_WORD_OUTPUT_ACTIVE}, {0x0008, IDS_WORD_BACKUP_MODE},
    {0x0001, IDS_WORD_BYPASS},        {0x0010, IDS_WORD_BATTERY_LOW},
    {0x0400, IDS_WORD_BATTERY_BAD},   {0x0020, IDS_WORD_OVER_TEMP},
    {0x0080, IDS_WORD_INPUT_HIGH},    {0x0100, IDS_WORD_OUTPUT_HIGH},
    {0x2000, IDS_WORD_GENERAL_FAULT}, {0x0040, IDS_WORD_TESTING},
    {0x0800, IDS_WORD_ECO_MODE},      {0x0002, IDS_WORD_OUTPUT_OFF},
    {0x4000, IDS_WORD_COMM_LOST},
};

bool IsStatusHead(const char* field)
{
    return StrToUpper(std::string(field).substr(0, 7)) == "STATUS=";
}

}  // namespace

void HandleBatch(const char* text)
{
    CZToken token("|");
    int n = token.Count(text);
    if (n < 4) return;
    int records = n / 3;
    // A record's fields are never searched again for the next tag, or junk in
    // front of a record would start its command once per remaining record.
    int searchFrom = 1;
    for (int k = 0; k < records; ++k) {
        char field[kFieldSize];
        int i = searchFrom;
        for (; i < n; ++i) {
            token.GetField(field, sizeof field, text, i, true);
            if (IsOwnTag(field)) break;
        }
        if (i >= n || i + 2 > n) return;

        char tag[kFieldSize], length[kFieldSize], payload[kFieldSize];
        token.GetField(tag, sizeof tag, text, i, true);
        token.GetField(length, sizeof length, text, i + 1, true);
        token.GetField(payload, sizeof payload, text, i + 2, true);
        char record[2048];
        snprintf(record, sizeof record, "%s|%s|%s", tag, length, payload);

        long result = HandleRecord(record);
        char reply[16];
        int replyLength = snprintf(reply, sizeof reply, "%ld", result);
        uint32_t written = 0;
        theTrayApp.Transport.WriteData(reply, static_cast<uint32_t>(replyLength), &written);
        searchFrom = i + 3;
    }
}

int HandleRecord(const char* record)
{
    if (!record) return kRefused;
    CZToken token("|");
    if (token.Count(record) != 3) return kRefused;
    char tag[64];
    int32_t length = 0;
    char text[2048];
    token.GetField(tag, sizeof tag, record, 1, true);
    token.GetInt(&length, record, 2);
    token.GetField(text, sizeof text, record, 3, true);

    if (!IsOwnTag(tag)) return kRefused;
    if (theTrayApp.LastServiceState < 1) {
        PollServiceState();
        if (theTrayApp.LastServiceState < 1) return kRefused;
    }
    if (static_cast<int32_t>(strlen(text)) != length) return kRefused;

    char first[32] = "";
    char second[64] = "";
    token.SetDelimiter(";");
    if (token.Count(text) >= 1) {
        token.GetField(first, sizeof first, text, 1, true);
        token.GetField(second, sizeof second, text, 2, true);
    }
    token.SetDelimiter("=");
    if (token.Count(first) >= 2 && IsStatusHead(first)) {
        uint16_t flags = 0;
        token.GetUShort(&flags, first, 2);
        char name[32] = "";
        token.GetField(name, sizeof name, second, 2, true);
        zwin::CZSmartLock hold(&theTrayApp.Lock, true);
        SelectStatusIcon(flags);
        ShowUpsStatus(name, flags);
        return 0;
    }
    return ExecuteCommand(text);
}

bool IsOwnTag(char* field)
{
    for (char* c = field; *c; ++c)
        if (*c >= 'a' && *c <= 'z') *c = static_cast<char>(*c - 'a' + 'A');
    return theTrayApp.Product == field;
}

void SelectStatusIcon(uint16_t flags)
{
    int icon = 0;
    if (flags & 0x0804) icon = IDI_STATUS_OK;
    if (flags & 0x17E1) icon = IDI_STATUS_WARNING;
    if (flags & 0x201A) icon = IDI_STATUS_ALARM;
    if (flags & 0x4000) icon = IDI_STOPPED;
    if (icon) SetTrayIcon(icon);
}

void ShowUpsStatus(const char* name, uint16_t flags)
{
    if (flags == 0) return;
    std::string words;
    for (const StatusWord& w : kUpsStatusWords) {
        if (!(flags & w.bit)) continue;
        if (w.bit == 0x0004 && (flags & 0x0002)) continue;
        AppendStatusWord(w.stringId, words);
    }
    std::string tip = (name && *name) ? std::string("KODRA-Trap-Status [") + name + "]:\n"
                                      : std::string("KODRA-Trap-Status:\n");
    theTrayApp.Icon.SetTooltip(tip + words);
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
