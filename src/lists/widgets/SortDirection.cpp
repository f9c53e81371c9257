#include "lists/widgets/SortDirection.h"

#include "lists/SortModel.h"

#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QPolygon>
#include <algorithm>

namespace {

constexpr int MinMarkWidth = 5;
constexpr int MaxMarkWidth = 9;

// The header keeps the column and direction as its sort indicator, so that tools reading the header see them.
// The mark is drawn by a see-through layer over the header, because the header's style sheet leaves the style's
// own indicator out.
class SortMark final : public QWidget {
public:
    SortMark(QHeaderView& header, SortListModel& model) : QWidget(header.viewport()), m_header(header)
    {
        setObjectName(QStringLiteral("sortMark"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        // Not drawn by the header itself, which would also leave out the text of a narrow column to make room.
        header.setSortIndicatorShown(false);
        connect(&model, &SortListModel::sorted, this, [this](int column, Qt::SortOrder order) {
            m_column = column;
            m_order = order;
            showMark();
        });
        connect(&model, &QAbstractItemModel::modelReset, this, [this] {
            m_column = -1;
            showMark();
        });
        // The header turns its indicator over on every click on a section, before the click is handled; the
        // click's own sort (or none, on the title column) then decides what is shown.
        connect(&header, &QHeaderView::sectionClicked, this, &SortMark::showMark);
        connect(&header, &QHeaderView::sectionResized, this, qOverload<>(&QWidget::update));
        connect(&header, &QHeaderView::geometriesChanged, this, qOverload<>(&QWidget::update));
        header.viewport()->installEventFilter(this);
        setGeometry(header.viewport()->rect());
        showMark();
        show();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_header.viewport() && event->type() == QEvent::Resize)
            setGeometry(m_header.viewport()->rect());
        return QWidget::eventFilter(watched, event);
    }

    // A small triangle at the right end of the sorted column's header: pointing up for ascending, down for
    // descending.
    void paintEvent(QPaintEvent*) override
    {
        const int column = m_header.sortIndicatorSection();
        if (column < 0 || column >= m_header.count() || m_header.isSectionHidden(column))
            return;
        // As wide as the room beside the centred header text allows (down to 5 pixels), at the section's right end.
        const int size = m_header.sectionSize(column);
        const int text = m_header.fontMetrics().horizontalAdvance(
            m_header.model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
        const int markWidth = std::clamp((size - text) / 2 - 2, MinMarkWidth, MaxMarkWidth) | 1;
        const int markHeight = (markWidth + 1) / 2;
        const int right = m_header.sectionViewportPosition(column) + size - 2;
        const int left = right - markWidth;
        const int top = (height() - markHeight) / 2;
        QPolygon triangle;
        if (m_header.sortIndicatorOrder() == Qt::AscendingOrder)
            triangle << QPoint(left, top + markHeight) << QPoint(right, top + markHeight)
                     << QPoint(left + markWidth / 2, top);
        else
            triangle << QPoint(left, top) << QPoint(right, top) << QPoint(left + markWidth / 2, top + markHeight);
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        painter.drawPolygon(triangle);
    }

private:
    void showMark()
    {
        m_header.setSortIndicator(m_column, m_order);
        update();
    }

    QHeaderView& m_header;
    int m_column = -1;
    Qt::SortOrder m_order = Qt::AscendingOrder;
};

} // namespace

void showSortDirection(QHeaderView& header, SortListModel& model)
{
    new SortMark(header, model);
}
