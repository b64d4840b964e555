// The pickers of the window: the page picker's dropped list, and the file dialog's folder,
// rows and messages.
#include <dirent.h>
#include <sys/stat.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>
#include <memory>

#include "tests/support/GuiSupport.h"
#include "window/PageDayDlg.h"
#include "window/QtDialogs.h"
#include "window/QtLogFileDialog.h"
#include "window/QtText.h"

using namespace quorlet3;
using namespace quorlet3::test;

namespace {

// The picture of one row of the dropped list.
QImage RowImage(QComboBox* combo, int row) {
    QAbstractItemView* view = combo->view();
    const QRect rect = view->visualRect(combo->model()->index(row, 0));
    return view->viewport()->grab(rect).toImage();
}

// The texts of the dialog's list, in order.
QStringList Listed(const CLogFileDialog& dialog) {
    QStringList names;
    for (int row = 0; row < dialog.FileList()->count(); ++row) {
        names << dialog.FileList()->item(row)->text();
    }
    return names;
}

// Runs body on the next file dialog the chooser opens, then cancels the dialog if it is still open.
void OnNextFileDialog(const std::function<void(CLogFileDialog&)>& body) {
    QTimer::singleShot(0, [body] {
        auto* dialog = qobject_cast<CLogFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        body(*dialog);
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
}

const std::string kUtf8Log = "\xE3\x83\xAD\xE3\x82\xB0.log";  // ログ.log in UTF-8
const std::string kCp932Log = "\x83\x8D\x83\x4F.log";         // ログ.log in cp932
const std::string kTakaA = "\xEE\xE0.log";                    // 髙.log, one cp932 code
const std::string kTakaB = "\xFB\xFC.log";                    // 髙.log, the other code

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
        PageNameList pages;
        for (qsizetype k = 0; k < names.size(); ++k) {
            pages[static_cast<size_t>(k)] = names[k].toStdString();  // ASCII: the same in cp932
        }
        CPageDayDlg picker;
        picker.SetPages(pages);
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

    // A name that ends in a lone CR shows its CR sign, as the result box does.
    void aCrInANameShowsItsSign() {
        CPageDayDlg picker;
        picker.SetPages({"\x8C\x66\x8E\xA6\x94\xC2", "\x8C\x66\x8E\xA6\x94\xC2\r"});  // 掲示板, then with a CR
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        QComboBox* combo = picker.PageList();
        combo->showPopup();
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->itemText(0), QStringLiteral("掲示板"));
        QCOMPARE(combo->itemText(1), QStringLiteral("掲示板\u240D"));
        combo->hidePopup();
    }

    void namesShownAlikeOpenTheirOwnFiles_data() {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("UTF-8 and cp932") << QByteArray::fromStdString(kUtf8Log) << QByteArray::fromStdString(kCp932Log)
                                         << QStringList{"ログ.log", "ログ.log　（Shift_JIS）"};
        QTest::newRow("two cp932 codes of one character")
            << QByteArray::fromStdString(kTakaA) << QByteArray::fromStdString(kTakaB)
            << QStringList{"髙.log　（Shift_JIS EE E0 2E 6C 6F 67）", "髙.log　（Shift_JIS FB FC 2E 6C 6F 67）"};
    }

    // Every row opens its own file, whether chosen by selecting it and Open, by Enter on
    // the row, or by the name box's text; the rows of names that show alike differ.
    void namesShownAlikeOpenTheirOwnFiles() {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        QFETCH(QStringList, shown);
        TempDir folder;
        folder.WriteFile(first.toStdString(), "first\r\n");
        folder.WriteFile(second.toStdString(), "second\r\n");
        for (const QByteArray& name : {first, second}) {
            for (int how = 0; how < 3; ++how) {
                std::unique_ptr<CLogFileDialog> dialog = MakeLogFileDialog(nullptr);
                dialog->SetFolder(folder.Path());
                QCOMPARE(Listed(*dialog), shown);
                int row = -1;
                for (int k = 0; k < dialog->FileList()->count(); ++k) {
                    if (dialog->FileList()->item(k)->data(Qt::UserRole).toByteArray() == name) {
                        row = k;
                    }
                }
                QVERIFY(row >= 0);
                if (how == 0) {
                    dialog->FileList()->setCurrentRow(row);
                    dialog->accept();
                } else if (how == 1) {
                    dialog->FileList()->setCurrentRow(row);
                    Q_EMIT dialog->FileList()->itemActivated(dialog->FileList()->item(row));
                } else {
                    dialog->NameBox()->setText(shown[row]);
                    dialog->accept();
                }
                QCOMPARE(dialog->result(), int(QDialog::Accepted));
                QCOMPARE(dialog->SelectedFile(), folder.PathOf(name.toStdString()));
            }
        }
    }

    void nextChoiceStartsWhereTheLastFileWas_data() {
        QTest::addColumn<QString>("typed");  // "~" stands for the test's folder
        QTest::addColumn<QString>("startsIn");
        QTest::newRow("a full path") << "~/other/a.log"
                                     << "~/other";
        QTest::newRow("a path from the folder shown") << "other/a.log"
                                                      << "~/shown/other";
        QTest::newRow("a name in the folder shown") << "a.log"
                                                    << "~/shown";
        QTest::newRow("a full path into no folder") << "~/missing/a.log"
                                                    << "~/shown";
    }

    // After a typed path the next dialog opens in that file's folder, not in the one shown.
    void nextChoiceStartsWhereTheLastFileWas() {
        QFETCH(QString, typed);
        QFETCH(QString, startsIn);
        TempDir folder;
        const QString root = PathToQString(folder.Path());
        for (const char* sub : {"/other", "/shown", "/shown/other"}) {
            QVERIFY(QDir().mkdir(root + QLatin1String(sub)));
        }
        CQtFileChooser chooser;
        OnNextFileDialog([&](CLogFileDialog& dialog) {
            dialog.SetFolder(folder.Path() + "/shown");
            dialog.NameBox()->setText(typed.replace(QLatin1Char('~'), root));
            QTest::keyClick(dialog.NameBox(), Qt::Key_Return);
        });
        QVERIFY(chooser.ChooseLogFile().has_value());
        std::string startedIn;
        OnNextFileDialog([&](CLogFileDialog& dialog) { startedIn = dialog.Folder(); });
        QCOMPARE(chooser.ChooseLogFile(), std::nullopt);
        QCOMPARE(PathToQString(startedIn), startsIn.replace(QLatin1Char('~'), root));
    }

    // A log loaded otherwise than through the dialog (command line, drop, recent files)
    // is where the next choice starts, selected, not the folder the dialog was in last.
    void nextChoiceStartsOnTheLoadedLog() {
        TempDir folder;
        const std::string log = folder.WriteLines("b.log", MainRecord(1, 2));
        CQtFileChooser chooser;
        chooser.ShowLoaded(log);
        std::string startedIn;
        QString selected;
        OnNextFileDialog([&](CLogFileDialog& dialog) {
            startedIn = dialog.Folder();
            selected = dialog.NameBox()->text();
        });
        QCOMPARE(chooser.ChooseLogFile(), std::nullopt);
        QCOMPARE(startedIn, folder.Path());
        QCOMPARE(selected, QStringLiteral("b.log"));
    }

    void unreadableFolderSaysSo_data() {
        QTest::addColumn<QString>("folder");   // under the test's folder
        QTest::addColumn<QString>("message");  // empty: none shown
        QTest::newRow("readable") << "open" << QString();
        QTest::newRow("no permission") << "closed"
                                       << "このフォルダーの中を見る権限がないため、ファイルを一覧できません。";
        QTest::newRow("gone") << "missing"
                              << "このフォルダーは見つかりません。";
    }

    void unreadableFolderSaysSo() {
        QFETCH(QString, folder);
        QFETCH(QString, message);
        TempDir dir;
        for (const char* sub : {"open", "closed"}) {
            QVERIFY(QDir().mkdir(PathToQString(dir.PathOf(sub))));
            dir.WriteFile(std::string(sub) + "/a.log", "x\r\n");
        }
        QCOMPARE(::chmod(dir.PathOf("closed").c_str(), 0), 0);
        std::unique_ptr<CLogFileDialog> dialog = MakeLogFileDialog(nullptr);
        {
            const WithoutFileOverride asAnOrdinaryUser;  // root could read the closed folder
            if (folder == QLatin1String("closed")) {
                if (DIR* probe = ::opendir(dir.PathOf("closed").c_str()); probe != nullptr) {
                    ::closedir(probe);
                    ::chmod(dir.PathOf("closed").c_str(), 0700);
                    QSKIP("this process reads folders without permission (its file capabilities cannot be dropped)");
                }
            }
            dialog->SetFolder(dir.PathOf(folder.toStdString()));
        }
        ::chmod(dir.PathOf("closed").c_str(), 0700);  // so that the folder can be removed
        QCOMPARE(dialog->FolderMessage()->isHidden(), message.isEmpty());
        QCOMPARE(dialog->FolderMessage()->text(), message);
        QCOMPARE(dialog->FileList()->count(), message.isEmpty() ? 1 : 0);
    }
};

QTEST_MAIN(PickerTest)
#include "PickerTest.moc"
