// The status list: fill, toggles, totals, stale flags and double-clicks, driven through the panel's own grid.
#include "ListFixture.h"
#include "store/CollectionStore.h"

#include <QHeaderView>
#include <QTableView>

using namespace listtest;

namespace {

const QStringList LabelNames = {"lblSou", "lblSyu", "lblZan", "lblSouD", "lblKans", "lblMisyu"};

QColor colour(const Fixture& f, int row, int column)
{
    const StatusListModel& model = f.panel->statusModel();
    const QVariant brush = model.data(model.index(row - 1, column - 1), Qt::BackgroundRole);
    return brush.isValid() ? brush.value<QBrush>().color() : QColor(Qt::white);
}

QTableView* grid(const Fixture& f)
{
    return f.panel->findChild<QTableView*>(QStringLiteral("msgList"));
}

QPoint cellCentre(const Fixture& f, int row, int column)
{
    QTableView* view = grid(f);
    view->scrollTo(view->model()->index(row - 1, column - 1));
    return view->visualRect(view->model()->index(row - 1, column - 1)).center();
}

} // namespace

class TestStatusList : public QObject {
    Q_OBJECT
private slots:
    void fillShowsCellsAndTotals_data();
    void fillReadsAwkwardFilesInTableOrder_data();
    void fillReadsAwkwardFilesInTableOrder();
    void fillShowsCellsAndTotals();
    void toggleChangesCellFileAndTotals_data();
    void toggleChangesCellFileAndTotals();
    void failedSaveChangesNothing();
    void secondOpeningReadsNoFile();
    void doubleClickOpensMainPage_data();
    void doubleClickOpensMainPage();
};

void TestStatusList::fillShowsCellsAndTotals_data()
{
    QTest::addColumn<bool>("titles");
    QTest::addColumn<QStringList>("captions");
    // 35 volumes, 4 of them missing; only 無 is complete.
    QTest::newRow("four titles") << true << QStringList{"総冊数　35", "収集冊数　31", "残冊数　4",
                                                        "総刊数　4",  "完了　1",      "継続　3"};
    QTest::newRow("no titles") << false << QStringList{"総冊数　0", "収集冊数　0", "残冊数　0",
                                                       "総刊数　0", "完了　0",     "継続　0"};
}

