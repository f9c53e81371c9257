// The shopping list for a phone: the text of each line, how the lines are packed into codes, and that a real
// decoder reads every code back as the very UTF-8 text it was made from.
#include "lists/QrCodeImages.h"
#include "lists/QrShoppingList.h"
#include "support/QrDecode.h"

#include <QSignalSpy>
#include <QTest>

namespace {

quint64 mask(const QList<int>& positions)
{
    quint64 bits = 0;
    for (int c : positions)
        bits |= quint64(1) << (c - 1);
    return bits;
}

int bytes(const QString& text)
{
    return int(text.toUtf8().size());
}

} // namespace

class TestQrShoppingList final : public QObject {
    Q_OBJECT
private slots:
    void volumeText_data();
    void volumeText();
    void lineOfARecord();
    void split_data();
    void split();
    void decodesAsTheText_data();
    void decodesAsTheText();
    void codeImagesAreEachCodeOnce();
    void codeImagesLetGoUnfinished();
};

void TestQrShoppingList::volumeText_data()
{
    QTest::addColumn<QList<int>>("positions");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("text");

    QTest::newRow("one") << QList<int>{3} << 0 << "3";
    QTest::newRow("two in a row stay two") << QList<int>{3, 4} << 0 << "3, 4";
    QTest::newRow("three in a row") << QList<int>{5, 6, 7} << 0 << "5-7";
    QTest::newRow("mixed") << QList<int>{3, 5, 6, 7} << 0 << "3, 5-7";
    QTest::newRow("gaps") << QList<int>{1, 3, 5} << 0 << "1, 3, 5";
    QTest::newRow("runs at both ends") << QList<int>{1, 2, 3, 10, 48, 49, 50} << 0 << "1-3, 10, 48-50";
    QTest::newRow("whole record") << QList<int>{} << 0 << "1-50";
    QTest::newRow("second record of a series") << QList<int>{3} << 50 << "53";
    QTest::newRow("second record, run") << QList<int>{1, 2, 3, 12} << 50 << "51-53, 62";
}

void TestQrShoppingList::volumeText()
{
    QFETCH(QList<int>, positions);
    QFETCH(int, start);
    QFETCH(QString, text);
    QList<int> all = positions;
    if (all.isEmpty())
        for (int c = 1; c <= 50; ++c)
            all << c;
    QCOMPARE(qrlist::volumeText(mask(all), start), text);
}

void TestQrShoppingList::lineOfARecord()
{
    QCOMPARE(
        qrlist::lines({{QStringLiteral("ＡＢＣ物語"), 0, mask({3, 5, 6, 7})}, {QStringLiteral("続"), 50, mask({1})}}),
        (QStringList{QStringLiteral("ＡＢＣ物語　3, 5-7巻"), QStringLiteral("続　51巻")}));
}

void TestQrShoppingList::split_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QList<int>>("linesPerCode"); // -1: a piece of a cut line

    const QString kanji10 = QString(10, QChar(0x6F2B)); // 30 bytes
    // 33 lines of 30 bytes joined by LF: 33 * 30 + 32 = 1,022 bytes, so 32 lines (991 bytes) fill the first code.
    QStringList thirtyThree;
    for (int i = 0; i < 33; ++i)
        thirtyThree << kanji10;
    QTest::newRow("empty") << QStringList{} << QList<int>{};
    QTest::newRow("one short line") << QStringList{"a　1巻"} << QList<int>{1};
    QTest::newRow("lines over the limit") << thirtyThree << QList<int>{32, 1};

    // Exactly 1,000 bytes fits; one more starts a second code.
    const QString x499 = QString(499, QLatin1Char('x'));
    QTest::newRow("exactly full") << QStringList{x499, x499 + "x"} << QList<int>{2};
    QTest::newRow("one byte over") << QStringList{x499, x499 + "xx"} << QList<int>{1, 1};

    // A title too long for one code is cut; the lines around it keep codes of their own.
    // 320 kanji are 960 bytes, so the cut falls in the volumes.
    const QString longLine =
        QString(320, QChar(0x5DFB)) + QChar(0x3000) + qrlist::volumeText(0x5555555555555, 0) + QStringLiteral("巻");
    QTest::newRow("long line cut") << QStringList{"前　1巻", longLine, "後　2巻"} << QList<int>{1, -1, -1, 1};
    // Characters of four bytes are never cut in two.
    QTest::newRow("surrogates kept whole")
        << QStringList{QString::fromUtf8("\xF0\xA0\xAE\xB7").repeated(300)} << QList<int>{-1, -1};
}

