// Reading the help file: the archive against its sources, its system record, sitemaps, text decoding, links,
// the full-text search, and files that are missing or damaged.
#include "help/ChmArchive.h"
#include "help/ChmSystem.h"
#include "help/HelpDocument.h"
#include "help/HelpSearch.h"
#include "help/HelpSitemap.h"
#include "help/HelpText.h"
#include "store/Cp932.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString HelpData = QStringLiteral(TESTDATA_DIR "/help");

QString testChm()
{
    return HelpData + QStringLiteral("/test.chm");
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// "name>local" for each entry, children in brackets.
QString describe(const QList<HelpEntry>& entries)
{
    QStringList parts;
    for (const HelpEntry& entry : entries) {
        QString part = entry.name + QLatin1Char('>') + entry.local;
        if (!entry.children.isEmpty())
            part += QLatin1Char('[') + describe(entry.children) + QLatin1Char(']');
        parts << part;
    }
    return parts.join(QLatin1Char('|'));
}

} // namespace

class TestHelpFile : public QObject {
    Q_OBJECT
private slots:
    void archiveHoldsEverySourceFile_data();
    void archiveHoldsEverySourceFile();
    void systemRecordNamesTitleAndFiles();
    void contentsAndIndexAreRead();
    void unreadableFilesExplainThemselves_data();
    void unreadableFilesExplainThemselves();
    void damagedCopiesNeverCrashTheReader();
    void sitemapsReadLoosely_data();
    void sitemapsReadLoosely();
    void pagesDecodeInTheirOwnCodePage_data();
    void pagesDecodeInTheirOwnCodePage();
    void plainTextKeepsWordsWhole_data();
    void plainTextKeepsWordsWhole();
    void linksResolveInsideTheFile_data();
    void linksResolveInsideTheFile();
    void searchFindsEveryWord_data();
    void searchFindsEveryWord();
};

void TestHelpFile::archiveHoldsEverySourceFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("askedAs");
    QTest::newRow("page") << "start.html"
                          << "/start.html";
    QTest::newRow("page in a folder, other letter case") << "sub/picture.html"
                                                         << "/SUB/Picture.HTML";
    QTest::newRow("picture") << "img/square.png"
                             << "img/square.png";
    QTest::newRow("style sheet") << "style.css"
                                 << "/style.css";
    QTest::newRow("page in code page 932") << "sjis.html"
                                           << "/sjis.html";
    QTest::newRow("contents") << "contents.hhc"
                              << "/contents.hhc";
}

void TestHelpFile::archiveHoldsEverySourceFile()
{
    QFETCH(QString, name);
    QFETCH(QString, askedAs);
    const ChmArchive archive = ChmArchive::open(testChm());
    QVERIFY2(archive.isOpen(), qPrintable(archive.error()));
    QVERIFY(archive.isComplete());
    const std::optional<QByteArray> bytes = archive.file(askedAs);
    QVERIFY(bytes.has_value());
    QCOMPARE(*bytes, readFile(HelpData + QStringLiteral("/src/") + name));
    QVERIFY(archive.fileNames().contains(QLatin1Char('/') + name));
}

void TestHelpFile::systemRecordNamesTitleAndFiles()
{
    const ChmArchive archive = ChmArchive::open(testChm());
    const ChmSystemInfo info = ChmSystemInfo::parse(archive.systemRecord());
    QCOMPARE(info.title, QStringLiteral("試験用ヘルプ"));
    QCOMPARE(info.defaultTopic, QStringLiteral("start.html"));
    QCOMPARE(info.contentsFile, QStringLiteral("contents.hhc"));
    QCOMPARE(info.indexFile, QStringLiteral("index.hhk"));
    QCOMPARE(info.lcid, 0x411u);

    // A record cut inside an entry keeps the entries before it.
    const ChmSystemInfo cut = ChmSystemInfo::parse(archive.systemRecord().left(40));
    QVERIFY(cut.lcid == 0x411u || cut.title.isEmpty());
    QCOMPARE(ChmSystemInfo::parse(QByteArray()).title, QString());
}