void TestStatusList::fillShowsCellsAndTotals()
{
    QFETCH(bool, titles);
    QFETCH(QStringList, captions);
    Fixture f;
    if (titles)
        writeFourTitles(f.folder);
    const QByteArray shortFile = f.folder.readBytes(QStringLiteral("短.TXT"));
    f.start();
    f.panel->cmdList_Click();
    QVERIFY(f.panel->isVisible());
    for (int i = 0; i < LabelNames.size(); ++i)
        QCOMPARE(f.caption(qPrintable(LabelNames[i])), captions[i]);
    QCOMPARE(f.panel->statusModel().rowCount(), titles ? 4 : 0);
    if (!titles)
        return;

    const QColor pink(255, 192, 255), green(192, 255, 192), white(Qt::white);
    const QList<std::tuple<int, QString, QColor>> row2 = {{3, "53", pink}, {5, "55", pink}, {4, "", green},
                                                          {7, "", green},  {12, "", green}, {13, "", white},
                                                          {20, "", white}};
    for (const auto& [column, text, expected] : row2) {
        QCOMPARE(f.cell(2, column), text);
        QCOMPARE(colour(f, 2, column), expected);
    }
    QCOMPARE(f.panel->statusModel().headerData(1, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("後編"));
    QCOMPARE(f.cell(4, 2), QStringLiteral("2"));
    QCOMPARE(f.folder.readBytes(QStringLiteral("無.TXT")), TestFolder::cp932(missing({})));
    QCOMPARE(f.folder.readBytes(QStringLiteral("短.TXT")), shortFile);
    QVERIFY(!f.state->stale.StatusListStale && !f.state->stale.StatusGridStale && f.state->stale.UncollectedStale);
}

void TestStatusList::fillReadsAwkwardFilesInTableOrder_data()
{
    QTest::addColumn<QString>("spelling"); // the awkward title's file on disk; empty for none
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<quint64>("missing"); // the cells its row shows missing

    QTest::newRow("missing: created all collected") << QString() << QByteArray() << quint64(0);
    QTest::newRow("empty") << "Ｘ.TXT" << QByteArray() << quint64(0);
    QTest::newRow("broken bytes") << "Ｘ.TXT" << QByteArray("1,1,\x81") << quint64(0b11);
    QTest::newRow("other letter case") << "ｘ.txt" << TestFolder::cp932(missing({3})) << quint64(0b100);
    QTest::newRow("beyond the volume count") << "Ｘ.TXT" << TestFolder::cp932(missing({12, 13})) << (quint64(1) << 11);
}

// The files are read many at a time; each row still shows its own title's file, in table order, and only a
// missing file is written.
void TestStatusList::fillReadsAwkwardFilesInTableOrder()
{
    QFETCH(QString, spelling);
    QFETCH(QByteArray, bytes);
    QFETCH(quint64, missing);

    TestFolder folder;
    TitleTable table;
    constexpr int Titles = 601;
    constexpr int Awkward = 300;
    for (int i = 0; i < Titles; ++i) {
        const QString title = i == Awkward ? QStringLiteral("Ｘ") : QStringLiteral("題%1").arg(i);
        table.append({title, 12, 0, "未登録", "未登録", "未", "2008/05/05", "2008/05/05"});
        if (i != Awkward)
            folder.writeText(title + ".TXT", listtest::missing({i % 12 + 1}));
    }
    if (!spelling.isEmpty())
        folder.writeBytes(spelling, bytes);

    CollectionStore store(folder.path());
    const statuslist::Fill fill = statuslist::fill(store, table);
    QCOMPARE(fill.rows.size(), Titles);
    for (int i = 0; i < Titles; ++i) {
        QCOMPARE(fill.rows[i].title, table.records()[i].title);
        QCOMPARE(fill.rows[i].missing, i == Awkward ? missing : quint64(1) << (i % 12));
    }
    QCOMPARE(fill.totals.missingVolumes, Titles - 1 + statuslist::countBits(missing));
    QCOMPARE(fill.totals.completedTitles, missing == 0 ? 1 : 0);
    if (spelling.isEmpty())
        QCOMPARE(folder.readBytes("Ｘ.TXT"), TestFolder::cp932(listtest::missing({})));
    else
        QCOMPARE(folder.readBytes(spelling), bytes);
}

void TestStatusList::toggleChangesCellFileAndTotals_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("fileAfter"); // empty: unchanged
    QTest::addColumn<QString>("cellAfter");
    QTest::addColumn<int>("missingAfter");
    QTest::addColumn<int>("picked");
    QTest::newRow("collected becomes missing")
        << 2 << 4 << "後編.txt" << volumes({{3, 1}, {4, 1}, {5, 1}, {7, 2}, {20, 1}}) << "54" << 5 << 2;
    QTest::newRow("a 2 shown green becomes 0, the totals stay")
        << 2 << 7 << "後編.txt" << volumes({{3, 1}, {5, 1}, {20, 1}}) << "" << 4 << 2;
    QTest::newRow("white cell beyond the count") << 2 << 13 << "後編.txt"
                                                 << ""
                                                 << "" << 4 << 0;
    QTest::newRow("last missing volume of a title") << 1 << 1 << "前編.TXT" << missing({}) << "" << 3 << 1;
    QTest::newRow("short file completed by the save") << 4 << 3 << "短.TXT" << missing({2, 3}) << "3" << 5 << 4;
}

