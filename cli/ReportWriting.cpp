// quorlet3-report's writing of reports in the format asked for.
#include "cli/ReportWriting.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "encoding/Cp932.h"
#include "logstore/ReadingRules.h"
#include "output/CsvOutput.h"
#include "output/HtmlOutput.h"
#include "output/JsonOutput.h"
#include "output/ShareSvg.h"

namespace quorlet3::cli {

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

// Writes the check in the chosen format from its findings, piece by piece.
void WriteFileCheck(const Options& options, const CommandRow& row, const FileCheckSource& check) {
    switch (options.format) {
        case Format::Text:
            if (options.raw) {
                WriteFileCheckText(check, WriteOut);
            } else {
                // Every fixed piece is whole characters, its CR LF pairs whole: decoded once each.
                WriteFileCheckText(check, WriteOut,
                                   [](std::string_view cp932) { return CrLfToLf(DecodeCp932ToUtf8(cp932)); });
            }
            break;
        case Format::Json:
            WriteJsonFileCheck(row, check, WriteOut);
            WriteOut("\n");
            break;
        case Format::Csv:
            WriteCsvFileCheck(check, WriteOut);
            break;
        case Format::Html:
            break;  // refused before loading: a page holds every report
    }
}

// Draws the share pies into the --svg file when one was given; false (with a message)
// when it cannot be written.
bool WriteSvgIfAsked(const Options& options, const ReportResult& result) {
    if (options.svgPath.empty() || WriteShareSvg(options.svgPath, std::get<ShareResult>(result).counters)) {
        return true;
    }
    std::fprintf(stderr, "%s: cannot write '%s': %s\n", kProgram, options.svgPath.c_str(), std::strerror(errno));
    return false;
}

// Writes the results of 'all' as JSON (piece by piece) or as the HTML page.
void WriteAll(const Options& options, const std::string& path, long long lines, const std::vector<RowResult>& results) {
    if (options.format == Format::Json) {
        WriteJsonAll(path, lines, results, WriteOut);
        WriteOut("\n");
    } else {
        WriteOut(FormatHtmlReport(path, lines, results));
    }
}

// A date window that holds no line of the log still gets its report, every count 0, and
// exit status 0; one line on standard error says why.
void NoteEmptyDateWindow(const DateWindow& dates, const std::string& path, long long lines) {
    if (dates.IsOpen() || lines != 0) {
        return;
    }
    std::string window;
    if (dates.since && dates.until) {
        window = "from " + IsoDate(*dates.since) + " to " + IsoDate(*dates.until);
    } else if (dates.since) {
        window = "from " + IsoDate(*dates.since) + " on";
    } else {
        window = "up to " + IsoDate(*dates.until);
    }
    std::fprintf(stderr, "%s: '%s' has no line dated %s: every count is 0\n", kProgram, path.c_str(), window.c_str());
}

}  // namespace quorlet3::cli
