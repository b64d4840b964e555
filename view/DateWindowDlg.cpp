// The date-window dialog. The two dates never cross: moving one past the other takes the
// other along.
#include "view/DateWindowDlg.h"

#include <QButtonGroup>
#include <QDate>
#include <QDateEdit>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>

#include "platform/DialogUnits.h"
#include "platform/QtWaitCursor.h"

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

CDateWindowDlg::CDateWindowDlg(QWidget* owner, const DateSpan& span)
    : CModalDialog(owner, QStringLiteral("期間を指定して読み込む"), 150, 78) {
    m_since = MakeDateEdit(this, span, span.first, DialogRect(50, 7, 93, 13));
    m_until = MakeDateEdit(this, span, span.last, DialogRect(50, 24, 93, 13));
    MakeLabel(this, QStringLiteral("開始日(&S)："), m_since, DialogRect(7, 7, 42, 13));
    MakeLabel(this, QStringLiteral("終了日(&E)："), m_until, DialogRect(7, 24, 42, 13));
    connect(m_since, &QDateEdit::dateChanged, this, [this](const QDate& since) {
        if (m_until->date() < since) {
            m_until->setDate(since);
        }
    });
    connect(m_until, &QDateEdit::dateChanged, this, [this](const QDate& until) {
        if (m_since->date() > until) {
            m_since->setDate(until);
        }
    });

    m_firstLines = new QRadioButton(QStringLiteral("最初の 10000 行(&F)"), this);
    m_firstLines->setGeometry(DialogRect(7, 42, 72, 11));
    m_whole = new QRadioButton(QStringLiteral("期間全体(&W)"), this);
    m_whole->setGeometry(DialogRect(84, 42, 60, 11));
    auto* extent = new QButtonGroup(this);
    extent->addButton(m_firstLines);
    extent->addButton(m_whole);
    m_firstLines->setChecked(true);

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setGeometry(DialogRect(38, 59, 50, 14));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    m_cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    m_cancel->setGeometry(DialogRect(93, 59, 50, 14));
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(m_since, m_until);
    setTabOrder(m_until, m_firstLines);
    setTabOrder(m_firstLines, m_ok);
    setTabOrder(m_ok, m_cancel);
    m_since->setFocus();
}

DateWindowChoice CDateWindowDlg::Choice() const {
    return {ToCivilDate(m_since->date()), ToCivilDate(m_until->date()), m_whole->isChecked()};
}

std::optional<DateWindowChoice> ChooseDateWindow(QWidget* owner, const DateSpan& span) {
    CDateWindowDlg dlg(owner, span);
    CDialogCursor arrow;
    if (dlg.DoModal() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dlg.Choice();
}

}  // namespace quorlet3
