// The shared dialog frame and the guard of event handlers.
#include "platform/QtDialogFrame.h"

#include <QApplication>
#include <QMainWindow>
#include <exception>

#include "app/Quorlet3Icon.h"
#include "platform/DialogUnits.h"
#include "platform/QtText.h"

namespace quorlet3 {

CModalDialog::CModalDialog(QWidget* parent, const QString& caption, int widthUnits, int heightUnits) : QDialog(parent) {
    setWindowTitle(caption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowIcon(Quorlet3Icon());
    setFont(DialogFont());
    setFixedSize(DialogSize(widthUnits, heightUnits));
    setModal(true);
}

int CModalDialog::DoModal() {
    if (parentWidget() == nullptr) {
        if (QWidget* owner = DefaultOwner(); owner != nullptr && owner != this) {
            // setParent resets the window flags; keep the dialog's own.
            setParent(owner, windowFlags());
        }
    }
    return exec();
}

QWidget* DefaultOwner() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(widget) != nullptr && widget->isVisible()) {
            return widget;
        }
    }
    return nullptr;
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
