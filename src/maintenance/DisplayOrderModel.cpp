#include "maintenance/DisplayOrderModel.h"

int DisplayOrderModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant DisplayOrderModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size() || role != Qt::DisplayRole)
        return {};
    return m_entries.at(index.row()).title;
}

void DisplayOrderModel::setEntries(QList<displayorder::Entry> entries)
{
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
}

QStringList DisplayOrderModel::titles() const
{
    QStringList titles;
    titles.reserve(m_entries.size());
    for (const displayorder::Entry& entry : m_entries)
        titles.append(entry.title);
    return titles;
}

int DisplayOrderModel::moveEntry(int from, int target)
{
    const int landing = displayorder::landingRow(from, target, int(m_entries.size()));
    if (landing < 0)
        return -1;
    // Qt counts the destination before the move: the row the entry is put in front of.
    beginMoveRows(QModelIndex(), from, from, QModelIndex(), target);
    m_entries.move(from, landing);
    endMoveRows();
    return landing;
}

void DisplayOrderModel::renumberRecords()
{
    for (qsizetype r = 0; r < m_entries.size(); ++r)
        m_entries[r].record = int(r) + 1;
}
