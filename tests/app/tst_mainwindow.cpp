// Start-up, paging, the volume grid and the help-tour switch, driven through the real window offscreen.
#include "app/MainWindow.h"
#include "store/DataFolder.h"
#include "support/FailingWriter.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFolder.h"
#include "ui/HelpViewer.h"
#include "ui/MainPage.h"
#include "ui/VolumeGrid.h"
#include "ui/logic/TourTexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

namespace {

const QString CollectionName = QStringLiteral("データＰＲＯ.txt");

QString line(const QString& title, int count, int start, const QString& author = QStringLiteral("未登録"),
             const QString& rating = QStringLiteral("未"))
{
    return QStringLiteral("\"%1\",%2,%3,\"%4\",\"雑誌\",\"%5\",\"2002/02/18\",\"2003/03/01\"\r\n")
        .arg(title)
        .arg(count)
        .arg(start)
        .arg(author, rating);
}

QString threeTitles()
{
    return line(QStringLiteral("一の巻"), 10, 0, QStringLiteral("著者Ｂ"), QStringLiteral("◎")) +
           line(QStringLiteral("二の巻"), 20, 50, QStringLiteral("著者Ａ"), QStringLiteral("○")) +
           line(QStringLiteral("三の巻"), 5, 0, QStringLiteral("未登録"), QStringLiteral("△"));
}

class RecordingHelpViewer final : public HelpViewer {
public:
    QStringList opened;
    int closed = 0;
    bool open(const QString& path) override
    {
        opened << path;
        return false;
    }
    void closeAll() override { ++closed; }
};

template <typename T> T* child(QWidget& window, const QString& name)
{
    T* found = window.findChild<T*>(name);
    if (!found)
        qWarning("no control named %s", qPrintable(name));
    return found;
}

QString counter(QWidget& w)
{
    return child<QLabel>(w, QStringLiteral("lblKensu"))->text();
}

QColor background(QWidget& w, int k)
{
    return child<QLabel>(w, QStringLiteral("lblKan_%1").arg(k))->palette().color(QPalette::Window);
}

int visibleVolumes(QWidget& w)
{
    int n = 0;
    for (int k = 1; k <= 50; ++k)
        n += child<QLabel>(w, QStringLiteral("lblKan_%1").arg(k))->isVisibleTo(&w) ? 1 : 0;
    return n;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void emptyFolderCreatesCollectionAndShowsZeroOfZero();
    void tourFollowsTheSettingsFile_data();
    void tourFollowsTheSettingsFile();
    void helpSwitchWritesTheSettingsFile();
    void startsOnTitleOneWithAllFields();
    void pagingShowsEachRecord();
    void titleComboPagesAndCannotBeTyped();
    void pickedIndexOnReturnToMain_data();
    void pickedIndexOnReturnToMain();
    void volumeClickWritesTheFile();
    void volumeClickKeepsOtherStates();
    void volumesWorkFromTheKeyboard();
    void failedVolumeWriteKeepsFileAndColour();
    void titleOutsideTheFolderIsNeverWritten();
    void coverLookupOrderAndLetterCase();
    void memoShownWithoutFinalLineBreak();
    void damagedCollectionIsReportedAndNotRewritten();
    void panelsSwitchAndDeleteButtonFollowsMainPage();
    void endClosesHelpFirst();
};

void TestMainWindow::emptyFolderCreatesCollectionAndShowsZeroOfZero()
{
    TestFolder folder;
    ScriptedDialogs dialogs;
    MainWindow w(dialogs);
    // The word about where the program works is the first box.
    w.setStartNotice(QStringLiteral("空のデータで始めます。"));
    dialogs.expectMessage(QStringLiteral("タナミルＰｒｏ"));
    w.show();
    QVERIFY2(dialogs.done(), qPrintable(dialogs.problems()));
    QCOMPARE(dialogs.messages().constFirst().text, QStringLiteral("空のデータで始めます。"));
    QVERIFY(folder.exists(CollectionName) || folder.exists(QStringLiteral("データＰＲＯ.TXT")));
    QCOMPARE(counter(w), QStringLiteral("0 / 0"));
    QCOMPARE(visibleVolumes(w), 0);
    QCOMPARE(child<QScrollBar>(w, QStringLiteral("hsbData"))->maximum(), 1);
    QCOMPARE(child<QComboBox>(w, QStringLiteral("cboName"))->count(), 0);
    QCOMPARE(w.state().favourites.size(), 0);
    QVERIFY(!child<QCheckBox>(w, QStringLiteral("chkHelp"))->isChecked());
    QCOMPARE(w.windowTitle(), QStringLiteral("タナミルＰｒｏ"));
}

void TestMainWindow::tourFollowsTheSettingsFile_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<bool>("on");
    QTest::newRow("on") << QStringLiteral("\"ヘルプツアー\",1\r\n") << true;
    QTest::newRow("off") << QStringLiteral("\"ヘルプツアー\",0\r\n") << false;
    QTest::newRow("upper-case name on") << QStringLiteral("\"ヘルプツアー\",1\r\n") << true;
}

