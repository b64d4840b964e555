// The reports as JSON: one object per report, and every report of one log in one object.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/ReportRun.h"
#include "view/CommandTable.h"

namespace quorlet3 {

// The report's object, UTF-8, without a line end. "report" is the row's command-line
// name; the time reports' "records" and the pages' "order" are its argument word.
std::string FormatJson(const CommandRow& row, const ReportResult& result);

// {"log":PATH,"lines":N,"reports":[...]}: the objects of the reports in the order given,
// the path as UTF-8, lines the number of lines read. No line end.
std::string FormatJsonAll(std::string_view logPath, int lines, const std::vector<RowResult>& reports);

}  // namespace quorlet3
