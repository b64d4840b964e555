// The version dialog: the icon, the program's name and version, rights and contact lines, OK.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace quorlet3 {

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    QLabel* IconLabel() const { return m_icon; }
    QLabel* VersionText() const { return m_version; }
    QLabel* RightsText() const { return m_rights; }
    QLabel* ContactText() const { return m_contact; }
    QPushButton* OkButton() const { return m_ok; }

private:
    QLabel* m_icon = nullptr;
    QLabel* m_version = nullptr;
    QLabel* m_rights = nullptr;
    QLabel* m_contact = nullptr;
    QPushButton* m_ok = nullptr;
};

}  // namespace quorlet3
