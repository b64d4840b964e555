// The HTML page: log text escaped, charts complete on any store, pies only with browser lines.
#include <gtest/gtest.h>

#include "encoding/Cp932.h"
#include "encoding/Cp932Literal.h"
#include "logstore/ReadingRules.h"
#include "output/Charts.h"
#include "output/HtmlOutput.h"
#include "tests/support/TestLog.h"

namespace quorlet3 {
namespace {

using test::LoadLines;

// Narrow literals here are cp932 (the log's bytes); the page is UTF-8.
using test::U8;

std::string Page(const CQuorlet3Doc& doc, std::string_view path = "logs/access.log") {
    return FormatHtmlReport(path, WalkLength(doc.Store()), RunRows(AllReportRows(), doc.Store()));
}

size_t Count(const std::string& text, std::string_view needle) {
    size_t count = 0;
    for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + needle.size())) {
        ++count;
    }
    return count;
}

// The element that opens with id="id" up to the end of its svg (or of the page).
std::string Svg(const std::string& page, std::string_view id) {
    const size_t start = page.find("id=\"" + std::string(id) + "\"");
    if (start == std::string::npos) {
        return {};
    }
    return page.substr(start, page.find("</svg>", start) - start);
}

// The text of the element with that id (up to the next tag).
std::string TextOf(const std::string& page, std::string_view id) {
    const std::string open = "id=\"" + std::string(id) + "\">";
    const size_t start = page.find(open);
    if (start == std::string::npos) {
        return "(missing)";
    }
    const size_t text = start + open.size();
    return page.substr(text, page.find('<', text) - text);
}

// The pieces occur in the page in this order.
void ExpectInOrder(const std::string& page, const std::vector<std::string>& pieces) {
    size_t at = 0;
    for (const std::string& piece : pieces) {
        at = page.find(piece, at);
        ASSERT_NE(at, std::string::npos) << piece;
    }
}

// Every chart is complete whatever the store holds: 24 and 31 bars, 744 cells.
void ExpectChartsComplete(const std::string& page) {
    for (const char* records : {"main", "page"}) {
        SCOPED_TRACE(records);
        EXPECT_EQ(Count(Svg(page, std::string("hourly-") + records), "class=\"bar\""), 24u);
        EXPECT_EQ(Count(Svg(page, std::string("daily-") + records), "class=\"bar\""), 31u);
        EXPECT_EQ(Count(Svg(page, std::string("detail-") + records), "class=\"cell "), 744u);
    }
}

TEST(HtmlReportTest, LogTextAndPathAreEscapedEverywhere) {
    const CQuorlet3Doc doc = LoadLines({
        "①7"_sj,
        "②Wednesday, 15-Jul-98 13:45:12 JST"_sj,
        "③<b>bold</b>.ne.jp"_sj,
        "④<img src=x onerror=alert(1)>"_sj,
        "⑤http://a.example/?q=\"&'<i>"_sj,
        "⑥<script>document.title='run'</script>"_sj,
        "⑦Thursday, 16-Jul-1998 21:03:44 JST"_sj,
        "⑥\"&'"_sj,
        "⑦Thursday, 16-Jul-1998 21:03:44 JST"_sj,
        "⑥ページ\x01.html"_sj,
        "⑦Thursday, 16-Jul-1998 21:03:44 JST"_sj,
    });
    const std::string page = Page(doc, "logs/<x>&.log");
    // The page has no element from the log: no script, img, b or i element at all.
    for (const char* tag : {"<script", "<img", "<b>", "<i>"}) {
        EXPECT_EQ(Count(page, tag), 0u) << tag;
    }
    for (const char* text : {
             "&lt;script&gt;document.title=&#39;run&#39;&lt;/script&gt;",
             "&quot;&amp;&#39;",
             "&lt;img src=x onerror=alert(1)&gt;",
             "&lt;b&gt;bold&lt;/b&gt;.ne.jp",
             "?q=&quot;&amp;&#39;&lt;i&gt;",
             "<span id=\"log-name\">&lt;x&gt;&amp;.log</span>",
         }) {
        EXPECT_NE(page.find(text), std::string::npos) << text;
    }
    // cp932 decoded; a control byte shown as U+FFFD, not passed into the markup.
    EXPECT_NE(page.find(U8(u8"ページ\uFFFD.html")), std::string::npos);
    EXPECT_EQ(Count(page, "\x01"), 0u);
}

