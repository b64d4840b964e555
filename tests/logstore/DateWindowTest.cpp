// Date windows: the bytes of the records of a range of dates, found by binary search, the
// same as a line-by-line reading; the loader and the whole-log run read only them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "encoding/Cp932Literal.h"
#include "logstore/DateWindow.h"
#include "logstore/LogLoader.h"
#include "logstore/ReadingRules.h"
#include "tests/support/TestLog.h"
#include "timereports/TimeReports.h"
#include "wholelog/WholeLogRun.h"

namespace quorlet3 {
namespace {

using test::Lines;

std::string Stamp(std::string_view marker, int day, std::string_view month = "Jul") {
    return std::string(marker) + "Wednesday, " + (day < 10 ? "0" : "") + std::to_string(day) + "-" +
           std::string(month) + "-98 13:45:12 JST";
}
Lines MainOn(int day, int guest) {
    return {"①"_sj + std::to_string(guest), Stamp("②"_sj, day), "③h"_sj, "④b"_sj, "⑤"_sj};
}
Lines PageOn(int day) { return {"⑥index.html"_sj, Stamp("⑦"_sj, day)}; }

CivilDate July(int day) { return {1998, 7, day}; }

// A log of records on 2, 3, 3, 5, 5, 5 and 8 July, an undated page record on the 5th,
// and lines of no record before them.
const Lines kLog = test::Concat({
    {"stray line", ""},
    MainOn(2, 1),
    PageOn(3),
    MainOn(3, 2),
    PageOn(5),
    {"⑥undated.html"_sj, "⑦no date here"_sj},
    MainOn(5, 3),
    PageOn(5),
    {"stray"},
    MainOn(8, 4),
});

// The file offset where the line of that index (0-based) starts.
long long OffsetOfLine(const Lines& lines, size_t index) {
    long long offset = 0;
    for (size_t i = 0; i < index; ++i) {
        offset += static_cast<long long>(lines[i].size()) + 2;
    }
    return offset;
}

struct WindowCase {
    const char* name;
    DateWindow window;
    size_t firstLine;  // index of the window's first line (kLog.size(): the end)
    size_t endLine;    // index of the line after its last
};

class DateWindowTest : public testing::TestWithParam<WindowCase> {};

TEST_P(DateWindowTest, CoversTheRecordsOfTheDates) {
    const std::string bytes = test::JoinCrLf(kLog);
    const ByteRange expected{OffsetOfLine(kLog, GetParam().firstLine), OffsetOfLine(kLog, GetParam().endLine)};
    // Blocks of every size from one byte up put the probes and line ends everywhere.
    for (const long long block : {1LL, 2LL, 3LL, 7LL, 16LL, 40LL, 100LL, 65536LL}) {
        const detail::ReadAt read = [&bytes](char* out, long long offset, long long count) {
            ASSERT_LE(offset + count, static_cast<long long>(bytes.size()));
            std::memcpy(out, bytes.data() + offset, static_cast<size_t>(count));
        };
        const ByteRange found =
            detail::FindDateWindow(static_cast<long long>(bytes.size()), read, GetParam().window, block);
        EXPECT_EQ(found.begin, expected.begin) << block;
        EXPECT_EQ(found.end, expected.end) << block;
    }
    const test::TempDir dir;
    const ByteRange inFile = FindDateWindow(dir.WriteFile("log", bytes), GetParam().window);
    EXPECT_EQ(inFile.begin, expected.begin);
    EXPECT_EQ(inFile.end, expected.end);
}

// Line indexes of kLog: 2 the record of the 2nd, 7 and 9 those of the 3rd, 14 the page of
// the 5th, 16 the undated page record, 18 and 23 the records of the 5th, 25 the stray
// line, 26 the record of the 8th, 31 the end.
INSTANTIATE_TEST_SUITE_P(
    Windows, DateWindowTest,
    testing::Values(WindowCase{"Open", {}, 0, 31},
                    WindowCase{"FromTheFirstDateTakesTheLinesBefore", {July(2), std::nullopt}, 0, 31},
                    WindowCase{"UntilTheFirstDate", {std::nullopt, July(2)}, 0, 7},
                    WindowCase{"OneDay", {July(3), July(3)}, 7, 14},
                    // The undated record before the 5th's records belongs to the 5th.
                    WindowCase{"DayWithAnUndatedRecord", {July(5), July(5)}, 14, 26},
                    WindowCase{"UntilTheDayBefore", {std::nullopt, July(4)}, 0, 14},
                    WindowCase{"BetweenRecordsIsEmpty", {July(6), July(7)}, 26, 26},
                    WindowCase{"TheLastDay", {July(8), std::nullopt}, 26, 31},
                    WindowCase{"AfterTheLog", {July(9), std::nullopt}, 31, 31},
                    WindowCase{"BeforeTheLog", {std::nullopt, July(1)}, 0, 0},
                    WindowCase{"AroundTheLog", {CivilDate{1998, 1, 1}, CivilDate{1999, 1, 1}}, 0, 31}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DateWindowTest, ALogWithoutDatesHasOnlyTheEmptyWindow) {
    const std::string bytes = test::JoinCrLf({"①1"_sj, "②no date"_sj, "⑥p"_sj, "⑦"_sj});
    for (const DateWindow& window :
         {DateWindow{July(1), std::nullopt}, DateWindow{std::nullopt, July(1)}, DateWindow{July(1), July(9)}}) {
        const ByteRange found = FindDateWindowInBytes(bytes, window);
        EXPECT_EQ(found.begin, 0);
        EXPECT_EQ(found.end, 0);
    }
    EXPECT_EQ(FindDateWindowInBytes("", {July(1), July(2)}).end, 0);
}

TEST(DateWindowTest, RecordsAfterTheLastDatedLineGoWithIt) {
    const Lines lines = test::Concat({MainOn(2, 1), PageOn(3), {"⑥p"_sj, "⑦broken"_sj}});
    const std::string bytes = test::JoinCrLf(lines);
    const auto size = static_cast<long long>(bytes.size());
    const ByteRange until = FindDateWindowInBytes(bytes, {July(3), July(3)});
    EXPECT_EQ(until.begin, OffsetOfLine(lines, 5));
    EXPECT_EQ(until.end, size);
    const ByteRange after = FindDateWindowInBytes(bytes, {July(4), std::nullopt});
    EXPECT_EQ(after.begin, size);
    EXPECT_EQ(after.end, size);
}

TEST(DateWindowTest, ATimeStampOfSeveralSlotsIsUndated) {
    // A time-stamp line longer than one read of the loader: its end is no stored line's.
    const Lines lines = test::Concat(
        {MainOn(2, 1), {"⑥p"_sj, "⑦"_sj + std::string(1200, 'x') + ", 09-Jul-1998 13:45:12 JST"}, MainOn(9, 2)});
    const ByteRange found = FindDateWindowInBytes(test::JoinCrLf(lines), {July(3), std::nullopt});
    EXPECT_EQ(found.begin, OffsetOfLine(lines, 5));  // the page record takes the 9th, its next dated line
}

TEST(ParseIsoDateTest, TakesExistingDatesOnly) {
    EXPECT_EQ(ParseIsoDate("1998-07-15"), (CivilDate{1998, 7, 15}));
    EXPECT_EQ(ParseIsoDate("2000-02-29"), (CivilDate{2000, 2, 29}));
    for (const char* bad : {"1999-02-29", "1998-13-01", "1998-00-10", "1998-07-00", "1998-7-15", "98-07-15",
                            "1998/07/15", "1998-07-15x", "", "1998-07-1a", "-998-07-15"}) {
        EXPECT_FALSE(ParseIsoDate(bad).has_value()) << bad;
    }
}

TEST(DateWindowLoadTest, TheStoreHoldsTheWindowWithFileLineNumbersKnown) {
    const test::TempDir dir;
    const std::string path = dir.WriteLines("log", kLog);
    const LoadedLog loaded = LoadLineStore(path, LineWindow::Dated({July(5), July(5)}));
    EXPECT_EQ(loaded.startByte, OffsetOfLine(kLog, 14));
    EXPECT_FALSE(loaded.linesBefore.has_value());
    EXPECT_EQ(CountLinesBefore(path, loaded.startByte), 14);
    for (size_t i = 14; i < 26; ++i) {
        EXPECT_EQ((*loaded.store)[static_cast<int>(i - 14)], kLog[i]) << i;
    }
    EXPECT_EQ((*loaded.store)[12], kSentinel);
    // An empty window gives an empty store.
    const LoadedLog empty = LoadLineStore(path, LineWindow::Dated({July(6), July(7)}));
    EXPECT_EQ((*empty.store)[0], kSentinel);
    EXPECT_THROW(LoadLineStore(std::string(kStandardInput), LineWindow::Dated({July(6), std::nullopt})), LogFileError);
}

// Over a whole log, a window gives the same counts for any threads and part size as the
// store gives over the same lines.
TEST(DateWindowWholeLogTest, SameBytesForAnyJobsAndParts) {
    Lines lines;
    for (int day = 1; day <= 28; ++day) {
        for (int r = 0; r < day % 4 + 1; ++r) {
            const Lines record = r % 2 == 0 ? MainOn(day, day * 10 + r) : PageOn(day);
            lines.insert(lines.end(), record.begin(), record.end());
        }
    }
    const test::TempDir dir;
    const std::string path = dir.WriteLines("log", lines);
    const DateWindow window{July(9), July(20)};
    const std::string expected = FormatTimeCountsText(
        ComputeTimeCounts(*LoadLineStore(path, LineWindow::Dated(window)).store, TimeGrid::Daily, RecordKind::Main));
    EXPECT_NE(expected.find("9日\t2\t**\r\n"_sj), std::string::npos);
    EXPECT_NE(expected.find("8日\t0\t\r\n"_sj), std::string::npos);
    EXPECT_NE(expected.find("21日\t0\t\r\n"_sj), std::string::npos);
    for (const int jobs : {1, 2, 3}) {
        for (const size_t partBytes : {size_t{1}, size_t{53}, size_t{8} << 20}) {
            PartReadOptions parts;
            parts.jobs = jobs;
            parts.partBytes = partBytes;
            parts.dates = window;
            PlainAccumulator<TimeCountsAccumulator> daily{TimeCountsAccumulator(TimeGrid::Daily, RecordKind::Main)};
            SlotAccumulator* const one[] = {&daily};
            const WalkEnd end = RunOverWholeLog(path, one, parts);
            EXPECT_EQ(FormatTimeCountsText(daily.Accumulator().Finish(end)), expected) << jobs << " " << partBytes;
        }
    }
}

struct SpanCase {
    const char* name;
    Lines lines;
    std::optional<std::pair<int, int>> days;  // the first and last July days, nothing for none
};

class LogDateSpanTest : public testing::TestWithParam<SpanCase> {};

TEST_P(LogDateSpanTest, FirstAndLastDatedLines) {
    const std::string bytes = test::JoinCrLf(GetParam().lines);
    // Small blocks make the backward search reach back over several stretches and put
    // its starts inside lines.
    for (const long long block : {1LL, 2LL, 5LL, 16LL, 100LL, 65536LL}) {
        const detail::ReadAt read = [&bytes](char* out, long long offset, long long count) {
            ASSERT_LE(offset + count, static_cast<long long>(bytes.size()));
            std::memcpy(out, bytes.data() + offset, static_cast<size_t>(count));
        };
        const std::optional<DateSpan> span = detail::FindLogDateSpan(static_cast<long long>(bytes.size()), read, block);
        ASSERT_EQ(span.has_value(), GetParam().days.has_value()) << block;
        if (span) {
            EXPECT_EQ(span->first, July(GetParam().days->first)) << block;
            EXPECT_EQ(span->last, July(GetParam().days->second)) << block;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Logs, LogDateSpanTest,
    testing::Values(
        SpanCase{"StrayAndUndatedLinesAtBothEnds", kLog, std::pair{2, 8}},
        SpanCase{"OneDatedLine", PageOn(17), std::pair{17, 17}},
        SpanCase{"UndatedTail", test::Concat({MainOn(4, 1), PageOn(6), {"⑥p"_sj, "⑦broken"_sj}, test::PlainLines(40)}),
                 std::pair{4, 6}},
        SpanCase{"LongLastLine", test::Concat({PageOn(1), PageOn(30), {std::string(3000, 'x')}}), std::pair{1, 30}},
        SpanCase{"LongTimeStampIsUndated",
                 test::Concat({MainOn(2, 1), {"⑥p"_sj, "⑦"_sj + std::string(1200, 'x') + ", 29-Jul-98 13:45:12 JST"}}),
                 std::pair{2, 2}},
        SpanCase{"NoDates", {"①1"_sj, "②no date"_sj, "⑥p"_sj, "⑦"_sj}, std::nullopt},
        SpanCase{"Empty", {}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LogDateSpanTest, AMissingFileIsAFileError) {
    const test::TempDir dir;
    EXPECT_THROW(FindLogDateSpan(dir.Path() + "/missing.log"), LogFileError);
}

}  // namespace
}  // namespace quorlet3
