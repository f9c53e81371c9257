// The ranking screen driven as a user does: opening and reopening, the sort options as radio buttons, the
// first-issue label's mode switch, drags in the favourite list as plain presses, moves and releases on its
// viewport, the save (checked on the bytes of the ranking file) and the creation of a missing ranking.
#include "support/PanelFixture.h"
#include "rankings/widgets/RankList.h"
#include "rankings/widgets/RankPanel.h"
#include "ui/UnsavedOrder.h"
#include "ui/logic/TourTexts.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

using namespace paneltest;

namespace {

using RankFixture = Fixture<RankPanel>;

const QString RankingName = QStringLiteral("ランキング.txt");
const QString CreateTitle = QStringLiteral("ランキングデータ新規作成");

// A split series, names that differ only in case, a record without a first issue, names the lists leave out.
QList<Line> collection()
{
    return {
        {"長編", 50, 0, "あだち", "週刊Ａ", "◎", "2005/03/01", ""},
        {"長編", 50, 50, "あだち", "週刊Ａ", "◎", "2005/03/20", ""},
        {"長編", 12, 100, "あだち", "週刊Ａ", "◎", "2005/11/02", ""},
        {"短編", 9, 0, "ADACHI", "月刊Ｂ", "○", "1999/12/31", ""},
        {"中編", 10, 0, "adachi", "月刊Ｂ", "○", "", ""},
        {"無名", 1, 0, "未登録", "", "未", "2005/03/05", ""},
        {"空白", 5, 0, "", "未登録", "未", "2010/01/01", ""},
    };
}

QString rankingText(const QStringList& titles)
{
    QString text;
    for (const QString& title : titles)
        text += u'"' + title + QStringLiteral("\"\r\n");
    return text;
}

// The state as the window starts it: the collection, then the favourites from the ranking file, if any.
void start(RankFixture& f, const QList<Line>& lines, const std::optional<QStringList>& ranking, bool tour = false)
{
    if (ranking)
        f.folder.writeText(RankingName, rankingText(*ranking));
    f.start(lines, tour);
    f.state->favourites = f.state->store.readRanking();
}

QStringList column(const RankFixture& f, const char* grid, int c)
{
    const QAbstractItemModel* model = f.child<QTableView>(grid)->model();
    QStringList texts;
    for (int r = 0; r < model->rowCount(); ++r)
        texts << model->index(r, c).data().toString();
    return texts;
}

QStringList ranks(int n)
{
    QStringList texts;
    for (int r = 1; r <= n; ++r)
        texts << QString::number(r);
    return texts;
}

RankList* list(const RankFixture& f)
{
    return f.child<RankList>("lstRank");
}

QStringList listed(const RankFixture& f)
{
    QStringList texts;
    for (int r = 0; r < list(f)->model()->rowCount(); ++r)
        texts << list(f)->model()->index(r, 0).data().toString();
    return texts;
}

bool unsavedColour(const RankFixture& f)
{
    return f.child<QPushButton>("cmdRankHozon")->palette().color(QPalette::Button) == unsavedorder::Colour;
}

QPoint centre(const RankFixture& f, int row)
{
    return list(f)->visualRect(list(f)->model()->index(row, 0)).center();
}

// A user's drag: press on one entry, move over the entries between, release on another.
void dragEntry(const RankFixture& f, int from, int to)
{
    QWidget* viewport = list(f)->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, centre(f, from));
    for (int row = from; row != to; row += to > from ? 1 : -1)
        QTest::mouseMove(viewport, centre(f, row));
    QTest::mouseMove(viewport, centre(f, to));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, centre(f, to));
}

void click(const RankFixture& f, const char* name)
{
    QTest::mouseClick(f.child<QWidget>(name), Qt::LeftButton);
}

} // namespace

class TestRankScreen : public QObject {
    Q_OBJECT
private slots:
    void openingFillsEveryRanking();
    void reopeningRecountsAndResets();
    void namesAndDatesLeftOut();
    void optionsSort_data();
    void optionsSort();
    void firstIssueModes();
    void drag_data();
    void drag();
    void selectionFollowsThePointer();
    void dragPastTheEdgeScrolls();
    void save_data();
    void save();
    void creation_data();
    void creation();
};

