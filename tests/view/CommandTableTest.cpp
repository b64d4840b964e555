// The command table: ids in menu order, menu paths, handlers and command-line names.
#include <gtest/gtest.h>

#include "view/CommandTable.h"

namespace quorlet3 {
namespace {

struct Row {
    int id;
    const char* menuPath;  // popup texts and item text joined by " > "
    const char* handler;
    const char* cliName;  // "name word" as typed after LOGFILE, or "" when there is none
};

const Row kRows[] = {
    {32771, "ﾌｧｲﾙ(&F) > ファイルを指定する(&O)", "OnSpecifyFile", ""},
    {32772, "ﾌｧｲﾙ(&F) > 検査(&C)", "OnCheckFile", "check"},
    {32773, "ﾌｧｲﾙ(&F) > 内容を見る(&L)", "OnViewContents", "contents"},
    {32774, "メイン調査(&A) > リンク(&L)", "OnLink", "links"},
    {32775, "メイン調査(&A) > ホスト(&H)", "OnHost", "hosts"},
    {32776, "メイン調査(&A) > ブラウザ(&B) > 内容(&C)", "OnBrowser", "browsers"},
    {32783, "メイン調査(&A) > ブラウザ(&B) > シェア調査(&S)", "OnShare", "share"},
    {32779, "メイン調査(&A) > 時間(&T) > 日付(&D)", "OnMainDate", "daily main"},
    {32778, "メイン調査(&A) > 時間(&T) > 時間帯(&T)", "OnMainHour", "hourly main"},
    {32785, "メイン調査(&A) > 時間(&T) > 詳細(&K)", "OnMainDetail", "detail main"},
    {32784, "メイン調査(&A) > 訪問Ｎｏ(&N)", "OnGuestNumber", "guests"},
    {32777, "メイン調査(&A) > キーワード(&K)", "OnKeyword", "keywords"},
    {32782, "ページ調査(&B) > 見たページ(&L) > 名前順(&N)", "OnPagesByName", "pages name"},
    {32788, "ページ調査(&B) > 見たページ(&L) > ランキング(&R)", "OnPageRanking", "pages ranking"},
    {32781, "ページ調査(&B) > 時間(&T) > 日付(&D)", "OnPageDate", "daily page"},
    {32780, "ページ調査(&B) > 時間(&T) > 時間帯(&T)", "OnPageHour", "hourly page"},
    {32786, "ページ調査(&B) > 時間(&T) > 詳細(&K)", "OnPageDetail", "detail page"},
    {32787, "ページ調査(&B) > ページ別アクセス日(&A)", "OnPageDays", "page-days"},
    {kIdAppExit, "ﾌｧｲﾙ(&F) > ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)", nullptr, ""},
    {kIdAppAbout, "ﾍﾙﾌﾟ(&H) > ﾊﾞｰｼﾞｮﾝ情報", "OnAppAbout", ""},
};

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

TEST_P(CommandRowTest, MenuPathHandlerAndCliName) {
    const Row& expected = GetParam();
    const CommandRow* row = FindCommand(expected.id);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(MenuPathOf(*row), expected.menuPath);
    EXPECT_EQ(row->handler == nullptr ? "" : std::string(row->handler), expected.handler ? expected.handler : "");
    const std::string cli = expected.cliName;
    if (cli.empty()) {
        EXPECT_EQ(row->cliName, nullptr);
        return;
    }
    const size_t space = cli.find(' ');
    const std::string name = cli.substr(0, space);
    const std::string word = space == std::string::npos ? "" : cli.substr(space + 1);
    EXPECT_EQ(FindCliCommand(name, word), row);
    if (!word.empty()) {
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
                                     32785, 32784, 32777, 32782, 32788, 32781, 32780, 32786, 32787, 57664}));
    EXPECT_EQ(FindCommand(0), nullptr);  // the separator is no command
    EXPECT_EQ(FindCliCommand("check", "main"), nullptr);
}

}  // namespace
}  // namespace quorlet3
