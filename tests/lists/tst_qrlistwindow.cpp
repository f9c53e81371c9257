// cmdQr on the uncollected view and the window it opens: the codes shown and printed are read back with a real
// decoder and must give the view's missing volumes, line by line, in the view's order.
#include "ListFixture.h"
#include "lists/ListPrinting.h"
#include "lists/widgets/QrListWindow.h"
#include "support/QrDecode.h"

#include <QPainter>

using namespace listtest;

namespace {

// Paints every page into an image at 100 pixels per inch, as a sheet of paper would carry it.
class ImagePrinter final : public ListPrinter {
public:
    QList<QImage> pages;
    bool failNewPage = false;

    QString print(const QList<listprint::Line>&) override { return QStringLiteral("not used"); }
    QString printPages(const listprint::PagePainter& paint) override
    {
        pages = {blankPage()};
        QPainter painter(&pages.last());
        const bool ok = paint(painter, QRect(0, 0, 850, 1100), 100, [&] {
            if (failNewPage)
                return false;
            painter.end();
            pages << blankPage();
            return painter.begin(&pages.last());
        });
        painter.end();
        return ok ? QString() : QStringLiteral("次のページを始められませんでした。");
    }

private:
    static QImage blankPage()
    {
        QImage page(850, 1100, QImage::Format_RGB32);
        page.fill(Qt::white);
        return page;
    }
};

QString decodedText(const QImage& image)
{
    const QList<QByteArray> found = decodeQrCodes(image);
    return found.size() == 1 ? QString::fromUtf8(found.first()) : QStringLiteral("<%1 codes>").arg(found.size());
}

// Sixty titles of twenty kanji, each with volumes 1 to 3 and 7 missing: about 4,300 bytes, five codes.
QStringList writeSixtyTitles(TestFolder& folder)
{
    QString collection;
    QStringList lines;
    for (int i = 0; i < 60; ++i) {
        const QString title = QStringLiteral("古本屋で探す長い題名の漫画第%1集です").arg(i + 1, 3, 10, QChar(0x30));
        collection += record(title, 10, 0);
        folder.writeText(title + QStringLiteral(".TXT"), missing({1, 2, 3, 7}));
        lines << title + QStringLiteral("　1-3, 7巻");
    }
    folder.writeText(CollectionName, collection);
    return lines;
}

struct QrFixture : Fixture {
    ImagePrinter* printer = nullptr;

    void open()
    {
        auto owned = std::make_unique<ImagePrinter>();
        printer = owned.get();
        panel->setPrinter(std::move(owned));
        panel->cmdList_Click();
        click(QStringLiteral("cmdZanDsp"));
        click(QStringLiteral("cmdQr"));
    }
    QrListWindow* window() const { return panel->findChild<QrListWindow*>(QStringLiteral("frmQr")); }
    QString pageLabel() const { return window()->findChild<QLabel*>(QStringLiteral("lblQrPage"))->text(); }
    // What a camera pointed at the window reads.
    QString shownText() const
    {
        return decodedText(window()->findChild<QLabel*>(QStringLiteral("imgQr"))->grab().toImage());
    }
};

} // namespace

class TestQrListWindow final : public QObject {
    Q_OBJECT
private slots:
    void buttonOnlyWithTheUncollectedView();
    void shownCodeIsTheList();
    void pagesTurnByButtonsAndKeys_data();
    void pagesTurnByButtonsAndKeys();
    void printedPagesCarryTheCodes();
    void printFailureIsReported();
    void nothingMissingSaysSo();
};

void TestQrListWindow::buttonOnlyWithTheUncollectedView()
{
    QrFixture f;
    writeFourTitles(f.folder);
    f.start();
    f.panel->cmdList_Click();
    auto* button = f.panel->findChild<QPushButton*>(QStringLiteral("cmdQr"));
    QVERIFY(button && !button->isVisible());
    f.click(QStringLiteral("cmdZanDsp"));
    QVERIFY(button->isVisible());
    QCOMPARE(button->text(), QStringLiteral("スマホで見る"));
    // It sits in the row of the view's buttons without covering any of them.
    for (const char* other : {"cmdZanDsp", "cmdAllDsp", "cmdHozon1", "cmdHozon2"}) {
        const QRect rect = f.panel->findChild<QPushButton*>(QString::fromLatin1(other))->geometry();
        QVERIFY2(!rect.intersects(button->geometry()), other);
        QCOMPARE(rect.top(), button->geometry().top());
    }
    QVERIFY(!f.window()); // nothing is built before the button is pressed
    f.click(QStringLiteral("cmdAllDsp"));
    QVERIFY(!button->isVisible());
    f.click(QStringLiteral("cmdZanDsp"));
    QVERIFY(button->isVisible());
    // Laying the grid out again shows the full grid, and the button goes with the view.
    f.panel->hide();
    f.state->stale.StatusGridStale = true;
    f.panel->cmdList_Click();
    QVERIFY(!button->isVisible());
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
}

