#include "StoreTestFiles.h"
#include "store/DataFolder.h"
#include "store/WholeFile.h"
#include "support/BusyPool.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <optional>

using namespace storetest;

class TestDataFolder final : public QObject {
    Q_OBJECT

private slots:
    void letterCase_data()
    {
        QTest::addColumn<QString>("onDisk");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<bool>("found");

        QTest::newRow("TXT for txt") << "データＰＲＯ.TXT"
                                     << "データＰＲＯ.txt" << true;
        QTest::newRow("full-width letters fold") << "ｐ.txt"
                                                 << "Ｐ.TXT" << true;
        QTest::newRow("width does not fold") << "P.txt"
                                             << "Ｐ.txt" << false;
        QTest::newRow("kana width does not fold") << "ｱ.txt"
                                                  << "ア.txt" << false;
        QTest::newRow("brackets are no wildcard") << "[新装版]A.txt"
                                                  << "[新装版]a.TXT" << true;
        QTest::newRow("question mark is no wildcard") << "a?.txt"
                                                      << "ab.txt" << false;
    }
    void letterCase()
    {
        QFETCH(QString, onDisk);
        QFETCH(QString, asked);
        QFETCH(bool, found);

        QTemporaryDir dir;
        put(dir.filePath(onDisk), "x");
        const DataFolder folder(dir.path());
        QCOMPARE(folder.existingName(asked), found ? onDisk : QString());
        QCOMPARE(folder.read(asked), found ? std::optional<QByteArray>("x") : std::nullopt);
    }

    void twinsAndRemoval()
    {
        QTemporaryDir dir;
        put(dir.filePath("T.TXT"), "upper");
        put(dir.filePath("T.txt"), "lower");
        DataFolder folder(dir.path());
        QCOMPARE(folder.existingName("T.txt"), QStringLiteral("T.txt"));
        QCOMPARE(folder.existingName("T.TXT"), QStringLiteral("T.TXT"));

        QVERIFY(folder.remove("t.tXT"));
        QCOMPARE(listing(dir.path()), QStringList());
        QVERIFY(!folder.exists("T.txt"));
        QVERIFY(!folder.remove("T.txt"));
    }

    void twinLeftWhenOneGoes()
    {
        QTemporaryDir dir;
        put(dir.filePath("T.TXT"), "upper");
        put(dir.filePath("T.txt"), "lower");
        put(dir.filePath("t.txt"), "small");
        DataFolder folder(dir.path());
        QVERIFY(folder.removeExact("T.TXT"));
        QCOMPARE(folder.existingName("T.TXT"), QStringLiteral("T.txt"));
        QVERIFY(folder.removeExact("T.txt"));
        QCOMPARE(folder.existingName("T.TXT"), QStringLiteral("t.txt"));
        QVERIFY(folder.removeExact("t.txt"));
        QVERIFY(!folder.exists("T.TXT"));
    }

