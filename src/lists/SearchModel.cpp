#include "lists/SearchModel.h"

int SearchResultModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_results.size());
}

QVariant SearchResultModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return m_results.titles.at(index.row());
}

void SearchResultModel::setResults(search::Results results)
{
    beginResetModel();
    m_results = std::move(results);
    endResetModel();
}
