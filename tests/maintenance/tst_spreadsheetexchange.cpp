// The collection as a spreadsheet table and back: the export of the bundled sample imported into an empty folder
// gives the same files byte for byte; tables made by other tools are read by their headers; every row a typed
// title would refuse is refused with its line, and nothing is written for it.
#include "maintenance/CsvTable.h"
#include "maintenance/SpreadsheetExport.h"
#include "maintenance/SpreadsheetImport.h"
#include "maintenance/SpreadsheetImportStep.h"
#include "store/AtomicFileWriter.h"
#include "store/CollectionStore.h"
#include "store/TitleRules.h"
#include "support/FailingWriter.h"
#include "support/TestFolder.h"

#include <QDirIterator>
#include <QtTest>

namespace {

const QDate Today(2024, 5, 6);
const QByteArray Bom("\xEF\xBB\xBF");

QByteArray utf8(const QString& text)
{
    return text.toUtf8();
}

// The import's own undo step run forward, as OK runs it; returns what it could not write.
spreadsheetimport::Outcome applyStep(CollectionStore& store, const spreadsheetimport::Plan& plan)
{
    TitleTable titles = store.loadCollection().table;
    QStringList favourites = store.readRanking();
    ChangeData data{store, titles, favourites};
    SpreadsheetImportStep step(data, plan);
    const QString error = step.apply(true);
    spreadsheetimport::Outcome outcome = step.written();
    outcome.error = error;
    return outcome;
}

// Imports bytes into the folder's collection as OK would; returns the plan.
spreadsheetimport::Plan importInto(const QString& folder, const QByteArray& bytes)
{
    CollectionStore store(folder);
    const TitleTable table = store.loadCollection().table;
    const spreadsheetimport::Plan plan = spreadsheetimport::plan(bytes, table, Today);
    if (plan.ok())
        applyStep(store, plan);
    return plan;
}

QString volumes(const QList<int>& states)
{
    QString text;
    for (int v = 1; v <= 50; ++v)
        text += QString::number(v <= states.size() ? states[v - 1] : 0) + QLatin1String(v % 10 == 0 ? "\r\n" : ",");
    return text;
}

} // namespace

class TestSpreadsheetExchange final : public QObject {
    Q_OBJECT
private slots:
    void sampleComesBackByteForByte();
    void exportWritesTheAgreedTable();
    void readsTablesOfOtherTools_data();
    void readsTablesOfOtherTools();
    void refusesRowsATypedTitleWouldNot_data();
    void refusesRowsATypedTitleWouldNot();
    void refusesFilesWithoutTheRequiredColumns_data();
    void refusesFilesWithoutTheRequiredColumns();
    void questionCountsAndNamesRefusals();
    void failedCollectionWriteChangesNothing();
};

