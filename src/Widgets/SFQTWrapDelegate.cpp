#include "Widgets/SFQTWrapDelegate.h"

#include <QApplication>
#include <algorithm>
#include <QPainter>
#include <QTableView>

namespace {

constexpr int kMargin = 3;

}  // namespace

CSFQTWrapDelegate::CSFQTWrapDelegate(QTableView* view, int minimumHeight)
    : QStyledItemDelegate(view), m_view(view), m_minimumHeight(minimumHeight)
{
}

int CSFQTWrapDelegate::TextFlags(const QStyleOptionViewItem& option)
{
    return int(option.displayAlignment & (Qt::AlignHorizontal_Mask | Qt::AlignVertical_Mask)) | Qt::TextWrapAnywhere;
}

void CSFQTWrapDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem cell(option);
    initStyleOption(&cell, index);
    const QString text = cell.text;
    cell.text.clear();
    const QStyle* style = cell.widget ? cell.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget);
    painter->save();
    painter->setFont(cell.font);
    painter->setPen(cell.palette.color(cell.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                            : QPalette::Text));
    painter->drawText(cell.rect.adjusted(kMargin, 0, -kMargin, 0), TextFlags(cell), text);
    painter->restore();
}

QSize CSFQTWrapDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem cell(option);
    initStyleOption(&cell, index);
    const int width = m_view->columnWidth(index.column());
    const QRect bounds(0, 0, std::max(width - 2 * kMargin, 1), 1 << 20);
    const int height = cell.fontMetrics.boundingRect(bounds, TextFlags(cell), cell.text).height() + 2 * kMargin;
    return {width, std::max(height, m_minimumHeight)};
}