void TestRankScreen::openingFillsEveryRanking()
{
    RankFixture f;
    start(f, collection(), QStringList{"長編", "短編"}, true);
    f.dialogs.expectMessage(TourTitle);
    f.panel->cmdRank_Click();
    f.checkDialogs();
    QCOMPARE(f.dialogs.messages().last().text, tour::rankScreen());
    QVERIFY(f.panel->isVisible());
    QCOMPARE(f.child<QGroupBox>("fraRankKansu")->geometry(), twips::rect(4425, 3965, 3480, 3390));
    QCOMPARE(f.child<QTableView>("msgMaster6")->geometry(), twips::rect(150, 375, 3210, 2500));
    QCOMPARE(f.child<QTableView>("msgSaku")->columnWidth(1), twips::toPixels(1850));
    QCOMPARE(f.child<QTableView>("msgKei")->model()->headerData(1, Qt::Horizontal).toString(), "掲載社名");
    QCOMPARE(list(f)->geometry(), twips::rect(8025, 750, 3540, 6135));
    QCOMPARE(f.child<QLabel>("lblKoukaiChg")->toolTip(), "クリックすると年月と年を切り替えられます");

    // 作品数順: the split series counts three times; names that differ in case are rows of their own.
    QCOMPARE(column(f, "msgSaku", 0), ranks(3));
    QCOMPARE(column(f, "msgSaku", 1), (QStringList{"あだち", "adachi", "ADACHI"}));
    QCOMPARE(column(f, "msgSaku", 2), (QStringList{"3", "1", "1"}));
    QCOMPARE(column(f, "msgSaku", 3), (QStringList{"112", "10", "9"}));
    QCOMPARE(column(f, "msgKei", 1), (QStringList{"週刊Ａ", "月刊Ｂ"}));
    QCOMPARE(column(f, "msgKei", 3), (QStringList{"112", "19"}));
    // 多い順; the record without a first issue counts nowhere.
    QCOMPARE(column(f, "msgMaster3", 1), (QStringList{"2005年03月", "2005年11月", "1999年12月", "2010年01月"}));
    QCOMPARE(column(f, "msgMaster3", 2), (QStringList{"3", "1", "1", "1"}));
    // All eight ranges, those without a record at the bottom.
    QCOMPARE(column(f, "msgMaster6", 0), ranks(8));
    QCOMPARE(column(f, "msgMaster6", 1), (QStringList{" 06巻～10巻", " 51巻以上", " 01巻", " 02巻～05巻", " 41巻～50巻",
                                                      " 11巻～20巻", " 21巻～30巻", " 31巻～40巻"}));
    QCOMPARE(column(f, "msgMaster6", 2), (QStringList{"2", "2", "1", "1", "1", "0", "0", "0"}));
    QCOMPARE(listed(f), (QStringList{"長編", "短編"}));
    QVERIFY(!unsavedColour(f));

    // A screen on show ignores its button.
    f.panel->cmdRank_Click();
    QCOMPARE(f.host->hides, 1);
    f.checkDialogs();
}

void TestRankScreen::reopeningRecountsAndResets()
{
    RankFixture f;
    start(f, collection(), QStringList{"長編"});
    f.panel->cmdRank_Click();
    for (const char* name : {"optSaku3", "optKei2", "optMaster63", "lblKoukaiChg"})
        click(f, name);
    // While the screen stays open, it does not follow changes made elsewhere.
    f.state->titles[5].author = QStringLiteral("あだち");
    f.state->lists = buildSelectionLists(f.state->titles);
    f.panel->cmdRank_Click();
    QCOMPARE(column(f, "msgSaku", 1), (QStringList{"adachi", "ADACHI", "あだち"}));

    f.host->HidePanels();
    f.panel->cmdRank_Click();
    QCOMPARE(column(f, "msgSaku", 1), (QStringList{"あだち", "ADACHI"}));
    QCOMPARE(column(f, "msgSaku", 3), (QStringList{"122", "9"}));
    QCOMPARE(f.child<QLabel>("lblKoukaiChg")->text(), "初刊発行年月");
    QCOMPARE(column(f, "msgMaster3", 2), (QStringList{"3", "1", "1", "1"}));
    for (const char* option : {"optSaku1", "optKei1", "optMaster31", "optMaster61"})
        QVERIFY2(f.child<QRadioButton>(option)->isChecked(), option);
    f.checkDialogs();
}

