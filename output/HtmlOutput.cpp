// The HTML report: header, time charts, heat maps, share pies and tables, written into
// one reserved string. Everything the page needs is inline; the Content-Security-Policy
// forbids every remote load and every script.
#include "output/HtmlOutput.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>
#include <numeric>

#include "platform/Cp932.h"
#include "share/ShareDrawing.h"

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
figure{margin:.4em 0 1.2em}
figcaption{font-size:.9em;color:var(--muted)}
svg.chart{width:100%;height:auto;display:block}
svg text{fill:var(--fg);font-size:11px}
svg .val{font-size:9px;text-anchor:middle}
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
pre{white-space:pre-wrap;overflow-wrap:anywhere;font-size:.85em}
@media (max-width:600px){main{padding:10px}body{font-size:14px}td.t{max-width:none}figure{overflow-x:auto}svg.chart{min-width:560px}}
@media print{:root{--bg:#fff;--fg:#000;--muted:#333;--card:#fff;--line:#999;--grid:#ccc}
body{font-size:10.5pt}main{max-width:none;padding:0}nav{display:none}
figure,table,dl.summary{break-inside:avoid}h2,h3{break-after:avoid}details{border:none;padding:0}}
)css";

// The page under construction: one string, appended to in order.
class Page {
public:
    explicit Page(size_t reserve) { m_out.reserve(reserve); }

    Page& operator<<(std::string_view raw) {
        m_out.append(raw);
        return *this;
    }
    Page& operator<<(char c) {
        m_out.push_back(c);
        return *this;
    }
    Page& operator<<(int value) { return *this << static_cast<long long>(value); }
    Page& operator<<(long long value) {
        char text[24];
        const auto end = std::to_chars(text, text + sizeof text, value).ptr;
        m_out.append(text, end);
        return *this;
    }
    // A coordinate: at most two decimals.
    void Fixed(double value) {
        char text[32];
        const auto end = std::to_chars(text, text + sizeof text, std::round(value * 100) / 100).ptr;
        m_out.append(text, end);
    }

    // UTF-8 text, escaped for element content and quoted attribute values alike.
    // C0 controls other than tab and line feed become U+FFFD (they are not text).
    void Escaped(std::string_view utf8) {
        size_t plain = 0;
        for (size_t i = 0; i < utf8.size(); ++i) {
            const char c = utf8[i];
            std::string_view replacement;
            switch (c) {
                case '&':
                    replacement = "&amp;";
                    break;
                case '<':
                    replacement = "&lt;";
                    break;
                case '>':
                    replacement = "&gt;";
                    break;
                case '"':
                    replacement = "&quot;";
                    break;
                case '\'':
                    replacement = "&#39;";
                    break;
                default:
                    if ((static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') || c == '\x7f') {
                        replacement = "\xEF\xBF\xBD";
                    } else {
                        continue;
                    }
            }
            m_out.append(utf8.substr(plain, i - plain));
            m_out.append(replacement);
            plain = i + 1;
        }
        m_out.append(utf8.substr(plain));
    }

    // Text from the log (cp932), decoded and escaped. ASCII needs no decoding.
    void LogText(std::string_view cp932) {
        const bool ascii = std::all_of(cp932.begin(), cp932.end(), [](char c) { return (c & 0x80) == 0; });
        if (ascii) {
            Escaped(cp932);
        } else {
            Escaped(DecodeCp932ToUtf8(cp932));
        }
    }

    std::string Take() { return std::move(m_out); }

private:
    std::string m_out;
};

// The results of one run, picked out of the list by type and argument.
struct Reports {
    const FileCheckResult* check = nullptr;
    const ContentsResult* contents = nullptr;
    const ValueTallyResult* links = nullptr;
    const ValueTallyResult* browsers = nullptr;
    const HostsResult* hosts = nullptr;
    const KeywordsResult* keywords = nullptr;
    const PagesResult* pagesByName = nullptr;
    const PagesResult* pagesRanked = nullptr;
    const TimeCountsResult* time[2][3] = {};  // [main, page][hourly, daily, day-hour]
    const GuestNumbersResult* guests = nullptr;
    const ShareResult* share = nullptr;
    // The command-table row each result came from (for the menu path shown), by result address.
    std::vector<std::pair<const void*, const CommandRow*>> rows;

