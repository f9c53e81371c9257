// The window driven on files written by other tools (a spreadsheet, a text editor, another computer): titles
// that name the program's own files, last lines without a line end or ending in a comma, and the boxes of the
// first page right after start-up.
#include "app/MainWindow.h"
#include "store/DataFolder.h"
#include "support/FailingWriter.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFolder.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>
#include <QTest>

namespace {

const QString CollectionName = QStringLiteral("データＰＲＯ.txt");
const QString RankingName = QStringLiteral("ランキング.txt");

QString line(const QString& title, int count = 12)
{
    return QStringLiteral("\"%1\",%2,0,\"未登録\",\"未登録\",\"未\",\"2002/02/18\",\"2002/02/18\"\r\n")
        .arg(title)
        .arg(count);
}

struct Fixture {
    explicit Fixture(const QByteArray& collection) { folder.writeBytes(CollectionName, collection); }
    void start()
    {
        window = std::make_unique<MainWindow>(dialogs);
        window->show();
    }
    template <typename T> T* get(const QString& name) { return window->findChild<T*>(name); }
    void add(const QString& title, const QString& count)
    {
        dialogs.expectInput(QStringLiteral("題名入力"), title).expectInput(QStringLiteral("巻数入力"), count);
        get<QPushButton>(QStringLiteral("cmdNew"))->click();
    }
    bool boxShown(const QString& title) const
    {
        return std::any_of(dialogs.messages().cbegin(), dialogs.messages().cend(),
                           [&](const ScriptedDialogs::Box& box) { return box.title == title; });
    }

    TestFolder folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;
};

void sendWheel(QWidget* widget, int delta)
{
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

} // namespace

class TestFilesFromElsewhere : public QObject {
    Q_OBJECT
private slots:
    void titleNamingAProgramFileIsRefused_data();
    void titleNamingAProgramFileIsRefused();
    void recordNamingAProgramFileNeverWritesIt();
    void deletingSuchARecordKeepsTheFile();
    void fileTwinThatIsNotACaseTwinIsNamedRightly();
    void lastLineEndingInACommaLoads();
    void appendAfterALastLineWithoutLineEnd();
    void favouritesFollowTheRankingFile();
    void boxesStandOnTheShownEntryAfterStartUp();
    void wheelChangesOnlyAFocusedBox();
};

void TestFilesFromElsewhere::titleNamingAProgramFileIsRefused_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("programFile");
    QTest::newRow("collection") << "データＰＲＯ" << CollectionName;
    QTest::newRow("collection, other case") << "データｐｒｏ" << CollectionName;
    QTest::newRow("ranking") << "ランキング" << RankingName;
    QTest::newRow("settings") << "設定"
                              << "設定.txt";
    QTest::newRow("export") << "残巻データ"
                            << "残巻データ.txt";
    QTest::newRow("full export") << "収集一覧データ"
                                 << "収集一覧データ.txt";
    QTest::newRow("placeholder picture") << "NOPIC"
                                         << "NOPIC.JPG";
}

void TestFilesFromElsewhere::titleNamingAProgramFileIsRefused()
{
    QFETCH(QString, title);
    QFETCH(QString, programFile);
    const QByteArray collection = TestFolder::cp932(line(QStringLiteral("既存")));
    Fixture f(collection);
    f.folder.writeText(RankingName, QStringLiteral("\"既存\"\r\n"));
    f.folder.writeText(QStringLiteral("設定.txt"), QStringLiteral("\"ヘルプツアー\",0\r\n"));
    f.folder.writeText(QStringLiteral("残巻データ.txt"), QStringLiteral("残巻\r\n"));
    f.folder.writeText(QStringLiteral("収集一覧データ.txt"), QStringLiteral("一覧\r\n"));
    f.folder.writeBytes(QStringLiteral("NOPIC.JPG"), "picture");
    const QStringList files = f.folder.files();
    QList<QByteArray> before;
    for (const QString& name : files)
        before << f.folder.readBytes(name);
    f.start();

    f.dialogs.expectInput(QStringLiteral("題名入力"), title)
        .expectMessage(QStringLiteral("入力制限"))
        .expectInput(QStringLiteral("題名入力"), QString());
    f.get<QPushButton>(QStringLiteral("cmdNew"))->click();
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QVERIFY2(f.dialogs.messages().first().text.contains(QStringLiteral("「%1」").arg(programFile)),
             qPrintable(f.dialogs.messages().first().text));

    QCOMPARE(f.folder.files(), files);
    for (int i = 0; i < files.size(); ++i)
        QCOMPARE(f.folder.readBytes(files.at(i)), before.at(i));
    QCOMPARE(f.window->state().titles.count(), 1);
}

