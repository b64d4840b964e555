// JSON and CSV output of the reports: exact output over a small log, escaping and
// quoting, the every-report object, and agreement of the numbers with the text.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <regex>

#include "encoding/Cp932.h"
#include "encoding/Cp932Literal.h"
#include "output/CsvOutput.h"
#include "output/JsonOutput.h"
#include "output/JsonWriter.h"
#include "tests/support/TestLog.h"

namespace quorlet3 {
namespace {

using nlohmann::json;

using test::U8;

// clang-format off
const std::vector<std::string> kLog = {
    "①41"_sj, "②Wednesday, 15-Jul-98 13:45:12 JST"_sj, "③ホスト.example.ne.jp"_sj, "④Mozilla/4.0 (compatible; MSIE 4.0)"_sj,
    "⑤http://search.example.co.jp/?kw=ロ,グ&q=\"x\""_sj, "⑥ページ.html"_sj, "⑦Thursday, 16-Jul-1998 21:03:44 JST"_sj,
    "①43"_sj, "②Friday, 17-Jul-98 08:00:00 JST"_sj, "③gw.example.co.jp"_sj, "④Mozilla/3.01 [ja] (Win95; I)"_sj, "⑤"_sj,
    "⑥ページ.html"_sj, "⑦Friday, 17-Jul-1998 08:01:00 JST"_sj, "⑥top.html"_sj, "",
    "①44"_sj, "②Friday, 17-Jul-98 23:59:59 JST"_sj, "③gw.example.co.jp"_sj, "④Mozilla/3.01 [ja] (Win95; I)"_sj,
    "⑥ページ.html"_sj, "⑦Saturday, 18-Jul-1998 09:30:00 JST"_sj};
// Quote, backslash, control bytes, DEL, invalid bytes and a lead byte before a quote.
const std::vector<std::string> kHostileLog = {
    "⑥a\"b\\c\td\x01" "e\x1f\x7f"_sj + std::string("\x80") + "ペ"_sj + "\x81\"\r\b\fz", "⑥x\ry"_sj};
// clang-format on

const CQuorlet3Doc& Doc() {
    static const CQuorlet3Doc doc = test::LoadLines(kLog);
    return doc;
}

const CommandRow& Row(std::string_view name, std::string_view argument = {}) {
    const CommandRow* row = FindCliCommand(name, argument);
    if (row == nullptr) {
        throw std::invalid_argument("no report " + std::string(name));
    }
    return *row;
}

ReportResult Compute(const CQuorlet3Doc& doc, const CommandRow& row, std::string_view page = {}) {
    return RunRow(row, doc.Store(), page);
}

std::string Zeros(int n, int exceptAt = -1) {
    std::string list;
    for (int i = 0; i < n; ++i) {
        list += (i == 0 ? "" : ",") + std::string(i == exceptAt ? "1" : "0");
    }
    return list;
}

struct JsonCase {
    const char* name;
    const char* report;
    const char* argument;
    std::string expected;  // UTF-8
};

class JsonReportTest : public ::testing::TestWithParam<JsonCase> {};

TEST_P(JsonReportTest, ExactObject) {
    const JsonCase& c = GetParam();
    const CommandRow& row = Row(c.report, c.argument);
    const std::string page = TakesPage(row) ? "ページ.html"_sj : "";
    EXPECT_EQ(FormatJson(row, Compute(Doc(), row, page)), c.expected);
}

// The time grids: one count at each listed cell, as {day, hour}; day 0 for the hourly grid.
std::string DayHourCounts(std::initializer_list<std::pair<int, int>> cells) {
    std::string list;
    for (int day = 1; day <= 31; ++day) {
        int hour = -1;
        for (auto [d, h] : cells) {
            hour = d == day ? h : hour;
        }
        list += (day == 1 ? "[" : ",[") + Zeros(24, hour) + "]";
    }
    return list;
}

std::string Counts(int n, std::initializer_list<int> ones) {
    std::string list = Zeros(n);
    for (int i : ones) {
        list[static_cast<size_t>(2 * i)] = '1';
    }
    return list;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(SmallLog, JsonReportTest, ::testing::Values(
    JsonCase{"check", "check", "", U8(u8R"({"report":"check","errors":4,"guest_number_gaps":[{"line":8,"previous":41,"number":43}],)"
        u8R"("page_record_breaks":[15],"main_record_breaks":[{"line":20,"marker":"④"}],"blank":false,"empty_lines":[16]})")},
    JsonCase{"contents", "contents", "", U8(u8R"({"report":"contents","lines":22,"rows":[)"
        u8R"("41 Wednesday, 15-Jul-98 13:45:12 JST ホスト.example.ne.jp Mozilla/4.0 (compatible; MSIE 4.0) http://search.example.co.jp/?kw=ロ,グ&q=\"x\"",)"
        u8R"("\tページ.html    \tThursday, 16-Jul-1998 21:03:44 JST",)"
        u8R"("43 Friday, 17-Jul-98 08:00:00 JST gw.example.co.jp Mozilla/3.01 [ja] (Win95; I) ",)"
        u8R"("\tページ.html    \tFriday, 17-Jul-1998 08:01:00 JST",)"
        u8R"("\ttop.html    44 Friday, 17-Jul-98 23:59:59 JST gw.example.co.jp Mozilla/3.01 [ja] (Win95; I) \tページ.html    \tSaturday, 18-Jul-1998 09:30:00 JST"]})")},
    JsonCase{"links", "links", "", U8(u8R"({"report":"links","total":2,"nameless":1,"rows":[{"value":"http://search.example.co.jp/?kw=ロ,グ&q=\"x\"","count":1}]})")},
    JsonCase{"browsers", "browsers", "", U8(u8R"j({"report":"browsers","total":3,"nameless":0,"rows":[{"value":"Mozilla/3.01 [ja] (Win95; I)","count":2},)j"
        u8R"j({"value":"Mozilla/4.0 (compatible; MSIE 4.0)","count":1}]})j")},
    JsonCase{"hosts", "hosts", "", U8(u8R"({"report":"hosts","total":3,"nameless":0,"classes":{"ac.jp":[],"co.jp":[{"host":"gw.example.co.jp","count":2}],)"
        u8R"("or.jp":[],"ad.jp":[],"ne.jp":[{"host":"ホスト.example.ne.jp","count":1}],"other":[]}})")},
    JsonCase{"keywords", "keywords", "", U8(u8R"({"report":"keywords","queries":[{"query":"?kw=ロ,グ&q=\"x\"","count":1}]})")},
    JsonCase{"pages_name", "pages", "name", U8(u8R"({"report":"pages","order":"name","total":4,"rows":[{"page":"top.html","count":1},{"page":"ページ.html","count":3}]})")},
    JsonCase{"pages_ranking", "pages", "ranking", U8(u8R"({"report":"pages","order":"ranking","total":4,"rows":[{"page":"ページ.html","count":3},{"page":"top.html","count":1}]})")},
    JsonCase{"hourly_main", "hourly", "main", R"({"report":"hourly","records":"main","total":3,"counts":[)" + Counts(24, {8, 13, 23}) + "]}"},
    JsonCase{"hourly_page", "hourly", "page", R"({"report":"hourly","records":"page","total":3,"counts":[)" + Counts(24, {8, 9, 21}) + "]}"},
    JsonCase{"daily_main", "daily", "main", R"({"report":"daily","records":"main","total":3,"counts":[)" + Zeros(14) + ",1,0,2," + Zeros(14) + "]}"},
    JsonCase{"daily_page", "daily", "page", R"({"report":"daily","records":"page","total":3,"counts":[)" + Counts(31, {15, 16, 17}) + "]}"},
    JsonCase{"detail_page", "detail", "page", R"({"report":"detail","records":"page","total":3,"counts":[)" + DayHourCounts({{16, 21}, {17, 8}, {18, 9}}) + "]}"},
    JsonCase{"guests", "guests", "", U8(u8R"({"report":"guests","found":true,"first":{"number":41,"time":", 15-Jul-98 13:45:12 JST"},)"
        u8R"("last":{"number":44,"time":", 17-Jul-98 23:59:59 JST"},"main_guests":4,"page_guests":4})")},
    JsonCase{"share", "share", "", R"({"report":"share","total":3,"counts":{"MSIE2.0":0,"MSIE3.0":0,"MSIE4.0":1,"NN2.0":0,"NN3.0":2,"NN4.0":0,"other":0},)"
        R"("percent":{"MSIE2.0":0,"MSIE3.0":0,"MSIE4.0":33,"NN2.0":0,"NN3.0":66,"NN4.0":0,"other":0,"MSIE,NN3.0+":100,"MSIE3.0+":33,"Netscape":66}})"},
    JsonCase{"page_names", "page-names", "", U8(u8R"({"report":"page-names","pages":["top.html","ページ.html"]})")},
    JsonCase{"page_days", "page-days", "PAGE", U8(u8R"({"report":"page-days","page":"ページ.html","total":3,"counts":[)") + Counts(31, {15, 16, 17}) + "]}"},
    JsonCase{"dates_main", "dates", "main", R"({"report":"dates","records":"main","total":3,"undated":0,"days":[{"date":"1998-07-15","count":1},)"
        R"({"date":"1998-07-16","count":0},{"date":"1998-07-17","count":2}]})"},
    JsonCase{"months_page", "months", "page", R"({"report":"months","records":"page","total":3,"undated":0,"months":[{"month":"1998-07","count":3}]})"},
    JsonCase{"weekdays_main", "weekdays", "main", R"({"report":"weekdays","records":"main","total":3,"undated":0,"counts":[0,0,0,1,0,2,0]})"},
    JsonCase{"weekhours_page", "weekhours", "page", R"({"report":"weekhours","records":"page","total":3,"undated":0,"counts":[[)" + Zeros(24) +
        "],[" + Zeros(24) + "],[" + Zeros(24) + "],[" + Zeros(24) + "],[" + Zeros(24, 21) + "],[" + Zeros(24, 8) + "],[" + Zeros(24, 9) + "]]}"},
    JsonCase{"phrases", "phrases", "", R"({"report":"phrases","total":1,"rows":[{"phrase":"\"x\"","count":1,"hosts":["search.example.co.jp"]}]})"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(JsonOutputTest, UnloadedDocumentIsBlankWithoutGuestsOrShares) {
    const CQuorlet3Doc empty;
    auto out = [&](const char* name) { return FormatJson(Row(name), Compute(empty, Row(name))); };
    EXPECT_EQ(out("check"), R"({"report":"check","errors":1,"guest_number_gaps":[],"page_record_breaks":[],)"
                            R"("main_record_breaks":[],"blank":true,"empty_lines":[]})");
    EXPECT_EQ(out("guests"), R"({"report":"guests","found":false})");
    EXPECT_EQ(out("share"), R"({"report":"share","total":0,"counts":{"MSIE2.0":0,"MSIE3.0":0,"MSIE4.0":0,"NN2.0":0,)"
                            R"("NN3.0":0,"NN4.0":0,"other":0},"percent":{}})");
}

TEST(JsonOutputTest, EscapesQuoteBackslashControlBytesAndReplacesInvalidBytes) {
    const CommandRow& row = Row("page-names");
    EXPECT_EQ(FormatJson(row, Compute(test::LoadLines(kHostileLog), row)),
              U8(u8R"({"report":"page-names","pages":["a\"b\\c\td\u0001e\u001f)"
                 u8"\x7f\uFFFDペ\uFFFD"
                 u8R"(\"\r\b\fz","x\ry"]})"));
}

