// The page picker: a drop-down list of the page names and the survey / cancel buttons.
#pragma once

#include <QDialog>

#include "logstore/Quorlet3Doc.h"

class QComboBox;

namespace quorlet3 {

class CPageDayDlg : public QDialog {
    Q_OBJECT
public:
    explicit CPageDayDlg(QWidget* parent = nullptr);

    // Runs the dialog modally; returns QDialog::Accepted (1) for the survey button.
    int DoModal() { return exec(); }

    PageNameList m_strPages;  // cp932 names, filled by the creator
    int m_nPage = -1;         // chosen index in m_strPages, -1 for no choice

    // Refills the list from m_strPages each time it is opened and clears the choice.
    void OnDropdownPage();

    QComboBox* PageList() const { return m_pageList; }  // control 1005

private:
    QComboBox* m_pageList = nullptr;
};

}  // namespace quorlet3
