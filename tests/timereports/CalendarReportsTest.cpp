// Calendar reports: dates, months, weekdays and weekday-and-hour over small logs, exact
// texts, and the same results when a log is read whole in tiny parts.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "encoding/Cp932Literal.h"
#include "tests/support/TestLog.h"
#include "timereports/CalendarReports.h"
#include "wholelog/WholeLogRun.h"

namespace quorlet3 {
namespace {

using test::Lines;

// A time-stamp line "<marker>Wednesday, <date> <hour>:45:12 JST".
std::string At(std::string_view marker, std::string_view date, std::string_view hour = "13") {
    return std::string(marker) + "Wednesday, " + std::string(date) + " " + std::string(hour) + ":45:12 JST";
}
std::string Main(std::string_view date, std::string_view hour = "13") { return At("②"_sj, date, hour); }
std::string Page(std::string_view date, std::string_view hour = "13") { return At("⑦"_sj, date, hour); }

const Lines kLog = {
    Main("30-Jun-98"),       Page("30-Jun-98"), "③host"_sj,        Main("30-Jun-1998", "00"), Main("02-Jul-98", "23"),
    Main("02-Jul-98", "24"), Main("31-Feb-98"), Page("03-Jul-98"), Main("garbage"),           "⑤http://x/?q=1"_sj,
    Page("01-Sep-98", "09"),
};

TEST(CalendarDatesTest, EveryDateFromTheFirstToTheLastWithUndatedApart) {
    const CQuorlet3Doc doc = test::LoadLines(kLog);
    const CalendarDatesResult main = ComputeCalendarDates(doc.Store(), RecordKind::Main);
    EXPECT_EQ(main.total, 4);
    EXPECT_EQ(main.undated, 2);
    EXPECT_EQ(FormatCalendarDatesText(main),
              "メイン調査(日付別)\t4 回\r\n日付なし\t2 回\r\n\r\n"
              "1998/06/30(火)\t2\t**\r\n"
              "1998/07/01(水)\t0\t\r\n"
              "1998/07/02(木)\t2\t**\r\n"_sj);
    const CalendarDatesResult page = ComputeCalendarDates(doc.Store(), RecordKind::Page);
    EXPECT_EQ(page.total, 3);
    EXPECT_EQ(page.undated, 0);
    ASSERT_EQ(page.days.size(), 64U);  // 30 June to 1 September
    EXPECT_EQ(page.days.front().date, (CivilDate{1998, 6, 30}));
    EXPECT_EQ(page.days[3].date, (CivilDate{1998, 7, 3}));
    EXPECT_EQ(page.days[3].count, 1);
    EXPECT_EQ(page.days.back().date, (CivilDate{1998, 9, 1}));
    EXPECT_EQ(page.days.back().count, 1);
}

TEST(CalendarDatesTest, NoDatedLineGivesNoRows) {
    const CQuorlet3Doc doc = test::LoadLines({Main("99-Xyz-98"), "②"_sj});
    EXPECT_EQ(FormatCalendarDatesText(ComputeCalendarDates(doc.Store(), RecordKind::Main)),
              "メイン調査(日付別)\t0 回\r\n日付なし\t2 回\r\n\r\n"_sj);
    EXPECT_EQ(FormatCalendarMonthsText(ComputeCalendarMonths(doc.Store(), RecordKind::Page)),
              "ページ調査(月別)\t0 ページ\r\n日付なし\t0 ページ\r\n\r\n"_sj);
}

TEST(CalendarMonthsTest, EveryMonthAcrossTheTurnOfTheYear) {
    const CQuorlet3Doc doc = test::LoadLines(
        {Page("15-Nov-99"), Page("01-Nov-99"), Page("31-Dec-99"), Page("29-Feb-00"), Page("29-Feb-99")});
    const CalendarMonthsResult result = ComputeCalendarMonths(doc.Store(), RecordKind::Page);
    EXPECT_EQ(FormatCalendarMonthsText(result),
              "ページ調査(月別)\t4 ページ\r\n日付なし\t1 ページ\r\n\r\n"
              "1999年11月\t2\t**\r\n"
              "1999年12月\t1\t*\r\n"
              "2000年01月\t0\t\r\n"
              "2000年02月\t1\t*\r\n"_sj);
}

TEST(WeekdaysTest, SundayFirstFromTheDateNotTheText) {
    // 1998-07-12 was a Sunday and 1998-07-18 a Saturday, whatever the line calls them.
    const CQuorlet3Doc doc = test::LoadLines(
        {Main("12-Jul-98"), Main("18-Jul-1998"), Main("18-Jul-98"), Main("15-Jul-98"), Main("32-Jul-98")});
    EXPECT_EQ(FormatWeekdaysText(ComputeWeekdays(doc.Store(), RecordKind::Main)),
              "メイン調査(曜日別)\t4 回\r\n日付なし\t1 回\r\n\r\n"
              "日曜日\t1\t*\r\n月曜日\t0\t\r\n火曜日\t0\t\r\n水曜日\t1\t*\r\n"
              "木曜日\t0\t\r\n金曜日\t0\t\r\n土曜日\t2\t**\r\n"_sj);
}

TEST(WeekHoursTest, AnHourOutOfRangeLeavesTheLineOutOfTheGridOnly) {
    const CQuorlet3Doc doc = test::LoadLines(kLog);
    const WeekHoursResult result = ComputeWeekHours(doc.Store(), RecordKind::Main);
    EXPECT_EQ(result.total, 3);  // the 24 o'clock line is dated but counted nowhere
    EXPECT_EQ(result.undated, 2);
    EXPECT_EQ(result.counts[2][13], 1);  // Tuesday 30 June
    EXPECT_EQ(result.counts[2][0], 1);
    EXPECT_EQ(result.counts[4][23], 1);  // Thursday 2 July
    const std::string text = FormatWeekHoursText(result);
    EXPECT_TRUE(text.starts_with("メイン調査(曜日と時間)\t3 回\r\n日付なし\t2 回\r\n\r\n日曜00時\t0\t\r\n"_sj));
    EXPECT_NE(text.find("\r\n火曜13時\t1\t*\r\n"_sj), std::string::npos);
    EXPECT_TRUE(text.ends_with("\r\n土曜23時\t0\t\r\n"_sj));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3 + 7 * 24);
    // The weekday report counts the 24 o'clock line.
    EXPECT_EQ(ComputeWeekdays(doc.Store(), RecordKind::Main).counts[4], 2);
}

// Every row of a report opens with a label as wide as the others (cp932 bytes are
// columns), so the counts after the tab line up in every row.
TEST(CalendarTextTest, RowLabelsOfAReportAreOfOneWidth) {
    Lines lines;
    for (const char* date : {"01-Jul-98", "30-Sep-98", "01-Oct-98", "31-Dec-98", "01-Jan-99"}) {
        for (const char* hour : {"00", "09", "10", "23"}) {
            lines.push_back(Main(date, hour));
        }
    }
    const CQuorlet3Doc doc = test::LoadLines(lines);
    const LineStore& store = doc.Store();
    const std::pair<const char*, std::string> reports[] = {
        {"dates", FormatCalendarDatesText(ComputeCalendarDates(store, RecordKind::Main))},
        {"months", FormatCalendarMonthsText(ComputeCalendarMonths(store, RecordKind::Main))},
        {"weekdays", FormatWeekdaysText(ComputeWeekdays(store, RecordKind::Main))},
        {"week hours", FormatWeekHoursText(ComputeWeekHours(store, RecordKind::Main))},
    };
    for (const auto& [name, text] : reports) {
        const size_t rows = text.find("\r\n\r\n") + 4;  // after the head and its empty line
        std::set<size_t> widths;
        size_t count = 0;
        for (size_t at = rows; at < text.size(); at = text.find("\r\n", at) + 2, ++count) {
            widths.insert(text.find('\t', at) - at);
        }
        EXPECT_GE(count, 5U) << name;
        EXPECT_EQ(widths.size(), 1U) << name;
    }
}

TEST(CalendarBarsTest, LongBarsAreScaledAndRoundedUp) {
    Lines lines(150, Main("01-Jul-98"));
    lines.insert(lines.end(), 3, Main("02-Jul-98"));
    const CQuorlet3Doc doc = test::LoadLines(lines);
    EXPECT_EQ(FormatCalendarDatesText(ComputeCalendarDates(doc.Store(), RecordKind::Main)),
              "メイン調査(日付別)\t153 回\r\n日付なし\t0 回\r\n* 1 個 = 3 回\r\n\r\n"
              "1998/07/01(水)\t150\t**************************************************\r\n"
              "1998/07/02(木)\t3\t*\r\n"_sj);
}

// Every calendar report of a log read whole in tiny parts on several threads equals the
// report over the store.
TEST(CalendarWholeLogTest, PartsMergeToTheStoreResult) {
    Lines lines;
    for (int i = 0; i < 300; ++i) {
        const std::string day = (i % 28 < 9 ? "0" : "") + std::to_string(i % 28 + 1);
        const std::string month = i < 150 ? "-Jul-" : "-Aug-";
        const std::string hour = (i % 24 < 10 ? "0" : "") + std::to_string(i % 24);
        lines.push_back(i % 3 == 0 ? Page(day + month + "98", hour) : Main(day + month + "1998", hour));
        if (i % 17 == 0) {
            lines.push_back(Main("no date"));
        }
    }
    const test::TempDir dir;
    const std::string path = dir.WriteLines("log", lines);
    const CQuorlet3Doc doc = test::LoadLines(lines);
    for (const RecordKind records : {RecordKind::Main, RecordKind::Page}) {
        for (const int jobs : {1, 3}) {
            PartReadOptions parts;
            parts.jobs = jobs;
            parts.partBytes = 97;
            PlainAccumulator<DatesAccumulator> dates{DatesAccumulator(records)};
            PlainAccumulator<MonthsAccumulator> months{MonthsAccumulator(records)};
            PlainAccumulator<WeekdaysAccumulator> weekdays{WeekdaysAccumulator(records)};
            PlainAccumulator<WeekHoursAccumulator> weekHours{WeekHoursAccumulator(records)};
            SlotAccumulator* const all[] = {&dates, &months, &weekdays, &weekHours};
            const WalkEnd end = RunOverWholeLog(path, all, parts);
            EXPECT_EQ(FormatCalendarDatesText(dates.Accumulator().Finish(end)),
                      FormatCalendarDatesText(ComputeCalendarDates(doc.Store(), records)));
            EXPECT_EQ(FormatCalendarMonthsText(months.Accumulator().Finish(end)),
                      FormatCalendarMonthsText(ComputeCalendarMonths(doc.Store(), records)));
            EXPECT_EQ(FormatWeekdaysText(weekdays.Accumulator().Finish(end)),
                      FormatWeekdaysText(ComputeWeekdays(doc.Store(), records)));
            EXPECT_EQ(FormatWeekHoursText(weekHours.Accumulator().Finish(end)),
                      FormatWeekHoursText(ComputeWeekHours(doc.Store(), records)));
        }
    }
}

}  // namespace
}  // namespace quorlet3
