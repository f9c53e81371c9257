// The status list: its fill, toggles, totals, stale flags and double-clicks, driven through the panel's own
// grid and buttons.
#include "ListFixture.h"
#include "lists/widgets/ListGrid.h"

#include <QHeaderView>
#include <QSignalSpy>

using namespace listtest;

namespace {

const QColor Pink(255, 192, 255);
const QColor Green(192, 255, 192);
const QColor White(Qt::white);

QPoint cellCentre(QTableView* grid, int row, int column)
{
    return grid->visualRect(grid->model()->index(row - 1, column - 1)).center();
}

// What a user's double-click delivers: press, release, double-click, release.
void doubleClick(QWidget* widget, QPoint pos)
{
    QTest::mousePress(widget, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, pos);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, pos);
}

} // namespace

class TestStatusList : public QObject {
    Q_OBJECT
private slots:
    void fillShowsCellsAndTotals();
    void emptyCollectionShowsZeroTotals();
    void toggleChangesCellFileAndTotals_data();
    void toggleChangesCellFileAndTotals();
    void failedSaveChangesNothing();
    void secondOpeningReadsNoFile();
    void doubleClickOpensMainPage_data();
    void doubleClickOpensMainPage();
    void mainPageStatesFollowOnlyTheirOwnFile_data();
    void mainPageStatesFollowOnlyTheirOwnFile();
};

