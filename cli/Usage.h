// The command-line tool's usage text and report list, made from the command table, so a
// new row shows in both without other edits.
#pragma once

#include <string>

#include "reports/CommandTable.h"

namespace quorlet3 {

// A row's report name and argument word as typed: "hourly main", "page-days PAGE".
std::string CliWords(const CommandRow& row);

// The help text of quorlet3-report.
std::string Usage();

// Every report that needs no page name, as typed, one a line in table order.
std::string ReportList();

}  // namespace quorlet3
