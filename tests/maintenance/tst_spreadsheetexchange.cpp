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
#include <QStringEncoder>
#include <QTest>

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
    return {step.apply(true)};
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

QByteArray utf16WithBom(const QString& text)
{
    QStringEncoder encoder(QStringEncoder::Utf16LE);
    return QByteArray("\xFF\xFE") + QByteArray(encoder(text));
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
    void readsCellsAndLines_data();
    void readsCellsAndLines();
    void readsTablesOfOtherTools_data();
    void readsTablesOfOtherTools();
    void refusesRowsATypedTitleWouldNot_data();
    void refusesRowsATypedTitleWouldNot();
    void refusesFilesWithoutTheRequiredColumns_data();
    void refusesFilesWithoutTheRequiredColumns();
    void questionCountsAndNamesRefusals();
    void failedCollectionWriteChangesNothing();
    void everyStoredFieldComesBackByteForByte();
    void titlesAreComparedInTheStoredForm();
    void importIsAllOrNothing_data();
    void importIsAllOrNothing();
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
             QStringLiteral("題名,巻数,分割,著者,掲載誌,評価,初刊,終刊,所持,未所持,メモ,他の状態\r\n"
                            "\"続,刊\",3,51,著者,誌,○,2001/02/03,2002/03/04,51、53,52,"
                            "\"一行目\"\"引用\"\"\r\n二行目\",\r\n"));

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
    // 分割 is the first volume's number, as the main page shows it; with both volume columns, one in neither is
    // not owned.
    QTest::newRow("a split record, blank lines, a missing last cell")
        << utf8(QStringLiteral("題名,巻数,分割,所持,未所持\r\n\r\n続編,2,51,51\r\n"))
        << QStringLiteral("\"続編\",2,50,\"未登録\",\"未登録\",\"未\",\"2024/05/06\",\"2024/05/06\"\r\n")
        << QStringList{QStringLiteral("続編.TXT"), QStringLiteral("0,1")};
    QTest::newRow("both volume columns, a volume in neither")
        << utf8(QStringLiteral("題名,巻数,所持,未所持\r\n新作,4,1-2,\r\n"))
        << QStringLiteral("\"新作\",4,0,\"未登録\",\"未登録\",\"未\",\"2024/05/06\",\"2024/05/06\"\r\n")
        << QStringList{QStringLiteral("新作.TXT"), QStringLiteral("0,0,1,1")};
    QTest::newRow("a blank before a quote, rows of bare separators, CR CR LF")
        << utf8(QStringLiteral("題名,巻数,著者\r\r\n,,\r\n句, 2 , \"a, b\"\r\r\n,,\r\n\t,\r\n"))
        << QStringLiteral("\"句\",2,0,\"a, b\",\"未登録\",\"未\",\"2024/05/06\",\"2024/05/06\"\r\n")
        << QStringList{QStringLiteral("句.TXT"), QString()};
    QTest::newRow("UTF-16 with a byte-order mark, dates with a time, a look-alike rating")
        << utf16WithBom(
               QStringLiteral("題名\t巻数\t初刊\t終刊\t評価\r\n表\t1\t2015/4/10 0:00\t2016/05/01 12:30:00\t◯\r\n"))
        << QStringLiteral("\"表\",1,0,\"未登録\",\"未登録\",\"○\",\"2015/4/10\",\"2016/05/01\"\r\n")
        << QStringList{QStringLiteral("表.TXT"), QString()};
}

