// The user's data folder behind --user-folder: filled with the sample collection whenever it holds no
// collection file, left alone once it does, never taken as made while a copy is unfinished.
#include "app/UserFolder.h"
#include "store/AtomicFileWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList names(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

const QByteArray SampleCollection = "\"題名\",1,0\r\n";

} // namespace

class TestUserFolder : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void folderWithoutCollectionGetsTheSample_data();
    void folderWithoutCollectionGetsTheSample();
    void withoutSampleNothingIsMade_data();
    void withoutSampleNothingIsMade();
    void aFolderThatCannotBeMadeIsReported();
    void startNoticeSaysWhereItWorks_data();
    void startNoticeSaysWhereItWorks();

private:
    QString folder() const { return m_dir->filePath(QStringLiteral("home/.local/share/tanamiru")); }

    QTemporaryDir* m_dir = nullptr;
    QString m_sample;
    QString m_previous;
};

void TestUserFolder::init()
{
    m_previous = QDir::currentPath();
    m_dir = new QTemporaryDir;
    m_sample = m_dir->filePath(QStringLiteral("share/tanamiru/sample"));
    QDir().mkpath(m_sample);
    write(m_sample + QStringLiteral("/データＰＲＯ.txt"), SampleCollection);
    write(m_sample + QStringLiteral("/NOPIC.JPG"), "jpeg");
    write(m_sample + QStringLiteral("/題名.TXT"), "volumes");
    write(m_sample + QStringLiteral("/HondexHelp.chm"), "ITSF");
}

void TestUserFolder::cleanup()
{
    QDir::setCurrent(m_previous);
    delete m_dir;
}

void TestUserFolder::folderWithoutCollectionGetsTheSample_data()
{
    // Files in the folder before the start, as name -> content; "/" makes the folder only.
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QByteArray>("collection"); // the collection file afterwards

    const QStringList sample{"NOPIC.JPG", "データＰＲＯ.txt", "題名.TXT"}; // the help file stays with the program
    QTest::newRow("new folder") << QStringList{} << sample << SampleCollection;
    QTest::newRow("empty folder") << QStringList{"/"} << sample << SampleCollection;
    // An empty collection made by an earlier start is the user's, however it came about.
    QTest::newRow("empty collection is kept")
        << QStringList{"データＰＲＯ.txt="} << QStringList{"データＰＲＯ.txt"} << QByteArray();
    QTest::newRow("collection in another letter case is kept")
        << QStringList{"データｐｒｏ.TXT=mine"} << QStringList{"データｐｒｏ.TXT"} << QByteArray("<missing>");
    // Only other files (settings, a cover): the sample comes in beside them and never over them.
    QTest::newRow("other files are kept")
        << QStringList{"設定.txt=mine", "nopic.jpg=mine"}
        << QStringList{"nopic.jpg", "データＰＲＯ.txt", "設定.txt", "題名.TXT"} << SampleCollection;
    // What a first start killed while copying leaves: part of the sample and a staging file.
    QTest::newRow("interrupted first start is finished")
        << QStringList{"NOPIC.JPG=jpeg", AtomicFileWriter::StagingPrefix + "sample=cut"} << sample << SampleCollection;
}

