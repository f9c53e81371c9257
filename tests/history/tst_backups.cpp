// Backup generations: what one holds, that a restore gives back every byte, damage, pruning, the day's first
// generation, and failures that leave everything as it was.
#include "history/Backups.h"
#include "store/CollectionStore.h"
#include "support/TestFolder.h"

#include <QDir>
#include <QtTest>
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

QStringList generationFiles(const QString& root, const QString& generation)
{
    QStringList names = QDir(root + QLatin1Char('/') + generation).entryList(QDir::Files);
    names.removeAll(QStringLiteral("目録"));
    names.sort();
    return names;
}

// Fails the n-th share, or every link (a file system without links), or the n-th rename.
class FailingFiles final : public BackupFiles {
public:
    int failShare = 0;
    int failRename = 0;
    bool refuseLinks = false;
    int shares = 0;
    int renames = 0;

    bool link(const QString& from, const QString& to) override { return !refuseLinks && BackupFiles::link(from, to); }
    QString copy(const QString& from, const QString& to) override
    {
        if (++shares == failShare)
            return QStringLiteral("ディスクがいっぱいです");
        return BackupFiles::copy(from, to);
    }
    QString rename(const QString& from, const QString& to) override
    {
        if (++renames == failRename)
            return QStringLiteral("ディスクがいっぱいです");
        return BackupFiles::rename(from, to);
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
    void damagedGenerationIsFoundAndNotRestored_data();
    void damagedGenerationIsFoundAndNotRestored();
    void keepsTheNewestTwentyAndNothingElseGoes();
    void restoresTheOldestWithTwentyKept();
    void copiesWhereLinksAreRefused();
    void failedTakeLeavesNoTrace_data();
    void failedTakeLeavesNoTrace();
    void failedRestoreChangesNothing_data();
    void failedRestoreChangesNothing();
    void dailyIsDueOncePerDay();

private:
    // Three titles, their files, the program's files and files that belong to nobody.
    void fill();
    QString root() const { return m_folder->path() + QLatin1Char('/') + Backup; }

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
    QCOMPARE(generationFiles(root(), list[0].folderName),
             QStringList({"ab.txt", "データＰＲＯ.txt", "ランキング.txt", "丙.TXT", "甲.TXT", "甲.jpg", "甲_C.txt",
                          "設定.TXT"}));
    for (const QString& name : generationFiles(root(), list[0].folderName)) {
        QFile file(root() + QLatin1Char('/') + list[0].folderName + QLatin1Char('/') + name);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), m_folder->readBytes(name));
    }
    // Shared, not copied.
    struct stat info {};
    QCOMPARE(::stat(QFile::encodeName(m_folder->path() + QStringLiteral("/甲.TXT")).constData(), &info), 0);
    QCOMPARE(int(info.st_nlink), 2);
    QCOMPARE(list[0].rowText(), QStringLiteral("2026/12/08 09:30:00　コミックデータ全削除の前　題名 3 件"));
    QCOMPARE(m_backups->check(list[0].folderName), QString());
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
    QCOMPARE(snapshot(*m_folder), before);
    // The state before the restore can be returned to.
    const QList<Generation> list = m_backups->list();
    QCOMPARE(list.size(), 2);
    QCOMPARE(list[0].folderName, result.taken);
    QCOMPARE(list[0].reasonKey, QStringLiteral("restore"));
}

void TestBackups::damagedGenerationIsFoundAndNotRestored_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content"); // empty: the file is deleted
    QTest::addColumn<bool>("listed");        // the damage is seen from the list alone
    QTest::newRow("volume file missing") << QStringLiteral("丙.TXT") << QByteArray() << false;
    QTest::newRow("memo of another size") << QStringLiteral("甲_C.txt") << QByteArray("m") << false;
    QTest::newRow("manifest missing") << QStringLiteral("目録") << QByteArray() << true;
    QTest::newRow("manifest cut short") << QStringLiteral("目録") << QByteArray("タナミルＰｒｏ バックアップ 1\n日時")
                                        << true;
}