void TestSpreadsheetExchange::sampleComesBackByteForByte()
{
    TestFolder source;
    const QDir sample(QStringLiteral(TESTDATA_DIR "/../../sample"));
    for (const QString& name : sample.entryList(QDir::Files))
        if (name.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
            QVERIFY(QFile::copy(sample.filePath(name), source.path() + QLatin1Char('/') + name));
    CollectionStore store(source.path());
    const TitleTable table = store.loadCollection().table;
    QVERIFY(table.count() > 20);
    const QByteArray exported = spreadsheet::exportBytes(store, table);

    QTemporaryDir target;
    const spreadsheetimport::Plan plan = importInto(target.path(), exported);
    QVERIFY2(plan.refused.isEmpty(), qPrintable(spreadsheetimport::questionText(plan)));
    QCOMPARE(plan.acceptedRows, table.count());

    // Every collection, volume and memo file of the sample, found in the target regardless of letter case.
    QHash<QString, QString> written;
    for (const QString& name : QDir(target.path()).entryList(QDir::Files))
        written.insert(name.toCaseFolded(), name);
    int compared = 0;
    for (const QString& name : QDir(source.path()).entryList(QDir::Files)) {
        if (name == CollectionStore::SettingsFileName || name == CollectionStore::RankingFileName)
            continue;
        QVERIFY2(written.contains(name.toCaseFolded()), qPrintable(name));
        QFile a(source.path() + QLatin1Char('/') + name);
        QFile b(target.path() + QLatin1Char('/') + written.value(name.toCaseFolded()));
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QVERIFY2(a.readAll() == b.readAll(), qPrintable(name));
        ++compared;
    }
    QVERIFY(compared > table.count());
    // And the import's own table exports the same table again.
    CollectionStore back(target.path());
    QCOMPARE(spreadsheet::exportBytes(back, back.loadCollection().table), exported);
}

void TestSpreadsheetExchange::exportWritesTheAgreedTable()
{
    TestFolder folder;
    folder.writeText(QStringLiteral("データＰＲＯ.txt"),
                     QStringLiteral("\"続,刊\",3,50,\"著者\",\"誌\",\"○\",\"2001/02/03\",\"2002/03/04\"\r\n"));
    folder.writeText(QStringLiteral("続,刊.TXT"), volumes({0, 1, 0}));
    folder.writeText(QStringLiteral("続,刊_C.txt"), QStringLiteral("一行目\"引用\"\r\n二行目\r\n"));
    CollectionStore store(folder.path());
    const QString path = folder.path() + QStringLiteral("/出力.csv");
    AtomicFileWriter writer;
    QCOMPARE(spreadsheet::exportTo(store, store.loadCollection().table, path, writer), QString());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith(Bom));
    QCOMPARE(QString::fromUtf8(bytes.mid(Bom.size())),
             QStringLiteral("題名,巻数,分割,著者,掲載誌,評価,初刊,終刊,所持,未所持,メモ\r\n"
                            "\"続,刊\",3,50,著者,誌,○,2001/02/03,2002/03/04,\"51,53\",52,"
                            "\"一行目\"\"引用\"\"\r\n二行目\"\r\n"));

    FailingWriter failing(QStringLiteral(".csv"));
    QVERIFY(spreadsheet::exportTo(store, store.loadCollection().table, path, failing)
                .contains(QStringLiteral("ディスクがいっぱいです")));
}

void TestSpreadsheetExchange::readsTablesOfOtherTools_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("collection");
    QTest::addColumn<QStringList>("volumeFiles"); // name, then its expected states as "0,1,..."

    QTest::newRow("UTF-8 with a byte-order mark, two columns")
        << Bom + utf8(QStringLiteral("題名,巻数\r\n星の子,3\r\n"))
        << QStringLiteral("\"星の子\",3,0,\"未登録\",\"未登録\",\"未\",\"2024/05/06\",\"2024/05/06\"\r\n")
        << QStringList{QStringLiteral("星の子.TXT"), QString()};
    QTest::newRow("code page 932, tab-separated, other headers, unknown column")
        << TestFolder::cp932(
               QStringLiteral("番号\t題名\t巻数\t雑誌\t初刊発行\t所持\n1\t月の子\t4\t月刊～誌\t２０１０年４月１日\t"
                              "1-2\n"))
        << QStringLiteral("\"月の子\",4,0,\"未登録\",\"月刊～誌\",\"未\",\"2010/04/01\",\"2024/05/06\"\r\n")
        << QStringList{QStringLiteral("月の子.TXT"), QStringLiteral("0,0,1,1")};
    QTest::newRow("magazine as 掲載, missing only, no byte-order mark")
        << utf8(QStringLiteral("巻数,掲載,題名,未所持\r\n5,誌,花,\"2, 4\"\r\n"))
        << QStringLiteral("\"花\",5,0,\"未登録\",\"誌\",\"未\",\"2024/05/06\",\"2024/05/06\"\r\n")
        << QStringList{QStringLiteral("花.TXT"), QStringLiteral("0,1,0,1,0")};
    QTest::newRow("an empty owned cell owns nothing")
        << utf8(QStringLiteral("題名,巻数,所持\r\n空,2,\r\n"))
        << QStringLiteral("\"空\",2,0,\"未登録\",\"未登録\",\"未\",\"2024/05/06\",\"2024/05/06\"\r\n")
        << QStringList{QStringLiteral("空.TXT"), QStringLiteral("1,1")};
    QTest::newRow("a long series is split, its volumes by the labels' numbers")
        << utf8(QStringLiteral("題名,巻数,未所持\r\n長編,120,\"50-51, 120\"\r\n"))
        << QStringLiteral("\"長編(1_50)\",50,0,\"未登録\",\"未登録\",\"未\",\"2024/05/06\",\"2024/05/06\"\r\n"
                          "\"長編(51_100)\",50,50,\"未登録\",\"未登録\",\"未\",\"2024/05/06\",\"2024/05/06\"\r\n"
                          "\"長編(101_150)\",20,100,\"未登録\",\"未登録\",\"未\",\"2024/05/06\",\"2024/05/06\"\r\n")
        << QStringList{
               QStringLiteral("長編(1_50).TXT"),
               QStringLiteral("0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,"
                              "0,0,0,0,0,0,0,0,1"),
               QStringLiteral("長編(51_100).TXT"),
               QStringLiteral("1"),
               QStringLiteral("長編(101_150).TXT"),
               QStringLiteral("0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1")};
    QTest::newRow("a split record, blank lines, a missing last cell")
        << utf8(QStringLiteral("題名,巻数,分割,所持,未所持\r\n\r\n続編,2,50,51\r\n"))
        << QStringLiteral("\"続編\",2,50,\"未登録\",\"未登録\",\"未\",\"2024/05/06\",\"2024/05/06\"\r\n")
        << QStringList{QStringLiteral("続編.TXT"), QStringLiteral("0,0")};
}

