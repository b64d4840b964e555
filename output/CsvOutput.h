// The reports as CSV: one table per report with a header row, UTF-8, quoted as
// RFC 4180 asks and with CR LF after every row.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "logstore/FileCheck.h"
#include "reports/CommandTable.h"

namespace quorlet3 {

std::string FormatCsv(const CommandRow& row, const ReportResult& result);

// One row of the contents table, for a listing written as it is read.
std::string FormatCsvContentsRow(std::string_view listed);

// The check's table from findings wherever they are kept, written to write in pieces of
// whole rows: the same bytes as FormatCsv gives for the check's result.
void WriteCsvFileCheck(const FileCheckSource& check, const std::function<void(std::string_view)>& write);

}  // namespace quorlet3
