// The uncollected view: packing, when it is rebuilt, which grid the panel shows, and its double-click.
#include "ListFixture.h"
#include "lists/Exports.h"
#include "lists/QrShoppingList.h"

using namespace listtest;

class TestUncollectedView : public QObject {
    Q_OBJECT
private slots:
    void packsMissingPositionsToTheLeft();
    void followsTogglesFillsAndLayOuts();
    void doubleClickFindsTheTitle();
};

void TestUncollectedView::packsMissingPositionsToTheLeft()
{
    Fixture f;
    writeFourTitles(f.folder);
    f.start();
    f.panel->cmdList_Click();
    f.click(QStringLiteral("cmdZanDsp"));
    QVERIFY(f.shown("msgList2") && !f.shown("msgList"));
    QVERIFY(!f.state->stale.UncollectedStale);
    // 無 has nothing missing; 後編, the second record of its series, shows the numbers its labels show.
    const QList<QStringList> rows = {{"前編", "1", ""}, {"後編", "53", "55", ""}, {"短", "2", ""}};
    QCOMPARE(f.panel->uncollectedModel().rowCount(), rows.size());
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            QCOMPARE(f.uncollected(r + 1, c), rows[r][c]);

    // Every list numbers the volumes of a split record alike: the status grid, the QR list and the 残巻 list.
    QCOMPARE(f.cell(2, 3) + f.cell(2, 5), QStringLiteral("5355"));
    const UncollectedModel::Row& split = f.panel->uncollectedModel().rows().at(1);
    QCOMPARE(qrlist::volumeText(split.missing, split.startVolume), QStringLiteral("53, 55"));
    QCOMPARE(exports::shoppingParts(split.missing, 12, split.startVolume), QStringList{QStringLiteral("53_55 <62>")});

    f.click(QStringLiteral("cmdAllDsp"));
    QVERIFY(f.shown("msgList") && !f.shown("msgList2"));
}

void TestUncollectedView::followsTogglesFillsAndLayOuts()
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

    // The main page changes a file while the view is the grid on show: the fill on the next opening must not
    // leave the view showing what it replaced.
    f.host->HidePanels();
    f.folder.writeText(QStringLiteral("無.TXT"), missing({2}));
    f.state->stale.StatusListStale = f.state->stale.UncollectedStale = true;
    f.panel->cmdList_Click();
    QVERIFY(f.shown("msgList2"));
    QCOMPARE(f.uncollected(2, 0) + f.uncollected(2, 1), QStringLiteral("無2"));
    QVERIFY(!f.state->stale.UncollectedStale);

    // A grid laid out again always starts on the full grid.
    f.host->HidePanels();
    f.state->stale.StatusGridStale = true;
    f.panel->cmdList_Click();
    QVERIFY(f.shown("msgList") && !f.shown("msgList2"));
}

void TestUncollectedView::doubleClickFindsTheTitle()
{
    Fixture f;
    writeFourTitles(f.folder);
    f.start();
    f.panel->cmdList_Click();
    f.click(QStringLiteral("cmdZanDsp"));
    f.panel->msgList2_DblClick(2);
    QCOMPARE(f.host->mainPages, QList<int>{2});
    QCOMPARE(int(f.state->PickedIndex), 2);
    // A title no longer in the table leaves the pick where it was, and the page goes there.
    f.state->titles[4].title = QStringLiteral("別名");
    f.panel->msgList2_DblClick(3);
    QCOMPARE(f.host->mainPages, (QList<int>{2, 2}));
}

QTEST_MAIN(TestUncollectedView)
#include "tst_uncollectedview.moc"
