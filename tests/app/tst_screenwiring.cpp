// Every screen of the button row inside the real window: each opens from its button, hides the others, and the
// ones that end the program or hand a title to the main page do so through the window.
#include "app/MainWindow.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFolder.h"
#include "ui/MainPage.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

const QString CollectionName = QStringLiteral("データＰＲＯ.txt");

QString line(const QString& title, int count)
{
    return QStringLiteral("\"%1\",%2,0,\"作者\",\"雑誌\",\"○\",\"2002/02/18\",\"2003/03/01\"\r\n")
        .arg(title)
        .arg(count);
}

struct Window {
    Window()
    {
        folder.writeText(CollectionName, line(QStringLiteral("甲"), 3) + line(QStringLiteral("乙"), 5));
        folder.writeText(QStringLiteral("ランキング.txt"), QStringLiteral("\"乙\"\r\n\"甲\"\r\n"));
        window = std::make_unique<MainWindow>(dialogs);
        window->show();
    }
    template <typename T> T* get(const QString& name) { return window->findChild<T*>(name); }
    void click(const QString& name) { QTest::mouseClick(get<QPushButton>(name), Qt::LeftButton); }
    // The one screen panel shown, by name.
    QStringList shownPanels()
    {
        QStringList shown;
        for (const char* name : {"fraMain", "fraList", "fraIchiran", "fraKensaku", "fraRank", "fraPic", "fraMaster"})
            if (get<QWidget>(QString::fromLatin1(name))->isVisible())
                shown << QString::fromLatin1(name);
        return shown;
    }

    TestFolder folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;
};

} // namespace

class TestScreenWiring : public QObject {
    Q_OBJECT
private slots:
    void eachButtonShowsItsScreen_data();
    void eachButtonShowsItsScreen();
    void galleryHandsATitleToTheMainPage();
    void clearingTheCollectionEndsTheProgram();
};

void TestScreenWiring::eachButtonShowsItsScreen_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("control"); // a control the screen must show
    QTest::newRow("status list") << "cmdList"
                                 << "fraList"
                                 << "msgList";
    QTest::newRow("sort") << "cmdIchiran"
                          << "fraIchiran"
                          << "msgIchiran";
    QTest::newRow("search") << "cmdKensaku"
                            << "fraKensaku"
                            << "lstDaimei";
    QTest::newRow("rankings") << "cmdRank"
                              << "fraRank"
                              << "lstRank";
    QTest::newRow("gallery") << "cmdPic"
                             << "fraPic"
                             << "imgPIc_1";
    QTest::newRow("maintenance") << "cmdMaster"
                                 << "fraMaster"
                                 << "lstBicho";
}

void TestScreenWiring::eachButtonShowsItsScreen()
{
    QFETCH(QString, button);
    QFETCH(QString, panel);
    QFETCH(QString, control);
    Window w;
    w.click(button);
    QCOMPARE(w.shownPanels(), QStringList{panel});
    QVERIFY(!w.get<QPushButton>(QStringLiteral("cmdDel"))->isEnabled());
    QVERIFY2(w.get<QWidget>(control) && w.get<QWidget>(control)->isVisible(), qPrintable(control));
    w.click(QStringLiteral("cmdMain"));
    QCOMPARE(w.shownPanels(), QStringList{QStringLiteral("fraMain")});
    QVERIFY(w.get<QPushButton>(QStringLiteral("cmdDel"))->isEnabled());
    QVERIFY2(w.dialogs.done(), qPrintable(w.dialogs.problems()));
}

void TestScreenWiring::galleryHandsATitleToTheMainPage()
{
    Window w;
    w.click(QStringLiteral("cmdPic"));
    QCOMPARE(w.get<QLabel>(QStringLiteral("lblName_2"))->text(), QStringLiteral("乙"));
    QTest::mouseClick(w.get<QLabel>(QStringLiteral("lblName_2")), Qt::LeftButton);
    QCOMPARE(w.shownPanels(), QStringList{QStringLiteral("fraMain")});
    QCOMPARE(w.get<QLabel>(QStringLiteral("lblKensu"))->text(), QStringLiteral("2 / 2"));

    // A click on the main page's cover opens the import panel over the page.
    QTest::mouseClick(w.get<QWidget>(QStringLiteral("imgGazou")), Qt::LeftButton);
    QVERIFY(w.get<QWidget>(QStringLiteral("fraPicget"))->isVisible());
    QVERIFY2(w.dialogs.done(), qPrintable(w.dialogs.problems()));
}

void TestScreenWiring::clearingTheCollectionEndsTheProgram()
{
    Window w;
    w.click(QStringLiteral("cmdMaster"));
    w.dialogs.expectMessage(QStringLiteral("コミック全データ削除確認"), Dialogs::No);
    w.click(QStringLiteral("cmdAllDel"));
    QVERIFY(w.window->isVisible());
    QCOMPARE(w.folder.readBytes(CollectionName),
             TestFolder::cp932(line(QStringLiteral("甲"), 3) + line(QStringLiteral("乙"), 5)));

    w.dialogs.expectMessage(QStringLiteral("コミック全データ削除確認"), Dialogs::Yes)
        .expectMessage(QStringLiteral("データ削除"));
    w.click(QStringLiteral("cmdAllDel"));
    QVERIFY2(w.dialogs.done(), qPrintable(w.dialogs.problems()));
    QVERIFY(!w.window->isVisible());
    QCOMPARE(w.folder.readBytes(CollectionName), QByteArray());
}

QTEST_MAIN(TestScreenWiring)
#include "tst_screenwiring.moc"
