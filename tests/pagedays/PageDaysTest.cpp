// Per-page access days: the sorted page name list and the day report of one page.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "logstore/ReportText.h"
#include "platform/Cp932Literal.h"
#include "tests/support/TestLog.h"

namespace quorlet3 {
namespace {

using test::LoadLines;

// A page time-stamp line with its day field 22 bytes from the end.
std::string Stamp(std::string_view day) { return "⑦1999年03月"_sj + std::string(day) + "日(Sun) 13:45:12 JST"_sj; }

std::vector<std::string> Names(const CQuorlet3Doc& doc) {
    PageNameList pages;
    pages.fill("stale");
    doc.CollectPageNames(pages);
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

// The report for the page with the given day counts.
std::string Expected(std::string_view page, const std::map<int, int>& days) {
    int total = 0;
    for (const auto& [day, n] : days) {
        total += n;
    }
    std::string text = "ページ別アクセス日調査\t"_sj + std::string(page) + "\t";
    AppendFormat(text, "%d回\r\n\r\n"_sjf, total);
    for (int d = 1; d <= 31; ++d) {
        const int n = days.contains(d) ? days.at(d) : 0;
        AppendFormat(text, "%d\t%d\t", d, n);
        text += std::string(static_cast<size_t>(n), '*') + "\r\n";
    }
    return text;
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
    EXPECT_EQ(doc.ReportPageDays("a.html"), Expected("a.html", {{7, 2}, {12, 1}, {31, 1}}));
    EXPECT_EQ(doc.ReportPageDays("A.html"), Expected("A.html", {{7, 1}}));
    EXPECT_EQ(doc.ReportPageDays("zz"), Expected("zz", {}));
    EXPECT_EQ(CQuorlet3Doc().ReportPageDays("a.html"), Expected("a.html", {}));
}

struct FollowingCase {
    std::string line;  // the slot after the matching page line
    int day;           // 0: not counted
};

class FollowingLineTest : public testing::TestWithParam<FollowingCase> {};

TEST_P(FollowingLineTest, DayOfTheNextSlot) {
    const FollowingCase& c = GetParam();
    const std::string text = LoadLines({"⑥p"_sj, c.line, "⑦Sun, 09 Mar 1999 10:00:00 JST"_sj}).ReportPageDays("p");
    EXPECT_EQ(text, Expected("p", c.day == 0 ? std::map<int, int>{} : std::map<int, int>{{c.day, 1}}));
}

INSTANTIATE_TEST_SUITE_P(AnyMarker, FollowingLineTest,
                         testing::Values(FollowingCase{Stamp("08"), 8},
                                         FollowingCase{"②Tue, 21 Apr 1999 10:00:00 JST"_sj, 21},
                                         FollowingCase{"12", 12}, FollowingCase{"6", 0}, FollowingCase{"1", 0},
                                         FollowingCase{"", 0}, FollowingCase{",", 0}, FollowingCase{"③host"_sj, 0}));

TEST(ReportPageDaysTest, TwoPageLinesInARow) {
    // The first is dated by the second, whose last 22 bytes begin with "07".
    const std::string page = "07abcdefghijklmnopqrst";
    EXPECT_EQ(LoadLines({"⑥"_sj + page, "⑥"_sj + page, Stamp("12")}).ReportPageDays(page),
              Expected(page, {{7, 1}, {12, 1}}));
}

TEST(ReportPageDaysTest, PageLineInTheLastSlotReadsTheEndSlot) {
    Strings lines(10000, "⑦x"_sj);
    lines[9997] = "⑥p"_sj;
    lines[9998] = Stamp("05");
    lines[9999] = "⑥p"_sj;
    EXPECT_EQ(LoadLines(lines).ReportPageDays("p"), Expected("p", {{5, 1}}));
}

}  // namespace
}  // namespace quorlet3
