// Calendar reports: time stamps counted by date, by month, by weekday and by weekday and hour.
#pragma once

#include <algorithm>
#include <array>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "logstore/Accumulator.h"
#include "logstore/CivilDate.h"
#include "logstore/LineStore.h"
#include "timereports/TimeReports.h"

namespace quorlet3 {

inline constexpr int kWeekdays = 7;  // Sunday first

struct DateCount {
    CivilDate date;
    long long count = 0;
};

// Accesses per calendar date. Time-stamp lines without a readable date (see DateOf) are
// counted apart as undated.
struct CalendarDatesResult {
    RecordKind records = RecordKind::Main;
    long long total = 0;    // dated lines
    long long undated = 0;  // lines of the marker without a date
    // Every date from the earliest to the latest, dates without accesses included; empty
    // when no line is dated.
    std::vector<DateCount> days;
};

struct MonthCount {
    int year = 0;
    int month = 0;  // 1 to 12
    long long count = 0;
};

struct CalendarMonthsResult {
    RecordKind records = RecordKind::Main;
    long long total = 0;    // dated lines
    long long undated = 0;  // lines of the marker without a date
    // Every month from the earliest to the latest, empty months included; empty when no
    // line is dated.
    std::vector<MonthCount> months;
};

struct WeekdaysResult {
    RecordKind records = RecordKind::Main;
    long long total = 0;                        // dated lines
    long long undated = 0;                      // lines of the marker without a date
    std::array<long long, kWeekdays> counts{};  // Sunday first; the weekday comes from the date
};

struct WeekHoursResult {
    RecordKind records = RecordKind::Main;
    // Dated lines whose hour passes the hour range test: the sum of the grid. A dated line
    // with an hour out of range is counted in no cell and not here.
    long long total = 0;
    long long undated = 0;                                          // lines of the marker without a date
    std::array<std::array<long long, kHours>, kWeekdays> counts{};  // [weekday, Sunday first][hour]
};

// The date of each time-stamp line, read once per distinct date text: a log's lines come
// in date order, so a line mostly carries the date the last line of its layout did.
class DateReader {
public:
    struct Date {
        bool dated = false;
        int dayNumber = 0;
        int weekday = 0;
    };
    const Date& Read(std::string_view line);

private:
    // The last date read in each layout (see DateOf): 9 bytes with a two-digit year, 11
    // with four digits; a counter may write both forms in one log.
    struct Last {
        char text[11] = {};
        bool valid = false;
        Date date;
    };
    Last m_last[2];
};

// The counts per date shared by the date, month and weekday reports: a few thousand
// dates even for a log of years, whatever the number of lines.
class DateCountsAccumulator {
public:
    explicit DateCountsAccumulator(RecordKind records) : m_records(records) {}
    std::string_view Marker() const { return m_records == RecordKind::Main ? kMarker2 : kMarker7; }
    void Step(std::span<const Slot> batch);
    void Merge(DateCountsAccumulator& later);
    template <class Ar>
    void Keep(Ar& ar) {
        ar(m_total, m_undated, m_perDay, m_runDay, m_runCount);
        // Day numbers of the years a log can name (four digits at most), far from overflow.
        constexpr int kFarthestDay = 10'000'000;
        const bool farDay = std::any_of(m_perDay.begin(), m_perDay.end(), [](const auto& day) {
            return day.first < -kFarthestDay || day.first > kFarthestDay;
        });
        if (farDay || m_runDay < -kFarthestDay || m_runDay > kFarthestDay) {
            throw StateError("a day out of range");
        }
    }

protected:
    // The lines per day number, every date read so far included.
    const std::map<int, long long>& PerDay();

    RecordKind m_records;
    long long m_total = 0;
    long long m_undated = 0;

private:
    void Flush();

    DateReader m_dates;
    std::map<int, long long> m_perDay;  // day number -> lines, but those of the pending run
    // A log's lines come in date order: a run of lines of one date is counted here and
    // goes into the map when another date comes.
    int m_runDay = 0;
    long long m_runCount = 0;
};

class DatesAccumulator : public DateCountsAccumulator {
public:
    using DateCountsAccumulator::DateCountsAccumulator;
    DatesAccumulator Fresh() const { return DatesAccumulator(m_records); }
    CalendarDatesResult Finish(const WalkEnd&);
};

class MonthsAccumulator : public DateCountsAccumulator {
public:
    using DateCountsAccumulator::DateCountsAccumulator;
    MonthsAccumulator Fresh() const { return MonthsAccumulator(m_records); }
    CalendarMonthsResult Finish(const WalkEnd&);
};

class WeekdaysAccumulator : public DateCountsAccumulator {
public:
    using DateCountsAccumulator::DateCountsAccumulator;
    WeekdaysAccumulator Fresh() const { return WeekdaysAccumulator(m_records); }
    WeekdaysResult Finish(const WalkEnd&);
};

class WeekHoursAccumulator {
public:
    explicit WeekHoursAccumulator(RecordKind records) { m_result.records = records; }
    std::string_view Marker() const { return m_result.records == RecordKind::Main ? kMarker2 : kMarker7; }
    void Step(std::span<const Slot> batch);
    void Merge(WeekHoursAccumulator& later);
    WeekHoursAccumulator Fresh() const { return WeekHoursAccumulator(m_result.records); }
    template <class Ar>
    void Keep(Ar& ar) {
        ar(m_result.total, m_result.undated, m_result.counts);
    }
    WeekHoursResult Finish(const WalkEnd&) { return m_result; }

private:
    WeekHoursResult m_result;
    DateReader m_dates;
};

CalendarDatesResult ComputeCalendarDates(const LineStore& store, RecordKind records);
CalendarMonthsResult ComputeCalendarMonths(const LineStore& store, RecordKind records);
WeekdaysResult ComputeWeekdays(const LineStore& store, RecordKind records);
WeekHoursResult ComputeWeekHours(const LineStore& store, RecordKind records);

// The report texts (cp932, CR LF): a title with the total, the undated lines, then one
// bar row per date, month, weekday or weekday and hour. A bar has one "*" per line while
// the largest count is at most kScaledBarWidth; beyond that each "*" stands for the
// number of lines a line above the rows names, and a bar is rounded up.
std::string FormatCalendarDatesText(const CalendarDatesResult& result);
std::string FormatCalendarMonthsText(const CalendarMonthsResult& result);
std::string FormatWeekdaysText(const WeekdaysResult& result);
std::string FormatWeekHoursText(const WeekHoursResult& result);

// The weekday's one-character name in cp932 (0: "日" ... 6: "土").
const char* WeekdayName(int weekday);

}  // namespace quorlet3
