// Files changed by another program: the collection, ranking and volume files are never rewritten over such a
// change; the write is refused with a message and the window is told to read the files again.
#include "store/CollectionStore.h"
#include "support/TestFolder.h"

#include <QTest>

namespace {

const QString Collection = QStringLiteral("データＰＲＯ.txt");
const QString Ranking = QStringLiteral("ランキング.txt");
const QString Volumes = QStringLiteral("甲.TXT");
const QString Memo = QStringLiteral("甲_C.TXT");
const QString Settings = QStringLiteral("設定.TXT");

QString line(const QString& title)
{
    return QStringLiteral("\"%1\",3,0,\"未登録\",\"未登録\",\"未\",\"2008/05/05\",\"2008/05/05\"\r\n").arg(title);
}

// Writes through the store the file the row is about; returns the store's answer.
QString writeThrough(CollectionStore& store, const QString& file)
{
    if (file == Collection) {
        TitleTable table;
        table.append({QStringLiteral("乙"), 3, 0, "a", "m", "未", "2008/05/05", "2008/05/05"});
        return store.writeCollection(table);
    }
    if (file == Ranking)
        return store.writeRanking({QStringLiteral("乙")});
    if (file == Memo)
        return store.writeMemo(QStringLiteral("甲"), QStringLiteral("このプログラムのメモ"));
    if (file == Settings)
        return store.writeHelpTour(1);
    VolumeStates states{};
    states[2] = 1;
    return store.writeVolumeFile(Volumes, states);
}

QString appendThrough(CollectionStore& store, const QString& file)
{
    if (file == Collection)
        return store.appendCollection({{QStringLiteral("乙"), 3, 0, "a", "m", "未", "2008/05/05", "2008/05/05"}});
    return store.appendRanking({QStringLiteral("乙")});
}

} // namespace

class TestOutsideChanges : public QObject {
    Q_OBJECT
private slots:
    void changedFileIsNotOverwritten_data();
    void changedFileIsNotOverwritten();
    void appendKeepsTheOutsideChange_data();
    void appendKeepsTheOutsideChange();
    void ownWritesAndUntouchedFilesGoThrough_data();
    void ownWritesAndUntouchedFilesGoThrough();
    void reloadedCollectionIsOwnOnlyUnchanged_data();
    void reloadedCollectionIsOwnOnlyUnchanged();
};

void TestOutsideChanges::changedFileIsNotOverwritten_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("outside");
    const QByteArray sameSize = TestFolder::cp932(line(QStringLiteral("丁")));
    QTest::newRow("collection, other size") << Collection << TestFolder::cp932(line(QStringLiteral("丁丁")));
    QTest::newRow("collection, same size") << Collection << sameSize;
    QTest::newRow("ranking, same size") << Ranking << TestFolder::cp932(QStringLiteral("\"丁\"\r\n"));
    QTest::newRow("volume file") << Volumes << QByteArray("1,1,1,1,1,1,1,1,1,1\r\n");
    QTest::newRow("file made while missing") << Ranking << QByteArray("\"x\"\r\n");
    QTest::newRow("memo, edited in another editor") << Memo << QByteArray("edited elsewhere\r\n");
    QTest::newRow("settings") << Settings << QByteArray("0\r\n1\r\n");
}

void TestOutsideChanges::changedFileIsNotOverwritten()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, outside);
    TestFolder folder;
    folder.writeText(Collection, line(QStringLiteral("甲")));
    if (QTest::currentDataTag() != QByteArray("file made while missing"))
        folder.writeText(Ranking, QStringLiteral("\"甲\"\r\n"));
    folder.writeText(Volumes, QStringLiteral("0,0,0,0,0,0,0,0,0,0\r\n"));
    folder.writeText(Memo, QStringLiteral("メモ\r\n"));
    folder.writeText(Settings, QStringLiteral("0\r\n"));
    CollectionStore store(folder.path());
    QStringList told;
    store.setOutsideChangeHandler([&told](const QString& name) { told.append(name); });
    store.loadCollection();
    store.readRanking();
    store.readVolumeFile(Volumes);
    store.readMemo(QStringLiteral("甲"));
    store.readHelpTour();

    folder.writeBytes(file, outside);
    const QString error = writeThrough(store, file);
    QVERIFY2(error.startsWith(
                 QStringLiteral("「%1」は、このプログラムが読み込んだ後に、ほかのプログラムによって変更されています")
                     .arg(file)),
             qPrintable(error));
    QCOMPARE(folder.readBytes(file), outside);
    QCOMPARE(told, QStringList{file});

    // Read again, the file is written as usual.
    store.loadCollection();
    store.readRanking();
    store.readVolumeFile(Volumes);
    store.readMemo(QStringLiteral("甲"));
    store.readHelpTour();
    QCOMPARE(writeThrough(store, file), QString());
    QVERIFY(folder.readBytes(file) != outside);
}

