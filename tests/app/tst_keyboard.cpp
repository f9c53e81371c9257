// The keyboard on every screen of the real window: each key does what the click or drag it stands for does, and
// what the user sees (the page shown, the file written, the panel closed) is what a mouse would have given.
#include "app/MainWindow.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFolder.h"
#include "ui/HelpViewer.h"
#include "ui/UnsavedOrder.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

const QString CollectionName = QStringLiteral("データＰＲＯ.txt");
const QStringList Titles = {QStringLiteral("海の歌"), QStringLiteral("山の歌"), QStringLiteral("空の歌")};

QString line(const QString& title, int count, const QString& author)
{
    return QStringLiteral("\"%1\",%2,0,\"%3\",\"雑誌\",\"○\",\"2002/02/18\",\"2003/03/01\"\r\n")
        .arg(title)
        .arg(count)
        .arg(author);
}

// A volume file: five lines of ten states, the given volumes missing.
QString volumeFile(const QList<int>& missing)
{
    QString text;
    for (int line = 0; line < 5; ++line) {
        QStringList states;
        for (int v = line * 10 + 1; v <= line * 10 + 10; ++v)
            states << (missing.contains(v) ? QStringLiteral("1") : QStringLiteral("0"));
        text += states.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return text;
}

QString collection()
{
    return line(Titles[0], 3, QStringLiteral("青木")) + line(Titles[1], 5, QStringLiteral("赤井")) +
           line(Titles[2], 4, QStringLiteral("白田"));
}

class CountingHelpViewer final : public HelpViewer {
public:
    explicit CountingHelpViewer(int& opened) : m_opened(opened) {}
    bool open(const QString&) override
    {
        ++m_opened;
        return true;
    }
    void closeAll() override {}

private:
    int& m_opened;
};

struct Window {
    Window()
    {
        folder.writeText(CollectionName, collection());
        folder.writeText(QStringLiteral("ランキング.txt"),
                         QStringLiteral("\"%1\"\r\n\"%2\"\r\n\"%3\"\r\n").arg(Titles[0], Titles[1], Titles[2]));
        window = std::make_unique<MainWindow>(dialogs);
        window->setHelpViewer(std::make_unique<CountingHelpViewer>(helpOpened));
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    template <typename T> T* get(const char* name) { return window->findChild<T*>(QString::fromLatin1(name)); }
    void click(const char* name) { QTest::mouseClick(get<QPushButton>(name), Qt::LeftButton); }
    QString pageShown() { return get<QLabel>("lblKensu")->text(); }
    bool mainPageShown() { return get<QWidget>("fraMain")->isVisible(); }
    void key(const char* name, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* target = get<QWidget>(name);
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key), modifiers);
    }

    TestFolder folder;
    ScriptedDialogs dialogs;
    int helpOpened = 0;
    std::unique_ptr<MainWindow> window;
};

void setCurrent(QAbstractItemView* view, int row, int column)
{
    view->setFocus();
    view->setCurrentIndex(view->model()->index(row, column));
}

QStringList rows(QAbstractItemView* view)
{
    QStringList texts;
    for (int r = 0; r < view->model()->rowCount(); ++r)
        texts << view->model()->index(r, 0).data().toString();
    return texts;
}

} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT
private slots:
    void enterOpensTheTitleLikeADoubleClick_data();
    void enterOpensTheTitleLikeADoubleClick();
    void enterOpensASearchResult();
    void gallerySlotsTakeTheFocus();
    void spaceTogglesTheCurrentVolume();
    void ctrlArrowsMoveTheEntryLikeADrag_data();
    void ctrlArrowsMoveTheEntryLikeADrag();
    void pageKeysPageTheMainPage_data();
    void pageKeysPageTheMainPage();
    void pageKeysStayInTheMemo();
    void escapeClosesThePanelOverThePage_data();
    void escapeClosesThePanelOverThePage();
    void f1OpensTheHelp();
    void typedNameIsMarkedUntilStored();
    void sortHeaderShowsTheLastSort();
    void largerWindowKeepsTheLayoutCentred();
};