    const CommandRow* RowOf(const void* result) const {
        for (const auto& [address, row] : rows) {
            if (address == result) {
                return row;
            }
        }
        return nullptr;
    }
};

Reports Pick(const std::vector<RowResult>& list) {
    Reports r;
    for (const RowResult& item : list) {
        const void* address = std::visit([](const auto& result) -> const void* { return &result; }, item.result);
        r.rows.emplace_back(address, item.row);
        if (const auto* check = std::get_if<FileCheckResult>(&item.result)) {
            r.check = check;
        } else if (const auto* contents = std::get_if<ContentsResult>(&item.result)) {
            r.contents = contents;
        } else if (const auto* tally = std::get_if<ValueTallyResult>(&item.result)) {
            (tally->field == TallyField::Browsers ? r.browsers : r.links) = tally;
        } else if (const auto* hosts = std::get_if<HostsResult>(&item.result)) {
            r.hosts = hosts;
        } else if (const auto* keywords = std::get_if<KeywordsResult>(&item.result)) {
            r.keywords = keywords;
        } else if (const auto* pages = std::get_if<PagesResult>(&item.result)) {
            (pages->order == PageOrder::Ranking ? r.pagesRanked : r.pagesByName) = pages;
        } else if (const auto* counts = std::get_if<TimeCountsResult>(&item.result)) {
            r.time[counts->records == RecordKind::Main ? 0 : 1][static_cast<int>(counts->grid)] = counts;
        } else if (const auto* guests = std::get_if<GuestNumbersResult>(&item.result)) {
            r.guests = guests;
        } else if (const auto* share = std::get_if<ShareResult>(&item.result)) {
            r.share = share;
        }
    }
    return r;
}

// A long table shows this many rows at most, so that the page stays small over any log.
constexpr size_t kShownRows = 100;

// The rows a table shows out of n: the kShownRows largest counts, equal counts in the
// table's order (the order of the indices), and what the rows left out hold.
struct ShownRows {
    std::vector<size_t> rows;  // indices, largest count first, or ascending with inTableOrder
    long long restRows = 0;
    long long restAccesses = 0;
};

template <typename CountOf>
ShownRows Largest(size_t n, CountOf countOf, bool inTableOrder) {
    ShownRows shown;
    shown.rows.resize(n);
    std::iota(shown.rows.begin(), shown.rows.end(), size_t{0});
    auto before = [&countOf](size_t a, size_t b) {
        const long long ca = countOf(a);
        const long long cb = countOf(b);
        return ca != cb ? ca > cb : a < b;
    };
    if (n > kShownRows) {
        std::nth_element(shown.rows.begin(), shown.rows.begin() + kShownRows, shown.rows.end(), before);
        for (auto rest = shown.rows.begin() + kShownRows; rest != shown.rows.end(); ++rest) {
            shown.restAccesses += countOf(*rest);
        }
        shown.restRows = static_cast<long long>(n - kShownRows);
        shown.rows.resize(kShownRows);
    }
    if (inTableOrder) {
        std::sort(shown.rows.begin(), shown.rows.end());
    } else {
        std::sort(shown.rows.begin(), shown.rows.end(), before);
    }
    return shown;
}

ShownRows Largest(const std::vector<ValueCount>& rows, bool inTableOrder) {
    return Largest(
        rows.size(), [&rows](size_t i) { return rows[i].count; }, inTableOrder);
}

// Closes the body of a table and, when rows were left out, adds the line that counts them.
void EndRows(Page& page, const ShownRows& shown, int columns) {
    page << "</tbody>";
    if (shown.restRows > 0) {
        page << "\n<tfoot><tr class=\"rest\"><td colspan=\"" << columns << "\">ほか " << shown.restRows << " 行（"
             << shown.restAccesses << " 回）</td></tr></tfoot>";
    }
    page << "</table></div>\n";
}

// The menu path of a row as "メイン調査 › 時間 › 時間帯": mnemonics "(&X)" and "&" left out.
void MenuPath(Page& page, const CommandRow* row) {
    if (row == nullptr || row->menuPath[0] == nullptr) {
        return;
    }
    page << "<p class=\"menu\">";
    bool first = true;
    for (const char* item : row->menuPath) {
        if (item == nullptr) {
            break;
        }
        std::string text = DecodeCp932ToUtf8(item);
        const size_t open = text.find("(&");
        if (open != std::string::npos) {
            text.erase(open);
        }
        std::erase(text, '&');
        page << (first ? "" : " › ");
        page.Escaped(text);
        first = false;
    }
    page << "</p>\n";
}

// The value at index i of a grid, 0 past its end (a result without cells draws empty).
int Cell(const TimeCountsResult& result, size_t i) { return i < result.counts.size() ? result.counts[i] : 0; }

// The top of a value axis and its tick step: 1, 2 or 5 times a power of ten, at most 5 ticks.
std::pair<int, int> AxisTop(int max) {
    if (max <= 0) {
        return {1, 1};
    }
    long long step = 1;
    for (;;) {
        for (int factor : {1, 2, 5}) {
            const long long s = step * factor;
            if ((max + s - 1) / s <= 5) {
                return {static_cast<int>((max + s - 1) / s * s), static_cast<int>(s)};
            }
        }
        step *= 10;
    }
}

struct BarChart {
    std::string_view id;     // the svg's id; the total's element is id + "-total"
    std::string_view title;  // heading
    std::string_view unit;   // the cell unit after its number: "時" or "日"
    int first;               // number of the first cell: 0 hours, 1 days
    std::vector<int> values;
    int total;
};

// A vertical bar chart with a value axis, a label under every bar, the count above it
// and as its tooltip, and a text alternative listing every count.
void WriteBarChart(Page& page, const BarChart& chart) {
    const int n = static_cast<int>(chart.values.size());
    const int slot = n <= 24 ? 30 : 23;
    const int left = 44;
    const int top = 26;
    const int plot = 180;
    const int width = left + n * slot + 12;
    const int height = top + plot + 36;
    const int max = n == 0 ? 0 : *std::max_element(chart.values.begin(), chart.values.end());
    const auto [axisTop, step] = AxisTop(max);
    int busiest = 0;
    for (int i = 1; i < n; ++i) {
        busiest = chart.values[static_cast<size_t>(i)] > chart.values[static_cast<size_t>(busiest)] ? i : busiest;
    }

    page << "<figure>\n<figcaption>" << chart.title << "　合計 <strong id=\"" << chart.id << "-total\">" << chart.total
         << "</strong> 回</figcaption>\n";
    page << "<svg class=\"chart\" id=\"" << chart.id << "\" viewBox=\"0 0 " << width << ' ' << height
         << "\" role=\"img\" aria-labelledby=\"" << chart.id << "-t " << chart.id << "-d\">\n";
    page << "<title id=\"" << chart.id << "-t\">" << chart.title << "</title>\n<desc id=\"" << chart.id << "-d\">合計 "
         << chart.total << " 回";
    if (max > 0) {
        page << "、最多 " << chart.first + busiest << chart.unit << "（" << max << " 回）";
    }
    page << "。";
    for (int i = 0; i < n; ++i) {
        page << (i == 0 ? "" : "、") << chart.first + i << chart.unit << ' ' << chart.values[static_cast<size_t>(i)];
    }
    page << "</desc>\n";
    for (int tick = 0; tick <= axisTop; tick += step) {
        const double y = top + plot - static_cast<double>(plot) * tick / axisTop;
        page << "<line class=\"grid\" x1=\"" << left << "\" x2=\"" << width - 8 << "\" y1=\"";
        page.Fixed(y);
        page << "\" y2=\"";
        page.Fixed(y);
        page << "\"/><text class=\"ay\" x=\"" << left - 5 << "\" y=\"";
        page.Fixed(y + 4);
        page << "\">" << tick << "</text>\n";
    }
    page << "<text class=\"ay\" x=\"" << left - 5 << "\" y=\"" << top - 14 << "\">回</text>\n";
    for (int i = 0; i < n; ++i) {
        const int value = chart.values[static_cast<size_t>(i)];
        const double h = static_cast<double>(plot) * value / axisTop;
        const int x = left + i * slot + 3;
        page << "<rect class=\"bar\" x=\"" << x << "\" y=\"";
        page.Fixed(top + plot - h);
        page << "\" width=\"" << slot - 6 << "\" height=\"";
        page.Fixed(h);
        page << "\"><title>" << chart.first + i << chart.unit << ": " << value << " 回</title></rect>";
        if (value > 0) {
            page << "<text class=\"val\" x=\"" << x + (slot - 6) / 2 << "\" y=\"";
            page.Fixed(top + plot - h - 3);
            page << "\">" << value << "</text>";
        }
        page << "<text class=\"ax\" x=\"" << x + (slot - 6) / 2 << "\" y=\"" << top + plot + 15 << "\">"
             << chart.first + i << "</text>\n";
    }
    page << "<line class=\"axis\" x1=\"" << left << "\" x2=\"" << width - 8 << "\" y1=\"" << top + plot << "\" y2=\""
         << top + plot << "\"/>\n";
    page << "<text class=\"ax\" x=\"" << left + n * slot / 2 << "\" y=\"" << height - 3 << "\">"
         << (chart.first == 0 ? "時刻（時）" : "日付（日）") << "</text>\n</svg>\n</figure>\n";
}

// The colour level of a count: 0 for none, else its fifth of the busiest cell's count,
// rounded up (1 to 5; the busiest cell is always 5).
int Level(int value, int max) { return value <= 0 || max <= 0 ? 0 : static_cast<int>((value * 5LL + max - 1) / max); }

// The day-and-hour grid as a heat map: days across, hours down, one cell each
// (744 in all); empty cells are outlined only. A legend gives each level's range.
void WriteHeatMap(Page& page, std::string_view id, std::string_view title, const TimeCountsResult& result) {
    const int cell = 20;
    const int left = 40;
    const int top = 18;
    const int width = left + kDays * cell + 4;
    const int height = top + kHours * cell + 22;
    int max = 0;
    int busy = 0;
    for (size_t i = 0; i < size_t{kDays} * kHours; ++i) {
        max = std::max(max, Cell(result, i));
        busy += Cell(result, i) > 0 ? 1 : 0;
    }
    page << "<figure>\n<figcaption>" << title << "　合計 <strong id=\"" << id << "-total\">" << result.total
         << "</strong> 回</figcaption>\n";
    page << "<svg class=\"chart\" id=\"" << id << "\" viewBox=\"0 0 " << width << ' ' << height
         << "\" role=\"img\" aria-labelledby=\"" << id << "-t " << id << "-d\">\n<title id=\"" << id << "-t\">" << title
         << "</title>\n<desc id=\"" << id << "-d\">日付（横、1～31日）と時刻（縦、0～23時）ごとのアクセス数。合計 "
         << result.total << " 回、アクセスのあった枠 " << busy << "、1 枠の最多 " << max << " 回。</desc>\n";
    for (int day = 1; day <= kDays; ++day) {
        page << "<text class=\"ax\" x=\"" << left + (day - 1) * cell + cell / 2 << "\" y=\"" << top - 5 << "\">" << day
             << "</text>";
    }
    page << '\n';
    for (int hour = 0; hour < kHours; ++hour) {
        page << "<text class=\"ay\" x=\"" << left - 5 << "\" y=\"" << top + hour * cell + 14 << "\">" << hour
             << "時</text>\n";
        for (int day = 1; day <= kDays; ++day) {
            const int value = Cell(result, static_cast<size_t>(day - 1) * kHours + static_cast<size_t>(hour));
            page << "<rect class=\"cell l" << Level(value, max) << "\" x=\"" << left + (day - 1) * cell + 1 << "\" y=\""
                 << top + hour * cell + 1 << "\" width=\"18\" height=\"18\"><title>" << day << "日 " << hour
                 << "時: " << value << "</title></rect>";
        }
        page << '\n';
    }
    page << "<text class=\"ax\" x=\"" << left + kDays * cell / 2 << "\" y=\"" << height - 4 << "\">日付（日）</text>\n";
    page << "</svg>\n<ul class=\"legend\" aria-label=\"色の目安\"><li><span class=\"sw l0\"></span>0</li>";
    // Each level's range of counts, from the level formula.
    int from = 1;
    for (int level = 1; level <= 5 && max > 0; ++level) {
        int to = from;
        while (to < max && Level(to + 1, max) == level) {
            ++to;
        }
        if (Level(from, max) == level) {
            page << "<li><span class=\"sw l" << level << "\"></span>" << from;
            if (to > from) {
                page << "～" << to;
            }
            page << "</li>";
            from = to + 1;
        }
    }
    page << "</ul>\n</figure>\n";
}

// The time charts of main-page (0) or page (1) records.
void WriteTimeSection(Page& page, const Reports& r, int which) {
    const TimeCountsResult* hourly = r.time[which][0];
    const TimeCountsResult* daily = r.time[which][1];
    const TimeCountsResult* detail = r.time[which][2];
    if (hourly == nullptr && daily == nullptr && detail == nullptr) {
        return;
    }
    const bool main = which == 0;
    page << "<section id=\"" << (main ? "main-time" : "page-time") << "\">\n<h2>"
         << (main ? "メインページのアクセス時間" : "ページのアクセス時間") << "</h2>\n";
    const std::string_view records = main ? "メインページ" : "ページ";
    std::string title;
    if (hourly != nullptr) {
        MenuPath(page, r.RowOf(hourly));
        title = std::string("時間帯別アクセス（") + std::string(records) + "）";
        BarChart chart{main ? "hourly-main" : "hourly-page", title, "時", 0, {}, hourly->total};
        for (size_t i = 0; i < kHours; ++i) {
            chart.values.push_back(Cell(*hourly, i));
        }
        WriteBarChart(page, chart);
    }
    if (daily != nullptr) {
        MenuPath(page, r.RowOf(daily));
        title = std::string("日付別アクセス（") + std::string(records) + "）";
        BarChart chart{main ? "daily-main" : "daily-page", title, "日", 1, {}, daily->total};
        for (size_t i = 0; i < kDays; ++i) {
            chart.values.push_back(Cell(*daily, i));
        }
        WriteBarChart(page, chart);
    }
    if (detail != nullptr) {
        MenuPath(page, r.RowOf(detail));
        title = std::string("日付と時刻の詳細（") + std::string(records) + "）";
        WriteHeatMap(page, main ? "detail-main" : "detail-page", title, *detail);
    }
    page << "</section>\n";
}

std::string Colour(const Rgb& c) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text = "#";
    for (int v : {c.red, c.green, c.blue}) {
        text += kHex[(v >> 4) & 15];
        text += kHex[v & 15];
    }
    return text;
}

