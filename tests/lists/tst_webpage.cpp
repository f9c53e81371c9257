// The collection's web page as bytes: every collection text reaches the page as data that cannot end or bend the
// block it stands in, the totals are the status list's, split records keep their numbers, memos stay out unless
// asked for, and a full collection stays small.
#include "ListFixture.h"
#include "lists/WebPage.h"
#include "store/CollectionStore.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace listtest;

namespace {

const QByteArray DataOpen = R"(<script type="application/json" id="data">)";

QByteArray dataBlock(const QByteArray& page)
{
    const qsizetype from = page.indexOf(DataOpen) + DataOpen.size();
    return page.mid(from, page.indexOf("</script>", from) - from);
}

QJsonObject data(const QByteArray& page)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(dataBlock(page), &error);
    if (error.error != QJsonParseError::NoError)
        qWarning() << error.errorString();
    return doc.object();
}

TitleRecord entry(const QString& title, int count = 3, int start = 0)
{
    TitleRecord r{title,
                  qint16(count),
                  qint16(start),
                  QStringLiteral("作者"),
                  QStringLiteral("雑誌"),
                  QStringLiteral("◎"),
                  QStringLiteral("2008/05/05"),
                  QStringLiteral("2010/01/31")};
    return r;
}

webpage::Content content(int titles)
{
    webpage::Content c;
    c.date = QDate(2008, 5, 5);
    c.states = QList<VolumeStates>(titles, VolumeStates{});
    return c;
}

QByteArray sha256Source(const QByteArray& text)
{
    return "sha256-" + QCryptographicHash::hash(text, QCryptographicHash::Sha256).toBase64();
}

} // namespace

class TestWebPage : public QObject {
    Q_OBJECT
private slots:
    void hostileTextStaysData_data();
    void hostileTextStaysData();
    void policyForbidsRequestsAndAllowsOnlyItsOwnCode();
    void totalsAreTheStatusListsFromTheSameFiles();
    void volumesKeepTheirSeriesNumbers();
    void datesKeepAnyTextAsWritten();
    void memosOnlyWhenAskedFor();
    void fullCollectionStaysSmall();
};

void TestWebPage::hostileTextStaysData_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("markup") << QStringLiteral("<img src=x onerror=alert(1)>");
    QTest::newRow("script end") << QStringLiteral("</script><script>alert(1)</script>");
    QTest::newRow("upper-case end") << QStringLiteral("</SCRIPT >");
    QTest::newRow("comment opener") << QStringLiteral("<!--<script>");
    QTest::newRow("line separators") << QStringLiteral("a\u2028b\u2029c");
    QTest::newRow("quotes and backslash") << QStringLiteral("\"\\\"\\n'");
    QTest::newRow("placeholder") << QStringLiteral("@DATA@ @SCRIPT@");
}

void TestWebPage::hostileTextStaysData()
{
    QFETCH(QString, text);
    TitleTable titles;
    TitleRecord r = entry(text);
    r.author = text;
    r.magazine = text;
    r.rating = text;
    titles.append(r);
    webpage::Content c = content(1);
    c.withMemos = true;
    c.memos = {text};
    const QByteArray page = webpage::html(titles, c);

    const QByteArray block = dataBlock(page);
    QVERIFY(!block.contains('<'));
    QVERIFY(!block.contains("\u2028") && !block.contains("\u2029"));
    // Only the page's own two script blocks end in the page.
    QCOMPARE(page.count("</script>"), 2);
    const QJsonObject d = data(page);
    QCOMPARE(d.value("t").toString(), text);
    QCOMPARE(d.value("a").toString(), text);
    QCOMPARE(d.value("m").toString(), text);
    QCOMPARE(d.value("memo").toArray().at(0).toString(), text);
    QCOMPARE(d.value("r").toObject().value("d").toArray().at(0).toString(), text);
    QVERIFY(page.endsWith("</html>\n"));
}

void TestWebPage::policyForbidsRequestsAndAllowsOnlyItsOwnCode()
{
    TitleTable titles;
    titles.append(entry(QStringLiteral("題名")));
    const QByteArray page = webpage::html(titles, content(1));
    const qsizetype at = page.indexOf("Content-Security-Policy\" content=\"");
    QVERIFY(at > 0);
    const QByteArray policy = page.mid(at).split('"').at(2);
    QVERIFY(policy.startsWith("default-src 'none';"));
    QVERIFY(policy.contains("connect-src 'none'"));
    QVERIFY(policy.contains("script-src '" + sha256Source(webpage::pageScript()) + "'"));
    QVERIFY(policy.contains("style-src '" + sha256Source(webpage::pageStyle()) + "'"));
    QVERIFY(page.contains("<script>" + webpage::pageScript() + "</script>"));
    QVERIFY(page.contains("<style>" + webpage::pageStyle() + "</style>"));
    // Self-contained: nothing is fetched from anywhere.
    for (const char* reference : {"src=\"", "href=", "http:", "https:", "url("})
        QVERIFY2(!page.contains(reference), reference);
}

