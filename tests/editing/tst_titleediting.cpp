// Adding, editing, deleting and the memo, driven through the real window offscreen with scripted dialogs.
#include "app/MainWindow.h"
#include "editing/widgets/TitleCommands.h"
#include "store/DataFolder.h"
#include "support/ComboChoice.h"
#include "support/FailingWriter.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFolder.h"
#include "ui/MainPage.h"
#include "ui/logic/TourTexts.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTest>

namespace {

const QString CollectionName = QStringLiteral("データＰＲＯ.txt");
const QString Zeros = QStringLiteral("0,0,0,0,0,0,0,0,0,0\r\n").repeated(5);

QString line(const QString& title, int count = 10, int start = 0, const QString& author = QStringLiteral("未登録"))
{
    return QStringLiteral("\"%1\",%2,%3,\"%4\",\"未登録\",\"未\",\"2002/02/18\",\"2002/02/18\"\r\n")
        .arg(title)
        .arg(count)
        .arg(start)
        .arg(author);
}

QString today()
{
    return QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"));
}

QString newLine(const QString& title, int count, int start)
{
    return QStringLiteral("\"%1\",%2,%3,\"未登録\",\"未登録\",\"未\",\"%4\",\"%4\"\r\n")
        .arg(title)
        .arg(count)
        .arg(start)
        .arg(today());
}

// A window over a prepared folder, tour off.
struct Fixture {
    explicit Fixture(const QString& collection = QString())
    {
        if (!collection.isNull())
            folder.writeText(CollectionName, collection);
        window = std::make_unique<MainWindow>(dialogs);
        window->show();
    }
    template <typename T> T* get(const QString& name) { return window->findChild<T*>(name); }
    QString decode(const QString& name) const
    {
        QStringDecoder decoder("windows-31j");
        return decoder(folder.readBytes(name));
    }
    QString counter() { return get<QLabel>(QStringLiteral("lblKensu"))->text(); }
    void page(int i) { get<QScrollBar>(QStringLiteral("hsbData"))->setValue(i); }
    void choose(const QString& box, const QString& text) { chooseItem(get<QComboBox>(box), text); }
    void typeAndEnter(const QString& box, const QString& text)
    {
        QWidget* target = get<QWidget>(box);
        if (auto* combo = qobject_cast<QComboBox*>(target))
            target = combo->lineEdit();
        auto* edit = qobject_cast<QLineEdit*>(target);
        edit->clear();
        edit->insert(text); // what an input method commits

        QTest::keyClick(edit, Qt::Key_Return);
    }

    TestFolder folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;
};

} // namespace

class TestTitleEditing : public QObject {
    Q_OBJECT
private slots:
    void addSplitsLongSeries_data();
    void addSplitsLongSeries();
    void refusedAndDuplicateTitlesAskAgain();
    void addThatCannotBeWrittenLeavesNothing();
    void splitTitleAlreadyTakenIsRefused();
    void authorTypedAndChosen();
    void typedNameWithoutEnterIsNotStored();
    void nameWithQuoteIsRefused();
    void ratingVolumeCountAndSplit();
    void datesTypedAndEnter_data();
    void datesTypedAndEnter();
    void failedEditIsUndone();
    void deleteMovesToNeighbour_data();
    void deleteMovesToNeighbour();
    void deleteOnlyRecordAndCancel();
    void memoRoundTrip();
};

void TestTitleEditing::addSplitsLongSeries_data()
{
    QTest::addColumn<QString>("count");
    QTest::addColumn<QStringList>("lines");
    const QString t = QStringLiteral("新作");
    QTest::newRow("50") << "50" << QStringList{newLine(t, 50, 0)};
    QTest::newRow("51") << "51" << QStringList{newLine(t + "(1_50)", 50, 0), newLine(t + "(51_100)", 1, 50)};
    QTest::newRow("100") << "100" << QStringList{newLine(t + "(1_50)", 50, 0), newLine(t + "(51_100)", 50, 50)};
    QTest::newRow("120") << "120"
                         << QStringList{newLine(t + "(1_50)", 50, 0), newLine(t + "(51_100)", 50, 50),
                                        newLine(t + "(101_150)", 20, 100)};
    QTest::newRow("12.9") << "12.9" << QStringList{newLine(t, 12, 0)};
    // Typed with the input method on.
    QTest::newRow("１２") << "１２" << QStringList{newLine(t, 12, 0)};
    QTest::newRow("１２０巻") << "\u3000１２０巻"
                              << QStringList{newLine(t + "(1_50)", 50, 0), newLine(t + "(51_100)", 50, 50),
                                             newLine(t + "(101_150)", 20, 100)};
    QTest::newRow("0") << "0" << QStringList{};
    QTest::newRow("-3") << "-3" << QStringList{};
    QTest::newRow("abc") << "abc" << QStringList{};
    QTest::newRow("cancel") << "" << QStringList{};
}

