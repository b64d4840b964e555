// Saving and exporting what the window shows: the result box as a text file in the
// encoding the user chooses, the HTML page of every report, the shown report as JSON or
// CSV, and the folder they are written to.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "reports/CommandTable.h"

class QPlainTextEdit;
class QWidget;

namespace quorlet3 {

class CLogSession;

// How a saved result is written: the report's own bytes (cp932, CR LF), or UTF-8 with
// LF as quorlet3-report prints it.
enum class TextEncoding { Cp932CrLf, Utf8 };

// The data formats the shown report can be written in.
enum class ExportFormat { Json, Csv };

class CResultSaving : public QObject {
    Q_OBJECT
public:
    // The dialogs belong to the window that form is in, so they open centred over it.
    CResultSaving(CLogSession& session, QWidget* form);

    // Writes the shown report to a file the user names, in the encoding the user chooses:
    // the report's own bytes (reportCp932), or the box's text when the user edited it.
    void SaveResult(const std::string& reportCp932, const QPlainTextEdit* box);
    // Writes the HTML page of every report of what is loaded (whole log or first lines),
    // then offers to open it in the browser. A whole log's page is made as its reports are
    // (see CLogSession::ReportJob).
    void ExportHtml();
    // Writes the shown report (row and result; no row when none is shown) as JSON or CSV
    // (of a whole log, made as its reports are).
    void ExportReport(ExportFormat format, const CommandRow* row, std::shared_ptr<const ReportResult> result);

    // The folder a save or an export starts in (file-system bytes): the folder of the last
    // file written, else the user's documents folder (the home folder when it has none).
    // The log's own folder may well be read-only, so it is never the start.
    std::string SaveFolder() const;
    void SetSaveFolder(const std::string& folder) { m_saveFolder = folder; }

    // Dialogs, replaceable so that tests need no modal loop.
    // Asks where to write (caption, suggested file name): a path in file-system bytes,
    // or nothing on cancel.
    std::function<std::optional<std::string>(const QString&, const std::string&)> m_chooseSaveFile;
    // Asks which encoding a saved result takes; nothing on cancel.
    std::function<std::optional<TextEncoding>()> m_chooseEncoding;
    // Tells that the edited result holds characters the encoding cannot write (the text
    // names them) and asks whether to write them as "?"; false writes nothing.
    std::function<bool(const QString&)> m_askToWriteUnwritable;
    // Asks whether to open the written page in the browser, and opens it.
    std::function<bool()> m_askOpenInBrowser;
    std::function<void(const std::string&)> m_openInBrowser;

Q_SIGNALS:
    // A save or an export was written into this folder (file-system bytes).
    void SaveFolderChanged(const QByteArray& folder);

private:
    // Writes the bytes to the file, or reports why it could not; true when written.
    bool WriteOut(const std::string& path, std::string_view bytes);
    QWidget* Owner() const;

    CLogSession& m_session;
    QPointer<QWidget> m_form;
    std::string m_saveFolder;  // of the last file written
};

// Report text as the result box shows it: lines end at CR LF only; a CR on its own
// shows as the symbol U+240D so that it does not start a line.
QString ReportToDisplay(std::string_view reportCp932);

// The result box's text as a file's bytes in the encoding, undoing ReportToDisplay: lines
// end in CR LF for cp932 and LF for UTF-8, the lone-CR symbol is a CR again. A character
// cp932 lacks is written "?"; the first one, with its line number, is described in *lost
// (left empty when every character is written as shown).
std::string DisplayToBytes(const QString& shown, TextEncoding encoding, QString* lost = nullptr);

}  // namespace quorlet3