void TestQrListWindow::shownCodeIsTheList()
{
    QrFixture f;
    writeFourTitles(f.folder);
    f.start();
    f.open();
    QVERIFY(f.window() && f.window()->isVisible());
    QCOMPARE(f.pageLabel(), QStringLiteral("1 / 1"));
    // 後編 is the second record of its series: its labels read 53 and 55.
    QCOMPARE(f.shownText(), QStringLiteral("前編　1巻\n後編　53, 55巻\n短　2巻"));
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
}

void TestQrListWindow::pagesTurnByButtonsAndKeys_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("buttons") << "buttons";
    QTest::newRow("arrow keys") << "arrows";
    QTest::newRow("page keys") << "pages";
}

void TestQrListWindow::pagesTurnByButtonsAndKeys()
{
    QFETCH(QString, way);
    QrFixture f;
    const QStringList lines = writeSixtyTitles(f.folder);
    f.start();
    f.open();
    QrListWindow* window = f.window();
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    QVERIFY(qobject_cast<QPushButton*>(window->focusWidget()));
    const int count = window->pageCount();
    QCOMPARE(count, 5);

    const auto turn = [&](bool forward) {
        if (way == "buttons")
            QTest::mouseClick(window->findChild<QPushButton*>(forward ? "cmdQrNext" : "cmdQrPrev"), Qt::LeftButton);
        else if (way == "arrows")
            QTest::keyClick(window->focusWidget(), forward ? Qt::Key_Right : Qt::Key_Left); // a button has it
        else
            QTest::keyClick(window, forward ? Qt::Key_PageDown : Qt::Key_PageUp);
    };

    QStringList read;
    for (int i = 0; i < count; ++i) {
        QCOMPARE(f.pageLabel(), QStringLiteral("%1 / %2").arg(i + 1).arg(count));
        const QString text = f.shownText();
        QVERIFY2(text.toUtf8().size() <= 1000, qPrintable(f.pageLabel()));
        read << text;
        turn(true);
    }
    // Past the last code nothing turns; back goes to the one before.
    QCOMPARE(f.pageLabel(), QStringLiteral("5 / 5"));
    turn(false);
    QCOMPARE(f.pageLabel(), QStringLiteral("4 / 5"));
    QCOMPARE(read.join('\n'), lines.join('\n'));
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
}

void TestQrListWindow::printedPagesCarryTheCodes()
{
    QrFixture f;
    const QStringList lines = writeSixtyTitles(f.folder);
    f.start();
    f.open();
    QTest::mouseClick(f.window()->findChild<QPushButton*>("cmdQrPrint"), Qt::LeftButton);
    QCOMPARE(f.printer->pages.size(), 5);
    QStringList read;
    for (const QImage& page : f.printer->pages) {
        // The code takes the left part of the page; its lines are printed to its right.
        read << decodedText(page.copy(0, 0, 425, 600));
    }
    QCOMPARE(read.join('\n'), lines.join('\n'));
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
}

void TestQrListWindow::printFailureIsReported()
{
    QrFixture f;
    writeSixtyTitles(f.folder);
    f.start();
    f.open();
    f.printer->failNewPage = true;
    f.dialogs.expectMessage(QStringLiteral("印刷できません"));
    f.window()->cmdQrPrint_Click();
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QCOMPARE(f.dialogs.messages().last().text, QStringLiteral("次のページを始められませんでした。"));
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestQrListWindow::nothingMissingSaysSo()
{
    QrFixture f;
    f.folder.writeText(CollectionName, record(QStringLiteral("揃った"), 5, 0));
    f.folder.writeText(QStringLiteral("揃った.TXT"), missing({}));
    f.start();
    f.dialogs.expectMessage(QStringLiteral("スマホで見る"));
    f.open();
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QCOMPARE(f.dialogs.messages().last().text, QStringLiteral("未収集の巻はありません。"));
    QVERIFY(!f.window());
}

QTEST_MAIN(TestQrListWindow)
#include "tst_qrlistwindow.moc"
