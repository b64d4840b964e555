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
#include "window/DateWindowDlg.h"
#include "window/LogSession.h"
#include "window/ResultSaving.h"

class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QTextDocument;

namespace quorlet3 {

// A report with its text and the result box's document, made on a worker thread.
struct PreparedReport;

class CQuorlet3View : public QWidget {
    Q_OBJECT
public:
    explicit CQuorlet3View(CQuorlet3Doc& doc, QWidget* parent = nullptr);
    ~CQuorlet3View() override;

    CQuorlet3Doc* GetDocument() const { return &m_session->Doc(); }
    // What is loaded, the reads and jobs that run, and the watch.
    CLogSession& Session() const { return *m_session; }
    // Saving and exporting what is shown.
    CResultSaving& Saving() const { return *m_saving; }

    // Runs a menu command's handler as its menu item does (see window/MenuTable.h). A
    // failure that passes out of the handler (a log that cannot be read) is reported in a
    // message box after the handler's wait cursor has ended. Every command is ignored
    // while a whole log is read.
    void OnCommand(const std::function<void()>& handler);

    // Handlers. A report item runs OnReport; the other four have their own.
    void OnReport(const CommandRow& row);
    void OnSpecifyFile() { m_session->SpecifyFile(); }
    void OnViewContents(const CommandRow& row);
    void OnShare(const CommandRow& row);
    void OnPageDays(const CommandRow& row);

    // Loads as the session does (see CLogSession): a whole log, a window of its dates
    // (chosen with m_chooseDateWindow), or the file dropped or picked from the recent list.
    void OnWholeLoad() { m_session->WholeLoad(); }
    void OnDateWindowLoad() { m_session->DateWindowLoad(m_chooseDateWindow); }
    void OnOpenFile(const std::string& path) { m_session->OpenFile(path); }
    void OnDropFile(const std::string& path) { OnOpenFile(path); }

    // Saves the result box and exports the shown report (see CResultSaving).
    void OnSaveResult();
    void OnExportHtml();
    void OnExportReport(ExportFormat format);

    // Follows the loaded log while it grows: each burst of appended lines reloads it and
    // recomputes the shown report. Also applies to logs loaded later.
    void SetAutoReload(bool on) { m_session->SetAutoReload(on); }
    bool AutoReload() const { return m_session->AutoReload(); }
    // Reads the loaded log again (whole or first lines, as loaded) and recomputes the shown report.
    void ReloadLog() { m_session->ReloadLog(); }
    // Removes the kept states: the next whole read of any log reads all of it.
    void OnForgetKeptStates() { m_session->ForgetKeptStates(); }

    // True while a whole log is read or its report made with the user waiting (see
    // CLogSession::Busy); commands wait for it.
    bool Busy() const { return m_session->Busy(); }

    // The result box's report (cp932 bytes, CR LF) and the file-name box's text. Each
    // setter shows its text at once, also when it equals the last one (text typed into
    // the result box goes).
    void SetResult(std::string reportCp932);
    const std::string& Result() const { return m_strResult; }
    void SetFileName(const QString& text);
    const QString& FileName() const { return m_strFileName; }

    // Where saves and exports start (see CResultSaving::SaveFolder).
    std::string SaveFolder() const;
    void SetSaveFolder(const std::string& folder);

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

Q_SIGNALS:
    // The text the result box shows (the report decoded, see ReportToDisplay).
    void ResultChanged(const QString& shown);
    void FileNameChanged(const QString& text);
    // The session's signals, passed on for the frame and the application.
    void LogLoaded(const QByteArray& path);
    void LoadedLinesChanged(const QString& description);
    void AutoReloadChanged(bool on);
    void SaveFolderChanged(const QByteArray& folder);
    void BackgroundReadFinished();
    void ReportJobFinished();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The report on show, so that a reload recomputes it and an export writes it.
    struct ShownReport {
        const CommandRow* row = nullptr;
        std::string page;  // the per-page report's page (cp932)
        std::shared_ptr<ReportResult> result;
    };

    CQuorlet3Doc& Doc() const { return m_session->Doc(); }
    // The label, the file-name box and the result box, laid out.
    void MakeBoxes();
    void Show(const CommandRow& row, std::string page, ReportResult result);
    // Makes the result of compute, its text and the box's document on a worker thread
    // (see CLogSession::ReportJob), shows them, then runs after. A job still running is dropped.
    void StartReportJob(const CommandRow& row, std::string page, std::function<ReportResult()> compute,
                        std::function<void()> after = {}, bool quiet = false);
    // Makes a result's text and the box's document on a worker thread; what the box
    // needs from the GUI thread is taken now.
    std::function<PreparedReport(ReportResult, const std::atomic<bool>& cancel)> Preparer() const;
    void ShowPrepared(const CommandRow& row, std::string page, PreparedReport& prepared);
    // Puts the text into the result box: a document made off the GUI thread when there is one.
    void ShowInBox(const QString& shown, std::unique_ptr<QTextDocument> document = nullptr);
    void StartWholePageDays(const CommandRow& row, const std::string& page, bool quiet = false);
    void RecomputeShown();

    std::unique_ptr<CLogSession> m_session;
    std::unique_ptr<CResultSaving> m_saving;
    QLabel* m_label = nullptr;
    QPointer<QPlainTextEdit> m_resultBox;  // control 1000
    QPointer<QLineEdit> m_fileNameBox;     // control 1001
    std::string m_strResult;               // the last report, cp932 bytes as the document returned them
    QString m_strFileName;                 // the initial sentence, then the path of the loaded log
    ShownReport m_shown;
};

// The line that opens the listing of a whole log, which lists only its first lines (cp932,
// CR LF). what names what was read: the whole log, or a date window read whole.
std::string WholeLogListingNote(long long wholeLines, const QString& what = QStringLiteral("ログ全体"));

}  // namespace quorlet3
