// The reports of a whole log: every report but the listing over every line, in one pass,
// with the first 10000 lines' store beside them for the listing and the page picker.
#pragma once

#include <atomic>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "logstore/LineStore.h"
#include "reports/CommandTable.h"
#include "wholelog/PartReader.h"

namespace quorlet3 {

// Thrown out of a whole-log run whose cancel flag was set; nothing of the run is kept.
class WholeLogCancelled : public std::runtime_error {
public:
    WholeLogCancelled() : std::runtime_error("the whole-log run was cancelled") {}
};

struct WholeLogReports {
    std::string path;                // as the file system spells it
    long long lines = 0;             // line slots the walk visited (every line of the log)
    std::vector<RowResult> results;  // the rows of WholeLogRows(), in table order
    std::vector<std::string> notes;  // why a kept state was not used or not kept, one line each

    // The row's result over the whole log, or null for a row the run does not compute
    // (the listing, the per-page report, commands without a report).
    const ReportResult* Find(const CommandRow& row) const;
};

// The rows a whole-log run computes: every report of AllReportRows but the listing,
// which a whole log shows from its first 10000 lines.
std::vector<const CommandRow*> WholeLogRows();

// What a kept state of the rows' accumulators is kept for: the rows' report words.
std::string WholeLogStateKey(std::span<const CommandRow* const> rows);

// The rows' reports over every line of the log at path, their tables unlimited, as
// quorlet3-report --whole computes them. progress and jobs come from options; when cancel
// is set while the log is read, the run stops and throws WholeLogCancelled. Throws
// LogFileError when the log cannot be opened or read.
struct WholeLogRowRun {
    long long lines = 0;
    std::vector<RowResult> results;
};
WholeLogRowRun RunRowsOverWholeLog(const std::string& path, std::span<const CommandRow* const> rows,
                                   std::string_view page, const PartReadOptions& options,
                                   const std::atomic<bool>* cancel = nullptr);

// Moves the line numbers of the check among the results on by the file lines before the
// log's date window, so that the check over a window names file lines, as it does over a
// window of first lines. Nothing changes for the open window. Throws LogFileError when the
// log cannot be read.
void CountCheckLinesFromFileStart(std::vector<RowResult>& results, const std::string& path, const DateWindow& dates);

// Every report of WholeLogRows() over the log at path (over its date window when the
// options name one, the check counting file lines); throws like RunRowsOverWholeLog.
// With a stateFolder, a run over the whole log (no date window) keeps its state there
// (KeptStatePath, the kMostKeptStates most recent logs) and reads only what was appended
// since the state it finds there.
inline constexpr size_t kMostKeptStates = 16;
std::shared_ptr<const WholeLogReports> RunWholeLogReports(const std::string& path, const PartReadOptions& options,
                                                          const std::atomic<bool>* cancel = nullptr,
                                                          const std::string& stateFolder = {});

}  // namespace quorlet3
