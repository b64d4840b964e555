// Time reports: hourly, daily and day-and-hour bars, and the guest number report.
#include <gtest/gtest.h>

#include <map>

#include "logstore/ReportText.h"
#include "platform/Cp932Literal.h"
#include "tests/support/TestLog.h"

namespace quorlet3 {
namespace {

using test::LoadLines;

// A time-stamp line: day field 22 bytes and hour field 12 bytes from the end, no comma 26 from it.
std::string Stamp(std::string_view marker, std::string_view day, std::string_view hour) {
    return std::string(marker) + "1999年03月"_sj + std::string(day) + "日(Sun) "_sj + std::string(hour) + ":45:12 JST";
}
// The other layout: a comma 26 bytes from the end and the day field 24 bytes from it.
std::string CommaStamp(std::string_view marker, std::string_view day, std::string_view hour) {
    return std::string(marker) + "Sun, " + std::string(day) + " Mar 1999 " + std::string(hour) + ":45:12 JST";
}

constexpr const char* kMainHead = "メイン調査(アクセス回数)\t"_sj;
constexpr const char* kPageHead = "ページ調査(ページ)\t\t"_sj;

// Bar rows for labels 'from' to 'to' with the given counts (0 where none is given).
std::string Rows(const char* format, int from, int to, const std::map<int, int>& counts) {
    std::string text;
    for (int k = from; k <= to; ++k) {
        const int n = counts.contains(k) ? counts.at(k) : 0;
        AppendFormat(text, format, k, n);
        text += std::string(static_cast<size_t>(n), '*') + "\r\n";
    }
    return text;
}

TEST(ReportHourlyTest, CountsOnlyTheChosenMarker) {
    const CQuorlet3Doc doc =
        LoadLines({Stamp("⑦"_sj, "07", "09"), Stamp("②"_sj, "07", "09"), Stamp("⑦"_sj, "08", "13"),
                   Stamp("⑥"_sj, "07", "09"), Stamp("⑦"_sj, "07", "09"), Stamp("②"_sj, "07", "23")});
    EXPECT_EQ(doc.ReportHourly(7),
              std::string(kPageHead) + "3 ページ\r\n\r\n"_sj + Rows("%d時\t%d\t"_sj, 0, 23, {{9, 2}, {13, 1}}));
    EXPECT_EQ(doc.ReportHourly(2),
              std::string(kMainHead) + "2 回\r\n\r\n"_sj + Rows("%d時\t%d\t"_sj, 0, 23, {{9, 1}, {23, 1}}));
}

struct FieldCase {
    std::string line;
    int hour;  // row counted by the hourly report, -1 for none
    int day;   // row counted by the daily report, -1 for none
};

class TimeFieldTest : public testing::TestWithParam<FieldCase> {};

TEST_P(TimeFieldTest, RangeTestsDecide) {
    const FieldCase& c = GetParam();
    const CQuorlet3Doc doc = LoadLines({c.line});
    const auto counted = [](int k) { return k < 0 ? std::map<int, int>{} : std::map<int, int>{{k, 1}}; };
    EXPECT_EQ(doc.ReportHourly(2), std::string(kMainHead) + (c.hour < 0 ? "0" : "1") + " 回\r\n\r\n"_sj +
                                       Rows("%d時\t%d\t"_sj, 0, 23, counted(c.hour)));
    EXPECT_EQ(doc.ReportDaily(2), std::string(kMainHead) + (c.day < 0 ? "0" : "1") + " 回\r\n\r\n"_sj +
                                      Rows("%d日\t%d\t"_sj, 1, 31, counted(c.day)));
    const std::string detail = doc.ReportDayHour(2);
    const bool both = c.hour >= 0 && c.day >= 0;
    EXPECT_TRUE(detail.starts_with(std::string("メイン調査(時間　詳細)\t"_sj) + (both ? "1" : "0") + " 回\r\n\r\n"_sj));
    std::string row;
    AppendFormat(row, "\r\n%d日%d時\t1\t*\r\n"_sjf, c.day, c.hour);
    EXPECT_EQ(detail.find(row) != std::string::npos, both) << row;
}

INSTANTIATE_TEST_SUITE_P(
    TailLayout, TimeFieldTest,
    testing::Values(FieldCase{Stamp("②"_sj, "07", "13"), 13, 7}, FieldCase{Stamp("②"_sj, "31", "00"), 0, 31},
                    FieldCase{Stamp("②"_sj, "01", "23"), 23, 1}, FieldCase{Stamp("②"_sj, "12", "24"), -1, 12},
                    FieldCase{Stamp("②"_sj, "12", "99"), -1, 12}, FieldCase{Stamp("②"_sj, "12", "0:"), 10, 12},
                    FieldCase{Stamp("②"_sj, "12", " 9"), -1, 12}, FieldCase{Stamp("②"_sj, "00", "05"), 5, -1},
                    FieldCase{Stamp("②"_sj, "32", "05"), 5, -1}, FieldCase{Stamp("②"_sj, " 7", "05"), 5, -1},
                    FieldCase{CommaStamp("②"_sj, "07", "13"), 13, 7},
                    // With the comma the day is read 24 bytes from the end, never 22.
                    FieldCase{"②x, 0712abcdefgh09:45:12 JST"_sj, 9, 7},
                    FieldCase{"②x; 0712abcdefgh09:45:12 JST"_sj, 9, 12},
                    // Too short for the fields: the marker itself is read and its value is negative.
                    FieldCase{"②12:00"_sj, -1, -1}, FieldCase{"②07日 13:45:12 JST"_sj, 13, -1},
                    FieldCase{"②"_sj, -1, -1}));

TEST(ReportDailyTest, SameDayOfDifferentMonthsSharesItsRow) {
    const CQuorlet3Doc doc = LoadLines({Stamp("⑦"_sj, "07", "01"), "⑦Tue, 07 Apr 1999 10:00:00 JST"_sj,
                                        Stamp("②"_sj, "07", "01"), Stamp("⑦"_sj, "31", "01")});
    EXPECT_EQ(doc.ReportDaily(7),
              std::string(kPageHead) + "3 ページ\r\n\r\n"_sj + Rows("%d日\t%d\t"_sj, 1, 31, {{7, 2}, {31, 1}}));
}

TEST(ReportDayHourTest, SevenHundredFortyFourRows) {
    const CQuorlet3Doc doc =
        LoadLines({Stamp("⑦"_sj, "07", "13"), Stamp("⑦"_sj, "07", "13"), Stamp("②"_sj, "07", "13"),
                   Stamp("⑦"_sj, "07", "13"), Stamp("⑦"_sj, "31", "23"), Stamp("⑦"_sj, "01", "00")});
    const std::map<int, std::map<int, int>> counts = {{1, {{0, 1}}}, {7, {{13, 3}}}, {31, {{23, 1}}}};
    std::string expected = "ページ調査(時間　詳細)\t5 ページ\r\n\r\n"_sj;
    for (int d = 1; d <= 31; ++d) {
        const auto day = counts.find(d);
        expected += Rows((std::to_string(d) + "日%d時\t%d\t"_sj).c_str(), 0, 23,
                         day == counts.end() ? std::map<int, int>{} : day->second);
    }
    EXPECT_EQ(doc.ReportDayHour(7), expected);
    EXPECT_TRUE(doc.ReportDayHour(2).starts_with("メイン調査(時間　詳細)\t1 回\r\n\r\n1日0時\t0\t\r\n"_sj));
}

TEST(ReportGuestNumbersTest, FirstAndLastRecord) {
    const CQuorlet3Doc doc = LoadLines({"⑥a"_sj, "⑦x"_sj, "①00123"_sj, Stamp("②"_sj, "07", "13"), "③h"_sj, "⑥b"_sj,
                                        "⑦short"_sj, "①125"_sj, "②Sun, 08 Mar 1999 14:00:00 JST"_sj, "⑥c"_sj});
    EXPECT_EQ(doc.ReportGuestNumbers(),
              "訪問Ｎｏ調査\r\n\r\n最初\t123\t月07日(Sun) 13:45:12 JST\r\n"_sj
              "最後\t125\t08 Mar 1999 14:00:00 JST\r\n\r\nメイン訪問者\t3\r\nページ訪問者\t3\r\n\r\n"_sj);
}

struct GuestCase {
    std::vector<std::string> lines;
    std::string body;  // the report after its title line and blank line
};

class GuestNumberTest : public testing::TestWithParam<GuestCase> {};

TEST_P(GuestNumberTest, Report) {
    EXPECT_EQ(LoadLines(GetParam().lines).ReportGuestNumbers(), "訪問Ｎｏ調査\r\n\r\n"_sj + GetParam().body);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GuestNumberTest,
    testing::Values(GuestCase{{"①42"_sj, "②1999/03/07 13:45"_sj},
                              "最初\t42\t1999/03/07 13:45\r\n最後\t42\t1999/03/07 13:45\r\n\r\n"_sj
                              "メイン訪問者\t1\r\nページ訪問者\t0\r\n\r\n"_sj},
                    GuestCase{{"①10"_sj, "②a"_sj, "①7"_sj},
                              "最初\t10\ta\r\n最後\t7\tleEND\r\n\r\nメイン訪問者\t-2\r\nページ訪問者\t0\r\n\r\n"_sj},
                    GuestCase{{"①123456"_sj, "②"_sj, "①"_sj, "⑥"_sj},
                              "最初\t0\t\r\n最後\t0\t\r\n\r\nメイン訪問者\t1\r\nページ訪問者\t1\r\n\r\n"_sj},
                    GuestCase{{"①12a"_sj, "②x"_sj},
                              "最初\t169\tx\r\n最後\t169\tx\r\n\r\nメイン訪問者\t1\r\nページ訪問者\t0\r\n\r\n"_sj},
                    // The searches for guest-number lines look past a sentinel; the page count stops at it.
                    GuestCase{{"⑥a"_sj, "FileEND", "⑥b"_sj, "①5"_sj, "②t5"_sj, "①9"_sj, "②t9"_sj},
                              "最初\t5\tt5\r\n最後\t9\tt9\r\n\r\nメイン訪問者\t5\r\nページ訪問者\t1\r\n\r\n"_sj},
                    GuestCase{{"⑥a"_sj, "⑦x"_sj}, "訪問者Ｎｏが見つかりませんでした。"_sj}));

TEST(ReportGuestNumbersTest, GuestLineInTheLastSlotReadsTheEndSlot) {
    std::vector<std::string> lines(9999, "⑥p"_sj);
    lines[0] = "①1"_sj;
    lines[1] = "②"_sj + std::string(30, 'x') + "0123456789abcdefghijklmn";
    lines.push_back("①10000"_sj);
    EXPECT_EQ(LoadLines(lines).ReportGuestNumbers(),
              "訪問Ｎｏ調査\r\n\r\n最初\t1\t0123456789abcdefghijklmn\r\n最後\t10000\tleEND\r\n\r\n"_sj
              "メイン訪問者\t10000\r\nページ訪問者\t9997\r\n\r\n"_sj);
}

TEST(TimeReportsTest, EmptyStore) {
    const CQuorlet3Doc doc;
    EXPECT_EQ(doc.ReportHourly(2), std::string(kMainHead) + "0 回\r\n\r\n"_sj + Rows("%d時\t%d\t"_sj, 0, 23, {}));
    EXPECT_EQ(doc.ReportDaily(7), std::string(kPageHead) + "0 ページ\r\n\r\n"_sj + Rows("%d日\t%d\t"_sj, 1, 31, {}));
    const std::string detail = doc.ReportDayHour(2);
    EXPECT_TRUE(detail.starts_with("メイン調査(時間　詳細)\t0 回\r\n\r\n1日0時\t0\t\r\n"_sj));
    EXPECT_TRUE(detail.ends_with("\r\n31日23時\t0\t\r\n"_sj));
    EXPECT_EQ(doc.ReportGuestNumbers(), "訪問Ｎｏ調査\r\n\r\n訪問者Ｎｏが見つかりませんでした。"_sj);
}

TEST(TimeReportsTest, WalkStopsAtTheSentinel) {
    const CQuorlet3Doc doc = LoadLines({Stamp("②"_sj, "07", "13"), "FileEND", Stamp("②"_sj, "08", "14")});
    EXPECT_TRUE(doc.ReportHourly(2).starts_with(std::string(kMainHead) + "1 回\r\n"_sj));
    EXPECT_TRUE(doc.ReportDaily(2).starts_with(std::string(kMainHead) + "1 回\r\n"_sj));
    EXPECT_TRUE(doc.ReportDayHour(2).starts_with("メイン調査(時間　詳細)\t1 回\r\n"_sj));
}

}  // namespace
}  // namespace quorlet3