void TestTitleEditing::addSplitsLongSeries()
{
    QFETCH(QString, count);
    QFETCH(QStringList, lines);
    const QString existing = line(QStringLiteral("既存"));
    Fixture f(existing);
    f.folder.writeText(QStringLiteral("ランキング.txt"), QStringLiteral("\"既存\"\r\n"));
    const qsizetype favourites = f.window->state().favourites.size();
    f.dialogs.expectInput(QStringLiteral("題名入力"), QStringLiteral("新作"))
        .expectInput(QStringLiteral("巻数入力"), count);
    if (lines.size() > 1)
        f.dialogs.expectMessage(QStringLiteral("１データ５０件制限"));
    f.get<QPushButton>(QStringLiteral("cmdNew"))->click();
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QCOMPARE(f.dialogs.inputs().at(1).text, QStringLiteral("トータル巻数を入力して下さい。（半角入力で）"));

    QCOMPARE(f.decode(CollectionName), existing + lines.join(QString()));
    QString ranking = QStringLiteral("\"既存\"\r\n");
    for (const QString& l : lines) {
        const QString title = l.section(QLatin1Char('"'), 1, 1);
        QCOMPARE(f.decode(title + QStringLiteral(".TXT")), Zeros);
        ranking += QStringLiteral("\"%1\"\r\n").arg(title);
    }
    QCOMPARE(f.decode(QStringLiteral("ランキング.txt")), ranking);
    if (lines.isEmpty()) {
        QCOMPARE(f.counter(), QStringLiteral("1 / 1"));
        return;
    }
    // The first new record is shown, every part of the page agreeing.
    QCOMPARE(f.counter(), QStringLiteral("2 / %1").arg(1 + lines.size()));
    QCOMPARE(f.get<QComboBox>(QStringLiteral("cboName"))->currentText(), lines.first().section(QLatin1Char('"'), 1, 1));
    QCOMPARE(f.get<QComboBox>(QStringLiteral("cboSyo"))->currentText(), QStringLiteral("1"));
    QCOMPARE(f.get<QComboBox>(QStringLiteral("cboHyouka"))->currentText(), QStringLiteral("未"));
    QCOMPARE(f.get<QLineEdit>(QStringLiteral("txtStHan"))->text(), today());
    QVERIFY(f.window->state().stale.StatusGridStale && f.window->state().stale.SearchListStale);
    QCOMPARE(f.window->state().favourites.size(), favourites + lines.size());
}

void TestTitleEditing::refusedAndDuplicateTitlesAskAgain()
{
    Fixture f(line(QStringLiteral("既存")) + line(QStringLiteral("abc")));
    f.window->state().HelpTourOn = 1;
    f.dialogs.expectMessage(tour::Title)
        .expectInput(QStringLiteral("題名入力"), QStringLiteral("a;b"))
        .expectMessage(QStringLiteral("入力制限"))
        .expectInput(QStringLiteral("題名入力"), QStringLiteral("既存"))
        .expectMessage(QStringLiteral("二重登録"))
        .expectInput(QStringLiteral("題名入力"), QStringLiteral("ABC"))
        .expectMessage(QStringLiteral("二重登録"))
        .expectInput(QStringLiteral("題名入力"), QStringLiteral("𠮷の話"))
        .expectMessage(QStringLiteral("入力制限"))
        .expectInput(QStringLiteral("題名入力"), QStringLiteral("既存(新装版)"))
        .expectInput(QStringLiteral("巻数入力"), QStringLiteral("3"))
        .expectMessage(tour::Title);
    f.get<QPushButton>(QStringLiteral("cmdNew"))->click();
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));

    const QStringList defaults = f.dialogs.defaults();
    QCOMPARE(defaults.mid(0, 5),
             QStringList({QString(), QString(), QStringLiteral("既存"), QStringLiteral("ABC"), QStringLiteral("ABC")}));
    const auto& boxes = f.dialogs.messages();
    QCOMPARE(boxes.at(0).text, tour::addIntro());
    QCOMPARE(boxes.at(1).text, QStringLiteral("\\ / : , ; * ? < > |\u3000の文字は使えません。"));
    QCOMPARE(boxes.at(1).style, 48);
    QCOMPARE(boxes.at(2).text, QStringLiteral("既に同じ題名で登録されているものがあります。\r\n\r\n"
                                              "題名の後ろに作者名を入れるなどして区別して下さい"));
    QVERIFY(boxes.at(3).text.contains(QStringLiteral("abc")));
    QVERIFY(boxes.at(4).text.contains(QStringLiteral("𠮷")));
    QCOMPARE(boxes.last().text, tour::addDone());
    QVERIFY(f.decode(CollectionName).endsWith(newLine(QStringLiteral("既存(新装版)"), 3, 0)));
    QVERIFY(!f.folder.files().contains(QStringLiteral("ABC.TXT")));
}

