// quorlet3-report as a process: report bytes on stdout, exit status, messages on stderr.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "encoding/Cp932.h"
#include "encoding/Cp932Literal.h"
#include "logstore/Quorlet3Doc.h"
#include "tests/support/TestLog.h"

namespace quorlet3 {
namespace {

using test::TempDir;

using test::U8;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string ShellQuoted(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

struct Outcome {
    int exitCode;  // 137 when the run was killed for taking too long
    std::string out;
    std::string err;
};

// Runs quorlet3-report with the arguments, killing it after killAfter seconds. Its output
// goes to stdoutTo when one is given; the file stdinFrom, when given, comes through a pipe.
Outcome RunReport(const std::vector<std::string>& args, const std::string& stdoutTo = "",
                  const std::string& stdinFrom = "", int killAfter = 10) {
    TempDir dir;
    std::string command = (stdinFrom.empty() ? "" : "cat " + ShellQuoted(stdinFrom) + " | ") + "timeout -s KILL " +
                          std::to_string(killAfter) + " " + ShellQuoted(QUORLET3_REPORT);
    for (const std::string& arg : args) {
        command += " " + ShellQuoted(arg);
    }
    command += " >" + (stdoutTo.empty() ? dir.Path() + "/out" : stdoutTo) + " 2>" + dir.Path() + "/err";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(dir.Path() + "/out"), ReadAll(dir.Path() + "/err")};
}

// clang-format off
const std::vector<std::string> kLogLines = {
    "①41"_sj, "②Wednesday, 15-Jul-98 13:45:12 JST"_sj, "③ホスト.example.ne.jp"_sj, "④Mozilla/4.0 (compatible; MSIE 4.0)"_sj,
    "⑤http://search.example.co.jp/?kw=ロ グ"_sj, "⑥ページ.html"_sj, "⑦Thursday, 16-Jul-1998 21:03:44 JST"_sj,
    "⑥top"_sj + std::string("\x80.html"), "⑦Friday, 17-Jul-1998 01:00:00 JST"_sj, "①43"_sj, "②Friday, 17-Jul-98 08:00:00 JST"_sj, "", "③"_sj + std::string("\x81")};
// clang-format on

// A sound log of main-page and page records whose hosts, browsers, keywords and pages
// take a few values each, ending without a line end (an open last line).
std::string GeneratedLog(int records) {
    std::string log;
    for (int r = 0; r < records; ++r) {
        const std::string day = std::to_string(10 + r % 19);
        const std::string hour = std::to_string(10 + r % 13);
        log +=
            test::JoinCrLf({"①"_sj + std::to_string(100 + r), "②Friday, "_sj + day + "-Jul-98 " + hour + ":00:00 JST",
                            "③h"_sj + std::to_string(r % 37) + ".example.ne.jp",
                            "④Mozilla/"_sj + std::to_string(2 + r % 3) + ".0 (compatible; MSIE 4.0)",
                            "⑤http://search.example.co.jp/?kw=語"_sj + std::to_string(r % 11)});
        if (r % 3 == 0) {
            log += test::JoinCrLf({std::string("⑥"_sj) + (r % 2 == 0 ? "ページ.html"_sj : "top.html"),
                                   "⑦Friday, "_sj + day + "-Jul-1998 " + hour + ":30:00 JST"});
        }
    }
    log.resize(log.size() - 2);
    return log;
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override { m_log = m_dir.WriteFile("access.log", test::JoinCrLf(kLogLines)); }
    TempDir m_dir;
    std::string m_log;
};

// The words of a report as typed; its row's report is what it must print.
struct ReportName {
    std::vector<std::string> words;
};

std::string Joined(const std::vector<std::string>& words) {
    std::string joined;
    for (const std::string& word : words) {
        joined += (joined.empty() ? "" : " ") + word;
    }
    return joined;
}

class CliRawTest : public CliTest, public ::testing::WithParamInterface<ReportName> {};

TEST_P(CliRawTest, WritesTheCommandsReportBytes) {
    std::vector<std::string> args = {"--raw", m_log};
    args.insert(args.end(), GetParam().words.begin(), GetParam().words.end());
    const Outcome run = RunReport(args);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, test::ReportOf(test::LoadLines(kLogLines), Joined(GetParam().words)));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Reports, CliRawTest, ::testing::Values(
    ReportName{{"check"}},
    ReportName{{"contents"}},
    ReportName{{"links"}},
    ReportName{{"browsers"}},
    ReportName{{"hosts"}},
    ReportName{{"keywords"}},
    ReportName{{"pages", "name"}},
    ReportName{{"pages", "ranking"}},
    ReportName{{"hourly", "main"}},
    ReportName{{"hourly", "page"}},
    ReportName{{"daily", "main"}},
    ReportName{{"daily", "page"}},
    ReportName{{"detail", "main"}},
    ReportName{{"detail", "page"}},
    ReportName{{"guests"}},
    ReportName{{"share"}}),
    [](const auto& info) { return info.param.words.front() + (info.param.words.size() > 1 ? "_" + info.param.words[1] : ""); });
// clang-format on

TEST_F(CliTest, Utf8OutputHasLineFeedsAndReplacementCharacters) {
    const Outcome check = RunReport({m_dir.WriteFile("empty.log", ""), "check"});
    EXPECT_EQ(check.exitCode, 0);
    EXPECT_EQ(check.out, U8(u8"ファイル検査\n\n********** 訪問者Ｎｏ **********\n********** ⑥と⑦の不連続 **********\n"
                            u8"********** ①～⑤の不連続 **********\n********** 空欄 **********\n"
                            u8"\nエラーはありませんでした。\n"));
    const Outcome contents = RunReport(
        {m_dir.WriteFile("odd.log", "⑥top"_sj + std::string("\x80.html\r\n") + "⑦a\rb\r\n③"_sj + "\x81"), "contents"});
    EXPECT_EQ(contents.out, U8(u8"\ttop\uFFFD.html    \ta\rb\n\uFFFD "));
}

TEST_F(CliTest, PageDaysTakesUtf8OrRawPage) {
    const std::string expected = test::ReportOf(test::LoadLines(kLogLines), "page-days", "ページ.html"_sj);
    const Outcome raw = RunReport({"--raw", m_log, "page-days", "ページ.html"_sj});
    EXPECT_EQ(raw.exitCode, 0);
    EXPECT_EQ(raw.out, expected);
    const Outcome utf8 = RunReport({m_log, "page-days", U8(u8"ページ.html")});
    EXPECT_EQ(utf8.exitCode, 0);
    EXPECT_EQ(utf8.out, CrLfToLf(DecodeCp932ToUtf8(expected)));
    const Outcome rawBytes = RunReport({"--raw", m_log, "page-days", "top\x80.html"});
    EXPECT_EQ(rawBytes.out, test::ReportOf(test::LoadLines(kLogLines), "page-days", "top\x80.html"));
    EXPECT_EQ(RunReport({m_log, "page-days", "top\x80.html"}).exitCode, 2);  // not UTF-8
}

TEST_F(CliTest, Utf8PageFindsTheLogsOwnCodeOfItsName) {
    // 髙 is EE E0 or FB FC in cp932; encoding the typed name gives FB FC, the log has EE E0.
    const std::vector<std::string> lines = {"⑥"_sj + std::string("\xEE\xE0") + "橋.html"_sj,
                                            "⑦Friday, 17-Jul-1998 01:00:00 JST"_sj};
    const std::string log = m_dir.WriteFile("takahashi.log", test::JoinCrLf(lines));
    const Outcome run = RunReport({log, "page-days", U8(u8"髙橋.html")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, CrLfToLf(DecodeCp932ToUtf8(test::ReportOf(test::LoadLines(lines), "page-days",
                                                                 std::string("\xEE\xE0") + "橋.html"_sj))));
    EXPECT_NE(run.out.find(U8(u8"\t1回\n")), std::string::npos) << run.out;
}

TEST_F(CliTest, Utf8PageThatReadsAsSeveralPagesIsAUsageErrorListingThem) {
    // Both codes of 髙 in one log, and two pages whose undecodable bytes both read as U+FFFD.
    const std::vector<std::string> lines = {"⑥"_sj + std::string("\xEE\xE0") + "橋.html"_sj,
                                            "⑦Friday, 17-Jul-1998 01:00:00 JST"_sj,
                                            "⑥"_sj + std::string("\xFB\xFC") + "橋.html"_sj,
                                            "⑦Friday, 17-Jul-1998 02:00:00 JST"_sj,
                                            "⑥"_sj + std::string("a\x80.html"),
                                            "⑦Friday, 17-Jul-1998 03:00:00 JST"_sj,
                                            "⑥"_sj + std::string("a\xA0.html"),
                                            "⑦Friday, 17-Jul-1998 04:00:00 JST"_sj};
    const std::string log = m_dir.WriteFile("alike.log", test::JoinCrLf(lines));
    const struct {
        std::string page;
        std::vector<std::string> listed;
    } cases[] = {{U8(u8"髙橋.html"), {"$'\\xee\\xe0\\x8b\\xb4.html'", "$'\\xfb\\xfc\\x8b\\xb4.html'"}},
                 {U8(u8"a\uFFFD.html"), {"$'a\\x80.html'", "$'a\\xa0.html'"}}};
    for (const auto& c : cases) {
        for (const std::string_view mode : {"", "--whole"}) {
            std::vector<std::string> args = {log, "page-days", c.page};
            if (!mode.empty()) {
                args.insert(args.begin(), std::string(mode));
            }
            const Outcome run = RunReport(args);
            EXPECT_EQ(run.exitCode, 2) << mode;
            EXPECT_EQ(run.out, "");
            EXPECT_NE(run.err.find("--raw"), std::string::npos) << run.err;
            for (const std::string& page : c.listed) {
                EXPECT_NE(run.err.find("\n  " + page + "\n"), std::string::npos) << mode << run.err;
            }
        }
    }
    // Each listed form, given with --raw, finds its own page.
    EXPECT_EQ(RunReport({"--raw", log, "page-days", "a\xA0.html"}).out,
              test::ReportOf(test::LoadLines(lines), "page-days", "a\xA0.html"));
}

TEST_F(CliTest, LineWindowsShowFileLineNumbersInTheCheck) {
    // File lines 2 and 8 are empty; line 4 begins the first whole record.
    const std::string log = m_dir.WriteFile(
        "window.log",
        test::JoinCrLf({"③x"_sj, "", "⑤y"_sj, "①2"_sj, "②y"_sj, "③z"_sj, "④w"_sj, "", "⑤v"_sj, "⑥p"_sj, "⑦q"_sj}));
    const struct {
        std::vector<std::string> window;
        const char* empties;
    } kCases[] = {
        {{}, "2行目 空欄\r\n8行目 空欄\r\n"_sj},
        {{"--from", "3"}, "8行目 空欄\r\n"_sj},
        {{"--from=9"}, ""},
        {{"--last"}, "8行目 空欄\r\n"_sj},  // a short log: all of it from its first record start
        {{"--from", "99"}, ""},
    };
    for (const auto& c : kCases) {
        std::vector<std::string> args = c.window;
        args.insert(args.end(), {"--raw", log, "check"});
        const Outcome run = RunReport(args);
        EXPECT_EQ(run.exitCode, 0);
        const std::string heading = "空欄 **********\r\n"_sj;
        const size_t from = run.out.find(heading);
        const size_t to = run.out.find("\r\nエラー"_sj);
        ASSERT_TRUE(from != std::string::npos && to != std::string::npos) << run.out;
        EXPECT_EQ(run.out.substr(from + heading.size(), to - from - heading.size()), c.empties) << args[0];
    }
}

TEST_F(CliTest, DateWindowsReadTheRecordsOfTheDates) {
    // Each run: the window, then the first lines of the check (file line numbers) and the daily rows.
    const std::string log = m_dir.WriteFile("dated.log", GeneratedLog(19));  // one day after another
    const Outcome all = RunReport({"--raw", log, "daily", "main"});
    const Outcome window = RunReport({"--raw", "--since", "1998-07-12", "--until=1998-07-13", log, "daily", "main"});
    EXPECT_EQ(window.exitCode, 0);
    EXPECT_NE(window.out.find("12日\t"_sj), std::string::npos);
    const std::string head = "メイン調査(アクセス回数)\t"_sj;
    const std::string rows12And13 =
        all.out.substr(all.out.find("12日"_sj), all.out.find("14日"_sj) - all.out.find("12日"_sj));
    EXPECT_NE(window.out.find(rows12And13), std::string::npos) << window.out;
    EXPECT_NE(window.out.find("\r\n11日\t0\t\r\n"_sj), std::string::npos);
    EXPECT_NE(window.out.find("\r\n14日\t0\t\r\n"_sj), std::string::npos);
    // With --whole the same window gives the same bytes for any number of threads.
    for (const char* jobs : {"1", "2", "3"}) {
        const Outcome whole = RunReport({"--raw", "--whole", "--jobs", jobs, "--part-size", "100", "--since",
                                         "1998-07-12", "--until", "1998-07-13", log, "daily", "main"});
        EXPECT_EQ(whole.exitCode, 0);
        EXPECT_EQ(whole.out, window.out) << jobs;
    }
    // A window after the log's last date is empty; the check still counts file lines.
    const Outcome after = RunReport({"--raw", "--since", "1999-01-01", m_log, "hourly", "main"});
    EXPECT_EQ(after.exitCode, 0);
    EXPECT_EQ(after.out.substr(0, after.out.find("\r\n")), head + "0 回"_sj);
    const Outcome check = RunReport({"--raw", "--since", "1998-07-17", m_log, "check"});
    EXPECT_NE(check.out.find("12行目 空欄\r\n"_sj), std::string::npos) << check.out;
    // Read whole, the window's check names the same file lines.
    const Outcome wholeCheck = RunReport({"--raw", "--whole", "--since", "1998-07-17", m_log, "check"});
    EXPECT_EQ(wholeCheck.exitCode, 0);
    EXPECT_EQ(wholeCheck.out, check.out);
}

TEST_F(CliTest, EmptyDateWindowIsNotedOnStandardError) {
    // m_log's dates run from 1998-07-15 to 1998-07-17.
    const struct {
        std::vector<std::string> args;
        std::string note;  // empty: the window holds lines and nothing is noted
    } cases[] = {
        {{"--since", "1999-01-01", m_log, "hourly", "main"}, "has no line dated from 1999-01-01 on"},
        {{"--until", "1998-01-31", "--whole", m_log, "check"}, "has no line dated up to 1998-01-31"},
        {{"--since", "1998-03-01", "--until", "1998-03-31", "--format", "json", m_log, "all"},
         "has no line dated from 1998-03-01 to 1998-03-31"},
        {{"--since", "1998-03-01", "--until", "1998-03-31", "--whole", m_log, "contents"},
         "has no line dated from 1998-03-01 to 1998-03-31"},
        {{"--since", "1998-03-01", "--until", "1998-03-31", "--whole", m_log, "page-days", "top"},
         "has no line dated from 1998-03-01 to 1998-03-31"},
        {{"--since", "1998-07-16", "--whole", m_log, "check"}, ""},
        {{"--since", "1998-07-16", m_log, "check"}, ""},
    };
    for (const auto& c : cases) {
        const Outcome run = RunReport(c.args);
        EXPECT_EQ(run.exitCode, 0) << c.args.back();
        if (c.note.empty()) {
            EXPECT_EQ(run.err, "") << c.args.back();
        } else {
            EXPECT_EQ(run.err, "quorlet3-report: '" + m_log + "' " + c.note + ": every count is 0\n") << c.args.back();
        }
    }
}

TEST_F(CliTest, EveryReportAsDataInOneRun) {
    const Outcome json = RunReport({"--format", "json", m_log, "all"});
    EXPECT_EQ(json.exitCode, 0);
    EXPECT_EQ(json.out.rfind("{\"log\":", 0), 0u) << json.out;
    size_t reports = 0;
    for (size_t at = json.out.find("\"report\":"); at != std::string::npos; at = json.out.find("\"report\":", at + 1)) {
        ++reports;
    }
    EXPECT_EQ(reports, AllReportRows().size());
    const Outcome html = RunReport({"--format", "html", "--last", m_log, "all"});
    EXPECT_EQ(html.exitCode, 0);
    EXPECT_EQ(html.out.rfind("<!DOCTYPE html>", 0), 0u) << html.out.substr(0, 100);
    const Outcome csv = RunReport({"--format=csv", m_log, "hourly", "main"});
    EXPECT_EQ(csv.exitCode, 0);
    EXPECT_EQ(csv.out.rfind("hour,count\r\n0,0\r\n", 0), 0u) << csv.out;
}

// The report words of every report of the command table, a page for the one that takes it.
std::vector<std::vector<std::string>> EveryReportWords() {
    std::vector<std::vector<std::string>> reports;
    for (const CommandRow& row : CommandTable()) {
        reports.push_back({row.cliName});
        if (row.cliArgument != nullptr) {
            reports.back().push_back(TakesPage(row) ? U8(u8"ページ.html") : row.cliArgument);
        }
    }
    return reports;
}

// The default output's "all" object with its contents report taken out, which a whole
// log's "all" leaves out.
std::string WithoutContents(const std::string& json) {
    const std::string begin = "{\"report\":\"contents\"";
    const size_t from = json.find(begin);
    const size_t to = json.find("]}", from);
    if (from == std::string::npos || to == std::string::npos || json[to + 2] != ',') {
        return json;
    }
    return json.substr(0, from) + json.substr(to + 3);
}

// A state kept between two runs, with the log grown in between, gives the report of a
// full run; a state that is no state, or a folder where none can be kept, costs a note.
TEST_F(CliTest, StateKeptBetweenRunsGivesTheFullRunsReport) {
    const std::string bytes = GeneratedLog(150);
    const std::string log = m_dir.WriteFile("grown.log", bytes.substr(0, bytes.size() / 3));
    const std::string state = m_dir.Path() + "/grown.state";
    const std::vector<std::string> report = {"--format", "json", log, "all"};
    auto withState = [&](const std::string& file) {
        std::vector<std::string> args = {"--whole", "--state", file};
        args.insert(args.end(), report.begin(), report.end());
        return RunReport(args);
    };
    EXPECT_EQ(withState(state).exitCode, 0);
    std::ofstream(log, std::ios::binary | std::ios::app) << bytes.substr(bytes.size() / 3);
    std::vector<std::string> fullArgs = {"--whole"};
    fullArgs.insert(fullArgs.end(), report.begin(), report.end());
    const Outcome full = RunReport(fullArgs);
    ASSERT_EQ(full.exitCode, 0);

    const Outcome kept = withState(state);
    EXPECT_EQ(kept.exitCode, 0);
    EXPECT_EQ(kept.err, "");
    EXPECT_EQ(kept.out, full.out);
    // The per-page report follows from the same state, for a page typed as text.
    const std::string names = RunReport({"--whole", log, "page-names"}).out;
    const std::string page = names.substr(0, names.find('\n'));
    const Outcome days = RunReport({"--whole", "--state", state, log, "page-days", page});
    EXPECT_EQ(days.err, "");
    EXPECT_EQ(days.out, RunReport({"--whole", log, "page-days", page}).out);
    EXPECT_NE(days.out.find(page), std::string::npos) << days.out;

    std::ofstream(state) << "not a state\n";
    const Outcome noState = withState(state);
    EXPECT_EQ(noState.exitCode, 0);
    EXPECT_EQ(noState.err, "quorlet3-report: '" + state + "' is not a state file: reading the whole log\n");
    EXPECT_EQ(noState.out, full.out);

    const Outcome unwritable = withState(m_dir.Path() + "/no-folder/grown.state");
    EXPECT_EQ(unwritable.exitCode, 0);
    EXPECT_NE(unwritable.err.find("cannot keep the state"), std::string::npos) << unwritable.err;
    EXPECT_EQ(unwritable.out, full.out);
}

// Below 10000 lines and 300 values per table, reading the whole log in parts gives every
// report, in every format, as the first 10000 lines give it.
TEST_F(CliTest, WholeLogEqualsTheDefaultOnAShortLog) {
    const std::vector<std::vector<std::string>> kFormats = {{}, {"--raw"}, {"--format", "json"}, {"--format=csv"}};
    // Records without their last line run on into one listing row of some 100 KB, which a
    // whole log writes out in pieces: with commas, quotes and Japanese text in it.
    std::string runsOn;
    for (int i = 0; i < 4000; ++i) {
        runsOn += "①"_sj + std::string(static_cast<size_t>(i % 41), 'a') + (i % 7 == 0 ? ",\"b" : "") +
                  (i % 5 == 0 ? "日"_sj : "") + "\r\n";
    }
    runsOn += "⑤end\r\n⑥page\r\n①1"_sj;
    // A listing that is one open row, written out in pieces to its last byte.
    std::string openRow;
    for (int i = 0; i < 66; ++i) {
        openRow += "①"_sj + std::string(997, 'a') + "\r\n";
    }
    for (const std::string& log : {m_log, m_dir.WriteFile("generated.log", GeneratedLog(150)),
                                   m_dir.WriteFile("runs-on.log", runsOn), m_dir.WriteFile("open-row.log", openRow)}) {
        for (const std::vector<std::string>& format : kFormats) {
            for (const std::vector<std::string>& report : EveryReportWords()) {
                std::vector<std::string> args = format;
                args.push_back(log);
                args.insert(args.end(), report.begin(), report.end());
                if (format == std::vector<std::string>{"--raw"} && report.size() == 2 && report[0] == "page-days") {
                    args.back() = "ページ.html"_sj;
                }
                std::vector<std::string> wholeArgs = {"--whole", "--jobs", "3", "--part-size", "7"};
                wholeArgs.insert(wholeArgs.end(), args.begin(), args.end());
                const Outcome byDefault = RunReport(args);
                const Outcome whole = RunReport(wholeArgs);
                SCOPED_TRACE(testing::PrintToString(wholeArgs));
                EXPECT_EQ(byDefault.exitCode, 0);
                EXPECT_EQ(whole.exitCode, 0);
                EXPECT_EQ(whole.err, "");
                // A whole log's hosts and keywords texts count each value once: they differ where one repeats.
                const bool counted = report[0] == "hosts" || report[0] == "keywords";
                const bool text = format.empty() || format[0] == "--raw";
                if (!counted || !text) {
                    EXPECT_EQ(whole.out, byDefault.out);
                }
            }
        }
        const Outcome all = RunReport({"--format", "json", log, "all"});
        const Outcome wholeAll =
            RunReport({"--whole", "--jobs", "3", "--part-size", "7", "--format", "json", log, "all"});
        EXPECT_EQ(wholeAll.exitCode, 0);
        EXPECT_NE(WithoutContents(all.out), all.out);
        EXPECT_EQ(wholeAll.out, WithoutContents(all.out));
    }
}

// 22 million browser lines: their count times 100 passes 32 bits, the share does not.
TEST_F(CliTest, ShareOfMillionsOfLines) {
    std::string log;
    const std::string line = "④x\r\n"_sj;
    for (int i = 0; i < 22000000; ++i) {
        log += line;
    }
    // 110 MB read whole: instrumented builds take longer than the usual 10 seconds.
    const Outcome whole = RunReport({"--whole", m_dir.WriteFile("many.log", log), "share"}, "", "", 120);
    EXPECT_EQ(whole.exitCode, 0) << whole.err;
    EXPECT_NE(whole.out.find(U8(u8"その他\t22000000\t100 ％\n")), std::string::npos) << whole.out;
}

// The per-page report of a page typed as text scales its bars over a whole log too.
TEST_F(CliTest, PageDaysOfAWholeLogScaleTheirBars) {
    test::Lines lines;
    for (int i = 0; i < 62; ++i) {
        const test::Lines record = test::PageRecord("p.html", i == 0 ? 16 : 15);
        lines.insert(lines.end(), record.begin(), record.end());
    }
    const std::string log = m_dir.WriteLines("days.log", lines);
    const Outcome whole = RunReport({"--whole", log, "page-days", "p.html"});
    EXPECT_EQ(whole.exitCode, 0) << whole.err;
    EXPECT_NE(whole.out.find(U8(u8"62回\n* 1 個 = 2 回\n\n")), std::string::npos) << whole.out;
    EXPECT_NE(whole.out.find("\n15\t61\t" + std::string(31, '*') + "\n16\t1\t*\n"), std::string::npos) << whole.out;
    EXPECT_EQ(RunReport({log, "page-days", "p.html"}).out.find(U8(u8"1 個 =")), std::string::npos);
}

// "-" reads standard input, here a pipe: the first 10000 lines by default, all of them
// with --whole, each giving the bytes the file gives.
TEST_F(CliTest, StandardInputReadsAsTheFile) {
    const std::string log = m_dir.WriteFile("long.log", GeneratedLog(2500));  // over 10000 lines, some 400 KB
    for (const std::vector<std::string>& mode : {std::vector<std::string>{}, {"--whole"}}) {
        for (const std::vector<std::string>& report :
             {std::vector<std::string>{"--raw", "check"}, {"--format=csv", "hosts"}, {"contents"}}) {
            std::vector<std::string> fromFile = mode;
            fromFile.push_back(log);
            fromFile.insert(fromFile.end(), report.begin(), report.end());
            std::vector<std::string> fromPipe = fromFile;
            fromPipe[mode.size()] = "-";
            const Outcome file = RunReport(fromFile);
            const Outcome pipe = RunReport(fromPipe, "", log);
            SCOPED_TRACE(testing::PrintToString(fromPipe));
            EXPECT_EQ(file.exitCode, 0);
            EXPECT_EQ(pipe.exitCode, 0);
            EXPECT_EQ(pipe.err, "");
            EXPECT_EQ(pipe.out, file.out);
        }
    }
}

TEST_F(CliTest, PageNamesOneALine) {
    EXPECT_EQ(RunReport({"--raw", m_log, "page-names"}).out, "top\x80.html\r\n" + std::string("ページ.html\r\n"_sj));
    EXPECT_EQ(RunReport({m_log, "page-names"}).out, U8(u8"top\uFFFD.html\nページ.html\n"));
}

TEST_F(CliTest, EndlessDeviceIsReadAsTenThousandEmptyLines) {
    const Outcome run = RunReport({"--raw", "/dev/zero", "check"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("\r\n10000行目 空欄\r\n\r\nエラーは、10000　個ありました。\r\n"_sj), std::string::npos);
}

TEST_F(CliTest, HelpAndVersion) {
    const Outcome help = RunReport({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("Usage: quorlet3-report", 0), 0u) << help.out;
    for (const char* option : {"--version", "-v"}) {
        const Outcome version = RunReport({option});
        EXPECT_EQ(version.exitCode, 0);
        EXPECT_EQ(version.out, "quorlet3-report " QUORLET3_VERSION "\n");
    }
}

TEST_F(CliTest, OutputThatCannotBeWrittenIsAnError) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{m_log, "check"}, {"--version"}}) {
        const Outcome run = RunReport(args, "/dev/full");
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find("cannot write"), std::string::npos) << run.err;
    }
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;  // "LOG" stands for a readable log
    const char* names = "";         // what the message names
};

