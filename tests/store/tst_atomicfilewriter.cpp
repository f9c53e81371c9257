#include "StoreTestFiles.h"
#include "store/AtomicFileWriter.h"

#include <QDir>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

using namespace storetest;

// A save that cannot finish must say why and leave nothing of itself behind: the staging file it made would
// otherwise stay in the folder until the next start.
class TestAtomicFileWriter final : public QObject {
    Q_OBJECT

private slots:
    void failedSaveIsReportedAndLeavesNothing_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("folders"); // names that exist as folders, so that the final rename fails
        QTest::addColumn<bool>("together");       // writeEachAtomically rather than one writeAtomically a file
        QTest::addColumn<QString>("reason");      // what the message of a failed file starts with, when one kind fails

        const QString renameFailed = QStringLiteral("ファイルを置き換えられませんでした");
        QTest::newRow("one file, rename fails")
            << QStringList{"a.TXT"} << QStringList{"a.TXT"} << false << renameFailed;
        QTest::newRow("several, one rename fails")
            << QStringList{"a.TXT", "b.TXT", "c.TXT"} << QStringList{"b.TXT"} << true << renameFailed;
        QTest::newRow("several, every rename fails")
            << QStringList{"a.TXT", "b.TXT"} << QStringList{"a.TXT", "b.TXT"} << true << renameFailed;
        const QString noStaging = QStringLiteral("一時ファイルを作れませんでした");
        QTest::newRow("one file in a missing folder")
            << QStringList{"missing/a.TXT"} << QStringList{} << false << noStaging;
        QTest::newRow("several, one in a missing folder")
            << QStringList{"a.TXT", "missing/b.TXT"} << QStringList{} << true << noStaging;
        // Large enough to be written on two threads: each failure is reported at its own entry, in either half.
        QStringList many;
        for (int i = 0; i < 600; ++i)
            many << (i == 150 || i == 450 ? QStringLiteral("missing/%1.TXT") : QStringLiteral("%1.TXT")).arg(i);
        QTest::newRow("a large batch, failures in both halves")
            << many << QStringList{"10.TXT", "599.TXT"} << true << QString();
    }
    void failedSaveIsReportedAndLeavesNothing()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, folders);
        QFETCH(bool, together);
        QFETCH(QString, reason);

        QTemporaryDir dir;
        for (const QString& folder : std::as_const(folders))
            QVERIFY(QDir(dir.path()).mkdir(folder));
        QList<FileWriter::FileData> files;
        for (const QString& name : std::as_const(names))
            files.append({dir.filePath(name), "data of " + name.toUtf8()});

        AtomicFileWriter writer;
        QStringList reasons;
        if (together) {
            reasons = writer.writeEachAtomically(files);
        } else {
            for (const FileWriter::FileData& file : std::as_const(files))
                reasons.append(writer.writeAtomically(file.absolutePath, file.data));
        }

        QCOMPARE(reasons.size(), names.size());
        QStringList expectedFiles;
        for (qsizetype i = 0; i < names.size(); ++i) {
            const bool fails = folders.contains(names[i]) || names[i].contains(u'/');
            QCOMPARE(reasons[i].isEmpty(), !fails);
            if (fails) {
                if (!reason.isEmpty())
                    QVERIFY2(reasons[i].startsWith(reason), qPrintable(reasons[i]));
                // The system's own reason follows, so that a user can tell a full disk from a folder in the way.
                QVERIFY2(reasons[i].size() > reason.size() + 2, qPrintable(reasons[i]));
            } else {
                QCOMPARE(contents(dir.filePath(names[i])), "data of " + names[i].toUtf8());
                expectedFiles.append(names[i]);
            }
        }
        // Only the files that were saved: no staging file, and the folders in the way are still folders.
        expectedFiles.sort();
        QCOMPARE(listing(dir.path()), expectedFiles);
        for (const QString& folder : std::as_const(folders))
            QVERIFY(QFileInfo(dir.filePath(folder)).isDir());
    }

    // A batch that names one file twice leaves it holding the later entry's data, as writing the entries one
    // by one would, however many files the batch holds.
    void laterEntryForOneFileWins()
    {
        QTemporaryDir dir;
        QList<FileWriter::FileData> files;
        for (int round = 0; round < 2; ++round)
            for (int i = 0; i < 300; ++i)
                files.append({dir.filePath(QStringLiteral("%1.TXT").arg(i)), QByteArray::number(round)});
        const QStringList reasons = AtomicFileWriter().writeEachAtomically(files);
        QCOMPARE(reasons, QStringList(files.size()));
        for (int i = 0; i < 300; ++i)
            QCOMPARE(contents(dir.filePath(QStringLiteral("%1.TXT").arg(i))), QByteArray("1"));
        QCOMPARE(listing(dir.path()).size(), 300);
    }

    // Every thread of the shared pool busy (covers being decoded, say) must not hold a large batch up: its first
    // half is then written on the calling thread too.
    void batchFinishesWhileThePoolIsBusy()
    {
        QThreadPool* const pool = QThreadPool::globalInstance();
        QSemaphore started;
        QSemaphore release;
        for (int i = 0; i < pool->maxThreadCount(); ++i)
            pool->start([&] {
                started.release();
                release.acquire();
            });
        started.acquire(pool->maxThreadCount());

        QTemporaryDir dir;
        QList<FileWriter::FileData> files;
        for (int i = 0; i < 600; ++i)
            files.append({dir.filePath(QStringLiteral("%1.TXT").arg(i)), QByteArray::number(i)});
        const QStringList reasons = AtomicFileWriter().writeEachAtomically(files);
        release.release(pool->maxThreadCount());
        pool->waitForDone();
        QCOMPARE(reasons, QStringList(files.size()));
        QCOMPARE(listing(dir.path()).size(), 600);
        QCOMPARE(contents(dir.filePath("599.TXT")), QByteArray("599"));
    }

    // A replaced file is held past the rename, and a large one let go on a worker: every save lets go of what it
    // held, whatever the size, so that a session of saves neither runs out of descriptors nor keeps freed space.
    void replacedFilesAreLetGo()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("big.TXT");
        const auto openFiles = [] { return QDir(QStringLiteral("/proc/self/fd")).count(); };
        AtomicFileWriter writer;
        QCOMPARE(writer.writeAtomically(path, QByteArray(16, 'x')), QString());
        QThreadPool::globalInstance()->waitForDone();
        const qsizetype before = openFiles();
        for (int i = 0; i < 20; ++i) {
            const QByteArray data(i % 2 == 0 ? 2 * 1024 * 1024 : 100, char('a' + i));
            QCOMPARE(writer.writeAtomically(path, data), QString());
            QCOMPARE(contents(path), data);
        }
        QThreadPool::globalInstance()->waitForDone();
        QCOMPARE(openFiles(), before);
        QCOMPARE(listing(dir.path()), QStringList{"big.TXT"});
    }
};

QTEST_GUILESS_MAIN(TestAtomicFileWriter)
#include "tst_atomicfilewriter.moc"
