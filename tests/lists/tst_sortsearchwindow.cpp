// The sort and search screens inside the real window, driven only through the button row, objectNames, the
// grids' models and the scripted dialogs: how they open, hand titles to the main page and reorder the collection.
#include "ListFixture.h"
#include "app/MainWindow.h"
#include "ui/MainPage.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QScrollBar>
#include <QTableView>

using namespace listtest;

namespace {

struct Window {
    Window()
    {
        folder.writeText(CollectionName, record("乙", 12, 0) + record("甲", 3, 0) + record("丙", 40, 0));
        window = std::make_unique<MainWindow>(dialogs);
        window->show();
    }
    template <typename T> T* get(const char* name) { return window->findChild<T*>(QString::fromLatin1(name)); }
    void click(const char* name) { QTest::mouseClick(get<QPushButton>(name), Qt::LeftButton); }
    QString counter() { return get<QLabel>("lblKensu")->text(); }
    QString shownTitle() { return get<QComboBox>("cboName")->currentText(); }
    QStringList gridColumn(QTableView* grid, int column)
    {
        QStringList texts;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            texts << grid->model()->index(r, column).data().toString();
        return texts;
    }

    TestFolder folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;
};

} // namespace

class TestSortSearchWindow : public QObject {
    Q_OBJECT
private slots:
    void sortScreenOpensSortsAndHandsATitleOver();
    void reflectingTheOrderRewritesTheCollection();
    void searchScreenFindsAndHandsATitleOver();
};

void TestSortSearchWindow::sortScreenOpensSortsAndHandsATitleOver()
{
    Window w;
    w.click("cmdIchiran");
    auto* panel = w.get<QWidget>("fraIchiran");
    QVERIFY(panel->isVisible() && !w.window->mainPage()->isVisible());
    QVERIFY(!w.get<QPushButton>("cmdDel")->isEnabled());
    auto* grid = w.get<QTableView>("msgIchiran");
    QCOMPARE(w.gridColumn(grid, 0), (QStringList{"乙", "甲", "丙"}));

    // A click on any cell of the volume column sorts by it, largest first.
    const QModelIndex cell = grid->model()->index(2, 1);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
    QCOMPARE(w.gridColumn(grid, 1), (QStringList{"40", "12", "3"}));

    // A double-click on 甲's row opens the main page on it; "メイン" later returns there.
    const QModelIndex row = grid->model()->index(2, 0);
    doubleClick(grid->viewport(), grid->visualRect(row).center());
    QVERIFY(w.window->mainPage()->isVisible() && w.get<QPushButton>("cmdDel")->isEnabled());
    QCOMPARE(w.counter(), QStringLiteral("2 / 3"));
    QCOMPARE(w.shownTitle(), QStringLiteral("甲"));

    // A change of rating makes the next opening refill the grid from the table.
    w.window->mainPage()->setCurrentIndex(1);
    auto* rating = w.get<QComboBox>("cboHyouka");
    rating->setCurrentIndex(rating->findText(QStringLiteral("◎")));
    emit rating->activated(rating->currentIndex());
    w.click("cmdIchiran");
    QCOMPARE(w.gridColumn(grid, 0), (QStringList{"乙", "甲", "丙"}));
    QCOMPARE(grid->model()->index(0, 2).data().toString(), QStringLiteral("◎"));
    QVERIFY2(w.dialogs.done(), qPrintable(w.dialogs.problems()));
}

void TestSortSearchWindow::reflectingTheOrderRewritesTheCollection()
{
    Window w;
    w.window->state().GalleryBuilt = true;
    w.window->state().stale.StatusGridStale = false;
    w.click("cmdIchiran");
    w.click("cmdSort1"); // titles A to Z
    auto* grid = w.get<QTableView>("msgIchiran");
    const QStringList shown = w.gridColumn(grid, 0);
    QCOMPARE(shown.size(), 3);

    w.dialogs.expectMessage(QStringLiteral("メイン並び替え確認"), Dialogs::Ok)
        .expectMessage(QStringLiteral("並び替え完了"));
    w.click("cmdSortCng1");
    QVERIFY2(w.dialogs.done(), qPrintable(w.dialogs.problems()));

    QString expected;
    const QHash<QString, int> counts = {{"乙", 12}, {"甲", 3}, {"丙", 40}};
    for (const QString& title : shown)
        expected += record(title, counts.value(title), 0);
    QCOMPARE(w.folder.readBytes(CollectionName), TestFolder::cp932(expected));
    QCOMPARE(w.window->state().titles.at(1).title, shown.first());
    QVERIFY(!w.window->state().GalleryBuilt);
    QVERIFY(w.window->state().stale.StatusGridStale);
    // The grid is the new order row for row: the sort screen need not refill.
    QVERIFY(!w.window->state().stale.SortListStale);

    // The main page stands on the new first title.
    w.click("cmdMain");
    QCOMPARE(w.counter(), QStringLiteral("1 / 3"));
    QCOMPARE(w.shownTitle(), shown.first());
    QCOMPARE(w.get<QComboBox>("cboKansu")->currentText(), QString::number(counts.value(shown.first())));
}

void TestSortSearchWindow::searchScreenFindsAndHandsATitleOver()
{
    Window w;
    w.click("cmdKensaku");
    QVERIFY(w.get<QWidget>("fraKensaku")->isVisible() && !w.window->mainPage()->isVisible());
    auto* keyword = w.get<QLineEdit>("txtNamae");
    keyword->setFocus();
    keyword->insert(QStringLiteral("丙"));
    QTest::keyClick(keyword, Qt::Key_Return);
    QCOMPARE(w.get<QGroupBox>("fraKensu")->title(), QStringLiteral("検索件数\u30001件"));
    auto* hits = w.get<QListView>("lstDaimei");
    QCOMPARE(hits->model()->rowCount(), 1);
    QCOMPARE(hits->model()->index(0, 0).data().toString(), QStringLiteral("丙"));

    doubleClick(hits->viewport(), hits->visualRect(hits->model()->index(0, 0)).center());
    QVERIFY(w.window->mainPage()->isVisible());
    QCOMPARE(w.counter(), QStringLiteral("3 / 3"));
    QCOMPARE(w.window->state().PickedIndex, qint16(3));

    // Paging away and coming back through another screen returns to the picked title.
    w.get<QScrollBar>("hsbData")->setValue(1);
    w.click("cmdKensaku");
    w.click("cmdMain");
    QCOMPARE(w.shownTitle(), QStringLiteral("丙"));
    QVERIFY2(w.dialogs.done(), qPrintable(w.dialogs.problems()));
}

QTEST_MAIN(TestSortSearchWindow)
#include "tst_sortsearchwindow.moc"
