// The application shell: start-up, the menu and accelerators, the version dialog, the
// profile's recent-file list, and the Qt dialogs the document asks through.
#include <QAction>
#include <QCommandLineParser>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QtTest>
#include <map>
#include <set>

#include "encoding/Cp932Literal.h"
#include "reports/CommandTable.h"
#include "tests/support/GuiSupport.h"
#include "window/AboutDlg.h"
#include "window/MainFrm.h"
#include "window/MenuTable.h"
#include "window/PageDayDlg.h"
#include "window/QtDialogFrame.h"
#include "window/QtDialogs.h"
#include "window/QtLogFileDialog.h"
#include "window/QtText.h"
#include "window/QtWaitCursor.h"
#include "window/Quorlet3App.h"
#include "window/Quorlet3Icon.h"
#include "window/Quorlet3View.h"
#include "window/RecentFileList.h"
#include "window/ShareDlg.h"

using namespace quorlet3;
using namespace quorlet3::test;

namespace {

const QString kInitialSentence = QStringLiteral("まず、対象ファイルを指定してください。");

QList<QAction*> AllMenuItems(const QList<QAction*>& actions) {
    QList<QAction*> items;
    for (QAction* action : actions) {
        items << action;
        if (action->menu() != nullptr) {
            items << AllMenuItems(action->menu()->actions());
        }
    }
    return items;
}

// A frame around a view on its own document, as the application builds it.
struct FrameUnderTest {
    CQuorlet3Doc doc;
    CQuorlet3View* view = new CQuorlet3View(doc);
    CMainFrame frame{view};
    int aboutCalls = 0;
    QStringList errors;

