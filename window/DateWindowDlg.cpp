// The date-window dialog, laid out by Qt's layouts. The two dates are checked against each
// other when OK is pressed.
#include "window/DateWindowDlg.h"

#include <QButtonGroup>
#include <QCalendarWidget>
#include <QDate>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "window/DialogUnits.h"
#include "window/QtDialogFrame.h"
#include "window/QtDialogs.h"
#include "window/QtWaitCursor.h"

namespace quorlet3 {
namespace {

// The dialog's margin and the gaps between its rows, in dialog units.
constexpr int kMarginUnits = 7;
constexpr int kRowGapUnits = 4;
// The push buttons are at least as large as those of the window's other dialogs.
constexpr int kButtonWidthUnits = 50;
constexpr int kButtonHeightUnits = 14;

QDate ToQDate(const CivilDate& date) { return {date.year, date.month, date.day}; }
CivilDate ToCivilDate(const QDate& date) { return {date.year(), date.month(), date.day()}; }

QDateEdit* MakeDateEdit(QWidget* parent) {
    auto* edit = new QDateEdit(parent);
    edit->setLocale(QLocale(QLocale::Japanese, QLocale::Japan));  // the calendar's month and weekday names
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setCalendarPopup(true);
    edit->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return edit;
}

}  // namespace

CDateWindowDlg::CDateWindowDlg(QWidget* owner)
    : QDialog(owner), m_warn([this](const QString& text) { ShowWarning(this, text); }) {
    SetUpDialogFrame(*this, QStringLiteral("期間を指定して読み込む"));

    m_since = MakeDateEdit(this);
    m_until = MakeDateEdit(this);
    m_since->installEventFilter(this);
    m_until->installEventFilter(this);
    auto* dates = new QFormLayout;
    dates->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    dates->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    dates->setVerticalSpacing(DialogY(kRowGapUnits));
    dates->addRow(QStringLiteral("開始日(&S)："), m_since);
    dates->addRow(QStringLiteral("終了日(&E)："), m_until);

    m_firstLines = new QRadioButton(QStringLiteral("最初の 10000 行(&F)"), this);
    m_whole = new QRadioButton(QStringLiteral("期間全体(&W)"), this);
    auto* extent = new QButtonGroup(this);
    extent->addButton(m_firstLines);
    extent->addButton(m_whole);
    m_firstLines->setChecked(true);
    auto* extentRow = new QHBoxLayout;
    extentRow->addWidget(m_firstLines);
    extentRow->addWidget(m_whole);
    extentRow->addStretch();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setText(QStringLiteral("OK"));
    m_ok->setDefault(true);
    m_cancel = buttons->button(QDialogButtonBox::Cancel);
    m_cancel->setText(QStringLiteral("キャンセル"));
    for (QPushButton* button : {m_ok, m_cancel}) {
        button->setMinimumSize(DialogSize(kButtonWidthUnits, kButtonHeightUnits));
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &CDateWindowDlg::OnOK);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(DialogX(kMarginUnits), DialogY(kMarginUnits), DialogX(kMarginUnits),
                               DialogY(kMarginUnits));
    layout->setSpacing(DialogY(kRowGapUnits));
    layout->addLayout(dates);
    layout->addLayout(extentRow);
    layout->addWidget(buttons);
    // The dialog takes the size its contents ask for; the user cannot change it.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(m_since, m_until);
    setTabOrder(m_until, m_firstLines);
    setTabOrder(m_firstLines, m_ok);
    setTabOrder(m_ok, m_cancel);
    m_since->setFocus();
}

void CDateWindowDlg::SetSpan(const DateSpan& span) {
    for (QDateEdit* edit : {m_since, m_until}) {
        edit->setDateRange(ToQDate(span.first), ToQDate(span.last));
    }
    m_since->setDate(ToQDate(span.first));
    m_until->setDate(ToQDate(span.last));
    m_firstLines->setChecked(true);
}

void CDateWindowDlg::SetChoice(const DateWindowChoice& choice) {
    // The boxes clamp a date outside the span to its nearer end.
    m_since->setDate(ToQDate(choice.since));
    m_until->setDate(ToQDate(choice.until));
    (choice.whole ? m_whole : m_firstLines)->setChecked(true);
}

DateWindowChoice CDateWindowDlg::Choice() const {
    return {ToCivilDate(m_since->date()), ToCivilDate(m_until->date()), m_whole->isChecked()};
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
    return QDialog::eventFilter(watched, event);
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

std::optional<DateWindowChoice> ChooseDateWindow(QWidget* owner, const DateSpan& span,
                                                 const std::optional<DateWindowChoice>& shown) {
    CDateWindowDlg dlg(owner);
    dlg.SetSpan(span);
    if (shown) {
        dlg.SetChoice(*shown);
    }
    CDialogCursor arrow;
    if (dlg.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dlg.Choice();
}

}  // namespace quorlet3
