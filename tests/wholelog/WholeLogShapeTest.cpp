// The shape of reports over a whole log: bars scaled to fit, hosts and queries counted
// once each, and counts that pass 32 bits without wrapping.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "encoding/Cp932Literal.h"
#include "logstore/FileCheck.h"
#include "logstore/LogLoader.h"
#include "pagedays/PageDays.h"
#include "reports/CommandTable.h"
#include "share/ShareCounters.h"
#include "tally/TallyReports.h"
#include "tests/support/TestLog.h"
#include "timereports/CalendarReports.h"
#include "timereports/TimeReports.h"
#include "wholelog/WholeLogRun.h"

namespace quorlet3::test {
namespace {

// The text of a bar report with a count of `largest` in one row and `small` in another.
struct BarReport {
    const char* name;
    char mark;
    std::function<std::string(long long largest, long long small, bool wholeLog)> text;
    const char* largestRow;  // the row's text before its bar
    const char* smallRow;
    const char* unitWord;  // after the count in the scale line
};

std::vector<BarReport> BarReports() {
    return {
        {"Hourly", '*',
         [](long long largest, long long small, bool wholeLog) {
             TimeCountsResult r{TimeGrid::Hourly, RecordKind::Main, largest + small, std::vector<long long>(kHours, 0),
                                wholeLog};
             r.counts[3] = largest;
             r.counts[4] = small;
             return FormatTimeCountsText(r);
         },
         "3時\t"_sj, "4時\t"_sj, "回"_sj},
        {"DetailOfPages", '*',
         [](long long largest, long long small, bool wholeLog) {
             TimeCountsResult r{TimeGrid::DayHour, RecordKind::Page, largest + small,
                                std::vector<long long>(kDays * kHours, 0), wholeLog};
             r.counts[kHours + 5] = largest;
             r.counts[0] = small;
             return FormatTimeCountsText(r);
         },
         "2日5時\t"_sj, "1日0時\t"_sj, "ページ"_sj},
        {"PagesByName", '+',
         [](long long largest, long long small, bool wholeLog) {
             PagesResult r{PageOrder::Name, largest + small, {{"a.html", small}, {"b.html", largest}}, {}, wholeLog};
             return FormatPagesText(r);
         },
         "b.html    \t", "a.html    \t", "ページ"_sj},
        {"PageDays", '*',
         [](long long largest, long long small, bool wholeLog) {
             PageDaysResult r{"p.html", largest + small, {}, wholeLog};
             r.days[9] = largest;
             r.days[30] = small;
             return FormatPageDaysText(r);
         },
         "10\t", "31\t", "回"_sj},
    };
}

struct Scale {
    long long largest;
    long long small;
    long long unit;  // 1: no scale line
    long long largestSigns;
    long long smallSigns;
};

// The row "label count TAB bar" as the reports write it (the page rows write the count first).
std::string ExpectedRow(const BarReport& report, const char* label, long long count, long long signs) {
    const std::string bar(static_cast<size_t>(signs), report.mark);
    if (report.mark == '+') {
        return "\r\n" + std::to_string(count) + "\t" + label + bar + "\r\n";
    }
    return "\r\n" + std::string(label) + std::to_string(count) + "\t" + bar + "\r\n";
}

class ScaledBarTest : public ::testing::TestWithParam<std::tuple<BarReport, Scale>> {};

TEST_P(ScaledBarTest, LongestBarFitsSixtySigns) {
    const auto& [report, scale] = GetParam();
    const std::string text = report.text(scale.largest, scale.small, true);
    const std::string scaleLine =
        std::string(1, report.mark) + " 1 個 = "_sj + std::to_string(scale.unit) + " " + report.unitWord + "\r\n\r\n";
    EXPECT_EQ(text.find(" 1 個 = "_sj) != std::string::npos, scale.unit > 1) << text;
    if (scale.unit > 1) {
        EXPECT_EQ(text.find(scaleLine), text.find("\r\n") + 2) << text;  // the line under the heading
    }
    EXPECT_NE(text.find(ExpectedRow(report, report.largestRow, scale.largest, scale.largestSigns)), std::string::npos)
        << text;
    EXPECT_NE(text.find(ExpectedRow(report, report.smallRow, scale.small, scale.smallSigns)), std::string::npos)
        << text;

    // The 10000-line reports draw one sign per count, however long.
    const std::string unscaled = report.text(scale.largest, scale.small, false);
    EXPECT_EQ(unscaled.find(" 1 個 = "_sj), std::string::npos);
    EXPECT_NE(unscaled.find(ExpectedRow(report, report.largestRow, scale.largest, scale.largest)), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Reports, ScaledBarTest,
                         ::testing::Combine(::testing::ValuesIn(BarReports()),
                                            ::testing::Values(Scale{60, 1, 1, 60, 1}, Scale{61, 1, 2, 31, 1},
                                                              Scale{120, 0, 2, 60, 0}, Scale{6000, 1, 100, 60, 1},
                                                              Scale{6001, 102, 101, 60, 2})),
                         [](const auto& info) {
                             const Scale& s = std::get<1>(info.param);
                             return std::string(std::get<0>(info.param).name) + "_" + std::to_string(s.largest) + "_" +
                                    std::to_string(s.small);
                         });

// The slots of the lines, as a reader hands them to the reports.
std::vector<Slot> SlotsOf(const Lines& lines) {
    std::vector<Slot> slots;
    for (size_t i = 0; i < lines.size(); ++i) {
        slots.push_back({lines[i], i + 1 < lines.size() ? std::string_view(lines[i + 1]) : kSentinel,
                         static_cast<long long>(i), true});
    }
    return slots;
}

constexpr int kDoublings = 33;  // 2^33 copies of a part: its counts pass 2^31 and 2^32
constexpr long long kCopies = 1LL << kDoublings;

// The accumulator after reading the slots, merged with copies of itself into kCopies parts.
template <class Acc>
Acc ReadAndDouble(Acc acc, const std::vector<Slot>& slots) {
    acc.Step(slots);
    for (int i = 0; i < kDoublings; ++i) {
        Acc copy = acc;
        acc.Merge(copy);
    }
    return acc;
}

TEST(CountsPast32BitsTest, MergedCountsNeverWrap) {
    const std::string stamp = "Wednesday, 15-Jul-98 13:45:12 JST";
    const Lines part = {"③a.ac.jp"_sj, "④x"_sj, "⑤http://s.jp/?q=a"_sj, "⑥p.html"_sj, "⑦"_sj + stamp, "②"_sj + stamp};
    const std::vector<Slot> slots = SlotsOf(part);
    const WalkEnd end{true, kCopies * 6};
    const TableLimits whole = TableLimits::Unlimited();

    const TimeCountsResult hourly =
        ReadAndDouble(TimeCountsAccumulator(TimeGrid::Hourly, RecordKind::Main, whole), slots).Finish(end);
    EXPECT_EQ(hourly.total, kCopies);
    EXPECT_EQ(hourly.counts[13], kCopies);
    EXPECT_NE(FormatTimeCountsText(hourly).find("13時\t8589934592\t"_sj + std::string(60, '*') + "\r\n"),
              std::string::npos);

    const ShareResult share = ReadAndDouble(ShareAccumulator(), slots).Finish(end);
    EXPECT_EQ(share.counters[kShareOther], kCopies);
    EXPECT_EQ(SharePercent(share.counters[kShareOther], share.counters[kShareTotal]), 100);
    EXPECT_NE(FormatShareText(share.lines, share.counters).find("その他\t8589934592\t100 ％"_sj), std::string::npos);

    const HostsResult hosts = ReadAndDouble(HostsAccumulator(whole), slots).Finish(end);
    EXPECT_EQ(hosts.total, kCopies);
    EXPECT_EQ(hosts.classes[0].at(0).count, kCopies);
    EXPECT_NE(FormatHostsText(hosts).find("\r\n8589934592\ta.ac.jp\r\n"), std::string::npos);

    const KeywordsResult keywords = ReadAndDouble(KeywordsAccumulator(whole), slots).Finish(end);
    EXPECT_EQ(keywords.counts, std::vector<long long>{kCopies});
    EXPECT_EQ(FormatKeywordsText(keywords), "キーワード調査\r\n\r\n8589934592\t?q=a\r\n"_sj);

    const ValueTallyResult links = ReadAndDouble(ValueTallyAccumulator(TallyField::Links, whole), slots).Finish(end);
    EXPECT_EQ(links.rows.at(0).count, kCopies);

    const PagesResult pages = ReadAndDouble(PagesAccumulator(PageOrder::Ranking, whole), slots).Finish(end);
    EXPECT_EQ(pages.total, kCopies);
    EXPECT_NE(FormatPagesText(pages).find("+ 1 個 = 143165577 ページ\r\n\r\n8589934592\tp.html    \t"_sj +
                                          std::string(60, '+') + "\r\n"),
              std::string::npos);

    const PageDaysResult days = ReadAndDouble(PageDaysAccumulator("p.html", whole), slots).Finish(end);
    EXPECT_EQ(days.days[14], kCopies);

    const CalendarDatesResult dates = ReadAndDouble(DatesAccumulator(RecordKind::Page), slots).Finish(end);
    EXPECT_EQ(dates.days.at(0).count, kCopies);

    const GuestNumbersResult guests = ReadAndDouble(GuestNumbersAccumulator(), slots).Finish(end);
    EXPECT_FALSE(guests.found);

    // Line numbers past 2^32: a part of two lines merged after a part that stepped slots
    // numbered past 2^33 (the check's findings are kept on disk past a size, so it is not copied).
    const Lines farLines = {"x", "y"};
    std::vector<Slot> far = SlotsOf(farLines);
    for (Slot& slot : far) {
        slot.index += 2 * kCopies;
    }
    FileCheckAccumulator check;
    check.Step(far);
    FileCheckAccumulator last;
    last.Step(SlotsOf({"①999999999999"_sj, "①1000000000001"_sj}));
    check.Merge(last);
    const FileCheckResult checked = check.Finish(end);
    ASSERT_EQ(checked.guestNumberGaps.size(), 1U);
    EXPECT_EQ(checked.guestNumberGaps[0].line, 4);
    // A gap found in a part whose slots are numbered past 2^33.
    const Lines gapLines = {"①999999999999"_sj, "①1000000000001"_sj};
    std::vector<Slot> gap = SlotsOf(gapLines);
    for (Slot& slot : gap) {
        slot.index += 2 * kCopies;
    }
    FileCheckAccumulator farCheck;
    farCheck.Step(gap);
    const FileCheckResult farChecked = farCheck.Finish(end);
    ASSERT_EQ(farChecked.guestNumberGaps.size(), 1U);
    EXPECT_EQ(farChecked.guestNumberGaps[0].line, 2 * kCopies + 2);
    const FileCheckResult& shown = farChecked;
    EXPECT_NE(FormatFileCheckText(shown).find("17179869186行目　999999999999番～1000000000001番\r\n"_sj),
              std::string::npos);
}

// Over a whole log the hosts and keywords texts list each distinct value once with its
// count: the per-access listing of the store, with equal values folded together.
TEST(CountedListsTest, FoldTheStoresListing) {
    Lines lines;
    const char* const hosts[] = {"b.co.jp", "a.co.jp", "x.ne.jp", "b.co.jp", "", "zz", "b.co.jp", "x.ne.jp"};
    const char* const links[] = {"http://s/?q=b", "http://t/?q=a", "http://x/", "http://s/?q=b", "http://u/?q=b"};
    for (size_t i = 0; i < 40; ++i) {
        Lines record = MainRecord(100 + static_cast<int>(i));
        record[2] = std::string("③"_sj) + hosts[i % std::size(hosts)];
        record[4] = std::string("⑤"_sj) + links[i % std::size(links)];
        lines.insert(lines.end(), record.begin(), record.end());
    }
    TempDir dir;
    const std::string path = dir.WriteLines("log.log", lines);
    const std::unique_ptr<LineStore> store = LoadLineStoreFromBytes(JoinCrLf(lines));

    const std::vector<const CommandRow*> rows = {&CommandOf("hosts"), &CommandOf("keywords")};
    RowRun run(rows, {}, TableLimits::Unlimited());
    PartReadOptions options;
    options.jobs = 2;
    options.partBytes = 64;
    const std::vector<RowResult> whole = run.Finish(RunOverWholeLog(path, run.Accumulators(), options));

    // The listing with its first lines kept and each section's equal lines folded into one with their count.
    auto fold = [](const std::string& listing, size_t skipLines) {
        std::vector<std::pair<std::string, long long>> rows;
        std::string text;
        size_t at = 0;
        for (size_t n = 0; n < skipLines; ++n) {
            const size_t end = listing.find("\r\n", at) + 2;
            text += listing.substr(at, end - at);
            at = end;
        }
        std::vector<std::string> order;
        std::map<std::string, long long> counts;
        auto flush = [&] {
            for (const std::string& value : order) {
                text += std::to_string(counts[value]) + "\t" + value + "\r\n";
            }
            order.clear();
            counts.clear();
        };
        while (at < listing.size()) {
            const size_t end = listing.find("\r\n", at);
            const std::string line = listing.substr(at, end - at);
            at = end + 2;
            if (line.starts_with("\t\t----------")) {
                flush();
                text += line + "\r\n";
            } else if (counts[line]++ == 0) {
                order.push_back(line);
            }
        }
        flush();
        return text;
    };
    const std::string hostListing = ReportText(*rows[0], *store);
    const std::string keywordListing = ReportText(*rows[1], *store);
    EXPECT_NE(hostListing.find("b.co.jp\r\nb.co.jp\r\n"), std::string::npos);  // the store's listing repeats
    EXPECT_EQ(FormatText(whole[0].result), fold(hostListing, 4));
    EXPECT_NE(FormatText(whole[0].result).find("15\tb.co.jp\r\n"), std::string::npos);
    EXPECT_EQ(FormatText(whole[1].result), fold(keywordListing, 2));
    EXPECT_EQ(FormatText(whole[1].result), "キーワード調査\r\n\r\n24\t?q=b\r\n8\t?q=a\r\n"_sj);
}

}  // namespace
}  // namespace quorlet3::test
