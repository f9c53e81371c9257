// Our QR encoder against libqrencode as the oracle: the same modules (so the same version, codewords, layout and
// mask) for inputs of every version, at each version's exact capacity and one byte beyond it, and at random.
#include "lists/QrEncoder.h"
#include "lists/QrPenalty.h"
#include "lists/QrShoppingList.h"

#include <QRandomGenerator>
#include <QTest>
#include <cmath>
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

// The penalty counted module by module, as the rules read: runs along every row and column, then blocks and
// the dark share.
int plainPenalty(const QList<QList<bool>>& dark)
{
    const int size = int(dark.size());
    int total = 0, darkCount = 0;
    for (int line = 0; line < 2 * size; ++line) {
        QList<std::pair<bool, int>> runs; // colour and length, alternating
        for (int i = 0; i < size; ++i) {
            const bool d = line < size ? dark[line][i] : dark[i][line - size];
            if (runs.isEmpty() || runs.last().first != d)
                runs.append({d, 0});
            ++runs.last().second;
        }
        const int n = int(runs.size());
        for (int i = 0; i < n; ++i) {
            if (runs[i].second >= 5)
                total += runs[i].second - 2;
            if (!runs[i].first || runs[i].second % 3 || i < 2 || i + 2 >= n)
                continue;
            const int f = runs[i].second / 3;
            if (runs[i - 2].second != f || runs[i - 1].second != f || runs[i + 1].second != f ||
                runs[i + 2].second != f)
                continue;
            // The light beyond either end is four units long, or reaches the edge, or there is none.
            const bool lightBefore = i - 3 <= 0 || runs[i - 3].second >= 4 * f;
            const bool lightAfter = i + 3 >= n - 1 || runs[i + 3].second >= 4 * f;
            total += (lightBefore || lightAfter) ? 40 : 0;
        }
    }
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            darkCount += dark[y][x];
            if (x + 1 < size && y + 1 < size && dark[y][x] == dark[y][x + 1] && dark[y][x] == dark[y + 1][x] &&
                dark[y][x] == dark[y + 1][x + 1])
                total += 3;
        }
    }
    const int percent = int(std::lround(100.0 * darkCount / (size * size)));
    return total + std::abs(percent - 50) / 5 * 10;
}

int wordPenalty(const QList<QList<bool>>& dark)
{
    const int size = int(dark.size()), words = (size + 63) / 64;
    const auto buffer = [&](bool transposed) {
        std::vector<std::uint64_t> rows(size_t(size + 2 * qrencoder::PenaltyMargin) * words, 0);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                if (transposed ? dark[x][y] : dark[y][x])
                    rows[size_t(y + qrencoder::PenaltyMargin) * words + x / 64] |= std::uint64_t(1) << (x % 64);
        return rows;
    };
    const std::vector<std::uint64_t> rows = buffer(false), cols = buffer(true);
    const size_t origin = size_t(qrencoder::PenaltyMargin) * words;
    return qrencoder::penalty(rows.data() + origin, cols.data() + origin, size, words);
}

} // namespace

class TestQrEncoder final : public QObject {
    Q_OBJECT
private slots:
    void matchesLibqrencode_data();
    void matchesLibqrencode();
    void everyVersionAtItsCapacity();
    void randomInputs();
    void penaltyOfFinderLikeScales();
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

void TestQrEncoder::penaltyOfFinderLikeScales()
{
    // Codes rarely hold finder-like patterns at scale three and more, or beside the edge at scale two: planted
    // here at both ends of rows and columns, with light runs short of, at and beyond four units.
    QRandomGenerator random(7);
    for (int size : {21, 65, 117, 177}) {
        for (int trial = 0; trial < 40; ++trial) {
            QList<QList<bool>> dark(size, QList<bool>(size));
            for (QList<bool>& row : dark)
                for (int x = 0; x < size; ++x)
                    row[x] = random.bounded(2);
            for (int planted = 0; planted < 6; ++planted) {
                const int f = 1 + random.bounded(5), gap = random.bounded(5 * f);
                const bool atEnd = random.bounded(2), inColumn = random.bounded(2);
                const int line = random.bounded(size);
                const QList<int> units{-gap, 1, 1, 3, 1, 1, 4}; // light gap, pattern, then four light units
                int at = 0;
                for (int part = 0; part < units.size(); ++part) {
                    const int length = part == 0 ? gap : units[part] * f;
                    for (int i = 0; i < length && at < size; ++i, ++at) {
                        const int along = atEnd ? size - 1 - at : at;
                        (inColumn ? dark[along][line] : dark[line][along]) = part % 2 == 1;
                    }
                }
            }
            QCOMPARE(wordPenalty(dark), plainPenalty(dark));
        }
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
