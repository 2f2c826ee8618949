#include "Widgets/SFQTTreeCtrl.h"

#include <functional>

#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include "Widgets/SFApplication.h"
#include "Widgets/SFQTControlHelpers.h"
#include "Widgets/SFQTKeyMap.h"
#include "Widgets/SFQTSkinImageCache.h"
#include "Widgets/SFQTTreeItemDelegate.h"
#include "Widgets/SFQTTopLevelHelpers.h"
#include "Widgets/SkinParser.h"
#include "Widgets/SkinStyles.h"

namespace {

UINT VirtualKey(int key)
{
    switch (key) {
    case Qt::Key_F1: return 112;
    case Qt::Key_Right: return 39;
    case Qt::Key_Left: return 37;
    case Qt::Key_Space: return 32;
    case Qt::Key_Escape: return 27;
    default: return 0;
    }
}

}  // namespace

CSFQTTreeCtrl::CSFQTTreeCtrl(ISFTreeCtrlEvent* handler) : QTreeWidget(nullptr), CSFTreeCtrl(handler)
{
    setColumnCount(1);
    header()->hide();
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    setFocusPolicy(Qt::ClickFocus);
    setAnimated(true);
    setIconSize(QSize(50, 50));
    setItemDelegate(new CSFQTTreeItemDelegate(this));
    setAttribute(Qt::WA_MouseTracking, true);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    ConnectItemSignals();
}

void CSFQTTreeCtrl::ConnectItemSignals()
{
    m_connections[0] = connect(this, &QTreeWidget::itemChanged, this, &CSFQTTreeCtrl::OnItemChanged);
    m_connections[1] = connect(this, &QTreeWidget::itemClicked, this, &CSFQTTreeCtrl::OnItemClick);
    m_connections[2] = connect(this, &QTreeWidget::currentItemChanged, this, &CSFQTTreeCtrl::OnCurItemChanged);
}

void CSFQTTreeCtrl::DisconnectItemSignals()
{
    for (auto& connection : m_connections)
        disconnect(connection);
}

int CSFQTTreeCtrl::Create(DWORD style, const tagRECT& rect, void* parent, UINT id, int checkBoxes)
{
    SFQTPlaceControl(this, parent, rect);
    m_checkBoxes = checkBoxes != 0;
    m_controlId = static_cast<int>(id);
    SFQTShowByStyle(this, style);
    return 1;
}

int CSFQTTreeCtrl::SetSkin(UITreeCtrlStyle* skin)
{
    if (!skin)
        return 0;
    m_textColor = SFQTParseSkinColorW(skin->str5.c_str());
    m_highlightColor = SFQTParseSkinColorW(skin->str6.c_str());
    m_firstStateIcon = SFQTLoadSkinImage(skin->str7);
    m_secondStateIcon = SFQTLoadSkinImage(skin->str8);
    m_itemHeight = skin->n5;
    return 1;
}

void CSFQTTreeCtrl::MoveWindow(tagRECT* rect)
{
    if (rect)
        setGeometry(SFQTRectFromInclusive(*rect));
}

void* CSFQTTreeCtrl::GetChildItem(void* item) const
{
    if (!item)
        return nullptr;
    if (IsRoot(item))
        return topLevelItem(0);
    return Item(item)->child(0);
}

UINT CSFQTTreeCtrl::GetCount() const
{
    UINT count = 0;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        const QTreeWidgetItem* top = topLevelItem(i);
        count += 1 + top->childCount();
        for (int j = 0; j < top->childCount(); ++j)
            count += top->child(j)->childCount();
    }
    return count;
}

UINT CSFQTTreeCtrl::GetChildrenCount(void* item) const
{
    if (!item)
        return 0;
    return static_cast<UINT>(IsRoot(item) ? topLevelItemCount() : Item(item)->childCount());
}

DWORD CSFQTTreeCtrl::GetItemData(void* item) const
{
    if (!item || IsRoot(item))
        return static_cast<DWORD>(-1);
    return Item(item)->data(0, Qt::UserRole).toUInt();
}

int CSFQTTreeCtrl::GetTreeItemText(void* item, wchar_t* buffer, int length)
{
    if (!item)
        return -1;
    const QTreeWidgetItem* source = IsRoot(item) ? topLevelItem(0) : Item(item);
    if (!source)
        return -1;
    return SFQTCopyToWideBuffer(source->text(0), buffer, length);
}

