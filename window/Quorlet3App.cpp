// The application object's start-up and the version command.
#include "window/Quorlet3App.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QSettings>
#include <QTimer>
#include <filesystem>

#include "window/AboutDlg.h"
#include "window/MainFrm.h"
#include "window/QtText.h"
#include "window/Quorlet3Icon.h"
#include "window/Quorlet3View.h"

namespace quorlet3 {

QString MainCaption() { return QStringLiteral("Loganta　Quorlet 3"); }

CommandLineLanguage LocaleCommandLineLanguage() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QByteArray value = qgetenv(variable);
        if (!value.isEmpty()) {
            return value.startsWith("ja") ? CommandLineLanguage::Japanese : CommandLineLanguage::English;
        }
    }
    return CommandLineLanguage::English;
}

void SetUpCommandLine(QCommandLineParser& parser, CommandLineLanguage language) {
    const bool japanese = language == CommandLineLanguage::Japanese;
    QCoreApplication::setApplicationName(AppTitle());
    QCoreApplication::setApplicationVersion(QStringLiteral(QUORLET3_VERSION));
    parser.setApplicationDescription(
        japanese ? QStringLiteral("カウンターのアクセスログ（cp932）を解析します。名前を挙げたファイルか、ファイルメニ"
                                  "ューで選んだログです。")
                 : QStringLiteral(
                       "Analyses the access log of a hit counter (cp932): the file named, or one chosen with the file "
                       "menu."));
    // The options' own texts, in the language (Qt's would follow its translation instead).
    parser.addOption(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("?")},
                                        japanese ? QStringLiteral("このヘルプを表示します。")
                                                 : QStringLiteral("Displays help on commandline options.")));
    QCommandLineOption helpAll(QStringLiteral("help-all"));  // Qt's spelling, answered as --help
    helpAll.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(helpAll);
    parser.addOption(QCommandLineOption(
        {QStringLiteral("v"), QStringLiteral("version")},
        japanese ? QStringLiteral("バージョン情報を表示します。") : QStringLiteral("Displays version information.")));
    parser.addPositionalArgument(
        // An ASCII name: the help pads the column by characters, not by their width.
        japanese ? QStringLiteral("FILE") : QStringLiteral("file"),
        japanese ? QStringLiteral("開くログ（複数のときは最初のもの）。")
                 : QStringLiteral("The log to open (of several, the first)."),
        japanese ? QStringLiteral("[FILE]") : QStringLiteral("[file]"));
}

QString UnknownOptionText(const QString& option, CommandLineLanguage language) {
    const QString dashed = (option.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + option;
    return language == CommandLineLanguage::Japanese
               ? QStringLiteral("quorlet3: 不明なオプション %1 は無視します。").arg(dashed)
               : QStringLiteral("quorlet3: unknown option %1 is ignored.").arg(dashed);
}

bool AsksForHelpOrVersion(const QStringList& arguments) {
    for (const QString& argument : arguments.mid(1)) {
        if (argument == QLatin1String("--")) {
            return false;
        }
        for (const char* option : {"-h", "--help", "-?", "--help-all", "-v", "--version"}) {
            if (argument == QLatin1String(option)) {
                return true;
            }
        }
    }
    return false;
}

CQuorlet3App::CQuorlet3App(const QString& profilePath) {
    if (profilePath.isEmpty()) {
        m_profile = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("quorlet3"),
                                                QStringLiteral("quorlet3"));
    } else {
        m_profile = std::make_unique<QSettings>(profilePath, QSettings::IniFormat);
    }
}

CQuorlet3App::~CQuorlet3App() {
    m_recentFiles.WriteList(*m_profile);
    m_profile->sync();
}

CQuorlet3View* CQuorlet3App::GetView() const { return m_frame ? m_frame->GetActiveView() : nullptr; }

bool CQuorlet3App::InitInstance(const QStringList& arguments, const std::vector<std::string>& argumentBytes) {
    InstallDialogFontSubstitute();
    if (!InstallJapaneseQtTexts()) {
        qWarning("quorlet3: Qt's Japanese translation (qtbase_ja.qm) is not installed; standard buttons stay English");
    }
    QGuiApplication::setDesktopFileName(QStringLiteral(QUORLET3_APP_ID));
    QApplication::setWindowIcon(Quorlet3Icon());

    m_recentFiles.ReadList(*m_profile);

    // The document, the view on it and the frame around the view, once for the run.
    m_frame = std::make_unique<CMainFrame>(new CQuorlet3View(m_doc));
    m_frame->m_onAppAbout = [this] { OnAppAbout(); };
    m_fileChooser.SetParent(m_frame.get());
    m_questionBox.SetParent(m_frame.get());
    m_doc.SetFileChooser(&m_fileChooser);
    m_doc.SetQuestionBox(&m_questionBox);
    // Every log the user loads goes on the list, and the profile keeps it at once: a
    // run that ends without its exit still remembers it.
    QObject::connect(GetView(), &CQuorlet3View::LogLoaded, m_frame.get(), [this](const QByteArray& path) {
        m_fileChooser.ShowLoaded(path.toStdString());
        m_recentFiles.Add(path.toStdString());
        m_recentFiles.WriteList(*m_profile);
        m_profile->sync();
        m_frame->SetRecentFiles(m_recentFiles.Paths());
    });

    // Saves and exports start in the folder of the last one, also after a restart.
    const QString saveFolderKey = QStringLiteral("Settings/SaveFolder");
    GetView()->SetSaveFolder(m_profile->value(saveFolderKey).toByteArray().toStdString());
    QObject::connect(GetView(), &CQuorlet3View::SaveFolderChanged, m_frame.get(),
                     [this, saveFolderKey](const QByteArray& folder) {
                         m_profile->setValue(saveFolderKey, folder);
                         m_profile->sync();
                     });

    // An option the program does not know is worth a warning, not a window that never opens.
    QCommandLineParser parser;
    SetUpCommandLine(parser, m_commandLineLanguage);
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (unknown.isEmpty()) {
            qWarning("quorlet3: %s", qPrintable(parser.errorText()));
        }
        for (const QString& option : unknown) {
            qWarning("%s", qPrintable(UnknownOptionText(option, m_commandLineLanguage)));
        }
    }
    if (!parser.positionalArguments().isEmpty()) {
        const QString file = parser.positionalArguments().front();
        // The same argument as the system passed it, when the bytes are known.
        const qsizetype at = arguments.indexOf(file, 1);
        OpenDocumentFile(at > 0 && static_cast<size_t>(at) < argumentBytes.size()
                             ? argumentBytes[static_cast<size_t>(at)]
                             : QFile::encodeName(file).toStdString());
    }

    m_frame->SetRecentFiles(m_recentFiles.Paths());
    m_frame->setWindowTitle(MainCaption());
    m_frame->show();
    return true;
}

void CQuorlet3App::OpenDocumentFile(const std::string& path) {
    // After show: the window is there to carry a message, and the caption follows the load.
    // The recent-file list keeps the absolute name, good from any folder.
    std::error_code ignored;
    const std::string absolute = std::filesystem::absolute(path, ignored).string();
    QTimer::singleShot(0, m_frame.get(),
                       [this, absolute = absolute.empty() ? path : absolute] { GetView()->OnOpenFile(absolute); });
}

void CQuorlet3App::OnAppAbout() {
    CAboutDlg dlg(m_frame.get());
    dlg.exec();
}

}  // namespace quorlet3
