#include "StoreTestFiles.h"
#include "store/CollectionFile.h"

#include <QTest>

using storetest::sjis;

namespace {

const QByteArray Whole = sjis("\"甲\",12,0,\"未登録\",\"未登録\",\"未\",\"2008/05/05\",\"2008/05/05\"\r\n");

} // namespace

class TestCollectionFile final : public QObject {
    Q_OBJECT

private slots:
    void goldenRoundTrip()
    {
        const QByteArray golden = storetest::contents(QStringLiteral(TESTDATA_DIR "/store/collection.txt"));
        const collection::Parsed parsed = collection::parse(golden);
        QVERIFY2(parsed.ok(), qPrintable(parsed.problem));
        QCOMPARE(parsed.table.count(), 3);
        QCOMPARE(parsed.table.at(1),
                 (TitleRecord{"題名", 12, 0, "未登録", "未登録", "未", "2008/05/05", "2008/05/05"}));
        QCOMPARE(parsed.table.at(2).title, QStringLiteral("ワンピース\uFF5E第二部\uFF5E"));
        QCOMPARE(parsed.table.at(2).startVolume, qint16(50));
        QCOMPARE(parsed.table.at(3).magazine, QStringLiteral("講談社,少年"));

        QCOMPARE(sjis(collection::format(parsed.table)).toHex(' '), golden.toHex(' '));
    }

    void wholeFileIsItsLines()
    {
        // The whole file is written straight into one buffer; every line must be the one a record alone makes,
        // at the extremes of its numbers and with fields empty, long or holding quotes and commas.
        QList<TitleRecord> records = {
            {"甲", 1, 0, "", "", "", "", ""},
            {"乙", 32767, -32768, "講談社,少年", "\"引用\"", "未", "2008/05/05", "2008/05/05"},
            {"", -1, 32767, QString(300, u'長'), "x", "y", "z", "w"},
            {"丙", 0, -9, "a", "b", "c", "d", "e"},
        };
        QString lines;
        for (const TitleRecord& record : std::as_const(records))
            lines += collection::formatLine(record);
        QCOMPARE(collection::format(records), lines);
        QCOMPARE(collection::format(QList<TitleRecord>()), QString());
    }

    void problems_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("line"); // 0 when the file is whole
        QTest::addColumn<QString>("mentions");

        QTest::newRow("empty file") << QByteArray() << 0 << 0 << "";
        QTest::newRow("record over two lines") << sjis("\"甲\",1,0,\"a\"\n\"b\",\"◎\",\"\",\"\"\n\r\n") << 1 << 0 << "";
        QTest::newRow("empty last field at the end of the file")
            << Whole + sjis("一,3,0,著者,雑誌,○,2002/02/18,\r\n") << 2 << 0 << "";
        QTest::newRow("empty last field, no final line end")
            << Whole + sjis("一,3,0,著者,雑誌,○,2002/02/18,") << 2 << 0 << "";
        QTest::newRow("short last record") << Whole + sjis("\"乙\",3,0\r\n") << 1 << 2 << "項目が足りません";
        QTest::newRow("count not a number")
            << Whole + Whole + sjis("\"乙\",x,0,\"\",\"\",\"\",\"\",\"\"\r\n") << 2 << 3 << "巻数「x」";
        QTest::newRow("start beyond 16 bits")
            << sjis("\"乙\",1,40000,\"\",\"\",\"\",\"\",\"\"\r\n") + Whole << 0 << 1 << "開始巻の位置「40000」";
        QTest::newRow("bad byte on CR-only lines")
            << QByteArray(Whole).replace("\r\n", "\r").repeated(2) + "\"\x80\"" << 2 << 3 << "読めないバイト";
        QTest::newRow("record cut by a bad byte on its next line")
            << Whole + sjis("\"乙\",1,0,\"\",\"\"\r\n\"") + "\x80\",\"\",\"\"\r\n"
            << 1 << 3 << "読めないバイト";
        QTest::newRow("lead byte cut off at the end") << Whole + "\"\x82" << 1 << 2 << "読めないバイト";
    }
    void problems()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, count);
        QFETCH(int, line);
        QFETCH(QString, mentions);

        const collection::Parsed parsed = collection::parse(bytes);
        QCOMPARE(parsed.table.count(), count);
        QCOMPARE(parsed.problemLine, line);
        QCOMPARE(parsed.ok(), line == 0);
        QVERIFY2(parsed.problem.startsWith(line ? QStringLiteral("%1行目").arg(line) : QString()) &&
                     parsed.problem.contains(mentions),
                 qPrintable(parsed.problem));
    }

    void titleLimit_data()
    {
        QTest::addColumn<int>("records");
        QTest::newRow("at the limit") << TitleTable::MaxTitles;
        QTest::newRow("one beyond") << TitleTable::MaxTitles + 1;
    }
    void titleLimit()
    {
        QFETCH(int, records);
        const collection::Parsed parsed = collection::parse(Whole.repeated(records));
        QCOMPARE(parsed.table.count(), TitleTable::MaxTitles);
        QCOMPARE(parsed.problemLine, records > TitleTable::MaxTitles ? records : 0);
    }
};

QTEST_GUILESS_MAIN(TestCollectionFile)
#include "tst_collectionfile.moc"
