// The form view: shows the chosen file and the last report, and runs the command table.
#include "window/Quorlet3View.h"

#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QStandardPaths>
#include <QTextDocument>
#include <QThread>
#include <QUrl>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <filesystem>

#include "encoding/Cp932.h"
#include "logstore/Contents.h"
#include "logstore/DateWindow.h"
#include "logstore/FileCheck.h"
#include "logstore/LogLoader.h"
#include "logstore/ReadingRules.h"
#include "output/CsvOutput.h"
#include "output/HtmlOutput.h"
#include "output/JsonOutput.h"
#include "reports/WholeLogReports.h"
#include "share/ShareDrawing.h"
#include "wholelog/KeptState.h"
#include "window/BackgroundRead.h"
#include "window/DialogUnits.h"
#include "window/LogWatcher.h"
#include "window/PageDayDlg.h"
#include "window/QtDialogFrame.h"
#include "window/QtDialogs.h"
#include "window/QtLogFileDialog.h"
#include "window/QtText.h"
#include "window/QtWaitCursor.h"
#include "window/ShareDlg.h"

namespace quorlet3 {
namespace {

// A tab stop every 32 horizontal dialog units, as in a plain edit control: wide enough
// for the counts and short labels that open the rows of every report.
constexpr int kTabStopUnits = 32;

// A CR that does not end a line shows as this symbol, so that one record stays one line.
constexpr char16_t kLoneCrSymbol = u'\u240D';

// Shown instead of the picker when the log holds no page record; cp932 like every report.
std::string NoPageDataText() { return EncodeUtf8ToCp932("ページデータがありません。").value(); }

void RunShareDialog(QWidget* owner, const ShareCounters& counters) {
    CShareDlg dlg(owner);
    dlg.SetShare(counters);
    CDialogCursor arrow;
    dlg.exec();
}

std::optional<int> ChoosePage(QWidget* owner, const PageNameList& pages) {
    CPageDayDlg dlg(owner);
    dlg.SetPages(pages);
    CDialogCursor arrow;
    return dlg.exec() == QDialog::Accepted ? dlg.ChosenPage() : std::nullopt;
}

// The one local file a drag carries, as the file system spells it, or nothing when it
// carries several, none, or something else. Percent-escapes are undone byte by byte, so
// a name that is not UTF-8 arrives intact.
std::optional<std::string> DraggedFile(const QMimeData* mime) {
    if (mime == nullptr || !mime->hasUrls() || mime->urls().size() != 1) {
        return std::nullopt;
    }
    const QUrl url = mime->urls().front();
    if (!url.isLocalFile()) {
        return std::nullopt;
    }
    const QByteArray path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    std::error_code ignored;
    if (path.isEmpty() || std::filesystem::is_directory(path.toStdString(), ignored)) {
        return std::nullopt;
    }
    return path.toStdString();
}

// Asks for the file to write with the log dialog, which spells folders in the file
// system's own bytes, so cp932 folder and file names work as when opening a log.
std::optional<std::string> ChooseSaveFile(QWidget* owner, const QString& caption, const std::string& folder,
                                          const std::string& suggested) {
    std::unique_ptr<CLogFileDialog> dialog = MakeLogFileDialog(owner);
    dialog->setWindowTitle(caption);
    dialog->SelectNameFilter(1);  // every file: the output is no log
    dialog->OpenButton()->setText(QStringLiteral("保存(&S)"));
    dialog->SetFolder(folder);
    dialog->NameBox()->setText(QString::fromStdString(suggested));
    CDialogCursor arrow;
    if (dialog->exec() != QDialog::Accepted || !dialog->SelectedFile()) {
        return std::nullopt;
    }
    const std::string path = *dialog->SelectedFile();
    std::error_code ignored;
    if (std::filesystem::exists(path, ignored)) {
        const auto answer = QMessageBox::question(
            owner, AppTitle(), QStringLiteral("%1 は既にあります。\n上書きしますか？").arg(PathToQString(path)),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes) {
            return std::nullopt;
        }
    }
    return path;
}

std::optional<TextEncoding> ChooseEncoding(QWidget* owner) {
    QMessageBox box(QMessageBox::Question, AppTitle(), QStringLiteral("結果をどの文字コードで保存しますか？"),
                    QMessageBox::Cancel, owner);
    QPushButton* cp932 = box.addButton(QStringLiteral("Shift_JIS (CR LF)"), QMessageBox::AcceptRole);
    QPushButton* utf8 = box.addButton(QStringLiteral("UTF-8 (LF)"), QMessageBox::AcceptRole);
    box.setDefaultButton(cp932);
    CDialogCursor arrow;
    box.exec();
    if (box.clickedButton() == cp932) {
        return TextEncoding::Cp932CrLf;
    }
    if (box.clickedButton() == utf8) {
        return TextEncoding::Utf8;
    }
    return std::nullopt;
}

// A local file as a URL, its path percent-encoded byte by byte, so that a name that is
// not UTF-8 reaches the browser intact.
QUrl LocalFileUrl(const std::string& path) {
    return QUrl::fromEncoded(QByteArrayLiteral("file://") +
                             QByteArray::fromStdString(path).toPercentEncoding(QByteArrayLiteral("/")));
}

// The folder part of a path in bytes ("." for a bare name).
std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return QFile::encodeName(QDir::currentPath()).toStdString();
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// One sentence for a file that could not be written.
QString WriteFailureText(const std::string& path, int error) {
    QString cause;
    switch (error) {
        case EACCES:
        case EPERM:
        case EROFS:
            cause = QStringLiteral("書き込む権限がありません。");
            break;
        case ENOENT:
        case ENOTDIR:
            cause = QStringLiteral("フォルダーが見つかりません。");
            break;
        case ENOSPC:
        case EDQUOT:
            cause = QStringLiteral("ディスクに空きがありません。");
            break;
        case EISDIR:
            cause = QStringLiteral("同じ名前のフォルダーがあります。");
            break;
        default:
            cause = QStringLiteral("書き込みの途中でエラーが起きました。");
            break;
    }
    return QStringLiteral("ファイル %1 に書き込めませんでした。\n%2").arg(PathToQString(path), cause);
}

// The page-names row: the page picker's list, computed with every other report.
const CommandRow& PageNamesRow() { return *FindCliCommand("page-names", {}); }

// A report of a whole log that takes longer than this shows the progress dialog.
constexpr int kReportDialogAfterMilliseconds = 500;

}  // namespace

struct PreparedReport {
    ReportResult result;
    std::string text;  // cp932, CR LF
    QString shown;     // as the result box shows it
    // Laid out by the box only where it is seen; filling a document with a long report is
    // what would hold the window, so it is filled on the worker and moved to the GUI thread.
    std::unique_ptr<QTextDocument> document;
};

std::string WholeLogListingNote(long long wholeLines, const QString& what) {
    return EncodeUtf8ToCp932(QStringLiteral("（%1 %2 行のうち、最初の %3 行の内容です。）\r\n")
                                 .arg(what)
                                 .arg(wholeLines)
                                 .arg(kLineSlots)
                                 .toStdString())
        .value();
}

QString DateWindowText(const DateWindowChoice& window) {
    return QStringLiteral("%1～%2").arg(QString::fromStdString(IsoDate(window.since)),
                                        QString::fromStdString(IsoDate(window.until)));
}

QString ReportToDisplay(std::string_view reportCp932) {
    QString text = Cp932ToQString(reportCp932);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QChar(kLoneCrSymbol));
    return text;
}

