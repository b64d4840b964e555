// Whole-log runs that go on from a kept state: equal to a full run wherever the log was
// cut, and a state that does not fit the log is noticed and read past, never used.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "encoding/Cp932Literal.h"
#include "logstore/LogLoader.h"
#include "output/CsvOutput.h"
#include "output/JsonOutput.h"
#include "reports/CommandTable.h"
#include "reports/ReportRun.h"
#include "tests/support/TestLog.h"
#include "tests/wholelog/VariedLog.h"
#include "wholelog/KeptState.h"

namespace quorlet3::test {
namespace {

constexpr std::string_view kKey = "every report but the listing\n";

std::vector<const CommandRow*> StateRows() {
    std::vector<const CommandRow*> rows;
    for (const CommandRow* row : AllReportRows()) {
        if (!IsListing(*row)) {
            rows.push_back(row);
        }
    }
    return rows;
}

// Every report of a run in every format, one text.
std::string Written(RowRun& run, const WalkEnd& end) {
    std::string out = std::to_string(end.visited) + "\n";
    for (const auto& [row, result] : run.Finish(end)) {
        out += FormatText(result) + FormatJson(*row, result) + FormatCsv(*row, result);
    }
    return out;
}

// The pages whose days the runs also report: one by its bytes, one typed as UTF-8.
const std::string kRawPage = "index.html";
const std::string kTextPage = "日記.html";

std::string FullRun(const std::string& path) {
    std::vector<const CommandRow*> rows = StateRows();
    RowRun run(rows, {}, TableLimits::Unlimited());
    RowRun raw(std::vector<const CommandRow*>{&CommandOf("page-days")}, kRawPage, TableLimits::Unlimited());
    PlainAccumulator<PageDaysByTextAccumulator> text{PageDaysByTextAccumulator(kTextPage)};
    std::vector<SlotAccumulator*> walkers(run.Accumulators().begin(), run.Accumulators().end());
    walkers.insert(walkers.end(), {raw.Accumulators().front(), &text});
    const WalkEnd end = RunOverWholeLog(path, walkers, {});
    const std::optional<PageDaysResult> days = text.Accumulator().Finish(end);
    return Written(run, end) + FormatText(raw.Finish(end).front().result) +
           (days ? FormatPageDaysText(*days) : "no page");
}

struct KeptRun {
    std::string written;
    std::vector<std::string> notes;
};

KeptRun RunKept(const std::string& path, const std::string& state, int jobs = 1, size_t partBytes = 8u << 20) {
    const std::vector<const CommandRow*> rows = StateRows();
    std::optional<RowRun> run;
    std::optional<PlainAccumulator<EveryPageDaysAccumulator>> pages;
    std::vector<SlotAccumulator*> walkers;
    PartReadOptions options;
    options.jobs = jobs;
    options.partBytes = partBytes;
    KeptRun kept;
    const WalkEnd end = RunOverWholeLogKept(
        path, state, kKey,
        [&]() -> std::span<SlotAccumulator* const> {
            run.emplace(rows, std::string_view{}, TableLimits::Unlimited());
            pages.emplace(EveryPageDaysAccumulator{});
            walkers.assign(run->Accumulators().begin(), run->Accumulators().end());
            walkers.push_back(&*pages);
            return walkers;
        },
        options, [&](const std::string& note) { kept.notes.push_back(note); });
    std::optional<PageDaysResult> days = pages->Accumulator().Text(kTextPage).Finish(end);
    kept.written = Written(*run, end) + FormatText(ReportResult(pages->Accumulator().Raw(kRawPage))) +
                   (days ? FormatPageDaysText(*days) : "no page");
    return kept;
}

void Append(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::app)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Where a log is cut: after the first occurrence of a text (plus a shift), or at a byte.
struct Cut {
    const char* name;
    std::string after;  // empty: at the byte shift
    long long shift = 0;
};

size_t CutAt(const std::string& log, const Cut& cut) {
    long long at = cut.shift;
    if (!cut.after.empty()) {
        const size_t found = log.find(cut.after);
        at += found == std::string::npos ? 0 : static_cast<long long>(found + cut.after.size());
    }
    return static_cast<size_t>(std::clamp<long long>(at, 0, static_cast<long long>(log.size())));
}

const std::string kLog = VariedLog(40, 21) + "FileEND\r\n" + VariedLog(10, 22) + Cp932("⑤") + std::string(2100, 'q') +
                         "\r\n" + VariedLog(10, 23) + Cp932("①") + "12";

std::vector<Cut> Cuts() {
    std::vector<Cut> cuts = {
        {"Nothing", "", 0},
        {"BetweenOneAndFive", Cp932("④"), -2},  // inside a main-page record, before its link line
        {"BetweenSixAndSeven", Cp932("⑥"), 4},
        {"InsideALine", Cp932("②"), 5},
        {"JustBeforeTheSentinel", "\r\nFileEND", -7},
        {"JustAfterTheSentinel", "FileEND\r\n", 0},
        {"InsideTheSentinel", "File", 0},
        {"InsideALongLine", std::string(1500, 'q'), 0},
        {"BeforeTheLastLine", "", static_cast<long long>(kLog.size()) - 4},
        {"TheWholeLog", "", static_cast<long long>(kLog.size())},  // the next run appends nothing
    };
    std::mt19937 random(29);
    for (const char* name : {"Random1", "Random2", "Random3", "Random4"}) {
        cuts.push_back({name, "", static_cast<long long>(random() % kLog.size())});
    }
    return cuts;
}

class KeptStateTest : public ::testing::TestWithParam<std::tuple<Cut, int>> {};

// A run over the log cut short, then one over a longer cut, then one over the whole:
// each equals a full run over the bytes it saw, for one and three threads.
TEST_P(KeptStateTest, GoingOnEqualsAFullRun) {
    const auto& [cut, jobs] = GetParam();
    TempDir dir;
    const std::string path = dir.WriteFile("log.log", {});
    const std::string state = dir.PathOf("log.state");
    const size_t first = CutAt(kLog, cut);
    const size_t second = first + (kLog.size() - first) / 2;
    size_t written = 0;
    for (const size_t end : {first, second, kLog.size()}) {
        Append(path, std::string_view(kLog).substr(written, end - written));
        written = end;
        const KeptRun kept = RunKept(path, state, jobs, 301);
        EXPECT_EQ(kept.written, FullRun(path)) << "after " << end << " bytes";
        EXPECT_TRUE(kept.notes.empty()) << kept.notes.front();
    }
}

INSTANTIATE_TEST_SUITE_P(Cuts, KeptStateTest, ::testing::Combine(::testing::ValuesIn(Cuts()), ::testing::Values(1, 3)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_Jobs" +
                                    std::to_string(std::get<1>(info.param));
                         });

// What happens to the state file or the log between two runs, and the note it gives.
struct Mishap {
    const char* name;
    void (*apply)(const std::string& log, const std::string& state, const TempDir& dir);
    const char* note;
    bool appended = true;  // the rest of the log is appended before the next run
};

void Overwrite(const std::string& path, size_t at, char byte) {
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(static_cast<std::streamoff>(at));
    file.put(byte);
}

void FlipByte(const std::string& path, size_t at) {
    const std::string bytes = ReadAll(path);
    Overwrite(path, at, static_cast<char>(bytes.at(at) ^ 0x20));
}

const Mishap kMishaps[] = {
    {"StateEmpty", [](const std::string&, const std::string& s, const TempDir&) { std::ofstream(s).close(); },
     "is empty"},
    {"StateOfSomethingElse",
     [](const std::string&, const std::string& s, const TempDir&) { std::ofstream(s) << "hello\n"; },
     "is not a state file"},
    {"StateCutShort",
     [](const std::string&, const std::string& s, const TempDir&) {
         ::truncate(s.c_str(), static_cast<::off_t>(ReadAll(s).size() - 9));
     },
     "is cut short"},
    {"StateByteFlippedInTheMiddle",
     [](const std::string&, const std::string& s, const TempDir&) { FlipByte(s, ReadAll(s).size() / 2); },
     "is damaged"},
    {"StateLastByteFlipped",
     [](const std::string&, const std::string& s, const TempDir&) { FlipByte(s, ReadAll(s).size() - 1); },
     "is damaged"},
    {"StateOfAnotherVersion",
     [](const std::string&, const std::string& s, const TempDir&) { FlipByte(s, ReadAll(s).find('\n') + 1); },
     "another version"},
    {"StateOfAnotherLog",
     [](const std::string&, const std::string& s, const TempDir& d) {
         const std::string other = d.WriteFile("other.log", kLog);
         EXPECT_TRUE(RunKept(other, s).notes.size() <= 1);
     },
     "another log"},
    {"LogReplaced",
     [](const std::string& l, const std::string&, const TempDir& d) {
         const std::string copy = d.WriteFile("copy.log", ReadAll(l));
         ASSERT_EQ(::rename(copy.c_str(), l.c_str()), 0);
     },
     "another log"},
    {"LogTruncated", [](const std::string& l, const std::string&, const TempDir&) { ::truncate(l.c_str(), 100); },
     "longer", false},
    {"LogTruncatedAndWrittenAgain",
     [](const std::string& l, const std::string&, const TempDir&) { ::truncate(l.c_str(), 100); }, "log's bytes"},
    {"LogEditedAtItsFirstByte", [](const std::string& l, const std::string&, const TempDir&) { FlipByte(l, 0); },
     "log's bytes"},
    {"LogEditedAtTheLastByteRead",
     [](const std::string& l, const std::string&, const TempDir&) {
         // The last line read whole ends at the LF before the one that ends the line read again.
         const std::string half = kLog.substr(0, kLog.size() / 2);
         FlipByte(l, half.rfind('\n', half.rfind('\n') - 1) - 1);
     },
     "log's bytes"},
};

class KeptStateMishapTest : public ::testing::TestWithParam<Mishap> {};

TEST_P(KeptStateMishapTest, IsNotedAndTheWholeLogIsRead) {
    TempDir dir;
    const std::string path = dir.WriteFile("log.log", kLog.substr(0, kLog.size() / 2));
    const std::string state = dir.PathOf("log.state");
    ASSERT_TRUE(RunKept(path, state).notes.empty());
    GetParam().apply(path, state, dir);
    if (GetParam().appended) {
        Append(path, std::string_view(kLog).substr(kLog.size() / 2));
    }
    const KeptRun kept = RunKept(path, state);
    ASSERT_EQ(kept.notes.size(), 1u);
    EXPECT_NE(kept.notes[0].find(GetParam().note), std::string::npos) << kept.notes[0];
    EXPECT_EQ(kept.written, FullRun(path));
    // The state was written anew and fits the log.
    Append(path, VariedLog(5, 24));
    const KeptRun next = RunKept(path, state);
    EXPECT_TRUE(next.notes.empty());
    EXPECT_EQ(next.written, FullRun(path));
}

INSTANTIATE_TEST_SUITE_P(Mishaps, KeptStateMishapTest, ::testing::ValuesIn(kMishaps),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(KeptStateFileTest, AFolderThatCannotBeWrittenStillGivesTheReport) {
    TempDir dir;
    const std::string path = dir.WriteFile("log.log", kLog);
    const KeptRun kept = RunKept(path, dir.PathOf("no-such-folder/log.state"));
    ASSERT_EQ(kept.notes.size(), 1u);
    EXPECT_NE(kept.notes[0].find("cannot keep the state"), std::string::npos) << kept.notes[0];
    EXPECT_EQ(kept.written, FullRun(path));
}

// A state file named as the log itself is refused before anything is written.
TEST(KeptStateFileTest, TheLogItselfIsNoStateFile) {
    TempDir dir;
    const std::string path = dir.WriteFile("log.log", kLog);
    EXPECT_THROW(RunKept(path, path), LogFileError);
    EXPECT_EQ(ReadAll(path), kLog);
}

// Two runs on one state file at once take turns: each reads what it must, and the state
// left behind takes the next run on without losing bytes.
TEST(KeptStateFileTest, TwoRunsAtOnceTakeTurns) {
    TempDir dir;
    const std::string path = dir.WriteFile("log.log", kLog.substr(0, 3000));
    const std::string state = dir.PathOf("log.state");
    RunKept(path, state);
    Append(path, std::string_view(kLog).substr(3000, 3000));
    KeptRun one;
    KeptRun two;
    std::thread first([&] { one = RunKept(path, state, 2, 500); });
    std::thread second([&] { two = RunKept(path, state, 2, 700); });
    first.join();
    second.join();
    const std::string full = FullRun(path);
    EXPECT_EQ(one.written, full);
    EXPECT_EQ(two.written, full);
    EXPECT_TRUE(one.notes.empty() && two.notes.empty());
    Append(path, std::string_view(kLog).substr(6000));
    EXPECT_EQ(RunKept(path, state).written, FullRun(path));
}

// A folder of kept states keeps the most recently written ones, and forgets them all on demand.
TEST(KeptStateFileTest, AFolderKeepsTheMostRecentStates) {
    TempDir dir;
    const std::string folder = dir.PathOf("kept");
    std::filesystem::create_directory(folder);
    std::vector<std::string> states;
    for (int i = 0; i < 5; ++i) {
        states.push_back(KeptStatePath(folder, dir.PathOf("log" + std::to_string(i) + ".log")));
        std::ofstream(states.back()) << i;
        std::filesystem::last_write_time(states.back(),
                                         std::filesystem::file_time_type::clock::now() - std::chrono::hours(10 - i));
    }
    EXPECT_EQ(KeptStatePath(folder, dir.PathOf("log0.log")), KeptStatePath(folder, dir.PathOf("./log0.log")));
    dir.WriteFile("kept/notes.txt", "not a state");
    PruneKeptStates(folder, 3);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(std::filesystem::exists(states[static_cast<size_t>(i)]), i >= 2) << i;
    }
    ForgetKeptStates(folder);
    EXPECT_FALSE(std::filesystem::exists(states[4]));
    EXPECT_TRUE(std::filesystem::exists(dir.PathOf("kept/notes.txt")));
}

}  // namespace
}  // namespace quorlet3::test
