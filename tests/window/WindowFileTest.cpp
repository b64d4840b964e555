// The window's file commands: the whole log read in the background, saving and exporting
// what is shown, and a growing log followed.
#include <QCalendarWidget>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "encoding/Cp932.h"
#include "logstore/LogLoader.h"
#include "reports/CommandTable.h"
#include "reports/WholeLogReports.h"
#include "tests/support/GuiSupport.h"
#include "window/BackgroundRead.h"
#include "window/DateWindowDlg.h"
#include "window/LogWatcher.h"
#include "window/MainFrm.h"
#include "window/QtText.h"
#include "window/Quorlet3App.h"
#include "window/Quorlet3View.h"

using namespace quorlet3;
using namespace quorlet3::test;

namespace {

// The window repaints at least this often while whole-log reports are made. Code built
// with AddressSanitizer runs several times slower, so there the bound is looser.
#if defined(__SANITIZE_ADDRESS__)
constexpr qint64 kLargestPaintGapMs = 1000;
#else
constexpr qint64 kLargestPaintGapMs = 200;
#endif

// The bytes quorlet3-report writes to standard output for these arguments.
std::string RunCli(const QStringList& arguments) {
    QProcess cli;
    cli.start(QStringLiteral(QUORLET3_REPORT), arguments);
    if (!cli.waitForFinished(60000) || cli.exitCode() != 0) {
        qWarning("quorlet3-report %s failed: %s", qPrintable(arguments.join(QLatin1Char(' '))),
                 cli.readAllStandardError().constData());
        return "(failed)";
    }
    return cli.readAllStandardOutput().toStdString();
}

// A generated log of that many lines, with the faults of a real one, in the folder.
std::string GeneratedLog(const TempDir& dir, const char* name, int lines, int seed) {
    const std::string path = dir.PathOf(name);
    QProcess gen;
    gen.start(QStringLiteral(QUORLET3_SAMPLEGEN),
              {QStringLiteral("--lines"), QString::number(lines), QStringLiteral("--seed"), QString::number(seed),
               QStringLiteral("--faults"), QStringLiteral("--output"), QString::fromStdString(path)});
    gen.waitForFinished(60000);
    return path;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Append(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out << bytes;
}

// A frame and view on their own document, every dialog replaced by a recorder.
struct WindowUnderTest {
    TempDir states;  // the kept states of whole logs, instead of the user's cache folder
    CQuorlet3Doc doc;
    FakeChooser chooser;
    FakeQuestions questions{true};
    CQuorlet3View* view = new CQuorlet3View(doc);
    CMainFrame frame{view};
    QStringList errors;
    std::optional<int> pickerAnswer;
    std::vector<std::optional<std::string>> saveAnswers;  // taken from the front
    std::vector<QString> saveCaptions;
    std::optional<TextEncoding> encoding = TextEncoding::Cp932CrLf;
    bool openInBrowser = true;
    std::vector<std::string> opened;

    WindowUnderTest() {
        view->Session().SetKeptStatesFolder(states.PathOf("kept"));
        doc.SetFileChooser(&chooser);
        doc.SetQuestionBox(&questions);
        view->m_reportError = [this](const QString& text) { errors << text; };
        view->m_runShareDialog = [](const ShareCounters&) {};
        view->m_choosePage = [this](const PageNameList&) { return pickerAnswer; };
        view->Saving().m_chooseSaveFile = [this](const QString& caption, const std::string&) {
            saveCaptions.push_back(caption);
            std::optional<std::string> answer;
            if (!saveAnswers.empty()) {
                answer = saveAnswers.front();
                saveAnswers.erase(saveAnswers.begin());
            }
            return answer;
        };
        view->Saving().m_chooseEncoding = [this] { return encoding; };
        view->Saving().m_askOpenInBrowser = [this] { return openInBrowser; };
        view->Saving().m_openInBrowser = [this](const std::string& path) { opened.push_back(path); };
    }

    // Runs the command, or triggers the menu item, and waits for what a whole log makes
    // on a worker thread.
    void Run(int id) {
        QSignalSpy made(view, &CQuorlet3View::ReportJobFinished);
        RunMenuCommand(*view, id);
        if (view->Session().ReportJob() != nullptr) {
            QVERIFY(made.wait(60000));
        }
    }
    void Trigger(QAction* item) {
        QSignalSpy made(view, &CQuorlet3View::ReportJobFinished);
        item->trigger();
        if (view->Session().ReportJob() != nullptr) {
            QVERIFY(made.wait(60000));
        }
    }
    void Load(const std::string& path) {
        chooser.m_answers.push_back(path);
        Run(kIdSpecifyFile);
    }
    // Reads the whole log at path and waits until the read is over.
    bool LoadWhole(const std::string& path) {
        chooser.m_answers.push_back(path);
        QSignalSpy finished(view, &CQuorlet3View::BackgroundReadFinished);
        view->OnWholeLoad();
        return finished.wait(60000);
    }
};

// Every menu report that a whole log computes, with its command-line words.
struct CliReport {
    int id;
    QStringList words;
};
const CliReport kCliReports[] = {
    {32772, {"check"}},         {32774, {"links"}},          {32775, {"hosts"}},          {32776, {"browsers"}},
    {32783, {"share"}},         {32779, {"daily", "main"}},  {32778, {"hourly", "main"}}, {32785, {"detail", "main"}},
    {32784, {"guests"}},        {32777, {"keywords"}},       {32782, {"pages", "name"}},  {32788, {"pages", "ranking"}},
    {32781, {"daily", "page"}}, {32780, {"hourly", "page"}}, {32786, {"detail", "page"}},
};

// Asks a widget to repaint every 10 ms and notes when each paint happens, as long as it lives.
class PaintTimes : public QObject {
public:
    explicit PaintTimes(QWidget* widget) : m_widget(widget) {
        m_clock.start();
        widget->installEventFilter(this);
        connect(&m_ticker, &QTimer::timeout, widget, [widget] { widget->update(); });
        m_ticker.start(10);
    }
    ~PaintTimes() override { m_widget->removeEventFilter(this); }
    PaintTimes(const PaintTimes&) = delete;
    PaintTimes& operator=(const PaintTimes&) = delete;

    qint64 Now() const { return m_clock.elapsed(); }
    size_t Count() const { return m_paints.size(); }
    // The longest time without a paint between from and to (milliseconds since the start),
    // and when it began.
    qint64 LargestGap(qint64 from, qint64 to, qint64* begin = nullptr) const {
        qint64 largest = 0;
        qint64 last = from;
        qint64 at = from;
        for (qint64 paint : m_paints) {
            if (paint >= from && paint <= to) {
                if (paint - last > largest) {
                    largest = paint - last;
                    at = last;
                }
                last = paint;
            }
        }
        if (to - last > largest) {
            largest = to - last;
            at = last;
        }
        if (begin != nullptr) {
            *begin = at;
        }
        return largest;
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            m_paints.push_back(m_clock.elapsed());
        }
        return false;
    }

private:
    QWidget* m_widget;
    QElapsedTimer m_clock;
    QTimer m_ticker;
    std::vector<qint64> m_paints;
};

}  // namespace

class WindowFileTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { InstallDialogFontSubstitute(); }
    void wholeLogReportsEqualTheCommandLine();
    void wholeLogListsItsFirstLinesAndPicksPagesFromAllOfThem();
    void cancelledWholeLoadKeepsTheOldLog();
    void failedWholeLoadKeepsTheOldLog();
    void windowPaintsDuringASlowWholeLoad();
    void wholeLogReportsNeverHoldTheWindow();
    void slowReportShowsProgressAndItsCancelKeepsTheReport();
    void progressBarShowsTheShareOnceTheTotalIsKnown();
    void savedResultBytes_data();
    void savedResultBytes();
    void savedEditedResult_data();
    void savedEditedResult();
    void saveStartsInTheLastSavesFolder();
    void exportsEqualTheCommandLine();
    void exportWithoutAReportSaysSo();
    void growingLogReloadsOncePerBurst_data();
    void growingLogReloadsOncePerBurst();
    void appendToAKeptStateIsShownPromptly_data();
    void appendToAKeptStateIsShownPromptly();
    void shrinkingOrVanishingLogStopsTheWatch();
    void quietReloadLeavesTheWindowUsable();
    void growingWholeLogRecountsTheChosenPage();
    void wholeLogReadAgainGoesOnFromItsKeptState();
    void dateWindowDialogIsBoundedByTheLogsDates();
    void dateWindowLoadEqualsTheCommandLine_data();
    void dateWindowLoadEqualsTheCommandLine();
    void cancelledDateWindowKeepsTheOldLog();
    void logWithoutDatesSaysSo();
    void emptyDateWindowSaysSoInTheCaption_data();
    void emptyDateWindowSaysSoInTheCaption();
    void bigLogFigures();
    void growingBigLogFigures();
};

void WindowFileTest::wholeLogReportsEqualTheCommandLine() {
    TempDir dir;
    const std::string log = GeneratedLog(dir, "whole.log", 14000, 11);
    WindowUnderTest t;
    t.view->Session().m_wholeReadOptions.partBytes = 64 * 1024;  // several parts even for a small log
    QVERIFY(t.LoadWhole(log));
    QVERIFY(t.errors.isEmpty());
    QVERIFY(t.doc.WholeLog() != nullptr);
    QCOMPARE(t.doc.WholeLog()->lines, 14000);
    QCOMPARE(t.view->FileNameBox()->text(), PathToQString(log));
    QCOMPARE(t.view->Result(), std::string());
    QCOMPARE(t.frame.windowTitle(), MainCaption() + QStringLiteral(" － ログ全体 14,000 行"));
    for (const CliReport& report : kCliReports) {
        t.Run(report.id);
        QStringList arguments{"--whole", "--raw", QString::fromStdString(log)};
        arguments << report.words;
        QVERIFY2(t.view->Result() == RunCli(arguments), qPrintable(report.words.join(' ')));
    }
    // Loading the usual way goes back to the first 10000 lines.
    t.Load(log);
    QVERIFY(t.doc.WholeLog() == nullptr);
    QCOMPARE(t.frame.windowTitle(), MainCaption());
    t.Run(32778);
    QCOMPARE(t.view->Result(), RunCli({"--raw", QString::fromStdString(log), "hourly", "main"}));
}

void WindowFileTest::wholeLogListsItsFirstLinesAndPicksPagesFromAllOfThem() {
    TempDir dir;
    // A page that is viewed only after the first 10000 lines.
    const Lines lines =
        Concat({PlainLines(9998), PageRecord("late.html", 7), PageRecord("late.html", 9), PageRecord("early.html", 3)});
    const std::string log = dir.WriteLines("pages.log", lines);
    WindowUnderTest t;
    QVERIFY(t.LoadWhole(log));

    t.Run(kIdViewContents);
    const std::string firstLines =
        ReportText(CommandOf(kIdViewContents), *LoadLineStore(log));  // what 10000 lines list
    QCOMPARE(t.view->Result(), WholeLogListingNote(10004) + firstLines);
    QVERIFY(Cp932ToQString(t.view->Result()).startsWith(QStringLiteral("（ログ全体 10004 行のうち、最初の 10000 行")));

    // The picker offers the pages of the whole log; the chosen one is counted over all of it.
    t.pickerAnswer = 1;  // early.html, late.html
    QSignalSpy finished(t.view, &CQuorlet3View::BackgroundReadFinished);
    t.Run(kIdPageDays);
    QVERIFY(finished.wait(10000));
    QCOMPARE(t.view->Result(), RunCli({"--whole", "--raw", QString::fromStdString(log), "page-days", "late.html"}));
    QVERIFY(Cp932ToQString(t.view->Result()).contains(QStringLiteral("late.html\t2回")));
}

void WindowFileTest::cancelledWholeLoadKeepsTheOldLog() {
    TempDir dir;
    const std::string small = dir.WriteLines("small.log", Concat({MainRecord(1, 5), MainRecord(2, 6)}));
    const std::string big = GeneratedLog(dir, "big.log", 20000, 3);
    WindowUnderTest t;
    t.Load(small);
    t.Run(32778);
    const std::string report = t.view->Result();
    const QString title = t.frame.windowTitle();

    // A slow reader: every small part waits a little, so the cancel comes in the middle.
    std::atomic<int> parts{0};
    t.view->Session().m_wholeReadOptions.jobs = 1;
    t.view->Session().m_wholeReadOptions.partBytes = 4096;
    t.view->Session().m_wholeReadOptions.progress = [&parts](long long, long long) {
        ++parts;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    };
    t.chooser.m_answers.push_back(big);
    QSignalSpy finished(t.view, &CQuorlet3View::BackgroundReadFinished);
    t.view->OnWholeLoad();
    QVERIFY(t.view->Busy());
    QTRY_VERIFY(parts > 3);
    // While it reads, the commands wait for it.
    t.Run(32772);
    QCOMPARE(t.view->Result(), report);
    QPushButton* cancel = t.view->Session().BackgroundRead()->ProgressDialog()->findChild<QPushButton*>();
    QVERIFY(cancel != nullptr);
    QCOMPARE(cancel->text(), QStringLiteral("キャンセル"));
    cancel->click();
    QVERIFY(finished.wait(10000));
    QVERIFY(parts < 100);  // stopped long before its 300-odd parts
    QVERIFY(!t.view->Busy());
    QVERIFY(t.doc.WholeLog() == nullptr);
    QCOMPARE(t.doc.Store()[0], MainRecord(1, 5)[0]);
    QCOMPARE(t.view->Result(), report);
    QCOMPARE(t.view->FileNameBox()->text(), PathToQString(small));
    QCOMPARE(t.frame.windowTitle(), title);
    QVERIFY(t.errors.isEmpty());
    t.Run(32778);
    QCOMPARE(t.view->Result(), report);
}

void WindowFileTest::failedWholeLoadKeepsTheOldLog() {
    TempDir dir;
    const std::string small = dir.WriteLines("small.log", MainRecord(1, 5));
    WindowUnderTest t;
    t.Load(small);
    QVERIFY(t.LoadWhole(dir.PathOf("missing.log")));
    QTRY_VERIFY(!t.view->Busy());
    QCOMPARE(t.errors.size(), 1);
    QVERIFY(t.errors.front().contains(QStringLiteral("missing.log")));
    QVERIFY(t.errors.front().contains(QStringLiteral("ファイルが見つかりません。")));
    QVERIFY(t.doc.WholeLog() == nullptr);
    QCOMPARE(t.doc.Store()[0], MainRecord(1, 5)[0]);
    QCOMPARE(t.view->FileNameBox()->text(), PathToQString(small));
}