void TestMainWindow::tourFollowsTheSettingsFile()
{
    QFETCH(QString, settings);
    QFETCH(bool, on);
    TestFolder folder;
    folder.writeText(QString::fromUtf8(QTest::currentDataTag()).startsWith(QStringLiteral("upper"))
                         ? QStringLiteral("設定.TXT")
                         : QStringLiteral("設定.txt"),
                     settings);
    ScriptedDialogs dialogs;
    if (on)
        dialogs.expectMessage(tour::Title).expectMessage(tour::Title);
    MainWindow w(dialogs);
    QCOMPARE(dialogs.messages().size(), 0); // nothing before the window is shown
    w.show();
    QVERIFY2(dialogs.done(), qPrintable(dialogs.problems()));
    QCOMPARE(child<QCheckBox>(w, QStringLiteral("chkHelp"))->isChecked(), on);
    if (on) {
        QCOMPARE(dialogs.messages().at(0).text, tour::mainPageIntro());
        QCOMPARE(dialogs.messages().at(1).text, tour::mainPageCovers());
        QCOMPARE(dialogs.messages().at(0).style, 64);
        QVERIFY(tour::mainPageIntro().contains(QStringLiteral("まずは\u3000収集")));
        QVERIFY(tour::mainPageCovers().contains(QStringLiteral("Yahoo!ﾌﾞｯｸｽｼｮｯﾋﾟﾝｸﾞ")));
    }
    // Showing again (after a minimise, say) repeats nothing.
    w.hide();
    w.show();
    QVERIFY2(dialogs.done(), qPrintable(dialogs.problems()));
}

void TestMainWindow::helpSwitchWritesTheSettingsFile()
{
    TestFolder folder;
    ScriptedDialogs dialogs;
    MainWindow w(dialogs);
    w.show();
    auto* box = child<QCheckBox>(w, QStringLiteral("chkHelp"));

    dialogs.expectMessage(tour::OnTitle);
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY2(dialogs.done(), qPrintable(dialogs.problems()));
    QCOMPARE(dialogs.messages().last().text, tour::OnText);
    QCOMPARE(dialogs.messages().last().style, 64);
    QCOMPARE(folder.files().filter(QStringLiteral("設定")).size(), 1);
    const QString settingsName = folder.files().filter(QStringLiteral("設定")).first();
    QCOMPARE(folder.readBytes(settingsName), TestFolder::cp932(QStringLiteral("\"ヘルプツアー\",1\r\n")));
    QCOMPARE(w.state().HelpTourOn, qint16(1));

    dialogs.expectMessage(tour::OffTitle);
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY2(dialogs.done(), qPrintable(dialogs.problems()));
    QCOMPARE(folder.files().filter(QStringLiteral("設定")).size(), 1);
    QCOMPARE(folder.readBytes(settingsName), TestFolder::cp932(QStringLiteral("\"ヘルプツアー\",0\r\n")));
    QCOMPARE(w.state().HelpTourOn, qint16(0));
}

