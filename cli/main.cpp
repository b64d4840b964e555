// quorlet3-report: prints one report, or every report, over a log file, for scripts.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CsvOutput.h"
#include "cli/HtmlOutput.h"
#include "cli/JsonOutput.h"
#include "cli/ReportRun.h"
#include "cli/ShareSvg.h"
#include "logstore/Quorlet3Doc.h"
#include "logstore/ReadingRules.h"
#include "platform/Cp932.h"
#include "view/CommandTable.h"

using namespace quorlet3;

namespace {

constexpr const char* kProgram = "quorlet3-report";

// The report rows of the usage text come from the command table.
std::string Usage() {
    std::string usage =
        "Usage: quorlet3-report [--format text|json|csv|html] [--raw] [--from LINE | --last]\n"
        "                       [--svg FILE] LOGFILE REPORT [ARG]\n"
        "\n"
        "Prints one report over 10000 lines of a cp932 access log (by default its first).\n"
        "\n"
        "Reports:\n";
    for (const CommandRow& row : CommandTable()) {
        if (row.start == nullptr || row.cliName == nullptr) {
            continue;
        }
        std::string name = row.cliName;
        if (row.cliArgument != nullptr) {
            name += " ";
            name += row.cliArgument;
        }
        name.resize(std::max<size_t>(name.size() + 1, 22), ' ');
        usage += "  " + name + row.help + "\n";
    }
    usage +=
        "  all                   every report above but page-days, in menu order, over one\n"
        "                        load (json and html only)\n"
        "\n"
        "Options:\n"
        "  --format text|json|csv|html\n"
        "                text: the report as the window shows it (default); json: one\n"
        "                object; csv: one table with a header row; html: one page of every\n"
        "                report (with all). Text is UTF-8 with LF, json/csv/html are UTF-8\n"
        "  --raw         with text: write the report's cp932 bytes unchanged (CR LF line\n"
        "                ends) and take PAGE as raw bytes\n"
        "  --from LINE   read 10000 lines from file line LINE on (1 is the first)\n"
        "  --last        read the last 10000 lines, from the first that begins a record\n"
        "  --svg FILE    with share: also draw the two pies into FILE as SVG\n"
        "  -h, --help    show this help\n"
        "  --version     show the version\n";
    return usage;
}

int UsageError(const std::string& message) {
    std::fprintf(stderr, "%s: %s\n\n%s", kProgram, message.c_str(), Usage().c_str());
    return 2;
}

enum class Format { Text, Json, Csv, Html };

struct Options {
    Format format = Format::Text;
    bool raw = false;
    std::string svgPath;
    LineWindow window;
    std::vector<std::string> args;  // LOGFILE REPORT [ARG]
};

void WriteOut(std::string_view bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stdout); }

// Flushes stdout. A write that failed earlier (a full disk, a closed pipe) leaves the
// stream's error flag set even when nothing is left to flush, so both are checked.
// Returns the exit status: 0, or 1 with a message when the output was not written.
int FinishOutput() {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "%s: cannot write the report: %s\n", kProgram, std::strerror(errno));
        return 1;
    }
    return 0;
}

bool ParseFormat(std::string_view word, Format& format) {
    static const struct {
        std::string_view word;
        Format format;
    } kFormats[] = {{"text", Format::Text}, {"json", Format::Json}, {"csv", Format::Csv}, {"html", Format::Html}};
    for (const auto& f : kFormats) {
        if (word == f.word) {
            format = f.format;
            return true;
        }
    }
    return false;
}

// A line number of --from: decimal digits only, 1 or more, within range.
bool ParseLine(std::string_view word, long long& line) {
    if (word.empty() || word.size() > 18 || word.find_first_not_of("0123456789") != std::string_view::npos) {
        return false;
    }
    line = std::stoll(std::string(word));
    return line >= 1;
}

