#include "StoreTestFiles.h"
#include "store/DataFiles.h"

#include <QTest>

using storetest::sjis;
using Entries = QList<QPair<int, int>>; // (volume, state) of the entries that are not 0

class TestDataFiles final : public QObject {
    Q_OBJECT

private slots:
    void volumeGolden()
    {
        const QByteArray golden = storetest::contents(QStringLiteral(TESTDATA_DIR "/store/volume.TXT"));
        VolumeStates states{};
        states[4] = states[5] = 1;
        states[11] = -1;
        states[50] = 2;
        QCOMPARE(volumefile::format(states).toLatin1(), golden);
        QCOMPARE(volumefile::bytes(states), golden);
        // Every width a number can take, signs included, gives the bytes the text encodes to.
        VolumeStates extremes{};
        for (int k = 1; k <= volumefile::Volumes; ++k)
            extremes[k] = qint16(k % 2 ? -32768 + k * 1311 : 32767 - k * 977);
        extremes[7] = 0;
        QCOMPARE(volumefile::bytes(extremes), volumefile::format(extremes).toLatin1());
        bool complete = false;
        QCOMPARE(volumefile::parse(golden, &complete), states);
        QVERIFY(complete);
    }

    void volumeParse_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Entries>("entries");
        QTest::addColumn<bool>("complete");

        const QByteArray zeros = "0,0,0,0,0,0,0,0,0,0\n";
        QTest::newRow("LF lines") << "1" + zeros.mid(1).repeated(5) << Entries{{1, 1}} << true;
        QTest::newRow("last line ends in a comma") << zeros.repeated(4) + "0,0,0,0,0,0,0,0,1,\r\n"
                                                   << Entries{{49, 1}} << true;
        QTest::newRow("short") << QByteArray("1,1\r\n0,2") << Entries{{1, 1}, {2, 1}, {4, 2}} << false;
        QTest::newRow("unreadable value") << "0,0,x,1" + zeros.mid(7) + zeros.repeated(4) << Entries{{4, 1}} << false;
        QTest::newRow("bad byte") << zeros.repeated(4) + "1,\x80,0,0,0,0,0,0,0,0" << Entries{{41, 1}} << false;

        // Near the layout this program writes: the bytes are read directly only where the general reading
        // would find the same values.
        const auto writtenWith = [](const QMap<int, QByteArray>& values) {
            QByteArray bytes;
            for (int k = 1; k <= 50; ++k)
                bytes += values.value(k, "0") + (k % 10 == 0 ? "\r\n" : ",");
            return bytes;
        };
        const QByteArray written = writtenWith({});
        QTest::newRow("as written, extreme values") << writtenWith({{1, "-1"}, {2, "32767"}, {50, "-32768"}})
                                                    << Entries{{1, -1}, {2, 32767}, {50, -32768}} << true;
        QTest::newRow("out of range") << "32768" + written.mid(1) << Entries{} << false;
        QTest::newRow("six digits") << "000007" + written.mid(1) << Entries{{1, 7}} << true;
        QTest::newRow("plus sign and fraction") << "+2,2.5" + written.mid(3) << Entries{{1, 2}, {2, 2}} << true;
        QTest::newRow("blank before a comma") << "1 " + written.mid(1) << Entries{{1, 1}} << true;
        QTest::newRow("blank line is an empty field")
            << "1" + written.mid(1, 20) + "\r\n" + "2" + written.mid(22) << Entries{{1, 1}, {12, 2}} << true;
        QTest::newRow("lone minus") << "-" + written.mid(1) << Entries{} << false;
        QTest::newRow("text after the fiftieth") << written + "\"memo\",7\r\n" << Entries{} << true;
        QTest::newRow("bad byte after the fiftieth") << "1" + written.mid(1) + "\x81" << Entries{{1, 1}} << false;
        QTest::newRow("empty") << QByteArray() << Entries{} << false;
    }
    void volumeParse()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Entries, entries);
        QFETCH(bool, complete);

        VolumeStates expected{};
        for (const auto& [volume, state] : entries)
            expected[volume] = qint16(state);
        bool readWhole = !complete;
        QCOMPARE(volumefile::parse(bytes, &readWhole), expected);
        QCOMPARE(readWhole, complete);
    }

    void memo_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("memo");

        QTest::newRow("empty") << QByteArray() << "";
        QTest::newRow("one empty line") << QByteArray("\r\n") << "";
        QTest::newRow("final break dropped") << QByteArray("abc\r\ndef\r\n") << "abc\r\ndef";
        QTest::newRow("blank last line kept") << QByteArray("a\r\n\r\n") << "a\r\n";
        QTest::newRow("CR and LF breaks") << QByteArray("a\nb\rc") << "a\r\nb\r\nc";
        QTest::newRow("code page 932") << QByteArray::fromHex("83818382") << "メモ";
    }
    void memo()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, memo);
        QCOMPARE(memofile::parse(bytes), memo);
        QCOMPARE(memofile::parse(sjis(memofile::format(memo))), memo);
    }

    void memoFormat()
    {
        QCOMPARE(memofile::format(""), QStringLiteral("\r\n"));
        QCOMPARE(memofile::format("a\nb\rc\r\nd"), QStringLiteral("a\r\nb\r\nc\r\nd\r\n"));
    }

    void settings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("helpTourOn");

        QTest::newRow("on") << QByteArray::fromHex("228377838b837683638341815b222c310d0a") << 1;
        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("unreadable switch") << QByteArray("\"x\",on\r\n") << 0;
    }
    void settings()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, helpTourOn);
        QCOMPARE(int(settingsfile::parse(bytes)), helpTourOn);
        if (helpTourOn)
            QCOMPARE(sjis(settingsfile::format(qint16(helpTourOn))).toHex(), bytes.toHex());
    }

    void ranking()
    {
        const QString text = rankingfile::formatLine("甲") + rankingfile::formatLine("乙,丙");
        QCOMPARE(text, QStringLiteral("\"甲\"\r\n\"乙,丙\"\r\n"));
        QCOMPARE(rankingfile::parse(sjis(text)), (QStringList{"甲", "乙,丙"}));
        // The whole list in one buffer: the same lines.
        QCOMPARE(rankingfile::format({"甲", "乙,丙"}), text);
        QCOMPARE(rankingfile::format({}), QString());
    }
};

QTEST_GUILESS_MAIN(TestDataFiles)
#include "tst_datafiles.moc"