void TestMainWindow::startsOnTitleOneWithAllFields()
{
    TestFolder folder;
    folder.writeText(CollectionName, threeTitles());
    ScriptedDialogs dialogs;
    MainWindow w(dialogs);
    w.show();
    QCOMPARE(counter(w), QStringLiteral("1 / 3"));
    QCOMPARE(child<QComboBox>(w, QStringLiteral("cboName"))->currentText(), QStringLiteral("一の巻"));
    QCOMPARE(child<QComboBox>(w, QStringLiteral("cboKansu"))->currentText(), QStringLiteral("10"));
    QCOMPARE(child<QComboBox>(w, QStringLiteral("cboSyo"))->currentText(), QStringLiteral("1"));
    QCOMPARE(child<QComboBox>(w, QStringLiteral("cboSakusya"))->currentText(), QStringLiteral("著者Ｂ"));
    QCOMPARE(child<QComboBox>(w, QStringLiteral("cboKeisai"))->currentText(), QStringLiteral("雑誌"));
    QCOMPARE(child<QComboBox>(w, QStringLiteral("cboHyouka"))->currentText(), QStringLiteral("◎"));
    QCOMPARE(child<QLineEdit>(w, QStringLiteral("txtStHan"))->text(), QStringLiteral("2002/02/18"));
    QCOMPARE(child<QLineEdit>(w, QStringLiteral("txtEdHan"))->text(), QStringLiteral("2003/03/01"));
    QCOMPARE(visibleVolumes(w), 10);
    QCOMPARE(background(w, 1), QColor(192, 255, 192));
    // Sorted author list without 未登録; fixed lists filled.
    auto* authors = child<QComboBox>(w, QStringLiteral("cboSakusya"));
    QCOMPARE(authors->count(), 2);
    QCOMPARE(authors->itemText(0), QStringLiteral("著者Ａ"));
    QCOMPARE(child<QComboBox>(w, QStringLiteral("cboKansu"))->count(), 50);
    QCOMPARE(child<QComboBox>(w, QStringLiteral("cboSyo"))->itemText(10), QStringLiteral("501"));
    QCOMPARE(child<QComboBox>(w, QStringLiteral("cboHyouka"))->count(), 3);
    QCOMPARE(child<QComboBox>(w, QStringLiteral("cboKoukai3"))->itemText(0), QStringLiteral("2002年"));
    QCOMPARE(child<QComboBox>(w, QStringLiteral("cboKoukai"))->itemText(0), QStringLiteral("2002/02"));
}

void TestMainWindow::pagingShowsEachRecord()
{
    TestFolder folder;
    folder.writeText(CollectionName, threeTitles());
    folder.writeText(QStringLiteral("二の巻.TXT"), QStringLiteral("0,0,0,0,0,0,0,0,0,0\r\n0,0,0,0,2,0,0,0,0,0\r\n"));
    ScriptedDialogs dialogs;
    MainWindow w(dialogs);
    w.show();
    auto* bar = child<QScrollBar>(w, QStringLiteral("hsbData"));
    QCOMPARE(bar->maximum(), 3);

    bar->setValue(2);
    QCOMPARE(counter(w), QStringLiteral("2 / 3"));
    QCOMPARE(child<QComboBox>(w, QStringLiteral("cboSyo"))->currentText(), QStringLiteral("51"));
    QCOMPARE(visibleVolumes(w), 20);
    QCOMPARE(child<QLabel>(w, QStringLiteral("lblKan_1"))->text(), QStringLiteral("51"));
    QCOMPARE(child<QLabel>(w, QStringLiteral("lblKan_20"))->text(), QStringLiteral("70"));
    QCOMPARE(background(w, 15), QColor(0, 0, 0)); // a state the program never writes
    QVERIFY(child<QLabel>(w, QStringLiteral("imgFace1_1"))->isVisibleTo(&w));
    QVERIFY(!child<QLabel>(w, QStringLiteral("imgFace1_0"))->isVisibleTo(&w));

    bar->setValue(3);
    QVERIFY(child<QLabel>(w, QStringLiteral("imgFace1_2"))->isVisibleTo(&w));
    QCOMPARE(child<QComboBox>(w, QStringLiteral("cboSakusya"))->currentText(), QStringLiteral("未登録"));
}

