// Where the help window opens on screens from a small laptop to a large monitor: always wholly inside the
// screen's available area, beside the main window when there is room to read there.
#include "help/HelpPlacement.h"

#include <QTest>

namespace {
const QSize Preferred(1160, 780);
const QSize Frame(16, 48);
} // namespace

class TestHelpPlacement : public QObject {
    Q_OBJECT
private slots:
    void staysOnTheScreenBesideTheOwner_data();
    void staysOnTheScreenBesideTheOwner();
};

void TestHelpPlacement::staysOnTheScreenBesideTheOwner_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("owner");   // the main window's frame; null: none
    QTest::addColumn<QString>("where"); // "right", "left", "over" (covers part of the owner), "centre"
    QTest::addColumn<QSize>("client");
    // 1366 x 768 with a 40-pixel panel: the window as tall as the screen allows, over part of the centred owner.
    QTest::newRow("small laptop") << QRect(0, 0, 1366, 728) << QRect(279, 61, 808, 605) << "over" << QSize(1160, 680);
    QTest::newRow("small laptop, owner at the left")
        << QRect(0, 0, 1366, 728) << QRect(0, 0, 808, 605) << "over" << QSize(1160, 680);
    QTest::newRow("full HD, owner at the left")
        << QRect(0, 0, 1920, 1040) << QRect(0, 0, 808, 605) << "right" << QSize(1096, 780);
    QTest::newRow("full HD, owner at the right")
        << QRect(0, 0, 1920, 1040) << QRect(1100, 40, 808, 605) << "left" << QSize(1084, 780);
    QTest::newRow("large monitor, owner centred")
        << QRect(0, 0, 2560, 1400) << QRect(876, 397, 808, 605) << "right" << QSize(860, 780);
    QTest::newRow("second screen to the right, panel on top")
        << QRect(1920, 32, 1920, 1048) << QRect(1920, 32, 808, 605) << "right" << QSize(1096, 780);
    QTest::newRow("no owner") << QRect(0, 0, 1366, 728) << QRect() << "centre" << QSize(1160, 680);
    QTest::newRow("tiny screen") << QRect(0, 0, 800, 600) << QRect(0, 0, 808, 605) << "over" << QSize(784, 552);
}

void TestHelpPlacement::staysOnTheScreenBesideTheOwner()
{
    QFETCH(QRect, available);
    QFETCH(QRect, owner);
    QFETCH(QString, where);
    QFETCH(QSize, client);
    const QRect placed = helpplacement::place(available, owner, Preferred, Frame);
    const QRect frame = placed.adjusted(-Frame.width() / 2, -(Frame.height() - Frame.width() / 2), Frame.width() / 2,
                                        Frame.width() / 2);
    QVERIFY2(
        available.contains(frame),
        qPrintable(QStringLiteral("%1,%2 %3x%4").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height())));
    QCOMPARE(placed.size(), client);
    if (where == QLatin1String("right"))
        QCOMPARE(frame.left(), owner.right() + 1);
    else if (where == QLatin1String("left"))
        QCOMPARE(frame.right(), owner.left() - 1);
    else if (where == QLatin1String("over"))
        QVERIFY(frame.intersects(owner));
    else
        QVERIFY(qAbs(frame.center().x() - available.center().x()) <= 1);
}

QTEST_MAIN(TestHelpPlacement)
#include "tst_helpplacement.moc"
