// The statistics counts: series made of split records, totals, the four charts' bars and the nearly complete
// series, each table counted by hand.
#include "lists/Statistics.h"

#include <QTest>

using statistics::Bar;

namespace {

// One record: title, volume count, start volume, magazine, rating, first issue, missing columns.
struct Rec {
    QString title;
    int count = 10;
    int start = 0;
    QString magazine = QStringLiteral("誌");
    QString rating = QStringLiteral("未");
    QString first = QStringLiteral("2008/05/05");
    QList<int> missing;
};

struct Made {
    TitleTable table;
    QList<statuslist::StatusRow> rows;
};

Made make(const QList<Rec>& recs)
{
    Made made;
    for (const Rec& r : recs) {
        TitleRecord record;
        record.title = r.title;
        record.volumeCount = qint16(r.count);
        record.startVolume = qint16(r.start);
        record.magazine = r.magazine;
        record.rating = r.rating;
        record.firstIssue = r.first;
        made.table.append(record);
        quint64 mask = 0;
        for (int c : r.missing)
            mask |= quint64(1) << (c - 1);
        made.rows.append({r.title, qint16(r.count), qint16(r.start), mask});
    }
    return made;
}

statistics::Counts countOf(const QList<Rec>& recs)
{
    const Made made = make(recs);
    return statistics::count(made.table, made.rows);
}

QString u(const char* text)
{
    return QString::fromUtf8(text);
}

} // namespace

Q_DECLARE_METATYPE(Rec)

class TestStatistics : public QObject {
    Q_OBJECT
private slots:
    void seriesName_data();
    void seriesName();
    void totals_data();
    void totals();
    void yearsAndCompletion();
    void magazinesKeepFifteenAndSumTheRest();
    void ratingsFixedFirstThenAsWritten();
    void almostCompleteRows_data();
    void almostCompleteRows();
};

void TestStatistics::seriesName_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("series");
    QTest::addColumn<bool>("split");
    QTest::newRow("first part") << u("海(1_50)") << u("海") << true;
    QTest::newRow("third part") << u("海(101_150)") << u("海") << true;
    QTest::newRow("plain") << u("海") << u("海") << false;
    QTest::newRow("not fifty apart") << u("海(1_40)") << u("海(1_40)") << false;
    QTest::newRow("not a multiple") << u("海(2_51)") << u("海(2_51)") << false;
    QTest::newRow("full-width digits") << u("海(１_５０)") << u("海(１_５０)") << false;
    QTest::newRow("signed") << u("海(+1_50)") << u("海(+1_50)") << false;
    QTest::newRow("brackets inside") << u("(1_50)") << QString() << true;
    QTest::newRow("underscore in name") << u("a_b(51_100)") << u("a_b") << true;
}

void TestStatistics::seriesName()
{
    QFETCH(QString, title);
    QFETCH(QString, series);
    QFETCH(bool, split);
    bool wasSplit = !split;
    QCOMPARE(statistics::seriesName(title, &wasSplit), series);
    QCOMPARE(wasSplit, split);
}

void TestStatistics::totals_data()
{
    QTest::addColumn<QList<Rec>>("recs");
    QTest::addColumn<QString>("summary");
    QTest::newRow("empty") << QList<Rec>{} << u("作品数 0　総冊数 0　所持 0　未所持 0　所持率 0.0%　完了 0　継続 0");
    // 海 is one series of 60 volumes across two records, complete only when both are.
    QTest::newRow("split series counts once")
        << QList<Rec>{{u("海(1_50)"), 50, 0, {}, {}, {}, {}},
                      {u("空"), 7, 0, {}, {}, {}, {2}},
                      {u("海(51_100)"), 10, 50, {}, {}, {}, {3}}}
        << u("作品数 2　総冊数 67　所持 65　未所持 2　所持率 97.0%　完了 0　継続 2");
    // An unsplit title and a split one of the same name stay apart.
    QTest::newRow("plain and split of one name")
        << QList<Rec>{{u("海"), 3, 0, {}, {}, {}, {}}, {u("海(1_50)"), 3, 0, {}, {}, {}, {1, 2, 3}}}
        << u("作品数 2　総冊数 6　所持 3　未所持 3　所持率 50.0%　完了 1　継続 1");
    // Cells past 50 or past the record's count are never missing; the count itself is summed as written.
    QTest::newRow("count above fifty") << QList<Rec>{{u("長"), 60, 0, {}, {}, {}, {50}}}
                                       << u("作品数 1　総冊数 60　所持 59　未所持 1　所持率 98.3%　完了 0　継続 1");
}

void TestStatistics::totals()
{
    QFETCH(QList<Rec>, recs);
    QFETCH(QString, summary);
    QCOMPARE(statistics::summaryText(countOf(recs).totals), summary);
}

