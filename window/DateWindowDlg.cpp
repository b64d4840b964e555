// The date-window dialog. The two dates are checked against each other when OK is pressed.
#include "window/DateWindowDlg.h"

#include <QButtonGroup>
#include <QCalendarWidget>
#include <QDate>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>

#include "window/DialogUnits.h"
#include "window/QtDialogs.h"
#include "window/QtWaitCursor.h"

namespace quorlet3 {
namespace {

QDate ToQDate(const CivilDate& date) { return {date.year, date.month, date.day}; }
CivilDate ToCivilDate(const QDate& date) { return {date.year(), date.month(), date.day()}; }

QDateEdit* MakeDateEdit(QWidget* parent, const DateSpan& span, const CivilDate& shown, const QRect& where) {
    auto* edit = new QDateEdit(parent);
    edit->setLocale(QLocale(QLocale::Japanese, QLocale::Japan));  // the calendar's month and weekday names
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setCalendarPopup(true);
    edit->setDateRange(ToQDate(span.first), ToQDate(span.last));
    edit->setDate(ToQDate(shown));
    edit->setGeometry(where);
    return edit;
}

QLabel* MakeLabel(QWidget* parent, const QString& text, QWidget* buddy, const QRect& where) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    label->setGeometry(where);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

}  // namespace

CDateWindowDlg::CDateWindowDlg(QWidget* owner, const DateSpan& span, const std::optional<DateWindowChoice>& shown)
    : CModalDialog(owner, QStringLiteral("期間を指定して読み込む"), 150, 78),
      m_warn([this](const QString& text) { ShowWarning(this, text); }) {
    // The boxes clamp a date outside the span to its nearer end.
    m_since = MakeDateEdit(this, span, shown ? shown->since : span.first, DialogRect(50, 7, 93, 13));
    m_until = MakeDateEdit(this, span, shown ? shown->until : span.last, DialogRect(50, 24, 93, 13));
    MakeLabel(this, QStringLiteral("開始日(&S)："), m_since, DialogRect(7, 7, 42, 13));
    MakeLabel(this, QStringLiteral("終了日(&E)："), m_until, DialogRect(7, 24, 42, 13));
    m_since->installEventFilter(this);
    m_until->installEventFilter(this);

    m_firstLines = new QRadioButton(QStringLiteral("最初の 10000 行(&F)"), this);
    m_firstLines->setGeometry(DialogRect(7, 42, 72, 11));
    m_whole = new QRadioButton(QStringLiteral("期間全体(&W)"), this);
    m_whole->setGeometry(DialogRect(84, 42, 60, 11));
    auto* extent = new QButtonGroup(this);
    extent->addButton(m_firstLines);
    extent->addButton(m_whole);
    (shown && shown->whole ? m_whole : m_firstLines)->setChecked(true);

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setGeometry(DialogRect(38, 59, 50, 14));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &CDateWindowDlg::OnOK);
    m_cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    m_cancel->setGeometry(DialogRect(93, 59, 50, 14));
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(m_since, m_until);
    setTabOrder(m_until, m_firstLines);
    setTabOrder(m_firstLines, m_ok);
    setTabOrder(m_ok, m_cancel);
    m_since->setFocus();
}

void CDateWindowDlg::OnOK() {
    if (m_since->date() > m_until->date()) {
        m_warn(
            QStringLiteral("開始日が終了日より後になっています。\n開始日を終了日と同じか、それより前にしてください。"));
        m_since->setFocus();
        return;
    }
    accept();
}

bool CDateWindowDlg::eventFilter(QObject* watched, QEvent* event) {
    auto* edit = qobject_cast<QDateEdit*>(watched);
    if (edit != nullptr && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool altDown = key->key() == Qt::Key_Down && (key->modifiers() & Qt::AltModifier) != 0;
        if (key->key() == Qt::Key_F4 || altDown) {
            OpenCalendar(edit);
            return true;
        }
    }
    return CModalDialog::eventFilter(watched, event);
}

void OpenCalendar(QDateEdit* edit) {
    QCalendarWidget* calendar = edit->calendarWidget();  // made with its popup on first use
    calendar->setSelectedDate(edit->date());
    QWidget* popup = calendar->window();
    popup->adjustSize();
    popup->move(edit->mapToGlobal(QPoint(0, edit->height())));
    popup->show();
    calendar->setFocus();
}

DateWindowChoice CDateWindowDlg::Choice() const {
    return {ToCivilDate(m_since->date()), ToCivilDate(m_until->date()), m_whole->isChecked()};
}

std::optional<DateWindowChoice> ChooseDateWindow(QWidget* owner, const DateSpan& span,
                                                 const std::optional<DateWindowChoice>& shown) {
    CDateWindowDlg dlg(owner, span, shown);
    CDialogCursor arrow;
    if (dlg.DoModal() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dlg.Choice();
}

}  // namespace quorlet3
