// The window's session: loads, whole reads, date windows, reloads and the watch, and the
// worker-thread jobs that make reports of a whole log.
#include "window/LogSession.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QStandardPaths>
#include <QWidget>

#include "logstore/DateWindow.h"
#include "logstore/FileCheck.h"
#include "logstore/LogLoader.h"
#include "logstore/ReadingRules.h"
#include "reports/WholeLogReports.h"
#include "wholelog/KeptState.h"
#include "window/BackgroundRead.h"
#include "window/FileErrorText.h"
#include "window/LogWatcher.h"
#include "window/QtText.h"
#include "window/QtWaitCursor.h"

namespace quorlet3 {
namespace {

// A report of a whole log that takes longer than this shows the progress dialog.
constexpr int kReportDialogAfterMilliseconds = 500;

}  // namespace

QString DateWindowText(const DateWindowChoice& window) {
    return QStringLiteral("%1～%2").arg(QString::fromStdString(IsoDate(window.since)),
                                        QString::fromStdString(IsoDate(window.until)));
}

CLogSession::CLogSession(CQuorlet3Doc& doc, QWidget* form)
    : m_doc(doc), m_form(form), m_watcher(std::make_unique<CLogWatcher>()) {
    if (const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation); !cache.isEmpty()) {
        m_keptStates = QFile::encodeName(QDir(cache).filePath(QStringLiteral("whole-log-states"))).toStdString();
    }
    connect(m_watcher.get(), &CLogWatcher::Grew, this, &CLogSession::ReloadLog);
    connect(m_watcher.get(), &CLogWatcher::Lost, this, &CLogSession::OnWatchLost);
}

CLogSession::~CLogSession() = default;

QWidget* CLogSession::Owner() const { return m_form != nullptr ? m_form->window() : nullptr; }

void CLogSession::Run(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const LogFileError& error) {
        ReportFailure(FileErrorText(error));
    } catch (const std::exception& error) {
        ReportFailure(QStringLiteral("コマンドを実行できませんでした。\n%1").arg(QString::fromLocal8Bit(error.what())));
    } catch (...) {
        ReportFailure(QStringLiteral("コマンドを実行できませんでした。"));
    }
}

ReportResult CLogSession::Compute(const CommandRow& row, std::string_view page) const {
    if (const WholeLogReports* whole = m_doc.WholeLog().get()) {
        if (const ReportResult* result = whole->Find(row)) {
            return *result;
        }
    }
    ReportResult result = RunRow(row, m_doc.Store(), page);
    CountFromFileStart(result);
    return result;
}

void CLogSession::CountFromFileStart(ReportResult& result) const {
    auto* check = std::get_if<FileCheckResult>(&result);
    if (check == nullptr || !m_dateWindow || m_doc.WholeLog()) {
        return;  // a whole window's check was counted so as it was read
    }
    if (!m_linesBeforeWindow) {
        m_linesBeforeWindow = CountLinesBefore(m_loadedPath, m_windowStartByte);
    }
    ShiftLineNumbers(*check, *m_linesBeforeWindow);
}

void CLogSession::LetGo(std::unique_ptr<CBackgroundRead> read) {
    // Told to stop, it goes once it has; the window does not wait for it.
    CBackgroundRead* old = read.release();
    old->disconnect(this);
    old->setParent(this);  // a window that closes first still stops and waits for it
    old->Cancel();
    connect(old, &CBackgroundRead::Finished, old, &QObject::deleteLater);
}

void CLogSession::DropReportJob() {
    if (m_reportJob == nullptr) {
        return;
    }
    LetGo(std::move(m_reportJob));
    m_reportWait.reset();
}

void CLogSession::Deliver(const CBackgroundRead& finished, const std::function<void()>& done) {
    switch (finished.Result()) {
        case CBackgroundRead::Outcome::Done:
            Run(done);
            break;
        case CBackgroundRead::Outcome::Failed:
            Run([&finished] { std::rethrow_exception(finished.Error()); });
            break;
        case CBackgroundRead::Outcome::Cancelled:
        case CBackgroundRead::Outcome::Running:
            break;
    }
}

void CLogSession::StartJob(const QString& label, std::function<void(const std::atomic<bool>&)> work,
                           std::function<void()> done, bool quiet) {
    DropReportJob();          // what the user asks for now wins
    PartReadOptions options;  // the job reads nothing: no parts and no progress
    m_reportJob = std::make_unique<CBackgroundRead>(
        Owner(), label, options,
        [work = std::move(work), hook = m_reportJobHook](const PartReadOptions&, const std::atomic<bool>& cancel) {
            if (hook) {
                hook();
            }
            work(cancel);
        },
        quiet);
    m_reportJob->SetBusyOnly(QStringLiteral("レポートの作成"), kReportDialogAfterMilliseconds);
    if (!quiet) {
        m_reportWait = std::make_unique<CWaitCursor>();
    }
    // A cancel gives the window back at once, what it shows kept.
    connect(m_reportJob.get(), &CBackgroundRead::CancelAsked, this, [this] {
        DropReportJob();
        Q_EMIT ReportJobFinished();
    });
    connect(m_reportJob.get(), &CBackgroundRead::Finished, this, [this, done = std::move(done)] {
        std::unique_ptr<CBackgroundRead> finished = std::move(m_reportJob);
        m_reportWait.reset();               // the wait ends before a dialog that follows
        Deliver(*finished, done);           // a cancel keeps the report on show
        finished.release()->deleteLater();  // it is still delivering this signal
        Q_EMIT ReportJobFinished();
    });
    m_reportJob->Start();
}

