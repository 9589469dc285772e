// The message port's batch split, record check and status text.
#include "FuzzInput.h"
#include "RecordText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const uint16_t flags = in.Word();
    const std::string text = in.Rest();

    for (const std::string& record : SplitBatch(text.c_str(), "KODRA")) {
        Expect(record.size() <= 3 * 511 + 2, "a rebuilt record holds three fields of at most 511");
        RecordCheck check = CheckRecord(record.c_str(), "KODRA");
        Expect(check.addressed, "every record of a batch carries the own tag");
    }
    RecordCheck check = CheckRecord(text.c_str(), "KODRA");
    Expect(check.text.size() <= 2047, "the text is read with at most 2047 characters");
    Expect(check.name.size() <= 31, "the name is read with at most 31 characters");
    Expect(check.isStatus || check.flags == 0, "only a status text has flags");

    const int icon = StatusIconFor(flags);
    Expect(icon == 0 || icon == 104 || icon == 105 || icon == 113 || icon == 114, "a status icon");
    Expect(StatusWordIds(flags).size() <= 13, "at most one word per bit");
    StatusTooltip(check.name.c_str(), std::string());
    return 0;
}
