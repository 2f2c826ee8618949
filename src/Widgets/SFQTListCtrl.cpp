#include "Widgets/SFQTListCtrl.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QPointer>

#include "Widgets/SFApplication.h"
#include "Widgets/SFCustomEvent.h"
#include "Widgets/SFQTButton.h"
#include "Widgets/SFQTControlHelpers.h"
#include "Widgets/SFQTSkinImageCache.h"
#include "Widgets/SFQTTopLevelHelpers.h"
#include "Widgets/SFQTView.h"
#include "Widgets/SFQTWrapDelegate.h"
#include "Widgets/SkinParser.h"
#include "Widgets/SkinStyles.h"

namespace {

constexpr int kRowButtonSize = 16;
constexpr int kRowButtonColumn = 7;

}  // namespace

CSFQTListCtrl::CSFQTListCtrl(ISFListCtrlEvent* handler) : QTableWidget(nullptr), CSFListCtrl(handler)
{
    setHorizontalHeader(new QHeaderView(Qt::Horizontal, this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QTableWidget::itemDoubleClicked, this, &CSFQTListCtrl::OnItemDBClicked);
}

int CSFQTListCtrl::Create(DWORD, const tagRECT& rect, void* parent, UINT id, bool)
{
    setGeometry(SFQTRectFromExclusive(rect));
    setParent(static_cast<QWidget*>(parent));
    m_controlId = static_cast<int>(id);
    return 1;
}

int CSFQTListCtrl::SetSkin(ListCtrlStyle* skin)
{
    if (!skin)
        return 0;
    m_evenRowColor = SFQTParseSkinColorW(skin->str41.c_str());
    m_oddRowColor = SFQTParseSkinColorW(skin->str42.c_str());
    m_headerHeight = skin->n2;
    horizontalHeader()->setFixedHeight(m_headerHeight);
    m_rowHeight = skin->n3;
    return 1;
}

void CSFQTListCtrl::MoveWindow(tagRECT* rect)
{
    if (rect)
        setGeometry(SFQTRectFromInclusive(*rect));
}

bool CSFQTListCtrl::IsCell(int row, int column) const
{
    return row >= 0 && row < rowCount() && column >= 0 && column < columnCount();
}

DWORD CSFQTListCtrl::GetItemData(int row) const
{
    if (row < 0 || row >= rowCount())
        return static_cast<DWORD>(-1);
    const QTableWidgetItem* first = item(row, 0);
    return first ? static_cast<DWORD>(first->data(Qt::UserRole).toInt()) : 0;
}

int CSFQTListCtrl::GetItemText(int row, int column, wchar_t* buffer, int length) const
{
    if (!IsCell(row, column))
        return -1;
    const QTableWidgetItem* cell = item(row, column);
    return SFQTCopyToWideBuffer(cell ? cell->text() : QString(), buffer, length);
}

QTableWidgetItem* CSFQTListCtrl::EnsureItem(int row, int column)
{
    QTableWidgetItem* cell = item(row, column);
    if (cell)
        return cell;
    cell = new QTableWidgetItem;
    cell->setBackground(row % 2 == 0 ? m_evenRowColor : m_oddRowColor);
    setItem(row, column, cell);
    return cell;
}

int CSFQTListCtrl::SetItemData(int row, DWORD data)
{
    if (row < 0 || row >= rowCount() || columnCount() == 0)
        return 0;
    EnsureItem(row, 0)->setData(Qt::UserRole, static_cast<int>(data));
    return 1;
}

int CSFQTListCtrl::SetItemText(int row, int column, const wchar_t* text)
{
    if (!IsCell(row, column))
        return 0;
    auto* cell = new QTableWidgetItem(SFQTStringFromWide(text));
    if (const QTableWidgetItem* old = item(row, column))
        cell->setData(Qt::UserRole, old->data(Qt::UserRole));
    ApplyColumnAlignment(cell, column);
    setItem(row, column, cell);
    FitRowToText(row);
    Recolour();
    return 1;
}

int CSFQTListCtrl::InsertColumn(int column, const wchar_t* title, int, int, int)
{
    if (column < 0 || column > m_titles.size())
        return -1;
    m_titles.insert(column, SFQTStringFromWide(title));
    setColumnCount(static_cast<int>(m_titles.size()));
    const int width = rect().width() / columnCount();
    for (int i = 0; i < columnCount(); ++i)
        setColumnWidth(i, width);
    setHorizontalHeaderLabels(m_titles);
    return column;
}

int CSFQTListCtrl::InsertItem(int row, const wchar_t* text)
{
    if (row < 0 || row > rowCount())
        return -1;
    insertRow(row);
    for (auto it = m_buttonRows.begin(); it != m_buttonRows.end(); ++it) {
        if (it.value() >= row)
            ++it.value();
    }
    setRowHeight(row, m_rowHeight);
    if (columnCount() > 0) {
        auto* first = new QTableWidgetItem(SFQTStringFromWide(text));
        ApplyColumnAlignment(first, 0);
        setItem(row, 0, first);
        FitRowToText(row);
    }
    Recolour();
    return row;
}

int CSFQTListCtrl::DeleteAllItems()
{
    for (int row = 0; row < rowCount(); ++row) {
        const QModelIndex cell = model()->index(row, kRowButtonColumn);
        if (cell.isValid() && indexWidget(cell))
            setIndexWidget(cell, nullptr);
    }
    m_buttonRows.clear();
    model()->removeRows(0, rowCount());
    return 1;
}

int CSFQTListCtrl::SetColumnWidth(int column, int width)
{
    setColumnWidth(column, width);
    return 1;
}

int CSFQTListCtrl::AlignmentFromFormat(UINT format)
{
    const UINT low = format & 0xFF;
    int alignment = Qt::AlignLeft;
    if (low & 0x02)
        alignment = Qt::AlignRight;
    else if (low & 0x01)
        alignment = Qt::AlignHCenter;
    if (low & 0x04)
        alignment |= Qt::AlignVCenter;
    if (low & 0x10)
        alignment |= Qt::TextWrapAnywhere | Qt::TextDontClip;
    if (low & 0x20)
        alignment |= Qt::TextSingleLine;
    return alignment;
}

void CSFQTListCtrl::SetColumnTextAlign(int column, UINT format)
{
    m_columnAlignment[column] = AlignmentFromFormat(format);
    // A word-breaking column shows its texts whole, in rows as tall as they need.
    if (m_columnAlignment[column] & Qt::TextWrapAnywhere)
        setItemDelegateForColumn(column, new CSFQTWrapDelegate(this, m_rowHeight));
}

void CSFQTListCtrl::FitRowToText(int row)
{
    for (auto it = m_columnAlignment.cbegin(); it != m_columnAlignment.cend(); ++it)
        if (it.value() & Qt::TextWrapAnywhere) {
            resizeRowToContents(row);
            return;
        }
}

void CSFQTListCtrl::ApplyColumnAlignment(QTableWidgetItem* cell, int column)
{
    if (m_columnAlignment.contains(column))
        cell->setData(Qt::TextAlignmentRole, m_columnAlignment.value(column));
}

CSFQTButton* CSFQTListCtrl::MakeRowButton(QWidget* cell, UINT id, const wchar_t* image, const QString& tip)
{
    auto* button = new CSFQTButton(nullptr);
    button->Create(L"", 0x10010000, tagRECT{0, 0, kRowButtonSize, kRowButtonSize}, cell, id);
    button->setFixedSize(kRowButtonSize, kRowButtonSize);
    ImageButtonStyle skin;
    skin.str0 = skin.str1 = skin.str2 = skin.str3 = image;
    button->SetSkin(&skin);
    button->setToolTip(tip);
    connect(button, &QPushButton::clicked, this, &CSFQTListCtrl::OnClicked);
    return button;
}

void CSFQTListCtrl::ForgetRowButtons(const QWidget* cell)
{
    if (!cell)
        return;
    for (const CSFQTButton* button : cell->findChildren<CSFQTButton*>())
        m_buttonRows.remove(button);
}

void CSFQTListCtrl::SetItemWidget(int row, int column, void*)
{
    if (!IsCell(row, column))
        return;
    ForgetRowButtons(indexWidget(model()->index(row, column)));
    auto* cell = new CSFQTView(nullptr);
    cell->setParent(this);
    CSFQTButton* config = MakeRowButton(cell, SF_LIST_ROW_BUTTON_CONFIG, L"icon_set.png", tr("config"));
    CSFQTButton* login = MakeRowButton(cell, SF_LIST_ROW_BUTTON_LOGIN, L"icon_weblogin.png", tr("login"));
    m_buttonRows[config] = row;
    m_buttonRows[login] = row;
    cell->SetRowTop((m_rowHeight - kRowButtonSize) / 2);
    cell->AddRowWidget(config);
    cell->AddRowWidget(login);
    setIndexWidget(model()->index(row, column), cell);
}

void CSFQTListCtrl::SetItemIcon(int row, int column, const wchar_t* path)
{
    if (!IsCell(row, column))
        return;
    if (QTableWidgetItem* cell = item(row, column))
        cell->setIcon(QIcon(CSFQTSkinImageCache::Instance().Get(SFQTStringFromWide(path))));
}

void CSFQTListCtrl::SetObjectName(const wchar_t* name)
{
    setObjectName(SFQTStringFromWide(name));
}

void CSFQTListCtrl::SetHorizontalHeaderVisible(int visible)
{
    horizontalHeader()->setVisible(visible != 0);
}

void CSFQTListCtrl::SetToolTipText(int row, int column, const wchar_t* text)
{
    if (!IsCell(row, column))
        return;
    QTableWidgetItem* cell = EnsureItem(row, column);
    cell->setData(Qt::TextAlignmentRole, m_columnAlignment.value(column, 0));
    cell->setToolTip(SFQTStringFromWide(text));
}

void CSFQTListCtrl::Recolour()
{
    for (int row = 0; row < rowCount(); ++row) {
        const QColor& colour = row % 2 == 0 ? m_evenRowColor : m_oddRowColor;
        for (int column = 0; column < columnCount(); ++column)
            model()->setData(model()->index(row, column), colour, Qt::BackgroundRole);
    }
}

int CSFQTListCtrl::RowOfButton(const QObject* button) const
{
    return m_buttonRows.value(button, -1);
}

SF_LISTCTRL_NOTIFY CSFQTListCtrl::MakeNotify(UINT code, int row, int column) const
{
    SF_LISTCTRL_NOTIFY notify{};
    notify.hdr.hwndFrom = const_cast<QWidget*>(static_cast<const QWidget*>(this));
    notify.hdr.idFrom = static_cast<std::uintptr_t>(static_cast<UINT>(m_controlId));
    notify.hdr.code = code;
    notify.iItem = row;
    notify.iSubItem = column;
    notify.dwItemData = row >= 0 ? GetItemData(row) : 0;
    return notify;
}

void CSFQTListCtrl::SendToParent(UINT message, UINT code, WPARAM wParam, LPARAM lParam)
{
    QWidget* parent = parentWidget();
    if (!parent)
        return;
    CSFCustomEvent event(message, code, wParam, lParam);
    QCoreApplication::sendEvent(parent, &event);
}

void CSFQTListCtrl::OnItemDBClicked(QTableWidgetItem* cell)
{
    if (!cell)
        return;
    const bool inList = cell->tableWidget() == this;
    SF_LISTCTRL_NOTIFY notify = MakeNotify(SF_LCN_ITEM_DBLCLICK, inList ? cell->row() : -1,
                                           inList ? cell->column() : -1);
    SendToParent(WM_NOTIFY, SF_LCN_ITEM_DBLCLICK, reinterpret_cast<WPARAM>(&notify), m_controlId);
}

void CSFQTListCtrl::OnClicked()
{
    auto* button = qobject_cast<CSFQTButton*>(sender());
    const int row = button ? RowOfButton(button) : -1;
    if (row < 0)
        return;
    const UINT buttonId = button->GetControlId();
    SF_LISTCTRL_NOTIFY notify = MakeNotify(SF_LCN_ROWBUTTON_CLICK, row, 0);
    // The parent may destroy the window that holds this list on the notification.
    const QPointer<CSFQTListCtrl> alive(this);
    SendToParent(WM_NOTIFY, SF_LCN_ROWBUTTON_CLICK, reinterpret_cast<WPARAM>(&notify), m_controlId);
    if (alive)
        SendToParent(WM_COMMAND, 0, 0, static_cast<LPARAM>(buttonId));
}

void CSFQTListCtrl::OnCellChanged(int, int, int)
{
    update();
}
