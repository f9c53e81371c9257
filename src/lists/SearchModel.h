#pragma once

#include "lists/SearchList.h"

#include <QAbstractListModel>

// lstDaimei as a list model: row r is result r + 1, shown by its title.
class SearchResultModel final : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    void setResults(search::Results results);
    const search::Results& results() const { return m_results; }

private:
    search::Results m_results;
};
