#include "maintenance/widgets/OrderListView.h"

#include <QMouseEvent>

OrderListView::OrderListView(QWidget* parent) : QListView(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    // Every entry is one line of text: the view need not measure each of thousands of entries.
    setUniformItemSizes(true);
}

void OrderListView::mousePressEvent(QMouseEvent* event)
{
    m_pressedOnEntry = indexAt(event->position().toPoint()).isValid();
    QListView::mousePressEvent(event);
    emit mouseDown();
}

void OrderListView::mouseReleaseEvent(QMouseEvent* event)
{
    // A release over an entry the last move did not reach (no move event in between) still counts as the
    // selection having followed the mouse there.
    const QPoint pos = event->position().toPoint();
    if (viewport()->rect().contains(pos)) {
        const QModelIndex under = indexAt(pos);
        if (under.isValid() && under != currentIndex())
            selectionModel()->setCurrentIndex(under, QItemSelectionModel::ClearAndSelect);
    }
    QListView::mouseReleaseEvent(event);
    emit mouseUp();
}