void TestSpreadsheetExchange::readsTablesOfOtherTools()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, collection);
    QFETCH(QStringList, volumeFiles);
    TestFolder folder;
    const spreadsheetimport::Plan plan = importInto(folder.path(), bytes);
    QVERIFY2(plan.ok() && plan.refused.isEmpty(), qPrintable(plan.problem + spreadsheetimport::questionText(plan)));
    QCOMPARE(folder.readBytes(QStringLiteral("データＰＲＯ.txt")), TestFolder::cp932(collection));
    for (qsizetype i = 0; i < volumeFiles.size(); i += 2) {
        QList<int> states;
        for (const QString& s : volumeFiles[i + 1].split(QLatin1Char(','), Qt::SkipEmptyParts))
            states.append(s.toInt());
        QCOMPARE(folder.readBytes(volumeFiles[i]), TestFolder::cp932(volumes(states)));
    }
}

void TestSpreadsheetExchange::refusesRowsATypedTitleWouldNot_data()
{
    QTest::addColumn<QString>("rows"); // after the header 題名,巻数,著者,初刊,所持,メモ and a first row on line 2
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reason");

    QTest::newRow("already in the collection") << QStringLiteral("登録済,1,,,") << 3 << QStringLiteral("既に登録");
    QTest::newRow("twin by letter case of an earlier row")
        << QStringLiteral("ＡＢＣ,1,,,\r\nａｂｃ,1,,,") << 4 << QStringLiteral("3行目");
    QTest::newRow("same title twice") << QStringLiteral("同じ,1,,,\r\n同じ,1,,,") << 4 << QStringLiteral("3行目");
    QTest::newRow("split title meets a record") << QStringLiteral("長,60,,,") << 3 << QStringLiteral("長(1_50)");
    QTest::newRow("refused character") << QStringLiteral("a?b,1,,,") << 3 << QStringLiteral("使えません");
    QTest::newRow("program's own file") << QStringLiteral("設定,1,,,") << 3 << QStringLiteral("設定");
    QTest::newRow("no title") << QStringLiteral(",3,,,") << 3 << QStringLiteral("題名がありません");
    QTest::newRow("count is not a number") << QStringLiteral("x,三,,,") << 3 << QStringLiteral("巻数「三」");
    QTest::newRow("count zero") << QStringLiteral("x,0,,,") << 3 << QStringLiteral("巻数「0」");
    QTest::newRow("author CP932 cannot hold") << QStringLiteral("x,1,😀,,") << 3 << QStringLiteral("😀");
    QTest::newRow("not a date") << QStringLiteral("x,1,,2024/13/01,") << 3 << QStringLiteral("2024/13/01");
    QTest::newRow("volume beyond the count") << QStringLiteral("x,3,,,4") << 3 << QStringLiteral("4巻");
    QTest::newRow("not a volume list") << QStringLiteral("x,3,,,一") << 3 << QStringLiteral("「一」");
    QTest::newRow("line after a multi-line cell")
        << QStringLiteral("x1,1,,,,\"a\r\nb\"\r\nc?,1,,,") << 5 << QStringLiteral("使えません");
}