void WindowFileTest::windowPaintsDuringASlowWholeLoad() {
    TempDir dir;
    const std::string log = GeneratedLog(dir, "slow.log", 40000, 5);
    WindowUnderTest t;
    t.frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t.frame));
    // The reader waits 15 ms before each of its parts, as a slow disk would.
    t.view->Session().m_wholeReadOptions.jobs = 1;
    t.view->Session().m_wholeReadOptions.partBytes = 16 * 1024;
    t.view->Session().m_wholeReadOptions.progress = [](long long, long long) {
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    };
    // Something on the window asks for a repaint every 10 ms; the paints are timed.
    const PaintTimes paints(t.view->ResultBox()->viewport());
    const qint64 started = paints.Now();
    QVERIFY(t.LoadWhole(log));
    const qint64 ended = paints.Now();
    QVERIFY(t.errors.isEmpty());
    QVERIFY2(ended - started > 500, "the slow reader should take a while");
    const qint64 largestGap = paints.LargestGap(started, ended);
    qInfo("whole load of %lld ms: %zu paints, largest gap %lld ms", ended - started, paints.Count(), largestGap);
    QVERIFY2(largestGap < 200, qPrintable(QString::number(largestGap)));
}

// Every report of a large whole log, and its HTML page, is made on a worker thread: the
// window repaints at least every 200 ms from the load to the last report, under the wait
// cursor.
void WindowFileTest::wholeLogReportsNeverHoldTheWindow() {
    TempDir dir;
    const std::string log = GeneratedLog(dir, "large.log", 600000, 13);
    WindowUnderTest t;
    t.frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t.frame));
    const PaintTimes paints(t.view->ResultBox()->viewport());
    const qint64 started = paints.Now();
    QVERIFY(t.LoadWhole(log));
    QCOMPARE(t.doc.WholeLog()->lines, 600000);
    for (const CliReport& report : kCliReports) {
        QSignalSpy made(t.view, &CQuorlet3View::ReportJobFinished);
        t.frame.FindCommandAction(report.id)->trigger();
        QVERIFY(t.view->Session().ReportJob() != nullptr && t.view->Busy());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QVERIFY(made.wait(60000));
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QVERIFY2(!t.view->Result().empty(), qPrintable(report.words.join(' ')));
    }
    // The page of every report is made the same way.
    t.saveAnswers = {dir.PathOf("large.html")};
    t.openInBrowser = false;
    t.Trigger(t.frame.ExportHtmlAction());
    QVERIFY(ReadBytes(dir.PathOf("large.html")).starts_with("<!DOCTYPE html>"));
    const qint64 ended = paints.Now();
    QCOMPARE(t.view->ResultBox()->toPlainText(), ReportToDisplay(t.view->Result()));
    qint64 gapBegin = 0;
    const qint64 largestGap = paints.LargestGap(started, ended, &gapBegin);
    qInfo("load and %zu reports in %lld ms: %zu paints, largest gap %lld ms from %lld ms on", std::size(kCliReports),
          ended - started, paints.Count(), largestGap, gapBegin - started);
    QVERIFY2(largestGap < kLargestPaintGapMs, qPrintable(QString::number(largestGap)));
    QVERIFY(t.errors.isEmpty());
}

// A report that takes longer than half a second shows the progress dialog; its cancel
// keeps the report on show.
void WindowFileTest::slowReportShowsProgressAndItsCancelKeepsTheReport() {
    TempDir dir;
    WindowUnderTest t;
    t.frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t.frame));
    QVERIFY(t.LoadWhole(GeneratedLog(dir, "slow.log", 3000, 4)));
    t.Run(32778);
    const std::string shown = t.view->Result();
    const QString boxText = t.view->ResultBox()->toPlainText();

    t.view->Session().m_reportJobHook = [] { std::this_thread::sleep_for(std::chrono::milliseconds(1500)); };
    QSignalSpy made(t.view, &CQuorlet3View::ReportJobFinished);
    QElapsedTimer clock;
    clock.start();
    t.frame.FindCommandAction(32775)->trigger();
    QProgressDialog* dialog = t.view->Session().ReportJob()->ProgressDialog();
    QVERIFY(dialog != nullptr && !dialog->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(dialog->isVisible(), 1400);
    QVERIFY2(clock.elapsed() >= 450, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("レポートの作成"));
    QCOMPARE(dialog->maximum(), 0);  // nothing to count: a busy bar
    RunMenuCommand(*t.view, 32772);  // commands wait for the report
    QCOMPARE(t.view->Result(), shown);
    QVERIFY(made.isEmpty());
    // The cancel gives the window back at once; the report made meanwhile never shows.
    dialog->findChild<QPushButton*>()->click();
    QCOMPARE(made.size(), 1);
    QVERIFY(!dialog->isVisible());
    QVERIFY(t.view->Session().ReportJob() == nullptr);
    QTest::qWait(1500);
    QCOMPARE(t.view->Result(), shown);
    QCOMPARE(t.view->ResultBox()->toPlainText(), boxText);
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QVERIFY(!t.view->Busy());
    QVERIFY(t.errors.isEmpty());
}

void WindowFileTest::savedResultBytes_data() {
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QByteArray>("fileName");
    QTest::newRow("cp932, CR LF") << int(TextEncoding::Cp932CrLf) << QByteArray("result.txt");
    QTest::newRow("UTF-8, LF") << int(TextEncoding::Utf8) << QByteArray("result.txt");
    QTest::newRow("cp932 file name") << int(TextEncoding::Cp932CrLf) << QByteArray("\x8C\x8B\x89\xCA.txt");  // 結果.txt
}

void WindowFileTest::savedResultBytes() {
    QFETCH(int, encoding);
    QFETCH(QByteArray, fileName);
    TempDir dir;
    WindowUnderTest t;
    // A report with Japanese text, a lone CR and a byte that is no cp932 character.
    const std::string report = Cp932("表示\t1\r\n") + "A\xff\rB\r\n";
    t.view->SetResult(report);
    t.encoding = static_cast<TextEncoding>(encoding);
    const std::string path = dir.PathOf(fileName.toStdString());
    t.saveAnswers = {path};
    t.view->OnSaveResult();
    QVERIFY(t.errors.isEmpty());
    const std::string expected =
        t.encoding == TextEncoding::Cp932CrLf ? report : std::string("表示\t1\nA\xEF\xBF\xBD\rB\n");
    QCOMPARE(ReadBytes(path), expected);

    // Cancelling the encoding or the file writes nothing; a folder that is missing is reported.
    t.encoding.reset();
    t.saveAnswers = {dir.PathOf("never.txt")};
    t.view->OnSaveResult();
    t.encoding = TextEncoding::Utf8;
    t.saveAnswers = {std::nullopt};
    t.view->OnSaveResult();
    QVERIFY(!QFile::exists(QString::fromStdString(dir.PathOf("never.txt"))));
    t.saveAnswers = {dir.PathOf("no/such/folder.txt")};
    t.view->OnSaveResult();
    QCOMPARE(t.errors.size(), 1);
    QVERIFY(t.errors.front().contains(QStringLiteral("フォルダーが見つかりません。")));
}