void TestUserFolder::folderWithoutCollectionGetsTheSample()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    QFETCH(QByteArray, collection);
    for (const QString& entry : std::as_const(before)) {
        QVERIFY(QDir().mkpath(folder()));
        if (entry != u"/")
            write(folder() + QLatin1Char('/') + entry.section(u'=', 0, 0), entry.section(u'=', 1).toUtf8());
    }

    QCOMPARE(userfolder::enter(folder(), m_sample), QString());
    QCOMPARE(QDir::currentPath(), QDir(folder()).canonicalPath());
    QCOMPARE(names(folder()), after);
    QCOMPARE(read(folder() + QStringLiteral("/データＰＲＯ.txt")), collection);
    // What was there is unchanged; nothing is left beside the folder; the copies are the user's to change.
    for (const QString& entry : std::as_const(before))
        if (entry.contains(u'=') && !entry.startsWith(AtomicFileWriter::StagingPrefix))
            QCOMPARE(read(folder() + QLatin1Char('/') + entry.section(u'=', 0, 0)), entry.section(u'=', 1).toUtf8());
    QCOMPARE(names(m_dir->filePath(QStringLiteral("home/.local/share"))), QStringList{"tanamiru"});
    for (const QString& name : std::as_const(after))
        QVERIFY(QFileInfo(folder() + QLatin1Char('/') + name).isWritable());

    // A second start finds it as it was left, even with the sample gone.
    write(folder() + QStringLiteral("/設定.txt"), "\"ヘルプツアー\",0\r\n");
    QVERIFY(QDir(m_sample).removeRecursively());
    QCOMPARE(userfolder::enter(folder(), m_sample), QString());
    QCOMPARE(names(folder()).size(), after.size() + (after.contains("設定.txt") ? 0 : 1));
}

void TestUserFolder::withoutSampleNothingIsMade_data()
{
    QTest::addColumn<bool>("exists");
    QTest::newRow("no folder yet") << false;
    QTest::newRow("empty folder") << true;
}

void TestUserFolder::withoutSampleNothingIsMade()
{
    // A program run where no sample is installed must not leave a folder that a later start takes as made.
    QFETCH(bool, exists);
    if (exists)
        QVERIFY(QDir().mkpath(folder()));
    const QString nowhere = m_dir->filePath(QStringLiteral("nowhere"));
    const QString problem = userfolder::enter(folder(), nowhere);
    QVERIFY2(problem.contains(nowhere) && problem.contains(folder()), qPrintable(problem));
    QCOMPARE(QDir::currentPath(), m_previous);
    QCOMPARE(QFileInfo::exists(folder()), exists);
    if (exists)
        QCOMPARE(names(folder()), QStringList{});

    // The installed program, started later, fills it.
    QCOMPARE(userfolder::enter(folder(), m_sample), QString());
    QCOMPARE(read(folder() + QStringLiteral("/データＰＲＯ.txt")), SampleCollection);
}

void TestUserFolder::aFolderThatCannotBeMadeIsReported()
{
    const QString blocker = m_dir->filePath(QStringLiteral("file"));
    write(blocker, "not a folder");
    const QString folder = blocker + QStringLiteral("/tanamiru");
    const QString problem = userfolder::enter(folder, m_sample);
    QVERIFY(problem.contains(folder));
    QCOMPARE(QDir::currentPath(), m_previous);
}

void TestUserFolder::startNoticeSaysWhereItWorks_data()
{
    QTest::addColumn<QString>("collection"); // the collection file's name in the working folder, if any
    QTest::addColumn<bool>("inUserFolder");
    QTest::addColumn<bool>("told");
    QTest::newRow("no collection elsewhere") << QString() << false << true;
    QTest::newRow("a collection in another letter case") << "データｐｒｏ.TXT" << false << false;
    QTest::newRow("the user folder itself, before the sample is in") << QString() << true << false;
}

void TestUserFolder::startNoticeSaysWhereItWorks()
{
    QFETCH(QString, collection);
    QFETCH(bool, inUserFolder);
    QFETCH(bool, told);
    const QString working = inUserFolder ? folder() : m_dir->filePath(QStringLiteral("work"));
    QVERIFY(QDir().mkpath(working));
    if (!collection.isEmpty())
        write(working + QLatin1Char('/') + collection, SampleCollection);
    const QString notice = userfolder::startNotice(working, folder());
    if (!told) {
        QCOMPARE(notice, QString());
        return;
    }
    for (const QString& part : {working, folder(), QStringLiteral("tanamiru --user-folder")})
        QVERIFY2(notice.contains(part), qPrintable(notice));
}

QTEST_MAIN(TestUserFolder)
#include "tst_userfolder.moc"