void TestRankScreen::namesAndDatesLeftOut()
{
    RankFixture f;
    start(f, {{"一", 3, 0, "未登録", "", "未", "", ""}, {"二", 4, 0, "", "未登録", "未", "", ""}}, QStringList{"一"});
    f.panel->cmdRank_Click();
    for (const char* name : {"optSaku3", "optKei2", "lblKoukaiChg"})
        click(f, name);
    QCOMPARE(f.child<QLabel>("lblKoukaiChg")->text(), "初刊発行年");
    for (const char* grid : {"msgSaku", "msgKei", "msgMaster3"})
        QCOMPARE(f.child<QTableView>(grid)->model()->rowCount(), 0);
    QCOMPARE(column(f, "msgMaster6", 2), (QStringList{"2", "0", "0", "0", "0", "0", "0", "0"}));
    f.checkDialogs();
}

void TestRankScreen::optionsSort_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("冊数順") << "optSaku2"
                            << "msgSaku" << QStringList{"あだち", "adachi", "ADACHI"};
    QTest::newRow("名前順") << "optSaku3"
                            << "msgSaku" << QStringList{"adachi", "ADACHI", "あだち"};
    QTest::newRow("年順") << "optMaster33"
                          << "msgMaster3" << QStringList{"1999年12月", "2005年03月", "2005年11月", "2010年01月"};
    QTest::newRow("巻順") << "optMaster63"
                          << "msgMaster6" << QStringList{" 01巻",       " 02巻～05巻", " 06巻～10巻", " 11巻～20巻",
                                                         " 21巻～30巻", " 31巻～40巻", " 41巻～50巻", " 51巻以上"};
}

void TestRankScreen::optionsSort()
{
    QFETCH(QString, option);
    QFETCH(QString, grid);
    QFETCH(QStringList, labels);
    RankFixture f;
    start(f, collection(), QStringList{"長編"});
    f.panel->cmdRank_Click();
    const QByteArray gridName = grid.toLatin1();
    const QStringList opened = column(f, gridName.constData(), 1);
    click(f, option.toLatin1().constData());
    QCOMPARE(column(f, gridName.constData(), 1), labels);
    QCOMPARE(column(f, gridName.constData(), 0), ranks(int(labels.size())));
    // The first option of the group brings back the order of the opening.
    click(f, (option.chopped(1) + u'1').toLatin1().constData());
    QCOMPARE(column(f, gridName.constData(), 1), opened);
    f.checkDialogs();
}

void TestRankScreen::firstIssueModes()
{
    RankFixture f;
    start(f, collection(), QStringList{"長編"});
    f.panel->cmdRank_Click();
    click(f, "optMaster33");
    click(f, "lblKoukaiChg");
    QCOMPARE(f.child<QLabel>("lblKoukaiChg")->text(), "初刊発行年");
    QVERIFY(f.child<QRadioButton>("optMaster31")->isChecked());
    QCOMPARE(column(f, "msgMaster3", 1), (QStringList{"2005年", "1999年", "2010年"}));
    QCOMPARE(column(f, "msgMaster3", 2), (QStringList{"4", "1", "1"}));
    click(f, "optMaster33");
    QCOMPARE(column(f, "msgMaster3", 1), (QStringList{"1999年", "2005年", "2010年"}));

    click(f, "lblKoukaiChg");
    QCOMPARE(f.child<QLabel>("lblKoukaiChg")->text(), "初刊発行年月");
    QVERIFY(f.child<QRadioButton>("optMaster31")->isChecked());
    QCOMPARE(column(f, "msgMaster3", 2), (QStringList{"3", "1", "1", "1"}));
    QVERIFY(f.child<QTableView>("msgMaster3")->isVisible());
    f.checkDialogs();
}

