// The date-window dialog: two dates within the log's first and last dates, and whether to
// read the window's first 10000 lines or all of it.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>
#include <utility>

#include "logstore/DateWindow.h"

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

class CDateWindowDlg : public QDialog {
    Q_OBJECT
public:
    // owner: the window the dialog opens over.
    explicit CDateWindowDlg(QWidget* owner = nullptr);

    // Bounds both date boxes by the log's span and shows its first and last dates with
    // the first 10000 lines chosen.
    void SetSpan(const DateSpan& span);
    // Shows the choice's dates (each kept within the span set) and its extent.
    void SetChoice(const DateWindowChoice& choice);
    // The dates and the extent shown now.
    DateWindowChoice Choice() const;

    // Tells the user why OK did not close the dialog: a warning box unless replaced (tests
    // replace it).
    void SetWarning(std::function<void(const QString&)> warn) { m_warn = std::move(warn); }

    QDateEdit* SinceEdit() const { return m_since; }
    QDateEdit* UntilEdit() const { return m_until; }
    QRadioButton* FirstLinesButton() const { return m_firstLines; }
    QRadioButton* WholeButton() const { return m_whole; }
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CancelButton() const { return m_cancel; }

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
    std::function<void(const QString&)> m_warn;
};

// Runs the dialog modally over owner, opening on shown; the choice, or nothing on cancel.
std::optional<DateWindowChoice> ChooseDateWindow(QWidget* owner, const DateSpan& span,
                                                 const std::optional<DateWindowChoice>& shown = std::nullopt);

// Opens the date box's calendar below it, on the box's date.
void OpenCalendar(QDateEdit* edit);

}  // namespace quorlet3