void* CSFQTTreeCtrl::GetNextSiblingItem(void* item) const
{
    if (!item || IsRoot(item))
        return nullptr;
    QTreeWidgetItem* node = Item(item);
    QTreeWidgetItem* parent = node->parent();
    if (parent)
        return parent->child(parent->indexOfChild(node) + 1);
    const int index = indexOfTopLevelItem(node);
    return index < 0 ? nullptr : topLevelItem(index + 1);
}

void* CSFQTTreeCtrl::GetPrevSiblingItem(void* item) const
{
    if (!item || IsRoot(item))
        return nullptr;
    QTreeWidgetItem* node = Item(item);
    QTreeWidgetItem* parent = node->parent();
    const int index = parent ? parent->indexOfChild(node) : indexOfTopLevelItem(node);
    if (index <= 0)
        return nullptr;
    return parent ? parent->child(index - 1) : topLevelItem(index - 1);
}

void* CSFQTTreeCtrl::GetParentItem(void* item) const
{
    if (!item || IsRoot(item))
        return nullptr;
    return Item(item)->parent();
}

void CSFQTTreeCtrl::ExpandTreeItem(void* item, UINT code)
{
    if (!item || IsRoot(item) || !Item(item)->treeWidget())
        return;
    Item(item)->setExpanded(code != 0);
}

void* CSFQTTreeCtrl::FindChildItem(const wchar_t* text, void* parent) const
{
    if (!parent)
        return nullptr;
    const QString wanted = SFQTStringFromWide(text);
    if (IsRoot(parent)) {
        for (int i = 0; i < topLevelItemCount(); ++i) {
            if (topLevelItem(i)->text(0) == wanted)
                return topLevelItem(i);
        }
        return nullptr;
    }
    const QTreeWidgetItem* node = Item(parent);
    for (int i = 0; i < node->childCount(); ++i) {
        QTreeWidgetItem* child = node->child(i);
        if (child->text(0) == wanted)
            return child;
        for (int j = 0; j < child->childCount(); ++j) {
            if (child->child(j)->text(0) == wanted)
                return child->child(j);
        }
    }
    return nullptr;
}

int CSFQTTreeCtrl::SetItemData(void* item, DWORD data)
{
    if (!item || IsRoot(item))
        return 0;
    Item(item)->setData(0, Qt::UserRole, static_cast<uint>(data));
    return 1;
}

void CSFQTTreeCtrl::DeleteWithSubtree(QTreeWidgetItem* item)
{
    while (item->childCount() > 0)
        DeleteWithSubtree(item->child(0));
    if (QTreeWidgetItem* parent = item->parent())
        parent->removeChild(item);
    else
        takeTopLevelItem(indexOfTopLevelItem(item));
    m_highlights.remove(item);
    if (m_pressedCheckItem == item)
        m_pressedCheckItem = nullptr;
    delete item;
}

int CSFQTTreeCtrl::DeleteAllItems()
{
    while (topLevelItemCount() > 0)
        DeleteWithSubtree(topLevelItem(0));
    m_highlights.clear();
    return 1;
}

int CSFQTTreeCtrl::DeleteItem(void* item)
{
    if (!item || IsRoot(item))
        return 0;
    DeleteWithSubtree(Item(item));
    return 1;
}

QTreeWidgetItem* CSFQTTreeCtrl::NewItem(const wchar_t* text)
{
    auto* item = new QTreeWidgetItem(0);
    if (m_checkBoxes)
        item->setCheckState(0, Qt::Unchecked);
    item->setText(0, SFQTStringFromWide(text));
    return item;
}

void CSFQTTreeCtrl::FinishNewItem(QTreeWidgetItem* item)
{
    item->setForeground(0, QBrush(m_textColor));
    const int textWidth = QFontMetrics(item->font(0)).horizontalAdvance(item->text(0));
    item->setSizeHint(0, QSize(static_cast<int>(textWidth * 1.5 + 30), m_itemHeight));
}

void* CSFQTTreeCtrl::InsertItem(const wchar_t* text, void* parent, void* insertAfter)
{
    const Quiet quiet(this);
    if (!parent)
        return nullptr;
    QTreeWidgetItem* item = NewItem(text);
    if (IsRoot(parent)) {
        if (insertAfter == SF_TVI_LAST)
            addTopLevelItem(item);
        else if (insertAfter == SF_TVI_FIRST)
            insertTopLevelItem(0, item);
        else
            insertTopLevelItem(indexOfTopLevelItem(Item(insertAfter)) + 1, item);
    } else {
        QTreeWidgetItem* node = Item(parent);
        if (insertAfter == SF_TVI_LAST)
            node->addChild(item);
        else if (insertAfter == SF_TVI_FIRST)
            node->insertChild(0, item);
        else
            node->insertChild(node->indexOfChild(Item(insertAfter)) + 1, item);
    }
    FinishNewItem(item);
    return item;
}