// Legend entries of the share drawing: its cp932 text split at the blank lines.
std::vector<std::string> LegendEntries(const std::string& legend) {
    const std::string utf8 = CrLfToLf(DecodeCp932ToUtf8(legend));
    std::vector<std::string> entries;
    size_t start = 0;
    while (start < utf8.size()) {
        const size_t end = std::min(utf8.find("\n\n", start), utf8.size());
        std::string entry = utf8.substr(start, end - start);
        std::replace(entry.begin(), entry.end(), '\t', ' ');
        if (!entry.empty()) {
            entries.push_back(std::move(entry));
        }
        start = end + 2;
    }
    return entries;
}

// One pie of the share drawing, its sectors exactly as the dialog paints them, and its
// legend: swatch, the drawing's legend text and the count behind it.
void WritePie(Page& page, std::string_view id, std::string_view title, const Pie& pie,
              const std::vector<Swatch>& swatches, const std::vector<std::string>& entries,
              const std::vector<int>& counts) {
    const double cx = (pie.left + pie.right) / 2.0;
    const double cy = (pie.top + pie.bottom) / 2.0;
    const double r = (pie.right - pie.left) / 2.0;
    auto entryOf = [&](const Rgb& colour) -> size_t {
        for (size_t k = 0; k < swatches.size(); ++k) {
            if (swatches[k].colour == colour) {
                return k;
            }
        }
        return swatches.size();
    };
    std::string alternative(title);
    for (size_t k = 0; k < entries.size(); ++k) {
        alternative += (k == 0 ? "：" : "、") + entries[k];
    }
    page << "<figure>\n<svg class=\"pie\" id=\"" << id << "\" viewBox=\"" << pie.left - 4 << ' ' << pie.top - 4 << ' '
         << pie.right - pie.left + 8 << ' ' << pie.bottom - pie.top + 8 << "\" role=\"img\" aria-label=\"";
    page.Escaped(alternative);
    page << "\">\n<title>" << title << "</title>\n";
    for (const PieSector& s : pie.sectors) {
        const size_t k = entryOf(s.colour);
        if (s.span >= 2.0 * std::numbers::pi - 1e-9) {
            page << "<circle cx=\"";
            page.Fixed(cx);
            page << "\" cy=\"";
            page.Fixed(cy);
            page << "\" r=\"";
            page.Fixed(r);
        } else {
            const double end = s.start + s.span;
            page << "<path d=\"M";
            page.Fixed(cx);
            page << ' ';
            page.Fixed(cy);
            page << 'L';
            page.Fixed(cx + r * std::sin(s.start));
            page << ' ';
            page.Fixed(cy - r * std::cos(s.start));
            page << 'A';
            page.Fixed(r);
            page << ' ';
            page.Fixed(r);
            page << " 0 " << (s.span > std::numbers::pi ? 1 : 0) << " 1 ";
            page.Fixed(cx + r * std::sin(end));
            page << ' ';
            page.Fixed(cy - r * std::cos(end));
            page << 'Z';
        }
        page << "\" fill=\"" << Colour(s.colour) << "\">";
        if (k < entries.size()) {
            page << "<title>";
            page.Escaped(entries[k]);
            page << " (" << counts[k] << " 回)</title>";
        }
        page << (s.span >= 2.0 * std::numbers::pi - 1e-9 ? "</circle>\n" : "</path>\n");
    }
    page << "</svg>\n<figcaption>" << title << "</figcaption>\n<ul class=\"legend\">";
    for (size_t k = 0; k < entries.size() && k < swatches.size(); ++k) {
        page << "<li><span class=\"sw\" style=\"background:" << Colour(swatches[k].colour) << "\"></span>";
        page.Escaped(entries[k]);
        page << "（" << counts[k] << " 回）</li>";
    }
    page << "</ul>\n</figure>\n";
}

