// The HTML page: log text escaped, charts complete on any store, pies only with browser lines.
#include <gtest/gtest.h>

#include "cli/HtmlOutput.h"
#include "logstore/ReadingRules.h"
#include "platform/Cp932Literal.h"
#include "tests/support/TestLog.h"

namespace quorlet3 {
namespace {

using test::LoadLines;

// Narrow literals here are cp932 (the log's bytes); the page is UTF-8.
std::string U8(std::u8string_view text) { return std::string(text.begin(), text.end()); }

std::string Page(const CQuorlet3Doc& doc, std::string_view path = "logs/access.log") {
    return FormatHtmlReport(path, WalkLength(doc.Store()), ComputeAllReports(doc));
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
        for (const char* id : {"main-accesses", "page-accesses", "hourly-main-total", "daily-page-total",
                               "detail-main-total", "share-total", "link-table-total", "hosts-total", "pages-total"}) {
            EXPECT_EQ(TextOf(page, id), "0") << id;
        }
        EXPECT_EQ(Count(page, "class=\"pie\""), 0u);
        EXPECT_NE(page.find("id=\"share-note\""), std::string::npos);
        EXPECT_EQ(page.find("id=\"period-first\""), std::string::npos);
        // An empty store has no busiest cell: no level other than "empty" in the heat map.
        EXPECT_EQ(Count(page, "class=\"cell l0\""), 2u * 744u);
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
    EXPECT_EQ(TextOf(page, "period-first"), ", 15-Jul-98 13:45:12 JST");  // the guest report's text
    EXPECT_EQ(TextOf(page, "period-last"), ", 16-Jul-98 02:10:00 JST");
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

}  // namespace
}  // namespace quorlet3
