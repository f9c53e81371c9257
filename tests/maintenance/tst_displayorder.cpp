// The display-order list driven as a user does: opening (and refilling on every opening), dragging entries with
// plain press, move and release on the list, and applying the order, checked on the bytes of the collection file.
#include "MaintenanceFixture.h"
#include "maintenance/DisplayOrder.h"
#include "maintenance/DisplayOrderModel.h"
#include "ui/UnsavedOrder.h"
#include "ui/logic/TourTexts.h"

#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>

using namespace mainttest;

namespace {

const QString ConfirmTitle = QStringLiteral("メイン並び替え確認");
const QString DoneTitle = QStringLiteral("並び替え完了");

// Titles 1 to 6, each record's fields its own.
QStringList sixLines()
{
    QStringList lines;
    const QStringList titles = {"一", "二", "三", "四", "五", "六"};
    for (int i = 0; i < titles.size(); ++i)
        lines << line(titles[i], i + 1, 0, QStringLiteral("著者%1").arg(i + 1),
                      QStringLiteral("2001/0%1/1%1").arg(i + 1));
    return lines;
}

QByteArray fileOf(const QStringList& lines, const QList<int>& order)
{
    QString text;
    for (const int i : order)
        text += lines[i - 1];
    return TestFolder::cp932(text);
}

QListView* list(const Fixture& f)
{
    return f.child<QListView>("lstBicho");
}

QPoint entryCentre(const Fixture& f, int row)
{
    const QModelIndex index = list(f)->model()->index(row, 0);
    list(f)->scrollTo(index);
    return list(f)->visualRect(index).center();
}

// A drag as the user makes it: press on one entry, move onto another, release there.
void drag(const Fixture& f, int fromRow, int toRow)
{
    QWidget* viewport = list(f)->viewport();
    const QPoint from = entryCentre(f, fromRow);
    const QPoint to = entryCentre(f, toRow);
    QTest::mousePress(viewport, Qt::LeftButton, {}, from);
    QTest::mouseMove(viewport, (from + to) / 2);
    QTest::mouseMove(viewport, to);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
}

QStringList shown(const Fixture& f)
{
    QStringList texts;
    for (int r = 0; r < list(f)->model()->rowCount(); ++r)
        texts << list(f)->model()->index(r, 0).data().toString();
    return texts;
}

QColor buttonColour(const Fixture& f)
{
    return f.child<QPushButton>("cmdSortCng2")->palette().color(QPalette::Button);
}

} // namespace

class TestDisplayOrder : public QObject {
    Q_OBJECT
private slots:
    void reorderWritesEachRecordOnce_data();
    void reorderWritesEachRecordOnce();
    void openingShowsThePanelAndRefills();
    void drags_data();
    void drags();
    void pressBesideTheEntriesMovesNothing();
    void cancelKeepsFileAndDraggedOrder();
    void applyWritesTheListOrder();
    void applyWithDuplicateTitles();
    void failedWriteChangesNothing();
};

void TestDisplayOrder::reorderWritesEachRecordOnce_data()
{
    QTest::addColumn<QStringList>("tableTitles");
    QTest::addColumn<QStringList>("entryTitles");
    QTest::addColumn<QList<int>>("entryRecords");
    QTest::addColumn<QList<int>>("expected"); // records of the table, in the order written
    QTest::addColumn<bool>("oneToOne");
    QTest::newRow("moved entries keep their records") << QStringList{"A", "B", "C"} << QStringList{"C", "A", "B"}
                                                      << QList<int>{3, 1, 2} << QList<int>{3, 1, 2} << true;
    QTest::newRow("duplicate titles: the second record first")
        << QStringList{"X", "B", "X"} << QStringList{"X", "X", "B"} << QList<int>{3, 1, 2} << QList<int>{3, 1, 2}
        << true;
    QTest::newRow("records moved behind the list: found by title, first free first")
        << QStringList{"B", "X", "X"} << QStringList{"X", "X", "B"} << QList<int>{1, 3, 2} << QList<int>{2, 3, 1}
        << true;
    QTest::newRow("an entry without a record writes nothing; a record without an entry follows at the end")
        << QStringList{"A", "B", "C"} << QStringList{"Z", "C", "A"} << QList<int>{2, 3, 1} << QList<int>{3, 1, 2}
        << false;
}