void WriteShare(Page& page, const Reports& r) {
    const ShareCounters& c = r.share->counters;
    MenuPath(page, r.RowOf(r.share));
    page << "<h3>シェア調査</h3>\n<p>ブラウザの記録 <strong id=\"share-total\">" << r.share->lines
         << "</strong> 回</p>\n";
    const ShareDrawing drawing = ComputeShareDrawing(c);
    if (c[kShareTotal] == 0 || drawing.swatches.size() < 10) {
        page << "<p class=\"note\" "
                "id=\"share-note\">ブラウザの記録（④の行）がないため、シェアの円グラフはありません。</p>\n";
        return;
    }
    const std::vector<Swatch> versionSwatches(drawing.swatches.begin(), drawing.swatches.begin() + 7);
    const std::vector<Swatch> familySwatches(drawing.swatches.begin() + 7, drawing.swatches.end());
    const std::vector<int> versionCounts = {c[kShareMsie20], c[kShareMsie30], c[kShareMsie40], c[kShareNn20],
                                            c[kShareNn30],   c[kShareNn40],   c[kShareOther]};
    const std::vector<int> familyCounts = {c[kShareMsie20] + c[kShareMsie30] + c[kShareMsie40],
                                           c[kShareNn20] + c[kShareNn30] + c[kShareNn40], c[kShareOther]};
    page << "<div class=\"pies\">\n";
    WritePie(page, "pie-version", "バージョン別シェア", drawing.versionPie, versionSwatches,
             LegendEntries(drawing.versionLegend), versionCounts);
    WritePie(page, "pie-family", "系統別シェア", drawing.familyPie, familySwatches, LegendEntries(drawing.familyLegend),
             familyCounts);
    page << "</div>\n";
    const ShareFamilies families = ShareFamilyPercents(c);
    page << "<p>MSIE・NN 3.0 以上 " << families.msieNn30Up << "%、MSIE 3.0 以上 " << families.msie30Up << "%、Netscape "
         << families.netscape << "%</p>\n";
}