void TestMainWindow::titleComboPagesAndCannotBeTyped()
{
    TestFolder folder;
    folder.writeText(CollectionName, threeTitles());
    ScriptedDialogs dialogs;
    MainWindow w(dialogs);
    w.show();
    auto* names = child<QComboBox>(w, QStringLiteral("cboName"));
    QVERIFY(!names->isEditable());
    QCOMPARE(names->toolTip(), QStringLiteral("コミックを切り替えます"));
    names->setCurrentIndex(2);
    emit names->activated(2);
    QCOMPARE(counter(w), QStringLiteral("3 / 3"));
    QCOMPARE(names->currentText(), QStringLiteral("三の巻"));
}

void TestMainWindow::pickedIndexOnReturnToMain_data()
{
    QTest::addColumn<int>("picked");
    QTest::addColumn<QString>("expected");
    QTest::newRow("picked 7") << 7 << QStringLiteral("7 / 9");
    QTest::newRow("none") << 0 << QStringLiteral("2 / 9");
    QTest::newRow("past the end") << 12 << QStringLiteral("2 / 9");
}

void TestMainWindow::pickedIndexOnReturnToMain()
{
    QFETCH(int, picked);
    QFETCH(QString, expected);
    TestFolder folder;
    QString text;
    for (int i = 1; i <= 9; ++i)
        text += line(QStringLiteral("題%1").arg(i), 3, 0);
    folder.writeText(CollectionName, text);
    ScriptedDialogs dialogs;
    MainWindow w(dialogs);
    w.show();
    child<QScrollBar>(w, QStringLiteral("hsbData"))->setValue(2);

    // While the main page is shown, the button changes nothing.
    w.state().PickedIndex = qint16(picked);
    QTest::mouseClick(child<QPushButton>(w, QStringLiteral("cmdMain")), Qt::LeftButton);
    QCOMPARE(counter(w), QStringLiteral("2 / 9"));

    QTest::mouseClick(child<QPushButton>(w, QStringLiteral("cmdList")), Qt::LeftButton);
    QVERIFY(!w.mainPage()->isVisible());
    QTest::mouseClick(child<QPushButton>(w, QStringLiteral("cmdMain")), Qt::LeftButton);
    QVERIFY(w.mainPage()->isVisible());
    QCOMPARE(counter(w), expected);
    QVERIFY(child<QPushButton>(w, QStringLiteral("cmdDel"))->isEnabled());
}

void TestMainWindow::volumeClickWritesTheFile()
{
    TestFolder folder;
    folder.writeText(CollectionName, line(QStringLiteral("ＡＢＣ"), 20, 50));
    ScriptedDialogs dialogs;
    MainWindow w(dialogs);
    w.show();
    w.state().stale = StaleFlags{false, false, false, false, false};
    auto* label = child<QLabel>(w, QStringLiteral("lblKan_15"));
    QCOMPARE(label->text(), QStringLiteral("65"));
    QVERIFY(!folder.exists(QStringLiteral("ＡＢＣ.TXT")));

    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(background(w, 15), QColor(255, 192, 255));
    const QStringList files = folder.files().filter(QStringLiteral("ＡＢＣ."));
    QCOMPARE(files.size(), 1);
    QCOMPARE(folder.readBytes(files.first()), QByteArray("0,0,0,0,0,0,0,0,0,0\r\n"
                                                         "0,0,0,0,1,0,0,0,0,0\r\n"
                                                         "0,0,0,0,0,0,0,0,0,0\r\n"
                                                         "0,0,0,0,0,0,0,0,0,0\r\n"
                                                         "0,0,0,0,0,0,0,0,0,0\r\n"));
    QVERIFY(w.state().stale.StatusListStale);
    QVERIFY(w.state().stale.UncollectedStale);
    QVERIFY(!w.state().stale.SortListStale);

    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(background(w, 15), QColor(192, 255, 192));
    QCOMPARE(folder.readBytes(files.first()).count('1'), 0);
    QVERIFY2(dialogs.done(), qPrintable(dialogs.problems()));
}