void TestDisplayOrder::reorderWritesEachRecordOnce()
{
    QFETCH(QStringList, tableTitles);
    QFETCH(QStringList, entryTitles);
    QFETCH(QList<int>, entryRecords);
    QFETCH(QList<int>, expected);
    QFETCH(bool, oneToOne);
    TitleTable table;
    for (int i = 0; i < tableTitles.size(); ++i)
        table.append({tableTitles[i], 1, 0, QString(), QString(), QString(), QString(), QString()});
    QList<displayorder::Entry> entries;
    for (int e = 0; e < entryTitles.size(); ++e)
        entries.append({entryTitles[e], entryRecords[e]});

    const displayorder::Reorder result = displayorder::reorder(entries, table);
    QCOMPARE(result.from, expected);
    QCOMPARE(result.oneToOne, oneToOne);
}

void TestDisplayOrder::openingShowsThePanelAndRefills()
{
    Fixture f;
    f.start(sixLines().join(QString()), true);
    f.dialogs.expectMessage(TourTitle).expectMessage(TourTitle);
    f.panel->cmdMaster_Click();
    QVERIFY(f.panel->isVisible());
    QCOMPARE(f.panel->objectName(), QStringLiteral("fraMaster"));
    QCOMPARE(f.host->hides, 1);
    QCOMPARE(shown(f), (QStringList{"一", "二", "三", "四", "五", "六"}));
    QCOMPARE(f.dialogs.messages().first().text, tour::maintenance());

    QStringList groups;
    for (const QGroupBox* box : f.panel->findChildren<QGroupBox*>())
        groups << box->title();
    QCOMPARE(groups,
             (QStringList{"表示順位微調整", "サンプルデータの初期化", "タナミルのデータ引継ぎ", "バックアップ"}));
    QStringList labels;
    for (int i = 0; i < 4; ++i)
        labels << f.panel->findChild<QLabel*>(QStringLiteral("lblCom_%1").arg(i))->text();
    QCOMPARE(labels,
             (QStringList{"すでにフリーソフトのタナミルをお使いなら、そのデータを", "タナミルＰro に引き継げます。",
                          "タナミルのフォルダをさがしてダブルクリックしてください。",
                          "データの存在が確認できれば、下のボタンが押せます。"}));
    QCOMPARE(f.child<QPushButton>("cmdSortCng2")->text(), QStringLiteral("この順番でメインを並び替える"));
    QCOMPARE(f.child<QPushButton>("cmdAllDel")->text(), QStringLiteral("登録されているコミックデータを削除する"));
    QCOMPARE(f.child<QPushButton>("cmdCmGetIn")->text(), QStringLiteral("タナミルからデータを受け取る"));
    QVERIFY(!f.child<QPushButton>("cmdCmGetIn")->isEnabled());
    QVERIFY(f.child<QWidget>("drvCom") && f.child<QWidget>("dirCom"));

    // Shown already, the panel still opens: a dragged order is discarded and the tour shown again. The button
    // keeps its colour until an apply.
    drag(f, 4, 1);
    QCOMPARE(shown(f).at(1), QStringLiteral("五"));
    f.state->titles[2].title = QStringLiteral("弐");
    f.panel->cmdMaster_Click();
    QCOMPARE(shown(f), (QStringList{"一", "弐", "三", "四", "五", "六"}));
    QCOMPARE(buttonColour(f), unsavedorder::Colour);
    f.checkDialogs();
}