void TestStatistics::yearsAndCompletion()
{
    // A split series takes the first issue of its first record, wherever that record stands in the table.
    const statistics::Counts counts = countOf({
        {u("甲(51_100)"), 10, 50, {}, {}, u("2020/01/01"), {1, 2}},
        {u("乙"), 4, 0, {}, {}, u("1999-12-31"), {1, 2, 3, 4}},
        {u("甲(1_50)"), 50, 0, {}, {}, u("2003/04/01"), {}},
        {u("丙"), 10, 0, {}, {}, QString(), {1}},
        {u("丁"), 20, 0, {}, {}, u("昭和"), {1, 2, 3, 4, 5, 6}},
        {u("戊"), 8, 0, {}, {}, u(" 2003/9/9"), {}},
    });
    const QList<Bar> years = {{u("1999"), 0, 4}, {u("2003"), 66, 2}, {u("不明"), 23, 7}};
    QCOMPARE(counts.years, years);
    // 甲 58/60 = 96 %, 乙 0 %, 丙 90 %, 丁 70 %, 戊 100 %.
    const std::array<int, statistics::CompletionBands> bands{1, 2, 0, 1, 0, 1};
    QCOMPARE(counts.completion, bands);
}

void TestStatistics::magazinesKeepFifteenAndSumTheRest()
{
    QList<Rec> recs;
    // Magazine k owns k volumes (1 to 17) and misses one; two titles share magazine 17.
    for (int k = 1; k <= 17; ++k)
        recs.append({u("題%1").arg(k), k + 1, 0, u("誌%1").arg(k), {}, {}, {1}});
    recs.append({u("題18"), 2, 0, u("誌17"), {}, {}, {}});
    recs.append({u("題19"), 1, 0, QString(), {}, {}, {}});
    const statistics::Counts counts = countOf(recs);
    QCOMPARE(counts.magazines.size(), statistics::MagazineBars + 1);
    QCOMPARE(counts.magazines.first(), (Bar{u("誌17"), 19, 1}));
    QCOMPARE(counts.magazines.at(1), (Bar{u("誌16"), 16, 1}));
    QCOMPARE(counts.magazines.at(14), (Bar{u("誌3"), 3, 1}));
    // 誌2 (2 owned), 誌1 (1) and the title without a magazine (1).
    QCOMPARE(counts.magazines.last(), (Bar{u("その他"), 4, 2}));
}

void TestStatistics::ratingsFixedFirstThenAsWritten()
{
    const statistics::Counts counts = countOf({
        {u("一"), 1, 0, {}, u("○"), {}, {}},
        {u("二"), 1, 0, {}, u("最高"), {}, {}},
        {u("三(1_50)"), 50, 0, {}, u("◎"), {}, {}},
        {u("三(51_100)"), 5, 50, {}, u("×"), {}, {}},
        {u("四"), 1, 0, {}, QString(), {}, {}},
        {u("五"), 1, 0, {}, u("○"), {}, {}},
    });
    const QList<Bar> ratings = {{u("◎"), 1, 0},  {u("○"), 2, 0},    {u("△"), 0, 0},       {u("×"), 0, 0},
                                {u("未"), 0, 0}, {u("最高"), 1, 0}, {u("（なし）"), 1, 0}};
    QCOMPARE(counts.ratings, ratings);
}

void TestStatistics::almostCompleteRows_data()
{
    QTest::addColumn<QList<Rec>>("recs");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QList<int>>("indexes");
    QTest::newRow("fewest missing first, then table order")
        << QList<Rec>{{u("三冊"), 10, 0, {}, {}, {}, {9, 7, 2}}, {u("四冊"), 10, 0, {}, {}, {}, {1, 2, 3, 4}},
                      {u("一冊"), 10, 0, {}, {}, {}, {10}},      {u("全部"), 10, 0, {}, {}, {}, {}},
                      {u("二冊"), 10, 0, {}, {}, {}, {7, 9}},    {u("もう一冊"), 5, 0, {}, {}, {}, {1}}}
        << QStringList{u("一冊　あと 1 冊（10巻）"), u("もう一冊　あと 1 冊（1巻）"), u("二冊　あと 2 冊（7, 9巻）"),
                       u("三冊　あと 3 冊（2, 7, 9巻）")}
        << QList<int>{3, 6, 5, 1};
    // A later record numbers its volumes from its start; the row leads to the record of the first missing one.
    QTest::newRow("split series across records") << QList<Rec>{{u("海(51_100)"), 12, 50, {}, {}, {}, {3}},
                                                               {u("海(1_50)"), 50, 0, {}, {}, {}, {49}},
                                                               {u("山(51_100)"), 12, 50, {}, {}, {}, {1, 2}},
                                                               {u("山(1_50)"), 50, 0, {}, {}, {}, {1, 2}}}
                                                 << QStringList{u("海　あと 2 冊（49, 53巻）")} << QList<int>{2};
    // A record shifted by hand with the split box numbers as the page labels it.
    QTest::newRow("shifted start") << QList<Rec>{{u("島"), 5, 20, {}, {}, {}, {2}}}
                                   << QStringList{u("島　あと 1 冊（22巻）")} << QList<int>{1};
}

void TestStatistics::almostCompleteRows()
{
    QFETCH(QList<Rec>, recs);
    QFETCH(QStringList, rows);
    QFETCH(QList<int>, indexes);
    const statistics::Counts counts = countOf(recs);
    QStringList texts;
    QList<int> shown;
    for (const statistics::AlmostRow& row : counts.almost) {
        texts << statistics::almostText(row);
        shown << row.index;
    }
    QCOMPARE(texts, rows);
    QCOMPARE(shown, indexes);
}

QTEST_APPLESS_MAIN(TestStatistics)
#include "tst_statistics.moc"