// The reader's own rules: quotes, doubled quotes, line breaks inside cells, and the line each row starts on.
void TestSpreadsheetExchange::readsCellsAndLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("rows"); // "line:cell|cell" per row, joined by " / "; or the problem

    QTest::newRow("plain") << QStringLiteral("a,b\r\nc,d") << QStringLiteral("1:a|b / 2:c|d");
    QTest::newRow("separator and doubled quotes inside quotes")
        << QStringLiteral("\"x,y\",\"say \"\"hi\"\"\"") << QStringLiteral("1:x,y|say \"hi\"");
    QTest::newRow("blanks between a doubled quote") << QStringLiteral("\"a\" \"b\",c") << QStringLiteral("1:a\"b|c");
    QTest::newRow("text after the closing quote") << QStringLiteral("\"ab\"cd,e") << QStringLiteral("1:abcd|e");
    QTest::newRow("an empty quoted cell, then text") << QStringLiteral("\"\"x,y") << QStringLiteral("1:x|y");
    QTest::newRow("line breaks inside a cell")
        << QStringLiteral("\"a\r\nb\nc\",d\r\ne") << QStringLiteral("1:a\r\nb\nc|d / 4:e");
    QTest::newRow("CR CR LF inside a cell")
        << QStringLiteral("\"a\r\r\nb\",1\r\nz") << QStringLiteral("1:a\r\r\nb|1 / 3:z");
    QTest::newRow("lone CRs end lines") << QStringLiteral("a\rb\r\"c\rd\"\re")
                                        << QStringLiteral("1:a / 2:b / 3:c\rd / 5:e");
    QTest::newRow("blanks around a quoted cell") << QStringLiteral(" \"a b\" ,c") << QStringLiteral("1:a b |c");
    QTest::newRow("rows of bare separators left out") << QStringLiteral("a\r\n,,\r\nb") << QStringLiteral("1:a / 3:b");
    QTest::newRow("a quote never closed")
        << QStringLiteral("a\r\nb,\"c\r\nd") << QStringLiteral("2行目: 「\"」で始まった項目が閉じられていません。");
    QTest::newRow("a doubled quote at the very end")
        << QStringLiteral("\"a\"\"") << QStringLiteral("1行目: 「\"」で始まった項目が閉じられていません。");
}