void TestMainWindow::volumeClickKeepsOtherStates()
{
    // States beyond the volume count and odd values stay as stored; the existing spelling is reused.
    TestFolder folder;
    folder.writeText(CollectionName, line(QStringLiteral("abc"), 3, 0));
    folder.writeText(QStringLiteral("ABC.txt"), QStringLiteral("0,2,0,0,0,0,0,0,0,1\r\n0,0,0,0,0,0,0,0,0,0\r\n"
                                                               "0,0,0,0,0,0,0,0,0,0\r\n0,0,0,0,0,0,0,0,0,0\r\n"
                                                               "0,0,0,0,0,0,0,0,0,1\r\n"));
    ScriptedDialogs dialogs;
    MainWindow w(dialogs);
    w.show();
    QCOMPARE(background(w, 2), QColor(0, 0, 0));
    QTest::mouseClick(child<QLabel>(w, QStringLiteral("lblKan_2")), Qt::LeftButton);
    QCOMPARE(folder.files(), QStringList({QStringLiteral("ABC.txt"), CollectionName}));
    QCOMPARE(folder.readBytes(QStringLiteral("ABC.txt")), QByteArray("0,0,0,0,0,0,0,0,0,1\r\n0,0,0,0,0,0,0,0,0,0\r\n"
                                                                     "0,0,0,0,0,0,0,0,0,0\r\n0,0,0,0,0,0,0,0,0,0\r\n"
                                                                     "0,0,0,0,0,0,0,0,0,1\r\n"));
}

void TestMainWindow::volumesWorkFromTheKeyboard()
{
    TestFolder folder;
    folder.writeText(CollectionName, line(QStringLiteral("鍵"), 12, 0));
    ScriptedDialogs dialogs;
    MainWindow w(dialogs);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    auto* first = child<QLabel>(w, QStringLiteral("lblKan_2"));
    first->setFocus();
    QTest::keyClick(first, Qt::Key_Down);
    auto* below = child<QLabel>(w, QStringLiteral("lblKan_12"));
    QVERIFY(below->hasFocus());
    QTest::keyClick(below, Qt::Key_Down); // nothing below the last row shown
    QVERIFY(below->hasFocus());
    QTest::keyClick(below, Qt::Key_Space);
    QCOMPARE(background(w, 12), QColor(255, 192, 255));
    QCOMPARE(folder.readBytes(QStringLiteral("鍵.TXT")).left(42),
             QByteArray("0,0,0,0,0,0,0,0,0,0\r\n0,1,0,0,0,0,0,0,0,0\r\n"));
}

void TestMainWindow::failedVolumeWriteKeepsFileAndColour()
{
    TestFolder folder;
    folder.writeText(CollectionName, line(QStringLiteral("題"), 5, 0));
    const QByteArray before("1,0,0,0,0,0,0,0,0,0\r\n0,0,0,0,0,0,0,0,0,0\r\n0,0,0,0,0,0,0,0,0,0\r\n"
                            "0,0,0,0,0,0,0,0,0,0\r\n0,0,0,0,0,0,0,0,0,0\r\n");
    folder.writeBytes(QStringLiteral("題.TXT"), before);
    ScriptedDialogs dialogs;
    MainWindow w(dialogs);
    w.show();
    w.state().store.folder().setWriter(std::make_unique<FailingWriter>());
    w.state().stale = StaleFlags{false, false, false, false, false};

    dialogs.expectMessage(QStringLiteral("保存できません"));
    QTest::mouseClick(child<QLabel>(w, QStringLiteral("lblKan_1")), Qt::LeftButton);
    QVERIFY2(dialogs.done(), qPrintable(dialogs.problems()));
    QVERIFY(dialogs.messages().last().text.contains(QStringLiteral("題.TXT")));
    QVERIFY(dialogs.messages().last().text.contains(QStringLiteral("ディスクがいっぱいです")));
    QCOMPARE(background(w, 1), QColor(255, 192, 255));
    QCOMPARE(w.state().VolumeStatus[1], qint16(1));
    QCOMPARE(folder.readBytes(QStringLiteral("題.TXT")), before);
    QVERIFY(!w.state().stale.StatusListStale);
}