void TestOutsideChanges::appendKeepsTheOutsideChange_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("collection") << Collection;
    QTest::newRow("ranking") << Ranking;
}

void TestOutsideChanges::appendKeepsTheOutsideChange()
{
    QFETCH(QString, file);
    TestFolder folder;
    folder.writeText(Collection, line(QStringLiteral("甲")));
    CollectionStore store(folder.path());
    store.loadCollection();
    store.readRanking();
    const QByteArray outside = file == Collection ? TestFolder::cp932(line(QStringLiteral("丁"))) : "\"x\"\r\n";
    folder.writeBytes(file, outside);
    QCOMPARE(appendThrough(store, file), QString());
    QVERIFY(folder.readBytes(file).startsWith(outside));
    QVERIFY(folder.readBytes(file).size() > outside.size());
}

void TestOutsideChanges::ownWritesAndUntouchedFilesGoThrough_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("outside"); // "touched": a new time, the same bytes; "deleted": the file is gone
    QTest::newRow("collection written twice") << Collection << QString();
    QTest::newRow("ranking written twice") << Ranking << QString();
    QTest::newRow("volume file written twice") << Volumes << QString();
    QTest::newRow("collection touched") << Collection << QStringLiteral("touched");
    QTest::newRow("volume file deleted") << Volumes << QStringLiteral("deleted");
}

void TestOutsideChanges::ownWritesAndUntouchedFilesGoThrough()
{
    QFETCH(QString, file);
    QFETCH(QString, outside);
    TestFolder folder;
    folder.writeText(Collection, line(QStringLiteral("甲")));
    folder.writeText(Ranking, QStringLiteral("\"甲\"\r\n"));
    folder.writeText(Volumes, QStringLiteral("0,0,0,0,0,0,0,0,0,0\r\n"));
    CollectionStore store(folder.path());
    int told = 0;
    store.setOutsideChangeHandler([&told](const QString&) { ++told; });
    store.loadCollection();
    store.readRanking();
    store.readVolumeFile(Volumes);

    if (outside == u"touched") {
        QFile touched(folder.path() + QLatin1Char('/') + file);
        QVERIFY(touched.open(QIODevice::ReadWrite));
        QVERIFY(touched.setFileTime(QDateTime::currentDateTime().addDays(1), QFileDevice::FileModificationTime));
    } else if (outside == u"deleted") {
        QVERIFY(QFile::remove(folder.path() + QLatin1Char('/') + file));
    } else {
        QCOMPARE(writeThrough(store, file), QString());
    }
    QCOMPARE(writeThrough(store, file), QString());
    QCOMPARE(told, 0);
}

void TestOutsideChanges::reloadedCollectionIsOwnOnlyUnchanged_data()
{
    // How another program rewrote the file between the store's write and its reload: line ends LF (reads as the
    // same table), and the title renamed as well.
    QTest::addColumn<bool>("rewritten");
    QTest::addColumn<QString>("title");
    QTest::newRow("read back as written") << false << QString();
    QTest::newRow("line ends changed") << true << QString();
    QTest::newRow("same size, other bytes") << true << QStringLiteral("乙x");
}

// A change keeps the file's bytes to put back unless writing the table gives them; a reload of the store's own
// write needs no such copy, a reload of another program's bytes does.
void TestOutsideChanges::reloadedCollectionIsOwnOnlyUnchanged()
{
    QFETCH(bool, rewritten);
    QFETCH(QString, title);
    TestFolder folder;
    folder.writeText(Collection, line(QStringLiteral("甲")));
    CollectionStore store(folder.path());
    store.loadCollection();
    QCOMPARE(writeThrough(store, Collection), QString());
    QByteArray bytes = folder.readBytes(Collection);
    const qsizetype ownSize = bytes.size();
    if (rewritten) {
        bytes.replace("\r\n", "\n");
        if (!title.isEmpty()) {
            bytes.replace(TestFolder::cp932(QStringLiteral("乙")), TestFolder::cp932(title));
            QCOMPARE(bytes.size(), ownSize);
        }
        folder.writeBytes(Collection, bytes);
    }

    const CollectionStore::Load load = store.loadCollection();
    QCOMPARE(load.problem, QString());
    const std::optional<QByteArray> kept = store.collectionBytesUnlessOwn(load.table);
    if (rewritten)
        QCOMPARE(kept, std::optional<QByteArray>(bytes));
    else
        QVERIFY(!kept);
}

QTEST_GUILESS_MAIN(TestOutsideChanges)
#include "tst_outsidechanges.moc"