class CliUsageTest : public CliTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(CliUsageTest, ExitsWithTwoAndAOneLineMessage) {
    std::vector<std::string> args = GetParam().args;
    std::replace(args.begin(), args.end(), std::string("LOG"), m_log);
    const Outcome run = RunReport(args);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    const std::string tail = "\nTry 'quorlet3-report --help'.\n";
    ASSERT_GT(run.err.size(), tail.size()) << run.err;
    EXPECT_EQ(run.err.substr(run.err.size() - tail.size()), tail) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 2) << run.err;
    EXPECT_EQ(run.err.rfind("quorlet3-report: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.substr(0, run.err.find('\n')).find(GetParam().names), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Errors, CliUsageTest,
    ::testing::Values(
        UsageCase{"NoArguments", {}}, UsageCase{"NoReport", {"LOG"}}, UsageCase{"UnknownReport", {"LOG", "summary"}},
        UsageCase{"MissingWord", {"LOG", "pages"}}, UsageCase{"WrongWord", {"LOG", "hourly", "both"}},
        UsageCase{"ExtraWord", {"LOG", "check", "x"}}, UsageCase{"EmptyExtraWord", {"LOG", "guests", ""}},
        UsageCase{"TooMany", {"LOG", "daily", "main", "x"}}, UsageCase{"NoPage", {"LOG", "page-days"}},
        UsageCase{"PageNamesWithWord", {"LOG", "page-names", "x"}},
        UsageCase{"UnknownOption", {"--utf16", "LOG", "check"}},
        UsageCase{"SvgWithoutShare", {"--svg", "x.svg", "LOG", "check"}},
        UsageCase{"UnknownFormat", {"--format", "xml", "LOG", "check"}},
        UsageCase{"RawJson", {"--raw", "--format", "json", "LOG", "check"}},
        UsageCase{"AllAsCsv", {"--format", "csv", "LOG", "all"}}, UsageCase{"AllAsText", {"LOG", "all"}},
        UsageCase{"HtmlOfOneReport", {"--format", "html", "LOG", "check"}},
        UsageCase{"FromZero", {"--from", "0", "LOG", "check"}},
        UsageCase{"FromAndLast", {"--from", "2", "--last", "LOG", "check"}},
        UsageCase{"UnknownReportBeforeBadFile", {"/nonexistent/a.log", "summary"}},
        UsageCase{"WholeAndLast", {"--whole", "--last", "LOG", "check"}, "--whole"},
        UsageCase{"WholeAndFrom", {"--whole", "--from", "3", "LOG", "check"}, "--whole"},
        UsageCase{"LastOfStandardInput", {"--last", "-", "check"}, "standard input"},
        UsageCase{"JobsWithoutWhole", {"--jobs", "2", "LOG", "check"}, "--jobs"},
        UsageCase{"PartSizeWithoutWhole", {"--part-size", "9", "LOG", "check"}, "--part-size"},
        UsageCase{"NoJobs", {"--whole", "--jobs", "0", "LOG", "check"}, "--jobs"},
        UsageCase{"SinceNotADate", {"--since", "1998-02-30", "LOG", "check"}, "--since"},
        UsageCase{"UntilWrongForm", {"--until=15-Jul-98", "LOG", "check"}, "--until"},
        UsageCase{"UntilWithoutDate", {"LOG", "check", "--until"}, "--until"},
        UsageCase{"UntilBeforeSince",
                  {"--since", "1998-07-16", "--until", "1998-07-15", "LOG", "check"},
                  "--until is before --since"},
        UsageCase{"SinceAndFrom", {"--since", "1998-07-16", "--from", "2", "LOG", "check"}, "--since"},
        UsageCase{"UntilAndLast", {"--last", "--until", "1998-07-16", "LOG", "check"}, "--until"},
        UsageCase{"SinceOfStandardInput", {"--since", "1998-07-16", "-", "check"}, "standard input"},
        UsageCase{"StateWithoutWhole", {"--state", "s", "LOG", "check"}, "--state"},
        UsageCase{"StateWithoutFile", {"--whole", "--state=", "LOG", "check"}, "--state"},
        UsageCase{"StateOfStandardInput", {"--whole", "--state", "s", "-", "check"}, "standard input"},
        UsageCase{"StateWithSince", {"--whole", "--state", "s", "--since", "1998-07-16", "LOG", "check"}, "--since"},
        UsageCase{"StateWithFrom", {"--state", "s", "--from", "2", "LOG", "check"}, "--state"},
        UsageCase{"StateWithLast", {"--whole", "--last", "--state", "s", "LOG", "check"}, "--last"},
        UsageCase{"StateWithContents", {"--whole", "--state", "s", "LOG", "contents"}, "contents"}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadLog {
    const char* name;
    std::string (*make)(const TempDir& dir);
};

class CliBadFileTest : public ::testing::TestWithParam<BadLog> {};

TEST_P(CliBadFileTest, ExitsWithOneNamingTheFile) {
    TempDir dir;
    const std::string path = GetParam().make(dir);
    const std::string state = dir.Path() + "/log.state";
    for (const std::vector<std::string>& mode :
         {std::vector<std::string>{"--raw"}, {"--whole"}, {"--whole", "--state", state}}) {
        std::vector<std::string> args = mode;
        args.insert(args.end(), {path, "check"});
        const Outcome run = RunReport(args);
        EXPECT_EQ(run.exitCode, 1) << mode.back();
        EXPECT_EQ(run.out, "") << mode.back();
        EXPECT_NE(run.err.find(path), std::string::npos) << mode.back() << ": " << run.err;
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, CliBadFileTest,
                         ::testing::Values(BadLog{"Nonexistent", [](const TempDir& d) { return d.Path() + "/no.log"; }},
                                           BadLog{"Directory", [](const TempDir& d) { return d.Path(); }},
                                           BadLog{"FifoWithoutWriter",
                                                  [](const TempDir& d) {
                                                      const std::string path = d.Path() + "/fifo.log";
                                                      ::mkfifo(path.c_str(), 0600);
                                                      return path;
                                                  }}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quorlet3
