// The page picker offscreen: names from a real log, refilled on each drop-down, the choice returned.
#include <QAbstractItemView>
#include <QComboBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>
#include <string>
#include <vector>

#include "encoding/Cp932.h"
#include "pagedays/PageDays.h"
#include "tests/support/GuiSupport.h"
#include "window/DialogUnits.h"
#include "window/PageDayDlg.h"

using quorlet3::CPageDayDlg;
using quorlet3::CQuorlet3Doc;
using quorlet3::PageNameList;

namespace {

// The page name list of a log holding one page record per name, in this order.
PageNameList CollectFromLog(const std::vector<std::string>& names) {
    std::vector<std::string> lines;
    for (const std::string& name : names) {
        const std::vector<std::string> record = quorlet3::test::PageRecord(name);
        lines.insert(lines.end(), record.begin(), record.end());
    }
    PageNameList pages;
    quorlet3::FillPageNameList(quorlet3::ComputePageNames(quorlet3::test::LoadLines(lines).Store()), pages);
    return pages;
}

PageNameList NamesOf(const std::vector<std::string>& names) {
    PageNameList pages;
    std::copy(names.begin(), names.end(), pages.begin());
    return pages;
}

QStringList Items(const QComboBox* list) {
    QStringList items;
    for (int k = 0; k < list->count(); ++k) {
        items << list->itemText(k);
    }
    return items;
}

// Opens the list the way the user does, then closes it again.
void DropDown(CPageDayDlg& dlg) {
    dlg.PageList()->showPopup();
    dlg.PageList()->hidePopup();
}

}  // namespace

class PageDayDlgTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")); }

    // The list above the two buttons, each whole inside the dialog and readable; the
    // survey button left of cancel and the default.
    void layout() {
        CPageDayDlg dlg;
        dlg.show();
        QCOMPARE(dlg.windowTitle(), QStringLiteral("ページ別アクセス日"));
        const QString unreadable =
            quorlet3::test::ControlsUnreadable(dlg, {dlg.PageList(), dlg.SurveyButton(), dlg.CancelButton()});
        QVERIFY2(unreadable.isEmpty(), qPrintable(unreadable));
        QVERIFY(!dlg.PageList()->isEditable());
        QVERIFY(dlg.PageList()->geometry().bottom() < dlg.SurveyButton()->geometry().top());
        QCOMPARE(dlg.SurveyButton()->text(), QStringLiteral("調査"));
        QVERIFY(dlg.SurveyButton()->isDefault());
        QCOMPARE(dlg.CancelButton()->text(), QStringLiteral("ｷｬﾝｾﾙ"));
        QVERIFY(dlg.SurveyButton()->geometry().right() < dlg.CancelButton()->geometry().left());
        QCOMPARE(dlg.SurveyButton()->y(), dlg.CancelButton()->y());
    }

    void opensEmptyWithNothingChosen() {
        CPageDayDlg dlg;
        dlg.SetPages(NamesOf({"a.html", "b.html"}));
        dlg.show();
        QCOMPARE(dlg.PageList()->count(), 0);
        QCOMPARE(dlg.PageList()->currentIndex(), -1);
        QCOMPARE(dlg.ChosenPage().value_or(-1), -1);
    }

    void dropDownShowsTheList_data() {
        QTest::addColumn<PageNameList>("pages");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("b, a, b, c from the log")
            << CollectFromLog({"b.html", "a.html", "b.html", "c.html"}) << QStringList{"a.html", "b.html", "c.html"};
        QTest::newRow("case and trailing space kept")
            << NamesOf({"A.html", "a.html", "a.html "}) << QStringList{"A.html", "a.html", "a.html "};
        QTest::newRow("cp932 names decoded") << NamesOf({"\x83\x67\x83\x62\x83\x76.html", "\x93\xfa\x8b\x4c"})
                                             << QStringList{QStringLiteral("トップ.html"), QStringLiteral("日記")};
        QTest::newRow("stops at the first empty slot") << NamesOf({"a.html", "", "c.html"}) << QStringList{"a.html"};
        QTest::newRow("no names") << PageNameList{} << QStringList{};
        PageNameList full;
        QStringList fullItems;
        for (int k = 0; k < quorlet3::kPageNameSlots; ++k) {
            full[static_cast<size_t>(k)] = "p" + std::to_string(1000 + k);
            fullItems << QString::fromStdString(full[static_cast<size_t>(k)]);
        }
        QTest::newRow("all 300 slots") << full << fullItems;
    }

    // Opening the list twice leaves one copy of each name, in list order, and clears the
    // choice made after the first opening.
    void dropDownShowsTheList() {
        QFETCH(PageNameList, pages);
        QFETCH(QStringList, items);
        CPageDayDlg dlg;
        dlg.SetPages(pages);
        dlg.show();
        for (int open = 0; open < 2; ++open) {
            DropDown(dlg);
            QCOMPARE(Items(dlg.PageList()), items);
            QCOMPARE(dlg.PageList()->currentIndex(), -1);
            QCOMPARE(dlg.ChosenPage().value_or(-1), -1);
            dlg.PageList()->setCurrentIndex(dlg.PageList()->count() - 1);
        }
    }

    // The user opens the list, picks c.html with the keyboard and presses the survey button.
    void choosingCGivesItsIndex() {
        CPageDayDlg dlg;
        dlg.SetPages(CollectFromLog({"b.html", "a.html", "b.html", "c.html"}));
        QTimer::singleShot(0, &dlg, [&dlg] {
            QComboBox* list = dlg.PageList();
            list->showPopup();
            QTest::keyClick(list->view(), Qt::Key_End);
            QTest::keyClick(list->view(), Qt::Key_Return);
            dlg.SurveyButton()->click();
        });
        QCOMPARE(dlg.exec(), int(QDialog::Accepted));
        QCOMPARE(dlg.ChosenPage().value_or(-1), 2);
        QCOMPARE(dlg.Pages()[2], std::string("c.html"));
    }

    void surveyWithoutChoiceGivesMinusOne_data() {
        QTest::addColumn<bool>("openedFirst");
        QTest::newRow("list never opened") << false;
        QTest::newRow("list opened, nothing picked") << true;
    }

    void surveyWithoutChoiceGivesMinusOne() {
        QFETCH(bool, openedFirst);
        CPageDayDlg dlg;
        dlg.SetPages(NamesOf({"a.html", "b.html"}));
        QTimer::singleShot(0, &dlg, [&dlg, openedFirst] {
            if (openedFirst) {
                DropDown(dlg);
            }
            QTest::keyClick(&dlg, Qt::Key_Return);
        });
        QCOMPARE(dlg.exec(), int(QDialog::Accepted));
        QCOMPARE(dlg.ChosenPage().value_or(-1), -1);
    }

    void cancelLeavesTheChoiceUnread_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("cancel button") << false;
        QTest::newRow("Escape") << true;
    }

    void cancelLeavesTheChoiceUnread() {
        QFETCH(bool, escape);
        CPageDayDlg dlg;
        dlg.SetPages(NamesOf({"a.html", "b.html"}));
        QTimer::singleShot(0, &dlg, [&dlg, escape] {
            DropDown(dlg);
            dlg.PageList()->setCurrentIndex(1);
            if (escape) {
                QTest::keyClick(&dlg, Qt::Key_Escape);
            } else {
                dlg.CancelButton()->click();
            }
        });
        QCOMPARE(dlg.exec(), int(QDialog::Rejected));
        QCOMPARE(dlg.ChosenPage().value_or(-1), -1);
    }

    void droppedListKeepsItsHeight_data() {
        QTest::addColumn<int>("names");
        QTest::newRow("3 names") << 3;
        QTest::newRow("300 names, one very long") << 300;
    }

    void droppedListKeepsItsHeight() {
        // Dropped, box and list together stand 145 dialog units high, the list as wide as the
        // box, scrolling however many names; a long name is cut and whole in its tooltip.
        QFETCH(int, names);
        CPageDayDlg dlg;
        const std::string longName = "/" + std::string(400, 'x') + ".html";
        std::vector<std::string> pages;
        for (int k = 0; k < names; ++k) {
            pages.push_back(k == 1 ? longName : "page" + std::to_string(1000 + k) + ".html");
        }
        std::sort(pages.begin(), pages.end());
        dlg.SetPages(NamesOf(pages));
        dlg.show();
        QComboBox* list = dlg.PageList();
        list->showPopup();
        QWidget* popup = list->view()->window();
        QVERIFY(popup->isVisible());
        QCOMPARE(list->height() + popup->height(), quorlet3::DialogY(145));
        QCOMPARE(popup->width(), list->width());
        QCOMPARE(popup->mapToGlobal(QPoint(0, 0)), list->mapToGlobal(QPoint(0, list->height())));
        QCOMPARE(list->view()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(list->view()->verticalScrollBar()->maximum() > 0, names > 10);
        const int row = list->findText(QString::fromStdString(longName));
        QVERIFY(row >= 0);
        QCOMPARE(list->itemData(row, Qt::ToolTipRole).toString(), QString::fromStdString(longName));
        QCOMPARE(list->view()->textElideMode(), Qt::ElideRight);
        list->hidePopup();
    }
};

QTEST_MAIN(PageDayDlgTest)
#include "PageDayDlgTest.moc"
