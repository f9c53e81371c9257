// Volume lists as typed by a collector and as written to a spreadsheet: "1-12, 15".
#include "store/VolumeList.h"

#include <QTest>

class TestVolumeList final : public QObject {
    Q_OBJECT
private slots:
    void readsLists_data();
    void readsLists();
    void refusesWhatIsNotAList_data();
    void refusesWhatIsNotAList();
    void writesRuns_data();
    void writesRuns();
    void writtenListsReadBack();
    void boundsAreKeptWithoutExpanding_data();
    void boundsAreKeptWithoutExpanding();
};

void TestVolumeList::readsLists_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("numbers");
    QTest::newRow("empty") << QString() << QList<int>{};
    QTest::newRow("blanks") << QStringLiteral(" \u3000 ") << QList<int>{};
    QTest::newRow("single") << QStringLiteral("7") << QList<int>{7};
    QTest::newRow("range and single") << QStringLiteral("1-3, 15") << QList<int>{1, 2, 3, 15};
    QTest::newRow("full-width digits") << QStringLiteral("１２、３") << QList<int>{3, 12};
    QTest::newRow("hyphen U+2010") << QStringLiteral("2‐4") << QList<int>{2, 3, 4};
    QTest::newRow("long vowel mark") << QStringLiteral("２ー４") << QList<int>{2, 3, 4};
    QTest::newRow("full-width tilde") << QStringLiteral("2～3") << QList<int>{2, 3};
    QTest::newRow("wave dash") << QStringLiteral("2〜3") << QList<int>{2, 3};
    QTest::newRow("tilde") << QStringLiteral("2~3") << QList<int>{2, 3};
    QTest::newRow("blanks round the dash") << QStringLiteral("2 - 3") << QList<int>{2, 3};
    QTest::newRow("full-width comma, repeats") << QStringLiteral("5，5,4") << QList<int>{4, 5};
    QTest::newRow("spaces only between") << QStringLiteral("1 3\u30005") << QList<int>{1, 3, 5};
    QTest::newRow("one-volume range") << QStringLiteral("9-9") << QList<int>{9};
}

void TestVolumeList::readsLists()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, numbers);
    const volumelist::Parsed parsed = volumelist::parse(text);
    QVERIFY2(parsed.ok(), qPrintable(parsed.problem));
    QCOMPARE(parsed.numbers, numbers);
}

void TestVolumeList::refusesWhatIsNotAList_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("named");
    QTest::newRow("word") << QStringLiteral("1, abc") << QStringLiteral("「abc」");
    QTest::newRow("number with a suffix") << QStringLiteral("3巻") << QStringLiteral("「3巻」");
    QTest::newRow("open range") << QStringLiteral("4-") << QStringLiteral("「4-」");
    QTest::newRow("reversed range") << QStringLiteral("12-1") << QStringLiteral("「12-1」");
    QTest::newRow("zero") << QStringLiteral("0") << QStringLiteral("「0」");
    QTest::newRow("too large") << QStringLiteral("1-40000") << QStringLiteral("「1-40000」");
    QTest::newRow("double dash") << QStringLiteral("1--2") << QStringLiteral("「1--2」");
}

void TestVolumeList::refusesWhatIsNotAList()
{
    QFETCH(QString, text);
    QFETCH(QString, named);
    const volumelist::Parsed parsed = volumelist::parse(text);
    QVERIFY(!parsed.ok());
    QVERIFY2(parsed.problem.contains(named), qPrintable(parsed.problem));
    QVERIFY(parsed.numbers.isEmpty());
}

void TestVolumeList::writesRuns_data()
{
    QTest::addColumn<QList<int>>("numbers");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << QList<int>{} << QString();
    QTest::newRow("run and single") << QList<int>{15, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}
                                    << QStringLiteral("1～12、15");
    QTest::newRow("pairs stay apart") << QList<int>{51, 52, 54} << QStringLiteral("51、52、54");
    QTest::newRow("repeats") << QList<int>{3, 3, 4, 5} << QStringLiteral("3～5");
}

void TestVolumeList::writesRuns()
{
    QFETCH(QList<int>, numbers);
    QFETCH(QString, text);
    QCOMPARE(volumelist::format(numbers), text);
}

void TestVolumeList::writtenListsReadBack()
{
    const QList<int> numbers = {1, 2, 3, 7, 9, 10, 11, 40, 32767};
    QCOMPARE(volumelist::parse(volumelist::format(numbers)).numbers, numbers);
}

void TestVolumeList::boundsAreKeptWithoutExpanding_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<QString>("outOfRange"); // empty: read, giving last - first + 1 numbers
    // 30 KB of ranges far beyond the title: refused at the first item, nothing expanded.
    QTest::newRow("huge ranges, refused at once")
        << QStringLiteral("1-32767,").repeated(4000) << 51 << 100 << QStringLiteral("1-32767");
    QTest::newRow("below the first") << QStringLiteral("51-60, 3") << 51 << 100 << QStringLiteral("3");
    QTest::newRow("overlapping ranges, merged")
        << QStringLiteral("1-50,").repeated(6000) + QStringLiteral("2～49") << 1 << 50 << QString();
}

void TestVolumeList::boundsAreKeptWithoutExpanding()
{
    QFETCH(QString, text);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(QString, outOfRange);
    const volumelist::Parsed parsed = volumelist::parse(text, first, last);
    QCOMPARE(parsed.outOfRange, outOfRange);
    QCOMPARE(parsed.ok(), outOfRange.isEmpty());
    QCOMPARE(parsed.numbers.size(), parsed.ok() ? last - first + 1 : 0);
}

QTEST_GUILESS_MAIN(TestVolumeList)
#include "tst_volumelist.moc"