TEST(HtmlReportTest, PageIsSelfContained) {
    const std::string page =
        Page(LoadLines({"①1"_sj, "②Wednesday, 15-Jul-98 13:45:12 JST"_sj, "⑤http://x.example/"_sj}));
    EXPECT_EQ(page.rfind("<!DOCTYPE html>\n<html lang=\"ja\">", 0), 0u);
    EXPECT_NE(page.find("default-src 'none'"), std::string::npos);
    // Nothing is loaded: no src attribute, no link element, every href within the page.
    EXPECT_EQ(Count(page, " src="), 0u);
    EXPECT_EQ(Count(page, "<link"), 0u);
    EXPECT_EQ(Count(page, "href=\""), Count(page, "href=\"#"));
    EXPECT_EQ(Count(page, "url("), 0u);
}

// An empty file and a document that never loaded: every count zero, every chart drawn.
TEST(HtmlReportTest, EmptyStoresGiveZeroCounts) {
    const CQuorlet3Doc unloaded;
    const CQuorlet3Doc empty = test::LoadBytes("");
    for (const CQuorlet3Doc* doc : {&unloaded, &empty}) {
        const std::string page = Page(*doc);
        ExpectChartsComplete(page);
        for (const char* id :
             {"main-accesses", "page-accesses", "hourly-main-total", "daily-page-total", "detail-main-total",
              "share-total", "link-table-total", "hosts-total", "pages-total", "dates-main-total", "months-page-total",
              "weekdays-main-total", "weekhours-page-total", "phrases-total"}) {
            EXPECT_EQ(TextOf(page, id), "0") << id;
        }
        EXPECT_EQ(Count(page, "class=\"pie\""), 0u);
        EXPECT_NE(page.find("id=\"share-note\""), std::string::npos);
        EXPECT_EQ(page.find("id=\"period-first\""), std::string::npos);
        // An empty store has no busiest cell: no level other than "empty" in the heat maps
        // of days and hours and of weekdays and hours; no date, so no calendar.
        EXPECT_EQ(Count(page, "class=\"cell l0\""), 2u * 744u + 2u * 7u * 24u);
    }
    EXPECT_EQ(TextOf(Page(empty), "lines-read"), "0");
}

TEST(HtmlReportTest, WithoutBrowserLinesNoPiesButANote) {
    const std::string page =
        Page(LoadLines({"①5"_sj, "②Wednesday, 15-Jul-98 13:45:12 JST"_sj, "③a.ne.jp"_sj, "⑤http://x.example/"_sj,
                        "①6"_sj, "②Wednesday, 15-Jul-98 13:50:00 JST"_sj}));
    EXPECT_EQ(Count(page, "class=\"pie\""), 0u);
    EXPECT_NE(page.find("id=\"share-note\""), std::string::npos);
    EXPECT_EQ(TextOf(page, "hourly-main-total"), "2");
    EXPECT_EQ(TextOf(page, "main-accesses"), "2");
    ExpectChartsComplete(page);
}

