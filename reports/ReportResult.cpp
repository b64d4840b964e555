// Report text of any typed result: each type goes to its own formatter.
#include "reports/ReportResult.h"

namespace quorlet3 {
namespace {

struct TextFormatter {
    std::string operator()(const FileCheckResult& r) const { return FormatFileCheckText(r); }
    std::string operator()(const ContentsResult& r) const { return FormatContentsText(r); }
    std::string operator()(const ValueTallyResult& r) const { return FormatValueTallyText(r); }
    std::string operator()(const HostsResult& r) const { return FormatHostsText(r); }
    std::string operator()(const KeywordsResult& r) const { return FormatKeywordsText(r); }
    std::string operator()(const PagesResult& r) const { return FormatPagesText(r); }
    std::string operator()(const TimeCountsResult& r) const { return FormatTimeCountsText(r); }
    std::string operator()(const GuestNumbersResult& r) const { return FormatGuestNumbersText(r); }
    std::string operator()(const ShareResult& r) const { return FormatShareText(r.lines, r.counters); }
    std::string operator()(const PageNamesResult& r) const { return FormatPageNamesText(r.names); }
    std::string operator()(const PageDaysResult& r) const { return FormatPageDaysText(r); }
    std::string operator()(const CalendarDatesResult& r) const { return FormatCalendarDatesText(r); }
    std::string operator()(const CalendarMonthsResult& r) const { return FormatCalendarMonthsText(r); }
    std::string operator()(const WeekdaysResult& r) const { return FormatWeekdaysText(r); }
    std::string operator()(const WeekHoursResult& r) const { return FormatWeekHoursText(r); }
    std::string operator()(const PhrasesResult& r) const { return FormatPhrasesText(r); }
};

}  // namespace

std::string FormatText(const ReportResult& result) { return std::visit(TextFormatter{}, result); }

}  // namespace quorlet3
