// The status list inside the real window: its buttons and controls, and how it hands titles to the main page.
#include "ListFixture.h"
#include "ui/MainPage.h"
#include "app/MainWindow.h"

using namespace listtest;

class TestStatusListWindow : public QObject {
    Q_OBJECT
private slots:
    void listHandsTitlesToTheMainPage();
};

void TestStatusListWindow::listHandsTitlesToTheMainPage()
{
    TestFolder folder;
    folder.writeText(CollectionName, record("一", 10, 0) + record("二", 10, 0) + record("三", 10, 0));
    for (const char* title : {"一.TXT", "二.TXT", "三.TXT"})
        folder.writeText(title, missing({}));
    ScriptedDialogs dialogs;
    MainWindow w(dialogs);
    w.show();
    auto button = [&](const char* name) { QTest::mouseClick(w.findChild<QPushButton*>(name), Qt::LeftButton); };
    auto colour = [&](int k) {
        return w.findChild<QLabel*>(QStringLiteral("lblKan_%1").arg(k))->palette().color(QPalette::Window);
    };
    const QColor pink(255, 192, 255), green(192, 255, 192);

    button("cmdList");
    auto* panel = w.findChild<StatusListPanel*>("fraList");
    QVERIFY(panel->isVisible() && !w.mainPage()->isVisible());
    QVERIFY(!w.findChild<QPushButton*>("cmdDel")->isEnabled());
    for (const char* name : {"msgList", "lblSou", "lblSyu", "lblZan", "lblSouD", "lblKans", "lblMisyu", "cmdZanDsp",
                             "cmdAllDsp", "cmdHozon1", "cmdHozon2"})
        QVERIFY2(panel->findChild<QWidget*>(name) && panel->findChild<QWidget*>(name)->isVisible(), name);
    QVERIFY(panel->findChild<QWidget*>("msgList2"));
    dialogs.expectMessage(QStringLiteral("残巻データ出力"), Dialogs::No);
    button("cmdHozon");
    QVERIFY2(dialogs.done(), qPrintable(dialogs.problems()));
    QVERIFY(panel->isVisible());

    // The page stands on title 1: a toggle of title 1 shows on its volume label at once.
    panel->msgList_Click(1, 4);
    QCOMPARE(colour(4), pink);
    // A toggle of title 2, then back to title 1 by a double-click: the page still holds title 1's states.
    panel->msgList_Click(2, 5);
    panel->msgList_DblClick(1);
    QVERIFY(w.mainPage()->isVisible() && w.findChild<QPushButton*>("cmdDel")->isEnabled());
    QCOMPARE(colour(5), green);
    w.mainPage()->lblKan_Click(1);
    QCOMPARE(folder.readBytes("一.TXT"), TestFolder::cp932(missing({1, 4})));
    QCOMPARE(folder.readBytes("二.TXT"), TestFolder::cp932(missing({5})));

    // A toggle of title 3 makes "メイン" come back on title 3.
    button("cmdList");
    panel->msgList_Click(3, 2);
    button("cmdMain");
    QCOMPARE(w.findChild<QLabel*>("lblKensu")->text(), QStringLiteral("3 / 3"));
    QCOMPARE(colour(2), pink);
}

QTEST_MAIN(TestStatusListWindow)
#include "tst_statuslistwindow.moc"
