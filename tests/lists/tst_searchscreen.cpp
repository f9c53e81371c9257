// The search screen driven as a user does: the first visit, keyword searches with Enter, list searches by mouse
// and keyboard, what stays between visits, and the double-click that opens a result.
#include "support/PanelFixture.h"
#include "lists/widgets/SearchPanel.h"
#include "ui/logic/TourTexts.h"

#include <QApplication>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListView>
#include <QSignalSpy>

using namespace paneltest;

namespace {

using SearchFixture = Fixture<SearchPanel>;

// 王様ゲーム appears twice, as two records with different authors.
QList<Line> sixTitles()
{
    auto line = [](const char* title, const char* author, const char* magazine, const char* rating) {
        Line l;
        l.title = QString::fromUtf8(title);
        l.author = QString::fromUtf8(author);
        l.magazine = QString::fromUtf8(magazine);
        l.rating = QString::fromUtf8(rating);
        return l;
    };
    return {line("王様ゲーム", "さとう", "週刊Ａ", "◎"), line("abc物語", "あおい", "月刊Ｂ", "未"),
            line("ABC物語", "さとう", "週刊Ａ", "○"),    line("ａｂｃ物語", "未登録", "未登録", "未"),
            line("女王の庭", "かとう", "月刊Ｂ", "△"),   line("王様ゲーム", "あおい", "週刊Ａ", "◎")};
}

QStringList texts(const QListView* view)
{
    QStringList shown;
    for (int r = 0; r < view->model()->rowCount(); ++r)
        shown << view->model()->index(r, 0).data().toString();
    return shown;
}

QStringList results(const SearchFixture& f)
{
    return texts(f.child<QListView>("lstDaimei"));
}

QString caption(const SearchFixture& f)
{
    return f.child<QGroupBox>("fraKensu")->title();
}

QPoint rowCentre(QListView* view, int row)
{
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    return view->visualRect(index).center();
}

void clickEntry(const SearchFixture& f, const char* list, const QString& entry)
{
    auto* view = f.child<QListView>(list);
    const int row = int(texts(view).indexOf(entry));
    QVERIFY2(row >= 0, qPrintable(entry));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowCentre(view, row));
}

void searchKeyword(const SearchFixture& f, const QString& keyword)
{
    auto* box = f.child<QLineEdit>("txtNamae");
    box->clear();
    // Typed through the input method, the way Japanese text arrives.
    QInputMethodEvent typed;
    typed.setCommitString(keyword);
    QCoreApplication::sendEvent(box, &typed);
    QTest::keyClick(box, Qt::Key_Return);
}

} // namespace

class TestSearchScreen : public QObject {
    Q_OBJECT
private slots:
    void firstVisitListsEverything_data();
    void firstVisitListsEverything();
    void keywordSearch_data();
    void keywordSearch();
    void emptyKeywordChangesNothing();
    void listSearch_data();
    void listSearch();
    void keyboardMovesTheSearch();
    void tabbingIntoAListChoosesNothing_data();
    void tabbingIntoAListChoosesNothing();
    void visitsKeepTheScreenUntilTheListsChange();
    void doubleClickOpensTheResult();
};

void TestSearchScreen::firstVisitListsEverything_data()
{
    QTest::addColumn<bool>("empty");
    QTest::newRow("six titles") << false;
    QTest::newRow("no titles") << true;
}

void TestSearchScreen::firstVisitListsEverything()
{
    QFETCH(bool, empty);
    SearchFixture f;
    f.start(empty ? QList<Line>{} : sixTitles(), true);
    f.dialogs.expectMessage(TourTitle);
    f.panel->cmdKensaku_Click();
    f.checkDialogs();
    QCOMPARE(f.dialogs.messages().last().text, tour::searchScreen());
    QVERIFY(f.panel->isVisible() && !f.state->stale.SearchListStale);
    QCOMPARE(f.panel->objectName(), QStringLiteral("fraKensaku"));
    QCOMPARE(f.child<QGroupBox>("fraKenKoumoku")->title(), QStringLiteral("検索項目"));
    for (const char* name : {"txtNamae", "lstSakusya", "lstKeisai", "lstHyouka", "lstDaimei"})
        QVERIFY2(f.child(name) && f.child(name)->isVisible(), name);

    if (empty) {
        QCOMPARE(results(f), QStringList());
        QCOMPARE(caption(f), QStringLiteral("検索件数\u30000件"));
    } else {
        QCOMPARE(results(f), (QStringList{"王様ゲーム", "abc物語", "ABC物語", "ａｂｃ物語", "女王の庭", "王様ゲーム"}));
        QCOMPARE(caption(f), QStringLiteral("検索件数\u30006件"));
        QCOMPARE(texts(f.child<QListView>("lstSakusya")), (QStringList{"あおい", "かとう", "さとう"}));
        QCOMPARE(texts(f.child<QListView>("lstKeisai")), (QStringList{"月刊Ｂ", "週刊Ａ"}));
    }
    QCOMPARE(texts(f.child<QListView>("lstHyouka")), (QStringList{"◎", "○", "△", "未"}));
}

