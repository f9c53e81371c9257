#include "StoreTestFiles.h"
#include "store/CollectionStore.h"
#include "support/TestFolder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <cstdio>

using namespace storetest;

// The save path is started in a child process (this executable, started again with SaveLoopArgument), which
// saves two collections in turn as fast as it can; the test kills it with SIGKILL at many points and checks
// what a later start finds.

namespace {

const QString SaveLoopArgument = QStringLiteral("--save-loop");
const QString Collection = CollectionStore::CollectionFileName;

// Versions 0 and 1 alternate in the child; version 2 is on disk before the first child starts. Every line of
// one differs from every line of the others and the files differ in length, so that a cut-off copy, or a file
// holding part of two versions, equals none of them.
TitleTable collectionVersion(int version)
{
    const int count = version == 0 ? 3000 : version == 1 ? 2200 : 40;
    TitleTable table;
    table.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QString title =
            QStringLiteral("第%1版の題名%2").arg(version).arg(i) + QString(i % 9 + 3 * version, u'巻');
        table.append({title, qint16(i % 50 + 1), qint16(50 * (i % 3)), QStringLiteral("作者%1").arg(i % 97),
                      QStringLiteral("雑誌%1").arg(version), QStringLiteral("未"), QStringLiteral("2008/05/05"),
                      QStringLiteral("2010/12/%1").arg(i % 28 + 1, 2, 10, QLatin1Char('0'))});
    }
    return table;
}

// The child: saves versions first, 1 - first, first, ... through the store, reporting each save on its own
// line before and after, until it is killed. It stops by itself after a while, so that a child left behind by
// a test that died does not run on.
int runSaveLoop(const QString& folder, int first)
{
    const TitleTable versions[] = {collectionVersion(0), collectionVersion(1)};
    CollectionStore store(folder);
    QElapsedTimer alive;
    alive.start();
    for (int i = first; alive.elapsed() < 60'000; ++i) {
        const int version = i % 2;
        std::printf("saving %d\n", version);
        std::fflush(stdout);
        if (const QString problem = store.writeCollection(versions[version]); !problem.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(problem));
            return 1;
        }
        std::printf("saved %d\n", version);
        std::fflush(stdout);
    }
    return 0;
}

// The bytes the save path writes for a table, taken from a save into a folder of its own.
QByteArray savedBytes(const TitleTable& table)
{
    QTemporaryDir dir;
    CollectionStore store(dir.path());
    if (!store.writeCollection(table).isEmpty())
        qFatal("cannot save the reference collection");
    return contents(dir.filePath(Collection));
}

// What the child reported: the version of the last finished save, and the version being saved when it died
// (-1 for none).
struct Reported {
    int saves = 0;
    int lastSaved = -1;
    int inProgress = -1;
};

Reported readReport(const QByteArray& output)
{
    Reported reported;
    for (const QByteArray& line : output.split('\n')) {
        if (line.startsWith("saving ")) {
            reported.inProgress = line.mid(7).toInt();
        } else if (line.startsWith("saved ")) {
            reported.lastSaved = line.mid(6).toInt();
            reported.inProgress = -1;
            ++reported.saves;
        }
    }
    return reported;
}

bool isStagingName(const QString& name)
{
    return name.startsWith(AtomicFileWriter::StagingPrefix);
}

} // namespace