void TestStatusList::toggleChangesCellFileAndTotals()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, file);
    QFETCH(QString, fileAfter);
    QFETCH(QString, cellAfter);
    QFETCH(int, missingAfter);
    QFETCH(int, picked);
    Fixture f;
    writeFourTitles(f.folder);
    const QByteArray before = f.folder.readBytes(file);
    f.start();
    f.panel->cmdList_Click();
    f.state->stale.UncollectedStale = false;
    QTest::mouseClick(grid(f)->viewport(), Qt::LeftButton, {}, cellCentre(f, row, column));

    QCOMPARE(f.folder.readBytes(file), fileAfter.isEmpty() ? before : TestFolder::cp932(fileAfter));
    QCOMPARE(f.cell(row, column), cellAfter);
    QCOMPARE(f.caption("lblZan"), QStringLiteral("残冊数　%1").arg(missingAfter));
    QCOMPARE(f.caption("lblSyu"), QStringLiteral("収集冊数　%1").arg(35 - missingAfter));
    QCOMPARE(f.caption("lblKans"), QStringLiteral("完了　1")); // title counts wait for the next fill
    QCOMPARE(int(f.state->PickedIndex), picked);
    QCOMPARE(f.state->stale.UncollectedStale, picked != 0);
    QVERIFY(!f.state->stale.StatusListStale);
}

void TestStatusList::failedSaveChangesNothing()
{
    Fixture f;
    writeFourTitles(f.folder);
    f.start();
    f.panel->cmdList_Click();
    f.state->store.folder().setWriter(std::make_unique<FailingWriter>());
    f.dialogs.expectMessage(QStringLiteral("保存できません"));
    f.panel->msgList_Click(2, 3);
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QVERIFY(f.dialogs.messages().last().text.contains(QStringLiteral("後編")));
    QCOMPARE(f.cell(2, 3), QStringLiteral("53"));
    QCOMPARE(f.caption("lblZan"), QStringLiteral("残冊数　4"));
    QCOMPARE(int(f.state->PickedIndex), 0);
}

void TestStatusList::secondOpeningReadsNoFile()
{
    Fixture f;
    writeFourTitles(f.folder);
    f.start();
    f.state->HelpTourOn = 1;
    f.dialogs.expectMessage(TourTitle);
    f.panel->cmdList_Click();
    f.panel->cmdList_Click(); // already shown: nothing at all
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QVERIFY(f.dialogs.messages().last().text.startsWith(QStringLiteral("メイン画面がコミック１つに対して")));

    // Changed behind the program's back: a showing that reads no file cannot notice, and shows no tour.
    f.host->HidePanels();
    f.folder.writeText(QStringLiteral("前編.TXT"), missing({}));
    f.panel->cmdList_Click();
    QVERIFY(f.panel->isVisible());
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QCOMPARE(f.cell(1, 1), QStringLiteral("1"));

    f.host->HidePanels();
    f.state->stale.StatusListStale = true;
    f.dialogs.expectMessage(TourTitle);
    f.panel->cmdList_Click();
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QCOMPARE(f.cell(1, 1), QString());
}

void TestStatusList::doubleClickOpensMainPage_data()
{
    QTest::addColumn<int>("column"); // 0: the title
    QTest::addColumn<QString>("cellAfter");
    QTest::newRow("volume cell: toggled once, then opened") << 3 << "";
    QTest::newRow("white cell: only opened") << 13 << "53";
    QTest::newRow("title: only opened") << 0 << "53";
}

void TestStatusList::doubleClickOpensMainPage()
{
    QFETCH(int, column);
    QFETCH(QString, cellAfter);
    Fixture f;
    writeFourTitles(f.folder);
    f.start();
    f.panel->cmdList_Click();
    if (column == 0) {
        QHeaderView* titles = grid(f)->verticalHeader();
        doubleClick(titles->viewport(), QPoint(titles->width() / 2, titles->sectionViewportPosition(1) + 3));
    } else {
        doubleClick(grid(f)->viewport(), cellCentre(f, 2, column));
    }
    QCOMPARE(f.host->mainPages, QList<int>{2});
    QCOMPARE(int(f.state->PickedIndex), 2);
    QVERIFY(!f.panel->isVisible());
    QCOMPARE(f.cell(2, 3), cellAfter);
}

QTEST_MAIN(TestStatusList)
#include "tst_statuslist.moc"
