#include "store/TextCollation.h"
#include "support/BusyPool.h"

#include <QCollator>
#include <QLocale>
#include <QTest>

#include <algorithm>

namespace {

// The order the rest of the program gets from QCollator, equal values by code units and then by position.
std::vector<qsizetype> collatorOrder(const QStringList& values)
{
    QCollator collator{QLocale(QLocale::Japanese, QLocale::Japan)};
    std::vector<qsizetype> positions(size_t(values.size()));
    for (size_t i = 0; i < positions.size(); ++i)
        positions[i] = qsizetype(i);
    std::stable_sort(positions.begin(), positions.end(), [&](qsizetype a, qsizetype b) {
        const int order = collator.compare(values[a], values[b]);
        return order != 0 ? order < 0 : values[a].compare(values[b]) < 0;
    });
    return positions;
}

// Names built from pieces that differ at every level of the collation: kana kind and width, letter case,
// voicing, long vowels, digits, punctuation, canonically equal spellings; some long enough for keys of
// several dozen bytes that agree far into the key.
QStringList mixedNames(int count)
{
    const QStringList pieces = {"あ", "ア", "ｱ", "A", "ａ", "a", "漢", "1", "10", "2", "ー", "が", "か", "-",
                                " ", "é", "e\u0301", "週刊少年マガジン", "ジャンプ", "じゃんぷ"};
    QStringList names;
    for (int i = 0; i < count; ++i) {
        const auto piece = [&](int n) { return pieces[n % pieces.size()]; };
        names.append(piece(i) + piece(i / 20) + piece(i / 400) + (i % 7 == 0 ? pieces[17] + piece(i / 3) : ""));
    }
    return names;
}

} // namespace

class TestTextCollation final : public QObject {
    Q_OBJECT

private slots:
    void compareAgreesWithQCollator_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");

        QTest::newRow("hiragana, katakana") << "あい" << "アイ";
        QTest::newRow("half-width katakana") << "ｶﾅ" << "カナ";
        QTest::newRow("voiced mark") << "か" << "が";
        QTest::newRow("long vowel") << "コーヒー" << "コヒ";
        QTest::newRow("digits as text, not numbers") << "巻10" << "巻2";
        QTest::newRow("full-width digit") << "１" << "1";
        QTest::newRow("letter case") << "abc" << "ABC";
        QTest::newRow("punctuation counts") << "a-b" << "ab";
        QTest::newRow("canonically equal") << "é" << "e\u0301";
        QTest::newRow("marks in another order") << "\u00C5\u0328" << "A\u0328\u030A";
        QTest::newRow("kanji") << "山田" << "佐藤";
        QTest::newRow("prefix") << "週刊" << "週刊少年";
        QTest::newRow("empty") << "" << "あ";
    }
    void compareAgreesWithQCollator()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);

        QCollator collator{QLocale(QLocale::Japanese, QLocale::Japan)};
        const auto sign = [](int n) { return (n > 0) - (n < 0); };
        int expected = sign(collator.compare(a, b));
        if (expected == 0)
            expected = sign(a.compare(b));
        QCOMPARE(sign(collation::compare(a, b)), expected);
        QCOMPARE(sign(collation::compare(b, a)), -expected);
    }

    // Several thousand values spread over key buffers of their own, several lists at once, one of them empty.
    void sortAgreesWithQCollator()
    {
        const QStringList big = mixedNames(5000);
        const QStringList small = mixedNames(30);
        const QStringList empty;
        const std::vector<std::vector<qsizetype>> sorted = collation::sortedPositionsOfEach({&big, &empty, &small});
        QCOMPARE(sorted.size(), size_t(3));
        QCOMPARE(sorted[0], collatorOrder(big));
        QVERIFY(sorted[1].empty());
        QCOMPARE(sorted[2], collatorOrder(small));
        QCOMPARE(collation::sortedPositions(small), collatorOrder(small));
    }

    // The sort may run on pool threads; it must still come out the same when the pool has no thread to give.
    void sortWithBusyPool()
    {
        const QStringList names = mixedNames(3000);
        std::vector<qsizetype> sorted;
        {
            const BusyPool busy;
            sorted = collation::sortedPositions(names);
        }
        QCOMPARE(sorted, collatorOrder(names));
    }
};

QTEST_GUILESS_MAIN(TestTextCollation)
#include "tst_textcollation.moc"
