#pragma once

#include "lists/SortList.h"

#include <QAbstractTableModel>
#include <QList>
#include <vector>

// msgIchiran as a table model: model row r - 1 is grid row r, model column c is grid column c, and the header
// row is the view's horizontal header. 評価 and 年数 are centred; in the other columns numbers stand to the right
// and other texts to the left. A sort moves the contents of the rows and leaves every row where it is,
// the way the grid has always sorted: the current cell stays on its row number and column.
//
// Sorting compares ranks, never texts: the first sort by a column after a fill computes each distinct text's
// collation sort key once, orders them and numbers them; every later sort by that column, either way, compares
// those numbers. Texts the collation finds equal are told apart by their code points, so only rows with the very
// same text share a key; such rows keep their relative order.
class SortListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum class Order { StringAscending, StringDescending, NumericAscending, NumericDescending };

    explicit SortListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Rows in the given order; forgets every computed rank.
    void setRows(QList<sortlist::SortRow> rows);
    // Keeps the first count rows as they are; rows added are empty.
    void setRowCount(int count);
    // Reorders all rows by the text of column. String orders use the Japanese collation, case-sensitive, so
    // that "yyyy/mm/dd" dates come out chronologically; numeric orders read the texts as numbers.
    void sortRows(int column, Order order);
    // After a rewrite of the collection in the shown order: grid row r now stands for record records[r - 1].
    void setRecords(const QList<int>& records);

    const QList<sortlist::SortRow>& rows() const { return m_rows; }
    // The text of grid cell (row 1 .. rowCount(), column 0 .. 7).
    const QString& cellText(int row, int column) const { return m_rows.at(row - 1).cells[size_t(column)]; }

signals:
    // The rows were reordered by column, in this direction.
    void sorted(int column, Qt::SortOrder order);

private:
    using Ranks = std::vector<double>; // per row, in the current row order
    const Ranks& ranks(int column, bool numeric);
    Ranks stringRanks(int column) const;
    Ranks numericRanks(int column) const;

    QList<sortlist::SortRow> m_rows;
    // Per column and kind (string, numeric), the ranks of the rows, kept in step with every reorder; empty until
    // the first sort that needs them.
    std::array<std::array<Ranks, 2>, sortlist::Columns> m_ranks;
};
