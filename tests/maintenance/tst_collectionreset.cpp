// Clearing the collection from the maintenance panel: the question, what is deleted and what is kept, the files
// left empty, the end of the program, and a next start on an empty collection.
#include "MaintenanceFixture.h"
#include "app/MainWindow.h"

#include <QLabel>
#include <QPushButton>

using namespace mainttest;

namespace {

const QString QuestionTitle = QStringLiteral("コミック全データ削除確認");
const QString ClosingTitle = QStringLiteral("データ削除");

// Two titles in the table, with files in several letter-case spellings, and files the reset must keep.
void writeFolder(Fixture& f, const QString& work)
{
    const auto put = [&](const char* name) { Fixture::writeTo(work, QString::fromUtf8(name), "x"); };
    for (const char* name :
         {"甲.TXT", "甲.txt", "甲_C.txt", "甲.jpg", "甲.JPG", "甲.gif", "甲.bmp", "Ab.TXT", "aB.txt", "ab_c.TXT",
          "AB.Gif", "NOPIC.JPG", "設定.txt", "ランキング.txt", "丙.TXT", "丙.jpg", "甲乙.TXT", "NOPIC.TXT"})
        put(name);
    Q_UNUSED(f);
}

} // namespace

class TestCollectionReset : public QObject {
    Q_OBJECT
private slots:
    void notYesChangesNothing_data();
    void notYesChangesNothing();
    void yesDeletesTheTitlesFilesAndEnds();
    void nextStartIsEmpty();
    void failedEmptyingDeletesNothing_data();
    void failedEmptyingDeletesNothing();
};

void TestCollectionReset::notYesChangesNothing_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("No") << int(Dialogs::No);
    QTest::newRow("closed (Enter takes the default No)") << int(Dialogs::Cancel);
}

void TestCollectionReset::notYesChangesNothing()
{
    QFETCH(int, answer);
    Fixture f;
    f.start(line("甲", 3, 0) + line("Ab", 4, 0));
    writeFolder(f, f.folder.path());
    const QStringList files = f.folder.files();
    const QByteArray collection = f.folder.readBytes(CollectionName);
    f.panel->cmdMaster_Click();
    f.dialogs.expectMessage(QuestionTitle, answer);
    QTest::mouseClick(f.child<QPushButton>("cmdAllDel"), Qt::LeftButton);
    f.checkDialogs();
    QCOMPARE(f.dialogs.messages().first().style, 292);
    QCOMPARE(f.dialogs.messages().first().text,
             QStringLiteral("現在登録されているコミックデータを全てクリアしますか？"));
    QCOMPARE(f.folder.files(), files);
    QCOMPARE(f.folder.readBytes(CollectionName), collection);
    QCOMPARE(f.host->ends, 0);
    QVERIFY(f.panel->isVisible());
}

void TestCollectionReset::yesDeletesTheTitlesFilesAndEnds()
{
    Fixture f;
    // "NOPIC" and "設定" would own the placeholder picture and the settings file; "../丙" names files outside the
    // working folder.
    f.start(line("甲", 3, 0) + line("Ab", 4, 0) + line("NOPIC", 5, 0) + line("設定", 6, 0) + line("../丙", 7, 0), false,
            QStringLiteral("work"));
    const QString work = f.folder.path() + QStringLiteral("/work");
    writeFolder(f, work);
    Fixture::writeTo(f.folder.path(), QStringLiteral("丙.TXT"), "outside");
    f.panel->cmdMaster_Click();
    f.dialogs.expectMessage(QuestionTitle, Dialogs::Yes).expectMessage(ClosingTitle);
    f.panel->cmdAllDel_Click();
    f.checkDialogs();
    QCOMPARE(f.dialogs.messages().last().style, 64);
    QCOMPARE(f.dialogs.messages().last().text, QStringLiteral("一旦プログラムを終了しますので再起動してください。"));
    QCOMPARE(f.host->ends, 1);
    QVERIFY(!f.panel->isVisible());

    QStringList left = QDir(work).entryList(QDir::Files);
    QStringList kept = {"NOPIC.JPG", "丙.TXT", "丙.jpg", "甲乙.TXT", "設定.txt", CollectionName, RankingName};
    left.sort();
    kept.sort();
    QCOMPARE(left, kept);
    QCOMPARE(QFileInfo(work + QLatin1Char('/') + CollectionName).size(), 0);
    QCOMPARE(QFileInfo(work + QLatin1Char('/') + RankingName).size(), 0);
    QCOMPARE(f.folder.readBytes(QStringLiteral("丙.TXT")), QByteArray("outside"));
    // NOPIC.TXT was "NOPIC"'s volume file and went with it; only the placeholder picture is the program's.
    QVERIFY(!left.contains(QStringLiteral("NOPIC.TXT")));
}

void TestCollectionReset::nextStartIsEmpty()
{
    Fixture f;
    f.start(line("甲", 3, 0) + line("乙", 4, 0));
    f.folder.writeText(RankingName, QStringLiteral("\"乙\"\r\n\"甲\"\r\n"));
    f.dialogs.expectMessage(QuestionTitle, Dialogs::Yes).expectMessage(ClosingTitle);
    f.panel->cmdAllDel_Click();
    f.checkDialogs();
    f.panel.reset();

    ScriptedDialogs dialogs;
    MainWindow window(dialogs);
    window.show();
    QVERIFY2(dialogs.done(), qPrintable(dialogs.problems()));
    QCOMPARE(window.findChild<QLabel*>(QStringLiteral("lblKensu"))->text(), QStringLiteral("0 / 0"));
    QCOMPARE(window.state().favourites.size(), 0);
}

void TestCollectionReset::failedEmptyingDeletesNothing_data()
{
    // Only the named file fails: a disk that fails every write would also fail the ranking file and hide a
    // reset that goes on past a collection file it could not empty.
    QTest::addColumn<QString>("failing");
    QTest::newRow("collection file") << CollectionName;
    QTest::newRow("ranking file") << RankingName;
}

void TestCollectionReset::failedEmptyingDeletesNothing()
{
    QFETCH(QString, failing);
    Fixture f;
    f.start(line("甲", 3, 0) + line("Ab", 4, 0));
    writeFolder(f, f.folder.path());
    const QStringList files = f.folder.files();
    const QByteArray collection = f.folder.readBytes(CollectionName);
    const QByteArray ranking = f.folder.readBytes(RankingName);
    f.state->store.folder().setWriter(std::make_unique<FailingWriter>(failing));
    f.panel->cmdMaster_Click();
    f.dialogs.expectMessage(QuestionTitle, Dialogs::Yes).expectMessage(QStringLiteral("データ削除できません"));
    f.panel->cmdAllDel_Click();
    f.checkDialogs();
    const QString said = f.dialogs.messages().last().text;
    QVERIFY2(said.contains(failing), qPrintable(said));
    QCOMPARE(f.folder.files(), files); // every title's files are still there
    QCOMPARE(f.folder.readBytes(CollectionName), collection);
    QCOMPARE(f.folder.readBytes(RankingName), ranking);
    QCOMPARE(f.host->ends, 0);
    QVERIFY(f.panel->isVisible());
    QCOMPARE(f.state->titles.count(), 2);
}

QTEST_MAIN(TestCollectionReset)
#include "tst_collectionreset.moc"