void TestRankScreen::drag_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("result");
    QTest::newRow("A onto C") << 0 << 2 << "BACD";
    QTest::newRow("D onto B") << 3 << 1 << "ADBC";
    QTest::newRow("A onto B") << 0 << 1 << "ABCD";
    QTest::newRow("C onto itself") << 2 << 2 << "ABCD";
    QTest::newRow("A onto D") << 0 << 3 << "BCAD";
}

void TestRankScreen::drag()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, result);
    RankFixture f;
    start(f, {{"A"}, {"B"}, {"C"}, {"D"}}, QStringList{"A", "B", "C", "D"});
    const QByteArray file = f.folder.readBytes(RankingName);
    f.panel->cmdRank_Click();
    dragEntry(f, from, to);
    const QStringList expected = result.split(QString(), Qt::SkipEmptyParts);
    QCOMPARE(listed(f), expected);
    QCOMPARE(f.state->favourites, expected);
    QCOMPARE(unsavedColour(f), result != "ABCD");
    // The moved entry is selected where it landed; a drop that moves nothing leaves the entry under the pointer.
    QCOMPARE(list(f)->selectedRow(), result != "ABCD" ? int(result.indexOf(QChar(u'A' + from))) : to);
    QCOMPARE(f.folder.readBytes(RankingName), file);

    // The unsaved order and its marker outlast a visit to another screen.
    f.host->HidePanels();
    f.panel->cmdRank_Click();
    QCOMPARE(listed(f), expected);
    QCOMPARE(unsavedColour(f), result != "ABCD");
    f.checkDialogs();
}

void TestRankScreen::selectionFollowsThePointer()
{
    RankFixture f;
    start(f, {{"A"}, {"B"}, {"C"}, {"D"}}, QStringList{"A", "B", "C", "D"});
    f.panel->cmdRank_Click();
    QWidget* viewport = list(f)->viewport();
    QTest::mousePress(viewport, Qt::RightButton, {}, centre(f, 0));
    for (int row : {1, 3, 2}) {
        QTest::mouseMove(viewport, centre(f, row));
        QCOMPARE(list(f)->selectedRow(), row);
    }
    // Below the last entry is the last entry: the drop lands above it.
    const QPoint below(5, viewport->height() - 3);
    QTest::mouseMove(viewport, below);
    QTest::mouseRelease(viewport, Qt::RightButton, {}, below);
    QCOMPARE(listed(f), (QStringList{"B", "C", "A", "D"}));
    QCOMPARE(list(f)->selectedRow(), 2);

    f.checkDialogs();
}

void TestRankScreen::dragPastTheEdgeScrolls()
{
    RankFixture f;
    QList<Line> lines;
    QStringList titles;
    for (int i = 0; i < 200; ++i) {
        titles << QStringLiteral("作品%1").arg(i, 3, 10, QLatin1Char('0'));
        lines << Line{titles.last()};
    }
    start(f, lines, titles);
    f.panel->cmdRank_Click();
    QWidget* viewport = list(f)->viewport();
    const int lastShown = list(f)->indexAt(QPoint(2, viewport->height() - 2)).row();
    QVERIFY(lastShown > 0 && lastShown < 150);

    // Held below the list, the list scrolls on and the selection with it.
    QTest::mousePress(viewport, Qt::LeftButton, {}, centre(f, 0));
    const QPoint below(5, viewport->height() + 20);
    QTest::mouseMove(viewport, below);
    QCOMPARE(list(f)->selectedRow(), lastShown + 1);
    QTRY_VERIFY(list(f)->selectedRow() >= lastShown + 4);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, below);
    const int landed = list(f)->selectedRow();
    QVERIFY(landed >= lastShown + 4);
    QCOMPARE(f.state->favourites.at(landed), titles.first());
    QCOMPARE(f.state->favourites.at(landed + 1), titles.at(landed + 1));
    f.checkDialogs();
}

void TestRankScreen::save_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("failing");
    QTest::newRow("OK") << int(Dialogs::Ok) << false;
    QTest::newRow("Cancel") << int(Dialogs::Cancel) << false;
    QTest::newRow("OK, the write fails") << int(Dialogs::Ok) << true;
}

