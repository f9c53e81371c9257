#include "StoreTestFiles.h"
#include "store/CollectionFile.h"

#include <QRandomGenerator>
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
        QTest::addColumn<QByteArray>("after"); // what follows the whole records
        QTest::addColumn<int>("line");         // 0 when the file is whole
        QTest::addColumn<QString>("mentions");
        const int limit = TitleTable::MaxTitles;
        QTest::newRow("at the limit") << limit << QByteArray() << 0 << "";
        QTest::newRow("one beyond") << limit + 1 << QByteArray() << limit + 1 << "上限";
        QTest::newRow("far beyond") << limit + 500 << QByteArray() << limit + 1 << "上限";
        // A record beyond the limit is refused for the limit even when its counts are bad too; a short one is
        // short, whatever the count.
        QTest::newRow("beyond, with a bad count")
            << limit << sjis("\"乙\",x,0,\"\",\"\",\"\",\"\",\"\"\r\n") << limit + 1 << "上限";
        QTest::newRow("beyond, short") << limit << sjis("\"乙\",3,0\r\n") << limit + 1 << "項目が足りません";
    }
    void titleLimit()
    {
        QFETCH(int, records);
        QFETCH(QByteArray, after);
        QFETCH(int, line);
        QFETCH(QString, mentions);
        const collection::Parsed parsed = collection::parse(Whole.repeated(records) + after);
        QCOMPARE(parsed.table.count(), TitleTable::MaxTitles);
        QCOMPARE(parsed.problemLine, line);
        QVERIFY2(parsed.problem.contains(mentions), qPrintable(parsed.problem));
    }

    void anySplitReadsAsOne_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed = 1; seed <= 10; ++seed)
            QTest::addRow("seed %u", seed) << seed;
    }
    void anySplitReadsAsOne()
    {
        // A long file is read in two parts on two cores, joined where a record of each begins at the same
        // place. Records over several lines, fields left over at a line's end, blank lines, every kind of line
        // end and every problem must read as one reader alone reads them, wherever the split falls.
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        const QStringList pieces = {
            QStringLiteral("\"甲\",12,0,\"未登録\",\"未登録\",\"未\",\"2008/05/05\",\"2008/05/05\"\r\n"),
            QStringLiteral("乙,3,50,著者,雑誌,○,2002/02/18,2002/02/18\r\n"),
            QStringLiteral("\"丙\",1,0,\"a\"\n\"b\",\"◎\",\"\",\"\"\n"),
            QStringLiteral("\"丁\",2,0,\"x\",\"y\",\"z\",\"w\",\"v\",\"余り\"\r"),
            QStringLiteral("\"戊,\",4,0,,,,,\r\n"),
            QStringLiteral("\r\n"),
            QStringLiteral("  \t"),
            QStringLiteral(","),
            QStringLiteral("\"閉じない"),
            QStringLiteral("5,"),
            QStringLiteral("x,"),
            QStringLiteral("\n"),
            QStringLiteral("\r"),
        };
        for (int text = 0; text < 12; ++text) {
            QString whole;
            const int count = 1 + int(random.bounded(30));
            for (int i = 0; i < count; ++i) {
                // Mostly whole records, as a file nearly always is, so that the parts have records to join.
                const bool plain = random.bounded(4) != 0;
                whole += pieces[plain ? int(random.bounded(2)) : int(random.bounded(pieces.size()))];
            }
            const collection::Parsed alone = collection::parseText(whole, whole.size());
            for (qsizetype split = 0; split <= whole.size(); ++split) {
                const collection::Parsed parts = collection::parseText(whole, split);
                const QByteArray where = QStringLiteral("split at %1 of: %2").arg(split).arg(whole).toUtf8();
                QVERIFY2(parts.table.records() == alone.table.records(), where.constData());
                QCOMPARE(parts.problem, alone.problem);
                QCOMPARE(parts.problemLine, alone.problemLine);
            }
        }
    }

    void titlesOnlyReadsWhatAllReads_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QString good = QStringLiteral("\"甲%1\",12,0,\"著者\",\"雑誌\",\"未\",\"2008/05/05\",\"2008/05/05\"\r\n");
        QString many;
        for (int i = 0; i < 3000; ++i)
            many += good.arg(i);
        const QByteArray long_ = cp932::encode(many).bytes;
        QTest::newRow("long, read in two parts") << long_;
        QTest::newRow("bad count far down") << long_ + cp932::encode(QStringLiteral("\"乙\",x,0,,,,,\r\n")).bytes;
        QTest::newRow("short last record") << long_ + cp932::encode(QStringLiteral("\"乙\",1,0")).bytes;
        QTest::newRow("bytes that are no code page 932") << long_ + QByteArray("\"\x80\",1,0,,,,,\r\n");
    }
    void titlesOnlyReadsWhatAllReads()
    {
        // A restore wants only the titles of a generation: the same records, counts and problems, the other
        // fields left empty.
        QFETCH(QByteArray, bytes);
        const collection::Parsed all = collection::parse(bytes);
        const collection::Parsed titles = collection::parse(bytes, collection::Fields::TitlesOnly);
        QCOMPARE(titles.table.count(), all.table.count());
        for (int i = 1; i <= all.table.count(); ++i) {
            TitleRecord expected = all.table.at(i);
            expected.author = expected.magazine = expected.rating = expected.firstIssue = expected.lastIssue =
                QString();
            QCOMPARE(titles.table.at(i), expected);
        }
        QCOMPARE(titles.problem, all.problem);
        QCOMPARE(titles.problemLine, all.problemLine);
        QVERIFY(all.table.count() >= 3000);
    }
};

QTEST_GUILESS_MAIN(TestCollectionFile)
#include "tst_collectionfile.moc"
