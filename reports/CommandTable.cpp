// The command table, in the order of the main menu.
#include "reports/CommandTable.h"

#include <algorithm>
#include <stdexcept>

#include "encoding/Cp932Literal.h"

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

constexpr const char* kFile = "ﾌｧｲﾙ(&F)"_sj;
constexpr const char* kMain = "メイン調査(&A)"_sj;
constexpr const char* kBrowser = "ブラウザ(&B)"_sj;
constexpr const char* kTime = "時間(&T)"_sj;
constexpr const char* kPage = "ページ調査(&B)"_sj;
constexpr const char* kViewed = "見たページ(&L)"_sj;
constexpr const char* kHelp = "ﾍﾙﾌﾟ(&H)"_sj;
constexpr const char* kCalendar = "カレンダー(&C)"_sj;
constexpr const char* kCalendarMain = "メインページ(&M)"_sj;
constexpr const char* kCalendarPage = "ページ(&P)"_sj;
constexpr const char* kPageWord = "PAGE";

using K = CommandKind;
// clang-format off
const CommandRow kRows[] = {
    {kIdSpecifyFile, {kFile, "ファイルを指定する(&O)"_sj}, K::SpecifyFile, nullptr, {}, nullptr, nullptr, nullptr},
    {kIdCheckFile, {kFile, "検査(&C)"_sj}, K::Report, FileCheck, {}, "check", nullptr, "file check"},
    {kIdViewContents, {kFile, "内容を見る(&L)"_sj}, K::ViewContents, Contents, {}, "contents", nullptr,
     "compact listing, one line per record"},
    {0, {kFile, nullptr}, K::Separator, nullptr, {}, nullptr, nullptr, nullptr},
    {kIdAppExit, {kFile, "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"_sj}, K::Exit, nullptr, {}, nullptr, nullptr, nullptr},
    {kIdLink, {kMain, "リンク(&L)"_sj}, K::Report, Tally, TallyField::Links, "links", nullptr, "referring addresses with counts"},
    {kIdHost, {kMain, "ホスト(&H)"_sj}, K::Report, Hosts, {}, "hosts", nullptr, "hosts by domain class"},
    {kIdBrowser, {kMain, kBrowser, "内容(&C)"_sj}, K::Report, Tally, TallyField::Browsers, "browsers", nullptr,
     "browser strings with counts"},
    {kIdShare, {kMain, kBrowser, "シェア調査(&S)"_sj}, K::Share, Share, {}, "share", nullptr, "browser share"},
    {kIdMainDate, {kMain, kTime, "日付(&D)"_sj}, K::Report, Daily, RecordKind::Main, "daily", "main",
     "main-page counts by day of the month"},
    {kIdMainHour, {kMain, kTime, "時間帯(&T)"_sj}, K::Report, Hourly, RecordKind::Main, "hourly", "main", "main-page counts by hour"},
    {kIdMainDetail, {kMain, kTime, "詳細(&K)"_sj}, K::Report, DayHour, RecordKind::Main, "detail", "main",
     "main-page counts by day and hour"},
    {kIdGuestNumber, {kMain, "訪問Ｎｏ(&N)"_sj}, K::Report, GuestNumbers, {}, "guests", nullptr,
     "first and last guest numbers"},
    {kIdKeyword, {kMain, "キーワード(&K)"_sj}, K::Report, Keywords, {}, "keywords", nullptr,
     "query parts of referring addresses"},
    {kIdPagesByName, {kPage, kViewed, "名前順(&N)"_sj}, K::Report, Pages, PageOrder::Name, "pages", "name", "viewed pages by name"},
    {kIdPageRanking, {kPage, kViewed, "ランキング(&R)"_sj}, K::Report, Pages, PageOrder::Ranking, "pages", "ranking",
     "viewed pages by count"},
    {kIdPageDate, {kPage, kTime, "日付(&D)"_sj}, K::Report, Daily, RecordKind::Page, "daily", "page", "page counts by day of the month"},
    {kIdPageHour, {kPage, kTime, "時間帯(&T)"_sj}, K::Report, Hourly, RecordKind::Page, "hourly", "page", "page counts by hour"},
    {kIdPageDetail, {kPage, kTime, "詳細(&K)"_sj}, K::Report, DayHour, RecordKind::Page, "detail", "page",
     "page counts by day and hour"},
    {kIdPageDays, {kPage, "ページ別アクセス日(&A)"_sj}, K::PageDays, PageDays, {}, "page-days", kPageWord,
     "days on which PAGE was viewed"},
    // The page picker's list, for scripts; the window shows it only inside the picker.
    {0, {}, K::Report, PageNames, {}, "page-names", nullptr, "the distinct page names, one a line"},
    {kIdMainDates, {kCalendar, kCalendarMain, "日付別(&D)"_sj}, K::Report, Dates, RecordKind::Main, "dates", "main",
     "main-page accesses per calendar date, days without any included"},
    {kIdMainMonths, {kCalendar, kCalendarMain, "月別(&M)"_sj}, K::Report, Months, RecordKind::Main, "months", "main",
     "main-page accesses per month"},
    {kIdMainWeekdays, {kCalendar, kCalendarMain, "曜日別(&W)"_sj}, K::Report, Weekdays, RecordKind::Main, "weekdays",
     "main", "main-page accesses per weekday, Sunday first"},
    {kIdMainWeekHours, {kCalendar, kCalendarMain, "曜日と時刻(&H)"_sj}, K::Report, WeekHours, RecordKind::Main,
     "weekhours", "main", "main-page accesses per weekday and hour"},
    {kIdPageDates, {kCalendar, kCalendarPage, "日付別(&D)"_sj}, K::Report, Dates, RecordKind::Page, "dates", "page",
     "page accesses per calendar date, days without any included"},
    {kIdPageMonths, {kCalendar, kCalendarPage, "月別(&M)"_sj}, K::Report, Months, RecordKind::Page, "months", "page",
     "page accesses per month"},
    {kIdPageWeekdays, {kCalendar, kCalendarPage, "曜日別(&W)"_sj}, K::Report, Weekdays, RecordKind::Page, "weekdays",
     "page", "page accesses per weekday, Sunday first"},
    {kIdPageWeekHours, {kCalendar, kCalendarPage, "曜日と時刻(&H)"_sj}, K::Report, WeekHours, RecordKind::Page,
     "weekhours", "page", "page accesses per weekday and hour"},
    {kIdPhrases, {kCalendar, "検索語句(&S)"_sj}, K::Report, Phrases, {}, "phrases", nullptr,
     "decoded search words of referring addresses, with their search hosts"},
    {kIdAppAbout, {kHelp, "ﾊﾞｰｼﾞｮﾝ情報(&A)"_sj}, K::About, nullptr, {}, nullptr, nullptr, nullptr},
};
// clang-format on

