#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

// One ranking grid of the ranking screen as a table model: model row r - 1 is grid row r, model column c is grid
// column c, and the header row is the view's horizontal header. Column 0 holds the rank, column 1 the label (a
// name, a volume range, a month or a year) and the columns after it one or two counts.
//
// A sort moves whole rows and then numbers column 0 from 1 downwards, so that ranks are always consecutive, ties
// included. Rows whose keys are equal keep the order the fill gave them, whatever was sorted before.
class RankingModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    // How a column aligns its data cells. General: numbers to the right, any other text to the left.
    enum class Align { General, Left, Right, Centre };
    struct Column {
        QString header;
        int widthTwips = 0;
        Align align = Align::General;
    };
    struct Row {
        QString rank; // as the fill writes it; after a sort the rank is the row's number
        QString label;
        std::array<qint64, 2> counts{}; // columns 2 and 3
    };

    static constexpr int RankColumn = 0;
    static constexpr int LabelColumn = 1;
    static constexpr int FirstCountColumn = 2;

    explicit RankingModel(QList<Column> columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const QList<Column>& columns() const { return m_columns; }

    // The header row alone.
    void clear();
    // Data rows in fill order.
    void setRows(QList<Row> rows);
    // Sorts by a count column, largest first, and renumbers.
    void sortByCount(int column);
    // Sorts by the label, ascending in the Japanese collation with letter case significant (texts it finds
    // equal in code-unit order), and renumbers.
    void sortByLabel();

    // The text of grid cell (row 1 .. rowCount(), column 0 .. columnCount() - 1).
    QString cellText(int row, int column) const;

private:
    struct Entry {
        Row row;
        int fillIndex = 0;
    };
    template <typename Less> void sortAndNumber(Less less);
    const std::vector<int>& labelRanks();

    QList<Column> m_columns;
    QList<Entry> m_entries;
    // Per fill index, the label's place in label order; computed at the first label sort after a fill.
    std::vector<int> m_labelRanks;
    // Set by a sort, cleared by a fill: then the rank column shows row numbers, made only when asked for, so
    // that a grid of tens of thousands of rows keeps no rank text.
    bool m_numbered = false;
};

// The columns of the four grids.
namespace rankgrid {
// msgSaku ("作者名") and msgKei ("掲載社名"): 順位, the name, 品数, 冊数.
QList<RankingModel::Column> names(const QString& nameHeader);
// msgMaster6: 順位 (right), 巻数範囲 (left), 品数.
QList<RankingModel::Column> volumeRanges();
// msgMaster3: 順位, 初刊発行 (centred), 品数.
QList<RankingModel::Column> firstIssues();
} // namespace rankgrid