void WindowFileTest::savedEditedResult_data() {
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("agree");
    QTest::addColumn<QByteArray>("expected");  // empty: nothing written
    const QByteArray sjis = QByteArray::fromStdString(Cp932("表示\t1\r\nA\rB\r\n追記"));
    QTest::newRow("cp932") << int(TextEncoding::Cp932CrLf) << QStringLiteral("追記") << true << sjis;
    QTest::newRow("UTF-8") << int(TextEncoding::Utf8) << QStringLiteral("追記한") << true
                           << QByteArray("表示\t1\nA\rB\n追記한");
    QTest::newRow("cp932 lacks a character, declined")
        << int(TextEncoding::Cp932CrLf) << QStringLiteral("追記한") << false << QByteArray();
    QTest::newRow("cp932 lacks a character, agreed")
        << int(TextEncoding::Cp932CrLf) << QStringLiteral("追記한") << true << sjis + "?";
}

void WindowFileTest::savedEditedResult() {
    QFETCH(int, encoding);
    QFETCH(QString, typed);
    QFETCH(bool, agree);
    QFETCH(QByteArray, expected);
    TempDir dir;
    WindowUnderTest t;
    QStringList asked;
    t.view->Saving().m_askToWriteUnwritable = [&](const QString& text) {
        asked << text;
        return agree;
    };
    t.view->SetResult(Cp932("表示\t1\r\n") + "A\rB\r\n");
    // Typed at the end of the box, as the user would.
    QTextCursor cursor(t.view->ResultBox()->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(typed);
    QVERIFY(t.view->ResultBox()->document()->isModified());
    t.encoding = static_cast<TextEncoding>(encoding);
    const std::string path = dir.PathOf("edited.txt");
    t.saveAnswers = {path};
    t.view->OnSaveResult();
    QVERIFY(t.errors.isEmpty());
    const bool lacks = typed.contains(QStringLiteral("한")) && t.encoding == TextEncoding::Cp932CrLf;
    QCOMPARE(asked.size(), lacks ? 1 : 0);
    if (lacks) {
        QVERIFY2(asked.front().contains(QStringLiteral("3 行目の「한」U+D55C")), qPrintable(asked.front()));
    }
    QCOMPARE(QByteArray::fromStdString(ReadBytes(path)), expected);
    // A new report is saved as its own bytes again.
    t.view->SetResult(Cp932("次"));
    t.saveAnswers = {path};
    t.view->OnSaveResult();
    QCOMPARE(ReadBytes(path), t.encoding == TextEncoding::Cp932CrLf ? Cp932("次") : std::string("次"));
}

void WindowFileTest::saveStartsInTheLastSavesFolder() {
    TempDir logs;
    TempDir saves;
    TempDir profile;
    const QString ini = QString::fromStdString(profile.PathOf("quorlet3.ini"));
    const std::string documents = [] {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        return QFile::encodeName(QDir(folder).exists() ? folder : QDir::homePath()).toStdString();
    }();
    {
        CQuorlet3App app(ini);
        QVERIFY(app.InitInstance({QStringLiteral("quorlet3")}));
        CQuorlet3View* view = app.GetView();
        view->m_reportError = [](const QString& text) { QFAIL(qPrintable(text)); };
        view->Saving().m_chooseEncoding = [] { return std::optional(TextEncoding::Cp932CrLf); };
        std::vector<std::string> startedIn;
        view->Saving().m_chooseSaveFile = [&](const QString&, const std::string&) {
            startedIn.push_back(view->SaveFolder());
            return std::optional(saves.PathOf("result.txt"));
        };
        // The log's folder may be read-only: the first save starts in the documents folder.
        view->OnOpenFile(logs.WriteLines("sample.log", PlainLines(3)));
        view->OnSaveResult();
        view->OnSaveResult();
        QCOMPARE(startedIn, (std::vector<std::string>{documents, saves.Path()}));
        app.GetMainWnd()->close();
    }
    // The next run remembers it.
    CQuorlet3App next(ini);
    QVERIFY(next.InitInstance({QStringLiteral("quorlet3")}));
    QCOMPARE(next.GetView()->SaveFolder(), saves.Path());
    next.GetMainWnd()->close();
}

void WindowFileTest::exportsEqualTheCommandLine() {
    TempDir dir;
    const std::string log = GeneratedLog(dir, "export.log", 12000, 8);
    const QString logArg = QString::fromStdString(log);
    WindowUnderTest t;
    t.Load(log);

    // The page of every report over the first lines.
    t.saveAnswers = {dir.PathOf("store.html")};
    t.frame.ExportHtmlAction()->trigger();
    QCOMPARE(ReadBytes(dir.PathOf("store.html")), RunCli({"--format", "html", logArg, "all"}));
    QCOMPARE(t.opened, std::vector<std::string>{dir.PathOf("store.html")});

    // The shown report as JSON and CSV.
    t.Run(32780);
    t.saveAnswers = {dir.PathOf("r.json"), dir.PathOf("r.csv")};
    t.frame.ExportJsonAction()->trigger();
    t.frame.ExportCsvAction()->trigger();
    QCOMPARE(ReadBytes(dir.PathOf("r.json")), RunCli({"--format", "json", logArg, "hourly", "page"}));
    QCOMPARE(ReadBytes(dir.PathOf("r.csv")), RunCli({"--format", "csv", logArg, "hourly", "page"}));

    // Over the whole log; the browser is not wanted this time.
    QVERIFY(t.LoadWhole(log));
    t.openInBrowser = false;
    t.saveAnswers = {dir.PathOf("whole.html")};
    t.Trigger(t.frame.ExportHtmlAction());
    QCOMPARE(ReadBytes(dir.PathOf("whole.html")), RunCli({"--whole", "--format", "html", logArg, "all"}));
    QCOMPARE(t.opened.size(), size_t{1});
    t.Run(32775);
    t.saveAnswers = {dir.PathOf("hosts.json"), dir.PathOf("hosts.csv")};
    t.Trigger(t.frame.ExportJsonAction());
    t.Trigger(t.frame.ExportCsvAction());
    QCOMPARE(ReadBytes(dir.PathOf("hosts.json")), RunCli({"--whole", "--format", "json", logArg, "hosts"}));
    QCOMPARE(ReadBytes(dir.PathOf("hosts.csv")), RunCli({"--whole", "--format", "csv", logArg, "hosts"}));
    QVERIFY(t.errors.isEmpty());
}

void WindowFileTest::exportWithoutAReportSaysSo() {
    TempDir dir;
    WindowUnderTest t;
    t.Load(dir.WriteLines("a.log", MainRecord(1, 2)));
    t.frame.ExportCsvAction()->trigger();
    QCOMPARE(t.errors.size(), 1);
    QVERIFY(t.saveCaptions.empty());  // nothing asked: there is nothing to write
}

void WindowFileTest::growingLogReloadsOncePerBurst_data() {
    QTest::addColumn<QByteArray>("fileName");
    QTest::addColumn<bool>("whole");
    QTest::newRow("first lines") << QByteArray("grow.log") << false;
    QTest::newRow("whole log") << QByteArray("grow.log") << true;
    QTest::newRow("cp932 name, polled") << QByteArray("\x83\x8D\x83\x4F.log") << false;
}

void WindowFileTest::growingLogReloadsOncePerBurst() {
    QFETCH(QByteArray, fileName);
    QFETCH(bool, whole);
    TempDir dir;
    const std::string log = dir.WriteLines(fileName.toStdString(), MainRecord(1, 5));
    WindowUnderTest t;
    t.view->Session().Watcher()->SetTimings(150, 2000, 40);
    if (whole) {
        QVERIFY(t.LoadWhole(log));
    } else {
        t.Load(log);
    }
    t.frame.AutoReloadAction()->trigger();
    QVERIFY(t.view->AutoReload());
    t.Run(32778);
    QSignalSpy shown(t.view, &CQuorlet3View::ResultChanged);

    // The counter appends a record line by line.
    for (const std::string& line : Concat({MainRecord(2, 7), MainRecord(3, 7)})) {
        Append(log, line + "\r\n");
        QTest::qWait(5);
    }
    QTRY_COMPARE_WITH_TIMEOUT(shown.size(), 1, 5000);
    QTest::qWait(500);  // no second reload follows
    QCOMPARE(shown.size(), 1);
    QVERIFY(!t.view->Busy());
    CQuorlet3Doc grown = LoadLines(Concat({MainRecord(1, 5), MainRecord(2, 7), MainRecord(3, 7)}));
    QCOMPARE(t.view->Result(), ReportOf(grown, 32778));
    QCOMPARE(t.doc.WholeLog() != nullptr, whole);
    QVERIFY(t.errors.isEmpty());
}

void WindowFileTest::appendToAKeptStateIsShownPromptly_data() {
    QTest::addColumn<QString>("load");
    QTest::addColumn<bool>("prompt");
    QTest::newRow("whole log") << QStringLiteral("whole") << true;
    QTest::newRow("first lines") << QStringLiteral("first") << false;
    QTest::newRow("whole date window") << QStringLiteral("window") << false;
}

// A reload that reads only what was appended to a whole log's kept state follows the
// append after the short quiet time; reloads that read the log again wait the long one.
void WindowFileTest::appendToAKeptStateIsShownPromptly() {
    QFETCH(QString, load);
    QFETCH(bool, prompt);
    TempDir dir;
    const std::string log = dir.WriteLines("prompt.log", Concat({PageRecord("a.html", 3), PageRecord("b.html", 4)}));
    WindowUnderTest t;
    t.view->Session().Watcher()->SetTimings(1500, 3000, 40);
    t.view->Session().Watcher()->SetPromptQuiet(50);
    if (load == QStringLiteral("whole")) {
        QVERIFY(t.LoadWhole(log));
    } else if (load == QStringLiteral("first")) {
        t.Load(log);
    } else {
        t.chooser.m_answers.push_back(log);
        t.view->m_chooseDateWindow = [](const DateSpan& span) {
            return std::optional(DateWindowChoice{span.first, span.last, true});
        };
        QSignalSpy finished(t.view, &CQuorlet3View::BackgroundReadFinished);
        t.view->OnDateWindowLoad();
        QVERIFY(finished.wait(60000));
    }
    t.view->SetAutoReload(true);
    QCOMPARE(t.view->Session().Watcher()->Prompt(), prompt);
    t.Run(32788);  // the page ranking: b.html once, then twice
    const std::string before = t.view->Result();
    QSignalSpy shown(t.view, &CQuorlet3View::ResultChanged);
    QElapsedTimer clock;
    clock.start();
    Append(log, JoinCrLf(PageRecord("b.html", 4)));  // within the date window too
    QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty(), 10000);
    const qint64 took = clock.elapsed();
    QVERIFY2(prompt == (took < 1000), qPrintable(QString::number(took)));
    QVERIFY(t.view->Result() != before);
    QVERIFY(t.errors.isEmpty());
}

