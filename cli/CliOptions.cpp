// quorlet3-report's command line parsed into options: every option, and the ones that
// do not go together refused.
#include "cli/CliOptions.h"

#include <cstdio>
#include <string_view>

#include "cli/ReportWriting.h"
#include "cli/Usage.h"
#include "logstore/DateWindow.h"
#include "logstore/ReadingRules.h"

namespace quorlet3::cli {

int UsageError(const std::string& message) {
    std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", kProgram, message.c_str(), kProgram);
    return 2;
}

namespace {

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

}  // namespace

// Parses the command line into options; returns an exit status when the run ends here.
std::optional<int> ParseArguments(int argc, char** argv, Options& options) {
    bool onlyPositional = false;
    bool from = false;
    bool last = false;
    bool jobsGiven = false;
    bool partSize = false;
    DateWindow dates;
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
        } else if (arg.starts_with("--since") || arg.starts_with("--until")) {
            const bool since = arg.starts_with("--since");
            const std::string_view name = since ? "--since" : "--until";
            const std::optional<CivilDate> date = value(name, text) ? ParseIsoDate(text) : std::nullopt;
            if (!date) {
                return UsageError(std::string(name) + " needs a date YYYY-MM-DD that exists");
            }
            (since ? dates.since : dates.until) = date;
        } else if (arg.starts_with("--state")) {
            if (!value("--state", options.statePath) || options.statePath.empty()) {
                return UsageError("--state needs a file name");
            }
        } else if (arg == "--whole") {
            options.whole = true;
        } else if (arg.starts_with("--jobs")) {
            long long jobs = 0;
            if (!value("--jobs", text) || !ParseLine(text, jobs) || jobs > 256) {
                return UsageError("--jobs needs a number of threads from 1 to 256");
            }
            options.parts.jobs = static_cast<int>(jobs);
            jobsGiven = true;
        } else if (arg.starts_with("--part-size")) {
            long long bytes = 0;
            if (!value("--part-size", text) || !ParseLine(text, bytes)) {
                return UsageError("--part-size needs a number of bytes of 1 or more");
            }
            options.parts.partBytes = static_cast<size_t>(bytes);
            partSize = true;
        } else if (arg == "-h" || arg == "--help") {
            std::fputs(Usage().c_str(), stdout);
            return FinishOutput();
        } else if (arg == "--list-reports") {
            std::fputs(ReportList().c_str(), stdout);
            return FinishOutput();
        } else if (arg == "--version" || arg == "-v") {
            std::puts("quorlet3-report " QUORLET3_VERSION);
            return FinishOutput();
        } else {
            return UsageError("unknown option " + std::string(arg));
        }
    }
    if (from && last) {
        return UsageError("--from and --last do not go together");
    }
    if (!dates.IsOpen()) {
        if (from || last) {
            return UsageError("--since and --until choose lines by date: they go with neither --from nor --last");
        }
        if (dates.since && dates.until && *dates.until < *dates.since) {
            return UsageError("--until is before --since");
        }
        if (!options.args.empty() && options.args[0] == kStandardInput) {
            return UsageError("--since and --until need a file: standard input cannot be searched by date");
        }
        options.window = LineWindow::Dated(dates);
        options.parts.dates = dates;
    }
    if (options.whole && (from || last)) {
        return UsageError("--whole reads every line: it goes with neither --from nor --last");
    }
    if (!options.statePath.empty()) {
        if (!options.whole) {
            return UsageError("--state goes only with --whole");
        }
        if (!dates.IsOpen()) {
            return UsageError("--state keeps the whole log: it goes with neither --since nor --until");
        }
        if (!options.args.empty() && options.args[0] == kStandardInput) {
            return UsageError("--state needs a file: standard input cannot be read again");
        }
    }
    if (!options.whole && (jobsGiven || partSize)) {
        return UsageError("--jobs and --part-size go only with --whole");
    }
    if (!options.args.empty() && options.args[0] == kStandardInput && (from || last)) {
        return UsageError("--from and --last need a file: standard input cannot be read from a line on or backwards");
    }
    if (options.raw && options.format != Format::Text) {
        return UsageError("--raw goes only with --format text");
    }
    return std::nullopt;
}

}  // namespace quorlet3::cli
