// quorlet3-report: prints one report, or every report, over a log file, for scripts.
#include <optional>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/ReportWriting.h"
#include "cli/WholeRun.h"
#include "encoding/Cp932.h"
#include "logstore/Quorlet3Doc.h"
#include "logstore/ReadingRules.h"
#include "reports/CommandTable.h"
#include "reports/ReportRun.h"
#include "reports/WholeLogReports.h"

using namespace quorlet3;
using namespace quorlet3::cli;

namespace {

// The check report shows file line numbers: in a window, the lines before it count too.
// Returns false when they cannot be counted.
bool ShiftToFileLines(ReportResult& result, const std::string& path, const CQuorlet3Doc::WindowStart& start) {
    auto* check = std::get_if<FileCheckResult>(&result);
    if (check == nullptr) {
        return true;
    }
    const long long before = start.linesBefore ? *start.linesBefore : CountLinesBefore(path, start.startByte);
    ShiftLineNumbers(*check, before);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (std::optional<int> status = ParseArguments(argc, argv, options)) {
        return *status;
    }
    if (options.args.size() < 2 || options.args.size() > 3) {
        return UsageError("expected LOGFILE REPORT [ARG]");
    }
    const std::string& path = options.args[0];
    const std::string& report = options.args[1];
    const std::string argument = options.args.size() == 3 ? options.args[2] : std::string();
    if (!options.svgPath.empty() && report != "share") {
        return UsageError("--svg goes only with the share report");
    }

    const bool all = report == "all";
    const CommandRow* row = nullptr;
    if (all) {
        if (options.args.size() != 2) {
            return UsageError("'all' takes no ARG");
        }
        if (options.format != Format::Json && options.format != Format::Html) {
            return UsageError("'all' goes only with --format json or html");
        }
    } else {
        if (options.format == Format::Html) {
            return UsageError("--format html writes every report: use the report 'all'");
        }
        row = FindCliCommand(report, argument);
        if (row == nullptr && options.args.size() == 3) {
            row = FindCliCommand(report, {});
        }
        if (row != nullptr && row->cliArgument == nullptr && options.args.size() == 3) {
            // An ARG given to a report that takes none is refused, even when it is empty.
            return UsageError("'" + report + "' takes no ARG");
        }
        if (row != nullptr && TakesPage(*row) && options.args.size() != 3) {
            return UsageError(report + " needs a PAGE");
        }
        if (row == nullptr) {
            return UsageError("unknown report '" + report + (argument.empty() ? "" : " " + argument) + "'");
        }
        if (TakesPage(*row) && !options.raw && !IsUtf8(argument)) {
            return UsageError("PAGE is not UTF-8 text (use --raw for bytes)");
        }
    }

    if (!options.statePath.empty() && row != nullptr && IsListing(*row)) {
        return UsageError("--state keeps the counts of the reports: it does not go with the contents listing");
    }
    if (options.whole) {
        return RunWhole(options, path, all ? nullptr : row, argument);
    }

    CQuorlet3Doc doc;  // no question box: the listing is written without asking
    CQuorlet3Doc::WindowStart start;
    try {
        start = doc.LoadLogWindow(path, options.window);
    } catch (const LogFileError& error) {
        std::fprintf(stderr, "%s: %s\n", kProgram, error.what());
        return 1;
    }
    NoteEmptyDateWindow(options.parts.dates, path, WalkLength(doc.Store()));

    try {
        if (all) {
            const std::vector<const CommandRow*> rows = AllReportRows();
            std::vector<RowResult> results = RunRows(rows, doc.Store());
            for (RowResult& r : results) {
                if (!ShiftToFileLines(r.result, path, start)) {
                    return 1;
                }
            }
            WriteAll(options, path, WalkLength(doc.Store()), results);
            return FinishOutput();
        }

        std::string page;
        if (TakesPage(*row)) {
            if (options.raw) {
                page = argument;
            } else if (const PageByText pages = ResolvePageName(doc.Store(), argument); pages.readingSo.size() > 1) {
                return UsageError(AmbiguousPageMessage(argument, pages.readingSo));
            } else if (std::optional<std::string> resolved = pages.Page()) {
                page = *resolved;
            } else {
                return UsageError("PAGE is not text that cp932 can hold, and no page of the log reads so");
            }
        }
        ReportResult result = RunRow(*row, doc.Store(), page);
        if (!ShiftToFileLines(result, path, start)) {
            return 1;
        }
        WriteReport(options, *row, result);
        if (!WriteSvgIfAsked(options, result)) {
            return 1;
        }
    } catch (const LogFileError& error) {
        std::fprintf(stderr, "%s: %s\n", kProgram, error.what());
        return 1;
    }
    return FinishOutput();
}
