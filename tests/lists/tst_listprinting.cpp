// Printing the list of missing volumes: where the columns land, page breaks, a PDF printout through the "残巻"
// button, and a missing printer.
#include "ListFixture.h"
#include "lists/ListPrinting.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

using namespace listtest;

namespace {

class MissingPrinter final : public ListPrinter {
public:
    QString print(const QList<listprint::Line>&) override
    {
        return QStringLiteral("通常使うプリンタが設定されていないため、印刷できませんでした。");
    }
};

bool inkIn(const QImage& image, const QRect& area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                return true;
    return false;
}

void writeTitles(TestFolder& folder, int count)
{
    QString collection;
    for (int i = 1; i <= count; ++i) {
        collection += record(QStringLiteral("題%1").arg(i), 10, 0);
        folder.writeText(QStringLiteral("題%1.TXT").arg(i), missing({2, 4}));
    }
    folder.writeText(CollectionName, collection);
}

} // namespace

class TestListPrinting : public QObject {
    Q_OBJECT
private slots:
    void partsStart2500TwipsFromTheEdge();
    void printsToPdfThroughTheButton_data();
    void printsToPdfThroughTheButton();
    void missingPrinterIsReportedAndFileWritten();
};

void TestListPrinting::partsStart2500TwipsFromTheEdge()
{
    // 144 dots per inch: 2,500 twips are 250 pixels.
    QImage page(600, 200, QImage::Format_RGB32);
    page.setDotsPerMeterX(5669);
    page.setDotsPerMeterY(5669);
    page.fill(Qt::white);
    QPainter painter(&page);
    QFont font;
    font.setPixelSize(16);
    painter.setFont(font);
    const int lineHeight = QFontMetrics(font, &page).lineSpacing();
    const QString block = QStringLiteral("███");
    const QList<listprint::Line> lines = {{block, {}}, {}, {block, block}, {{}, block}};
    int pages = 0;
    const QRect area(0, 0, 600, lineHeight * 3);
    QVERIFY(listprint::paintLines(painter, area, 144.0, lines, [&] {
        ++pages;
        return true;
    }));
    painter.end();

    QCOMPARE(pages, 1); // the fourth line starts a page
    auto row = [&](int line, int left, int right) {
        return QRect(left, line * lineHeight + 2, right - left, lineHeight - 4);
    };
    QVERIFY(inkIn(page, row(0, 0, 20)));
    QVERIFY(!inkIn(page, row(1, 0, 599)));
    QVERIFY(inkIn(page, row(2, 0, 20)));
    QVERIFY(!inkIn(page, row(2, 60, 249)));
    QVERIFY(inkIn(page, row(2, 250, 270)));
}

void TestListPrinting::printsToPdfThroughTheButton_data()
{
    QTest::addColumn<int>("titles");
    QTest::addColumn<int>("pages");
    QTest::newRow("one page") << 3 << 1;
    QTest::newRow("beyond one page") << 150 << 2;
}

void TestListPrinting::printsToPdfThroughTheButton()
{
    QFETCH(int, titles);
    QFETCH(int, pages);
    Fixture f;
    writeTitles(f.folder, titles);
    f.start();
    QTemporaryDir out;
    const QString pdf = out.filePath(QStringLiteral("list.pdf"));
    f.panel->setPrinter(std::make_unique<PdfListPrinter>(pdf));
    f.dialogs.expectMessage(QStringLiteral("残巻データ出力"), Dialogs::Yes);
    f.panel->cmdHozon_Click();
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));

    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("%PDF"));
    QCOMPARE(int(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r")), pages);
    QVERIFY(f.folder.readBytes(QStringLiteral("残巻データ.txt"))
                .contains(TestFolder::cp932(QStringLiteral("\"題1\",\"02_04 <10>\""))));
    QVERIFY(f.panel->isHidden()); // the button does not change the screen
}

void TestListPrinting::missingPrinterIsReportedAndFileWritten()
{
    Fixture f;
    writeTitles(f.folder, 2);
    f.start();
    f.panel->setPrinter(std::make_unique<MissingPrinter>());
    f.dialogs.expectMessage(QStringLiteral("残巻データ出力"), Dialogs::Yes)
        .expectMessage(QStringLiteral("印刷できません"));
    f.panel->cmdHozon_Click();
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QCOMPARE(f.dialogs.messages().last().text,
             QStringLiteral("通常使うプリンタが設定されていないため、印刷できませんでした。\r\n\r\n"
                            "「残巻データ.txt」は保存しました。"));
    QVERIFY(f.folder.exists(QStringLiteral("残巻データ.txt")));
}

QTEST_MAIN(TestListPrinting)
#include "tst_listprinting.moc"
