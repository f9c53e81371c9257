// The viewer behind the help button: its fallback to the installed copy when the folder's help file is missing
// or damaged, where its window opens, how long it keeps it, and the help and end buttons of the main window.
#include "HelpWindowDriver.h"

#include "app/MainWindow.h"
#include "help/widgets/ChmHelpViewer.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFolder.h"

#include <QPushButton>
#include <QScreen>

using namespace helpdriver;

class TestHelpViewer : public QObject {
    Q_OBJECT
private slots:
    void fallsBackToTheInstalledCopy_data();
    void fallsBackToTheInstalledCopy();
    void windowFitsTheScreenBesideItsOwner();
    void keepsItsWindowUntilCloseAll();
    void helpButtonOpensTheWindowAndEndClosesIt();
};

void TestHelpViewer::fallsBackToTheInstalledCopy_data()
{
    QTest::addColumn<qint64>("folderCopy"); // bytes of test.chm in the working folder: -1 all, 0 no file
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("shown");  // "folder" or "installed"
    QTest::addColumn<QString>("notice"); // what the note above the page says, or empty for no note
    QTest::newRow("the folder's own file") << qint64(-1) << true << "folder"
                                           << "";
    QTest::newRow("missing: the installed copy, without a word") << qint64(0) << true << "installed"
                                                                 << "";
    QTest::newRow("half cut off: the installed copy, the damaged file named")
        << qint64(6000) << true << "installed"
        << "HondexHelp.chm」は壊れているため、プログラムと一緒にインストール";
    QTest::newRow("half cut off and nothing installed: shown, and said to be damaged")
        << qint64(6000) << false << "folder"
        << "HondexHelp.chm」は壊れています";
}

void TestHelpViewer::fallsBackToTheInstalledCopy()
{
    QFETCH(qint64, folderCopy);
    QFETCH(bool, installed);
    QFETCH(QString, shown);
    QFETCH(QString, notice);
    QTemporaryDir dir;
    const QString folderFile = dir.filePath(QStringLiteral("HondexHelp.chm"));
    const QString installedFile = dir.filePath(QStringLiteral("share/HondexHelp.chm"));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("share")));
    if (installed)
        QVERIFY(QFile::copy(testChm(), installedFile));
    if (folderCopy != 0) {
        QFile in(testChm());
        QVERIFY(in.open(QIODevice::ReadOnly));
        QFile out(folderFile);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(folderCopy < 0 ? in.readAll() : in.read(folderCopy));
    }
    ChmHelpViewer viewer(nullptr, installedFile);
    QVERIFY(viewer.open(folderFile));
    HelpWindow& w = *viewer.window();
    QVERIFY(w.isVisible());
    QCOMPARE(w.filePath(), shown == QLatin1String("folder") ? folderFile : installedFile);
    if (notice.isEmpty())
        QVERIFY2(w.notice().isEmpty(), qPrintable(w.notice()));
    else
        QVERIFY2(w.notice().contains(QDir::toNativeSeparators(dir.path())) && w.notice().contains(notice),
                 qPrintable(w.notice()));
    if (shown == QLatin1String("installed")) {
        QCOMPARE(pageTitle(w), QStringLiteral("試験の最初のページ"));
        QVERIFY(child<QTreeWidget>(&w, "helpContents")->topLevelItemCount() > 0);
    }
    QVERIFY(!anyMessageBox());
}

void TestHelpViewer::windowFitsTheScreenBesideItsOwner()
{
    QWidget owner;
    owner.resize(100, 300);
    owner.move(0, 0);
    owner.show();
    ChmHelpViewer viewer(&owner, QString());
    QVERIFY(viewer.open(testChm()));
    const QRect available = owner.screen()->availableGeometry();
    const QRect help = viewer.window()->geometry();
    QVERIFY2(available.contains(help), qPrintable(QStringLiteral("%1,%2 %3x%4 on %5x%6")
                                                      .arg(help.x())
                                                      .arg(help.y())
                                                      .arg(help.width())
                                                      .arg(help.height())
                                                      .arg(available.width())
                                                      .arg(available.height())));
    QVERIFY(help.left() > owner.frameGeometry().right());
}

void TestHelpViewer::keepsItsWindowUntilCloseAll()
{
    ChmHelpViewer viewer(nullptr, QString());
    QVERIFY(viewer.open(testChm()));
    HelpWindow* first = viewer.window();
    QVERIFY(clickLink(*first, QStringLiteral("sub/picture.html")));
    // Asked again for the same file, the window comes up where the reader left it.
    QVERIFY(viewer.open(testChm()));
    QCOMPARE(viewer.window(), first);
    QCOMPARE(pageTitle(*first), QStringLiteral("絵のページ"));
    viewer.closeAll();
    QVERIFY(!viewer.window());
    QVERIFY(!openHelpWindow());
    viewer.closeAll(); // nothing left to close
}

void TestHelpViewer::helpButtonOpensTheWindowAndEndClosesIt()
{
    TestFolder folder;
    QVERIFY(QFile::copy(testChm(), folder.path() + QStringLiteral("/HondexHelp.chm")));
    ScriptedDialogs dialogs;
    MainWindow main(dialogs);
    main.show();
    QTest::mouseClick(child<QPushButton>(&main, "cmdHelp"), Qt::LeftButton);
    HelpWindow* help = openHelpWindow();
    QVERIFY(help);
    QVERIFY(child<QTreeWidget>(help, "helpContents")->topLevelItemCount() > 0);
    QCOMPARE(pageTitle(*help), QStringLiteral("試験の最初のページ"));
    QTest::mouseClick(child<QPushButton>(&main, "cmdEnd"), Qt::LeftButton);
    QVERIFY(!openHelpWindow());
    QVERIFY2(dialogs.done(), qPrintable(dialogs.problems()));
}

QTEST_MAIN(TestHelpViewer)
#include "tst_helpviewer.moc"
