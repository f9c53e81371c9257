// Backup generations: what one holds, that a restore gives back every byte, damage, pruning, the day's first
// generation, and failures that leave everything as it was.
#include "history/BackupManifest.h"
#include "history/Backups.h"
#include "store/AtomicFileWriter.h"
#include "store/CollectionStore.h"
#include "support/TestFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QTest>
#include <QtConcurrent/QtConcurrentMap>
#include <functional>
#include <sys/stat.h>

namespace {

const QString Backup = QStringLiteral("バックアップ");

QString line(const QString& title, int count)
{
    return QStringLiteral("\"%1\",%2,0,\"未登録\",\"未登録\",\"未\",\"2008/05/05\",\"2008/05/05\"\r\n")
        .arg(title)
        .arg(count);
}

// Every file of the data folder (not its subfolders) with its bytes.
QMap<QString, QByteArray> snapshot(const TestFolder& folder)
{
    QMap<QString, QByteArray> files;
    for (const QString& name : folder.files())
        files.insert(name, folder.readBytes(name));
    return files;
}

// Every (device, inode) of the regular files under path, subfolders included.
QSet<std::pair<quint64, quint64>> inodes(const QString& path, bool recursive)
{
    QSet<std::pair<quint64, quint64>> found;
    QDirIterator it(path, QDir::Files | QDir::Hidden,
                    recursive ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
    while (it.hasNext()) {
        struct stat info {};
        if (::stat(QFile::encodeName(it.next()).constData(), &info) == 0)
            found.insert({quint64(info.st_dev), quint64(info.st_ino)});
    }
    return found;
}

// Writes bytes over the start of a file without replacing it, as an editor that keeps links or `>>` does.
void writeInPlace(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Fails the n-th write of a new backup file, the n-th rename, the n-th file a restore writes, or every
// deletion.
class FailingFiles final : public BackupFiles {
public:
    int failWrite = 0;
    int failRename = 0;
    int failDataFile = 0;
    bool refuseDeletion = false;
    std::function<void(const QString& path)> beforeWriteNew;
    int writes = 0;
    int renames = 0;
    int dataFiles = 0;

    QString writeNew(const QString& path, const QByteArray& data) override
    {
        if (beforeWriteNew)
            beforeWriteNew(path);
        if (++writes == failWrite)
            return QStringLiteral("ディスクがいっぱいです");
        return BackupFiles::writeNew(path, data);
    }
    QString rename(const QString& from, const QString& to) override
    {
        if (++renames == failRename)
            return QStringLiteral("ディスクがいっぱいです");
        return BackupFiles::rename(from, to);
    }
    QStringList writeEach(const QList<FileWriter::FileData>& files) override
    {
        QList<FileWriter::FileData> kept;
        qsizetype failed = -1;
        for (const FileWriter::FileData& file : files) {
            if (++dataFiles == failDataFile)
                failed = kept.size();
            else
                kept.append(file);
        }
        QStringList reasons = BackupFiles::writeEach(kept);
        if (failed >= 0)
            reasons.insert(failed, QStringLiteral("ディスクがいっぱいです"));
        return reasons;
    }
    QString remove(const QString& path) override
    {
        return refuseDeletion ? QStringLiteral("使用中です") : BackupFiles::remove(path);
    }
};

} // namespace

class TestBackups : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void holdsTheFilesOfTheTitlesAndNothingElse();
    void restoreGivesBackEveryByte_data();
    void restoreGivesBackEveryByte();
    void editorWritingInPlaceChangesNoBackup();
    void damagedGenerationIsFoundAndNotRestored_data();
    void damagedGenerationIsFoundAndNotRestored();
    void keepsTheNewestTwentyAndTheirPacksOnly();
    void clockGoneBackNeverPrunesTheNewest();
    void restoresTheOldestWithTwentyKept();
    void failedTakeLeavesNoTrace_data();
    void failedTakeLeavesNoTrace();
    void failedRestoreChangesNothing_data();
    void failedRestoreChangesNothing();
    void packGoneDuringRestoreChangesNothing();
    void filesNotDeletedAreNamed();
    void interruptedRestoreIsFinishedOrRolledBack_data();
    void interruptedRestoreIsFinishedOrRolledBack();
    void dailyIsDueOncePerDay();
    void dailyIsJudgedFromTheNewest();
    void hashIsTheSha256OfTheBytes_data();
    void hashIsTheSha256OfTheBytes();
    void longListReadsBackInOrder();

private:
    // Three titles, their files, the program's files and files that belong to nobody.
    void fill();
    QString root() const { return m_folder->path() + QLatin1Char('/') + Backup; }
    QString newest() const { return m_backups->list().constFirst().folderName; }
    QStringList packs() const { return QDir(root() + QStringLiteral("/内容")).entryList(QDir::Files); }

    std::unique_ptr<TestFolder> m_folder;
    std::unique_ptr<CollectionStore> m_store;
    std::unique_ptr<Backups> m_backups;
    QDateTime m_now;
};

void TestBackups::init()
{
    m_folder = std::make_unique<TestFolder>();
    fill();
    m_store = std::make_unique<CollectionStore>(m_folder->path());
    m_backups = std::make_unique<Backups>(*m_store);
    m_now = QDateTime(QDate(2026, 12, 8), QTime(9, 30, 0));
    m_backups->setClock([this] { return m_now; });
}

void TestBackups::cleanup()
{
    m_backups.reset();
    m_store.reset();
    m_folder.reset();
}

void TestBackups::fill()
{
    TestFolder& f = *m_folder;
    f.writeText(QStringLiteral("データＰＲＯ.txt"), line("甲", 3) + line("Ab", 4) + line("丙", 5));
    f.writeText(QStringLiteral("ランキング.txt"), QStringLiteral("\"丙\"\r\n\"甲\"\r\n"));
    f.writeText(QStringLiteral("設定.TXT"), QStringLiteral("\"ヘルプツアー\",1\r\n"));
    f.writeBytes(QStringLiteral("甲.TXT"), "0,0,1\r\n");
    f.writeBytes(QStringLiteral("甲_C.txt"), "memo\r\n");
    f.writeBytes(QStringLiteral("甲.jpg"), "jpeg");
    f.writeBytes(QStringLiteral("ab.txt"), "1,1\r\n"); // another letter case than the title's
    f.writeBytes(QStringLiteral("丙.TXT"), "0,1\r\n");
    f.writeBytes(QStringLiteral("NOPIC.JPG"), "placeholder");
    f.writeBytes(QStringLiteral("乙.TXT"), "a title no longer in the collection");
    f.writeBytes(QStringLiteral("残巻データ.txt"), "export");
}

void TestBackups::holdsTheFilesOfTheTitlesAndNothingElse()
{
    const CollectionStore::Load load = m_store->loadCollection();
    QCOMPARE(m_backups->take(load.table, backup::Reason::BeforeClear), QString());
    const QList<Generation> list = m_backups->list();
    QCOMPARE(list.size(), 1);
    for (const QString& name : m_folder->files()) {
        const bool kept = !QStringList({"NOPIC.JPG", "乙.TXT", "残巻データ.txt"}).contains(name);
        QCOMPARE(m_backups->fileOf(list[0].folderName, name),
                 kept ? std::optional(m_folder->readBytes(name)) : std::optional<QByteArray>());
    }
    QCOMPARE(list[0].rowText(), QStringLiteral("2026/12/08 09:30:00　コミックデータ全削除の前　題名 3 件"));
    QCOMPARE(m_backups->check(list[0].folderName), QString());
    // A second generation of the same files copies nothing again.
    m_now = m_now.addSecs(1);
    QCOMPARE(m_backups->take(load.table, backup::Reason::Daily), QString());
    QCOMPARE(packs().size(), 1);
}

void TestBackups::restoreGivesBackEveryByte_data()
{
    QTest::addColumn<int>("change");
    QTest::newRow("collection cleared and every title file deleted") << 0;
    QTest::newRow("files rewritten, a memo and a title added, a cover gone") << 1;
}

void TestBackups::restoreGivesBackEveryByte()
{
    QFETCH(int, change);
    CollectionStore::Load load = m_store->loadCollection();
    const QMap<QString, QByteArray> before = snapshot(*m_folder);
    QCOMPARE(m_backups->take(load.table, backup::Reason::BeforeClear), QString());

    if (change == 0) {
        QCOMPARE(m_store->folder().write(QStringLiteral("データＰＲＯ.txt"), QByteArray()), QString());
        QCOMPARE(m_store->folder().write(QStringLiteral("ランキング.txt"), QByteArray()), QString());
        for (const TitleRecord& record : load.table.records())
            m_store->removeTitleFiles(record.title);
    } else {
        TitleTable table = load.table;
        table[1].author = QStringLiteral("作者");
        TitleRecord added = table.at(1);
        added.title = QStringLiteral("丁");
        table.append(added);
        QCOMPARE(m_store->writeCollection(table), QString());
        QCOMPARE(m_store->writeVolumeFile(QStringLiteral("甲.TXT"), VolumeStates{}), QString());
        QCOMPARE(m_store->writeVolumeFile(QStringLiteral("丁.TXT"), VolumeStates{}), QString());
        QCOMPARE(m_store->writeMemo(QStringLiteral("丙"), QStringLiteral("new memo")), QString());
        QVERIFY(m_store->folder().remove(QStringLiteral("甲.jpg")));
        QCOMPARE(m_store->writeRanking({QStringLiteral("丁")}), QString());
    }
    load = m_store->loadCollection();
    QVERIFY(snapshot(*m_folder) != before);

    m_now = m_now.addSecs(60);
    const QString oldest = m_backups->list().constLast().folderName;
    const Backups::Restore result = m_backups->restore(oldest, load.table);
    QCOMPARE(result.error, QString());
    QCOMPARE(result.notDeleted, QStringList());
    QCOMPARE(snapshot(*m_folder), before);
    QVERIFY(!QFileInfo::exists(root() + QLatin1Char('/') + Backups::JournalName));
    // The state before the restore can be returned to.
    const QList<Generation> list = m_backups->list();
    QCOMPARE(list.size(), 2);
    QCOMPARE(list[0].folderName, result.taken);
    QCOMPARE(list[0].reasonKey, QStringLiteral("restore"));
}

void TestBackups::editorWritingInPlaceChangesNoBackup()
{
    const CollectionStore::Load load = m_store->loadCollection();
    const QMap<QString, QByteArray> before = snapshot(*m_folder);
    QCOMPARE(m_backups->take(load.table, backup::Reason::Daily), QString());
    m_now = m_now.addSecs(1);
    QCOMPARE(m_backups->take(load.table, backup::Reason::BeforeClear), QString());
    QVERIFY((inodes(root(), true) & inodes(m_folder->path(), false)).isEmpty());

    // Same sizes, other bytes: what a size check cannot see.
    writeInPlace(m_folder->path() + QStringLiteral("/甲.TXT"), "1,1,0\r\n");
    writeInPlace(m_folder->path() + QStringLiteral("/データＰＲＯ.txt"), "\"乙\"");
    QCOMPARE(m_backups->check(newest()), QString());
    m_now = m_now.addSecs(1);
    QCOMPARE(m_backups->restore(newest(), load.table).error, QString());
    QCOMPARE(snapshot(*m_folder), before);
}

void TestBackups::damagedGenerationIsFoundAndNotRestored_data()
{
    QTest::addColumn<QString>("file"); // in the backup folder
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to"); // empty: the file is deleted
    QTest::addColumn<QString>("damage");
    QTest::newRow("a byte of the pack changed")
        << QStringLiteral("内容/束-1") << QByteArray("memo") << QByteArray("MEMO")
        << QStringLiteral("「甲_C.txt」の中身が記録と違います");
    QTest::newRow("pack missing") << QStringLiteral("内容/束-1") << QByteArray() << QByteArray()
                                  << QStringLiteral("がありません");
    QTest::newRow("list missing") << QStringLiteral("目録") << QByteArray() << QByteArray()
                                  << QStringLiteral("目録「目録」がないか");
    QTest::newRow("list cut short") << QStringLiteral("目録") << QByteArray("\n終わり\n") << QByteArray("\n")
                                    << QStringLiteral("壊れています");
    // The header's count must be the lines' own, however the lines are shared out to be read.
    QTest::newRow("a file count far beyond the lines")
        << QStringLiteral("目録") << QByteArray("ファイル数\t") << QByteArray("ファイル数\t9999999")
        << QStringLiteral("壊れています");
    QTest::newRow("a name leading out of the folder")
        << QStringLiteral("目録") << QByteArray("\t甲_C.txt\n") << QByteArray("\t../逃げた_C.txt\n")
        << QStringLiteral("「../逃げた_C.txt」はデータファイルの名前ではありません");
    QTest::newRow("a name of no data file")
        << QStringLiteral("目録") << QByteArray("\t甲_C.txt\n") << QByteArray("\t残巻データ.txt\n")
        << QStringLiteral("データファイルの名前ではありません");
    QTest::newRow("a name twice, in other letter case")
        << QStringLiteral("目録") << QByteArray("\t甲_C.txt\n") << QByteArray("\t甲.txt\n")
        << QStringLiteral("が二度記録されています");
}

void TestBackups::damagedGenerationIsFoundAndNotRestored()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QString, damage);
    const CollectionStore::Load load = m_store->loadCollection();
    QCOMPARE(m_backups->take(load.table, backup::Reason::Daily), QString());
    const QString generation = newest();
    const QString path = root() + QLatin1Char('/') + (file.startsWith(u"目録") ? generation + u'/' : QString()) + file;
    if (from.isEmpty()) {
        QVERIFY(QFile::remove(path));
    } else {
        QFile changed(path);
        QVERIFY(changed.open(QIODevice::ReadWrite));
        const QByteArray bytes = changed.readAll();
        QVERIFY(bytes.contains(from));
        changed.resize(0);
        changed.seek(0);
        changed.write(QByteArray(bytes).replace(from, to));
    }
    QVERIFY2(m_backups->check(generation).contains(damage), qPrintable(m_backups->check(generation)));

    m_store->writeCollection(TitleTable());
    const QMap<QString, QByteArray> before = snapshot(*m_folder);
    const Backups::Restore result = m_backups->restore(generation, TitleTable());
    QVERIFY(result.error.startsWith(QStringLiteral("このバックアップは壊れているため")));
    QVERIFY(result.error.contains(damage));
    QCOMPARE(snapshot(*m_folder), before);
    QVERIFY(!QFileInfo::exists(m_folder->path() + QStringLiteral("/../逃げた_C.txt")));
    QCOMPARE(m_backups->list().size(), 1);
}