void TestHelpFile::contentsAndIndexAreRead()
{
    const HelpDocument doc = HelpDocument::open(testChm());
    QCOMPARE(describe(doc.contents()),
             QStringLiteral("はじめに>start.html|ページ集>[絵>sub/picture.html|リンク>links.html]"
                            "|シフトJISのページ>sjis.html"));
    QCOMPARE(describe(doc.index()), QStringLiteral("絵>sub/picture.html|りんご>links.html"));
    QCOMPARE(doc.firstTopic(), QUrl(QStringLiteral("chm:/start.html")));
    QVERIFY(doc.page(doc.firstTopic()).contains(QStringLiteral("このページは見本のヘルプです。")));
}

void TestHelpFile::unreadableFilesExplainThemselves_data()
{
    QTest::addColumn<QByteArray>("bytes"); // empty: no file at all
    QTest::addColumn<QString>("phrase");
    const QByteArray chm = readFile(testChm());
    QTest::newRow("missing") << QByteArray() << "見つかりません";
    QTest::newRow("empty file") << QByteArray("") << "ではありません";
    QTest::newRow("not a help file") << QByteArray("<html>ヘルプ</html>") << "ではありません";
    QTest::newRow("only the header") << chm.left(100) << "壊れて";
    QTest::newRow("cut in half") << chm.left(chm.size() / 2) << "壊れて";
    QTest::newRow("nothing after the header") << chm.left(0x60) + QByteArray(chm.size() - 0x60, '\0') << "壊れて";
    QTest::newRow("compression parameters damaged") << readFile(HelpData + QStringLiteral("/damaged.chm")) << "壊れて";
}

void TestHelpFile::unreadableFilesExplainThemselves()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, phrase);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("HondexHelp.chm"));
    if (!bytes.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    // Whatever the decoder does with the file, this process goes on and the start page says why it is missing.
    const HelpDocument doc = HelpDocument::open(path);
    const QString page = doc.page(HelpDocument::urlOf(QStringLiteral("start.html")));
    QVERIFY2(page.contains(phrase), qPrintable(page));
    QVERIFY(!page.contains(QStringLiteral("このページは見本のヘルプです。")));
    if (!doc.isOpen())
        QVERIFY2(doc.error().contains(QStringLiteral("HondexHelp.chm")), qPrintable(doc.error()));
}

void TestHelpFile::damagedCopiesNeverCrashTheReader()
{
    // Cut at every length in steps, and with bytes overwritten at random (a fixed seed): every copy either
    // fails to open with a reason or opens with whatever could be read, and everything read can be parsed.
    const QByteArray chm = readFile(testChm());
    QList<QByteArray> copies;
    for (qsizetype n = 0; n < chm.size(); n += 211)
        copies << chm.left(n);
    QRandomGenerator random(12);
    for (int i = 0; i < 150; ++i) {
        QByteArray copy = chm;
        for (int k = random.bounded(1, 9); k > 0; --k)
            copy[random.bounded(int(copy.size()))] = char(random.bounded(256));
        copies << copy;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("copy.chm"));
    int opened = 0;
    for (const QByteArray& copy : std::as_const(copies)) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(copy);
        file.close();
        ChmArchive::Limits limits;
        limits.timeoutMs = 3000;
        const ChmArchive archive = ChmArchive::open(path, limits);
        if (!archive.isOpen()) {
            QVERIFY(!archive.error().isEmpty());
            continue;
        }
        ++opened;
        const ChmSystemInfo info = ChmSystemInfo::parse(archive.systemRecord());
        for (const QString& name : archive.fileNames()) {
            const QString text = helptext::decode(archive.file(name).value_or(QByteArray()), info.lcid);
            sitemap::parse(text);
            helptext::plainText(text);
        }
    }
    QVERIFY(opened > 0);
}

