#include "lists/widgets/SortDirection.h"

#include "lists/SortModel.h"

#include <QHeaderView>

namespace {

class SortDirection final : public QObject {
public:
    SortDirection(QHeaderView& header, SortListModel& model) : QObject(&header), m_header(header)
    {
        header.setSortIndicatorShown(true);
        connect(&model, &SortListModel::sorted, this, [this](int column, Qt::SortOrder order) {
            m_column = column;
            m_order = order;
            show();
        });
        connect(&model, &QAbstractItemModel::modelReset, this, [this] {
            m_column = -1;
            show();
        });
        // The header turns its own mark over on every click on a section, before the click is handled; the
        // click's own sort (or none, on the title column) then decides what is shown.
        connect(&header, &QHeaderView::sectionClicked, this, &SortDirection::show);
        show();
    }

private:
    void show() { m_header.setSortIndicator(m_column, m_order); }

    QHeaderView& m_header;
    int m_column = -1;
    Qt::SortOrder m_order = Qt::AscendingOrder;
};

} // namespace

void showSortDirection(QHeaderView& header, SortListModel& model)
{
    new SortDirection(header, model);
}