UINT CSFQTTreeCtrl::GetItemState(void* item, UINT) const
{
    if (!item)
        return static_cast<UINT>(-1);
    if (IsRoot(item) || !Item(item)->treeWidget())
        return 0;
    return Item(item)->isSelected() ? 1 : 0;
}

int CSFQTTreeCtrl::SetCheck(void* item, int check)
{
    if (!item || IsRoot(item))
        return 0;
    const Quiet quiet(this);
    Item(item)->setCheckState(0, check ? Qt::Checked : Qt::Unchecked);
    return 1;
}

bool CSFQTTreeCtrl::IsChecked(const QTreeWidgetItem* item)
{
    return item->checkState(0) != Qt::Unchecked;
}

int CSFQTTreeCtrl::GetCheck(void* item) const
{
    if (!item || IsRoot(item))
        return 0;
    return IsChecked(Item(item)) ? 1 : 0;
}

void CSFQTTreeCtrl::SetItemHilight(void* item, int on)
{
    if (!item || IsRoot(item))
        return;
    const Quiet quiet(this);
    QTreeWidgetItem* node = Item(item);
    if (on) {
        node->setForeground(0, QBrush(m_highlightColor));
        m_highlights[node] = m_highlightColor;
        scrollToItem(node);
    } else {
        node->setForeground(0, QBrush(m_textColor));
        m_highlights.remove(node);
    }
}

int CSFQTTreeCtrl::IsItemHilight(void* item)
{
    if (!item || IsRoot(item))
        return 0;
    return m_highlights.contains(Item(item)) ? 1 : 0;
}

int CSFQTTreeCtrl::IsAnyChildItemHilight(void* item)
{
    if (!item)
        return 0;
    if (IsRoot(item)) {
        for (int i = 0; i < topLevelItemCount(); ++i) {
            if (m_highlights.contains(topLevelItem(i)))
                return 1;
        }
        return 0;
    }
    const QTreeWidgetItem* node = Item(item);
    for (int i = 0; i < node->childCount(); ++i) {
        if (m_highlights.contains(node->child(i)))
            return 1;
    }
    return 0;
}

void CSFQTTreeCtrl::SetSubtreeCheck(QTreeWidgetItem* item, Qt::CheckState state)
{
    item->setCheckState(0, state);
    for (int i = 0; i < item->childCount(); ++i)
        SetSubtreeCheck(item->child(i), state);
}

void CSFQTTreeCtrl::SetAllItemCheck(int check)
{
    for (int i = 0; i < topLevelItemCount(); ++i)
        SetSubtreeCheck(topLevelItem(i), check ? Qt::Checked : Qt::Unchecked);
}

int CSFQTTreeCtrl::IsAllItemCheck()
{
    if (topLevelItemCount() == 0)
        return 0;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        if (!IsChecked(topLevelItem(i)))
            return 0;
    }
    return 1;
}

int CSFQTTreeCtrl::ItemHasChildren(void* item) const
{
    return static_cast<int>(GetChildrenCount(item));
}

int CSFQTTreeCtrl::SetItemIcon(void* item, const wchar_t* imageName)
{
    if (!item || IsRoot(item))
        return 0;
    Item(item)->setIcon(0, QIcon(CSFQTSkinImageCache::Instance().Get(SFQTSkinFilePath(imageName ? imageName : L""))));
    return 1;
}

int CSFQTTreeCtrl::SetItemIcon(DWORD data, int first)
{
    auto matches = [data](const QTreeWidgetItem* item) { return item->data(0, Qt::UserRole).toUInt() == data; };
    QTreeWidgetItem* found = nullptr;
    for (int i = 0; i < topLevelItemCount() && !found; ++i) {
        QTreeWidgetItem* top = topLevelItem(i);
        if (matches(top)) {
            found = top;
            break;
        }
        for (int j = 0; j < top->childCount(); ++j) {
            if (matches(top->child(j))) {
                found = top->child(j);
                break;
            }
        }
    }
    if (!found)
        return 0;
    found->setIcon(0, QIcon(first ? m_firstStateIcon : m_secondStateIcon));
    return 1;
}

void CSFQTTreeCtrl::GetClientRect(tagRECT* rect)
{
    if (rect)
        *rect = SFQTInclusiveRect(this->rect());
}

void CSFQTTreeCtrl::SetEnable(int enable)
{
    setEnabled(enable != 0);
    if (enable == 1)
        setFocus(Qt::OtherFocusReason);
}

