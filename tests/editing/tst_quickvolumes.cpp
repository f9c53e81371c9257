// Typing a run of volumes on the main page, driven through the real window offscreen with scripted dialogs.
#include "app/MainWindow.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFolder.h"
#include "ui/logic/QuickVolumes.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

namespace {

const QString CollectionName = QStringLiteral("データＰＲＯ.txt");

QString line(const QString& title, int count, int start)
{
    return QStringLiteral("\"%1\",%2,%3,\"未登録\",\"未登録\",\"未\",\"2002/02/18\",\"2002/02/18\"\r\n")
        .arg(title)
        .arg(count)
        .arg(start);
}

// A volume file with the given entries (1 to 50) in state and every other entry in the opposite one.
QByteArray volumeFile(const QList<int>& entries, int state)
{
    QByteArray bytes;
    for (int k = 1; k <= 50; ++k) {
        bytes += QByteArray::number(entries.contains(k) ? state : 1 - state);
        bytes += k % 10 == 0 ? "\r\n" : ",";
    }
    return bytes;
}

// "一" (10 volumes, start 0) and "二(51_100)" (50 volumes, start 50); the page shows the one asked for.
struct Fixture {
    Fixture(bool second, const QByteArray& volumes)
    {
        folder.writeText(CollectionName,
                         line(QStringLiteral("一"), 10, 0) + line(QStringLiteral("二(51_100)"), 50, 50));
        volumeName = second ? QStringLiteral("二(51_100).TXT") : QStringLiteral("一.TXT");
        folder.writeBytes(volumeName, volumes);
        window = std::make_unique<MainWindow>(dialogs);
        window->show();
        if (second)
            window->findChild<QScrollBar*>(QStringLiteral("hsbData"))->setValue(2);
        box = window->findChild<QLineEdit*>(QStringLiteral("txtQuickKan"));
    }
    void type(const QString& text, bool shift)
    {
        box->setFocus();
        box->clear();
        box->insert(text); // what an input method commits
        QTest::keyClick(box, Qt::Key_Return, shift ? Qt::ShiftModifier : Qt::NoModifier);
    }
    QColor colour(int k) const
    {
        return window->findChild<QLabel*>(QStringLiteral("lblKan_%1").arg(k))->palette().color(QPalette::Window);
    }

    TestFolder folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;
    QString volumeName;
    QLineEdit* box = nullptr;
};

} // namespace

class TestQuickVolumes : public QObject {
    Q_OBJECT
private slots:
    void listIsStoredAndUndone_data();
    void listIsStoredAndUndone();
    void unusableTextChangesNothing_data();
    void unusableTextChangesNothing();
    void undoKeysWhileTyping();
    void volumesAlreadySetStayOutOfThePlan_data();
    void volumesAlreadySetStayOutOfThePlan();
};

void TestQuickVolumes::listIsStoredAndUndone_data()
{
    QTest::addColumn<bool>("second");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<QList<int>>("entries");

    QTest::newRow("ranges") << false << "1-3, 7" << false << QList<int>{1, 2, 3, 7};
    QTest::newRow("full-width") << false << "１〜３、１０" << false << QList<int>{1, 2, 3, 10};
    QTest::newRow("wave dash and blanks") << false << "２～４\u3000６ 8" << false << QList<int>{2, 3, 4, 6, 8};
    QTest::newRow("missing") << false << "2ー4,9" << true << QList<int>{2, 3, 4, 9};
    QTest::newRow("second record") << true << "51-53，100" << false << QList<int>{1, 2, 3, 50};
    QTest::newRow("second record missing") << true << "60~61" << true << QList<int>{10, 11};
}