void TestBackups::keepsTheNewestTwentyAndTheirPacksOnly()
{
    const CollectionStore::Load load = m_store->loadCollection();
    QVERIFY(QDir(m_folder->path()).mkpath(Backup + QStringLiteral("/自分のフォルダ")));
    QVERIFY(QDir(m_folder->path()).mkpath(Backup + QStringLiteral("/20200101-000000x")));
    m_folder->writeBytes(Backup + QStringLiteral("/メモ.txt"), "mine");
    QStringList taken;
    for (int i = 0; i < Backups::Kept + 2; ++i) {
        // Two in the same second get numbered names; every generation changes one file.
        m_now = m_now.addSecs(i % 2 == 0 ? 0 : 1);
        m_folder->writeBytes(QStringLiteral("甲.TXT"), QByteArray::number(i));
        QCOMPARE(m_backups->take(load.table, backup::Reason::Daily), QString());
        taken.prepend(newest());
    }
    QStringList listed;
    for (const Generation& generation : m_backups->list())
        listed.append(generation.folderName);
    QCOMPARE(listed, taken.mid(0, Backups::Kept));
    // The packs of the two pruned generations went, but the first, which the kept ones still use.
    QCOMPARE(packs().size(), Backups::Kept + 1);
    QVERIFY(!packs().contains(QStringLiteral("束-2")));
    QCOMPARE(m_backups->check(listed.constLast()), QString());
    QVERIFY(QFileInfo(root() + QStringLiteral("/自分のフォルダ")).isDir());
    QVERIFY(QFileInfo(root() + QStringLiteral("/20200101-000000x")).isDir());
    QVERIFY(QFileInfo(root() + QStringLiteral("/メモ.txt")).isFile());
}