QString CLogSession::LoadedLines() const {
    const WholeLogReports* whole = m_doc.WholeLog().get();
    if (m_dateWindow) {
        const QString dates = DateWindowText(*m_dateWindow);
        if ((whole != nullptr ? whole->lines : WalkLength(m_doc.Store())) == 0) {
            // Every report of it counts 0: the caption says why.
            return QStringLiteral("期間 %1 に記録はありません").arg(dates);
        }
        if (whole != nullptr) {
            return QStringLiteral("期間 %1 全体 %2 行").arg(dates, QLocale().toString(whole->lines));
        }
        const int lines = WalkLength(m_doc.Store());
        // A full store holds the window's first lines only; a shorter one holds all of it.
        return lines < kLineSlots ? QStringLiteral("期間 %1 %2 行").arg(dates, QLocale().toString(lines))
                                  : QStringLiteral("期間 %1 最初の %2 行").arg(dates, QLocale().toString(lines));
    }
    return whole == nullptr ? QString() : QStringLiteral("ログ全体 %1 行").arg(QLocale().toString(whole->lines));
}

DateWindowChoice CLogSession::DateWindowToOffer(const DateSpan& span) const {
    if (m_dateWindow) {
        return *m_dateWindow;
    }
    return {span.first, span.last, m_doc.WholeLog() != nullptr};
}

bool CLogSession::Busy() const {
    return (m_background != nullptr && !m_background->Quiet()) || (m_reportJob != nullptr && !m_reportJob->Quiet());
}

void CLogSession::DropQuietRead(bool reloadAfter) {
    if (m_background == nullptr) {
        return;
    }
    LetGo(std::move(m_background));
    m_reloadWaiting = m_reloadWaiting || reloadAfter;
}

void CLogSession::SpecifyFile() {
    CWaitCursor wait;
    DropQuietRead(false);
    const std::optional<std::string> path = m_doc.ChooseLogFile();
    if (!path) {
        return;
    }
    // The size before the read: lines appended meanwhile count as growth for the watch.
    const long long size = FileSizeOf(*path);
    m_doc.LoadLogFile(*path);
    ShowLoadedFile(*path, size);
}

void CLogSession::OpenFile(const std::string& path) {
    if (Busy()) {
        return;
    }
    Run([this, &path] {
        CWaitCursor wait;
        DropQuietRead(false);
        const long long size = FileSizeOf(path);
        m_doc.LoadLogFile(path);
        ShowLoadedFile(path, size);
    });
}

void CLogSession::ShowLoadedFile(const std::string& path, long long sizeBefore,
                                 const std::optional<DateWindowChoice>& window) {
    m_loadedPath = path;
    m_dateWindow = window;
    Q_EMIT LogLoaded(QByteArray::fromStdString(path));
    Q_EMIT LoadedLinesChanged(LoadedLines());
    WatchLoadedFile(sizeBefore);
}

void CLogSession::StartBackground(const QString& label,
                                  std::function<void(const PartReadOptions&, const std::atomic<bool>&)> work,
                                  std::function<void()> done, bool quiet) {
    DropQuietRead(true);
    m_background = std::make_unique<CBackgroundRead>(Owner(), label, m_wholeReadOptions, std::move(work), quiet);
    connect(m_background.get(), &CBackgroundRead::Finished, this, [this, done = std::move(done)] {
        // The read is over: take it away first, so that what follows may start another.
        std::unique_ptr<CBackgroundRead> finished = std::move(m_background);
        Deliver(*finished, done);           // a cancel changes nothing
        finished.release()->deleteLater();  // it is still delivering this signal
        Q_EMIT BackgroundReadFinished();
        if (m_reloadWaiting && m_background == nullptr) {
            m_reloadWaiting = false;
            ReloadLog();
        }
    });
    m_background->Start();
}

void CLogSession::WholeLoad() {
    if (Busy()) {
        return;
    }
    Run([this] {
        const std::optional<std::string> path = m_doc.ChooseLogFile();
        if (!path) {
            return;
        }
        DropQuietRead(false);
        StartWholeLoad(*path, {}, [this, path = *path](long long sizeBefore) { ShowLoadedFile(path, sizeBefore); });
    });
}

void CLogSession::ForgetKeptStates() {
    if (!m_keptStates.empty()) {
        quorlet3::ForgetKeptStates(m_keptStates);
    }
}