void TestMainWindow::titleOutsideTheFolderIsNeverWritten()
{
    TestFolder folder;
    QDir(folder.path()).mkdir(QStringLiteral("sub"));
    folder.writeText(CollectionName, line(QStringLiteral("../逃げ"), 3, 0) + line(QStringLiteral("sub/中"), 3, 0));
    ScriptedDialogs dialogs;
    MainWindow w(dialogs);
    w.show();
    for (int page : {1, 2}) {
        child<QScrollBar>(w, QStringLiteral("hsbData"))->setValue(page);
        dialogs.expectMessage(QStringLiteral("保存できません"));
        QTest::mouseClick(child<QLabel>(w, QStringLiteral("lblKan_1")), Qt::LeftButton);
        QVERIFY2(dialogs.done(), qPrintable(dialogs.problems()));
    }
    QVERIFY(!QFile::exists(QDir(folder.path()).filePath(QStringLiteral("../逃げ.TXT"))));
    QVERIFY(QDir(folder.path() + QStringLiteral("/sub")).isEmpty());
}

void TestMainWindow::coverLookupOrderAndLetterCase()
{
    TestFolder folder;
    folder.writeText(CollectionName, line(QStringLiteral("ｐ表紙"), 3, 0) + line(QStringLiteral("なし"), 3, 0));
    auto save = [&](const QString& name, const QColor& colour, const char* format) {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(colour);
        QVERIFY(image.save(QDir(folder.path()).filePath(name), format));
    };
    save(QStringLiteral("Ｐ表紙.JPG"), Qt::red, "JPG");
    save(QStringLiteral("ｐ表紙.Bmp"), Qt::blue, "BMP");
    save(QStringLiteral("NOPIC.JPG"), Qt::green, "JPG");
    ScriptedDialogs dialogs;
    MainWindow w(dialogs);
    w.show();
    auto shownColour = [&] {
        const QPixmap pixmap = child<QLabel>(w, QStringLiteral("imgGazou"))->pixmap();
        return pixmap.isNull() ? QColor() : QColor(pixmap.toImage().pixel(4, 4));
    };
    QCOMPARE(shownColour(), QColor(Qt::blue)); // .bmp comes last and wins
    child<QScrollBar>(w, QStringLiteral("hsbData"))->setValue(2);
    const QColor placeholder = shownColour();
    QVERIFY(placeholder.green() > 200 && placeholder.red() < 60);
}

void TestMainWindow::memoShownWithoutFinalLineBreak()
{
    TestFolder folder;
    folder.writeText(CollectionName, line(QStringLiteral("メモ有"), 3, 0) + line(QStringLiteral("空メモ"), 3, 0));
    folder.writeText(QStringLiteral("メモ有_C.TXT"), QStringLiteral("abc\r\ndef\r\n"));
    folder.writeText(QStringLiteral("空メモ_C.txt"), QString());
    ScriptedDialogs dialogs;
    MainWindow w(dialogs);
    w.show();
    auto* memo = child<QLabel>(w, QStringLiteral("lblMemo"));
    QCOMPARE(memo->text().split(QRegularExpression(QStringLiteral("\r?\n"))),
             QStringList({QStringLiteral("abc"), QStringLiteral("def")}));
    child<QScrollBar>(w, QStringLiteral("hsbData"))->setValue(2);
    QCOMPARE(memo->text(), QString());
}