void TestWebPage::totalsAreTheStatusListsFromTheSameFiles()
{
    Fixture f;
    f.folder.writeText(CollectionName, record(QStringLiteral("Ａ"), 5, 0) + record(QStringLiteral("Ｂ"), 60, 0) +
                                           record(QStringLiteral("Ｃ"), 3, 50) + record(QStringLiteral("Ｄ"), 4, 0));
    f.folder.writeText(QStringLiteral("Ａ.TXT"), missing({2, 4}));
    f.folder.writeText(QStringLiteral("Ｂ.TXT"), volumes({{1, 1}, {2, 2}, {50, 1}}));
    f.folder.writeText(QStringLiteral("Ｃ.TXT"), missing({}));
    // Ｄ has no volume file: counted as collected, as the status list counts it.
    f.start();
    const QJsonObject d =
        data(webpage::html(f.state->titles, webpage::read(f.state->store, f.state->titles, QDate(2008, 5, 5), false)));
    const statuslist::Totals expected = statuslist::fill(f.state->store, f.state->titles).totals;
    const QJsonArray totals = d.value("totals").toArray();
    QCOMPARE(totals.size(), 6);
    QCOMPARE(totals.at(0).toInt(), expected.totalVolumes);
    QCOMPARE(totals.at(1).toInt(), expected.collectedVolumes());
    QCOMPARE(totals.at(2).toInt(), expected.missingVolumes);
    QCOMPARE(totals.at(3).toInt(), expected.titleCount);
    QCOMPARE(totals.at(4).toInt(), expected.completedTitles);
    QCOMPARE(totals.at(5).toInt(), expected.continuingTitles());
    QCOMPARE(totals.at(0).toInt(), 72);
    QCOMPARE(totals.at(2).toInt(), 4);
    QCOMPARE(d.value("date").toString(), QStringLiteral("2008年05月05日"));
}

void TestWebPage::volumesKeepTheirSeriesNumbers()
{
    TitleTable titles;
    titles.append(entry(QStringLiteral("一"), 3, 50));
    titles.append(entry(QStringLiteral("二"), 50, 0));
    titles.append(entry(QStringLiteral("三"), 70, -5));
    webpage::Content c = content(3);
    c.states[0][2] = 1;
    c.states[1][1] = 1;
    c.states[1][50] = 1;
    c.states[1][7] = 3;
    c.states[2][4] = 1;
    const QStringList v = data(webpage::html(titles, c)).value("v").toString().split(u'\n');
    // Count, missing positions, "." and other positions, "+" and the volumes before the record.
    QCOMPARE(v, (QStringList{QStringLiteral("32+50"), QStringLiteral("o1o.7"), QStringLiteral("!70!4+-5")}));
}

void TestWebPage::datesKeepAnyTextAsWritten()
{
    TitleTable titles;
    TitleRecord r = entry(QStringLiteral("一"));
    r.firstIssue = QStringLiteral("不明");
    r.lastIssue = QString();
    titles.append(r);
    r.firstIssue = QStringLiteral("2008/02/30");
    r.lastIssue = QStringLiteral("1800/01/01");
    titles.append(r);
    const QJsonObject d = data(webpage::html(titles, content(2)));
    QCOMPARE(d.value("d").toString(), QStringLiteral("001000001002"));
    const QJsonObject kept = d.value("dx").toObject();
    QCOMPARE(kept.value("0").toString(), QStringLiteral("不明"));
    QCOMPARE(kept.value("2").toString(), QStringLiteral("2008/02/30"));
    QCOMPARE(kept.size(), 2);
}

void TestWebPage::memosOnlyWhenAskedFor()
{
    Fixture f;
    f.folder.writeText(CollectionName, record(QStringLiteral("Ａ"), 1, 0) + record(QStringLiteral("Ｂ"), 1, 0));
    f.folder.writeText(QStringLiteral("Ａ_C.txt"), QStringLiteral("秘密のメモ\r\n二行目\r\n"));
    f.start();
    const QDate day(2008, 5, 5);
    const QByteArray without =
        webpage::html(f.state->titles, webpage::read(f.state->store, f.state->titles, day, false));
    QVERIFY(!without.contains("秘密"));
    QVERIFY(!data(without).contains("memo"));
    const QJsonArray memos =
        data(webpage::html(f.state->titles, webpage::read(f.state->store, f.state->titles, day, true)))
            .value("memo")
            .toArray();
    QCOMPARE(memos.size(), 2);
    QCOMPARE(memos.at(0).toString(), QStringLiteral("秘密のメモ\n二行目"));
    QCOMPARE(memos.at(1).toString(), QString());
}

void TestWebPage::fullCollectionStaysSmall()
{
    // Long, all-distinct texts: the worst case for the page's size.
    TitleTable titles;
    webpage::Content c = content(TitleTable::MaxTitles);
    for (int i = 1; i <= TitleTable::MaxTitles; ++i) {
        const QString n = QString::number(i);
        TitleRecord r = entry(QStringLiteral("真夜中の事件簿") + n, 1 + (i * 13) % 50, i % 20 == 0 ? 50 : 0);
        r.author = QStringLiteral("山崎真由美") + n;
        r.magazine = QStringLiteral("月刊モーニングチャンピオン") + n;
        titles.append(r);
        c.states[i - 1][1 + i % 10] = 1;
    }
    const QByteArray page = webpage::html(titles, c);
    QVERIFY2(page.size() <= 4 * 1000 * 1000, QByteArray::number(page.size()));
    const QJsonObject d = data(page);
    QCOMPARE(d.value("n").toInt(), TitleTable::MaxTitles);
    QCOMPARE(d.value("t").toString().count(u'\n'), TitleTable::MaxTitles - 1);
}

QTEST_MAIN(TestWebPage)
#include "tst_webpage.moc"