void TestTitleEditing::addThatCannotBeWrittenLeavesNothing()
{
    const QString existing = line(QStringLiteral("既存"));
    Fixture f(existing);
    f.window->state().store.folder().setWriter(std::make_unique<FailingWriter>());
    f.dialogs.expectInput(QStringLiteral("題名入力"), QStringLiteral("新作"))
        .expectInput(QStringLiteral("巻数入力"), QStringLiteral("60"))
        .expectMessage(QStringLiteral("１データ５０件制限"))
        .expectMessage(QStringLiteral("保存できません"));
    f.get<QPushButton>(QStringLiteral("cmdNew"))->click();
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QCOMPARE(f.decode(CollectionName), existing);
    QCOMPARE(f.folder.files(), QStringList{CollectionName});
    QCOMPARE(f.window->state().titles.count(), 1);
}

void TestTitleEditing::splitTitleAlreadyTakenIsRefused()
{
    const QString existing = line(QStringLiteral("長編(51_100)"));
    Fixture f(existing);
    f.dialogs.expectInput(QStringLiteral("題名入力"), QStringLiteral("長編"))
        .expectInput(QStringLiteral("巻数入力"), QStringLiteral("70"))
        .expectMessage(QStringLiteral("二重登録"));
    f.get<QPushButton>(QStringLiteral("cmdNew"))->click();
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QCOMPARE(f.decode(CollectionName), existing);
}

void TestTitleEditing::authorTypedAndChosen()
{
    Fixture f(line(QStringLiteral("一"), 10, 0, QStringLiteral("山田花子")) + line(QStringLiteral("二")) +
              line(QStringLiteral("三")));
    auto* authors = f.get<QComboBox>(QStringLiteral("cboSakusya"));
    // The hidden membership string other screens read follows the list.
    auto* members = f.window->findChild<QWidget*>(QStringLiteral("txtD_1"));
    QCOMPARE(members->property("text").toString(), QStringLiteral(",山田花子,"));
    f.page(2);
    f.typeAndEnter(QStringLiteral("cboSakusya"), QStringLiteral("佐藤一郎"));
    QCOMPARE(f.dialogs.beeps(), 1);
    QCOMPARE(authors->count(), 2);
    QCOMPARE(members->property("text").toString(), QStringLiteral(",山田花子,佐藤一郎,"));
    QCOMPARE(f.decode(CollectionName).split(QStringLiteral("\r\n")).at(1),
             line(QStringLiteral("二"), 10, 0, QStringLiteral("佐藤一郎")).trimmed());
    f.typeAndEnter(QStringLiteral("cboSakusya"), QStringLiteral("佐藤一郎"));
    QCOMPARE(f.dialogs.beeps(), 2);
    QCOMPARE(authors->count(), 2);
    QVERIFY(f.window->state().stale.SearchListStale);

    // A part of a longer known name is stored but not listed.
    f.page(3);
    f.typeAndEnter(QStringLiteral("cboSakusya"), QStringLiteral("山田"));
    QCOMPARE(authors->count(), 2);
    QVERIFY(f.decode(CollectionName).contains(line(QStringLiteral("三"), 10, 0, QStringLiteral("山田"))));

    // Chosen from the list.
    f.window->state().stale.SearchListStale = false;
    f.choose(QStringLiteral("cboSakusya"), QStringLiteral("佐藤一郎"));
    QCOMPARE(f.dialogs.beeps(), 3);
    QVERIFY(f.decode(CollectionName).contains(line(QStringLiteral("三"), 10, 0, QStringLiteral("佐藤一郎"))));
    QVERIFY(!f.window->state().stale.SearchListStale);
    QCOMPARE(f.decode(CollectionName).count(QStringLiteral("\r\n")), 3);
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
}

