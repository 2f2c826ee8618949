#pragma once

#include <QStyledItemDelegate>

// Draws the tree's items as the standard delegate does; an item is never
// narrower than its check box, icon and whole text need, whatever size
// hint it was given.
class CSFQTTreeItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