// A two-column table of counted values (links or browser strings), in the report's order:
// the most frequent ones only when there are many.
void WriteTally(Page& page, std::string_view id, std::string_view heading, std::string_view column,
                const ValueTallyResult& tally, const CommandRow* row) {
    MenuPath(page, row);
    page << "<h3>" << heading << "</h3>\n<div class=\"scroll\"><table id=\"" << id << "\">\n<caption>合計 <span id=\""
         << id << "-total\">" << tally.total << "</span> 回、無名 " << tally.nameless << " 回、"
         << static_cast<int>(tally.rows.size())
         << " 種類</caption>\n<thead><tr><th scope=\"col\" class=\"n\">回数</th><th scope=\"col\">" << column
         << "</th></tr></thead>\n<tbody>\n";
    const ShownRows shown = Largest(tally.rows, true);
    for (const size_t i : shown.rows) {
        page << "<tr><td class=\"n\">" << tally.rows[i].count << "</td><td class=\"t\">";
        page.LogText(tally.rows[i].value);
        page << "</td></tr>\n";
    }
    EndRows(page, shown, 2);
}

// Hosts per domain class, each host once with its count, most frequent first (equal
// counts keep the report's multibyte order); the most frequent ones only when there are many.
void WriteHosts(Page& page, const Reports& r) {
    const HostsResult& hosts = *r.hosts;
    page << "<section id=\"hosts\">\n<h2>ホスト</h2>\n";
    MenuPath(page, r.RowOf(r.hosts));
    page << "<p>合計 <strong id=\"hosts-total\">" << hosts.total << "</strong> 回、無名 " << hosts.nameless
         << " 回</p>\n";
    for (size_t k = 0; k < hosts.classes.size(); ++k) {
        const std::vector<ValueCount>& grouped = hosts.classes[k];
        long long accesses = 0;
        for (const ValueCount& host : grouped) {
            accesses += host.count;
        }
        page << "<h3>" << kDomainClassNames[k] << "</h3>\n";
        if (grouped.empty()) {
            page << "<p class=\"note\">なし</p>\n";
            continue;
        }
        page << "<div class=\"scroll\"><table class=\"hosts\">\n<caption>" << kDomainClassNames[k] << "：" << accesses
             << " 回、" << static_cast<int>(grouped.size())
             << " ホスト</caption>\n<thead><tr><th scope=\"col\" class=\"n\">回数</th><th "
                "scope=\"col\">ホスト</th></tr></thead>\n<tbody>\n";
        const ShownRows shown = Largest(grouped, false);
        for (const size_t i : shown.rows) {
            page << "<tr><td class=\"n\">" << grouped[i].count << "</td><td class=\"t\">";
            page.LogText(grouped[i].value);
            page << "</td></tr>\n";
        }
        EndRows(page, shown, 2);
    }
    page << "</section>\n";
}

