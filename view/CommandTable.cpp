// The command table, in the order of the main menu.
#include "view/CommandTable.h"

#include <algorithm>
#include <cstring>

namespace quorlet3 {
namespace {

std::string FileCheck(const CQuorlet3Doc& d, int) { return d.ReportFileCheck(); }
std::string Contents(const CQuorlet3Doc& d, int) { return d.ReportContents(); }
std::string Tally(const CQuorlet3Doc& d, int nMarker) { return d.ReportTally(nMarker); }
std::string Hosts(const CQuorlet3Doc& d, int) { return d.ReportHosts(); }
std::string Keywords(const CQuorlet3Doc& d, int) { return d.ReportKeywords(); }
std::string Pages(const CQuorlet3Doc& d, int nOrder) { return d.ReportPages(nOrder); }
std::string Hourly(const CQuorlet3Doc& d, int nMarker) { return d.ReportHourly(nMarker); }
std::string Daily(const CQuorlet3Doc& d, int nMarker) { return d.ReportDaily(nMarker); }
std::string DayHour(const CQuorlet3Doc& d, int nMarker) { return d.ReportDayHour(nMarker); }
std::string GuestNumbers(const CQuorlet3Doc& d, int) { return d.ReportGuestNumbers(); }
std::string Share(const CQuorlet3Doc& d, int) {
    ShareCounters counters{};
    return d.ReportShare(counters);
}

constexpr const char* kFile = "ﾌｧｲﾙ(&F)";
constexpr const char* kMain = "メイン調査(&A)";
constexpr const char* kBrowser = "ブラウザ(&B)";
constexpr const char* kTime = "時間(&T)";
constexpr const char* kPage = "ページ調査(&B)";
constexpr const char* kViewed = "見たページ(&L)";
constexpr const char* kHelp = "ﾍﾙﾌﾟ(&H)";

using K = CommandKind;
const CommandRow kRows[] = {
    {32771, {kFile, "ファイルを指定する(&O)"}, "OnSpecifyFile", K::SpecifyFile, nullptr, 0, nullptr, nullptr},
    {32772, {kFile, "検査(&C)"}, "OnCheckFile", K::Report, FileCheck, 0, "check", nullptr},
    {32773, {kFile, "内容を見る(&L)"}, "OnViewContents", K::ViewContents, Contents, 0, "contents", nullptr},
    {0, {kFile, nullptr}, nullptr, K::Separator, nullptr, 0, nullptr, nullptr},
    {kIdAppExit, {kFile, "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"}, nullptr, K::Exit, nullptr, 0, nullptr, nullptr},
    {32774, {kMain, "リンク(&L)"}, "OnLink", K::Report, Tally, 5, "links", nullptr},
    {32775, {kMain, "ホスト(&H)"}, "OnHost", K::Report, Hosts, 0, "hosts", nullptr},
    {32776, {kMain, kBrowser, "内容(&C)"}, "OnBrowser", K::Report, Tally, 4, "browsers", nullptr},
    {32783, {kMain, kBrowser, "シェア調査(&S)"}, "OnShare", K::Share, Share, 0, "share", nullptr},
    {32779, {kMain, kTime, "日付(&D)"}, "OnMainDate", K::Report, Daily, 2, "daily", "main"},
    {32778, {kMain, kTime, "時間帯(&T)"}, "OnMainHour", K::Report, Hourly, 2, "hourly", "main"},
    {32785, {kMain, kTime, "詳細(&K)"}, "OnMainDetail", K::Report, DayHour, 2, "detail", "main"},
    {32784, {kMain, "訪問Ｎｏ(&N)"}, "OnGuestNumber", K::Report, GuestNumbers, 0, "guests", nullptr},
    {32777, {kMain, "キーワード(&K)"}, "OnKeyword", K::Report, Keywords, 0, "keywords", nullptr},
    {32782, {kPage, kViewed, "名前順(&N)"}, "OnPagesByName", K::Report, Pages, 1, "pages", "name"},
    {32788, {kPage, kViewed, "ランキング(&R)"}, "OnPageRanking", K::Report, Pages, 2, "pages", "ranking"},
    {32781, {kPage, kTime, "日付(&D)"}, "OnPageDate", K::Report, Daily, 7, "daily", "page"},
    {32780, {kPage, kTime, "時間帯(&T)"}, "OnPageHour", K::Report, Hourly, 7, "hourly", "page"},
    {32786, {kPage, kTime, "詳細(&K)"}, "OnPageDetail", K::Report, DayHour, 7, "detail", "page"},
    {32787, {kPage, "ページ別アクセス日(&A)"}, "OnPageDays", K::PageDays, nullptr, 0, "page-days", nullptr},
    {kIdAppAbout, {kHelp, "ﾊﾞｰｼﾞｮﾝ情報"}, "OnAppAbout", K::About, nullptr, 0, nullptr, nullptr},
};

bool SameWord(const char* word, std::string_view text) { return word != nullptr && text == word; }

}  // namespace

std::span<const CommandRow> CommandTable() { return kRows; }

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
        if (row.cliArgument == nullptr ? argument.empty() : SameWord(row.cliArgument, argument)) {
            return &row;
        }
    }
    return nullptr;
}

}  // namespace quorlet3