void TestTitleEditing::typedNameWithoutEnterIsNotStored()
{
    const QString text = line(QStringLiteral("一"), 10, 0, QStringLiteral("山田花子")) + line(QStringLiteral("二"));
    Fixture f(text);
    f.page(2);
    auto* edit = f.get<QComboBox>(QStringLiteral("cboSakusya"))->lineEdit();
    edit->setFocus();
    edit->insert(QStringLiteral("山田花子"));
    f.get<QLineEdit>(QStringLiteral("txtStHan"))->setFocus();
    emit edit->editingFinished();
    QCOMPARE(f.decode(CollectionName), text);
    f.page(1);
    f.page(2);
    QCOMPARE(f.get<QComboBox>(QStringLiteral("cboSakusya"))->currentText(), QStringLiteral("未登録"));
}

void TestTitleEditing::nameWithQuoteIsRefused()
{
    const QString text = line(QStringLiteral("一"));
    Fixture f(text);
    f.dialogs.expectMessage(QStringLiteral("入力制限"));
    f.typeAndEnter(QStringLiteral("cboKeisai"), QStringLiteral("週刊\"少年\""));
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QCOMPARE(f.dialogs.beeps(), 0);
    QCOMPARE(f.decode(CollectionName), text);
}

void TestTitleEditing::ratingVolumeCountAndSplit()
{
    Fixture f(line(QStringLiteral("前")) + line(QStringLiteral("中"), 30, 0) + line(QStringLiteral("後")));
    f.folder.writeText(QStringLiteral("中.TXT"), QStringLiteral("0,0,0,0,0,0,0,0,0,0\r\n0,0,0,0,0,0,0,0,0,0\r\n"
                                                                "1,0,0,0,0,0,0,0,0,1\r\n") +
                                                     QStringLiteral("0,0,0,0,0,0,0,0,0,0\r\n").repeated(2));
    const QByteArray volumes = f.folder.readBytes(QStringLiteral("中.TXT"));
    f.page(2);
    f.window->state().stale = StaleFlags{false, false, false, false, false};

    f.choose(QStringLiteral("cboHyouka"), QStringLiteral("○"));
    QVERIFY(f.get<QLabel>(QStringLiteral("imgFace1_1"))->isVisible());
    QVERIFY(!f.get<QLabel>(QStringLiteral("imgFace1_0"))->isVisible());
    QVERIFY(f.decode(CollectionName).contains(QStringLiteral("\"中\",30,0,\"未登録\",\"未登録\",\"○\"")));
    QVERIFY(f.window->state().stale.SortListStale && !f.window->state().stale.StatusGridStale);

    f.choose(QStringLiteral("cboKansu"), QStringLiteral("10"));
    QVERIFY(!f.get<QLabel>(QStringLiteral("lblKan_11"))->isVisible());
    f.choose(QStringLiteral("cboKansu"), QStringLiteral("30"));
    QVERIFY(f.get<QLabel>(QStringLiteral("lblKan_30"))->isVisible());
    QCOMPARE(f.get<QLabel>(QStringLiteral("lblKan_21"))->palette().color(QPalette::Window), QColor(255, 192, 255));
    QCOMPARE(f.folder.readBytes(QStringLiteral("中.TXT")), volumes);
    QVERIFY(f.window->state().stale.StatusGridStale);

    f.choose(QStringLiteral("cboSyo"), QStringLiteral("51"));
    QCOMPARE(f.get<QLabel>(QStringLiteral("lblKan_1"))->text(), QStringLiteral("51"));
    QCOMPARE(f.get<QLabel>(QStringLiteral("lblKan_30"))->text(), QStringLiteral("80"));
    f.choose(QStringLiteral("cboSyo"), QStringLiteral("501"));
    const QStringList lines = f.decode(CollectionName).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines.at(0), line(QStringLiteral("前")).trimmed());
    QCOMPARE(lines.at(1), QStringLiteral("\"中\",30,500,\"未登録\",\"未登録\",\"○\",\"2002/02/18\",\"2002/02/18\""));
    QCOMPARE(lines.at(2), line(QStringLiteral("後")).trimmed());

    // Typing into these boxes stores nothing.
    QVERIFY(f.get<QComboBox>(QStringLiteral("cboKansu"))->lineEdit()->isReadOnly());
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
}

