// The version dialog, laid out in dialog units of its 9-point font.
#include "window/AboutDlg.h"

#include <QLabel>
#include <QPushButton>

#include "window/DialogUnits.h"
#include "window/Quorlet3Icon.h"

namespace quorlet3 {
namespace {

QLabel* MakeText(QWidget* parent, const QString& text, const QRect& geometry) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : CModalDialog(parent, QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"), 189, 71) {
    m_icon = new QLabel(this);
    m_icon->setPixmap(QPixmap::fromImage(DrawQuorlet3Icon(32)));
    m_icon->setGeometry(DialogX(11), DialogY(17), 32, 32);

    m_version = MakeText(this, QStringLiteral("quorlet3 Version " QUORLET3_VERSION), DialogRect(40, 10, 70, 8));
    m_rights =
        MakeText(this, QStringLiteral("Copyright (C) 2026 Loganta\n作成日 2026年12月"), DialogRect(40, 24, 85, 18));
    m_contact = MakeText(this, QStringLiteral("ご意見・不具合のご報告は、\n配布元の課題一覧までお寄せください。"),
                         DialogRect(40, 45, 125, 19));

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setGeometry(DialogRect(130, 15, 50, 14));
    m_ok->setDefault(true);
    m_ok->setAutoDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace quorlet3
