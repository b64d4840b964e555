// The form view: shows the chosen file and the last report, and runs the command table.
#include "view/Quorlet3View.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QUrl>
#include <filesystem>

#include "logstore/Contents.h"
#include "logstore/ReadingRules.h"
#include "pagedays/PageDayDlg.h"
#include "platform/Cp932.h"
#include "platform/DialogUnits.h"
#include "platform/QtDialogFrame.h"
#include "platform/QtDialogs.h"
#include "platform/QtText.h"
#include "platform/QtWaitCursor.h"
#include "share/ShareDlg.h"
#include "share/ShareDrawing.h"

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
    dlg.DoModal();
}

std::optional<int> ChoosePage(QWidget* owner, const PageNameList& pages) {
    CPageDayDlg dlg(owner);
    dlg.m_strPages = pages;
    CDialogCursor arrow;
    if (dlg.DoModal() == QDialog::Accepted && dlg.m_nPage != -1) {
        return dlg.m_nPage;
    }
    return std::nullopt;
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

}  // namespace

QString ReportToDisplay(std::string_view reportCp932) {
    QString text = Cp932ToQString(reportCp932);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QChar(kLoneCrSymbol));
    return text;
}

CQuorlet3View::CQuorlet3View(CQuorlet3Doc& doc, QWidget* parent)
    : QWidget(parent), m_strFileName(QStringLiteral("まず、対象ファイルを指定してください。")), m_doc(doc) {
    setFont(DialogFont());
    resize(DialogSize(207, 137));

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

    // The dialogs belong to the window the view is in, so they open centred over it.
    m_runShareDialog = [this](const ShareCounters& counters) { RunShareDialog(window(), counters); };
    m_choosePage = [this](const PageNameList& pages) { return ChoosePage(window(), pages); };
    m_reportError = [this](const QString& text) { ShowWarning(window(), text); };

    // The form's first transfer: the initial sentence and an empty result box.
    UpdateData();
}

void CQuorlet3View::OnCommand(int id) {
    const CommandRow* row = FindCommand(id);
    if (row == nullptr) {
        return;
    }
    RunCommand([this, row] {
        switch (row->kind) {
            case CommandKind::Report:
                OnReport(*row);
                break;
            case CommandKind::SpecifyFile:
                OnSpecifyFile();
                break;
            case CommandKind::ViewContents:
                OnViewContents();
                break;
            case CommandKind::Share:
                OnShare(*row);
                break;
            case CommandKind::PageDays:
                OnPageDays();
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

void CQuorlet3View::OnReport(const CommandRow& row) {
    if (row.start == nullptr) {
        return;
    }
    CWaitCursor wait;
    m_strResult = ReportText(row, m_doc.Store());
    UpdateData();
}

void CQuorlet3View::OnSpecifyFile() {
    CWaitCursor wait;
    const std::optional<std::string> path = m_doc.SelectLogFile();
    if (path) {
        ShowLoadedFile(*path);
    }
}

void CQuorlet3View::OnDropFile(const std::string& path) {
    RunCommand([this, &path] {
        CWaitCursor wait;
        m_doc.LoadLogFile(path);
        ShowLoadedFile(path);
    });
}

void CQuorlet3View::ShowLoadedFile(const std::string& path) {
    m_strResult.clear();
    m_strFileName = PathToQString(path);
    UpdateData();
}

void CQuorlet3View::OnViewContents() {
    CWaitCursor wait;
    if (!AskToListLongLog(m_doc.QuestionBox(), WalkLength(m_doc.Store()))) {
        return;  // the size question was declined: both boxes stay as they are
    }
    m_strResult = ReportText(*FindCommand(kIdViewContents), m_doc.Store());
    UpdateData();
}

void CQuorlet3View::OnShare(const CommandRow& row) {
    CWaitCursor wait;
    const ReportResult result = RunRow(row, m_doc.Store());
    m_strResult = FormatText(result);
    UpdateData();  // the text is in the box before the pies open
    const ShareCounters& counters = std::get<ShareResult>(result).counters;
    if (counters[kShareTotal] != 0) {
        m_runShareDialog(counters);
    }
}

void CQuorlet3View::OnPageDays() {
    CWaitCursor wait;
    PageNameList pages;
    FillPageNameList(ComputePageNames(m_doc.Store()), pages);
    if (pages[0].empty()) {
        m_strResult = NoPageDataText();
        UpdateData();
        return;
    }
    const std::optional<int> chosen = m_choosePage(pages);
    if (!chosen || *chosen < 0 || *chosen >= kPageNameSlots) {
        return;  // cancelled, or no page chosen: the box keeps its text
    }
    m_strResult = ReportText(*FindCommand(kIdPageDays), m_doc.Store(), pages[static_cast<size_t>(*chosen)]);
    UpdateData();
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

void CQuorlet3View::UpdateData() {
    // One setPlainText per report: far faster for long listings than appending lines.
    if (m_resultBox != nullptr) {
        m_resultBox->setPlainText(ReportToDisplay(m_strResult));
    }
    if (m_fileNameBox != nullptr) {
        m_fileNameBox->setText(m_strFileName);
        m_fileNameBox->setCursorPosition(0);
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