    FrameUnderTest() {
        frame.m_onAppAbout = [this] { ++aboutCalls; };
        view->m_reportError = [this](const QString& text) { errors << text; };
    }
};

// The menu item a row's path leads to, following the popups by their texts; null when
// the path leads nowhere.
QAction* ItemOfPath(QMenuBar* bar, const MenuRow& row) {
    QList<QAction*> level = bar->actions();
    QAction* found = nullptr;
    for (const char* text : row.path) {
        if (text == nullptr) {
            break;
        }
        found = nullptr;
        for (QAction* action : level) {
            if (!action->isSeparator() && action->text() == Cp932ToQString(text)) {
                found = action;
                break;
            }
        }
        if (found == nullptr) {
            return nullptr;
        }
        level = found->menu() != nullptr ? found->menu()->actions() : QList<QAction*>();
    }
    return found;
}

// A row of an item in a popup (neither a separator nor an accelerator alone).
bool IsItem(const MenuRow& row) { return row.path[0] != nullptr && !IsSeparator(row); }

// The words of a menu item as a reader names them: without the mnemonic and the dots.
QString MenuWords(QString text) {
    static const QRegularExpression mnemonic(QStringLiteral("\\(&.\\)"));
    text.remove(mnemonic);
    text.remove(QLatin1Char('&'));
    text.remove(QStringLiteral("…"));
    return text.trimmed();
}

// The path of every menu command under the actions ("ﾌｧｲﾙ → 検査").
QStringList MenuCommandPaths(const QList<QAction*>& actions, const QString& above = {}) {
    QStringList paths;
    for (QAction* action : actions) {
        if (action->isSeparator()) {
            continue;
        }
        const QString path = above.isEmpty() ? MenuWords(action->text()) : above + " → " + MenuWords(action->text());
        paths << (action->menu() != nullptr ? MenuCommandPaths(action->menu()->actions(), path) : QStringList{path});
    }
    return paths;
}

// The lines of a man page of the source tree (UTF-8), with the escapes it uses for
// characters decoded and its break points dropped.
QStringList ManPageLines(const QString& name) {
    QFile file(QStringLiteral(QUORLET3_DATA_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QString text = QString::fromUtf8(file.readAll());
    static const QRegularExpression escape(QStringLiteral("\\\\\\[u([0-9A-F]{4})\\]"));
    for (QRegularExpressionMatch m = escape.match(text); m.hasMatch(); m = escape.match(text, m.capturedStart())) {
        text.replace(m.capturedStart(), m.capturedLength(), QChar(m.captured(1).toUShort(nullptr, 16)));
    }
    text.replace(QStringLiteral("\\(->"), QStringLiteral("→"));
    text.replace(QStringLiteral("\\-"), QStringLiteral("-"));
    text.remove(QStringLiteral("\\:"));
    return text.split(QLatin1Char('\n'));
}

}  // namespace

class ShellTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { InstallDialogFontSubstitute(); }
    void everyRowHasItsMenuItemInTableOrder();
    void everyMenuItemIsEnabled();
    void manPagesDescribeEveryMenuCommandAndOption_data();
    void manPagesDescribeEveryMenuCommandAndOption();
    void everyItemHasAMnemonicOfItsOwn();
    void menuCommandsRunTheirRowsReports();
    void reportItemsStandWhereTheirReportsSay();
    void aNewRowReachesTheMenuAndRuns();
    void windowCommandsJoinTheFileMenu();
    void menuItemsReachTheView();
    void acceleratorsHaveNoHandler();
    void exitClosesWithoutAQuestion();
    void captionBeforeAndAfterALoad();
    void fileOnTheCommandLineIsOpened();
    void versionCommandShowsTheDialog();
    void versionDialogLayout();
    void recentFileList();
    void recentFilesInTheFileMenu();
    void logFileDialogChoices();
    void cp932FileNameThroughTheDialog();
    void japaneseQtTexts();
    void unknownOptionOpensTheWindow_data();
    void unknownOptionOpensTheWindow();
    void commandLineHelpFollowsTheLocale_data();
    void commandLineHelpFollowsTheLocale();
    void dialogsOpenOverTheMainWindow_data();
    void dialogsOpenOverTheMainWindow();
    void handlerFailuresStayInside();
    void questionBoxes_data();
    void questionBoxes();
    void dialogFontIsTheInstalledGothic();
    void iconSizes();
    void dialogsShowTheArrowOverTheWaitCursor();
    void helpAndVersionNeedNoWindow_data();
    void helpAndVersionNeedNoWindow();
};

void ShellTest::everyRowHasItsMenuItemInTableOrder() {
    FrameUnderTest t;
    // Each item row has its item at the end of its path, carrying its id; the items of
    // one popup stand in the order of their rows.
    std::map<QMenu*, int> lastIndex;
    int items = 0;
    for (const MenuRow& row : MenuTable()) {
        if (!IsItem(row)) {
            continue;
        }
        QAction* item = ItemOfPath(t.frame.menuBar(), row);
        QVERIFY2(item != nullptr, row.path[0]);
        QCOMPARE(item->data().toInt(), row.id);
        QVERIFY(item->menu() == nullptr);
        QMenu* popup = qobject_cast<QMenu*>(item->parent());
        QVERIFY(popup != nullptr);
        const int index = static_cast<int>(popup->actions().indexOf(item));
        if (lastIndex.count(popup) != 0) {
            QVERIFY(index > lastIndex[popup]);
        }
        lastIndex[popup] = index;
        ++items;
    }
    QVERIFY(items >= 20);
    // The popups stand on the menu bar in the order the table first names them.
    QStringList popups;
    for (const MenuRow& row : MenuTable()) {
        if (row.path[0] != nullptr && !popups.contains(Cp932ToQString(row.path[0]))) {
            popups << Cp932ToQString(row.path[0]);
        }
    }
    QStringList bar;
    for (QAction* action : t.frame.menuBar()->actions()) {
        bar << action->text();
    }
    QCOMPARE(bar, popups);
}

void ShellTest::everyMenuItemIsEnabled() {
    FrameUnderTest t;
    const QList<QAction*> items = AllMenuItems(t.frame.menuBar()->actions());
    int commands = 0;
    for (QAction* item : items) {
        QVERIFY2(item->isEnabled(), qPrintable(item->text()));
        commands += item->data().typeId() == QMetaType::Int ? 1 : 0;
    }
    const auto rows = std::count_if(MenuTable().begin(), MenuTable().end(), IsItem);
    QCOMPARE(commands, int(rows));
}

void ShellTest::everyItemHasAMnemonicOfItsOwn() {
    FrameUnderTest t;
    t.frame.SetRecentFiles({"/tmp/a&b.log", "/tmp/b.log", "/tmp/c.log", "/tmp/d.log"});
    // The menu bar, then every popup under it, nested ones included.
    std::vector<std::pair<QString, QList<QAction*>>> menus{{QStringLiteral("menu bar"), t.frame.menuBar()->actions()}};
    for (size_t i = 0; i < menus.size(); ++i) {
        const QList<QAction*> actions = menus[i].second;
        std::set<QChar> taken;
        for (QAction* action : actions) {
            if (action->isSeparator()) {
                continue;
            }
            if (action->menu() != nullptr) {
                menus.emplace_back(action->text(), action->menu()->actions());
            }
            // The mnemonic is the character after a single "&" ("&&" is a plain ampersand).
            const QString text = action->text();
            QChar mnemonic;
            for (qsizetype c = 0; c + 1 < text.size(); ++c) {
                if (text[c] == QLatin1Char('&')) {
                    if (text[c + 1] != QLatin1Char('&')) {
                        mnemonic = text[c + 1].toUpper();
                        break;
                    }
                    ++c;
                }
            }
            QVERIFY2(!mnemonic.isNull(), qPrintable(menus[i].first + QStringLiteral(" › ") + text));
            QVERIFY2(taken.insert(mnemonic).second, qPrintable(menus[i].first + QStringLiteral(" › ") + text));
        }
    }
    QVERIFY(menus.size() >= 10);
}

void ShellTest::menuCommandsRunTheirRowsReports() {
    FrameUnderTest t;
    FakeQuestions questions(true);
    t.doc.SetQuestionBox(&questions);
    t.view->m_runShareDialog = [](const ShareCounters&) {};
    TempDir folder;
    t.doc.LoadLogFile(folder.WriteLines(
        "menu.log", Concat({MainRecord(3, 4), MainRecord(4, 9, "Mozilla/3.0 (X11)"), PageRecord("a.html", 2, 5)})));
    int reports = 0;
    for (const MenuRow& row : MenuTable()) {
        const CommandRow* report = ReportOfItem(row);
        if (report == nullptr || TakesPage(*report)) {
            continue;
        }
        ItemOfPath(t.frame.menuBar(), row)->trigger();
        QCOMPARE(t.view->Result(), ReportText(*report, t.doc.Store()));
        ++reports;
    }
    QVERIFY(reports >= 15);
    QVERIFY(t.errors.isEmpty());
}

void ShellTest::reportItemsStandWhereTheirReportsSay() {
    // Every report the window lists has one menu item, found by the words of its place
    // (the HTML page names them), and every item that names a report finds it.
    std::map<const CommandRow*, int> items;
    for (const MenuRow& row : MenuTable()) {
        if (row.report.name == nullptr) {
            continue;
        }
        const CommandRow* report = ReportOfItem(row);
        QVERIFY2(report != nullptr, row.report.name);
        ++items[report];
        QStringList menuWords;
        QStringList placeWords;
        for (size_t i = 0; i < row.path.size() && row.path[i] != nullptr; ++i) {
            menuWords << MenuWords(Cp932ToQString(row.path[i]));
        }
        for (size_t i = 0; i < report->place.size() && report->place[i] != nullptr; ++i) {
            placeWords << QString::fromUtf8(report->place[i]);
        }
        QCOMPARE(menuWords, placeWords);
    }
    for (const CommandRow& report : CommandTable()) {
        QCOMPARE(items[&report], report.place[0] != nullptr ? 1 : 0);
    }
}

void ShellTest::aNewRowReachesTheMenuAndRuns() {
    // A report only the test's tables know: the main-page hourly report's computation
    // under a name, a place and a menu item of its own, run by the hourly item's handler.
    std::vector<CommandRow> reports(CommandTable().begin(), CommandTable().end());
    CommandRow added = CommandOf(kIdPageHour);
    added.argument = RecordKind::Main;
    added.cliName = "test-row";
    added.cliArgument = nullptr;
    added.place = {"試験", "試しの行"};
    reports.push_back(added);
    std::vector<MenuRow> menu(MenuTable().begin(), MenuTable().end());
    menu.push_back({{"試験(&Z)"_sj, "試しの行(&T)"_sj}, 39001, FindMenuRow(kIdPageHour)->run, {"test-row"}});

    CQuorlet3Doc doc;
    auto* view = new CQuorlet3View(doc);
    CMainFrame frame(view, menu, reports);
    TempDir folder;
    doc.LoadLogFile(folder.WriteLines("row.log", Concat({MainRecord(3, 4), MainRecord(4, 9)})));
    QAction* item = ItemOfPath(frame.menuBar(), menu.back());
    QVERIFY(item != nullptr);
    QCOMPARE(frame.menuBar()->actions().back()->text(), QStringLiteral("試験(&Z)"));
    item->trigger();
    // The row's own argument: main-page records, not the page records of the row it borrows from.
    QCOMPARE(view->Result(), ReportText(reports.back(), doc.Store()));
    QCOMPARE(view->Result(), ReportOf(doc, kIdMainHour));
}

void ShellTest::windowCommandsJoinTheFileMenu() {
    FrameUnderTest t;
    QMenu* file = t.frame.menuBar()->actions().front()->menu();
    QStringList texts;
    for (QAction* action : file->actions()) {
        texts << (action->isSeparator() ? QStringLiteral("---") : action->text());
    }
    // The table's file commands first, the window's own after them, exit last.
    QCOMPARE(texts,
             (QStringList{"ファイルを指定する(&O)", "検査(&C)", "内容を見る(&L)", "---", "ログ全体を読み込む(&W)…",
                          "期間を指定して読み込む(&D)…", "自動更新(&U)", "読み込んだ状態を忘れる(&K)", "---",
                          "結果を保存(&S)…", "HTMLレポートを書き出す(&H)…", "結果をJSONで書き出す(&J)…",
                          "結果をCSVで書き出す(&V)…", "---", "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"}));
    QVERIFY(t.frame.AutoReloadAction()->isCheckable());
    t.frame.AutoReloadAction()->setChecked(true);
    QVERIFY(t.view->AutoReload());
    t.view->SetAutoReload(false);
    QVERIFY(!t.frame.AutoReloadAction()->isChecked());
}

void ShellTest::menuItemsReachTheView() {
    FrameUnderTest t;
    QAction* check = t.frame.FindCommandAction(32772);
    QVERIFY(check != nullptr);
    check->trigger();
    QCOMPARE(t.view->ResultBox()->toPlainText(),
             Cp932ToQString(ReportOf(t.doc, 32772)).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

    // The second "時間帯" runs the page variant of the same report.
    t.frame.FindCommandAction(32780)->trigger();
    QVERIFY(t.view->ResultBox()->toPlainText().startsWith(Cp932ToQString(Cp932("ページ調査"))));
    t.frame.FindCommandAction(57664)->trigger();
    QCOMPARE(t.aboutCalls, 1);
    QVERIFY(t.errors.isEmpty());
}

void ShellTest::acceleratorsHaveNoHandler() {
    FrameUnderTest t;
    const QList<QAction*>& accelerators = t.frame.Accelerators();
    QCOMPARE(accelerators.size(), 2);
    QCOMPARE(accelerators[0]->shortcut(), QKeySequence(Qt::Key_F6));
    QCOMPARE(accelerators[0]->data().toInt(), 57680);
    QCOMPARE(accelerators[1]->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F6));
    QCOMPARE(accelerators[1]->data().toInt(), 57681);
    for (QAction* menuItem : AllMenuItems(t.frame.menuBar()->actions())) {
        QVERIFY(menuItem->data().toInt() != 57680 && menuItem->data().toInt() != 57681);
    }

    RunMenuCommand(*t.view, 32772);
    const QString report = t.view->ResultBox()->toPlainText();
    for (QAction* accelerator : accelerators) {
        accelerator->trigger();
    }
    QCOMPARE(t.view->ResultBox()->toPlainText(), report);
    QCOMPARE(t.aboutCalls, 0);
    QVERIFY(t.errors.isEmpty());
}

void ShellTest::exitClosesWithoutAQuestion() {
    FrameUnderTest t;
    t.frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t.frame));
    RunMenuCommand(*t.view, 32772);  // a report shown is nothing to save
    t.frame.FindCommandAction(57665)->trigger();
    QVERIFY(!t.frame.isVisible());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void ShellTest::manPagesDescribeEveryMenuCommandAndOption_data() {
    QTest::addColumn<QString>("page");
    QTest::newRow("English") << QStringLiteral("quorlet3.1");
    QTest::newRow("Japanese") << QStringLiteral("ja/quorlet3.1");
}

