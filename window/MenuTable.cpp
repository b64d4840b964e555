// The window's menu table, in the order of the main menu, and the handlers its items run.
#include "window/MenuTable.h"

#include <algorithm>
#include <string_view>

#include "encoding/Cp932Literal.h"
#include "window/MainFrm.h"
#include "window/Quorlet3View.h"

namespace quorlet3 {
namespace {

// A handler of the view that computes and shows the item's report, run as a command.
template <void (CQuorlet3View::*handler)(const CommandRow& report)>
void OnView(CQuorlet3View& view, const CommandRow* report) {
    view.OnCommand([&view, report] { (view.*handler)(*report); });
}
constexpr MenuHandler kReport = OnView<&CQuorlet3View::OnReport>;
constexpr MenuHandler kViewContents = OnView<&CQuorlet3View::OnViewContents>;
constexpr MenuHandler kShare = OnView<&CQuorlet3View::OnShare>;
constexpr MenuHandler kPageDays = OnView<&CQuorlet3View::OnPageDays>;

void SpecifyFile(CQuorlet3View& view, const CommandRow*) {
    view.OnCommand([&view] { view.OnSpecifyFile(); });
}

// Nothing is ever modified, so exit closes the window without a question.
void Exit(CQuorlet3View& view, const CommandRow*) { view.window()->close(); }

void About(CQuorlet3View& view, const CommandRow*) {
    if (auto* frame = qobject_cast<CMainFrame*>(view.window())) {
        frame->OnAppAbout();
    }
}

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

// clang-format off
const MenuRow kRows[] = {
    {{kFile, "ファイルを指定する(&O)"_sj}, kIdSpecifyFile, SpecifyFile},
    {{kFile, "検査(&C)"_sj}, kIdCheckFile, kReport, {"check"}},
    {{kFile, "内容を見る(&L)"_sj}, kIdViewContents, kViewContents, {"contents"}},
    {{kFile}},
    {{kFile, "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"_sj}, kIdAppExit, Exit},
    {{kMain, "リンク(&L)"_sj}, kIdLink, kReport, {"links"}},
    {{kMain, "ホスト(&H)"_sj}, kIdHost, kReport, {"hosts"}},
    {{kMain, kBrowser, "内容(&C)"_sj}, kIdBrowser, kReport, {"browsers"}},
    {{kMain, kBrowser, "シェア調査(&S)"_sj}, kIdShare, kShare, {"share"}},
    {{kMain, kTime, "日付(&D)"_sj}, kIdMainDate, kReport, {"daily", "main"}},
    {{kMain, kTime, "時間帯(&T)"_sj}, kIdMainHour, kReport, {"hourly", "main"}},
    {{kMain, kTime, "詳細(&K)"_sj}, kIdMainDetail, kReport, {"detail", "main"}},
    {{kMain, "訪問Ｎｏ(&N)"_sj}, kIdGuestNumber, kReport, {"guests"}},
    {{kMain, "キーワード(&K)"_sj}, kIdKeyword, kReport, {"keywords"}},
    {{kPage, kViewed, "名前順(&N)"_sj}, kIdPagesByName, kReport, {"pages", "name"}},
    {{kPage, kViewed, "ランキング(&R)"_sj}, kIdPageRanking, kReport, {"pages", "ranking"}},
    {{kPage, kTime, "日付(&D)"_sj}, kIdPageDate, kReport, {"daily", "page"}},
    {{kPage, kTime, "時間帯(&T)"_sj}, kIdPageHour, kReport, {"hourly", "page"}},
    {{kPage, kTime, "詳細(&K)"_sj}, kIdPageDetail, kReport, {"detail", "page"}},
    {{kPage, "ページ別アクセス日(&A)"_sj}, kIdPageDays, kPageDays, {"page-days", "PAGE"}},
    {{kCalendar, kCalendarMain, "日付別(&D)"_sj}, kIdMainDates, kReport, {"dates", "main"}},
    {{kCalendar, kCalendarMain, "月別(&M)"_sj}, kIdMainMonths, kReport, {"months", "main"}},
    {{kCalendar, kCalendarMain, "曜日別(&W)"_sj}, kIdMainWeekdays, kReport, {"weekdays", "main"}},
    {{kCalendar, kCalendarMain, "曜日と時刻(&H)"_sj}, kIdMainWeekHours, kReport, {"weekhours", "main"}},
    {{kCalendar, kCalendarPage, "日付別(&D)"_sj}, kIdPageDates, kReport, {"dates", "page"}},
    {{kCalendar, kCalendarPage, "月別(&M)"_sj}, kIdPageMonths, kReport, {"months", "page"}},
    {{kCalendar, kCalendarPage, "曜日別(&W)"_sj}, kIdPageWeekdays, kReport, {"weekdays", "page"}},
    {{kCalendar, kCalendarPage, "曜日と時刻(&H)"_sj}, kIdPageWeekHours, kReport, {"weekhours", "page"}},
    {{kCalendar, "検索語句(&S)"_sj}, kIdPhrases, kReport, {"phrases"}},
    {{kHelp, "ﾊﾞｰｼﾞｮﾝ情報(&A)"_sj}, kIdAppAbout, About},
    // F6 and Shift+F6 name the next and previous pane; with one pane they have no handler.
    {{}, kIdNextPane, nullptr, {}, QKeyCombination(Qt::Key_F6)},
    {{}, kIdPrevPane, nullptr, {}, QKeyCombination(Qt::SHIFT, Qt::Key_F6)},
};
// clang-format on

}  // namespace

std::span<const MenuRow> MenuTable() { return kRows; }

const MenuRow* FindMenuRow(int id, std::span<const MenuRow> menu) {
    if (id == 0) {
        return nullptr;
    }
    const auto it = std::find_if(menu.begin(), menu.end(), [id](const MenuRow& row) { return row.id == id; });
    return it == menu.end() ? nullptr : &*it;
}

const CommandRow* ReportOfItem(const MenuRow& row, std::span<const CommandRow> reports) {
    if (row.report.name == nullptr) {
        return nullptr;
    }
    return FindCliCommand(reports, row.report.name, row.report.argument == nullptr ? "" : row.report.argument);
}

void RunMenuRow(const MenuRow& row, CQuorlet3View& view, std::span<const CommandRow> reports) {
    if (row.run != nullptr) {
        row.run(view, ReportOfItem(row, reports));
    }
}

}  // namespace quorlet3
