// The help window driven as a reader does: contents, links, pictures and style sheets from inside the file,
// back and forward, index and search, links leaving the file, damaged files.
#include "HelpWindowDriver.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>

using namespace helpdriver;

class TestHelpWindow : public QObject {
    Q_OBJECT
private slots:
    void opensOnTheFirstPageWithItsContents();
    void linkOpensPageWithPictureFromInside();
    void backAndForwardRetraceThePages();
    void contentsAndIndexOpenPages();
    void linksLeavingTheFileGoToTheDesktop();
    void onlyWebAndMailLinksReachTheDesktop_data();
    void onlyWebAndMailLinksReachTheDesktop();
    void missingPageIsExplainedInThePage();
    void searchListsPagesAndMarksTheWords();
    void unreadableFileIsExplainedWithoutABox_data();
    void unreadableFileIsExplainedWithoutABox();
};

void TestHelpWindow::opensOnTheFirstPageWithItsContents()
{
    HelpWindow w;
    QVERIFY(w.openFile(testChm()));
    w.show();
    auto* tree = child<QTreeWidget>(&w, "helpContents");
    QCOMPARE(itemTexts(tree), (QStringList{"はじめに", "ページ集", "シフトJISのページ"}));
    QCOMPARE(itemTexts(tree, tree->topLevelItem(1)), (QStringList{"絵", "リンク"}));
    QCOMPARE(pageTitle(w), QStringLiteral("試験の最初のページ"));
    QCOMPARE(tree->currentItem()->text(0), QStringLiteral("はじめに"));
    QVERIFY(w.windowTitle().contains(QStringLiteral("試験用ヘルプ")));
    QVERIFY(!child<QToolButton>(&w, "helpBack")->isEnabled());
    QVERIFY(!child<QToolButton>(&w, "helpForward")->isEnabled());
    // The heading takes its colour from the style sheet inside the file.
    const QTextBlock heading = child<HelpBrowser>(&w, "helpBrowser")->document()->begin();
    QCOMPARE(heading.text(), QStringLiteral("試験の最初のページ"));
    QCOMPARE(heading.begin().fragment().charFormat().foreground().color(), QColor(0xc0, 0x30, 0x60));
}

void TestHelpWindow::linkOpensPageWithPictureFromInside()
{
    HelpWindow w;
    w.openFile(testChm());
    w.show();
    auto* browser = child<HelpBrowser>(&w, "helpBrowser");
    QVERIFY(!showsColour(browser->viewport(), QColor(220, 20, 40)));
    QVERIFY(clickLink(w, QStringLiteral("sub/picture.html")));
    QCOMPARE(pageTitle(w), QStringLiteral("絵のページ"));
    QCOMPARE(child<QTreeWidget>(&w, "helpContents")->currentItem()->text(0), QStringLiteral("絵"));
    // The red square drawn from img/square.png inside the file.
    QVERIFY(showsColour(browser->viewport(), QColor(220, 20, 40)));
    // From a page in a folder, a link upwards leads to the file's top.
    QVERIFY(clickLink(w, QStringLiteral("../links.html")));
    QCOMPARE(pageTitle(w), QStringLiteral("リンクのページ"));
}

void TestHelpWindow::backAndForwardRetraceThePages()
{
    HelpWindow w;
    w.openFile(testChm());
    w.show();
    QVERIFY(clickLink(w, QStringLiteral("sub/picture.html")));
    QVERIFY(clickLink(w, QStringLiteral("../links.html")));
    click(w, "helpBack");
    QCOMPARE(pageTitle(w), QStringLiteral("絵のページ"));
    click(w, "helpBack");
    QCOMPARE(pageTitle(w), QStringLiteral("試験の最初のページ"));
    QVERIFY(!child<QToolButton>(&w, "helpBack")->isEnabled());
    click(w, "helpForward");
    QCOMPARE(pageTitle(w), QStringLiteral("絵のページ"));
    QCOMPARE(child<QTreeWidget>(&w, "helpContents")->currentItem()->text(0), QStringLiteral("絵"));
    // A new page cuts the way forward.
    QVERIFY(clickLink(w, QStringLiteral("../links.html")) && clickLink(w, QStringLiteral("start.html#top")));
    QVERIFY(!child<QToolButton>(&w, "helpForward")->isEnabled());
    click(w, "helpHome");
    QCOMPARE(pageTitle(w), QStringLiteral("試験の最初のページ"));
}