void WindowFileTest::shrinkingOrVanishingLogStopsTheWatch() {
    TempDir dir;
    const std::string log = dir.WriteLines("shrink.log", Concat({MainRecord(1, 5), MainRecord(2, 5)}));
    WindowUnderTest t;
    t.view->Session().Watcher()->SetTimings(100, 2000, 40);
    t.Load(log);
    t.view->SetAutoReload(true);
    t.Run(32772);
    const std::string report = t.view->Result();
    dir.WriteLines("shrink.log", MainRecord(1, 5));
    QTRY_VERIFY_WITH_TIMEOUT(!t.view->AutoReload(), 5000);
    QVERIFY(!t.frame.AutoReloadAction()->isChecked());
    QCOMPARE(t.errors, QStringList{QStringLiteral("ログファイルが小さくなったので、自動更新を止めました。")});
    QCOMPARE(t.view->Result(), report);  // what was shown stays

    t.frame.AutoReloadAction()->trigger();
    QVERIFY(t.view->AutoReload());
    QFile::remove(QString::fromStdString(log));
    QTRY_VERIFY_WITH_TIMEOUT(!t.view->AutoReload(), 5000);
    QCOMPARE(t.errors.size(), 2);
    QCOMPARE(t.errors.back(), QStringLiteral("ログファイルが見つからなくなったので、自動更新を止めました。"));
}

void WindowFileTest::quietReloadLeavesTheWindowUsable() {
    TempDir dir;
    const std::string log = dir.WriteLines("quiet.log", Concat({MainRecord(1, 5), PlainLines(2000)}));
    WindowUnderTest t;
    QVERIFY(t.LoadWhole(log));
    t.Run(32778);
    const std::string before = t.view->Result();
    Append(log, JoinCrLf(MainRecord(2, 8)));
    t.view->Session().m_wholeReadOptions.jobs = 1;
    t.view->Session().m_wholeReadOptions.partBytes = 1024;
    t.view->Session().m_wholeReadOptions.progress = [](long long, long long) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    };
    QSignalSpy finished(t.view, &CQuorlet3View::BackgroundReadFinished);
    t.view->ReloadLog();
    // No dialog holds the window: commands run at once, on the log as it was.
    QVERIFY(t.view->Session().BackgroundRead() != nullptr);
    QVERIFY(t.view->Session().BackgroundRead()->ProgressDialog() == nullptr);
    QVERIFY(!t.view->Busy());
    t.Run(32772);
    t.Run(32778);
    QCOMPARE(t.view->Result(), before);
    QVERIFY(finished.wait(20000));
    // Then the shown report is the grown log's, made quietly as the reload read.
    QVERIFY(t.view->Session().ReportJob() != nullptr && !t.view->Busy());
    QTRY_COMPARE(t.view->Result(),
                 ReportOf(LoadLines(Concat({MainRecord(1, 5), PlainLines(2000), MainRecord(2, 8)})), 32778));
    QCOMPARE(t.frame.windowTitle(), MainCaption() + QStringLiteral(" － ログ全体 2,010 行"));
    QVERIFY(t.errors.isEmpty());
}

