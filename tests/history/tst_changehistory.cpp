// The steps themselves, without the window: what they put back when the files were changed in between by
// other screens, and how many steps are kept.
#include "history/ChangeHistory.h"
#include "history/OrderChange.h"
#include "history/RecordChanges.h"
#include "history/TitleChanges.h"
#include "store/CollectionStore.h"
#include "support/TestFolder.h"

#include <QTest>

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

// A step that changes one file by a script of whole writes and deletions, and undoes itself by deleting it.
class ScriptedStep final : public Change {
public:
    ScriptedStep(ChangeData& data, QStringList script) : Change(data, QStringLiteral("試し")), m_script(script) {}
    QString apply(bool forward) override
    {
        DataFolder& folder = m_data.store.folder();
        if (!forward) {
            folder.remove(QStringLiteral("試し.TXT"));
            return {};
        }
        for (const QString& action : std::as_const(m_script)) {
            if (action == u"delete")
                folder.remove(QStringLiteral("試し.TXT"));
            else if (const QString error = folder.write(QStringLiteral("試し.TXT"), action.toUtf8()); !error.isEmpty())
                return error;
        }
        return {};
    }
    ChangeOutcome outcome(bool) const override { return {}; }

private:
    QStringList m_script;
};

bool undoneMessageNames(const QStringList& told, const QString& file)
{
    return told.size() == 1 && told.first().toCaseFolded() == file.toCaseFolded();
}

} // namespace

class TestChangeHistory : public QObject {
    Q_OBJECT
private slots:
    void clickAppliesToTheFileAsItIsNow();
    void stepOverAChangedFileIsDropped_data();
    void stepOverAChangedFileIsDropped();
    void addUndoneAfterTheRankingWasReordered_data();
    void addUndoneAfterTheRankingWasReordered();
    void deleteOfASharedNameKeepsTheFiles();
    void orderOfTitlesSharedByRecords();
    void orderMissingARecordIsRefused_data();
    void orderMissingARecordIsRefused();
    void sealsHoldTheFileAsTheStepLeftIt_data();
    void sealsHoldTheFileAsTheStepLeftIt();
    void twoHundredStepsAreKept();
    void heldBytesAreBounded();
};

void TestChangeHistory::orderOfTitlesSharedByRecords()
{
    // A hand-edited file may hold one title more than once, even as two identical records: each place of the new
    // order names its own record of the old, and the undo puts every one back in its place.
    Fixture f({QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("甲"), QStringLiteral("甲")});
    f.table[3].author = QStringLiteral("別人");
    f.store.writeCollection(f.table);
    const TitleTable before = f.table;
    TitleTable reordered;
    for (const int from : {4, 3, 2, 1})
        reordered.append(before.at(from));
    QVERIFY(f.history.perform(std::make_unique<OrderChange>(f.data, QList{4, 3, 2, 1}, QStringLiteral("並び順")))
                .error.isEmpty());
    QCOMPARE(f.table.records(), reordered.records());
    QCOMPARE(f.store.loadCollection().table.records(), reordered.records());
    QVERIFY(f.history.undo().error.isEmpty());
    QCOMPARE(f.table.records(), before.records());
    QCOMPARE(f.store.loadCollection().table.records(), before.records());
}

void TestChangeHistory::orderMissingARecordIsRefused_data()
{
    QTest::addColumn<QList<int>>("from");
    QTest::newRow("a record twice") << QList{2, 2, 1};
    QTest::newRow("a record left out") << QList{3, 1};
    QTest::newRow("beyond the table") << QList{4, 1, 2};
    QTest::newRow("no record") << QList{0, 1, 2};
}

