// The command-line tool's usage text and report list, made from the report table, so a
// new row shows in both without other edits.
#pragma once

#include <span>
#include <string>

#include "reports/CommandTable.h"

namespace quorlet3 {

// A row's report name and argument word as typed: "hourly main", "page-days PAGE".
std::string CliWords(const CommandRow& row);

// The help text of quorlet3-report, listing the reports of the table.
std::string Usage();
std::string Usage(std::span<const CommandRow> table);

// Every report of the table that needs no page name, as typed, one a line in table order.
std::string ReportList();
std::string ReportList(std::span<const CommandRow> table);

}  // namespace quorlet3
