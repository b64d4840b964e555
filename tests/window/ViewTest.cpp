// The form view: its boxes, its layout, and the handlers of the menu commands.
#include <sys/stat.h>

#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QtTest>

#include "encoding/Cp932Literal.h"
#include "reports/CommandTable.h"
#include "tests/support/GuiSupport.h"
#include "window/FileErrorText.h"
#include "window/QtText.h"
#include "window/Quorlet3View.h"

using namespace quorlet3;
using namespace quorlet3::test;

namespace {

const QString kInitialSentence = QStringLiteral("まず、対象ファイルを指定してください。");

constexpr int kSpecifyFile = 32771;
constexpr int kCheckFile = 32772;
constexpr int kViewContents = 32773;
constexpr int kMainHour = 32778;
constexpr int kPageHour = 32780;
constexpr int kShare = 32783;
constexpr int kPageDays = 32787;

// A view on its own document, with every dialog replaced by a recorder.
struct ViewUnderTest {
    CQuorlet3Doc doc;
    FakeChooser chooser;
    FakeQuestions questions;
    CQuorlet3View view{doc};
    QStringList errors;
    std::vector<ShareCounters> shareDialogs;
    QString resultWhenShareDialogOpened;
    bool waitCursorWhenAsked = false;
    bool waitCursorInShareDialog = false;
    std::vector<PageNameList> pickerLists;
    std::optional<int> pickerAnswer;

    ViewUnderTest() {
        chooser.m_whenAsked = [this] { waitCursorWhenAsked = WaitCursorOn(); };
        doc.SetFileChooser(&chooser);
        doc.SetQuestionBox(&questions);
        view.m_reportError = [this](const QString& text) { errors.append(text); };
        view.m_runShareDialog = [this](const ShareCounters& counters) {
            shareDialogs.push_back(counters);
            resultWhenShareDialogOpened = ResultText();
            waitCursorInShareDialog = WaitCursorOn();
        };
        view.m_choosePage = [this](const PageNameList& pages) {
            pickerLists.push_back(pages);
            return pickerAnswer;
        };
    }

