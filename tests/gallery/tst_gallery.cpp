// The cover gallery driven as a user does: building, the arrow buttons, clicks on covers and names, and the page
// kept between visits and refilled after a change, covers told apart by the colours they draw. Covers arrive from
// worker threads: a check of pictures first lets the event loop run until the page shown has all of its covers.
#include "Pictures.h"
#include "gallery/widgets/GalleryPanel.h"
#include "support/PanelFixture.h"
#include "ui/ClickableLabel.h"
#include "ui/logic/TourTexts.h"

#include <QPushButton>

using namespace paneltest;
using namespace pictures;

namespace {

using GalleryFixture = Fixture<GalleryPanel>;

QString titleOf(int n)
{
    return QStringLiteral("題%1").arg(n, 3, 10, QLatin1Char('0'));
}

QList<Line> titles(int count)
{
    QList<Line> lines;
    for (int n = 1; n <= count; ++n)
        lines.append({titleOf(n)});
    return lines;
}

QLabel* slotLabel(const GalleryFixture& f, const char* array, int k)
{
    return f.panel->findChild<QLabel*>(QStringLiteral("%1_%2").arg(array).arg(k));
}

// What the page shows: "first ～ last" and then every slot's name, empty slots as "-".
QString shown(const GalleryFixture& f)
{
    QStringList texts;
    for (int i : {0, 2, 1})
        texts << slotLabel(f, "lblPicKan", i)->text();
    for (int k = 1; k <= GalleryPanel::Slots; ++k)
        texts << (slotLabel(f, "lblName", k)->text().isEmpty() ? QStringLiteral("-")
                                                               : slotLabel(f, "lblName", k)->text());
    return texts.join(' ');
}

QString expected(int page, int count)
{
    QStringList texts{QString::number(page * 21 - 20), QStringLiteral("～"), QString::number(page * 21)};
    for (int n = page * 21 - 20; n <= page * 21; ++n)
        texts << (n <= count ? titleOf(n) : QStringLiteral("-"));
    return texts.join(' ');
}

void click(const GalleryFixture& f, const char* button)
{
    QTest::mouseClick(f.child<QPushButton>(button), Qt::LeftButton);
}

void reopen(GalleryFixture& f)
{
    f.host->HidePanels();
    f.panel->cmdPic_Click();
}

// Title n's cover colour: each of the first 63 titles its own, far enough from the others to survive JPEG.
QColor colourOf(int n)
{
    return QColor(40 + n % 4 * 60, 40 + n / 4 % 4 * 60, 40 + n / 16 % 4 * 60);
}

void writeCovers(GalleryFixture& f, int count)
{
    for (int n = 1; n <= count; ++n)
        f.folder.writeBytes(titleOf(n) + ".jpg", bytes(colourOf(n), {300, 450}));
}

// Whose cover every slot shows: the title's name, "-" for no picture, "?" for a picture of no title.
QString coverTitles(const GalleryFixture& f, int count)
{
    QStringList texts;
    for (int k = 1; k <= GalleryPanel::Slots; ++k) {
        const QColor colour = pictures::shown(slotLabel(f, "imgPIc", k));
        QString text = colour.isValid() ? QStringLiteral("?") : QStringLiteral("-");
        for (int n = 1; n <= count && colour.isValid(); ++n)
            if (near(colour, colourOf(n)))
                text = titleOf(n);
        texts << text;
    }
    return texts.join(' ');
}

QString expectedCovers(int page, int count)
{
    QStringList texts;
    for (int n = page * 21 - 20; n <= page * 21; ++n)
        texts << (n <= count ? titleOf(n) : QStringLiteral("-"));
    return texts.join(' ');
}

// Lets the window run until every cover of the page shown has arrived.
bool coversArrive(const GalleryFixture& f)
{
    return QTest::qWaitFor([&] { return f.panel->coversShown(); }, 20000);
}

// Rewrites the collection and reloads it, as an add or a delete leaves the window.
void changeTitles(GalleryFixture& f, int count)
{
    f.folder.writeText(CollectionName, collectionText(titles(count)));
    f.host->LoadTitleTable();
    f.state->GalleryStale = true;
}

} // namespace

class TestGallery : public QObject {
    Q_OBJECT
private slots:
    void buildAndPage_data();
    void buildAndPage();
    void emptyCollection();
    void clicks_data();
    void clicks();
    void keptPageAndRefill();
    void pageChanges_data();
    void pageChanges();
    void decodedAhead();
    void changesWhileDecoding_data();
    void changesWhileDecoding();
};

void TestGallery::buildAndPage_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("pages");
    QTest::newRow("21 titles: one page") << 21 << 1;
    QTest::newRow("22 titles: two pages") << 22 << 2;
}

