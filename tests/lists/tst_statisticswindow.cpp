// The statistics screen in the real window, opened through the ranking screen's button on a collection made here:
// its totals, every bar of the four charts as Qt Charts holds them, the nearly complete series and how they lead
// to the main page, recounting after a change, and the chart saved and printed.
#include "ListFixture.h"
#include "support/PanelFixture.h"
#include "app/MainWindow.h"
#include "lists/ListPrinting.h"
#include "lists/widgets/StatisticsPanel.h"
#include "ui/MainPage.h"

#include <QAbstractBarSeries>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QListView>
#include <QTabWidget>
#include <QTableView>

namespace {

using paneltest::Line;

QString u(const char* text)
{
    return QString::fromUtf8(text);
}

// 海 is one series over two records (62 volumes, volume 53 missing); 空 misses 7 and 9, 森 everything, 川 nothing.
void writeCollection(TestFolder& folder)
{
    const QList<Line> lines = {
        {u("海(1_50)"), 50, 0, u("作者"), u("週刊Ａ"), u("◎"), u("2001/04/01"), u("2001/04/01")},
        {u("海(51_100)"), 12, 50, u("作者"), u("週刊Ａ"), u("×"), u("2009/04/01"), u("2009/04/01")},
        {u("空"), 10, 0, u("作者"), u("月刊Ｂ"), u("○"), u("2005/01/10"), u("2005/01/10")},
        {u("森"), 5, 0, u("作者"), u("月刊Ｂ"), u("△"), QString(), QString()},
        {u("川"), 8, 0, u("作者"), u("週刊Ａ"), u("未"), u("2005/06/01"), u("2005/06/01")},
    };
    folder.writeText(paneltest::CollectionName, paneltest::collectionText(lines));
    folder.writeText(u("海(1_50).TXT"), listtest::missing({}));
    folder.writeText(u("海(51_100).TXT"), listtest::missing({3}));
    folder.writeText(u("空.TXT"), listtest::missing({7, 9}));
    folder.writeText(u("森.TXT"), listtest::missing({1, 2, 3, 4, 5}));
    folder.writeText(u("川.TXT"), listtest::missing({}));
    QString ranking;
    for (const Line& line : lines)
        ranking += QStringLiteral("\"%1\"\r\n").arg(line.title);
    folder.writeText(u("ランキング.txt"), ranking);
}

// One chart as Qt Charts holds it: the category labels and each bar set's values by name.
struct ChartBars {
    QStringList categories;
    QMap<QString, QList<int>> sets;
};

ChartBars barsOf(const QChartView* view)
{
    ChartBars bars;
    const QList<QAbstractSeries*> series = view->chart()->series();
    if (series.size() != 1)
        return bars;
    auto* barSeries = qobject_cast<QAbstractBarSeries*>(series.first());
    for (const QBarSet* set : barSeries->barSets()) {
        QList<int> values;
        for (int i = 0; i < set->count(); ++i)
            values << qRound(set->at(i));
        bars.sets.insert(set->label(), values);
    }
    for (QAbstractAxis* axis : barSeries->attachedAxes())
        if (auto* categories = qobject_cast<QBarCategoryAxis*>(axis))
            bars.categories = categories->categories();
    return bars;
}

QStringList rowsOf(const QListView* list)
{
    QStringList rows;
    for (int r = 0; r < list->model()->rowCount(); ++r)
        rows << list->model()->index(r, 0).data().toString();
    return rows;
}

struct Window {
    TestFolder folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> w;

    Window()
    {
        writeCollection(folder);
        QDir::setCurrent(folder.path());
        w = std::make_unique<MainWindow>(dialogs);
        w->show();
    }
    void click(const char* name) { QTest::mouseClick(w->findChild<QPushButton*>(name), Qt::LeftButton); }
    StatisticsPanel* open()
    {
        click("cmdRank");
        click("cmdToukei");
        return w->findChild<StatisticsPanel*>(QStringLiteral("fraToukei"));
    }
    QChartView* chart(const char* name) const { return w->findChild<QChartView*>(name); }
    QListView* list() const { return w->findChild<QListView*>(QStringLiteral("lstAtoSukoshi")); }
    QString counter() const { return w->findChild<QLabel*>(QStringLiteral("lblKensu"))->text(); }
};

} // namespace

