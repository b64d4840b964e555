// The main frame: the window around the form view, with the menu and the accelerators.
#pragma once

#include <QList>
#include <QMainWindow>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "window/MenuTable.h"

class QAction;
class QMenu;

namespace quorlet3 {

class CQuorlet3View;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // Takes the view as its client area. The menu and the accelerators are the menu
    // table's rows, each item running its row's handler with the report its row names in
    // the report table; both tables must outlive the frame.
    explicit CMainFrame(CQuorlet3View* view, std::span<const MenuRow> menu = MenuTable(),
                        std::span<const CommandRow> reports = CommandTable(), QWidget* parent = nullptr);

    CQuorlet3View* GetActiveView() const { return m_view; }

    // The version command: the dialog is the application's, through m_onAppAbout.
    void OnAppAbout();

    // The menu item or accelerator carrying that command id, or null.
    QAction* FindCommandAction(int id) const;
    const QList<QAction*>& Accelerators() const { return m_accelerators; }

    // The window's own commands in the file menu.
    QAction* WholeLoadAction() const { return m_wholeLoad; }
    QAction* DateWindowLoadAction() const { return m_dateWindowLoad; }
    QAction* AutoReloadAction() const { return m_autoReload; }
    QAction* SaveResultAction() const { return m_saveResult; }
    QAction* ExportHtmlAction() const { return m_exportHtml; }
    QAction* ExportJsonAction() const { return m_exportJson; }
    QAction* ExportCsvAction() const { return m_exportCsv; }

    // Shows the recent-file list (file-system bytes, the most recent first) in the file
    // menu above the exit command; choosing an entry opens that file.
    void SetRecentFiles(const std::vector<std::string>& paths);
    const QList<QAction*>& RecentFileActions() const { return m_recentFiles; }

    // The application's handler of the version command.
    std::function<void()> m_onAppAbout;

private:
    void BuildMenu(std::span<const MenuRow> menu, std::span<const CommandRow> reports);
    void BuildWindowCommands();
    QMenu* FileMenu() const;
    // The action that runs the row's handler (if it has one) with its report.
    void Connect(QAction* action, const MenuRow& row, std::span<const CommandRow> reports);

    CQuorlet3View* m_view;
    QList<QAction*> m_accelerators;
    QAction* m_wholeLoad = nullptr;
    QAction* m_dateWindowLoad = nullptr;
    QAction* m_autoReload = nullptr;
    QAction* m_forgetStates = nullptr;  // forgets the whole logs' kept states
    QAction* m_saveResult = nullptr;
    QAction* m_exportHtml = nullptr;
    QAction* m_exportJson = nullptr;
    QAction* m_exportCsv = nullptr;
    QList<QAction*> m_recentFiles;  // the entries, then the separator after them
};

}  // namespace quorlet3