void TestMainWindow::damagedCollectionIsReportedAndNotRewritten()
{
    TestFolder folder;
    const QString text = threeTitles() + QStringLiteral("\"切れた\",3,0,\"著者\"\r\n");
    folder.writeText(CollectionName, text);
    ScriptedDialogs dialogs;
    dialogs.expectMessage(QStringLiteral("データファイルの異常"));
    MainWindow w(dialogs);
    w.show();
    QVERIFY2(dialogs.done(), qPrintable(dialogs.problems()));
    QVERIFY(dialogs.messages().first().text.contains(QStringLiteral("4")));
    QCOMPARE(counter(w), QStringLiteral("1 / 3"));
    QVERIFY(w.state().store.collectionLocked());
    QVERIFY(!w.state().store.writeCollection(w.state().titles).isEmpty());
    QCOMPARE(folder.readBytes(CollectionName), TestFolder::cp932(text));
}

void TestMainWindow::panelsSwitchAndDeleteButtonFollowsMainPage()
{
    TestFolder folder;
    ScriptedDialogs dialogs;
    MainWindow w(dialogs);
    w.show();
    const QStringList panels = {QStringLiteral("fraMain"),    QStringLiteral("fraList"), QStringLiteral("fraIchiran"),
                                QStringLiteral("fraKensaku"), QStringLiteral("fraRank"), QStringLiteral("fraPic"),
                                QStringLiteral("fraMaster")};
    auto shown = [&] {
        QStringList visible;
        for (const QString& name : panels)
            if (child<QWidget>(w, name)->isVisible())
                visible << name;
        return visible;
    };
    QCOMPARE(shown(), QStringList{QStringLiteral("fraMain")});
    const QList<QPair<QString, QString>> buttons = {{QStringLiteral("cmdKensaku"), QStringLiteral("fraKensaku")},
                                                    {QStringLiteral("cmdRank"), QStringLiteral("fraRank")},
                                                    {QStringLiteral("cmdPic"), QStringLiteral("fraPic")},
                                                    {QStringLiteral("cmdIchiran"), QStringLiteral("fraIchiran")},
                                                    {QStringLiteral("cmdMaster"), QStringLiteral("fraMaster")}};
    for (const auto& [button, panel] : buttons) {
        QTest::mouseClick(child<QPushButton>(w, button), Qt::LeftButton);
        QCOMPARE(shown(), QStringList{panel});
        QVERIFY(!child<QPushButton>(w, QStringLiteral("cmdDel"))->isEnabled());
    }
    QVERIFY(!child<QWidget>(w, QStringLiteral("fraMemo"))->isVisible());
    QVERIFY(!child<QWidget>(w, QStringLiteral("fraPicget"))->isVisible());
}

void TestMainWindow::endClosesHelpFirst()
{
    TestFolder folder;
    ScriptedDialogs dialogs;
    MainWindow w(dialogs);
    auto viewer = std::make_unique<RecordingHelpViewer>();
    RecordingHelpViewer* help = viewer.get();
    w.setHelpViewer(std::move(viewer));
    w.show();
    QTest::mouseClick(child<QPushButton>(w, QStringLiteral("cmdHelp")), Qt::LeftButton);
    QCOMPARE(help->opened.size(), 1);
    QVERIFY(help->opened.first().endsWith(QStringLiteral("/HondexHelp.chm")));
    // A help file copied from elsewhere may be spelled in other letter case; it is found all the same.
    folder.writeBytes(QStringLiteral("hondexhelp.CHM"), "help");
    QTest::mouseClick(child<QPushButton>(w, QStringLiteral("cmdHelp")), Qt::LeftButton);
    QCOMPARE(help->opened.last(), QDir(folder.path()).absoluteFilePath(QStringLiteral("hondexhelp.CHM")));
    QVERIFY2(dialogs.done(), qPrintable(dialogs.problems())); // a failure to open is not reported
    QTest::mouseClick(child<QPushButton>(w, QStringLiteral("cmdEnd")), Qt::LeftButton);
    QCOMPARE(help->closed, 1);
    QVERIFY(!w.isVisible());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
