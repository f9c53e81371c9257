// Taking over the free edition's data: the file checked whole before anything changes, the folder lists, the
// conversion written to the collection file, the volume files copied, and the end of the program.
#include "MaintenanceFixture.h"
#include "maintenance/FreeEditionImport.h"

#include <QComboBox>
#include <QPushButton>

using namespace mainttest;

namespace {

const QString QuestionTitle = QStringLiteral("データ変換確認");
const QString ClosingTitle = QStringLiteral("データ変換再起動");
const QString RefusedTitle = QStringLiteral("データ変換できません");

QString converted(const QString& title, int count, int start)
{
    return QStringLiteral("\"%1\",%2,%3,\"未登録\",\"未登録\",\"未\",\"2008/05/05\",\"2008/05/05\"\r\n")
        .arg(title)
        .arg(count)
        .arg(start);
}

// The free edition's folder, beside the working folder.
struct FreeFolder {
    QString path;
    explicit FreeFolder(const Fixture& f) : path(f.folder.path() + QStringLiteral("/free")) { QDir().mkpath(path); }
    void write(const QString& name, const QByteArray& bytes) const { Fixture::writeTo(path, name, bytes); }
    void writeText(const QString& name, const QString& text) const { write(name, TestFolder::cp932(text)); }
};

QPushButton* getIn(const Fixture& f)
{
    return f.child<QPushButton>("cmdCmGetIn");
}

void choose(const Fixture& f, const QString& folder)
{
    QVERIFY(f.child<QWidget>("dirCom")->setProperty("path", folder));
}

} // namespace

class TestFreeImport : public QObject {
    Q_OBJECT
private slots:
    void damagedFilesAreNamed_data();
    void damagedFilesAreNamed();
    void folderChoiceEnablesTheButton();
    void deviceNotReadyKeepsTheFolder();
    void importConvertsAndCopies();
    void nothingChanges_data();
    void nothingChanges();
    void uncopiedVolumeFilesAreCounted();
};

void TestFreeImport::damagedFilesAreNamed_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("line"); // 0: no problem
    QTest::addColumn<QString>("mentions");
    const auto cp = [](const char* text) { return TestFolder::cp932(QString::fromUtf8(text)); };
    QTest::newRow("whole") << cp("\"題名\",12,0\r\n\"二\",50,32717\r\n\r\n") << 0 << QString();
    QTest::newRow("last line without line end, unquoted title") << cp("\"A\",1,0\r\nB,2,0") << 0 << QString();
    QTest::newRow("short line") << cp("\"A\",1,0\r\n\"B\",2\r\n\"C\",3,0\r\n") << 2 << "項目が足りません";
    QTest::newRow("short last line") << cp("\"A\",1,0\r\n\"B\"\r\n") << 2 << "項目が足りません";
    QTest::newRow("too many fields") << cp("\"A\",1,0,\"x\"\r\n\"B\",2,0\r\n") << 1 << "項目が多すぎます";
    QTest::newRow("blank line between records") << cp("\"A\",1,0\r\n\r\n\"B\",2,0\r\n") << 2 << "項目が足りません";
    QTest::newRow("count not a number") << cp("\"A\",1,0\r\n\"B\",十,0\r\n") << 2 << "巻数「十」";
    QTest::newRow("start beyond 16 bits") << cp("\"A\",1,40000\r\n") << 1 << "開始巻の位置「40000」";
    QTest::newRow("not code page 932") << (cp("\"A\",1,0\r\n\"") + QByteArray("\x82\xff") + cp("\",1,0\r\n")) << 2
                                       << "コードページ932";
    QTest::newRow("title leaving the folder") << cp("\"A\",1,0\r\n\"../x\",1,0\r\n") << 2 << "../x";
    QTest::newRow("title naming the settings file") << cp("\"設定\",1,0\r\n") << 1 << "設定.TXT";
    QTest::newRow("title naming the collection file")
        << cp("\"A\",1,0\r\n\"データＰＲＯ\",1,0\r\n") << 2 << "データＰＲＯ.txt";
    // Every check an added title gets, between the file's own titles too.
    QTest::newRow("a title owning another's volume file as its memo")
        << cp("\"abc\",1,0\r\n\"abc_C\",1,0\r\n") << 2 << "「abc」は1行目";
    QTest::newRow("the same file in another letter case")
        << cp("\"Ｘ\",1,0\r\n\"abc\",1,0\r\n\"ABC\",1,0\r\n\"Ｙ\",99,0\r\n") << 3 << "大文字・小文字";
    QTest::newRow("a title listed twice") << cp("\"A\",1,0\r\n\"B\",1,0\r\n\"A\",2,0\r\n") << 3 << "重複";
    QTest::newRow("empty title") << cp("\"A\",1,0\r\n\"\",1,0\r\n") << 2 << "題名が空";
    QTest::newRow("refused character") << cp("\"a*b\",1,0\r\n") << 1 << "の文字は使えません";
    QTest::newRow("control character") << cp("\"a\tb\",1,0\r\n") << 1 << "制御文字";
    QTest::newRow("no volumes") << cp("\"A\",0,0\r\n") << 1 << "巻数「0」";
    QTest::newRow("more volumes than a record holds") << cp("\"A\",1,0\r\n\"B\",51,0\r\n") << 2 << "巻数「51」";
    QTest::newRow("negative start") << cp("\"A\",1,-50\r\n") << 1 << "開始巻の位置「-50」";
    QTest::newRow("last volume beyond 16 bits") << cp("\"A\",10,32760\r\n") << 1 << "開始巻の位置「32760」";
    QTest::newRow("the first line with a problem is named")
        << cp("\"A\",1,0\r\n\"B\",0,0\r\n\"a\",1,0\r\n\"A\",1,0\r\n") << 2 << "巻数「0」";
}

