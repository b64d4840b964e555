// Saving and exporting what the window shows, the folder the files are written to, and the
// result box's text as a report shows in it and as a saved file holds it.
#include "window/ResultSaving.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>
#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "encoding/Cp932.h"
#include "logstore/ReadingRules.h"
#include "output/CsvOutput.h"
#include "output/HtmlOutput.h"
#include "output/JsonOutput.h"
#include "reports/WholeLogReports.h"
#include "window/LogSession.h"
#include "window/QtDialogFrame.h"
#include "window/QtDialogs.h"
#include "window/QtLogFileDialog.h"
#include "window/QtText.h"
#include "window/QtWaitCursor.h"

namespace quorlet3 {
namespace {

// A CR that does not end a line shows as this symbol in the result box, so that one record
// stays one line; a saved result turns it back into a CR.
constexpr char16_t kLoneCrSymbol = u'\u240D';

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

}  // namespace

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

CResultSaving::CResultSaving(CLogSession& session, QWidget* form) : m_session(session), m_form(form) {
    m_chooseSaveFile = [this](const QString& caption, const std::string& suggested) {
        return ChooseSaveFile(Owner(), caption, SaveFolder(), suggested);
    };
    m_chooseEncoding = [this] { return ChooseEncoding(Owner()); };
    m_askOpenInBrowser = [this] {
        return QMessageBox::question(Owner(), AppTitle(),
                                     QStringLiteral("HTMLレポートを書き出しました。\nブラウザで開きますか？"),
                                     QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
    };
    m_openInBrowser = [](const std::string& path) { QDesktopServices::openUrl(LocalFileUrl(path)); };
    m_askToWriteUnwritable = [this](const QString& text) {
        return QMessageBox::question(Owner(), AppTitle(), text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
               QMessageBox::Yes;
    };
}

QWidget* CResultSaving::Owner() const { return m_form != nullptr ? m_form->window() : nullptr; }

std::string CResultSaving::SaveFolder() const {
    if (!m_saveFolder.empty()) {
        return m_saveFolder;
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFile::encodeName(!documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath())
        .toStdString();
}

bool CResultSaving::WriteOut(const std::string& path, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        m_session.ReportFailure(WriteFailureText(path, errno));
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int writeError = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        m_session.ReportFailure(WriteFailureText(path, written ? errno : writeError));
        return false;
    }
    m_saveFolder = FolderOf(path);
    Q_EMIT SaveFolderChanged(QByteArray::fromStdString(m_saveFolder));
    return true;
}

void CResultSaving::SaveResult(const std::string& reportCp932, const QPlainTextEdit* box) {
    if (m_session.Busy()) {
        return;
    }
    const std::optional<TextEncoding> encoding = m_chooseEncoding();
    if (!encoding) {
        return;
    }
    // What the box shows is saved: the report's own bytes unless the user edited it.
    std::string bytes;
    if (box == nullptr || !box->document()->isModified()) {
        bytes = *encoding == TextEncoding::Cp932CrLf ? reportCp932 : CrLfToLf(DecodeCp932ToUtf8(reportCp932));
    } else {
        QString lost;
        bytes = DisplayToBytes(box->toPlainText(), *encoding, &lost);
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

void CResultSaving::ExportHtml() {
    if (m_session.Busy()) {
        return;
    }
    m_session.Run([this] {
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
        const CQuorlet3Doc& doc = m_session.Doc();
        if (std::shared_ptr<const WholeLogReports> whole = doc.WholeLog()) {
            // Every report of a whole log on one page: made off the window's thread.
            auto page = std::make_shared<std::string>();
            m_session.StartJob(
                QStringLiteral("HTMLレポートを作っています。"),
                [whole, page, log = m_session.LoadedPath()](const std::atomic<bool>&) {
                    *page = FormatHtmlReport(log, whole->lines, whole->results);
                },
                [page, writeAndOffer] { writeAndOffer(*page); });
            return;
        }
        std::string page;
        {
            CWaitCursor wait;
            std::vector<RowResult> results = RunRows(AllReportRows(), doc.Store());
            for (RowResult& r : results) {
                m_session.CountFromFileStart(r.result);
            }
            page = FormatHtmlReport(m_session.LoadedPath(), WalkLength(doc.Store()), results);
        }
        writeAndOffer(page);
    });
}

void CResultSaving::ExportReport(ExportFormat format, const CommandRow* shownRow,
                                 std::shared_ptr<const ReportResult> result) {
    if (m_session.Busy()) {
        return;
    }
    if (shownRow == nullptr || shownRow->cliName == nullptr) {
        m_session.ReportFailure(QStringLiteral("書き出すレポートがありません。先にレポートを表示してください。"));
        return;
    }
    const CommandRow& row = *shownRow;
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
    const auto bytesOf = [&row, json, result = std::move(result)] {
        return json ? FormatJson(row, *result) + "\n" : FormatCsv(row, *result);
    };
    if (m_session.Doc().WholeLog()) {
        // A table of a whole log can be long: written out off the window's thread.
        auto bytes = std::make_shared<std::string>();
        m_session.StartJob(
            json ? QStringLiteral("JSONを作っています。") : QStringLiteral("CSVを作っています。"),
            [bytes, bytesOf](const std::atomic<bool>&) { *bytes = bytesOf(); },
            [this, bytes, path = *path] { WriteOut(path, *bytes); });
        return;
    }
    m_session.Run([&] { WriteOut(*path, bytesOf()); });
}

}  // namespace quorlet3
