#include "support/ScriptedDialogs.h"

#include <QTest>

// The scripted boxes are what every screen test leans on: a file dialog that was not expected, or an expected one
// that never came, must make the test fail, and the answer must go to the call it was meant for.
class TestScriptedDialogs final : public QObject {
    Q_OBJECT

private slots:
    void fileDialogs_data();
    void fileDialogs();
};

void TestScriptedDialogs::fileDialogs_data()
{
    QTest::addColumn<QString>("script"); // o = expect open, s = expect save, m = expect message
    QTest::addColumn<QString>("calls");  // the same letters for what the code under test shows
    QTest::addColumn<bool>("done");
    QTest::addColumn<QString>("answers"); // what the file calls got, joined by "|"

    QTest::newRow("open answered") << "o"
                                   << "o" << true << "/tmp/in.csv";
    QTest::newRow("save answered") << "s"
                                   << "s" << true << "/tmp/out.csv";
    QTest::newRow("open then save") << "os"
                                    << "os" << true << "/tmp/in.csv|/tmp/out.csv";
    QTest::newRow("unexpected open") << ""
                                     << "o" << false << "";
    QTest::newRow("unexpected save") << ""
                                     << "s" << false << "";
    QTest::newRow("open never shown") << "o"
                                      << "" << false << "";
    QTest::newRow("save where open expected") << "o"
                                              << "s" << false << "";
    QTest::newRow("open where message expected") << "m"
                                                 << "o" << false << "";
    QTest::newRow("message where save expected") << "s"
                                                 << "m" << false << "";
}

void TestScriptedDialogs::fileDialogs()
{
    QFETCH(QString, script);
    QFETCH(QString, calls);
    QFETCH(bool, done);
    QFETCH(QString, answers);

    ScriptedDialogs dialogs;
    for (QChar c : script) {
        if (c == 'o')
            dialogs.expectOpenFile(QStringLiteral("開く"), QStringLiteral("/tmp/in.csv"));
        else if (c == 's')
            dialogs.expectSaveFile(QStringLiteral("保存"), QStringLiteral("/tmp/out.csv"));
        else
            dialogs.expectMessage(QStringLiteral("開く"));
    }
    QStringList got;
    for (QChar c : calls) {
        if (c == 'o')
            got << dialogs.openFileName(QStringLiteral("開く"), QStringLiteral("CSV (*.csv)"));
        else if (c == 's')
            got << dialogs.saveFileName(QStringLiteral("保存"), QStringLiteral("一覧.csv"),
                                        QStringLiteral("CSV (*.csv)"));
        else
            dialogs.messageBox(QStringLiteral("本文"), Dialogs::OkOnly, QStringLiteral("保存"));
    }
    QCOMPARE(dialogs.done(), done);
    QVERIFY(done || !dialogs.problems().isEmpty());
    if (done)
        QCOMPARE(got.join('|'), answers);
    else
        QVERIFY(got.join(QString()).isEmpty()); // an unexpected file dialog is answered as cancelled
    QCOMPARE(dialogs.fileBoxes().size(), calls.count('o') + calls.count('s'));
    if (calls.contains('s'))
        QCOMPARE(dialogs.fileBoxes().last().suggestedName, QStringLiteral("一覧.csv"));
}

QTEST_GUILESS_MAIN(TestScriptedDialogs)
#include "tst_scripteddialogs.moc"
