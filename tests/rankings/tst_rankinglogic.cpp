// What the ranking screen counts and how a grid orders and numbers its rows.
#include "rankings/RankingCounts.h"
#include "rankings/RankingModel.h"
#include "store/SelectionLists.h"

#include <QTest>

namespace {

TitleRecord record(const QString& author, int count, int start = 0)
{
    TitleRecord r;
    r.title = QStringLiteral("題");
    r.volumeCount = qint16(count);
    r.startVolume = qint16(start);
    r.author = author;
    return r;
}

using Counts = QList<qint64>;
using Records = QList<TitleRecord>;

} // namespace

class TestRankingLogic : public QObject {
    Q_OBJECT
private slots:
    void countNames_data();
    void countNames();
    void firstIssues_data();
    void firstIssues();
    void volumeRange_data();
    void volumeRange();
    void monthLabel_data();
    void monthLabel();
    void sort_data();
    void sort();
};

void TestRankingLogic::countNames_data()
{
    QTest::addColumn<Records>("records");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<Counts>("works");
    QTest::addColumn<Counts>("volumes");
    QTest::newRow("a split series counts once per record")
        << Records{record("別人", 3), record("あだち", 50), record("あだち", 50, 50), record("あだち", 12, 100)}
        << QStringList{"あだち", "別人"} << Counts{3, 1} << Counts{112, 3};
    QTest::newRow("case, width and a trailing blank make other names")
        << Records{record("abc", 1), record("ABC", 2), record("ａｂｃ", 3), record("abc ", 4), record("abc", 5)}
        << QStringList{"abc", "ａｂｃ", "ABC", "abc "} << Counts{2, 1, 1, 1} << Counts{6, 3, 2, 4};
    QTest::newRow("no name and 未登録 are left out")
        << Records{record("", 1), record("未登録", 2), record("B", 3), record("A", 4)} << QStringList{"A", "B"}
        << Counts{1, 1} << Counts{4, 3};
    // Part of a longer name is a name of its own.
    QTest::newRow("a name inside another") << Records{record("藤子不二雄", 1), record("藤子", 2)}
                                           << QStringList{"藤子", "藤子不二雄"} << Counts{1, 1} << Counts{2, 1};
    Records many; // 1,000 series of 40 volumes: more than a 16-bit total holds
    for (int i = 0; i < 1000; ++i)
        many << record("週刊", 40);
    QTest::newRow("totals past 32,767") << many << QStringList{"週刊"} << Counts{1000} << Counts{40000};
}

void TestRankingLogic::countNames()
{
    QFETCH(Records, records);
    QFETCH(QStringList, names);
    QFETCH(Counts, works);
    QFETCH(Counts, volumes);
    TitleTable table;
    for (const TitleRecord& r : records)
        table.append(r);
    // The main page's list as a hint, whole or behind the table: every other name missing, one no record holds.
    QStringList staleHint;
    for (qsizetype k = 1; k < names.size(); k += 2)
        staleHint << names[k];
    insertSorted(staleHint, QStringLiteral("消えた名前"));
    for (const QStringList& hint : {QStringList(), names, staleHint}) {
        const QList<ranking::NameCount> counts = ranking::countNames(table, &TitleRecord::author, hint);
        QStringList counted;
        for (const ranking::NameCount& count : counts)
            counted << count.name;
        QCOMPARE(counted, names);
        for (qsizetype k = 0; k < names.size(); ++k) {
            QCOMPARE(counts[k].works, works[k]);
            QCOMPARE(counts[k].volumes, volumes[k]);
        }
    }
}

void TestRankingLogic::firstIssues_data()
{
    QTest::addColumn<QStringList>("firstIssues");
    QTest::addColumn<QStringList>("months"); // "key count", in order of first appearance
    QTest::addColumn<QStringList>("years");
    QTest::newRow("three months, one year") << QStringList{"2005/03/01", "2005/03/20", "2005/11/02"}
                                            << QStringList{"2005/03 2", "2005/11 1"} << QStringList{"2005年 3"};
    QTest::newRow("no first issue counts nowhere")
        << QStringList{"", "1999/12/31", ""} << QStringList{"1999/12 1"} << QStringList{"1999年 1"};
    QTest::newRow("one-digit months and other separators")
        << QStringList{"2005/3/1", "2005/03/01", "2005-3-9", "2005.03.30", " 2005/3/5", "2005/3"}
        << QStringList{"2005/03 6"} << QStringList{"2005年 6"};
    QTest::newRow("no year and month: its first characters")
        << QStringList{"2005/13/01", "2005/3-1", "平成17年", "不明", "05/3/1"}
        << QStringList{"2005/13 1", "2005/3- 1", "平成17年 1", "不明 1", "05/3/1 1"}
        << QStringList{"2005年 2", "平成17年 1", "不明年 1", "05/3年 1"};
}

