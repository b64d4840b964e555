// The form view: the file-name box above the result box, and the handlers of the command table.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "logstore/Quorlet3Doc.h"
#include "view/CommandTable.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QResizeEvent;

namespace quorlet3 {

// Control ids of the form.
inline constexpr int kIdResultBox = 1000;
inline constexpr int kIdFileNameBox = 1001;

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

    // Lays the two boxes out over the client area.
    void OnSize();

    // With false, puts m_strResult and m_strFileName into their boxes. The view never
    // reads the boxes back, so true does nothing.
    void UpdateData(bool saveAndValidate = true);

    // The control of that id, or null.
    QWidget* GetDlgItem(int id) const;

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

private:
    CQuorlet3Doc& m_doc;
    QLabel* m_label = nullptr;
    QPlainTextEdit* m_resultBox = nullptr;
    QLineEdit* m_fileNameBox = nullptr;
};

// The message for a log that could not be opened or read; it names the file.
QString FileErrorText(const LogFileError& error);

}  // namespace quorlet3
