// One program per data folder: a second holder is refused without writing anything, a lock left by a program
// that is gone is taken over, and a released folder can be taken again.
#include "history/FolderLock.h"
#include "support/TestFolder.h"

#include <QDir>
#include <QTest>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Every entry of the folder with its size and time, to see that nothing was written.
QStringList listing(const QString& path)
{
    QStringList entries;
    for (const QFileInfo& info : QDir(path).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        entries.append(QStringLiteral("%1 %2 %3")
                           .arg(info.fileName())
                           .arg(info.size())
                           .arg(info.lastModified().toMSecsSinceEpoch()));
    return entries;
}

} // namespace

class TestFolderLock : public QObject {
    Q_OBJECT
private slots:
    void secondHolderIsRefusedAndWritesNothing();
    void lockOfAProgramThatIsGoneIsTakenOver();
    void releasedFolderCanBeTakenAgain();
    void lockOfAnotherComputerNamesItAndCanBeTakenOver();
};

void TestFolderLock::secondHolderIsRefusedAndWritesNothing()
{
    TestFolder folder;
    folder.writeBytes(QStringLiteral("データＰＲＯ.txt"), "");
    FolderLock first(folder.path());
    QCOMPARE(first.acquire(), QString());
    QVERIFY(first.isHeld());
    const QStringList before = listing(folder.path());

    FolderLock second(folder.path());
    const QString refusal = second.acquire();
    QVERIFY(
        refusal.startsWith(QStringLiteral("このデータフォルダは、すでに起動しているタナミルＰｒｏが使っています。")));
    QVERIFY(refusal.contains(QDir::toNativeSeparators(folder.path())));
    QVERIFY(!second.isHeld());
    QCOMPARE(listing(folder.path()), before);
}

void TestFolderLock::lockOfAProgramThatIsGoneIsTakenOver()
{
    TestFolder folder;
    // A program that took the lock and ended without releasing it, as a crash does.
    const pid_t child = ::fork();
    if (child == 0) {
        QLockFile lock(folder.path() + QLatin1Char('/') + FolderLock::FileName);
        ::_exit(lock.tryLock(0) ? 0 : 1);
    }
    QVERIFY(child > 0);
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    QVERIFY(QFileInfo::exists(folder.path() + QLatin1Char('/') + FolderLock::FileName));

    FolderLock next(folder.path());
    QCOMPARE(next.acquire(), QString());
    QVERIFY(next.isHeld());
}

void TestFolderLock::releasedFolderCanBeTakenAgain()
{
    TestFolder folder;
    {
        FolderLock first(folder.path());
        QCOMPARE(first.acquire(), QString());
    }
    QVERIFY(!QFileInfo::exists(folder.path() + QLatin1Char('/') + FolderLock::FileName));
    FolderLock again(folder.path());
    QCOMPARE(again.acquire(), QString());
}

void TestFolderLock::lockOfAnotherComputerNamesItAndCanBeTakenOver()
{
    TestFolder folder;
    // What a program on another computer leaves when that computer stops with the folder in use.
    const QString path = folder.path() + QLatin1Char('/') + FolderLock::FileName;
    folder.writeBytes(FolderLock::FileName, "4242\ntanamiru\nbook-shelf-pc\n");
    const QDateTime since(QDate(2026, 3, 4), QTime(5, 6, 7));
    QFile lock(path);
    QVERIFY(lock.open(QIODevice::ReadWrite));
    QVERIFY(lock.setFileTime(since, QFileDevice::FileModificationTime));
    lock.close();

    FolderLock next(folder.path());
    const QString message = next.acquire();
    QVERIFY2(message.contains(
                 QStringLiteral("別のコンピュータ「book-shelf-pc」のタナミルＰｒｏが 2026/03/04 05:06:07 から")),
             qPrintable(message));
    QVERIFY(message.contains(QStringLiteral("引き継ぎますか？")));
    QVERIFY(!next.isHeld());
    QVERIFY(next.heldElsewhere());
    QVERIFY(next.takeOver());
    QVERIFY(next.isHeld());

    // A program of this computer that still runs is never taken over.
    FolderLock third(folder.path());
    QVERIFY(!third.acquire().isEmpty());
    QVERIFY(!third.heldElsewhere());
    QVERIFY(!third.takeOver());
}

QTEST_GUILESS_MAIN(TestFolderLock)
#include "tst_folderlock.moc"
