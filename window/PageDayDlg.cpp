// The page picker: the list is filled only when the user opens it, never beforehand.
#include "window/PageDayDlg.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>
#include <array>
#include <functional>
#include <utility>

#include "encoding/Cp932.h"
#include "window/DialogUnits.h"
#include "window/QtComboList.h"
#include "window/QtDialogFrame.h"
#include "window/QtText.h"

namespace quorlet3 {
namespace {

// Height of the list while dropped, combo box included, and of the closed box.
constexpr int kDroppedHeightUnits = 145;
constexpr int kClosedHeightUnits = 12;

// The list over the survey and cancel buttons, in dialog units.
constexpr std::array kControls{
    ControlPlace{"pageList", {5, 5, 105, kClosedHeightUnits}},
    ControlPlace{"survey", {5, 30, 50, 14}},
    ControlPlace{"cancel", {60, 30, 50, 14}},
};
constexpr FixedDesign kDesign{119, 51, kControls};

// A drop-down list that tells its owner each time it is about to open, however it is
// opened (the arrow, F4, Alt+Down), so the owner can refill it first.
class PageListBox : public QComboBox {
public:
    PageListBox(QWidget* parent, std::function<void()> onDropdown)
        : QComboBox(parent), m_onDropdown(std::move(onDropdown)) {}

    void showPopup() override {
        RunHandler("the page list's drop-down", [this] {
            m_onDropdown();
            QComboBox::showPopup();
            PlaceDroppedList();
        });
    }

private:
    // The dropped list hangs below the box (above it when the screen has no room below),
    // as wide as the box and never wider than the screen, and together with the box
    // exactly the dropped height, scrolling however many names it holds. Styles that lay
    // the list over the box and size it to its items are overruled here.
    void PlaceDroppedList() {
        QWidget* popup = view()->window();
        if (popup == window()) {
            return;  // not shown as a window of its own
        }
        const QRect screen = (this->screen() != nullptr ? this->screen()->availableGeometry() : QRect());
        const int listHeight = std::max(1, DialogY(kDroppedHeightUnits) - height());
        int listWidth = width();
        QPoint topLeft = mapToGlobal(QPoint(0, height()));
        if (!screen.isEmpty()) {
            listWidth = std::min(listWidth, screen.width());
            if (topLeft.y() + listHeight > screen.bottom() + 1) {
                topLeft.setY(std::max(screen.top(), mapToGlobal(QPoint(0, 0)).y() - listHeight));
            }
            topLeft.setX(std::clamp(topLeft.x(), screen.left(), screen.right() + 1 - listWidth));
        }
        popup->setGeometry(QRect(topLeft, QSize(listWidth, listHeight)));
    }

    std::function<void()> m_onDropdown;
};

}  // namespace

CPageDayDlg::CPageDayDlg(QWidget* parent) : QDialog(parent) {
    SetUpDialogFrame(*this, QStringLiteral("ページ別アクセス日"));
    m_pageList = new PageListBox(this, [this] { OnDropdownPage(); });
    m_pageList->setObjectName(QStringLiteral("pageList"));
    m_pageList->setEditable(false);
    m_pageList->setFont(ReportFont());  // the dialog font, with one that draws the CR symbol
    m_pageList->setInsertPolicy(QComboBox::InsertAtBottom);
    m_pageList->setMaxVisibleItems(
        std::max(1, (DialogY(kDroppedHeightUnits) - DialogY(kClosedHeightUnits)) / kDialogTextLine));
    // Names wider than the list are cut at their end; the tooltip holds the whole name.
    m_pageList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    CutLongItemsAtTheirEnd(m_pageList);
    m_pageList->view()->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pageList->view()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    m_surveyButton = new QPushButton(QStringLiteral("調査"), this);
    m_surveyButton->setObjectName(QStringLiteral("survey"));
    m_surveyButton->setDefault(true);
    connect(m_surveyButton, &QPushButton::clicked, this, &CPageDayDlg::accept);

    m_cancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    m_cancelButton->setObjectName(QStringLiteral("cancel"));
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    ApplyFixedDesign(*this, kDesign);

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
        // A CR in a name shows as its symbol, as in the result box: "a" and "a" + CR differ.
        const QString name = QString::fromStdString(DecodeCp932ToUtf8(page)).replace(QLatin1Char('\r'), QChar(0x240D));
        m_pageList->addItem(name);
        m_pageList->setItemData(m_pageList->count() - 1, name, Qt::ToolTipRole);
    }
    // A combo box selects its first item when an empty one is filled; the choice was
    // just cleared, so take that back.
    m_pageList->setCurrentIndex(-1);
}

std::optional<int> CPageDayDlg::ChosenPage() const { return m_nPage == -1 ? std::nullopt : std::optional(m_nPage); }

void CPageDayDlg::accept() {
    m_nPage = m_pageList->currentIndex();
    QDialog::accept();
}

}  // namespace quorlet3
