// The time and calendar sections of the HTML page: bar charts and heat maps of the time
// reports, the calendar of dates, months, weekdays and week hours, and the time stamps shown.
#include "output/HtmlTimeSections.h"

#include <cstdio>
#include <optional>
#include <string>

#include "encoding/Cp932.h"
#include "logstore/ReadingRules.h"
#include "output/Charts.h"

namespace quorlet3 {

// Bar charts and heat maps of the time reports.
void WriteTimeCounts(HtmlText& page, const TimeCountsResult& result) {
    const bool main = result.records == RecordKind::Main;
    const std::string records = main ? "メインページ" : "ページ";
    auto cell = [&result](size_t i) { return i < result.counts.size() ? result.counts[i] : 0; };
    auto numbers = [](int first, int n, std::string_view unit) {
        std::vector<std::string> labels;
        labels.reserve(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            labels.push_back(std::to_string(first + i) + std::string(unit));
        }
        return labels;
    };
    if (result.grid == TimeGrid::DayHour) {
        const std::string title = "日付と時刻の詳細（" + records + "）";
        HeatMap map{main ? "detail-main" : "detail-page",
                    title,
                    "日付（横、1～31日）と時刻（縦、0～23時）ごとのアクセス数。",
                    "日付（日）",
                    numbers(1, kDays, ""),
                    numbers(1, kDays, "日"),
                    numbers(0, kHours, "時"),
                    {},
                    result.total,
                    {},
                    0};
        map.values.reserve(size_t{kDays} * kHours);
        for (size_t i = 0; i < size_t{kDays} * kHours; ++i) {
            map.values.push_back(cell(i));
        }
        WriteHeatMap(page, map);
        return;
    }
    const bool hourly = result.grid == TimeGrid::Hourly;
    const std::string title = (hourly ? "時間帯別アクセス（" : "日付別アクセス（") + records + "）";
    const int n = hourly ? kHours : kDays;
    BarChart chart{hourly ? (main ? "hourly-main" : "hourly-page") : (main ? "daily-main" : "daily-page"),
                   title,
                   hourly ? "時" : "日",
                   hourly ? "時刻（時）" : "日付（日）",
                   numbers(hourly ? 0 : 1, n, ""),
                   {},
                   result.total,
                   {},
                   0,
                   {}};
    for (size_t i = 0; i < static_cast<size_t>(n); ++i) {
        chart.values.push_back(cell(i));
    }
    WriteBarChart(page, chart);
}

// The calendar sections: the place of main-page or page records and the words for them.
Place CalendarPlace(RecordKind records) {
    return records == RecordKind::Main ? Place::MainCalendar : Place::PageCalendar;
}

namespace {

std::string RecordsWord(RecordKind records) { return records == RecordKind::Main ? "メインページ" : "ページ"; }
std::string_view RecordsId(RecordKind records) { return records == RecordKind::Main ? "main" : "page"; }

// "1998-07-01(水)": a date with its weekday.
std::string DateWithWeekday(const CivilDate& date) {
    return IsoDate(date) + "(" + DecodeCp932ToUtf8(WeekdayName(date.Weekday())) + ")";
}

// The date and time of a time-stamp text as a report keeps it: the last 24 bytes of a
// time-stamp line, ", 15-Jul-98 13:45:12 JST" or "15-Jul-1998 13:45:12 JST".
struct TimeStamp {
    CivilDate date;
    int hour, minute, second;
};
std::optional<TimeStamp> ReadTimeStamp(std::string_view text) {
    if (text.size() != 24) {
        return std::nullopt;
    }
    // The date reader tells a four-digit year by the comma two bytes before the date; the
    // text of a two-digit year begins with its own comma.
    const std::string tail = (text.front() == ',' ? "  " : ", ") + std::string(text);
    const std::optional<CivilDate> date = DateOf(tail);
    const std::string_view clock = text.substr(12, 8);  // "HH:MM:SS"
    int parts[3] = {};
    for (size_t k = 0; k < 3; ++k) {
        const char tens = clock[k * 3];
        const char ones = clock[k * 3 + 1];
        if (tens < '0' || tens > '9' || ones < '0' || ones > '9' || (k < 2 && clock[k * 3 + 2] != ':')) {
            return std::nullopt;
        }
        parts[k] = (tens - '0') * 10 + (ones - '0');
    }
    if (!date || parts[0] > 23 || parts[1] > 59 || parts[2] > 59) {
        return std::nullopt;
    }
    return TimeStamp{*date, parts[0], parts[1], parts[2]};
}

}  // namespace

// A time stamp as people read it, "1998-07-15 13:45", its exact time in the element's
// datetime; a text that holds none is shown as it is.
void WriteTimeStamp(HtmlText& page, std::string_view id, std::string_view text) {
    const std::optional<TimeStamp> stamp = ReadTimeStamp(text);
    if (!stamp) {
        page << "<span" << (id.empty() ? "" : " id=\"") << id << (id.empty() ? "" : "\"") << '>';
        page.LogText(text);
        page << "</span>";
        return;
    }
    char clock[16];
    std::snprintf(clock, sizeof clock, "%02d:%02d", stamp->hour, stamp->minute);
    char seconds[8];
    std::snprintf(seconds, sizeof seconds, ":%02d", stamp->second);
    const std::string date = IsoDate(stamp->date);
    page << "<time datetime=\"" << date << 'T' << clock << seconds << '"';
    if (!id.empty()) {
        page << " id=\"" << id << '"';
    }
    page << '>' << date << ' ' << clock << "</time>";
}

namespace {

// Dated and undated lines, and the period the dates cover.
void WriteCalendarSummary(HtmlText& page, std::string_view id, long long total, long long undated,
                          const std::string& period) {
    page << "<p>日付のある行 <strong id=\"" << id << "-total\">" << Grouped{total} << "</strong> 回、日付なし "
         << Grouped{undated} << " 回";
    if (!period.empty()) {
        page << "、" << period;
    }
    page << "</p>\n";
}

}  // namespace

// Accesses per date as a calendar: a heat map per year, a column per week (Sunday on
// top), the first week of each month labelled.
void WriteCalendarDates(HtmlText& page, const CalendarDatesResult& result) {
    const std::string records = RecordsWord(result.records);
    const std::string id = "dates-" + std::string(RecordsId(result.records));
    if (result.days.empty()) {
        WriteCalendarSummary(page, id, result.total, result.undated, "");
        page << "<p class=\"note\">日付の読める行がありません。</p>\n";
        return;
    }
    const CivilDate first = result.days.front().date;
    const CivilDate last = result.days.back().date;
    WriteCalendarSummary(page, id, result.total, result.undated,
                         DateWithWeekday(first) + " ～ " + DateWithWeekday(last));
    const int firstDay = first.DayNumber();
    for (int year = first.year; year <= last.year; ++year) {
        const int january1 = CivilDate{year, 1, 1}.DayNumber();
        const int start = january1 - CivilDate{year, 1, 1}.Weekday();  // the Sunday of its first week
        const int weeks = (CivilDate{year, 12, 31}.DayNumber() - start) / 7 + 1;
        const std::string title = std::to_string(year) + "年（" + records + "）";
        const std::string mapId = id + "-" + std::to_string(year);
        HeatMap map{mapId, title, "日付ごとのアクセス数（横に週、縦に曜日）。", "週", {}, {}, {}, {}, 0, {}, 0};
        map.columns.resize(static_cast<size_t>(weeks));
        map.columnNames.resize(static_cast<size_t>(weeks));
        for (int month = 1; month <= 12; ++month) {
            const int week = (CivilDate{year, month, 1}.DayNumber() - start) / 7;
            map.columns[static_cast<size_t>(week)] = std::to_string(month) + "月";
        }
        for (int weekday = 0; weekday < kWeekdays; ++weekday) {
            map.rows.push_back(DecodeCp932ToUtf8(WeekdayName(weekday)));
        }
        map.values.assign(static_cast<size_t>(weeks) * kWeekdays, 0);
        map.cellTitles.resize(map.values.size());
        for (int day = start; day < start + weeks * 7; ++day) {
            const size_t cell = static_cast<size_t>(day - start);
            const CivilDate date = CivilDate::FromDayNumber(day);
            if (date.year != year) {
                map.cellTitles[cell] = "—";
                continue;
            }
            map.cellTitles[cell] = DateWithWeekday(date);
            const long long index = day - firstDay;
            if (index >= 0 && index < static_cast<long long>(result.days.size())) {
                map.values[cell] = result.days[static_cast<size_t>(index)].count;
                map.total += map.values[cell];
            }
        }
        WriteHeatMap(page, map);
    }
}

void WriteCalendarMonths(HtmlText& page, const CalendarMonthsResult& result) {
    const std::string title = "月別アクセス（" + RecordsWord(result.records) + "）";
    const std::string id = "months-" + std::string(RecordsId(result.records));
    if (result.months.empty()) {
        WriteCalendarSummary(page, id, result.total, result.undated, "");
        return;
    }
    // Each bar is labelled with its month's number, and the year stands under January and
    // under the first bar, unless a January follows too closely to leave it room.
    BarChart chart{id, title, "", "月", {}, {}, result.total, {}, 0, {}};
    for (const MonthCount& month : result.months) {
        const bool first = chart.labels.empty();
        chart.labels.push_back(IsoMonth(month.year, month.month));
        chart.ticks.push_back(std::to_string(month.month));
        const bool januaryNear = month.month >= 11 && result.months.size() > static_cast<size_t>(13 - month.month);
        chart.groups.push_back(month.month == 1 || (first && !januaryNear) ? std::to_string(month.year) : "");
        chart.values.push_back(month.count);
    }
    chart.maxWidth = chart.values.size() < 24 ? 40 * static_cast<int>(chart.values.size()) + 120 : 0;
    WriteBarChart(page, chart);
}

void WriteWeekdays(HtmlText& page, const WeekdaysResult& result) {
    const std::string title = "曜日別アクセス（" + RecordsWord(result.records) + "）";
    const std::string id = "weekdays-" + std::string(RecordsId(result.records));
    BarChart chart{id, title, "曜日", "曜日", {}, {}, result.total, {}, 340, {}};
    for (int weekday = 0; weekday < kWeekdays; ++weekday) {
        chart.labels.push_back(DecodeCp932ToUtf8(WeekdayName(weekday)));
        chart.values.push_back(result.counts[static_cast<size_t>(weekday)]);
    }
    WriteBarChart(page, chart);
}

// Weekdays down, hours across.
void WriteWeekHours(HtmlText& page, const WeekHoursResult& result) {
    const std::string title = "曜日と時刻（" + RecordsWord(result.records) + "）";
    const std::string id = "weekhours-" + std::string(RecordsId(result.records));
    HeatMap map{
        id, title, "曜日（縦）と時刻（横、0～23時）ごとのアクセス数。", "時刻（時）", {}, {}, {}, {}, result.total,
        {}, 0};
    for (int weekday = 0; weekday < kWeekdays; ++weekday) {
        map.rows.push_back(DecodeCp932ToUtf8(WeekdayName(weekday)));
    }
    for (int hour = 0; hour < kHours; ++hour) {
        map.columns.push_back(std::to_string(hour));
        map.columnNames.push_back(std::to_string(hour) + "時");
        for (int weekday = 0; weekday < kWeekdays; ++weekday) {
            map.values.push_back(result.counts[static_cast<size_t>(weekday)][static_cast<size_t>(hour)]);
            map.cellTitles.push_back(map.rows[static_cast<size_t>(weekday)] + "曜 " + std::to_string(hour) + "時");
        }
    }
    map.maxWidth = 760;
    WriteHeatMap(page, map);
}

}  // namespace quorlet3