void TestFreeImport::damagedFilesAreNamed()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, line);
    QFETCH(QString, mentions);
    const freeedition::Parsed parsed = freeedition::parse(bytes);
    QCOMPARE(parsed.problemLine, line);
    QCOMPARE(parsed.ok(), line == 0);
    if (line == 0) {
        QCOMPARE(parsed.records.size(), 2);
    } else {
        QVERIFY2(parsed.problem.startsWith(QStringLiteral("%1行目").arg(line)), qPrintable(parsed.problem));
        QVERIFY2(parsed.problem.contains(mentions), qPrintable(parsed.problem));
        QVERIFY(parsed.records.isEmpty());
    }
}

void TestFreeImport::folderChoiceEnablesTheButton()
{
    Fixture f;
    f.start(QString());
    FreeFolder free(f);
    f.panel->cmdMaster_Click();
    QVERIFY(!getIn(f)->isEnabled());
    choose(f, free.path);
    QVERIFY(!getIn(f)->isEnabled());
    // Found whatever the letter case of its name; the button follows every choice.
    free.writeText(QStringLiteral("データ.TXT"), QStringLiteral("\"A\",1,0\r\n"));
    choose(f, free.path);
    QVERIFY(getIn(f)->isEnabled());
    QCOMPARE(freeedition::findDataFile(free.path), free.path + QStringLiteral("/データ.TXT"));
    choose(f, f.folder.path());
    QVERIFY(!getIn(f)->isEnabled());
    // A folder that does not exist is refused: the list stays where it was.
    choose(f, free.path);
    choose(f, free.path + QStringLiteral("/gone"));
    QCOMPARE(f.child<QWidget>("dirCom")->property("path").toString(), free.path);
    QVERIFY(getIn(f)->isEnabled());
    f.checkDialogs();
}

void TestFreeImport::deviceNotReadyKeepsTheFolder()
{
    Fixture f;
    f.start(QString());
    f.panel->cmdMaster_Click();
    auto* drives = f.child<QComboBox>("drvCom");
    const int count = drives->count();
    QVERIFY(count >= 1);
    const QString before = f.child<QWidget>("dirCom")->property("path").toString();
    drives->addItem(QStringLiteral("Z:"), f.folder.path() + QStringLiteral("/no-medium"));
    drives->setCurrentIndex(drives->count() - 1);
    f.dialogs.expectMessage(QStringLiteral("ﾃﾞﾊﾞｲｽ未準備"));
    f.panel->drvCom_Change();
    f.checkDialogs();
    QCOMPARE(f.dialogs.messages().last().text, QStringLiteral("ﾃﾞﾊﾞｲｽが準備されていません"));
    QCOMPARE(f.dialogs.messages().last().style, 16);
    QCOMPARE(f.child<QWidget>("dirCom")->property("path").toString(), before);
    QCOMPARE(drives->count(), count);
}

void TestFreeImport::importConvertsAndCopies()
{
    Fixture f;
    // The Pro title 題名 has a volume file of its own, spelt differently, which the free one replaces.
    f.start(line("旧", 3, 0) + line("題名", 5, 0));
    f.folder.writeText(QStringLiteral("題名.txt"), volumesMissing(1));
    f.folder.writeText(QStringLiteral("旧.TXT"), volumesMissing(2));
    FreeFolder free(f);
    free.writeText(QStringLiteral("データ.txt"), QStringLiteral("\"題名\",12,0\r\n\"欠\",50,50\r\n\"Ｂ\",4,0\r\n"));
    free.writeText(QStringLiteral("題名.txt"), volumesMissing(7));
    free.writeText(QStringLiteral("ｂ.TXT"), volumesMissing(9)); // Ｂ's, in another letter case
    f.panel->cmdMaster_Click();
    choose(f, free.path);
    f.dialogs.expectMessage(QuestionTitle, Dialogs::Yes).expectMessage(ClosingTitle);
    QTest::mouseClick(getIn(f), Qt::LeftButton);
    f.checkDialogs();
    QCOMPARE(f.dialogs.messages().first().style, 36);
    QCOMPARE(f.dialogs.messages().first().text,
             QStringLiteral("タナミルのデータを検出しました。\r\n\r\nタナミルＰｒｏに受け取りますか？"
                            "\r\n\r\n受け取るフォルダ：") +
                 QDir::toNativeSeparators(free.path));
    QCOMPARE(f.dialogs.messages().last().style, 64);
    QCOMPARE(f.dialogs.messages().last().text, QStringLiteral("一旦プログラムを終了しますので再起動してください。"));
    QCOMPARE(f.host->ends, 1);

    QCOMPARE(f.folder.readBytes(CollectionName),
             TestFolder::cp932(converted("題名", 12, 0) + converted("欠", 50, 50) + converted("Ｂ", 4, 0)));
    QCOMPARE(f.folder.readBytes(QStringLiteral("題名.txt")), TestFolder::cp932(volumesMissing(7)));
    QVERIFY(!f.folder.exists(QStringLiteral("題名.TXT")));
    QCOMPARE(f.folder.readBytes(QStringLiteral("Ｂ.TXT")), TestFolder::cp932(volumesMissing(9)));
    // No volume file for 欠: skipped. The replaced title's file stays.
    QVERIFY(!f.folder.exists(QStringLiteral("欠.TXT")) && !f.folder.exists(QStringLiteral("欠.txt")));
    QCOMPARE(f.folder.readBytes(QStringLiteral("旧.TXT")), TestFolder::cp932(volumesMissing(2)));
    // The free folder is only read.
    QCOMPARE(QDir(free.path).entryList(QDir::Files).size(), 3);
}