class TestStatisticsWindow : public QObject {
    Q_OBJECT
private slots:
    void screenShowsTheCollectionsCounts();
    void rowsLeadToTheMainPage();
    void changeMakesTheScreenCountAgain();
    void chartIsSavedAndPrinted();
    void failedSaveIsReported();
};

void TestStatisticsWindow::screenShowsTheCollectionsCounts()
{
    Window t;
    // Nothing of the screen exists before it is first asked for.
    QVERIFY(!t.w->findChild<StatisticsPanel*>(QStringLiteral("fraToukei")));
    StatisticsPanel* panel = t.open();
    QVERIFY(panel && panel->isVisible());
    QVERIFY(!t.w->mainPage()->isVisible());
    QVERIFY(!t.w->findChild<QWidget*>(QStringLiteral("fraRank"))->isVisible());

    QCOMPARE(t.w->findChild<QLabel*>(QStringLiteral("lblToukeiSummary"))->text(),
             u("作品数 4　総冊数 85　所持 77　未所持 8　所持率 90.6%　完了 1　継続 3"));

    // 海 takes the year, magazine and rating of its first record.
    ChartBars years = barsOf(t.chart("chtYear"));
    QCOMPARE(years.categories, (QStringList{u("2001"), u("2005"), u("不明")}));
    QCOMPARE(years.sets.value(u("所持")), (QList<int>{61, 16, 0}));
    QCOMPARE(years.sets.value(u("未所持")), (QList<int>{1, 2, 5}));

    // Lying bars are listed from the bottom up: the magazine with the most owned volumes is last, at the top.
    ChartBars magazines = barsOf(t.chart("chtMagazine"));
    QCOMPARE(magazines.categories, (QStringList{u("月刊Ｂ"), u("週刊Ａ")}));
    QCOMPARE(magazines.sets.value(u("所持")), (QList<int>{8, 69}));
    QCOMPARE(magazines.sets.value(u("未所持")), (QList<int>{7, 1}));

    ChartBars ratings = barsOf(t.chart("chtRating"));
    QCOMPARE(ratings.categories, (QStringList{u("◎"), u("○"), u("△"), u("×"), u("未")}));
    QCOMPARE(ratings.sets.value(u("作品数")), (QList<int>{1, 1, 1, 0, 1}));

    ChartBars completion = barsOf(t.chart("chtCompletion"));
    QCOMPARE(completion.categories,
             (QStringList{u("100%"), u("90～99%"), u("75～89%"), u("50～74%"), u("1～49%"), u("0%")}));
    QCOMPARE(completion.sets.value(u("作品数")), (QList<int>{1, 1, 1, 0, 0, 1}));

    // Each chart's table holds the same numbers, and takes the chart's place on the switch.
    auto* asTables = t.w->findChild<QCheckBox*>(QStringLiteral("chkToukeiTable"));
    QVERIFY(t.chart("chtYear")->isVisible());
    QTest::mouseClick(asTables, Qt::LeftButton);
    QVERIFY(t.w->findChild<QTableView*>(QStringLiteral("tblYear"))->isVisible());
    QVERIFY(!t.chart("chtYear")->isVisible());
    const QAbstractItemModel* table = t.w->findChild<QTableView*>(QStringLiteral("tblMagazine"))->model();
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(table->index(0, 0).data().toString(), u("週刊Ａ"));
    QCOMPARE(table->index(0, 1).data().toString(), u("69"));
    QCOMPARE(table->index(1, 2).data().toString(), u("7"));

    QCOMPARE(rowsOf(t.list()), (QStringList{u("海　あと 1 冊（53巻）"), u("空　あと 2 冊（7, 9巻）")}));
    QVERIFY2(t.dialogs.done(), qPrintable(t.dialogs.problems()));
}

void TestStatisticsWindow::rowsLeadToTheMainPage()
{
    Window t;
    t.open();
    QListView* list = t.list();
    // Enter on 海 shows the record that holds its missing volume 53.
    list->setFocus();
    list->setCurrentIndex(list->model()->index(0, 0));
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(t.w->mainPage()->isVisible());
    QCOMPARE(t.counter(), u("2 / 5"));
    QVERIFY(t.w->findChild<QPushButton*>("cmdDel")->isEnabled());

    // A double-click on 空, as a user's arrives.
    t.open();
    QVERIFY(list->isVisible());
    const QRect row = list->visualRect(list->model()->index(1, 0));
    paneltest::doubleClick(list->viewport(), row.center());
    QVERIFY(t.w->mainPage()->isVisible());
    QCOMPARE(t.counter(), u("3 / 5"));
    // "メイン" from another screen comes back to the title picked here.
    t.w->mainPage()->setCurrentIndex(1);
    t.open();
    t.click("cmdMain");
    QCOMPARE(t.counter(), u("3 / 5"));
    QVERIFY2(t.dialogs.done(), qPrintable(t.dialogs.problems()));
}

