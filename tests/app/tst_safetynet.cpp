// The safety net inside the real window: a change made by another program survives an edit, the day's first
// change is backed up, and a cleared collection comes back byte for byte from the maintenance panel's list.
#include "app/MainWindow.h"
#include "history/Backups.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFolder.h"
#include "ui/MainPage.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

namespace {

const QString CollectionName = QStringLiteral("データＰＲＯ.txt");

QString line(const QString& title, int count, const QString& rating = QStringLiteral("○"))
{
    return QStringLiteral("\"%1\",%2,0,\"作者\",\"雑誌\",\"%3\",\"2002/02/18\",\"2003/03/01\"\r\n")
        .arg(title)
        .arg(count)
        .arg(rating);
}

QMap<QString, QByteArray> snapshot(const TestFolder& folder)
{
    QMap<QString, QByteArray> files;
    for (const QString& name : folder.files())
        files.insert(name, folder.readBytes(name));
    return files;
}

struct Window {
    Window()
    {
        folder.writeText(CollectionName, line(QStringLiteral("甲"), 3) + line(QStringLiteral("乙"), 5));
        folder.writeText(QStringLiteral("ランキング.txt"), QStringLiteral("\"乙\"\r\n\"甲\"\r\n"));
        folder.writeText(QStringLiteral("甲.TXT"), QStringLiteral("0,1,0,0,0,0,0,0,0,0\r\n"));
        folder.writeBytes(QStringLiteral("乙.jpg"), "not really a picture");
        folder.writeText(QStringLiteral("乙_C.txt"), QStringLiteral("メモ\r\n"));
        start();
    }
    void start()
    {
        window = std::make_unique<MainWindow>(dialogs);
        window->show();
    }
    template <typename T> T* get(const QString& name) { return window->findChild<T*>(name); }
    void click(const QString& name) { QTest::mouseClick(get<QPushButton>(name), Qt::LeftButton); }
    void chooseRating(const QString& rating)
    {
        auto* box = get<QComboBox>(QStringLiteral("cboHyouka"));
        box->setCurrentIndex(box->findText(rating));
        emit box->activated(box->currentIndex());
    }
    QStringList backupRows()
    {
        QStringList rows;
        const QAbstractItemModel* model = get<QAbstractItemView>(QStringLiteral("lstBackup"))->model();
        for (int r = 0; r < model->rowCount(); ++r)
            rows.append(model->index(r, 0).data().toString());
        return rows;
    }

    TestFolder folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;
};

} // namespace

class TestSafetyNet : public QObject {
    Q_OBJECT
private slots:
    void outsideChangeSurvivesAnEdit();
    void firstChangeOfTheDayIsBackedUp();
    void clearedCollectionComesBack();
    void damagedGenerationIsShownAndRefused();
    void clearingStopsWhenNoBackupCanBeTaken();
    void restoreCutOffIsFinishedAtTheNextStart();
};

void TestSafetyNet::outsideChangeSurvivesAnEdit()
{
    Window w;
    const QByteArray outside = TestFolder::cp932(line(QStringLiteral("甲"), 3) + line(QStringLiteral("乙"), 5) +
                                                 line(QStringLiteral("丙"), 7, QStringLiteral("△")));
    w.folder.writeBytes(CollectionName, outside);

    w.dialogs.expectMessage(QStringLiteral("保存できません"));
    w.chooseRating(QStringLiteral("◎"));
    QVERIFY2(w.dialogs.done(), qPrintable(w.dialogs.problems()));
    QVERIFY(
        w.dialogs.messages().constFirst().text.contains(QStringLiteral("ほかのプログラムによって変更されています")));
    QCOMPARE(w.folder.readBytes(CollectionName), outside);
    // The table is read again: the title added outside is there, the refused rating is not.
    QTRY_COMPARE(w.window->state().titles.count(), 3);
    QCOMPARE(w.window->state().titles.at(1).rating, QStringLiteral("○"));
    QCOMPARE(w.get<QComboBox>(QStringLiteral("cboHyouka"))->currentText(), QStringLiteral("○"));

    // Read again, the same edit is saved.
    w.chooseRating(QStringLiteral("◎"));
    QVERIFY(w.dialogs.done());
    QCOMPARE(w.window->state().titles.at(1).rating, QStringLiteral("◎"));
    QVERIFY(w.folder.readBytes(CollectionName).contains(TestFolder::cp932(QStringLiteral("\"丙\""))));
}

void TestSafetyNet::firstChangeOfTheDayIsBackedUp()
{
    Window w;
    const QByteArray before = w.folder.readBytes(CollectionName);
    w.chooseRating(QStringLiteral("◎"));
    w.chooseRating(QStringLiteral("△"));
    QVERIFY(w.dialogs.done());
    const QList<Generation> list = w.window->state().backups.list();
    QCOMPARE(list.size(), 1);
    QCOMPARE(list[0].reasonKey, QStringLiteral("daily"));
    QCOMPARE(w.window->state().backups.fileOf(list[0].folderName, CollectionName), before);
}

