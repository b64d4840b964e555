// Qt implementations of the file chooser, the question box and the warning box.
#include "platform/QtDialogs.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include "platform/QtText.h"
#include "platform/QtWaitCursor.h"

namespace quorlet3 {

QString AppTitle() { return QStringLiteral("quorlet3"); }

std::unique_ptr<QFileDialog> MakeLogFileDialog(QWidget* parent) {
    auto dialog = std::make_unique<QFileDialog>(parent);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::AnyFile);
    // "*" and not "*.*": here a name needs no dot, and all files must include those without one.
    const QStringList filters = {QStringLiteral("logファイル(*.log)"), QStringLiteral("すべてのファイル(*)")};
    dialog->setNameFilters(filters);
    dialog->selectNameFilter(filters.front());
    return dialog;
}

QString BundledSampleLog() {
    // The sample in the source tree when run from a build, else the installed one.
    for (const char* path : {QUORLET3_SOURCE_SAMPLE_LOG, QUORLET3_INSTALLED_SAMPLE_LOG}) {
        const QFileInfo sample(QFile::decodeName(path));
        if (sample.isFile()) {
            return sample.absoluteFilePath();
        }
    }
    return {};
}

std::optional<std::string> CQtFileChooser::ChooseLogFile() {
    std::unique_ptr<QFileDialog> dialog = MakeLogFileDialog(m_parent);
    // The first choice starts on the bundled sample log, later ones in the last folder used.
    if (!m_lastFolder.isEmpty()) {
        dialog->setDirectory(m_lastFolder);
    } else if (const QString sample = BundledSampleLog(); !sample.isEmpty()) {
        dialog->setDirectory(QFileInfo(sample).absolutePath());
        dialog->selectFile(sample);
    }
    CDialogCursor arrow;
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const QString chosen = dialog->selectedFiles().front();
    m_lastFolder = QFileInfo(chosen).absolutePath();
    return QFile::encodeName(chosen).toStdString();
}

std::unique_ptr<QMessageBox> MakeQuestionBox(QWidget* parent, std::string_view textCp932, QuestionIcon icon,
                                             DefaultButton defaultButton) {
    auto box = std::make_unique<QMessageBox>(icon == QuestionIcon::Stop ? QMessageBox::Critical : QMessageBox::Warning,
                                             AppTitle(), Cp932ToQString(textCp932),
                                             QMessageBox::Ok | QMessageBox::Cancel, parent);
    box->setTextFormat(Qt::PlainText);
    box->setDefaultButton(defaultButton == DefaultButton::Cancel ? QMessageBox::Cancel : QMessageBox::Ok);
    box->setEscapeButton(QMessageBox::Cancel);
    return box;
}

bool CQtQuestionBox::AskOkCancel(std::string_view textCp932, QuestionIcon icon, DefaultButton defaultButton) {
    std::unique_ptr<QMessageBox> box = MakeQuestionBox(m_parent, textCp932, icon, defaultButton);
    CDialogCursor arrow;
    return box->exec() == QMessageBox::Ok;
}

void ShowWarning(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, AppTitle(), text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    CDialogCursor arrow;
    box.exec();
}

}  // namespace quorlet3
