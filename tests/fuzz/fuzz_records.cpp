// The message port's batch split and record check, held against a small model
// of the record rules: a record passes exactly when it has three fields, the
// product's tag, a text of at most 511 characters and a length field that is
// that count in decimal digits; the text handed on is the third field,
// trimmed. A batch's records are consecutive fields of the batch, whole. The
// transport's look for a record in a sender's bytes, held against the same
// model, finds every record that the tray answers as passing, however the
// bytes arrive. Also the status icon, words and tooltip.
#include "FuzzInput.h"
#include "MessageRecord.h"
#include "RecordText.h"

namespace {

const char kTag[] = "KODRA";
const size_t kFieldLimit = 511;

std::string Trimmed(const std::string& text)
{
    const char* blanks = " \t\n\v\f\r";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::vector<std::string> TrimmedFields(const std::string& text)
{
    std::vector<std::string> fields;
    if (text.empty()) return fields;
    size_t begin = 0;
    for (size_t bar; (bar = text.find('|', begin)) != std::string::npos; begin = bar + 1)
        fields.push_back(Trimmed(text.substr(begin, bar - begin)));
    fields.push_back(Trimmed(text.substr(begin)));
    return fields;
}

bool IsTag(std::string field)
{
    for (char& c : field)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return field == kTag;
}

bool IsCount(const std::string& field, size_t count)
{
    if (field.empty() || field.find_first_not_of("0123456789") != std::string::npos) return false;
    const size_t digits = field.find_first_not_of('0');
    const std::string number = digits == std::string::npos ? "0" : field.substr(digits);
    return number == std::to_string(count);
}

// Whether three consecutive fields, the last one ended by "|", make a record
// of any tag by the model.
bool ModelHolds(const std::vector<std::string>& fields)
{
    for (size_t j = 0; j + 3 < fields.size(); ++j)
        if (!fields[j].empty() && fields[j].size() <= 63 && fields[j + 2].size() <= kFieldLimit &&
            IsCount(fields[j + 1], fields[j + 2].size()))
            return true;
    return false;
}

bool Holds(const std::string& bytes)
{
    size_t from = 0;
    return HoldsRecord(bytes, &from);
}

// The record's verdict by the model, and the text it hands on.
bool ModelPasses(const std::vector<std::string>& fields)
{
    return fields.size() == 3 && IsTag(fields[0]) && fields[2].size() <= kFieldLimit &&
           IsCount(fields[1], fields[2].size());
}

void CheckAgainstModel(const std::string& record)
{
    const RecordCheck check = CheckRecord(record.c_str(), kTag);
    const std::vector<std::string> fields = TrimmedFields(record);
    Expect((check.addressed && check.lengthMatches) == ModelPasses(fields),
           "a record passes exactly when tag, count and limits hold");
    if (check.addressed) Expect(check.text == fields[2], "the text handed on is the third field, trimmed");
    Expect(check.isStatus || check.flags == 0, "only a status text has flags");
    Expect(check.name.size() <= 31, "the name is read with at most 31 characters");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    // The status flags, and where the bytes arriving in two pieces are cut.
    const uint16_t flags = in.Word();
    const std::string rest = in.Rest();
    // What the port hands on ends at the first zero byte.
    const std::string text(rest.c_str());

    const std::vector<std::string> fields = TrimmedFields(text);
    const std::vector<std::string> records = SplitBatch(text.c_str(), kTag);
    Expect(records.size() <= fields.size() / 3, "at most one record per three fields");
    size_t next = 0;
    for (const std::string& record : records) {
        while (next + 2 < fields.size() &&
               record != fields[next] + "|" + fields[next + 1] + "|" + fields[next + 2])
            ++next;
        Expect(next + 2 < fields.size(),
               "a record is three consecutive fields of the batch, whole, after the one before");
        Expect(IsTag(fields[next]), "every record of a batch carries the own tag");
        if (next + 3 < fields.size() && ModelPasses({fields[next], fields[next + 1], fields[next + 2]}))
            Expect(Holds(text), "the transport keeps a sender of a record that the tray answers as passing");
        next += 3;
        CheckAgainstModel(record);
    }
    CheckAgainstModel(text);

    // The transport sees the bytes as they were sent, zero bytes and all, and
    // looks at them as they arrive, here in two pieces.
    const bool held = Holds(rest);
    Expect(held == ModelHolds(TrimmedFields(rest)), "the bytes hold a record exactly when the model finds one");
    size_t from = 0;
    const std::string first = rest.substr(0, flags % (rest.size() + 1));
    const bool heldFirst = HoldsRecord(first, &from);
    Expect(from <= first.size(), "the look goes on within the bytes looked at");
    Expect((heldFirst || HoldsRecord(rest, &from)) == held, "bytes arriving in pieces hold what they hold at once");

    const int icon = StatusIconFor(flags);
    Expect(icon == 0 || icon == 104 || icon == 105 || icon == 113 || icon == 114, "a status icon");
    Expect(StatusWordIds(flags).size() <= 13, "at most one word per bit");
    StatusTooltip(CheckRecord(text.c_str(), kTag).name.c_str(), std::string());
    return 0;
}
