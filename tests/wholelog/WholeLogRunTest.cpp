// Whole-log runs: every report equals the one over the line store for a short log, for
// any part size and any number of threads, and counts add up over line windows.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "encoding/Cp932.h"
#include "encoding/Cp932Literal.h"
#include "logstore/FileCheck.h"
#include "logstore/LogLoader.h"
#include "logstore/ReadingRules.h"
#include "output/CsvOutput.h"
#include "output/JsonOutput.h"
#include "reports/CommandTable.h"
#include "tests/support/TestLog.h"
#include "tests/wholelog/VariedLog.h"
#include "wholelog/WholeLogRun.h"

namespace quorlet3::test {
namespace {

struct LogCase {
    const char* name;
    std::string bytes;
};

std::vector<LogCase> Logs() {
    const std::string records = VariedLog(400, 7);
    return {
        {"VariedRecords", records},
        // Every walk ends at the sentinel line; the guest numbers are searched past it.
        {"SentinelInTheMiddle", VariedLog(60, 8) + "FileEND\r\n" + VariedLog(60, 9)},
        // A line of several reads, a line ending in a lone CR, a NUL, no final line end.
        {"LongLinesAndOddBytes", VariedLog(30, 10) + Cp932("⑤") + std::string(2500, 'q') + " x\r\n" +
                                     VariedLog(20, 11) + std::string("a\0b\r\n", 5) + Cp932("⑥") + "p\r" + "\r\n" +
                                     VariedLog(20, 12) + Cp932("①") + "77"},
        {"Empty", ""},
    };
}

// How the whole log is read: threads and bytes per part.
struct Reading {
    int jobs;
    size_t partBytes;
};

// The rows of every report, the per-page one included.
std::vector<const CommandRow*> EveryRow() {
    std::vector<const CommandRow*> rows = AllReportRows();
    rows.push_back(&CommandOf("page-days"));
    return rows;
}

// The store's result in the shape a whole log's takes: bars scaled, hosts and queries counted.
ReportResult AsWholeLog(ReportResult result) {
    std::visit(
        [](auto& r) {
            if constexpr (requires { r.wholeLog; }) {
                r.wholeLog = true;
            }
        },
        result);
    return result;
}

class WholeLogRunTest : public ::testing::TestWithParam<std::tuple<LogCase, Reading>> {};

TEST_P(WholeLogRunTest, EqualsTheStoreInEveryFormat) {
    const auto& [log, reading] = GetParam();
    TempDir dir;
    const std::string path = dir.WriteFile("log.log", log.bytes);
    const std::unique_ptr<LineStore> store = LoadLineStoreFromBytes(log.bytes);
    const std::string page = "index.html";

    RowRun run(EveryRow(), page, TableLimits::Unlimited());
    PartReadOptions options;
    options.jobs = reading.jobs;
    options.partBytes = reading.partBytes;
    const WalkEnd end = RunOverWholeLog(path, run.Accumulators(), options);
    EXPECT_EQ(end.visited, WalkLength(*store));

    for (const auto& [rowOf, whole] : run.Finish(end)) {
        const CommandRow& row = *rowOf;
        const ReportResult expected = RunRow(row, *store, page);
        SCOPED_TRACE(row.cliName);
        EXPECT_EQ(FormatText(whole), FormatText(AsWholeLog(expected)));
        EXPECT_EQ(FormatJson(row, whole), FormatJson(row, expected));
        EXPECT_EQ(FormatCsv(row, whole), FormatCsv(row, expected));
    }
}

INSTANTIATE_TEST_SUITE_P(Parts, WholeLogRunTest,
                         ::testing::Combine(::testing::ValuesIn(Logs()),
                                            ::testing::Values(Reading{1, size_t{1} << 20}, Reading{2, 3},
                                                              Reading{7, 17}, Reading{2, 700})),
                         [](const auto& info) {
                             const Reading& r = std::get<1>(info.param);
                             return std::string(std::get<0>(info.param).name) + "_Jobs" + std::to_string(r.jobs) +
                                    "_Part" + std::to_string(r.partBytes);
                         });

// A whole log's check is written from findings kept compactly and spilled to temporary
// files (here after a few bytes): the same bytes as the store's check in every format,
// for logs whose findings are many, in runs or apart, and lines longer than a part.
class WholeLogCheckTest : public ::testing::TestWithParam<std::tuple<LogCase, Reading>> {};

TEST_P(WholeLogCheckTest, WrittenFromSpilledFindingsAsFromTheStore) {
    const auto& [log, reading] = GetParam();
    TempDir dir;
    const std::string path = dir.WriteFile("log.log", log.bytes);
    const std::unique_ptr<LineStore> store = LoadLineStoreFromBytes(log.bytes);
    ASSERT_NE(WalkLength(*store), kLineSlots) << "a log the store holds whole";

    PlainAccumulator<FileCheckAccumulator> check(FileCheckAccumulator::Spilling(16));
    SlotAccumulator* const one[] = {&check};
    PartReadOptions options;
    options.jobs = reading.jobs;
    options.partBytes = reading.partBytes;
    const FileCheckFindings findings = check.Accumulator().TakeFindings(RunOverWholeLog(path, one, options));

    const CommandRow& row = CommandOf("check");
    const ReportResult expected = RunRow(row, *store, {});
    auto written = [&](auto write) {
        std::string out;
        write([&out](std::string_view piece) { out += piece; });
        return out;
    };
    EXPECT_EQ(written([&](auto to) { WriteFileCheckText(findings, to); }), FormatText(expected));
    const TextConversion toUtf8 = [](std::string_view cp932) { return CrLfToLf(DecodeCp932ToUtf8(cp932)); };
    EXPECT_EQ(written([&](auto to) { WriteFileCheckText(findings, to, toUtf8); }),
              CrLfToLf(DecodeCp932ToUtf8(FormatText(expected))));
    EXPECT_EQ(written([&](auto to) { WriteJsonFileCheck(row, findings, to); }), FormatJson(row, expected));
    EXPECT_EQ(written([&](auto to) { WriteCsvFileCheck(findings, to); }), FormatCsv(row, expected));
}

std::vector<LogCase> CheckLogs() {
    std::string apart;
    for (int i = 0; i < 3000; ++i) {
        apart += i % 3 == 0 ? Cp932("⑥p") + "\n\n" : Cp932("①") + std::to_string(i * 2) + "\r\n";
    }
    return {
        {"VariedRecords", VariedLog(400, 7)},
        {"EmptyLines", std::string(6000, '\n')},
        {"FindingsApart", apart},
        {"NulBytes", std::string(30000, '\0')},
        {"LongLines", Cp932("⑥") + std::string(5000, 'p') + "\r\n" + std::string(3000, 'q') + "\n\n" + Cp932("④x")},
    };
}

INSTANTIATE_TEST_SUITE_P(Parts, WholeLogCheckTest,
                         ::testing::Combine(::testing::ValuesIn(CheckLogs()),
                                            ::testing::Values(Reading{1, size_t{1} << 20}, Reading{3, 17},
                                                              Reading{2, 1500})),
                         [](const auto& info) {
                             const Reading& r = std::get<1>(info.param);
                             return std::string(std::get<0>(info.param).name) + "_Jobs" + std::to_string(r.jobs) +
                                    "_Part" + std::to_string(r.partBytes);
                         });

// Over a log of three full windows, the counts that only add (time grids, share, totals)
// are the sums of the three windows' counts.
TEST(WholeLogSumTest, CountsAreTheSumsOfThreeWindows) {
    std::string log = VariedLog(9000, 21);
    // Cut at exactly 30000 lines, so that the windows from lines 1, 10001 and 20001 cover it.
    size_t at = 0;
    for (int line = 0; line < 30000; ++line) {
        at = log.find('\n', at) + 1;
    }
    log.resize(at);
    TempDir dir;
    const std::string path = dir.WriteFile("log.log", log);

    auto hourly = [](const ReportResult& r) { return std::get<TimeCountsResult>(r).counts; };
    std::vector<const CommandRow*> rows = {&CommandOf("detail main"), &CommandOf("detail page"),
                                           &CommandOf("hourly main"), &CommandOf("share"), &CommandOf("links")};
    RowRun run(rows, {}, TableLimits::Unlimited());
    PartReadOptions options;
    options.jobs = 2;
    options.partBytes = 4096;
    const WalkEnd end = RunOverWholeLog(path, run.Accumulators(), options);
    ASSERT_EQ(end.visited, 30000);
    const std::vector<RowResult> whole = run.Finish(end);

    std::vector<std::vector<long long>> sums(3);
    ShareCounters share{};
    long long links = 0;
    for (long long from : {1LL, 10001LL, 20001LL}) {
        const LoadedLog window = LoadLineStore(path, LineWindow::FromLine(from));
        for (size_t k = 0; k < sums.size(); ++k) {
            const std::vector<long long> counts = hourly(RunRow(*rows[k], *window.store));
            sums[k].resize(counts.size());
            for (size_t c = 0; c < counts.size(); ++c) {
                sums[k][c] += counts[c];
            }
        }
        const ShareResult part = std::get<ShareResult>(RunRow(*rows[3], *window.store));
        for (size_t k = 0; k < share.size(); ++k) {
            share[k] += part.counters[k];
        }
        links += std::get<ValueTallyResult>(RunRow(*rows[4], *window.store)).total;
    }
    for (size_t k = 0; k < sums.size(); ++k) {
        EXPECT_EQ(hourly(whole[k].result), sums[k]) << rows[k]->help;
    }
    EXPECT_EQ(std::get<ShareResult>(whole[3].result).counters, share);
    EXPECT_EQ(std::get<ValueTallyResult>(whole[4].result).total, links);
}

}  // namespace
}  // namespace quorlet3::test