void TestSafetyNet::clearedCollectionComesBack()
{
    Window w;
    const QMap<QString, QByteArray> before = snapshot(w.folder);
    w.click(QStringLiteral("cmdMaster"));
    w.dialogs.expectMessage(QStringLiteral("コミック全データ削除確認"), Dialogs::Yes)
        .expectMessage(QStringLiteral("データ削除"));
    w.click(QStringLiteral("cmdAllDel"));
    QVERIFY(w.dialogs.done());
    QVERIFY(snapshot(w.folder) != before);

    // The next start, on the empty collection.
    w.window.reset();
    w.dialogs.reset();
    w.start();
    QCOMPARE(w.window->state().titles.count(), 0);
    w.click(QStringLiteral("cmdMaster"));
    const QStringList rows = w.backupRows();
    QCOMPARE(rows.size(), 1);
    QVERIFY(QRegularExpression(
                QStringLiteral("^\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d　コミックデータ全削除の前　題名 2 件$"))
                .match(rows[0])
                .hasMatch());
    w.dialogs.expectMessage(QStringLiteral("バックアップから戻す確認"), Dialogs::Ok)
        .expectMessage(QStringLiteral("バックアップから戻しました"));
    w.click(QStringLiteral("cmdRestore"));
    QVERIFY2(w.dialogs.done(), qPrintable(w.dialogs.problems()));
    QCOMPARE(snapshot(w.folder), before);
    QCOMPARE(w.window->state().titles.count(), 2);
    QCOMPARE(w.window->mainPage()->currentIndex(), 1);
    QCOMPARE(w.get<QComboBox>(QStringLiteral("cboName"))->currentText(), QStringLiteral("甲"));
    QVERIFY(w.window->state().stale.SortListStale && w.window->state().stale.StatusGridStale);
    // The state before the restore is the newest row now.
    QVERIFY(w.backupRows().constFirst().contains(QStringLiteral("バックアップから戻す前　題名 0 件")));
    QVERIFY(w.window->isVisible());
}

void TestSafetyNet::damagedGenerationIsShownAndRefused()
{
    Window w;
    w.chooseRating(QStringLiteral("◎"));
    // The memo's bytes in the pack changed in place.
    QFile pack(w.window->state().backups.folderPath() + QStringLiteral("/内容/束-1"));
    QVERIFY(pack.open(QIODevice::ReadWrite));
    const QByteArray bytes = pack.readAll();
    const qsizetype at = bytes.indexOf(TestFolder::cp932(QStringLiteral("メモ")));
    QVERIFY(at >= 0);
    pack.seek(at);
    pack.write(TestFolder::cp932(QStringLiteral("メト")));
    pack.close();
    const QMap<QString, QByteArray> before = snapshot(w.folder);
    w.click(QStringLiteral("cmdMaster"));
    QTRY_VERIFY(
        w.backupRows().constFirst().contains(QStringLiteral("［壊れています：「乙_C.txt」の中身が記録と違います］")));
    w.dialogs.expectMessage(QStringLiteral("バックアップから戻せません"));
    w.click(QStringLiteral("cmdRestore"));
    QVERIFY(w.dialogs.done());
    QCOMPARE(snapshot(w.folder), before);
}

void TestSafetyNet::clearingStopsWhenNoBackupCanBeTaken()
{
    Window w;
    struct Full final : BackupFiles {
        QString writeNew(const QString&, const QByteArray&) override
        {
            return QStringLiteral("ディスクがいっぱいです");
        }
    };
    w.window->state().backups.setFiles(std::make_unique<Full>());
    const QMap<QString, QByteArray> before = snapshot(w.folder);
    w.click(QStringLiteral("cmdMaster"));
    w.dialogs.expectMessage(QStringLiteral("コミック全データ削除確認"), Dialogs::Yes)
        .expectMessage(QStringLiteral("バックアップできません"));
    w.click(QStringLiteral("cmdAllDel"));
    QVERIFY2(w.dialogs.done(), qPrintable(w.dialogs.problems()));
    QCOMPARE(snapshot(w.folder), before);
    QVERIFY(w.window->isVisible());
    QVERIFY(!QFileInfo::exists(w.window->state().backups.folderPath()));
}

void TestSafetyNet::restoreCutOffIsFinishedAtTheNextStart()
{
    Window w;
    Backups& backups = w.window->state().backups;
    const QMap<QString, QByteArray> before = snapshot(w.folder);
    QCOMPARE(backups.take(w.window->state().titles, backup::Reason::Daily), QString());
    const QString restoring = backups.list().constFirst().folderName;
    w.folder.writeBytes(QStringLiteral("甲.TXT"), "1,1,1\r\n");
    QCOMPARE(backups.take(w.window->state().titles, backup::Reason::BeforeRestore), QString());
    w.folder.writeBytes(Backups::FolderName + u'/' + Backups::JournalName,
                        "戻す\t" + restoring.toUtf8() + "\n戻す前\t" + backups.list().constFirst().folderName.toUtf8() +
                            '\n');

    w.window.reset();
    w.dialogs.expectMessage(QStringLiteral("バックアップから戻す途中でした"));
    w.start();
    QVERIFY2(w.dialogs.done(), qPrintable(w.dialogs.problems()));
    QVERIFY(w.dialogs.messages().constFirst().text.contains(QStringLiteral("最後まで済ませました")));
    QCOMPARE(snapshot(w.folder), before);
}

QTEST_MAIN(TestSafetyNet)
#include "tst_safetynet.moc"
