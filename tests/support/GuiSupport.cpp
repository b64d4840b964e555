// Helpers of the offscreen Qt tests.
#include "tests/support/GuiSupport.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QTimer>
#include <stdexcept>

namespace quorlet3::test {

namespace {

const MenuRow& MenuRowOf(int menuId) {
    const MenuRow* row = FindMenuRow(menuId);
    if (row == nullptr) {
        throw std::invalid_argument("no menu command " + std::to_string(menuId));
    }
    return *row;
}

}  // namespace

const CommandRow& CommandOf(int menuId) {
    const CommandRow* report = ReportOfItem(MenuRowOf(menuId));
    if (report == nullptr) {
        throw std::invalid_argument("the menu command " + std::to_string(menuId) + " runs no report");
    }
    return *report;
}

std::string ReportOf(const CQuorlet3Doc& doc, int menuId, std::string_view page) {
    return ReportText(CommandOf(menuId), doc.Store(), page);
}

void RunMenuCommand(CQuorlet3View& view, int menuId) { RunMenuRow(MenuRowOf(menuId), view); }

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