void TestDisplayOrder::drags_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("onto");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("unsaved");
    QTest::newRow("5 onto 2") << 5 << 2 << QStringList{"一", "五", "二", "三", "四", "六"} << true;
    QTest::newRow("2 onto 5") << 2 << 5 << QStringList{"一", "三", "四", "二", "五", "六"} << true;
    QTest::newRow("onto itself") << 3 << 3 << QStringList{"一", "二", "三", "四", "五", "六"} << false;
    QTest::newRow("onto the next") << 3 << 4 << QStringList{"一", "二", "三", "四", "五", "六"} << false;
    QTest::newRow("onto the last: lands above it") << 1 << 6 << QStringList{"二", "三", "四", "五", "一", "六"} << true;
    QTest::newRow("the last onto the one above it")
        << 6 << 5 << QStringList{"一", "二", "三", "四", "六", "五"} << true;
}

void TestDisplayOrder::drags()
{
    QFETCH(int, from);
    QFETCH(int, onto);
    QFETCH(QStringList, expected);
    QFETCH(bool, unsaved);
    Fixture f;
    f.start(sixLines().join(QString()));
    f.panel->cmdMaster_Click();
    const QColor normal = buttonColour(f);
    drag(f, from - 1, onto - 1);
    QCOMPARE(shown(f), expected);
    QCOMPARE(f.panel->orderUnsaved(), unsaved);
    QCOMPARE(buttonColour(f), unsaved ? unsavedorder::Colour : normal);
    if (unsaved)
        QCOMPARE(list(f)->currentIndex().data().toString(), sixLines().at(from - 1).mid(1, 1));
    f.checkDialogs();
}

void TestDisplayOrder::pressBesideTheEntriesMovesNothing()
{
    Fixture f;
    f.start(sixLines().join(QString()));
    f.panel->cmdMaster_Click();
    QWidget* viewport = list(f)->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, entryCentre(f, 2)); // 三 selected
    const QPoint below(entryCentre(f, 5).x(), viewport->height() - 2);
    QVERIFY(!list(f)->indexAt(below).isValid());
    QTest::mousePress(viewport, Qt::LeftButton, {}, below);
    QCOMPARE(f.panel->orderDragIndex(), -1);
    QTest::mouseMove(viewport, entryCentre(f, 0));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, entryCentre(f, 0));
    QCOMPARE(shown(f), (QStringList{"一", "二", "三", "四", "五", "六"}));
    QVERIFY(!f.panel->orderUnsaved());
}

void TestDisplayOrder::cancelKeepsFileAndDraggedOrder()
{
    Fixture f;
    f.start(sixLines().join(QString()));
    const QByteArray before = f.folder.readBytes(CollectionName);
    f.panel->cmdMaster_Click();
    drag(f, 4, 1);
    f.dialogs.expectMessage(ConfirmTitle, Dialogs::Cancel);
    QTest::mouseClick(f.child<QPushButton>("cmdSortCng2"), Qt::LeftButton);
    f.checkDialogs();
    QCOMPARE(f.dialogs.messages().first().style, 49);
    QCOMPARE(f.folder.readBytes(CollectionName), before);
    QCOMPARE(shown(f).at(1), QStringLiteral("五"));
    QVERIFY(f.panel->orderUnsaved());
    QCOMPARE(f.host->loads, 0);
    QCOMPARE(f.mainPages->count(), 0);
    QVERIFY(f.state->GalleryBuilt);
}