void TestHelpFile::sitemapsReadLoosely_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("expected");
    const auto entry = [](const char* name, const char* local) {
        return QStringLiteral("<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"%1\">"
                              "<param name=\"Local\" value=\"%2\"></OBJECT>")
            .arg(QString::fromUtf8(name), QString::fromUtf8(local));
    };
    QTest::newRow("flat") << "<UL>" + entry("一", "a.htm") + entry("二", "b.htm") + "</UL>"
                          << "一>a.htm|二>b.htm";
    QTest::newRow("nested") << "<UL>" + entry("一", "a.htm") + "<UL>" + entry("子", "c.htm") + "</UL>" +
                                   entry("二", "b.htm") + "</UL>"
                            << "一>a.htm[子>c.htm]|二>b.htm";
    QTest::newRow("missing and stray list ends")
        << "</ul><ul>" + entry("一", "a.htm") + "<ul>" + entry("子", "c.htm") << "一>a.htm[子>c.htm]";
    QTest::newRow("lower case, unquoted, entities")
        << "<ul><li><object type=text/sitemap><param name=name value='A&amp;B'>"
           "<param name=local value=x.htm></object></ul>"
        << "A&B>x.htm";
    QTest::newRow("settings object skipped")
        << "<OBJECT type=\"text/site properties\"><param name=\"Name\" value=\"設定\"></OBJECT><UL>" +
               entry("一", "a.htm") + "</UL>"
        << "一>a.htm";
    QTest::newRow("index entry with several pages keeps the first")
        << "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"鍵\"><param name=\"Name\" "
           "value=\"頁\"><param name=\"Local\" value=\"a.htm\"><param name=\"Local\" value=\"b.htm\"></OBJECT></UL>"
        << "鍵>a.htm";
    QTest::newRow("heading without a page") << "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" "
                                               "value=\"見出し\"></OBJECT></UL>"
                                            << "見出し>";
}

void TestHelpFile::sitemapsReadLoosely()
{
    QFETCH(QString, html);
    QFETCH(QString, expected);
    QCOMPARE(describe(sitemap::parse(html)), expected);
}

void TestHelpFile::pagesDecodeInTheirOwnCodePage_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<quint32>("lcid");
    QTest::addColumn<QString>("expected");
    const QString text = QStringLiteral("窓で作った～ページ");
    const QByteArray sjis = cp932::encode(text).bytes;
    QTest::newRow("UTF-8 declared") << QByteArray("<meta charset=\"utf-8\">") + text.toUtf8() << 0x409u << text;
    QTest::newRow("Shift_JIS declared") << QByteArray("<meta http-equiv=\"Content-Type\" content=\"text/html; "
                                                      "charset=Shift_JIS\">") +
                                               sjis
                                        << 0x409u << text;
    QTest::newRow("undeclared UTF-8") << text.toUtf8() << 0x411u << text;
    QTest::newRow("undeclared, Japanese help file") << sjis << 0x411u << text;
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF") + text.toUtf8() << 0x411u << text;
}

void TestHelpFile::pagesDecodeInTheirOwnCodePage()
{
    QFETCH(QByteArray, bytes);
    QFETCH(quint32, lcid);
    QFETCH(QString, expected);
    QVERIFY(helptext::decode(bytes, lcid).endsWith(expected));
}

void TestHelpFile::plainTextKeepsWordsWhole_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("expected");
    QTest::newRow("inline tags join") << "<p>収<b>集</b><a href=x>一覧</a></p>"
                                      << "収集一覧";
    QTest::newRow("blocks separate") << "<p>一</p><p>二</p><br>三"
                                     << "一 二 三";
    QTest::newRow("scripts, styles, comments, title")
        << "<head><title>題</title><style>p{}</style></head><script>x()</script><!-- 秘 -->本文"
        << "本文";
    QTest::newRow("entities") << "A&amp;B &lt;C&gt; &#12354;&#x3044;"
                              << "A&B <C> あい";
    QTest::newRow("declarations and processing instructions")
        << "<?xml version=\"1.0\"?><!DOCTYPE html><html><body>本<![CDATA[x]]>文</body></html>"
        << "本文";
}

void TestHelpFile::plainTextKeepsWordsWhole()
{
    QFETCH(QString, html);
    QFETCH(QString, expected);
    QCOMPARE(helptext::plainText(html), expected);
}

