#include "lists/SortModel.h"

#include "lists/ListModels.h"
#include "store/TextCollation.h"

#include <QBrush>
#include <QHash>
#include <algorithm>
#include <numeric>

SortListModel::SortListModel(QObject* parent) : QAbstractTableModel(parent) {}

int SortListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int SortListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : sortlist::Columns;
}

QVariant SortListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_rows.at(index.row()).cells[size_t(index.column())];
    case Qt::TextAlignmentRole: {
        if (sortlist::Look[size_t(index.column())].centred)
            return QVariant(Qt::AlignCenter);
        // The grid's general alignment: numbers to the right, any other text to the left.
        bool number = false;
        m_rows.at(index.row()).cells[size_t(index.column())].toDouble(&number);
        return QVariant((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
    default:
        return {};
    }
}

QVariant SortListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= sortlist::Columns)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromUtf16(sortlist::Look[size_t(section)].header);
    case Qt::BackgroundRole:
        return QBrush(listgrid::FixedColor);
    case Qt::ForegroundRole:
        return QBrush(Qt::black);
    case Qt::TextAlignmentRole:
        return QVariant(Qt::AlignCenter);
    default:
        return {};
    }
}

void SortListModel::setRows(QList<sortlist::SortRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    for (auto& kinds : m_ranks)
        kinds = {};
    endResetModel();
}

void SortListModel::setRowCount(int count)
{
    count = std::max(count, 0);
    const int old = int(m_rows.size());
    if (count == old)
        return;
    for (auto& kinds : m_ranks)
        kinds = {};
    if (count < old) {
        beginRemoveRows({}, count, old - 1);
        m_rows.resize(count);
        endRemoveRows();
    } else {
        beginInsertRows({}, old, count - 1);
        m_rows.resize(count);
        endInsertRows();
    }
}

void SortListModel::setRecords(const QList<int>& records)
{
    for (qsizetype r = 0; r < m_rows.size() && r < records.size(); ++r)
        m_rows[r].record = records[r];
}

SortListModel::Ranks SortListModel::stringRanks(int column) const
{
    // Distinct texts only: dates, ratings and run lengths repeat a great deal.
    QHash<QString, int> distinct;
    QList<QString> values;
    std::vector<int> valueOfRow(size_t(m_rows.size()));
    for (qsizetype r = 0; r < m_rows.size(); ++r) {
        const QString& text = m_rows[r].cells[size_t(column)];
        auto found = distinct.constFind(text);
        if (found == distinct.constEnd()) {
            found = distinct.insert(text, int(values.size()));
            values.append(text);
        }
        valueOfRow[size_t(r)] = *found;
    }

    // Texts the collation finds equal ("ＡＢＣ" and "ABC", "ｱｲｳ" and "アイウ") are ordered by their code points, so
    // that every distinct text has a rank of its own and a descending sort is the exact reverse of an ascending one.
    const std::vector<qsizetype> byKey = collation::sortedPositions(values);
    std::vector<double> rankOfValue(byKey.size());
    for (size_t k = 0; k < byKey.size(); ++k)
        rankOfValue[size_t(byKey[k])] = double(k);

    Ranks ranks(valueOfRow.size());
    for (size_t r = 0; r < valueOfRow.size(); ++r)
        ranks[r] = rankOfValue[size_t(valueOfRow[r])];
    return ranks;
}

SortListModel::Ranks SortListModel::numericRanks(int column) const
{
    // A text that is not a number counts as 0.
    Ranks ranks(size_t(m_rows.size()));
    for (qsizetype r = 0; r < m_rows.size(); ++r)
        ranks[size_t(r)] = m_rows[r].cells[size_t(column)].toDouble();
    return ranks;
}

const SortListModel::Ranks& SortListModel::ranks(int column, bool numeric)
{
    Ranks& ranks = m_ranks[size_t(column)][numeric ? 1 : 0];
    if (ranks.size() != size_t(m_rows.size()))
        ranks = numeric ? numericRanks(column) : stringRanks(column);
    return ranks;
}

void SortListModel::sortRows(int column, Order order)
{
    if (column < 0 || column >= sortlist::Columns || m_rows.size() < 2)
        return;
    const bool numeric = order == Order::NumericAscending || order == Order::NumericDescending;
    const bool descending = order == Order::StringDescending || order == Order::NumericDescending;
    const Ranks& key = ranks(column, numeric);

    std::vector<int> moved(size_t(m_rows.size()));
    std::iota(moved.begin(), moved.end(), 0);
    if (descending)
        std::stable_sort(moved.begin(), moved.end(), [&key](int a, int b) { return key[size_t(a)] > key[size_t(b)]; });
    else
        std::stable_sort(moved.begin(), moved.end(), [&key](int a, int b) { return key[size_t(a)] < key[size_t(b)]; });

    QList<sortlist::SortRow> rows;
    rows.reserve(m_rows.size());
    for (const int from : moved)
        rows.append(std::move(m_rows[from]));
    m_rows = std::move(rows);
    for (auto& kinds : m_ranks) {
        for (Ranks& old : kinds) {
            if (old.size() != moved.size())
                continue;
            Ranks reordered(old.size());
            for (size_t r = 0; r < moved.size(); ++r)
                reordered[r] = old[size_t(moved[r])];
            old = std::move(reordered);
        }
    }
    emit dataChanged(index(0, 0), index(rowCount() - 1, sortlist::Columns - 1), {Qt::DisplayRole});
    emit sorted(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}
