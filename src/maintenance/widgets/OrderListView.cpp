#include "maintenance/widgets/OrderListView.h"

#include "ui/KeyHelpers.h"

#include <QKeyEvent>
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

void OrderListView::keyPressEvent(QKeyEvent* event)
{
    if (!keys::isDragKey(*event)) {
        QListView::keyPressEvent(event);
        return;
    }
    const int count = model() ? model()->rowCount() : 0;
    const QModelIndex current = currentIndex();
    const auto step = keys::dragStep(*event, current.isValid() ? current.row() : -1, count);
    if (!step)
        return;
    const auto select = [this](int row) {
        selectionModel()->setCurrentIndex(model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
    };
    select(step->from);
    m_pressedOnEntry = true;
    emit mouseDown();
    select(step->target);
    emit mouseUp();
    select(step->selectAfter);
    scrollTo(currentIndex());
}
