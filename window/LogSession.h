// The window's session: the log that is loaded (its first lines or all of it, or a window
// of its dates), the reads and report jobs that run on worker threads, the watch that
// follows a growing log, and the folder of kept states. The form shows what it signals.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "logstore/Quorlet3Doc.h"
#include "reports/CommandTable.h"
#include "wholelog/PartReader.h"
#include "window/DateWindowDlg.h"

class QWidget;

namespace quorlet3 {

class CBackgroundRead;
class CLogWatcher;
class CWaitCursor;

class CLogSession : public QObject {
    Q_OBJECT
public:
    // The document holds the loaded lines and the whole log's reports. The progress
    // dialogs belong to the window that form is in, so they open centred over it.
    CLogSession(CQuorlet3Doc& doc, QWidget* form);
    ~CLogSession() override;
    CLogSession(const CLogSession&) = delete;
    CLogSession& operator=(const CLogSession&) = delete;

    CQuorlet3Doc& Doc() const { return m_doc; }

    // Asks for a log and loads its first lines. The size question and file errors pass
    // out to the caller (see Run).
    void SpecifyFile();
    // Loads the file's first lines as SpecifyFile would; a failure is reported and what
    // was loaded before is kept. Ignored while the user waits (see Busy).
    void OpenFile(const std::string& path);
    // Chooses a log and reads all of it on a worker thread, with a progress dialog; the
    // reports then cover every line. A cancel or a failure keeps what was loaded before.
    void WholeLoad();
    // Reads a window of dates of the loaded log (with none loaded, the user chooses one
    // first): choose picks the dates between the log's first and last, and the window's
    // first 10000 lines are loaded, or all of it as WholeLoad reads a whole log. A log
    // without dates is refused with a message; a cancel keeps what was loaded before.
    void DateWindowLoad(const std::function<std::optional<DateWindowChoice>(const DateSpan&)>& choose);
    // Reads the loaded log again (whole or first lines, as loaded); Reloaded follows.
    void ReloadLog();

    // Follows the loaded log while it grows: each burst of appended lines reloads it.
    // Also applies to logs loaded later.
    void SetAutoReload(bool on);
    bool AutoReload() const { return m_autoReload; }

    // A whole log read keeps its state in this folder (by default in the user's cache
    // folder), so that reading it whole again, or a reload, reads only what was appended.
    const std::string& KeptStatesFolder() const { return m_keptStates; }
    void SetKeptStatesFolder(std::string folder) { m_keptStates = std::move(folder); }
    // Removes the kept states: the next whole read of any log reads all of it.
    void ForgetKeptStates();

    // The loaded log's path (file-system bytes), empty before the first load.
    const std::string& LoadedPath() const { return m_loadedPath; }
    // The window of dates loaded, or nothing when the log was read from its start.
    const std::optional<DateWindowChoice>& LoadedDateWindow() const { return m_dateWindow; }
    // What the date-window dialog opens on: the window loaded with its extent, else the
    // log's whole span, read whole when the whole log is loaded.
    DateWindowChoice DateWindowToOffer(const DateSpan& span) const;
    // What is loaded, for the caption (see LoadedLinesChanged).
    QString LoadedLines() const;

    // The row's report over what is loaded: the whole log's when it was computed, else the store's.
    ReportResult Compute(const CommandRow& row, std::string_view page = {}) const;
    // A check over the first lines of a date window names file lines, as quorlet3-report's does.
    void CountFromFileStart(ReportResult& result) const;

    // True while the user waits for a whole log to be read (its progress dialog holds the
    // window); commands wait for it. A reload of a growing whole log reads quietly instead,
    // and the window works on the log as it was until the reload is over.
    // Also true while a report of a whole log is made (see ReportJob).
    bool Busy() const;
    CBackgroundRead* BackgroundRead() const { return m_background.get(); }
    // The job making a report of a whole log on a worker thread, with the wait cursor and,
    // when it takes longer than half a second, a progress dialog whose cancel keeps the
    // report on show; null when none is made. A report recomputed after a quiet reload is
    // made quietly, without either.
    CBackgroundRead* ReportJob() const { return m_reportJob.get(); }
    CLogWatcher* Watcher() const { return m_watcher.get(); }

