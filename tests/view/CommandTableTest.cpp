// The command table: ids in menu order, menu paths, handlers and command-line names.
#include <gtest/gtest.h>

#include "platform/Cp932Literal.h"
#include "tests/support/TestLog.h"
#include "view/CommandTable.h"

namespace quorlet3 {
namespace {

using StoreText = std::string (*)(const LineStore&);

struct Row {
    int id;
    const char* menuPath;  // popup texts and item text joined by " > "
    const char* cliName;   // "name word" as typed after LOGFILE, or "" when there is none
    StoreText storeText;   // the report the command stands for, computed directly (null: none)
};

const Row kRows[] = {
    {32771, "ﾌｧｲﾙ(&F) > ファイルを指定する(&O)"_sj, "", nullptr},
    {32772, "ﾌｧｲﾙ(&F) > 検査(&C)"_sj, "check",
     [](const LineStore& s) { return FormatFileCheckText(ComputeFileCheck(s)); }},
    {32773, "ﾌｧｲﾙ(&F) > 内容を見る(&L)"_sj, "contents",
     [](const LineStore& s) { return FormatContentsText(ComputeContents(s)); }},
    {32774, "メイン調査(&A) > リンク(&L)"_sj, "links",
     [](const LineStore& s) { return FormatValueTallyText(ComputeValueTally(s, TallyField::Links)); }},
    {32775, "メイン調査(&A) > ホスト(&H)"_sj, "hosts",
     [](const LineStore& s) { return FormatHostsText(ComputeHosts(s)); }},
    {32776, "メイン調査(&A) > ブラウザ(&B) > 内容(&C)"_sj, "browsers",
     [](const LineStore& s) { return FormatValueTallyText(ComputeValueTally(s, TallyField::Browsers)); }},
    {32783, "メイン調査(&A) > ブラウザ(&B) > シェア調査(&S)"_sj, "share",
     [](const LineStore& s) {
         ShareCounters counters{};
         const ShareResult share = ComputeShare(s);
         AddShare(counters, share);
         return FormatShareText(share.lines, counters);
     }},
    {32779, "メイン調査(&A) > 時間(&T) > 日付(&D)"_sj, "daily main",
     [](const LineStore& s) { return FormatTimeCountsText(ComputeTimeCounts(s, TimeGrid::Daily, RecordKind::Main)); }},
    {32778, "メイン調査(&A) > 時間(&T) > 時間帯(&T)"_sj, "hourly main",
     [](const LineStore& s) { return FormatTimeCountsText(ComputeTimeCounts(s, TimeGrid::Hourly, RecordKind::Main)); }},
    {32785, "メイン調査(&A) > 時間(&T) > 詳細(&K)"_sj, "detail main",
     [](const LineStore& s) {
         return FormatTimeCountsText(ComputeTimeCounts(s, TimeGrid::DayHour, RecordKind::Main));
     }},
    {32784, "メイン調査(&A) > 訪問Ｎｏ(&N)"_sj, "guests",
     [](const LineStore& s) { return FormatGuestNumbersText(ComputeGuestNumbers(s)); }},
    {32777, "メイン調査(&A) > キーワード(&K)"_sj, "keywords",
     [](const LineStore& s) { return FormatKeywordsText(ComputeKeywords(s)); }},
    {32782, "ページ調査(&B) > 見たページ(&L) > 名前順(&N)"_sj, "pages name",
     [](const LineStore& s) { return FormatPagesText(ComputePages(s, PageOrder::Name)); }},
    {32788, "ページ調査(&B) > 見たページ(&L) > ランキング(&R)"_sj, "pages ranking",
     [](const LineStore& s) { return FormatPagesText(ComputePages(s, PageOrder::Ranking)); }},
    {32781, "ページ調査(&B) > 時間(&T) > 日付(&D)"_sj, "daily page",
     [](const LineStore& s) { return FormatTimeCountsText(ComputeTimeCounts(s, TimeGrid::Daily, RecordKind::Page)); }},
    {32780, "ページ調査(&B) > 時間(&T) > 時間帯(&T)"_sj, "hourly page",
     [](const LineStore& s) { return FormatTimeCountsText(ComputeTimeCounts(s, TimeGrid::Hourly, RecordKind::Page)); }},
    {32786, "ページ調査(&B) > 時間(&T) > 詳細(&K)"_sj, "detail page",
     [](const LineStore& s) {
         return FormatTimeCountsText(ComputeTimeCounts(s, TimeGrid::DayHour, RecordKind::Page));
     }},
    {32787, "ページ調査(&B) > ページ別アクセス日(&A)"_sj, "page-days",
     [](const LineStore& s) { return FormatPageDaysText(ComputePageDays(s, "b.html")); }},
    {kIdAppExit, "ﾌｧｲﾙ(&F) > ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"_sj, "", nullptr},
    {kIdAppAbout, "ﾍﾙﾌﾟ(&H) > ﾊﾞｰｼﾞｮﾝ情報"_sj, "", nullptr},
};

// A log in which every report differs from every other: two browsers, two links,
// main-page and page records on different days and hours, two pages.
const CQuorlet3Doc& SampleDoc() {
    static const CQuorlet3Doc doc = test::LoadLines({
        "①7"_sj,
        "②Monday, 03-Aug-98 04:05:06 JST"_sj,
        "③a.example.ac.jp"_sj,
        "④Mozilla/3.0 (X11)"_sj,
        "⑤http://x.jp/?q"_sj,
        "①8"_sj,
        "②Tuesday, 11-Aug-98 09:10:11 JST"_sj,
        "③b.example.co.jp"_sj,
        "④Mozilla/4.0 (compatible; MSIE 4.0)"_sj,
        "⑤http://y.jp/"_sj,
        "⑥a.html"_sj,
        "⑦Friday, 21-Aug-1998 22:01:02 JST"_sj,
        "⑥b.html"_sj,
        "⑦Saturday, 29-Aug-1998 15:01:02 JST"_sj,
        "⑥b.html"_sj,
        "⑦Saturday, 29-Aug-1998 15:01:02 JST"_sj,
    });
    return doc;
}

std::string MenuPathOf(const CommandRow& row) {
    std::string path;
    for (const char* text : row.menuPath) {
        if (text != nullptr) {
            path += (path.empty() ? "" : " > ") + std::string(text);
        }
    }
    return path;
}

class CommandRowTest : public ::testing::TestWithParam<Row> {};

TEST_P(CommandRowTest, MenuPathOperationAndCliName) {
    const Row& expected = GetParam();
    const CommandRow* row = FindCommand(expected.id);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(MenuPathOf(*row), expected.menuPath);
    EXPECT_EQ(row->start != nullptr, expected.storeText != nullptr);
    if (expected.storeText != nullptr) {
        // The row's accumulator and argument give exactly the report computed directly.
        EXPECT_EQ(ReportText(*row, SampleDoc().Store(), "b.html"), expected.storeText(SampleDoc().Store()));
    }
    const std::string cli = expected.cliName;
    if (cli.empty()) {
        EXPECT_EQ(row->cliName, nullptr);
        return;
    }
    const size_t space = cli.find(' ');
    const std::string name = cli.substr(0, space);
    const std::string word = space == std::string::npos ? "" : cli.substr(space + 1);
    EXPECT_EQ(FindCliCommand(name, word), row);
    if (!word.empty() && !TakesPage(*row)) {
        EXPECT_EQ(FindCliCommand(name, ""), nullptr);  // the word is required
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, CommandRowTest, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::to_string(info.param.id); });

TEST(CommandTable, RowsInMenuOrder) {
    std::vector<int> ids;
    for (const CommandRow& row : CommandTable()) {
        ids.push_back(row.id);
    }
    EXPECT_EQ(ids, (std::vector<int>{32771, 32772, 32773, 0,     57665, 32774, 32775, 32776, 32783, 32779, 32778,
                                     32785, 32784, 32777, 32782, 32788, 32781, 32780, 32786, 32787, 57664, 0}));
    EXPECT_EQ(FindCommand(0), nullptr);  // the separator is no command
    EXPECT_EQ(FindCliCommand("check", "main"), nullptr);
}

}  // namespace
}  // namespace quorlet3
