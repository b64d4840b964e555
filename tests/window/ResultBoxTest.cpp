// The result box with the keyboard (Tab reaches it, Ctrl+A and Ctrl+C copy the report,
// the menus open with their mnemonics) and the symbol it draws for a lone CR.
#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRawFont>
#include <QTextLayout>
#include <QtTest>

#include "encoding/Cp932Literal.h"
#include "tests/support/GuiSupport.h"
#include "window/MainFrm.h"
#include "window/QtText.h"
#include "window/Quorlet3View.h"

using namespace quorlet3;
using namespace quorlet3::test;

namespace {

constexpr char32_t kLoneCrSymbol = 0x240D;

// A shown window around a view on a loaded log, as the application builds it.
struct WindowUnderTest {
    CQuorlet3Doc doc = LoadLines(Concat({MainRecord(1, 5), PageRecord("a.html"_sj)}));
    CQuorlet3View* view = new CQuorlet3View(doc);
    CMainFrame frame{view};
    QStringList errors;

    WindowUnderTest() {
        view->m_reportError = [this](const QString& text) { errors << text; };
        frame.show();
        frame.activateWindow();
    }
};

}  // namespace

class ResultBoxTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { InstallDialogFontSubstitute(); }

    // From the file-name box, Tab reaches the result box, and the next Tab leaves it
    // instead of typing a tab into the report.
    void tabReachesTheResultBox() {
        WindowUnderTest t;
        QVERIFY(QTest::qWaitForWindowActive(&t.frame));
        RunMenuCommand(*t.view, kIdCheckFile);
        t.view->FileNameBox()->setFocus();
        QVERIFY(t.view->FileNameBox()->hasFocus());
        const QString report = t.view->ResultBox()->toPlainText();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(t.view->ResultBox()->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(!t.view->ResultBox()->hasFocus());
        QCOMPARE(t.view->ResultBox()->toPlainText(), report);
    }

    void keyboardSelectsAndCopies_data() {
        QTest::addColumn<int>("command");
        QTest::newRow("check") << 32772;
        QTest::newRow("hourly") << 32778;
        QTest::newRow("contents") << 32773;
    }

    // Ctrl+A selects the whole report and Ctrl+C copies it as the box shows it.
    void keyboardSelectsAndCopies() {
        QFETCH(int, command);
        WindowUnderTest t;
        QVERIFY(QTest::qWaitForWindowActive(&t.frame));
        RunMenuCommand(*t.view, command);
        QVERIFY(!t.view->ResultBox()->toPlainText().isEmpty());
        QApplication::clipboard()->clear();
        t.view->FileNameBox()->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), t.view->ResultBox()->toPlainText());
        QCOMPARE(t.view->ResultBox()->toPlainText(), ReportToDisplay(t.view->Result()));
    }

    // The window opens with the keyboard in the result box.
    void windowOpensWithTheResultBoxFocused() {
        WindowUnderTest t;
        QVERIFY(QTest::qWaitForWindowActive(&t.frame));
        QCOMPARE(QApplication::focusWidget(), t.view->ResultBox());
    }

    // Every popup of the menu bar opens with Alt and its mnemonic, and a command runs
    // from the keyboard alone: Alt+F, then C for the check.
    void menusOpenFromTheKeyboard() {
        WindowUnderTest t;
        QVERIFY(QTest::qWaitForWindowActive(&t.frame));
        for (QAction* popup : t.frame.menuBar()->actions()) {
            QVERIFY2(popup->text().contains(QLatin1Char('&')), qPrintable(popup->text()));
        }
        QTest::keyClick(t.view->ResultBox(), Qt::Key_F, Qt::AltModifier);
        auto* file = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(file != nullptr);
        QCOMPARE(file->title(), QStringLiteral("ﾌｧｲﾙ(&F)"));
        QTest::keyClick(file, Qt::Key_C);
        QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
        QVERIFY2(t.view->ResultBox()->toPlainText().startsWith(QStringLiteral("ファイル検査")),
                 qPrintable(t.view->ResultBox()->toPlainText().left(40)));
    }

    // The symbol shown for a lone CR is drawn by a font that has it: the font of the
    // result box names that family, and laying the symbol out finds a real glyph.
    void loneCrSymbolHasAGlyph() {
        const QString family = ControlPicturesFamily();
        if (!QFontDatabase::families().contains(family)) {
            QSKIP("the Control Pictures font is not installed (scripts/install-deps.sh installs fonts-symbola)");
        }
        QVERIFY(QRawFont::fromFont(QFont(family, 9)).supportsCharacter(kLoneCrSymbol));
        CQuorlet3Doc doc;
        CQuorlet3View view(doc);
        const QFont font = view.ResultBox()->font();
        QVERIFY(font.families().contains(family));
        QVERIFY(QFontMetrics(font).inFontUcs4(kLoneCrSymbol));

        const QString shown = ReportToDisplay("a\rb\r\n");
        QVERIFY(shown.contains(QChar(kLoneCrSymbol)));
        QTextLayout layout(shown, font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        bool symbolDrawn = false;
        bool lettersInGothic = false;  // the letters beside it stay in the dialog's gothic
        for (const QGlyphRun& run : layout.glyphRuns()) {
            for (const quint32 glyph : run.glyphIndexes()) {
                QVERIFY2(glyph != 0, qPrintable(run.rawFont().familyName()));  // 0 is the missing-glyph box
            }
            symbolDrawn = symbolDrawn || run.rawFont().supportsCharacter(kLoneCrSymbol);
            lettersInGothic = lettersInGothic || run.rawFont().familyName() == QFontInfo(DialogFont()).family();
        }
        QVERIFY(symbolDrawn);
        QVERIFY(lettersInGothic);
    }
};

QTEST_MAIN(ResultBoxTest)
#include "ResultBoxTest.moc"
