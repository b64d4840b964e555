// quorlet3-report: prints one report, or every report, over a log file, for scripts.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Usage.h"
#include "encoding/Cp932.h"
#include "logstore/DateWindow.h"
#include "logstore/Quorlet3Doc.h"
#include "logstore/ReadingRules.h"
#include "output/CsvOutput.h"
#include "output/HtmlOutput.h"
#include "output/JsonOutput.h"
#include "output/ShareSvg.h"
#include "reports/CommandTable.h"
#include "reports/ReportRun.h"
#include "reports/WholeLogReports.h"
#include "wholelog/KeptState.h"
#include "wholelog/WholeLogRun.h"

using namespace quorlet3;

namespace {

constexpr const char* kProgram = "quorlet3-report";

int UsageError(const std::string& message) {
    std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", kProgram, message.c_str(), kProgram);
    return 2;
}

enum class Format { Text, Json, Csv, Html };

struct Options {
    Format format = Format::Text;
    bool raw = false;
    bool whole = false;
    PartReadOptions parts;
    std::string svgPath;
    std::string statePath;  // --state: the whole-log state kept between runs
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

// One progress line on standard error while a long whole-log run reads, when standard
// error is a terminal: what has been read, the speed and the time left.
class ProgressLine {
public:
    ProgressLine() : m_shown(::isatty(STDERR_FILENO) != 0), m_start(Clock::now()) {}
    ~ProgressLine() { Clear(); }

    // Takes the line away (before the report is written).
    void Clear() {
        if (m_drawn) {
            std::fputs("\r\033[K", stderr);
            std::fflush(stderr);
            m_drawn = false;
        }
        m_shown = false;
    }
    // No line while the report itself is written to the same terminal as it is read.
    void Suppress() { m_shown = false; }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void operator()(long long bytesRead, long long totalBytes) {
        if (!m_shown) {
            return;
        }
        const auto now = Clock::now();
        const double seconds = std::chrono::duration<double>(now - m_start).count();
        if (seconds < 0.5 || now - m_last < std::chrono::milliseconds(100)) {
            return;
        }
        m_last = now;
        m_drawn = true;
        const double mb = static_cast<double>(bytesRead) / 1e6;
        const double rate = mb / seconds;
        if (totalBytes > 0) {
            const double left = rate > 0 ? (static_cast<double>(totalBytes) / 1e6 - mb) / rate : 0;
            std::fprintf(stderr, "\r\033[K%s: %.0f of %.0f MB, %.0f MB/s, %.0f s left", kProgram, mb,
                         static_cast<double>(totalBytes) / 1e6, rate, left);
        } else {
            std::fprintf(stderr, "\r\033[K%s: %.0f MB, %.0f MB/s", kProgram, mb, rate);
        }
        std::fflush(stderr);
    }

private:
    using Clock = std::chrono::steady_clock;
    bool m_shown;
    bool m_drawn = false;
    Clock::time_point m_start;
    Clock::time_point m_last{};
};

// Writes the contents listing row by row as the whole log is read. JSON states the
// number of lines before the rows, so its rows wait in a temporary file until the end.
class ContentsStream {
public:
    explicit ContentsStream(const Options& options) : m_options(options) {
        if (m_options.format == Format::Json) {
            m_spool = std::tmpfile();
            if (m_spool == nullptr) {
                throw std::runtime_error(std::string("cannot make a temporary file: ") + std::strerror(errno));
            }
        } else if (m_options.format == Format::Csv) {
            WriteOut("row\r\n");
        }
    }
    ~ContentsStream() {
        if (m_spool != nullptr) {
            std::fclose(m_spool);
        }
    }
    ContentsStream(const ContentsStream&) = delete;
    ContentsStream& operator=(const ContentsStream&) = delete;

    void Row(std::string_view piece, RowPiece end) {
        switch (m_options.format) {
            case Format::Text:
                if (m_options.raw) {
                    WriteOut(piece);
                    if (end == RowPiece::Ends) {
                        WriteOut("\r\n");
                    }
                } else {
                    // Each piece ends in an ASCII byte, so decoding piece by piece equals decoding the whole.
                    WriteOut(CrLfToLf(
                        DecodeCp932ToUtf8(end == RowPiece::Ends ? std::string(piece) + "\r\n" : std::string(piece))));
                }
                break;
            case Format::Csv:
                if (end == RowPiece::Continues || m_csvRow.Started()) {
                    m_csvRow.Add(piece);
                    if (end != RowPiece::Continues) {
                        m_csvRow.Write();
                    }
                } else {
                    WriteOut(FormatCsvContentsRow(piece));
                }
                break;
            case Format::Json: {
                // A row of several pieces is one string: each piece escaped on its own,
                // which equals escaping the whole, as each holds whole characters.
                const std::string value = FormatJsonCp932String(piece);
                std::string_view out = value;
                const std::string_view comma = m_rowOpen || m_rows++ == 0 ? "" : ",";
                if (m_rowOpen) {
                    out.remove_prefix(1);  // the opening quote was written with the row's first piece
                }
                const bool last = end != RowPiece::Continues;
                if (!last) {
                    out.remove_suffix(1);
                }
                m_rowOpen = !last;
                Spool(comma);
                Spool(out);
                break;
            }
            case Format::Html:
                break;
        }
    }