// Equal queries as one row with their count, most frequent first (equal counts in order
// of first appearance).
void WriteKeywords(Page& page, const Reports& r) {
    page << "<section id=\"keywords\">\n<h2>キーワード</h2>\n";
    MenuPath(page, r.RowOf(r.keywords));
    const KeywordsResult& queries = *r.keywords;
    page << "<p>検索語などの付いたリンク <strong id=\"keywords-total\">" << static_cast<long long>(queries.size())
         << "</strong> 件</p>\n";
    if (!queries.empty()) {
        std::vector<int> counts(queries.distinct.size(), 0);
        std::vector<std::uint32_t> firstSeen;  // distinct indices in order of first appearance
        for (const std::uint32_t index : queries.order) {
            if (counts[index]++ == 0) {
                firstSeen.push_back(index);
            }
        }
        const ShownRows shown = Largest(
            firstSeen.size(), [&](size_t g) { return counts[firstSeen[g]]; }, false);
        page << "<div class=\"scroll\"><table id=\"keyword-table\">\n<caption>"
             << static_cast<long long>(firstSeen.size())
             << " 種類</caption>\n<thead><tr><th scope=\"col\" class=\"n\">回数</th><th "
                "scope=\"col\">「?」以降</th></tr></thead>\n<tbody>\n";
        for (const size_t g : shown.rows) {
            page << "<tr><td class=\"n\">" << counts[firstSeen[g]] << "</td><td class=\"t\">";
            page.LogText(queries.distinct[firstSeen[g]]);
            page << "</td></tr>\n";
        }
        EndRows(page, shown, 2);
    }
    page << "</section>\n";
}

// Viewed pages: ranked with an inline bar per row; the name order folded away below.
// Either shows the most viewed pages only when there are many.
void WritePages(Page& page, const Reports& r) {
    page << "<section id=\"pages\">\n<h2>見たページ</h2>\n";
    const PagesResult* any = r.pagesRanked != nullptr ? r.pagesRanked : r.pagesByName;
    page << "<p>合計 <strong id=\"pages-total\">" << any->total << "</strong> 回</p>\n";
    if (r.pagesRanked != nullptr) {
        const auto& rows = r.pagesRanked->rows;
        MenuPath(page, r.RowOf(r.pagesRanked));
        int max = 0;
        for (const ValueCount& v : rows) {
            max = std::max(max, v.count);
        }
        const ShownRows shown = Largest(rows, true);
        page << "<h3>ランキング</h3>\n<div class=\"scroll\"><table id=\"page-ranking\">\n<thead><tr><th scope=\"col\" "
                "class=\"n\">順位</th><th scope=\"col\">ページ</th><th scope=\"col\" class=\"n\">回数</th><th "
                "scope=\"col\">割合</th></tr></thead>\n<tbody>\n";
        int rank = 0;
        auto next = shown.rows.begin();
        for (size_t i = 0; i < rows.size() && next != shown.rows.end(); ++i) {
            // Equal counts share a rank; the next count ranks after all of them.
            if (i == 0 || rows[i].count != rows[i - 1].count) {
                rank = static_cast<int>(i) + 1;
            }
            if (i != *next) {
                continue;
            }
            ++next;
            page << "<tr><td class=\"n\">" << rank << "</td><td class=\"t\">";
            page.LogText(rows[i].value);
            page << "</td><td class=\"n\">" << rows[i].count
                 << "</td><td class=\"b\"><span class=\"hbar\" style=\"width:";
            page.Fixed(max > 0 ? 100.0 * rows[i].count / max : 0.0);
            page << "%\"></span></td></tr>\n";
        }
        EndRows(page, shown, 4);
    }
    if (r.pagesByName != nullptr) {
        MenuPath(page, r.RowOf(r.pagesByName));
        page << "<details id=\"pages-by-name\"><summary>名前順（" << static_cast<int>(r.pagesByName->rows.size())
             << " ページ）</summary>\n<div class=\"scroll\"><table>\n<thead><tr><th scope=\"col\">ページ</th><th "
                "scope=\"col\" class=\"n\">回数</th></tr></thead>\n<tbody>\n";
        const std::vector<ValueCount>& rows = r.pagesByName->rows;
        const ShownRows shown = Largest(rows, true);
        for (const size_t i : shown.rows) {
            page << "<tr><td class=\"t\">";
            page.LogText(rows[i].value);
            page << "</td><td class=\"n\">" << rows[i].count << "</td></tr>\n";
        }
        EndRows(page, shown, 2);
        page << "</details>\n";
    }
    page << "</section>\n";
}

