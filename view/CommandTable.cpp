// The command table, in the order of the main menu.
#include "view/CommandTable.h"

#include <algorithm>

#include "platform/Cp932Literal.h"

namespace quorlet3 {
namespace {

ReportResult FileCheck(const CQuorlet3Doc& d, int, std::string_view) { return ComputeFileCheck(d.Store()); }
ReportResult Contents(const CQuorlet3Doc& d, int, std::string_view) { return ComputeContents(d.Store()); }
ReportResult Tally(const CQuorlet3Doc& d, int nMarker, std::string_view) {
    return ComputeValueTally(d.Store(), nMarker);
}
ReportResult Hosts(const CQuorlet3Doc& d, int, std::string_view) { return ComputeHosts(d.Store()); }
ReportResult Keywords(const CQuorlet3Doc& d, int, std::string_view) { return ComputeKeywords(d.Store()); }
ReportResult Pages(const CQuorlet3Doc& d, int nOrder, std::string_view) { return ComputePages(d.Store(), nOrder); }
ReportResult Hourly(const CQuorlet3Doc& d, int nMarker, std::string_view) {
    return ComputeTimeCounts(d.Store(), TimeGrid::Hourly, nMarker);
}
ReportResult Daily(const CQuorlet3Doc& d, int nMarker, std::string_view) {
    return ComputeTimeCounts(d.Store(), TimeGrid::Daily, nMarker);
}
ReportResult DayHour(const CQuorlet3Doc& d, int nMarker, std::string_view) {
    return ComputeTimeCounts(d.Store(), TimeGrid::DayHour, nMarker);
}
ReportResult GuestNumbers(const CQuorlet3Doc& d, int, std::string_view) { return ComputeGuestNumbers(d.Store()); }
ReportResult Share(const CQuorlet3Doc& d, int, std::string_view) { return ComputeShare(d.Store()); }
ReportResult PageNames(const CQuorlet3Doc& d, int, std::string_view) {
    PageNameList list;
    d.CollectPageNames(list);
    PageNamesResult result;
    for (std::string& name : list) {
        if (name.empty()) {
            break;
        }
        result.names.push_back(std::move(name));
    }
    return result;
}
ReportResult PageDays(const CQuorlet3Doc& d, int, std::string_view page) { return ComputePageDays(d.Store(), page); }

constexpr const char* kFile = "ﾌｧｲﾙ(&F)"_sj;
constexpr const char* kMain = "メイン調査(&A)"_sj;
constexpr const char* kBrowser = "ブラウザ(&B)"_sj;
constexpr const char* kTime = "時間(&T)"_sj;
constexpr const char* kPage = "ページ調査(&B)"_sj;
constexpr const char* kViewed = "見たページ(&L)"_sj;
constexpr const char* kHelp = "ﾍﾙﾌﾟ(&H)"_sj;
constexpr const char* kPageWord = "PAGE";

using K = CommandKind;
// clang-format off
const CommandRow kRows[] = {
    {kIdSpecifyFile, {kFile, "ファイルを指定する(&O)"_sj}, K::SpecifyFile, nullptr, 0, nullptr, nullptr, nullptr},
    {kIdCheckFile, {kFile, "検査(&C)"_sj}, K::Report, FileCheck, 0, "check", nullptr, "file check"},
    {kIdViewContents, {kFile, "内容を見る(&L)"_sj}, K::ViewContents, Contents, 0, "contents", nullptr,
     "compact listing, one line per record"},
    {0, {kFile, nullptr}, K::Separator, nullptr, 0, nullptr, nullptr, nullptr},
    {kIdAppExit, {kFile, "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"_sj}, K::Exit, nullptr, 0, nullptr, nullptr, nullptr},
    {kIdLink, {kMain, "リンク(&L)"_sj}, K::Report, Tally, 5, "links", nullptr, "referring addresses with counts"},
    {kIdHost, {kMain, "ホスト(&H)"_sj}, K::Report, Hosts, 0, "hosts", nullptr, "hosts by domain class"},
    {kIdBrowser, {kMain, kBrowser, "内容(&C)"_sj}, K::Report, Tally, 4, "browsers", nullptr,
     "browser strings with counts"},
    {kIdShare, {kMain, kBrowser, "シェア調査(&S)"_sj}, K::Share, Share, 0, "share", nullptr, "browser share"},
    {kIdMainDate, {kMain, kTime, "日付(&D)"_sj}, K::Report, Daily, 2, "daily", "main",
     "main-page counts by day of the month"},
    {kIdMainHour, {kMain, kTime, "時間帯(&T)"_sj}, K::Report, Hourly, 2, "hourly", "main", "main-page counts by hour"},
    {kIdMainDetail, {kMain, kTime, "詳細(&K)"_sj}, K::Report, DayHour, 2, "detail", "main",
     "main-page counts by day and hour"},
    {kIdGuestNumber, {kMain, "訪問Ｎｏ(&N)"_sj}, K::Report, GuestNumbers, 0, "guests", nullptr,
     "first and last guest numbers"},
    {kIdKeyword, {kMain, "キーワード(&K)"_sj}, K::Report, Keywords, 0, "keywords", nullptr,
     "query parts of referring addresses"},
    {kIdPagesByName, {kPage, kViewed, "名前順(&N)"_sj}, K::Report, Pages, 1, "pages", "name", "viewed pages by name"},
    {kIdPageRanking, {kPage, kViewed, "ランキング(&R)"_sj}, K::Report, Pages, 2, "pages", "ranking",
     "viewed pages by count"},
    {kIdPageDate, {kPage, kTime, "日付(&D)"_sj}, K::Report, Daily, 7, "daily", "page", "page counts by day of the month"},
    {kIdPageHour, {kPage, kTime, "時間帯(&T)"_sj}, K::Report, Hourly, 7, "hourly", "page", "page counts by hour"},
    {kIdPageDetail, {kPage, kTime, "詳細(&K)"_sj}, K::Report, DayHour, 7, "detail", "page",
     "page counts by day and hour"},
    {kIdPageDays, {kPage, "ページ別アクセス日(&A)"_sj}, K::PageDays, PageDays, 0, "page-days", kPageWord,
     "days on which PAGE was viewed"},
    {kIdAppAbout, {kHelp, "ﾊﾞｰｼﾞｮﾝ情報"_sj}, K::About, nullptr, 0, nullptr, nullptr, nullptr},
    // The page picker's list, for scripts; the window shows it only inside the picker.
    {0, {}, K::Report, PageNames, 0, "page-names", nullptr, "the distinct page names, one a line"},
};
// clang-format on

bool SameWord(const char* word, std::string_view text) { return word != nullptr && text == word; }

}  // namespace

std::span<const CommandRow> CommandTable() { return kRows; }

bool TakesPage(const CommandRow& row) { return row.cliArgument == kPageWord; }

const CommandRow* FindCommand(int id) {
    if (id == 0) {
        return nullptr;
    }
    auto it = std::find_if(std::begin(kRows), std::end(kRows), [id](const CommandRow& r) { return r.id == id; });
    return it == std::end(kRows) ? nullptr : &*it;
}

const CommandRow* FindCliCommand(std::string_view name, std::string_view argument) {
    for (const CommandRow& row : kRows) {
        if (!SameWord(row.cliName, name)) {
            continue;
        }
        if (TakesPage(row) || (row.cliArgument == nullptr ? argument.empty() : SameWord(row.cliArgument, argument))) {
            return &row;
        }
    }
    return nullptr;
}

std::string ReportText(const CommandRow& row, const CQuorlet3Doc& doc, std::string_view page) {
    return row.operation == nullptr ? std::string() : FormatText(row.operation(doc, row.argument, page));
}

}  // namespace quorlet3