void ShellTest::manPagesDescribeEveryMenuCommandAndOption() {
    QFETCH(QString, page);
    const QStringList lines = ManPageLines(page);
    QVERIFY(!lines.isEmpty());
    const QString text = lines.join(QLatin1Char('\n'));
    // Every command of the menu bar, by its path, in a heading line of its own.
    FrameUnderTest t;
    const QStringList paths = MenuCommandPaths(t.frame.menuBar()->actions());
    QVERIFY(paths.size() > 30);
    for (const QString& path : paths) {
        QVERIFY2(lines.contains(QStringLiteral(".B \"%1\"").arg(path)), qPrintable(path));
    }
    // Every option of the command line, as its help lists it.
    QCommandLineParser parser;
    SetUpCommandLine(parser, CommandLineLanguage::English);
    static const QRegularExpression option(QStringLiteral("^  (-[^\\s,]+)(?:, (--[^\\s,]+))?"));
    int options = 0;
    for (const QString& line : parser.helpText().split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = option.match(line);
        for (int i = 1; m.hasMatch() && i <= m.lastCapturedIndex(); ++i) {
            QVERIFY2(text.contains(m.captured(i)), qPrintable(m.captured(i)));
            ++options;
        }
    }
    QCOMPARE(options, 4);  // -h, --help, -v, --version (--help-all is hidden)
    // A Japanese sentence broken over two source lines would print with a space inside.
    if (page.startsWith(QLatin1String("ja/"))) {
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            const bool text1 = !lines[i].isEmpty() && !lines[i].startsWith(QLatin1Char('.'));
            const bool text2 = !lines[i + 1].isEmpty() && !lines[i + 1].startsWith(QLatin1Char('.'));
            QVERIFY2(!(text1 && text2) || lines[i].endsWith(QStringLiteral("。")), qPrintable(lines[i]));
        }
    }
}

