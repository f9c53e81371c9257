#pragma once

#include "lists/StatusList.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QList>

// The two grids of the status list panel as table models: model row r - 1 is grid row r, model column c - 1
// is grid column c (volume c); the title column and the volume numbers are the vertical and horizontal
// headers. Each row is a title and a 50-bit mask, so that 32,766 titles cost a few hundred kilobytes and the
// views ask only for the cells they paint.

namespace listgrid {
// Background of the fixed header row and title column.
inline const QColor FixedColor = QColor(255, 255, 240);
} // namespace listgrid

// msgList: every title of the last fill, a coloured cell for each of its volumes.
class StatusListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Grid rows are 1-based, like the title table.
    void setRows(QList<statuslist::StatusRow> rows);
    void clear() { setRows({}); }
    const QList<statuslist::StatusRow>& rows() const { return m_rows; }
    const statuslist::StatusRow& row(int gridRow) const { return m_rows.at(gridRow - 1); }
    // Shows volume column of gridRow missing or collected.
    void setMissing(int gridRow, int column, bool missing);

private:
    QList<statuslist::StatusRow> m_rows;
};

// msgList2: one row per title with missing volumes, the numbers of those volumes packed to the left.
class UncollectedModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Row {
        QString title;
        quint64 missing = 0; // bit c - 1: position c within the record is missing
        qint16 startVolume = 0;
    };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Takes the rows with at least one missing volume, in grid order.
    void rebuild(const QList<statuslist::StatusRow>& rows);
    void clear();
    const QList<Row>& rows() const { return m_rows; }
    // The text of grid cell (gridRow, column): the number of the column-th missing volume, or empty.
    QString cellText(int gridRow, int column) const;

private:
    QList<Row> m_rows;
};
