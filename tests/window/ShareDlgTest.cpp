// The share dialog drawn offscreen: sector and swatch colours, whole discs, legend texts.
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QImage>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>
#include <cmath>
#include <numbers>

#include "encoding/Cp932.h"
#include "share/ShareDrawing.h"
#include "tests/support/GuiSupport.h"
#include "window/ShareDlg.h"

using quorlet3::CShareDlg;
using quorlet3::ShareCounters;

namespace {

constexpr double kTurn = 2.0 * std::numbers::pi;

// Counters: other, MSIE 2.0, 3.0, 4.0, NN 2.0, 3.0, 4.0, total.
constexpr ShareCounters kTenLines{2, 0, 1, 3, 0, 0, 4, 10};
constexpr ShareCounters kAllOther{5, 0, 0, 0, 0, 0, 0, 5};
constexpr ShareCounters kAllMsie40{0, 0, 0, 7, 0, 0, 0, 7};
constexpr ShareCounters kAllNn20{0, 0, 0, 0, 1, 0, 0, 1};

const QColor kCyan(0, 255, 255);
const QColor kBlue(0, 0, 255);
const QColor kMagenta(255, 0, 255);
const QColor kYellow(255, 255, 0);
const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);
const QColor kGrey(127, 127, 127);

constexpr QPoint kVersionCentre(100, 100);
constexpr QPoint kFamilyCentre(300, 100);

// The pixel at a distance from a pie's centre, at an angle clockwise from 12 o'clock.
QPoint PointAt(QPoint centre, double radius, double angle) {
    return QPoint(static_cast<int>(std::lround(centre.x() + radius * std::sin(angle))),
                  static_cast<int>(std::lround(centre.y() - radius * std::cos(angle))));
}

// The middle of the sector between two counts of the total, 60 pixels out.
QPoint SectorMiddle(QPoint centre, int from, int to, int total) {
    return PointAt(centre, 60, kTurn * (from + to) / 2.0 / total);
}

QImage Grab(CShareDlg& dlg) { return dlg.grab().toImage(); }

// Pixels within the radius of the centre that are not of the colour.
int PixelsOtherThan(const QImage& image, QPoint centre, int radius, const QColor& colour) {
    int wrong = 0;
    for (int y = centre.y() - radius; y <= centre.y() + radius; ++y) {
        for (int x = centre.x() - radius; x <= centre.x() + radius; ++x) {
            const int dx = x - centre.x();
            const int dy = y - centre.y();
            if (dx * dx + dy * dy <= radius * radius && image.pixelColor(x, y) != colour) {
                ++wrong;
            }
        }
    }
    return wrong;
}

QString Decoded(const std::string& cp932) { return QString::fromStdString(quorlet3::DecodeCp932ToUtf8(cp932)); }

const QString kTenVersionLegend = QStringLiteral(
    "MSIE2.0\t0%\r\n\r\nMSIE3.0\t10%\r\n\r\nMSIE4.0\t30%\r\n\r\n"
    " NN 2.0\t0%\r\n\r\n NN 3.0\t0%\r\n\r\n NN 4.0\t40%\r\n\r\nその他\t20%");
const QString kTenFamilyLegend = QStringLiteral("MSIE\t40%\r\n\r\nNetscape\t40%\r\n\r\nその他\t20%\r\n\r\n");

QString WithoutCr(QString text) { return text.remove(QLatin1Char('\r')); }

}  // namespace

class ShareDlgTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")); }

    // Both pies and every swatch lie inside the dialog; each legend entry stands just
    // right of its swatch, level with it; the legends and OK do not overlap.
    void layoutMeetsTheSwatches() {
        CShareDlg dlg;
        dlg.SetShare(kTenLines);
        dlg.show();
        QCOMPARE(dlg.windowTitle(), QStringLiteral("シェア調査"));
        const QString unreadable =
            quorlet3::test::ControlsUnreadable(dlg, {dlg.VersionLegendBox(), dlg.FamilyLegendBox(), dlg.OkButton()});
        QVERIFY2(unreadable.isEmpty(), qPrintable(unreadable));
        QCOMPARE(dlg.OkButton()->text(), QStringLiteral("OK"));
        QVERIFY(dlg.OkButton()->isDefault());

        const quorlet3::ShareDrawing drawing = quorlet3::ComputeShareDrawing(kTenLines);
        for (const quorlet3::Pie* pie : {&drawing.versionPie, &drawing.familyPie}) {
            QVERIFY(dlg.rect().contains(QRect(pie->left, pie->top, pie->right - pie->left, pie->bottom - pie->top)));
        }
        QCOMPARE(drawing.swatches.size(), size_t{10});
        for (size_t k = 0; k < drawing.swatches.size(); ++k) {
            const quorlet3::Swatch& swatch = drawing.swatches[k];
            const QRect square(swatch.x, swatch.y, swatch.size, swatch.size);
            QVERIFY(dlg.rect().contains(square));
            // Seven version entries, then three family ones, each with an empty line after it.
            QTextEdit* box = k < 7 ? dlg.VersionLegendBox() : dlg.FamilyLegendBox();
            const int line = 2 * static_cast<int>(k < 7 ? k : k - 7);
            const QRectF entry =
                box->document()->documentLayout()->blockBoundingRect(box->document()->findBlockByNumber(line));
            const QPoint entryLeft = box->viewport()->mapTo(&dlg, entry.toRect().topLeft());
            const int entryMiddle = entryLeft.y() + static_cast<int>(entry.height()) / 2;
            QVERIFY2(entryLeft.x() > square.right() && entryLeft.x() - square.right() <= 10,
                     qPrintable(QStringLiteral("entry %1 starts at x %2").arg(k).arg(entryLeft.x())));
            QVERIFY2(entryMiddle >= square.top() && entryMiddle <= square.bottom(),
                     qPrintable(QStringLiteral("entry %1 centred at y %2").arg(k).arg(entryMiddle)));
        }
    }

    void tenLinesPixels_data() {
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<QColor>("colour");
        // Version pie: MSIE 3.0 1, MSIE 4.0 3, NN 4.0 4, other 2 of 10, clockwise from the top.
        QTest::newRow("version MSIE 3.0") << SectorMiddle(kVersionCentre, 0, 1, 10) << kBlue;
        QTest::newRow("version MSIE 4.0") << SectorMiddle(kVersionCentre, 1, 4, 10) << kMagenta;
        QTest::newRow("version NN 4.0") << SectorMiddle(kVersionCentre, 4, 8, 10) << kRed;
        QTest::newRow("version other") << SectorMiddle(kVersionCentre, 8, 10, 10) << kGrey;
        // Just either side of the MSIE 3.0 / MSIE 4.0 border at 0.1 of the turn.
        QTest::newRow("version before 0.628") << PointAt(kVersionCentre, 80, 0.6) << kBlue;
        QTest::newRow("version after 0.628") << PointAt(kVersionCentre, 80, 0.66) << kMagenta;
        // Family pie: MSIE 4, Netscape 4, other 2.
        QTest::newRow("family MSIE") << SectorMiddle(kFamilyCentre, 0, 4, 10) << kBlue;
        QTest::newRow("family Netscape") << SectorMiddle(kFamilyCentre, 4, 8, 10) << kGreen;
        QTest::newRow("family other") << SectorMiddle(kFamilyCentre, 8, 10, 10) << kGrey;
        // Swatches, sampled at their centres.
        const QColor version[] = {kCyan, kBlue, kMagenta, kYellow, kGreen, kRed, kGrey};
        for (int k = 0; k < 7; ++k) {
            QTest::addRow("version swatch %d", k) << QPoint(37, 212 + 30 * k) << version[k];
        }
        const QColor family[] = {kBlue, kGreen, kGrey};
        for (int k = 0; k < 3; ++k) {
            QTest::addRow("family swatch %d", k) << QPoint(267, 212 + 30 * k) << family[k];
        }
    }

    void tenLinesPixels() {
        QFETCH(QPoint, pixel);
        QFETCH(QColor, colour);
        CShareDlg dlg;
        dlg.SetShare(kTenLines);
        QCOMPARE(Grab(dlg).pixelColor(pixel), colour);
    }

    void singleClassFillsWholeDiscs_data() {
        QTest::addColumn<ShareCounters>("counters");
        QTest::addColumn<QColor>("version");
        QTest::addColumn<QColor>("family");
        QTest::newRow("all other") << kAllOther << kGrey << kGrey;
        QTest::newRow("all MSIE 4.0, no grey sliver") << kAllMsie40 << kMagenta << kBlue;
        QTest::newRow("one NN 2.0") << kAllNn20 << kYellow << kGreen;
    }

    // Everything inside the rim is one colour: no sliver and no radius at 12 o'clock.
    void singleClassFillsWholeDiscs() {
        QFETCH(ShareCounters, counters);
        QFETCH(QColor, version);
        QFETCH(QColor, family);
        CShareDlg dlg;
        dlg.SetShare(counters);
        const QImage image = Grab(dlg);
        QCOMPARE(PixelsOtherThan(image, kVersionCentre, 86, version), 0);
        QCOMPARE(PixelsOtherThan(image, kFamilyCentre, 86, family), 0);
    }

    void zeroTotalPaintsNothing() {
        CShareDlg dlg;
        const QColor face = dlg.palette().color(QPalette::Window);
        const QImage image = Grab(dlg);
        QCOMPARE(image.pixelColor(kVersionCentre), face);
        QCOMPARE(image.pixelColor(kFamilyCentre), face);
        QCOMPARE(image.pixelColor(37, 212), face);
        QVERIFY(dlg.VersionLegend().empty());
        QVERIFY(dlg.VersionLegendBox()->toPlainText().isEmpty());
    }

    void legendTexts_data() {
        QTest::addColumn<ShareCounters>("counters");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("family");
        QTest::newRow("ten lines") << kTenLines << kTenVersionLegend << kTenFamilyLegend;
        QTest::newRow("all other") << kAllOther
                                   << QStringLiteral(
                                          "MSIE2.0\t0%\r\n\r\nMSIE3.0\t0%\r\n\r\nMSIE4.0\t0%\r\n\r\n"
                                          " NN 2.0\t0%\r\n\r\n NN 3.0\t0%\r\n\r\n NN 4.0\t0%\r\n\r\nその他\t100%")
                                   << QStringLiteral("MSIE\t0%\r\n\r\nNetscape\t0%\r\n\r\nその他\t100%\r\n\r\n");
    }

    // Several paints rebuild the legends without extending them, in the members and the edits.
    void legendTexts() {
        QFETCH(ShareCounters, counters);
        QFETCH(QString, version);
        QFETCH(QString, family);
        CShareDlg dlg;
        dlg.SetShare(counters);
        for (int paint = 0; paint < 3; ++paint) {
            Grab(dlg);
            QCOMPARE(Decoded(dlg.VersionLegend()), version);
            QCOMPARE(Decoded(dlg.FamilyLegend()), family);
            QCOMPARE(dlg.VersionLegendBox()->toPlainText(), WithoutCr(version));
            QCOMPARE(dlg.FamilyLegendBox()->toPlainText(), WithoutCr(family));
        }
    }

    void legendsComeWithTheCounters_data() { legendTexts_data(); }

    // The legends are there as soon as the counters are set, before anything is painted,
    // and setting a zero total afterwards empties them.
    void legendsComeWithTheCounters() {
        QFETCH(ShareCounters, counters);
        QFETCH(QString, version);
        QFETCH(QString, family);
        CShareDlg dlg;
        dlg.SetShare(counters);
        QCOMPARE(dlg.Share(), counters);
        QCOMPARE(Decoded(dlg.VersionLegend()), version);
        QCOMPARE(Decoded(dlg.FamilyLegend()), family);
        QCOMPARE(dlg.VersionLegendBox()->toPlainText(), WithoutCr(version));
        QCOMPARE(dlg.FamilyLegendBox()->toPlainText(), WithoutCr(family));
        dlg.SetShare(ShareCounters{});
        QVERIFY(dlg.VersionLegend().empty());
        QVERIFY(dlg.FamilyLegend().empty());
        QVERIFY(dlg.VersionLegendBox()->toPlainText().isEmpty());
        QVERIFY(dlg.FamilyLegendBox()->toPlainText().isEmpty());
    }

    void legendLinesStandBesideSwatches_data() {
        QTest::addColumn<ShareCounters>("counters");
        QTest::newRow("ten lines") << kTenLines;
        QTest::newRow("all other, 100%") << kAllOther;
        QTest::newRow("all MSIE 4.0, 100%") << kAllMsie40;
        QTest::newRow("one NN 2.0, 100%") << kAllNn20;
    }

    // Each legend line starts one 15-pixel text line below the one before, so entry k
    // stands beside swatch k, and every percentage fits in its box without scrolling.
    void legendLinesStandBesideSwatches() {
        QFETCH(ShareCounters, counters);
        CShareDlg dlg;
        dlg.SetShare(counters);
        Grab(dlg);
        for (QTextEdit* box : {dlg.VersionLegendBox(), dlg.FamilyLegendBox()}) {
            QTextDocument* document = box->document();
            QVERIFY(document->blockCount() >= 5);
            for (int line = 0; line < document->blockCount(); ++line) {
                const QTextBlock block = document->findBlockByNumber(line);
                QCOMPARE(document->documentLayout()->blockBoundingRect(block).top(), 15.0 * line);
            }
            QVERIFY2(document->idealWidth() <= box->viewport()->width(),
                     qPrintable(QStringLiteral("legend %1 px wide").arg(document->idealWidth())));
        }
    }

    // The legends are only replaced when they change: repainting the dialog keeps what
    // the user selected in a legend, and a shown dialog comes to rest.
    void repaintKeepsTheLegends() {
        CShareDlg dlg;
        dlg.SetShare(kTenLines);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTRY_COMPARE(dlg.VersionLegendBox()->toPlainText(), WithoutCr(kTenVersionLegend));
        for (QTextEdit* legend : {dlg.VersionLegendBox(), dlg.FamilyLegendBox()}) {
            legend->selectAll();
        }
        dlg.repaint();
        QTest::qWait(50);
        QVERIFY(dlg.VersionLegendBox()->textCursor().hasSelection());
        QVERIFY(dlg.FamilyLegendBox()->textCursor().hasSelection());
        int paints = 0;
        PaintCounter counter(paints);
        dlg.installEventFilter(&counter);
        QTest::qWait(100);
        QCOMPARE(paints, 0);
    }

    void okEndsAccepted() {
        CShareDlg dlg;
        dlg.SetShare(kTenLines);
        QTimer::singleShot(0, &dlg, [&dlg] { dlg.OkButton()->click(); });
        QCOMPARE(dlg.exec(), int(QDialog::Accepted));
    }

private:
    class PaintCounter : public QObject {
    public:
        explicit PaintCounter(int& paints) : m_paints(paints) {}
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) {
                ++m_paints;
            }
            return false;
        }

    private:
        int& m_paints;
    };
};

QTEST_MAIN(ShareDlgTest)
#include "ShareDlgTest.moc"
