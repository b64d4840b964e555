// The command table: one row per menu entry, in menu order. It drives the menu,
// the view's handlers and the command-line tool's report names.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "logstore/Quorlet3Doc.h"

namespace quorlet3 {

// How a row is carried out.
enum class CommandKind {
    Report,        // the common report handler: call, show the text
    SpecifyFile,   // choose and load the log
    ViewContents,  // like Report, but "CANCEL" changes nothing
    Share,         // share report, then the share dialog
    PageDays,      // page picker, then the per-page report
    Separator,     // a menu separator, no command
    Exit,          // the framework's exit
    About,         // the version dialog
};

using ReportOperation = std::string (*)(const CQuorlet3Doc& doc, int argument);

struct CommandRow {
    int id;                                // command id (0 for a separator)
    std::array<const char*, 3> menuPath;   // popup texts then the item text (cp932, "&" mnemonic); nullptr pads
    const char* handler;                   // the view's handler name
    CommandKind kind;
    ReportOperation operation;             // document operation (null when the kind has none)
    int argument;                          // nMarker / nOrder handed to the operation
    const char* cliName;                   // name of the report in quorlet3-report (null: none)
    const char* cliArgument;               // the word that selects the argument (null: none)
};

// Every row, in menu order.
std::span<const CommandRow> CommandTable();

// The row of a command id, or null.
const CommandRow* FindCommand(int id);

// The row of a command-line report name and argument word (null argument for reports
// without one), or null.
const CommandRow* FindCliCommand(std::string_view name, std::string_view argument);

// Menu ids of the framework's own commands.
inline constexpr int kIdAppExit = 57665;
inline constexpr int kIdAppAbout = 57664;
inline constexpr int kIdNextPane = 57680;
inline constexpr int kIdPrevPane = 57681;

}  // namespace quorlet3
