// The pieces shared by every screen's keyboard use: the focus ring, the input box's width and the help window's
// closing keys.
#include "help/widgets/HelpWindow.h"
#include "ui/FocusRing.h"
#include "ui/QtDialogs.h"

#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTest>

namespace {

struct Form {
    Form()
    {
        window.resize(400, 200);
        button = new QPushButton(QStringLiteral("保存"), &window);
        button->setGeometry(20, 20, 100, 30);
        combo = new QComboBox(&window);
        combo->setEditable(true);
        combo->setGeometry(20, 70, 200, 30);
        label = new QLabel(QStringLiteral("題名"), &window);
        label->setGeometry(20, 120, 100, 30);
        label->setFocusPolicy(Qt::StrongFocus);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    QWidget window;
    QPushButton* button;
    QComboBox* combo;
    QLabel* label;
};

} // namespace

class TestKeyComforts : public QObject {
    Q_OBJECT
private slots:
    void focusRingFollowsTheFocus_data();
    void focusRingFollowsTheFocus();
    void inputBoxHoldsFortyCharacters();
    void helpWindowClosesWithKeys_data();
    void helpWindowClosesWithKeys();
};

void TestKeyComforts::focusRingFollowsTheFocus_data()
{
    QTest::addColumn<QString>("focused");
    QTest::addColumn<QString>("ringed"); // empty: no ring
    QTest::newRow("button") << "button"
                            << "button";
    QTest::newRow("combo box") << "combo"
                               << "combo";
    QTest::newRow("label") << "label" << QString();
}

void TestKeyComforts::focusRingFollowsTheFocus()
{
    QFETCH(QString, focused);
    QFETCH(QString, ringed);
    Form f;
    const FocusRing ring;
    const QHash<QString, QWidget*> widgets = {{"button", f.button}, {"combo", f.combo}, {"label", f.label}};
    f.button->setFocus();
    widgets[focused]->setFocus();
    QCOMPARE(QApplication::focusWidget(), widgets[focused]);
    if (ringed.isEmpty()) {
        QVERIFY(!ring.ring() || !ring.ring()->isVisible());
        return;
    }
    QWidget* around = widgets[ringed];
    QCOMPARE(ring.target(), around);
    QVERIFY(ring.ring()->isVisible());
    const int w = FocusRing::Width;
    QCOMPARE(ring.ring()->geometry(), around->geometry().adjusted(-w, -w, w, w));

    // The ring follows its control and leaves it when the control goes.
    around->move(around->pos() + QPoint(10, 5));
    QCOMPARE(ring.ring()->geometry(), around->geometry().adjusted(-w, -w, w, w));
    around->hide();
    QVERIFY(ring.target() != around);
    QVERIFY(!ring.ring()->isVisible() || ring.target() == QApplication::focusWidget());
}

void TestKeyComforts::inputBoxHoldsFortyCharacters()
{
    QtDialogs dialogs;
    int width = 0;
    int needed = 0;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        auto* box = dialog->findChild<QLineEdit*>();
        width = box->width();
        needed = box->fontMetrics().horizontalAdvance(QString(40, QChar(0x6F2B)));
        dialog->reject();
    });
    QCOMPARE(dialogs.inputBox(QStringLiteral("題名を入力してください"), QStringLiteral("新規追加"), QString()),
             QString());
    QVERIFY2(width >= needed, qPrintable(QStringLiteral("%1 < %2").arg(width).arg(needed)));
}

void TestKeyComforts::helpWindowClosesWithKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Esc") << int(Qt::Key_Escape) << int(Qt::NoModifier);
    QTest::newRow("Ctrl+W") << int(Qt::Key_W) << int(Qt::ControlModifier);
}

void TestKeyComforts::helpWindowClosesWithKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    HelpWindow window;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QWidget* focused = QApplication::focusWidget() ? QApplication::focusWidget() : &window;
    QTest::keyClick(focused, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QVERIFY(!window.isVisible());
}

QTEST_MAIN(TestKeyComforts)
#include "tst_keycomforts.moc"
