// An item delegate for combo box lists that cuts long items at their end.
#include "window/QtComboList.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QStyledItemDelegate>

namespace quorlet3 {
namespace {

class ElideAtEndDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // A row asks for no width of its own: the list gives every row its full width, and a
    // longer name is cut to fit it instead of widening the row past the list's edge.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {0, QStyledItemDelegate::sizeHint(option, index).height()};
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->textElideMode = Qt::ElideRight;
    }
};

}  // namespace

void CutLongItemsAtTheirEnd(QComboBox* combo) {
    // The combo box owns the delegate and deletes the one it replaces.
    combo->setItemDelegate(new ElideAtEndDelegate(combo));
    combo->view()->setTextElideMode(Qt::ElideRight);
}

}  // namespace quorlet3
