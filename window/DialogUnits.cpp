// Places the controls of a dialog drawn to a fixed design.
#include "window/DialogUnits.h"

#include <QString>
#include <QWidget>

namespace quorlet3 {

void ApplyFixedDesign(QWidget& dialog, const FixedDesign& design) {
    dialog.setFixedSize(DialogSize(design.width, design.height));
    for (const ControlPlace& control : design.controls) {
        const QString name = QString::fromUtf8(control.control.data(), static_cast<qsizetype>(control.control.size()));
        auto* widget = dialog.findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
        if (widget == nullptr) {
            qFatal("quorlet3: the dialog has no control named %s", qPrintable(name));
        }
        const DialogUnitRect& place = control.place;
        if (place.width == 0 && place.height == 0) {
            widget->adjustSize();
            widget->move(DialogX(place.x), DialogY(place.y));
        } else {
            widget->setGeometry(DialogRect(place));
        }
    }
}

}  // namespace quorlet3
