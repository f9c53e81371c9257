// The sort screen driven as a user does: opening and refilling, sorting by clicks on the grid and the title
// button, double-clicks, and "メインに反映" checked on the bytes of the collection file.
#include "support/PanelFixture.h"
#include "lists/SortModel.h"
#include "lists/widgets/SortPanel.h"
#include "ui/logic/TourTexts.h"

#include <QHeaderView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>

using namespace paneltest;

namespace {

using SortFixture = Fixture<SortPanel>;

const QString ConfirmTitle = QStringLiteral("メイン並び替え確認");
const QString DoneTitle = QStringLiteral("並び替え完了");

// Four titles whose every sortable column orders them differently. 乙 appears twice, as two records.
QList<Line> fourTitles()
{
    return {
        {QStringLiteral("乙"), 12, 50, QStringLiteral("かとう"), QStringLiteral("週刊Ｂ"), QStringLiteral("○"),
         QStringLiteral("2002/2/18"), QStringLiteral("2008/05/05")},
        {QStringLiteral("Ａ"), 9, 0, QStringLiteral("あおい"), QStringLiteral("月刊Ｃ"), QStringLiteral("◎"),
         QStringLiteral("1999/12/31"), QStringLiteral("2000/01/01")},
        {QStringLiteral("乙"), 3, 0, QStringLiteral("さとう"), QStringLiteral("別冊Ａ"), QStringLiteral("未"),
         QStringLiteral("2010/01/01"), QStringLiteral("2010/01/31")},
        {QStringLiteral("甲"), 100, 0, QStringLiteral("未登録"), QStringLiteral("未登録"), QStringLiteral("△"),
         QStringLiteral("2005/06/01"), QStringLiteral("未登録")},
    };
}

QTableView* grid(const SortFixture& f)
{
    return f.child<QTableView>("msgIchiran");
}

QStringList column(const SortFixture& f, int c)
{
    QStringList texts;
    for (int r = 1; r <= f.panel->model().rowCount(); ++r)
        texts << f.panel->model().cellText(r, c);
    return texts;
}

// Row r's cell of column c, as the grid shows it (grid rows from 1).
QPoint cellCentre(const SortFixture& f, int r, int c)
{
    const QModelIndex index = grid(f)->model()->index(r - 1, c);
    grid(f)->scrollTo(index);
    return grid(f)->visualRect(index).center();
}

void clickCell(const SortFixture& f, int r, int c)
{
    QTest::mouseClick(grid(f)->viewport(), Qt::LeftButton, {}, cellCentre(f, r, c));
}

void clickHeader(const SortFixture& f, int c)
{
    QHeaderView* header = grid(f)->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(c) + header->sectionSize(c) / 2, header->height() / 2));
}

void clickButton(const SortFixture& f, const char* name)
{
    QTest::mouseClick(f.child<QPushButton>(name), Qt::LeftButton);
}

// The lines of the file in the order of the given records of fourTitles() (1-based).
QByteArray fileOf(const QList<int>& records)
{
    const QList<Line> lines = fourTitles();
    QString text;
    for (const int i : records)
        text += lines[i - 1].text();
    return TestFolder::cp932(text);
}

} // namespace

class TestSortScreen : public QObject {
    Q_OBJECT
private slots:
    void openingFillsTheGrid();
    void clicksSort_data();
    void clicksSort();
    void reopeningKeepsOrderUntilTheDataChanges();
    void doubleClick_data();
    void doubleClick();
    void reflectWritesTheShownOrder();
    void refusedRewriteChangesNothing_data();
    void refusedRewriteChangesNothing();
};

