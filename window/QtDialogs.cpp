// Qt implementations of the file chooser, the question box and the warning box.
#include "window/QtDialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <filesystem>

#include "window/QtLogFileDialog.h"
#include "window/QtText.h"
#include "window/QtWaitCursor.h"

namespace quorlet3 {

QString AppTitle() { return QStringLiteral("quorlet3"); }

std::unique_ptr<CLogFileDialog> MakeLogFileDialog(QWidget* parent) {
    auto dialog = std::make_unique<CLogFileDialog>(parent);
    dialog->SelectNameFilter(0);
    return dialog;
}

QString BundledSampleLog(const QString& programFolder) {
    // The sample lies at the same place relative to the program in the build tree and in
    // every installed prefix.
    const QFileInfo sample(QDir(programFolder).filePath(QStringLiteral(QUORLET3_SAMPLE_LOG_FROM_BIN)));
    return sample.isFile() ? sample.absoluteFilePath() : QString();
}

QString BundledSampleLog() { return BundledSampleLog(QCoreApplication::applicationDirPath()); }

std::optional<std::string> CQtFileChooser::ChooseLogFile() {
    std::unique_ptr<CLogFileDialog> dialog = MakeLogFileDialog(m_parent);
    // The first choice starts on the bundled sample log, later ones in the folder of the
    // log loaded last, or the last folder the dialog was in.
    if (!m_lastFolder.empty()) {
        dialog->SetFolder(m_lastFolder);
        if (!m_lastFile.empty()) {
            dialog->SelectFile(m_lastFile);
        }
    } else if (const QString sample = BundledSampleLog(); !sample.isEmpty()) {
        const QFileInfo file(sample);
        dialog->SetFolder(QFile::encodeName(file.absolutePath()).toStdString());
        dialog->SelectFile(QFile::encodeName(file.fileName()).toStdString());
    } else {
        dialog->SetFolder(QFile::encodeName(QDir::currentPath()).toStdString());
    }
    CDialogCursor arrow;
    if (dialog->exec() != QDialog::Accepted || !dialog->SelectedFile()) {
        return std::nullopt;
    }
    m_lastFolder = dialog->ChosenFolder();
    m_lastFile.clear();
    return dialog->SelectedFile();
}

void CQtFileChooser::ShowLoaded(const std::string& path) {
    const std::filesystem::path loaded = std::filesystem::absolute(path);
    m_lastFolder = loaded.parent_path().string();
    m_lastFile = loaded.filename().string();
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
