// The form view: the file-name box above the result box, and the handlers of the command table.
#pragma once

#include <QByteArray>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "logstore/Quorlet3Doc.h"
#include "reports/CommandTable.h"
#include "wholelog/PartReader.h"
#include "window/DateWindowDlg.h"
#include "window/FileErrorText.h"

class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QResizeEvent;
class QTextDocument;

namespace quorlet3 {

class CBackgroundRead;
class CLogWatcher;
class CWaitCursor;
// A report with its text and the result box's document, made on a worker thread.
struct PreparedReport;

// How a saved result is written: the report's own bytes (cp932, CR LF), or UTF-8 with
// LF as quorlet3-report prints it.
enum class TextEncoding { Cp932CrLf, Utf8 };

// The data formats the shown report can be written in.
enum class ExportFormat { Json, Csv };

class CQuorlet3View : public QWidget {
    Q_OBJECT
public:
    explicit CQuorlet3View(CQuorlet3Doc& doc, QWidget* parent = nullptr);
    ~CQuorlet3View() override;

    CQuorlet3Doc* GetDocument() const { return &m_doc; }

    // Runs a menu command's handler as its menu item does (see window/MenuTable.h). A
    // failure that passes out of the handler (a log that cannot be read) is reported in a
    // message box after the handler's wait cursor has ended. Every command is ignored
    // while a whole log is read.
    void OnCommand(const std::function<void()>& handler);

    // Handlers. A report item runs OnReport; the other four have their own.
    void OnReport(const CommandRow& row);
    void OnSpecifyFile();
    void OnViewContents(const CommandRow& row);
    void OnShare(const CommandRow& row);
    void OnPageDays(const CommandRow& row);

    // Chooses a log and reads all of it on a worker thread, with a progress dialog; the
    // reports then cover every line. A cancel or a failure keeps what was loaded before.
    void OnWholeLoad();
    // Reads a window of dates of the loaded log (with none loaded, the user chooses one
    // first): the user picks the dates between the log's first and last, and the window's
    // first 10000 lines are loaded, or all of it as OnWholeLoad reads a whole log. A log
    // without dates is refused with a message; a cancel keeps what was loaded before.
    void OnDateWindowLoad();
    // Loads the file as choosing it with OnSpecifyFile would: the result box is cleared
    // and the path shown, or the failure reported and the old log, path and report kept.
    // Dropped files and the recent-file list come here.
    void OnOpenFile(const std::string& path);
    void OnDropFile(const std::string& path) { OnOpenFile(path); }

    // Writes the shown report to a file the user names, in the encoding the user chooses:
    // the report's own bytes, or the box's text when the user edited it.
    void OnSaveResult();
    // Writes the HTML page of every report of what is loaded (whole log or first lines),
    // then offers to open it in the browser. A whole log's page is made as its reports are
    // (see ReportJob).
    void OnExportHtml();
    // Writes the shown report as JSON or CSV (of a whole log, made as its reports are).
    void OnExportReport(ExportFormat format);

    // Follows the loaded log while it grows: each burst of appended lines reloads it and
    // recomputes the shown report. Also applies to logs loaded later.
    void SetAutoReload(bool on);
    bool AutoReload() const { return m_autoReload; }
    // Reads the loaded log again (whole or first lines, as loaded) and recomputes the shown report.
    void ReloadLog();

    // A whole log read keeps its state in this folder (by default in the user's cache
    // folder), so that reading it whole again, or a reload, reads only what was appended.
    const std::string& KeptStatesFolder() const { return m_keptStates; }
    void SetKeptStatesFolder(std::string folder) { m_keptStates = std::move(folder); }
    // Removes the kept states: the next whole read of any log reads all of it.
    void OnForgetKeptStates();

    // True while the user waits for a whole log to be read (its progress dialog holds the
    // window); commands wait for it. A reload of a growing whole log reads quietly instead,
    // and the window works on the log as it was until the reload is over.
    // Also true while a report of a whole log is made (see ReportJob).
    bool Busy() const;
    CBackgroundRead* BackgroundRead() const { return m_background.get(); }
    // The report of a whole log being made on a worker thread, with the wait cursor and,
    // when it takes longer than half a second, a progress dialog whose cancel keeps the
    // report on show; null when none is made. A report recomputed after a quiet reload is
    // made quietly, without either.
    CBackgroundRead* ReportJob() const { return m_reportJob.get(); }
    CLogWatcher* Watcher() const { return m_watcher.get(); }