void TestRankingLogic::firstIssues()
{
    QFETCH(QStringList, firstIssues);
    QFETCH(QStringList, months);
    QFETCH(QStringList, years);
    TitleTable table;
    for (const QString& firstIssue : firstIssues) {
        TitleRecord r = record("a", 1);
        r.firstIssue = firstIssue;
        table.append(r);
    }
    auto rows = [](const QList<ranking::PeriodCount>& counts) {
        QStringList texts;
        for (const ranking::PeriodCount& count : counts)
            texts << count.key + u' ' + QString::number(count.count);
        return texts;
    };
    QCOMPARE(rows(ranking::countFirstIssueMonths(table)), months);
    QCOMPARE(rows(ranking::countFirstIssueYears(table)), years);
}

void TestRankingLogic::volumeRange_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("range");
    const QList<std::tuple<int, int, const char*>> cases = {
        {1, 0, " 01巻"},        {2, 0, " 02巻～05巻"},  {5, 0, " 02巻～05巻"},  {6, 0, " 06巻～10巻"},
        {10, 0, " 06巻～10巻"}, {11, 0, " 11巻～20巻"}, {20, 0, " 11巻～20巻"}, {21, 0, " 21巻～30巻"},
        {31, 0, " 31巻～40巻"}, {40, 0, " 31巻～40巻"}, {41, 0, " 41巻～50巻"}, {50, 0, " 41巻～50巻"},
        {1, 50, " 51巻以上"},   {12, 50, " 51巻以上"},  {0, 0, " 51巻以上"},
    };
    for (const auto& [count, start, range] : cases)
        QTest::addRow("%d from %d", count, start) << count << start << QString::fromUtf8(range);
}

void TestRankingLogic::volumeRange()
{
    QFETCH(int, count);
    QFETCH(int, start);
    QFETCH(QString, range);
    TitleTable table;
    table.append(record("a", count, start));
    const auto counts = ranking::countVolumeRanges(table);
    for (int row = 1; row <= ranking::RangeRows; ++row)
        QCOMPARE(counts[size_t(row - 1)], ranking::rangeLabel(row) == range ? 1 : 0);
}

void TestRankingLogic::monthLabel_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("label");
    QTest::newRow("year and month") << "2005/03"
                                    << "2005年03月";
    QTest::newRow("one-digit month") << "2005/3/"
                                     << "2005年03月";
    QTest::newRow("month 13") << "2005/13"
                              << "2005/13";
    QTest::newRow("year only") << "2005"
                               << "2005";
    QTest::newRow("not a date") << "不明"
                                << "不明";
}

void TestRankingLogic::monthLabel()
{
    QFETCH(QString, entry);
    QFETCH(QString, label);
    QCOMPARE(ranking::monthLabel(entry), label);
}

void TestRankingLogic::sort_data()
{
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<Counts>("works");
    QTest::addColumn<int>("sortColumn"); // 1 sorts by the label
    QTest::addColumn<QStringList>("order");
    QTest::newRow("counts as numbers: 10 above 9")
        << QStringList{"a", "b", "c"} << Counts{9, 10, 100} << 2 << QStringList{"c", "b", "a"};
    QTest::newRow("ties ranked apart, in fill order")
        << QStringList{"a", "b", "c", "d"} << Counts{1, 2, 1, 2} << 2 << QStringList{"b", "d", "a", "c"};
    QTest::newRow("counts past 32,767") << QStringList{"a", "b"} << Counts{32767, 40000} << 2 << QStringList{"b", "a"};
}

void TestRankingLogic::sort()
{
    QFETCH(QStringList, labels);
    QFETCH(Counts, works);
    QFETCH(int, sortColumn);
    QFETCH(QStringList, order);
    RankingModel model(rankgrid::names(QStringLiteral("作者名")));
    QList<RankingModel::Row> rows;
    for (qsizetype i = 0; i < labels.size(); ++i)
        rows.append({QString(), labels[i], {works[i], i}});
    model.setRows(rows);
    if (sortColumn == RankingModel::LabelColumn)
        model.sortByLabel();
    else
        model.sortByCount(sortColumn);
    for (int r = 1; r <= model.rowCount(); ++r) {
        QCOMPARE(model.cellText(r, 0), QString::number(r));
        QCOMPARE(model.cellText(r, 1), order[r - 1]);
        // Whole rows move.
        const qsizetype i = labels.indexOf(order[r - 1]);
        QCOMPARE(model.cellText(r, 2), QString::number(works[i]));
        QCOMPARE(model.cellText(r, 3), QString::number(i));
    }
    // A fill after a sort shows the ranks the fill wrote again, not row numbers.
    model.setRows({{QStringLiteral("7"), QStringLiteral("x"), {1, 1}}});
    QCOMPARE(model.cellText(1, 0), QStringLiteral("7"));
}

QTEST_GUILESS_MAIN(TestRankingLogic)
#include "tst_rankinglogic.moc"