class TestCrashSafety final : public QObject {
    Q_OBJECT

private slots:
    void killedSavesLeaveOldOrNew()
    {
        constexpr int Kills = 64;
        constexpr int MinKills = 16;           // reached even on a slow, loaded machine within the budget
        constexpr qint64 BudgetMs = 20'000;    // no new child is started after this
        constexpr qint64 FirstSaveMs = 30'000; // a child that has not saved by then has failed

        TestFolder folder;
        const QByteArray versions[] = {savedBytes(collectionVersion(0)), savedBytes(collectionVersion(1)),
                                       savedBytes(collectionVersion(2))};
        const int counts[] = {collectionVersion(0).count(), collectionVersion(1).count(), collectionVersion(2).count()};
        QVERIFY(versions[0].size() != versions[1].size());
        folder.writeBytes(Collection, versions[2]);

        QElapsedTimer total;
        total.start();
        QRandomGenerator random(20240607); // the same kill delays on every run
        qint64 spanUs = 0;                 // kill delays are spread over [0, spanUs): about three saves
        int kills = 0, killedMidSave = 0, foundNew = 0, leftovers = 0;
        qint64 longestDelayUs = 0, saves = 0;

        for (; kills < Kills && total.elapsed() < BudgetMs; ++kills) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(),
                        {SaveLoopArgument, folder.path(), QString::number(kills % 2)});
            QVERIFY2(child.waitForStarted(10'000), qPrintable(child.errorString()));

            // Kill only once a save has finished, so that every kill lands in a stream of saves.
            QByteArray output;
            QElapsedTimer wait;
            wait.start();
            while (!output.contains("saved ") && child.state() == QProcess::Running && wait.elapsed() < FirstSaveMs) {
                child.waitForReadyRead(100);
                output += child.readAllStandardOutput();
            }
            QVERIFY2(output.contains("saved "), child.readAllStandardError().constData());

            if (spanUs == 0) {
                // The first child also measures how long a save takes here.
                QElapsedTimer timing;
                timing.start();
                while (readReport(output).saves < 6 && child.state() == QProcess::Running &&
                       timing.elapsed() < FirstSaveMs) {
                    child.waitForReadyRead(100);
                    output += child.readAllStandardOutput();
                }
                spanUs = std::clamp<qint64>(timing.nsecsElapsed() / 1000 / 5 * 3, 1000, 1'000'000);
            }
            const qint64 delayUs = qint64(random.bounded(quint64(spanUs)));
            longestDelayUs = std::max(longestDelayUs, delayUs);
            QThread::usleep(quint64(delayUs));

            QVERIFY2(child.state() == QProcess::Running, child.readAllStandardError().constData());
            child.kill(); // SIGKILL
            QVERIFY(child.waitForFinished(10'000));
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);
            const Reported reported = readReport(output + child.readAllStandardOutput());
            saves += reported.saves;

            // The file is the last version saved, or the one being saved if the kill came once its rename had
            // begun.
            const QByteArray bytes = folder.readBytes(Collection);
            const bool isOld = bytes == versions[reported.lastSaved];
            const bool isNew = reported.inProgress >= 0 && bytes == versions[reported.inProgress];
            QVERIFY2(isOld || isNew, qPrintable(QStringLiteral("kill %1: %2 bytes, neither the saved version %3 "
                                                               "nor the one in progress (%4)")
                                                    .arg(kills)
                                                    .arg(bytes.size())
                                                    .arg(reported.lastSaved)
                                                    .arg(reported.inProgress)));
            killedMidSave += reported.inProgress >= 0;
            foundNew += isNew && !isOld;

            // Besides the collection, only staging files may be left, and a start deletes them.
            for (const QString& name : folder.files()) {
                QVERIFY2(name == Collection || isStagingName(name), qPrintable(name));
                leftovers += name != Collection;
            }
            CollectionStore restarted(folder.path());
            QCOMPARE(folder.files(), QStringList{Collection});
            const CollectionStore::Load load = restarted.loadCollection();
            QCOMPARE(load.problem, QString());
            QCOMPARE(load.table.count(), counts[isOld ? reported.lastSaved : reported.inProgress]);
        }

        qInfo("%d kills in %lld ms over %lld saves, delays 0 to %lld us after a save was reported (longest %lld us); "
              "%d mid-save, %d of which found the new version (killed inside the rename); %d staging files left "
              "and removed at the next start",
              kills, total.elapsed(), saves, spanUs, longestDelayUs, killedMidSave, foundNew, leftovers);
        QVERIFY2(kills >= MinKills, "too few kills within the time budget");
        // A test whose kills all fell between saves would prove nothing.
        QVERIFY(killedMidSave * 2 > kills);
    }

    void startRemovesOnlyStagingFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("removed");

        // What a save killed between its commit and its rename leaves.
        QTest::newRow("staging file") << AtomicFileWriter::StagingPrefix + "k3j9x0qa" << true;
        // Where the file system has no nameless files, the staging file's own temporary.
        QTest::newRow("temporary of a staging file") << AtomicFileWriter::StagingPrefix + "k3j9x0qa.Ab12Cd" << true;
        QTest::newRow("copy kept by the user") << Collection + ".backup" << false;
        QTest::newRow("title starting with a dot") << ".hack.TXT" << false;
        QTest::newRow("title that is the prefix without its mark") << ".tanamiru.TXT" << false;
    }
    void startRemovesOnlyStagingFiles()
    {
        QFETCH(QString, name);
        QFETCH(bool, removed);

        TestFolder folder;
        const QByteArray collection = savedBytes(collectionVersion(2));
        folder.writeBytes(Collection, collection);
        folder.writeBytes(name, collection + "more");

        CollectionStore store(folder.path());
        QCOMPARE(folder.exists(name), !removed);
        QCOMPARE(store.folder().exists(name), !removed);
        const CollectionStore::Load load = store.loadCollection();
        QCOMPARE(load.problem, QString());
        QVERIFY(load.table.records() == collectionVersion(2).records());

        // A staging file made after the scan is no data either: no name the store is asked for reaches it.
        if (removed) {
            folder.writeBytes(name, "x");
            QVERIFY(!store.folder().exists(name));
            QVERIFY(!store.folder().read(name));
            QVERIFY(!store.folder().write(name, "y").isEmpty());
            QCOMPARE(folder.readBytes(name), QByteArray("x"));
        }
    }

