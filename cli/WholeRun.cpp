// quorlet3-report --whole: the reports over every line of the log in parallel parts, a
// progress line while it reads, the contents listing written as it is read, and the
// whole-log state kept between runs.
#include "cli/WholeRun.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "cli/ReportWriting.h"
#include "encoding/Cp932.h"
#include "logstore/DateWindow.h"
#include "logstore/ReadingRules.h"
#include "output/CsvOutput.h"
#include "output/JsonOutput.h"
#include "reports/ReportRun.h"
#include "reports/WholeLogReports.h"
#include "wholelog/KeptState.h"
#include "wholelog/WholeLogRun.h"

namespace quorlet3::cli {
namespace {

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

// What a kept state was read for: this version's reports of rows, in order.
std::string StateKey(std::span<const CommandRow* const> rows) {
    return "quorlet3-report " QUORLET3_VERSION "\n" + WholeLogStateKey(rows);
}

}  // namespace

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

}  // namespace quorlet3::cli