void TestQuickVolumes::listIsStoredAndUndone()
{
    QFETCH(bool, second);
    QFETCH(QString, text);
    QFETCH(bool, shift);
    QFETCH(QList<int>, entries);
    // Every volume starts in the state opposite to the one the list sets.
    const int state = shift ? 1 : 0;
    const QByteArray before = volumeFile({}, state);
    Fixture f(second, before);

    f.type(text, shift);
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QCOMPARE(f.folder.readBytes(f.volumeName), volumeFile(entries, state));
    QVERIFY(f.box->text().isEmpty());
    const QColor set = shift ? QColor(255, 192, 255) : QColor(192, 255, 192);
    QCOMPARE(f.colour(entries.first()), set);
    QCOMPARE(f.colour(entries.last()), set);

    auto* undo = f.window->findChild<QAction*>(QStringLiteral("actUndo"));
    QVERIFY(undo->text().contains(QStringLiteral("巻の一括入力")));
    undo->trigger();
    QCOMPARE(f.folder.readBytes(f.volumeName), before);
    QVERIFY(f.colour(entries.first()) != set);
}

void TestQuickVolumes::unusableTextChangesNothing_data()
{
    QTest::addColumn<bool>("second");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("named"); // what the box must name

    QTest::newRow("beyond the count") << false << "1-3, 11"
                                      << "11";
    QTest::newRow("before the record") << true << "50-52"
                                       << "50";
    QTest::newRow("after the record") << true << "100, 101"
                                      << "101";
    QTest::newRow("zero") << false << "0"
                          << "0";
    QTest::newRow("words") << false << "全部"
                           << "全部";
    QTest::newRow("open range") << false << "3-"
                                << "3-";
}

void TestQuickVolumes::unusableTextChangesNothing()
{
    QFETCH(bool, second);
    QFETCH(QString, text);
    QFETCH(QString, named);
    const QByteArray before = volumeFile({}, 0);
    Fixture f(second, before);
    auto* undo = f.window->findChild<QAction*>(QStringLiteral("actUndo"));
    const bool couldUndo = undo->isEnabled();

    f.dialogs.expectMessage(QStringLiteral("巻の一括入力"));
    f.type(text, false);
    QVERIFY2(f.dialogs.done(), qPrintable(f.dialogs.problems()));
    QVERIFY2(f.dialogs.messages().last().text.contains(named), qPrintable(f.dialogs.messages().last().text));
    QCOMPARE(f.folder.readBytes(f.volumeName), before);
    QCOMPARE(f.box->text(), text); // left for the user to correct
    QCOMPARE(undo->isEnabled(), couldUndo);
}

void TestQuickVolumes::undoKeysWhileTyping()
{
    const QByteArray before = volumeFile({}, 1); // all collected
    Fixture f(false, before);
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    f.type(QStringLiteral("4-5"), true);
    const QByteArray after = volumeFile({4, 5}, 1);
    QCOMPARE(f.folder.readBytes(f.volumeName), after);

    // Typed into the emptied box: the keys take the typing back, the stored volumes stay.
    QTest::keyClicks(f.box, QStringLiteral("7"));
    QTest::keyClick(f.box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.box->text(), QString());
    QCOMPARE(f.folder.readBytes(f.volumeName), after);

    // Nothing typed: the same keys take back the whole run.
    QTest::keyClick(f.box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.folder.readBytes(f.volumeName), before);
}

void TestQuickVolumes::volumesAlreadySetStayOutOfThePlan_data()
{
    QTest::addColumn<bool>("missing");
    QTest::addColumn<QList<int>>("entries"); // what the plan changes of "1-5" over the file below
    // Entries 2 and 4 are missing, entry 3 holds another state shown green.
    QTest::newRow("collected") << false << QList<int>{2, 3, 4};
    QTest::newRow("missing") << true << QList<int>{1, 3, 5};
}

void TestQuickVolumes::volumesAlreadySetStayOutOfThePlan()
{
    QFETCH(bool, missing);
    QFETCH(QList<int>, entries);
    std::array<int, 51> shown{};
    for (int k = 1; k <= 10; ++k)
        shown[k] = k;
    VolumeStates states{};
    states[2] = states[4] = 1;
    states[3] = 2;
    // A volume left out changes nothing, so its undo cannot take back a change made to it since on another screen.
    const quickvolumes::Plan plan = quickvolumes::plan(QStringLiteral("1-5"), shown, states, missing);
    QVERIFY(plan.ok());
    QCOMPARE(plan.entries, entries);
}

QTEST_MAIN(TestQuickVolumes)
#include "tst_quickvolumes.moc"