void TestChangeHistory::orderMissingARecordIsRefused()
{
    // An order that would write a record twice or not at all loses a title: the file and the table stay as
    // they are.
    QFETCH(QList<int>, from);
    Fixture f({QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")});
    const QByteArray file = f.folder.readBytes(CollectionName);
    const TitleTable before = f.table;
    QVERIFY(!f.history.perform(std::make_unique<OrderChange>(f.data, from, QStringLiteral("並び順"))).error.isEmpty());
    QCOMPARE(f.table.records(), before.records());
    QCOMPARE(f.folder.readBytes(CollectionName), file);
}

void TestChangeHistory::clickAppliesToTheFileAsItIsNow()
{
    Fixture f({QStringLiteral("甲")});
    VolumeStates shown = f.states(QStringLiteral("甲"));
    // Another program marks volume 10 after the page read the file.
    f.folder.writeText(QStringLiteral("甲.TXT"), QStringLiteral("0,0,0,0,0,0,0,0,0,1\r\n"));
    const QByteArray outside = f.folder.readBytes(QStringLiteral("甲.TXT"));
    shown[3] = 1;
    QVERIFY(
        f.history.perform(std::make_unique<VolumeToggle>(f.data, QStringLiteral("甲"), 3, shown[3])).error.isEmpty());
    QCOMPARE(f.history.undoText(), QStringLiteral("元に戻す：「甲」の３巻"));
    QCOMPARE(f.states(QStringLiteral("甲"))[10], qint16(1));
    QCOMPARE(f.states(QStringLiteral("甲"))[3], qint16(1));
    QVERIFY(f.history.undo().error.isEmpty());
    QCOMPARE(f.folder.readBytes(QStringLiteral("甲.TXT")), outside);

    // Only the volumes whose state changed belong to the step.
    auto typed = std::make_unique<VolumeToggle>(f.data, QStringLiteral("甲"), QList{8, 9, 10}, qint16(1));
    const VolumeToggle* step = typed.get();
    QVERIFY(f.history.perform(std::move(typed)).error.isEmpty());
    QCOMPARE(step->volumes(), (QList<int>{8, 9}));
    QVERIFY(f.history.undo().error.isEmpty());
    // A volume already in the state asked for changes nothing and leaves no step behind.
    QVERIFY(f.history.perform(std::make_unique<VolumeToggle>(f.data, QStringLiteral("甲"), QList{9, 10}, qint16(1)))
                .error.isEmpty());
    QCOMPARE(f.states(QStringLiteral("甲"))[9], qint16(1));
    QVERIFY(f.history.undo().error.isEmpty());
    QCOMPARE(f.folder.readBytes(QStringLiteral("甲.TXT")), outside);
    QVERIFY(
        f.history.perform(std::make_unique<VolumeToggle>(f.data, QStringLiteral("甲"), 10, qint16(1))).error.isEmpty());
    QVERIFY(!f.history.canUndo());
}

void TestChangeHistory::stepOverAChangedFileIsDropped_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("file"); // the file another program changes after the step
    QTest::addColumn<bool>("reread");  // the window read the files again before the undo
    for (const bool reread : {false, true}) {
        const char* const again = reread ? ", read again" : "";
        QTest::addRow("volume%s", again) << "volume"
                                         << "甲.TXT" << reread;
        QTest::addRow("field%s", again) << "field" << CollectionName << reread;
        QTest::addRow("kept whole%s", again) << "kept whole" << CollectionName << reread;
        QTest::addRow("order%s", again) << "order" << CollectionName << reread;
        QTest::addRow("add, collection%s", again) << "add" << CollectionName << reread;
        QTest::addRow("add, volume file%s", again) << "add"
                                                   << "新.TXT" << reread;
        QTest::addRow("delete%s", again) << "delete" << CollectionName << reread;
        QTest::addRow("memo%s", again) << "memo"
                                       << "甲_C.TXT" << reread;
    }
}

void TestChangeHistory::stepOverAChangedFileIsDropped()
{
    QFETCH(QString, kind);
    QFETCH(QString, file);
    QFETCH(bool, reread);
    Fixture f({QStringLiteral("甲"), QStringLiteral("乙")});
    std::unique_ptr<Change> step;
    if (kind == "volume") {
        step = std::make_unique<VolumeToggle>(f.data, QStringLiteral("甲"), 3, qint16(1));
    } else if (kind == "field" || kind == "kept whole") {
        if (kind == "kept whole") {
            // A collection file this program did not write: the step keeps it whole to put it back.
            f.folder.writeBytes(CollectionName, f.folder.readBytes(CollectionName).replace(",", ", "));
            f.table = f.store.loadCollection().table;
        }
        TitleRecord after = f.table.at(1);
        after.author = QStringLiteral("新しい著者");
        step = std::make_unique<RecordEdit>(f.data, 1, after, QStringLiteral("著者"), 0);
    } else if (kind == "order") {
        step = std::make_unique<OrderChange>(f.data, QList{2, 1}, QStringLiteral("並び順"));
    } else if (kind == "add") {
        step = std::make_unique<TitleAdd>(f.data, QStringLiteral("新"), QList{record(QStringLiteral("新"))});
    } else if (kind == "delete") {
        step = std::make_unique<TitleDelete>(f.data, 2);
    } else {
        step = std::make_unique<MemoSave>(f.data, QStringLiteral("甲"), QStringLiteral("メモ"));
    }
    QVERIFY(f.history.perform(std::move(step)).error.isEmpty());
    QStringList told;
    f.store.setOutsideChangeHandler([&told](const QString& name) { told << name; });

    // Another program adds a record (or a line) of its own.
    const QByteArray outside =
        f.folder.readBytes(file) +
        TestFolder::cp932(file == CollectionName
                              ? QStringLiteral("\"外\",3,0,\"a\",\"m\",\"未\",\"2008/05/05\",\"2008/05/05\"\r\n")
                              : QStringLiteral("1,1\r\n"));
    f.folder.writeBytes(file, outside);
    if (reread) {
        f.table = f.store.loadCollection().table;
        f.states(QStringLiteral("甲"));
        f.states(QStringLiteral("新"));
        f.store.readMemo(QStringLiteral("甲"));
    }

    // Refused, and still refused after the files were read again: the step is gone.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const ChangeHistory::Result undone = f.history.undo();
        QCOMPARE(undone.error.isEmpty(), attempt > 0);
        QCOMPARE(undone.dropped, attempt == 0);
        QCOMPARE(f.folder.readBytes(file), outside);
        QVERIFY(!f.history.canUndo());
        f.table = f.store.loadCollection().table;
    }
    QVERIFY(undoneMessageNames(told, file));
}

