// The report table: every report reachable by its name, and every row its own report.
#include <gtest/gtest.h>

#include <map>

#include "encoding/Cp932Literal.h"
#include "reports/CommandTable.h"
#include "tests/support/TestLog.h"

namespace quorlet3 {
namespace {

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

TEST(CommandTable, EveryReportNameFindsItsRow) {
    for (const CommandRow& row : CommandTable()) {
        if (row.cliArgument == nullptr) {
            EXPECT_EQ(FindCliCommand(row.cliName, ""), &row) << row.cliName;
        } else if (TakesPage(row)) {
            EXPECT_EQ(FindCliCommand(row.cliName, "any.html"), &row) << row.cliName;
        } else {
            EXPECT_EQ(FindCliCommand(row.cliName, row.cliArgument), &row) << row.cliName;
            EXPECT_EQ(FindCliCommand(row.cliName, ""), nullptr) << row.cliName;  // the word is required
        }
    }
    EXPECT_EQ(FindCliCommand("check", "main"), nullptr);
}

// Every report row computes a report of its own: a row wired to another row's report or
// argument (main-page records for page records, say) shows as two equal texts.
TEST(CommandTable, EveryReportRowGivesItsOwnReport) {
    std::map<std::string, std::string> byText;
    for (const CommandRow& row : CommandTable()) {
        const std::string words =
            std::string(row.cliName) + (row.cliArgument ? std::string(" ") + row.cliArgument : "");
        const std::string text = ReportText(row, SampleDoc().Store(), "b.html");
        EXPECT_FALSE(text.empty()) << words;
        const auto [seen, added] = byText.emplace(text, words);
        EXPECT_TRUE(added) << words << " gives the report of " << seen->second;
    }
}

}  // namespace
}  // namespace quorlet3
