// The command line, read before any window exists: options are recognised, Qt's own are let through, help and
// errors are all Japanese, and a mistyped option ends the program with exit code 2 even without a display.
#include "app/CommandLine.h"
#include "app/UserFolder.h"

#include <QLibraryInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTranslator>
#include <QTest>

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void reads_data();
    void reads();
    void helpIsAllJapanese();
    void refusedWithoutDisplay_data();
    void refusedWithoutDisplay();

private:
    QTranslator m_qtTexts;
};

void TestCommandLine::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("tanamiru"));
    QVERIFY2(loadToolkitTranslation(m_qtTexts), "Qt's Japanese translation is not installed");
    QCoreApplication::installTranslator(&m_qtTexts);
}

void TestCommandLine::reads_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");
    QTest::addColumn<bool>("userFolder");
    QTest::addColumn<QString>("text"); // a part of text()

    const int run = int(CommandLine::Action::Run), show = int(CommandLine::Action::ShowText),
              refuse = int(CommandLine::Action::Refuse);
    QTest::newRow("nothing") << QStringList{} << run << false << QString();
    QTest::newRow("user folder") << QStringList{"--user-folder"} << run << true << QString();
    QTest::newRow("Qt's options pass") << QStringList{"-platform", "offscreen", "-style=fusion", "-reverse",
                                                      "--user-folder"}
                                       << run << true << QString();
    QTest::newRow("help") << QStringList{"--help"} << show << false << "--user-folder";
    QTest::newRow("short help") << QStringList{"-h", "--user-folder"} << show << true << "--user-folder";
    QTest::newRow("version") << QStringList{"--version"} << show << false << "tanamiru";
    QTest::newRow("unknown option") << QStringList{"--colour"} << refuse << false << "colour";
    QTest::newRow("unknown single-dash word") << QStringList{"-userfolder"} << refuse << false << "userfolder";
    QTest::newRow("value given to a switch") << QStringList{"--user-folder=x"} << refuse << false << "user-folder";
    QTest::newRow("Qt's option without its value") << QStringList{"-platform"} << refuse << false << "platform";
}

void TestCommandLine::reads()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, action);
    QFETCH(bool, userFolder);
    QFETCH(QString, text);

    const CommandLine line(QStringList{"tanamiru"} + arguments);
    QCOMPARE(int(line.action()), action);
    QCOMPARE(line.exitCode(), action == int(CommandLine::Action::Refuse) ? 2 : 0);
    if (line.action() != CommandLine::Action::Refuse)
        QCOMPARE(line.userFolder(), userFolder);
    QVERIFY2(line.text().contains(text), qPrintable(line.text()));
    QCOMPARE(line.text().isEmpty(), action == int(CommandLine::Action::Run));
}

void TestCommandLine::helpIsAllJapanese()
{
    const QString help = CommandLine({"tanamiru", "--help"}).text();
    // Apart from option names, the program's name and the folder's path, no word of English is left; Qt's own
    // options are not listed.
    QString rest = help;
    rest.remove(userfolder::location());
    rest.remove(QCoreApplication::arguments().constFirst()); // the usage line names the program as it was started
    rest.remove(QRegularExpression(QStringLiteral("-[-A-Za-z?]+|tanamiru|Shift-JIS|CP932")));
    const QRegularExpression english(QStringLiteral("[A-Za-z]{2,}"));
    QVERIFY2(!english.match(rest).hasMatch(), qPrintable(help));
    QVERIFY2(!help.contains(QStringLiteral("platform")), qPrintable(help));
    QVERIFY2(help.contains(QStringLiteral("利用者のデータフォルダ")), qPrintable(help));
    // A terminal gives a Japanese character two columns: no line is wider than a terminal's 80, so that none is
    // broken inside a word. The folder's path is as long as the user's home makes it.
    for (const QString& line : help.split(QLatin1Char('\n'))) {
        if (line.contains(userfolder::location()))
            continue;
        qsizetype columns = 0;
        for (const QChar c : line)
            columns += c.unicode() >= 0x1100 ? 2 : 1;
        QVERIFY2(columns <= 80, qPrintable(line));
    }
    QVERIFY2(help.contains(QStringLiteral("サンプルデータ")), qPrintable(help));

    const QString error = CommandLine({"tanamiru", "--colour"}).text();
    QVERIFY2(!english
                  .match(QString(error)
                             .remove(QStringLiteral("colour"))
                             .remove(QStringLiteral("tanamiru"))
                             .remove(QStringLiteral("--help")))
                  .hasMatch(),
             qPrintable(error));
}

void TestCommandLine::refusedWithoutDisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output"); // on standard output, or standard error for a refusal

    QTest::newRow("unknown option") << QStringList{"--colour"} << 2 << "colour";
    QTest::newRow("help") << QStringList{"--help"} << 0 << "--user-folder";
    QTest::newRow("version") << QStringList{"-v"} << 0 << "tanamiru";
}

void TestCommandLine::refusedWithoutDisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, output);

    // The real program, where no window system can be reached.
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(TANAMIRU_EXECUTABLE), arguments);
    QVERIFY(program.waitForFinished(30'000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), exitCode);
    const QByteArray shown = exitCode == 0 ? program.readAllStandardOutput() : program.readAllStandardError();
    QVERIFY2(QString::fromUtf8(shown).contains(output), shown.constData());
    if (arguments == QStringList{"--help"})
        QVERIFY2(!shown.contains("Usage") && !shown.contains("Options"), shown.constData());
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
