// Helpers of the offscreen Qt tests.
#include "tests/support/GuiSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QTimer>
#include <stdexcept>

namespace quorlet3::test {

namespace {

const MenuRow& MenuRowOf(int menuId) {
    const MenuRow* row = FindMenuRow(menuId);
    if (row == nullptr) {
        throw std::invalid_argument("no menu command " + std::to_string(menuId));
    }
    return *row;
}

}  // namespace

const CommandRow& CommandOf(int menuId) {
    const CommandRow* report = ReportOfItem(MenuRowOf(menuId));
    if (report == nullptr) {
        throw std::invalid_argument("the menu command " + std::to_string(menuId) + " runs no report");
    }
    return *report;
}

std::string ReportOf(const CQuorlet3Doc& doc, int menuId, std::string_view page) {
    return ReportText(CommandOf(menuId), doc.Store(), page);
}

void RunMenuCommand(CQuorlet3View& view, int menuId) { RunMenuRow(MenuRowOf(menuId), view); }

bool WaitCursorOn() {
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor != nullptr && cursor->shape() == Qt::WaitCursor;
}

void CloseNextModal(QString* caption) {
    QTimer::singleShot(0, [caption] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            *caption = modal->windowTitle();
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            }
        }
    });
}

namespace {

// The control's rectangle in the dialog's coordinates.
QRect InDialog(const QWidget& dialog, const QWidget& control) {
    return {control.mapTo(&dialog, QPoint(0, 0)), control.size()};
}

// Why the control is too small for its text, or empty. A label's lines may reach two
// pixels below it, as the lines of a box drawn in dialog units do.
QString TextDoesNotFit(const QWidget& control) {
    const QFontMetrics metrics(control.font());
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        const QStringList lines = label->text().split(QLatin1Char('\n'));
        if (lines.size() * metrics.height() > label->height() + 2) {
            return QStringLiteral("the lines of \"%1\" are cut at the bottom").arg(label->text());
        }
        // A label that names a control shows its mnemonic underlined, without the "&".
        const int flags = label->buddy() != nullptr ? Qt::TextShowMnemonic : 0;
        for (const QString& line : lines) {
            if (metrics.size(flags, line).width() > label->width()) {
                return QStringLiteral("\"%1\" is cut at the right").arg(line);
            }
        }
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
        if (button->sizeHint().width() > button->width()) {
            return QStringLiteral("the button \"%1\" is too narrow").arg(button->text());
        }
    }
    return {};
}

}  // namespace

QString ControlsUnreadable(const QWidget& dialog, const QList<QWidget*>& controls) {
    const QRect face = dialog.rect();
    for (qsizetype k = 0; k < controls.size(); ++k) {
        const QWidget& control = *controls[k];
        const QString name = QStringLiteral("%1 %2").arg(control.metaObject()->className()).arg(k);
        const QRect place = InDialog(dialog, control);
        if (!control.isVisible()) {
            return name + QStringLiteral(" is hidden");
        }
        if (!face.contains(place)) {
            return name + QStringLiteral(" reaches past the dialog");
        }
        for (qsizetype other = k + 1; other < controls.size(); ++other) {
            if (place.intersects(InDialog(dialog, *controls[other]))) {
                return name + QStringLiteral(" overlaps control %1").arg(other);
            }
        }
        if (const QString cut = TextDoesNotFit(control); !cut.isEmpty()) {
            return name + QStringLiteral(": ") + cut;
        }
    }
    return {};
}

}  // namespace quorlet3::test