TEST(HtmlReportTest, ChartsTablesAndHeaderCarryTheCounts) {
    const std::vector<std::string> lines = {
        "①10"_sj,
        "②Wednesday, 15-Jul-98 13:45:12 JST"_sj,
        "③b.ne.jp"_sj,
        "④Mozilla/4.0 (compatible; MSIE 4.01)"_sj,
        "⑤"_sj,
        "①11"_sj,
        "②Wednesday, 15-Jul-98 13:50:00 JST"_sj,
        "③a.ne.jp"_sj,
        "④Mozilla/4.05 [ja] (Win95; I)"_sj,
        "⑤"_sj,
        "①12"_sj,
        "②Thursday, 16-Jul-98 02:00:00 JST"_sj,
        "③b.ne.jp"_sj,
        "④Mozilla/4.0 (compatible; MSIE 4.01)"_sj,
        "⑤"_sj,
        "①13"_sj,
        "②Thursday, 16-Jul-98 02:10:00 JST"_sj,
        "③b.ne.jp"_sj,
        "④Mozilla/4.0 (compatible; MSIE 4.01)"_sj,
        "⑤"_sj,
        "⑥top.html"_sj,
        "⑦Thursday, 16-Jul-1998 21:03:44 JST"_sj,
        "⑥b.html"_sj,
        "⑦Thursday, 16-Jul-1998 21:04:44 JST"_sj,
        "⑥top.html"_sj,
        "⑦Friday, 17-Jul-1998 21:05:44 JST"_sj,
        "⑥a.html"_sj,
        "⑦Friday, 17-Jul-1998 09:00:00 JST"_sj,
    };
    const std::string page = Page(LoadLines(lines));
    ExpectChartsComplete(page);
    EXPECT_EQ(TextOf(page, "lines-read"), std::to_string(lines.size()));
    EXPECT_EQ(TextOf(page, "period-first"), "1998-07-15 13:45");
    EXPECT_EQ(TextOf(page, "period-last"), "1998-07-16 02:10");
    EXPECT_EQ(TextOf(page, "main-accesses"), "4");
    EXPECT_EQ(TextOf(page, "page-accesses"), "4");
    EXPECT_EQ(TextOf(page, "check-errors"), "0");
    // Each bar's tooltip holds its count; the heat map's busiest cell gets the top level.
    EXPECT_NE(Svg(page, "hourly-main").find(U8(u8"<title>13時: 2 回</title>")), std::string::npos);
    EXPECT_NE(Svg(page, "daily-page").find(U8(u8"<title>17日: 2 回</title>")), std::string::npos);
    EXPECT_NE(Svg(page, "detail-page").find(U8(u8"<rect class=\"cell l5\" x=\"")), std::string::npos);
    EXPECT_NE(Svg(page, "detail-page").find(U8(u8"<title>16日 21時: 2</title>")), std::string::npos);
    EXPECT_EQ(Count(page, "class=\"pie\""), 2u);
    // Hosts once each, most frequent first; pages ranked with shared ranks for equal counts.
    ExpectInOrder(page, {"<td class=\"n\">3</td><td class=\"t\">b.ne.jp</td>",
                         "<td class=\"n\">1</td><td class=\"t\">a.ne.jp</td>"});
    EXPECT_EQ(Count(page, ">b.ne.jp<"), 1u);
    ExpectInOrder(page, {"<td class=\"n\">1</td><td class=\"t\">top.html</td>",
                         "<td class=\"n\">2</td><td class=\"t\">a.html</td>",
                         "<td class=\"n\">2</td><td class=\"t\">b.html</td>"});
}

// The table that opens with that id or class attribute, up to its end.
std::string Table(const std::string& page, std::string_view attribute) {
    const size_t start = page.find(attribute);
    return start == std::string::npos ? std::string() : page.substr(start, page.find("</table>", start) - start);
}

// 101 values seen once (000 to 100) and then a value z seen twice, in every long table:
// each shows z and 000 to 098 (equal counts keep the table's order) and counts the two
// left out in a last line; the header counts stay whole.
TEST(HtmlReportTest, LongTablesShowTheHundredLargestRowsAndCountTheRest) {
    std::vector<std::string> lines;
    auto visit = [&lines](const std::string& value) {
        lines.push_back("①" + std::to_string(lines.size()));
        lines.push_back("②Wednesday, 15-Jul-98 13:45:12 JST");
        lines.push_back("③h" + value + ".ne.jp");
        lines.push_back("④b" + value);
        lines.push_back("⑤http://a.example/?q=" + value);
        lines.push_back("⑥p" + value + ".html");
        lines.push_back("⑦Thursday, 16-Jul-1998 21:03:44 JST");
    };
    for (int i = 0; i <= 100; ++i) {
        visit(std::string(i < 10 ? "00" : i < 100 ? "0" : "") + std::to_string(i));
    }
    visit("z");
    visit("z");
    for (std::string& line : lines) {
        line = *EncodeUtf8ToCp932(line);
    }
    const std::string page = Page(LoadLines(lines));
    for (const char* attribute : {"id=\"link-table\"", "id=\"browser-table\"", "class=\"hosts\"",
                                  "id=\"keyword-table\"", "id=\"page-ranking\"", "id=\"pages-by-name\""}) {
        SCOPED_TRACE(attribute);
        const std::string table = Table(page, attribute);
        EXPECT_EQ(Count(table, "<tr><td"), 100u);
        EXPECT_NE(table.find("z"), std::string::npos);
        EXPECT_NE(table.find("098"), std::string::npos);
        EXPECT_EQ(table.find("099"), std::string::npos);
        EXPECT_NE(table.find(U8(u8"<tr class=\"rest\"><td colspan=\"")), std::string::npos);
        EXPECT_EQ(Count(table, U8(u8"ほか 2 行（2 回）</td></tr></tfoot>")), 1u);
    }
    for (const char* id : {"link-table-total", "browser-table-total", "hosts-total", "keywords-total", "pages-total"}) {
        EXPECT_EQ(TextOf(page, id), "103") << id;
    }
    EXPECT_NE(page.find(U8(u8"102 種類</caption>")), std::string::npos);
    EXPECT_NE(page.find(U8(u8"名前順（102 ページ）")), std::string::npos);
    // Most frequent first where the table ranks; the name order keeps z last.
    ExpectInOrder(Table(page, "class=\"hosts\""), {">hz.ne.jp<", ">h000.ne.jp<"});
    ExpectInOrder(Table(page, "id=\"page-ranking\""), {">pz.html<", ">p000.html<"});
    ExpectInOrder(Table(page, "id=\"link-table\""), {"?q=000", "?q=098", "?q=z"});
}

