// A collection file that could not be read whole locks the collection: every command that would write from the
// titles read (and so cut off the rest) refuses before asking anything, says why in its own words, and leaves
// every file as it was.
#include "app/MainWindow.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFolder.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString CollectionName = QStringLiteral("データＰＲＯ.txt");
const QString RankingName = QStringLiteral("ランキング.txt");

QByteArray record(const char* title)
{
    return TestFolder::cp932(QStringLiteral("\"%1\",3,0,\"作者\",\"雑誌\",\"○\",\"2002/02/18\",\"2003/03/01\"\r\n")
                                 .arg(QString::fromUtf8(title)));
}

// Four titles; the third holds a byte code page 932 does not have, so only Ａ and Ｂ are read.
QByteArray damagedCollection()
{
    QByteArray third = record("Ｃ");
    third.insert(third.indexOf(',') - 1, '\x80');
    return record("Ａ") + record("Ｂ") + third + record("Ｄ");
}

QMap<QString, QByteArray> snapshot(const TestFolder& folder)
{
    QMap<QString, QByteArray> files;
    for (const QString& name : folder.files())
        files.insert(name, folder.readBytes(name));
    return files;
}

} // namespace

class TestLockedCollection : public QObject {
    Q_OBJECT
private slots:
    void commandsRefuse_data();
    void commandsRefuse();
};

void TestLockedCollection::commandsRefuse_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("ranking");
    QTest::addColumn<QString>("boxTitle");
    QTest::addColumn<QString>("ownWords");
    const QString favourites = QStringLiteral("\"Ｄ\"\r\n\"Ｃ\"\r\n\"Ｂ\"\r\n\"Ａ\"\r\n");
    QTest::newRow("saving the favourites") << QStringList{"cmdRank", "cmdRankHozon"} << favourites << "保存できません"
                                           << "ランキングの変更は保存できません";
    QTest::newRow("creating the favourites") << QStringList{"cmdRank"} << QString() << "ランキングデータ新規作成"
                                             << "ランキングデータは作成できません";
    QTest::newRow("the sort screen's order to the main order")
        << QStringList{"cmdIchiran", "cmdSortCng1"} << favourites << "保存できません"
        << "この順番はメインに反映できません";
    QTest::newRow("the display order") << QStringList{"cmdMaster", "cmdSortCng2"} << favourites << "保存できません"
                                       << "表示順位微調整リストの順番ではメインを並び替えられません";
    QTest::newRow("clearing") << QStringList{"cmdMaster", "cmdAllDel"} << favourites << "データ削除できません"
                              << "コミックデータは削除できません";
    QTest::newRow("importing the free edition")
        << QStringList{"cmdMaster", "cmdCmGetIn"} << favourites << "データ変換できません"
        << "タナミルのデータは受け取れません";
    QTest::newRow("adding a title") << QStringList{"cmdNew"} << favourites << "保存できません"
                                    << "コミックは追加できません";
}

void TestLockedCollection::commandsRefuse()
{
    QFETCH(QStringList, clicks);
    QFETCH(QString, ranking);
    QFETCH(QString, boxTitle);
    QFETCH(QString, ownWords);

    TestFolder folder;
    folder.writeBytes(CollectionName, damagedCollection());
    folder.writeText(RankingName, ranking);
    for (const char* title : {"Ａ", "Ｂ", "Ｃ", "Ｄ"}) {
        folder.writeText(QString::fromUtf8(title) + QStringLiteral(".TXT"), QStringLiteral("0,1\r\n"));
        folder.writeText(QString::fromUtf8(title) + QStringLiteral("_C.txt"), QStringLiteral("メモ\r\n"));
    }
    QTemporaryDir free;
    QFile data(free.filePath(QStringLiteral("データ.txt")));
    QVERIFY(data.open(QIODevice::WriteOnly) && data.write(TestFolder::cp932(QStringLiteral("\"新\",3,0\r\n"))) > 0);
    data.close();
    const QMap<QString, QByteArray> before = snapshot(folder);

    ScriptedDialogs dialogs;
    dialogs.expectMessage(QStringLiteral("データファイルの異常"));
    MainWindow window(dialogs);
    window.show();
    QVERIFY2(dialogs.done(), qPrintable(dialogs.problems()));
    const QString lockReason = window.state().store.lockRefusal();
    QVERIFY(!lockReason.isEmpty());
    QCOMPARE(window.state().titles.count(), 2);
    // The import's button follows the folder chosen.
    QVERIFY(window.findChild<QWidget*>(QStringLiteral("dirCom"))->setProperty("path", free.path()));

    dialogs.reset();
    dialogs.expectMessage(boxTitle);
    for (const QString& name : clicks)
        QTest::mouseClick(window.findChild<QPushButton*>(name), Qt::LeftButton);
    QVERIFY2(dialogs.done(), qPrintable(dialogs.problems()));
    const QString said = dialogs.messages().last().text;
    QVERIFY2(said.startsWith(ownWords), qPrintable(said));
    QVERIFY2(said.contains(lockReason), qPrintable(said));
    QCOMPARE(snapshot(folder), before);
    QVERIFY(window.isVisible());
}

QTEST_MAIN(TestLockedCollection)
#include "tst_lockedcollection.moc"
