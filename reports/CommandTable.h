// The report table: the one place a report is declared. Each row, in menu order, says
// what the report is; it drives the command-line tool's report names and usage, every
// output format, the fuzz harness and the benchmarks, and the window's menu names it.
#pragma once

#include <array>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "logstore/Accumulator.h"
#include "logstore/LineStore.h"
#include "reports/ReportResult.h"

namespace quorlet3 {

// What sets a report apart from the ordinary counts when it is run.
enum class ReportNature {
    Counts,     // a report of counts, kept and merged like any other
    FileCheck,  // the file check: over a whole log its findings may be many, and are spilled
    Listing,    // the contents listing: one line per record, so a whole log streams it and
                // keeps no state of it, and the window asks before a large one
};

// What a row's report is computed over, beside the slots: the row's argument, the page
// name of the per-page report (cp932), and the size of the tables.
using RowArgument = std::variant<std::monostate, TallyField, RecordKind, PageOrder>;
struct ReportRequest {
    RowArgument argument;
    std::string_view page;
    TableLimits limits = TableLimits::Store();
};

// A report's computation: a new accumulator that finishes into the row's typed result.
using StartReport = std::unique_ptr<ReportAccumulator> (*)(const ReportRequest& request);

// One report: how it is computed, its command-line words and help, what sets it apart,
// and where the window lists it. The window's menu (its texts, mnemonics and command ids)
// is the window's own table, which names each report by its command-line words.
struct CommandRow {
    StartReport start;        // the report's computation
    RowArgument argument;     // which lines, records or order the report selects
    const char* cliName;      // name of the report in quorlet3-report
    const char* cliArgument;  // the word that selects the argument, or "PAGE" (null: none)
    const char* help;         // one line for the command-line usage
    // Where the window lists the report, broadest first (UTF-8, no mnemonics; nullptr
    // pads; all null for a report the window shows nowhere): the HTML page names it so
    // that a reader finds the report in the window.
    std::array<const char*, 3> place;
    ReportNature nature = ReportNature::Counts;
};

// Every report, in menu order; the page-name list, outside the menu, stands where `all`
// lists it, after the reports of the first three menus and before the calendar's.
std::span<const CommandRow> CommandTable();

// The row of a command-line report name and argument word (empty for reports without
// one; any word for a report that takes a PAGE), or null.
const CommandRow* FindCliCommand(std::span<const CommandRow> table, std::string_view name, std::string_view argument);
const CommandRow* FindCliCommand(std::string_view name, std::string_view argument);

// A row whose command-line argument is a page name rather than a fixed word.
bool TakesPage(const CommandRow& row);
// The contents listing.
inline bool IsListing(const CommandRow& row) { return row.nature == ReportNature::Listing; }

// The rows of the report "all": every report that needs no page name, in table order.
std::vector<const CommandRow*> AllReportRows(std::span<const CommandRow> table);
std::vector<const CommandRow*> AllReportRows();

// A row's accumulator for a request that carries the row's own argument.
std::unique_ptr<ReportAccumulator> StartRow(const CommandRow& row, std::string_view page = {},
                                            TableLimits limits = TableLimits::Store());

// A command-table row with the typed result it computed.
struct RowResult {
    const CommandRow* row;
    ReportResult result;
};

// The accumulators of a run of rows, for one walk of any reader over the slots (the
// store's RunOverStore, the whole log's RunOverWholeLog).
class RowRun {
public:
    explicit RowRun(std::span<const CommandRow* const> rows, std::string_view page = {},
                    TableLimits limits = TableLimits::Store());
    std::span<SlotAccumulator* const> Accumulators() const { return m_walkers; }
    // Each row's typed result, in the order of the rows.
    std::vector<RowResult> Finish(const WalkEnd& end);

private:
    std::vector<const CommandRow*> m_rows;
    std::vector<std::unique_ptr<ReportAccumulator>> m_accumulators;
    std::vector<SlotAccumulator*> m_walkers;
};

// The rows' reports over the store, in one walk of its slots.
std::vector<RowResult> RunRows(std::span<const CommandRow* const> rows, const LineStore& store,
                               TableLimits limits = TableLimits::Store());

// One row's report over the store (page: the per-page report's page name, cp932).
ReportResult RunRow(const CommandRow& row, const LineStore& store, std::string_view page = {});

// The row's report text over the store.
std::string ReportText(const CommandRow& row, const LineStore& store, std::string_view page = {});

}  // namespace quorlet3