void TestGallery::buildAndPage()
{
    QFETCH(int, count);
    QFETCH(int, pages);
    GalleryFixture f;
    f.start(titles(count), true);
    f.dialogs.expectMessage(TourTitle);
    f.panel->cmdPic_Click();
    f.checkDialogs();
    QCOMPARE(f.dialogs.messages().last().text, tour::gallery());
    QVERIFY(f.panel->isVisible() && f.state->GalleryBuilt);
    QCOMPARE(f.panel->GalleryPageCount(), pages);
    QCOMPARE(shown(f), expected(1, count));

    click(f, "cmdDown"); // nothing before the first page
    QCOMPARE(shown(f), expected(1, count));
    click(f, "cmdUp");
    click(f, "cmdUp"); // nothing after the last
    QCOMPARE(f.panel->GalleryPage(), pages);
    QCOMPARE(shown(f), expected(pages, count));
    click(f, "cmdDown");
    QCOMPARE(shown(f), expected(1, count));
    // A screen on show ignores its button.
    f.panel->cmdPic_Click();
    QCOMPARE(f.host->hides, 1);
    f.checkDialogs();
}

void TestGallery::emptyCollection()
{
    GalleryFixture f;
    f.start(QList<Line>{}, true);
    f.panel->cmdPic_Click(); // no tour for an empty wall
    QVERIFY(f.panel->isVisible() && !f.state->GalleryBuilt);
    QCOMPARE(shown(f), expected(1, 0));
    click(f, "cmdUp");
    QCOMPARE(shown(f), expected(1, 0));
    f.checkDialogs();

    // Nothing was marked built, so the next opening tries again.
    changeTitles(f, 2);
    f.dialogs.expectMessage(TourTitle);
    reopen(f);
    f.checkDialogs();
    QVERIFY(f.state->GalleryBuilt);
    QCOMPARE(shown(f), expected(1, 2));
}

void TestGallery::clicks_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("array");
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("opened"); // 0: nothing happens
    QTest::newRow("a cover") << 1 << "imgPIc" << 5 << 5;
    QTest::newRow("a name") << 1 << "lblName" << 21 << 21;
    QTest::newRow("the one cover of page 2") << 2 << "imgPIc" << 1 << 22;
    QTest::newRow("an empty slot") << 2 << "imgPIc" << 2 << 0;
}

void TestGallery::clicks()
{
    QFETCH(int, page);
    QFETCH(QString, array);
    QFETCH(int, slot);
    QFETCH(int, opened);
    GalleryFixture f;
    f.start(titles(22));
    f.state->PickedIndex = 3;
    f.panel->cmdPic_Click();
    if (page == 2)
        click(f, "cmdUp");
    QTest::mouseClick(slotLabel(f, qPrintable(array), slot), Qt::LeftButton);
    QCOMPARE(f.host->mainPages, opened ? QList<int>{opened} : QList<int>{});
    QCOMPARE(f.panel->isVisible(), opened == 0);
    QCOMPARE(int(f.state->PickedIndex), 3); // the jump leaves it alone
}

void TestGallery::keptPageAndRefill()
{
    GalleryFixture f;
    const QString cover = titleOf(43) + ".jpg"; // slot 1 of page 3
    f.folder.writeBytes(cover, bytes(Red, {1200, 1800}));
    f.folder.writeBytes(titleOf(43) + ".BMP", bytes(Green, {120, 180}, "bmp"));
    f.start(titles(70));
    f.panel->cmdPic_Click();
    click(f, "cmdUp");
    click(f, "cmdUp");
    QVERIFY(coversArrive(f));
    QVERIFY(near(shown(slotLabel(f, "imgPIc", 1)), Green)); // the .bmp over the .jpg
    QVERIFY(slotLabel(f, "imgPIc", 2)->pixmap().isNull());
    // Fitted into its place with its proportions.
    const QSize place = slotLabel(f, "imgPIc", 1)->size();
    QCOMPARE(slotLabel(f, "imgPIc", 1)->pixmap().deviceIndependentSize().toSize(),
             QSize(place.width(), place.width() * 3 / 2));

    // Coming back shows page 3 as it was: nothing is read again.
    QVERIFY(QFile::remove(f.folder.path() + "/" + titleOf(43) + ".BMP"));
    reopen(f);
    QCOMPARE(shown(f), expected(3, 70));
    QVERIFY(near(shown(slotLabel(f, "imgPIc", 1)), Green));

    // After an add, a delete or an import the kept page is filled anew, within the new page count.
    changeTitles(f, 70);
    reopen(f);
    QVERIFY(!f.state->GalleryStale);
    QVERIFY(coversArrive(f));
    QVERIFY(near(shown(slotLabel(f, "imgPIc", 1)), Red));
    changeTitles(f, 30);
    reopen(f);
    QCOMPARE(f.panel->GalleryPageCount(), 2);
    QCOMPARE(shown(f), expected(2, 30));
    changeTitles(f, 0);
    reopen(f);
    QVERIFY(!f.state->GalleryBuilt);
    QCOMPARE(shown(f), expected(1, 0));

    // Only a reorder goes back to page 1.
    changeTitles(f, 50);
    f.state->GalleryBuilt = true;
    reopen(f);
    click(f, "cmdUp");
    f.state->GalleryBuilt = false;
    reopen(f);
    QCOMPARE(shown(f), expected(1, 50));
    f.checkDialogs();
}

