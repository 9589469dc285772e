// Date and time texts, log timestamps, a time-zone override, and a per-day index
// of the line positions of a timestamped log file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>

#include "FixedList.h"

// Output sizes for four-digit years, terminator included.
const int DATETIME_TEXT_SIZE = 17;
const int DATE_TEXT_SIZE = 11;
const int TIME_TEXT_SIZE = 6;
const int TIME_SECONDS_TEXT_SIZE = 9;
const int LOG_TIMESTAMP_SIZE = 20;

time_t ParseDateTime(const char* text);
time_t MakeLocalTime(struct tm* fields);
struct tm* LocalTimeOf(time_t value);
// Each writes at most its size above into out, and "" when the conversion fails.
char* FormatDateTimeText(char* out, time_t value);
char* FormatDateText(char* out, time_t value);
char* FormatTimeText(char* out, time_t value);
char* FormatTimeSecondsText(char* out, time_t value);
time_t ParseLogTimestamp(const char* text);
char* FormatLogTimestamp(char* out, time_t value);
int LogTimestampYear(const char* text);
int LogTimestampMonth(const char* text);
int LogTimestampDay(const char* text);
int LogTimestampHour(const char* text);
int LogTimestampMinute(const char* text);
int IsValidLogTimestamp(const char* text);

int SetTimeZone(const char* zone);
int RestoreTimeZone();

struct LogMinuteEntry {
    int64_t position;
    int32_t minute;
    int32_t length;
};

const int LOG_INDEX_HOURS = 24;
const int LOG_INDEX_MINUTES = 60;

// One calendar day of a log file; every number not yet set reads -1.
struct LogDateIndex {
    int32_t year;
    int32_t month;
    int32_t day;
    int32_t hour[LOG_INDEX_HOURS];
    int32_t unused;
    LogMinuteEntry entry[LOG_INDEX_HOURS][LOG_INDEX_MINUTES];
};
static_assert(sizeof(LogDateIndex) == 23152, "stored record size");

// A list of LogDateIndex records on the heap, or nullptr; the caller releases it
// with FixedListDestroy and then free().
FixedList* BuildLogIndex(FILE* stream);
int FindLogPosition(const FixedList* list, const char* timestamp, LogMinuteEntry* out);
int FindLogPositionOrLast(const FixedList* list, const char* timestamp, LogMinuteEntry* out);
int FindLogPositionOrFirst(const FixedList* list, const char* timestamp, LogMinuteEntry* out);