TEST(JsonOutputTest, AsciiBytesPassAsTheDecoderGivesThem) {
    // Plain ASCII skips the cp932 decoder; every byte must come out as the decoder's.
    for (int c = 0; c < 0x80; ++c) {
        const std::string byte(1, static_cast<char>(c));
        std::string direct;
        std::string decoded;
        JsonWriter(direct).Cp932(byte);
        JsonWriter(decoded).Utf8(DecodeCp932ToUtf8(byte));
        EXPECT_EQ(direct, decoded) << "byte " << c;
    }
}

struct CsvCase {
    const char* name;
    const char* report;
    const char* argument;
    const std::vector<std::string>* log;
    std::string expected;  // UTF-8
};

class CsvReportTest : public ::testing::TestWithParam<CsvCase> {};

TEST_P(CsvReportTest, ExactTable) {
    const CsvCase& c = GetParam();
    const CommandRow& row = Row(c.report, c.argument);
    EXPECT_EQ(FormatCsv(row, Compute(test::LoadLines(*c.log), row, "ページ.html"_sj)), c.expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tables, CsvReportTest, ::testing::Values(
    CsvCase{"check", "check", "", &kLog, U8(u8"kind,line,detail\r\nguest_number_gap,8,41-43\r\npage_record_break,15,\r\n"
        u8"main_record_break,20,④と⑤\r\nempty_line,16,\r\n")},
    CsvCase{"links", "links", "", &kLog, U8(u8"value,count\r\n\"http://search.example.co.jp/?kw=ロ,グ&q=\"\"x\"\"\",1\r\n")},
    CsvCase{"hosts", "hosts", "", &kLog, U8(u8"class,host,count\r\nco.jp,gw.example.co.jp,2\r\nne.jp,ホスト.example.ne.jp,1\r\n")},
    CsvCase{"keywords", "keywords", "", &kLog, U8(u8"query,count\r\n\"?kw=ロ,グ&q=\"\"x\"\"\",1\r\n")},
    CsvCase{"pages", "pages", "ranking", &kLog, U8(u8"page,count\r\nページ.html,3\r\ntop.html,1\r\n")},
    CsvCase{"guests", "guests", "", &kLog, "which,number,time\r\nfirst,41,\", 15-Jul-98 13:45:12 JST\"\r\n"
        "last,44,\", 17-Jul-98 23:59:59 JST\"\r\nmain_guests,4,\r\npage_guests,4,\r\n"},
    CsvCase{"share", "share", "", &kLog, "class,count,percent\r\nMSIE2.0,0,0\r\nMSIE3.0,0,0\r\nMSIE4.0,1,33\r\nNN2.0,0,0\r\n"
        "NN3.0,2,66\r\nNN4.0,0,0\r\nother,0,0\r\n\"MSIE,NN3.0+\",,100\r\nMSIE3.0+,,33\r\nNetscape,,66\r\n"},
    CsvCase{"dates", "dates", "main", &kLog, "date,count\r\n1998-07-15,1\r\n1998-07-16,0\r\n1998-07-17,2\r\n"},
    CsvCase{"months", "months", "main", &kLog, "month,count\r\n1998-07,3\r\n"},
    CsvCase{"weekdays", "weekdays", "page", &kLog, "weekday,count\r\nsun,0\r\nmon,0\r\ntue,0\r\nwed,0\r\nthu,1\r\nfri,1\r\nsat,1\r\n"},
    CsvCase{"phrases", "phrases", "", &kLog, "phrase,count,hosts\r\n\"\"\"x\"\"\",1,search.example.co.jp\r\n"},
    CsvCase{"hostile_page_names", "page-names", "", &kHostileLog,
        U8(u8"page\r\n\"a\"\"b\\c\td\x01" u8"e\x1f\x7f\uFFFDペ\uFFFD\"\"\r\b\fz\"\r\n\"x\ry\"\r\n")}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(CsvOutputTest, TimeGridsHaveOneRowPerCell) {
    struct Grid {
        const char* report;
        std::string firstRows;
        size_t rows;
    };
    for (const Grid& grid : {Grid{"hourly", "hour,count\r\n0,0\r\n", 24}, Grid{"daily", "day,count\r\n1,0\r\n", 31},
                             Grid{"detail", "day,hour,count\r\n1,0,0\r\n", 31 * 24}}) {
        const CommandRow& row = Row(grid.report, "main");
        const std::string csv = FormatCsv(row, Compute(Doc(), row));
        EXPECT_TRUE(csv.starts_with(grid.firstRows)) << grid.report;
        EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), static_cast<long>(grid.rows + 1)) << grid.report;
    }
    const CommandRow& detail = Row("detail", "main");
    EXPECT_NE(FormatCsv(detail, Compute(Doc(), detail)).find("\r\n17,23,1\r\n"), std::string::npos);
}

TEST(JsonAllTest, EveryReportOnceInMenuOrderAndParses) {
    const std::vector<RowResult> reports = RunRows(AllReportRows(), Doc().Store());
    const json all = json::parse(FormatJsonAll("/logs/アクセス\"1\".log"_sj, 22, reports));
    EXPECT_EQ(all["log"], U8(u8"/logs/アクセス\"1\".log"));
    EXPECT_EQ(all["lines"], 22);
    // Each report's words as the table gives them, the argument as its JSON member holds it.
    std::vector<std::string> expected;
    for (const CommandRow* row : AllReportRows()) {
        expected.push_back(std::string(row->cliName) +
                           (row->cliArgument != nullptr ? std::string(" ") + row->cliArgument : ""));
    }
    ASSERT_EQ(all["reports"].size(), expected.size());
    ASSERT_EQ(reports.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const json& report = all["reports"][i];
        std::string name = report["report"];
        name += report.contains("records") ? " " + report["records"].get<std::string>() : "";
        name += report.contains("order") ? " " + report["order"].get<std::string>() : "";
        EXPECT_EQ(name, expected[i]);
        EXPECT_EQ(report, json::parse(FormatJson(*reports[i].row, reports[i].result))) << expected[i];
    }
}

// A log of many records over many days and hours, some with stamps outside every cell.
std::vector<std::string> GeneratedLog() {
    static const char* const kDays[] = {"01", "09", "10", "17", "28", "31", "32", "00", "x1"};
    static const char* const kHours[] = {"00", "07", "12", "23", "24", "9:"};
    std::vector<std::string> lines;
    unsigned state = 12345;
    auto next = [&](unsigned bound) {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % bound;
    };
    for (int guest = 1; lines.size() < 9900; ++guest) {
        const std::string day = kDays[next(std::size(kDays))];
        const std::string hour = kHours[next(std::size(kHours))];
        lines.push_back("①"_sj + std::to_string(guest));
        lines.push_back("②Friday, "_sj + day + "-Jul-98 " + hour + ":00:00 JST");
        lines.push_back("③h"_sj + std::to_string(next(7)) + ".example.ne.jp");
        lines.push_back("④Mozilla/"_sj + std::to_string(2 + next(3)) + ".0");
        lines.push_back("⑤"_sj);
        for (unsigned p = next(3); p > 0; --p) {
            lines.push_back("⑥p"_sj + std::to_string(next(4)) + ".html");
            lines.push_back("⑦Friday, "_sj + std::string(kDays[next(std::size(kDays))]) + "-Jul-1998 " +
                            kHours[next(std::size(kHours))] + ":00:00 JST");
        }
    }
    return lines;
}

// The numbers of a report text: the last one of the title line, then the one after the
// first tab of every row that has one. Read over the cp932 bytes, whose multibyte
// characters hold neither digits nor tabs.
std::vector<int> TextNumbers(const std::string& text) {
    std::vector<int> numbers;
    static const std::regex kTitleNumber("(\\d+)[^0-9]*$");
    static const std::regex kRowNumber("^[^\t]*\t(\\d+)\t");
    size_t start = 0;
    for (size_t end = text.find("\r\n"); end != std::string::npos; start = end + 2, end = text.find("\r\n", start)) {
        const std::string line = text.substr(start, end - start);
        std::smatch match;
        if (numbers.empty() ? std::regex_search(line, match, kTitleNumber)
                            : std::regex_search(line, match, kRowNumber)) {
            numbers.push_back(std::stoi(match[1]));
        }
    }
    return numbers;
}

TEST(JsonTextAgreementTest, TotalsAndCountsEqualTheTextsNumbers) {
    const CQuorlet3Doc doc = test::LoadLines(GeneratedLog());
    for (const CommandRow& row : CommandTable()) {
        const bool timeReport = row.cliName != nullptr && (std::string_view(row.cliName) == "hourly" ||
                                                           std::string_view(row.cliName) == "daily" ||
                                                           std::string_view(row.cliName) == "detail" || TakesPage(row));
        if (!timeReport) {
            continue;
        }
        const ReportResult result = Compute(doc, row, "p2.html");
        const json parsed = json::parse(FormatJson(row, result));
        std::vector<int> numbers = {parsed["total"].get<int>()};
        for (const json& cell : parsed["counts"]) {
            for (const json& count : cell.is_array() ? cell : json::array({cell})) {
                numbers.push_back(count.get<int>());
            }
        }
        EXPECT_GT(numbers.front(), 100) << row.cliName;
        EXPECT_EQ(numbers, TextNumbers(FormatText(result))) << row.cliName << " " << row.cliArgument;
    }
}

}  // namespace
}  // namespace quorlet3
