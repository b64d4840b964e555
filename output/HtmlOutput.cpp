// The HTML report: every report of one run on a single self-contained page. The section
// writers (HtmlSections) put their parts in the page's places, a section or the summary
// of the header; the page frame here puts them together in place order, with the styles,
// the header and the table of contents. Everything the page needs is inline; the
// Content-Security-Policy forbids every remote load and every script.
#include "output/HtmlOutput.h"

#include <array>

#include "output/HtmlSections.h"
#include "reports/ReportRun.h"

namespace quorlet3 {
namespace {

constexpr std::string_view kStyle = R"css(
:root{color-scheme:light dark;--bg:#fff;--fg:#1f2328;--muted:#59636e;--line:#d1d9e0;--card:#f6f8fa;
--bar:#2f6fb3;--grid:#e4e8ec;--h1:#dbe9f6;--h2:#9ecae1;--h3:#5a9fd0;--h4:#2171b5;--h5:#08306b}
@media (prefers-color-scheme:dark){:root{--bg:#0f1216;--fg:#e3e6ea;--muted:#9aa4ae;--line:#39414a;
--card:#181d23;--bar:#5aa6f0;--grid:#262d35;--h1:#17324d;--h2:#1f5485;--h3:#2f7fc4;--h4:#63acf0;--h5:#b9ddff}}
*{box-sizing:border-box}
body{margin:0;background:var(--bg);color:var(--fg);font:15px/1.5 system-ui,"IPAPGothic","Noto Sans CJK JP",sans-serif}
main{max-width:1000px;margin:0 auto;padding:16px 20px 40px}
h1{font-size:1.6em;margin:.2em 0 .4em;overflow-wrap:anywhere}
h2{font-size:1.25em;margin:1.6em 0 .4em;padding-bottom:.2em;border-bottom:2px solid var(--line)}
h3{font-size:1.05em;margin:1.2em 0 .3em}
.menu{color:var(--muted);font-size:.85em;margin:0 0 .6em}
.note{color:var(--muted)}
dl.summary{display:grid;grid-template-columns:repeat(auto-fill,minmax(170px,1fr));gap:8px;margin:0}
dl.summary div{background:var(--card);border:1px solid var(--line);border-radius:6px;padding:6px 10px}
dl.summary dt{color:var(--muted);font-size:.8em}
dl.summary dd{margin:0;font-size:1.15em;font-weight:600;overflow-wrap:anywhere}
@media (min-width:600px){dl.summary div.wide{grid-column:span 2}}
nav{margin:12px 0;font-size:.9em}
nav a{display:inline-block;margin:2px 10px 2px 0;color:var(--bar)}
details{margin:.6em 0;border:1px solid var(--line);border-radius:6px;padding:4px 10px}
summary{cursor:pointer;font-weight:600}
.scroll{overflow-x:auto}
table{border-collapse:collapse;margin:.4em 0 1em;font-size:.92em}
th,td{border-bottom:1px solid var(--line);padding:3px 8px;text-align:left;vertical-align:top}
th{background:var(--card)}
td.n,th.n{text-align:right;font-variant-numeric:tabular-nums;white-space:nowrap}
td.t{overflow-wrap:anywhere;max-width:60ch}
caption{text-align:left;color:var(--muted);font-size:.9em;padding:2px 0}
.rest{color:var(--muted)}
.hbar{display:block;height:.8em;min-width:1px;background:var(--bar);border-radius:2px}
td.b{width:30%;min-width:60px}
figure{margin:.4em 0 1.2em;overflow-x:auto}
figcaption{font-size:.9em;color:var(--muted)}
svg.chart{width:100%;height:auto;display:block}
svg text{fill:var(--fg);font-size:11px}
svg .val{font-size:9px;text-anchor:middle}
svg .val.up{text-anchor:start;dominant-baseline:central}
svg .ag{fill:var(--muted)}
svg .ax{text-anchor:middle;fill:var(--muted)}
svg .ay{text-anchor:end;fill:var(--muted)}
svg .grid{stroke:var(--grid)}
svg .axis{stroke:var(--muted)}
rect.bar{fill:var(--bar)}
rect.cell{stroke:var(--grid);stroke-width:1}
.l0{fill:transparent;stroke-dasharray:2 2}
.l1{fill:var(--h1);background:var(--h1)}.l2{fill:var(--h2);background:var(--h2)}.l3{fill:var(--h3);background:var(--h3)}
.l4{fill:var(--h4);background:var(--h4)}.l5{fill:var(--h5);background:var(--h5)}
.legend{display:flex;flex-wrap:wrap;gap:4px 14px;font-size:.85em;color:var(--muted);list-style:none;padding:0;margin:.3em 0}
.legend li{display:flex;align-items:center;gap:5px}
.sw{display:inline-block;width:14px;height:14px;border:1px solid var(--muted);border-radius:2px}
.sw.l0{border-style:dashed}
.pies{display:flex;flex-wrap:wrap;gap:16px 40px}
.pies figure{flex:1 1 240px;max-width:320px}
svg.pie{width:100%;max-width:240px;height:auto;display:block}
svg.pie path,svg.pie circle{stroke:var(--fg);stroke-width:1}
time{white-space:nowrap}
pre{white-space:pre-wrap;overflow-wrap:anywhere;font-size:.85em}
@media (max-width:600px){main{padding:10px}body{font-size:14px}td.t{max-width:none}}
@media print{:root{--bg:#fff;--fg:#000;--muted:#333;--card:#fff;--line:#999;--grid:#ccc}
body{font-size:10.5pt}main{max-width:none;padding:0}nav{display:none}
figure,table,dl.summary{break-inside:avoid}svg.chart{min-width:0!important}h2,h3{break-after:avoid}details{border:none;padding:0}}
)css";

// Each section's id, heading and entry in the table of contents, one row per place in
// the order of the places.
struct PlaceText {
    Place place;
    std::string_view id;
    std::string_view heading;
    std::string_view nav;
};
constexpr PlaceText kPlaces[] = {
    {Place::MainTime, "main-time", "メインページのアクセス時間", "メインページの時間"},
    {Place::Browsers, "browsers", "ブラウザ", "ブラウザ"},
    {Place::Links, "links", "リンク", "リンク"},
    {Place::Hosts, "hosts", "ホスト", "ホスト"},
    {Place::Keywords, "keywords", "キーワード", "キーワード"},
    {Place::Phrases, "phrases", "検索語句", "検索語句"},
    {Place::Guests, "guests", "訪問Ｎｏ", "訪問Ｎｏ"},
    {Place::Pages, "pages", "見たページ", "見たページ"},
    {Place::PageTime, "page-time", "ページのアクセス時間", "ページの時間"},
    {Place::MainCalendar, "calendar-main", "メインページのカレンダー", "メインページのカレンダー"},
    {Place::PageCalendar, "calendar-page", "ページのカレンダー", "ページのカレンダー"},
    {Place::Contents, "contents", "内容", "内容"},
    {Place::PageDays, "page-days", "ページ別アクセス日", "ページ別アクセス日"},
};

// Every place has its row, at the index of the place.
constexpr bool EveryPlaceAtItsIndex() {
    for (size_t i = 0; i < std::size(kPlaces); ++i) {
        if (static_cast<size_t>(kPlaces[i].place) != i) {
            return false;
        }
    }
    return std::size(kPlaces) == kPlaceCount;
}
static_assert(EveryPlaceAtItsIndex(), "kPlaces needs one row per Place, in the order of the places");

// The log's file name: the part after the last slash.
std::string_view FileName(std::string_view path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

void WriteHeader(HtmlText& page, std::string_view path, long long lines, const PageParts& parts) {
    page << "<header>\n<h1>アクセス解析：<span id=\"log-name\">";
    page.Escaped(FileName(path));
    page << "</span></h1>\n<dl class=\"summary\">\n<div><dt>ログファイル</dt><dd id=\"log-path\">";
    page.Escaped(path);
    page << "</dd></div>\n<div><dt>読んだ行</dt><dd id=\"lines-read\">" << Grouped{lines} << "</dd></div>\n";
    page << "<div class=\"wide\"><dt>期間</dt><dd id=\"period\">";
    const HtmlText* period = parts.FactText(Fact::Period);
    page << (period != nullptr && !period->empty() ? std::string_view(period->str()) : "—");
    page << "</dd></div>\n";
    for (const Fact fact : {Fact::Accesses, Fact::CheckErrors}) {
        if (const HtmlText* text = parts.FactText(fact)) {
            page << text->str();
        }
    }
    page << "</dl>\n";
    if (const HtmlText* findings = parts.FactText(Fact::CheckFindings)) {
        page << findings->str();
    }
    page << "</header>\n";
}

}  // namespace

std::string FormatHtmlReport(std::string_view logPath, long long lines, const std::vector<RowResult>& reports) {
    PageParts parts;
    WriteSections(parts, reports);
    const std::string path = PathToUtf8(logPath);
    HtmlText page;
    page << "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'; "
            "img-src data:\">\n<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
            "<meta name=\"generator\" content=\"Quorlet 3\">\n<title>アクセス解析 — ";
    page.Escaped(FileName(path));
    page << "</title>\n<style>" << kStyle << "</style>\n</head>\n<body>\n<main>\n";
    WriteHeader(page, path, lines, parts);
    page << "<nav aria-label=\"目次\">";
    for (const auto& [place, section] : parts.Sections()) {
        page << "<a href=\"#" << kPlaces[static_cast<size_t>(place)].id << "\">"
             << kPlaces[static_cast<size_t>(place)].nav << "</a>";
    }
    page << "</nav>\n";
    for (const auto& [place, section] : parts.Sections()) {
        const PlaceText& text = kPlaces[static_cast<size_t>(place)];
        page << "<section id=\"" << text.id << "\">\n<h2>" << text.heading << "</h2>\n";
        for (const auto& [key, part] : section) {
            page << part.str();
        }
        page << "</section>\n";
    }
    page << "</main>\n</body>\n</html>\n";
    return page.Take();
}

}  // namespace quorlet3
