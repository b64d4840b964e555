// A report added as one report-table row reaches the usage, the report list, `all` and
// every output format without other edits; the documents list what the table holds.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "cli/Usage.h"
#include "output/CsvOutput.h"
#include "output/HtmlOutput.h"
#include "output/JsonOutput.h"
#include "share/ShareCounters.h"
#include "tests/support/TestLog.h"

namespace quorlet3 {
namespace {

std::unique_ptr<ReportAccumulator> TestShare(const ReportRequest&) { return MakeReportAccumulator(ShareAccumulator()); }

const CommandRow kTestRow = {TestShare, {}, "test-share", nullptr, "a report only the tests know", {"テスト", "試験"}};

TEST(TableRow, ANewRowReachesTheUsageTheListAndEveryOutputOfAll) {
    const CQuorlet3Doc doc = test::LoadLines(test::MainRecord(7));
    std::vector<CommandRow> table(CommandTable().begin(), CommandTable().end());
    table.push_back(kTestRow);
    const CommandRow* row = FindCliCommand(table, "test-share", "");
    ASSERT_EQ(row, &table.back());
    EXPECT_NE(Usage(table).find("\n  test-share            a report only the tests know\n"), std::string::npos);
    EXPECT_NE(ReportList(table).find("\ntest-share\n"), std::string::npos);

    const std::vector<const CommandRow*> rows = AllReportRows(table);
    ASSERT_EQ(rows.back(), row);
    const std::vector<RowResult> results = RunRows(rows, doc.Store());
    // The test row computes the share report: its text is the share row's.
    const CommandRow* shareRow = FindCliCommand(table, "share", "");
    const auto share =
        std::find_if(results.begin(), results.end(), [shareRow](const RowResult& r) { return r.row == shareRow; });
    ASSERT_NE(share, results.end());
    EXPECT_EQ(FormatText(results.back().result), FormatText(share->result));
    EXPECT_NE(FormatJsonAll("x.log", 5, results).find(R"({"report":"test-share","total":1,)"), std::string::npos);
    EXPECT_EQ(FormatCsv(*row, results.back().result).rfind("class,count,percent\r\n", 0), 0u);
    EXPECT_NE(FormatHtmlReport("x.log", 5, results).find("<p class=\"menu\">テスト › 試験</p>"), std::string::npos);
}

// The report names of the documents, each the first word of a code span in the first
// column of a table row or of a man page item.
std::set<std::string> TableNames() {
    std::set<std::string> names = {"all"};
    for (const CommandRow& row : CommandTable()) {
        names.insert(row.cliName);
    }
    return names;
}

std::string ReadSource(const std::string& path) {
    std::ifstream in(std::string(QUORLET3_SOURCE_DIR) + "/" + path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The names in the first column of the Markdown table whose header row is header.
std::set<std::string> MarkdownTableNames(const std::string& document, const std::string& header) {
    std::set<std::string> names;
    size_t at = document.find(header);
    EXPECT_NE(at, std::string::npos) << header;
    at = document.find('\n', document.find('\n', at) + 1) + 1;  // past the header and the rule
    static const std::regex kName("`([a-z-]+)");
    while (at < document.size() && document[at] == '|') {
        const size_t end = document.find('\n', at);
        const std::string line = document.substr(at, end - at);
        // The first cell ends at the first '|' that is no "\|" inside a code span.
        size_t bar = 1;
        while ((bar = line.find('|', bar)) != std::string::npos && line[bar - 1] == '\\') {
            ++bar;
        }
        const std::string first = line.substr(1, bar - 1);
        for (std::sregex_iterator it(first.begin(), first.end(), kName), last; it != last; ++it) {
            names.insert((*it)[1]);
        }
        at = end + 1;
    }
    return names;
}

TEST(TableRow, TheReadmeTablesListEveryReportOfTheTable) {
    const std::string readme = ReadSource("README.md");
    EXPECT_EQ(MarkdownTableNames(readme, "| REPORT | menu command |"), TableNames());
    EXPECT_EQ(MarkdownTableNames(readme, "| REPORT | object |"), TableNames());
    // Every argument word of the table appears beside its report.
    for (const CommandRow& row : CommandTable()) {
        if (row.cliArgument != nullptr && !TakesPage(row)) {
            const std::regex beside("\n\\|[^\n]*`" + std::string(row.cliName) + "[^`\n]*[ |]" + row.cliArgument);
            EXPECT_TRUE(std::regex_search(readme, beside)) << CliWords(row);
        }
    }
}

TEST(TableRow, TheManPageListsEveryReportOfTheTable) {
    const std::string page = ReadSource("data/quorlet3-report.1");
    const size_t from = page.find(".SH REPORTS");
    const size_t to = page.find(".SH", from + 1);
    ASSERT_NE(from, std::string::npos);
    std::set<std::string> names;
    std::istringstream items(page.substr(from, to - from));
    static const std::regex kItem(R"re(^\.B[IR]? "?([a-z-]+)(?:[ "]|$)(.*))re");
    static const std::regex kMore(R"re(", " "?([a-z-]+))re");
    bool item = false;
    for (std::string line; std::getline(items, line);) {
        std::smatch m;
        if (item && std::regex_search(line, m, kItem)) {
            names.insert(m[1]);
            const std::string rest = m[2];
            for (std::sregex_iterator it(rest.begin(), rest.end(), kMore), last; it != last; ++it) {
                names.insert((*it)[1]);
            }
        }
        item = line == ".TP";
    }
    EXPECT_EQ(names, TableNames());
}

}  // namespace
}  // namespace quorlet3
