// The sections of the HTML page, one writer per result type, and the tables and texts of
// the tallies, the shares and the check; the time and calendar sections have a file of their own.
#include "output/HtmlSections.h"

#include <algorithm>
#include <string>

#include "logstore/ReadingRules.h"
#include "output/Charts.h"
#include "output/HtmlTables.h"
#include "output/HtmlTimeSections.h"

namespace quorlet3 {
namespace {

// A two-column table of counted values (links or browser strings), in the report's order:
// the most frequent ones only when there are many.
void WriteTally(HtmlText& page, std::string_view id, std::string_view heading, std::string_view column,
                const ValueTallyResult& tally) {
    page << "<h3>" << heading << "</h3>\n<div class=\"scroll\"><table id=\"" << id << "\">\n<caption>合計 <span id=\""
         << id << "-total\">" << Grouped{tally.total} << "</span> 回、無名 " << Grouped{tally.nameless} << " 回、"
         << Grouped{static_cast<long long>(tally.rows.size())}
         << " 種類</caption>\n<thead><tr><th scope=\"col\" class=\"n\">回数</th><th scope=\"col\">" << column
         << "</th></tr></thead>\n<tbody>\n";
    const ShownRows shown = Largest(tally.rows, true);
    for (const size_t i : shown.rows) {
        page << "<tr><td class=\"n\">" << Grouped{tally.rows[i].count} << "</td><td class=\"t\">";
        page.LogText(tally.rows[i].value);
        page << "</td></tr>\n";
    }
    EndRows(page, shown, 2);
}

void WriteShare(HtmlText& page, const ShareResult& share) {
    const ShareCounters& c = share.counters;
    page << "<h3>シェア調査</h3>\n<p>ブラウザの記録 <strong id=\"share-total\">" << Grouped{share.lines}
         << "</strong> 回</p>\n";
    const ShareDrawing drawing = ComputeShareDrawing(c);
    if (c[kShareTotal] == 0 || drawing.swatches.size() < kShareClasses.size() + kShareFamilies.size()) {
        page << "<p class=\"note\" "
                "id=\"share-note\">ブラウザの記録（④の行）がないため、シェアの円グラフはありません。</p>\n";
        return;
    }
    PieLegend versions;
    for (const ShareClass& k : kShareClasses) {
        versions.colours.push_back(k.colour);
        versions.counts.push_back(c[static_cast<size_t>(k.counter)]);
    }
    versions.entries = LegendEntries(drawing.versionLegend);
    PieLegend families;
    for (const ShareFamilyClass& f : kShareFamilies) {
        families.colours.push_back(f.colour);
        families.counts.push_back(FamilyCount(c, f.family));
    }
    families.entries = LegendEntries(drawing.familyLegend);
    page << "<div class=\"pies\">\n";
    WritePie(page, "pie-version", "バージョン別シェア", drawing.versionPie, versions);
    WritePie(page, "pie-family", "系統別シェア", drawing.familyPie, families);
    page << "</div>\n";
    const ShareFamilies percents = ShareFamilyPercents(c);
    page << "<p>MSIE・NN 3.0 以上 " << percents.msieNn30Up << "%、MSIE 3.0 以上 " << percents.msie30Up << "%、Netscape "
         << percents.netscape << "%</p>\n";
}

// The check's findings, worded as in the check report, in a block that opens on demand.
void WriteCheckFindings(HtmlText& page, const FileCheckResult& check) {
    page << "<details id=\"check-findings\"><summary>ファイル検査の結果（エラー " << Grouped{check.Errors()}
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
        page << "<h3>" << heading << "（" << Grouped{static_cast<long long>(findings.size())} << "）</h3>\n<ul>\n";
        for (size_t i = 0; i < findings.size() && i < kShownRows; ++i) {
            each(findings[i]);
        }
        if (findings.size() > kShownRows) {
            page << "<li class=\"rest\">ほか " << Grouped{static_cast<long long>(findings.size() - kShownRows)}
                 << " 個</li>\n";
        }
        page << "</ul>\n";
    };
    group("訪問者Ｎｏ", check.guestNumberGaps, [&](const GuestNumberGap& gap) {
        page << "<li>" << gap.line << "行目　" << gap.previous << "番～" << gap.number << "番</li>\n";
    });
    group("⑥と⑦の不連続", check.pageRecordBreaks,
          [&](long long line) { page << "<li>" << line << "行目　⑥と⑦の不連続</li>\n"; });
    static constexpr std::string_view kCircled[] = {"①", "②", "③", "④", "⑤", "⑥", "⑦", "⑧"};
    group("①～⑤の不連続", check.mainRecordBreaks, [&](const MainRecordBreak& broken) {
        const int m = std::clamp(broken.marker, 1, 7);
        page << "<li>" << broken.line << "行目 " << kCircled[m - 1] << "と" << kCircled[m] << "の不連続</li>\n";
    });
    group("空欄", check.emptyLines, [&](long long line) { page << "<li>" << line << "行目 空欄</li>\n"; });
    page << "</details>\n";
}

// Writes each result type's parts into the page's places.
struct SectionWriter {
    PageParts& parts;
    const CommandRow* row;

