#include "store/RecordSyntax.h"

#include <QTest>

class TestRecordSyntax final : public QObject {
    Q_OBJECT

private slots:
    void readFields_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QList<int>>("lines");

        QTest::newRow("empty text") << "" << QStringList{} << QList<int>{};
        QTest::newRow("quoted comma") << "\"a,b\",c" << QStringList{"a,b", "c"} << QList<int>{1, 1};
        QTest::newRow("after closing quote dropped") << "\"ab\"x y,c" << QStringList{"ab", "c"} << QList<int>{1, 1};
        QTest::newRow("leading blanks skipped") << " \t\"a\", \tb" << QStringList{"a", "b"} << QList<int>{1, 1};
        QTest::newRow("unquoted trailing blanks dropped") << "a \t,b " << QStringList{"a", "b"} << QList<int>{1, 1};
        QTest::newRow("fields across lines") << "\"a\",1\r\n\"b\",2\r\n"
                                             << QStringList{"a", "1", "b", "2"} << QList<int>{1, 1, 2, 2};
        QTest::newRow("missing closing quote") << "\"abc,d\r\n\"e\"" << QStringList{"abc,d", "e"} << QList<int>{1, 2};
        QTest::newRow("CR only") << "a\rb\rc" << QStringList{"a", "b", "c"} << QList<int>{1, 2, 3};
        QTest::newRow("LF only") << "a\nb\n" << QStringList{"a", "b"} << QList<int>{1, 2};
        QTest::newRow("lone CR then CR LF") << "a\r\r\nb" << QStringList{"a", "", "b"} << QList<int>{1, 2, 3};
        QTest::newRow("comma before line end") << "a,\r\nb" << QStringList{"a", "", "b"} << QList<int>{1, 1, 2};
        QTest::newRow("trailing blanks and lines") << "a\r\n \t\r\n\n  " << QStringList{"a"} << QList<int>{1};
    }
    void readFields()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, fields);
        QFETCH(QList<int>, lines);

        RecordReader reader(text);
        QStringList read;
        QList<int> readLines;
        while (!reader.atEnd()) {
            read.append(reader.readField().value_or("<none>"));
            readLines.append(reader.line());
        }
        QVERIFY(!reader.readField());
        QCOMPARE(read, fields);
        QCOMPARE(readLines, lines);
    }

    // After a comma there is one more field, also at the very end of the text, where atEnd() already holds.
    void fieldAfterFinalComma_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("comma at the end") << "a,";
        QTest::newRow("comma, line end") << "a,\r\n";
        QTest::newRow("comma, blanks and lines") << "a, \t\r\n\r\n ";
    }
    void fieldAfterFinalComma()
    {
        QFETCH(QString, text);
        RecordReader reader(text);
        QCOMPARE(reader.readField(), std::optional<QString>(QStringLiteral("a")));
        QVERIFY(reader.atEnd());
        QCOMPARE(reader.readField(), std::optional<QString>(QString()));
        QCOMPARE(reader.readField(), std::nullopt);
    }

    void parseInt16_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("value"); // -99999 for none

        QTest::newRow("empty is 0") << "" << 0;
        QTest::newRow("blanks around") << " +12 " << 12;
        QTest::newRow("max") << "32767" << 32767;
        QTest::newRow("min") << "-32768" << -32768;
        QTest::newRow("above max") << "32768" << -99999;
        QTest::newRow("below min") << "-32769" << -99999;
        QTest::newRow("many digits") << "123456789012345678901234" << -99999;
        QTest::newRow("half to even down") << "2.5" << 2;
        QTest::newRow("half to even up") << "-3.5" << -4;
        QTest::newRow("just over half") << "2.500001" << 3;
        QTest::newRow("rounds into range") << "-32768.4" << -32768;
        QTest::newRow("rounds out of range") << "32767.5" << -99999;
        QTest::newRow("trailing letter") << "12a" << -99999;
        QTest::newRow("full-width digits") << "１２" << -99999;
    }
    void parseInt16()
    {
        QFETCH(QString, field);
        QFETCH(int, value);
        const std::optional<qint16> parsed = ::parseInt16(field);
        QCOMPARE(parsed ? int(*parsed) : -99999, value);
    }
};

QTEST_GUILESS_MAIN(TestRecordSyntax)
#include "tst_recordsyntax.moc"