void TestStatisticsWindow::changeMakesTheScreenCountAgain()
{
    Window t;
    t.open();
    // Volume 7 of 空 collected on the main page.
    t.click("cmdMain");
    t.w->mainPage()->setCurrentIndex(3);
    t.w->mainPage()->lblKan_Click(7);
    QCOMPARE(t.folder.readBytes(u("空.TXT")), TestFolder::cp932(listtest::missing({9})));
    t.open();
    QCOMPARE(rowsOf(t.list()), (QStringList{u("海　あと 1 冊（53巻）"), u("空　あと 1 冊（9巻）")}));
    QCOMPARE(t.w->findChild<QLabel*>(QStringLiteral("lblToukeiSummary"))->text(),
             u("作品数 4　総冊数 85　所持 78　未所持 7　所持率 91.8%　完了 1　継続 3"));
    QCOMPARE(barsOf(t.chart("chtYear")).sets.value(u("所持")), (QList<int>{61, 17, 0}));

    // A toggle on the status list counts as well.
    t.click("cmdList");
    auto* statusList = t.w->findChild<StatusListPanel*>(QStringLiteral("fraList"));
    statusList->msgList_Click(3, 9);
    t.open();
    QCOMPARE(rowsOf(t.list()), (QStringList{u("海　あと 1 冊（53巻）")}));
    QVERIFY2(t.dialogs.done(), qPrintable(t.dialogs.problems()));
}

void TestStatisticsWindow::chartIsSavedAndPrinted()
{
    Window t;
    StatisticsPanel* panel = t.open();
    QTemporaryDir out;
    const QString pngPath = out.filePath(u("年.png"));
    const QString svgPath = out.filePath(u("誌"));
    const QString pdfPath = out.filePath(u("印刷.pdf"));
    panel->setPrinter(std::make_unique<PdfListPrinter>(pdfPath));

    t.dialogs.expectSaveFile(u("グラフをPNGで保存"), pngPath);
    t.click("cmdToukeiPng");
    t.w->findChild<QTabWidget*>(QStringLiteral("tabToukei"))->setCurrentIndex(1);
    t.dialogs.expectSaveFile(u("グラフをSVGで保存"), svgPath);
    t.click("cmdToukeiSvg");
    t.click("cmdToukeiPrint");
    QVERIFY2(t.dialogs.done(), qPrintable(t.dialogs.problems()));
    QCOMPARE(t.dialogs.fileBoxes().at(1).suggestedName, u("統計_掲載誌.svg"));

    QFile png(pngPath);
    QVERIFY(png.open(QIODevice::ReadOnly));
    const QImage picture = QImage::fromData(png.readAll(), "PNG");
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.size(), t.chart("chtYear")->sceneRect().size().toSize() * 2);
    // A name chosen without an ending gets the format's.
    QFile svg(svgPath + u(".svg"));
    QVERIFY(svg.open(QIODevice::ReadOnly));
    const QByteArray document = svg.readAll();
    QVERIFY(document.contains("<svg"));
    // The chart on show, its labels as text (a drawing program may split a label into runs).
    QVERIFY(document.contains(u("<title>掲載誌ごとの冊数").toUtf8()));
    QVERIFY(document.contains(u("週刊").toUtf8()));
    QFile pdf(pdfPath);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.readAll().startsWith("%PDF"));
}

void TestStatisticsWindow::failedSaveIsReported()
{
    Window t;
    StatisticsPanel* panel = t.open();
    panel->setFileWriter(std::make_unique<FailingWriter>());
    QTemporaryDir out;
    t.dialogs.expectSaveFile(u("グラフをPNGで保存"), out.filePath(u("年.png")));
    t.dialogs.expectMessage(u("保存できません"));
    t.click("cmdToukeiPng");
    QVERIFY2(t.dialogs.done(), qPrintable(t.dialogs.problems()));
    QVERIFY(t.dialogs.messages().last().text.contains(FailingWriter::Reason));
    QVERIFY(!QFile::exists(out.filePath(u("年.png"))));
}

QTEST_MAIN(TestStatisticsWindow)
#include "tst_statisticswindow.moc"