void TestBackups::clockGoneBackNeverPrunesTheNewest()
{
    const CollectionStore::Load load = m_store->loadCollection();
    for (int i = 0; i < Backups::Kept; ++i) {
        m_now = m_now.addSecs(1);
        QCOMPARE(m_backups->take(load.table, backup::Reason::Daily), QString());
    }
    m_now = m_now.addYears(-1);
    QCOMPARE(m_backups->take(load.table, backup::Reason::BeforeClear), QString());
    const QList<Generation> list = m_backups->list();
    QCOMPARE(list.size(), Backups::Kept);
    QCOMPARE(list[0].reasonKey, QStringLiteral("clear"));
    QCOMPARE(list[0].taken, m_now);
    QCOMPARE(m_backups->check(list[0].folderName), QString());
}

void TestBackups::restoresTheOldestWithTwentyKept()
{
    CollectionStore::Load load = m_store->loadCollection();
    const QByteArray first = m_folder->readBytes(QStringLiteral("データＰＲＯ.txt"));
    for (int i = 0; i < Backups::Kept; ++i) {
        m_now = m_now.addSecs(1);
        QCOMPARE(m_backups->take(load.table, backup::Reason::Daily), QString());
        if (i == 0)
            QCOMPARE(m_store->writeCollection(TitleTable()), QString());
    }
    load = m_store->loadCollection();
    m_now = m_now.addSecs(1);
    // Taking the present state first must not prune the very generation being restored.
    QCOMPARE(m_backups->restore(m_backups->list().constLast().folderName, load.table).error, QString());
    QCOMPARE(m_folder->readBytes(QStringLiteral("データＰＲＯ.txt")), first);
}