std::string DisplayToBytes(const QString& shown, TextEncoding encoding, QString* lost) {
    if (lost != nullptr) {
        lost->clear();
    }
    QString text = shown;
    text.replace(QChar(kLoneCrSymbol), QLatin1Char('\r'));
    if (encoding == TextEncoding::Utf8) {
        return text.toStdString();
    }
    std::string bytes;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        if (n > 0) {
            bytes += "\r\n";
        }
        const QString& line = lines[n];
        if (const std::optional<std::string> whole = EncodeUtf8ToCp932(line.toStdString())) {
            bytes += *whole;
            continue;
        }
        // Character by character, only for the line that holds one cp932 lacks.
        for (qsizetype c = 0; c < line.size();) {
            const qsizetype length = line[c].isHighSurrogate() && c + 1 < line.size() ? 2 : 1;
            const QString character = line.mid(c, length);
            if (const std::optional<std::string> one = EncodeUtf8ToCp932(character.toStdString())) {
                bytes += *one;
            } else {
                if (lost != nullptr && lost->isEmpty()) {
                    const QString code = QString::number(character.toUcs4().value(0), 16).toUpper();
                    *lost = QStringLiteral("%1 行目の「%2」U+%3")
                                .arg(n + 1)
                                .arg(character, code.rightJustified(4, QLatin1Char('0')));
                }
                bytes += '?';
            }
            c += length;
        }
    }
    return bytes;
}

