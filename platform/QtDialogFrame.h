// The frame every dialog of the window shares: caption, dialog font, the program's icon, a
// fixed size, and a modal run centred over the main window.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>

namespace quorlet3 {

class CModalDialog : public QDialog {
    Q_OBJECT
public:
    // Sets the caption, the 9-point dialog font, the program's icon and the fixed size
    // (in dialog units); a dialog frame has no context-help button.
    CModalDialog(QWidget* parent, const QString& caption, int widthUnits, int heightUnits);

    // Runs the dialog modally and returns its result (QDialog::Accepted or Rejected). A
    // dialog built without parent is owned by the main window while it runs, so it opens
    // centred over that window wherever it was moved.
    int DoModal();
};

// The window that owns dialogs built without parent: the visible main window, or null.
QWidget* DefaultOwner();

// Runs an event handler's body; an exception from it is caught here and written to the
// error output, since nothing in Qt's event loop may see it.
void RunHandler(const char* handler, const std::function<void()>& body);

}  // namespace quorlet3
