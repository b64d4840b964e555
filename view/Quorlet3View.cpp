// The form view: shows the chosen file and the last report, and runs the command table.
#include "view/Quorlet3View.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QResizeEvent>

#include "pagedays/PageDayDlg.h"
#include "platform/Cp932.h"
#include "platform/DialogUnits.h"
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

// Marks a control with its id so that GetDlgItem finds it.
constexpr const char* kControlIdProperty = "controlId";

// Shown instead of the picker when the log holds no page record; cp932 like every report.
std::string NoPageDataText() { return EncodeUtf8ToCp932("ページデータがありません。").value(); }

void RunShareDialog(const ShareCounters& counters) {
    CShareDlg dlg;
    dlg.m_nShare = counters;
    CDialogCursor arrow;
    dlg.DoModal();
}

std::optional<int> ChoosePage(const PageNameList& pages) {
    CPageDayDlg dlg;
    dlg.m_strPages = pages;
    CDialogCursor arrow;
    if (dlg.DoModal() == QDialog::Accepted && dlg.m_nPage != -1) {
        return dlg.m_nPage;
    }
    return std::nullopt;
}

}  // namespace

QString FileErrorText(const LogFileError& error) {
    // The path is named once, in the first line; the cause follows.
    return QStringLiteral("ファイル %1 を読み込めませんでした。\n%2")
        .arg(PathToQString(error.Path()), QString::fromLocal8Bit(error.Reason().c_str()));
}

CQuorlet3View::CQuorlet3View(CQuorlet3Doc& doc, QWidget* parent)
    : QWidget(parent), m_strFileName(QStringLiteral("まず、対象ファイルを指定してください。")), m_doc(doc) {
    setFont(DialogFont());
    resize(DialogSize(207, 137));

    m_resultBox = new QPlainTextEdit(this);
    m_resultBox->setProperty(kControlIdProperty, kIdResultBox);
    m_resultBox->setGeometry(DialogRect(5, 25, 190, 100));
    m_resultBox->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_resultBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_resultBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_resultBox->setTabStopDistance(DialogX(kTabStopUnits));
    m_resultBox->setFocusPolicy(Qt::ClickFocus);

    m_fileNameBox = new QLineEdit(this);
    m_fileNameBox->setProperty(kControlIdProperty, kIdFileNameBox);
    m_fileNameBox->setGeometry(DialogRect(80, 5, 115, 15));
    m_fileNameBox->setReadOnly(true);
    m_fileNameBox->setFrame(false);
    m_fileNameBox->setFocusPolicy(Qt::ClickFocus);
    // Read-only boxes sit on the form's own background, like the label beside them.
    QPalette palette = m_fileNameBox->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    m_fileNameBox->setPalette(palette);

    m_label = new QLabel(QStringLiteral("対象ファイル："), this);
    m_label->setGeometry(DialogRect(5, 5, 50, 15));
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);  // level with the file name beside it

    m_runShareDialog = RunShareDialog;
    m_choosePage = ChoosePage;
    m_reportError = [this](const QString& text) { ShowWarning(window(), text); };

    // The form's first transfer: the initial sentence and an empty result box.
    UpdateData(false);
}

void CQuorlet3View::OnCommand(int id) {
    const CommandRow* row = FindCommand(id);
    if (row == nullptr) {
        return;
    }
    try {
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
    } catch (const LogFileError& error) {
        m_reportError(FileErrorText(error));
    } catch (const std::exception& error) {
        m_reportError(QStringLiteral("コマンドを実行できませんでした。\n%1").arg(QString::fromLocal8Bit(error.what())));
    }
}

void CQuorlet3View::OnReport(const CommandRow& row) {
    if (row.operation == nullptr) {
        return;
    }
    CWaitCursor wait;
    m_strResult = ReportText(row, m_doc);
    UpdateData(false);
}

void CQuorlet3View::OnSpecifyFile() {
    CWaitCursor wait;
    const std::string result = m_doc.SelectLogFile();
    if (result == kCancel) {
        return;
    }
    m_strResult.clear();
    m_strFileName = PathToQString(result);
    UpdateData(false);
}

void CQuorlet3View::OnViewContents() {
    CWaitCursor wait;
    std::string text = m_doc.ReportContents();
    if (text == kCancel) {
        return;  // the size question was declined: both boxes stay as they are
    }
    m_strResult = std::move(text);
    UpdateData(false);
}

void CQuorlet3View::OnShare(const CommandRow& row) {
    CWaitCursor wait;
    const ReportResult result = row.operation(m_doc, row.argument, {});
    m_strResult = FormatText(result);
    UpdateData(false);  // the text is in the box before the pies open
    const ShareCounters& counters = std::get<ShareResult>(result).counters;
    if (counters[kShareTotal] != 0) {
        m_runShareDialog(counters);
    }
}

void CQuorlet3View::OnPageDays() {
    CWaitCursor wait;
    PageNameList pages;
    m_doc.CollectPageNames(pages);
    if (pages[0].empty()) {
        m_strResult = NoPageDataText();
        UpdateData(false);
        return;
    }
    const std::optional<int> chosen = m_choosePage(pages);
    if (!chosen || *chosen < 0 || *chosen >= kPageNameSlots) {
        return;  // cancelled, or no page chosen: the box keeps its text
    }
    m_strResult = m_doc.ReportPageDays(pages[static_cast<size_t>(*chosen)]);
    UpdateData(false);
}

void CQuorlet3View::OnSize() {
    const QRect client = rect();
    const int w = client.width();
    const int h = client.height();
    update();
    if (QWidget* result = GetDlgItem(kIdResultBox)) {
        result->setGeometry(0, 50, w, std::max(0, h - 50));
        result->update();
    }
    if (QWidget* fileName = GetDlgItem(kIdFileNameBox)) {
        fileName->setGeometry(120, 10, std::max(0, w - 130), 30);
        fileName->update();
    }
}

void CQuorlet3View::UpdateData(bool saveAndValidate) {
    if (saveAndValidate) {
        return;
    }
    // One setPlainText per report: far faster for long listings than appending lines.
    m_resultBox->setPlainText(Cp932ToQString(m_strResult));
    m_fileNameBox->setText(m_strFileName);
    m_fileNameBox->setCursorPosition(0);
}

QWidget* CQuorlet3View::GetDlgItem(int id) const {
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child->property(kControlIdProperty).toInt() == id) {
            return child;
        }
    }
    return nullptr;
}

void CQuorlet3View::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    OnSize();
}

}  // namespace quorlet3
