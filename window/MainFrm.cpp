// The main frame. Its menu is built from the menu table, row by row in menu order, and
// each item runs its own row's handler; the window's load, save and export commands join
// the file menu.
#include "window/MainFrm.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "window/QtDialogFrame.h"
#include "window/QtText.h"
#include "window/Quorlet3App.h"
#include "window/Quorlet3Icon.h"
#include "window/Quorlet3View.h"

namespace quorlet3 {
namespace {

// The popup of that text directly under parent, or null.
QMenu* FindPopup(const QList<QAction*>& actions, const QString& text) {
    for (QAction* action : actions) {
        if (action->menu() != nullptr && action->text() == text) {
            return action->menu();
        }
    }
    return nullptr;
}

// A recent file's menu text: its number as the mnemonic, then the path as it reads.
QString RecentFileText(int index, const std::string& path) {
    QString shown = PathToMarkedQString(path);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

}  // namespace

CMainFrame::CMainFrame(CQuorlet3View* view, std::span<const MenuRow> menu, std::span<const CommandRow> reports,
                       QWidget* parent)
    : QMainWindow(parent), m_view(view) {
    setWindowIcon(Quorlet3Icon());
    setCentralWidget(view);
    BuildMenu(menu, reports);
    BuildWindowCommands();
    connect(view, &CQuorlet3View::LoadedLinesChanged, this, [this](const QString& description) {
        setWindowTitle(description.isEmpty() ? MainCaption() : MainCaption() + QStringLiteral(" － ") + description);
    });
    resize(800, 600);
}

void CMainFrame::BuildMenu(std::span<const MenuRow> menu, std::span<const CommandRow> reports) {
    QMenuBar* bar = menuBar();
    for (const MenuRow& row : menu) {
        size_t depth = 0;
        while (depth < row.path.size() && row.path[depth] != nullptr) {
            ++depth;
        }
        if (depth == 0) {
            // An accelerator alone, for the whole window.
            auto* action = new QAction(this);
            action->setShortcut(QKeySequence(row.keys));
            action->setShortcutContext(Qt::WindowShortcut);
            action->setData(row.id);
            Connect(action, row, reports);
            addAction(action);
            m_accelerators.append(action);
            continue;
        }
        // Walk down the popups of the path, making each the first time it is named.
        QMenu* popup = nullptr;
        const size_t popups = IsSeparator(row) ? depth : depth - 1;
        for (size_t i = 0; i < popups; ++i) {
            const QString text = Cp932ToQString(row.path[i]);
            QMenu* next = FindPopup(popup == nullptr ? bar->actions() : popup->actions(), text);
            if (next == nullptr) {
                next = popup == nullptr ? bar->addMenu(text) : popup->addMenu(text);
            }
            popup = next;
        }
        if (popup == nullptr) {
            continue;  // an item needs a popup to stand in
        }
        if (IsSeparator(row)) {
            popup->addSeparator();
            continue;
        }
        QAction* action = popup->addAction(Cp932ToQString(row.path[depth - 1]));
        action->setData(row.id);  // the id names the item; the row's handler says what it does
        if (row.keys != QKeyCombination()) {
            action->setShortcut(QKeySequence(row.keys));
        }
        Connect(action, row, reports);
    }
}

void CMainFrame::Connect(QAction* action, const MenuRow& row, std::span<const CommandRow> reports) {
    if (row.run == nullptr) {
        return;
    }
    connect(action, &QAction::triggered, this, [this, run = row.run, report = ReportOfItem(row, reports)] {
        RunHandler("a menu command", [this, run, report] { run(*m_view, report); });
    });
}

void CMainFrame::OnAppAbout() {
    if (m_onAppAbout) {
        m_onAppAbout();
    }
}

QMenu* CMainFrame::FileMenu() const {
    QAction* specify = FindCommandAction(kIdSpecifyFile);
    return specify == nullptr ? nullptr : qobject_cast<QMenu*>(specify->parent());
}

void CMainFrame::BuildWindowCommands() {
    QMenu* file = FileMenu();
    if (file == nullptr) {
        return;
    }
    // They stand after the table's file commands, before the separator above exit.
    QAction* before = nullptr;
    for (QAction* action : file->actions()) {
        if (action->isSeparator()) {
            before = action;
            break;
        }
    }
    auto add = [file, before](const QString& text) {
        auto* action = new QAction(text, file);
        file->insertAction(before, action);
        return action;
    };
    file->insertSeparator(before);
    m_wholeLoad = add(QStringLiteral("ログ全体を読み込む(&W)…"));
    m_dateWindowLoad = add(QStringLiteral("期間を指定して読み込む(&D)…"));
    m_autoReload = add(QStringLiteral("自動更新(&U)"));
    m_autoReload->setCheckable(true);
    m_forgetStates = add(QStringLiteral("読み込んだ状態を忘れる(&K)"));
    file->insertSeparator(before);
    m_saveResult = add(QStringLiteral("結果を保存(&S)…"));
    m_exportHtml = add(QStringLiteral("HTMLレポートを書き出す(&H)…"));
    m_exportJson = add(QStringLiteral("結果をJSONで書き出す(&J)…"));
    m_exportCsv = add(QStringLiteral("結果をCSVで書き出す(&V)…"));

    CQuorlet3View* view = m_view;
    // Each command runs on the view; a failure passing out of it is caught and written.
    auto run = [view](QAction* action, void (*command)(CQuorlet3View&)) {
        connect(action, &QAction::triggered, view,
                [view, command] { RunHandler("a menu command", [view, command] { command(*view); }); });
    };
    run(m_wholeLoad, [](CQuorlet3View& v) { v.OnWholeLoad(); });
    run(m_dateWindowLoad, [](CQuorlet3View& v) { v.OnDateWindowLoad(); });
    run(m_forgetStates, [](CQuorlet3View& v) { v.OnForgetKeptStates(); });
    run(m_saveResult, [](CQuorlet3View& v) { v.OnSaveResult(); });
    run(m_exportHtml, [](CQuorlet3View& v) { v.OnExportHtml(); });
    run(m_exportJson, [](CQuorlet3View& v) { v.OnExportReport(ExportFormat::Json); });
    run(m_exportCsv, [](CQuorlet3View& v) { v.OnExportReport(ExportFormat::Csv); });
    connect(m_autoReload, &QAction::toggled, view, [view](bool on) { view->SetAutoReload(on); });
    connect(view, &CQuorlet3View::AutoReloadChanged, m_autoReload, &QAction::setChecked);
}

void CMainFrame::SetRecentFiles(const std::vector<std::string>& paths) {
    QMenu* file = FileMenu();
    if (file == nullptr) {
        return;
    }
    for (QAction* action : m_recentFiles) {
        file->removeAction(action);
        action->deleteLater();
    }
    m_recentFiles.clear();
    if (paths.empty()) {
        return;
    }
    QAction* exit = FindCommandAction(kIdAppExit);
    for (size_t i = 0; i < paths.size(); ++i) {
        auto* action = new QAction(RecentFileText(static_cast<int>(i), paths[i]), file);
        action->setData(QByteArray::fromStdString(paths[i]));  // the bytes, exactly as the file system spells them
        CQuorlet3View* view = m_view;
        connect(action, &QAction::triggered, view,
                [view, path = paths[i]] { RunHandler("a recent file", [view, &path] { view->OnOpenFile(path); }); });
        file->insertAction(exit, action);
        m_recentFiles.append(action);
    }
    m_recentFiles.append(file->insertSeparator(exit));
}

QAction* CMainFrame::FindCommandAction(int id) const {
    for (QAction* action : m_accelerators) {
        if (action->data().toInt() == id) {
            return action;
        }
    }
    // Through every popup of the menu bar, nested ones included.
    QList<QMenu*> pending;
    for (QAction* action : menuBar()->actions()) {
        if (action->menu() != nullptr) {
            pending.append(action->menu());
        }
    }
    while (!pending.isEmpty()) {
        QMenu* menu = pending.takeFirst();
        for (QAction* action : menu->actions()) {
            if (action->menu() != nullptr) {
                pending.append(action->menu());
            } else if (!action->isSeparator() && action->data().typeId() == QMetaType::Int &&
                       action->data().toInt() == id) {
                return action;
            }
        }
    }
    return nullptr;
}

}  // namespace quorlet3