void TestRankScreen::save()
{
    QFETCH(int, answer);
    QFETCH(bool, failing);
    RankFixture f;
    // 消えた is no title any more; 甲 is listed twice.
    start(f, {{"甲"}, {"乙", 50}, {"乙", 10, 50}, {"ｶﾅ"}, {"Ｄ"}}, QStringList{"ｶﾅ", "消えた", "甲", "乙", "甲", "Ｄ"});
    const QByteArray before = f.folder.readBytes(RankingName);
    f.panel->cmdRank_Click();
    dragEntry(f, 0, 5);
    const QStringList shown = {"消えた", "甲", "乙", "甲", "ｶﾅ", "Ｄ"};
    QCOMPARE(listed(f), shown);
    if (failing)
        f.state->store.folder().setWriter(std::make_unique<FailingWriter>());
    f.dialogs.expectMessage(QStringLiteral("ランキングデータ保存確認"), answer);
    if (failing)
        f.dialogs.expectMessage(QStringLiteral("保存できません"));
    click(f, "cmdRankHozon");
    f.checkDialogs();
    QCOMPARE(f.dialogs.messages().first().text, "変更した順位でランキングデータを保存しますか？\r\n\r\n"
                                                "良かったらＯＫボタンを押してください");
    QCOMPARE(f.dialogs.messages().first().style, Dialogs::OkCancel + Dialogs::Exclamation);
    if (failing)
        QVERIFY(f.dialogs.messages().last().text.contains(RankingName));

    const bool saved = answer == Dialogs::Ok && !failing;
    QFile golden(QStringLiteral(TESTDATA_DIR "/rankings/saved.txt"));
    QVERIFY(golden.open(QIODevice::ReadOnly));
    QCOMPARE(f.folder.readBytes(RankingName), saved ? golden.readAll() : before);
    QCOMPARE(unsavedColour(f), !saved);
    QCOMPARE(listed(f), shown); // entries of deleted titles stay on screen
}

void TestRankScreen::creation_data()
{
    QTest::addColumn<QList<Line>>("lines");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("failing");
    QTest::addColumn<QStringList>("created");
    const QList<Line> three = {{"乙"}, {"甲", 50}, {"甲", 3, 50}};
    QTest::newRow("OK") << three << int(Dialogs::Ok) << false << QStringList{"乙", "甲", "甲"};
    QTest::newRow("Cancel") << three << int(Dialogs::Cancel) << false << QStringList{};
    QTest::newRow("OK, the write fails") << three << int(Dialogs::Ok) << true << QStringList{};
    QTest::newRow("OK on an empty collection") << QList<Line>{} << int(Dialogs::Ok) << false << QStringList{};
}

void TestRankScreen::creation()
{
    QFETCH(QList<Line>, lines);
    QFETCH(int, answer);
    QFETCH(bool, failing);
    QFETCH(QStringList, created);
    RankFixture f;
    start(f, lines, std::nullopt, true);
    if (failing)
        f.state->store.folder().setWriter(std::make_unique<FailingWriter>());
    f.dialogs.expectMessage(TourTitle).expectMessage(CreateTitle, answer);
    if (failing)
        f.dialogs.expectMessage(QStringLiteral("保存できません"));
    f.panel->cmdRank_Click();
    f.checkDialogs();
    QCOMPARE(f.dialogs.messages().at(1).text, "ランキングデータがありません。\r\n\r\n現在の並びで作成しますか？");
    QCOMPARE(listed(f), created);
    QCOMPARE(f.state->favourites, created);
    QCOMPARE(f.folder.exists(RankingName), answer == Dialogs::Ok && !failing);
    QCOMPARE(f.folder.readBytes(RankingName), TestFolder::cp932(rankingText(created)));

    // Until a ranking exists, every opening offers it again; titles added since join the list at the end.
    f.host->HidePanels();
    f.dialogs.reset();
    f.dialogs.expectMessage(TourTitle);
    if (created.isEmpty())
        f.dialogs.expectMessage(CreateTitle, Dialogs::Cancel);
    else
        f.state->favourites << QStringLiteral("新");
    f.panel->cmdRank_Click();
    f.checkDialogs();
    QCOMPARE(listed(f), created.isEmpty() ? created : created + QStringList{"新"});
}

QTEST_MAIN(TestRankScreen)
#include "tst_rankscreen.moc"