void TestFreeImport::nothingChanges_data()
{
    QTest::addColumn<QString>("data");
    QTest::addColumn<int>("answer"); // to the question; 0 when none may be asked
    QTest::addColumn<bool>("failingDisk");
    QTest::addColumn<QString>("named"); // in the last box
    QTest::newRow("No") << "\"旧\",12,0\r\n" << int(Dialogs::No) << false << QString();
    QTest::newRow("damaged free file: nothing asked") << "\"旧\",12,0\r\n\"二\",5\r\n\"三\",1,0\r\n"
                                                      << 0 << false << QStringLiteral("2行目");
    QTest::newRow("collection file not written") << "\"旧\",12,0\r\n" << int(Dialogs::Yes) << true << CollectionName;
}

void TestFreeImport::nothingChanges()
{
    QFETCH(QString, data);
    QFETCH(int, answer);
    QFETCH(bool, failingDisk);
    QFETCH(QString, named);
    Fixture f;
    f.start(line("旧", 3, 0));
    f.folder.writeText(QStringLiteral("旧.TXT"), volumesMissing(2));
    FreeFolder free(f);
    free.writeText(QStringLiteral("データ.txt"), data);
    free.writeText(QStringLiteral("旧.txt"), volumesMissing(7));
    const QStringList files = f.folder.files();
    const QByteArray collection = f.folder.readBytes(CollectionName);
    if (failingDisk)
        f.state->store.folder().setWriter(std::make_unique<FailingWriter>());
    f.panel->cmdMaster_Click();
    choose(f, free.path);
    if (answer != 0)
        f.dialogs.expectMessage(QuestionTitle, answer);
    if (!named.isEmpty())
        f.dialogs.expectMessage(RefusedTitle);
    f.panel->cmdCmGetIn_Click();
    f.checkDialogs();
    if (!named.isEmpty())
        QVERIFY(f.dialogs.messages().last().text.contains(named));
    QCOMPARE(f.folder.files(), files);
    QCOMPARE(f.folder.readBytes(CollectionName), collection);
    QCOMPARE(f.folder.readBytes(QStringLiteral("旧.TXT")), TestFolder::cp932(volumesMissing(2)));
    QCOMPARE(f.host->ends, 0);

    // A file that is gone by the time of the click ends it without a word.
    QFile::remove(free.path + QStringLiteral("/データ.txt"));
    f.panel->cmdCmGetIn_Click();
    f.checkDialogs();
}

void TestFreeImport::uncopiedVolumeFilesAreCounted()
{
    Fixture f;
    f.start(QString());
    FreeFolder free(f);
    free.writeText(QStringLiteral("データ.txt"), QStringLiteral("\"一\",1,0\r\n\"二\",2,0\r\n"));
    free.writeText(QStringLiteral("一.txt"), volumesMissing(1));
    free.writeText(QStringLiteral("二.txt"), volumesMissing(2));
    // Volume files cannot be written; the collection file can.
    f.state->store.folder().setWriter(std::make_unique<FailingWriter>(QStringLiteral(".TXT")));
    choose(f, free.path);
    f.dialogs.expectMessage(QuestionTitle, Dialogs::Yes).expectMessage(ClosingTitle);
    f.panel->cmdCmGetIn_Click();
    f.checkDialogs();
    const QString closing = f.dialogs.messages().last().text;
    QVERIFY2(closing.contains(QStringLiteral("2件")) && closing.contains(QStringLiteral("一.TXT")) &&
                 closing.contains(QStringLiteral("二.TXT")),
             qPrintable(closing));
    QCOMPARE(f.folder.readBytes(CollectionName), TestFolder::cp932(converted("一", 1, 0) + converted("二", 2, 0)));
    QCOMPARE(f.host->ends, 1);
}

QTEST_MAIN(TestFreeImport)
#include "tst_freeimport.moc"