    // Writes what waits for the end: the JSON object around its rows.
    void Finish(const CommandRow& row, long long lines) {
        if (m_spool == nullptr) {
            return;
        }
        ContentsResult counted;
        counted.lines = lines;
        const std::string frame = FormatJson(row, counted);  // ..."rows":[]}
        const size_t rowsAt = frame.rfind("[]") + 1;
        WriteOut(std::string_view(frame).substr(0, rowsAt));
        std::rewind(m_spool);
        char buffer[65536];
        size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, m_spool)) > 0) {
            WriteOut(std::string_view(buffer, got));
        }
        WriteOut(std::string_view(frame).substr(rowsAt));
        WriteOut("\n");
    }

private:
    void Spool(std::string_view bytes) {
        if (std::fwrite(bytes.data(), 1, bytes.size(), m_spool) != bytes.size()) {
            throw std::runtime_error(std::string("cannot write a temporary file: ") + std::strerror(errno));
        }
    }

    // A CSV row of several pieces: quoted only when some piece needs it, so it waits,
    // past a megabyte in a temporary file, until its end.
    class CsvRow {
    public:
        ~CsvRow() {
            if (m_file != nullptr) {
                std::fclose(m_file);
            }
        }
        bool Started() const { return m_started; }
        void Add(std::string_view cp932) {
            m_started = true;
            const std::string utf8 = LogTextToUtf8(cp932);
            m_quoted = m_quoted || utf8.find_first_of(",\"\r\n") != std::string::npos;
            m_held += utf8;
            if (m_held.size() >= (size_t{1} << 20)) {
                if (m_file == nullptr && (m_file = std::tmpfile()) == nullptr) {
                    throw std::runtime_error(std::string("cannot make a temporary file: ") + std::strerror(errno));
                }
                if (std::fwrite(m_held.data(), 1, m_held.size(), m_file) != m_held.size()) {
                    throw std::runtime_error(std::string("cannot write a temporary file: ") + std::strerror(errno));
                }
                m_held.clear();
            }
        }
        // Writes the row as FormatCsvContentsRow writes it whole.
        void Write() {
            if (m_quoted) {
                WriteOut("\"");
            }
            if (m_file != nullptr) {
                std::rewind(m_file);
                char buffer[65536];
                size_t got = 0;
                while ((got = std::fread(buffer, 1, sizeof buffer, m_file)) > 0) {
                    WriteField(std::string_view(buffer, got));
                }
                std::fclose(m_file);
                m_file = nullptr;
            }
            WriteField(m_held);
            WriteOut(m_quoted ? "\"\r\n" : "\r\n");
            m_held.clear();
            m_started = false;
            m_quoted = false;
        }

    private:
        void WriteField(std::string_view utf8) const {
            if (!m_quoted) {
                WriteOut(utf8);
                return;
            }
            for (size_t quote = utf8.find('"'); quote != std::string_view::npos; quote = utf8.find('"')) {
                WriteOut(utf8.substr(0, quote + 1));
                WriteOut("\"");
                utf8.remove_prefix(quote + 1);
            }
            WriteOut(utf8);
        }

        bool m_started = false;
        bool m_quoted = false;
        std::string m_held;
        std::FILE* m_file = nullptr;
    };

    const Options& m_options;
    std::FILE* m_spool = nullptr;
    long long m_rows = 0;
    bool m_rowOpen = false;  // a JSON row's string was begun and not ended
    CsvRow m_csvRow;
};

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

// What a kept state was read for: this version's reports of rows, in order.
std::string StateKey(std::span<const CommandRow* const> rows) {
    return "quorlet3-report " QUORLET3_VERSION "\n" + WholeLogStateKey(rows);
}