    void operator()(const FileCheckResult& check) const {
        parts.Header(Fact::CheckErrors) << "<div><dt>検査のエラー</dt><dd id=\"check-errors\">"
                                        << Grouped{check.Errors()} << "</dd></div>\n";
        HtmlText& page = parts.Header(Fact::CheckFindings);
        MenuPath(page, row);
        WriteCheckFindings(page, check);
    }

    void operator()(const ContentsResult& contents) const {
        HtmlText& page = parts.Part(Place::Contents, 0);
        MenuPath(page, row);
        page << "<details><summary>記録ごとに 1 行（" << Grouped{static_cast<long long>(contents.rows.size())}
             << " 行）</summary>\n<pre>";
        // Decoded some 8 KB of rows at a time: a conversion per row costs more than the rest
        // of the page, and one of the whole listing would pass it through two large copies.
        std::string chunk;
        chunk.reserve(9000);
        for (const std::string& listed : contents.rows) {
            chunk += listed;
            chunk += '\n';
            if (chunk.size() >= 8192) {
                page.LogText(chunk);
                chunk.clear();
            }
        }
        page.LogText(chunk);
        page << "</pre>\n</details>\n";
    }

    void operator()(const ValueTallyResult& tally) const {
        const bool browsers = tally.field == TallyField::Browsers;
        HtmlText& page = parts.Part(browsers ? Place::Browsers : Place::Links, 1);
        MenuPath(page, row);
        if (browsers) {
            WriteTally(page, "browser-table", "ブラウザの内容", "ブラウザ", tally);
        } else {
            WriteTally(page, "link-table", "リンク元", "リンク元のアドレス", tally);
        }
    }

    // Hosts per domain class, each host once with its count, most frequent first (equal
    // counts keep the report's multibyte order); the most frequent ones only when there are many.
    void operator()(const HostsResult& hosts) const {
        HtmlText& page = parts.Part(Place::Hosts, 0);
        MenuPath(page, row);
        page << "<p>合計 <strong id=\"hosts-total\">" << Grouped{hosts.total} << "</strong> 回、無名 "
             << Grouped{hosts.nameless} << " 回</p>\n";
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
            page << "<div class=\"scroll\"><table class=\"hosts\">\n<caption>" << kDomainClassNames[k] << "："
                 << Grouped{accesses} << " 回、" << Grouped{static_cast<long long>(grouped.size())}
                 << " ホスト</caption>\n<thead><tr><th scope=\"col\" class=\"n\">回数</th><th "
                    "scope=\"col\">ホスト</th></tr></thead>\n<tbody>\n";
            const ShownRows shown = Largest(grouped, false);
            for (const size_t i : shown.rows) {
                page << "<tr><td class=\"n\">" << Grouped{grouped[i].count} << "</td><td class=\"t\">";
                page.LogText(grouped[i].value);
                page << "</td></tr>\n";
            }
            EndRows(page, shown, 2);
        }
    }

    // Equal queries as one row with their count, most frequent first (equal counts in order
    // of first appearance).
    void operator()(const KeywordsResult& queries) const {
        HtmlText& page = parts.Part(Place::Keywords, 0);
        MenuPath(page, row);
        long long total = 0;
        for (const long long count : queries.counts) {
            total += count;
        }
        page << "<p>検索語などの付いたリンク <strong id=\"keywords-total\">" << Grouped{total} << "</strong> 件</p>\n";
        if (!queries.distinct.empty()) {
            const ShownRows shown = Largest(
                queries.distinct.size(), [&](size_t g) { return queries.counts[g]; }, false);
            page << "<div class=\"scroll\"><table id=\"keyword-table\">\n<caption>"
                 << Grouped{static_cast<long long>(queries.distinct.size())}
                 << " 種類</caption>\n<thead><tr><th scope=\"col\" class=\"n\">回数</th><th "
                    "scope=\"col\">「?」以降</th></tr></thead>\n<tbody>\n";
            for (const size_t g : shown.rows) {
                page << "<tr><td class=\"n\">" << Grouped{queries.counts[g]} << "</td><td class=\"t\">";
                page.LogText(queries.distinct[g]);
                page << "</td></tr>\n";
            }
            EndRows(page, shown, 2);
        }
    }