// Parses the command line into options; returns an exit status when the run ends here.
std::optional<int> ParseArguments(int argc, char** argv, Options& options) {
    bool onlyPositional = false;
    bool from = false;
    bool last = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        // An option's value, given as --name=VALUE or as the next argument.
        auto value = [&](std::string_view name, std::string& out) -> bool {
            if (arg.size() > name.size() && arg.substr(0, name.size()) == name && arg[name.size()] == '=') {
                out = std::string(arg.substr(name.size() + 1));
                return true;
            }
            if (arg == name && i + 1 < argc) {
                out = argv[++i];
                return true;
            }
            return false;
        };
        std::string text;
        if (onlyPositional || arg.empty() || arg[0] != '-' || arg == "-") {
            options.args.emplace_back(arg);
        } else if (arg == "--") {
            onlyPositional = true;
        } else if (arg == "--raw") {
            options.raw = true;
        } else if (arg == "--last") {
            last = true;
            options.window = LineWindow::LastLines();
        } else if (arg.starts_with("--svg")) {
            if (!value("--svg", options.svgPath)) {
                return UsageError("--svg needs a file name");
            }
        } else if (arg.starts_with("--format")) {
            if (!value("--format", text) || !ParseFormat(text, options.format)) {
                return UsageError("--format needs one of text, json, csv, html");
            }
        } else if (arg.starts_with("--from")) {
            long long line = 0;
            if (!value("--from", text) || !ParseLine(text, line)) {
                return UsageError("--from needs a line number of 1 or more");
            }
            from = true;
            options.window = LineWindow::FromLine(line);
        } else if (arg == "-h" || arg == "--help") {
            std::fputs(Usage().c_str(), stdout);
            return FinishOutput();
        } else if (arg == "--version") {
            std::puts("quorlet3-report 3.08");
            return FinishOutput();
        } else {
            return UsageError("unknown option " + std::string(arg));
        }
    }
    if (from && last) {
        return UsageError("--from and --last do not go together");
    }
    if (options.raw && options.format != Format::Text) {
        return UsageError("--raw goes only with --format text");
    }
    return std::nullopt;
}

// Writes one report in the chosen format.
void WriteReport(const Options& options, const CommandRow& row, const ReportResult& result) {
    switch (options.format) {
        case Format::Text:
            if (options.raw) {
                WriteOut(FormatText(result));
            } else {
                WriteOut(CrLfToLf(DecodeCp932ToUtf8(FormatText(result))));
            }
            break;
        case Format::Json:
            WriteOut(FormatJson(row, result));
            WriteOut("\n");
            break;
        case Format::Csv:
            WriteOut(FormatCsv(row, result));
            break;
        case Format::Html:
            break;  // refused before loading: a page holds every report
    }
}

// The check report shows file line numbers: in a window, the lines before it count too.
// Returns false when they cannot be counted or shown.
bool ShiftToFileLines(ReportResult& result, const std::string& path, const CQuorlet3Doc::WindowStart& start) {
    auto* check = std::get_if<FileCheckResult>(&result);
    if (check == nullptr) {
        return true;
    }
    const long long before = start.linesBefore ? *start.linesBefore : CountLinesBefore(path, start.startByte);
    if (before > INT_MAX - kStoreSlots) {
        std::fprintf(stderr, "%s: '%s': line numbers past %d cannot be shown\n", kProgram, path.c_str(), INT_MAX);
        return false;
    }
    ShiftLineNumbers(*check, static_cast<int>(before));
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
        if (row == nullptr || row->start == nullptr) {
            return UsageError("unknown report '" + report + (argument.empty() ? "" : " " + argument) + "'");
        }
        if (TakesPage(*row) && !options.raw && !IsUtf8(argument)) {
            return UsageError("PAGE is not UTF-8 text (use --raw for bytes)");
        }
    }

    CQuorlet3Doc doc;  // no question box: the listing is written without asking
    CQuorlet3Doc::WindowStart start;
    try {
        start = doc.LoadLogWindow(path, options.window);
    } catch (const LogFileError& error) {
        std::fprintf(stderr, "%s: %s\n", kProgram, error.what());
        return 1;
    }

    try {
        if (all) {
            const std::vector<const CommandRow*> rows = AllReportRows();
            std::vector<RowResult> results = RunRows(rows, doc.Store());
            for (RowResult& r : results) {
                if (!ShiftToFileLines(r.result, path, start)) {
                    return 1;
                }
            }
            const int lines = WalkLength(doc.Store());
            if (options.format == Format::Json) {
                WriteOut(FormatJsonAll(path, lines, results));
                WriteOut("\n");
            } else {
                WriteOut(FormatHtmlReport(path, lines, results));
            }
            return FinishOutput();
        }

        std::string page;
        if (TakesPage(*row)) {
            if (options.raw) {
                page = argument;
            } else if (std::optional<std::string> resolved = ResolvePageName(doc.Store(), argument)) {
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
        if (!options.svgPath.empty() && !WriteShareSvg(options.svgPath, std::get<ShareResult>(result).counters)) {
            std::fprintf(stderr, "%s: cannot write '%s': %s\n", kProgram, options.svgPath.c_str(),
                         std::strerror(errno));
            return 1;
        }
    } catch (const LogFileError& error) {
        std::fprintf(stderr, "%s: %s\n", kProgram, error.what());
        return 1;
    }
    return FinishOutput();
}
