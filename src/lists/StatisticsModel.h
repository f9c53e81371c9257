#pragma once

#include "lists/Statistics.h"

#include <QAbstractListModel>

// lstAtoSukoshi: one row per nearly complete series, its text ("題名　あと 2 冊（7, 9巻）") made when a view asks
// for it, so that tens of thousands of rows cost no more than the counts already hold.
class AlmostListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    void setRows(QList<statistics::AlmostRow> rows);
    const QList<statistics::AlmostRow>& rows() const { return m_rows; }

private:
    QList<statistics::AlmostRow> m_rows;
};