void TestSortScreen::openingFillsTheGrid()
{
    SortFixture f;
    f.start(fourTitles(), true);
    f.dialogs.expectMessage(TourTitle);
    f.panel->cmdIchiran_Click();
    f.checkDialogs();
    QCOMPARE(f.dialogs.messages().last().text, tour::sortScreen());
    QVERIFY(f.panel->isVisible());
    QCOMPARE(f.panel->objectName(), QStringLiteral("fraIchiran"));
    QCOMPARE(f.child<QPushButton>("cmdSort1")->text(), QStringLiteral("題名"));
    QCOMPARE(f.child<QPushButton>("cmdSortCng1")->text(), QStringLiteral("メインに反映"));
    QVERIFY(!f.state->stale.SortListStale);

    const QAbstractItemModel* model = grid(f)->model();
    const QStringList headers = {"題名", "巻数", "評価", "著者", "掲載雑誌", "初刊発行", "終刊発行", "年数"};
    const QList<int> widths = {2830, 510, 510, 1680, 2090, 1150, 1150, 1120};
    for (int c = 0; c < 8; ++c) {
        QCOMPARE(model->headerData(c, Qt::Horizontal).toString(), headers[c]);
        QCOMPARE(grid(f)->columnWidth(c), twips::toPixels(widths[c]));
        const int alignment = c == 2 || c == 7 ? Qt::AlignCenter
                              : c == 1         ? Qt::AlignRight | Qt::AlignVCenter
                                               : Qt::AlignLeft | Qt::AlignVCenter;
        QCOMPARE(model->index(0, c).data(Qt::TextAlignmentRole).toInt(), alignment);
    }
    QCOMPARE(grid(f)->geometry(), twips::rect(150, 225, 11415, 6795));
    QCOMPARE(column(f, 0), (QStringList{"乙", "Ａ", "乙", "甲"}));
    QStringList first;
    for (int c = 0; c < 8; ++c)
        first << model->index(0, c).data().toString();
    QCOMPARE(first, (QStringList{"乙", "62", "○", "かとう", "週刊Ｂ", "2002/02/18", "2008/05/05", "06年03ヶ月"}));
    QCOMPARE(column(f, 7), (QStringList{"06年03ヶ月", "99年12ヶ月", "00年01ヶ月", ""}));

    // A screen on show ignores its button.
    f.panel->cmdIchiran_Click();
    QCOMPARE(f.host->hides, 1);
    f.checkDialogs();
}

void TestSortScreen::clicksSort_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("sortColumn");
    QTest::addColumn<QStringList>("firstOrder"); // authors, which tell the rows apart
    QTest::addColumn<QStringList>("secondOrder");
    const QStringList tableOrder = {"かとう", "あおい", "さとう", "未登録"};
    QTest::newRow("title button: A to Z, then Z to A")
        << "button" << 0 << QStringList{"あおい", "かとう", "さとう", "未登録"}
        << QStringList{"未登録", "かとう", "さとう", "あおい"};
    QTest::newRow("title cell: nothing") << "cell" << 0 << tableOrder << tableOrder;
    QTest::newRow("巻数 cell: most first, then fewest")
        << "cell" << 1 << QStringList{"未登録", "かとう", "あおい", "さとう"}
        << QStringList{"さとう", "あおい", "かとう", "未登録"};
    QTest::newRow("著者 header: descending, then ascending")
        << "header" << 3 << QStringList{"未登録", "さとう", "かとう", "あおい"}
        << QStringList{"あおい", "かとう", "さとう", "未登録"};
    QTest::newRow("初刊発行 cell: latest first, then earliest")
        << "cell" << 5 << QStringList{"さとう", "未登録", "かとう", "あおい"}
        << QStringList{"あおい", "かとう", "未登録", "さとう"};
}

void TestSortScreen::clicksSort()
{
    QFETCH(QString, how);
    QFETCH(int, sortColumn);
    QFETCH(QStringList, firstOrder);
    QFETCH(QStringList, secondOrder);
    SortFixture f;
    f.start(fourTitles());
    f.panel->cmdIchiran_Click();
    for (const QStringList& expected : {firstOrder, secondOrder}) {
        if (how == "button")
            clickButton(f, "cmdSort1");
        else if (how == "header")
            clickHeader(f, sortColumn);
        else
            clickCell(f, 3, sortColumn); // any row of the column
        QCOMPARE(column(f, 3), expected);
    }
    f.checkDialogs();
}