    // Only what a file listing shows is indexed: a folder, or a link to one, is never taken for a file.
    void foldersAreNoFiles()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("D.TXT"));
        put(dir.filePath("target.bin"), "x");
        QVERIFY(QFile::link(dir.filePath("target.bin"), dir.filePath("L.TXT")));
        QVERIFY(QFile::link(dir.filePath("D.TXT"), dir.filePath("M.TXT")));
        const DataFolder folder(dir.path());
        QCOMPARE(folder.existingName("l.txt"), QStringLiteral("L.TXT"));
        QVERIFY(!folder.exists("d.txt"));
        QVERIFY(!folder.exists("m.txt"));
    }

    // A listing trusted for the names it lacks still refuses a name where a folder stands, in any letter case,
    // and writes beside it keep what the listing saw: an existing file's spelling and its permissions.
    void trustedListing()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("Ｄ.TXT"));
        put(dir.filePath("Old.TXT"), "old");
        QVERIFY(QFile::setPermissions(dir.filePath("Old.TXT"), QFile::ReadOwner | QFile::WriteOwner));
        DataFolder folder(dir.path());
        {
            const DataFolder::TrustedScan listing = folder.rescanTrusted();
            QVERIFY(folder.placeProblem("ｄ.txt").contains("Ｄ.TXT"));
            QVERIFY(folder.placeProblem("new.txt").isEmpty());
            const QStringList messages = folder.writeEach({{"old.txt", "newer"}, {"new.txt", "n"}});
            QVERIFY(messages.value(0).isEmpty() && messages.value(1).isEmpty());
        }
        QCOMPARE(listing(dir.path()), (QStringList{"Old.TXT", "new.txt"}));
        QCOMPARE(contents(dir.filePath("Old.TXT")), QByteArray("newer"));
        QVERIFY(!(QFile::permissions(dir.filePath("Old.TXT")) & (QFile::ReadGroup | QFile::ReadOther)));
        // Once the listing is no longer trusted, a file made behind its back is found again.
        put(dir.filePath("later.TXT"), "l");
        QVERIFY(folder.exists("later.TXT"));
    }

    // A folder of thousands of names is indexed in batches on a worker while it is read: every name is found,
    // twins in different batches are told apart, a staging file is deleted, and the index is whole even when
    // the pool has no thread to give.
    void manyNamesIndexed_data()
    {
        QTest::addColumn<bool>("busyPool");
        QTest::newRow("pool free") << false;
        QTest::newRow("pool busy") << true;
    }
    void manyNamesIndexed()
    {
        QFETCH(bool, busyPool);
        QTemporaryDir dir;
        for (int i = 0; i < 2500; ++i)
            put(dir.filePath(QStringLiteral("題%1.TXT").arg(i)), "x");
        put(dir.filePath("題7.txt"), "twin");
        put(dir.filePath(AtomicFileWriter::StagingPrefix + QStringLiteral("題8.TXT")), "half");

        std::optional<BusyPool> busy;
        if (busyPool)
            busy.emplace();
        const DataFolder folder(dir.path());
        busy.reset();

        for (int i = 3; i < 2500; i += 10)
            QCOMPARE(folder.existingName(QStringLiteral("題%1.txt").arg(i)), QStringLiteral("題%1.TXT").arg(i));
        QCOMPARE(folder.existingName("題7.TXT"), QStringLiteral("題7.TXT"));
        QCOMPARE(folder.existingName("題7.txt"), QStringLiteral("題7.txt"));
        QCOMPARE(listing(dir.path()).size(), 2501);
        // Looked up through the index only: a name the index missed would be found on disk instead.
        QVERIFY(QFile::remove(dir.filePath("題2499.TXT")));
        QVERIFY(folder.exists("題2499.txt"));
    }

    void writeReusesSpelling()
    {
        QTemporaryDir dir;
        put(dir.filePath("題名.TXT"), "old");
        DataFolder folder(dir.path());
        QCOMPARE(folder.write("題名.txt", "new"), QString());
        QCOMPARE(folder.append("題名.Txt", "+"), QString());
        QCOMPARE(folder.append("新.txt", "a"), QString());
        QCOMPARE(listing(dir.path()), (QStringList{"新.txt", "題名.TXT"}));
        // Appended data starts on a line of its own.
        QCOMPARE(contents(dir.filePath("題名.TXT")), QByteArray("new\r\n+"));
    }

    void manyFilesAtOnce()
    {
        QTemporaryDir dir;
        put(dir.filePath("題名.TXT"), "old");
        put(dir.filePath("keep.TXT"), "keep");
        put(dir.filePath("x.TXT"), "x");
        put(dir.filePath("X.txt"), "X");
        DataFolder folder(dir.path());
        const QStringList messages = folder.writeEach({{"題名.txt", "new"}, {"../up.TXT", "no"}, {"新.TXT", "a"}});
        QCOMPARE(messages.size(), 3);
        QVERIFY(messages[0].isEmpty() && messages[2].isEmpty());
        QVERIFY2(messages[1].contains("../up.TXT"), qPrintable(messages[1]));
        QCOMPARE(contents(dir.filePath("題名.TXT")), QByteArray("new"));
        QCOMPARE(contents(dir.filePath("新.TXT")), QByteArray("a"));
        QVERIFY(folder.exists("新.txt"));

        // Every spelling goes; names that are no file name here, and other files, stay.
        QCOMPARE(folder.remove(QStringList{"x.txt", "新.txt", "../keep.TXT", "gone.TXT"}), 3);
        QCOMPARE(listing(dir.path()), (QStringList{"keep.TXT", "題名.TXT"}));
        QVERIFY(!folder.exists("新.TXT"));

        folder.setWriter(std::make_unique<FailingWriter>());
        const QStringList failed = folder.writeEach({{"題名.TXT", "newer"}});
        QVERIFY2(failed.value(0).contains(FailingWriter::Reason), qPrintable(failed.value(0)));
        QCOMPARE(contents(dir.filePath("題名.TXT")), QByteArray("new"));
    }

    void checkFileName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");

        QTest::newRow("title with wildcards") << "[新装版]*?.TXT" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("parent path") << "../x.TXT" << false;
        QTest::newRow("slash") << "a/b.TXT" << false;
        QTest::newRow("NUL") << QString("a") + QChar(0) + "b" << false;
        QTest::newRow("83 kanji and .TXT") << QString(83, u'漢') + ".TXT" << true;
        QTest::newRow("84 kanji and .TXT") << QString(84, u'漢') + ".TXT" << false;
        // Two bytes each in UTF-8, and four for a character beyond the 16-bit plane (one surrogate pair).
        QTest::newRow("125 é and .TXT") << QString(125, u'é') + "a.TXT" << true;
        QTest::newRow("126 é and .TXT") << QString(126, u'é') + ".TXT" << false;
        QTest::newRow("62 𠮷 and .TXT") << QString::fromUtf8("𠮷").repeated(62) + "abc.TXT" << true;
        QTest::newRow("63 𠮷 and .TXT") << QString::fromUtf8("𠮷").repeated(63) + ".TXT" << false;
    }
    void checkFileName()
    {
        QFETCH(QString, name);
        QFETCH(bool, valid);

        QCOMPARE(DataFolder::checkFileName(name).isEmpty(), valid);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("inner"));
        DataFolder folder(dir.filePath("inner"));
        QCOMPARE(folder.write(name, "x").isEmpty(), valid);
        QCOMPARE(folder.exists(name), valid);
        QCOMPARE(listing(dir.path()), QStringList()); // nothing escaped into the parent
    }

    void failedWriteKeepsOldFile()
    {
        QTemporaryDir dir;
        put(dir.filePath("a.TXT"), "old");
        DataFolder folder(dir.path());
        folder.setWriter(std::make_unique<FailingWriter>());
        const QString message = folder.write("a.txt", "new");
        QVERIFY2(message.contains("a.txt") && message.contains(FailingWriter::Reason), qPrintable(message));
        QVERIFY(!folder.append("a.txt", "more").isEmpty());
        QCOMPARE(listing(dir.path()), QStringList{"a.TXT"});
        QCOMPARE(contents(dir.filePath("a.TXT")), QByteArray("old"));
    }

    void listedFileReadWhole_data()
    {
        QTest::addColumn<int>("size");
        // Around the first read's buffer, where a file stops fitting in one read.
        for (const int size : {0, 1, 16383, 16384, 16385, 100000})
            QTest::addRow("%d bytes", size) << size;
    }
    void listedFileReadWhole()
    {
        QFETCH(int, size);
        QTemporaryDir dir;
        QByteArray bytes(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            bytes[i] = char('a' + i % 23);
        put(dir.filePath("巻.TXT"), bytes);
        const int fd = wholefile::openFolder(dir.path());
        QCOMPARE(wholefile::readRegularAt(fd, "巻.TXT"), std::optional(bytes));
        QVERIFY(QDir(dir.path()).mkdir("フォルダ"));
        QCOMPARE(wholefile::readRegularAt(fd, "フォルダ"), std::nullopt);
        QCOMPARE(errno, EISDIR);
        QCOMPARE(wholefile::readRegularAt(fd, "ない.TXT"), std::nullopt);
        QCOMPARE(errno, ENOENT);
        wholefile::closeFolder(fd);
    }
};

QTEST_GUILESS_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
