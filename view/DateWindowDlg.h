// The date-window dialog: two dates within the log's first and last dates, and whether to
// read the window's first 10000 lines or all of it.
#pragma once

#include <optional>

#include "logstore/DateWindow.h"
#include "platform/QtDialogFrame.h"

class QDateEdit;
class QPushButton;
class QRadioButton;

namespace quorlet3 {

// A window of dates as the user chose it: since is never after until.
struct DateWindowChoice {
    CivilDate since;
    CivilDate until;
    bool whole = false;  // every line of the window, not its first 10000

    DateWindow Dates() const { return {since, until}; }
};

class CDateWindowDlg : public CModalDialog {
    Q_OBJECT
public:
    // owner: the window the dialog opens over. Both date boxes take the log's span as
    // their bounds and open on its first and last dates; the first 10000 lines are chosen.
    CDateWindowDlg(QWidget* owner, const DateSpan& span);

    // The dates and the extent shown now.
    DateWindowChoice Choice() const;

    QDateEdit* SinceEdit() const { return m_since; }
    QDateEdit* UntilEdit() const { return m_until; }
    QRadioButton* FirstLinesButton() const { return m_firstLines; }
    QRadioButton* WholeButton() const { return m_whole; }
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CancelButton() const { return m_cancel; }

private:
    QDateEdit* m_since = nullptr;
    QDateEdit* m_until = nullptr;
    QRadioButton* m_firstLines = nullptr;
    QRadioButton* m_whole = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

// Runs the dialog modally over owner; the choice, or nothing on cancel.
std::optional<DateWindowChoice> ChooseDateWindow(QWidget* owner, const DateSpan& span);

}  // namespace quorlet3
