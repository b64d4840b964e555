// The program's icon, drawn in code so that every size comes from one picture.
#include "window/Quorlet3Icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace quorlet3 {

QImage DrawQuorlet3Icon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // The picture is laid out on a 32 × 32 grid.
    p.scale(size / 32.0, size / 32.0);

    QLinearGradient tileFill(0, 1, 0, 31);
    tileFill.setColorAt(0, QColor(0x3d, 0x6f, 0xb6));
    tileFill.setColorAt(1, QColor(0x1f, 0x3f, 0x75));
    p.setPen(Qt::NoPen);
    p.setBrush(tileFill);
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);

    // The log sheet with its folded corner.
    QPainterPath sheet;
    sheet.moveTo(7, 4);
    sheet.lineTo(19.5, 4);
    sheet.lineTo(25, 9.5);
    sheet.lineTo(25, 28);
    sheet.lineTo(7, 28);
    sheet.closeSubpath();
    p.setBrush(QColor(0xfb, 0xfc, 0xfe));
    p.drawPath(sheet);
    QPainterPath fold;
    fold.moveTo(19.5, 4);
    fold.lineTo(19.5, 9.5);
    fold.lineTo(25, 9.5);
    fold.closeSubpath();
    p.setBrush(QColor(0xc4, 0xcf, 0xe2));
    p.drawPath(fold);

    // Two lines of text at the head of the sheet, then the three bars of a report.
    if (size >= 24) {
        p.setBrush(QColor(0x9a, 0xa8, 0xbf));
        p.drawRect(QRectF(9.5, 7, 8, 1.5));
        p.drawRect(QRectF(9.5, 10.5, 6, 1.5));
    }
    const struct {
        double y;
        double length;
        QColor colour;
    } bars[] = {
        {14, 9, QColor(0xf0, 0x8a, 0x24)},
        {18.5, 13, QColor(0x2f, 0xa0, 0x4f)},
        {23, 6, QColor(0xd9, 0x3f, 0x3a)},
    };
    for (const auto& bar : bars) {
        p.setBrush(bar.colour);
        p.drawRect(QRectF(9.5, bar.y, bar.length, 3));
    }
    return image;
}

QIcon Quorlet3Icon() {
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(DrawQuorlet3Icon(16)));
    icon.addPixmap(QPixmap::fromImage(DrawQuorlet3Icon(32)));
    return icon;
}

}  // namespace quorlet3