void TestHelpWindow::contentsAndIndexOpenPages()
{
    HelpWindow w;
    w.openFile(testChm());
    w.show();
    auto* tree = child<QTreeWidget>(&w, "helpContents");
    QTreeWidgetItem* item = findItem(tree, QStringLiteral("リンク"));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    QCOMPARE(pageTitle(w), QStringLiteral("リンクのページ"));
    // A heading without a page of its own leaves the page as it is.
    item = findItem(tree, QStringLiteral("ページ集"));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    QCOMPARE(pageTitle(w), QStringLiteral("リンクのページ"));
    // A page written in code page 932 reads as Japanese.
    item = findItem(tree, QStringLiteral("シフトJISのページ"));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    QVERIFY2(pageText(w).contains(QStringLiteral("窓で作ったページ～です。")), qPrintable(pageText(w)));

    auto* index = child<QListWidget>(&w, "helpIndex");
    QCOMPARE(index->count(), 2);
    child<QLineEdit>(&w, "helpIndexFilter")->insert(QStringLiteral("絵")); // typed (keyClicks takes ASCII only)
    QVERIFY(!index->item(0)->isHidden());
    QVERIFY(index->item(1)->isHidden());
    QTest::keyClick(child<QLineEdit>(&w, "helpIndexFilter"), Qt::Key_Return);
    QCOMPARE(pageTitle(w), QStringLiteral("絵のページ"));
}

void TestHelpWindow::linksLeavingTheFileGoToTheDesktop()
{
    HelpWindow w;
    w.openFile(testChm());
    w.show();
    QList<QUrl> opened;
    recordDesktop(w, &opened);
    QVERIFY(clickLink(w, QStringLiteral("https://example.org/tanamiru")));
    QCOMPARE(opened, QList<QUrl>{QUrl(QStringLiteral("https://example.org/tanamiru"))});
    QCOMPARE(pageTitle(w), QStringLiteral("試験の最初のページ"));
    // A link written for the Windows help viewer stays inside.
    QVERIFY(clickLink(w, QStringLiteral("ms-its:test.chm::/links.html#end")));
    QCOMPARE(pageTitle(w), QStringLiteral("リンクのページ"));
    QCOMPARE(opened.size(), 1);
    // Nothing outside the file is read for a page, not even a file of this machine.
    QVERIFY(!w.browser()->loadResource(QTextDocument::ImageResource, QUrl::fromLocalFile(testChm())).isValid());
}

void TestHelpWindow::onlyWebAndMailLinksReachTheDesktop_data()
{
    QTest::addColumn<QString>("href");
    QTest::addColumn<bool>("opens");
    QTest::newRow("script that does nothing") << "javascript:void(0)" << false;
    QTest::newRow("script in mixed case") << "JavaScript:alert(1)" << false;
    QTest::newRow("file of this machine") << "file:///etc/hostname" << false;
    QTest::newRow("another program's scheme") << "x-tanamiru-test:run" << false;
    QTest::newRow("mail") << "mailto:tanamiru@example.org" << true;
    QTest::newRow("web page") << "http://example.org/" << true;
}

void TestHelpWindow::onlyWebAndMailLinksReachTheDesktop()
{
    QFETCH(QString, href);
    QFETCH(bool, opens);
    HelpWindow w;
    w.openFile(testChm());
    w.show();
    QList<QUrl> opened;
    recordDesktop(w, &opened);
    w.showTopic(QUrl(QStringLiteral("chm:/links.html")));
    QCOMPARE(pageTitle(w), QStringLiteral("リンクのページ"));
    QVERIFY(clickLink(w, href));
    QCOMPARE(opened.size(), opens ? 1 : 0);
    // The page stays either way; a refused link is told above it, and nothing else is.
    QCOMPARE(w.browser()->source(), QUrl(QStringLiteral("chm:/links.html")));
    QCOMPARE(pageTitle(w), QStringLiteral("リンクのページ"));
    QCOMPARE(w.notice().contains(QStringLiteral("このリンクは開きません")), !opens);
    QVERIFY(!anyMessageBox());
    // The note goes with the next page.
    QVERIFY(clickLink(w, QStringLiteral("start.html#top")));
    QVERIFY(w.notice().isEmpty());
}

