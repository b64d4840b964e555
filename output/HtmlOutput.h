// The HTML report: every report of one run on a single self-contained page.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "reports/ReportRun.h"

namespace quorlet3 {

// One self-contained HTML5 page (UTF-8) of the reports of `all` (RunRows):
// inline CSS and SVG, no script, no external file, font or network request. logPath as
// given on the command line; lines is the number of line slots read. Reports missing
// from the list are left out of the page, and so are the per-page ones (page names,
// one page's days), which `all` does not compute; text from the log is decoded from
// cp932 and HTML-escaped.
std::string FormatHtmlReport(std::string_view logPath, long long lines, const std::vector<RowResult>& reports);

}  // namespace quorlet3
