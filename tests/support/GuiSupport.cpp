// Helpers of the offscreen Qt tests.
#include "tests/support/GuiSupport.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QTimer>

namespace quorlet3::test {

bool WaitCursorOn() {
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor != nullptr && cursor->shape() == Qt::WaitCursor;
}

void CloseNextModal(QString* caption) {
    QTimer::singleShot(0, [caption] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            *caption = modal->windowTitle();
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            }
        }
    });
}

}  // namespace quorlet3::test
