#include "DateTimeUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <vector>
#include <string>

namespace {

void PutTz(const char* value)
{
#ifdef _WIN32
    std::string entry = std::string("TZ=") + (value ? value : "");
    _putenv(entry.c_str());
    _tzset();
#else
    if (value) setenv("TZ", value, 1);
    else unsetenv("TZ");
    tzset();
#endif
}

std::string Tz()
{
    const char* tz = std::getenv("TZ");
    return tz ? tz : "<unset>";
}

// Every test runs in a known zone and leaves the process without a saved zone.
class DateTimeTest : public ::testing::Test {
protected:
    void SetUp() override { PutTz("EST5EDT"); }
    void TearDown() override
    {
        while (RestoreTimeZone()) {
        }
        PutTz(nullptr);
    }
};

time_t Local(int year, int month, int day, int hour, int minute, int second)
{
    struct tm t = {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return MakeLocalTime(&t);
}

TEST_F(DateTimeTest, ValidatesLogTimestamps)
{
    struct {
        const char* text;
        int valid;
    } cases[] = {
        {"08/31/2024,23:59:59", 1}, {"02/29/2023,00:00:00", 1}, {"09/31/2024,12:00:00", 0},
        {"13/01/2024,00:00:00", 0}, {"01/01/2024,24:00:00", 0}, {"01/01/2024,00:60:00", 0},
        {"01/01/2024,00:00:60", 0}, {"00/10/2024,00:00:00", 0}, {"01/00/2024,00:00:00", 0},
        {"01/01/2024,12:00", 0},    {"", 0},                    {"01/01/0000,00:00:00", 1},
    };
    for (const auto& c : cases) EXPECT_EQ(c.valid, IsValidLogTimestamp(c.text)) << c.text;
    EXPECT_EQ(0, IsValidLogTimestamp(nullptr));
}

TEST_F(DateTimeTest, LogTimestampFieldsAndMissingOnes)
{
    const char* t = "01/31/2024,09:05:07";
    EXPECT_EQ(2024, LogTimestampYear(t));
    EXPECT_EQ(1, LogTimestampMonth(t));
    EXPECT_EQ(31, LogTimestampDay(t));
    EXPECT_EQ(9, LogTimestampHour(t));
    EXPECT_EQ(5, LogTimestampMinute(t));
    EXPECT_EQ(0, LogTimestampHour("01/31/2024"));
    EXPECT_EQ(0, LogTimestampYear("garbage"));
}

TEST_F(DateTimeTest, DisplayFormRoundTrips)
{
    char out[DATETIME_TEXT_SIZE];
    EXPECT_STREQ("31.01.2024 09:05", FormatDateTimeText(out, ParseDateTime("31.01.2024 09:05")));
    EXPECT_STREQ("15.07.2024 23:59", FormatDateTimeText(out, ParseDateTime("15.07.2024 23:59")));
}

TEST_F(DateTimeTest, DateAndTimeParts)
{
    const time_t t = Local(2024, 1, 31, 9, 5, 7);
    char date[DATE_TEXT_SIZE], hm[TIME_TEXT_SIZE], hms[TIME_SECONDS_TEXT_SIZE];
    EXPECT_STREQ("31.01.2024", FormatDateText(date, t));
    EXPECT_STREQ("09:05", FormatTimeText(hm, t));
    EXPECT_STREQ("09:05:07", FormatTimeSecondsText(hms, t));
}

TEST_F(DateTimeTest, FailedConversionGivesTheEmptyText)
{
    const time_t bad = sizeof(time_t) == 4 ? static_cast<time_t>(-1) : std::numeric_limits<time_t>::max();
    char out[LOG_TIMESTAMP_SIZE] = "x";
    EXPECT_STREQ("", FormatLogTimestamp(out, bad));
}

// The text is the runtime's local time or, where the runtime gives none, empty:
// msvcrt refuses times before 1970 and, at 64 bits, years after 3000, so a year
// of five digits reaches the buffer only on other C libraries, cut at its end.
TEST_F(DateTimeTest, FiveDigitYearsStayWithinTheBuffer)
{
    const struct {
        long long value;
        const char* text;  // when the runtime converts the time
    } cases[] = {
        {327403497845LL, "01/02/12345,03:04:0"},
        {2147483647LL, "01/18/2038,22:14:07"},  // the last second of a 32-bit time
        {-1LL, "12/31/1969,18:59:59"},
    };
    for (const auto& c : cases) {
        if (c.value > std::numeric_limits<time_t>::max()) continue;  // no such time
        const time_t value = static_cast<time_t>(c.value);
        const bool converts = std::localtime(&value) != nullptr;
        char out[LOG_TIMESTAMP_SIZE + 4];
        std::memset(out, '#', sizeof out);
        FormatLogTimestamp(out, value);
        EXPECT_STREQ(converts ? c.text : "", out) << c.value;
        EXPECT_EQ('#', out[LOG_TIMESTAMP_SIZE]) << c.value;
    }
}

// The daylight flag follows the date, so winter and summer both come back as written.
TEST_F(DateTimeTest, LogTimestampRoundTripsInWinterAndSummer)
{
    char out[LOG_TIMESTAMP_SIZE];
    for (const char* text : {"01/15/2024,12:00:00", "07/15/2024,12:30:45"}) {
        EXPECT_STREQ(text, FormatLogTimestamp(out, ParseLogTimestamp(text)));
    }
    EXPECT_EQ(Local(2024, 1, 15, 12, 0, 0), ParseLogTimestamp("01/15/2024,12:00:00"));
}

TEST_F(DateTimeTest, TimeZoneOverrideChangesLocalTime)
{
    char out[LOG_TIMESTAMP_SIZE];
    EXPECT_STREQ("12/31/1969,19:00:00", FormatLogTimestamp(out, 0));
    ASSERT_EQ(1, SetTimeZone("UTC0"));
    EXPECT_EQ("UTC0", Tz());
    EXPECT_STREQ("01/01/1970,00:00:00", FormatLogTimestamp(out, 0));
    EXPECT_EQ(1, RestoreTimeZone());
    EXPECT_EQ("EST5EDT", Tz());
    EXPECT_STREQ("12/31/1969,19:00:00", FormatLogTimestamp(out, 0));
    EXPECT_EQ(0, RestoreTimeZone());
    EXPECT_EQ(0, SetTimeZone(nullptr));
}

TEST_F(DateTimeTest, SecondOverrideSavesTheFirstOverride)
{
    SetTimeZone("UTC0");
    SetTimeZone("PST8PDT");
    EXPECT_EQ(1, RestoreTimeZone());
    EXPECT_EQ("UTC0", Tz());
}

TEST_F(DateTimeTest, WithoutTzBeforeTheOverrideStays)
{
    PutTz(nullptr);
    ASSERT_EQ(1, SetTimeZone("UTC0"));
    EXPECT_EQ(0, RestoreTimeZone());
    EXPECT_EQ("UTC0", Tz());
}

TEST_F(DateTimeTest, ZoneTextIsCutAt63Characters)
{
    std::string zone = "UTC0" + std::string(100, 'x');
    ASSERT_EQ(1, SetTimeZone(zone.c_str()));
    EXPECT_EQ(zone.substr(0, 63), Tz());
}

class LogIndexTest : public DateTimeTest {
protected:
    void SetUp() override
    {
        DateTimeTest::SetUp();
        file = std::tmpfile();
        ASSERT_NE(nullptr, file);
    }
    void TearDown() override
    {
        if (list) {
            FixedListDestroy(list);
            std::free(list);
        }
        if (file) std::fclose(file);
        DateTimeTest::TearDown();
    }
    // Writes the lines and returns the start offset of each.
    std::vector<long> Write(std::initializer_list<const char*> lines)
    {
        std::vector<long> starts;
        for (const char* l : lines) {
            starts.push_back(std::ftell(file));
            std::fputs(l, file);
            std::fputc('\n', file);
        }
        std::fflush(file);
        return starts;
    }
    const LogDateIndex& Day(int i) { return *static_cast<const LogDateIndex*>(FixedListAt(list, i)->element); }

    FILE* file = nullptr;
    FixedList* list = nullptr;
};

TEST_F(LogIndexTest, IndexesEachDayWithHourSlotsAndLinePositions)
{
    auto at = Write({"Date,Time,Text", "01/30/2024,23:10:00,a", "01/30/2024,23:15:00,b",
                     "01/31/2024,09:05:07,c", "01/31/2024,10:00:00,d", "no comma here",
                     "01/31/2024,10:30:00,e"});
    list = BuildLogIndex(file);
    ASSERT_NE(nullptr, list);
    ASSERT_EQ(2, FixedListCount(list));
    EXPECT_EQ(0, std::ftell(file));
    const LogDateIndex& d1 = Day(0);
    EXPECT_EQ(2024, d1.year);
    EXPECT_EQ(1, d1.month);
    EXPECT_EQ(30, d1.day);
    EXPECT_EQ(23, d1.hour[0]);
    EXPECT_EQ(-1, d1.hour[1]);
    EXPECT_EQ(at[2], d1.entry[0][1].position);
    EXPECT_EQ(15, d1.entry[0][1].minute);
    EXPECT_EQ(22, d1.entry[0][1].length);
    EXPECT_EQ(-1, d1.entry[0][2].minute);
    const LogDateIndex& d2 = Day(1);
    EXPECT_EQ(31, d2.day);
    EXPECT_EQ(9, d2.hour[0]);
    EXPECT_EQ(10, d2.hour[1]);
    EXPECT_EQ(at[6], d2.entry[1][1].position);
    EXPECT_EQ(-1, d2.unused);
}

TEST_F(LogIndexTest, HeaderOnlyGivesAnEmptyListAndAnEmptyFileNull)
{
    Write({"Date,Time,Text"});
    list = BuildLogIndex(file);
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(1, FixedListIsEmpty(list));
    FixedListDestroy(list);
    std::free(list);
    list = nullptr;

    FILE* empty = std::tmpfile();
    ASSERT_NE(nullptr, empty);
    EXPECT_EQ(nullptr, BuildLogIndex(empty));
    std::fclose(empty);
    EXPECT_EQ(nullptr, BuildLogIndex(nullptr));
}

TEST_F(LogIndexTest, AnEmptyLineEndsTheIndex)
{
    Write({"h", "01/30/2024,23:10:00,a", "", "01/31/2024,09:05:07,c"});
    list = BuildLogIndex(file);
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(1, FixedListCount(list));
}

TEST_F(LogIndexTest, MoreThanSixtyLinesInAnHourOverwriteTheLastEntry)
{
    std::fputs("h\n", file);
    long last = 0;
    for (int i = 0; i < 70; ++i) {
        last = std::ftell(file);
        std::fprintf(file, "01/30/2024,12:%02d:00,x\n", i % 60);
    }
    list = BuildLogIndex(file);
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(last, Day(0).entry[0][59].position);
    EXPECT_EQ(-1, Day(0).hour[1]);
}

TEST_F(LogIndexTest, FindsExactAndNearbyMinutes)
{
    auto at = Write({"h", "01/31/2024,09:05:07,a", "01/31/2024,09:20:00,b", "01/31/2024,11:00:00,c",
                     "02/02/2024,08:00:00,d", "03/05/2024,08:00:00,e"});
    list = BuildLogIndex(file);
    ASSERT_NE(nullptr, list);
    struct {
        const char* stamp;
        int found;
        long position;
    } cases[] = {
        {"01/31/2024,09:20:00", 1, at[2]},  // exact minute
        {"01/31/2024,09:10:00", 1, at[1]},  // the last smaller minute of the hour
        {"01/31/2024,09:01:00", 1, at[1]},  // a larger minute before any smaller one
        {"01/31/2024,10:00:00", 1, at[1]},  // no such hour: first smaller hour slot
        {"01/31/2024,08:00:00", 1, at[1]},  // no such hour: a larger hour slot
        {"02/15/2024,08:00:00", 1, at[4]},  // same month only
        {"06/01/2024,08:00:00", 1, at[1]},  // same year only
        {"01/31/2023,09:20:00", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stamp);
        LogMinuteEntry e{};
        EXPECT_EQ(c.found, FindLogPosition(list, c.stamp, &e));
        if (c.found) {
            EXPECT_EQ(c.position, e.position);
        }
    }
    LogMinuteEntry e{};
    EXPECT_EQ(0, FindLogPosition(nullptr, "01/31/2024,09:20:00", &e));
}

// Unset minute entries (-1) of a slot never count as earlier lines.
TEST_F(LogIndexTest, UnsetEntriesAreNeverAnAnswer)
{
    auto at = Write({"h", "01/31/2024,09:30:00,a"});
    list = BuildLogIndex(file);
    ASSERT_NE(nullptr, list);
    LogMinuteEntry e{};
    ASSERT_EQ(1, FindLogPosition(list, "01/31/2024,09:10:00", &e));
    EXPECT_EQ(at[1], e.position);
    EXPECT_EQ(30, e.minute);
}

TEST_F(LogIndexTest, OrLastAndOrFirstClampToTheEnds)
{
    auto at = Write({"h", "01/31/2024,09:05:00,a", "01/31/2024,11:00:00,b", "02/02/2024,08:00:00,c",
                     "02/02/2024,08:30:00,d", "02/02/2024,09:00:00,e"});
    list = BuildLogIndex(file);
    ASSERT_NE(nullptr, list);
    LogMinuteEntry e{};
    ASSERT_EQ(1, FindLogPositionOrLast(list, "02/02/2024,08:01:00", &e));
    EXPECT_EQ(at[5], e.position);
    ASSERT_EQ(1, FindLogPositionOrLast(list, "01/31/2024,11:00:00", &e));
    EXPECT_EQ(at[2], e.position);
    ASSERT_EQ(1, FindLogPositionOrFirst(list, "01/31/2024,09:00:00", &e));
    EXPECT_EQ(at[1], e.position);
    ASSERT_EQ(1, FindLogPositionOrFirst(list, "01/01/2020,00:00:00", &e));
    EXPECT_EQ(at[1], e.position);
    ASSERT_EQ(1, FindLogPositionOrFirst(list, "01/01/2025,00:00:00", &e));
    EXPECT_EQ(at[3], e.position);
    ASSERT_EQ(1, FindLogPositionOrFirst(list, "02/02/2024,08:30:00", &e));
    EXPECT_EQ(at[4], e.position);
    FixedList empty;
    FixedListInit(&empty, sizeof(LogDateIndex));
    EXPECT_EQ(0, FindLogPositionOrLast(&empty, "02/02/2024,08:30:00", &e));
    EXPECT_EQ(0, FindLogPositionOrFirst(&empty, "02/02/2024,08:30:00", &e));
}

}  // namespace
