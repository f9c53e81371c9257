// A spreadsheet import is one undo step taken after a backup generation: undoing puts every file of the folder
// back byte for byte, redoing writes the import again, and an undo whose write fails keeps the step and the files.
#include "MaintenanceFixture.h"

#include <QMap>
#include <QPushButton>

using namespace mainttest;

namespace {

const QString ImportTitle = QStringLiteral("表計算から取り込む");

// Every file of the working folder (not the backup folder) with its bytes.
QMap<QString, QByteArray> snapshot(const QString& dir)
{
    QMap<QString, QByteArray> files;
    const QDir folder(dir);
    for (const QString& name : folder.entryList(QDir::Files)) {
        QFile file(folder.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            files.insert(name, file.readAll());
    }
    return files;
}

class RefusingBackup final : public BackupFiles {
public:
    QString writeNew(const QString&, const QByteArray&) override { return QStringLiteral("書き込めません"); }
};

// A collection with a ranking, a volume file and a memo left behind by a deleted title that the import
// replaces, and a spreadsheet of three rows (one of them split in two records).
void prepare(Fixture& f, QString* csv)
{
    f.start(line(QStringLiteral("甲"), 3, 0));
    Fixture::writeTo(f.folder.path(), RankingName, TestFolder::cp932(QStringLiteral("甲\r\n")));
    Fixture::writeTo(f.folder.path(), QStringLiteral("乙.TXT"), QByteArray("1,1,1\r\n"));
    Fixture::writeTo(f.folder.path(), QStringLiteral("乙_C.txt"), TestFolder::cp932(QStringLiteral("古いメモ")));
    *csv = f.folder.path() + QStringLiteral("/表.csv");
    Fixture::writeTo(f.folder.path(), QStringLiteral("表.csv"),
                     QStringLiteral("題名,巻数,所持,メモ\r\n乙,4,1-2,読みかけ\r\n丙,2,,\r\n丁,60,1-55,\r\n").toUtf8());
}

void importThroughPanel(Fixture& f, const QString& csv)
{
    f.dialogs.expectOpenFile(ImportTitle, csv).expectMessage(ImportTitle, Dialogs::Ok);
    QTest::mouseClick(f.child<QPushButton>("cmdCsvImport"), Qt::LeftButton);
    f.checkDialogs();
}

} // namespace

class TestSpreadsheetUndo final : public QObject {
    Q_OBJECT
private slots:
    void undoAndRedoRestoreEveryFile();
    void failedUndoKeepsStepAndFiles_data();
    void failedUndoKeepsStepAndFiles();
    void noBackupNoImport();
};

void TestSpreadsheetUndo::undoAndRedoRestoreEveryFile()
{
    Fixture f;
    QString csv;
    prepare(f, &csv);
    const QMap<QString, QByteArray> before = snapshot(f.folder.path());
    const QStringList favouritesBefore = f.state->favourites;

    importThroughPanel(f, csv);
    const QMap<QString, QByteArray> after = snapshot(f.folder.path());
    QVERIFY(after != before);
    QCOMPARE(f.state->titles.count(), 5);
    QCOMPARE(f.state->backups.list().constFirst().reasonKey, QStringLiteral("spreadsheet"));
    QCOMPARE(f.state->history.stack().count(), 1);
    QCOMPARE(f.state->history.undoText(), QStringLiteral("元に戻す：表計算からの取り込み（3 件）"));

    QVERIFY(f.state->history.undo().error.isEmpty());
    QCOMPARE(snapshot(f.folder.path()), before);
    QCOMPARE(f.state->titles.count(), 1);
    QCOMPARE(f.state->favourites, favouritesBefore);

    QVERIFY(f.state->history.redo().error.isEmpty());
    QCOMPARE(snapshot(f.folder.path()), after);
    QCOMPARE(f.state->titles.count(), 5);
    QVERIFY(f.state->history.undo().error.isEmpty());
    QCOMPARE(snapshot(f.folder.path()), before);
}

void TestSpreadsheetUndo::failedUndoKeepsStepAndFiles_data()
{
    QTest::addColumn<QString>("failing");
    QTest::newRow("every write") << QString();
    QTest::newRow("the collection file") << CollectionName;
    QTest::newRow("the ranking file") << RankingName;
    QTest::newRow("a replaced memo") << QStringLiteral("乙_C.txt");
}

void TestSpreadsheetUndo::failedUndoKeepsStepAndFiles()
{
    QFETCH(QString, failing);
    Fixture f;
    QString csv;
    prepare(f, &csv);
    const QMap<QString, QByteArray> before = snapshot(f.folder.path());
    importThroughPanel(f, csv);
    const QMap<QString, QByteArray> after = snapshot(f.folder.path());

    f.state->store.folder().setWriter(std::make_unique<FailingWriter>(failing));
    QVERIFY(!f.state->history.undo().error.isEmpty());
    QCOMPARE(snapshot(f.folder.path()), after);
    QVERIFY(f.state->history.canUndo());
    QCOMPARE(f.state->titles.count(), 5);

    f.state->store.folder().setWriter(nullptr);
    QVERIFY(f.state->history.undo().error.isEmpty());
    QCOMPARE(snapshot(f.folder.path()), before);
}

void TestSpreadsheetUndo::noBackupNoImport()
{
    Fixture f;
    QString csv;
    prepare(f, &csv);
    const QMap<QString, QByteArray> before = snapshot(f.folder.path());
    f.state->backups.setFiles(std::make_unique<RefusingBackup>());
    f.dialogs.expectOpenFile(ImportTitle, csv)
        .expectMessage(ImportTitle, Dialogs::Ok)
        .expectMessage(QStringLiteral("バックアップできません"));
    QTest::mouseClick(f.child<QPushButton>("cmdCsvImport"), Qt::LeftButton);
    f.checkDialogs();
    QCOMPARE(snapshot(f.folder.path()), before);
    QCOMPARE(f.state->titles.count(), 1);
    QVERIFY(!f.state->history.canUndo());
}

QTEST_MAIN(TestSpreadsheetUndo)
#include "tst_spreadsheetundo.moc"
