// The wait cursor as an override on the application's cursor stack.
#include "window/QtWaitCursor.h"

#include <QApplication>
#include <QCursor>

namespace quorlet3 {

CWaitCursor::CWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

CWaitCursor::~CWaitCursor() { QApplication::restoreOverrideCursor(); }

CDialogCursor::CDialogCursor() {
    const QCursor* current = QApplication::overrideCursor();
    if (current != nullptr && current->shape() == Qt::WaitCursor) {
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        m_pushed = true;
    }
}

CDialogCursor::~CDialogCursor() {
    if (m_pushed) {
        QApplication::restoreOverrideCursor();
    }
}

}  // namespace quorlet3