void CLogSession::DateWindowLoad(const std::function<std::optional<DateWindowChoice>(const DateSpan&)>& choose) {
    if (Busy()) {
        return;
    }
    Run([this, &choose] {
        // The window is one of the log on show; before the first load the user names one.
        std::string path = m_loadedPath;
        if (path.empty()) {
            const std::optional<std::string> chosen = m_doc.ChooseLogFile();
            if (!chosen) {
                return;
            }
            path = *chosen;
        }
        std::optional<DateSpan> span;
        {
            CWaitCursor wait;
            span = FindLogDateSpan(path);
        }
        if (!span) {
            ReportFailure(
                QStringLiteral("ファイル %1 には日付の読める行がありません。\n期間を指定して読み込むことはできません。")
                    .arg(PathToQString(path)));
            return;
        }
        const std::optional<DateWindowChoice> choice = choose(*span);
        if (!choice) {
            return;
        }
        DropQuietRead(false);
        if (choice->whole) {
            StartWholeLoad(path, choice->Dates(), [this, path, window = *choice](long long sizeBefore) {
                ShowLoadedFile(path, sizeBefore, window);
            });
            return;
        }
        CWaitCursor wait;
        const long long size = FileSizeOf(path);
        LoadFirstLinesOfWindow(path, choice->Dates());
        ShowLoadedFile(path, size, *choice);
    });
}

void CLogSession::LoadFirstLinesOfWindow(const std::string& path, const DateWindow& dates) {
    m_windowStartByte = m_doc.LoadLogWindow(path, LineWindow::Dated(dates)).startByte;
    m_linesBeforeWindow.reset();
}

void CLogSession::StartWholeLoad(const std::string& path, const DateWindow& dates, std::function<void(long long)> then,
                                 bool quiet) {
    struct Made {
        long long sizeBefore = -1;  // lines appended during the read count as growth for the watch
        std::unique_ptr<LineStore> firstLines;
        std::shared_ptr<const WholeLogReports> reports;
    };
    auto made = std::make_shared<Made>();
    StartBackground(
        QStringLiteral("%1 を読み込んでいます。").arg(PathToQString(path)),
        [path, dates, made, states = m_keptStates](const PartReadOptions& options, const std::atomic<bool>& cancel) {
            made->sizeBefore = FileSizeOf(path);
            made->firstLines =
                dates.IsOpen() ? LoadLineStore(path) : LoadLineStore(path, LineWindow::Dated(dates)).store;
            PartReadOptions inWindow = options;
            inWindow.dates = dates;
            made->reports = RunWholeLogReports(path, inWindow, &cancel, states);
            for (const std::string& note : made->reports->notes) {
                qInfo("%s", note.c_str());  // a full read instead of a kept state's: nothing the user must do
            }
        },
        [this, made, then = std::move(then)] {
            m_doc.AdoptWholeLog(std::move(made->firstLines), std::move(made->reports));
            then(made->sizeBefore);
        },
        quiet);
}

void CLogSession::ReloadLog() {
    if (m_loadedPath.empty()) {
        return;
    }
    if (m_background != nullptr) {
        m_reloadWaiting = true;  // after the read that runs now
        return;
    }
    if (m_doc.WholeLog()) {
        StartWholeLoad(
            m_loadedPath, m_dateWindow ? m_dateWindow->Dates() : DateWindow{},
            [this](long long) {
                Q_EMIT LoadedLinesChanged(LoadedLines());
                Q_EMIT Reloaded();
            },
            true);
        return;
    }
    Run([this] {
        CWaitCursor wait;
        if (m_dateWindow) {
            LoadFirstLinesOfWindow(m_loadedPath, m_dateWindow->Dates());
            Q_EMIT LoadedLinesChanged(LoadedLines());
        } else {
            m_doc.LoadLogFile(m_loadedPath);
        }
        Q_EMIT Reloaded();
    });
}

void CLogSession::SetAutoReload(bool on) {
    if (on == m_autoReload) {
        return;
    }
    m_autoReload = on;
    if (on) {
        WatchLoadedFile(FileSizeOf(m_loadedPath));
    } else {
        m_watcher->Stop();
    }
    Q_EMIT AutoReloadChanged(on);
}

void CLogSession::WatchLoadedFile(long long size) {
    if (!m_autoReload || m_loadedPath.empty()) {
        m_watcher->Stop();
        return;
    }
    // A whole log kept in a state is reloaded by reading what was appended alone: its
    // watch need not wait for a long quiet time. Other reloads read the log again.
    const bool appendsToKeptState =
        m_doc.WholeLog() != nullptr && !m_keptStates.empty() && (!m_dateWindow || m_dateWindow->Dates().IsOpen());
    m_watcher->Watch(m_loadedPath, size, appendsToKeptState);
}

void CLogSession::OnWatchLost(const QString& reason) {
    m_autoReload = false;
    Q_EMIT AutoReloadChanged(false);
    ReportFailure(reason);
}

}  // namespace quorlet3
