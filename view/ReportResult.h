// The typed result of any report, and its report text.
#pragma once

#include <string>
#include <variant>

#include "logstore/Contents.h"
#include "logstore/FileCheck.h"
#include "pagedays/PageDays.h"
#include "share/ShareCounters.h"
#include "tally/TallyReports.h"
#include "timereports/TimeReports.h"

namespace quorlet3 {

using ReportResult =
    std::variant<FileCheckResult, ContentsResult, ValueTallyResult, HostsResult, KeywordsResult, PagesResult,
                 TimeCountsResult, GuestNumbersResult, ShareResult, PageNamesResult, PageDaysResult>;

// The report's cp932 text with CR LF line ends, exactly as the document's operation returns it.
std::string FormatText(const ReportResult& result);

}  // namespace quorlet3
