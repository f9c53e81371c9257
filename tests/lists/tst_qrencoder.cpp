// Our QR encoder against libqrencode as the oracle: the same modules (so the same version, codewords, layout and
// mask) for inputs of every version, at each version's exact capacity and one byte beyond it, and at random.
#include "lists/QrEncoder.h"
#include "lists/QrShoppingList.h"

#include <QRandomGenerator>
#include <QTest>
#include <qrencode.h>

namespace {

// Bytes beyond which version 40 at level M cannot hold the ECI header, mode and count.
constexpr int MaxBytes = 2330;

struct Oracle {
    int version = 0;
    int size = 0;
    QByteArray dark; // one byte per module, row by row, 1 dark
};

std::optional<Oracle> oracle(const QByteArray& bytes)
{
    QRinput* input = QRinput_new2(0, QR_ECLEVEL_M);
    QRcode* code = nullptr;
    if (QRinput_appendECIheader(input, 26) == 0 &&
        QRinput_append(input, QR_MODE_8, int(bytes.size()), reinterpret_cast<const unsigned char*>(bytes.data())) == 0)
        code = QRcode_encodeInput(input);
    QRinput_free(input);
    if (!code)
        return std::nullopt;
    Oracle result{code->version, code->width, QByteArray(code->width * code->width, 0)};
    for (int i = 0; i < result.dark.size(); ++i)
        result.dark[i] = char(code->data[i] & 1);
    QRcode_free(code);
    return result;
}

// The mask a symbol's format information names (its copy beside the top-right and bottom-left finders).
int maskNamed(const Oracle& code)
{
    unsigned bits = 0;
    for (int i = 0; i < 15; ++i) {
        const int x = i < 8 ? code.size - 1 - i : 8, y = i < 8 ? 8 : code.size - 15 + i;
        bits |= unsigned(code.dark[y * code.size + x]) << i;
    }
    return int(((bits ^ 0x5412) >> 10) & 7);
}

// Empty when ours equals the oracle's, else what differs.
QString difference(const QByteArray& bytes)
{
    const std::optional<qrencoder::Matrix> ours = qrencoder::encode(bytes);
    const std::optional<Oracle> theirs = oracle(bytes);
    if (!ours || !theirs)
        return QStringLiteral("made: ours %1, libqrencode %2").arg(bool(ours)).arg(bool(theirs));
    if (ours->version != theirs->version)
        return QStringLiteral("version %1, libqrencode %2").arg(ours->version).arg(theirs->version);
    int differing = 0;
    for (int y = 0; y < ours->size; ++y)
        for (int x = 0; x < ours->size; ++x)
            differing += ours->dark(x, y) != bool(theirs->dark[y * theirs->size + x]);
    if (differing || ours->mask != maskNamed(*theirs))
        return QStringLiteral("version %1: %2 modules differ; mask %3, libqrencode %4")
            .arg(ours->version)
            .arg(differing)
            .arg(ours->mask)
            .arg(maskNamed(*theirs));
    return {};
}

QByteArray randomBytes(QRandomGenerator& random, int length)
{
    QByteArray bytes(length, 0);
    for (char& c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

} // namespace

class TestQrEncoder final : public QObject {
    Q_OBJECT
private slots:
    void matchesLibqrencode_data();
    void matchesLibqrencode();
    void everyVersionAtItsCapacity();
    void randomInputs();
    void noCode_data();
    void noCode();
};

void TestQrEncoder::matchesLibqrencode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("one byte") << QByteArray("a");
    QTest::newRow("zeros") << QByteArray(300, '\0');
    QTest::newRow("all ones") << QByteArray(1000, '\xFF');
    QTest::newRow("japanese") << QStringLiteral("古本屋の棚　1-3, 7巻\nドラゴン探索記　12巻").repeated(20).toUtf8();
    QTest::newRow("longest") << QByteArray(MaxBytes, 'x');
}

void TestQrEncoder::matchesLibqrencode()
{
    QFETCH(QByteArray, bytes);
    const QString differs = difference(bytes);
    QVERIFY2(differs.isEmpty(), qPrintable(differs));
}

void TestQrEncoder::everyVersionAtItsCapacity()
{
    // Where our version grows, both sides of the step must agree with the oracle: the last length a version
    // holds and the first it does not (versions 9 and 10 also differ in the count's width).
    QRandomGenerator random(40);
    int previous = 1;
    QList<int> versions{1};
    for (int length = 1; length <= MaxBytes; ++length) {
        const int version = qrencoder::encode(QByteArray(length, 'q'))->version;
        if (version == previous)
            continue;
        for (int checked : {length - 1, length}) {
            const QString differs = difference(randomBytes(random, checked));
            QVERIFY2(differs.isEmpty(), qPrintable(QStringLiteral("%1 bytes: %2").arg(checked).arg(differs)));
        }
        versions << version;
        previous = version;
    }
    QCOMPARE(versions.size(), 40);
    QCOMPARE(versions.last(), 40);
}

void TestQrEncoder::randomInputs()
{
    QRandomGenerator random(20240613);
    for (int i = 0; i < 400; ++i) {
        const int length = i % 2 ? 1 + random.bounded(MaxBytes) : 1 + random.bounded(200);
        const QString differs = difference(randomBytes(random, length));
        QVERIFY2(differs.isEmpty(),
                 qPrintable(QStringLiteral("input %1, %2 bytes: %3").arg(i).arg(length).arg(differs)));
    }
}

void TestQrEncoder::noCode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("one byte beyond version 40") << QByteArray(MaxBytes + 1, 'x');
    QTest::newRow("empty") << QByteArray();
}

void TestQrEncoder::noCode()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!qrencoder::encode(bytes));
    QVERIFY(!oracle(bytes));
    QVERIFY(qrlist::encode(bytes).isNull());
}

QTEST_GUILESS_MAIN(TestQrEncoder)
#include "tst_qrencoder.moc"
