// quorlet3: the desktop window of the access log analyser.
#include <QApplication>
#include <QCommandLineParser>
#include <string>
#include <vector>

#include "window/QtText.h"
#include "window/Quorlet3App.h"

int main(int argc, char** argv) {
    QStringList arguments;
    std::vector<std::string> argumentBytes;  // a file name that is not UTF-8 keeps its bytes
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
        argumentBytes.emplace_back(argv[i]);
    }
    // The help and version texts are printed without connecting to a display.
    if (quorlet3::AsksForHelpOrVersion(arguments)) {
        QCoreApplication core(argc, argv);
        const quorlet3::CommandLineLanguage language = quorlet3::LocaleCommandLineLanguage();
        if (language == quorlet3::CommandLineLanguage::Japanese) {
            quorlet3::InstallJapaneseQtTexts();  // the parser's own headings ("Usage:", "Options:")
        }
        QCommandLineParser parser;
        quorlet3::SetUpCommandLine(parser, language);
        parser.process(core);
        if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
            parser.showHelp();  // prints the text and ends the program
        }
        parser.showVersion();
    }
    QApplication application(argc, argv);
    quorlet3::CQuorlet3App theApp;
    if (!theApp.InitInstance(arguments, argumentBytes)) {
        return 1;
    }
    return QApplication::exec();
}
