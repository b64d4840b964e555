// The typed result of any report, its report text, and the accumulator that computes it.
#pragma once

#include <memory>
#include <string>
#include <variant>

#include "logstore/Accumulator.h"
#include "logstore/Contents.h"
#include "logstore/FileCheck.h"
#include "pagedays/PageDays.h"
#include "share/ShareCounters.h"
#include "tally/Phrases.h"
#include "tally/TallyReports.h"
#include "timereports/CalendarReports.h"
#include "timereports/TimeReports.h"

namespace quorlet3 {

using ReportResult =
    std::variant<FileCheckResult, ContentsResult, ValueTallyResult, HostsResult, KeywordsResult, PagesResult,
                 TimeCountsResult, GuestNumbersResult, ShareResult, PageNamesResult, PageDaysResult,
                 CalendarDatesResult, CalendarMonthsResult, WeekdaysResult, WeekHoursResult, PhrasesResult>;

// The report's cp932 text with CR LF line ends, as the window's result box shows it.
std::string FormatText(const ReportResult& result);

// Any report's accumulator, finishing into the common result type.
class ReportAccumulator : public SlotAccumulator {
public:
    virtual ReportResult Finish(const WalkEnd& end) = 0;
};

template <class Acc>
class ReportAccumulatorOf final : public AccumulatorAdapter<Acc, ReportAccumulator, ReportAccumulatorOf<Acc>> {
public:
    using AccumulatorAdapter<Acc, ReportAccumulator, ReportAccumulatorOf<Acc>>::AccumulatorAdapter;
    ReportResult Finish(const WalkEnd& end) override { return ReportResult(this->m_acc.Finish(end)); }
};

template <class Acc>
std::unique_ptr<ReportAccumulator> MakeReportAccumulator(Acc acc) {
    return std::make_unique<ReportAccumulatorOf<Acc>>(std::move(acc));
}

}  // namespace quorlet3
