// The three export layouts against golden files, their confirmations and completion boxes, and what happens
// when a file cannot be written.
#include "ListFixture.h"
#include "lists/Exports.h"

using namespace listtest;

namespace {

const QString Zankan = QStringLiteral("残巻データ.txt");
const QString FullStatus = QStringLiteral("収集一覧データ.txt");

QByteArray golden(const QString& name)
{
    QFile file(QStringLiteral(TESTDATA_DIR "/lists/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// ABC with volumes 3, 5 and 10 missing (and a 1 beyond its count); a complete title; a 50-volume record with
// volumes 1 to 40 missing; the next record of that series with volume 53 missing; a title without a volume
// file; one whose file stops after "0,1,x".
void writeGoldenCollection(TestFolder& folder)
{
    folder.writeText(CollectionName,
                     record(QStringLiteral("ABC"), 12, 0) + record(QStringLiteral("全部持ってる"), 5, 0) +
                         record(QStringLiteral("長編(1_50)"), 50, 0) + record(QStringLiteral("長編(51_62)"), 12, 50) +
                         record(QStringLiteral("ファイルなし"), 3, 0) + record(QStringLiteral("短いファイル"), 10, 0));
    folder.writeText(QStringLiteral("ABC.TXT"), missing({3, 5, 10, 20}));
    folder.writeText(QStringLiteral("全部持ってる.TXT"), missing({}));
    QList<int> forty;
    for (int k = 1; k <= 40; ++k)
        forty << k;
    folder.writeText(QStringLiteral("長編(1_50).TXT"), missing(forty));
    folder.writeText(QStringLiteral("長編(51_62).txt"), missing({3}));
    folder.writeText(QStringLiteral("短いファイル.TXT"), QStringLiteral("0,1,x\r\n"));
}

using Command = void (StatusListPanel::*)();

} // namespace

class TestListExports : public QObject {
    Q_OBJECT
private slots:
    void goldenLayouts_data();
    void goldenLayouts();
    void declinedConfirmationKeepsOldFile_data();
    void declinedConfirmationKeepsOldFile();
    void unwritableFileIsReportedAndOldFileKept_data();
    void unwritableFileIsReportedAndOldFileKept();
    void shoppingPartsSplitAfter105Characters_data();
    void shoppingPartsSplitAfter105Characters();
};

void TestListExports::goldenLayouts_data()
{
    QTest::addColumn<QString>("button"); // empty: the main button 残巻
    QTest::addColumn<QString>("question");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("goldenFile");
    QTest::addColumn<QString>("completion");
    QTest::newRow("残巻 without printing") << ""
                                           << "残巻データ出力" << int(Dialogs::No) << Zankan << "zankan.txt"
                                           << "";
    QTest::newRow("未収集データ保存") << "cmdHozon1"
                                      << "未収集データ更新確認" << int(Dialogs::Yes) << Zankan << "uncollected.txt"
                                      << "まだ集めてない情報を <残巻データ.txt>として保存しました。\r\n\r\n"
                                         "データはメモ帳などで開くことができます。";
    QTest::newRow("全データ保存") << "cmdHozon2"
                                  << "収集状況データ更新確認" << int(Dialogs::Yes) << FullStatus << "fullstatus.txt"
                                  << "収集状況の全データを <収集一覧データ.txt>として保存しました。\r\n\r\n"
                                     "このデータを使えばエクセルなどの表計算ソフトで収集状況一覧を作ることができます。";
}

void TestListExports::goldenLayouts()
{
    QFETCH(QString, button);
    QFETCH(QString, question);
    QFETCH(int, answer);
    QFETCH(QString, file);
    QFETCH(QString, goldenFile);
    QFETCH(QString, completion);
    Fixture f;
    writeGoldenCollection(f.folder);
    const QByteArray shortFile = f.folder.readBytes(QStringLiteral("短いファイル.TXT"));
    f.start();
    f.panel->cmdList_Click();

    f.dialogs.expectMessage(question, answer);
    if (!completion.isEmpty())
        f.dialogs.expectMessage(QStringLiteral("保存終了"));
    if (button.isEmpty())
        f.panel->cmdHozon_Click();
    else
        f.click(button);
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QCOMPARE(f.dialogs.messages().first().style, Dialogs::YesNo + Dialogs::Question);
    if (!completion.isEmpty()) {
        QCOMPARE(f.dialogs.messages().last().text, completion);
        QCOMPARE(f.dialogs.messages().last().style, Dialogs::Information);
    }

    const QByteArray expected = golden(goldenFile);
    QVERIFY(!expected.isEmpty());
    QCOMPARE(f.folder.readBytes(file), expected);
    QCOMPARE(f.folder.readBytes(QStringLiteral("ファイルなし.TXT")), TestFolder::cp932(missing({})));
    QCOMPARE(f.folder.readBytes(QStringLiteral("短いファイル.TXT")), shortFile);
}

void TestListExports::declinedConfirmationKeepsOldFile_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("file");
    QTest::newRow("未収集データ保存") << "cmdHozon1"
                                      << "未収集データ更新確認" << Zankan;
    QTest::newRow("全データ保存") << "cmdHozon2"
                                  << "収集状況データ更新確認" << FullStatus;
}

void TestListExports::declinedConfirmationKeepsOldFile()
{
    QFETCH(QString, button);
    QFETCH(QString, question);
    QFETCH(QString, file);
    Fixture f;
    writeGoldenCollection(f.folder);
    f.folder.writeBytes(file, "old");
    f.start();
    f.panel->cmdList_Click();
    f.dialogs.expectMessage(question, Dialogs::No);
    f.click(button);
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QCOMPARE(f.folder.readBytes(file), QByteArray("old"));
}

void TestListExports::unwritableFileIsReportedAndOldFileKept_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("question");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("file");
    QTest::newRow("残巻") << ""
                          << "残巻データ出力" << int(Dialogs::No) << Zankan;
    QTest::newRow("未収集データ保存") << "cmdHozon1"
                                      << "未収集データ更新確認" << int(Dialogs::Yes) << Zankan;
    QTest::newRow("全データ保存") << "cmdHozon2"
                                  << "収集状況データ更新確認" << int(Dialogs::Yes) << FullStatus;
}

void TestListExports::unwritableFileIsReportedAndOldFileKept()
{
    QFETCH(QString, button);
    QFETCH(QString, question);
    QFETCH(int, answer);
    QFETCH(QString, file);
    Fixture f;
    writeGoldenCollection(f.folder);
    f.folder.writeBytes(file, "old");
    f.start();
    f.panel->cmdList_Click();
    f.state->store.folder().setWriter(std::make_unique<FailingWriter>());
    f.dialogs.expectMessage(question, answer).expectMessage(QStringLiteral("保存できません"));
    if (button.isEmpty())
        f.panel->cmdHozon_Click();
    else
        f.click(button);
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    const QString text = f.dialogs.messages().last().text;
    QVERIFY2(text.contains(file) && text.contains(QStringLiteral("ディスクがいっぱいです")), qPrintable(text));
    QCOMPARE(f.folder.readBytes(file), QByteArray("old"));
}

void TestListExports::shoppingPartsSplitAfter105Characters_data()
{
    QTest::addColumn<quint64>("missing");
    QTest::addColumn<int>("start");
    QTest::addColumn<QStringList>("parts");
    const quint64 first37 = (quint64(1) << 37) - 1;
    QStringList two;
    for (int k = 1; k <= 36; ++k)
        two << QStringLiteral("%1").arg(k, 2, 10, QLatin1Char('0'));
    QStringList three;
    for (int k = 101; k <= 127; ++k)
        three << QString::number(k);
    QTest::newRow("nothing missing") << quint64(0) << 0 << QStringList();
    QTest::newRow("37 two-digit numbers: 36 and 1") << first37 << 0 << QStringList{two.join(u'_') + " <50>", "37 <50>"};
    QTest::newRow("37 three-digit numbers: 27 and 10")
        << first37 << 100 << QStringList{three.join(u'_') + " <150>", "128_129_130_131_132_133_134_135_136_137 <150>"};
}

void TestListExports::shoppingPartsSplitAfter105Characters()
{
    QFETCH(quint64, missing);
    QFETCH(int, start);
    QFETCH(QStringList, parts);
    QCOMPARE(exports::shoppingParts(missing, 50, start), parts);
}

QTEST_MAIN(TestListExports)
#include "tst_listexports.moc"
