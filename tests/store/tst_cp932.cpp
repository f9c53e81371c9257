#include "store/Cp932.h"

#include <QTest>

class TestCp932 final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(cp932::isAvailable()); }

    void decode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text"); // compared only when the input is clean
        QTest::addColumn<int>("badOffset");

        QTest::newRow("Windows table") << QByteArray::fromHex("8160 817c b1 8740 fa40") << "～－ｱ①ⅰ" << -1;
        QTest::newRow("cut lead byte") << QByteArray::fromHex("41 82a0 82") << "" << 3;
        QTest::newRow("undefined single byte") << QByteArray::fromHex("41 42 80 43") << "" << 2;
        QTest::newRow("unassigned row") << QByteArray::fromHex("82a0 8540 41") << "" << 2;
        QTest::newRow("bad trail byte") << QByteArray::fromHex("41 8220") << "" << 1;
    }
    void decode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(int, badOffset);

        const cp932::Decoded decoded = cp932::decode(bytes);
        QCOMPARE(decoded.badOffset, qsizetype(badOffset));
        if (badOffset < 0)
            QCOMPARE(decoded.text, text);
    }

    void encode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");

        QTest::newRow("Windows tilde") << "\uFF5E" << QByteArray::fromHex("8160");
        QTest::newRow("Linux twins") << "\u301C\u2212\u2014\u2016\u00A2\u00A3\u00AC"
                                     << QByteArray::fromHex("8160 817c 815c 8161 8191 8192 81ca");
        QTest::newRow("katakana, kanji, question mark") << "ｱ漢?" << QByteArray::fromHex("b1 8abf 3f");
    }
    void encode()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);

        const cp932::Encoded encoded = cp932::encode(text);
        QVERIFY2(encoded.ok(), qPrintable(encoded.unencodable));
        QCOMPARE(encoded.bytes.toHex(' '), bytes.toHex(' '));
    }

    void unencodable_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("unencodable");

        QTest::newRow("surrogate pair is one character") << "a𠮷b"
                                                         << "𠮷";
        QTest::newRow("each named once, in order") << "é?𠮷éあ😀"
                                                   << "é𠮷😀";
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + "x" << QStringLiteral("\uFFFD");
        // Named as themselves, the two would read as the pair U+1F600.
        QTest::newRow("lone high and lone low surrogate")
            << QString(QChar(0xD83D)) + "x" + QChar(0xDE00) + QChar(0xD800) << QStringLiteral("\uFFFD");
    }
    void unencodable()
    {
        QFETCH(QString, text);
        QFETCH(QString, unencodable);

        const cp932::Encoded encoded = cp932::encode(text);
        QCOMPARE(encoded.unencodable, unencodable);
        QVERIFY(cp932::unencodableMessage(encoded.unencodable).contains(QStringView(unencodable).first(1)));
    }
};

QTEST_GUILESS_MAIN(TestCp932)
#include "tst_cp932.moc"
