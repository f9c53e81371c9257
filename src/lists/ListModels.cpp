#include "lists/ListModels.h"

#include "ui/logic/MainPageLogic.h"

#include <QBrush>

namespace {

QVariant fixedHeaderData(int section, Qt::Orientation orientation, int role, const QString& title)
{
    switch (role) {
    case Qt::DisplayRole:
        return orientation == Qt::Horizontal ? QVariant(QString::number(section + 1)) : QVariant(title);
    case Qt::ToolTipRole:
        // The title column is narrower than many titles: the full title shows on pointing at it.
        return orientation == Qt::Vertical ? QVariant(title) : QVariant();
    case Qt::BackgroundRole:
        return QBrush(listgrid::FixedColor);
    case Qt::ForegroundRole:
        return QBrush(Qt::black);
    case Qt::TextAlignmentRole:
        return orientation == Qt::Horizontal ? QVariant(Qt::AlignCenter) : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

// Position of the n-th (1-based) set bit of mask, plus one; 0 when there are fewer than n.
int nthSetPosition(quint64 mask, int n)
{
    for (int c = 1; mask != 0; ++c, mask >>= 1) {
        if ((mask & 1) && --n == 0)
            return c;
    }
    return 0;
}

} // namespace

int StatusListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int StatusListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : statuslist::Columns;
}

QVariant StatusListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const statuslist::StatusRow& r = m_rows.at(index.row());
    const int column = index.column() + 1;
    switch (role) {
    case Qt::DisplayRole:
        return r.cellText(column);
    case Qt::BackgroundRole:
        if (column > r.filledColumns())
            return {};
        return QBrush(r.isMissing(column) ? mainpage::VolumeColorMissing : mainpage::VolumeColorCollected);
    case Qt::TextAlignmentRole:
        return QVariant(Qt::AlignCenter);
    default:
        return {};
    }
}

QVariant StatusListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical && (section < 0 || section >= m_rows.size()))
        return {};
    return fixedHeaderData(section, orientation, role,
                           orientation == Qt::Vertical ? m_rows.at(section).title : QString());
}

void StatusListModel::setRows(QList<statuslist::StatusRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void StatusListModel::setMissing(int gridRow, int column, bool missing)
{
    statuslist::StatusRow& r = m_rows[gridRow - 1];
    const quint64 bit = quint64(1) << (column - 1);
    r.missing = missing ? (r.missing | bit) : (r.missing & ~bit);
    const QModelIndex cell = index(gridRow - 1, column - 1);
    emit dataChanged(cell, cell, {Qt::DisplayRole, Qt::BackgroundRole});
}

int UncollectedModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int UncollectedModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : statuslist::Columns;
}

QVariant UncollectedModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return cellText(index.row() + 1, index.column() + 1);
    if (role == Qt::TextAlignmentRole)
        return QVariant(Qt::AlignCenter);
    return {};
}

QVariant UncollectedModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical && (section < 0 || section >= m_rows.size()))
        return {};
    return fixedHeaderData(section, orientation, role,
                           orientation == Qt::Vertical ? m_rows.at(section).title : QString());
}

void UncollectedModel::rebuild(const QList<statuslist::StatusRow>& rows)
{
    beginResetModel();
    m_rows.clear();
    for (const statuslist::StatusRow& r : rows) {
        if (r.missing != 0)
            m_rows.append(Row{r.title, r.missing, r.startVolume});
    }
    endResetModel();
}

void UncollectedModel::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

QString UncollectedModel::cellText(int gridRow, int column) const
{
    // Numbered as the main page's labels number them, like the status grid, the QR list and the 残巻 list: the
    // second record of a series shows 51, 52, ...
    const Row& row = m_rows.at(gridRow - 1);
    const int position = nthSetPosition(row.missing, column);
    return position == 0 ? QString() : QString::number(position + row.startVolume);
}
