// The three export layouts against golden files, their confirmations and completion boxes, an earlier file kept
// whole when the user declines or the new file cannot be written, and the printed list.
#include "ListFixture.h"
#include "lists/Exports.h"
#include "lists/ListPrinting.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

using namespace listtest;

namespace {

const QString Zankan = QStringLiteral("残巻データ.txt");
const QString FullStatus = QStringLiteral("収集一覧データ.txt");

struct Command {
    QString button; // empty: the main button 残巻
    QString question;
    QString file;
};
const QMap<QString, Command> Commands = {
    {"残巻", {"", "残巻データ出力", Zankan}},
    {"未収集データ保存", {"cmdHozon1", "未収集データ更新確認", Zankan}},
    {"全データ保存", {"cmdHozon2", "収集状況データ更新確認", FullStatus}},
};

// ABC with volumes 3, 5 and 10 missing (and a 1 beyond its count); a complete title; a 50-volume record with
// volumes 1 to 40 missing; the next record of that series with volume 53 missing; a title without a volume file;
// one whose file stops after "0,1,x".
void startGoldenCollection(Fixture& f)
{
    f.folder.writeText(CollectionName, record("ABC", 12, 0) + record("全部持ってる", 5, 0) +
                                           record("長編(1_50)", 50, 0) + record("長編(51_62)", 12, 50) +
                                           record("ファイルなし", 3, 0) + record("短いファイル", 10, 0));
    f.folder.writeText("ABC.TXT", missing({3, 5, 10, 20}));
    f.folder.writeText("全部持ってる.TXT", missing({}));
    QList<int> forty;
    for (int k = 1; k <= 40; ++k)
        forty << k;
    f.folder.writeText("長編(1_50).TXT", missing(forty));
    f.folder.writeText("長編(51_62).txt", missing({3}));
    f.folder.writeText("短いファイル.TXT", "0,1,x\r\n");
    f.start();
    f.panel->cmdList_Click();
}

void run(Fixture& f, const Command& command)
{
    if (command.button.isEmpty())
        f.panel->cmdHozon_Click();
    else
        f.click(command.button);
}

class MissingPrinter final : public ListPrinter {
public:
    QString print(const QList<listprint::Line>&) override { return QStringLiteral("プリンタがありません。"); }
    QString printPages(const listprint::PagePainter&) override { return QStringLiteral("プリンタがありません。"); }
};

// Fails every write, noting whether the hourglass was up while the file was being written.
class BusyCheckingWriter final : public FileWriter {
public:
    bool busyWhileWriting = false;
    QString writeAtomically(const QString&, const QByteArray&) override
    {
        busyWhileWriting = QGuiApplication::overrideCursor() != nullptr;
        return QStringLiteral("ディスクがいっぱいです");
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

} // namespace

class TestListExports : public QObject {
    Q_OBJECT
private slots:
    void goldenLayouts_data();
    void goldenLayouts();
    void oldFileKept_data();
    void oldFileKept();
    void shoppingPartsSplitAfter105Characters();
    void partsStart2500TwipsFromTheEdge();
    void printing_data();
    void printing();
    void fullStatusBytesAreTheEncodedText_data();
    void fullStatusBytesAreTheEncodedText();
};

void TestListExports::goldenLayouts_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("goldenFile");
    QTest::addColumn<QString>("completion"); // empty: no completion box
    QTest::newRow("残巻, not printed") << "残巻"
                                       << "zankan.txt"
                                       << "";
    QTest::newRow("未収集データ保存") << "未収集データ保存"
                                      << "uncollected.txt"
                                      << "まだ集めてない情報を <残巻データ.txt>として保存しました。\r\n\r\n"
                                         "データはメモ帳などで開くことができます。";
    QTest::newRow("全データ保存") << "全データ保存"
                                  << "fullstatus.txt"
                                  << "収集状況の全データを <収集一覧データ.txt>として保存しました。\r\n\r\n"
                                     "このデータを使えばエクセルなどの表計算ソフトで収集状況一覧を作ることができます。";
}

void TestListExports::goldenLayouts()
{
    QFETCH(QString, command);
    QFETCH(QString, goldenFile);
    QFETCH(QString, completion);
    const Command c = Commands.value(command);
    Fixture f;
    startGoldenCollection(f);
    const QByteArray shortFile = f.folder.readBytes("短いファイル.TXT");
    f.dialogs.expectMessage(c.question, c.button.isEmpty() ? Dialogs::No : Dialogs::Yes);
    if (!completion.isEmpty())
        f.dialogs.expectMessage(QStringLiteral("保存終了"));
    run(f, c);
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QCOMPARE(f.dialogs.messages().first().style, Dialogs::YesNo + Dialogs::Question);
    if (!completion.isEmpty())
        QCOMPARE(f.dialogs.messages().last().text, completion);

    QFile golden(QStringLiteral(TESTDATA_DIR "/lists/") + goldenFile);
    QVERIFY(golden.open(QIODevice::ReadOnly));
    QCOMPARE(f.folder.readBytes(c.file), golden.readAll());
    QCOMPARE(f.folder.readBytes("ファイルなし.TXT"), TestFolder::cp932(missing({})));
    QCOMPARE(f.folder.readBytes("短いファイル.TXT"), shortFile);
}

void TestListExports::oldFileKept_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("failure"); // empty: the user answers No
    QTest::addColumn<QString>("named");   // what the message must name besides the file
    QTest::newRow("未収集データ保存 declined") << "未収集データ保存"
                                               << ""
                                               << "";
    QTest::newRow("全データ保存 declined") << "全データ保存"
                                           << ""
                                           << "";
    QTest::newRow("残巻 unwritable") << "残巻"
                                     << "writer"
                                     << "ディスクがいっぱいです";
    QTest::newRow("未収集データ保存 unwritable") << "未収集データ保存"
                                                 << "writer"
                                                 << "ディスクがいっぱいです";
    QTest::newRow("全データ保存 unwritable") << "全データ保存"
                                             << "writer"
                                             << "ディスクがいっぱいです";
    QTest::newRow("title code page 932 cannot hold") << "未収集データ保存"
                                                     << "title"
                                                     << "𠮷";
}

