// The main frame: the window around the form view, with the menu and the accelerators.
#pragma once

#include <QList>
#include <QMainWindow>
#include <functional>

class QAction;
class QMenu;

namespace quorlet3 {

class CQuorlet3View;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // Takes the view as its client area.
    explicit CMainFrame(CQuorlet3View* view, QWidget* parent = nullptr);

    CQuorlet3View* GetActiveView() const { return m_view; }

    // Routes a command as the menu does: exit closes the window, the version dialog goes
    // to m_onAppAbout, the pane commands of the accelerators do nothing, everything else
    // goes to the view.
    void OnCommand(int id);

    // The menu item or accelerator carrying that command id, or null.
    QAction* FindCommandAction(int id) const;
    const QList<QAction*>& Accelerators() const { return m_accelerators; }

    // The application's handler of the version command.
    std::function<void()> m_onAppAbout;

private:
    void BuildMenu();
    void BuildAccelerators();
    QAction* AddCommandAction(QMenu* menu, const QString& text, int id);
    void RouteCommand(int id);

    CQuorlet3View* m_view;
    QList<QAction*> m_accelerators;
};

}  // namespace quorlet3