void TestSearchScreen::keywordSearch_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("王 anywhere") << "王" << QStringList{"王様ゲーム", "女王の庭", "王様ゲーム"};
    QTest::newRow("lower case only") << "abc" << QStringList{"abc物語"};
    QTest::newRow("upper case only") << "ABC" << QStringList{"ABC物語"};
    QTest::newRow("full width only") << "ａｂｃ" << QStringList{"ａｂｃ物語"};
    QTest::newRow("found nowhere") << "漫画" << QStringList{};
}

void TestSearchScreen::keywordSearch()
{
    QFETCH(QString, keyword);
    QFETCH(QStringList, found);
    SearchFixture f;
    f.start(sixTitles());
    f.panel->cmdKensaku_Click();
    QSignalSpy passedOn(f.child<QLineEdit>("txtNamae"), &QLineEdit::returnPressed);
    searchKeyword(f, keyword);
    QCOMPARE(results(f), found);
    QCOMPARE(caption(f), QStringLiteral("検索件数\u3000%1件").arg(found.size()));
    QCOMPARE(passedOn.size(), 0); // the Enter of a search goes no further
    f.checkDialogs();
}

void TestSearchScreen::emptyKeywordChangesNothing()
{
    SearchFixture f;
    f.start(sixTitles());
    f.panel->cmdKensaku_Click();
    clickEntry(f, "lstHyouka", QStringLiteral("◎"));
    QSignalSpy passedOn(f.child<QLineEdit>("txtNamae"), &QLineEdit::returnPressed);
    QTest::keyClick(f.child<QLineEdit>("txtNamae"), Qt::Key_Return);
    QCOMPARE(results(f), (QStringList{"王様ゲーム", "王様ゲーム"}));
    QCOMPARE(caption(f), QStringLiteral("検索件数\u30002件"));
    QCOMPARE(passedOn.size(), 1);
}

void TestSearchScreen::listSearch_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("an author") << "lstSakusya"
                               << "さとう" << QStringList{"王様ゲーム", "ABC物語"};
    QTest::newRow("a magazine") << "lstKeisai"
                                << "月刊Ｂ" << QStringList{"abc物語", "女王の庭"};
    QTest::newRow("not yet rated") << "lstHyouka"
                                   << "未" << QStringList{"abc物語", "ａｂｃ物語"};
    QTest::newRow("a rating of one title") << "lstHyouka"
                                           << "○" << QStringList{"ABC物語"};
}

void TestSearchScreen::listSearch()
{
    QFETCH(QString, list);
    QFETCH(QString, entry);
    QFETCH(QStringList, found);
    SearchFixture f;
    f.start(sixTitles());
    f.panel->cmdKensaku_Click();
    clickEntry(f, qPrintable(list), entry);
    QCOMPARE(results(f), found);
    QCOMPARE(caption(f), QStringLiteral("検索件数\u3000%1件").arg(found.size()));

    // Another kind of search, then a click on the entry still selected: the list's search again.
    searchKeyword(f, QStringLiteral("庭"));
    QCOMPARE(results(f), QStringList{"女王の庭"});
    clickEntry(f, qPrintable(list), entry);
    QCOMPARE(results(f), found);
    QCOMPARE(f.child<QLineEdit>("txtNamae")->text(), QStringLiteral("庭"));
}