CQuorlet3View::CQuorlet3View(CQuorlet3Doc& doc, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_watcher(std::make_unique<CLogWatcher>()) {
    setFont(DialogFont());
    resize(DialogSize(207, 137));
    if (const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation); !cache.isEmpty()) {
        m_keptStates = QFile::encodeName(QDir(cache).filePath(QStringLiteral("whole-log-states"))).toStdString();
    }

    setAcceptDrops(true);

    m_resultBox = new QPlainTextEdit(this);
    m_resultBox->setAcceptDrops(false);  // a dropped file goes to the form, which loads it
    m_resultBox->setGeometry(DialogRect(5, 25, 190, 100));
    m_resultBox->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_resultBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_resultBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_resultBox->setTabStopDistance(DialogX(kTabStopUnits));
    m_resultBox->setFont(ReportFont());  // the lone-CR symbol needs a font that draws it
    // Reached with Tab as with a click, and left with Tab: the keyboard selects and copies
    // the report (Ctrl+A, Ctrl+C, Shift with the arrows) without the mouse.
    m_resultBox->setFocusPolicy(Qt::StrongFocus);
    m_resultBox->setTabChangesFocus(true);

    m_fileNameBox = new QLineEdit(this);
    m_fileNameBox->setAcceptDrops(false);
    m_fileNameBox->setGeometry(DialogRect(80, 5, 115, 15));
    m_fileNameBox->setReadOnly(true);
    m_fileNameBox->setFrame(false);
    m_fileNameBox->setFocusPolicy(Qt::StrongFocus);  // its path can be selected and copied too
    // Read-only boxes sit on the form's own background, like the label beside them.
    QPalette palette = m_fileNameBox->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    m_fileNameBox->setPalette(palette);

    m_label = new QLabel(QStringLiteral("対象ファイル："), this);
    m_label->setGeometry(DialogRect(5, 5, 50, 15));
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);  // level with the file name beside it
    setTabOrder(m_fileNameBox, m_resultBox);
    setFocusProxy(m_resultBox);  // the window opens with the report in the keyboard's hands

    // The file-name box shows whatever its setter announces; the result box is filled by ShowInBox.
    connect(this, &CQuorlet3View::FileNameChanged, m_fileNameBox, [box = m_fileNameBox](const QString& text) {
        box->setText(text);
        box->setCursorPosition(0);
    });
    connect(m_watcher.get(), &CLogWatcher::Grew, this, &CQuorlet3View::ReloadLog);
    connect(m_watcher.get(), &CLogWatcher::Lost, this, &CQuorlet3View::OnWatchLost);

    // The dialogs belong to the window the view is in, so they open centred over it.
    m_runShareDialog = [this](const ShareCounters& counters) { RunShareDialog(window(), counters); };
    m_choosePage = [this](const PageNameList& pages) { return ChoosePage(window(), pages); };
    m_chooseDateWindow = [this](const DateSpan& span) {
        return ChooseDateWindow(window(), span, DateWindowToOffer(span));
    };
    m_reportError = [this](const QString& text) { ShowWarning(window(), text); };
    m_chooseSaveFile = [this](const QString& caption, const std::string& suggested) {
        return ChooseSaveFile(window(), caption, SaveFolder(), suggested);
    };
    m_chooseEncoding = [this] { return ChooseEncoding(window()); };
    m_askOpenInBrowser = [this] {
        return QMessageBox::question(window(), AppTitle(),
                                     QStringLiteral("HTMLレポートを書き出しました。\nブラウザで開きますか？"),
                                     QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
    };
    m_openInBrowser = [](const std::string& path) { QDesktopServices::openUrl(LocalFileUrl(path)); };
    m_askToWriteUnwritable = [this](const QString& text) {
        return QMessageBox::question(window(), AppTitle(), text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
               QMessageBox::Yes;
    };

    // The form's first texts: the initial sentence and an empty result box.
    SetFileName(QStringLiteral("まず、対象ファイルを指定してください。"));
    SetResult(std::string());
}

CQuorlet3View::~CQuorlet3View() = default;

void CQuorlet3View::SetResult(std::string reportCp932) {
    m_strResult = std::move(reportCp932);
    ShowInBox(ReportToDisplay(m_strResult));
}

void CQuorlet3View::ShowInBox(const QString& shown, std::unique_ptr<QTextDocument> document) {
    if (m_resultBox != nullptr) {
        // The box deletes its first document itself when it is replaced; those made here
        // have the box as parent and go when the next one takes their place.
        QTextDocument* old = m_resultBox->document();
        const bool oldIsMade = old->parent() == m_resultBox;
        if (document != nullptr) {
            document->setParent(m_resultBox);
            m_resultBox->setDocument(document.release());
        } else if (oldIsMade) {
            // A document made on a worker holds the last report: the box gets its own back.
            auto* own = new QTextDocument(m_resultBox);
            own->setDocumentLayout(new QPlainTextDocumentLayout(own));
            own->setDefaultFont(old->defaultFont());
            own->setDefaultTextOption(old->defaultTextOption());
            own->setDocumentMargin(old->documentMargin());
            own->setPlainText(shown);
            m_resultBox->setDocument(own);
        } else {
            m_resultBox->setPlainText(shown);
        }
        if (oldIsMade && old != m_resultBox->document()) {
            old->deleteLater();
        }
        // What the box shows is a new report until the user changes it.
        m_resultBox->document()->setModified(false);
    }
    Q_EMIT ResultChanged(shown);
}

void CQuorlet3View::SetFileName(const QString& text) {
    m_strFileName = text;
    Q_EMIT FileNameChanged(m_strFileName);
}

void CQuorlet3View::OnCommand(const CommandRow& row) {
    if (Busy()) {
        return;  // the progress dialog holds the window until the read ends
    }
    RunCommand([this, &row] {
        switch (row.kind) {
            case CommandKind::Report:
                OnReport(row);
                break;
            case CommandKind::SpecifyFile:
                OnSpecifyFile();
                break;
            case CommandKind::ViewContents:
                OnViewContents(row);
                break;
            case CommandKind::Share:
                OnShare(row);
                break;
            case CommandKind::PageDays:
                OnPageDays(row);
                break;
            case CommandKind::Separator:
            case CommandKind::Exit:
            case CommandKind::About:
                break;  // the frame's and the application's
        }
    });
}

void CQuorlet3View::RunCommand(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const LogFileError& error) {
        m_reportError(FileErrorText(error));
    } catch (const std::exception& error) {
        m_reportError(QStringLiteral("コマンドを実行できませんでした。\n%1").arg(QString::fromLocal8Bit(error.what())));
    } catch (...) {
        m_reportError(QStringLiteral("コマンドを実行できませんでした。"));
    }
}