void TestSpreadsheetExchange::refusesRowsATypedTitleWouldNot()
{
    QFETCH(QString, rows);
    QFETCH(int, line);
    QFETCH(QString, reason);
    TestFolder folder;
    const QString existing = QStringLiteral("\"登録済\",1,0,\"a\",\"b\",\"○\",\"2001/01/01\",\"2001/01/01\"\r\n"
                                            "\"長(1_50)\",1,0,\"a\",\"b\",\"○\",\"2001/01/01\",\"2001/01/01\"\r\n");
    folder.writeText(QStringLiteral("データＰＲＯ.txt"), existing);
    const spreadsheetimport::Plan plan =
        importInto(folder.path(), utf8(QStringLiteral("題名,巻数,著者,初刊,所持,メモ\r\n最初,2,,,\r\n") + rows));
    QVERIFY(plan.ok());
    QCOMPARE(plan.refused.size(), 1);
    QCOMPARE(plan.refused.first().line, line);
    QVERIFY2(plan.refused.first().reason.contains(reason), qPrintable(plan.refused.first().reason));
    // The refused row adds nothing; the rows around it are added.
    QCOMPARE(plan.records.size(), plan.acceptedRows);
    QVERIFY(folder.exists(QStringLiteral("最初.TXT")));
    QCOMPARE(folder.readBytes(QStringLiteral("データＰＲＯ.txt")).count("\r\n"), 2 + plan.records.size());
}

void TestSpreadsheetExchange::refusesFilesWithoutTheRequiredColumns_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("problem");
    QTest::newRow("empty file") << QByteArray() << QStringLiteral("見出し");
    QTest::newRow("no count column") << utf8(QStringLiteral("題名,冊数\r\na,1\r\n")) << QStringLiteral("「巻数」");
    QTest::newRow("no title column") << utf8(QStringLiteral("名前,巻数\r\na,1\r\n")) << QStringLiteral("「題名」");
    QTest::newRow("quote left open") << utf8(QStringLiteral("題名,巻数\r\n\"a,1\r\n")) << QStringLiteral("2行目");
}

void TestSpreadsheetExchange::refusesFilesWithoutTheRequiredColumns()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, problem);
    TestFolder folder;
    const spreadsheetimport::Plan plan = importInto(folder.path(), bytes);
    QVERIFY2(plan.problem.contains(problem), qPrintable(plan.problem));
    QVERIFY(plan.records.isEmpty());
}

void TestSpreadsheetExchange::questionCountsAndNamesRefusals()
{
    const spreadsheetimport::Plan plan = spreadsheetimport::plan(
        utf8(QStringLiteral("題名,巻数\r\na,1\r\nb?,1\r\nc,70\r\n,2\r\n")), TitleTable(), Today);
    QCOMPARE(spreadsheetimport::questionText(plan),
             QStringLiteral("2件のコミックを追加します。（５０巻を超えるものは分けて、データは3件になります）\r\n\r\n"
                            "次の2行は取り込みません。\r\n3行目: 題名「b?」は使えません。") +
                 titlerules::RefusedCharacterMessage +
                 QStringLiteral("\r\n5行目: 題名がありません。\r\n\r\nよろしいですか？"));
}

void TestSpreadsheetExchange::failedCollectionWriteChangesNothing()
{
    TestFolder folder;
    CollectionStore store(folder.path());
    const spreadsheetimport::Plan plan = spreadsheetimport::plan(utf8(QStringLiteral("題名,巻数,メモ\r\na,1,memo\r\n")),
                                                                 store.loadCollection().table, Today);
    const QStringList before = folder.files();
    store.folder().setWriter(std::make_unique<FailingWriter>(CollectionStore::CollectionFileName));
    const spreadsheetimport::Outcome outcome = applyStep(store, plan);
    QVERIFY(outcome.error.contains(QStringLiteral("ディスクがいっぱいです")));
    QCOMPARE(folder.files(), before);
}

QTEST_GUILESS_MAIN(TestSpreadsheetExchange)
#include "tst_spreadsheetexchange.moc"