    // Lays the two boxes out over the client area.
    void OnSize();

    // The result box's report (cp932 bytes, CR LF) and the file-name box's text. Each
    // setter shows its text at once, also when it equals the last one (text typed into
    // the result box goes).
    void SetResult(std::string reportCp932);
    const std::string& Result() const { return m_strResult; }
    void SetFileName(const QString& text);
    const QString& FileName() const { return m_strFileName; }

    // The folder a save or an export starts in (file-system bytes): the folder of the last
    // file written, else the user's documents folder (the home folder when it has none).
    // The log's own folder may well be read-only, so it is never the start.
    std::string SaveFolder() const;
    void SetSaveFolder(const std::string& folder) { m_saveFolder = folder; }

    // The loaded log's path (file-system bytes), empty before the first load.
    const std::string& LoadedPath() const { return m_loadedPath; }
    // The window of dates loaded, or nothing when the log was read from its start.
    const std::optional<DateWindowChoice>& LoadedDateWindow() const { return m_dateWindow; }
    // What the date-window dialog opens on: the window loaded with its extent, else the
    // log's whole span, read whole when the whole log is loaded.
    DateWindowChoice DateWindowToOffer(const DateSpan& span) const;

    QPlainTextEdit* ResultBox() const { return m_resultBox; }
    QLineEdit* FileNameBox() const { return m_fileNameBox; }

    // Dialogs the handlers open, replaceable so that tests need no modal loop.
    // Shows the share pies for the counters (only called when the total is not 0).
    std::function<void(const ShareCounters&)> m_runShareDialog;
    // Asks for a window within the log's dates; nothing on cancel.
    std::function<std::optional<DateWindowChoice>(const DateSpan&)> m_chooseDateWindow;
    // Lets the user pick one of the pages; returns its index, or nothing on cancel.
    std::function<std::optional<int>(const PageNameList&)> m_choosePage;
    // Tells the user that a command failed.
    std::function<void(const QString&)> m_reportError;
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
    // The whole-log reader's settings: threads, part size, and a progress hook called on
    // the worker thread before each part (tests slow the reader down with it).
    PartReadOptions m_wholeReadOptions;
    // Called on the worker thread before a whole log's report is made (tests slow it down).
    std::function<void()> m_reportJobHook;

Q_SIGNALS:
    // The text the result box shows (the report decoded, see ReportToDisplay).
    void ResultChanged(const QString& shown);
    void FileNameChanged(const QString& text);
    // A log was loaded by the user (not by a reload): its path in file-system bytes.
    void LogLoaded(const QByteArray& path);
    // What is loaded, for the caption: "" for the first lines, else the whole log's line count.
    void LoadedLinesChanged(const QString& description);
    void AutoReloadChanged(bool on);
    // A save or an export was written into this folder (file-system bytes).
    void SaveFolderChanged(const QByteArray& folder);
    // A whole-log read ended (done, cancelled or failed) and its outcome is shown.
    void BackgroundReadFinished();
    // A report job (see ReportJob) ended: its report is shown, or it was cancelled or failed.
    void ReportJobFinished();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The report on show, so that a reload recomputes it and an export writes it.
    struct ShownReport {
        const CommandRow* row = nullptr;
        std::string page;  // the per-page report's page (cp932)
        std::shared_ptr<ReportResult> result;
    };