void TestTitleEditing::datesTypedAndEnter_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored"); // empty: refused
    QTest::newRow("slashes") << "2002/2/18"
                             << "2002/02/18";
    QTest::newRow("era") << "平成14年2月18日"
                         << "2002/02/18";
    QTest::newRow("era initial") << "H14/2/18"
                                 << "2002/02/18";
    QTest::newRow("not a date") << "2002/13/40"
                                << "";
    QTest::newRow("text") << "そのうち"
                          << "";
}

void TestTitleEditing::datesTypedAndEnter()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    const QString text = line(QStringLiteral("一")) + line(QStringLiteral("二"));
    Fixture f(text);
    f.page(2);
    if (stored.isEmpty())
        f.dialogs.expectMessage(QStringLiteral("入力確認"));
    f.typeAndEnter(QStringLiteral("txtEdHan"), typed);
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    auto* box = f.get<QLineEdit>(QStringLiteral("txtEdHan"));
    if (stored.isEmpty()) {
        QCOMPARE(f.dialogs.messages().last().text, QStringLiteral("その入力は日付の形式ではありません\r\n\r\n"
                                                                  "2002/02/18\u3000のように入力してみて下さい"));
        QCOMPARE(box->text(), QString());
        QCOMPARE(f.decode(CollectionName), text);
        return;
    }
    QCOMPARE(box->text(), stored);
    QCOMPARE(f.decode(CollectionName),
             line(QStringLiteral("一")) +
                 QStringLiteral("\"二\",10,0,\"未登録\",\"未登録\",\"未\",\"2002/02/18\",\"%1\"\r\n").arg(stored));
    // Enter in an empty box does nothing.
    box->clear();
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
}

void TestTitleEditing::failedEditIsUndone()
{
    const QString text = line(QStringLiteral("一"));
    Fixture f(text);
    f.window->state().store.folder().setWriter(std::make_unique<FailingWriter>());
    f.dialogs.expectMessage(QStringLiteral("保存できません"));
    f.choose(QStringLiteral("cboHyouka"), QStringLiteral("◎"));
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QCOMPARE(f.window->state().titles.at(1).rating, QStringLiteral("未"));
    QCOMPARE(f.get<QComboBox>(QStringLiteral("cboHyouka"))->currentText(), QStringLiteral("未"));
    QCOMPARE(f.decode(CollectionName), text);
}

void TestTitleEditing::deleteMovesToNeighbour_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("shown");
    QTest::newRow("middle") << 2 << QStringLiteral("三");
    QTest::newRow("last") << 3 << QStringLiteral("二");
}

