// Helpers of the offscreen Qt tests on top of TestLog.h: the wait cursor and modal dialogs.
#pragma once

#include <QString>

#include "tests/support/TestLog.h"

namespace quorlet3::test {

// True while a command's wait cursor is the application's cursor.
bool WaitCursorOn();

// Once the next modal dialog runs, notes its caption and closes it as Cancel would.
void CloseNextModal(QString* caption);

}  // namespace quorlet3::test
