#include "rankings/widgets/RankList.h"

#include "ui/KeyHelpers.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int ScrollIntervalMs = 60;

} // namespace

RankList::RankList(QWidget* parent) : QListView(parent)
{
    setObjectName(QStringLiteral("lstRank"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setAcceptDrops(false);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setUniformItemSizes(true);
    setAutoScroll(false);
    m_scrollTimer.setInterval(ScrollIntervalMs);
    connect(&m_scrollTimer, &QTimer::timeout, this, &RankList::followPointer);
}

int RankList::selectedRow() const
{
    if (!selectionModel())
        return -1;
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void RankList::selectRow(int row)
{
    if (!model() || !selectionModel())
        return;
    const QModelIndex index = model()->index(row, 0);
    if (!index.isValid()) {
        selectionModel()->clear();
        return;
    }
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

int RankList::rowAt(QPoint pos, bool pressed) const
{
    const int count = model() ? model()->rowCount() : 0;
    if (count == 0)
        return -1;
    const QRect area = viewport()->rect();
    // Only the height decides: an entry counts across the whole width of the list.
    const int x = area.left() + 1;
    if (pressed) {
        const QModelIndex index = indexAt(QPoint(x, pos.y()));
        return index.isValid() ? index.row() : -1;
    }
    if (pos.y() < area.top()) {
        const QModelIndex top = indexAt(QPoint(x, area.top()));
        return top.isValid() ? std::max(top.row() - 1, 0) : 0;
    }
    if (pos.y() > area.bottom()) {
        const QModelIndex bottom = indexAt(QPoint(x, area.bottom()));
        return bottom.isValid() ? std::min(bottom.row() + 1, count - 1) : count - 1;
    }
    const QModelIndex index = indexAt(QPoint(x, pos.y()));
    return index.isValid() ? index.row() : count - 1;
}

void RankList::mousePressEvent(QMouseEvent* event)
{
    if (m_held != Qt::NoButton)
        return;
    m_held = event->button();
    m_pointer = event->position().toPoint();
    m_pressedRow = rowAt(m_pointer, true);
    selectRow(m_pressedRow);
    viewport()->update();
    emit mouseDown();
}

void RankList::mouseMoveEvent(QMouseEvent* event)
{
    if (m_held == Qt::NoButton)
        return;
    m_pointer = event->position().toPoint();
    followPointer();
    const QRect area = viewport()->rect();
    const bool outside = m_pointer.y() < area.top() || m_pointer.y() > area.bottom();
    if (outside && !m_scrollTimer.isActive())
        m_scrollTimer.start();
    else if (!outside)
        m_scrollTimer.stop();
}

void RankList::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_held == Qt::NoButton || event->button() != m_held)
        return;
    m_scrollTimer.stop();
    m_pointer = event->position().toPoint();
    if (m_pressedRow >= 0)
        followPointer();
    m_held = Qt::NoButton;
    m_pressedRow = -1;
    viewport()->update();
    emit mouseUp();
}

void RankList::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double-click is a press like the first.
    mousePressEvent(event);
}

void RankList::followPointer()
{
    // Without an entry under the press there is nothing to move, and the selection stays cleared.
    if (m_held == Qt::NoButton || m_pressedRow < 0)
        return;
    const int row = rowAt(m_pointer, false);
    if (row >= 0 && row != selectedRow())
        selectRow(row);
    viewport()->update();
}

void RankList::paintEvent(QPaintEvent* event)
{
    QListView::paintEvent(event);
    const int target = selectedRow();
    if (m_held == Qt::NoButton || m_pressedRow < 0 || target < 0 || target == m_pressedRow ||
        target == m_pressedRow + 1)
        return;
    // The dragged entry lands directly above the selected one: a line along that entry's top edge.
    const QRect rect = visualRect(model()->index(target, 0));
    QPainter painter(viewport());
    painter.fillRect(QRect(0, rect.top(), viewport()->width(), 2), palette().color(QPalette::Text));
}

void RankList::keyPressEvent(QKeyEvent* event)
{
    if (!keys::isDragKey(*event)) {
        QListView::keyPressEvent(event);
        return;
    }
    const int count = model() ? model()->rowCount() : 0;
    if (m_held != Qt::NoButton)
        return;
    if (const auto step = keys::dragStep(*event, selectedRow(), count)) {
        selectRow(step->from);
        emit mouseDown();
        selectRow(step->target);
        emit mouseUp();
        selectRow(step->selectAfter);
    }
}