void TestSearchScreen::keyboardMovesTheSearch()
{
    SearchFixture f;
    f.start(sixTitles());
    f.panel->cmdKensaku_Click();
    auto* authors = f.child<QListView>("lstSakusya");
    clickEntry(f, "lstSakusya", QStringLiteral("あおい"));
    QCOMPARE(results(f), (QStringList{"abc物語", "王様ゲーム"}));
    QTest::keyClick(authors, Qt::Key_Down);
    QCOMPARE(results(f), QStringList{"女王の庭"});
    QTest::keyClick(authors, Qt::Key_Down);
    QCOMPARE(results(f), (QStringList{"王様ゲーム", "ABC物語"}));
    QCOMPARE(caption(f), QStringLiteral("検索件数\u30002件"));
}

void TestSearchScreen::tabbingIntoAListChoosesNothing_data()
{
    QTest::addColumn<int>("tabs"); // from the keyword box
    QTest::addColumn<QString>("list");
    QTest::addColumn<QStringList>("firstEntryFinds");
    QTest::newRow("authors") << 1 << "lstSakusya" << QStringList{"abc物語", "王様ゲーム"};
    QTest::newRow("magazines") << 2 << "lstKeisai" << QStringList{"abc物語", "女王の庭"};
    QTest::newRow("ratings") << 3 << "lstHyouka" << QStringList{"王様ゲーム", "王様ゲーム"};
}

void TestSearchScreen::tabbingIntoAListChoosesNothing()
{
    QFETCH(int, tabs);
    QFETCH(QString, list);
    QFETCH(QStringList, firstEntryFinds);
    SearchFixture f;
    f.start(sixTitles());
    f.panel->cmdKensaku_Click();
    f.panel->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.panel.get()));
    searchKeyword(f, QStringLiteral("庭"));
    auto* view = f.child<QListView>(qPrintable(list));
    f.child<QLineEdit>("txtNamae")->setFocus();
    for (int i = 0; i < tabs; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), view);
    QCOMPARE(results(f), QStringList{"女王の庭"});
    QCOMPARE(caption(f), QStringLiteral("検索件数\u30001件"));

    // The space bar chooses the entry the list stands on.
    QTest::keyClick(view, Qt::Key_Space);
    QCOMPARE(results(f), firstEntryFinds);
}

void TestSearchScreen::visitsKeepTheScreenUntilTheListsChange()
{
    SearchFixture f;
    f.start(sixTitles(), true);
    f.dialogs.expectMessage(TourTitle);
    f.panel->cmdKensaku_Click();
    searchKeyword(f, QStringLiteral("物語"));
    f.host->HidePanels();
    f.panel->cmdKensaku_Click(); // no change: nothing refilled, no tour
    f.checkDialogs();
    QCOMPARE(results(f), (QStringList{"abc物語", "ABC物語", "ａｂｃ物語"}));
    QCOMPARE(caption(f), QStringLiteral("検索件数\u30003件"));

    // An author entered on the main page since: the lists are refilled and the new name takes its sorted place.
    insertSorted(f.state->lists.authors, QStringLiteral("いのうえ"));
    f.state->stale.SearchListStale = true;
    f.host->HidePanels();
    f.dialogs.expectMessage(TourTitle);
    f.panel->cmdKensaku_Click();
    f.checkDialogs();
    QCOMPARE(texts(f.child<QListView>("lstSakusya")), (QStringList{"あおい", "いのうえ", "かとう", "さとう"}));
    QCOMPARE(results(f).size(), 6);
    QCOMPARE(caption(f), QStringLiteral("検索件数\u30006件"));
    QCOMPARE(f.child<QLineEdit>("txtNamae")->text(), QStringLiteral("物語"));
}

void TestSearchScreen::doubleClickOpensTheResult()
{
    SearchFixture f;
    f.start(sixTitles());
    f.panel->cmdKensaku_Click();
    clickEntry(f, "lstSakusya", QStringLiteral("あおい"));
    auto* found = f.child<QListView>("lstDaimei");
    // The second 王様ゲーム is record 6, not the first record of that title.
    doubleClick(found->viewport(), rowCentre(found, 1));
    QCOMPARE(f.host->mainPages, QList<int>{6});
    QCOMPARE(int(f.state->PickedIndex), 6);
    QVERIFY(!f.panel->isVisible());
}

QTEST_MAIN(TestSearchScreen)
#include "tst_searchscreen.moc"