void WindowFileTest::growingWholeLogRecountsTheChosenPage() {
    TempDir dir;
    const std::string log = dir.WriteLines("days.log", Concat({PageRecord("a.html", 3), PageRecord("b.html", 4)}));
    WindowUnderTest t;
    t.view->Session().Watcher()->SetTimings(100, 2000, 40);
    QVERIFY(t.LoadWhole(log));
    t.view->SetAutoReload(true);
    t.pickerAnswer = 1;  // b.html
    QSignalSpy finished(t.view, &CQuorlet3View::BackgroundReadFinished);
    t.Run(kIdPageDays);
    QVERIFY(finished.wait(10000));
    QVERIFY(Cp932ToQString(t.view->Result()).contains(QStringLiteral("b.html\t1回")));

    QSignalSpy shown(t.view, &CQuorlet3View::ResultChanged);
    bool dialogSeen = false;
    QObject::connect(t.view, &CQuorlet3View::BackgroundReadFinished, t.view, [&] {
        dialogSeen = dialogSeen || (t.view->Session().BackgroundRead() != nullptr &&
                                    t.view->Session().BackgroundRead()->ProgressDialog());
    });
    Append(log, JoinCrLf(PageRecord("b.html", 9)));
    QTRY_COMPARE_WITH_TIMEOUT(shown.size(), 1, 10000);
    QCOMPARE(t.view->Result(), RunCli({"--whole", "--raw", QString::fromStdString(log), "page-days", "b.html"}));
    QVERIFY(Cp932ToQString(t.view->Result()).contains(QStringLiteral("b.html\t2回")));
    QVERIFY(!dialogSeen);
    QVERIFY(t.errors.isEmpty());
}

// A whole log read again, by the command or by a reload, goes on from the state kept at
// the last read and gives what a full read gives; the File menu's command forgets it.
void WindowFileTest::wholeLogReadAgainGoesOnFromItsKeptState() {
    TempDir dir;
    const std::string log = dir.WriteLines("kept.log", Concat({PageRecord("a.html", 3), PageRecord("b.html", 4)}));
    WindowUnderTest t;
    auto keptFiles = [&] {
        std::error_code error;
        const std::filesystem::directory_iterator files(t.view->Session().KeptStatesFolder(), error);
        return error ? 0 : static_cast<int>(std::distance(files, std::filesystem::directory_iterator()));
    };
    auto texts = [](const WholeLogReports& reports) {
        std::string all;
        for (const RowResult& r : reports.results) {
            all += FormatText(r.result);
        }
        return all;
    };
    QVERIFY(t.LoadWhole(log));
    QCOMPARE(keptFiles(), 1);
    for (const int day : {9, 11}) {
        Append(log, JoinCrLf(PageRecord("b.html", day)));
        if (day == 9) {
            QVERIFY(t.LoadWhole(log));
        } else {
            QSignalSpy finished(t.view, &CQuorlet3View::BackgroundReadFinished);
            t.view->ReloadLog();
            QVERIFY(finished.wait(10000));
        }
        QVERIFY(t.doc.WholeLog()->notes.empty());
        QCOMPARE(texts(*t.doc.WholeLog()), texts(*RunWholeLogReports(log, {})));
    }
    QCOMPARE(keptFiles(), 1);
    for (QAction* action : t.frame.findChildren<QAction*>()) {
        if (action->text() == QStringLiteral("読み込んだ状態を忘れる(&K)")) {
            action->trigger();
        }
    }
    QCOMPARE(keptFiles(), 0);
    QVERIFY(t.errors.isEmpty());
}

// Figures for a big log named by QUORLET3_BIG_LOG (skipped without it): the time from
// the whole-load command to the first report on show, and the largest gap between two
// paints of the window meanwhile, with the reader at full speed.

// Figures for a big log named by QUORLET3_BIG_LOG (skipped without it): the whole load,
// then every report of the menu, each with its time from the command to its text on show,
// its size, and the largest gap between two paints of the window meanwhile.
void WindowFileTest::bigLogFigures() {
    const QByteArray big = qgetenv("QUORLET3_BIG_LOG");
    if (big.isEmpty()) {
        QSKIP("QUORLET3_BIG_LOG names no log");
    }
    WindowUnderTest t;
    t.frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t.frame));
    const PaintTimes paints(t.view->ResultBox()->viewport());
    qint64 started = paints.Now();
    QVERIFY(t.LoadWhole(big.toStdString()));
    qint64 ended = paints.Now();
    qint64 gapBegin = 0;
    qint64 gap = paints.LargestGap(started, ended, &gapBegin);
    qInfo("%s: %lld lines read in %lld ms (largest paint gap %lld ms from %lld ms on)", big.constData(),
          t.doc.WholeLog()->lines, ended - started, gap, gapBegin - started);
    for (const CliReport& report : kCliReports) {
        started = paints.Now();
        t.Run(report.id);
        QTest::qWait(50);  // the text painted
        ended = paints.Now();
        gap = paints.LargestGap(started, ended, &gapBegin);
        qInfo("%-14s %9zu bytes in %5lld ms, largest paint gap %4lld ms from %5lld ms on",
              qPrintable(report.words.join(' ')), t.view->Result().size(), ended - started - 50, gap,
              gapBegin - started);
    }
    QVERIFY(t.errors.isEmpty());
}

// Figures for a big log that grows, named by QUORLET3_GROWING_LOG (skipped without it; the
// test appends to it, so it names a copy): the whole log is read and a report shown with
// 自動更新 on, then ten of its lines are appended again a few times, each time with the
// time from the append to the watch's notice, to the end of the quiet reload, and to the
// recomputed report on show.
void WindowFileTest::growingBigLogFigures() {
    const QByteArray big = qgetenv("QUORLET3_GROWING_LOG");
    if (big.isEmpty()) {
        QSKIP("QUORLET3_GROWING_LOG names no log");
    }
    const std::string log = big.toStdString();
    WindowUnderTest t;
    t.frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t.frame));
    t.chooser.m_answers.push_back(log);
    QSignalSpy loaded(t.view, &CQuorlet3View::BackgroundReadFinished);
    t.view->OnWholeLoad();
    QVERIFY(loaded.wait(900000));
    t.Run(32779);  // the main daily report
    t.view->SetAutoReload(true);
    std::string tenLines;
    {
        std::ifstream in(log, std::ios::binary);
        in.seekg(-4096, std::ios::end);
        const std::string tail{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        size_t at = tail.size() - 2;
        for (int n = 0; n < 10; ++n) {
            at = tail.rfind("\r\n", at - 1);
        }
        tenLines = tail.substr(at + 2);
    }
    QElapsedTimer clock;
    qint64 noticed = -1;
    qint64 read = -1;
    QObject::connect(t.view->Session().Watcher(), &CLogWatcher::Grew, t.view, [&] { noticed = clock.elapsed(); });
    QObject::connect(t.view, &CQuorlet3View::BackgroundReadFinished, t.view, [&] { read = clock.elapsed(); });
    for (int round = 0; round < 5; ++round) {
        QSignalSpy shown(t.view, &CQuorlet3View::ResultChanged);
        clock.start();
        Append(log, tenLines);
        QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty(), 60000);
        qInfo("10 lines appended to %lld lines: noticed after %lld ms, read by %lld ms, on show at %lld ms",
              t.doc.WholeLog()->lines, noticed, read, clock.elapsed());
        QTest::qWait(300);
    }
    QVERIFY(t.errors.isEmpty());
}

