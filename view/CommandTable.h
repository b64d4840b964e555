// The command table: the one place a report is declared. Each row, in menu order,
// drives the menu, the view's handlers, the command-line tool's report names and
// usage, the fuzz harness and the benchmarks.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "logstore/Quorlet3Doc.h"
#include "view/ReportResult.h"

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

// A report's computation: its typed result for the row's argument (and, for the
// per-page report, the page name in cp932).
using ReportOperation = ReportResult (*)(const CQuorlet3Doc& doc, int argument, std::string_view page);

struct CommandRow {
    int id;                               // command id (0 for a separator or a row outside the menu)
    std::array<const char*, 3> menuPath;  // popup texts then the item text (cp932, "&" mnemonic); nullptr pads
    CommandKind kind;
    ReportOperation operation;  // null when the row computes no report
    int argument;               // nMarker / nOrder handed to the operation
    const char* cliName;        // name of the report in quorlet3-report (null: none)
    const char* cliArgument;    // the word that selects the argument, or "PAGE" (null: none)
    const char* help;           // one line for the command-line usage
};

// Every row, in menu order; rows outside the menu come last.
std::span<const CommandRow> CommandTable();

// The row of a command id, or null.
const CommandRow* FindCommand(int id);

// The row of a command-line report name and argument word (empty for reports without
// one; any word for a report that takes a PAGE), or null.
const CommandRow* FindCliCommand(std::string_view name, std::string_view argument);

// A row whose command-line argument is a page name rather than a fixed word.
bool TakesPage(const CommandRow& row);

// The row's report text: its operation's result through the text formatter.
std::string ReportText(const CommandRow& row, const CQuorlet3Doc& doc, std::string_view page = {});

}  // namespace quorlet3
