// The shared dialog frame and the guard of event handlers.
#include "window/QtDialogFrame.h"

#include <QApplication>
#include <QDialog>
#include <exception>

#include "window/QtText.h"

namespace quorlet3 {

void SetUpDialogFrame(QDialog& dialog, const QString& caption) {
    dialog.setWindowTitle(caption);
    dialog.setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    dialog.setWindowIcon(QApplication::windowIcon());
    dialog.setFont(DialogFont());
    dialog.setModal(true);
}

void RunHandler(const char* handler, const std::function<void()>& body) {
    try {
        body();
    } catch (const std::exception& error) {
        qCritical("quorlet3: %s failed: %s", handler, error.what());
    } catch (...) {
        qCritical("quorlet3: %s failed", handler);
    }
}

}  // namespace quorlet3