    void stagingPrefixIsNoTitle()
    {
        QVERIFY(!cp932::encode(AtomicFileWriter::StagingPrefix).ok());
        QVERIFY(!DataFolder::checkFileName(AtomicFileWriter::StagingPrefix + "x.TXT").isEmpty());
    }

    void replacingKeepsTheFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("throughLink");
        QTest::addColumn<int>("permissions");

        const int readWrite = int(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        const int shared = readWrite | int(QFile::ReadGroup | QFile::ReadOther);
        // A temporary named after the target would not fit beside a name at the 255-byte limit.
        QTest::newRow("volume file of an 83-kanji title") << QString(83, u'漢') + ".TXT" << false << shared;
        QTest::newRow("memo of an 83-kanji title") << QString(83, u'漢') + "_C.TXT" << false << shared;
        QTest::newRow("owner only") << Collection << false << readWrite;
        QTest::newRow("symbolic link to another folder") << Collection << true << shared;
    }
    void replacingKeepsTheFile()
    {
        QFETCH(QString, name);
        QFETCH(bool, throughLink);
        QFETCH(int, permissions);

        QTemporaryDir dir, elsewhere;
        const QString real = throughLink ? elsewhere.filePath("本体.txt") : dir.filePath(name);
        put(real, "old");
        QVERIFY(QFile::setPermissions(real, QFile::Permissions(permissions)));
        if (throughLink)
            QVERIFY(QFile::link(real, dir.filePath(name)));

        DataFolder folder(dir.path());
        QCOMPARE(folder.write(name, "new"), QString());
        QCOMPARE(folder.write(name, "newer"), QString());
        QCOMPARE(contents(real), QByteArray("newer"));
        // A batch of writes keeps the file as a single save does.
        QCOMPARE(folder.writeEach({{name, "newest"}}), QStringList{QString()});

        QCOMPARE(contents(real), QByteArray("newest"));
        QCOMPARE(int(QFileInfo(real).permissions()), permissions);
        QCOMPARE(QFileInfo(dir.filePath(name)).isSymLink(), throughLink);
        QCOMPARE(listing(dir.path()), QStringList{name});
        QCOMPARE(listing(elsewhere.path()), throughLink ? QStringList{"本体.txt"} : QStringList());
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 4 && arguments.at(1) == SaveLoopArgument)
        return runSaveLoop(arguments.at(2), arguments.at(3).toInt());

    TestCrashSafety test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crashsafety.moc"
