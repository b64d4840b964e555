// The frame every dialog of the window shares (caption, dialog font, the program's icon,
// modal over its owner) and the guard of event handlers.
#pragma once

#include <QString>
#include <functional>

class QDialog;

namespace quorlet3 {

// Gives the dialog the frame of the window's dialogs: the caption, the 9-point dialog
// font, the application's icon (which the start-up sets for every window) and no
// context-help button. The dialog is modal: exec() or open() shows it centred over its
// parent.
void SetUpDialogFrame(QDialog& dialog, const QString& caption);

// Runs an event handler's body; an exception from it is caught here and written to the
// error output, since nothing in Qt's event loop may see it.
void RunHandler(const char* handler, const std::function<void()>& body);

}  // namespace quorlet3