void TestKeyboard::enterOpensTheTitleLikeADoubleClick_data()
{
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("view");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("page");
    QTest::newRow("status list") << QStringList{"cmdList"} << "msgList" << 1 << 3 << "2 / 3";
    QTest::newRow("uncollected view") << QStringList{"cmdList", "cmdZanDsp"} << "msgList2" << 2 << 0 << "3 / 3";
    // Any cell of a row opens that row's title.
    QTest::newRow("sort, title cell") << QStringList{"cmdIchiran"} << "msgIchiran" << 2 << 0 << "3 / 3";
    QTest::newRow("sort, author cell") << QStringList{"cmdIchiran"} << "msgIchiran" << 1 << 3 << "2 / 3";
}

void TestKeyboard::enterOpensTheTitleLikeADoubleClick()
{
    QFETCH(QStringList, buttons);
    QFETCH(QString, view);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, page);
    Window w;
    // Every volume missing, so that the uncollected view lists every title.
    for (const QString& title : Titles)
        w.folder.writeText(title + QStringLiteral(".TXT"), volumeFile({1, 2, 3}));
    for (const QString& button : buttons)
        w.click(qPrintable(button));
    auto* list = w.get<QAbstractItemView>(qPrintable(view));
    QVERIFY(list->isVisible());
    setCurrent(list, row, column);
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(w.mainPageShown());
    QCOMPARE(w.pageShown(), page);
    QVERIFY2(w.dialogs.done(), qPrintable(w.dialogs.problems()));
}

void TestKeyboard::enterOpensASearchResult()
{
    Window w;
    w.click("cmdKensaku");
    auto* keyword = w.get<QLineEdit>("txtNamae");
    keyword->setFocus();
    // Typed through the input method, the way Japanese text arrives.
    QInputMethodEvent typed;
    typed.setCommitString(QStringLiteral("空"));
    QCoreApplication::sendEvent(keyword, &typed);
    QTest::keyClick(keyword, Qt::Key_Return);
    auto* found = w.get<QAbstractItemView>("lstDaimei");
    QCOMPARE(rows(found), QStringList{Titles[2]});
    setCurrent(found, 0, 0);
    QTest::keyClick(found, Qt::Key_Enter, Qt::KeypadModifier);
    QVERIFY(w.mainPageShown());
    QCOMPARE(w.pageShown(), QStringLiteral("3 / 3"));
}

void TestKeyboard::gallerySlotsTakeTheFocus()
{
    Window w;
    w.click("cmdPic");
    QWidget* first = w.get<QWidget>("imgPIc_1");
    first->setFocus(Qt::TabFocusReason);
    QCOMPARE(QApplication::focusWidget(), first);
    QTest::keyClick(first, Qt::Key_Tab);
    QWidget* second = QApplication::focusWidget();
    QCOMPARE(second, w.get<QWidget>("imgPIc_2"));
    // Past the last title, Tab skips the empty slots.
    QWidget* last = w.get<QWidget>("imgPIc_3");
    last->setFocus(Qt::TabFocusReason);
    QTest::keyClick(last, Qt::Key_Tab);
    QVERIFY2(!QApplication::focusWidget()->objectName().startsWith(QStringLiteral("imgPIc_")),
             qPrintable(QApplication::focusWidget()->objectName()));
    QTest::keyClick(second, Qt::Key_Return);
    QVERIFY(w.mainPageShown());
    QCOMPARE(w.pageShown(), QStringLiteral("2 / 3"));
}

void TestKeyboard::spaceTogglesTheCurrentVolume()
{
    Window w;
    w.click("cmdList");
    auto* grid = w.get<QTableView>("msgList");
    setCurrent(grid, 1, 1);
    QTest::keyClick(grid, Qt::Key_Space);
    QCOMPARE(w.folder.readBytes(Titles[1] + QStringLiteral(".TXT")), TestFolder::cp932(volumeFile({2})));
    QCOMPARE(grid->model()->index(1, 1).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 192, 255));
    QTest::keyClick(grid, Qt::Key_Space);
    QCOMPARE(w.folder.readBytes(Titles[1] + QStringLiteral(".TXT")), TestFolder::cp932(volumeFile({})));

    // The title column is narrower than a long title: pointing at it shows the whole title.
    QCOMPARE(grid->model()->headerData(2, Qt::Vertical, Qt::ToolTipRole).toString(), Titles[2]);
}

