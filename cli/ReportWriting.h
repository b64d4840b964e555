// quorlet3-report's writing: one report, the check piece by piece, or every report, in
// the format asked for, to standard output.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/CliOptions.h"
#include "logstore/DateWindow.h"
#include "reports/CommandTable.h"
#include "reports/ReportResult.h"

namespace quorlet3::cli {

void WriteOut(std::string_view bytes);

// Flushes stdout. A write that failed earlier (a full disk, a closed pipe) leaves the
// stream's error flag set even when nothing is left to flush, so both are checked.
// Returns the exit status: 0, or 1 with a message when the output was not written.
int FinishOutput();

// Writes one report in the chosen format.
void WriteReport(const Options& options, const CommandRow& row, const ReportResult& result);

// Writes the check in the chosen format from its findings, piece by piece.
void WriteFileCheck(const Options& options, const CommandRow& row, const FileCheckSource& check);

// Draws the share pies into the --svg file when one was given; false (with a message)
// when it cannot be written.
bool WriteSvgIfAsked(const Options& options, const ReportResult& result);

// Writes the results of 'all' as JSON (piece by piece) or as the HTML page.
void WriteAll(const Options& options, const std::string& path, long long lines, const std::vector<RowResult>& results);

// A date window that holds no line of the log still gets its report, every count 0, and
// exit status 0; one line on standard error says why.
void NoteEmptyDateWindow(const DateWindow& dates, const std::string& path, long long lines);

}  // namespace quorlet3::cli
