// The main frame. Its menu is built from the command table, row by row in menu order.
#include "app/MainFrm.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "app/Quorlet3Icon.h"
#include "platform/QtDialogFrame.h"
#include "platform/QtText.h"
#include "view/CommandTable.h"
#include "view/Quorlet3View.h"

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

}  // namespace

CMainFrame::CMainFrame(CQuorlet3View* view, QWidget* parent) : QMainWindow(parent), m_view(view) {
    setWindowIcon(Quorlet3Icon());
    setCentralWidget(view);
    BuildMenu();
    BuildAccelerators();
    resize(800, 600);
}

void CMainFrame::BuildMenu() {
    QMenuBar* bar = menuBar();
    for (const CommandRow& row : CommandTable()) {
        // Walk down the popups of the path, making each the first time it is named.
        QMenu* menu = nullptr;
        size_t depth = 0;
        while (depth < row.menuPath.size() && row.menuPath[depth] != nullptr) {
            ++depth;
        }
        if (depth == 0) {
            continue;  // a row for scripts only has no place in the menu
        }
        const size_t popups = row.kind == CommandKind::Separator ? depth : depth - 1;
        for (size_t i = 0; i < popups; ++i) {
            const QString text = Cp932ToQString(row.menuPath[i]);
            QMenu* popup = FindPopup(menu == nullptr ? bar->actions() : menu->actions(), text);
            if (popup == nullptr) {
                popup = menu == nullptr ? bar->addMenu(text) : menu->addMenu(text);
            }
            menu = popup;
        }
        if (menu == nullptr) {
            continue;  // a row without a popup has no place in the menu
        }
        if (row.kind == CommandKind::Separator) {
            menu->addSeparator();
        } else {
            AddCommandAction(menu, Cp932ToQString(row.menuPath[depth - 1]), row.id);
        }
    }
}

QAction* CMainFrame::AddCommandAction(QMenu* menu, const QString& text, int id) {
    QAction* action = menu->addAction(text);
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    return action;
}

void CMainFrame::BuildAccelerators() {
    // F6 and Shift+F6 name the next and previous pane; with one pane they do nothing.
    const struct {
        QKeySequence keys;
        int id;
    } accelerators[] = {{QKeySequence(Qt::Key_F6), kIdNextPane}, {QKeySequence(Qt::SHIFT | Qt::Key_F6), kIdPrevPane}};
    for (const auto& accelerator : accelerators) {
        auto* action = new QAction(this);
        action->setShortcut(accelerator.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        action->setData(accelerator.id);
        const int id = accelerator.id;
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        addAction(action);
        m_accelerators.append(action);
    }
}

void CMainFrame::OnCommand(int id) {
    RunHandler("a menu command", [this, id] { RouteCommand(id); });
}

void CMainFrame::RouteCommand(int id) {
    switch (id) {
        case kIdAppExit:
            close();  // nothing is ever modified, so nothing is asked
            return;
        case kIdAppAbout:
            if (m_onAppAbout) {
                m_onAppAbout();
            }
            return;
        case kIdNextPane:
        case kIdPrevPane:
            return;
        default:
            m_view->OnCommand(id);
    }
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
            } else if (!action->isSeparator() && action->data().toInt() == id) {
                return action;
            }
        }
    }
    return nullptr;
}

}  // namespace quorlet3
