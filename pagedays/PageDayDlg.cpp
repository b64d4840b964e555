// The page picker: the list is filled only when the user opens it, never beforehand.
#include "pagedays/PageDayDlg.h"

#include <QComboBox>
#include <QPushButton>
#include <algorithm>
#include <functional>
#include <utility>

#include "platform/Cp932.h"
#include "platform/DialogUnits.h"

namespace quorlet3 {
namespace {

// A drop-down list that tells its owner each time it is about to open, however it is
// opened (the arrow, F4, Alt+Down), so the owner can refill it first.
class PageListBox : public QComboBox {
public:
    PageListBox(QWidget* parent, std::function<void()> onDropdown)
        : QComboBox(parent), m_onDropdown(std::move(onDropdown)) {}

    void showPopup() override {
        m_onDropdown();
        QComboBox::showPopup();
    }

private:
    std::function<void()> m_onDropdown;
};

// Height of the list while dropped, combo box included.
constexpr int kDroppedHeightUnits = 145;
constexpr int kClosedHeightUnits = 12;

}  // namespace

CPageDayDlg::CPageDayDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("ページ別アクセス日"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));
    setFixedSize(DialogSize(119, 51));

    m_pageList = new PageListBox(this, [this] { OnDropdownPage(); });
    m_pageList->setEditable(false);
    m_pageList->setInsertPolicy(QComboBox::InsertAtBottom);
    m_pageList->setGeometry(DialogRect(5, 5, 105, kClosedHeightUnits));
    m_pageList->setMaxVisibleItems(
        std::max(1, (DialogY(kDroppedHeightUnits) - DialogY(kClosedHeightUnits)) / kDialogTextLine));

    m_surveyButton = new QPushButton(QStringLiteral("調査"), this);
    m_surveyButton->setGeometry(DialogRect(5, 30, 50, 14));
    m_surveyButton->setDefault(true);
    connect(m_surveyButton, &QPushButton::clicked, this, &CPageDayDlg::accept);

    m_cancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    m_cancelButton->setGeometry(DialogRect(60, 30, 50, 14));
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    // Opens with an empty list and nothing chosen.
    m_pageList->setCurrentIndex(-1);
    m_pageList->setFocus();
}

void CPageDayDlg::OnDropdownPage() {
    m_pageList->clear();
    m_nPage = m_pageList->currentIndex();
    for (const std::string& page : m_strPages) {
        if (page.empty()) {
            break;
        }
        m_pageList->addItem(QString::fromStdString(DecodeCp932ToUtf8(page)));
    }
    // A combo box selects its first item when an empty one is filled; the choice was
    // just cleared, so take that back.
    m_pageList->setCurrentIndex(-1);
}

void CPageDayDlg::accept() {
    m_nPage = m_pageList->currentIndex();
    QDialog::accept();
}

}  // namespace quorlet3
