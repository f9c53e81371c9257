#include "lists/StatisticsModel.h"

int AlmostListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant AlmostListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole || role == Qt::ToolTipRole)
        return statistics::almostText(m_rows.at(index.row()));
    return {};
}

void AlmostListModel::setRows(QList<statistics::AlmostRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}