void TestSpreadsheetExchange::readsCellsAndLines()
{
    QFETCH(QString, text);
    QFETCH(QString, rows);
    const csvtable::Read read = csvtable::read(text);
    QStringList shown;
    for (const csvtable::Row& row : read.rows)
        shown << QString::number(row.line) + u':' + row.cells.join(u'|');
    QCOMPARE(read.problem.isEmpty() ? shown.join(QStringLiteral(" / ")) : read.problem, rows);
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
    QTest::newRow("a day the month does not have")
        << QStringLiteral("x,1,,2023/02/29,") << 3 << QStringLiteral("2023/02/29");
    QTest::newRow("a year before 1000") << QStringLiteral("x,1,,0999/01/01,") << 3 << QStringLiteral("0999/01/01");
    QTest::newRow("volume beyond the count") << QStringLiteral("x,3,,,4") << 3 << QStringLiteral("「4」");
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
    QTest::newRow("a byte neither UTF-8 nor code page 932")
        << utf8(QStringLiteral("題名,巻数\r\na,1\r\n")) + QByteArray("b\xFF,1\r\n")
        << QStringLiteral("3行目: 先頭から");
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

void TestSpreadsheetExchange::everyStoredFieldComesBackByteForByte()
{
    // Cells a spreadsheet would run as formulas, blanks kept, empty fields, dates as stored, a memo with a tab,
    // values other than 0 and 1 (also beyond the count), a split record.
    TestFolder source;
    source.writeText(QStringLiteral("データＰＲＯ.txt"),
                     QStringLiteral("\" 星 \",3,0,\"=1+1\",\"\",\"-\",\"2015/4/1\",\"\"\r\n"
                                    "\"+3\",2,50,\"@SUM(A1)\",\"\tTab\",\"'\",\"\",\"2001/02/03\"\r\n"
                                    "\"'=x\",50,0,\"未登録\",\"誌 \",\"○\",\"2020/12/31\",\"2021/1/2\"\r\n"));
    source.writeText(QStringLiteral(" 星 .TXT"), volumes({0, 2, -1, 0, 7}));
    source.writeText(QStringLiteral("+3.TXT"), volumes({1, 1}));
    source.writeText(QStringLiteral("'=x.TXT"), volumes(QList<int>(50, 1)));
    source.writeText(QStringLiteral(" 星 _C.txt"), QStringLiteral("=HYPERLINK(\"x\")\r\n\tインデント\r\n"));
    source.writeText(QStringLiteral("+3_C.txt"), QStringLiteral("-メモ\r\n"));
    CollectionStore store(source.path());
    const QByteArray exported = spreadsheet::exportBytes(store, store.loadCollection().table);

    const csvtable::Read table = csvtable::read(csvtable::decode(exported));
    QVERIFY(table.problem.isEmpty());
    for (const csvtable::Row& row : table.rows)
        for (const QString& cell : row.cells)
            QVERIFY2(cell.isEmpty() || !QStringLiteral("=+-@\t\r").contains(cell.front()), qPrintable(cell));

    TestFolder target;
    const spreadsheetimport::Plan plan = importInto(target.path(), exported);
    QVERIFY2(plan.ok() && plan.refused.isEmpty(), qPrintable(plan.problem + spreadsheetimport::questionText(plan)));
    QStringList written = target.files();
    written.removeOne(CollectionStore::RankingFileName);
    QCOMPARE(written, source.files());
    for (const QString& name : source.files())
        QVERIFY2(target.readBytes(name) == source.readBytes(name), qPrintable(name));
}

void TestSpreadsheetExchange::titlesAreComparedInTheStoredForm()
{
    TestFolder folder;
    folder.writeText(QStringLiteral("データＰＲＯ.txt"),
                     QStringLiteral("\"星～\",1,0,\"a\",\"b\",\"○\",\"2001/01/01\",\"2001/01/01\"\r\n"));
    const spreadsheetimport::Plan plan = importInto(
        folder.path(), utf8(QStringLiteral("題名,巻数,著者,未所持,メモ\r\n星〜,1,,,\r\n月〜−,2,A—B,2,¢\r\n")));
    QCOMPARE(plan.refused.size(), 1);
    QCOMPARE(plan.refused.first().line, 2);
    QVERIFY(folder.exists(QStringLiteral("月～－.TXT")) && folder.exists(QStringLiteral("月～－_C.txt")));
    QVERIFY(!folder.exists(QStringLiteral("星〜.TXT")) && !folder.exists(QStringLiteral("月〜−.TXT")));
    CollectionStore store(folder.path());
    const TitleTable table = store.loadCollection().table;
    QCOMPARE(table.count(), 2);
    QCOMPARE(table.at(2).title, QStringLiteral("月～－"));
    QCOMPARE(table.at(2).author, QStringLiteral("A―B"));
    QCOMPARE(store.readMemo(QStringLiteral("月～－")), QStringLiteral("￠"));
}

void TestSpreadsheetExchange::importIsAllOrNothing_data()
{
    QTest::addColumn<QString>("failingSuffix"); // writes of files ending so fail
    QTest::addColumn<QString>("folderInTheWay");
    QTest::addColumn<QString>("named");
    QTest::newRow("a volume file write fails") << QStringLiteral("乙.TXT") << QString() << QStringLiteral("ディスク");
    QTest::newRow("a memo write fails") << QStringLiteral("_C.txt") << QString() << QStringLiteral("ディスク");
    QTest::newRow("the ranking write fails")
        << CollectionStore::RankingFileName << QString() << QStringLiteral("ディスク");
    QTest::newRow("a folder where a volume file goes")
        << QString() << QStringLiteral("乙.TXT") << QStringLiteral("乙.TXT");
}

void TestSpreadsheetExchange::importIsAllOrNothing()
{
    QFETCH(QString, failingSuffix);
    QFETCH(QString, folderInTheWay);
    QFETCH(QString, named);
    TestFolder folder;
    folder.writeText(QStringLiteral("データＰＲＯ.txt"),
                     QStringLiteral("\"既存\",2,0,\"a\",\"b\",\"○\",\"2001/01/01\",\"2001/01/01\"\r\n"));
    folder.writeText(QStringLiteral("既存.TXT"), volumes({1, 0}));
    folder.writeText(QStringLiteral("甲.TXT"), volumes({1}));
    folder.writeText(CollectionStore::RankingFileName, QStringLiteral("\"既存\"\r\n"));
    if (!folderInTheWay.isEmpty())
        QVERIFY(QDir(folder.path()).mkdir(folderInTheWay));
    QHash<QString, QByteArray> before;
    for (const QString& name : folder.files())
        before.insert(name, folder.readBytes(name));

    CollectionStore store(folder.path());
    const spreadsheetimport::Plan plan = spreadsheetimport::plan(
        utf8(QStringLiteral("題名,巻数,メモ\r\n甲,1,m\r\n乙,2,\r\n丙,3,\r\n")), store.loadCollection().table, Today);
    QCOMPARE(plan.records.size(), 3);
    if (!failingSuffix.isEmpty())
        store.folder().setWriter(std::make_unique<FailingWriter>(failingSuffix));
    const spreadsheetimport::Outcome outcome = applyStep(store, plan);
    QVERIFY2(outcome.error.contains(named), qPrintable(outcome.error));
    QVERIFY2(outcome.error.contains(QStringLiteral("何も変更していません")), qPrintable(outcome.error));
    QStringList names = before.keys();
    names.sort();
    QStringList after = folder.files();
    after.sort();
    QCOMPARE(after, names);
    for (const QString& name : names)
        QVERIFY2(folder.readBytes(name) == before.value(name), qPrintable(name));
}

QTEST_GUILESS_MAIN(TestSpreadsheetExchange)
#include "tst_spreadsheetexchange.moc"