void TestGallery::pageChanges_data()
{
    QTest::addColumn<QString>("steps"); // u: cmdUp, d: cmdDown, w: wait for the page's covers
    QTest::addColumn<int>("page");
    QTest::newRow("after the page is complete") << "wu" << 2;
    QTest::newRow("before page 1 is complete") << "u" << 2;
    QTest::newRow("on past a page before it is shown") << "uu" << 3;
    QTest::newRow("there and back at once") << "ud" << 1;
    QTest::newRow("back and forth, each page complete") << "wuwuwdwd" << 1;
}

void TestGallery::pageChanges()
{
    QFETCH(QString, steps);
    QFETCH(int, page);
    GalleryFixture f;
    writeCovers(f, 50);
    f.start(titles(50));
    f.panel->cmdPic_Click();
    for (const QChar step : steps) {
        if (step == 'w')
            QVERIFY(coversArrive(f));
        else
            click(f, step == 'u' ? "cmdUp" : "cmdDown");
    }
    QVERIFY(coversArrive(f));
    QCOMPARE(f.panel->cursor().shape(), Qt::ArrowCursor); // the busy pointer is gone
    QCOMPARE(shown(f), expected(page, 50));
    QCOMPARE(coverTitles(f, 50), expectedCovers(page, 50));
    // Decoding the pages around it ahead leaves what is shown alone.
    QVERIFY(QTest::qWaitFor([&] { return !f.panel->decoding(); }, 20000));
    QCOMPARE(coverTitles(f, 50), expectedCovers(page, 50));
    QCOMPARE(shown(f), expected(page, 50));
}

void TestGallery::decodedAhead()
{
    GalleryFixture f;
    writeCovers(f, 63);
    f.start(titles(63));
    f.panel->cmdPic_Click();
    QVERIFY(coversArrive(f));
    QVERIFY(QTest::qWaitFor([&] { return !f.panel->decoding(); }, 20000));
    // Page 2 was decoded while page 1 was on show: all of it is there when the click returns.
    click(f, "cmdUp");
    QVERIFY(f.panel->coversShown());
    QCOMPARE(coverTitles(f, 63), expectedCovers(2, 63));

    // Leaving the screen forgets what was decoded ahead: a page turned to later is read as it is then.
    QVERIFY(QTest::qWaitFor([&] { return !f.panel->decoding(); }, 20000));
    f.host->HidePanels();
    QVERIFY(!f.panel->decoding());
    f.folder.writeBytes(titleOf(43) + ".jpg", bytes(colourOf(1), {300, 450}));
    QVERIFY(QFile::remove(f.folder.path() + "/" + titleOf(44) + ".jpg"));
    f.panel->cmdPic_Click();
    QCOMPARE(coverTitles(f, 63), expectedCovers(2, 63)); // the kept page as it was
    click(f, "cmdUp");
    QVERIFY(coversArrive(f));
    QCOMPARE(coverTitles(f, 63), expectedCovers(3, 63).replace(titleOf(43), titleOf(1)).replace(titleOf(44), "-"));
}

void TestGallery::changesWhileDecoding_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("page"); // shown in the end, and how many titles are left
    QTest::addColumn<int>("count");
    QTest::newRow("the panel destroyed") << "destroy" << 0 << 0;
    QTest::newRow("rebuilt after a reorder") << "rebuild" << 1 << 63;
    QTest::newRow("refilled after titles were deleted") << "refill" << 2 << 30;
    QTest::newRow("the covers deleted") << "delete" << 2 << 63;
}

void TestGallery::changesWhileDecoding()
{
    QFETCH(QString, change);
    QFETCH(int, page);
    QFETCH(int, count);
    GalleryFixture f;
    writeCovers(f, 63);
    f.start(titles(63));
    f.panel->cmdPic_Click();
    click(f, "cmdUp");
    // Page 2's covers are still to come, and page 1's may be on their way.
    if (change == "destroy") {
        f.panel.reset();
        QTest::qWait(50);
        return;
    }
    if (change == "rebuild") {
        f.state->GalleryBuilt = false;
        reopen(f);
    } else if (change == "refill") {
        changeTitles(f, count);
        reopen(f);
    } else {
        for (int n = 1; n <= 63; ++n)
            QVERIFY(QFile::remove(f.folder.path() + "/" + titleOf(n) + ".jpg"));
    }
    QVERIFY(coversArrive(f));
    QCOMPARE(shown(f), expected(page, count));
    if (change == "delete") {
        // Each slot has its own cover, read before the file went, or none.
        const QStringList got = coverTitles(f, count).split(' ');
        const QStringList own = expectedCovers(page, count).split(' ');
        for (int k = 0; k < GalleryPanel::Slots; ++k)
            QVERIFY2(got.at(k) == own.at(k) || got.at(k) == "-", qPrintable(got.join(' ')));
    } else {
        QCOMPARE(coverTitles(f, count), expectedCovers(page, count));
    }
}

QTEST_MAIN(TestGallery)
#include "tst_gallery.moc"
