// The uncollected view: packing, when it is rebuilt, which grid the panel shows, and its double-click.
#include "ListFixture.h"

using namespace listtest;

class TestUncollectedView : public QObject {
    Q_OBJECT
private slots:
    void packsMissingPositionsToTheLeft();
    void completeCollectionLeavesOnlyTheHeader();
    void rebuiltAfterToggleAndAfterFill();
    void staleGridBringsBackTheFullGrid();
    void doubleClickFindsTheTitle_data();
    void doubleClickFindsTheTitle();
};

void TestUncollectedView::packsMissingPositionsToTheLeft()
{
    Fixture f;
    writeFourTitles(f.folder);
    f.start();
    f.panel->cmdList_Click();
    f.click(QStringLiteral("cmdZanDsp"));
    QVERIFY(f.child<QWidget>(QStringLiteral("msgList2"))->isVisible());
    QVERIFY(!f.child<QWidget>(QStringLiteral("msgList"))->isVisible());
    QVERIFY(!f.state->stale.UncollectedStale);

    // 無 has nothing missing; 後編 shows positions within its record, not series numbers.
    const QList<QStringList> rows = {{"前編", "1", ""}, {"後編", "3", "5", ""}, {"短", "2", ""}};
    QCOMPARE(f.panel->uncollectedModel().rowCount(), rows.size());
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            QCOMPARE(f.uncollected(r + 1, c), rows[r][c]);

    f.click(QStringLiteral("cmdAllDsp"));
    QVERIFY(f.child<QWidget>(QStringLiteral("msgList"))->isVisible());
    QVERIFY(!f.child<QWidget>(QStringLiteral("msgList2"))->isVisible());
}

void TestUncollectedView::completeCollectionLeavesOnlyTheHeader()
{
    Fixture f;
    f.folder.writeText(CollectionName, record(QStringLiteral("完"), 5, 0) + record(QStringLiteral("全"), 7, 0));
    f.start();
    f.panel->cmdList_Click();
    f.click(QStringLiteral("cmdZanDsp"));
    QCOMPARE(f.panel->uncollectedModel().rowCount(), 0);
}

void TestUncollectedView::rebuiltAfterToggleAndAfterFill()
{
    Fixture f;
    writeFourTitles(f.folder);
    f.start();
    f.panel->cmdList_Click();
    f.click(QStringLiteral("cmdZanDsp"));
    f.click(QStringLiteral("cmdAllDsp"));
    f.panel->msgList_Click(1, 1); // 前編 complete now
    f.click(QStringLiteral("cmdZanDsp"));
    QCOMPARE(f.uncollected(1, 0), QStringLiteral("後編"));

    // The main page changes a file while the view is the grid on show: the next opening fills the list and
    // must not leave the view showing what the fill replaced.
    f.host->HidePanels();
    f.folder.writeText(QStringLiteral("無.TXT"), missing({2}));
    f.state->stale.StatusListStale = true;
    f.state->stale.UncollectedStale = true;
    f.panel->cmdList_Click();
    QVERIFY(f.child<QWidget>(QStringLiteral("msgList2"))->isVisible());
    QCOMPARE(f.uncollected(2, 0), QStringLiteral("無"));
    QCOMPARE(f.uncollected(2, 1), QStringLiteral("2"));
    QVERIFY(!f.state->stale.UncollectedStale);
}

void TestUncollectedView::staleGridBringsBackTheFullGrid()
{
    Fixture f;
    writeFourTitles(f.folder);
    f.start();
    f.panel->cmdList_Click();
    f.click(QStringLiteral("cmdZanDsp"));
    f.host->HidePanels();
    f.state->stale.StatusGridStale = true;
    f.panel->cmdList_Click();
    QVERIFY(f.child<QWidget>(QStringLiteral("msgList"))->isVisible());
    QVERIFY(!f.child<QWidget>(QStringLiteral("msgList2"))->isVisible());
}

void TestUncollectedView::doubleClickFindsTheTitle_data()
{
    QTest::addColumn<QString>("renamed"); // the title 後編 carries in the table by the time of the double-click
    QTest::addColumn<int>("pickedBefore");
    QTest::addColumn<QList<int>>("mainPages");
    QTest::newRow("title found") << "後編" << 0 << QList<int>{2};
    QTest::newRow("title gone, earlier pick kept") << "別名" << 4 << QList<int>{4};
    QTest::newRow("title gone, nothing picked") << "別名" << 0 << QList<int>{};
}

void TestUncollectedView::doubleClickFindsTheTitle()
{
    QFETCH(QString, renamed);
    QFETCH(int, pickedBefore);
    QFETCH(QList<int>, mainPages);
    Fixture f;
    writeFourTitles(f.folder);
    f.start();
    f.panel->cmdList_Click();
    f.click(QStringLiteral("cmdZanDsp"));
    f.state->titles[2].title = renamed;
    f.state->PickedIndex = qint16(pickedBefore);
    f.panel->msgList2_DblClick(2);
    QCOMPARE(f.host->mainPages, mainPages);
    QCOMPARE(int(f.state->PickedIndex), mainPages.isEmpty() ? 0 : mainPages.first());
}

QTEST_MAIN(TestUncollectedView)
#include "tst_uncollectedview.moc"