void TestFilesFromElsewhere::recordNamingAProgramFileNeverWritesIt()
{
    const QByteArray collection =
        TestFolder::cp932(line(QStringLiteral("データＰＲＯ"), 3) + line(QStringLiteral("乙")));
    Fixture f(collection);
    f.start();
    QCOMPARE(f.get<QLabel>(QStringLiteral("lblKensu"))->text(), QStringLiteral("1 / 2"));
    QVERIFY(f.get<QLabel>(QStringLiteral("lblKan_3"))->isVisible());
    QCOMPARE(f.get<QLabel>(QStringLiteral("lblKan_1"))->palette().color(QPalette::Window), QColor(192, 255, 192));

    f.dialogs.expectMessage(QStringLiteral("保存できません"));
    QTest::mouseClick(f.get<QLabel>(QStringLiteral("lblKan_1")), Qt::LeftButton);
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QVERIFY(f.dialogs.messages().last().text.contains(CollectionName));
    QCOMPARE(f.get<QLabel>(QStringLiteral("lblKan_1"))->palette().color(QPalette::Window), QColor(192, 255, 192));
    QCOMPARE(f.folder.readBytes(CollectionName), collection);
}

void TestFilesFromElsewhere::deletingSuchARecordKeepsTheFile()
{
    Fixture f(TestFolder::cp932(line(QStringLiteral("NOPIC")) + line(QStringLiteral("乙"))));
    f.folder.writeBytes(QStringLiteral("NOPIC.JPG"), "placeholder");
    f.folder.writeText(QStringLiteral("NOPIC.TXT"), QStringLiteral("0,1\r\n"));
    f.start();
    f.dialogs.expectMessage(QStringLiteral("削除確認"), Dialogs::Ok).expectMessage(QStringLiteral("削除"));
    f.get<QPushButton>(QStringLiteral("cmdDel"))->click();
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QVERIFY(f.dialogs.messages().last().text.contains(QStringLiteral("NOPIC.JPG")));
    QCOMPARE(f.folder.files(), (QStringList{QStringLiteral("NOPIC.JPG"), CollectionName}));
    QCOMPARE(f.folder.readBytes(QStringLiteral("NOPIC.JPG")), QByteArray("placeholder"));
    QCOMPARE(f.folder.readBytes(CollectionName), TestFolder::cp932(line(QStringLiteral("乙"))));
}

void TestFilesFromElsewhere::fileTwinThatIsNotACaseTwinIsNamedRightly()
{
    Fixture f(TestFolder::cp932(line(QStringLiteral("abc"))));
    f.start();
    f.dialogs.expectInput(QStringLiteral("題名入力"), QStringLiteral("ABC_c"))
        .expectMessage(QStringLiteral("二重登録"))
        .expectInput(QStringLiteral("題名入力"), QStringLiteral("ABC"))
        .expectMessage(QStringLiteral("二重登録"))
        .expectInput(QStringLiteral("題名入力"), QString());
    f.get<QPushButton>(QStringLiteral("cmdNew"))->click();
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    const QString memoTwin = f.dialogs.messages().at(0).text;
    QVERIFY2(!memoTwin.contains(QStringLiteral("大文字")), qPrintable(memoTwin));
    QVERIFY(memoTwin.contains(QStringLiteral("「abc」")));
    QVERIFY(f.dialogs.messages().at(1).text.contains(QStringLiteral("大文字・小文字")));
}

void TestFilesFromElsewhere::lastLineEndingInACommaLoads()
{
    // What a spreadsheet writes for a series still running: the last-issue field left empty.
    const QByteArray collection =
        TestFolder::cp932(line(QStringLiteral("甲")) + QStringLiteral("一,3,0,著者,雑誌,○,2002/02/18,\r\n"));
    Fixture f(collection);
    f.folder.writeText(QStringLiteral("一.TXT"),
                       QStringLiteral("0,1,1,0,0,0,0,0,0,0\r\n").repeated(5).chopped(2) + QStringLiteral(",\r\n"));
    f.start();
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems())); // no damage reported
    QCOMPARE(f.window->state().titles.count(), 2);
    QCOMPARE(f.window->state().titles.at(2).lastIssue, QString());
    QCOMPARE(f.window->state().titles.at(2).rating, QStringLiteral("○"));
    QVERIFY(!f.window->state().store.collectionLocked());

    f.get<QScrollBar>(QStringLiteral("hsbData"))->setValue(2);
    QCOMPARE(f.get<QLabel>(QStringLiteral("lblKan_2"))->palette().color(QPalette::Window), QColor(255, 192, 255));
    // The volume file is whole, so a click saves it.
    QTest::mouseClick(f.get<QLabel>(QStringLiteral("lblKan_1")), Qt::LeftButton);
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QVERIFY(f.folder.readBytes(QStringLiteral("一.TXT")).startsWith("1,1,1,0"));
}