// The reports over every line of the log, read in parallel parts. row is null for 'all'.
int RunWhole(const Options& options, const std::string& path, const CommandRow* row, const std::string& argument) {
    PartReadOptions parts = options.parts;
    ProgressLine progress;
    parts.progress = [&progress](long long read, long long total) { progress(read, total); };
    try {
        if (row != nullptr && IsListing(*row)) {
            if (::isatty(STDOUT_FILENO) != 0) {
                progress.Suppress();  // the listing goes to the terminal as it is read
            }
            ContentsStream stream(options);
            PlainAccumulator<ContentsAccumulator> contents(
                ContentsAccumulator([&stream](std::string_view piece, RowPiece end) { stream.Row(piece, end); }));
            SlotAccumulator* const one[] = {&contents};
            const WalkEnd end = RunOverWholeLog(path, one, parts);
            NoteEmptyDateWindow(parts.dates, path, end.visited);
            contents.Accumulator().Finish(end);  // writes the open last row
            stream.Finish(*row, end.visited);
            return FinishOutput();
        }
        if (row != nullptr && row->nature == ReportNature::FileCheck && options.statePath.empty()) {
            // The findings may be many: kept compactly, past a megabyte in temporary
            // files, and written out from there rather than held as a result.
            PlainAccumulator<FileCheckAccumulator> check(FileCheckAccumulator::Spilling());
            SlotAccumulator* const one[] = {&check};
            const WalkEnd end = RunOverWholeLog(path, one, parts);
            progress.Clear();
            NoteEmptyDateWindow(parts.dates, path, end.visited);
            FileCheckFindings findings = check.Accumulator().TakeFindings(end);
            if (!parts.dates.IsOpen()) {  // as in a window of first lines: file line numbers
                findings.ShiftLineNumbers(CountLinesBefore(path, FindDateWindow(path, parts.dates).begin));
            }
            WriteFileCheck(options, *row, findings);
            return FinishOutput();
        }
        if (row != nullptr && TakesPage(*row) && !options.raw && options.statePath.empty()) {
            // The page typed as UTF-8 is matched against the log's page names in the same pass.
            PlainAccumulator<PageDaysByTextAccumulator> days{PageDaysByTextAccumulator(argument)};
            SlotAccumulator* const one[] = {&days};
            const WalkEnd end = RunOverWholeLog(path, one, parts);
            progress.Clear();
            NoteEmptyDateWindow(parts.dates, path, end.visited);
            const PageByText pages = days.Accumulator().Pages();
            if (pages.readingSo.size() > 1) {
                return UsageError(AmbiguousPageMessage(argument, pages.readingSo));
            }
            std::optional<PageDaysResult> result = days.Accumulator().Finish(end);
            if (!result) {
                return UsageError("PAGE is not text that cp932 can hold, and no page of the log reads so");
            }
            WriteReport(options, *row, ReportResult(std::move(*result)));
            return FinishOutput();
        }
        std::vector<const CommandRow*> rows;
        if (row != nullptr && options.statePath.empty()) {
            rows.push_back(row);
        } else {
            for (const CommandRow* each : AllReportRows()) {
                if (!IsListing(*each)) {  // a whole log's listing is its own run
                    rows.push_back(each);
                }
            }
            if (row != nullptr && !TakesPage(*row) && std::find(rows.begin(), rows.end(), row) == rows.end()) {
                rows.push_back(row);
            }
        }
        // With a kept state every report of 'all' and the days of every page are read, so
        // that any report can follow.
        const bool kept = !options.statePath.empty();
        std::optional<RowRun> run;
        std::optional<PlainAccumulator<EveryPageDaysAccumulator>> pages;
        std::vector<SlotAccumulator*> walkers;
        const auto make = [&]() -> std::span<SlotAccumulator* const> {
            run.emplace(rows, kept ? std::string() : argument, TableLimits::Unlimited());
            walkers.assign(run->Accumulators().begin(), run->Accumulators().end());
            if (kept) {
                pages.emplace(EveryPageDaysAccumulator{});
                walkers.push_back(&*pages);
            }
            return walkers;
        };
        WalkEnd end;
        if (!kept) {
            end = RunOverWholeLog(path, make(), parts);
        } else {
            end = RunOverWholeLogKept(path, options.statePath, StateKey(rows) + "page-days\n", make, parts,
                                      [&](const std::string& note) {
                                          progress.Clear();
                                          std::fprintf(stderr, "%s: %s\n", kProgram, note.c_str());
                                      });
        }
        progress.Clear();
        NoteEmptyDateWindow(parts.dates, path, end.visited);
        if (kept && row != nullptr && TakesPage(*row)) {
            if (options.raw) {
                WriteReport(options, *row, ReportResult(pages->Accumulator().Raw(argument)));
                return FinishOutput();
            }
            PageDaysByTextAccumulator days = pages->Accumulator().Text(argument);
            const PageByText named = days.Pages();
            if (named.readingSo.size() > 1) {
                return UsageError(AmbiguousPageMessage(argument, named.readingSo));
            }
            std::optional<PageDaysResult> result = days.Finish(end);
            if (!result) {
                return UsageError("PAGE is not text that cp932 can hold, and no page of the log reads so");
            }
            WriteReport(options, *row, ReportResult(std::move(*result)));
            return FinishOutput();
        }
        std::vector<RowResult> results = run->Finish(end);
        CountCheckLinesFromFileStart(results, path, parts.dates);  // as in a window of first lines
        if (row == nullptr) {
            WriteAll(options, path, end.visited, results);
            return FinishOutput();
        }
        const auto asked =
            std::find_if(results.begin(), results.end(), [&](const RowResult& r) { return r.row == row; });
        WriteReport(options, *row, asked->result);
        if (!WriteSvgIfAsked(options, asked->result)) {
            return 1;
        }
    } catch (const LogFileError& error) {
        std::fprintf(stderr, "%s: %s\n", kProgram, error.what());
        return 1;
    } catch (const std::exception& error) {
        // Out of memory, or a temporary file for the listing that could not be written.
        std::fprintf(stderr, "%s: '%s': %s\n", kProgram, path.c_str(), error.what());
        return 1;
    }
    return FinishOutput();
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