void TestListExports::oldFileKept()
{
    QFETCH(QString, command);
    QFETCH(QString, failure);
    QFETCH(QString, named);
    const Command c = Commands.value(command);
    Fixture f;
    f.folder.writeBytes(c.file, "old");
    startGoldenCollection(f);
    auto writer = std::make_unique<BusyCheckingWriter>();
    const BusyCheckingWriter* busy = writer.get();
    if (failure == "writer")
        f.state->store.folder().setWriter(std::move(writer));
    if (failure == "title") {
        f.folder.writeText(QStringLiteral("ABC𠮷.TXT"), missing({1}));
        f.state->titles[1].title = QStringLiteral("ABC𠮷");
    }
    if (failure.isEmpty()) {
        f.dialogs.expectMessage(c.question, Dialogs::No);
    } else {
        f.dialogs.expectMessage(c.question, c.button.isEmpty() ? Dialogs::No : Dialogs::Yes)
            .expectMessage(QStringLiteral("保存できません"));
    }
    run(f, c);
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    if (!failure.isEmpty()) {
        const QString text = f.dialogs.messages().last().text;
        QVERIFY2(text.contains(c.file) && text.contains(named), qPrintable(text));
    }
    if (failure == "writer")
        QVERIFY(busy->busyWhileWriting);
    QVERIFY(!QGuiApplication::overrideCursor());
    QCOMPARE(f.folder.readBytes(c.file), QByteArray("old"));
}

void TestListExports::shoppingPartsSplitAfter105Characters()
{
    // Three-digit numbers are four characters a piece: 27 fit before the first part passes 105.
    QStringList first;
    for (int k = 101; k <= 127; ++k)
        first << QString::number(k);
    const QStringList expected = {first.join(u'_') + " <150>", "128_129_130_131_132_133_134_135_136_137 <150>"};
    QCOMPARE(exports::shoppingParts((quint64(1) << 37) - 1, 50, 100), expected);
    QCOMPARE(exports::shoppingParts(0, 50, 100), QStringList());
}

