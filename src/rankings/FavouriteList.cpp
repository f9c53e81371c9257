#include "rankings/FavouriteList.h"

#include <QSet>

int FavouriteListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_titles.size());
}

QVariant FavouriteListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_titles.size() || role != Qt::DisplayRole)
        return {};
    return m_titles.at(index.row());
}

void FavouriteListModel::setTitles(QStringList titles)
{
    beginResetModel();
    m_titles = std::move(titles);
    endResetModel();
}

int FavouriteListModel::moveAbove(int from, int target)
{
    const int count = int(m_titles.size());
    if (from < 0 || from >= count || target < 0 || target >= count || target == from || target == from + 1)
        return -1;
    // In the numbering before the move, the entry goes in front of target; after the move that is one place
    // higher when target lay below it.
    if (!beginMoveRows({}, from, from, {}, target))
        return -1;
    const int landed = target > from ? target - 1 : target;
    m_titles.move(from, landed);
    endMoveRows();
    return landed;
}

namespace favourite {

QStringList titlesToSave(const QStringList& entries, const TitleTable& table)
{
    QSet<QString> titles;
    titles.reserve(table.count());
    for (const TitleRecord& record : table.records())
        titles.insert(record.title);
    QStringList kept;
    kept.reserve(entries.size());
    for (const QString& entry : entries)
        if (titles.contains(entry))
            kept.append(entry);
    return kept;
}

QStringList titlesInTableOrder(const TitleTable& table)
{
    QStringList titles;
    titles.reserve(table.count());
    for (const TitleRecord& record : table.records())
        titles.append(record.title);
    return titles;
}

} // namespace favourite
