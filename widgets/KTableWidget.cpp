#include "KTableWidget.h"

#include "KPictureCache.h"

#include <QHeaderView>

#include <algorithm>

namespace {
const QString Indent = QStringLiteral("     ");
constexpr int RowHeight = 25;
constexpr int ColumnWidth = 260;
const QColor UpperRowColour(100, 100, 100);
}

const QColor KTableWidget::SelectedColour(153, 255, 0);
const QColor KTableWidget::BlankRowColour(255, 0, 153);

KTableWidget::KTableWidget(QWidget* parent) : QTableWidget(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setCursor(Qt::PointingHandCursor);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setShowGrid(false);
    connect(this, &QTableWidget::itemClicked, this, &KTableWidget::itemClick_slot);
}

void KTableWidget::initTable()
{
    clear();
    m_current = nullptr;
    m_names.clear();
    m_firstUserRow = 0;
    setRowCount(0);
    setColumnCount(1);
}

bool KTableWidget::isInert(const QTableWidgetItem* item)
{
    return item->foreground().color().blue() == 153;
}

void KTableWidget::addMyItem(const QString& name, QColor colour)
{
    if (!name.isEmpty() && m_names.contains(name))
        return;
    m_names << name;
    const int row = rowCount();
    insertRow(row);
    auto* item = new QTableWidgetItem(colour.blue() != 153 ? Indent + name : name);
    item->setForeground(colour);
    item->setBackground(Qt::black);
    setItem(row, 0, item);
    setRowHeight(row, RowHeight);
    setColumnWidth(0, ColumnWidth);
    if (name == tr(" Users Tovix ")) {
        m_firstUserRow = rowCount();
        selectRowOne();
    }
}

void KTableWidget::addMyItems(const QList<QTableWidgetItem*>& items)
{
    // The trailing blank row moves to the end of the appended rows.
    const int last = rowCount() - 1;
    if (last >= 0 && item(last, 0) && item(last, 0)->text().isEmpty() && isInert(item(last, 0))) {
        if (m_current == item(last, 0))
            m_current = nullptr;
        removeRow(last);
        m_names.removeOne(QString());
    }
    for (const QTableWidgetItem* given : items)
        if (given)
            addMyItem(given->text(), Qt::white);
    addMyItem(tr(""), BlankRowColour);
    if (m_current)
        itemClick_slot(m_current);
}

void KTableWidget::removeMyItem(const QList<QTableWidgetItem*>& items)
{
    // Rows are collected before any is removed: removing a row deletes its items.
    QList<int> rows;
    for (QTableWidgetItem* given : items) {
        const int row = given ? given->row() : -1;
        if (row < 0)
            continue;
        if (row < m_firstUserRow)
            break;
        rows << row;
        m_names.removeOne(given->text().mid(Indent.size()));
    }
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int row : rows) {
        blackenAround(row);
        if (m_current && m_current->row() == row)
            m_current = nullptr;
        removeRow(row);
    }
    if (rowCount() > 0)
        selectRowOne();
}

void KTableWidget::blackenAround(int row)
{
    for (int r = row - 1; r <= row + 1; ++r)
        if (QTableWidgetItem* around = item(r, 0))
            around->setBackground(Qt::black);
}

void KTableWidget::selectRowOne()
{
    QTableWidgetItem* rowOne = item(1, 0);
    if (!rowOne)
        return;
    rowOne->setForeground(SelectedColour);
    itemClick_slot(rowOne);
}

void KTableWidget::itemClick_slot(QTableWidgetItem* clicked)
{
    if (!clicked || isInert(clicked))
        return;
    if (m_current) {
        blackenAround(m_current->row());
        m_current->setForeground(m_current->row() >= m_firstUserRow ? QColor(Qt::white)
                                                                    : UpperRowColour);
    }
    clicked->setBackground(
        QBrush(KPictureCache::pixmap(":/Design/Windows/TableMixBgd", QSize(ColumnWidth, RowHeight))));
    clicked->setForeground(SelectedColour);
    m_current = clicked;
    viewport()->update();
    emit this->clicked(clicked->text().mid(Indent.size()));
}
