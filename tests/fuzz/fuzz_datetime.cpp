// The date and time texts, the log timestamps and the log index of a stream.
#include <cstdlib>

#include "DateTimeUtil.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const time_t value = static_cast<int32_t>(in.Long());
    const std::string text = in.Text();
    const std::string stamp = in.Text();
    const std::string zone = in.Text();
    const std::string log = in.Rest();

    ParseDateTime(text.c_str());
    struct {
        char* (*format)(char*, time_t);
        int size;
        const char* name;
    } const formats[] = {
        {FormatDateTimeText, DATETIME_TEXT_SIZE, "FormatDateTimeText"},
        {FormatDateText, DATE_TEXT_SIZE, "FormatDateText"},
        {FormatTimeText, TIME_TEXT_SIZE, "FormatTimeText"},
        {FormatTimeSecondsText, TIME_SECONDS_TEXT_SIZE, "FormatTimeSecondsText"},
        {FormatLogTimestamp, LOG_TIMESTAMP_SIZE, "FormatLogTimestamp"},
    };
    for (const auto& f : formats) {
        GuardedBuffer out(static_cast<size_t>(f.size));
        f.format(out.Data(), value);
        out.Text(f.name);
    }

    ParseLogTimestamp(stamp.c_str());
    LogTimestampYear(stamp.c_str());
    LogTimestampMonth(stamp.c_str());
    LogTimestampDay(stamp.c_str());
    LogTimestampHour(stamp.c_str());
    LogTimestampMinute(stamp.c_str());
    IsValidLogTimestamp(stamp.c_str());

    // A zone that names a file would make the library read it; the texts of
    // the override itself are what is fuzzed here.
    if (!zone.empty() && zone[0] != ':' && zone[0] != '/' && zone.find("..") == std::string::npos) {
        SetTimeZone(zone.c_str());
        RestoreTimeZone();
    }

    FILE* stream = log.empty() ? nullptr : fmemopen(const_cast<char*>(log.data()), log.size(), "r");
    FixedList* index = BuildLogIndex(stream);
    if (stream) std::fclose(stream);
    if (index) {
        LogMinuteEntry entry;
        FindLogPosition(index, stamp.c_str(), &entry);
        FindLogPositionOrLast(index, stamp.c_str(), &entry);
        FindLogPositionOrFirst(index, stamp.c_str(), &entry);
        FixedListDestroy(index);
        std::free(index);
    }
    return 0;
}
