// The page picker: a drop-down list of the page names and the survey / cancel buttons.
#pragma once

#include "pagedays/PageDays.h"
#include "window/QtDialogFrame.h"

class QComboBox;
class QPushButton;

namespace quorlet3 {

class CPageDayDlg : public CModalDialog {
    Q_OBJECT
public:
    explicit CPageDayDlg(QWidget* parent = nullptr);

    PageNameList m_strPages;  // cp932 names, filled by the creator
    int m_nPage = -1;         // chosen index in m_strPages, -1 for no choice

    // Refills the list from m_strPages each time it is opened and clears the choice.
    void OnDropdownPage();

    // The survey button (also Enter): reads the choice into m_nPage, then ends with Accepted.
    void accept() override;

    QComboBox* PageList() const { return m_pageList; }  // control 1005
    QPushButton* SurveyButton() const { return m_surveyButton; }
    QPushButton* CancelButton() const { return m_cancelButton; }

private:
    QComboBox* m_pageList = nullptr;
    QPushButton* m_surveyButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};

}  // namespace quorlet3
