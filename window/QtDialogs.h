// The Qt dialogs the document asks through (log file chooser, OK/Cancel question) and
// the window's message box.
#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "logstore/Dialogs.h"

class QMessageBox;
class QWidget;

namespace quorlet3 {

class CLogFileDialog;

// The application title: the caption of every message box.
QString AppTitle();

// The open-file dialog for a log: "*.log" first and selected, then all files (names
// without an extension included). A typed
// name of a file that does not exist is accepted; loading it then reports the error.
std::unique_ptr<CLogFileDialog> MakeLogFileDialog(QWidget* parent);

// The sample log that comes with the program, found relative to the program's folder
// (the same layout in the build tree and in an installed prefix), or empty.
QString BundledSampleLog(const QString& programFolder);
QString BundledSampleLog();

// Chooses the log with MakeLogFileDialog, modal to the parent. The first choice of a
// run starts on the bundled sample log, each later one in the folder of the file last
// chosen (also when its full path was typed).
class CQtFileChooser : public IFileChooser {
public:
    explicit CQtFileChooser(QWidget* parent = nullptr) : m_parent(parent) {}
    void SetParent(QWidget* parent) { m_parent = parent; }
    // The chosen path in the file system's own bytes, or nothing on cancel.
    std::optional<std::string> ChooseLogFile() override;
    // A log was loaded, by this dialog or otherwise (the command line, a drop, the recent
    // files): the next choice opens in its folder with it selected.
    void ShowLoaded(const std::string& path);

private:
    QWidget* m_parent;
    std::string m_lastFolder;  // file-system bytes
    std::string m_lastFile;    // the file to select in it, empty for none
};

// An OK/Cancel question box: the cp932 text decoded, the icon and default button as asked.
// Closing it or Escape counts as Cancel. A question without an icon of its own shows
// the warning sign, as the message boxes of the window always do.
std::unique_ptr<QMessageBox> MakeQuestionBox(QWidget* parent, std::string_view textCp932, QuestionIcon icon,
                                             DefaultButton defaultButton);

// Asks with MakeQuestionBox, modal to the parent.
class CQtQuestionBox : public IQuestionBox {
public:
    explicit CQtQuestionBox(QWidget* parent = nullptr) : m_parent(parent) {}
    void SetParent(QWidget* parent) { m_parent = parent; }
    bool AskOkCancel(std::string_view textCp932, QuestionIcon icon, DefaultButton defaultButton) override;

private:
    QWidget* m_parent;
};

// Shows a message with the warning sign and an OK button, modal to the parent.
void ShowWarning(QWidget* parent, const QString& text);

}  // namespace quorlet3
