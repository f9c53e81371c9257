// The sort screen's computations: issue dates and run lengths as cells, the row orders of every kind of sort,
// and the collection rebuilt in the order of the rows.
#include "lists/SortList.h"
#include "lists/SortModel.h"

#include <QTest>
#include <algorithm>

using sortlist::SortRow;

namespace {

SortRow row(const QString& text, int column = sortlist::TitleColumn, int record = 0)
{
    SortRow r;
    r.cells[size_t(column)] = text;
    r.record = record;
    return r;
}

TitleRecord titled(const QString& title, const QString& author = QStringLiteral("未登録"))
{
    TitleRecord r;
    r.title = title;
    r.volumeCount = 1;
    r.author = author;
    return r;
}

TitleTable tableOf(const QList<TitleRecord>& records)
{
    TitleTable table;
    for (const TitleRecord& r : records)
        table.append(r);
    return table;
}

} // namespace

class TestSortLogic : public QObject {
    Q_OBJECT
private slots:
    void runLength_data();
    void runLength();
    void dateCell_data();
    void dateCell();
    void sortOrders_data();
    void sortOrders();
    void descendingReversesAscending_data();
    void descendingReversesAscending();
    void sortKeepsRanksOfOtherColumns();
    void reorder_data();
    void reorder();
};

void TestSortLogic::runLength_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("cell");
    QTest::newRow("same day") << "2008/05/05"
                              << "2008/05/05"
                              << "00年00ヶ月";
    QTest::newRow("same day, written differently") << "2008/5/5"
                                                   << "2008/05/05"
                                                   << "00年00ヶ月";
    QTest::newRow("one day") << "2008/05/05"
                             << "2008/05/06"
                             << "99年12ヶ月";
    QTest::newRow("30 days") << "2008/01/01"
                             << "2008/01/31"
                             << "00年01ヶ月";
    QTest::newRow("365 days") << "2001/03/01"
                              << "2002/03/01"
                              << "00年12ヶ月";
    QTest::newRow("367 days") << "2001/03/01"
                              << "2002/03/03"
                              << "01年01ヶ月";
    QTest::newRow("2268 days") << "2002/02/18"
                               << "2008/05/05"
                               << "06年03ヶ月";
    QTest::newRow("last a day before first") << "2008/05/06"
                                             << "2008/05/05"
                                             << "99年12ヶ月";
    QTest::newRow("invalid first") << "2002/13/40"
                                   << "2008/05/05"
                                   << "";
    QTest::newRow("not a date") << "未登録"
                                << "2008/05/05"
                                << "";
    QTest::newRow("empty last") << "2008/05/05"
                                << ""
                                << "";
}

void TestSortLogic::runLength()
{
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(QString, cell);
    QCOMPARE(sortlist::runLength(first, last), cell);
}

void TestSortLogic::dateCell_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cell");
    QTest::newRow("stored form") << "2002/02/18"
                                 << "2002/02/18";
    QTest::newRow("short month and day") << "2002/2/8"
                                         << "2002/02/08";
    QTest::newRow("dashes, blanks") << " 2002-02-18 "
                                    << "2002/02/18";
    QTest::newRow("two-digit year") << "02/2/18"
                                    << "2002/02/18";
    QTest::newRow("no such day kept as stored") << "2002/02/30"
                                                << "2002/02/30";
    QTest::newRow("text kept") << "未登録"
                               << "未登録";
}

void TestSortLogic::dateCell()
{
    QFETCH(QString, text);
    QFETCH(QString, cell);
    QCOMPARE(sortlist::dateCell(text), cell);
}

void TestSortLogic::sortOrders_data()
{
    using Order = SortListModel::Order;
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("order");
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QStringList>("sorted");

    const QStringList letters = {"b", "A", "a", "B"};
    QTest::newRow("titles A to Z, case-sensitive")
        << 0 << int(Order::StringAscending) << letters << QStringList{"a", "A", "b", "B"};
    QTest::newRow("titles Z to A") << 0 << int(Order::StringDescending) << letters << QStringList{"B", "b", "A", "a"};
    const QStringList volumes = {"9", "100", "10"};
    QTest::newRow("volumes, most first") << 1 << int(Order::NumericDescending) << volumes
                                         << QStringList{"100", "10", "9"};
    QTest::newRow("volumes, fewest first")
        << 1 << int(Order::NumericAscending) << volumes << QStringList{"9", "10", "100"};
    const QStringList dates = {"2008/05/05", "1999/12/31", "2008/10/01", "2008/05/04"};
    QTest::newRow("dates, latest first") << 5 << int(Order::StringDescending) << dates
                                         << QStringList{"2008/10/01", "2008/05/05", "2008/05/04", "1999/12/31"};
    QTest::newRow("dates, earliest first") << 6 << int(Order::StringAscending) << dates
                                           << QStringList{"1999/12/31", "2008/05/04", "2008/05/05", "2008/10/01"};
}

void TestSortLogic::sortOrders()
{
    QFETCH(int, column);
    QFETCH(int, order);
    QFETCH(QStringList, cells);
    QFETCH(QStringList, sorted);
    QList<SortRow> rows;
    for (const QString& text : cells)
        rows << row(text, column, int(rows.size()) + 1);
    SortListModel model;
    model.setRows(rows);
    model.sortRows(column, SortListModel::Order(order));
    QStringList shown;
    for (int r = 1; r <= model.rowCount(); ++r)
        shown << model.cellText(r, column);
    QCOMPARE(shown, sorted);
    // Whole rows move: each row still carries the record it was filled from.
    for (int r = 1; r <= model.rowCount(); ++r)
        QCOMPARE(model.rows().at(r - 1).record, int(cells.indexOf(sorted[r - 1])) + 1);
}

