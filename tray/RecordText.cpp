#include "RecordText.h"

#include "MessageRecord.h"
#include "StringUtil.h"
#include "TrayResources.h"
#include "ZToken.h"

namespace {

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

bool IsProductTag(char* field, const std::string& product)
{
    for (char* c = field; *c; ++c)
        if (*c >= 'a' && *c <= 'z') *c = static_cast<char>(*c - 'a' + 'A');
    return product == field;
}

std::vector<std::string> SplitBatch(const char* text, const std::string& product)
{
    std::vector<std::string> records;
    if (!text) return records;
    // Each field is read once: reading them one by one from the text took time
    // of the square of a long batch of separators.
    std::vector<std::string> fields = SplitFields(text, "|");
    for (std::string& field : fields) field = std::string(TrimRecordField(field));
    const int n = static_cast<int>(fields.size());
    if (n < 4) return records;
    const int count = n / 3;
    // A record's fields are never searched again for the next tag, or junk in
    // front of a record would start its command once per remaining record.
    int searchFrom = 1;
    for (int k = 0; k < count; ++k) {
        int i = searchFrom;
        for (; i < n; ++i) {
            std::string tag = fields[i - 1];
            if (IsProductTag(&tag[0], product)) break;
        }
        if (i >= n || i + 2 > n) break;
        records.push_back(fields[i - 1] + "|" + fields[i] + "|" + fields[i + 1]);
        searchFrom = i + 3;
    }
    return records;
}

RecordCheck CheckRecord(const char* record, const std::string& product)
{
    RecordCheck check;
    if (!record) return check;
    CZToken token("|");
    if (token.Count(record) != 3) return check;
    char tag[64];
    token.GetField(tag, sizeof tag, record, 1, true);
    check.addressed = IsProductTag(tag, product);
    check.text = token.ExtractField(record, 3, "|", true);
    check.lengthMatches = CountsText(token.ExtractField(record, 2, "|", true), check.text);
    const char* text = check.text.c_str();

    char first[32] = "";
    char second[64] = "";
    token.SetDelimiter(";");
    if (token.Count(text) >= 1) {
        token.GetField(first, sizeof first, text, 1, true);
        token.GetField(second, sizeof second, text, 2, true);
    }
    token.SetDelimiter("=");
    if (token.Count(first) >= 2 && IsStatusHead(first)) {
        check.isStatus = true;
        token.GetUShort(&check.flags, first, 2);
        char name[32] = "";
        token.GetField(name, sizeof name, second, 2, true);
        check.name = name;
    }
    return check;
}

int StatusIconFor(uint16_t flags)
{
    int icon = 0;
    if (flags & 0x0804) icon = IDI_STATUS_OK;
    if (flags & 0x17E1) icon = IDI_STATUS_WARNING;
    if (flags & 0x201A) icon = IDI_STATUS_ALARM;
    if (flags & 0x4000) icon = IDI_STOPPED;
    return icon;
}

std::vector<unsigned> StatusWordIds(uint16_t flags)
{
    std::vector<unsigned> ids;
    for (const StatusWord& w : kUpsStatusWords) {
        if (!(flags & w.bit)) continue;
        if (w.bit == 0x0004 && (flags & 0x0002)) continue;
        ids.push_back(w.stringId);
    }
    return ids;
}

std::string StatusTooltip(const char* name, const std::string& words)
{
    std::string head = (name && *name) ? std::string("KODRA-Trap-Status [") + name + "]:\n"
                                       : std::string("KODRA-Trap-Status:\n");
    return head + words;
}
