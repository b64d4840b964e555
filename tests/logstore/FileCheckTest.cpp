// The file check: guest-number gaps, broken records, empty lines and the closing count.
#include <gtest/gtest.h>

#include <random>

#include "encoding/Cp932Literal.h"
#include "logstore/FileCheck.h"
#include "logstore/Quorlet3Doc.h"
#include "tests/support/TestLog.h"

namespace quorlet3 {
namespace {

using namespace quorlet3::test;

// The whole report: each pass's heading followed by its findings, then the closing line.
std::string CheckReport(const std::string& guests, const std::string& pages, const std::string& records,
                        const std::string& empty, int errors) {
    std::string text = "ファイル検査\r\n\r\n"_sj;
    text += "********** 訪問者Ｎｏ **********\r\n"_sj + guests;
    text += "********** ⑥と⑦の不連続 **********\r\n"_sj + pages;
    text += "********** ①～⑤の不連続 **********\r\n"_sj + records;
    text += "********** 空欄 **********\r\n"_sj + empty;
    text += errors == 0 ? std::string("\r\nエラーはありませんでした。\r\n"_sj)
                        : "\r\nエラーは、"_sj + std::to_string(errors) + "　個ありました。\r\n"_sj;
    return text;
}

TEST(FileCheck, SoundLogHasNoFindings) {
    const CQuorlet3Doc doc = LoadLines(Concat({MainRecord(41), PageRecord("top.html"), MainRecord(42)}));
    EXPECT_EQ(ReportOf(doc, "check"),
              "ファイル検査\r\n\r\n"_sj
              "********** 訪問者Ｎｏ **********\r\n"_sj
              "********** ⑥と⑦の不連続 **********\r\n"_sj
              "********** ①～⑤の不連続 **********\r\n"_sj
              "********** 空欄 **********\r\n"_sj
              "\r\nエラーはありませんでした。\r\n"_sj);
}

TEST(FileCheck, BeforeAnyLoadTheStoreIsBlank) {
    EXPECT_EQ(ReportOf(CQuorlet3Doc(), "check"),
              CheckReport("", "", "", "このファイルは空白です。(データがありません。)\r\n"_sj, 1));
}

struct CheckCase {
    const char* name;
    Lines lines;
    std::string guests, pages, records, empty;
    int errors;
};

class FileCheckTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(FileCheckTest, ReportsEachFindingUnderItsPass) {
    const CheckCase& c = GetParam();
    EXPECT_EQ(ReportOf(LoadLines(c.lines), "check"), CheckReport(c.guests, c.pages, c.records, c.empty, c.errors));
}

const Lines kCutRecord = {"①1"_sj, "②Wednesday, 15-Jul-98 13:45:12 JST"_sj, "③host.ac.jp"_sj};

INSTANTIATE_TEST_SUITE_P(
    Logs, FileCheckTest,
    ::testing::Values(
        CheckCase{"EmptyFile", {}, "", "", "", "", 0},
        CheckCase{"GuestGap", Concat({MainRecord(41), MainRecord(43)}), "6行目　41番～43番\r\n"_sj, "", "", "", 1},
        CheckCase{"GuestRepeated", Concat({MainRecord(41), MainRecord(41)}), "6行目　41番～41番\r\n"_sj, "", "", "", 1},
        CheckCase{"GuestGoesDown", Concat({MainRecord(42), MainRecord(41)}), "6行目　42番～41番\r\n"_sj, "", "", "", 1},
        CheckCase{"UnreadableNumberIsReportedAndNotCompared",
                  Concat({MainRecord(41), MainRecord("4x"), MainRecord(99)}), "6行目　41番～0番\r\n"_sj, "", "", "", 1},
        CheckCase{"NumbersPastFiveDigits",
                  Concat({MainRecord(99998), MainRecord(99999), MainRecord(100000), MainRecord("100001\r"),
                          MainRecord(100003)}),
                  "21行目　100001番～100003番\r\n"_sj, "", "", "", 1},
        CheckCase{"FirstNumberNeverReported", Concat({{"x"}, MainRecord(500), MainRecord(501)}), "", "", "", "", 0},
        CheckCase{"PageNameAsLastLine", Concat({MainRecord(1), {"⑥top.html"_sj}}), "", "6行目　⑥と⑦の不連続\r\n"_sj, "",
                  "", 1},
        CheckCase{"TimeInFirstLineNeverReported", {"⑦a"_sj, "⑦b"_sj}, "", "2行目　⑥と⑦の不連続\r\n"_sj, "", "", 1},
        CheckCase{"PageNameBeforeMainAndTimeAfterFifth", Concat({{"⑥top.html"_sj}, MainRecord(1), {"⑦t"_sj}}), "",
                  "1行目　⑥と⑦の不連続\r\n7行目　⑥と⑦の不連続\r\n"_sj, "", "", 2},
        CheckCase{"LoneTimeAfterPair", Concat({PageRecord("a"), {"⑦t"_sj}}), "", "3行目　⑥と⑦の不連続\r\n"_sj, "", "",
                  1},
        CheckCase{"RecordCutAfterHost", Concat({kCutRecord, PageRecord("a")}), "", "", "3行目 ③と④の不連続\r\n"_sj, "",
                  1},
        CheckCase{"EachBrokenStep",
                  {"①1"_sj, "x", "②t"_sj, "x", "③h"_sj, "x", "④b"_sj, "x"},
                  "",
                  "",
                  "1行目 ①と②の不連続\r\n3行目 ②と③の不連続\r\n5行目 ③と④の不連続\r\n7行目 ④と⑤の不連続\r\n"_sj,
                  "",
                  4},
        CheckCase{"LinesOutOfPlaceFoundOnlyThroughTheLineBefore",
                  {"⑤a"_sj, "②t"_sj, "③h"_sj, "④b"_sj, "⑤r"_sj},
                  "",
                  "",
                  "",
                  "",
                  0},
        CheckCase{"EveryEmptyLineListed", Concat({MainRecord(1), {""}, MainRecord(2), {""}}), "", "", "",
                  "6行目 空欄\r\n12行目 空欄\r\n"_sj, 2},
        CheckCase{"SentinelLineEndsEveryPass", Concat({MainRecord(1), {"⑥top.html"_sj, "FileEND", ""}, MainRecord(5)}),
                  "", "6行目　⑥と⑦の不連続\r\n"_sj, "", "", 1},
        CheckCase{"FindingsGroupedByPass", Concat({{""}, MainRecord(3), MainRecord(5), {"⑥p"_sj}}),
                  "7行目　3番～5番\r\n"_sj, "12行目　⑥と⑦の不連続\r\n"_sj, "", "1行目 空欄\r\n"_sj, 3}),
    [](const auto& info) { return std::string(info.param.name); });

// 1999 sound records fill slots 0 to 9994; the last five lines of the store follow.
Lines FullStoreEndingWith(const Lines& last) {
    Lines lines;
    for (int guest = 1; guest <= 1999; ++guest) {
        const Lines record = MainRecord(guest);
        lines.insert(lines.end(), record.begin(), record.end());
    }
    lines.insert(lines.end(), last.begin(), last.end());
    return lines;
}

TEST(FileCheckFullStore, RecordBrokenInTheLastLinesIsReported) {
    const CQuorlet3Doc doc = LoadLines(FullStoreEndingWith({"①2001"_sj, "②t"_sj, "③h"_sj, "④b"_sj, "⑥p"_sj}));
    ASSERT_EQ(doc.Store()[kLineSlots], kSentinel);
    EXPECT_EQ(ReportOf(doc, "check"),
              CheckReport("9996行目　1999番～2001番\r\n"_sj, "", "9999行目 ④と⑤の不連続\r\n"_sj, "", 2));
}

TEST(FileCheckFullStore, PageRecordsAndEmptyLinesCheckedToTheLastSlot) {
    const CQuorlet3Doc doc = LoadLines(FullStoreEndingWith({"⑥a"_sj, "⑦t"_sj, "⑥b"_sj, "", "⑦t"_sj}));
    EXPECT_EQ(ReportOf(doc, "check"), CheckReport("", "9998行目　⑥と⑦の不連続\r\n10000行目　⑥と⑦の不連続\r\n"_sj, "",
                                                  "9999行目 空欄\r\n"_sj, 3));
}

// Findings kept compactly, in memory or spilled to a file (a few bytes at a time, so
// records cross the file's read blocks), read back as they went in: line numbers in runs
// and apart, moved on when a later part is appended; guest numbers below zero too.
struct CompactCase {
    const char* name;
    size_t spillBytes;
    int findings;
};

class CompactFindingsTest : public ::testing::TestWithParam<CompactCase> {};

TEST_P(CompactFindingsTest, ReadBackAsAdded) {
    std::mt19937 random(11);
    FileCheckFindings first(GetParam().spillBytes);
    FileCheckFindings later;
    FileCheckResult expected;
    const int offset = 3 * GetParam().findings;
    long long line = 1;
    for (int i = 0; i < 2 * GetParam().findings; ++i) {
        const bool inLater = i >= GetParam().findings;
        FileCheckFindings& to = inLater ? later : first;
        line += random() % 4 == 0 ? 1 + static_cast<long long>(random() % 10000) : 1;
        const int shown = static_cast<int>(line) + (inLater ? offset : 0);
        switch (random() % 4) {
            case 0: {
                const GuestNumberGap gap{static_cast<int>(line), static_cast<int>(random() % 100000) - 7,
                                         static_cast<int>(random() % 3)};
                to.AddGuestNumberGap(gap);
                expected.guestNumberGaps.push_back({shown, gap.previous, gap.number});
                break;
            }
            case 1:
                to.AddPageRecordBreak(line);
                expected.pageRecordBreaks.push_back(shown);
                break;
            case 2: {
                const int marker = 1 + static_cast<int>(random() % 4);
                to.AddMainRecordBreak(line, marker);
                expected.mainRecordBreaks.push_back({shown, marker});
                break;
            }
            default:
                to.AddEmptyLine(line);
                expected.emptyLines.push_back(shown);
                break;
        }
    }
    first.Append(later, offset);
    const FileCheckResult result = first.ToResult();
    EXPECT_EQ(FormatFileCheckText(result), FormatFileCheckText(expected));
    EXPECT_EQ(first.Errors(), expected.Errors());
}

INSTANTIATE_TEST_SUITE_P(Kept, CompactFindingsTest,
                         ::testing::Values(CompactCase{"InMemory", 0, 5000}, CompactCase{"SpilledEarly", 3, 5000},
                                           CompactCase{"SpilledPastReadBlocks", 1000, 60000},
                                           CompactCase{"None", 3, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quorlet3