    // Runs a handler; a failure that passes out of it is reported after its wait cursor ended.
    void RunCommand(const std::function<void()>& handler);
    // Runs done after a read or job that finished well, and reports one that failed.
    void Deliver(const CBackgroundRead& finished, const std::function<void()>& done);
    // After a load by the user: empty result, the path shown, the caption and the watch
    // updated; window is the date window loaded, if any.
    void ShowLoadedFile(const std::string& path, long long sizeBefore,
                        const std::optional<DateWindowChoice>& window = std::nullopt);
    // A check over the first lines of a date window names file lines, as quorlet3-report's does.
    void CountFromFileStart(ReportResult& result) const;
    // Loads the first lines of the date window and notes where it starts.
    void LoadFirstLinesOfWindow(const std::string& path, const DateWindow& dates);
    void Show(const CommandRow& row, std::string page, ReportResult result);
    // Runs work on a worker thread (see ReportJob), then done on the GUI thread. A job
    // still running is dropped; a cancel keeps what the window shows.
    void StartJob(const QString& label, std::function<void(const std::atomic<bool>& cancel)> work,
                  std::function<void()> done, bool quiet = false);
    // Makes the result of compute, its text and the box's document on a worker thread
    // (see ReportJob), shows them, then runs after. A job still running is dropped.
    void StartReportJob(const CommandRow& row, std::string page, std::function<ReportResult()> compute,
                        std::function<void()> after = {}, bool quiet = false);
    // Makes a result's text and the box's document on a worker thread; what the box
    // needs from the GUI thread is taken now.
    std::function<PreparedReport(ReportResult, const std::atomic<bool>& cancel)> Preparer() const;
    // Lets the report job that runs go without waiting for it; its report is not shown.
    void DropReportJob();
    // Lets a running read or job go: it stops at its next step and deletes itself then.
    void LetGo(std::unique_ptr<CBackgroundRead> read);
    void ShowPrepared(const CommandRow& row, std::string page, PreparedReport& prepared);
    // Puts the text into the result box: a document made off the GUI thread when there is one.
    void ShowInBox(const QString& shown, std::unique_ptr<QTextDocument> document = nullptr);
    // The row's report over what is loaded: the whole log's when it was computed, else the store's.
    ReportResult Compute(const CommandRow& row, std::string_view page = {}) const;
    // Reads on the worker thread with the progress dialog; then runs done on the GUI thread.
    void StartBackground(const QString& label,
                         std::function<void(const PartReadOptions&, const std::atomic<bool>&)> work,
                         std::function<void()> done, bool quiet = false);
    // Stops a quiet reload that is still reading and forgets it: what the user asks for now wins.
    void DropQuietRead(bool reloadAfter);
    // Reads the whole log at path (its date window when dates are given); then runs with
    // the file's size before the read.
    void StartWholeLoad(const std::string& path, const DateWindow& dates, std::function<void(long long)> then,
                        bool quiet = false);
    void StartWholePageDays(const CommandRow& row, const std::string& page, bool quiet = false);
    void RecomputeShown();
    // What is loaded, for the caption (see LoadedLinesChanged).
    QString LoadedLines() const;
    void WatchLoadedFile(long long size);
    void OnWatchLost(const QString& reason);
    // Writes the bytes to the file, or reports why it could not; true when written.
    bool WriteOut(const std::string& path, std::string_view bytes);

    CQuorlet3Doc& m_doc;
    QLabel* m_label = nullptr;
    QPointer<QPlainTextEdit> m_resultBox;  // control 1000
    QPointer<QLineEdit> m_fileNameBox;     // control 1001
    std::string m_strResult;               // the last report, cp932 bytes as the document returned them
    QString m_strFileName;                 // the initial sentence, then the path of the loaded log
    std::string m_loadedPath;
    std::string m_saveFolder;  // of the last file written
    std::string m_keptStates;
    std::optional<DateWindowChoice> m_dateWindow;          // the date window loaded
    long long m_windowStartByte = 0;                       // where the first lines of the date window start
    mutable std::optional<long long> m_linesBeforeWindow;  // file lines before them, counted when a check needs them
    ShownReport m_shown;
    std::unique_ptr<CBackgroundRead> m_background;
    std::unique_ptr<CBackgroundRead> m_reportJob;
    std::unique_ptr<CWaitCursor> m_reportWait;  // while a report job the user waits for runs
    std::unique_ptr<CLogWatcher> m_watcher;
    bool m_autoReload = false;
    bool m_reloadWaiting = false;  // the log grew while a whole log was read
};

// Report text as the result box shows it: lines end at CR LF only; a CR on its own
// shows as the symbol U+240D so that it does not start a line.
QString ReportToDisplay(std::string_view reportCp932);

// The result box's text as a file's bytes in the encoding, undoing ReportToDisplay: lines
// end in CR LF for cp932 and LF for UTF-8, the lone-CR symbol is a CR again. A character
// cp932 lacks is written "?"; the first one, with its line number, is described in *lost
// (left empty when every character is written as shown).
std::string DisplayToBytes(const QString& shown, TextEncoding encoding, QString* lost = nullptr);

// The line that opens the listing of a whole log, which lists only its first lines (cp932,
// CR LF). what names what was read: the whole log, or a date window read whole.
std::string WholeLogListingNote(long long wholeLines, const QString& what = QStringLiteral("ログ全体"));

// The dates of a window as the caption shows them: "1998-07-01～1998-07-31".
QString DateWindowText(const DateWindowChoice& window);

}  // namespace quorlet3
