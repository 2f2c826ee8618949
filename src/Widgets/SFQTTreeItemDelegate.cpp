#include "Widgets/SFQTTreeItemDelegate.h"

#include <algorithm>

#include <QApplication>
#include <QStyle>

QSize CSFQTTreeItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem content = option;
    initStyleOption(&content, index);
    const QStyle* style = content.widget ? content.widget->style() : QApplication::style();
    const QSize needed = style->sizeFromContents(QStyle::CT_ItemViewItem, &content, QSize(), content.widget);
    const QSize given = QStyledItemDelegate::sizeHint(option, index);
    return {std::max(given.width(), needed.width()), given.height()};
}
