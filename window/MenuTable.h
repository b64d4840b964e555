// The window's menu table: where the window shows each command. A row gives the item's
// menu path, its command id, and what it does; a report item names its report by the
// report's command-line words, so the report table says what the report is.
#pragma once

#include <QKeyCombination>
#include <array>
#include <span>

#include "reports/CommandTable.h"

namespace quorlet3 {

class CQuorlet3View;

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
// The window's own commands.
inline constexpr int kIdAppExit = 57665;
inline constexpr int kIdAppAbout = 57664;
inline constexpr int kIdNextPane = 57680;
inline constexpr int kIdPrevPane = 57681;

// What a menu item does, on the window's view, with the report row the item names (null
// for an item of no report).
using MenuHandler = void (*)(CQuorlet3View& view, const CommandRow* report);

// A report by its command-line words: name, then the argument word or "PAGE" (null: none).
struct ReportWords {
    const char* name = nullptr;
    const char* argument = nullptr;
};

struct MenuRow {
    // The popup texts, then the item text (cp932, "&" mnemonic); nullptr pads. A
    // separator names its popups only; a row without a path is an accelerator alone.
    std::array<const char*, 3> path;
    int id = 0;                 // the command id the item carries; 0 for a separator
    MenuHandler run = nullptr;  // null for a separator and for an accelerator without a handler
    ReportWords report{};       // the report the item runs (no name: none)
    QKeyCombination keys{};     // the accelerator (Qt::Key_unknown: none)
};

// Every row, in menu order; the accelerators without an item after them.
std::span<const MenuRow> MenuTable();

// A separator between the items of a popup.
inline bool IsSeparator(const MenuRow& row) { return row.id == 0; }

// The row of a command id in the table, or null.
const MenuRow* FindMenuRow(int id, std::span<const MenuRow> menu = MenuTable());

// The report row a menu row names, in the report table; null for none or for words the
// table does not know.
const CommandRow* ReportOfItem(const MenuRow& row, std::span<const CommandRow> reports = CommandTable());

// Runs the menu row's command on the view, as its item does.
void RunMenuRow(const MenuRow& row, CQuorlet3View& view, std::span<const CommandRow> reports = CommandTable());

}  // namespace quorlet3
