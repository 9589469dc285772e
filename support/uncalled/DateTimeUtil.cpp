#include "DateTimeUtil.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "CharBufferUtil.h"

namespace {

const int kDaysInMonth[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

char g_savedZone[32] = "";

struct LogFields {
    int month = 0, day = 0, year = 0, hour = 0, minute = 0, second = 0;
    int read = 0;
};

LogFields ScanLogTimestamp(const char* text)
{
    LogFields f;
    if (text)
        f.read = std::sscanf(text, "%02d/%02d/%04d,%02d:%02d:%02d", &f.month, &f.day, &f.year,
                             &f.hour, &f.minute, &f.second);
    return f;
}

char* FormatLocal(char* out, int size, time_t value, int form)
{
    out[0] = '\0';
    const struct tm* t = LocalTimeOf(value);
    if (!t) return out;
    const int year = t->tm_year + 1900, month = t->tm_mon + 1;
    switch (form) {
    case 0:
        std::snprintf(out, size, "%02d.%02d.%04d %02d:%02d", t->tm_mday, month, year, t->tm_hour,
                      t->tm_min);
        break;
    case 1: std::snprintf(out, size, "%02d.%02d.%04d", t->tm_mday, month, year); break;
    case 2: std::snprintf(out, size, "%02d:%02d", t->tm_hour, t->tm_min); break;
    case 3: std::snprintf(out, size, "%02d:%02d:%02d", t->tm_hour, t->tm_min, t->tm_sec); break;
    default:
        std::snprintf(out, size, "%02d/%02d/%04d,%02d:%02d:%02d", month, t->tm_mday, year,
                      t->tm_hour, t->tm_min, t->tm_sec);
        break;
    }
    return out;
}

bool PutZone(const char* zone)
{
#ifdef _WIN32
    char entry[3 + 64];
    std::snprintf(entry, sizeof entry, "TZ=%s", zone);
    if (_putenv(entry) != 0) return false;
    _tzset();
#else
    int result = zone[0] ? setenv("TZ", zone, 1) : unsetenv("TZ");
    if (result != 0) return false;
    tzset();
#endif
    return true;
}

int64_t StreamPosition(FILE* stream)
{
#ifdef _WIN32
    return _ftelli64(stream);
#else
    return ftello(stream);
#endif
}

bool IsSet(const LogMinuteEntry& e) { return e.minute != -1; }

const LogDateIndex* Record(const FixedListNode* node)
{
    return static_cast<const LogDateIndex*>(node->element);
}

struct Stamp {
    int year, month, day, hour, minute;
};

Stamp StampOf(const char* text)
{
    LogFields f = ScanLogTimestamp(text);
    return {f.year, f.month, f.day, f.hour, f.minute};
}

// -1, 0 or 1 as a compares to b field by field, starting at the given field.
int CompareStamps(const Stamp& a, const Stamp& b, int from)
{
    const int av[5] = {a.year, a.month, a.day, a.hour, a.minute};
    const int bv[5] = {b.year, b.month, b.day, b.hour, b.minute};
    for (int i = from; i < 5; ++i)
        if (av[i] != bv[i]) return av[i] < bv[i] ? -1 : 1;
    return 0;
}

Stamp FirstStampOf(const LogDateIndex& r)
{
    return {r.year, r.month, r.day, r.hour[0], r.entry[0][0].minute};
}

bool SearchDay(const LogDateIndex& r, const Stamp& s, LogMinuteEntry* out)
{
    bool have = false;
    LogMinuteEntry answer{};
    for (int slot = 0; slot < LOG_INDEX_HOURS; ++slot) {
        if (r.hour[slot] != s.hour) continue;
        for (const LogMinuteEntry& e : r.entry[slot])
            if (IsSet(e) && e.minute == s.minute) {
                *out = e;
                return true;
            }
        for (const LogMinuteEntry& e : r.entry[slot]) {
            if (!IsSet(e)) continue;
            if (e.minute < s.minute) {
                answer = e;
                have = true;
            } else if (!have) {
                *out = e;
                return true;
            }
        }
    }
    for (int slot = 0; slot < LOG_INDEX_HOURS && !have; ++slot) {
        const int h = r.hour[slot];
        if (h == -1 || h == s.hour) continue;
        if (h > s.hour) {
            *out = r.entry[slot][0];
            return true;
        }
        answer = r.entry[slot][0];
        have = true;
    }
    if (have) *out = answer;
    return have;
}

}  // namespace

time_t MakeLocalTime(struct tm* fields) { return std::mktime(fields); }

struct tm* LocalTimeOf(time_t value) { return std::localtime(&value); }

time_t ParseDateTime(const char* text)
{
    int day = 0, month = 0, year = 0, hour = 0, minute = 0;
    if (text) std::sscanf(text, "%02d.%02d.%04d %02d:%02d", &day, &month, &year, &hour, &minute);
    struct tm t = {};
    t.tm_mday = day;
    t.tm_mon = month - 1;
    t.tm_year = year - 1900;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_isdst = -1;
    return MakeLocalTime(&t);
}

char* FormatDateTimeText(char* out, time_t value) { return FormatLocal(out, DATETIME_TEXT_SIZE, value, 0); }
char* FormatDateText(char* out, time_t value) { return FormatLocal(out, DATE_TEXT_SIZE, value, 1); }
char* FormatTimeText(char* out, time_t value) { return FormatLocal(out, TIME_TEXT_SIZE, value, 2); }
char* FormatTimeSecondsText(char* out, time_t value)
{
    return FormatLocal(out, TIME_SECONDS_TEXT_SIZE, value, 3);
}
char* FormatLogTimestamp(char* out, time_t value) { return FormatLocal(out, LOG_TIMESTAMP_SIZE, value, 4); }

time_t ParseLogTimestamp(const char* text)
{
    LogFields f = ScanLogTimestamp(text);
    struct tm t = {};
    t.tm_mon = f.month - 1;
    t.tm_mday = f.day;
    t.tm_year = f.year - 1900;
    t.tm_hour = f.hour;
    t.tm_min = f.minute;
    t.tm_sec = f.second;
    // Forcing the zone's daylight flag put every winter time an hour off.
    t.tm_isdst = -1;
    return MakeLocalTime(&t);
}

int LogTimestampYear(const char* text) { return ScanLogTimestamp(text).year; }
int LogTimestampMonth(const char* text) { return ScanLogTimestamp(text).month; }
int LogTimestampDay(const char* text) { return ScanLogTimestamp(text).day; }
int LogTimestampHour(const char* text) { return ScanLogTimestamp(text).hour; }
int LogTimestampMinute(const char* text) { return ScanLogTimestamp(text).minute; }

int IsValidLogTimestamp(const char* text)
{
    LogFields f = ScanLogTimestamp(text);
    if (f.read != 6) return 0;
    if (f.month < 1 || f.month > 12) return 0;
    if (f.day < 1 || f.day > kDaysInMonth[f.month - 1]) return 0;
    if (f.hour < 0 || f.hour > 23 || f.minute < 0 || f.minute > 59 || f.second < 0 || f.second > 59)
        return 0;
    return 1;
}

int SetTimeZone(const char* zone)
{
    if (!zone) return 0;
    const char* current = std::getenv("TZ");
    std::snprintf(g_savedZone, sizeof g_savedZone, "%s", current ? current : "");
    char cut[64];
    std::snprintf(cut, sizeof cut, "%s", zone);
    return PutZone(cut) ? 1 : 0;
}

int RestoreTimeZone()
{
    if (g_savedZone[0] == '\0') return 0;
    PutZone(g_savedZone);
    g_savedZone[0] = '\0';
    return 1;
}

FixedList* BuildLogIndex(FILE* stream)
{
    if (!stream) return nullptr;
    FixedList* list = static_cast<FixedList*>(std::malloc(sizeof(FixedList)));
    LogDateIndex* record = static_cast<LogDateIndex*>(std::malloc(sizeof(LogDateIndex)));
    if (!list || !record) {
        std::free(list);
        std::free(record);
        return nullptr;
    }
    FixedListInit(list, sizeof(LogDateIndex));
    std::rewind(stream);
    bool failed = false;
    char line[1024];
    if (ReadFileLine(stream, line, sizeof line) == 0) {
        failed = true;
    } else {
        std::memset(record, 0xFF, sizeof *record);
        int slot = 0, index = 0;
        for (;;) {
            const int length = ReadFileLine(stream, line, sizeof line);
            if (length == 0) break;
            // The last line may end at the end of the file without a line feed.
            const int bytes = std::feof(stream) ? length : length + 1;
            const int64_t start = StreamPosition(stream) - bytes;
            char date[256], clock[256], stamp[520];
            GetTokenN(date, sizeof date, line, ",", 1);
            GetTokenN(clock, sizeof clock, line, ",", 2);
            if (!date[0] || !clock[0]) continue;
            std::snprintf(stamp, sizeof stamp, "%s,%s", date, clock);
            const Stamp s = StampOf(stamp);
            const LogMinuteEntry entry{start, s.minute, bytes};
            if (record->year == s.year && record->month == s.month && record->day == s.day) {
                if (record->hour[slot] != s.hour) {
                    // A day has room for 24 hour slots; lines of further hours are not indexed.
                    if (slot + 1 >= LOG_INDEX_HOURS) continue;
                    ++slot;
                    index = 0;
                    record->hour[slot] = s.hour;
                }
                record->entry[slot][index] = entry;
                if (index < LOG_INDEX_MINUTES - 1) ++index;
            } else {
                if (record->year != -1 && record->month != -1 && record->day != -1 &&
                    !FixedListPushBack(list, record)) {
                    failed = true;
                    break;
                }
                std::memset(record, 0xFF, sizeof *record);
                record->year = s.year;
                record->month = s.month;
                record->day = s.day;
                slot = 0;
                record->hour[0] = s.hour;
                record->entry[0][0] = entry;
                index = 1;
            }
        }
        if (!failed && record->year != -1 && record->month != -1 && record->day != -1 &&
            !FixedListPushBack(list, record))
            failed = true;
        std::rewind(stream);
    }
    std::free(record);
    if (failed) {
        FixedListDestroy(list);
        std::free(list);
        return nullptr;
    }
    return list;
}

int FindLogPosition(const FixedList* list, const char* timestamp, LogMinuteEntry* out)
{
    if (!list || !timestamp || !out || FixedListIsEmpty(list)) return 0;
    const Stamp s = StampOf(timestamp);
    for (const FixedListNode* node = list->head; node; node = node->next) {
        const LogDateIndex& r = *Record(node);
        if (r.year == s.year && r.month == s.month && r.day == s.day && SearchDay(r, s, out))
            return 1;
    }
    for (int sameFields : {2, 1}) {
        for (const FixedListNode* node = list->head; node; node = node->next) {
            const LogDateIndex& r = *Record(node);
            if (r.year == s.year && (sameFields == 1 || r.month == s.month)) {
                *out = r.entry[0][0];
                return 1;
            }
        }
    }
    return 0;
}

int FindLogPositionOrLast(const FixedList* list, const char* timestamp, LogMinuteEntry* out)
{
    if (!list || !timestamp || !out || FixedListIsEmpty(list)) return 0;
    const LogDateIndex& last = *Record(list->tail);
    if (CompareStamps(StampOf(timestamp), FirstStampOf(last), 0) > 0) {
        const LogMinuteEntry* found = &last.entry[0][0];
        for (int slot = 0; slot < LOG_INDEX_HOURS; ++slot)
            for (const LogMinuteEntry& e : last.entry[slot])
                if (IsSet(e)) found = &e;
        *out = *found;
        return 1;
    }
    return FindLogPosition(list, timestamp, out);
}

int FindLogPositionOrFirst(const FixedList* list, const char* timestamp, LogMinuteEntry* out)
{
    if (!list || !timestamp || !out || FixedListIsEmpty(list)) return 0;
    const LogDateIndex& first = *Record(list->head);
    const LogDateIndex& last = *Record(list->tail);
    const Stamp s = StampOf(timestamp);
    if (s.year < first.year || s.year > first.year + 1 ||
        (s.year == first.year && CompareStamps(s, FirstStampOf(first), 1) < 0)) {
        *out = first.entry[0][0];
        return 1;
    }
    if (s.year > last.year) {
        *out = last.entry[0][0];
        return 1;
    }
    return FindLogPosition(list, timestamp, out);
}