void TestSortScreen::reopeningKeepsOrderUntilTheDataChanges()
{
    SortFixture f;
    f.start(fourTitles(), true);
    f.dialogs.expectMessage(TourTitle);
    f.panel->cmdIchiran_Click();
    clickCell(f, 1, 1);
    const QStringList sorted = column(f, 0);
    QCOMPARE(sorted, (QStringList{"甲", "乙", "Ａ", "乙"}));

    f.host->HidePanels();
    f.panel->cmdIchiran_Click(); // nothing changed: no refill, no tour
    QCOMPARE(column(f, 0), sorted);
    f.checkDialogs();

    (*f.state).titles[2].rating = QStringLiteral("◎");
    f.state->stale.SortListStale = true;
    f.host->HidePanels();
    f.dialogs.expectMessage(TourTitle);
    f.panel->cmdIchiran_Click();
    QCOMPARE(column(f, 0), (QStringList{"乙", "Ａ", "乙", "甲"}));
    QCOMPARE(column(f, 2), (QStringList{"○", "◎", "未", "△"}));
    // The direction of each column survives the refill: the second click on 巻数 sorts fewest first.
    clickCell(f, 2, 1);
    QCOMPARE(column(f, 1), (QStringList{"3", "9", "62", "100"}));
    f.checkDialogs();
}

void TestSortScreen::doubleClick_data()
{
    QTest::addColumn<int>("sortColumn"); // -1: none
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("clickedColumn");
    QTest::addColumn<int>("picked"); // 0: the main page is not opened
    QTest::addColumn<QStringList>("authors");
    const QStringList tableOrder = {"かとう", "あおい", "さとう", "未登録"};
    QTest::newRow("a title") << -1 << 2 << 0 << 2 << tableOrder;
    QTest::newRow("the second of two records with one title")
        << 3 << 2 << 0 << 3 << QStringList{"未登録", "さとう", "かとう", "あおい"};
    QTest::newRow("another column only sorts, once")
        << -1 << 1 << 3 << 0 << QStringList{"未登録", "さとう", "かとう", "あおい"};
}

void TestSortScreen::doubleClick()
{
    QFETCH(int, sortColumn);
    QFETCH(int, row);
    QFETCH(int, clickedColumn);
    QFETCH(int, picked);
    QFETCH(QStringList, authors);
    SortFixture f;
    f.start(fourTitles());
    f.panel->cmdIchiran_Click();
    if (sortColumn >= 0)
        f.panel->msgIchiran_Click(0, sortColumn);
    paneltest::doubleClick(grid(f)->viewport(), cellCentre(f, row, clickedColumn));
    QCOMPARE(column(f, 3), authors);
    QCOMPARE(f.host->mainPages, picked ? QList<int>{picked} : QList<int>{});
    QCOMPARE(int(f.state->PickedIndex), picked);
    QCOMPARE(f.panel->isVisible(), picked == 0);
}

