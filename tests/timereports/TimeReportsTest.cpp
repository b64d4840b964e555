// Time reports: hourly, daily and day-and-hour bars, and the guest number report.
#include <gtest/gtest.h>

#include <algorithm>

#include "encoding/Cp932Literal.h"
#include "tests/support/TestLog.h"

namespace quorlet3 {
namespace {

using test::LoadLines;
using test::ReportOf;
using test::WithRows;

// A time-stamp line: day field 22 bytes and hour field 12 bytes from the end, no comma 26 from it.
std::string Stamp(std::string_view marker, std::string_view day, std::string_view hour) {
    return std::string(marker) + "1999年03月"_sj + std::string(day) + "日(Sun) "_sj + std::string(hour) + ":45:12 JST";
}
// The other layout: a comma 26 bytes from the end and the day field 24 bytes from it.
std::string CommaStamp(std::string_view marker, std::string_view day, std::string_view hour) {
    return std::string(marker) + "Sun, " + std::string(day) + " Mar 1999 " + std::string(hour) + ":45:12 JST";
}

constexpr const char* kMainHead = "メイン調査(アクセス回数)\t"_sj;

// The rows of the hourly and the daily report with every count 0.
const std::string kHourRows =
    "0時\t0\t\r\n1時\t0\t\r\n2時\t0\t\r\n3時\t0\t\r\n4時\t0\t\r\n5時\t0\t\r\n"
    "6時\t0\t\r\n7時\t0\t\r\n8時\t0\t\r\n9時\t0\t\r\n10時\t0\t\r\n11時\t0\t\r\n"
    "12時\t0\t\r\n13時\t0\t\r\n14時\t0\t\r\n15時\t0\t\r\n16時\t0\t\r\n17時\t0\t\r\n"
    "18時\t0\t\r\n19時\t0\t\r\n20時\t0\t\r\n21時\t0\t\r\n22時\t0\t\r\n23時\t0\t\r\n"_sj;
const std::string kDayRows =
    "1日\t0\t\r\n2日\t0\t\r\n3日\t0\t\r\n4日\t0\t\r\n5日\t0\t\r\n6日\t0\t\r\n"
    "7日\t0\t\r\n8日\t0\t\r\n9日\t0\t\r\n10日\t0\t\r\n11日\t0\t\r\n12日\t0\t\r\n"
    "13日\t0\t\r\n14日\t0\t\r\n15日\t0\t\r\n16日\t0\t\r\n17日\t0\t\r\n18日\t0\t\r\n"
    "19日\t0\t\r\n20日\t0\t\r\n21日\t0\t\r\n22日\t0\t\r\n23日\t0\t\r\n24日\t0\t\r\n"
    "25日\t0\t\r\n26日\t0\t\r\n27日\t0\t\r\n28日\t0\t\r\n29日\t0\t\r\n30日\t0\t\r\n"
    "31日\t0\t\r\n"_sj;

TEST(ReportHourlyTest, CountsOnlyTheChosenMarker) {
    const CQuorlet3Doc doc =
        LoadLines({Stamp("⑦"_sj, "07", "09"), Stamp("②"_sj, "07", "09"), Stamp("⑦"_sj, "08", "13"),
                   Stamp("⑥"_sj, "07", "09"), Stamp("⑦"_sj, "07", "09"), Stamp("②"_sj, "07", "23")});
    EXPECT_EQ(ReportOf(doc, "hourly page"),
              WithRows("ページ調査(ページ)\t\t3 ページ\r\n\r\n"_sj + kHourRows, {"9時\t2\t**"_sj, "13時\t1\t*"_sj}));
    EXPECT_EQ(ReportOf(doc, "hourly main"),
              WithRows("メイン調査(アクセス回数)\t2 回\r\n\r\n"_sj + kHourRows, {"9時\t1\t*"_sj, "23時\t1\t*"_sj}));
}

struct FieldCase {
    const char* name;
    std::string line;
    const char* hourRow;    // the hourly report's counted row, "" for none
    const char* dayRow;     // the daily report's counted row, "" for none
    const char* detailRow;  // the day-and-hour report's counted row, "" for none
};

class TimeFieldTest : public testing::TestWithParam<FieldCase> {};

TEST_P(TimeFieldTest, RangeTestsDecide) {
    const FieldCase& c = GetParam();
    const CQuorlet3Doc doc = LoadLines({c.line});
    const auto counted = [](const char* row) { return *row == '\0' ? "0" : "1"; };
    const auto rows = [](std::string report, const char* row) {
        return *row == '\0' ? report : WithRows(std::move(report), {row});
    };
    EXPECT_EQ(ReportOf(doc, "hourly main"),
              rows(kMainHead + std::string(counted(c.hourRow)) + " 回\r\n\r\n"_sj + kHourRows, c.hourRow));
    EXPECT_EQ(ReportOf(doc, "daily main"),
              rows(kMainHead + std::string(counted(c.dayRow)) + " 回\r\n\r\n"_sj + kDayRows, c.dayRow));
    const std::string detail = ReportOf(doc, "detail main");
    EXPECT_TRUE(
        detail.starts_with("メイン調査(時間　詳細)\t"_sj + std::string(counted(c.detailRow)) + " 回\r\n\r\n"_sj));
    EXPECT_EQ(std::count(detail.begin(), detail.end(), '*'), *c.detailRow == '\0' ? 0 : 1);
    if (*c.detailRow != '\0') {
        EXPECT_NE(detail.find(c.detailRow), std::string::npos) << c.detailRow;
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    TailLayout, TimeFieldTest,
    testing::Values(
        FieldCase{"Day7Hour13", Stamp("②"_sj, "07", "13"), "13時\t1\t*"_sj, "7日\t1\t*"_sj, "\r\n7日13時\t1\t*\r\n"_sj},
        FieldCase{"Day31Hour0", Stamp("②"_sj, "31", "00"), "0時\t1\t*"_sj, "31日\t1\t*"_sj, "\r\n31日0時\t1\t*\r\n"_sj},
        FieldCase{"Day1Hour23", Stamp("②"_sj, "01", "23"), "23時\t1\t*"_sj, "1日\t1\t*"_sj, "\r\n1日23時\t1\t*\r\n"_sj},
        FieldCase{"Hour24", Stamp("②"_sj, "12", "24"), "", "12日\t1\t*"_sj, ""},
        FieldCase{"Hour99", Stamp("②"_sj, "12", "99"), "", "12日\t1\t*"_sj, ""},
        FieldCase{"HourZeroColon", Stamp("②"_sj, "12", "0:"), "10時\t1\t*"_sj, "12日\t1\t*"_sj, "\r\n12日10時\t1\t*\r\n"_sj},
        FieldCase{"HourSpaceNine", Stamp("②"_sj, "12", " 9"), "", "12日\t1\t*"_sj, ""},
        FieldCase{"Day0", Stamp("②"_sj, "00", "05"), "5時\t1\t*"_sj, "", ""},
        FieldCase{"Day32", Stamp("②"_sj, "32", "05"), "5時\t1\t*"_sj, "", ""},
        FieldCase{"DaySpaceSeven", Stamp("②"_sj, " 7", "05"), "5時\t1\t*"_sj, "", ""},
        FieldCase{"CommaLayout", CommaStamp("②"_sj, "07", "13"), "13時\t1\t*"_sj, "7日\t1\t*"_sj, "\r\n7日13時\t1\t*\r\n"_sj},
        // With the comma the day is read 24 bytes from the end, never 22.
        FieldCase{"CommaReadsTwentyFourBack", "②x, 0712abcdefgh09:45:12 JST"_sj, "9時\t1\t*"_sj, "7日\t1\t*"_sj, "\r\n7日9時\t1\t*\r\n"_sj},
        FieldCase{"NoCommaReadsTwentyTwoBack", "②x; 0712abcdefgh09:45:12 JST"_sj, "9時\t1\t*"_sj, "12日\t1\t*"_sj, "\r\n12日9時\t1\t*\r\n"_sj},
        // Too short for the fields: the marker itself is read and its value is negative.
        FieldCase{"ShortLine", "②12:00"_sj, "", "", ""},
        FieldCase{"ShortLineWithHour", "②07日 13:45:12 JST"_sj, "13時\t1\t*"_sj, "", ""},
        FieldCase{"MarkerOnly", "②"_sj, "", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(ReportDailyTest, SameDayOfDifferentMonthsSharesItsRow) {
    const CQuorlet3Doc doc = LoadLines({Stamp("⑦"_sj, "07", "01"), "⑦Tue, 07 Apr 1999 10:00:00 JST"_sj,
                                        Stamp("②"_sj, "07", "01"), Stamp("⑦"_sj, "31", "01")});
    EXPECT_EQ(ReportOf(doc, "daily page"),
              WithRows("ページ調査(ページ)\t\t3 ページ\r\n\r\n"_sj + kDayRows, {"7日\t2\t**"_sj, "31日\t1\t*"_sj}));
}

// 744 rows, 24 for each day; the counted ones and the turns of the day are spelled out.
TEST(ReportDayHourTest, SevenHundredFortyFourRows) {
    const CQuorlet3Doc doc =
        LoadLines({Stamp("⑦"_sj, "07", "13"), Stamp("⑦"_sj, "07", "13"), Stamp("②"_sj, "07", "13"),
                   Stamp("⑦"_sj, "07", "13"), Stamp("⑦"_sj, "31", "23"), Stamp("⑦"_sj, "01", "00")});
    const std::string text = ReportOf(doc, "detail page");
    EXPECT_TRUE(text.starts_with("ページ調査(時間　詳細)\t5 ページ\r\n\r\n1日0時\t1\t*\r\n1日1時\t0\t\r\n"_sj)) << text;
    for (const std::string part :
         {"\r\n1日23時\t0\t\r\n2日0時\t0\t\r\n"_sj, "\r\n7日12時\t0\t\r\n7日13時\t3\t***\r\n7日14時\t0\t\r\n"_sj,
          "\r\n9日23時\t0\t\r\n10日0時\t0\t\r\n"_sj}) {
        EXPECT_NE(text.find(part), std::string::npos) << part;
    }
    EXPECT_TRUE(text.ends_with("\r\n31日22時\t0\t\r\n31日23時\t1\t*\r\n"_sj));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2 + 744);
    EXPECT_EQ(std::count(text.begin(), text.end(), '*'), 5);
    EXPECT_TRUE(ReportOf(doc, "detail main").starts_with("メイン調査(時間　詳細)\t1 回\r\n\r\n1日0時\t0\t\r\n"_sj));
}

TEST(ReportGuestNumbersTest, FirstAndLastRecord) {
    const CQuorlet3Doc doc = LoadLines({"⑥a"_sj, "⑦x"_sj, "①00123"_sj, Stamp("②"_sj, "07", "13"), "③h"_sj, "⑥b"_sj,
                                        "⑦short"_sj, "①125"_sj, "②Sun, 08 Mar 1999 14:00:00 JST"_sj, "⑥c"_sj});
    EXPECT_EQ(ReportOf(doc, "guests"),
              "訪問Ｎｏ調査\r\n\r\n最初\t123\t月07日(Sun) 13:45:12 JST\r\n"_sj
              "最後\t125\t08 Mar 1999 14:00:00 JST\r\n\r\nメイン訪問者\t3\r\nページ訪問者\t3\r\n\r\n"_sj);
}

struct GuestCase {
    const char* name;
    std::vector<std::string> lines;
    std::string body;  // the report after its title line and blank line
};

class GuestNumberTest : public testing::TestWithParam<GuestCase> {};

TEST_P(GuestNumberTest, Report) {
    EXPECT_EQ(ReportOf(LoadLines(GetParam().lines), "guests"), "訪問Ｎｏ調査\r\n\r\n"_sj + GetParam().body);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GuestNumberTest,
    testing::Values(GuestCase{"OneRecord",
                              {"①42"_sj, "②1999/03/07 13:45"_sj},
                              "最初\t42\t1999/03/07 13:45\r\n最後\t42\t1999/03/07 13:45\r\n\r\n"_sj
                              "メイン訪問者\t1\r\nページ訪問者\t0\r\n\r\n"_sj},
                    GuestCase{"NumbersGoDown",
                              {"①10"_sj, "②a"_sj, "①7"_sj},
                              "最初\t10\ta\r\n最後\t7\tleEND\r\n\r\nメイン訪問者\t-2\r\nページ訪問者\t0\r\n\r\n"_sj},
                    GuestCase{"UnreadableNumbers",
                              {"①1234567890123456789"_sj, "②"_sj, "①"_sj, "⑥"_sj},
                              "最初\t0\t\r\n最後\t0\t\r\n\r\nメイン訪問者\t1\r\nページ訪問者\t1\r\n\r\n"_sj},
                    GuestCase{"LetterInTheNumber",
                              {"①12a"_sj, "②x"_sj},
                              "最初\t0\tx\r\n最後\t0\tx\r\n\r\nメイン訪問者\t1\r\nページ訪問者\t0\r\n\r\n"_sj},
                    GuestCase{
                        "PastFiveDigits",
                        {"①99998"_sj, "②a"_sj, "①99999"_sj, "②b"_sj, "①100000"_sj, "②c"_sj, "①100001\r"_sj, "②d"_sj},
                        "最初\t99998\ta\r\n最後\t100001\td\r\n\r\nメイン訪問者\t4\r\nページ訪問者\t0\r\n\r\n"_sj},
                    // The searches for guest-number lines look past a sentinel; the page count stops at it.
                    GuestCase{"SearchesPastTheSentinel",
                              {"⑥a"_sj, "FileEND", "⑥b"_sj, "①5"_sj, "②t5"_sj, "①9"_sj, "②t9"_sj},
                              "最初\t5\tt5\r\n最後\t9\tt9\r\n\r\nメイン訪問者\t5\r\nページ訪問者\t1\r\n\r\n"_sj},
                    GuestCase{"NoGuestLine", {"⑥a"_sj, "⑦x"_sj}, "訪問者Ｎｏが見つかりませんでした。"_sj}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReportGuestNumbersTest, GuestLineInTheLastSlotReadsTheEndSlot) {
    std::vector<std::string> lines(9999, "⑥p"_sj);
    lines[0] = "①1"_sj;
    lines[1] = "②"_sj + std::string(30, 'x') + "0123456789abcdefghijklmn";
    lines.push_back("①10000"_sj);
    EXPECT_EQ(ReportOf(LoadLines(lines), "guests"),
              "訪問Ｎｏ調査\r\n\r\n最初\t1\t0123456789abcdefghijklmn\r\n最後\t10000\tleEND\r\n\r\n"_sj
              "メイン訪問者\t10000\r\nページ訪問者\t9997\r\n\r\n"_sj);
}

TEST(TimeReportsTest, EmptyStore) {
    const CQuorlet3Doc doc;
    EXPECT_EQ(ReportOf(doc, "hourly main"), "メイン調査(アクセス回数)\t0 回\r\n\r\n"_sj + kHourRows);
    EXPECT_EQ(ReportOf(doc, "daily page"), "ページ調査(ページ)\t\t0 ページ\r\n\r\n"_sj + kDayRows);
    const std::string detail = ReportOf(doc, "detail main");
    EXPECT_TRUE(detail.starts_with("メイン調査(時間　詳細)\t0 回\r\n\r\n1日0時\t0\t\r\n"_sj));
    EXPECT_TRUE(detail.ends_with("\r\n31日23時\t0\t\r\n"_sj));
    EXPECT_EQ(ReportOf(doc, "guests"), "訪問Ｎｏ調査\r\n\r\n訪問者Ｎｏが見つかりませんでした。"_sj);
}

TEST(TimeReportsTest, WalkStopsAtTheSentinel) {
    const CQuorlet3Doc doc = LoadLines({Stamp("②"_sj, "07", "13"), "FileEND", Stamp("②"_sj, "08", "14")});
    EXPECT_TRUE(ReportOf(doc, "hourly main").starts_with(std::string(kMainHead) + "1 回\r\n"_sj));
    EXPECT_TRUE(ReportOf(doc, "daily main").starts_with(std::string(kMainHead) + "1 回\r\n"_sj));
    EXPECT_TRUE(ReportOf(doc, "detail main").starts_with("メイン調査(時間　詳細)\t1 回\r\n"_sj));
}

}  // namespace
}  // namespace quorlet3