    // Viewed pages: ranked with an inline bar per row; the name order folded away below.
    // Either shows the most viewed pages only when there are many.
    void operator()(const PagesResult& pages) const {
        if (!parts.Has(Place::Pages, 0)) {
            parts.Part(Place::Pages, 0) << "<p>合計 <strong id=\"pages-total\">" << Grouped{pages.total}
                                        << "</strong> 回</p>\n";
        }
        if (pages.order == PageOrder::Ranking) {
            HtmlText& page = parts.Part(Place::Pages, 1);
            MenuPath(page, row);
            const PagesResult& ranked = pages;
            const auto& rows = ranked.rows;
            long long max = 0;
            for (const ValueCount& v : rows) {
                max = std::max(max, v.count);
            }
            const ShownRows shown = Largest(rows, true);
            page << "<h3>ランキング</h3>\n<div class=\"scroll\"><table id=\"page-ranking\">\n<thead><tr><th "
                    "scope=\"col\" "
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
                page << "</td><td class=\"n\">" << Grouped{rows[i].count}
                     << "</td><td class=\"b\"><span class=\"hbar\" style=\"width:"
                     << Coord{max > 0 ? 100.0 * static_cast<double>(rows[i].count) / static_cast<double>(max) : 0.0}
                     << "%\"></span></td></tr>\n";
            }
            EndRows(page, shown, 4);
        } else {
            HtmlText& page = parts.Part(Place::Pages, 2);
            MenuPath(page, row);
            const PagesResult& byName = pages;
            page << "<details id=\"pages-by-name\"><summary>名前順（"
                 << Grouped{static_cast<long long>(byName.rows.size())}
                 << " ページ）</summary>\n<div class=\"scroll\"><table>\n<thead><tr><th scope=\"col\">ページ</th><th "
                    "scope=\"col\" class=\"n\">回数</th></tr></thead>\n<tbody>\n";
            const std::vector<ValueCount>& rows = byName.rows;
            const ShownRows shown = Largest(rows, true);
            for (const size_t i : shown.rows) {
                page << "<tr><td class=\"t\">";
                page.LogText(rows[i].value);
                page << "</td><td class=\"n\">" << Grouped{rows[i].count} << "</td></tr>\n";
            }
            EndRows(page, shown, 2);
            page << "</details>\n";
        }
    }

    void operator()(const TimeCountsResult& counts) const {
        HtmlText& page = parts.Part(counts.records == RecordKind::Main ? Place::MainTime : Place::PageTime,
                                    static_cast<int>(counts.grid));
        MenuPath(page, row);
        WriteTimeCounts(page, counts);
    }

    void operator()(const GuestNumbersResult& g) const {
        HtmlText& period = parts.Header(Fact::Period);
        if (g.found) {
            WriteTimeStamp(period, "period-first", g.firstTime);
            period << " ～ ";
            WriteTimeStamp(period, "period-last", g.lastTime);
        }
        parts.Header(Fact::Accesses) << "<div><dt>メインページのアクセス</dt><dd id=\"main-accesses\">"
                                     << Grouped{g.found ? g.MainGuests() : 0}
                                     << "</dd></div>\n<div><dt>ページのアクセス</dt><dd id=\"page-accesses\">"
                                     << Grouped{g.pageGuests} << "</dd></div>\n";
        HtmlText& page = parts.Part(Place::Guests, 0);
        MenuPath(page, row);
        if (!g.found) {
            page << "<p class=\"note\">訪問者Ｎｏが見つかりませんでした。</p>\n";
        } else {
            page << "<table id=\"guest-table\">\n<thead><tr><th scope=\"col\"></th><th scope=\"col\" "
                    "class=\"n\">訪問Ｎｏ</th>"
                    "<th scope=\"col\">日時</th></tr></thead>\n<tbody>\n<tr><th scope=\"row\">最初</th><td class=\"n\">"
                 << g.firstNumber << "</td><td>";
            WriteTimeStamp(page, "", g.firstTime);
            page << "</td></tr>\n<tr><th scope=\"row\">最後</th><td class=\"n\">" << g.lastNumber << "</td><td>";
            WriteTimeStamp(page, "", g.lastTime);
            page << "</td></tr>\n</tbody></table>\n";
        }
        page << "<table>\n<tbody><tr><th scope=\"row\">メイン訪問者</th><td class=\"n\">"
             << Grouped{g.found ? g.MainGuests() : 0}
             << "</td></tr>\n<tr><th scope=\"row\">ページ訪問者</th><td class=\"n\">" << Grouped{g.pageGuests}
             << "</td></tr></tbody></table>\n";
    }

    void operator()(const ShareResult& share) const {
        HtmlText& page = parts.Part(Place::Browsers, 0);
        MenuPath(page, row);
        WriteShare(page, share);
    }

    // Nothing: the pages section lists every page name with its count already.
    void operator()(const PageNamesResult&) const {}

    void operator()(const CalendarDatesResult& dates) const {
        HtmlText& page = parts.Part(CalendarPlace(dates.records), 0);
        MenuPath(page, row);
        WriteCalendarDates(page, dates);
    }

    void operator()(const CalendarMonthsResult& months) const {
        HtmlText& page = parts.Part(CalendarPlace(months.records), 1);
        MenuPath(page, row);
        WriteCalendarMonths(page, months);
    }

    void operator()(const WeekdaysResult& weekdays) const {
        HtmlText& page = parts.Part(CalendarPlace(weekdays.records), 2);
        MenuPath(page, row);
        WriteWeekdays(page, weekdays);
    }

    void operator()(const WeekHoursResult& weekHours) const {
        HtmlText& page = parts.Part(CalendarPlace(weekHours.records), 3);
        MenuPath(page, row);
        WriteWeekHours(page, weekHours);
    }

    // The search words, most frequent first, with the sites that sent them.
    void operator()(const PhrasesResult& phrases) const {
        HtmlText& page = parts.Part(Place::Phrases, 0);
        MenuPath(page, row);
        page << "<p>検索語句の付いたリンク <strong id=\"phrases-total\">" << Grouped{phrases.total} << "</strong> 件、"
             << Grouped{static_cast<long long>(phrases.rows.size())} << " 種類</p>\n";
        if (phrases.rows.empty()) {
            return;
        }
        const ShownRows shown = Largest(
            phrases.rows.size(), [&](size_t i) { return phrases.rows[i].count; }, true);
        page << "<div class=\"scroll\"><table id=\"phrase-table\">\n<thead><tr><th scope=\"col\" "
                "class=\"n\">回数</th><th scope=\"col\">検索語句</th><th scope=\"col\">検索サイト</th></tr></thead>\n"
                "<tbody>\n";
        for (const size_t i : shown.rows) {
            const PhraseRow& phrase = phrases.rows[i];
            page << "<tr><td class=\"n\">" << Grouped{phrase.count} << "</td><td class=\"t\">";
            page.Escaped(phrase.phrase);
            page << "</td><td class=\"t\">";
            for (size_t h = 0; h < phrase.hosts.size(); ++h) {
                page << (h == 0 ? "" : ", ");
                page.LogText(phrase.hosts[h]);
            }
            page << "</td></tr>\n";
        }
        EndRows(page, shown, 3);
    }

    // The days of the month one page was viewed on, as a bar chart.
    void operator()(const PageDaysResult& days) const {
        HtmlText& page = parts.Part(Place::PageDays, 0);
        MenuPath(page, row);
        page << "<h3>";
        page.LogText(days.page);
        page << "</h3>\n";
        BarChart chart{"page-days-chart", "日付別アクセス", "日", "日付（日）", {}, {}, days.total, {}, 0, {}};
        for (int day = 1; day <= kDays; ++day) {
            chart.labels.push_back(std::to_string(day));
            chart.values.push_back(days.days[static_cast<size_t>(day - 1)]);
        }
        WriteBarChart(page, chart);
    }
};

}  // namespace

void WriteSections(PageParts& parts, const std::vector<RowResult>& reports) {
    for (const RowResult& report : reports) {
        std::visit(SectionWriter{parts, report.row}, report.result);
    }
}

}  // namespace quorlet3