ReportResult CQuorlet3View::Compute(const CommandRow& row, std::string_view page) const {
    if (const WholeLogReports* whole = m_doc.WholeLog().get()) {
        if (const ReportResult* result = whole->Find(row)) {
            return *result;
        }
    }
    ReportResult result = RunRow(row, m_doc.Store(), page);
    CountFromFileStart(result);
    return result;
}

void CQuorlet3View::CountFromFileStart(ReportResult& result) const {
    auto* check = std::get_if<FileCheckResult>(&result);
    if (check == nullptr || !m_dateWindow || m_doc.WholeLog()) {
        return;  // a whole window's check was counted so as it was read
    }
    if (!m_linesBeforeWindow) {
        m_linesBeforeWindow = CountLinesBefore(m_loadedPath, m_windowStartByte);
    }
    ShiftLineNumbers(*check, *m_linesBeforeWindow);
}

void CQuorlet3View::Show(const CommandRow& row, std::string page, ReportResult result) {
    std::string text = FormatText(result);
    if (row.kind == CommandKind::ViewContents && m_doc.WholeLog()) {
        text.insert(0, m_dateWindow
                           ? WholeLogListingNote(m_doc.WholeLog()->lines,
                                                 QStringLiteral("期間 %1 全体").arg(DateWindowText(*m_dateWindow)))
                           : WholeLogListingNote(m_doc.WholeLog()->lines));
    }
    m_shown = {&row, std::move(page), std::make_shared<ReportResult>(std::move(result))};
    SetResult(std::move(text));
}

void CQuorlet3View::OnReport(const CommandRow& row) {
    if (row.start == nullptr) {
        return;
    }
    if (std::shared_ptr<const WholeLogReports> whole = m_doc.WholeLog(); whole && whole->Find(row) != nullptr) {
        StartReportJob(row, {}, [whole, &row] { return *whole->Find(row); });
        return;
    }
    CWaitCursor wait;
    Show(row, {}, Compute(row));
}

