// The application: start-up, the profile, and the one document, frame and view of the run.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <string>
#include <vector>

#include "logstore/Quorlet3Doc.h"
#include "window/QtDialogs.h"
#include "window/RecentFileList.h"

class QCommandLineParser;
class QSettings;

namespace quorlet3 {

class CMainFrame;
class CQuorlet3View;

// The caption of the main window ("Loganta", ideographic space, "Quorlet 3").
QString MainCaption();

// The language of the command line's help and messages: Japanese under a Japanese locale
// (the first of LC_ALL, LC_MESSAGES and LANG that is set), English otherwise. The window
// itself always speaks Japanese.
enum class CommandLineLanguage { Japanese, English };
CommandLineLanguage LocaleCommandLineLanguage();

// Sets the application's name and version and describes its command line to the parser,
// in the language.
void SetUpCommandLine(QCommandLineParser& parser, CommandLineLanguage language);

// The warning for an option the program does not know (name without dashes), in the language.
QString UnknownOptionText(const QString& option, CommandLineLanguage language);

// True when the arguments ask only for the help or version text, which need no display.
bool AsksForHelpOrVersion(const QStringList& arguments);

class CQuorlet3App {
public:
    // profilePath names the profile file; empty means the user's own
    // (~/.config/quorlet3/quorlet3.ini).
    explicit CQuorlet3App(const QString& profilePath = QString());
    // Writes the profile back.
    ~CQuorlet3App();
    CQuorlet3App(const CQuorlet3App&) = delete;
    CQuorlet3App& operator=(const CQuorlet3App&) = delete;

    // Starts up: dialog font, profile with the recent-file list, the document, frame and
    // view, the command line, the caption; shows the window. The QApplication must exist.
    // Returns false when the program should end at once. An unknown option is warned
    // about on stderr and otherwise ignored; main answers --help and --version before.
    // A file named on the command line (of several, the first) is opened once the event
    // loop runs, as the file menu opens one; argumentBytes, when given, are the arguments
    // as the system passed them, so that a name that is not UTF-8 is opened intact.
    bool InitInstance(const QStringList& arguments, const std::vector<std::string>& argumentBytes = {});

    // Shows the version dialog modally.
    void OnAppAbout();

    CQuorlet3Doc* GetDocument() { return &m_doc; }
    CMainFrame* GetMainWnd() const { return m_frame.get(); }
    CQuorlet3View* GetView() const;
    const CRecentFileList& RecentFiles() const { return m_recentFiles; }

    // The language of the messages InitInstance writes on stderr.
    CommandLineLanguage m_commandLineLanguage = LocaleCommandLineLanguage();

private:
    // Opens the file named on the command line (file-system bytes) once the event loop
    // runs: a log that cannot be read is reported in the window as a chosen one is.
    void OpenDocumentFile(const std::string& path);

    std::unique_ptr<QSettings> m_profile;
    CRecentFileList m_recentFiles{4};
    CQuorlet3Doc m_doc;
    CQtFileChooser m_fileChooser;
    CQtQuestionBox m_questionBox;
    std::unique_ptr<CMainFrame> m_frame;
};

}  // namespace quorlet3