void TestDisplayOrder::applyWritesTheListOrder()
{
    Fixture f;
    const QStringList lines = sixLines();
    const QStringList titles = {"一", "二", "三", "四", "五", "六"};
    for (int i = 0; i < titles.size(); ++i)
        f.folder.writeText(titles[i] + QStringLiteral(".TXT"), volumesMissing(i + 1));
    f.start(lines.join(QString()));
    f.panel->cmdMaster_Click();
    drag(f, 4, 1); // 一 五 二 三 四 六
    drag(f, 0, 5); // 五 二 三 四 一 六
    f.dialogs.expectMessage(ConfirmTitle, Dialogs::Ok).expectMessage(DoneTitle);
    QTest::mouseClick(f.child<QPushButton>("cmdSortCng2"), Qt::LeftButton);
    f.checkDialogs();
    QCOMPARE(f.dialogs.messages().last().style, 64);
    QCOMPARE(f.dialogs.messages().last().text, QStringLiteral("並び替えた順番をメインの順番に反映させました。"));

    QCOMPARE(f.folder.readBytes(CollectionName), fileOf(lines, {5, 2, 3, 4, 1, 6}));
    QCOMPARE(f.host->loads, 1);
    QCOMPARE(f.state->titles.at(1).title, QStringLiteral("五"));
    QCOMPARE(f.mainPages->count(), 2);
    QCOMPARE(f.mainPages->at(0).at(0).toInt(), 6);
    QCOMPARE(f.mainPages->at(1).at(0).toInt(), 1);
    QVERIFY(!f.state->GalleryBuilt);
    QVERIFY(f.state->stale.StatusGridStale);
    QVERIFY(!f.panel->orderUnsaved());
    QCOMPARE(buttonColour(f), QPushButton().palette().color(QPalette::Button));
    // Volume files are named by title: each title's states are still its own.
    for (int i = 1; i <= 6; ++i) {
        const TitleRecord& record = f.state->titles.at(i);
        const VolumeStates states = f.state->store.readVolumeFile(record.title + QStringLiteral(".txt"));
        QCOMPARE(states[record.volumeCount], qint16(1));
    }
    // The list now stands for the new table: a second drag and apply works from it.
    drag(f, 5, 0);
    f.dialogs.expectMessage(ConfirmTitle, Dialogs::Ok).expectMessage(DoneTitle);
    f.panel->cmdSortCng2_Click();
    QCOMPARE(f.folder.readBytes(CollectionName), fileOf(lines, {6, 5, 2, 3, 4, 1}));
    f.checkDialogs();
}

void TestDisplayOrder::applyWithDuplicateTitles()
{
    Fixture f;
    const QStringList lines = {line("乙", 12, 0, "かとう"), line("甲", 3, 0, "さとう"), line("乙", 7, 50, "あおい")};
    f.start(lines.join(QString()));
    f.panel->cmdMaster_Click();
    drag(f, 2, 0); // the second 乙 to the top
    f.dialogs.expectMessage(ConfirmTitle, Dialogs::Ok).expectMessage(DoneTitle);
    f.panel->cmdSortCng2_Click();
    f.checkDialogs();
    QCOMPARE(f.folder.readBytes(CollectionName), fileOf(lines, {3, 1, 2}));
}

void TestDisplayOrder::failedWriteChangesNothing()
{
    Fixture f;
    f.start(sixLines().join(QString()));
    const QByteArray before = f.folder.readBytes(CollectionName);
    f.state->store.folder().setWriter(std::make_unique<FailingWriter>());
    f.panel->cmdMaster_Click();
    drag(f, 4, 1);
    f.dialogs.expectMessage(ConfirmTitle, Dialogs::Ok).expectMessage(QStringLiteral("保存できません"));
    f.panel->cmdSortCng2_Click();
    f.checkDialogs();
    QVERIFY(f.dialogs.messages().last().text.contains(CollectionName));
    QCOMPARE(f.folder.readBytes(CollectionName), before);
    QCOMPARE(f.state->titles.at(2).title, QStringLiteral("二"));
    QCOMPARE(shown(f).at(1), QStringLiteral("五"));
    QVERIFY(f.panel->orderUnsaved());
    QCOMPARE(f.mainPages->count(), 0);
    QVERIFY(f.state->GalleryBuilt);
}

QTEST_MAIN(TestDisplayOrder)
#include "tst_displayorder.moc"