void TestKeyboard::ctrlArrowsMoveTheEntryLikeADrag_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("saveButton");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("order"); // empty: nothing moves
    const int up = Qt::Key_Up;
    const int down = Qt::Key_Down;
    const QStringList t = Titles;
    for (const auto& [button, list, save] :
         {std::tuple{"cmdRank", "lstRank", "cmdRankHozon"}, std::tuple{"cmdMaster", "lstBicho", "cmdSortCng2"}}) {
        const QString name = QString::fromLatin1(list);
        QTest::addRow("%s, up", list) << button << name << save << 1 << up << QStringList{t[1], t[0], t[2]};
        QTest::addRow("%s, down", list) << button << name << save << 1 << down << QStringList{t[0], t[2], t[1]};
        QTest::addRow("%s, down to the end", list)
            << button << name << save << 0 << down << QStringList{t[1], t[0], t[2]};
        QTest::addRow("%s, up at the top", list) << button << name << save << 0 << up << QStringList{};
        QTest::addRow("%s, down at the end", list) << button << name << save << 2 << down << QStringList{};
    }
}

void TestKeyboard::ctrlArrowsMoveTheEntryLikeADrag()
{
    QFETCH(QString, button);
    QFETCH(QString, list);
    QFETCH(QString, saveButton);
    QFETCH(int, selected);
    QFETCH(int, key);
    QFETCH(QStringList, order);
    Window w;
    w.click(qPrintable(button));
    auto* view = w.get<QAbstractItemView>(qPrintable(list));
    QCOMPARE(rows(view), Titles);
    setCurrent(view, selected, 0);
    QTest::keyClick(view, Qt::Key(key), Qt::ControlModifier);
    const bool moves = !order.isEmpty();
    QCOMPARE(rows(view), moves ? order : Titles);
    const QString title = Titles[selected];
    QCOMPARE(view->currentIndex().data().toString(), title);
    QCOMPARE(view->selectionModel()->selectedIndexes().value(0).data().toString(), title);
    // Marked unsaved exactly as a drag marks it.
    const QColor face = w.get<QWidget>(qPrintable(saveButton))->palette().color(QPalette::Button);
    QCOMPARE(face == unsavedorder::Colour, moves);
    QVERIFY2(w.dialogs.done(), qPrintable(w.dialogs.problems()));
}

void TestKeyboard::pageKeysPageTheMainPage_data()
{
    QTest::addColumn<QString>("focus");
    QTest::newRow("author box") << "cboSakusya";
    QTest::newRow("rating box") << "cboHyouka";
    QTest::newRow("button row") << "cmdMain";
}

void TestKeyboard::pageKeysPageTheMainPage()
{
    QFETCH(QString, focus);
    Window w;
    w.key(qPrintable(focus), Qt::Key_PageDown);
    QCOMPARE(w.pageShown(), QStringLiteral("2 / 3"));
    w.key(qPrintable(focus), Qt::Key_PageDown);
    w.key(qPrintable(focus), Qt::Key_PageDown);
    QCOMPARE(w.pageShown(), QStringLiteral("3 / 3"));
    w.key(qPrintable(focus), Qt::Key_PageUp);
    QCOMPARE(w.pageShown(), QStringLiteral("2 / 3"));
    // The focused box kept its saved value: the keys never reached it.
    QCOMPARE(w.folder.readBytes(CollectionName), TestFolder::cp932(collection()));
    QVERIFY2(w.dialogs.done(), qPrintable(w.dialogs.problems()));
}

void TestKeyboard::pageKeysStayInTheMemo()
{
    Window w;
    w.click("cmdCmnt");
    auto* memo = w.get<QPlainTextEdit>("txtMemo");
    QCOMPARE(QApplication::focusWidget(), memo);
    QTest::keyClick(memo, Qt::Key_PageDown);
    QCOMPARE(w.pageShown(), QStringLiteral("1 / 3"));
}

