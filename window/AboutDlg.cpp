// The version dialog, drawn to its fixed design in dialog units of its 9-point font.
#include "window/AboutDlg.h"

#include <QLabel>
#include <QPushButton>
#include <array>

#include "window/DialogUnits.h"
#include "window/QtDialogFrame.h"
#include "window/Quorlet3Icon.h"

namespace quorlet3 {
namespace {

// The icon keeps its picture's size.
constexpr std::array kControls{
    ControlPlace{"icon", {11, 17}},
    ControlPlace{"version", {40, 10, 70, 8}},
    ControlPlace{"rights", {40, 24, 85, 18}},
    ControlPlace{"ok", {130, 15, 50, 14}},
    ControlPlace{"contact", {40, 45, 125, 19}},
};
constexpr FixedDesign kDesign{189, 71, kControls};

QLabel* MakeText(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1StringView(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    SetUpDialogFrame(*this, QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    m_icon = new QLabel(this);
    m_icon->setObjectName(QStringLiteral("icon"));
    m_icon->setPixmap(QPixmap::fromImage(DrawQuorlet3Icon(32)));

    m_version = MakeText(this, "version", QStringLiteral("quorlet3 Version " QUORLET3_VERSION));
    m_rights = MakeText(this, "rights", QStringLiteral("Copyright (C) 2026 Loganta\n作成日 2026年12月"));
    m_contact =
        MakeText(this, "contact", QStringLiteral("ご意見・不具合のご報告は、\n配布元の課題一覧までお寄せください。"));

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setDefault(true);
    m_ok->setAutoDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    ApplyFixedDesign(*this, kDesign);
}

}  // namespace quorlet3
