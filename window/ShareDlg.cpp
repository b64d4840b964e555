// The share dialog: the legends are filled when the counters are set; a paint draws the pies and swatches.
#include "window/ShareDlg.h"

#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <array>
#include <numbers>

#include "encoding/Cp932.h"
#include "share/ShareDrawing.h"
#include "window/DialogUnits.h"
#include "window/QtDialogFrame.h"

namespace quorlet3 {
namespace {

// The legend edits stop a tab every 32 horizontal units, which puts every percentage
// in one column past the longest label ("Netscape") with room for "100%".
constexpr int kLegendTabUnits = 32;

// The legends stand just right of the swatches the drawing puts at fixed pixel places.
constexpr std::array kControls{
    ControlPlace{"ok", {115, 195, 50, 14}},
    ControlPlace{"versionLegend", {25, 111, 55, 110}},
    ControlPlace{"familyLegend", {140, 110, 50, 65}},
};
constexpr FixedDesign kDesign{224, 221, kControls};

QColor ToQColor(Rgb rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

QString LegendToDisplay(const std::string& cp932) {
    QString text = QString::fromStdString(DecodeCp932ToUtf8(cp932));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

QTextEdit* MakeLegendBox(QWidget* parent, const QString& name) {
    auto* box = new QTextEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setFocusPolicy(Qt::TabFocus);
    box->setFrameShape(QFrame::NoFrame);
    box->setLineWrapMode(QTextEdit::NoWrap);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setTabStopDistance(DialogX(kLegendTabUnits));
    box->document()->setDocumentMargin(0);
    // The legend stands on the dialog's face like a label, not in a white field.
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    box->setPalette(palette);
    return box;
}

// Shows the text with every line exactly one reference text line high, so that an
// entry and the empty line after it span the 30 pixels between two swatches.
void ShowLegend(QTextEdit* box, const QString& text) {
    box->setPlainText(text);
    QTextBlockFormat format;
    format.setLineHeight(kDialogTextLine, QTextBlockFormat::FixedHeight);
    QTextCursor cursor(box->document());
    cursor.select(QTextCursor::Document);
    cursor.mergeBlockFormat(format);
}

// Fills one sector. The angles run clockwise from 12 o'clock in radians; the painter
// counts degrees counterclockwise from 3 o'clock. A full turn is drawn as the whole
// disc so that no radius shows at the top.
void DrawSector(QPainter& painter, const QRectF& box, const PieSector& sector) {
    painter.setBrush(ToQColor(sector.colour));
    if (sector.span >= 2.0 * std::numbers::pi) {
        painter.drawEllipse(box);
        return;
    }
    constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;
    QPainterPath path;
    path.moveTo(box.center());
    path.arcTo(box, 90.0 - sector.start * kDegreesPerRadian, -sector.span * kDegreesPerRadian);
    path.closeSubpath();
    painter.drawPath(path);
}

void DrawPie(QPainter& painter, const Pie& pie) {
    const QRectF box(pie.left, pie.top, pie.right - pie.left, pie.bottom - pie.top);
    for (const PieSector& sector : pie.sectors) {
        DrawSector(painter, box, sector);
    }
}

}  // namespace

CShareDlg::CShareDlg(QWidget* parent) : QDialog(parent) {
    SetUpDialogFrame(*this, QStringLiteral("シェア調査"));
    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_okButton->setObjectName(QStringLiteral("ok"));
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);

    m_versionLegendBox = MakeLegendBox(this, QStringLiteral("versionLegend"));
    m_familyLegendBox = MakeLegendBox(this, QStringLiteral("familyLegend"));
    ApplyFixedDesign(*this, kDesign);
    m_okButton->setFocus();
}

void CShareDlg::paintEvent(QPaintEvent*) {
    RunHandler("the share dialog's paint", [this] { OnPaint(); });
}

void CShareDlg::SetShare(const ShareCounters& counters) {
    m_nShare = counters;
    if (m_nShare[kShareTotal] == 0) {
        m_drawing = ShareDrawing{};
        m_strVersionLegend.clear();
        m_strFamilyLegend.clear();
    } else {
        m_drawing = ComputeShareDrawing(m_nShare);
        m_strVersionLegend = m_drawing.versionLegend;
        m_strFamilyLegend = m_drawing.familyLegend;
    }
    ShowLegends();
    update();
}

void CShareDlg::OnPaint() {
    QPainter painter(this);
    if (m_nShare[kShareTotal] == 0) {
        return;
    }
    for (const Swatch& swatch : m_drawing.swatches) {
        painter.fillRect(swatch.x, swatch.y, swatch.size, swatch.size, ToQColor(swatch.colour));
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    DrawPie(painter, m_drawing.versionPie);
    DrawPie(painter, m_drawing.familyPie);
}

void CShareDlg::ShowLegends() {
    // Only an edit whose text really changes is touched, so that setting the same
    // counters again keeps what the user selected in a legend.
    const QString version = LegendToDisplay(m_strVersionLegend);
    if (m_versionLegendBox->toPlainText() != version) {
        ShowLegend(m_versionLegendBox, version);
    }
    const QString family = LegendToDisplay(m_strFamilyLegend);
    if (m_familyLegendBox->toPlainText() != family) {
        ShowLegend(m_familyLegendBox, family);
    }
}

}  // namespace quorlet3