std::function<PreparedReport(ReportResult, const std::atomic<bool>&)> CQuorlet3View::Preparer() const {
    const QTextDocument* box = m_resultBox->document();
    return [font = box->defaultFont(), option = box->defaultTextOption(), margin = box->documentMargin(),
            gui = thread()](ReportResult result, const std::atomic<bool>& cancel) {
        // A cancelled report stops between its steps; none of them can stop midway.
        const auto stopIfCancelled = [&cancel] {
            if (cancel) {
                throw WholeLogCancelled();
            }
        };
        PreparedReport prepared{std::move(result), {}, {}, std::make_unique<QTextDocument>()};
        stopIfCancelled();
        prepared.text = FormatText(prepared.result);
        stopIfCancelled();
        prepared.shown = ReportToDisplay(prepared.text);
        stopIfCancelled();
        QTextDocument& document = *prepared.document;
        document.setDocumentLayout(new QPlainTextDocumentLayout(&document));
        document.setDefaultFont(font);
        document.setDefaultTextOption(option);
        document.setDocumentMargin(margin);
        document.setPlainText(prepared.shown);
        document.moveToThread(gui);
        return prepared;
    };
}

void CQuorlet3View::ShowPrepared(const CommandRow& row, std::string page, PreparedReport& prepared) {
    m_shown = {&row, std::move(page), std::make_shared<ReportResult>(std::move(prepared.result))};
    m_strResult = std::move(prepared.text);
    ShowInBox(prepared.shown, std::move(prepared.document));
}

void CQuorlet3View::LetGo(std::unique_ptr<CBackgroundRead> read) {
    // Told to stop, it goes once it has; the window does not wait for it.
    CBackgroundRead* old = read.release();
    old->disconnect(this);
    old->setParent(this);  // a window that closes first still stops and waits for it
    old->Cancel();
    connect(old, &CBackgroundRead::Finished, old, &QObject::deleteLater);
}

void CQuorlet3View::DropReportJob() {
    if (m_reportJob == nullptr) {
        return;
    }
    LetGo(std::move(m_reportJob));
    m_reportWait.reset();
}

void CQuorlet3View::Deliver(const CBackgroundRead& finished, const std::function<void()>& done) {
    switch (finished.Result()) {
        case CBackgroundRead::Outcome::Done:
            RunCommand(done);
            break;
        case CBackgroundRead::Outcome::Failed:
            RunCommand([&finished] { std::rethrow_exception(finished.Error()); });
            break;
        case CBackgroundRead::Outcome::Cancelled:
        case CBackgroundRead::Outcome::Running:
            break;
    }
}

