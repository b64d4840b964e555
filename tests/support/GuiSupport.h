// Helpers of the offscreen Qt tests on top of TestLog.h: the wait cursor, modal dialogs and
// how a dialog's controls read.
#pragma once

#include <QList>
#include <QString>

#include "tests/support/TestLog.h"
#include "window/MenuTable.h"
#include "window/Quorlet3View.h"

class QWidget;

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

// What keeps the controls of a shown dialog from reading as the user should see them: a
// control hidden, reaching past the dialog's edge, overlapping another of the list, or a
// label or button too small for its text. Empty when every control reads.
QString ControlsUnreadable(const QWidget& dialog, const QList<QWidget*>& controls);

}  // namespace quorlet3::test
