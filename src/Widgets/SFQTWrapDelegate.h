#pragma once

#include <QStyledItemDelegate>

class QTableView;

// Draws a cell's text wrapped to the width of its column (at word
// boundaries where it can, anywhere where it must: a path is shown whole,
// never cut to "…") and asks for a row tall enough for every line of it.
class CSFQTWrapDelegate : public QStyledItemDelegate {
public:
    CSFQTWrapDelegate(QTableView* view, int minimumHeight);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    static int TextFlags(const QStyleOptionViewItem& option);

    QTableView* m_view;
    int m_minimumHeight;
};
