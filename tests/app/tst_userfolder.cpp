// The user's data folder behind --user-folder: created and filled with the sample collection on first use,
// left alone afterwards, never half filled.
#include "app/UserFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList names(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

} // namespace

class TestUserFolder : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void firstUseFillsTheFolder_data();
    void firstUseFillsTheFolder();
    void aFolderThatCannotBeMadeIsReported();

private:
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
    write(m_sample + QStringLiteral("/データＰＲＯ.txt"), "\"題名\",1,0\r\n");
    write(m_sample + QStringLiteral("/NOPIC.JPG"), "jpeg");
    write(m_sample + QStringLiteral("/HondexHelp.chm"), "ITSF");
}

void TestUserFolder::cleanup()
{
    QDir::setCurrent(m_previous);
    delete m_dir;
}

void TestUserFolder::firstUseFillsTheFolder_data()
{
    QTest::addColumn<QString>("before"); // "none", "empty", "used"
    QTest::addColumn<bool>("withSample");
    QTest::addColumn<QStringList>("after");
    const QStringList sample{"NOPIC.JPG", "データＰＲＯ.txt"}; // the help file stays with the program
    QTest::newRow("new folder gets the sample") << "none" << true << sample;
    QTest::newRow("empty folder gets the sample") << "empty" << true << sample;
    QTest::newRow("used folder is left alone") << "used" << true << QStringList{"データＰＲＯ.txt"};
    QTest::newRow("no sample installed: empty collection") << "none" << false << QStringList{};
}

void TestUserFolder::firstUseFillsTheFolder()
{
    QFETCH(QString, before);
    QFETCH(bool, withSample);
    QFETCH(QStringList, after);
    const QString folder = m_dir->filePath(QStringLiteral("home/.local/share/tanamiru"));
    if (before != QLatin1String("none"))
        QVERIFY(QDir().mkpath(folder));
    if (before == QLatin1String("used"))
        write(folder + QStringLiteral("/データＰＲＯ.txt"), "");
    const QString sample = withSample ? m_sample : m_dir->filePath(QStringLiteral("nowhere"));

    QCOMPARE(userfolder::enter(folder, sample), QString());
    QCOMPARE(QDir::currentPath(), QDir(folder).canonicalPath());
    QCOMPARE(names(folder), after);
    if (before == QLatin1String("used"))
        QCOMPARE(QFileInfo(folder + QStringLiteral("/データＰＲＯ.txt")).size(), 0);
    // Nothing is left beside it, and the copies are the user's to change.
    QCOMPARE(names(m_dir->filePath(QStringLiteral("home/.local/share"))), QStringList{"tanamiru"});
    for (const QString& name : after)
        QVERIFY(QFileInfo(folder + QLatin1Char('/') + name).isWritable());

    // A second start finds it as it was left.
    write(folder + QStringLiteral("/設定.txt"), "\"ヘルプツアー\",0\r\n");
    QCOMPARE(userfolder::enter(folder, sample), QString());
    QCOMPARE(names(folder).size(), after.size() + 1);
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

QTEST_MAIN(TestUserFolder)
#include "tst_userfolder.moc"