void TestStatusList::fillShowsCellsAndTotals()
{
    Fixture f;
    writeFourTitles(f.folder);
    const QByteArray shortFile = f.folder.readBytes(QStringLiteral("短.TXT"));
    f.start();
    f.panel->cmdList_Click();
    QVERIFY(f.panel->isVisible());

    QCOMPARE(f.panel->statusModel().rowCount(), 4);
    QCOMPARE(f.panel->statusModel().headerData(1, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("後編"));
    const QList<std::tuple<int, QString, QColor>> row2 = {{3, "53", Pink}, {5, "55", Pink}, {4, "", Green},
                                                          {7, "", Green},  {12, "", Green}, {13, "", White},
                                                          {20, "", White}};
    for (const auto& [column, text, colour] : row2) {
        QCOMPARE(f.cell(2, column), text);
        QCOMPARE(f.colour(2, column), colour);
    }
    QCOMPARE(f.cell(4, 2), QStringLiteral("2"));
    // 35 volumes, 4 missing; only 無 is complete.
    const QStringList expected = {"総冊数　35", "収集冊数　31", "残冊数　4", "総刊数　4", "完了　1", "継続　3"};
    const QStringList names = {"lblSou", "lblSyu", "lblZan", "lblSouD", "lblKans", "lblMisyu"};
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(f.caption(names[i]), expected[i]);

    QCOMPARE(f.folder.readBytes(QStringLiteral("無.TXT")), TestFolder::cp932(missing({})));
    QCOMPARE(f.folder.readBytes(QStringLiteral("短.TXT")), shortFile);
    QVERIFY(!f.state->stale.StatusListStale && !f.state->stale.StatusGridStale && f.state->stale.UncollectedStale);
}

void TestStatusList::emptyCollectionShowsZeroTotals()
{
    Fixture f;
    f.start();
    f.panel->cmdList_Click();
    QCOMPARE(f.panel->statusModel().rowCount(), 0);
    const QStringList names = {"lblSou", "lblSyu", "lblZan", "lblSouD", "lblKans", "lblMisyu"};
    const QStringList expected = {"総冊数　0", "収集冊数　0", "残冊数　0", "総刊数　0", "完了　0", "継続　0"};
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(f.caption(names[i]), expected[i]);
}

void TestStatusList::toggleChangesCellFileAndTotals_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("fileAfter"); // empty: the file must be unchanged
    QTest::addColumn<QString>("cellAfter");
    QTest::addColumn<int>("missingAfter");
    QTest::addColumn<int>("picked");

    QTest::newRow("collected becomes missing")
        << 2 << 4 << "後編.txt" << volumes({{3, 1}, {4, 1}, {5, 1}, {7, 2}, {20, 1}}) << "54" << 5 << 2;
    QTest::newRow("missing becomes collected")
        << 2 << 3 << "後編.txt" << volumes({{5, 1}, {7, 2}, {20, 1}}) << "" << 3 << 2;
    QTest::newRow("a 2 shown green becomes collected without changing the totals")
        << 2 << 7 << "後編.txt" << volumes({{3, 1}, {5, 1}, {20, 1}}) << "" << 4 << 2;
    QTest::newRow("white cell beyond the count") << 2 << 13 << "後編.txt"
                                                 << ""
                                                 << "" << 4 << 0;
    QTest::newRow("last missing volume of a title") << 1 << 1 << "前編.TXT" << missing({}) << "" << 3 << 1;
    QTest::newRow("short file is completed by the save") << 4 << 3 << "短.TXT" << missing({2, 3}) << "3" << 5 << 4;
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

    auto* grid = f.child<ListGrid>(QStringLiteral("msgList"));
    grid->scrollTo(grid->model()->index(row - 1, column - 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(grid, row, column));

    QCOMPARE(f.folder.readBytes(file), fileAfter.isEmpty() ? before : TestFolder::cp932(fileAfter));
    QCOMPARE(f.cell(row, column), cellAfter);
    QCOMPARE(f.caption(QStringLiteral("lblZan")), QStringLiteral("残冊数　%1").arg(missingAfter));
    QCOMPARE(f.caption(QStringLiteral("lblSyu")), QStringLiteral("収集冊数　%1").arg(35 - missingAfter));
    // The title counts wait for the next fill.
    QCOMPARE(f.caption(QStringLiteral("lblKans")), QStringLiteral("完了　1"));
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
    QCOMPARE(f.caption(QStringLiteral("lblZan")), QStringLiteral("残冊数　4"));
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
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QVERIFY(f.dialogs.messages().last().text.startsWith(QStringLiteral("メイン画面がコミック１つに対して")));
    f.panel->cmdList_Click(); // already shown: nothing at all
    f.host->HidePanels();

    // Changed behind the program's back: a list that reads nothing cannot notice.
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
    QTest::newRow("volume cell: toggled, then opened") << 3 << "";
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
    auto* grid = f.child<ListGrid>(QStringLiteral("msgList"));
    if (column == 0) {
        QHeaderView* titles = grid->verticalHeader();
        doubleClick(titles->viewport(), QPoint(titles->width() / 2, titles->sectionViewportPosition(1) + 3));
    } else {
        grid->scrollTo(grid->model()->index(1, column - 1));
        doubleClick(grid->viewport(), cellCentre(grid, 2, column));
    }
    QCOMPARE(f.host->mainPages, QList<int>{2});
    QCOMPARE(int(f.state->PickedIndex), 2);
    QVERIFY(!f.panel->isVisible());
    QCOMPARE(f.cell(2, 3), cellAfter);
}

void TestStatusList::mainPageStatesFollowOnlyTheirOwnFile_data()
{
    QTest::addColumn<QString>("pageFile");
    QTest::addColumn<bool>("follows");
    QTest::newRow("the page shows the toggled title") << "後編.TXT" << true;
    QTest::newRow("the page shows another title") << "前編.TXT" << false;
}

void TestStatusList::mainPageStatesFollowOnlyTheirOwnFile()
{
    QFETCH(QString, pageFile);
    QFETCH(bool, follows);
    Fixture f;
    writeFourTitles(f.folder);
    f.start();
    f.state->VolumeFilePath = pageFile;
    f.state->VolumeStatus = f.state->store.readVolumeFile(pageFile);
    const VolumeStates before = f.state->VolumeStatus;
    QSignalSpy changed(f.panel.get(), &StatusListPanel::mainPageVolumesChanged);
    f.panel->cmdList_Click();
    f.panel->msgList_Click(2, 4);

    QCOMPARE(f.state->VolumeFilePath, pageFile);
    QCOMPARE(changed.size(), follows ? 1 : 0);
    QCOMPARE(f.state->VolumeStatus[4], qint16(follows ? 1 : before[4]));
    QCOMPARE(f.state->VolumeStatus[1], before[1]);
}

QTEST_MAIN(TestStatusList)
#include "tst_statuslist.moc"