void TestHelpWindow::missingPageIsExplainedInThePage()
{
    HelpWindow w;
    w.openFile(testChm());
    w.show();
    QVERIFY(clickLink(w, QStringLiteral("missing.html")));
    QVERIFY2(pageText(w).contains(QStringLiteral("ページ「missing.html」はヘルプファイル「test.chm」の中にありません")),
             qPrintable(pageText(w)));
    QVERIFY(!anyMessageBox());
    click(w, "helpBack");
    QCOMPARE(pageTitle(w), QStringLiteral("試験の最初のページ"));
}

void TestHelpWindow::searchListsPagesAndMarksTheWords()
{
    HelpWindow w;
    w.openFile(testChm());
    w.show();
    child<QLineEdit>(&w, "helpSearchText")->insert(QStringLiteral("りんご"));
    click(w, "helpSearchButton");
    auto* results = child<QListWidget>(&w, "helpSearchResults");
    QCOMPARE(results->count(), 2);
    QVERIFY(results->item(0)->text().startsWith(QStringLiteral("はじめに\n")));
    QVERIFY(results->item(1)->text().startsWith(QStringLiteral("リンク\n")));
    QCOMPARE(child<QLabel>(&w, "helpSearchCount")->text(), QStringLiteral("2件のページが見つかりました。"));
    QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, results->visualItemRect(results->item(1)).center());
    QCOMPARE(pageTitle(w), QStringLiteral("リンクのページ"));
    const QList<QTextEdit::ExtraSelection> marks = w.browser()->extraSelections();
    QCOMPARE(marks.size(), 1);
    QCOMPARE(marks.first().cursor.selectedText(), QStringLiteral("りんご"));

    child<QLineEdit>(&w, "helpSearchText")->selectAll();
    child<QLineEdit>(&w, "helpSearchText")->insert(QStringLiteral("みかん"));
    QTest::keyClick(child<QLineEdit>(&w, "helpSearchText"), Qt::Key_Return);
    QCOMPARE(results->count(), 0);
    QCOMPARE(child<QLabel>(&w, "helpSearchCount")->text(), QStringLiteral("見つかりませんでした。"));
}

void TestHelpWindow::unreadableFileIsExplainedWithoutABox_data()
{
    QTest::addColumn<QString>("source"); // empty: no file at all
    QTest::addColumn<qint64>("keep");    // bytes kept of it, -1 for all
    QTest::addColumn<QString>("phrase");
    QTest::newRow("missing") << QString() << qint64(-1) << "が見つかりません";
    QTest::newRow("not a help file") << QStringLiteral(TESTDATA_DIR "/help/src/start.html") << qint64(-1)
                                     << "ヘルプファイル（CHM形式）ではありません";
    QTest::newRow("truncated") << testChm() << qint64(2000) << "壊れて";
    QTest::newRow("decoder cannot unpack it")
        << QStringLiteral(TESTDATA_DIR "/help/damaged.chm") << qint64(-1) << "壊れて";
}

void TestHelpWindow::unreadableFileIsExplainedWithoutABox()
{
    QFETCH(QString, source);
    QFETCH(qint64, keep);
    QFETCH(QString, phrase);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("HondexHelp.chm"));
    if (!source.isEmpty()) {
        QFile in(source);
        QVERIFY(in.open(QIODevice::ReadOnly));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(keep < 0 ? in.readAll() : in.read(keep));
    }
    HelpWindow w;
    w.show();
    w.openFile(path);
    QVERIFY2(pageText(w).contains(phrase), qPrintable(pageText(w)));
    QVERIFY(!anyMessageBox());
    // The window stays usable: a good file opens in it afterwards.
    QVERIFY(w.openFile(testChm()));
    QCOMPARE(pageTitle(w), QStringLiteral("試験の最初のページ"));
    QVERIFY(!child<QToolButton>(&w, "helpBack")->isEnabled());
}

QTEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"
