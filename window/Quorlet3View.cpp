// The form view: shows the chosen file and the last report, and runs the command table.
#include "window/Quorlet3View.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QThread>
#include <QUrl>
#include <QVBoxLayout>
#include <filesystem>

#include "encoding/Cp932.h"
#include "logstore/Contents.h"
#include "logstore/ReadingRules.h"
#include "reports/WholeLogReports.h"
#include "share/ShareDrawing.h"
#include "window/BackgroundRead.h"
#include "window/DialogUnits.h"
#include "window/PageDayDlg.h"
#include "window/QtDialogFrame.h"
#include "window/QtDialogs.h"
#include "window/QtText.h"
#include "window/QtWaitCursor.h"
#include "window/ShareDlg.h"

namespace quorlet3 {
namespace {

// A tab stop every 32 horizontal dialog units, as in a plain edit control: wide enough
// for the counts and short labels that open the rows of every report.
constexpr int kTabStopUnits = 32;

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

// The page-names row: the page picker's list, computed with every other report.
const CommandRow& PageNamesRow() { return *FindCliCommand("page-names", {}); }

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

CQuorlet3View::CQuorlet3View(CQuorlet3Doc& doc, QWidget* parent)
    : QWidget(parent),
      m_session(std::make_unique<CLogSession>(doc, this)),
      m_saving(std::make_unique<CResultSaving>(*m_session, this)) {
    setFont(DialogFont());
    resize(DialogSize(207, 137));
    setAcceptDrops(true);
    MakeBoxes();

    // The file-name box shows whatever its setter announces; the result box is filled by ShowInBox.
    connect(this, &CQuorlet3View::FileNameChanged, m_fileNameBox, [box = m_fileNameBox](const QString& text) {
        box->setText(text);
        box->setCursorPosition(0);
    });
    // A log the user loaded: the result box empties and the file-name box shows its path.
    connect(m_session.get(), &CLogSession::LogLoaded, this, [this](const QByteArray& path) {
        m_shown = {};
        SetResult(std::string());
        SetFileName(PathToMarkedQString(path.toStdString()));
        Q_EMIT LogLoaded(path);
    });
    // A reload recomputes the report on show.
    connect(m_session.get(), &CLogSession::Reloaded, this, [this] { m_session->Run([this] { RecomputeShown(); }); });
    connect(m_session.get(), &CLogSession::Failed, this, [this](const QString& text) { m_reportError(text); });
    connect(m_session.get(), &CLogSession::LoadedLinesChanged, this, &CQuorlet3View::LoadedLinesChanged);
    connect(m_session.get(), &CLogSession::AutoReloadChanged, this, &CQuorlet3View::AutoReloadChanged);
    connect(m_session.get(), &CLogSession::BackgroundReadFinished, this, &CQuorlet3View::BackgroundReadFinished);
    connect(m_session.get(), &CLogSession::ReportJobFinished, this, &CQuorlet3View::ReportJobFinished);
    connect(m_saving.get(), &CResultSaving::SaveFolderChanged, this, &CQuorlet3View::SaveFolderChanged);

    // The dialogs belong to the window the view is in, so they open centred over it.
    m_runShareDialog = [this](const ShareCounters& counters) { RunShareDialog(window(), counters); };
    m_choosePage = [this](const PageNameList& pages) { return ChoosePage(window(), pages); };
    m_chooseDateWindow = [this](const DateSpan& span) {
        return ChooseDateWindow(window(), span, m_session->DateWindowToOffer(span));
    };
    m_reportError = [this](const QString& text) { ShowWarning(window(), text); };

    // The form's first texts: the initial sentence and an empty result box.
    SetFileName(QStringLiteral("まず、対象ファイルを指定してください。"));
    SetResult(std::string());
}

CQuorlet3View::~CQuorlet3View() = default;

void CQuorlet3View::MakeBoxes() {
    m_resultBox = new QPlainTextEdit(this);
    m_resultBox->setAcceptDrops(false);  // a dropped file goes to the form, which loads it
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
    m_fileNameBox->setReadOnly(true);
    m_fileNameBox->setFrame(false);
    m_fileNameBox->setFocusPolicy(Qt::StrongFocus);  // its path can be selected and copied too
    // Read-only boxes sit on the form's own background, like the label beside them.
    QPalette palette = m_fileNameBox->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    m_fileNameBox->setPalette(palette);

    m_label = new QLabel(QStringLiteral("対象ファイル："), this);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);  // level with the file name beside it
    setTabOrder(m_fileNameBox, m_resultBox);
    setFocusProxy(m_resultBox);  // the window opens with the report in the keyboard's hands