void TestFilesFromElsewhere::appendAfterALastLineWithoutLineEnd()
{
    const QByteArray collection = TestFolder::cp932(line(QStringLiteral("甲")).chopped(2));
    Fixture f(collection);
    f.folder.writeText(RankingName, QStringLiteral("\"甲\""));
    f.start();
    f.add(QStringLiteral("三"), QStringLiteral("5"));
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QVERIFY(!f.boxShown(QStringLiteral("データファイルの異常")));
    QCOMPARE(f.window->state().titles.count(), 2);
    QVERIFY(f.folder.readBytes(CollectionName).startsWith(collection + "\r\n\"" + TestFolder::cp932("三") + "\",5,0,"));
    QCOMPARE(f.folder.readBytes(RankingName), TestFolder::cp932(QStringLiteral("\"甲\"\r\n\"三\"\r\n")));

    // A restart reads both files whole.
    f.window.reset();
    f.start();
    QCOMPARE(f.window->state().titles.count(), 2);
    QCOMPARE(f.window->state().favourites, (QStringList{QStringLiteral("甲"), QStringLiteral("三")}));
}

void TestFilesFromElsewhere::favouritesFollowTheRankingFile()
{
    Fixture f(TestFolder::cp932(line(QStringLiteral("甲"))));
    f.folder.writeText(RankingName, QStringLiteral("\"甲\"\r\n"));
    f.start();
    f.window->state().store.folder().setWriter(std::make_unique<FailingWriter>(QLatin1Char('/') + RankingName));
    f.dialogs.expectInput(QStringLiteral("題名入力"), QStringLiteral("乙"))
        .expectInput(QStringLiteral("巻数入力"), QStringLiteral("2"))
        .expectMessage(QStringLiteral("保存できません"));
    f.get<QPushButton>(QStringLiteral("cmdNew"))->click();
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QCOMPARE(f.window->state().titles.count(), 2);
    QCOMPARE(f.window->state().favourites, QStringList{QStringLiteral("甲")});
    QCOMPARE(f.folder.readBytes(RankingName), TestFolder::cp932(QStringLiteral("\"甲\"\r\n")));
}

void TestFilesFromElsewhere::boxesStandOnTheShownEntryAfterStartUp()
{
    Fixture f(TestFolder::cp932(line(QStringLiteral("甲"), 12)));
    f.start();
    auto* count = f.get<QComboBox>(QStringLiteral("cboKansu"));
    QCOMPARE(count->currentText(), QStringLiteral("12"));
    QCOMPARE(count->currentIndex(), count->findText(QStringLiteral("12")));
    auto* start = f.get<QComboBox>(QStringLiteral("cboSyo"));
    QCOMPARE(start->currentIndex(), start->findText(QStringLiteral("1")));

    count->setFocus();
    QTest::keyClick(count, Qt::Key_Down);
    QCOMPARE(f.window->state().titles.at(1).volumeCount, qint16(13));
    QVERIFY(f.get<QLabel>(QStringLiteral("lblKan_13"))->isVisible());
    QVERIFY(TestFolder::cp932(line(QStringLiteral("甲"), 13)) == f.folder.readBytes(CollectionName));
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
}

void TestFilesFromElsewhere::wheelChangesOnlyAFocusedBox()
{
    const QByteArray collection = TestFolder::cp932(line(QStringLiteral("甲"), 12));
    Fixture f(collection);
    f.start();
    f.window->activateWindow();
    f.get<QPushButton>(QStringLiteral("cmdMain"))->setFocus();
    for (const QString& name : {QStringLiteral("cboKansu"), QStringLiteral("cboSyo"), QStringLiteral("cboHyouka")}) {
        auto* box = f.get<QComboBox>(name);
        const QString shown = box->currentText();
        sendWheel(box, -120);
        QCOMPARE(box->currentText(), shown);
    }
    QCOMPARE(f.folder.readBytes(CollectionName), collection);

    auto* count = f.get<QComboBox>(QStringLiteral("cboKansu"));
    count->setFocus();
    QVERIFY(count->hasFocus());
    sendWheel(count, -120);
    QCOMPARE(count->currentText(), QStringLiteral("13"));
    QCOMPARE(f.window->state().titles.at(1).volumeCount, qint16(13));
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
}

QTEST_MAIN(TestFilesFromElsewhere)
#include "tst_filesfromelsewhere.moc"
