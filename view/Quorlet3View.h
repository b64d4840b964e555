// The form view: the file-name box above the result box, and the handlers of the command table.
#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "logstore/Quorlet3Doc.h"
#include "view/CommandTable.h"
#include "view/FileErrorText.h"

class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QResizeEvent;

namespace quorlet3 {

class CQuorlet3View : public QWidget {
    Q_OBJECT
public:
    explicit CQuorlet3View(CQuorlet3Doc& doc, QWidget* parent = nullptr);

    CQuorlet3Doc* GetDocument() const { return &m_doc; }

    // Runs the view's command of that id as a menu choice would. A failure that passes
    // out of the handler (a log that cannot be read) is reported in a message box after
    // the handler's wait cursor has ended. Ids the view does not handle are ignored.
    void OnCommand(int id);

    // Handlers. A report row runs OnReport; the other four have their own.
    void OnReport(const CommandRow& row);
    void OnSpecifyFile();
    void OnViewContents();
    void OnShare(const CommandRow& row);
    void OnPageDays();

    // Loads a file dropped on the window exactly as choosing it with OnSpecifyFile would:
    // the result box is cleared and the path shown, or the failure reported and the old
    // log, path and report kept.
    void OnDropFile(const std::string& path);

    // Lays the two boxes out over the client area.
    void OnSize();

    // Puts m_strResult and m_strFileName into their boxes (the transfer towards the
    // controls); the view never reads the boxes back.
    void UpdateData();

    QPlainTextEdit* ResultBox() const { return m_resultBox; }
    QLineEdit* FileNameBox() const { return m_fileNameBox; }

    std::string m_strResult;  // the last report, cp932 bytes as the document returned them
    QString m_strFileName;    // the initial sentence, then the path of the loaded log

    // Dialogs the handlers open, replaceable so that tests need no modal loop.
    // Shows the share pies for the counters (only called when the total is not 0).
    std::function<void(const ShareCounters&)> m_runShareDialog;
    // Lets the user pick one of the pages; returns its index, or nothing on cancel.
    std::function<std::optional<int>(const PageNameList&)> m_choosePage;
    // Tells the user that a command failed.
    std::function<void(const QString&)> m_reportError;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Runs a handler; a failure that passes out of it is reported after its wait cursor ended.
    void RunCommand(const std::function<void()>& handler);
    void ShowLoadedFile(const std::string& path);

    CQuorlet3Doc& m_doc;
    QLabel* m_label = nullptr;
    QPointer<QPlainTextEdit> m_resultBox;  // control 1000
    QPointer<QLineEdit> m_fileNameBox;     // control 1001
};

// Report text as the result box shows it: lines end at CR LF only; a CR on its own
// shows as the symbol U+240D so that it does not start a line.
QString ReportToDisplay(std::string_view reportCp932);

}  // namespace quorlet3