void TestHelpFile::linksResolveInsideTheFile_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("expected");
    QTest::newRow("relative up") << "../links.html"
                                 << "chm:/links.html";
    QTest::newRow("same folder") << "other.html#p"
                                 << "chm:/sub/other.html#p";
    QTest::newRow("anchor only") << "#x"
                                 << "chm:/sub/picture.html#x";
    QTest::newRow("absolute path") << "/start.html"
                                   << "chm:/start.html";
    QTest::newRow("Windows help link") << "ms-its:test.chm::/links.html#end"
                                       << "chm:/links.html#end";
    QTest::newRow("Windows help store link") << "mk:@MSITStore:C:\\help\\test.chm::/start.html"
                                             << "chm:/start.html";
    QTest::newRow("web stays outside") << "https://example.org/a"
                                       << "https://example.org/a";
    QTest::newRow("mail stays outside") << "mailto:a@example.org"
                                        << "mailto:a@example.org";
}

void TestHelpFile::linksResolveInsideTheFile()
{
    QFETCH(QString, link);
    QFETCH(QString, expected);
    const QUrl base(QStringLiteral("chm:/sub/picture.html"));
    QCOMPARE(HelpDocument::resolve(base, QUrl(link)).toString(), expected);
    QCOMPARE(HelpDocument::isInside(QUrl(expected)), expected.startsWith(QLatin1String("chm:")));
}

void TestHelpFile::searchFindsEveryWord_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QList<int>>("counts");
    QTest::addColumn<QString>("shown"); // what the first hit's snippet holds, as the page writes it
    QTest::newRow("most occurrences first")
        << "りんご" << QStringList{"はじめに", "リンク"} << QList<int>{2, 1} << "同じ言葉を二度書きます：りんご";
    QTest::newRow("every word must occur") << "りんご 二度" << QStringList{"はじめに"} << QList<int>{3} << "りんご";
    QTest::newRow("full-width letters found by half-width, shown full-width")
        << "abc" << QStringList{"リンク"} << QList<int>{1} << "全角のＡＢＣと";
    QTest::newRow("half-width kana found by full-width, shown half-width")
        << "カタカナ" << QStringList{"リンク"} << QList<int>{1} << "半角のｶﾀｶﾅが";
    QTest::newRow("ideographic space separates words") << "赤い　四角" << QStringList{"絵"} << QList<int>{2} << "赤い";
    QTest::newRow("page in code page 932")
        << "窓で作った" << QStringList{"シフトJISのページ"} << QList<int>{1} << "窓で作った";
    // Found only in the title: the snippet is the start of the page after its heading, never the title again.
    QTest::newRow("the contents' name of a page counts")
        << "はじめに" << QStringList{"はじめに"} << QList<int>{1} << "このページは見本のヘルプです";
    QTest::newRow("markup is not text") << "doctype" << QStringList{} << QList<int>{} << "";
    QTest::newRow("nothing") << "みかん" << QStringList{} << QList<int>{} << "";
    QTest::newRow("empty") << "  " << QStringList{} << QList<int>{} << "";
}

void TestHelpFile::searchFindsEveryWord()
{
    QFETCH(QString, query);
    QFETCH(QStringList, titles);
    QFETCH(QList<int>, counts);
    QFETCH(QString, shown);
    const HelpDocument doc = HelpDocument::open(testChm());
    HelpSearch search(doc);
    const QList<HelpSearch::Hit> hits = search.search(query);
    QStringList foundTitles;
    QList<int> foundCounts;
    for (const HelpSearch::Hit& hit : hits) {
        foundTitles << hit.title;
        foundCounts << hit.count;
        QVERIFY(doc.resource(hit.url).has_value());
        QVERIFY2(!hit.snippet.startsWith(hit.title) && !hit.snippet.contains(QStringLiteral("試験の最初のページ")),
                 qPrintable(hit.snippet));
    }
    QCOMPARE(foundTitles, titles);
    QCOMPARE(foundCounts, counts);
    if (!hits.isEmpty())
        QVERIFY2(hits.first().snippet.contains(shown), qPrintable(hits.first().snippet));
}

QTEST_MAIN(TestHelpFile)
#include "tst_helpfile.moc"
