#include "store/Cp932.h"

#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>
#include <optional>

namespace {

constexpr const char* Windows31j = "windows-31j";

// What the converter alone makes of bytes: the text, and whether it reported an error.
std::pair<QString, bool> converterDecode(QByteArrayView bytes)
{
    QStringDecoder decoder(Windows31j, QStringConverter::Flag::Stateless);
    const QString text = decoder(bytes);
    return {text, decoder.hasError()};
}

// The bytes the converter alone gives for one character after the Windows twins are mapped, or nothing when
// it cannot hold the character.
std::optional<QByteArray> converterEncode(const QString& character)
{
    static const QHash<char16_t, char16_t> twins = {{0x301C, 0xFF5E}, {0x2212, 0xFF0D}, {0x2014, 0x2015},
                                                    {0x2016, 0x2225}, {0x00A2, 0xFFE0}, {0x00A3, 0xFFE1},
                                                    {0x00AC, 0xFFE2}};
    if (character.size() == 1 && character[0].isSurrogate())
        return std::nullopt;
    QString stored = character;
    if (stored.size() == 1)
        stored[0] = QChar(twins.value(stored[0].unicode(), stored[0].unicode()));
    QStringEncoder encoder(Windows31j, QStringConverter::Flag::Stateless);
    const QByteArray bytes = encoder(stored);
    if (encoder.hasError() || bytes.isEmpty() || (bytes == "?" && character != u"?"))
        return std::nullopt;
    return bytes;
}

QString hex(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes.toByteArray().toHex(' '));
}

} // namespace

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

        // A long clean text around the fault: the fault is still found where it is.
        const QByteArray line =
            cp932::encode(QStringLiteral("\"題名１２３\",5,1,\"作者\",\"週刊誌\",\"Ａ\"\r\n")).bytes;
        const QByteArray text = line.repeated(2000);
        QTest::newRow("long text, undefined byte inside")
            << text.left(line.size() * 1000) + char(0xA0) + text.mid(line.size() * 1000) << "" << line.size() * 1000;
        QTest::newRow("long text, unassigned pair inside")
            << text.left(line.size() * 999 + 1) + "\x85\x40" + text.mid(line.size() * 999 + 1) << ""
            << line.size() * 999 + 1;
        QTest::newRow("long text, lead byte cut off at the end") << text + char(0x88) << "" << text.size();
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
        QTest::newRow("Linux twin amid ASCII") << "abcdefgh\u301Cijklmnop" << QByteArray("abcdefgh\x81\x60ijklmnop");
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
        const QString line = QStringLiteral("\"題名１２３\",5,1,\"作者\",\"週刊誌\",\"Ａ\"\r\n").repeated(1000);
        QTest::newRow("long text, two characters deep inside") << line + "𠮷" + line + "é" + line << "𠮷é";
    }
    void unencodable()
    {
        QFETCH(QString, text);
        QFETCH(QString, unencodable);

        const cp932::Encoded encoded = cp932::encode(text);
        QCOMPARE(encoded.unencodable, unencodable);
        QVERIFY(cp932::unencodableMessage(encoded.unencodable).contains(QStringView(unencodable).first(1)));
    }

    // Every byte and every pair a lead byte can begin decodes as the converter alone decodes it, on its own
    // and between other text.
    void decodeAgreesWithConverter()
    {
        const QByteArray before = QByteArray("A,") + "\x82\xA0";
        const QByteArray after = QByteArray("\x8A\xBF") + "1\r\n";
        QByteArray everyClean;
        for (int first = 0; first < 256; ++first) {
            for (int second = -1; second < 256; ++second) {
                QByteArray bytes(1, char(first));
                if (second >= 0)
                    bytes += char(second);
                // Pairs only where the first is a lead byte: any other pair is two single bytes.
                if (second >= 0 && !((first >= 0x81 && first <= 0x9F) || (first >= 0xE0 && first <= 0xFC)))
                    break;
                for (const QByteArray& input : {bytes, before + bytes + after}) {
                    const auto [text, error] = converterDecode(input);
                    const cp932::Decoded decoded = cp932::decode(input);
                    if (decoded.text != text || decoded.ok() == error)
                        QFAIL(qPrintable(QStringLiteral("%1: %2 (%3), converter %4 (%5)")
                                             .arg(hex(input), decoded.text,
                                                  decoded.ok() ? QStringLiteral("clean") : QStringLiteral("error"),
                                                  text, error ? QStringLiteral("error") : QStringLiteral("clean"))));
                }
                if (!converterDecode(bytes).second)
                    everyClean += bytes;
            }
        }
        QCOMPARE(cp932::decode(everyClean).text, converterDecode(everyClean).first);
    }

    // Every character of the Basic Multilingual Plane, and a few beyond it, encodes as the converter alone
    // encodes it, on its own and between other text.
    void encodeAgreesWithConverter()
    {
        const QString before = QStringLiteral("title,漢字ｱ");
        const QString after = QStringLiteral("〜end\r\n");
        const QByteArray beforeBytes = *converterEncode("title,漢字ｱ");
        const QByteArray afterBytes = *converterEncode("\uFF5E") + "end\r\n";
        QList<char32_t> characters;
        for (char32_t c = 0; c < 0x10000; ++c)
            characters.append(c);
        characters << 0x10000 << 0x1F600 << 0x20BB7 << 0x2A6D6 << 0x10FFFF;
        for (const char32_t c : characters) {
            const QString character = QString::fromUcs4(&c, 1);
            const std::optional<QByteArray> bytes = converterEncode(character);
            const QString name =
                character.size() == 1 && character[0].isSurrogate() ? QStringLiteral("\uFFFD") : character;
            const QString unencodable = bytes ? QString() : name;
            const cp932::Encoded alone = cp932::encode(character);
            const cp932::Encoded amid = cp932::encode(before + character + after);
            if (alone.unencodable != unencodable || (bytes && alone.bytes != *bytes) ||
                amid.unencodable != unencodable || amid.bytes != beforeBytes + bytes.value_or("") + afterBytes)
                QFAIL(qPrintable(QStringLiteral("U+%1: %2 / %3 named \"%4\", converter %5 named \"%6\"")
                                     .arg(quint32(c), 4, 16, QLatin1Char('0'))
                                     .arg(hex(alone.bytes), hex(amid.bytes), amid.unencodable, hex(bytes.value_or("")),
                                          unencodable)));
        }
    }
};

QTEST_GUILESS_MAIN(TestCp932)
#include "tst_cp932.moc"
