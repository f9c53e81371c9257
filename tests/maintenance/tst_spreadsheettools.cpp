// The spreadsheet buttons of the maintenance panel: the file is chosen through the dialogs, the import asks one
// question that counts the titles and names the refused rows before anything is written, and a locked collection
// is never added to.
#include "MaintenanceFixture.h"
#include "maintenance/DisplayOrderModel.h"
#include "maintenance/widgets/SpreadsheetTools.h"

#include <QPushButton>

using namespace mainttest;

namespace {

const QString ImportTitle = QStringLiteral("表計算から取り込む");
const QString ExportTitle = QStringLiteral("表計算用に書き出す");
const QString Refused = QStringLiteral("取り込めません");

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestSpreadsheetTools final : public QObject {
    Q_OBJECT
private slots:
    void importAsksOnceBeforeWriting_data();
    void importAsksOnceBeforeWriting();
    void lockedCollectionRefusesTheImport();
    void cancelledFileDialogsDoNothing();
    void exportWritesTheChosenFile();
};

void TestSpreadsheetTools::importAsksOnceBeforeWriting_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("OK adds the accepted rows") << int(Dialogs::Ok);
    QTest::newRow("Cancel changes nothing") << int(Dialogs::Cancel);
}

void TestSpreadsheetTools::importAsksOnceBeforeWriting()
{
    QFETCH(int, answer);
    Fixture f;
    f.start(line(QStringLiteral("甲"), 3, 0));
    const QString csv = f.folder.path() + QStringLiteral("/表.csv");
    writeFile(csv, QStringLiteral("題名,巻数,所持\r\n乙,4,1-2\r\n甲,2,\r\n丙,1,5\r\n").toUtf8());
    const QStringList before = f.folder.files();
    const QByteArray collectionBefore = f.folder.readBytes(CollectionName);

    f.dialogs.expectOpenFile(ImportTitle, csv).expectMessage(ImportTitle, answer);
    QTest::mouseClick(f.child<QPushButton>("cmdCsvImport"), Qt::LeftButton);
    f.checkDialogs();
    QCOMPARE(f.dialogs.messages().first().text,
             QStringLiteral("1件のコミックを追加します。\r\n\r\n次の2行は取り込みません。\r\n"
                            "3行目: 「甲」は既に登録されています。\r\n"
                            "4行目: 所持：「5」の巻は1から1までで書いて下さい。\r\n\r\nよろしいですか？"));
    QCOMPARE(f.dialogs.messages().first().style, Dialogs::OkCancel + Dialogs::Question);

    if (answer == Dialogs::Cancel) {
        QCOMPARE(f.folder.files(), before);
        QCOMPARE(f.folder.readBytes(CollectionName), collectionBefore);
        QCOMPARE(f.host->loads, 0);
        return;
    }
    QCOMPARE(f.folder.readBytes(CollectionName),
             collectionBefore + TestFolder::cp932(QStringLiteral(
                                    "\"乙\",4,0,\"未登録\",\"未登録\",\"未\",\"2008/05/05\",\"2008/05/05\"\r\n")));
    QVERIFY(f.folder.readBytes(QStringLiteral("乙.TXT")).startsWith("0,0,1,1,0,"));
    QCOMPARE(f.state->titles.count(), 2);
    QCOMPARE(f.panel->orderModel().entries().size(), 2);
    QVERIFY(f.state->stale.StatusGridStale && f.state->stale.SortListStale);
    QVERIFY(f.state->favourites.contains(QStringLiteral("乙")));
}

void TestSpreadsheetTools::lockedCollectionRefusesTheImport()
{
    Fixture f;
    f.start(line(QStringLiteral("甲"), 3, 0) + QStringLiteral("\"乙\",3\r\n"));
    QVERIFY(f.state->store.collectionLocked());
    const QByteArray before = f.folder.readBytes(CollectionName);
    f.dialogs.expectMessage(Refused);
    QTest::mouseClick(f.child<QPushButton>("cmdCsvImport"), Qt::LeftButton);
    f.checkDialogs();
    QCOMPARE(f.folder.readBytes(CollectionName), before);
}

void TestSpreadsheetTools::cancelledFileDialogsDoNothing()
{
    Fixture f;
    f.start(line(QStringLiteral("甲"), 3, 0));
    const QStringList before = f.folder.files();
    f.dialogs.expectOpenFile(ImportTitle, QString()).expectSaveFile(ExportTitle, QString());
    QTest::mouseClick(f.child<QPushButton>("cmdCsvImport"), Qt::LeftButton);
    QTest::mouseClick(f.child<QPushButton>("cmdCsvExport"), Qt::LeftButton);
    f.checkDialogs();
    QCOMPARE(f.folder.files(), before);
}

void TestSpreadsheetTools::exportWritesTheChosenFile()
{
    Fixture f;
    f.start(line(QStringLiteral("甲"), 3, 0));
    const QString csv = f.folder.path() + QStringLiteral("/外/一覧.csv");
    QDir().mkpath(f.folder.path() + QStringLiteral("/外"));
    f.dialogs.expectSaveFile(ExportTitle, csv).expectMessage(ExportTitle);
    QTest::mouseClick(f.child<QPushButton>("cmdCsvExport"), Qt::LeftButton);
    f.checkDialogs();
    QCOMPARE(f.dialogs.fileBoxes().first().suggestedName, QStringLiteral("コミック一覧.csv"));
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()).section(QStringLiteral("\r\n"), 1, 1),
             QStringLiteral("甲,3,1,未登録,誌甲,○,2008/05/05,2009/01/03,1～3,,,"));
}

QTEST_MAIN(TestSpreadsheetTools)
#include "tst_spreadsheettools.moc"