void TestBackups::failedTakeLeavesNoTrace_data()
{
    QTest::addColumn<int>("failWrite");
    QTest::addColumn<int>("failRename");
    QTest::addColumn<bool>("earlier"); // a generation was taken before
    QTest::newRow("the pack, first generation") << 1 << 0 << false;
    QTest::newRow("the pack") << 1 << 0 << true;
    QTest::newRow("naming the pack") << 0 << 1 << true;
    QTest::newRow("the list") << 2 << 0 << true;
    QTest::newRow("naming the generation") << 0 << 2 << true;
}

void TestBackups::failedTakeLeavesNoTrace()
{
    QFETCH(int, failWrite);
    QFETCH(int, failRename);
    QFETCH(bool, earlier);
    const CollectionStore::Load load = m_store->loadCollection();
    if (earlier)
        QCOMPARE(m_backups->take(load.table, backup::Reason::Daily), QString());
    // A changed file, so that the next generation writes a pack of its own.
    m_folder->writeBytes(QStringLiteral("丙.TXT"), "1,0,1\r\n");
    const QStringList entries = QDir(root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    const QStringList packsBefore = packs();
    const QMap<QString, QByteArray> before = snapshot(*m_folder);

    auto files = std::make_unique<FailingFiles>();
    files->failWrite = failWrite;
    files->failRename = failRename;
    m_backups->setFiles(std::move(files));
    m_now = m_now.addSecs(5);
    const QString error = m_backups->take(load.table, backup::Reason::BeforeClear);
    QVERIFY(error.startsWith(QStringLiteral("バックアップを作れませんでした。\n「")));
    QCOMPARE(snapshot(*m_folder), before);
    QCOMPARE(QDir(m_folder->path()).exists(Backup), earlier);
    if (earlier) {
        QCOMPARE(QDir(root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), entries);
        QCOMPARE(packs(), packsBefore);
    }
}

void TestBackups::failedRestoreChangesNothing_data()
{
    QTest::addColumn<int>("failWrite");
    QTest::addColumn<int>("failDataFile");
    // The generation of the present state takes two writes (pack, list), the journal the third.
    QTest::newRow("the journal") << 3 << 0;
    QTest::newRow("replacing the fifth file") << 0 << 5;
}

void TestBackups::failedRestoreChangesNothing()
{
    QFETCH(int, failWrite);
    QFETCH(int, failDataFile);
    CollectionStore::Load load = m_store->loadCollection();
    QCOMPARE(m_backups->take(load.table, backup::Reason::BeforeClear), QString());
    const QString generation = newest();
    QCOMPARE(m_store->writeCollection(TitleTable()), QString());
    for (const TitleRecord& record : load.table.records())
        m_store->removeTitleFiles(record.title);
    m_folder->writeBytes(QStringLiteral("ab.txt"), "changed since");
    const QMap<QString, QByteArray> before = snapshot(*m_folder);

    auto files = std::make_unique<FailingFiles>();
    files->failWrite = failWrite;
    files->failDataFile = failDataFile;
    m_backups->setFiles(std::move(files));
    m_now = m_now.addSecs(5);
    load = m_store->loadCollection();
    const Backups::Restore result = m_backups->restore(generation, load.table);
    QVERIFY(result.error.startsWith(QStringLiteral("「")));
    QVERIFY(result.error.contains(failWrite ? QStringLiteral("を書き込めませんでした")
                                            : QStringLiteral("を戻せませんでした")));
    QCOMPARE(snapshot(*m_folder), before);
    QVERIFY(!QFileInfo::exists(root() + QLatin1Char('/') + Backups::JournalName));
    // The state before the attempt is kept as the newest generation.
    QCOMPARE(m_backups->list().size(), 2);
    QCOMPARE(newest(), result.taken);
}

void TestBackups::packGoneDuringRestoreChangesNothing()
{
    CollectionStore::Load load = m_store->loadCollection();
    QCOMPARE(m_backups->take(load.table, backup::Reason::BeforeClear), QString());
    const QString generation = newest();
    const QStringList oldPacks = packs();
    QCOMPARE(m_store->writeCollection(TitleTable()), QString());
    m_folder->writeBytes(QStringLiteral("ab.txt"), "changed since");
    const QMap<QString, QByteArray> before = snapshot(*m_folder);

    // Another program deletes the generation's pack after the restore proved it, while the journal is written.
    auto files = std::make_unique<FailingFiles>();
    files->beforeWriteNew = [this, oldPacks](const QString& path) {
        if (path.endsWith(AtomicFileWriter::StagingPrefix + QLatin1Char('j')))
            for (const QString& pack : oldPacks)
                QFile::remove(root() + QStringLiteral("/内容/") + pack);
    };
    m_backups->setFiles(std::move(files));
    m_now = m_now.addSecs(5);
    load = m_store->loadCollection();
    const Backups::Restore result = m_backups->restore(generation, load.table);
    QVERIFY2(result.error.startsWith(QStringLiteral("このバックアップは壊れているため")), qPrintable(result.error));
    QCOMPARE(snapshot(*m_folder), before);
}

void TestBackups::filesNotDeletedAreNamed()
{
    const CollectionStore::Load load = m_store->loadCollection();
    QCOMPARE(m_backups->take(load.table, backup::Reason::BeforeClear), QString());
    const QString generation = newest();
    m_folder->writeBytes(QStringLiteral("丙_C.txt"), "a memo written since");
    auto files = std::make_unique<FailingFiles>();
    files->refuseDeletion = true;
    m_backups->setFiles(std::move(files));
    m_now = m_now.addSecs(5);
    const Backups::Restore result = m_backups->restore(generation, load.table);
    QCOMPARE(result.error, QString());
    QCOMPARE(result.notDeleted, QStringList(QStringLiteral("「丙_C.txt」（使用中です）")));
}

void TestBackups::interruptedRestoreIsFinishedOrRolledBack_data()
{
    QTest::addColumn<bool>("restoringWhole");
    QTest::newRow("finished") << true;
    QTest::newRow("rolled back") << false;
}

void TestBackups::interruptedRestoreIsFinishedOrRolledBack()
{
    QFETCH(bool, restoringWhole);
    const CollectionStore::Load load = m_store->loadCollection();
    const QMap<QString, QByteArray> restoring = snapshot(*m_folder);
    QCOMPARE(m_backups->take(load.table, backup::Reason::Daily), QString());
    const QString target = newest();
    m_folder->writeBytes(QStringLiteral("甲.TXT"), "1,1,1\r\n");
    m_folder->writeBytes(QStringLiteral("丙_C.txt"), "new memo");
    QVERIFY(QFile::remove(m_folder->path() + QStringLiteral("/甲_C.txt")));
    const QMap<QString, QByteArray> present = snapshot(*m_folder);
    m_now = m_now.addSecs(1);
    QCOMPARE(m_backups->take(load.table, backup::Reason::BeforeRestore), QString());
    // Cut off after one file was put back and before the others.
    m_folder->writeBytes(QStringLiteral("甲.TXT"), "0,0,1\r\n");
    m_folder->writeBytes(Backup + u'/' + Backups::JournalName,
                         "戻す\t" + target.toUtf8() + "\n戻す前\t" + newest().toUtf8() + '\n');
    if (!restoringWhole)
        QVERIFY(QFile::remove(root() + u'/' + target + QStringLiteral("/目録")));

    Backups nextStart(*m_store);
    const QString message = nextStart.finishInterruptedRestore();
    QVERIFY(message.startsWith(QStringLiteral("前回、バックアップから戻している途中でプログラムが終わっていました。")));
    QVERIFY2(message.contains(restoringWhole ? QStringLiteral("最後まで済ませました")
                                             : QStringLiteral("戻す前の状態に戻しました")),
             qPrintable(message));
    QCOMPARE(snapshot(*m_folder), restoringWhole ? restoring : present);
    QVERIFY(!QFileInfo::exists(root() + QLatin1Char('/') + Backups::JournalName));
    QCOMPARE(nextStart.finishInterruptedRestore(), QString());
}

void TestBackups::dailyIsDueOncePerDay()
{
    const CollectionStore::Load load = m_store->loadCollection();
    QVERIFY(m_backups->dailyDue());
    QCOMPARE(m_backups->takeDaily(load.table), QString());
    QVERIFY(!m_backups->dailyDue());
    QCOMPARE(m_backups->takeDaily(load.table), QString());
    QCOMPARE(m_backups->list().size(), 1);

    // A later run on the same day learns from the disk that the day's generation exists.
    Backups nextRun(*m_store);
    nextRun.setClock([this] { return m_now.addSecs(3600); });
    QVERIFY(!nextRun.dailyDue());
    nextRun.setClock([this] { return m_now.addDays(1); });
    QVERIFY(nextRun.dailyDue());

    // A day whose generation could not be taken does not ask again at every change.
    m_folder->writeBytes(QStringLiteral("甲.TXT"), "changed");
    auto files = std::make_unique<FailingFiles>();
    files->failWrite = 1;
    nextRun.setFiles(std::move(files));
    QVERIFY(!nextRun.takeDaily(load.table).isEmpty());
    QVERIFY(!nextRun.dailyDue());
}

void TestBackups::dailyIsJudgedFromTheNewest()
{
    // One generation of an earlier day and one of today, in either order of their folder names.
    const CollectionStore::Load load = m_store->loadCollection();
    m_now = m_now.addDays(-3);
    QCOMPARE(m_backups->take(load.table, backup::Reason::Daily), QString());
    m_now = m_now.addDays(3);
    QCOMPARE(m_backups->take(load.table, backup::Reason::BeforeClear), QString());
    Backups freshStart(*m_store);
    freshStart.setClock([this] { return m_now.addSecs(60); });
    QVERIFY(!freshStart.dailyDue());
    QCOMPARE(freshStart.takeDaily(load.table), QString());
    QCOMPARE(freshStart.list().size(), 2);
}

void TestBackups::hashIsTheSha256OfTheBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("hash");
    QTest::newRow("nothing") << QByteArray()
                             << QByteArray("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    QTest::newRow("abc") << QByteArray("abc")
                         << QByteArray("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    QByteArray cover(300 * 1024 + 7, Qt::Uninitialized);
    for (qsizetype i = 0; i < cover.size(); ++i)
        cover[i] = char(i * 131 % 251);
    QTest::newRow("a cover's worth") << cover << QCryptographicHash::hash(cover, QCryptographicHash::Sha256).toHex();
}

void TestBackups::hashIsTheSha256OfTheBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, hash);
    QCOMPARE(manifest::hashOf(bytes), hash);
    // Hashed on many threads at once, the digests are the same.
    const QList<QByteArray> many(64, bytes);
    const QList<QByteArray> hashes =
        QtConcurrent::blockingMapped(many, [](const QByteArray& b) { return manifest::hashOf(b); });
    QCOMPARE(hashes, QList<QByteArray>(64, hash));
}

