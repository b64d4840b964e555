// The command table: the one place a report is declared. Each row, in menu order,
// drives the menu, the view's handlers, the command-line tool's report names and
// usage, the fuzz harness and the benchmarks.
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

// Command ids of the menu.
inline constexpr int kIdSpecifyFile = 32771;
inline constexpr int kIdCheckFile = 32772;
inline constexpr int kIdViewContents = 32773;
inline constexpr int kIdLink = 32774;
inline constexpr int kIdHost = 32775;
inline constexpr int kIdBrowser = 32776;
inline constexpr int kIdKeyword = 32777;
inline constexpr int kIdMainHour = 32778;
inline constexpr int kIdMainDate = 32779;
inline constexpr int kIdPageHour = 32780;
inline constexpr int kIdPageDate = 32781;
inline constexpr int kIdPagesByName = 32782;
inline constexpr int kIdShare = 32783;
inline constexpr int kIdGuestNumber = 32784;
inline constexpr int kIdMainDetail = 32785;
inline constexpr int kIdPageDetail = 32786;
inline constexpr int kIdPageDays = 32787;
inline constexpr int kIdPageRanking = 32788;
// The calendar menu.
inline constexpr int kIdMainDates = 32789;
inline constexpr int kIdMainMonths = 32790;
inline constexpr int kIdMainWeekdays = 32791;
inline constexpr int kIdMainWeekHours = 32792;
inline constexpr int kIdPageDates = 32793;
inline constexpr int kIdPageMonths = 32794;
inline constexpr int kIdPageWeekdays = 32795;
inline constexpr int kIdPageWeekHours = 32796;
inline constexpr int kIdPhrases = 32797;
// The framework's own commands.
inline constexpr int kIdAppExit = 57665;
inline constexpr int kIdAppAbout = 57664;
inline constexpr int kIdNextPane = 57680;
inline constexpr int kIdPrevPane = 57681;

// How a row is carried out.
enum class CommandKind {
    Report,        // the common report handler: compute, show the text
    SpecifyFile,   // choose and load the log
    ViewContents,  // like Report, but the size question may decline
    Share,         // share report, then the share dialog
    PageDays,      // page picker, then the per-page report
    Separator,     // a menu separator, no command
    Exit,          // the framework's exit
    About,         // the version dialog
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

struct CommandRow {
    int id;                               // command id (0 for a separator or a row outside the menu)
    std::array<const char*, 3> menuPath;  // popup texts then the item text (cp932, "&" mnemonic); nullptr pads
    CommandKind kind;
    StartReport start;        // null when the row computes no report
    RowArgument argument;     // which lines, records or order the report selects
    const char* cliName;      // name of the report in quorlet3-report (null: none)
    const char* cliArgument;  // the word that selects the argument, or "PAGE" (null: none)
    const char* help;         // one line for the command-line usage
};

// Every row, in menu order; the page-name list, outside the menu, stands where `all`
// lists it, after the reports of the first three menus and before the calendar's.
std::span<const CommandRow> CommandTable();

// For tests: rows added after the table's own while the object lives, so that a test can
// see a new row reach the menu, the usage and every output without other edits. There
// is room for a few: rows never move, so pointers to them stay valid.
class ExtraCommandRows {
public:
    explicit ExtraCommandRows(std::span<const CommandRow> rows);
    ~ExtraCommandRows();
    ExtraCommandRows(const ExtraCommandRows&) = delete;
    ExtraCommandRows& operator=(const ExtraCommandRows&) = delete;

private:
    size_t m_count;
};

// The row of a command id, or null.
const CommandRow* FindCommand(int id);

// The row of a command-line report name and argument word (empty for reports without
// one; any word for a report that takes a PAGE), or null.
const CommandRow* FindCliCommand(std::string_view name, std::string_view argument);

// A row whose command-line argument is a page name rather than a fixed word.
bool TakesPage(const CommandRow& row);

// The rows of the report "all": every report that needs no page name, in table order.
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
