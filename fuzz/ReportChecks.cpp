// The log harness's report checks: each report row's result against the report computed
// directly, what its result holds, its formats, and the questions and page names around it.
#include <algorithm>
#include <functional>
#include <map>
#include <numeric>

#include "encoding/Cp932.h"
#include "encoding/MultibyteOrder.h"
#include "fuzz/LogChecks.h"
#include "logstore/ReadingRules.h"
#include "output/ShareSvg.h"
#include "reports/ReportRun.h"

namespace quorlet3::fuzz {
namespace {

// ---- Reports -----------------------------------------------------------------------

// The page name list: distinct names in strictly ascending multibyte order, then
// only empty strings (if any); every name appears as a page line of the walk.
Broken CheckPageNames(std::span<const std::string> pages, const LineStore& store) {
    size_t used = 0;
    while (used < pages.size() && !pages[used].empty()) {
        ++used;
    }
    for (size_t k = used; k < pages.size(); ++k) {
        if (!pages[k].empty()) {
            return "page names: a name after an empty slot";
        }
    }
    for (size_t k = 1; k < used; ++k) {
        if (CompareMultibyte(pages[k - 1], pages[k]) >= 0) {
            return "page names: not strictly ascending at " + std::to_string(k);
        }
    }
    std::vector<std::string_view> seen;
    Walk(store, [&](int, const std::string& line) {
        if (HasMarker(line, kMarker6) && line.size() > 2) {
            seen.push_back(Content(line));
        }
    });
    std::sort(seen.begin(), seen.end());
    seen.erase(std::unique(seen.begin(), seen.end()), seen.end());
    const size_t expected = std::min(seen.size(), static_cast<size_t>(kPageNameSlots));
    if (used != expected) {
        return "page names: " + std::to_string(used) + " listed, " + std::to_string(expected) + " expected";
    }
    for (size_t k = 0; k < used; ++k) {
        if (!std::binary_search(seen.begin(), seen.end(), std::string_view(pages[k]))) {
            return "page names: a listed name is no page of the log";
        }
    }
    return {};
}

// The share counters: seven class counts that add up to the total, which is the
// number of browser lines in the walk.
Broken CheckShare(const ShareCounters& share, const LineStore& store) {
    long long lines = 0;
    Walk(store, [&](int, const std::string& line) { lines += HasMarker(line, kMarker4) ? 1 : 0; });
    long long sum = 0;
    for (int k = 0; k < kShareTotal; ++k) {
        if (share[static_cast<size_t>(k)] < 0) {
            return "share: a negative count";
        }
        sum += share[static_cast<size_t>(k)];
    }
    if (sum != share[kShareTotal] || share[kShareTotal] != lines) {
        return "share: counts do not add up to the browser lines";
    }
    return {};
}

// What must hold for a typed result whatever the log.
Broken CheckResult(const ReportResult& result, const CQuorlet3Doc& doc) {
    if (const auto* counts = std::get_if<TimeCountsResult>(&result)) {
        const size_t cells = counts->grid == TimeGrid::Hourly  ? kHours
                             : counts->grid == TimeGrid::Daily ? kDays
                                                               : kDays * kHours;
        if (counts->counts.size() != cells) {
            return "time counts: " + std::to_string(counts->counts.size()) + " cells";
        }
        if (std::accumulate(counts->counts.begin(), counts->counts.end(), 0LL) != counts->total) {
            return "time counts: the cells do not add up to the total";
        }
    } else if (const auto* days = std::get_if<PageDaysResult>(&result)) {
        if (std::accumulate(days->days.begin(), days->days.end(), 0LL) != days->total) {
            return "page days: the days do not add up to the total";
        }
    } else if (const auto* share = std::get_if<ShareResult>(&result)) {
        return CheckShare(share->counters, doc.Store());
    } else if (const auto* names = std::get_if<PageNamesResult>(&result)) {
        return CheckPageNames(names->names, doc.Store());
    }
    return {};
}

// A time report's text, computed directly.
std::string TimeText(const LineStore& store, TimeGrid grid, RecordKind records) {
    return FormatTimeCountsText(ComputeTimeCounts(store, grid, records));
}

// The report each row stands for, computed directly row by row, so that a row wired
// to another accumulator or argument shows up as a difference.
std::optional<std::string> DirectText(const CommandRow& row, const LineStore& store, const std::string& page) {
    using Direct = std::string (*)(const LineStore& store, const std::string& page);
    static const std::map<std::string, Direct, std::less<>> kDirect = {
        {"check", [](const LineStore& s, const std::string&) { return FormatFileCheckText(ComputeFileCheck(s)); }},
        {"contents", [](const LineStore& s, const std::string&) { return FormatContentsText(ComputeContents(s)); }},
        {"links", [](const LineStore& s,
                     const std::string&) { return FormatValueTallyText(ComputeValueTally(s, TallyField::Links)); }},
        {"browsers",
         [](const LineStore& s, const std::string&) {
             return FormatValueTallyText(ComputeValueTally(s, TallyField::Browsers));
         }},
        {"hosts", [](const LineStore& s, const std::string&) { return FormatHostsText(ComputeHosts(s)); }},
        {"keywords", [](const LineStore& s, const std::string&) { return FormatKeywordsText(ComputeKeywords(s)); }},
        {"pages name",
         [](const LineStore& s, const std::string&) { return FormatPagesText(ComputePages(s, PageOrder::Name)); }},
        {"pages ranking",
         [](const LineStore& s, const std::string&) { return FormatPagesText(ComputePages(s, PageOrder::Ranking)); }},
        {"hourly main",
         [](const LineStore& s, const std::string&) { return TimeText(s, TimeGrid::Hourly, RecordKind::Main); }},
        {"hourly page",
         [](const LineStore& s, const std::string&) { return TimeText(s, TimeGrid::Hourly, RecordKind::Page); }},
        {"daily main",
         [](const LineStore& s, const std::string&) { return TimeText(s, TimeGrid::Daily, RecordKind::Main); }},
        {"daily page",
         [](const LineStore& s, const std::string&) { return TimeText(s, TimeGrid::Daily, RecordKind::Page); }},
        {"detail main",
         [](const LineStore& s, const std::string&) { return TimeText(s, TimeGrid::DayHour, RecordKind::Main); }},
        {"detail page",
         [](const LineStore& s, const std::string&) { return TimeText(s, TimeGrid::DayHour, RecordKind::Page); }},
        {"guests",
         [](const LineStore& s, const std::string&) { return FormatGuestNumbersText(ComputeGuestNumbers(s)); }},
        {"share",
         [](const LineStore& s, const std::string&) {
             ShareCounters counters{};
             const ShareResult share = ComputeShare(s);
             AddShare(counters, share);
             return FormatShareText(share.lines, counters);
         }},
        {"page-days PAGE",
         [](const LineStore& s, const std::string& p) { return FormatPageDaysText(ComputePageDays(s, p)); }},
        {"page-names",
         [](const LineStore& s, const std::string&) {
             PageNameList names;
             FillPageNameList(ComputePageNames(s), names);
             return FormatPageNamesText(names);
         }},
        {"dates main",
         [](const LineStore& s, const std::string&) {
             return FormatCalendarDatesText(ComputeCalendarDates(s, RecordKind::Main));
         }},
        {"dates page",
         [](const LineStore& s, const std::string&) {
             return FormatCalendarDatesText(ComputeCalendarDates(s, RecordKind::Page));
         }},
        {"months main",
         [](const LineStore& s, const std::string&) {
             return FormatCalendarMonthsText(ComputeCalendarMonths(s, RecordKind::Main));
         }},
        {"months page",
         [](const LineStore& s, const std::string&) {
             return FormatCalendarMonthsText(ComputeCalendarMonths(s, RecordKind::Page));
         }},
        {"weekdays main", [](const LineStore& s,
                             const std::string&) { return FormatWeekdaysText(ComputeWeekdays(s, RecordKind::Main)); }},
        {"weekdays page", [](const LineStore& s,
                             const std::string&) { return FormatWeekdaysText(ComputeWeekdays(s, RecordKind::Page)); }},
        {"weekhours main",
         [](const LineStore& s, const std::string&) {
             return FormatWeekHoursText(ComputeWeekHours(s, RecordKind::Main));
         }},
        {"weekhours page",
         [](const LineStore& s, const std::string&) {
             return FormatWeekHoursText(ComputeWeekHours(s, RecordKind::Page));
         }},
        {"phrases", [](const LineStore& s, const std::string&) { return FormatPhrasesText(ComputePhrases(s)); }},
    };
    std::string words = row.cliName;
    if (row.cliArgument != nullptr) {
        words.append(" ").append(row.cliArgument);
    }
    const auto direct = kDirect.find(words);
    if (direct == kDirect.end()) {
        return std::nullopt;
    }
    return direct->second(store, page);
}

// A report through its typed result: the text equals the report computed directly, the
// result holds what it must, and every output format is well-formed.
Broken CheckRow(const CommandRow& row, const CQuorlet3Doc& doc, const std::string& page) {
    const ReportResult result = RunRow(row, doc.Store(), page);
    const std::optional<std::string> expected = DirectText(row, doc.Store(), page);
    if (!expected) {
        return "the harness knows no direct computation for the row of " + std::string(row.cliName);
    }
    if (FormatText(result) != *expected) {
        return std::string(row.cliName) + ": the text of the row's result is not the report computed directly";
    }
    if (Broken broken = CheckResult(result, doc); !broken.empty()) {
        return broken;
    }
    for (const ReportOutput& output : kReportOutputs) {
        if (Broken broken = output.check(row, result); !broken.empty()) {
            return broken;
        }
    }
    return {};
}

// Answers every question of the contents listing the same way and counts them.
class FixedAnswers : public IQuestionBox {
public:
    explicit FixedAnswers(bool answer) : m_answer(answer) {}
    bool AskOkCancel(std::string_view textCp932, QuestionIcon, DefaultButton) override {
        ++m_asked;
        m_emptyText = m_emptyText || textCp932.empty();
        return m_answer;
    }
    int m_asked = 0;
    bool m_emptyText = false;

private:
    bool m_answer;
};

// A page name taken straight from the input: its first line (any bytes, NUL and CR
// included), at most 64 bytes.
std::string NameFromInput(std::string_view bytes) {
    return std::string(bytes.substr(0, std::min(bytes.find('\n'), std::min<size_t>(bytes.size(), 64))));
}

}  // namespace

// The size question before the listing: one question with text for a store of 1000 lines
// or more, none for a shorter one; its answer is the outcome, and without a box the
// listing always goes on.
Broken CheckContentsQuestions(Context& c) {
    const int lines = WalkLength(c.doc.Store());
    const int expected = lines >= 1000 ? 1 : 0;
    for (const bool answer : {true, false}) {
        FixedAnswers box(answer);
        const bool goOn = AskToListLongLog(&box, lines);
        if (box.m_asked != expected || box.m_emptyText) {
            return "contents: asked " + std::to_string(box.m_asked) + " questions, " + std::to_string(expected) +
                   " expected, or one without text";
        }
        if (goOn != (answer || expected == 0)) {
            return "contents: the outcome is not the answer to the size question";
        }
    }
    if (!AskToListLongLog(nullptr, lines)) {
        return "contents: without a question box the listing did not go on";
    }
    return {};
}

// The page names the per-page report is run for: the first, middle and last listed
// page, one taken from the input, and none.
std::vector<std::string> PagesToAsk(const CQuorlet3Doc& doc, std::string_view bytes) {
    PageNameList pages;
    FillPageNameList(ComputePageNames(doc.Store()), pages);
    size_t used = 0;
    while (used < pages.size() && !pages[used].empty()) {
        ++used;
    }
    std::vector<std::string> asked;
    if (used > 0) {
        asked = {pages[0], pages[used / 2], pages[used - 1]};
    }
    asked.push_back(NameFromInput(bytes));
    asked.emplace_back();
    return asked;
}

// A page name typed as UTF-8 finds the listed page that reads the same, or every one
// when several do.
Broken CheckResolvedPages(Context& c) {
    for (size_t k = 0; k + 2 < c.Pages().size(); ++k) {
        const std::string utf8 = LogTextToUtf8(c.Pages()[k]);
        const PageByText resolved = ResolvePageName(c.doc.Store(), utf8);
        if (std::find(resolved.readingSo.begin(), resolved.readingSo.end(), c.Pages()[k]) == resolved.readingSo.end()) {
            return "page name: the UTF-8 form of a listed page does not find it";
        }
        for (const std::string& page : resolved.readingSo) {
            if (LogTextToUtf8(page) != utf8) {
                return "page name: a page found by its UTF-8 form reads differently";
            }
        }
    }
    return {};
}

Broken CheckShareSvg(Context& c) {
    ShareCounters share{};
    AddShare(share, ComputeShare(c.doc.Store()));
    if (ShareSvg(share).find("</svg>") == std::string::npos) {
        return "svg: the share picture is not closed";
    }
    return {};
}

// One walk for every report gives each row the result it gets walking alone.
Broken CheckOneWalk(Context& c) {
    const std::vector<const CommandRow*> rows = AllReportRows();
    const std::vector<RowResult> together = RunRows(rows, c.doc.Store());
    for (size_t k = 0; k < rows.size(); ++k) {
        if (together[k].row != rows[k] || FormatText(together[k].result) != ReportText(*rows[k], c.doc.Store())) {
            return std::string(rows[k]->cliName) + ": the shared walk gives another result than its own walk";
        }
    }
    return {};
}

Broken CheckLogOutputs(Context& c, const LogOutput& output) {
    return output.check(RunRows(AllReportRows(), c.doc.Store()), WalkLength(c.doc.Store()));
}

Broken CheckReportRow(Context& c, const CommandRow& row) {
    for (const std::string& page : TakesPage(row) ? c.Pages() : std::vector<std::string>{std::string()}) {
        if (Broken broken = CheckRow(row, c.doc, page); !broken.empty()) {
            return broken;
        }
    }
    return {};
}

}  // namespace quorlet3::fuzz
