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
    // Sets the caption, the 9-point dialog font and the fixed size (in dialog units); a
    // dialog frame has no context-help button. The owner (parent) is the window the
    // dialog opens centred over; the icon is the application's.
    CModalDialog(QWidget* owner, const QString& caption, int widthUnits, int heightUnits);

    // Runs the dialog modally and returns its result (QDialog::Accepted or Rejected).
    int DoModal();
};

// Runs an event handler's body; an exception from it is caught here and written to the
// error output, since nothing in Qt's event loop may see it.
void RunHandler(const char* handler, const std::function<void()>& body);

}  // namespace quorlet3
