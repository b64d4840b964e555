// Running reports for the command-line tool's data formats: one row or every row at once.
#pragma once

#include <string_view>
#include <vector>

#include "logstore/Quorlet3Doc.h"
#include "view/CommandTable.h"

namespace quorlet3 {

// A command-table row with the typed result it computed.
struct RowResult {
    const CommandRow* row;
    ReportResult result;
};

// Every report of the command table that needs no page name, in table order (the
// menu's order, then the rows for scripts), computed over one loaded document.
std::vector<RowResult> ComputeAllReports(const CQuorlet3Doc& doc);

// The text taken from the log or the command line, as UTF-8: cp932 decoded, each
// byte that is no cp932 character shown as U+FFFD.
std::string LogTextToUtf8(std::string_view cp932);

// A path as UTF-8: kept when it is UTF-8 already, otherwise decoded as cp932.
std::string PathToUtf8(std::string_view path);

}  // namespace quorlet3