void WriteGuests(Page& page, const Reports& r) {
    const GuestNumbersResult& g = *r.guests;
    page << "<section id=\"guests\">\n<h2>訪問Ｎｏ</h2>\n";
    MenuPath(page, r.RowOf(r.guests));
    if (!g.found) {
        page << "<p class=\"note\">訪問者Ｎｏが見つかりませんでした。</p>\n";
    } else {
        page << "<table id=\"guest-table\">\n<thead><tr><th scope=\"col\"></th><th scope=\"col\" "
                "class=\"n\">訪問Ｎｏ</th>"
                "<th scope=\"col\">日時</th></tr></thead>\n<tbody>\n<tr><th scope=\"row\">最初</th><td class=\"n\">"
             << g.firstNumber << "</td><td>";
        page.LogText(g.firstTime);
        page << "</td></tr>\n<tr><th scope=\"row\">最後</th><td class=\"n\">" << g.lastNumber << "</td><td>";
        page.LogText(g.lastTime);
        page << "</td></tr>\n</tbody></table>\n";
    }
    page << "<table>\n<tbody><tr><th scope=\"row\">メイン訪問者</th><td class=\"n\">" << (g.found ? g.MainGuests() : 0)
         << "</td></tr>\n<tr><th scope=\"row\">ページ訪問者</th><td class=\"n\">" << g.pageGuests
         << "</td></tr></tbody></table>\n</section>\n";
}

// The check's findings, worded as in the check report, in a block that opens on demand.
void WriteCheckFindings(Page& page, const FileCheckResult& check) {
    page << "<details id=\"check-findings\"><summary>ファイル検査の結果（エラー " << check.Errors()
         << " 個）</summary>\n";
    if (check.Errors() == 0) {
        page << "<p>エラーはありませんでした。</p>\n";
    }
    if (check.blank) {
        page << "<p>このファイルは空白です。(データがありません。)</p>\n";
    }
    // Each group lists its first kShownRows findings; a broken whole log may hold millions.
    auto group = [&page](std::string_view heading, const auto& findings, auto&& each) {
        if (findings.empty()) {
            return;
        }
        page << "<h3>" << heading << "（" << static_cast<long long>(findings.size()) << "）</h3>\n<ul>\n";
        for (size_t i = 0; i < findings.size() && i < kShownRows; ++i) {
            each(findings[i]);
        }
        if (findings.size() > kShownRows) {
            page << "<li class=\"rest\">ほか " << static_cast<long long>(findings.size() - kShownRows) << " 個</li>\n";
        }
        page << "</ul>\n";
    };
    group("訪問者Ｎｏ", check.guestNumberGaps, [&](const GuestNumberGap& gap) {
        page << "<li>" << gap.line << "行目　" << gap.previous << "番～" << gap.number << "番</li>\n";
    });
    group("⑥と⑦の不連続", check.pageRecordBreaks,
          [&](int line) { page << "<li>" << line << "行目　⑥と⑦の不連続</li>\n"; });
    static constexpr std::string_view kCircled[] = {"①", "②", "③", "④", "⑤", "⑥", "⑦", "⑧"};
    group("①～⑤の不連続", check.mainRecordBreaks, [&](const MainRecordBreak& broken) {
        const int m = std::clamp(broken.marker, 1, 7);
        page << "<li>" << broken.line << "行目 " << kCircled[m - 1] << "と" << kCircled[m] << "の不連続</li>\n";
    });
    group("空欄", check.emptyLines, [&](int line) { page << "<li>" << line << "行目 空欄</li>\n"; });
    page << "</details>\n";
}