void TestSortScreen::reflectWritesTheShownOrder()
{
    SortFixture f;
    f.start(fourTitles());
    f.state->GalleryBuilt = true;
    f.state->stale.StatusGridStale = false;
    QSignalSpy pages(f.panel.get(), &SortPanel::mainPageIndexRequested);
    f.panel->cmdIchiran_Click();
    clickCell(f, 1, 3); // authors descending: 甲, 乙 (さとう), 乙 (かとう), Ａ

    f.dialogs.expectMessage(ConfirmTitle, Dialogs::Cancel);
    clickButton(f, "cmdSortCng1");
    f.checkDialogs();
    QCOMPARE(f.folder.readBytes(CollectionName), fileOf({1, 2, 3, 4}));
    QVERIFY(f.state->GalleryBuilt);

    f.dialogs.expectMessage(ConfirmTitle, Dialogs::Ok).expectMessage(DoneTitle);
    clickButton(f, "cmdSortCng1");
    f.checkDialogs();
    const ScriptedDialogs::Box confirm = f.dialogs.messages().at(1);
    QCOMPARE(confirm.text, QStringLiteral("現在表示中の順番でメインのデータも並び替えますか？\r\n\r\n"
                                          "良かったらＯＫボタンを押してください"));
    QCOMPARE(confirm.style, Dialogs::OkCancel + Dialogs::Exclamation);
    QCOMPARE(f.dialogs.messages().last().text, QStringLiteral("並び替えた順番をメインの順番に反映させました。"));
    QCOMPARE(f.dialogs.messages().last().style, Dialogs::OkOnly + Dialogs::Information);

    // Every field as it was, "2002/2/18" included; both records of 乙 once each.
    QCOMPARE(f.folder.readBytes(CollectionName), fileOf({4, 3, 1, 2}));
    QCOMPARE(f.host->loads, 1);
    QCOMPARE(f.state->titles.at(1).title, QStringLiteral("甲"));
    QCOMPARE(pages.size(), 2);
    QCOMPARE(pages.at(0).at(0).toInt(), 4);
    QCOMPARE(pages.at(1).at(0).toInt(), 1);
    QVERIFY(!f.state->GalleryBuilt);
    QVERIFY(f.state->stale.StatusGridStale);
    QVERIFY(!f.state->stale.SortListStale);
    QVERIFY(f.panel->isVisible());
    QCOMPARE(column(f, 3), (QStringList{"未登録", "さとう", "かとう", "あおい"}));

    // The rows now stand for the records at their own row numbers.
    paneltest::doubleClick(grid(f)->viewport(), cellCentre(f, 3, 0));
    QCOMPARE(f.host->mainPages, QList<int>{3});
}

void TestSortScreen::refusedRewriteChangesNothing_data()
{
    QTest::addColumn<bool>("damaged");
    QTest::newRow("the write fails") << false;
    QTest::newRow("the file is locked as damaged") << true;
}

void TestSortScreen::refusedRewriteChangesNothing()
{
    QFETCH(bool, damaged);
    SortFixture f;
    const QByteArray bytes = fileOf({1, 2, 3, 4}) + (damaged ? QByteArray("\"\x80\"\r\n") : QByteArray());
    f.folder.writeBytes(CollectionName, bytes);
    f.start();
    QCOMPARE(f.loadProblem.isEmpty(), !damaged);
    if (!damaged)
        f.state->store.folder().setWriter(std::make_unique<FailingWriter>());
    const TitleTable before = f.state->titles;
    QSignalSpy pages(f.panel.get(), &SortPanel::mainPageIndexRequested);
    f.panel->cmdIchiran_Click();
    clickButton(f, "cmdSort1");
    const QStringList shown = column(f, 3);

    // A locked collection is refused before anything is asked.
    if (!damaged)
        f.dialogs.expectMessage(ConfirmTitle, Dialogs::Ok);
    f.dialogs.expectMessage(QStringLiteral("保存できません"));
    clickButton(f, "cmdSortCng1");
    f.checkDialogs();
    const QString message = f.dialogs.messages().last().text;
    QVERIFY2(message.contains(CollectionName), qPrintable(message));
    if (damaged)
        QVERIFY2(message.endsWith(f.loadProblem), qPrintable(message));
    else
        QVERIFY2(message.contains(QStringLiteral("ディスクがいっぱいです")), qPrintable(message));
    QCOMPARE(f.folder.readBytes(CollectionName), bytes);
    QCOMPARE(f.state->titles.records(), before.records());
    QCOMPARE(column(f, 3), shown);
    QCOMPARE(f.host->loads, 0);
    QCOMPARE(pages.size(), 0);
    QVERIFY(f.state->stale.StatusGridStale == true); // left as start-up set it
}

QTEST_MAIN(TestSortScreen)
#include "tst_sortscreen.moc"