// Equal queries make one row with their count: most frequent first, equal counts in the
// order they first appear; a short table has no line for the rest.
TEST(HtmlReportTest, KeywordsAreGroupedByQuery) {
    std::vector<std::string> lines;
    for (const char* query : {"b", "a", "b", "a", "c"}) {
        lines.push_back(std::string("①"_sj) + std::to_string(lines.size()));
        lines.push_back("②Wednesday, 15-Jul-98 13:45:12 JST"_sj);
        lines.push_back(std::string("⑤http://x.example/?"_sj) + query);
    }
    const std::string page = Page(LoadLines(lines));
    EXPECT_EQ(TextOf(page, "keywords-total"), "5");
    const std::string table = Table(page, "id=\"keyword-table\"");
    EXPECT_EQ(Count(table, "<tr><td"), 3u);
    ExpectInOrder(table,
                  {"<td class=\"n\">2</td><td class=\"t\">?b</td>", "<td class=\"n\">2</td><td class=\"t\">?a</td>",
                   "<td class=\"n\">1</td><td class=\"t\">?c</td>"});
    EXPECT_EQ(Count(page, "class=\"rest\""), 0u);
}

// A broken log's findings list the first hundred of each kind and count the others.
TEST(HtmlReportTest, LongFindingListsAreCut) {
    const std::string page = Page(LoadLines(std::vector<std::string>(150, "")));
    EXPECT_EQ(Count(page, U8(u8"行目 空欄</li>")), 100u);
    EXPECT_NE(page.find(U8(u8"<h3>空欄（150）</h3>")), std::string::npos);
    EXPECT_NE(page.find(U8(u8"<li class=\"rest\">ほか 50 個</li>")), std::string::npos);
}

// Counts are grouped by thousands; a value axis that reaches ten times 万 or 億 writes
// every tick in that unit.
TEST(HtmlReportTest, NumbersAreWrittenForPeople) {
    const struct {
        long long value;
        std::string grouped;
    } grouped[] = {{0, "0"},         {999, "999"}, {1000, "1,000"}, {450555, "450,555"}, {4500555, "4,500,555"},
                   {-1230, "-1,230"}};
    for (const auto& c : grouped) {
        EXPECT_EQ(GroupedText(c.value), c.grouped);
    }
    const struct {
        long long value, axisTop;
        std::string label;
    } ticks[] = {{5000, 10000, "5,000"},
                 {50000, 50000, "50,000"},
                 {0, 200000, "0"},
                 {150000, 200000, U8(u8"15万")},
                 {1500000, 2000000, U8(u8"150万")},
                 {15000, 100000, U8(u8"1.5万")},
                 {2000000000, 5000000000, U8(u8"20億")}};
    for (const auto& c : ticks) {
        EXPECT_EQ(AxisLabel(c.value, c.axisTop), c.label) << c.value << " of " << c.axisTop;
    }
}

// The texts of a class in an svg, in order.
std::vector<std::string> Texts(const std::string& svg, std::string_view cls) {
    std::vector<std::string> texts;
    const std::string open = "<text class=\"" + std::string(cls) + "\"";
    for (size_t at = svg.find(open); at != std::string::npos; at = svg.find(open, at + 1)) {
        const size_t text = svg.find('>', at) + 1;
        texts.push_back(svg.substr(text, svg.find('<', text) - text));
    }
    return texts;
}