void TestChangeHistory::addUndoneAfterTheRankingWasReordered_data()
{
    QTest::addColumn<bool>("existed");           // the ranking file was there before the add
    QTest::addColumn<QStringList>("savedOrder"); // the favourites saved between the add and its undo
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("untouched") << true << QStringList{} << QStringList{"甲", "乙"};
    QTest::newRow("reordered") << true << QStringList{"新(1_50)", "乙", "新(51_100)", "甲"} << QStringList{"乙", "甲"};
    // The add made the file; another program wrote it since, so it is not simply deleted again.
    QTest::newRow("made, then written elsewhere")
        << false << QStringList{"新(1_50)", "新(51_100)", "外"} << QStringList{"外"};
}

void TestChangeHistory::addUndoneAfterTheRankingWasReordered()
{
    QFETCH(bool, existed);
    QFETCH(QStringList, savedOrder);
    QFETCH(QStringList, expected);
    Fixture f({QStringLiteral("甲"), QStringLiteral("乙")});
    if (!existed)
        QVERIFY(f.store.folder().remove(RankingName));
    TitleRecord first = record(QStringLiteral("新(1_50)"));
    TitleRecord second = record(QStringLiteral("新(51_100)"));
    second.startVolume = 50;
    const ChangeHistory::Result added =
        f.history.perform(std::make_unique<TitleAdd>(f.data, QStringLiteral("新"), QList{first, second}));
    QVERIFY(added.error.isEmpty());
    QCOMPARE(added.outcome.index, 3);
    QCOMPARE(f.favourites.size(), 4);
    if (!savedOrder.isEmpty() && existed)
        QVERIFY(f.store.writeRanking(savedOrder).isEmpty());
    else if (!savedOrder.isEmpty())
        f.folder.writeText(RankingName, '"' + savedOrder.join(QStringLiteral("\"\r\n\"")) + QStringLiteral("\"\r\n"));

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

void TestChangeHistory::sealsHoldTheFileAsTheStepLeftIt_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::newRow("written once") << QStringList{"1"};
    QTest::newRow("written twice") << QStringList{"1", "2"};
    QTest::newRow("written, then deleted") << QStringList{"1", "delete"};
    QTest::newRow("deleted, then written") << QStringList{"delete", "1"};
}

// A step knows what it left in each file without reading it back; an undo right after it finds no change made
// by another program.
void TestChangeHistory::sealsHoldTheFileAsTheStepLeftIt()
{
    QFETCH(QStringList, script);
    Fixture f({QStringLiteral("甲")});
    QVERIFY(f.history.perform(std::make_unique<ScriptedStep>(f.data, script)).error.isEmpty());
    const ChangeHistory::Result undone = f.history.undo();
    QVERIFY2(undone.error.isEmpty(), qPrintable(undone.error));
    QVERIFY(!f.folder.exists(QStringLiteral("試し.TXT")));
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

void TestChangeHistory::heldBytesAreBounded()
{
    // Forty memos of 3 MiB each: the steps would keep 240 MiB.
    QStringList titles;
    for (int i = 0; i < 40; ++i)
        titles << QStringLiteral("題%1").arg(i);
    Fixture f(titles);
    const QString big(3 * 1024 * 1024, QLatin1Char('a'));
    for (const QString& title : std::as_const(titles))
        QVERIFY(f.history.perform(std::make_unique<MemoSave>(f.data, title, big)).error.isEmpty());
    QVERIFY(f.history.heldBytes() <= ChangeHistory::ByteLimit);
    const int kept = f.history.stack().count();
    QVERIFY2(kept > 1 && kept < 40, qPrintable(QString::number(kept)));
    // The newest steps stay, the oldest went first.
    QCOMPARE(f.history.undoText(), QStringLiteral("元に戻す：「題39」のメモ"));
    for (int i = 0; i < kept; ++i)
        QVERIFY(f.history.undo().error.isEmpty());
    QVERIFY(!f.history.canUndo());
    QVERIFY(f.folder.exists(QStringLiteral("題%1_C.TXT").arg(39 - kept)));
    QVERIFY(!f.folder.exists(QStringLiteral("題%1_C.TXT").arg(40 - kept)));
}

QTEST_MAIN(TestChangeHistory)
#include "tst_changehistory.moc"
