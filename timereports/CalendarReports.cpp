// Calendar reports: time stamps counted by date, by month, by weekday and by weekday and hour.
#include "timereports/CalendarReports.h"

#include <algorithm>

#include "logstore/ReadingRules.h"
#include "logstore/ReportText.h"

namespace quorlet3 {
namespace {

// The titles of one report for main-page and for page records.
struct CalendarTitles {
    const char* main;
    const char* page;
};

constexpr CalendarTitles kDatesTitles{"メイン調査(日付別)\t"_sj, "ページ調査(日付別)\t"_sj};
constexpr CalendarTitles kMonthsTitles{"メイン調査(月別)\t"_sj, "ページ調査(月別)\t"_sj};
constexpr CalendarTitles kWeekdaysTitles{"メイン調査(曜日別)\t"_sj, "ページ調査(曜日別)\t"_sj};
constexpr CalendarTitles kWeekHoursTitles{"メイン調査(曜日と時間)\t"_sj, "ページ調査(曜日と時間)\t"_sj};

// The title, the total, the undated lines and, for scaled bars, what one "*" stands
// for, then an empty line.
std::string CalendarHead(const CalendarTitles& titles, RecordKind records, long long total, long long undated,
                         long long unit) {
    const bool main = records == RecordKind::Main;
    const char* countWord = main ? "回"_sj : "ページ"_sj;
    std::string text = main ? titles.main : titles.page;
    AppendFormat(text, "%lld %s\r\n日付なし\t%lld %s\r\n"_sjf, total, countWord, undated, countWord);
    AppendBarUnitLine(text, '*', unit, countWord);
    text += "\r\n";
    return text;
}

// The bar of a row and its line end.
void AppendRowBar(std::string& text, long long count, long long unit) {
    AppendScaledBar(text, '*', count, unit);
    text += "\r\n";
}

}  // namespace

const char* WeekdayName(int weekday) {
    static const char* const kNames[kWeekdays] = {"日"_sj, "月"_sj, "火"_sj, "水"_sj, "木"_sj, "金"_sj, "土"_sj};
    return kNames[static_cast<size_t>(weekday)];
}

const DateReader::Date& DateReader::Read(std::string_view line) {
    const bool fourDigitYear = HasDayComma(line);
    const size_t from = fourDigitYear ? 24 : 22;
    const size_t size = fourDigitYear ? 11 : 9;
    Last& last = m_last[fourDigitYear ? 1 : 0];
    if (line.size() < from) {
        static constexpr Date kUndated{};
        return kUndated;  // too short to hold a date
    }
    const std::string_view text = line.substr(line.size() - from, size);
    if (last.valid && text == std::string_view(last.text, size)) {
        return last.date;
    }
    std::copy(text.begin(), text.end(), last.text);
    last.valid = true;
    const std::optional<CivilDate> date = DateOf(line);
    last.date = date ? Date{true, date->DayNumber(), date->Weekday()} : Date{};
    return last.date;
}

void DateCountsAccumulator::Step(std::span<const Slot> batch) {
    const std::string_view marker = Marker();
    for (const Slot& s : batch) {
        if (!HasMarker(s.line, marker)) {
            continue;
        }
        const DateReader::Date& date = m_dates.Read(s.line);
        if (!date.dated) {
            ++m_undated;
            continue;
        }
        ++m_total;
        const int day = date.dayNumber;
        if (m_runCount > 0 && day != m_runDay) {
            Flush();
        }
        m_runDay = day;
        ++m_runCount;
    }
}

void DateCountsAccumulator::Flush() {
    if (m_runCount > 0) {
        m_perDay[m_runDay] += m_runCount;
        m_runCount = 0;
    }
}

const std::map<int, long long>& DateCountsAccumulator::PerDay() {
    Flush();
    return m_perDay;
}

void DateCountsAccumulator::Merge(DateCountsAccumulator& later) {
    m_total += later.m_total;
    m_undated += later.m_undated;
    Flush();
    for (const auto& [day, count] : later.PerDay()) {
        m_perDay[day] += count;
    }
}

CalendarDatesResult DatesAccumulator::Finish(const WalkEnd&) {
    CalendarDatesResult result{m_records, m_total, m_undated, {}};
    const std::map<int, long long>& perDay = PerDay();
    if (perDay.empty()) {
        return result;
    }
    const int first = perDay.begin()->first;
    const int last = perDay.rbegin()->first;
    result.days.reserve(static_cast<size_t>(last - first) + 1);
    auto next = perDay.begin();
    for (int day = first; day <= last; ++day) {
        long long count = 0;
        if (next->first == day) {
            count = next->second;
            ++next;
        }
        result.days.push_back({CivilDate::FromDayNumber(day), count});
    }
    return result;
}

CalendarMonthsResult MonthsAccumulator::Finish(const WalkEnd&) {
    CalendarMonthsResult result{m_records, m_total, m_undated, {}};
    const std::map<int, long long>& perDay = PerDay();
    if (perDay.empty()) {
        return result;
    }
    // Months numbered year * 12 + month - 1, so that the empty ones between are easy to fill.
    auto monthIndex = [](const CivilDate& date) { return date.year * 12 + date.month - 1; };
    const int first = monthIndex(CivilDate::FromDayNumber(perDay.begin()->first));
    const int last = monthIndex(CivilDate::FromDayNumber(perDay.rbegin()->first));
    result.months.reserve(static_cast<size_t>(last - first) + 1);
    for (int m = first; m <= last; ++m) {
        result.months.push_back({m / 12, m % 12 + 1, 0});
    }
    for (const auto& [day, count] : perDay) {
        result.months[static_cast<size_t>(monthIndex(CivilDate::FromDayNumber(day)) - first)].count += count;
    }
    return result;
}

WeekdaysResult WeekdaysAccumulator::Finish(const WalkEnd&) {
    WeekdaysResult result;
    result.records = m_records;
    result.total = m_total;
    result.undated = m_undated;
    for (const auto& [day, count] : PerDay()) {
        result.counts[static_cast<size_t>(CivilDate::FromDayNumber(day).Weekday())] += count;
    }
    return result;
}

void WeekHoursAccumulator::Step(std::span<const Slot> batch) {
    const std::string_view marker = Marker();
    for (const Slot& s : batch) {
        if (!HasMarker(s.line, marker)) {
            continue;
        }
        const DateReader::Date& date = m_dates.Read(s.line);
        if (!date.dated) {
            ++m_result.undated;
            continue;
        }
        const int hour = HourOf(s.line);
        if (!IsHourInRange(hour)) {
            continue;
        }
        ++m_result.counts[static_cast<size_t>(date.weekday)][static_cast<size_t>(hour)];
        ++m_result.total;
    }
}

void WeekHoursAccumulator::Merge(WeekHoursAccumulator& later) {
    m_result.total += later.m_result.total;
    m_result.undated += later.m_result.undated;
    for (size_t w = 0; w < m_result.counts.size(); ++w) {
        for (size_t h = 0; h < m_result.counts[w].size(); ++h) {
            m_result.counts[w][h] += later.m_result.counts[w][h];
        }
    }
}

CalendarDatesResult ComputeCalendarDates(const LineStore& store, RecordKind records) {
    return ComputeOverStore(store, DatesAccumulator(records));
}

CalendarMonthsResult ComputeCalendarMonths(const LineStore& store, RecordKind records) {
    return ComputeOverStore(store, MonthsAccumulator(records));
}

WeekdaysResult ComputeWeekdays(const LineStore& store, RecordKind records) {
    return ComputeOverStore(store, WeekdaysAccumulator(records));
}

WeekHoursResult ComputeWeekHours(const LineStore& store, RecordKind records) {
    return ComputeOverStore(store, WeekHoursAccumulator(records));
}

std::string FormatCalendarDatesText(const CalendarDatesResult& result) {
    long long largest = 0;
    for (const DateCount& d : result.days) {
        largest = std::max(largest, d.count);
    }
    const long long unit = BarUnit(largest);
    std::string text = CalendarHead(kDatesTitles, result.records, result.total, result.undated, unit);
    for (const DateCount& d : result.days) {
        AppendFormat(text, "%d/%02d/%02d(%s)\t%lld\t"_sjf, d.date.year, d.date.month, d.date.day,
                     WeekdayName(d.date.Weekday()), d.count);
        AppendRowBar(text, d.count, unit);
    }
    return text;
}

std::string FormatCalendarMonthsText(const CalendarMonthsResult& result) {
    long long largest = 0;
    for (const MonthCount& m : result.months) {
        largest = std::max(largest, m.count);
    }
    const long long unit = BarUnit(largest);
    std::string text = CalendarHead(kMonthsTitles, result.records, result.total, result.undated, unit);
    for (const MonthCount& m : result.months) {
        // Two-digit months: every row's label is as wide as the next, so the counts line up.
        AppendFormat(text, "%d年%02d月\t%lld\t"_sjf, m.year, m.month, m.count);
        AppendRowBar(text, m.count, unit);
    }
    return text;
}

std::string FormatWeekdaysText(const WeekdaysResult& result) {
    const long long unit = BarUnit(*std::max_element(result.counts.begin(), result.counts.end()));
    std::string text = CalendarHead(kWeekdaysTitles, result.records, result.total, result.undated, unit);
    for (int w = 0; w < kWeekdays; ++w) {
        const long long count = result.counts[static_cast<size_t>(w)];
        AppendFormat(text, "%s曜日\t%lld\t"_sjf, WeekdayName(w), count);
        AppendRowBar(text, count, unit);
    }
    return text;
}

std::string FormatWeekHoursText(const WeekHoursResult& result) {
    long long largest = 0;
    for (const auto& hours : result.counts) {
        largest = std::max(largest, *std::max_element(hours.begin(), hours.end()));
    }
    const long long unit = BarUnit(largest);
    std::string text = CalendarHead(kWeekHoursTitles, result.records, result.total, result.undated, unit);
    for (int w = 0; w < kWeekdays; ++w) {
        for (int h = 0; h < kHours; ++h) {
            const long long count = result.counts[static_cast<size_t>(w)][static_cast<size_t>(h)];
            AppendFormat(text, "%s曜%02d時\t%lld\t"_sjf, WeekdayName(w), h, count);
            AppendRowBar(text, count, unit);
        }
    }
    return text;
}

}  // namespace quorlet3