void WindowFileTest::progressBarShowsTheShareOnceTheTotalIsKnown() {
    QWidget owner;
    std::atomic<bool> reported{false};
    std::atomic<bool> release{false};
    CBackgroundRead read(&owner, QStringLiteral("読み込み"), {},
                         [&](const PartReadOptions& options, const std::atomic<bool>&) {
                             // Several polls pass before the reader knows the file's size.
                             std::this_thread::sleep_for(std::chrono::milliseconds(300));
                             options.progress(250, 1000);
                             reported = true;
                             while (!release) {
                                 std::this_thread::sleep_for(std::chrono::milliseconds(5));
                             }
                         });
    const auto releaseOnFailure = qScopeGuard([&release] { release = true; });  // before read waits for it
    QSignalSpy finished(&read, &CBackgroundRead::Finished);
    read.Start();
    QTest::qWait(150);
    QCOMPARE(read.ProgressDialog()->maximum(), 1000);  // not a busy bar while nothing is known
    QTRY_VERIFY(reported);
    QTRY_COMPARE(read.ProgressDialog()->value(), 250);
    QCOMPARE(read.ProgressDialog()->maximum(), 1000);
    release = true;
    QTRY_COMPARE(finished.count(), 1);
}

void WindowFileTest::dateWindowDialogIsBoundedByTheLogsDates() {
    TempDir dir;
    const std::string log = dir.WriteLines("dated.log", Concat({PlainLines(3),
                                                                PageRecord("a.html", 3),
                                                                MainRecord(1),
                                                                PageRecord("b.html", 27),
                                                                {Cp932("⑥c.html"), Cp932("⑦")}}));
    WindowUnderTest t;
    // With no log on show, the command asks for one first; the dialog then opens over the
    // main window, its dates bounded by the log's first and last and opening on them.
    t.chooser.m_answers.push_back(log);
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<CDateWindowDlg*>(QApplication::activeModalWidget());
        QVERIFY(dlg != nullptr);
        seen = true;
        const auto closeOnFailure = qScopeGuard([dlg] { dlg->reject(); });  // a failed check ends the run
        QCOMPARE(dlg->parentWidget(), static_cast<QWidget*>(&t.frame));
        QCOMPARE(dlg->font().family(), DialogFont().family());
        for (QDateEdit* edit : {dlg->SinceEdit(), dlg->UntilEdit()}) {
            QVERIFY(edit->calendarPopup());
            QCOMPARE(edit->minimumDate(), QDate(1998, 7, 3));
            QCOMPARE(edit->maximumDate(), QDate(1998, 7, 27));
        }
        QCOMPARE(dlg->SinceEdit()->date(), QDate(1998, 7, 3));
        QCOMPARE(dlg->UntilEdit()->date(), QDate(1998, 7, 27));
        QVERIFY(dlg->FirstLinesButton()->isChecked());
        // Each date box has its label at its left, the extent follows below them and the
        // buttons last, OK before cancel; every control reads whole.
        QList<QWidget*> controls;
        for (QDateEdit* edit : {dlg->SinceEdit(), dlg->UntilEdit()}) {
            const QList<QLabel*> labels = dlg->findChildren<QLabel*>();
            const auto label =
                std::find_if(labels.begin(), labels.end(), [edit](QLabel* l) { return l->buddy() == edit; });
            QVERIFY(label != labels.end());
            QVERIFY((*label)->geometry().right() < edit->x());
            controls << *label << edit;
        }
        QCOMPARE(qobject_cast<QLabel*>(controls[0])->text(), QStringLiteral("開始日(&S)："));
        QCOMPARE(qobject_cast<QLabel*>(controls[2])->text(), QStringLiteral("終了日(&E)："));
        controls << dlg->FirstLinesButton() << dlg->WholeButton() << dlg->OkButton() << dlg->CancelButton();
        const QString unreadable = ControlsUnreadable(*dlg, controls);
        QVERIFY2(unreadable.isEmpty(), qPrintable(unreadable));
        for (qsizetype k = 0; k + 1 < controls.size(); ++k) {  // rows top to bottom, each left to right
            const QRect before(controls[k]->mapTo(dlg, QPoint(0, 0)), controls[k]->size());
            const QRect after(controls[k + 1]->mapTo(dlg, QPoint(0, 0)), controls[k + 1]->size());
            const bool sameRow = before.top() <= after.bottom() && after.top() <= before.bottom();
            QVERIFY2(sameRow ? before.right() < after.left() : before.bottom() < after.top(),
                     qPrintable(QString::number(k)));
        }
        QCOMPARE(dlg->OkButton()->text(), QStringLiteral("OK"));
        QCOMPARE(dlg->CancelButton()->text(), QStringLiteral("キャンセル"));
        QVERIFY(dlg->OkButton()->isDefault());
        // Typing a date never moves the other one; a start after the end is refused at
        // OK with a message, and the dialog stays.
        QStringList warnings;
        dlg->SetWarning([&warnings](const QString& text) { warnings << text; });
        dlg->UntilEdit()->setDate(QDate(1998, 7, 10));
        dlg->SinceEdit()->setFocus();
        dlg->SinceEdit()->setSelectedSection(QDateTimeEdit::YearSection);
        QTest::keyClicks(dlg->SinceEdit(), QStringLiteral("19980720"));
        QCOMPARE(dlg->SinceEdit()->date(), QDate(1998, 7, 20));
        QCOMPARE(dlg->UntilEdit()->date(), QDate(1998, 7, 10));
        dlg->OkButton()->click();
        QCOMPARE(warnings.size(), 1);
        QVERIFY(dlg->isVisible());
        // F4 and Alt+Down open a box's calendar from the keyboard.
        for (const auto& [edit, key, modifiers] :
             {std::tuple{dlg->SinceEdit(), Qt::Key_F4, Qt::KeyboardModifiers()},
              std::tuple{dlg->UntilEdit(), Qt::Key_Down, Qt::KeyboardModifiers(Qt::AltModifier)}}) {
            QTest::keyClick(edit, key, modifiers);
            QWidget* popup = edit->calendarWidget()->window();
            QVERIFY(popup->isVisible());
            QCOMPARE(edit->calendarWidget()->selectedDate(), edit->date());
            popup->hide();
        }
        dlg->CancelButton()->click();
    });
    t.frame.DateWindowLoadAction()->trigger();
    QVERIFY(seen);
    QVERIFY(t.view->Session().LoadedPath().empty());  // cancelled: nothing was loaded
    QVERIFY(t.errors.isEmpty());
}

void WindowFileTest::dateWindowLoadEqualsTheCommandLine_data() {
    QTest::addColumn<bool>("whole");
    QTest::newRow("first 10000 lines") << false;
    QTest::newRow("whole window") << true;
}