void CQuorlet3View::StartJob(const QString& label, std::function<void(const std::atomic<bool>&)> work,
                             std::function<void()> done, bool quiet) {
    DropReportJob();          // what the user asks for now wins
    PartReadOptions options;  // the job reads nothing: no parts and no progress
    m_reportJob = std::make_unique<CBackgroundRead>(
        window(), label, options,
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

void CQuorlet3View::StartReportJob(const CommandRow& row, std::string page, std::function<ReportResult()> compute,
                                   std::function<void()> after, bool quiet) {
    auto prepared = std::make_shared<std::optional<PreparedReport>>();
    StartJob(
        QStringLiteral("レポートを作っています。"),
        [compute = std::move(compute), prepare = Preparer(), prepared](const std::atomic<bool>& cancel) {
            prepared->emplace(prepare(compute(), cancel));
        },
        [this, &row, page = std::move(page), after = std::move(after), prepared]() mutable {
            ShowPrepared(row, std::move(page), **prepared);
            if (after) {
                after();
            }
        },
        quiet);
}

QString CQuorlet3View::LoadedLines() const {
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

DateWindowChoice CQuorlet3View::DateWindowToOffer(const DateSpan& span) const {
    if (m_dateWindow) {
        return *m_dateWindow;
    }
    return {span.first, span.last, m_doc.WholeLog() != nullptr};
}

bool CQuorlet3View::Busy() const {
    return (m_background != nullptr && !m_background->Quiet()) || (m_reportJob != nullptr && !m_reportJob->Quiet());
}

void CQuorlet3View::DropQuietRead(bool reloadAfter) {
    if (m_background == nullptr) {
        return;
    }
    LetGo(std::move(m_background));
    m_reloadWaiting = m_reloadWaiting || reloadAfter;
}

void CQuorlet3View::OnSpecifyFile() {
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

void CQuorlet3View::OnOpenFile(const std::string& path) {
    if (Busy()) {
        return;
    }
    RunCommand([this, &path] {
        CWaitCursor wait;
        DropQuietRead(false);
        const long long size = FileSizeOf(path);
        m_doc.LoadLogFile(path);
        ShowLoadedFile(path, size);
    });
}

void CQuorlet3View::ShowLoadedFile(const std::string& path, long long sizeBefore,
                                   const std::optional<DateWindowChoice>& window) {
    m_loadedPath = path;
    m_dateWindow = window;
    m_shown = {};
    SetResult(std::string());
    SetFileName(PathToMarkedQString(path));
    Q_EMIT LoadedLinesChanged(LoadedLines());
    Q_EMIT LogLoaded(QByteArray::fromStdString(path));
    WatchLoadedFile(sizeBefore);
}

void CQuorlet3View::OnViewContents(const CommandRow& row) {
    CWaitCursor wait;
    if (!AskToListLongLog(m_doc.QuestionBox(), WalkLength(m_doc.Store()))) {
        return;  // the size question was declined: both boxes stay as they are
    }
    // A whole log is listed from its first lines: its listing alone would be as large as the log.
    Show(row, {}, RunRow(row, m_doc.Store()));
}

void CQuorlet3View::OnShare(const CommandRow& row) {
    // The text is in the box before the pies open.
    const auto openPies = [this] {
        const ShareCounters counters = std::get<ShareResult>(*m_shown.result).counters;
        if (counters[kShareTotal] != 0) {
            m_runShareDialog(counters);
        }
    };
    if (std::shared_ptr<const WholeLogReports> whole = m_doc.WholeLog(); whole && whole->Find(row) != nullptr) {
        StartReportJob(
            row, {}, [whole, &row] { return *whole->Find(row); }, openPies);
        return;
    }
    CWaitCursor wait;
    Show(row, {}, Compute(row));
    openPies();
}

void CQuorlet3View::OnPageDays(const CommandRow& row) {
    CWaitCursor wait;
    PageNameList pages;
    FillPageNameList(std::get<PageNamesResult>(Compute(PageNamesRow())), pages);
    if (pages[0].empty()) {
        m_shown = {};
        SetResult(NoPageDataText());
        return;
    }
    const std::optional<int> chosen = m_choosePage(pages);
    if (!chosen || *chosen < 0 || *chosen >= kPageNameSlots) {
        return;  // cancelled, or no page chosen: the box keeps its text
    }
    const std::string& page = pages[static_cast<size_t>(*chosen)];
    if (m_doc.WholeLog()) {
        StartWholePageDays(row, page);  // its days are counted over the whole log again
        return;
    }
    Show(row, page, RunRow(row, m_doc.Store(), page));
}

void CQuorlet3View::StartBackground(const QString& label,
                                    std::function<void(const PartReadOptions&, const std::atomic<bool>&)> work,
                                    std::function<void()> done, bool quiet) {
    DropQuietRead(true);
    m_background = std::make_unique<CBackgroundRead>(window(), label, m_wholeReadOptions, std::move(work), quiet);
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

void CQuorlet3View::OnWholeLoad() {
    if (Busy()) {
        return;
    }
    RunCommand([this] {
        const std::optional<std::string> path = m_doc.ChooseLogFile();
        if (!path) {
            return;
        }
        DropQuietRead(false);
        StartWholeLoad(*path, {}, [this, path = *path](long long sizeBefore) { ShowLoadedFile(path, sizeBefore); });
    });
}

void CQuorlet3View::OnForgetKeptStates() {
    if (!m_keptStates.empty()) {
        ForgetKeptStates(m_keptStates);
    }
}

void CQuorlet3View::OnDateWindowLoad() {
    if (Busy()) {
        return;
    }
    RunCommand([this] {
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
            m_reportError(
                QStringLiteral("ファイル %1 には日付の読める行がありません。\n期間を指定して読み込むことはできません。")
                    .arg(PathToQString(path)));
            return;
        }
        const std::optional<DateWindowChoice> choice = m_chooseDateWindow(*span);
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

void CQuorlet3View::LoadFirstLinesOfWindow(const std::string& path, const DateWindow& dates) {
    m_windowStartByte = m_doc.LoadLogWindow(path, LineWindow::Dated(dates)).startByte;
    m_linesBeforeWindow.reset();
}

void CQuorlet3View::StartWholeLoad(const std::string& path, const DateWindow& dates,
                                   std::function<void(long long)> then, bool quiet) {
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

void CQuorlet3View::StartWholePageDays(const CommandRow& row, const std::string& page, bool quiet) {
    auto days = std::make_shared<std::optional<PreparedReport>>();
    StartBackground(
        QStringLiteral("ページ別アクセス日をログ全体で数えています。"),
        [path = m_doc.WholeLog()->path, dates = m_dateWindow ? m_dateWindow->Dates() : DateWindow{}, rowPointer = &row,
         page, days, prepare = Preparer()](const PartReadOptions& options, const std::atomic<bool>& cancel) {
            const CommandRow* const one[] = {rowPointer};
            PartReadOptions inWindow = options;
            inWindow.dates = dates;
            days->emplace(prepare(
                std::move(RunRowsOverWholeLog(path, one, page, inWindow, &cancel).results.front().result), cancel));
        },
        [this, &row, page, days] { ShowPrepared(row, page, **days); }, quiet);
}

void CQuorlet3View::RecomputeShown() {
    if (m_shown.row == nullptr) {
        return;  // nothing shown since the load: the box stays empty
    }
    const CommandRow& row = *m_shown.row;
    if (row.kind == CommandKind::PageDays && m_doc.WholeLog()) {
        StartWholePageDays(row, m_shown.page, true);  // after a reload, quietly as the reload itself
        return;
    }
    if (std::shared_ptr<const WholeLogReports> whole = m_doc.WholeLog(); whole && whole->Find(row) != nullptr) {
        StartReportJob(
            row, m_shown.page, [whole, &row] { return *whole->Find(row); }, {}, true);
        return;
    }
    // The listing is not asked about again: the user agreed to it, and it is the same file.
    Show(row, m_shown.page,
         row.kind == CommandKind::ViewContents || row.kind == CommandKind::PageDays
             ? RunRow(row, m_doc.Store(), m_shown.page)
             : Compute(row));
}

void CQuorlet3View::ReloadLog() {
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
                RecomputeShown();
            },
            true);
        return;
    }
    RunCommand([this] {
        CWaitCursor wait;
        if (m_dateWindow) {
            LoadFirstLinesOfWindow(m_loadedPath, m_dateWindow->Dates());
            Q_EMIT LoadedLinesChanged(LoadedLines());
        } else {
            m_doc.LoadLogFile(m_loadedPath);
        }
        RecomputeShown();
    });
}

void CQuorlet3View::SetAutoReload(bool on) {
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

void CQuorlet3View::WatchLoadedFile(long long size) {
    if (!m_autoReload || m_loadedPath.empty()) {
        m_watcher->Stop();
        return;
    }
    m_watcher->Watch(m_loadedPath, size);
}

void CQuorlet3View::OnWatchLost(const QString& reason) {
    m_autoReload = false;
    Q_EMIT AutoReloadChanged(false);
    m_reportError(reason);
}

std::string CQuorlet3View::SaveFolder() const {
    if (!m_saveFolder.empty()) {
        return m_saveFolder;
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFile::encodeName(!documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath())
        .toStdString();
}

bool CQuorlet3View::WriteOut(const std::string& path, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        m_reportError(WriteFailureText(path, errno));
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int writeError = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        m_reportError(WriteFailureText(path, written ? errno : writeError));
        return false;
    }
    m_saveFolder = FolderOf(path);
    Q_EMIT SaveFolderChanged(QByteArray::fromStdString(m_saveFolder));
    return true;
}

void CQuorlet3View::OnSaveResult() {
    if (Busy()) {
        return;
    }
    const std::optional<TextEncoding> encoding = m_chooseEncoding();
    if (!encoding) {
        return;
    }
    // What the box shows is saved: the report's own bytes unless the user edited it.
    std::string bytes;
    if (m_resultBox == nullptr || !m_resultBox->document()->isModified()) {
        bytes = *encoding == TextEncoding::Cp932CrLf ? m_strResult : CrLfToLf(DecodeCp932ToUtf8(m_strResult));
    } else {
        QString lost;
        bytes = DisplayToBytes(m_resultBox->toPlainText(), *encoding, &lost);
        if (!lost.isEmpty() && !m_askToWriteUnwritable(
                                   QStringLiteral("編集した結果には Shift_JIS で書けない文字があります（最初は %1）。\n"
                                                  "そのまま保存すると、その文字は「?」になります。保存しますか？\n"
                                                  "（UTF-8 を選べば、そのとおりに保存できます。）")
                                       .arg(lost))) {
            return;
        }
    }
    const std::optional<std::string> path = m_chooseSaveFile(QStringLiteral("結果を保存"), "result.txt");
    if (!path) {
        return;
    }
    WriteOut(*path, bytes);
}

void CQuorlet3View::OnExportHtml() {
    if (Busy()) {
        return;
    }
    RunCommand([this] {
        const std::optional<std::string> path =
            m_chooseSaveFile(QStringLiteral("HTMLレポートを書き出す"), "report.html");
        if (!path) {
            return;
        }
        const auto writeAndOffer = [this, path = *path](const std::string& page) {
            if (WriteOut(path, page) && m_askOpenInBrowser()) {
                m_openInBrowser(path);
            }
        };
        if (std::shared_ptr<const WholeLogReports> whole = m_doc.WholeLog()) {
            // Every report of a whole log on one page: made off the window's thread.
            auto page = std::make_shared<std::string>();
            StartJob(
                QStringLiteral("HTMLレポートを作っています。"),
                [whole, page, log = m_loadedPath](const std::atomic<bool>&) {
                    *page = FormatHtmlReport(log, whole->lines, whole->results);
                },
                [page, writeAndOffer] { writeAndOffer(*page); });
            return;
        }
        std::string page;
        {
            CWaitCursor wait;
            std::vector<RowResult> results = RunRows(AllReportRows(), m_doc.Store());
            for (RowResult& r : results) {
                CountFromFileStart(r.result);
            }
            page = FormatHtmlReport(m_loadedPath, WalkLength(m_doc.Store()), results);
        }
        writeAndOffer(page);
    });
}

void CQuorlet3View::OnExportReport(ExportFormat format) {
    if (Busy()) {
        return;
    }
    if (m_shown.row == nullptr || m_shown.row->cliName == nullptr) {
        m_reportError(QStringLiteral("書き出すレポートがありません。先にレポートを表示してください。"));
        return;
    }
    const CommandRow& row = *m_shown.row;
    std::string name = row.cliName;
    if (row.cliArgument != nullptr && !TakesPage(row)) {
        name += std::string("-") + row.cliArgument;
    }
    const bool json = format == ExportFormat::Json;
    const std::optional<std::string> path = m_chooseSaveFile(
        json ? QStringLiteral("JSONで書き出す") : QStringLiteral("CSVで書き出す"), name + (json ? ".json" : ".csv"));
    if (!path) {
        return;
    }
    const auto bytesOf = [&row, json, result = m_shown.result] {
        return json ? FormatJson(row, *result) + "\n" : FormatCsv(row, *result);
    };
    if (m_doc.WholeLog()) {
        // A table of a whole log can be long: written out off the window's thread.
        auto bytes = std::make_shared<std::string>();
        StartJob(
            json ? QStringLiteral("JSONを作っています。") : QStringLiteral("CSVを作っています。"),
            [bytes, bytesOf](const std::atomic<bool>&) { *bytes = bytesOf(); },
            [this, bytes, path = *path] { WriteOut(path, *bytes); });
        return;
    }
    RunCommand([&] { WriteOut(*path, bytesOf()); });
}

void CQuorlet3View::OnSize() {
    const QRect client = rect();
    const int w = client.width();
    const int h = client.height();
    update();
    if (m_resultBox != nullptr) {
        QWidget* result = m_resultBox;
        result->setGeometry(0, 50, w, std::max(0, h - 50));
        result->update();
    }
    if (m_fileNameBox != nullptr) {
        QWidget* fileName = m_fileNameBox;
        fileName->setGeometry(120, 10, std::max(0, w - 130), 30);
        fileName->update();
    }
}

void CQuorlet3View::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    RunHandler("the form's layout", [this] { OnSize(); });
}

void CQuorlet3View::dragEnterEvent(QDragEnterEvent* event) {
    if (DraggedFile(event->mimeData())) {
        event->acceptProposedAction();
    }
}

void CQuorlet3View::dropEvent(QDropEvent* event) {
    const std::optional<std::string> path = DraggedFile(event->mimeData());
    if (!path) {
        return;  // several files, a folder or no file: nothing changes
    }
    event->acceptProposedAction();
    OnDropFile(*path);
}

}  // namespace quorlet3
