// The reports of a whole log, computed in one pass over every line.
#include "reports/WholeLogReports.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "logstore/DateWindow.h"
#include "logstore/FileCheck.h"
#include "logstore/LogLoader.h"
#include "wholelog/KeptState.h"
#include "wholelog/WholeLogRun.h"

namespace quorlet3 {

const ReportResult* WholeLogReports::Find(const CommandRow& row) const {
    auto it = std::find_if(results.begin(), results.end(), [&row](const RowResult& r) { return r.row == &row; });
    return it == results.end() ? nullptr : &it->result;
}

std::vector<const CommandRow*> WholeLogRows() {
    std::vector<const CommandRow*> rows = AllReportRows();
    std::erase_if(rows, [](const CommandRow* row) { return IsListing(*row); });
    return rows;
}

std::string WholeLogStateKey(std::span<const CommandRow* const> rows) {
    std::string key;
    for (const CommandRow* row : rows) {
        key += std::string(row->cliName) + (row->cliArgument != nullptr ? " " : "") +
               (row->cliArgument != nullptr ? row->cliArgument : "") + "\n";
    }
    return key;
}

namespace {

// The options with a check of the cancel flag: the reader calls progress before each
// part, so a set flag stops the parts not yet read.
PartReadOptions Cancellable(const PartReadOptions& options, const std::atomic<bool>* cancel) {
    PartReadOptions checked = options;
    if (cancel != nullptr) {
        checked.progress = [cancel, progress = options.progress](long long read, long long total) {
            if (cancel->load()) {
                throw WholeLogCancelled();
            }
            if (progress) {
                progress(read, total);
            }
        };
    }
    return checked;
}

}  // namespace

WholeLogRowRun RunRowsOverWholeLog(const std::string& path, std::span<const CommandRow* const> rows,
                                   std::string_view page, const PartReadOptions& options,
                                   const std::atomic<bool>* cancel) {
    const PartReadOptions checked = Cancellable(options, cancel);
    RowRun run(rows, page, TableLimits::Unlimited());
    const WalkEnd end = RunOverWholeLog(path, run.Accumulators(), checked);
    if (cancel != nullptr && cancel->load()) {
        throw WholeLogCancelled();  // set during the last part: still not taken
    }
    return {end.visited, run.Finish(end)};
}

void CountCheckLinesFromFileStart(std::vector<RowResult>& results, const std::string& path, const DateWindow& dates) {
    if (dates.IsOpen()) {
        return;
    }
    std::vector<FileCheckResult*> checks;
    for (RowResult& r : results) {
        if (auto* check = std::get_if<FileCheckResult>(&r.result)) {
            checks.push_back(check);
        }
    }
    if (checks.empty()) {
        return;  // the count reads the log up to the window: only for a check
    }
    const long long before = CountLinesBefore(path, FindDateWindow(path, dates).begin);
    for (FileCheckResult* check : checks) {
        ShiftLineNumbers(*check, before);
    }
}

std::shared_ptr<const WholeLogReports> RunWholeLogReports(const std::string& path, const PartReadOptions& options,
                                                          const std::atomic<bool>* cancel,
                                                          const std::string& stateFolder) {
    auto reports = std::make_shared<WholeLogReports>();
    reports->path = path;
    const std::vector<const CommandRow*> rows = WholeLogRows();
    if (stateFolder.empty() || !options.dates.IsOpen()) {
        WholeLogRowRun run = RunRowsOverWholeLog(path, rows, {}, options, cancel);
        reports->lines = run.lines;
        reports->results = std::move(run.results);
    } else {
        std::error_code error;
        std::filesystem::create_directories(stateFolder, error);
        std::optional<RowRun> run;
        const WalkEnd end = RunOverWholeLogKept(
            path, KeptStatePath(stateFolder, path), WholeLogStateKey(rows),
            [&] {
                run.emplace(rows, std::string_view{}, TableLimits::Unlimited());
                return run->Accumulators();
            },
            Cancellable(options, cancel), [&](const std::string& note) { reports->notes.push_back(note); });
        PruneKeptStates(stateFolder, kMostKeptStates);
        if (cancel != nullptr && cancel->load()) {
            throw WholeLogCancelled();
        }
        reports->lines = end.visited;
        reports->results = run->Finish(end);
    }
    CountCheckLinesFromFileStart(reports->results, path, options.dates);
    return reports;
}

}  // namespace quorlet3