void TestKeyboard::escapeClosesThePanelOverThePage_data()
{
    QTest::addColumn<QString>("opener");
    QTest::addColumn<QString>("panel");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("memo, Esc") << "cmdCmnt"
                               << "fraMemo" << int(Qt::Key_Escape) << int(Qt::NoModifier);
    QTest::newRow("memo, Ctrl+W") << "cmdCmnt"
                                  << "fraMemo" << int(Qt::Key_W) << int(Qt::ControlModifier);
    QTest::newRow("cover import, Esc") << "imgGazou"
                                       << "fraPicget" << int(Qt::Key_Escape) << int(Qt::NoModifier);
    QTest::newRow("cover import, Ctrl+W") << "imgGazou"
                                          << "fraPicget" << int(Qt::Key_W) << int(Qt::ControlModifier);
}

void TestKeyboard::escapeClosesThePanelOverThePage()
{
    QFETCH(QString, opener);
    QFETCH(QString, panel);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    Window w;
    QTest::mouseClick(w.get<QWidget>(qPrintable(opener)), Qt::LeftButton);
    QWidget* shown = w.get<QWidget>(qPrintable(panel));
    QVERIFY(shown->isVisible());
    QTest::keyClick(w.get<QWidget>("cboSakusya"), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QVERIFY(!shown->isVisible());
    QVERIFY(w.mainPageShown());
    QVERIFY2(w.dialogs.done(), qPrintable(w.dialogs.problems()));
}

void TestKeyboard::f1OpensTheHelp()
{
    Window w;
    w.key("cboSakusya", Qt::Key_F1);
    QCOMPARE(w.helpOpened, 1);
}

void TestKeyboard::typedNameIsMarkedUntilStored()
{
    Window w;
    auto* box = w.get<QComboBox>("cboSakusya");
    QLineEdit* edit = box->lineEdit();
    const QColor normal = edit->palette().color(QPalette::Base);
    box->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("kuroda"));
    QTest::keyClick(edit, Qt::Key_Tab);
    QVERIFY(edit->palette().color(QPalette::Base) != normal);
    QVERIFY(!edit->toolTip().isEmpty());
    QCOMPARE(w.folder.readBytes(CollectionName), TestFolder::cp932(collection()));

    // Enter stores it and takes the mark away.
    QTest::keyClick(edit, Qt::Key_Return);
    QVERIFY(w.folder.readBytes(CollectionName).contains("\"kuroda\""));
    QCOMPARE(edit->palette().color(QPalette::Base), normal);
    QVERIFY(edit->toolTip().isEmpty());

    // Another page shows its own stored name, unmarked.
    QTest::keyClicks(edit, QStringLiteral("x"));
    QVERIFY(!edit->toolTip().isEmpty());
    w.key("cboSakusya", Qt::Key_PageDown);
    QCOMPARE(box->currentText(), QStringLiteral("赤井"));
    QVERIFY(edit->toolTip().isEmpty());
    w.dialogs.reset();
}

void TestKeyboard::sortHeaderShowsTheLastSort()
{
    Window w;
    w.click("cmdIchiran");
    QHeaderView* header = w.get<QTableView>("msgIchiran")->horizontalHeader();
    QCOMPARE(header->sortIndicatorSection(), -1);
    const auto clickSection = [&](int section) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
    };
    clickSection(3);
    QCOMPARE(header->sortIndicatorSection(), 3);
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    clickSection(3);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    // The title header sorts nothing, so the mark stays where it was.
    clickSection(0);
    QCOMPARE(header->sortIndicatorSection(), 3);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    w.click("cmdSort1");
    QCOMPARE(header->sortIndicatorSection(), 0);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
}

void TestKeyboard::largerWindowKeepsTheLayoutCentred()
{
    Window w;
    QWidget* client = w.get<QWidget>("frmMainClient");
    const QSize fixed = client->size();
    w.window->resize(fixed + QSize(200, 100));
    QTRY_COMPARE(client->geometry(), QRect(QPoint(100, 50), fixed));
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