void CSFQTTreeCtrl::SetUserCheckableFlag(QTreeWidgetItem* item, bool on)
{
    m_swallowNextChange = true;
    Qt::ItemFlags flags = item->flags();
    flags.setFlag(Qt::ItemIsUserCheckable, on);
    item->setFlags(flags);
    m_swallowNextChange = false;
}

void CSFQTTreeCtrl::SetUserCheckable(int on)
{
    std::function<void(QTreeWidgetItem*)> descend = [&](QTreeWidgetItem* item) {
        for (int i = 0; i < item->childCount(); ++i) {
            SetUserCheckableFlag(item->child(i), on != 0);
            descend(item->child(i));
        }
    };
    for (int i = 0; i < topLevelItemCount(); ++i) {
        SetItemUserCheckable(topLevelItem(i), on);
        descend(topLevelItem(i));
    }
}

void CSFQTTreeCtrl::SetItemUserCheckable(void* item, int on)
{
    if (!item || IsRoot(item))
        return;
    SetUserCheckableFlag(Item(item), on != 0);
}

void CSFQTTreeCtrl::SetToolTipText(void* item, const wchar_t* text)
{
    if (!item || IsRoot(item))
        return;
    Item(item)->setToolTip(0, SFQTStringFromWide(text));
}

void CSFQTTreeCtrl::OnItemChanged(QTreeWidgetItem* item, int)
{
    if (m_swallowNextChange) {
        m_swallowNextChange = false;
        return;
    }
    if (m_pHandler && item)
        m_pHandler->OnItemCheckStateChanged(item, item->checkState(0) == Qt::Checked ? 1 : 0);
}

void CSFQTTreeCtrl::PropagateDown(QTreeWidgetItem* item, bool checked)
{
    for (int i = 0; i < item->childCount(); ++i) {
        QTreeWidgetItem* child = item->child(i);
        const bool isChecked = child->checkState(0) == Qt::Checked;
        if (checked && !isChecked)
            child->setCheckState(0, Qt::Checked);
        else if (!checked && isChecked)
            child->setCheckState(0, Qt::Unchecked);
        PropagateDown(child, checked);
    }
}

void CSFQTTreeCtrl::PropagateUp(QTreeWidgetItem* item, bool checked)
{
    while (item != topLevelItem(0)) {
        QTreeWidgetItem* parent = item->parent();
        if (!parent)
            return;
        if (parent->checkState(0) == Qt::Checked) {
            if (checked)
                return;
            parent->setCheckState(0, Qt::Unchecked);
        } else {
            if (!checked)
                return;
            for (int i = 0; i < parent->childCount(); ++i) {
                QTreeWidgetItem* sibling = parent->child(i);
                if (sibling != item && sibling->checkState(0) != Qt::Checked)
                    return;
            }
            parent->setCheckState(0, Qt::Checked);
        }
        item = parent;
    }
}

void CSFQTTreeCtrl::OnItemClick(QTreeWidgetItem* item, int)
{
    if (!item)
        return;
    if (item == m_pressedCheckItem) {
        const bool checked = item->checkState(0) == Qt::Checked;
        PropagateDown(item, checked);
        PropagateUp(item, checked);
        return;
    }
    if (m_pHandler)
        m_pHandler->OnItemClick(item, 0);
}

void CSFQTTreeCtrl::OnCurItemChanged(QTreeWidgetItem*, QTreeWidgetItem*) {}

void CSFQTTreeCtrl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressedCheckItem = nullptr;
        const QPoint at = event->position().toPoint();
        QTreeWidgetItem* item = itemAt(at);
        if (item) {
            const int left = visualItemRect(item).left();
            if (at.x() >= left && at.x() < left + kCheckZoneWidth) {
                const bool userCheckable = item->flags().testFlag(Qt::ItemIsUserCheckable);
                if (userCheckable)
                    m_pressedCheckItem = item;
                if (m_pHandler)
                    m_pHandler->OnItemCheckBoxClick(item, userCheckable ? 1 : 0);
            }
        }
    }
    QTreeWidget::mousePressEvent(event);
}

void CSFQTTreeCtrl::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    QTreeWidgetItem* item = itemAt(at);
    if (!item || at.x() < visualItemRect(item).left() + kCheckZoneWidth - 1)
        return;
    tagPOINT point{at.x(), at.y()};
    if (m_pHandler)
        m_pHandler->OnItemDbClick(item, point);
}

void CSFQTTreeCtrl::keyPressEvent(QKeyEvent* event)
{
    if (m_pHandler)
        m_pHandler->OnDlgKeyDown(SFQTModifierCode(event->modifiers()), VirtualKey(event->key()));
}
