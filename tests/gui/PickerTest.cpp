// The pickers of the window: the page picker's dropped list, and the file dialog's folder,
// rows and messages.
#include <QAbstractItemView>
#include <QComboBox>
#include <QImage>
#include <QtTest>
#include <memory>

#include "pagedays/PageDayDlg.h"
#include "platform/QtLogFileDialog.h"
#include "platform/QtText.h"
#include "tests/support/GuiSupport.h"

using namespace quorlet3;
using namespace quorlet3::test;

namespace {

// The picture of one row of the dropped list.
QImage RowImage(QComboBox* combo, int row) {
    QAbstractItemView* view = combo->view();
    const QRect rect = view->visualRect(combo->model()->index(row, 0));
    return view->viewport()->grab(rect).toImage();
}

}  // namespace

class PickerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { InstallDialogFontSubstitute(); }

    // Two names that differ only after the part the list can show look the same when cut
    // at the end; cut in the middle, their different ends would show. A name that differs
    // at its beginning must look different, or the rows would show nothing at all.
    void pageListCutsLongNamesAtTheirEnd() {
        const QString stem = QStringLiteral("/") + QString(150, QLatin1Char('x'));
        const QStringList names = {stem + QStringLiteral("_1.html"), stem + QStringLiteral("_2.html"),
                                   QStringLiteral("/y") + stem.mid(2) + QStringLiteral("_1.html"),
                                   QStringLiteral("a.html")};
        CPageDayDlg picker;
        for (qsizetype k = 0; k < names.size(); ++k) {
            picker.m_strPages[static_cast<size_t>(k)] = names[k].toStdString();  // ASCII: the same in cp932
        }
        QComboBox* combo = picker.PageList();
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        combo->showPopup();
        combo->view()->setCurrentIndex(combo->model()->index(3, 0));  // the short name is the highlighted one
        QVERIFY(combo->view()->isVisible());
        QCOMPARE(combo->count(), 4);
        QVERIFY(combo->view()->visualRect(combo->model()->index(0, 0)).width() < 400);
        QCOMPARE(RowImage(combo, 0), RowImage(combo, 1));
        QVERIFY(RowImage(combo, 0) != RowImage(combo, 2));
        combo->hidePopup();
    }
};

QTEST_MAIN(PickerTest)
#include "PickerTest.moc"
