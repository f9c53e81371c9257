// Undo and redo of every change the main page makes, driven through the real window offscreen: after each
// step every file of the folder must be byte for byte what it was before the change, or after it.
#include "app/MainWindow.h"
#include "lists/ListModels.h"
#include "lists/widgets/StatusListPanel.h"
#include "store/DataFolder.h"
#include "support/ComboChoice.h"
#include "support/FailingWriter.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFolder.h"
#include "ui/MainPage.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

namespace {

const QString CollectionName = QStringLiteral("データＰＲＯ.txt");
const QString Bakery = QStringLiteral("星降る街のパン屋さん");
const QString Second = QStringLiteral("二番目");
const QString Third = QStringLiteral("三番目");

QString line(const QString& title, int count, const QString& author, const QString& separator = QStringLiteral(","))
{
    const QStringList fields{'"' + title + '"',
                             QString::number(count),
                             QStringLiteral("0"),
                             '"' + author + '"',
                             QStringLiteral("\"誌\""),
                             QStringLiteral("\"○\""),
                             QStringLiteral("\"2002/02/18\""),
                             QStringLiteral("\"2002/02/18\"")};
    return fields.join(separator) + QStringLiteral("\r\n");
}

using Files = QMap<QString, QByteArray>;

struct Fixture {
    // handWritten: a collection file this program would not write so (blanks after the commas, no line end
    // after the last line).
    explicit Fixture(bool handWritten = false)
    {
        const QString separator = handWritten ? QStringLiteral(", ") : QStringLiteral(",");
        QString collection = line(Bakery, 12, QStringLiteral("甲"), separator) +
                             line(Second, 10, QStringLiteral("乙"), separator) +
                             line(Third, 8, QStringLiteral("丙"), separator);
        if (handWritten)
            collection.chop(2);
        folder.writeText(CollectionName, collection);
        folder.writeText(Bakery + ".TXT", QStringLiteral("0,0,0,1,0,0,0,0,0,0\r\n") +
                                              QStringLiteral("0,0,0,0,0,0,0,0,0,0\r\n").repeated(4));
        folder.writeText(Second + ".TXT", QStringLiteral("1,1,0,0,0,0,0,0,0,0\r\n").repeated(5));
        folder.writeText(Second + ".txt", QStringLiteral("a letter-case twin"));
        folder.writeText(Second + "_C.txt", QStringLiteral("古本屋で探す\r\n"));
        static const char cover[] = "cover bytes\0\x01\x02, kept as they are";
        folder.writeBytes(Second + ".jpg", QByteArray(cover, sizeof cover - 1));
        folder.writeBytes(Second + ".gif", QByteArray("GIF89a"));
        folder.writeText(QStringLiteral("ランキング.txt"),
                         QStringLiteral("\"二番目\"\r\n\"星降る街のパン屋さん\"\r\n\"三番目\"\r\n"));
        window = std::make_unique<MainWindow>(dialogs);
        window->show();
        window->activateWindow();
        undo = get<QAction>(QStringLiteral("actUndo"));
        redo = get<QAction>(QStringLiteral("actRedo"));
    }
    template <typename T> T* get(const QString& name) { return window->findChild<T*>(name); }
    Files files() const
    {
        Files all;
        for (const QString& name : folder.files())
            all.insert(name, folder.readBytes(name));
        return all;
    }
    QString shownTitle() { return get<QComboBox>(QStringLiteral("cboName"))->currentText(); }
    void page(int i) { get<QScrollBar>(QStringLiteral("hsbData"))->setValue(i); }
    void choose(const QString& box, const QString& text) { chooseItem(get<QComboBox>(box), text); }
    QLineEdit* lineEdit(const QString& box)
    {
        QWidget* target = get<QWidget>(box);
        if (auto* combo = qobject_cast<QComboBox*>(target))
            target = combo->lineEdit();
        return qobject_cast<QLineEdit*>(target);
    }
    void typeAndEnter(const QString& box, const QString& text)
    {
        QLineEdit* edit = lineEdit(box);
        edit->clear();
        edit->insert(text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    // Makes one change of the kind named, as the user makes it.
    void change(const QString& kind)
    {
        if (kind == "volume") {
            QTest::mouseClick(get<QLabel>(QStringLiteral("lblKan_3")), Qt::LeftButton);
        } else if (kind == "author chosen") {
            choose(QStringLiteral("cboSakusya"), QStringLiteral("丙"));
        } else if (kind == "author typed") {
            typeAndEnter(QStringLiteral("cboSakusya"), QStringLiteral("新しい著者"));
        } else if (kind == "magazine typed") {
            typeAndEnter(QStringLiteral("cboKeisai"), QStringLiteral("月刊誌"));
        } else if (kind == "rating") {
            choose(QStringLiteral("cboHyouka"), QStringLiteral("△"));
        } else if (kind == "volume count") {
            choose(QStringLiteral("cboKansu"), QStringLiteral("30"));
        } else if (kind == "split") {
            choose(QStringLiteral("cboSyo"), QStringLiteral("51"));
        } else if (kind == "first issue") {
            typeAndEnter(QStringLiteral("txtStHan"), QStringLiteral("2003/4/5"));
        } else if (kind == "last issue") {
            typeAndEnter(QStringLiteral("txtEdHan"), QStringLiteral("2010/12/1"));
        } else if (kind == "add") {
            dialogs.expectInput(QStringLiteral("題名入力"), QStringLiteral("新作"))
                .expectInput(QStringLiteral("巻数入力"), QStringLiteral("12"));
            get<QPushButton>(QStringLiteral("cmdNew"))->click();
        } else if (kind == "add split") {
            dialogs.expectInput(QStringLiteral("題名入力"), QStringLiteral("長編"))
                .expectInput(QStringLiteral("巻数入力"), QStringLiteral("120"))
                .expectMessage(QStringLiteral("１データ５０件制限"));
            get<QPushButton>(QStringLiteral("cmdNew"))->click();
        } else if (kind == "delete") {
            page(2);
            dialogs.expectMessage(QStringLiteral("削除確認"), Dialogs::Ok);
            get<QPushButton>(QStringLiteral("cmdDel"))->click();
        } else if (kind == "delete last") {
            page(3);
            dialogs.expectMessage(QStringLiteral("削除確認"), Dialogs::Ok);
            get<QPushButton>(QStringLiteral("cmdDel"))->click();
        } else if (kind == "memo") {
            page(2);
            get<QPushButton>(QStringLiteral("cmdCmnt"))->click();
            get<QPlainTextEdit>(QStringLiteral("txtMemo"))->setPlainText(QStringLiteral("一行目\n二行目"));
            get<QPushButton>(QStringLiteral("cmdMemoHozon"))->click();
        } else if (kind == "sort reflect") {
            get<QPushButton>(QStringLiteral("cmdIchiran"))->click();
            get<QPushButton>(QStringLiteral("cmdSort1"))->click();
            dialogs.expectMessage(QStringLiteral("メイン並び替え確認"), Dialogs::Ok)
                .expectMessage(QStringLiteral("並び替え完了"));
            get<QPushButton>(QStringLiteral("cmdSortCng1"))->click();
        } else if (kind == "favourites") {
            get<QPushButton>(QStringLiteral("cmdRank"))->click();
            auto* list = get<QAbstractItemView>(QStringLiteral("lstRank"));
            const auto centre = [&](int row) { return list->visualRect(list->model()->index(row, 0)).center(); };
            QTest::mousePress(list->viewport(), Qt::LeftButton, {}, centre(0));
            QTest::mouseMove(list->viewport(), centre(1));
            QTest::mouseMove(list->viewport(), centre(2));
            QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, centre(2));
            dialogs.expectMessage(QStringLiteral("ランキングデータ保存確認"), Dialogs::Ok);
            get<QPushButton>(QStringLiteral("cmdRankHozon"))->click();
        } else if (kind == "cover") {
            QImage picture(30, 40, QImage::Format_RGB32);
            picture.fill(Qt::darkCyan);
            const QString source = outside.filePath(QStringLiteral("表紙.jpg"));
            QVERIFY(picture.save(source, "JPEG"));
            emit get<MainPage>(QStringLiteral("fraMain"))->coverFileGiven(source);
        } else {
            QFAIL(qPrintable(kind));
        }
    }
    // Clicks volume column of row on the status list, opening the list first.
    void clickStatusCell(int row, int column)
    {
        get<QPushButton>(QStringLiteral("cmdList"))->click();
        auto* grid = get<QAbstractItemView>(QStringLiteral("msgList"));
        const QRect cell = grid->visualRect(grid->model()->index(row - 1, column - 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }
    const StatusListPanel* statusList() { return get<StatusListPanel>(QStringLiteral("fraList")); }
    void step(QAction* action, const QString& way)
    {
        if (way == "action")
            action->trigger();
        else if (way == "ctrl+z")
            QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
        else if (way == "ctrl+y")
            QTest::keyClick(window.get(), Qt::Key_Y, Qt::ControlModifier);
        else if (way == "ctrl+shift+z")
            QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    }

    TestFolder folder;
    QTemporaryDir outside; // where pictures come from
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;
    QAction* undo = nullptr;
    QAction* redo = nullptr;
};

} // namespace

class TestUndoWindow : public QObject {
    Q_OBJECT
private slots:
    void everyChangeUndoneAndRedone_data();
    void everyChangeUndoneAndRedone();
    void nothingToUndoAtStart();
    void failedUndoKeepsFilesAndStep_data();
    void failedUndoKeepsFilesAndStep();
    void textFieldKeepsItsOwnUndoWhileTyping();
    void stepsGoBackInOrder();
    void clickKeepsAnOutsideMark_data();
    void clickKeepsAnOutsideMark();
    void outsideRecordSurvivesUndo_data();
    void outsideRecordSurvivesUndo();
    void statusListClickUndoneThere();
};

void TestUndoWindow::everyChangeUndoneAndRedone_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("handWritten");
    QTest::addColumn<QString>("undoWay");
    QTest::addColumn<QString>("redoWay");
    QTest::addColumn<QString>("step");      // what the actions name
    QTest::addColumn<QString>("shown");     // the title the page shows after the undo
    QTest::addColumn<QString>("shownRedo"); // and after the redo
    const QString bakery = QStringLiteral("「星降る街のパン屋さん」の");
    QTest::newRow("volume") << "volume" << false << "action"
                            << "action" << bakery + "３巻" << Bakery << Bakery;
    QTest::newRow("volume, keys") << "volume" << false << "ctrl+z"
                                  << "ctrl+y" << bakery + "３巻" << Bakery << Bakery;
    QTest::newRow("author chosen") << "author chosen" << false << "ctrl+z"
                                   << "ctrl+shift+z" << bakery + "著者" << Bakery << Bakery;
    QTest::newRow("author typed") << "author typed" << false << "ctrl+z"
                                  << "ctrl+y" << bakery + "著者" << Bakery << Bakery;
    QTest::newRow("magazine typed") << "magazine typed" << false << "action"
                                    << "action" << bakery + "掲載誌" << Bakery << Bakery;
    QTest::newRow("rating") << "rating" << false << "action"
                            << "action" << bakery + "評価" << Bakery << Bakery;
    QTest::newRow("volume count") << "volume count" << false << "ctrl+z"
                                  << "ctrl+y" << bakery + "巻数" << Bakery << Bakery;
    QTest::newRow("split") << "split" << false << "action"
                           << "action" << bakery + "分割" << Bakery << Bakery;
    QTest::newRow("first issue") << "first issue" << false << "ctrl+z"
                                 << "ctrl+y" << bakery + "初刊発行日" << Bakery << Bakery;
    QTest::newRow("last issue") << "last issue" << false << "action"
                                << "action" << bakery + "終刊発行日" << Bakery << Bakery;
    QTest::newRow("add") << "add" << false << "ctrl+z"
                         << "ctrl+y"
                         << "「新作」の追加" << Third << "新作";
    QTest::newRow("add split") << "add split" << false << "action"
                               << "action"
                               << "「長編」の追加" << Third << "長編(1_50)";
    QTest::newRow("delete") << "delete" << false << "ctrl+z"
                            << "ctrl+y"
                            << "「二番目」の削除" << Second << Third;
    QTest::newRow("delete last") << "delete last" << false << "action"
                                 << "action"
                                 << "「三番目」の削除" << Third << Second;
    QTest::newRow("memo") << "memo" << false << "ctrl+z"
                          << "ctrl+y"
                          << "「二番目」のメモ" << Second << Second;
    QTest::newRow("sort reflect") << "sort reflect" << false << "ctrl+z"
                                  << "ctrl+y"
                                  << "並び順のメインへの反映" << Bakery << Third;
    QTest::newRow("hand-written, sort reflect") << "sort reflect" << true << "action"
                                                << "action"
                                                << "並び順のメインへの反映" << Bakery << Third;
    QTest::newRow("cover") << "cover" << false << "ctrl+z"
                           << "ctrl+shift+z" << bakery + "画像" << Bakery << Bakery;
    QTest::newRow("favourites") << "favourites" << false << "ctrl+z"
                                << "ctrl+y"
                                << "おもしろランキングの保存" << Bakery << Bakery;
    QTest::newRow("hand-written, author") << "author chosen" << true << "action"
                                          << "action" << bakery + "著者" << Bakery << Bakery;
    QTest::newRow("hand-written, add") << "add" << true << "action"
                                       << "action"
                                       << "「新作」の追加" << Third << "新作";
    QTest::newRow("hand-written, delete") << "delete" << true << "action"
                                          << "action"
                                          << "「二番目」の削除" << Second << Third;
}

void TestUndoWindow::everyChangeUndoneAndRedone()
{
    QFETCH(QString, kind);
    QFETCH(bool, handWritten);
    QFETCH(QString, undoWay);
    QFETCH(QString, redoWay);
    QFETCH(QString, step);
    QFETCH(QString, shown);
    QFETCH(QString, shownRedo);
    Fixture f(handWritten);
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    const Files before = f.files();
    f.change(kind);
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    const Files after = f.files();
    QVERIFY(after != before);
    QCOMPARE(f.undo->text(), QStringLiteral("元に戻す：") + step);
    QVERIFY(f.undo->isEnabled());
    QVERIFY(!f.redo->isEnabled());
    QVERIFY(f.get<MainPage>(QStringLiteral("fraMain"))->actions().contains(f.undo));

    f.step(f.undo, undoWay);
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QCOMPARE(f.files(), before);
    QCOMPARE(f.shownTitle(), shown);
    if (kind == "favourites") {
        const QAbstractItemModel* ranking = f.get<QAbstractItemView>(QStringLiteral("lstRank"))->model();
        QVERIFY(f.get<QWidget>(QStringLiteral("fraRank"))->isVisible());
        QCOMPARE(ranking->index(0, 0).data().toString(), Second);
    }
    QCOMPARE(f.redo->text(), QStringLiteral("やり直す：") + step);
    QVERIFY(!f.undo->isEnabled());

    f.step(f.redo, redoWay);
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QCOMPARE(f.files(), after);
    QCOMPARE(f.shownTitle(), shownRedo);
    QCOMPARE(f.undo->text(), QStringLiteral("元に戻す：") + step);
}

void TestUndoWindow::nothingToUndoAtStart()
{
    Fixture f;
    QVERIFY(!f.undo->isEnabled());
    QVERIFY(!f.redo->isEnabled());
    QCOMPARE(f.undo->text(), QStringLiteral("元に戻す"));
    QCOMPARE(f.redo->text(), QStringLiteral("やり直す"));
    const Files before = f.files();
    f.undo->trigger();
    QCOMPARE(f.files(), before);
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
}

void TestUndoWindow::failedUndoKeepsFilesAndStep_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("failing"); // the one file whose write fails
    QTest::newRow("author") << "author chosen" << CollectionName;
    QTest::newRow("volume") << "volume" << Bakery + ".TXT";
    QTest::newRow("memo") << "memo" << Second + "_C.txt";
    // The deleted files are written back first; the record cannot be, so they must go again.
    QTest::newRow("delete") << "delete" << CollectionName;
    QTest::newRow("add") << "add" << CollectionName;
    QTest::newRow("favourites") << "favourites" << QStringLiteral("ランキング.txt");
    QTest::newRow("display order") << "sort reflect" << CollectionName;
}

void TestUndoWindow::failedUndoKeepsFilesAndStep()
{
    QFETCH(QString, kind);
    QFETCH(QString, failing);
    Fixture f;
    f.change(kind);
    const Files after = f.files();
    const QString step = f.undo->text();
    f.window->state().store.folder().setWriter(std::make_unique<FailingWriter>(QLatin1Char('/') + failing));

    f.dialogs.expectMessage(QStringLiteral("元に戻せません"));
    f.undo->trigger();
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QVERIFY(f.dialogs.messages().last().text.contains(failing));
    QCOMPARE(f.files(), after);
    QCOMPARE(f.undo->text(), step);
    QVERIFY(!f.redo->isEnabled());

    // The step is still there to be taken back once the disk takes writes again.
    f.window->state().store.folder().setWriter(nullptr);
    f.undo->trigger();
    QVERIFY(f.files() != after);
    QVERIFY(f.redo->isEnabled());
}

void TestUndoWindow::textFieldKeepsItsOwnUndoWhileTyping()
{
    Fixture f;
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    f.change(QStringLiteral("rating"));
    const Files after = f.files();
    QLineEdit* date = f.lineEdit(QStringLiteral("txtStHan"));
    date->setFocus();

    // Typed but not stored: the box takes its typing back, the stored rating stays.
    QTest::keyClicks(date, QStringLiteral("99"));
    QTest::keyClick(date, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(date->text(), QStringLiteral("2002/02/18"));
    QCOMPARE(f.files(), after);
    QVERIFY(f.undo->isEnabled());

    // Nothing typed: the same keys in the same box take back the rating.
    date->setText(date->text());
    QTest::keyClick(date, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!f.undo->isEnabled());
    QVERIFY(f.files() != after);
    QCOMPARE(f.get<QComboBox>(QStringLiteral("cboHyouka"))->currentText(), QStringLiteral("○"));
}

void TestUndoWindow::stepsGoBackInOrder()
{
    Fixture f;
    const Files start = f.files();
    f.change(QStringLiteral("volume"));
    const Files one = f.files();
    f.change(QStringLiteral("author typed"));
    f.change(QStringLiteral("delete"));
    f.change(QStringLiteral("memo")); // on the record now at page 2, the former third
    const Files four = f.files();
    for (int i = 0; i < 3; ++i)
        f.undo->trigger();
    QCOMPARE(f.files(), one);
    f.undo->trigger();
    QCOMPARE(f.files(), start);
    for (int i = 0; i < 4; ++i)
        f.redo->trigger();
    QCOMPARE(f.files(), four);
    // A new change drops the steps that were undone.
    f.undo->trigger();
    f.change(QStringLiteral("rating"));
    QVERIFY(!f.redo->isEnabled());
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
}

void TestUndoWindow::clickKeepsAnOutsideMark_data()
{
    QTest::addColumn<QString>("way"); // how volume 3 of the first title is marked missing
    QTest::newRow("main page click") << "click";
    QTest::newRow("typed volume list") << "typed";
    QTest::newRow("status list click") << "status list";
}

void TestUndoWindow::clickKeepsAnOutsideMark()
{
    QFETCH(QString, way);
    Fixture f;
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    // Another program marks volume 10 missing after the page read the file.
    const QString rest = QStringLiteral("0,0,0,0,0,0,0,0,0,0\r\n").repeated(4);
    f.folder.writeText(Bakery + ".TXT", QStringLiteral("0,0,0,1,0,0,0,0,0,1\r\n") + rest);
    const QByteArray outside = f.folder.readBytes(Bakery + ".TXT");

    if (way == "click") {
        QTest::mouseClick(f.get<QLabel>(QStringLiteral("lblKan_3")), Qt::LeftButton);
    } else if (way == "typed") {
        QLineEdit* box = f.lineEdit(QStringLiteral("txtQuickKan"));
        box->insert(QStringLiteral("3"));
        QTest::keyClick(box, Qt::Key_Return, Qt::ShiftModifier);
    } else {
        f.clickStatusCell(1, 3);
    }
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QCOMPARE(f.folder.readBytes(Bakery + ".TXT"), TestFolder::cp932(QStringLiteral("0,0,1,1,0,0,0,0,0,1\r\n") + rest));
    // What is shown is the file: the other program's mark included.
    QCOMPARE(f.window->state().VolumeStatus[10], qint16(1));
    if (way == "status list")
        QVERIFY(f.statusList()->statusModel().row(1).isMissing(10));

    f.undo->trigger();
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QCOMPARE(f.folder.readBytes(Bakery + ".TXT"), outside);
}

void TestUndoWindow::outsideRecordSurvivesUndo_data()
{
    QTest::addColumn<bool>("handWritten"); // the steps keep the collection file whole to put it back
    QTest::newRow("own collection file") << false;
    QTest::newRow("hand-written collection file") << true;
}

void TestUndoWindow::outsideRecordSurvivesUndo()
{
    QFETCH(bool, handWritten);
    Fixture f(handWritten);
    for (const char* kind : {"author typed", "rating", "add", "delete"})
        f.change(QString::fromLatin1(kind));
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    // Another program adds a record of its own.
    const QByteArray outside =
        f.folder.readBytes(CollectionName) + TestFolder::cp932(line(QStringLiteral("外"), 3, "丁"));
    f.folder.writeBytes(CollectionName, outside);

    // The first undo says why nothing can be taken back; every step over the changed file is gone with it.
    f.dialogs.expectMessage(QStringLiteral("元に戻せません"));
    for (int i = 0; i < 4; ++i) {
        f.undo->trigger();
        QTest::qWait(20);
    }
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QVERIFY(f.dialogs.messages().last().text.contains(CollectionName));
    QCOMPARE(f.folder.readBytes(CollectionName), outside);
    QVERIFY(!f.undo->isEnabled());
    // The window read the file again: the other program's record is there to be seen.
    QTRY_COMPARE(f.window->state().titles.at(f.window->state().titles.count()).title, QStringLiteral("外"));
}

void TestUndoWindow::statusListClickUndoneThere()
{
    Fixture f;
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    // Opening the list writes the volume file a title lacks.
    f.get<QPushButton>(QStringLiteral("cmdList"))->click();
    const Files before = f.files();
    f.clickStatusCell(2, 3);
    const Files one = f.files();
    f.clickStatusCell(2, 5);
    QVERIFY(f.statusList()->statusModel().row(2).isMissing(5));
    QCOMPARE(f.undo->text(), QStringLiteral("元に戻す：「二番目」の５巻"));

    // Ctrl+Z on the status list takes back its last click, and the list stays, showing the file.
    f.step(f.undo, "ctrl+z");
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QCOMPARE(f.files(), one);
    QVERIFY(f.statusList()->isVisible());
    QVERIFY(!f.statusList()->statusModel().row(2).isMissing(5));
    QVERIFY(f.statusList()->statusModel().row(2).isMissing(3));
    f.step(f.undo, "ctrl+z");
    QCOMPARE(f.files(), before);
    QVERIFY(!f.statusList()->statusModel().row(2).isMissing(3));
    f.step(f.redo, "ctrl+y");
    QCOMPARE(f.files(), one);
    QVERIFY(f.statusList()->isVisible());
}

QTEST_MAIN(TestUndoWindow)
#include "tst_undowindow.moc"