    // Runs a handler; a failure that passes out of it (a log that cannot be read) is
    // signalled as Failed once the handler's wait cursor has ended.
    void Run(const std::function<void()>& handler);
    void ReportFailure(const QString& text) { Q_EMIT Failed(text); }
    // Runs work on a worker thread (see ReportJob), then done on the GUI thread. A job
    // still running is dropped; a cancel keeps what the window shows.
    void StartJob(const QString& label, std::function<void(const std::atomic<bool>& cancel)> work,
                  std::function<void()> done, bool quiet = false);
    // Reads on the worker thread with the progress dialog; then runs done on the GUI thread.
    void StartBackground(const QString& label,
                         std::function<void(const PartReadOptions&, const std::atomic<bool>&)> work,
                         std::function<void()> done, bool quiet = false);

    // The whole-log reader's settings: threads, part size, and a progress hook called on
    // the worker thread before each part (tests slow the reader down with it).
    PartReadOptions m_wholeReadOptions;
    // Called on the worker thread before a whole log's report is made (tests slow it down).
    std::function<void()> m_reportJobHook;

Q_SIGNALS:
    // A log was loaded by the user (not by a reload): its path in file-system bytes.
    void LogLoaded(const QByteArray& path);
    // What is loaded, for the caption: "" for the first lines, else the whole log's line count.
    void LoadedLinesChanged(const QString& description);
    // The loaded log was read again; what is shown is to be recomputed.
    void Reloaded();
    void AutoReloadChanged(bool on);
    // A whole-log read ended (done, cancelled or failed) and its outcome is shown.
    void BackgroundReadFinished();
    // A report job (see ReportJob) ended: its report is shown, or it was cancelled or failed.
    void ReportJobFinished();
    // A command failed; the text says why in one or two sentences.
    void Failed(const QString& text);

private:
    // Runs done after a read or job that finished well, and reports one that failed.
    void Deliver(const CBackgroundRead& finished, const std::function<void()>& done);
    // After a load by the user: the path and date window noted, the caption and the watch
    // updated; window is the date window loaded, if any.
    void ShowLoadedFile(const std::string& path, long long sizeBefore,
                        const std::optional<DateWindowChoice>& window = std::nullopt);
    // Loads the first lines of the date window and notes where it starts.
    void LoadFirstLinesOfWindow(const std::string& path, const DateWindow& dates);
    // Lets the report job that runs go without waiting for it; its report is not shown.
    void DropReportJob();
    // Lets a running read or job go: it stops at its next step and deletes itself then.
    void LetGo(std::unique_ptr<CBackgroundRead> read);
    // Stops a quiet reload that is still reading and forgets it: what the user asks for now wins.
    void DropQuietRead(bool reloadAfter);
    // Reads the whole log at path (its date window when dates are given); then runs with
    // the file's size before the read.
    void StartWholeLoad(const std::string& path, const DateWindow& dates, std::function<void(long long)> then,
                        bool quiet = false);
    void WatchLoadedFile(long long size);
    void OnWatchLost(const QString& reason);
    QWidget* Owner() const;

    CQuorlet3Doc& m_doc;
    QPointer<QWidget> m_form;
    std::string m_loadedPath;
    std::string m_keptStates;
    std::optional<DateWindowChoice> m_dateWindow;          // the date window loaded
    long long m_windowStartByte = 0;                       // where the first lines of the date window start
    mutable std::optional<long long> m_linesBeforeWindow;  // file lines before them, counted when a check needs them
    std::unique_ptr<CBackgroundRead> m_background;
    std::unique_ptr<CBackgroundRead> m_reportJob;
    std::unique_ptr<CWaitCursor> m_reportWait;  // while a report job the user waits for runs
    std::unique_ptr<CLogWatcher> m_watcher;
    bool m_autoReload = false;
    bool m_reloadWaiting = false;  // the log grew while a whole log was read
};

// The dates of a window as the caption shows them: "1998-07-01～1998-07-31".
QString DateWindowText(const DateWindowChoice& window);

}  // namespace quorlet3