    // Chooses and loads the file through the menu command.
    void Load(const std::string& path) {
        chooser.m_answers.push_back(path);
        RunMenuCommand(view, kSpecifyFile);
    }
    QString ResultText() const { return view.ResultBox()->toPlainText(); }
    QString FileNameText() const { return view.FileNameBox()->text(); }
};

// The result box's text as the report shows in it: each CR LF ends a line of the box.
QString Shown(const std::string& reportCp932) {
    return Cp932ToQString(reportCp932).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

class ViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initialBoxes();
    void sizeLaysOutTheBoxes_data();
    void sizeLaysOutTheBoxes();
    void sizeSkipsAMissingControl();
    void checkBeforeAnyLoad();
    void choosingAFileShowsItsPathAndClearsTheReport();
    void cancelledChoiceKeepsPathAndReport();
    void failedLoadKeepsEverythingAndReportsTheFile();
    void waitCursorDuringCommandsAndAfterErrors();
    void typedTextIsReplacedByTheNextReport();
    void sameTextDifferentMarkers();
    void everyReportRowShowsItsText();
    void reportTextIsDecodedForDisplay();
    void contentsQuestions_data();
    void contentsQuestions();
    void declinedContentsKeepsTheBoxes();
    void shareDialogOnlyWithCountedBrowsers();
    void pageDaysWithoutPages();
    void pageDaysChoice_data();
    void pageDaysChoice();
    void realDialogsRunModally();
    void droppedFiles_data();
    void droppedFiles();
    void fileErrorNamesTheCause_data();
    void fileErrorNamesTheCause();
};

void ViewTest::initialBoxes() {
    ViewUnderTest t;
    QCOMPARE(t.FileNameText(), kInitialSentence);
    QCOMPARE(t.ResultText(), QString());
    QVERIFY(t.view.Result().empty());

    QPlainTextEdit* result = t.view.ResultBox();
    QVERIFY(!result->isReadOnly());
    QCOMPARE(result->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(result->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(result->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(t.view.FileNameBox()->isReadOnly());
    QVERIFY(!t.view.FileNameBox()->hasFrame());
}

void ViewTest::sizeLaysOutTheBoxes_data() {
    QTest::addColumn<QSize>("client");
    QTest::newRow("default window") << QSize(800, 581);
    QTest::newRow("600x400") << QSize(600, 400);
    QTest::newRow("template size") << QSize(414, 256);
    QTest::newRow("small") << QSize(200, 120);
}

// What the user sees at any size: the label and the file name side by side in a band at
// the top, the result box below them from edge to edge down to the bottom, nothing
// overlapping, the label's text whole.
void ViewTest::sizeLaysOutTheBoxes() {
    QFETCH(QSize, client);
    ViewUnderTest t;
    t.view.resize(client);
    t.view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t.view));
    auto* label = t.view.findChild<QLabel*>();
    QVERIFY(label != nullptr);
    const QRect form = t.view.rect();
    const QRect labelRect = label->geometry();
    const QRect name = t.view.FileNameBox()->geometry();
    const QRect result = t.view.ResultBox()->geometry();
    for (QWidget* control : {static_cast<QWidget*>(label), static_cast<QWidget*>(t.view.FileNameBox()),
                             static_cast<QWidget*>(t.view.ResultBox())}) {
        QVERIFY(control->isVisible());
        QVERIFY2(form.contains(control->geometry()), control->metaObject()->className());
    }
    QVERIFY(!labelRect.intersects(name) && labelRect.right() < name.left());
    QVERIFY(labelRect.bottom() < result.top() && name.bottom() < result.top());
    QCOMPARE(result.left(), 0);
    QCOMPARE(result.width(), form.width());
    QCOMPARE(result.bottom(), form.bottom());
    QVERIFY(name.right() < form.right());  // a margin on the right as on the left
    QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= labelRect.width());
    QVERIFY(t.view.FileNameBox()->fontMetrics().height() <= name.height());

    // Growing the window gives the result box all the room; the band stays where it was.
    t.view.resize(client + QSize(100, 80));
    QCOMPARE(label->geometry(), labelRect);
    QCOMPARE(t.view.FileNameBox()->geometry(), name.adjusted(0, 0, 100, 0));
    QCOMPARE(t.view.ResultBox()->geometry(), result.adjusted(0, 0, 100, 80));
}

void ViewTest::sizeSkipsAMissingControl() {
    ViewUnderTest t;
    delete t.view.FileNameBox();
    QCOMPARE(t.view.FileNameBox(), nullptr);
    t.view.resize(600, 400);
    t.view.show();
    const QRect result = t.view.ResultBox()->geometry();
    QVERIFY(t.view.ResultBox()->isVisible());
    QCOMPARE(result.width(), 600);
    QCOMPARE(result.bottom(), t.view.rect().bottom());
    QVERIFY(t.view.findChild<QLabel*>()->geometry().bottom() < result.top());
}

void ViewTest::checkBeforeAnyLoad() {
    ViewUnderTest t;
    const QString expected = Shown(ReportOf(CQuorlet3Doc(), kCheckFile));
    QVERIFY(!expected.isEmpty());
    RunMenuCommand(t.view, kCheckFile);
    QCOMPARE(t.ResultText(), expected);
    QCOMPARE(t.FileNameText(), kInitialSentence);
    QVERIFY(t.errors.isEmpty());
}

void ViewTest::choosingAFileShowsItsPathAndClearsTheReport() {
    ViewUnderTest t;
    TempDir folder;
    const std::string first = folder.WriteLines("first.log", MainRecord(1, 5));
    const std::string second = folder.WriteLines("second.log", MainRecord(2, 6));
    t.Load(first);
    QCOMPARE(t.FileNameText(), PathToQString(first));
    RunMenuCommand(t.view, kMainHour);
    QVERIFY(!t.ResultText().isEmpty());

    t.Load(second);
    QCOMPARE(t.FileNameText(), PathToQString(second));
    QCOMPARE(t.ResultText(), QString());
    QVERIFY(t.view.Result().empty());
    QCOMPARE(t.doc.Store()[0], MainRecord(2, 6)[0]);
}

void ViewTest::cancelledChoiceKeepsPathAndReport() {
    ViewUnderTest t;
    TempDir folder;
    const std::string path = folder.WriteLines("kept.log", MainRecord(7, 9));
    t.Load(path);
    RunMenuCommand(t.view, kMainHour);
    const QString report = t.ResultText();

    t.chooser.m_answers.push_back(std::nullopt);
    RunMenuCommand(t.view, kSpecifyFile);
    QCOMPARE(t.chooser.m_calls, 2);
    QCOMPARE(t.FileNameText(), PathToQString(path));
    QCOMPARE(t.ResultText(), report);
    QCOMPARE(t.doc.Store()[0], MainRecord(7, 9)[0]);
    QVERIFY(t.errors.isEmpty());
}

void ViewTest::failedLoadKeepsEverythingAndReportsTheFile() {
    ViewUnderTest t;
    TempDir folder;
    const std::string good = folder.WriteLines("good.log", MainRecord(3, 4));
    t.Load(good);
    RunMenuCommand(t.view, kMainHour);
    const QString report = t.ResultText();

    const std::string missing = folder.PathOf("missing.log");
    t.Load(missing);
    QCOMPARE(t.errors.size(), 1);
    QVERIFY2(t.errors[0].contains(PathToQString(missing)), qPrintable(t.errors[0]));
    QCOMPARE(t.FileNameText(), PathToQString(good));
    QCOMPARE(t.ResultText(), report);
    QCOMPARE(t.view.FileNameBox()->text(), t.view.FileName());
    // The store still holds the good log, so its reports go on working.
    RunMenuCommand(t.view, kMainHour);
    QCOMPARE(t.ResultText(), report);

    // A folder is no log either.
    t.Load(QFile::encodeName(QFileInfo(QString::fromStdString(good)).absolutePath()).toStdString());
    QCOMPARE(t.errors.size(), 2);
    QCOMPARE(t.FileNameText(), PathToQString(good));
}

void ViewTest::waitCursorDuringCommandsAndAfterErrors() {
    ViewUnderTest t;
    TempDir folder;
    QVERIFY(!WaitCursorOn());
    t.Load(folder.PathOf("absent.log"));
    QVERIFY(t.waitCursorWhenAsked);
    QCOMPARE(t.errors.size(), 1);
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    t.Load(folder.WriteLines("share.log", MainRecord(1, 1)));
    RunMenuCommand(t.view, kShare);
    QCOMPARE(t.shareDialogs.size(), size_t(1));
    QVERIFY(t.waitCursorInShareDialog);
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    // An error of any other kind also ends the cursor before it is reported.
    t.view.m_choosePage = [](const PageNameList&) -> std::optional<int> { throw std::runtime_error("picker broke"); };
    t.Load(folder.WriteLines("pages.log", PageRecord("a.html", 3, 4)));
    RunMenuCommand(t.view, kPageDays);
    QCOMPARE(t.errors.size(), 2);
    QVERIFY(t.errors[1].contains(QStringLiteral("picker broke")));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void ViewTest::typedTextIsReplacedByTheNextReport() {
    ViewUnderTest t;
    RunMenuCommand(t.view, kMainHour);
    const QString report = t.ResultText();

    // A cancelled choice transfers nothing, so typed text stays...
    t.view.ResultBox()->setPlainText(QStringLiteral("typed by the user"));
    t.chooser.m_answers.push_back(std::nullopt);
    RunMenuCommand(t.view, kSpecifyFile);
    QCOMPARE(t.ResultText(), QStringLiteral("typed by the user"));
    // ...and is never read back: the next report replaces it.
    RunMenuCommand(t.view, kMainHour);
    QCOMPARE(t.ResultText(), report);
}

void ViewTest::sameTextDifferentMarkers() {
    ViewUnderTest t;
    TempDir folder;
    t.Load(folder.WriteLines("mixed.log",
                             Concat({MainRecord(1, 5), PageRecord("a.html", 1, 7), PageRecord("b.html", 2, 7)})));
    RunMenuCommand(t.view, kMainHour);
    QVERIFY2(t.ResultText().contains(QStringLiteral("\n5時\t1\t*\n")), qPrintable(t.ResultText()));
    QVERIFY(t.ResultText().contains(QStringLiteral("\n7時\t0\t\n")));
    RunMenuCommand(t.view, kPageHour);
    QVERIFY2(t.ResultText().contains(QStringLiteral("\n7時\t2\t**\n")), qPrintable(t.ResultText()));
    QVERIFY(t.ResultText().contains(QStringLiteral("\n5時\t0\t\n")));
}

void ViewTest::everyReportRowShowsItsText() {
    // Each menu item of a report that needs no page shows exactly its report's text, over
    // a log in which each of these reports differs from every other.
    ViewUnderTest t;
    TempDir folder;
    t.Load(folder.WriteLines(
        "all.log", Concat({MainRecord(10, 3), MainRecord(11, 8, "Mozilla/4.0 [ja] (Win95; I)"),
                           PageRecord("b.html", 4, 8), PageRecord("a.html", 9, 8), PageRecord("b.html", 4, 8)})));
    QStringList shown;
    for (const MenuRow& row : MenuTable()) {
        const CommandRow* report = ReportOfItem(row);
        if (report == nullptr || TakesPage(*report)) {
            continue;
        }
        t.view.ResultBox()->clear();
        RunMenuCommand(t.view, row.id);
        QCOMPARE(t.ResultText(), Shown(ReportText(*report, t.doc.Store())));
        QVERIFY2(!shown.contains(t.ResultText()), report->cliName);
        shown << t.ResultText();
    }
    QVERIFY(shown.size() >= 25);
    QVERIFY(t.errors.isEmpty());
}

void ViewTest::reportTextIsDecodedForDisplay() {
    ViewUnderTest t;
    // Lines end at CR LF only: a lone CR (a log converted twice) stays inside its line.
    t.view.SetResult(Cp932("表示\t1\r\n") + "\x82" + "\r\nA\xff" + "\r\r\nB\rC\r\n");
    QCOMPARE(t.ResultText(), QStringLiteral("表示\t1\n\uFFFD\nA\uFFFD\u240D\nB\u240DC\n"));
    QCOMPARE(t.view.ResultBox()->document()->blockCount(), 5);
    // The member keeps the report's own bytes.
    QCOMPARE(t.view.Result().substr(0, 4), Cp932("表示"));
}

void ViewTest::contentsQuestions_data() {
    QTest::addColumn<int>("lines");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("stopIcon");
    QTest::newRow("999: no question") << 999 << false << false;
    QTest::newRow("1000: a few seconds") << 1000 << true << false;
    QTest::newRow("3999: a few seconds") << 3999 << true << false;
    QTest::newRow("4000: very long") << 4000 << true << true;
}

void ViewTest::contentsQuestions() {
    QFETCH(int, lines);
    QFETCH(bool, asked);
    QFETCH(bool, stopIcon);
    ViewUnderTest t;
    TempDir folder;
    t.Load(folder.WriteLines("long.log", PlainLines(lines)));
    RunMenuCommand(t.view, kViewContents);
    QCOMPARE(t.questions.m_asked.size(), asked ? size_t(1) : size_t(0));
    if (asked) {
        const QString count = QString::number(lines);
        const FakeQuestions::Question& question = t.questions.m_asked.back();
        if (stopIcon) {
            QCOMPARE(Cp932ToQString(question.text),
                     QStringLiteral("これらのログは、%1 行もあります。\n表示には非常に時間がかかり、"
                                    "表示できない可能性もあります。\n表示しますか？")
                         .arg(count));
            QCOMPARE(question.icon, QuestionIcon::Stop);
            QCOMPARE(question.defaultButton, DefaultButton::Cancel);
        } else {
            QCOMPARE(Cp932ToQString(question.text),
                     QStringLiteral("これらのログは、%1 行あります。\n表示に数秒～数十秒かかりますが表示しますか？")
                         .arg(count));
            QCOMPARE(question.icon, QuestionIcon::Default);
            QCOMPARE(question.defaultButton, DefaultButton::Ok);
        }
    }
    // Lines outside records list as nothing; the answer OK lets the listing through.
    QCOMPARE(t.ResultText(), QString());
    QVERIFY(t.errors.isEmpty());
}

void ViewTest::declinedContentsKeepsTheBoxes() {
    ViewUnderTest t;
    // Before any load the store has no end mark, so the listing counts 10000 lines.
    RunMenuCommand(t.view, kCheckFile);
    const QString report = t.ResultText();
    t.questions.m_answer = false;
    RunMenuCommand(t.view, kViewContents);
    QCOMPARE(t.questions.m_asked.size(), size_t(1));
    QVERIFY(Cp932ToQString(t.questions.m_asked[0].text).contains(QStringLiteral("10000 行もあります")));
    QCOMPARE(t.ResultText(), report);
    QCOMPARE(t.FileNameText(), kInitialSentence);

    // Agreed, the empty listing empties the box.
    t.questions.m_answer = true;
    RunMenuCommand(t.view, kViewContents);
    QCOMPARE(t.ResultText(), QString());
}

void ViewTest::shareDialogOnlyWithCountedBrowsers() {
    ViewUnderTest t;
    RunMenuCommand(t.view, kShare);
    QVERIFY(t.shareDialogs.empty());
    ShareCounters none{};
    QCOMPARE(t.ResultText(), Shown(ShareReportOf(t.doc, none)));

    TempDir folder;
    t.Load(folder.WriteLines("browsers.log",
                             Concat({MainRecord(1, 1, "Mozilla/4.0 (compatible; MSIE 4.01; Windows 95)"),
                                     MainRecord(2, 2, "Mozilla/3.01 [ja] (Win95; I)"),
                                     MainRecord(3, 3, "Mozilla/4.0 (compatible; MSIE 4.0; Windows NT)")})));
    RunMenuCommand(t.view, kShare);
    QCOMPARE(t.shareDialogs.size(), size_t(1));
    ShareCounters expected{};
    const std::string text = ShareReportOf(t.doc, expected);
    QCOMPARE(t.shareDialogs[0], expected);
    QCOMPARE(t.shareDialogs[0][7], 3);
    // The text was in the box before the dialog opened.
    QCOMPARE(t.resultWhenShareDialogOpened, Shown(text));
}

void ViewTest::pageDaysWithoutPages() {
    ViewUnderTest t;
    RunMenuCommand(t.view, kPageDays);
    QVERIFY(t.pickerLists.empty());
    QCOMPARE(t.ResultText(), QStringLiteral("ページデータがありません。"));
    QCOMPARE(t.view.Result(), Cp932("ページデータがありません。"));
}

void ViewTest::pageDaysChoice_data() {
    QTest::addColumn<std::optional<int>>("answer");
    QTest::addColumn<QString>("shownPage");  // empty: the box keeps its text
    QTest::newRow("first page") << std::optional<int>(0) << QStringLiteral("a.html");
    QTest::newRow("second page") << std::optional<int>(1) << QStringLiteral("日記.html");
    QTest::newRow("cancel") << std::optional<int>() << QString();
    QTest::newRow("index out of range") << std::optional<int>(kPageNameSlots) << QString();
    QTest::newRow("negative index") << std::optional<int>(-5) << QString();
}

void ViewTest::pageDaysChoice() {
    QFETCH(std::optional<int>, answer);
    QFETCH(QString, shownPage);
    ViewUnderTest t;
    TempDir folder;
    t.Load(folder.WriteLines("pages.log", Concat({PageRecord("日記.html"_sj, 7, 1), PageRecord("a.html", 7, 2),
                                                  PageRecord("日記.html"_sj, 12, 3)})));
    t.view.ResultBox()->setPlainText(QStringLiteral("before"));
    t.pickerAnswer = answer;
    RunMenuCommand(t.view, kPageDays);
    QCOMPARE(t.pickerLists.size(), size_t(1));
    QCOMPARE(t.pickerLists[0][0], std::string("a.html"));
    QCOMPARE(t.pickerLists[0][1], Cp932("日記.html"));
    QVERIFY(t.pickerLists[0][2].empty());
    if (shownPage.isEmpty()) {
        QCOMPARE(t.ResultText(), QStringLiteral("before"));
    } else {
        const std::string page = Cp932(shownPage.toStdString());
        QCOMPARE(t.ResultText(), Shown(ReportOf(t.doc, kPageDays, page)));
        QVERIFY(t.ResultText().startsWith(QStringLiteral("ページ別アクセス日調査\t%1\t").arg(shownPage)));
    }
}

void ViewTest::realDialogsRunModally() {
    // The view's own dialogs, closed as soon as they run.
    CQuorlet3Doc doc;
    FakeChooser chooser;
    doc.SetFileChooser(&chooser);
    CQuorlet3View view(doc);
    TempDir folder;
    chooser.m_answers.push_back(folder.WriteLines(
        "both.log",
        Concat({MainRecord(1, 1, "Mozilla/4.0 (compatible; MSIE 4.0; Windows 98)"), PageRecord("a.html", 2, 3)})));
    RunMenuCommand(view, kSpecifyFile);

    QString caption;
    CloseNextModal(&caption);
    RunMenuCommand(view, kShare);
    QCOMPARE(caption, QStringLiteral("シェア調査"));

    view.ResultBox()->setPlainText(QStringLiteral("before"));
    caption.clear();
    CloseNextModal(&caption);
    RunMenuCommand(view, kPageDays);
    QVERIFY(!caption.isEmpty());
    QCOMPARE(view.ResultBox()->toPlainText(), QStringLiteral("before"));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

// The name ログ.log as Windows writes it: cp932 bytes, not UTF-8.
const std::string kCp932Name = "\x83\x8D\x83\x4F.log";

void ViewTest::droppedFiles_data() {
    QTest::addColumn<QStringList>("dropped");  // names in the folder, "*" for the folder itself
    QTest::addColumn<bool>("loads");
    QTest::addColumn<bool>("fails");
    QTest::newRow("one log") << QStringList{"new.log"} << true << false;
    QTest::newRow("cp932 name") << QStringList{"cp932"} << true << false;
    QTest::newRow("missing file") << QStringList{"missing.log"} << false << true;
    QTest::newRow("two files") << QStringList{"new.log", "old.log"} << false << false;
    QTest::newRow("a folder") << QStringList{"*"} << false << false;
}

void ViewTest::droppedFiles() {
    QFETCH(QStringList, dropped);
    QFETCH(bool, loads);
    QFETCH(bool, fails);
    ViewUnderTest t;
    TempDir folder;
    const std::string old = folder.WriteLines("old.log", MainRecord(1, 5));
    folder.WriteLines("new.log", MainRecord(2, 6));
    folder.WriteLines(kCp932Name, {MainRecord(2, 6)[0]});
    t.Load(old);
    RunMenuCommand(t.view, kMainHour);
    const QString report = t.ResultText();

    QList<QUrl> urls;
    std::string expected;
    for (const QString& name : dropped) {
        expected = name == "cp932" ? folder.PathOf(kCp932Name)
                   : name == "*"   ? folder.Path()
                                   : folder.PathOf(name.toStdString());
        urls << QUrl::fromEncoded("file://" + QByteArray::fromStdString(expected).toPercentEncoding("/"));
    }
    QMimeData mime;
    mime.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&t.view, &enter);
    QCOMPARE(enter.isAccepted(), loads || fails);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&t.view, &drop);

    QCOMPARE(t.errors.size(), fails ? 1 : 0);
    if (loads) {
        // A cp932 name is marked as such.
        QCOMPARE(t.FileNameText(), PathToMarkedQString(expected));
        QCOMPARE(t.ResultText(), QString());
        QCOMPARE(t.doc.Store()[0], MainRecord(2, 6)[0]);
    } else {
        QCOMPARE(t.FileNameText(), PathToQString(old));
        QCOMPARE(t.ResultText(), report);
        QCOMPARE(t.doc.Store()[0], MainRecord(1, 5)[0]);
    }
    if (dropped.front() == "cp932") {
        // Decoded as cp932, and marked as such.
        QVERIFY2(t.FileNameText().endsWith(QStringLiteral("/ログ.log　（Shift_JIS）")), qPrintable(t.FileNameText()));
    }
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void ViewTest::fileErrorNamesTheCause_data() {
    QTest::addColumn<QString>("path");  // "~" stands for the test's folder
    QTest::addColumn<QString>("cause");
    QTest::newRow("not found") << "~/absent.log"
                               << "ファイルが見つかりません。";
    QTest::newRow("under a file") << "~/plain.log/x.log"
                                  << "ファイルが見つかりません。";
    QTest::newRow("a folder") << "~"
                              << "フォルダーなどで、通常のファイルではありません。";
    QTest::newRow("a pipe") << "~/pipe"
                            << "フォルダーなどで、通常のファイルではありません。";
    QTest::newRow("no read permission") << "~/secret.log"
                                        << "ファイルを読む権限がありません。";
    QTest::newRow("read error") << "/proc/self/mem"
                                << "読み込みの途中でエラーが起きました。";
}

void ViewTest::fileErrorNamesTheCause() {
    QFETCH(QString, path);
    QFETCH(QString, cause);
    ViewUnderTest t;
    TempDir folder;
    folder.WriteLines("plain.log", MainRecord(1, 5));
    QCOMPARE(::mkfifo(folder.PathOf("pipe").c_str(), 0600), 0);
    WriteUnreadableFile(folder, "secret.log", MainRecord(1, 5)[0]);
    const std::string file = path.replace(QLatin1Char('~'), PathToQString(folder.Path())).toStdString();
    {
        const WithoutFileOverride asAnOrdinaryUser;  // root must not read the unreadable file
        t.Load(file);
    }
    QCOMPARE(t.errors.size(), 1);
    QCOMPARE(t.errors[0], QStringLiteral("ファイル %1 を読み込めませんでした。\n%2").arg(PathToQString(file), cause));

    // Without words of its own for the cause, the second line is still Japanese and names
    // the system's error number instead of the system's English text.
    const QString other = FileErrorText(LogFileError(file, "cannot open: Bad message", LogFileCause::Other, 74));
    QCOMPARE(other.section(QLatin1Char('\n'), 1),
             QStringLiteral("システムのエラー（番号 74）で読み込めませんでした。"));
}

QTEST_MAIN(ViewTest)
#include "ViewTest.moc"