void ShellTest::captionBeforeAndAfterALoad() {
    QTemporaryDir profile;
    CQuorlet3App app(profile.filePath(QStringLiteral("quorlet3.ini")));
    QVERIFY(app.InitInstance({QStringLiteral("quorlet3")}));
    CMainFrame* frame = app.GetMainWnd();
    QVERIFY(frame != nullptr && frame->isVisible());
    QCOMPARE(frame->windowTitle(), QStringLiteral("Loganta\u3000Quorlet 3"));
    QCOMPARE(app.GetView()->FileNameBox()->text(), kInitialSentence);
    QCOMPARE(app.GetView()->GetDocument(), app.GetDocument());

    TempDir folder;
    FakeChooser chooser;
    chooser.m_answers.push_back(folder.WriteLines("caption.log", MainRecord(1, 2)));
    app.GetDocument()->SetFileChooser(&chooser);
    frame->FindCommandAction(32771)->trigger();
    QCOMPARE(app.GetView()->FileNameBox()->text(), PathToQString(folder.PathOf("caption.log")));
    QCOMPARE(frame->windowTitle(), QStringLiteral("Loganta\u3000Quorlet 3"));
    frame->close();
}

void ShellTest::fileOnTheCommandLineIsOpened() {
    QTemporaryDir profile;
    const QString profilePath = profile.filePath(QStringLiteral("quorlet3.ini"));
    TempDir folder;
    const std::string log = folder.WriteLines("\x83\x8D\x83\x4F.log", MainRecord(5, 6));  // ログ.log in cp932
    const std::string other = folder.WriteLines("other.log", MainRecord(7, 6));
    {
        // Of several names the first is opened, its bytes as the system passed them.
        CQuorlet3App app(profilePath);
        QVERIFY(app.InitInstance({QStringLiteral("quorlet3"), PathToQString(log), PathToQString(other)},
                                 {"quorlet3", log, other}));
        QTRY_COMPARE(app.GetView()->Session().LoadedPath(), log);
        QCOMPARE(app.GetView()->FileNameBox()->text(), PathToMarkedQString(log));
        QVERIFY(!app.GetDocument()->Store()[0].empty());
        QCOMPARE(app.RecentFiles().Paths(), std::vector<std::string>{log});
        app.GetMainWnd()->close();
    }
    // A name that cannot be read is reported in the window; nothing is loaded or listed.
    CQuorlet3App next(profilePath);
    QVERIFY(next.InitInstance({QStringLiteral("quorlet3"), PathToQString(folder.PathOf("none.log"))}));
    QStringList errors;
    next.GetView()->m_reportError = [&errors](const QString& text) { errors << text; };
    QTRY_COMPARE(errors.size(), 1);
    QVERIFY2(errors.front().contains(PathToQString(folder.PathOf("none.log"))), qPrintable(errors.front()));
    QCOMPARE(next.GetView()->FileNameBox()->text(), kInitialSentence);
    QCOMPARE(next.RecentFiles().Paths(), std::vector<std::string>{log});
    next.GetMainWnd()->close();
}