void TestTitleEditing::deleteMovesToNeighbour()
{
    QFETCH(int, page);
    QFETCH(QString, shown);
    const QStringList titles = {QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三")};
    QString text;
    for (const QString& t : titles)
        text += line(t);
    Fixture f(text);
    const QString gone = titles.at(page - 1);
    for (const QString& suffix : {QStringLiteral(".TXT"), QStringLiteral(".jpg"), QStringLiteral("_C.txt")})
        f.folder.writeText(gone + suffix, QStringLiteral("x"));
    f.folder.writeText(gone + QStringLiteral(".txt"), QStringLiteral("x")); // a letter-case twin
    f.folder.writeText(QStringLiteral("ランキング.txt"), QStringLiteral("\"%1\"\r\n").arg(gone));
    f.page(page);
    f.dialogs.expectMessage(QStringLiteral("削除確認"), Dialogs::Ok);
    f.get<QPushButton>(QStringLiteral("cmdDel"))->click();
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QCOMPARE(f.dialogs.messages().last().text, gone + QStringLiteral("のデータを削除していいですか？"));
    // OK and Cancel, warning icon, Cancel the default button.
    QCOMPARE(f.dialogs.messages().last().style, Dialogs::OkCancel + Dialogs::Exclamation + Dialogs::DefaultButton2);
    QCOMPARE(f.counter(), QStringLiteral("2 / 2"));
    QCOMPARE(f.get<QComboBox>(QStringLiteral("cboName"))->currentText(), shown);
    QStringList remaining = titles;
    remaining.removeAt(page - 1);
    QCOMPARE(f.decode(CollectionName), line(remaining.at(0)) + line(remaining.at(1)));
    QCOMPARE(f.folder.files(), QStringList({CollectionName, QStringLiteral("ランキング.txt")}));
}

void TestTitleEditing::deleteOnlyRecordAndCancel()
{
    Fixture f(line(QStringLiteral("唯一"), 7));
    f.dialogs.expectMessage(QStringLiteral("削除確認"), Dialogs::Cancel);
    f.get<QPushButton>(QStringLiteral("cmdDel"))->click();
    QCOMPARE(f.decode(CollectionName), line(QStringLiteral("唯一"), 7));

    f.dialogs.expectMessage(QStringLiteral("削除確認"), Dialogs::Ok);
    f.get<QPushButton>(QStringLiteral("cmdDel"))->click();
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QCOMPARE(f.folder.readBytes(CollectionName), QByteArray());
    QCOMPARE(f.counter(), QStringLiteral("0 / 0"));
    QCOMPARE(f.get<QScrollBar>(QStringLiteral("hsbData"))->value(), 1);
    QCOMPARE(f.get<QComboBox>(QStringLiteral("cboKansu"))->currentText(), QString());
    QCOMPARE(f.get<QComboBox>(QStringLiteral("cboSyo"))->currentText(), QString());
    for (int k = 1; k <= 50; ++k)
        QVERIFY(!f.get<QLabel>(QStringLiteral("lblKan_%1").arg(k))->isVisible());

    // Nothing left to delete, nothing to save a memo for.
    f.get<QPushButton>(QStringLiteral("cmdDel"))->click();
    f.get<QPushButton>(QStringLiteral("cmdCmnt"))->click();
    f.get<QPlainTextEdit>(QStringLiteral("txtMemo"))->setPlainText(QStringLiteral("メモ"));
    f.get<QPushButton>(QStringLiteral("cmdMemoHozon"))->click();
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QCOMPARE(f.folder.files(), QStringList{CollectionName});
}

void TestTitleEditing::memoRoundTrip()
{
    Fixture f(line(QStringLiteral("一")) + line(QStringLiteral("二")));
    auto* panel = f.get<QWidget>(QStringLiteral("fraMemo"));
    auto* memo = f.get<QPlainTextEdit>(QStringLiteral("txtMemo"));
    QVERIFY(!panel->isVisible());
    f.get<QPushButton>(QStringLiteral("cmdCmnt"))->click();
    QVERIFY(panel->isVisible());

    memo->setPlainText(QStringLiteral("一行目\n二行目"));
    f.get<QPushButton>(QStringLiteral("cmdMemoHozon"))->click();
    const QStringList memos = f.folder.files().filter(QStringLiteral("一_C."), Qt::CaseInsensitive);
    QCOMPARE(memos.size(), 1);
    QCOMPARE(f.decode(memos.first()), QStringLiteral("一行目\r\n二行目\r\n"));
    QVERIFY(f.get<QLabel>(QStringLiteral("lblMemo"))->text().contains(QStringLiteral("二行目")));

    // The panel stays open while paging, and each page brings its own memo.
    f.page(2);
    QVERIFY(panel->isVisible());
    QCOMPARE(memo->toPlainText(), QString());
    f.page(1);
    QCOMPARE(memo->toPlainText(), QStringLiteral("一行目\n二行目"));

    // An unsaved edit is not written; an empty memo is a file holding only CR LF.
    memo->setPlainText(QStringLiteral("書きかけ"));
    f.get<QPushButton>(QStringLiteral("cmdKan"))->click();
    QVERIFY(!panel->isVisible());
    QCOMPARE(f.decode(memos.first()), QStringLiteral("一行目\r\n二行目\r\n"));
    memo->clear();
    f.get<QPushButton>(QStringLiteral("cmdMemoHozon"))->click();
    QCOMPARE(f.folder.readBytes(memos.first()), QByteArray("\r\n"));
    f.page(2);
    f.page(1);
    QCOMPARE(memo->toPlainText(), QString());
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
}

QTEST_MAIN(TestTitleEditing)
#include "tst_titleediting.moc"
