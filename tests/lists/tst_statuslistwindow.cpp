// The status list inside the real window: its buttons, its controls, and how it hands titles to the main page.
#include "ListFixture.h"
#include "lists/widgets/ListGrid.h"
#include "ui/MainPage.h"
#include "ui/MainWindow.h"

#include <QScrollBar>

using namespace listtest;

namespace {

QColor labelColour(MainWindow& w, int k)
{
    return w.findChild<QLabel*>(QStringLiteral("lblKan_%1").arg(k))->palette().color(QPalette::Window);
}

void writeThreeTitles(TestFolder& folder)
{
    folder.writeText(CollectionName, record(QStringLiteral("一"), 10, 0) + record(QStringLiteral("二"), 10, 0) +
                                         record(QStringLiteral("三"), 10, 0));
    for (const QString& title : {QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三")})
        folder.writeText(title + QStringLiteral(".TXT"), missing({}));
}

} // namespace

class TestStatusListWindow : public QObject {
    Q_OBJECT
private slots:
    void buttonsOpenTheListAndExport();
    void toggledTitleComesUpOnMain();
    void mainPageNeverSavesAnotherTitlesStates();
};

void TestStatusListWindow::buttonsOpenTheListAndExport()
{
    TestFolder folder;
    writeThreeTitles(folder);
    ScriptedDialogs dialogs;
    MainWindow w(dialogs);
    w.show();
    QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("cmdList")), Qt::LeftButton);
    auto* panel = w.findChild<StatusListPanel*>(QStringLiteral("fraList"));
    QVERIFY(panel->isVisible());
    QVERIFY(!w.mainPage()->isVisible());
    QVERIFY(!w.findChild<QPushButton*>(QStringLiteral("cmdDel"))->isEnabled());
    for (const char* name : {"msgList", "lblSou", "lblSyu", "lblZan", "lblSouD", "lblKans", "lblMisyu", "cmdZanDsp",
                             "cmdAllDsp", "cmdHozon1", "cmdHozon2"})
        QVERIFY2(panel->findChild<QWidget*>(name) && panel->findChild<QWidget*>(name)->isVisible(), name);
    QVERIFY(panel->findChild<ListGrid*>(QStringLiteral("msgList2")));
    QCOMPARE(panel->findChild<QLabel*>(QStringLiteral("lblSou"))->text(), QStringLiteral("総冊数　30"));

    dialogs.expectMessage(QStringLiteral("残巻データ出力"), Dialogs::No);
    QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("cmdHozon")), Qt::LeftButton);
    QVERIFY2(dialogs.done(), qPrintable(dialogs.problems()));
    QVERIFY(folder.exists(QStringLiteral("残巻データ.txt")));
    QVERIFY(panel->isVisible());
}

void TestStatusListWindow::toggledTitleComesUpOnMain()
{
    TestFolder folder;
    writeThreeTitles(folder);
    ScriptedDialogs dialogs;
    MainWindow w(dialogs);
    w.show();
    QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("cmdList")), Qt::LeftButton);
    w.findChild<StatusListPanel*>(QStringLiteral("fraList"))->msgList_Click(3, 2);
    QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("cmdMain")), Qt::LeftButton);
    QCOMPARE(w.findChild<QLabel*>(QStringLiteral("lblKensu"))->text(), QStringLiteral("3 / 3"));
    QCOMPARE(labelColour(w, 2), QColor(255, 192, 255));
}

void TestStatusListWindow::mainPageNeverSavesAnotherTitlesStates()
{
    TestFolder folder;
    writeThreeTitles(folder);
    ScriptedDialogs dialogs;
    MainWindow w(dialogs);
    w.show();
    auto* panel = w.findChild<StatusListPanel*>(QStringLiteral("fraList"));
    QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("cmdList")), Qt::LeftButton);

    // The page stands on title 1: a toggle of title 1 shows on its label at once.
    panel->msgList_Click(1, 4);
    QCOMPARE(labelColour(w, 4), QColor(255, 192, 255));
    // A toggle of title 2, then back to title 1 through a double-click: the page keeps title 1's states.
    panel->msgList_Click(2, 5);
    panel->msgList_DblClick(1);
    QVERIFY(w.mainPage()->isVisible());
    QCOMPARE(w.findChild<QLabel*>(QStringLiteral("lblKensu"))->text(), QStringLiteral("1 / 3"));
    QCOMPARE(labelColour(w, 5), QColor(192, 255, 192));
    w.mainPage()->lblKan_Click(1);
    QCOMPARE(folder.readBytes(QStringLiteral("一.TXT")), TestFolder::cp932(missing({1, 4})));
    QCOMPARE(folder.readBytes(QStringLiteral("二.TXT")), TestFolder::cp932(missing({5})));
    QVERIFY(w.state().stale.StatusListStale);
}

QTEST_MAIN(TestStatusListWindow)
#include "tst_statuslistwindow.moc"
