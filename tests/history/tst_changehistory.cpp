// The steps themselves, without the window: what they put back when the files were changed in between by
// other screens, and how many steps are kept.
#include "history/ChangeHistory.h"
#include "history/RecordChanges.h"
#include "history/TitleChanges.h"
#include "store/CollectionStore.h"
#include "support/TestFolder.h"

#include <QtTest>

namespace {

const QString CollectionName = QStringLiteral("データＰＲＯ.txt");
const QString RankingName = QStringLiteral("ランキング.txt");

TitleRecord record(const QString& title)
{
    return {title,
            10,
            0,
            QStringLiteral("未登録"),
            QStringLiteral("未登録"),
            QStringLiteral("未"),
            QStringLiteral("2002/02/18"),
            QStringLiteral("2002/02/18")};
}

struct Fixture {
    explicit Fixture(const QStringList& titles)
    {
        for (const QString& title : titles)
            table.append(record(title));
        store.writeCollection(table);
        store.writeRanking(titles);
        favourites = titles;
    }
    VolumeStates states(const QString& title) { return store.readVolumeFile(title + ".TXT"); }

    TestFolder folder;
    CollectionStore store{folder.path()};
    TitleTable table;
    QStringList favourites;
    ChangeData data{store, table, favourites};
    ChangeHistory history;
};

} // namespace

class TestChangeHistory : public QObject {
    Q_OBJECT
private slots:
    void volumeUndoKeepsOtherVolumesChangedSince();
    void addUndoneAfterTheRankingWasReordered_data();
    void addUndoneAfterTheRankingWasReordered();
    void deleteOfASharedNameKeepsTheFiles();
    void twoHundredStepsAreKept();
};

void TestChangeHistory::volumeUndoKeepsOtherVolumesChangedSince()
{
    Fixture f({QStringLiteral("甲")});
    VolumeStates after{};
    after[3] = 1;
    QVERIFY(f.history.perform(std::make_unique<VolumeToggle>(f.data, QStringLiteral("甲"), 3, after)).error.isEmpty());
    QCOMPARE(f.history.undoText(), QStringLiteral("元に戻す：「甲」の３巻"));
    // The status list marks volume 7 missing as well.
    after[7] = 1;
    QVERIFY(f.store.writeVolumeFile(QStringLiteral("甲.TXT"), after).isEmpty());

    QVERIFY(f.history.undo().error.isEmpty());
    QCOMPARE(f.states(QStringLiteral("甲"))[3], qint16(0));
    QCOMPARE(f.states(QStringLiteral("甲"))[7], qint16(1));
    QVERIFY(f.history.redo().error.isEmpty());
    QCOMPARE(f.states(QStringLiteral("甲"))[3], qint16(1));
    QCOMPARE(f.states(QStringLiteral("甲"))[7], qint16(1));
}

void TestChangeHistory::addUndoneAfterTheRankingWasReordered_data()
{
    QTest::addColumn<QStringList>("savedOrder"); // the favourites saved between the add and its undo
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("untouched") << QStringList{} << QStringList{"甲", "乙"};
    QTest::newRow("reordered") << QStringList{"新(1_50)", "乙", "新(51_100)", "甲"} << QStringList{"乙", "甲"};
}

void TestChangeHistory::addUndoneAfterTheRankingWasReordered()
{
    QFETCH(QStringList, savedOrder);
    QFETCH(QStringList, expected);
    Fixture f({QStringLiteral("甲"), QStringLiteral("乙")});
    TitleRecord first = record(QStringLiteral("新(1_50)"));
    TitleRecord second = record(QStringLiteral("新(51_100)"));
    second.startVolume = 50;
    const ChangeHistory::Result added =
        f.history.perform(std::make_unique<TitleAdd>(f.data, QStringLiteral("新"), QList{first, second}));
    QVERIFY(added.error.isEmpty());
    QCOMPARE(added.outcome.index, 3);
    QCOMPARE(f.favourites.size(), 4);
    if (!savedOrder.isEmpty())
        QVERIFY(f.store.writeRanking(savedOrder).isEmpty());

    QVERIFY(f.history.undo().error.isEmpty());
    QCOMPARE(f.store.readRanking(), expected);
    QCOMPARE(f.favourites, (QStringList{"甲", "乙"}));
    QCOMPARE(f.table.count(), 2);
    QVERIFY(!f.folder.exists(QStringLiteral("新(1_50).TXT")));
    QCOMPARE(f.store.loadCollection().table.count(), 2);
}

void TestChangeHistory::deleteOfASharedNameKeepsTheFiles()
{
    // A hand-edited file may name one title twice; the other record still uses the files.
    Fixture f({QStringLiteral("甲"), QStringLiteral("甲")});
    f.folder.writeText(QStringLiteral("甲_C.txt"), QStringLiteral("メモ\r\n"));
    QVERIFY(f.history.perform(std::make_unique<TitleDelete>(f.data, 2)).error.isEmpty());
    QVERIFY(f.folder.exists(QStringLiteral("甲_C.txt")));
    QCOMPARE(f.table.count(), 1);
    QVERIFY(f.history.undo().error.isEmpty());
    QCOMPARE(f.table.count(), 2);
    QCOMPARE(f.folder.readBytes(QStringLiteral("甲_C.txt")), QByteArray("\x83\x81\x83\x82\r\n"));
}

void TestChangeHistory::twoHundredStepsAreKept()
{
    Fixture f({QStringLiteral("甲")});
    const QByteArray start = f.folder.readBytes(CollectionName);
    for (int i = 0; i < 250; ++i) {
        TitleRecord after = f.table.at(1);
        after.author = QString::number(i);
        QVERIFY(f.history.perform(std::make_unique<RecordEdit>(f.data, 1, after, QStringLiteral("著者"), 0))
                    .error.isEmpty());
    }
    int undone = 0;
    while (f.history.canUndo() && f.history.undo().error.isEmpty())
        ++undone;
    QCOMPARE(undone, 250);
    QCOMPARE(f.folder.readBytes(CollectionName), start);
}

QTEST_MAIN(TestChangeHistory)
#include "tst_changehistory.moc"
