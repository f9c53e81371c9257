#include "rankings/RankingModel.h"

#include "store/TextCollation.h"

#include <algorithm>

RankingModel::RankingModel(QList<Column> columns, QObject* parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns))
{
}

int RankingModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

int RankingModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QString RankingModel::cellText(int row, int column) const
{
    const Row& r = m_entries.at(row - 1).row;
    switch (column) {
    case RankColumn:
        return m_numbered ? QString::number(row) : r.rank;
    case LabelColumn:
        return r.label;
    default:
        return QString::number(r.counts[size_t(column - FirstCountColumn)]);
    }
}

QVariant RankingModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size() || index.column() >= m_columns.size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return cellText(index.row() + 1, index.column());
    case Qt::TextAlignmentRole:
        switch (m_columns.at(index.column()).align) {
        case Align::Left:
            return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        case Align::Right:
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        case Align::Centre:
            return QVariant(Qt::AlignCenter);
        case Align::General:
            break;
        }
        if (index.column() >= FirstCountColumn)
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        {
            bool number = false;
            cellText(index.row() + 1, index.column()).toDouble(&number);
            return QVariant((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        }
    default:
        return {};
    }
}

QVariant RankingModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_columns.at(section).header;
    case Qt::TextAlignmentRole:
        return QVariant(Qt::AlignCenter);
    default:
        return {};
    }
}

void RankingModel::clear()
{
    setRows({});
}

void RankingModel::setRows(QList<Row> rows)
{
    beginResetModel();
    m_entries.clear();
    m_entries.reserve(rows.size());
    for (qsizetype i = 0; i < rows.size(); ++i)
        m_entries.append({std::move(rows[i]), int(i)});
    m_labelRanks.clear();
    m_numbered = false;
    endResetModel();
}

template <typename Less> void RankingModel::sortAndNumber(Less less)
{
    std::sort(m_entries.begin(), m_entries.end(), [&less](const Entry& a, const Entry& b) {
        return less(a, b) || (!less(b, a) && a.fillIndex < b.fillIndex);
    });
    for (Entry& entry : m_entries)
        entry.row.rank.clear();
    m_numbered = true;
    if (!m_entries.isEmpty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
}

void RankingModel::sortByCount(int column)
{
    const size_t slot = size_t(column - FirstCountColumn);
    if (column < FirstCountColumn || column >= m_columns.size() || slot >= 2)
        return;
    sortAndNumber([slot](const Entry& a, const Entry& b) { return a.row.counts[slot] > b.row.counts[slot]; });
}

void RankingModel::sortByLabel()
{
    const std::vector<int>& ranks = labelRanks();
    sortAndNumber(
        [&ranks](const Entry& a, const Entry& b) { return ranks[size_t(a.fillIndex)] < ranks[size_t(b.fillIndex)]; });
}

const std::vector<int>& RankingModel::labelRanks()
{
    if (m_labelRanks.size() == size_t(m_entries.size()))
        return m_labelRanks;
    const size_t n = size_t(m_entries.size());
    QStringList labels;
    labels.resize(qsizetype(n));
    for (const Entry& entry : std::as_const(m_entries))
        labels[entry.fillIndex] = entry.row.label;
    const std::vector<qsizetype> byLabel = collation::sortedPositions(labels);
    m_labelRanks.assign(n, 0);
    for (size_t place = 0; place < n; ++place)
        m_labelRanks[size_t(byLabel[place])] = int(place);
    return m_labelRanks;
}

namespace rankgrid {

QList<RankingModel::Column> names(const QString& nameHeader)
{
    return {{QStringLiteral("順位"), 550},
            {nameHeader, 1850},
            {QStringLiteral("品数"), 550},
            {QStringLiteral("冊数"), 550}};
}

QList<RankingModel::Column> volumeRanges()
{
    using Align = RankingModel::Align;
    return {{QStringLiteral("順位"), 650, Align::Right},
            {QStringLiteral("巻数範囲"), 1500, Align::Left},
            {QStringLiteral("品数"), 710}};
}

QList<RankingModel::Column> firstIssues()
{
    using Align = RankingModel::Align;
    return {{QStringLiteral("順位"), 650},
            {QStringLiteral("初刊発行"), 1500, Align::Centre},
            {QStringLiteral("品数"), 710}};
}

} // namespace rankgrid