void TestQrShoppingList::split()
{
    QFETCH(QStringList, lines);
    QFETCH(QList<int>, linesPerCode);
    const QList<QStringList> codes = qrlist::split(lines);
    QCOMPARE(codes.size(), linesPerCode.size());
    QStringList rejoined;
    QString pending;
    for (qsizetype i = 0; i < codes.size(); ++i) {
        QVERIFY2(bytes(qrlist::codeText(codes[i])) <= qrlist::MaxCodeBytes, qPrintable(QString::number(i)));
        if (linesPerCode[i] < 0) {
            QCOMPARE(codes[i].size(), 1);
            QVERIFY(!codes[i][0].isEmpty());
            pending += codes[i][0];
            QVERIFY(codes[i][0].isValidUtf16());
            continue;
        }
        if (!pending.isEmpty())
            rejoined << std::exchange(pending, QString());
        QCOMPARE(codes[i].size(), linesPerCode[i]);
        rejoined += codes[i];
    }
    if (!pending.isEmpty())
        rejoined << pending;
    QCOMPARE(rejoined, lines);
    // A cut in the volumes falls after a separator, so the first piece reads as going on.
    if (QTest::currentDataTag() == QByteArray("long line cut"))
        QVERIFY2(codes[1][0].endsWith(QStringLiteral(", ")), qPrintable(codes[1][0].right(10)));
}

void TestQrShoppingList::decodesAsTheText_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii") << "ABC　3, 5-7巻";
    QTest::newRow("kana and kanji") << "ドラゴン探索記　1-3, 12巻\nはじめの一冊　51巻";
    QTest::newRow("full-width and symbols") << "ＡＢＣ～（新装版）・その２　4, 6巻";
    QString full;
    while (bytes(full) < qrlist::MaxCodeBytes - 40)
        full += QStringLiteral("古本屋の棚　1-3, 7巻\n");
    QTest::newRow("a full code") << full.trimmed();
}

void TestQrShoppingList::decodesAsTheText()
{
    QFETCH(QString, text);
    const QImage code = qrlist::encode(text.toUtf8());
    QVERIFY(!code.isNull());
    // A phone sees the code larger than one pixel per module.
    const QImage seen = code.scaled(code.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const QList<QByteArray> decoded = decodeQrCodes(seen);
    QCOMPARE(decoded.size(), 1);
    QCOMPARE(QString::fromUtf8(decoded.first()), text);
}

namespace {

// Forty codes of about 900 bytes each: enough that the workers are still busy when the tests ask.
QList<QStringList> manyCodes()
{
    QStringList lines;
    for (int i = 0; i < 1200; ++i)
        lines << QStringLiteral("古本屋の棚%1　1-3, 7巻").arg(i);
    return qrlist::split(lines);
}

} // namespace

void TestQrShoppingList::codeImagesAreEachCodeOnce()
{
    const QList<QStringList> codes = manyCodes();
    QVERIFY(codes.size() >= 20);
    QrCodeImages images(codes);
    QSignalSpy made(&images, &QrCodeImages::imageMade);
    // A code far down the list is made at once when asked for, ahead of the workers.
    const int late = int(codes.size()) - 2;
    QCOMPARE(images.image(late), qrlist::encode(qrlist::codeText(codes[late]).toUtf8()));
    images.waitForAll();
    QVERIFY(images.allMade());
    QTest::qWait(50); // results the workers reported by queued signal arrive, and are not counted twice
    QCOMPARE(made.size(), codes.size());
    QSet<int> reported;
    for (const QList<QVariant>& arguments : made)
        reported.insert(arguments.first().toInt());
    QCOMPARE(reported.size(), codes.size());
    for (int i = 0; i < codes.size(); ++i)
        QCOMPARE(images.image(i), qrlist::encode(qrlist::codeText(codes[i]).toUtf8()));
    QVERIFY(images.image(int(codes.size())).isNull());
}

void TestQrShoppingList::codeImagesLetGoUnfinished()
{
    // Destroyed while its workers are busy: no worker outlives the codes it reads (the sanitizer build sees it).
    for (int i = 0; i < 5; ++i) {
        QrCodeImages images(manyCodes());
        QVERIFY(!images.image(0).isNull());
    }
}

QTEST_GUILESS_MAIN(TestQrShoppingList)
#include "tst_qrshoppinglist.moc"
