// The date-window dialog: two dates within the log's first and last dates, and whether to
// read the window's first 10000 lines or all of it.
#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "logstore/DateWindow.h"
#include "window/QtDialogFrame.h"

class QDateEdit;
class QEvent;
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
    // their bounds. They open on shown's dates (kept within the span) with its extent, or
    // without it on the log's first and last dates with the first 10000 lines chosen.
    CDateWindowDlg(QWidget* owner, const DateSpan& span, const std::optional<DateWindowChoice>& shown = std::nullopt);

    // The dates and the extent shown now.
    DateWindowChoice Choice() const;

    QDateEdit* SinceEdit() const { return m_since; }
    QDateEdit* UntilEdit() const { return m_until; }
    QRadioButton* FirstLinesButton() const { return m_firstLines; }
    QRadioButton* WholeButton() const { return m_whole; }
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CancelButton() const { return m_cancel; }

    // Tells the user why OK did not close the dialog; replaceable for tests.
    std::function<void(const QString&)> m_warn;

protected:
    // F4 and Alt+Down open a date box's calendar, as they open a drop-down list.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // OK: the dates are checked only now, so typing one never moves the other; a start
    // after the end is refused with a message and the dialog stays open.
    void OnOK();

    QDateEdit* m_since = nullptr;
    QDateEdit* m_until = nullptr;
    QRadioButton* m_firstLines = nullptr;
    QRadioButton* m_whole = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

// Runs the dialog modally over owner, opening on shown; the choice, or nothing on cancel.
std::optional<DateWindowChoice> ChooseDateWindow(QWidget* owner, const DateSpan& span,
                                                 const std::optional<DateWindowChoice>& shown = std::nullopt);

// Opens the date box's calendar below it, on the box's date.
void OpenCalendar(QDateEdit* edit);

}  // namespace quorlet3
