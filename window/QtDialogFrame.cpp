// The shared dialog frame and the guard of event handlers.
#include "window/QtDialogFrame.h"

#include <QApplication>
#include <exception>

#include "window/DialogUnits.h"
#include "window/QtText.h"

namespace quorlet3 {

CModalDialog::CModalDialog(QWidget* owner, const QString& caption, int widthUnits, int heightUnits) : QDialog(owner) {
    setWindowTitle(caption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // The application's icon, which the start-up sets for every window.
    setWindowIcon(QApplication::windowIcon());
    setFont(DialogFont());
    setFixedSize(DialogSize(widthUnits, heightUnits));
    setModal(true);
}

int CModalDialog::DoModal() { return exec(); }

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
