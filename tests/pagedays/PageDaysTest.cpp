// Per-page access days: the sorted page name list and the day report of one page.
#include <gtest/gtest.h>

#include <cstdio>

#include "encoding/Cp932Literal.h"
#include "pagedays/PageDays.h"
#include "tests/support/TestLog.h"

namespace quorlet3 {
namespace {

using test::LoadLines;
using test::ReportOf;

// A page time-stamp line with its day field 22 bytes from the end.
std::string Stamp(std::string_view day) { return "⑦1999年03月"_sj + std::string(day) + "日(Sun) 13:45:12 JST"_sj; }

std::vector<std::string> Names(const CQuorlet3Doc& doc) {
    PageNameList pages;
    pages.fill("stale");
    FillPageNameList(ComputePageNames(doc.Store()), pages);
    std::vector<std::string> names(pages.begin(), pages.end());
    while (!names.empty() && names.back().empty()) {
        names.pop_back();
    }
    for (const std::string& name : names) {
        EXPECT_FALSE(name.empty());  // no gaps before the empty slots
    }
    return names;
}

using Strings = std::vector<std::string>;

TEST(CollectPageNamesTest, DistinctNamesInMultibyteOrder) {
    EXPECT_EQ(
        Names(LoadLines({"⑥b.html"_sj, "⑥a.html"_sj, "⑦x"_sj, "⑥b.html"_sj, "⑥c.html"_sj, "FileEND", "⑥0.html"_sj})),
        (Strings{"a.html", "b.html", "c.html"}));
    EXPECT_EQ(Names(LoadLines({"⑥日本"_sj, "⑥a.html "_sj, "⑥"_sj, "⑥a.html"_sj, "⑥ｱ"_sj, "⑥A.html"_sj, "⑤z.html"_sj})),
              (Strings{"A.html", "a.html", "a.html ", "ｱ"_sj, "日本"_sj}));
    EXPECT_EQ(Names(LoadLines({"⑥"_sj, "⑦x"_sj, "⑥"_sj})), Strings{});
    EXPECT_EQ(Names(CQuorlet3Doc()), Strings{});
}

TEST(CollectPageNamesTest, FirstThreeHundredToAppear) {
    Strings lines, expected;
    char name[16];
    for (int n = 300; n >= 0; --n) {
        std::snprintf(name, sizeof name, "n%03d", n);
        lines.push_back(std::string("⑥"_sj) + name);
        if (n > 0) {
            expected.insert(expected.begin(), name);
        }
    }
    EXPECT_EQ(Names(LoadLines(lines)), expected);
}

// The rows of a page's report with every count 0.
const std::string kDayRows =
    "1\t0\t\r\n2\t0\t\r\n3\t0\t\r\n4\t0\t\r\n5\t0\t\r\n6\t0\t\r\n7\t0\t\r\n8\t0\t\r\n"
    "9\t0\t\r\n10\t0\t\r\n11\t0\t\r\n12\t0\t\r\n13\t0\t\r\n14\t0\t\r\n15\t0\t\r\n16\t0\t\r\n"
    "17\t0\t\r\n18\t0\t\r\n19\t0\t\r\n20\t0\t\r\n21\t0\t\r\n22\t0\t\r\n23\t0\t\r\n24\t0\t\r\n"
    "25\t0\t\r\n26\t0\t\r\n27\t0\t\r\n28\t0\t\r\n29\t0\t\r\n30\t0\t\r\n31\t0\t\r\n";

// The report: its head line (title, page and total) and the counted rows.
std::string Expected(const std::string& head, std::initializer_list<std::string_view> rows) {
    return test::WithRows("ページ別アクセス日調査\t"_sj + head + "\r\n\r\n" + kDayRows, rows);
}

TEST(ReportPageDaysTest, CountsTheWholeLineMatchesByDay) {
    const CQuorlet3Doc doc = LoadLines({
        "⑥a.html"_sj,   Stamp("07"),
        "⑥b.html"_sj,   Stamp("07"),
        "⑥a.html"_sj,   Stamp("12"),
        "⑥a.html.x"_sj, Stamp("07"),
        "⑥A.html"_sj,   Stamp("07"),
        "⑥a.html "_sj,  Stamp("07"),
        "⑥a.html"_sj,   "⑦x, 0712abcdefgh09:45:12 JST"_sj,  // comma: 7
        "⑥a.html"_sj,   Stamp("00"),
        "⑥a.html"_sj,   Stamp("32"),
        "⑥a.html"_sj,   Stamp("31"),
        "②a.html"_sj,   Stamp("07"),
        "⑥a.html"_sj,  // followed by the sentinel
    });
    EXPECT_EQ(ReportOf(doc, "page-days", "a.html"), Expected("a.html\t4回"_sj, {"7\t2\t**", "12\t1\t*", "31\t1\t*"}));
    EXPECT_EQ(ReportOf(doc, "page-days", "A.html"), Expected("A.html\t1回"_sj, {"7\t1\t*"}));
    EXPECT_EQ(ReportOf(doc, "page-days", "zz"), Expected("zz\t0回"_sj, {}));
    EXPECT_EQ(ReportOf(CQuorlet3Doc(), "page-days", "a.html"), Expected("a.html\t0回"_sj, {}));
}

struct FollowingCase {
    const char* name;
    std::string line;  // the slot after the matching page line
    const char* row;   // the counted row, "" for none
};

class FollowingLineTest : public testing::TestWithParam<FollowingCase> {};

TEST_P(FollowingLineTest, DayOfTheNextSlot) {
    const FollowingCase& c = GetParam();
    const std::string text =
        ReportOf(LoadLines({"⑥p"_sj, c.line, "⑦Sun, 09 Mar 1999 10:00:00 JST"_sj}), "page-days", "p");
    EXPECT_EQ(text, *c.row == '\0' ? Expected("p\t0回"_sj, {}) : Expected("p\t1回"_sj, {c.row}));
}

INSTANTIATE_TEST_SUITE_P(AnyMarker, FollowingLineTest,
                         testing::Values(FollowingCase{"PageStamp", Stamp("08"), "8\t1\t*"},
                                         FollowingCase{"MainStamp", "②Tue, 21 Apr 1999 10:00:00 JST"_sj, "21\t1\t*"},
                                         FollowingCase{"TwoDigits", "12", "12\t1\t*"},
                                         FollowingCase{"OneDigit", "6", ""}, FollowingCase{"One", "1", ""},
                                         FollowingCase{"Empty", "", ""}, FollowingCase{"Comma", ",", ""},
                                         FollowingCase{"Host", "③host"_sj, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReportPageDaysTest, TwoPageLinesInARow) {
    // The first is dated by the second, whose last 22 bytes begin with "07".
    const std::string page = "07abcdefghijklmnopqrst";
    EXPECT_EQ(ReportOf(LoadLines({"⑥"_sj + page, "⑥"_sj + page, Stamp("12")}), "page-days", page),
              Expected(page + "\t2回"_sj, {"7\t1\t*", "12\t1\t*"}));
}

TEST(ReportPageDaysTest, PageLineInTheLastSlotReadsTheEndSlot) {
    Strings lines(10000, "⑦x"_sj);
    lines[9997] = "⑥p"_sj;
    lines[9998] = Stamp("05");
    lines[9999] = "⑥p"_sj;
    EXPECT_EQ(ReportOf(LoadLines(lines), "page-days", "p"), Expected("p\t1回"_sj, {"5\t1\t*"}));
}

}  // namespace
}  // namespace quorlet3