bool SameWord(const char* word, std::string_view text) { return word != nullptr && text == word; }

constexpr size_t kTestRowRoom = 8;

// The program's rows, with room reserved for test rows so that appending never moves them.
std::vector<CommandRow>& Rows() {
    static std::vector<CommandRow> rows = [] {
        std::vector<CommandRow> table;
        table.reserve(std::size(kRows) + kTestRowRoom);
        table.insert(table.end(), std::begin(kRows), std::end(kRows));
        return table;
    }();
    return rows;
}

}  // namespace

std::span<const CommandRow> CommandTable() { return Rows(); }

ExtraCommandRows::ExtraCommandRows(std::span<const CommandRow> rows) : m_count(rows.size()) {
    std::vector<CommandRow>& table = Rows();
    if (table.size() + rows.size() > table.capacity()) {
        throw std::length_error("no room for more test rows in the command table");
    }
    table.insert(table.end(), rows.begin(), rows.end());
}

ExtraCommandRows::~ExtraCommandRows() { Rows().resize(Rows().size() - m_count, kRows[0]); }

bool TakesPage(const CommandRow& row) { return row.cliArgument == kPageWord; }

const CommandRow* FindCommand(int id) {
    if (id == 0) {
        return nullptr;
    }
    const std::span<const CommandRow> rows = CommandTable();
    auto it = std::find_if(rows.begin(), rows.end(), [id](const CommandRow& r) { return r.id == id; });
    return it == rows.end() ? nullptr : &*it;
}

const CommandRow* FindCliCommand(std::string_view name, std::string_view argument) {
    for (const CommandRow& row : CommandTable()) {
        if (!SameWord(row.cliName, name)) {
            continue;
        }
        if (TakesPage(row) || (row.cliArgument == nullptr ? argument.empty() : SameWord(row.cliArgument, argument))) {
            return &row;
        }
    }
    return nullptr;
}

std::vector<const CommandRow*> AllReportRows() {
    std::vector<const CommandRow*> rows;
    for (const CommandRow& row : CommandTable()) {
        if (row.start != nullptr && !TakesPage(row)) {
            rows.push_back(&row);
        }
    }
    return rows;
}

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
    return row.start == nullptr ? std::string() : FormatText(RunRow(row, store, page));
}

}  // namespace quorlet3