// Counts stand upright over their bars only when every one fits its bar; longer ones are
// turned. The axis steps are round; every count stays exact in its bar's tooltip.
TEST(HtmlReportTest, BarCountsAreTurnedWhenTheyDoNotFit) {
    const struct {
        std::vector<long long> values;
        bool turned;
        std::vector<std::string> axis;
    } cases[] = {
        {{3, 120, 999}, false, {"0", "200", "400", "600", "800", "1,000", U8(u8"回")}},
        {{187403, 187879, 0, 188187}, true, {"0", U8(u8"5万"), U8(u8"10万"), U8(u8"15万"), U8(u8"20万"), U8(u8"回")}},
    };
    for (const auto& c : cases) {
        BarChart chart{"c", "t", "時", "x", {}, c.values, 0, {}, 0, {}};
        for (size_t i = 0; i < c.values.size(); ++i) {
            chart.labels.push_back(std::to_string(i));
        }
        HtmlText page;
        WriteBarChart(page, chart);
        const std::string svg = page.str();
        EXPECT_EQ(Texts(svg, "ay"), c.axis);  // the ticks, then the unit above them
        EXPECT_EQ(Count(svg, "<text class=\"val up\""), c.turned ? 3u : 0u);
        EXPECT_EQ(Count(svg, "<text class=\"val\""), c.turned ? 0u : 3u);
        if (c.turned) {
            EXPECT_NE(svg.find(U8(u8"<title>3時: 188,187 回</title>")), std::string::npos);
            EXPECT_NE(svg.find(">188,187</text>"), std::string::npos);
        }
    }
}

// Labels under the bars that would touch are thinned at an even step; the year stands
// under January (and under the first month when no January follows closely).
TEST(HtmlReportTest, MonthLabelsKeepARhythmAndNameTheYears) {
    std::vector<std::string> lines;
    for (int month = 0; month < 40; ++month) {
        static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        const int year = 98 + (month + 6) / 12;
        lines.push_back("①" + std::to_string(month + 1));
        lines.push_back(std::string("②Wednesday, 15-") + kMonths[(month + 6) % 12] + "-" +
                        (year < 100 ? std::to_string(year) : "0" + std::to_string(year - 100)) + " 13:45:12 JST");
    }
    for (std::string& line : lines) {
        line = *EncodeUtf8ToCp932(line);
    }
    const std::string svg = Svg(Page(LoadLines(lines)), "months-main");
    const std::vector<std::string> ticks = Texts(svg, "ax");
    ASSERT_GE(ticks.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(ticks.begin(), ticks.begin() + 4),
              (std::vector<std::string>{"7", "9", "11", "1"}));
    EXPECT_EQ(Texts(svg, "ag"), (std::vector<std::string>{"1998", "1999", "2000", "2001"}));
}

// The header's period and the guest table read as dates people write, whichever year
// layout the log uses; a text that holds no time stamp is shown as it is.
TEST(HtmlReportTest, TimeStampsReadAsDates) {
    const struct {
        std::string stamp;
        std::string shown;
    } cases[] = {
        {"Wednesday, 01-Jul-98 00:02:33 JST", "1998-07-01 00:02"},
        {"Wednesday, 05-Nov-03 13:20:52 JST", "2003-11-05 13:20"},
        {"Wednesday, 15-Jul-1998 21:03:44 JST", "1998-07-15 21:03"},
        {"Wednesday, 31-Feb-98 00:02:33 JST", ", 31-Feb-98 00:02:33 JST"},
        {"Wednesday, 01-Jul-98 24:02:33 JST", ", 01-Jul-98 24:02:33 JST"},
    };
    for (const auto& c : cases) {
        const std::string page = Page(LoadLines({"①7"_sj, "②"_sj + c.stamp}));
        EXPECT_EQ(TextOf(page, "period-first"), c.shown) << c.stamp;
        // The period's two ends and the guest table's first and last time.
        const bool stamp = c.shown.front() != ',';
        EXPECT_EQ(Count(page, "<time datetime="), stamp ? 4u : 0u) << c.stamp;
        EXPECT_EQ(Count(page, ">" + c.shown + "</"), 4u) << c.stamp;
    }
    EXPECT_NE(Page(LoadLines({"①7"_sj, "②Wednesday, 01-Jul-98 00:02:33 JST"_sj}))
                  .find("<time datetime=\"1998-07-01T00:02:33\" id=\"period-first\">"),
              std::string::npos);
}

}  // namespace
}  // namespace quorlet3
