// The page picker: a drop-down list of the page names and the survey / cancel buttons.
#pragma once

#include <QDialog>
#include <optional>

#include "pagedays/PageDays.h"

class QComboBox;
class QPushButton;

namespace quorlet3 {

class CPageDayDlg : public QDialog {
    Q_OBJECT
public:
    explicit CPageDayDlg(QWidget* parent = nullptr);

    // The names the list offers (cp932), in list order; an empty name ends them. The list
    // takes them only when the user opens it.
    void SetPages(const PageNameList& pages) { m_strPages = pages; }
    const PageNameList& Pages() const { return m_strPages; }

    // The position in Pages() of the name chosen when the survey button ended the dialog;
    // nothing when no name was chosen, the list was opened again since, or the dialog
    // was cancelled.
    std::optional<int> ChosenPage() const;

    // Refills the list from the pages each time it is opened and clears the choice.
    void OnDropdownPage();

    // The survey button (also Enter): reads the choice, then ends with Accepted.
    void accept() override;

    QComboBox* PageList() const { return m_pageList; }  // control 1005
    QPushButton* SurveyButton() const { return m_surveyButton; }
    QPushButton* CancelButton() const { return m_cancelButton; }

private:
    PageNameList m_strPages;  // cp932
    int m_nPage = -1;         // chosen index in m_strPages, -1 for no choice
    QComboBox* m_pageList = nullptr;
    QPushButton* m_surveyButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};

}  // namespace quorlet3