void TestListExports::partsStart2500TwipsFromTheEdge()
{
    // At 144 dots per inch 2,500 twips are 250 pixels.
    QImage page(600, 200, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    QFont font;
    font.setPixelSize(16);
    painter.setFont(font);
    const int lineHeight = QFontMetrics(font, &page).lineSpacing();
    const QString block = QStringLiteral("███");
    int pages = 0;
    QVERIFY(listprint::paintLines(painter, QRect(0, 0, 600, lineHeight * 3), 144.0,
                                  {{block, {}}, {}, {block, block}, {{}, block}}, [&] { return ++pages > 0; }));
    painter.end();
    QCOMPARE(pages, 1); // the fourth line starts a new page
    auto line = [&](int n, int left, int right) {
        return QRect(left, n * lineHeight + 2, right - left, lineHeight - 4);
    };
    QVERIFY(inkIn(page, line(0, 0, 20)));
    QVERIFY(!inkIn(page, line(1, 0, 599)));
    QVERIFY(inkIn(page, line(2, 0, 20)));
    QVERIFY(!inkIn(page, line(2, 60, 249)));
    QVERIFY(inkIn(page, line(2, 250, 270)));
}

void TestListExports::printing_data()
{
    QTest::addColumn<bool>("printerThere");
    QTest::newRow("printed to PDF") << true;
    QTest::newRow("no printer: reported, file written") << false;
}

void TestListExports::printing()
{
    QFETCH(bool, printerThere);
    Fixture f;
    startGoldenCollection(f);
    f.host->HidePanels();
    QTemporaryDir out;
    const QString pdf = out.filePath(QStringLiteral("list.pdf"));
    if (printerThere)
        f.panel->setPrinter(std::make_unique<PdfListPrinter>(pdf));
    else
        f.panel->setPrinter(std::make_unique<MissingPrinter>());
    f.dialogs.expectMessage(QStringLiteral("残巻データ出力"), Dialogs::Yes);
    if (!printerThere)
        f.dialogs.expectMessage(QStringLiteral("印刷できません"));
    f.panel->cmdHozon_Click();
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QVERIFY(f.panel->isHidden()); // the button leaves the screen as it was
    QFile golden(QStringLiteral(TESTDATA_DIR "/lists/zankan.txt"));
    QVERIFY(golden.open(QIODevice::ReadOnly));
    QCOMPARE(f.folder.readBytes(Zankan), golden.readAll());
    if (!printerThere) {
        QCOMPARE(f.dialogs.messages().last().text,
                 QStringLiteral("プリンタがありません。\r\n\r\n「残巻データ.txt」は保存しました。"));
        return;
    }
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("%PDF"));
    QCOMPARE(int(bytes.count("/Type /Page\n")), 1);
}

void TestListExports::fullStatusBytesAreTheEncodedText_data()
{
    using Row = statuslist::StatusRow;
    QTest::addColumn<QList<Row>>("rows");
    const quint64 all = ~quint64(0);
    QTest::newRow("no rows") << QList<Row>{};
    QTest::newRow("none missing, all missing, the last column")
        << QList<Row>{{QStringLiteral("あ"), 3, 0, 0},
                      {QStringLiteral("い"), 50, 0, all},
                      {QStringLiteral("う"), 50, 0, quint64(1) << 49}};
    QTest::newRow("start volumes shift the numbers, negative ones too")
        << QList<Row>{{QStringLiteral("続編"), 5, 100, 0b10101},
                      {QStringLiteral("前日譚"), 4, -3, 0b1111},
                      {QStringLiteral("最大"), 2, 32767, 0b11},
                      {QStringLiteral("最小"), 2, -32768, 0b11}};
    QTest::newRow("missing bits beyond the filled columns are not cells")
        << QList<Row>{{QStringLiteral("短い"), 2, 0, all},
                      {QStringLiteral("空"), 0, 0, all},
                      {QStringLiteral("負"), -1, 0, all},
                      {QStringLiteral("長い"), 200, 0, all}};
    QTest::newRow("titles stored in the Windows form, empty, half-width") << QList<Row>{
        {QStringLiteral("波〜ダッシュ−"), 1, 0, 1}, {QString(), 1, 0, 1}, {QStringLiteral("ｶﾀｶﾅ ABC,\"x\""), 1, 0, 0}};
    QTest::newRow("a title the code page cannot hold")
        << QList<Row>{{QStringLiteral("普通"), 1, 0, 1}, {QStringLiteral("雪だるま☃と😀"), 1, 0, 1}};
    QTest::newRow("a title with a line feed")
        << QList<Row>{{QStringLiteral("一\n二"), 1, 0, 1}, {QStringLiteral("三"), 1, 0, 1}};
    // Long enough to be built in two halves: the halves must join in order, and a title either half cannot
    // hold must still send the whole list through the converter.
    QList<Row> long_;
    for (int i = 0; i < 5001; ++i)
        long_.append(
            {QStringLiteral("題名%1").arg(i), qint16(1 + i % 60), qint16(i % 7 - 3), quint64(i) * 0x9E3779B97F4A7C15});
    QTest::newRow("a long list") << long_;
    QList<Row> late = long_;
    late[4000].title = QStringLiteral("雪だるま☃");
    QTest::newRow("a long list, a title the code page cannot hold late in it") << late;
    QList<Row> early = long_;
    early[10].title = QStringLiteral("雪だるま☃");
    QTest::newRow("a long list, a title the code page cannot hold early in it") << early;
}

void TestListExports::fullStatusBytesAreTheEncodedText()
{
    QFETCH(QList<statuslist::StatusRow>, rows);
    const QDate date(2008, 5, 5);
    const cp932::Encoded expected = cp932::encode(exports::fullStatusText(date, rows));
    const cp932::Encoded built = exports::fullStatusBytes(date, rows);
    QCOMPARE(built.unencodable, expected.unencodable);
    if (expected.ok())
        QCOMPARE(built.bytes, expected.bytes);
}

QTEST_MAIN(TestListExports)
#include "tst_listexports.moc"
