// The beep line of "message.bat": reading the setting and rewriting the lines.
#include "FuzzInput.h"
#include "MessageBatch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const long count = static_cast<long>(in.Byte() % 11) - 1;
    const std::string number = in.Text();
    const std::string batch = in.Rest();

    LeadingNumber(number.c_str());
    BeepSetting setting = FindBeepSetting(batch);
    if (setting.choice == BeepChoice::Times)
        Expect(setting.count >= 1 && setting.count <= 9, "a count of 1 to 9");

    const std::string rewritten = RewriteBeepLines(batch, count);
    Expect(!rewritten.empty() && rewritten.back() == '\n', "the rewritten text ends with a line end");
    // Without zero bytes the pieces before the first beep line stay as they
    // were, so the rewritten file reads back as the setting written.
    if (setting.choice != BeepChoice::Off && batch.find('\0') == std::string::npos) {
        BeepSetting back = FindBeepSetting(rewritten);
        BeepChoice expected = count < 0 ? BeepChoice::Off
                              : count == 0 ? BeepChoice::Endless : BeepChoice::Times;
        Expect(back.choice == expected, "the written setting reads back");
        if (expected == BeepChoice::Times) Expect(back.count == count, "the written count reads back");
    }
    return 0;
}