void TestBackups::damagedGenerationIsFoundAndNotRestored()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(bool, listed);
    const CollectionStore::Load load = m_store->loadCollection();
    QCOMPARE(m_backups->take(load.table, backup::Reason::Daily), QString());
    const QString generation = m_backups->list().constFirst().folderName;
    const QString path = root() + QLatin1Char('/') + generation + QLatin1Char('/') + file;
    // A damaged generation's file is replaced, not written in place: the data folder shares it.
    QVERIFY(QFile::remove(path));
    if (!content.isEmpty()) {
        QFile replaced(path);
        QVERIFY(replaced.open(QIODevice::WriteOnly));
        replaced.write(content);
    }
    QVERIFY(!m_backups->check(generation).isEmpty());
    QCOMPARE(m_backups->list().constFirst().rowText().contains(QStringLiteral("壊れています")), listed);

    m_store->writeCollection(TitleTable());
    const QMap<QString, QByteArray> before = snapshot(*m_folder);
    const Backups::Restore result = m_backups->restore(generation, TitleTable());
    QVERIFY(result.error.startsWith(QStringLiteral("このバックアップは壊れているため")));
    QCOMPARE(snapshot(*m_folder), before);
    QCOMPARE(m_backups->list().size(), 1);
}

void TestBackups::keepsTheNewestTwentyAndNothingElseGoes()
{
    const CollectionStore::Load load = m_store->loadCollection();
    QVERIFY(QDir(m_folder->path()).mkpath(Backup + QStringLiteral("/自分のフォルダ")));
    QVERIFY(QDir(m_folder->path()).mkpath(Backup + QStringLiteral("/20200101-000000x")));
    m_folder->writeBytes(Backup + QStringLiteral("/メモ.txt"), "mine");
    QStringList taken;
    for (int i = 0; i < Backups::Kept + 2; ++i) {
        // Two in the same second get numbered names that still sort in order.
        m_now = m_now.addSecs(i % 2 == 0 ? 0 : 1);
        QCOMPARE(m_backups->take(load.table, backup::Reason::Daily), QString());
        taken.prepend(m_backups->list().constFirst().folderName);
    }
    QStringList listed;
    for (const Generation& generation : m_backups->list())
        listed.append(generation.folderName);
    QCOMPARE(listed, taken.mid(0, Backups::Kept));
    QVERIFY(QFileInfo(root() + QStringLiteral("/自分のフォルダ")).isDir());
    QVERIFY(QFileInfo(root() + QStringLiteral("/20200101-000000x")).isDir());
    QVERIFY(QFileInfo(root() + QStringLiteral("/メモ.txt")).isFile());
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

void TestBackups::copiesWhereLinksAreRefused()
{
    auto files = std::make_unique<FailingFiles>();
    files->refuseLinks = true;
    m_backups->setFiles(std::move(files));
    const CollectionStore::Load load = m_store->loadCollection();
    QCOMPARE(m_backups->take(load.table, backup::Reason::Daily), QString());
    const QString generation = m_backups->list().constFirst().folderName;
    QCOMPARE(m_backups->check(generation), QString());
    struct stat info {};
    QCOMPARE(::stat(QFile::encodeName(m_folder->path() + QStringLiteral("/甲.TXT")).constData(), &info), 0);
    QCOMPARE(int(info.st_nlink), 1);

    const QMap<QString, QByteArray> before = snapshot(*m_folder);
    m_store->writeCollection(TitleTable());
    m_store->removeTitleFiles(QStringLiteral("甲"));
    QCOMPARE(m_backups->restore(generation, TitleTable()).error, QString());
    QCOMPARE(snapshot(*m_folder), before);
}

void TestBackups::failedTakeLeavesNoTrace_data()
{
    QTest::addColumn<int>("failShare");
    QTest::addColumn<int>("failRename");
    QTest::addColumn<bool>("earlier"); // a generation was taken before
    QTest::newRow("first file, first generation") << 1 << 0 << false;
    QTest::newRow("fourth file") << 4 << 0 << true;
    QTest::newRow("the manifest") << 0 << 0 << true;
    QTest::newRow("naming the generation") << 0 << 1 << true;
}

void TestBackups::failedTakeLeavesNoTrace()
{
    QFETCH(int, failShare);
    QFETCH(int, failRename);
    QFETCH(bool, earlier);
    const CollectionStore::Load load = m_store->loadCollection();
    if (earlier)
        QCOMPARE(m_backups->take(load.table, backup::Reason::Daily), QString());
    const QStringList generations = QDir(root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    const QMap<QString, QByteArray> before = snapshot(*m_folder);

    // Every file is copied, so that the shares can be counted; the manifest is the share after the last file.
    auto files = std::make_unique<FailingFiles>();
    files->refuseLinks = true;
    files->failShare = failShare;
    files->failRename = failRename;
    struct ManifestFails final : BackupFiles {
        QString writeNew(const QString&, const QByteArray&) override
        {
            return QStringLiteral("ディスクがいっぱいです");
        }
    };
    if (failShare == 0 && failRename == 0)
        m_backups->setFiles(std::make_unique<ManifestFails>());
    else
        m_backups->setFiles(std::move(files));

    m_now = m_now.addSecs(5);
    const QString error = m_backups->take(load.table, backup::Reason::BeforeClear);
    QVERIFY(error.startsWith(QStringLiteral("バックアップを作れませんでした。\n「")));
    QCOMPARE(snapshot(*m_folder), before);
    QCOMPARE(QDir(m_folder->path()).exists(Backup), earlier);
    if (earlier)
        QCOMPARE(QDir(root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), generations);
}

void TestBackups::failedRestoreChangesNothing_data()
{
    QTest::addColumn<int>("failShare");
    QTest::addColumn<int>("failRename");
    // Links refused: the pre-restore generation takes 8 shares and 1 rename, the restore then shares 8 files.
    QTest::newRow("putting a file beside its target") << 8 + 3 << 0;
    QTest::newRow("replacing the fifth file") << 0 << 1 + 5;
}

void TestBackups::failedRestoreChangesNothing()
{
    QFETCH(int, failShare);
    QFETCH(int, failRename);
    CollectionStore::Load load = m_store->loadCollection();
    QCOMPARE(m_backups->take(load.table, backup::Reason::BeforeClear), QString());
    const QString generation = m_backups->list().constFirst().folderName;
    QCOMPARE(m_store->writeCollection(TitleTable()), QString());
    for (const TitleRecord& record : load.table.records())
        m_store->removeTitleFiles(record.title);
    m_folder->writeBytes(QStringLiteral("ab.txt"), "changed since");
    const QMap<QString, QByteArray> before = snapshot(*m_folder);

    auto files = std::make_unique<FailingFiles>();
    files->refuseLinks = true;
    files->failShare = failShare;
    files->failRename = failRename;
    m_backups->setFiles(std::move(files));
    m_now = m_now.addSecs(5);
    load = m_store->loadCollection();
    const Backups::Restore result = m_backups->restore(generation, load.table);
    QVERIFY(result.error.startsWith(QStringLiteral("「")));
    QVERIFY(result.error.contains(QStringLiteral("を戻せませんでした")));
    QCOMPARE(snapshot(*m_folder), before);
    // The state before the attempt is kept as the newest generation.
    QCOMPARE(m_backups->list().size(), 2);
    QCOMPARE(m_backups->list().constFirst().folderName, result.taken);
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
    auto files = std::make_unique<FailingFiles>();
    files->refuseLinks = true;
    files->failShare = 1;
    nextRun.setFiles(std::move(files));
    QVERIFY(!nextRun.takeDaily(load.table).isEmpty());
    QVERIFY(!nextRun.dailyDue());
}

QTEST_GUILESS_MAIN(TestBackups)
#include "tst_backups.moc"