void WindowFileTest::dateWindowLoadEqualsTheCommandLine() {
    QFETCH(bool, whole);
    TempDir dir;
    // The generated log runs from 1998-07-01 for about a year; the window holds more than
    // 10000 lines, neither at its start nor at its end.
    const QString log = QString::fromStdString(GeneratedLog(dir, "window.log", 40000, 9));
    const DateWindowChoice choice{{1998, 8, 30}, {1999, 1, 17}, whole};
    QStringList window{"--since", "1998-08-30", "--until", "1999-01-17"};
    if (whole) {
        window << "--whole";
    }
    WindowUnderTest t;
    t.Load(log.toStdString());
    t.view->m_chooseDateWindow = [&choice](const DateSpan&) { return std::optional(choice); };
    QSignalSpy finished(t.view, &CQuorlet3View::BackgroundReadFinished);
    t.frame.DateWindowLoadAction()->trigger();
    QVERIFY(!whole || finished.wait(60000));
    QVERIFY(t.errors.isEmpty());
    QCOMPARE(t.chooser.m_calls, 1);  // the log on show was taken, none asked for
    QCOMPARE(t.view->FileNameBox()->text(), log);
    const qint64 lines =
        QJsonDocument::fromJson(QByteArray::fromStdString(RunCli(QStringList(window) << "--format"
                                                                                     << "json" << log << "all")))
            .object()
            .value("lines")
            .toInteger();
    QVERIFY(whole ? lines > 10000 : lines == 10000);
    QCOMPARE(t.frame.windowTitle(), MainCaption() + QStringLiteral(" － 期間 1998-08-30～1999-01-17 ") +
                                        (whole ? QStringLiteral("全体 %1 行").arg(QLocale().toString(lines))
                                               : QStringLiteral("最初の 10,000 行")));

    // Opened again, the dialog shows the window loaded and its extent.
    const std::optional<DateSpan> span = FindLogDateSpan(log.toStdString());
    QVERIFY(span);
    CDateWindowDlg again(&t.frame);
    again.SetSpan(*span);
    again.SetChoice(t.view->Session().DateWindowToOffer(*span));
    QCOMPARE(IsoDate(again.Choice().since), IsoDate(choice.since));
    QCOMPARE(IsoDate(again.Choice().until), IsoDate(choice.until));
    QCOMPARE(again.Choice().whole, whole);

    // Every report equals the command line's over the window, the check's file line
    // numbers included; the listing shows the window's first lines.
    for (const CliReport& report : kCliReports) {
        t.Run(report.id);
        QVERIFY2(t.view->Result() == RunCli(QStringList(window) << "--raw" << log << report.words),
                 qPrintable(report.words.join(' ')));
    }
    t.Run(kIdViewContents);
    QCOMPARE(t.view->Result(),
             (whole ? WholeLogListingNote(lines, QStringLiteral("期間 1998-08-30～1999-01-17 全体")) : std::string()) +
                 RunCli({"--since", "1998-08-30", "--until", "1999-01-17", "--raw", log, "contents"}));

    // A reload (of a growing log) reads the same window again; a usual load, the first lines.
    t.view->ReloadLog();
    QVERIFY(!whole || finished.wait(60000));
    t.Run(32772);
    QCOMPARE(t.view->Result(), RunCli(QStringList(window) << "--raw" << log << "check"));
    t.Load(log.toStdString());
    QVERIFY(!t.view->Session().LoadedDateWindow());
    QCOMPARE(t.frame.windowTitle(), MainCaption());
}

void WindowFileTest::cancelledDateWindowKeepsTheOldLog() {
    TempDir dir;
    WindowUnderTest t;
    t.Load(GeneratedLog(dir, "cancel.log", 30000, 6));
    t.Run(32778);
    const std::string report = t.view->Result();
    std::optional<DateWindowChoice> answer;  // first the dialog is cancelled
    t.view->m_chooseDateWindow = [&answer](const DateSpan&) { return answer; };
    t.frame.DateWindowLoadAction()->trigger();
    QVERIFY(!t.view->Busy());

    // Then a whole window is cancelled while a slow reader reads it.
    answer = DateWindowChoice{{1998, 7, 1}, {1999, 7, 1}, true};
    std::atomic<int> parts{0};
    t.view->Session().m_wholeReadOptions.jobs = 1;
    t.view->Session().m_wholeReadOptions.partBytes = 4096;
    t.view->Session().m_wholeReadOptions.progress = [&parts](long long, long long) {
        ++parts;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    };
    QSignalSpy finished(t.view, &CQuorlet3View::BackgroundReadFinished);
    t.frame.DateWindowLoadAction()->trigger();
    QTRY_VERIFY(parts > 3);
    t.view->Session().BackgroundRead()->ProgressDialog()->findChild<QPushButton*>()->click();
    QVERIFY(finished.wait(10000));
    QVERIFY(parts < 100);
    QVERIFY(t.doc.WholeLog() == nullptr && !t.view->Session().LoadedDateWindow());
    QCOMPARE(t.view->Result(), report);
    QCOMPARE(t.frame.windowTitle(), MainCaption());
    t.Run(32778);
    QCOMPARE(t.view->Result(), report);
    QVERIFY(t.errors.isEmpty());
}

void WindowFileTest::logWithoutDatesSaysSo() {
    TempDir dir;
    const std::string log = dir.WriteLines("undated.log", Concat({PlainLines(30), {Cp932("⑥a.html"), Cp932("⑦")}}));
    WindowUnderTest t;
    t.Load(log);
    t.Run(32772);
    const std::string report = t.view->Result();
    int asked = 0;
    t.view->m_chooseDateWindow = [&asked](const DateSpan&) {
        ++asked;
        return std::optional<DateWindowChoice>();
    };
    t.frame.DateWindowLoadAction()->trigger();
    QCOMPARE(asked, 0);
    QCOMPARE(t.errors, QStringList{QStringLiteral("ファイル %1 には日付の読める行がありません。\n"
                                                  "期間を指定して読み込むことはできません。")
                                       .arg(PathToQString(log))});
    QCOMPARE(t.view->Result(), report);
}

void WindowFileTest::emptyDateWindowSaysSoInTheCaption_data() {
    QTest::addColumn<bool>("whole");
    QTest::newRow("first 10000 lines") << false;
    QTest::newRow("whole window") << true;
}

void WindowFileTest::emptyDateWindowSaysSoInTheCaption() {
    QFETCH(bool, whole);
    TempDir dir;
    const std::string log = dir.WriteLines("gap.log", Concat({PageRecord("a.html", 3), PageRecord("b.html", 27)}));
    WindowUnderTest t;
    t.Load(log);
    t.view->m_chooseDateWindow = [whole](const DateSpan&) {
        return std::optional(DateWindowChoice{{1998, 7, 10}, {1998, 7, 20}, whole});
    };
    QSignalSpy finished(t.view, &CQuorlet3View::BackgroundReadFinished);
    t.frame.DateWindowLoadAction()->trigger();
    QVERIFY(!whole || finished.wait(10000));
    QCOMPARE(t.frame.windowTitle(),
             MainCaption() + QStringLiteral(" － 期間 1998-07-10～1998-07-20 に記録はありません"));
    t.Run(32778);  // the report is still shown, every count 0
    QVERIFY(t.view->Result().starts_with(Cp932("メイン調査(アクセス回数)\t0 回")));
    QVERIFY(t.errors.isEmpty());
}

QTEST_MAIN(WindowFileTest)
#include "WindowFileTest.moc"