void ShellTest::versionCommandShowsTheDialog() {
    QTemporaryDir profile;
    CQuorlet3App app(profile.filePath(QStringLiteral("quorlet3.ini")));
    QVERIFY(app.InitInstance({QStringLiteral("quorlet3")}));
    QString caption;
    CloseNextModal(&caption);
    app.GetMainWnd()->FindCommandAction(57664)->trigger();
    QCOMPARE(caption, QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    app.GetMainWnd()->close();
}

void ShellTest::versionDialogLayout() {
    CAboutDlg dlg;
    dlg.show();
    QCOMPARE(dlg.windowTitle(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    QCOMPARE(dlg.VersionText()->text(), QStringLiteral("quorlet3 Version " QUORLET3_VERSION));
    QCOMPARE(dlg.RightsText()->text().count(QLatin1Char('\n')), 1);
    QCOMPARE(dlg.ContactText()->text().count(QLatin1Char('\n')), 1);
    QCOMPARE(dlg.IconLabel()->pixmap().size(), QSize(32, 32));
    QCOMPARE(dlg.IconLabel()->size(), QSize(32, 32));
    QCOMPARE(dlg.OkButton()->text(), QStringLiteral("OK"));
    QVERIFY(dlg.OkButton()->isDefault());
    // Every control lies whole inside the dialog apart from the others, and every line
    // fits its text's box in the dialog's own font; the icon stands left of the texts,
    // which run top to bottom.
    const QString unreadable = ControlsUnreadable(
        dlg, {dlg.IconLabel(), dlg.VersionText(), dlg.RightsText(), dlg.ContactText(), dlg.OkButton()});
    QVERIFY2(unreadable.isEmpty(), qPrintable(unreadable));
    QVERIFY(dlg.IconLabel()->geometry().right() < dlg.VersionText()->x());
    QVERIFY(dlg.VersionText()->y() < dlg.RightsText()->y() && dlg.RightsText()->y() < dlg.ContactText()->y());

    dlg.show();
    QTest::mouseClick(dlg.OkButton(), Qt::LeftButton);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QVERIFY(!dlg.isVisible());
}

void ShellTest::recentFileList() {
    CRecentFileList list(4);
    for (const char* path : {"/a.log", "/b.log", "/c.log", "/d.log", "/e.log"}) {
        list.Add(QString::fromLatin1(path));
    }
    QCOMPARE(list.Entries(), (QStringList{"/e.log", "/d.log", "/c.log", "/b.log"}));
    list.Add(QStringLiteral("/c.log"));
    QCOMPARE(list.Entries(), (QStringList{"/c.log", "/e.log", "/d.log", "/b.log"}));

    QTemporaryDir dir;
    QSettings profile(dir.filePath(QStringLiteral("p.ini")), QSettings::IniFormat);
    profile.setValue(QStringLiteral("Recent File List/File4"), QStringLiteral("/stale.log"));
    CRecentFileList two(2);
    two.Add(QStringLiteral("/x.log"));
    two.WriteList(profile);
    QCOMPARE(profile.value(QStringLiteral("Recent File List/File1")).toString(), QStringLiteral("/x.log"));
    QVERIFY(!profile.contains(QStringLiteral("Recent File List/File4")));

    profile.setValue(QStringLiteral("Recent File List/File2"), QString());
    profile.setValue(QStringLiteral("Recent File List/File3"), QStringLiteral("/x.log"));
    profile.setValue(QStringLiteral("Recent File List/File4"), QStringLiteral("/y.log"));
    list.ReadList(profile);
    QCOMPARE(list.Entries(), (QStringList{"/x.log", "/y.log"}));
}

void ShellTest::recentFilesInTheFileMenu() {
    QTemporaryDir profile;
    const QString profilePath = profile.filePath(QStringLiteral("quorlet3.ini"));
    TempDir folder;
    const std::string cp932Log = folder.WriteLines("\x83\x8D\x83\x4F.log", {MainRecord(9, 4)[0]});  // ログ.log
    const std::string plainLog = folder.WriteLines("a&b.log", {MainRecord(2, 3)[0]});
    CQuorlet3App app(profilePath);
    QVERIFY(app.InitInstance({QStringLiteral("quorlet3")}));
    CMainFrame* frame = app.GetMainWnd();
    QVERIFY(frame->RecentFileActions().isEmpty());
    FakeChooser chooser{cp932Log, plainLog};
    app.GetDocument()->SetFileChooser(&chooser);

    frame->FindCommandAction(32771)->trigger();
    // Saved as soon as the file loaded, with the name's own bytes.
    {
        QSettings saved(profilePath, QSettings::IniFormat);
        CRecentFileList list(4);
        list.ReadList(saved);
        QCOMPARE(list.Entries(), QStringList{PathToQString(cp932Log)});
        QCOMPARE(list.Paths(), std::vector<std::string>{cp932Log});
    }
    frame->FindCommandAction(32771)->trigger();
    const QList<QAction*>& recent = frame->RecentFileActions();
    QCOMPARE(recent.size(), 3);  // two files and the separator after them
    QCOMPARE(recent[0]->text(), QStringLiteral("&1 ") + PathToQString(folder.Path()) + QStringLiteral("/a&&b.log"));
    // The cp932 name is marked, so that it is told apart from a UTF-8 "ログ.log".
    QCOMPARE(recent[1]->text(),
             QStringLiteral("&2 ") + PathToQString(folder.Path()) + QStringLiteral("/ログ.log　（Shift_JIS）"));
    QVERIFY(recent[2]->isSeparator());
    // The items stand in the file menu above exit.
    QMenu* file = frame->menuBar()->actions().front()->menu();
    QCOMPARE(file->actions().indexOf(recent[2]) + 1, file->actions().indexOf(frame->FindCommandAction(57665)));

    // Choosing the cp932 entry opens it as the dialog would: the report cleared, the path shown.
    RunMenuCommand(*app.GetView(), 32772);
    recent[1]->trigger();
    QCOMPARE(app.GetDocument()->Store()[0], MainRecord(9, 4)[0]);
    QCOMPARE(app.GetView()->FileNameBox()->text(), PathToQString(cp932Log) + QStringLiteral("　（Shift_JIS）"));
    QCOMPARE(app.GetView()->Result(), std::string());
    QCOMPARE(frame->RecentFileActions()[0]->text(),
             QStringLiteral("&1 ") + PathToQString(cp932Log) + QStringLiteral("　（Shift_JIS）"));
    QCOMPARE(chooser.m_calls, 2);
    frame->close();
}

// The shown names of the dialog's list.
QStringList Listed(const CLogFileDialog& dialog) {
    QStringList names;
    for (int row = 0; row < dialog.FileList()->count(); ++row) {
        names << dialog.FileList()->item(row)->text();
    }
    return names;
}

void ShellTest::logFileDialogChoices() {
    TempDir folder;
    for (const char* name : {"access.log", "access.txt", "ACCESS_LOG", ".hidden.log"}) {
        folder.WriteLines(name, PlainLines(1));
    }
    QVERIFY(QDir().mkdir(PathToQString(folder.PathOf("old"))));
    std::unique_ptr<CLogFileDialog> dialog = MakeLogFileDialog(nullptr);
    const QStringList filters = dialog->NameFilters();
    QCOMPARE(filters.size(), 2);
    QCOMPARE(filters[0], QStringLiteral("logファイル(*.log)"));
    QVERIFY(filters[1].startsWith(QStringLiteral("すべてのファイル(")));
    QCOMPARE(dialog->SelectedNameFilter(), filters[0]);

    // Folders first, then the files of the chosen type; hidden names are left out.
    dialog->SetFolder(folder.Path());
    QCOMPARE(Listed(*dialog), (QStringList{"old", "access.log"}));
    dialog->SelectNameFilter(1);
    QCOMPARE(Listed(*dialog), (QStringList{"old", "access.log", "access.txt", "ACCESS_LOG"}));

    // A typed name of a file that does not exist is taken; loading then reports it.
    dialog->NameBox()->setText(QStringLiteral("later.log"));
    dialog->accept();
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(dialog->SelectedFile(), folder.PathOf("later.log"));
}

void ShellTest::cp932FileNameThroughTheDialog() {
    // A log copied from Windows keeps its cp932 name, which is not UTF-8.
    TempDir folder;
    folder.WriteLines("a.log", MainRecord(1, 2));
    folder.WriteLines("\x83\x8D\x83\x4F.log", {MainRecord(9, 4)[0]});
    CQuorlet3Doc doc;
    CQtFileChooser chooser;
    doc.SetFileChooser(&chooser);
    CQuorlet3View view(doc);
    QStringList shown;
    bool chosen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<CLogFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        dialog->SetFolder(folder.Path());
        shown = Listed(*dialog);
        const QList<QListWidgetItem*> items =
            dialog->FileList()->findItems(QStringLiteral("ログ.log"), Qt::MatchExactly);
        if (items.size() == 1) {
            dialog->FileList()->setCurrentItem(items.front());
            chosen = dialog->NameBox()->text() == QStringLiteral("ログ.log");
            QTest::mouseClick(dialog->OpenButton(), Qt::LeftButton);
        }
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
    RunMenuCommand(view, 32771);
    QCOMPARE(shown, (QStringList{"a.log", "ログ.log"}));
    QVERIFY(chosen);
    QCOMPARE(doc.Store()[0], MainRecord(9, 4)[0]);
    QCOMPARE(view.FileNameBox()->text(), PathToQString(folder.Path()) + QStringLiteral("/ログ.log　（Shift_JIS）"));
}

void ShellTest::japaneseQtTexts() {
    QVERIFY(InstallJapaneseQtTexts());
    QMessageBox box(QMessageBox::Warning, AppTitle(), QStringLiteral("x"), QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("キャンセル"));
    CLogFileDialog dialog;
    const QStringList labels = [&] {
        QStringList texts;
        for (QLabel* label : dialog.findChildren<QLabel*>()) {
            texts << label->text();
        }
        return texts;
    }();
    for (const QString& english :
         {QStringLiteral("Look in:"), QStringLiteral("File &name:"), QStringLiteral("Files of type:")}) {
        QVERIFY2(!labels.contains(english), qPrintable(labels.join(u'|')));
    }
    QVERIFY(dialog.windowTitle() != QStringLiteral("Open"));
}

void ShellTest::unknownOptionOpensTheWindow_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("warning");
    QTest::newRow("Japanese") << int(CommandLineLanguage::Japanese)
                              << QStringLiteral("quorlet3: 不明なオプション --frobnicate は無視します。");
    QTest::newRow("English") << int(CommandLineLanguage::English)
                             << QStringLiteral("quorlet3: unknown option --frobnicate is ignored.");
}

void ShellTest::unknownOptionOpensTheWindow() {
    QFETCH(int, language);
    QFETCH(QString, warning);
    QTemporaryDir profile;
    CQuorlet3App app(profile.filePath(QStringLiteral("quorlet3.ini")));
    app.m_commandLineLanguage = static_cast<CommandLineLanguage>(language);
    QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
    QVERIFY(app.InitInstance({QStringLiteral("quorlet3"), QStringLiteral("--frobnicate")}));
    QVERIFY(app.GetMainWnd()->isVisible());
    app.GetMainWnd()->close();
}

void ShellTest::commandLineHelpFollowsTheLocale_data() {
    QTest::addColumn<QByteArray>("lcAll");
    QTest::addColumn<QByteArray>("lang");
    QTest::addColumn<bool>("japanese");
    QTest::newRow("LANG=ja_JP.UTF-8") << QByteArray() << QByteArray("ja_JP.UTF-8") << true;
    QTest::newRow("LANG=en_US.UTF-8") << QByteArray() << QByteArray("en_US.UTF-8") << false;
    QTest::newRow("LC_ALL=C over LANG=ja") << QByteArray("C") << QByteArray("ja_JP.UTF-8") << false;
    QTest::newRow("nothing set") << QByteArray() << QByteArray() << false;
}

void ShellTest::commandLineHelpFollowsTheLocale() {
    QFETCH(QByteArray, lcAll);
    QFETCH(QByteArray, lang);
    QFETCH(bool, japanese);
    const QByteArray saved[] = {qgetenv("LC_ALL"), qgetenv("LC_MESSAGES"), qgetenv("LANG")};
    const auto restore = qScopeGuard([&saved] {
        qputenv("LC_ALL", saved[0]);
        qputenv("LC_MESSAGES", saved[1]);
        qputenv("LANG", saved[2]);
    });
    qputenv("LC_ALL", lcAll);
    qunsetenv("LC_MESSAGES");
    qputenv("LANG", lang);
    const CommandLineLanguage language = LocaleCommandLineLanguage();
    QCOMPARE(language == CommandLineLanguage::Japanese, japanese);
    QCommandLineParser parser;
    SetUpCommandLine(parser, language);
    const QString help = parser.helpText();
    const QStringList japaneseTexts{QStringLiteral("アクセスログ"), QStringLiteral("このヘルプを表示します。"),
                                    QStringLiteral("バージョン情報を表示します。"), QStringLiteral("[FILE]")};
    const QStringList englishTexts{QStringLiteral("access log"), QStringLiteral("Displays help"),
                                   QStringLiteral("Displays version information."), QStringLiteral("[file]")};
    for (const QString& text : japanese ? japaneseTexts : englishTexts) {
        QVERIFY2(help.contains(text), qPrintable(help));
    }
    for (const QString& text : japanese ? englishTexts : japaneseTexts) {
        QVERIFY2(!help.contains(text), qPrintable(help));
    }
}

void ShellTest::dialogsOpenOverTheMainWindow_data() {
    QTest::addColumn<int>("which");
    QTest::newRow("version") << 0;
    QTest::newRow("share") << 1;
    QTest::newRow("page picker") << 2;
}

void ShellTest::dialogsOpenOverTheMainWindow() {
    QFETCH(int, which);
    QMainWindow main;
    main.setGeometry(40, 60, 500, 400);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    main.move(300, 200);  // away from where it opened
    // The dialogs are given their owner and take the icon the application sets at start-up.
    QApplication::setWindowIcon(Quorlet3Icon());
    std::unique_ptr<QDialog> dialog;
    if (which == 0) {
        dialog = std::make_unique<CAboutDlg>(&main);
    } else if (which == 1) {
        auto share = std::make_unique<CShareDlg>(&main);
        share->SetShare({1, 0, 0, 1, 0, 0, 0, 2});
        dialog = std::move(share);
    } else {
        dialog = std::make_unique<CPageDayDlg>(&main);
    }
    QPoint centre;
    QTimer::singleShot(0, [&] {
        centre = dialog->frameGeometry().center();
        dialog->reject();
    });
    dialog->exec();
    QVERIFY2((centre - main.frameGeometry().center()).manhattanLength() <= 4,
             qPrintable(QStringLiteral("%1,%2").arg(centre.x()).arg(centre.y())));
    QVERIFY(!dialog->windowIcon().isNull());
    QCOMPARE(dialog->windowIcon().availableSizes(), Quorlet3Icon().availableSizes());
}

void ShellTest::handlerFailuresStayInside() {
    QTest::ignoreMessage(QtCriticalMsg, "quorlet3: a paint failed: broken");
    bool after = false;
    RunHandler("a paint", [] { throw std::runtime_error("broken"); });
    after = true;
    QVERIFY(after);
}

void ShellTest::questionBoxes_data() {
    QTest::addColumn<QuestionIcon>("icon");
    QTest::addColumn<DefaultButton>("defaultButton");
    QTest::addColumn<QMessageBox::Icon>("shownIcon");
    QTest::addColumn<QMessageBox::StandardButton>("shownDefault");
    QTest::newRow("stop, cancel first") << QuestionIcon::Stop << DefaultButton::Cancel << QMessageBox::Critical
                                        << QMessageBox::Cancel;
    QTest::newRow("plain, OK first") << QuestionIcon::Default << DefaultButton::Ok << QMessageBox::Warning
                                     << QMessageBox::Ok;
}

void ShellTest::questionBoxes() {
    QFETCH(QuestionIcon, icon);
    QFETCH(DefaultButton, defaultButton);
    QFETCH(QMessageBox::Icon, shownIcon);
    QFETCH(QMessageBox::StandardButton, shownDefault);
    std::unique_ptr<QMessageBox> box =
        MakeQuestionBox(nullptr, Cp932("これらのログは、1000 行あります。\n表示"), icon, defaultButton);
    QCOMPARE(box->text(), QStringLiteral("これらのログは、1000 行あります。\n表示"));
    QCOMPARE(box->windowTitle(), QStringLiteral("quorlet3"));
    QCOMPARE(box->icon(), shownIcon);
    QCOMPARE(box->standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(box->defaultButton(), box->button(shownDefault));
    QCOMPARE(box->escapeButton(), box->button(QMessageBox::Cancel));
}

void ShellTest::dialogFontIsTheInstalledGothic() {
    if (!QFontDatabase::families().contains(QStringLiteral("IPAPGothic"))) {
        QSKIP("IPAPGothic (fonts-ipafont-gothic) is not installed");
    }
    InstallDialogFontSubstitute();
    const QFontInfo font(DialogFont());
    QCOMPARE(font.family(), QStringLiteral("IPAPGothic"));
    QCOMPARE(font.pointSize(), 9);
}

void ShellTest::iconSizes() {
    const QImage large = DrawQuorlet3Icon(32);
    QCOMPARE(large.size(), QSize(32, 32));
    QCOMPARE(qAlpha(large.pixel(0, 0)), 0);      // outside the rounded tile
    QCOMPARE(qAlpha(large.pixel(16, 16)), 255);  // on the sheet
    const QList<QSize> sizes = Quorlet3Icon().availableSizes();
    QVERIFY(sizes.contains(QSize(16, 16)));
    QVERIFY(sizes.contains(QSize(32, 32)));
}

void ShellTest::dialogsShowTheArrowOverTheWaitCursor() {
    auto shape = [] {
        const QCursor* cursor = QApplication::overrideCursor();
        return cursor == nullptr ? std::optional<Qt::CursorShape>() : cursor->shape();
    };
    {
        CDialogCursor outsideAnyCommand;
        QCOMPARE(shape(), std::optional<Qt::CursorShape>());
    }
    {
        CWaitCursor wait;
        QCOMPARE(shape(), Qt::WaitCursor);
        {
            CDialogCursor dialog;
            QCOMPARE(shape(), Qt::ArrowCursor);
        }
        QCOMPARE(shape(), Qt::WaitCursor);
    }
    QCOMPARE(shape(), std::optional<Qt::CursorShape>());
}

void ShellTest::helpAndVersionNeedNoWindow_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("onlyText");
    QTest::newRow("no argument") << QStringList{"quorlet3"} << false;
    QTest::newRow("a file") << QStringList{"quorlet3", "access.log"} << false;
    QTest::newRow("--help") << QStringList{"quorlet3", "--help"} << true;
    QTest::newRow("-h after a file") << QStringList{"quorlet3", "access.log", "-h"} << true;
    QTest::newRow("--version") << QStringList{"quorlet3", "--version"} << true;
    QTest::newRow("-v") << QStringList{"quorlet3", "-v"} << true;
    QTest::newRow("a file named --help") << QStringList{"quorlet3", "--", "--help"} << false;
    QTest::newRow("program named --help") << QStringList{"--help"} << false;
}

void ShellTest::helpAndVersionNeedNoWindow() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, onlyText);
    QCOMPARE(AsksForHelpOrVersion(arguments), onlyText);
}

QTEST_MAIN(ShellTest)
#include "ShellTest.moc"