void TestSortLogic::descendingReversesAscending_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("cells");
    // Texts the collation finds equal, or nearly so: width, kana, letter case.
    QTest::newRow("full and half width") << 0 << QStringList{"ＡＢＣ探偵", "ABC探偵"};
    QTest::newRow("half width, katakana, hiragana") << 0 << QStringList{"ｱｲｳ", "アイウ", "あいう"};
    QTest::newRow("authors among others") << 3 << QStringList{"あいう", "B", "ｱｲｳ", "b", "アイウ", "ｂ"};
}

void TestSortLogic::descendingReversesAscending()
{
    QFETCH(int, column);
    QFETCH(QStringList, cells);
    auto sorted = [column](const QStringList& texts, SortListModel::Order order) {
        QList<SortRow> rows;
        for (const QString& text : texts)
            rows << row(text, column, int(rows.size()) + 1);
        SortListModel model;
        model.setRows(rows);
        model.sortRows(column, order);
        QStringList shown;
        for (int r = 1; r <= model.rowCount(); ++r)
            shown << model.cellText(r, column);
        return shown;
    };
    QStringList reversedCells = cells;
    std::reverse(reversedCells.begin(), reversedCells.end());

    const QStringList ascending = sorted(cells, SortListModel::Order::StringAscending);
    QStringList descending = sorted(cells, SortListModel::Order::StringDescending);
    std::reverse(descending.begin(), descending.end());
    QCOMPARE(descending, ascending);
    // The order does not depend on the order of the fill.
    QCOMPARE(sorted(reversedCells, SortListModel::Order::StringAscending), ascending);
}

void TestSortLogic::sortKeepsRanksOfOtherColumns()
{
    // Ranks of a column computed before another sort must still belong to their rows afterwards; equal keys keep
    // their order.
    QList<SortRow> rows;
    const QStringList titles = {"c", "a", "d", "b"};
    const QStringList authors = {"x", "y", "x", "y"};
    for (int i = 0; i < 4; ++i) {
        SortRow r = row(titles[i], 0, i + 1);
        r.cells[3] = authors[i];
        rows << r;
    }
    SortListModel model;
    model.setRows(rows);
    model.sortRows(0, SortListModel::Order::StringAscending);  // a b c d
    model.sortRows(3, SortListModel::Order::StringDescending); // y: a b, then x: c d
    model.sortRows(0, SortListModel::Order::StringDescending);
    QStringList shown;
    for (int r = 1; r <= 4; ++r)
        shown << model.cellText(r, 0);
    QCOMPARE(shown, (QStringList{"d", "c", "b", "a"}));
    model.sortRows(3, SortListModel::Order::StringAscending);
    shown.clear();
    for (int r = 1; r <= 4; ++r)
        shown << model.cellText(r, 0) + model.cellText(r, 3);
    QCOMPARE(shown, (QStringList{"dx", "cx", "by", "ay"}));
}

void TestSortLogic::reorder_data()
{
    QTest::addColumn<QStringList>("table");     // titles of records 1, 2, ...
    QTest::addColumn<QStringList>("rowTitles"); // grid rows, top to bottom
    QTest::addColumn<QList<int>>("rowFrom");    // the record each row was filled from
    QTest::addColumn<QList<int>>("written");    // records of the new table, in order
    QTest::addColumn<QList<int>>("rowRecords");
    QTest::addColumn<bool>("oneToOne");

    QTest::newRow("rows in step") << QStringList{"A", "B", "C"} << QStringList{"C", "A", "B"} << QList<int>{3, 1, 2}
                                  << QList<int>{3, 1, 2} << QList<int>{1, 2, 3} << true;
    QTest::newRow("duplicate titles each written once")
        << QStringList{"同", "別", "同"} << QStringList{"同", "同", "別"} << QList<int>{3, 1, 2} << QList<int>{3, 1, 2}
        << QList<int>{1, 2, 3} << true;
    QTest::newRow("table reordered since the fill")
        << QStringList{"B", "A", "C"} << QStringList{"C", "B", "A"} << QList<int>{3, 2, 1} << QList<int>{3, 1, 2}
        << QList<int>{1, 2, 3} << true;
    QTest::newRow("row without a record, record without a row")
        << QStringList{"A", "B"} << QStringList{"B", "消"} << QList<int>{2, 3} << QList<int>{2, 1} << QList<int>{1, 0}
        << false;
}

void TestSortLogic::reorder()
{
    QFETCH(QStringList, table);
    QFETCH(QStringList, rowTitles);
    QFETCH(QList<int>, rowFrom);
    QFETCH(QList<int>, written);
    QFETCH(QList<int>, rowRecords);
    QFETCH(bool, oneToOne);
    QList<TitleRecord> records;
    for (const QString& title : table)
        records << titled(title, QStringLiteral("著者%1").arg(records.size() + 1));
    QList<SortRow> rows;
    for (qsizetype a = 0; a < rowTitles.size(); ++a)
        rows << row(rowTitles[a], 0, rowFrom[a]);

    const sortlist::Reorder result = sortlist::reorder(rows, tableOf(records));
    QCOMPARE(result.from, written);
    QCOMPARE(result.rowRecords, rowRecords);
    QCOMPARE(result.oneToOne, oneToOne);
}

QTEST_GUILESS_MAIN(TestSortLogic)
#include "tst_sortlogic.moc"
