// The reports as CSV: one table per report with a header row, UTF-8, quoted as
// RFC 4180 asks and with CR LF after every row.
#pragma once

#include <string>

#include "view/CommandTable.h"

namespace quorlet3 {

std::string FormatCsv(const CommandRow& row, const ReportResult& result);

// One row of the contents table, for a listing written as it is read.
std::string FormatCsvContentsRow(std::string_view listed);

}  // namespace quorlet3
