// quorlet3-screenshot: renders the main window offscreen with a report in it and saves a PNG.
#include <QApplication>
#include <QFileInfo>
#include <QPixmap>
#include <cstdio>
#include <optional>
#include <string>

#include "window/MainFrm.h"
#include "window/MenuTable.h"
#include "window/QtText.h"
#include "window/Quorlet3App.h"
#include "window/Quorlet3View.h"

namespace {

// Hands the same path to the document every time it asks.
class FixedChooser : public quorlet3::IFileChooser {
public:
    explicit FixedChooser(std::string path) : m_path(std::move(path)) {}
    std::optional<std::string> ChooseLogFile() override { return m_path; }

private:
    std::string m_path;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: quorlet3-screenshot LOGFILE OUTPUT.png\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    quorlet3::InstallDialogFontSubstitute();

    quorlet3::CQuorlet3Doc doc;
    FixedChooser chooser(
        QFile::encodeName(QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath()).toStdString());
    doc.SetFileChooser(&chooser);
    auto* view = new quorlet3::CQuorlet3View(doc);
    QString failure;
    view->m_reportError = [&failure](const QString& text) { failure = text; };
    quorlet3::CMainFrame frame(view);
    frame.setWindowTitle(quorlet3::MainCaption());
    frame.resize(640, 600);
    frame.show();

    quorlet3::RunMenuRow(*quorlet3::FindMenuRow(quorlet3::kIdSpecifyFile), *view);
    quorlet3::RunMenuRow(*quorlet3::FindMenuRow(quorlet3::kIdMainDate), *view);
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "quorlet3-screenshot: %s\n", qPrintable(failure));
        return 1;
    }
    QApplication::processEvents();

    const QPixmap shot = frame.grab();
    if (!shot.save(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "quorlet3-screenshot: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