void TestBackups::longListReadsBackInOrder()
{
    // More entries than are written at a time, so that the runs' lines must come back in the list's order.
    manifest::Manifest list;
    list.sequence = 7;
    list.taken = QDateTime(QDate(2026, 12, 9), QTime(21, 5, 3));
    list.reason = QStringLiteral("daily");
    list.titleCount = 5000;
    list.packs = {QStringLiteral("束1"), QStringLiteral("束2")};
    for (int i = 0; i < 5000; ++i)
        list.files.append({QStringLiteral("題名%1\t名前 %2.txt").arg(i).arg(QChar(0x3042 + i % 80)), qint64(i) * 3,
                           manifest::hashOf(QByteArray::number(i)), i % 2, qint64(i) * 1000003});
    list.fileCount = int(list.files.size());
    const std::optional<manifest::Manifest> back = manifest::parse(manifest::format(list));
    QVERIFY(back);
    QCOMPARE(back->sequence, list.sequence);
    QCOMPARE(back->taken, list.taken);
    QCOMPARE(back->packs, list.packs);
    QCOMPARE(back->files.size(), list.files.size());
    for (qsizetype i = 0; i < list.files.size(); ++i) {
        const manifest::Entry& a = list.files[i];
        const manifest::Entry& b = back->files[i];
        QVERIFY2(a.name == b.name && a.size == b.size && a.hash == b.hash && a.pack == b.pack && a.offset == b.offset,
                 qPrintable(QStringLiteral("entry %1").arg(i)));
    }
}

QTEST_MAIN(TestBackups)
#include "tst_backups.moc"
