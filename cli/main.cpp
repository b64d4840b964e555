// quorlet3-report: prints one report over a log file, for scripts.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/ShareSvg.h"
#include "logstore/Quorlet3Doc.h"
#include "platform/Cp932.h"
#include "view/CommandTable.h"

using namespace quorlet3;

namespace {

constexpr const char* kUsage =
    "Usage: quorlet3-report [--raw] [--svg FILE] LOGFILE REPORT [ARG]\n"
    "\n"
    "Prints one report over the first 10000 lines of a cp932 access log.\n"
    "\n"
    "Reports:\n"
    "  check                 file check\n"
    "  contents              compact listing, one line per record\n"
    "  links                 referring addresses with counts\n"
    "  browsers              browser strings with counts\n"
    "  hosts                 hosts by domain class\n"
    "  keywords              query parts of referring addresses\n"
    "  pages name|ranking    viewed pages by name or by count\n"
    "  hourly main|page      counts by hour (main page or other pages)\n"
    "  daily main|page       counts by day of the month\n"
    "  detail main|page      counts by day and hour\n"
    "  guests                first and last guest numbers\n"
    "  share                 browser share\n"
    "  page-names            the distinct page names, one a line\n"
    "  page-days PAGE        days on which PAGE was viewed\n"
    "\n"
    "Options:\n"
    "  --raw         write the report's cp932 bytes unchanged (CR LF line ends) and\n"
    "                take PAGE as raw bytes; otherwise output is UTF-8 with LF\n"
    "  --svg FILE    with share: also draw the two pies into FILE as SVG\n"
    "  -h, --help    show this help\n"
    "  --version     show the version\n";

int UsageError(const std::string& message) {
    std::fprintf(stderr, "quorlet3-report: %s\n\n%s", message.c_str(), kUsage);
    return 2;
}

struct Options {
    bool raw = false;
    std::string svgPath;
    std::vector<std::string> args;  // LOGFILE REPORT [ARG]
};

void WriteOut(std::string_view bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stdout); }

// Flushes stdout. A write that failed earlier (a full disk, a closed pipe) leaves the
// stream's error flag set even when nothing is left to flush, so both are checked.
// Returns the exit status: 0, or 1 with a message when the output was not written.
int FinishOutput() {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "quorlet3-report: cannot write the report: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}

void WriteReport(const Options& options, std::string_view report) {
    if (options.raw) {
        WriteOut(report);
    } else {
        WriteOut(CrLfToLf(DecodeCp932ToUtf8(report)));
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    bool onlyPositional = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (onlyPositional || arg.empty() || arg[0] != '-' || arg == "-") {
            options.args.emplace_back(arg);
        } else if (arg == "--") {
            onlyPositional = true;
        } else if (arg == "--raw") {
            options.raw = true;
        } else if (arg == "--svg") {
            if (i + 1 >= argc) {
                return UsageError("--svg needs a file name");
            }
            options.svgPath = argv[++i];
        } else if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            return FinishOutput();
        } else if (arg == "--version") {
            std::puts("quorlet3-report 3.08");
            return FinishOutput();
        } else {
            return UsageError("unknown option " + std::string(arg));
        }
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

    const CommandRow* row = FindCliCommand(report, argument);
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
    if (row == nullptr || row->operation == nullptr) {
        return UsageError("unknown report '" + report + (argument.empty() ? "" : " " + argument) + "'");
    }

    std::string page;
    if (TakesPage(*row)) {
        if (options.raw) {
            page = argument;
        } else if (auto encoded = EncodeUtf8ToCp932(argument)) {
            page = *encoded;
        } else {
            return UsageError("PAGE is not UTF-8 text that cp932 can hold (use --raw for bytes)");
        }
    }

    CQuorlet3Doc doc;  // no question box: the listing is written without asking
    try {
        doc.LoadLogFile(path);
    } catch (const LogFileError& error) {
        std::fprintf(stderr, "quorlet3-report: %s\n", error.what());
        return 1;
    }

    const ReportResult result = row->operation(doc, row->argument, page);
    WriteReport(options, FormatText(result));
    if (!options.svgPath.empty() && !WriteShareSvg(options.svgPath, std::get<ShareResult>(result).counters)) {
        std::fprintf(stderr, "quorlet3-report: cannot write '%s': %s\n", options.svgPath.c_str(),
                     std::strerror(errno));
        return 1;
    }
    return FinishOutput();
}
