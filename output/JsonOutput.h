// The reports as JSON: one object per report, and every report of one log in one object.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "logstore/FileCheck.h"
#include "reports/CommandTable.h"
#include "reports/ReportRun.h"

namespace quorlet3 {

// The report's object, UTF-8, without a line end. "report" is the row's command-line
// name; the time reports' "records" and the pages' "order" are its argument word.
std::string FormatJson(const CommandRow& row, const ReportResult& result);

// {"log":PATH,"lines":N,"reports":[...]}: the objects of the reports in the order given,
// the path as UTF-8, lines the number of lines read. No line end.
std::string FormatJsonAll(std::string_view logPath, long long lines, const std::vector<RowResult>& reports);

// The same document handed to write piece by piece (a megabyte at a time), for runs
// whose reports list millions of rows.
void WriteJsonAll(std::string_view logPath, long long lines, const std::vector<RowResult>& reports,
                  const std::function<void(std::string_view)>& write);

// One log text as a JSON string (cp932 decoded), for a listing written as it is read.
std::string FormatJsonCp932String(std::string_view cp932);

// The check's object from findings wherever they are kept, written to write in pieces:
// the same bytes as FormatJson gives for the check's result.
void WriteJsonFileCheck(const CommandRow& row, const FileCheckSource& check,
                        const std::function<void(std::string_view)>& write);

}  // namespace quorlet3
