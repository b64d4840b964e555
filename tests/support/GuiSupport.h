// Helpers of the offscreen Qt tests on top of TestLog.h: the wait cursor and modal dialogs.
#pragma once

#include <QString>

#include "tests/support/TestLog.h"
#include "window/MenuTable.h"
#include "window/Quorlet3View.h"

namespace quorlet3::test {

// The report row the menu item of that command id runs; throws when it runs none.
const CommandRow& CommandOf(int menuId);

// The report text of the menu item's report over the document's store.
std::string ReportOf(const CQuorlet3Doc& doc, int menuId, std::string_view page = {});

// Runs the menu item's command on the view, as choosing the item does.
void RunMenuCommand(CQuorlet3View& view, int menuId);

// True while a command's wait cursor is the application's cursor.
bool WaitCursorOn();

// Once the next modal dialog runs, notes its caption and closes it as Cancel would.
void CloseNextModal(QString* caption);

}  // namespace quorlet3::test