// The log's file name: the part after the last slash.
std::string_view FileName(std::string_view path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

void WriteHeader(Page& page, std::string_view path, int lines, const Reports& r) {
    page << "<header>\n<h1>アクセス解析：<span id=\"log-name\">";
    page.Escaped(FileName(path));
    page << "</span></h1>\n<dl class=\"summary\">\n<div><dt>ログファイル</dt><dd id=\"log-path\">";
    page.Escaped(path);
    page << "</dd></div>\n<div><dt>読んだ行</dt><dd id=\"lines-read\">" << lines << "</dd></div>\n";
    page << "<div class=\"wide\"><dt>期間</dt><dd id=\"period\">";
    if (r.guests != nullptr && r.guests->found) {
        page << "<span id=\"period-first\">";
        page.LogText(r.guests->firstTime);
        page << "</span> ～ <span id=\"period-last\">";
        page.LogText(r.guests->lastTime);
        page << "</span>";
    } else {
        page << "—";
    }
    page << "</dd></div>\n";
    if (r.guests != nullptr) {
        page << "<div><dt>メインページのアクセス</dt><dd id=\"main-accesses\">"
             << (r.guests->found ? r.guests->MainGuests() : 0) << "</dd></div>\n<div><dt>ページのアクセス</dt><dd "
             << "id=\"page-accesses\">" << r.guests->pageGuests << "</dd></div>\n";
    }
    if (r.check != nullptr) {
        page << "<div><dt>検査のエラー</dt><dd id=\"check-errors\">" << r.check->Errors() << "</dd></div>\n";
    }
    page << "</dl>\n";
    if (r.check != nullptr) {
        MenuPath(page, r.RowOf(r.check));
        WriteCheckFindings(page, *r.check);
    }
    page << "</header>\n";
}

void WriteNav(Page& page, const Reports& r) {
    page << "<nav aria-label=\"目次\">";
    if (r.time[0][0] != nullptr || r.time[0][1] != nullptr || r.time[0][2] != nullptr) {
        page << "<a href=\"#main-time\">メインページの時間</a>";
    }
    if (r.share != nullptr || r.browsers != nullptr) {
        page << "<a href=\"#browsers\">ブラウザ</a>";
    }
    if (r.links != nullptr) {
        page << "<a href=\"#links\">リンク</a>";
    }
    if (r.hosts != nullptr) {
        page << "<a href=\"#hosts\">ホスト</a>";
    }
    if (r.keywords != nullptr) {
        page << "<a href=\"#keywords\">キーワード</a>";
    }
    if (r.guests != nullptr) {
        page << "<a href=\"#guests\">訪問Ｎｏ</a>";
    }
    if (r.pagesRanked != nullptr || r.pagesByName != nullptr) {
        page << "<a href=\"#pages\">見たページ</a>";
    }
    if (r.time[1][0] != nullptr || r.time[1][1] != nullptr || r.time[1][2] != nullptr) {
        page << "<a href=\"#page-time\">ページの時間</a>";
    }
    if (r.contents != nullptr) {
        page << "<a href=\"#contents\">内容</a>";
    }
    page << "</nav>\n";
}

// Bytes of the contents listing with a line end per row.
size_t EstimatedContents(const ContentsResult& contents) {
    size_t bytes = 0;
    for (const std::string& row : contents.rows) {
        bytes += row.size() + 1;
    }
    return bytes;
}

// Rows a table of n rows writes: the rows shown and the line for the rest.
size_t Shown(size_t n) { return std::min(n, kShownRows) + 1; }

// Room for the page: the fixed part plus a rough size per row of every table; only the
// contents listing (a store's, never a whole log's) grows with the log.
size_t EstimatedSize(const Reports& r) {
    size_t size = 200000;
    auto rows = [](const auto* result, auto&& count) { return result == nullptr ? size_t{0} : count(*result); };
    size += 80 * rows(r.links, [](const ValueTallyResult& t) { return Shown(t.rows.size()); });
    size += 80 * rows(r.browsers, [](const ValueTallyResult& t) { return Shown(t.rows.size()); });
    size += 60 * rows(r.pagesByName, [](const PagesResult& p) { return Shown(p.rows.size()); });
    size += 120 * rows(r.pagesRanked, [](const PagesResult& p) { return Shown(p.rows.size()); });
    size += 80 * rows(r.keywords, [](const KeywordsResult& k) { return Shown(k.distinct.size()); });
    size += 60 * rows(r.hosts, [](const HostsResult& h) {
                size_t n = 0;
                for (const std::vector<ValueCount>& hosts : h.classes) {
                    n += Shown(hosts.size());
                }
                return n;
            });
    size += 40 * rows(r.check, [](const FileCheckResult& c) {
                return Shown(c.guestNumberGaps.size()) + Shown(c.pageRecordBreaks.size()) +
                       Shown(c.mainRecordBreaks.size()) + Shown(c.emptyLines.size());
            });
    size += rows(r.contents, [](const ContentsResult& c) { return EstimatedContents(c) * 3 / 2; });
    return size;
}

}  // namespace

std::string FormatHtmlReport(std::string_view logPath, int lines, const std::vector<RowResult>& reports) {
    const Reports r = Pick(reports);
    const std::string path = PathToUtf8(logPath);
    Page page(EstimatedSize(r));
    page << "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'; "
            "img-src data:\">\n<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
            "<meta name=\"generator\" content=\"Quorlet 3\">\n<title>アクセス解析 — ";
    page.Escaped(FileName(path));
    page << "</title>\n<style>" << kStyle << "</style>\n</head>\n<body>\n<main>\n";
    WriteHeader(page, path, lines, r);
    WriteNav(page, r);

    WriteTimeSection(page, r, 0);
    if (r.share != nullptr || r.browsers != nullptr) {
        page << "<section id=\"browsers\">\n<h2>ブラウザ</h2>\n";
        if (r.share != nullptr) {
            WriteShare(page, r);
        }
        if (r.browsers != nullptr) {
            WriteTally(page, "browser-table", "ブラウザの内容", "ブラウザ", *r.browsers, r.RowOf(r.browsers));
        }
        page << "</section>\n";
    }
    if (r.links != nullptr) {
        page << "<section id=\"links\">\n<h2>リンク</h2>\n";
        WriteTally(page, "link-table", "リンク元", "リンク元のアドレス", *r.links, r.RowOf(r.links));
        page << "</section>\n";
    }
    if (r.hosts != nullptr) {
        WriteHosts(page, r);
    }
    if (r.keywords != nullptr) {
        WriteKeywords(page, r);
    }
    if (r.guests != nullptr) {
        WriteGuests(page, r);
    }
    if (r.pagesRanked != nullptr || r.pagesByName != nullptr) {
        WritePages(page, r);
    }
    WriteTimeSection(page, r, 1);
    if (r.contents != nullptr) {
        page << "<section id=\"contents\">\n<h2>内容</h2>\n";
        MenuPath(page, r.RowOf(r.contents));
        page << "<details><summary>記録ごとに 1 行（" << static_cast<int>(r.contents->rows.size())
             << " 行）</summary>\n<pre>";
        // Decoded some 8 KB of rows at a time: a conversion per row costs more than the rest
        // of the page, and one of the whole listing would pass it through two large copies.
        std::string chunk;
        chunk.reserve(9000);
        for (const std::string& row : r.contents->rows) {
            chunk += row;
            chunk += '\n';
            if (chunk.size() >= 8192) {
                page.LogText(chunk);
                chunk.clear();
            }
        }
        page.LogText(chunk);
        page << "</pre>\n</details>\n</section>\n";
    }
    page << "</main>\n</body>\n</html>\n";
    return page.Take();
}

}  // namespace quorlet3
