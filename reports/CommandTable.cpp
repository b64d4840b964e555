// The report table, in the order of the main menu.
#include "reports/CommandTable.h"

namespace quorlet3 {
namespace {

std::unique_ptr<ReportAccumulator> FileCheck(const ReportRequest&) {
    return MakeReportAccumulator(FileCheckAccumulator());
}
std::unique_ptr<ReportAccumulator> Contents(const ReportRequest&) {
    return MakeReportAccumulator(ContentsAccumulator());
}
std::unique_ptr<ReportAccumulator> Tally(const ReportRequest& r) {
    return MakeReportAccumulator(ValueTallyAccumulator(std::get<TallyField>(r.argument), r.limits));
}
std::unique_ptr<ReportAccumulator> Hosts(const ReportRequest& r) {
    return MakeReportAccumulator(HostsAccumulator(r.limits));
}
std::unique_ptr<ReportAccumulator> Keywords(const ReportRequest& r) {
    return MakeReportAccumulator(KeywordsAccumulator(r.limits));
}
std::unique_ptr<ReportAccumulator> Pages(const ReportRequest& r) {
    return MakeReportAccumulator(PagesAccumulator(std::get<PageOrder>(r.argument), r.limits));
}
template <TimeGrid grid>
std::unique_ptr<ReportAccumulator> Times(const ReportRequest& r) {
    return MakeReportAccumulator(TimeCountsAccumulator(grid, std::get<RecordKind>(r.argument), r.limits));
}
std::unique_ptr<ReportAccumulator> GuestNumbers(const ReportRequest&) {
    return MakeReportAccumulator(GuestNumbersAccumulator());
}
std::unique_ptr<ReportAccumulator> Share(const ReportRequest&) { return MakeReportAccumulator(ShareAccumulator()); }
std::unique_ptr<ReportAccumulator> PageNames(const ReportRequest& r) {
    return MakeReportAccumulator(PageNamesAccumulator(r.limits));
}
std::unique_ptr<ReportAccumulator> PageDays(const ReportRequest& r) {
    return MakeReportAccumulator(PageDaysAccumulator(r.page, r.limits));
}
// The calendar reports: an accumulator of the row's records.
template <class Calendar>
std::unique_ptr<ReportAccumulator> OfRecords(const ReportRequest& r) {
    return MakeReportAccumulator(Calendar(std::get<RecordKind>(r.argument)));
}
constexpr auto Dates = OfRecords<DatesAccumulator>;
constexpr auto Months = OfRecords<MonthsAccumulator>;
constexpr auto Weekdays = OfRecords<WeekdaysAccumulator>;
constexpr auto WeekHours = OfRecords<WeekHoursAccumulator>;
std::unique_ptr<ReportAccumulator> Phrases(const ReportRequest&) { return MakeReportAccumulator(PhrasesAccumulator()); }
constexpr auto Hourly = Times<TimeGrid::Hourly>;
constexpr auto Daily = Times<TimeGrid::Daily>;
constexpr auto DayHour = Times<TimeGrid::DayHour>;

constexpr const char* kPageWord = "PAGE";

// The window's menus as the HTML page names them.
constexpr const char* kFile = "ﾌｧｲﾙ";
constexpr const char* kMain = "メイン調査";
constexpr const char* kTime = "時間";
constexpr const char* kPage = "ページ調査";
constexpr const char* kCalendar = "カレンダー";

using N = ReportNature;
// clang-format off
const CommandRow kRows[] = {
    {FileCheck, {}, "check", nullptr, "file check", {kFile, "検査"}, N::FileCheck},
    {Contents, {}, "contents", nullptr, "compact listing, one line per record", {kFile, "内容を見る"}, N::Listing},
    {Tally, TallyField::Links, "links", nullptr, "referring addresses with counts", {kMain, "リンク"}},
    {Hosts, {}, "hosts", nullptr, "hosts by domain class", {kMain, "ホスト"}},
    {Tally, TallyField::Browsers, "browsers", nullptr, "browser strings with counts", {kMain, "ブラウザ", "内容"}},
    {Share, {}, "share", nullptr, "browser share", {kMain, "ブラウザ", "シェア調査"}},
    {Daily, RecordKind::Main, "daily", "main", "main-page counts by day of the month", {kMain, kTime, "日付"}},
    {Hourly, RecordKind::Main, "hourly", "main", "main-page counts by hour", {kMain, kTime, "時間帯"}},
    {DayHour, RecordKind::Main, "detail", "main", "main-page counts by day and hour", {kMain, kTime, "詳細"}},
    {GuestNumbers, {}, "guests", nullptr, "first and last guest numbers", {kMain, "訪問Ｎｏ"}},
    {Keywords, {}, "keywords", nullptr, "query parts of referring addresses", {kMain, "キーワード"}},
    {Pages, PageOrder::Name, "pages", "name", "viewed pages by name", {kPage, "見たページ", "名前順"}},
    {Pages, PageOrder::Ranking, "pages", "ranking", "viewed pages by count", {kPage, "見たページ", "ランキング"}},
    {Daily, RecordKind::Page, "daily", "page", "page counts by day of the month", {kPage, kTime, "日付"}},
    {Hourly, RecordKind::Page, "hourly", "page", "page counts by hour", {kPage, kTime, "時間帯"}},
    {DayHour, RecordKind::Page, "detail", "page", "page counts by day and hour", {kPage, kTime, "詳細"}},
    {PageDays, {}, "page-days", kPageWord, "days on which PAGE was viewed", {kPage, "ページ別アクセス日"}},
    // The page picker's list, for scripts; the window shows it only inside the picker.
    {PageNames, {}, "page-names", nullptr, "the distinct page names, one a line", {}},
    {Dates, RecordKind::Main, "dates", "main", "main-page accesses per calendar date, days without any included",
     {kCalendar, "メインページ", "日付別"}},
    {Months, RecordKind::Main, "months", "main", "main-page accesses per month", {kCalendar, "メインページ", "月別"}},
    {Weekdays, RecordKind::Main, "weekdays", "main", "main-page accesses per weekday, Sunday first",
     {kCalendar, "メインページ", "曜日別"}},
    {WeekHours, RecordKind::Main, "weekhours", "main", "main-page accesses per weekday and hour",
     {kCalendar, "メインページ", "曜日と時刻"}},
    {Dates, RecordKind::Page, "dates", "page", "page accesses per calendar date, days without any included",
     {kCalendar, "ページ", "日付別"}},
    {Months, RecordKind::Page, "months", "page", "page accesses per month", {kCalendar, "ページ", "月別"}},
    {Weekdays, RecordKind::Page, "weekdays", "page", "page accesses per weekday, Sunday first",
     {kCalendar, "ページ", "曜日別"}},
    {WeekHours, RecordKind::Page, "weekhours", "page", "page accesses per weekday and hour",
     {kCalendar, "ページ", "曜日と時刻"}},
    {Phrases, {}, "phrases", nullptr, "decoded search words of referring addresses, with their search hosts",
     {kCalendar, "検索語句"}},
};
// clang-format on

bool SameWord(const char* word, std::string_view text) { return word != nullptr && text == word; }

}  // namespace

std::span<const CommandRow> CommandTable() { return kRows; }

bool TakesPage(const CommandRow& row) { return row.cliArgument == kPageWord; }

const CommandRow* FindCliCommand(std::span<const CommandRow> table, std::string_view name, std::string_view argument) {
    for (const CommandRow& row : table) {
        if (!SameWord(row.cliName, name)) {
            continue;
        }
        if (TakesPage(row) || (row.cliArgument == nullptr ? argument.empty() : SameWord(row.cliArgument, argument))) {
            return &row;
        }
    }
    return nullptr;
}

const CommandRow* FindCliCommand(std::string_view name, std::string_view argument) {
    return FindCliCommand(CommandTable(), name, argument);
}

std::vector<const CommandRow*> AllReportRows(std::span<const CommandRow> table) {
    std::vector<const CommandRow*> rows;
    for (const CommandRow& row : table) {
        if (!TakesPage(row)) {
            rows.push_back(&row);
        }
    }
    return rows;
}

std::vector<const CommandRow*> AllReportRows() { return AllReportRows(CommandTable()); }

std::unique_ptr<ReportAccumulator> StartRow(const CommandRow& row, std::string_view page, TableLimits limits) {
    return row.start(ReportRequest{row.argument, page, limits});
}

RowRun::RowRun(std::span<const CommandRow* const> rows, std::string_view page, TableLimits limits)
    : m_rows(rows.begin(), rows.end()) {
    for (const CommandRow* row : m_rows) {
        m_accumulators.push_back(StartRow(*row, page, limits));
        m_walkers.push_back(m_accumulators.back().get());
    }
}

std::vector<RowResult> RowRun::Finish(const WalkEnd& end) {
    std::vector<RowResult> results;
    results.reserve(m_rows.size());
    for (size_t i = 0; i < m_rows.size(); ++i) {
        results.push_back({m_rows[i], m_accumulators[i]->Finish(end)});
    }
    return results;
}

std::vector<RowResult> RunRows(std::span<const CommandRow* const> rows, const LineStore& store, TableLimits limits) {
    RowRun run(rows, {}, limits);
    return run.Finish(RunOverStore(store, run.Accumulators()));
}

ReportResult RunRow(const CommandRow& row, const LineStore& store, std::string_view page) {
    const CommandRow* const one[] = {&row};
    RowRun run(one, page);
    return std::move(run.Finish(RunOverStore(store, run.Accumulators())).front().result);
}

std::string ReportText(const CommandRow& row, const LineStore& store, std::string_view page) {
    return FormatText(RunRow(row, store, page));
}

}  // namespace quorlet3
