#pragma once

#include "maintenance/DisplayOrder.h"

#include <QAbstractListModel>

// lstBicho's content: one row per entry, showing its title.
class DisplayOrderModel final : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void setEntries(QList<displayorder::Entry> entries);
    const QList<displayorder::Entry>& entries() const { return m_entries; }
    QStringList titles() const;

    // Moves the entry on row from directly above the entry on row target (see displayorder::landingRow).
    // Returns the row it landed on, or -1 when nothing moved.
    int moveEntry(int from, int target);
    // After the collection was rewritten in this order: row r now stands for record r + 1.
    void renumberRecords();

private:
    QList<displayorder::Entry> m_entries;
};