    // A band 50 pixels high holds the label and the file name, 10 pixels from the form's
    // sides and from each other; the result box fills the rest of the form from edge to
    // edge. Each control of the band sits at its own depth in it.
    constexpr int kBandHeight = 50;
    constexpr int kGap = 10;
    constexpr int kFileNameTop = 10;
    constexpr int kFileNameHeight = 30;
    const QRect label = DialogRect(5, 5, 50, 15);
    m_label->setFixedSize(label.size());
    m_fileNameBox->setFixedHeight(kFileNameHeight);
    // Their width comes from the form alone, never from their text.
    m_fileNameBox->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_resultBox->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    const auto placed = [](QWidget* control, int top, int height) {
        auto* column = new QVBoxLayout;
        column->setContentsMargins(0, top, 0, kBandHeight - top - height);
        column->addWidget(control);
        return column;
    };
    auto* band = new QHBoxLayout;
    band->setContentsMargins(label.left(), 0, kGap, 0);
    band->setSpacing(kGap);
    band->addLayout(placed(m_label, label.top(), label.height()));
    band->addLayout(placed(m_fileNameBox, kFileNameTop, kFileNameHeight), 1);
    auto* form = new QVBoxLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    form->setSpacing(0);
    form->addLayout(band);
    form->addWidget(m_resultBox, 1);
    // The form asks its window for no size of its own: the frame is made as small as the user likes.
    form->setSizeConstraint(QLayout::SetNoConstraint);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
}

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

void CQuorlet3View::OnCommand(const std::function<void()>& handler) {
    if (Busy()) {
        return;  // the progress dialog holds the window until the read ends
    }
    m_session->Run(handler);
}

void CQuorlet3View::Show(const CommandRow& row, std::string page, ReportResult result) {
    std::string text = FormatText(result);
    if (IsListing(row) && Doc().WholeLog()) {
        const std::optional<DateWindowChoice>& dates = m_session->LoadedDateWindow();
        text.insert(0, dates ? WholeLogListingNote(Doc().WholeLog()->lines,
                                                   QStringLiteral("期間 %1 全体").arg(DateWindowText(*dates)))
                             : WholeLogListingNote(Doc().WholeLog()->lines));
    }
    m_shown = {&row, std::move(page), std::make_shared<ReportResult>(std::move(result))};
    SetResult(std::move(text));
}

void CQuorlet3View::OnReport(const CommandRow& row) {
    if (std::shared_ptr<const WholeLogReports> whole = Doc().WholeLog(); whole && whole->Find(row) != nullptr) {
        StartReportJob(row, {}, [whole, &row] { return *whole->Find(row); });
        return;
    }
    CWaitCursor wait;
    Show(row, {}, m_session->Compute(row));
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

void CQuorlet3View::StartReportJob(const CommandRow& row, std::string page, std::function<ReportResult()> compute,
                                   std::function<void()> after, bool quiet) {
    auto prepared = std::make_shared<std::optional<PreparedReport>>();
    m_session->StartJob(
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

void CQuorlet3View::OnViewContents(const CommandRow& row) {
    CWaitCursor wait;
    if (!AskToListLongLog(Doc().QuestionBox(), WalkLength(Doc().Store()))) {
        return;  // the size question was declined: both boxes stay as they are
    }
    // A whole log is listed from its first lines: its listing alone would be as large as the log.
    Show(row, {}, RunRow(row, Doc().Store()));
}

void CQuorlet3View::OnShare(const CommandRow& row) {
    // The text is in the box before the pies open.
    const auto openPies = [this] {
        const ShareCounters counters = std::get<ShareResult>(*m_shown.result).counters;
        if (counters[kShareTotal] != 0) {
            m_runShareDialog(counters);
        }
    };
    if (std::shared_ptr<const WholeLogReports> whole = Doc().WholeLog(); whole && whole->Find(row) != nullptr) {
        StartReportJob(
            row, {}, [whole, &row] { return *whole->Find(row); }, openPies);
        return;
    }
    CWaitCursor wait;
    Show(row, {}, m_session->Compute(row));
    openPies();
}

void CQuorlet3View::OnPageDays(const CommandRow& row) {
    CWaitCursor wait;
    PageNameList pages;
    FillPageNameList(std::get<PageNamesResult>(m_session->Compute(PageNamesRow())), pages);
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
    if (Doc().WholeLog()) {
        StartWholePageDays(row, page);  // its days are counted over the whole log again
        return;
    }
    Show(row, page, RunRow(row, Doc().Store(), page));
}

void CQuorlet3View::StartWholePageDays(const CommandRow& row, const std::string& page, bool quiet) {
    auto days = std::make_shared<std::optional<PreparedReport>>();
    m_session->StartBackground(
        QStringLiteral("ページ別アクセス日をログ全体で数えています。"),
        [path = Doc().WholeLog()->path,
         dates = m_session->LoadedDateWindow() ? m_session->LoadedDateWindow()->Dates() : DateWindow{},
         rowPointer = &row, page, days,
         prepare = Preparer()](const PartReadOptions& options, const std::atomic<bool>& cancel) {
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
    if (TakesPage(row) && Doc().WholeLog()) {
        StartWholePageDays(row, m_shown.page, true);  // after a reload, quietly as the reload itself
        return;
    }
    if (std::shared_ptr<const WholeLogReports> whole = Doc().WholeLog(); whole && whole->Find(row) != nullptr) {
        StartReportJob(
            row, m_shown.page, [whole, &row] { return *whole->Find(row); }, {}, true);
        return;
    }
    // The listing is not asked about again: the user agreed to it, and it is the same file.
    Show(row, m_shown.page,
         IsListing(row) || TakesPage(row) ? RunRow(row, Doc().Store(), m_shown.page) : m_session->Compute(row));
}

void CQuorlet3View::OnSaveResult() { m_saving->SaveResult(m_strResult, m_resultBox); }

void CQuorlet3View::OnExportHtml() { m_saving->ExportHtml(); }

void CQuorlet3View::OnExportReport(ExportFormat format) { m_saving->ExportReport(format, m_shown.row, m_shown.result); }

std::string CQuorlet3View::SaveFolder() const { return m_saving->SaveFolder(); }

void CQuorlet3View::SetSaveFolder(const std::string& folder) { m_saving->SetSaveFolder(folder); }

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
