// Helpers of the offscreen Qt tests on top of TestLog.h: the wait cursor, modal dialogs and
// how a dialog's controls read.
#pragma once

#include <QList>
#include <QString>

#include "tests/support/TestLog.h"

class QWidget;

namespace quorlet3::test {

// True while a command's wait cursor is the application's cursor.
bool WaitCursorOn();

// Once the next modal dialog runs, notes its caption and closes it as Cancel would.
void CloseNextModal(QString* caption);

// What keeps the controls of a shown dialog from reading as the user should see them: a
// control hidden, reaching past the dialog's edge, overlapping another of the list, or a
// label or button too small for its text. Empty when every control reads.
QString ControlsUnreadable(const QWidget& dialog, const QList<QWidget*>& controls);

}  // namespace quorlet3::test
