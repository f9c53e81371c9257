#include "editing/TitleInput.h"
#include "store/CollectionStore.h"
#include "store/Cp932.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestTitleInput final : public QObject {
    Q_OBJECT

    static TitleTable tableOf(const QStringList& titles)
    {
        TitleTable table;
        for (const QString& title : titles)
            table.append(TitleRecord{title, 1, 0, {}, {}, {}, {}, {}});
        return table;
    }

private slots:
    void refusedCharacter_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("refused");

        for (const char c : QByteArrayView("\\/:,;*?\"<>|"))
            QTest::addRow("%c", c) << QStringLiteral("ab%1c").arg(QLatin1Char(c)) << true;
        QTest::newRow("full-width backslash and colon") << "＼：？" << false;
        QTest::newRow("parentheses, underscore, blanks") << "T(1_50) 新装版（上）\u3000" << false;
    }
    void refusedCharacter()
    {
        QFETCH(QString, title);
        QFETCH(bool, refused);
        QCOMPARE(titleinput::hasRefusedCharacter(title), refused);
    }

    void storableProblem_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("lineBreaks");
        QTest::addColumn<bool>("refuseQuote");
        QTest::addColumn<QStringList>("named"); // what the message must show; empty when the text is storable

        QTest::newRow("kanji, kana, circled digit") << "漢字かなカナｶﾅ①" << false << true << QStringList();
        QTest::newRow("Linux wave dash and minus") << "〜\u2212" << false << true << QStringList();
        QTest::newRow("𠮷") << "𠮷野家" << false << true << QStringList{"𠮷"};
        QTest::newRow("é and emoji") << "café📚" << false << true << QStringList{"é 📚"};
        QTest::newRow("invisible character by code") << "a\u200Bb" << false << true << QStringList{"U+200B"};
        QTest::newRow("tab") << "a\tb" << false << true << QStringList{"制御文字"};
        QTest::newRow("line feed") << "a\nb" << false << true << QStringList{"改行"};
        QTest::newRow("DEL") << "a\x7F" << false << true << QStringList{"制御文字"};
        QTest::newRow("line breaks in a memo") << "a\r\nb\nc" << true << false << QStringList();
        QTest::newRow("tab in a memo") << "a\r\n\tb" << true << false << QStringList{"制御文字"};
        QTest::newRow("quote in a name") << "\"ab\"" << false << true << QStringList{"「\"」"};
        QTest::newRow("quote in a memo") << "\"ab\"" << true << false << QStringList();
        QTest::newRow("every problem") << "é\t\"" << false << true << QStringList{"é", "制御文字", "「\"」"};
    }
    void storableProblem()
    {
        QFETCH(QString, text);
        QFETCH(bool, lineBreaks);
        QFETCH(bool, refuseQuote);
        QFETCH(QStringList, named);

        const QString problem = titleinput::storableProblem(text, QStringLiteral("著者名"), lineBreaks, refuseQuote);
        if (named.isEmpty()) {
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
            QVERIFY(cp932::encode(text).ok()); // what passes must be writable exactly
            return;
        }
        QVERIFY(problem.startsWith(QStringLiteral("著者名に")));
        for (const QString& part : named)
            QVERIFY2(problem.contains(part), qPrintable(problem));
    }

    void fileNameProblem_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("fits");

        QTest::newRow("83 kanji") << QString(83, u'漢') << true;
        QTest::newRow("84 kanji") << QString(84, u'漢') << false;
        QTest::newRow("249 letters") << QString(249, u'a') << true;
        QTest::newRow("250 letters") << QString(250, u'a') << false;
        QTest::newRow("slash") << "a/b" << false;
    }
    void fileNameProblem()
    {
        QFETCH(QString, title);
        QFETCH(bool, fits);

        const QString problem = titleinput::fileNameProblem(title);
        if (!fits) {
            QVERIFY(!problem.isEmpty());
            if (!title.contains(u'/'))
                QVERIFY2(problem.contains(QStringLiteral("約83文字")), qPrintable(problem));
            return;
        }
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        // Every file of an accepted title can really be made.
        QTemporaryDir dir;
        const QStringList suffixes =
            QStringList{CollectionStore::VolumeSuffix, CollectionStore::MemoSuffix} + CollectionStore::CoverSuffixes;
        for (const QString& suffix : suffixes) {
            QFile file(dir.filePath(title + suffix));
            QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
        }
    }

    void fileCollisionIndex_data()
    {
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("index");

        QTest::newRow("empty collection") << QStringList() << "abc" << 0;
        QTest::newRow("abc beside ABC") << QStringList{"x", "ABC"} << "abc" << 2;
        QTest::newRow("full-width ｐ beside Ｐ") << QStringList{"Ｐ"} << "ｐ" << 1;
        QTest::newRow("abc_C beside abc") << QStringList{"abc"} << "abc_C" << 1;
        QTest::newRow("abc beside ABC_c") << QStringList{"ABC_c"} << "abc" << 1;
        QTest::newRow("split title") << QStringList{"T(1_50)"} << "t(1_50)" << 1;
        QTest::newRow("exact duplicate skipped") << QStringList{"abc"} << "abc" << 0;
        QTest::newRow("twin behind the duplicate") << QStringList{"abc", "Abc", "ABC"} << "abc" << 2;
        QTest::newRow("P and Ｐ differ") << QStringList{"P"} << "Ｐ" << 0;
        QTest::newRow("kana and width differ") << QStringList{"か", "ｶ"} << "カ" << 0;
    }
    void fileCollisionIndex()
    {
        QFETCH(QStringList, titles);
        QFETCH(QString, title);
        QFETCH(int, index);
        QCOMPARE(titleinput::fileCollisionIndex(tableOf(titles), title), index);
    }

    void fileCollisionInFullCollection()
    {
        QStringList titles;
        for (int i = 1; i < TitleTable::MaxTitles; ++i)
            titles << QStringLiteral("題名%1").arg(i);
        titles << QStringLiteral("Last");
        QCOMPARE(titleinput::fileCollisionIndex(tableOf(titles), QStringLiteral("LAST")), TitleTable::MaxTitles);
    }

    void newRecords_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("parts");
        QTest::addColumn<QString>("last"); // "title volumes start"

        QTest::newRow("1") << 1 << 1 << "T 1 0";
        QTest::newRow("50") << 50 << 1 << "T 50 0";
        QTest::newRow("51") << 51 << 2 << "T(51_100) 1 50";
        QTest::newRow("100") << 100 << 2 << "T(51_100) 50 50";
        QTest::newRow("120") << 120 << 3 << "T(101_150) 20 100";
        QTest::newRow("32750") << 32750 << 655 << "T(32701_32750) 50 32700";
        QTest::newRow("0") << 0 << 0 << "";
        QTest::newRow("-3") << -3 << 0 << "";
        QTest::newRow("32751") << 32751 << 0 << "";
    }
    void newRecords()
    {
        QFETCH(int, count);
        QFETCH(int, parts);
        QFETCH(QString, last);

        const QList<TitleRecord> made = titleinput::newRecords(QStringLiteral("T"), count, QDate(2024, 3, 5));
        QCOMPARE(made.size(), parts);
        if (made.isEmpty())
            return;
        const auto line = [](const TitleRecord& r) {
            return QStringLiteral("%1 %2 %3").arg(r.title).arg(r.volumeCount).arg(r.startVolume);
        };
        QCOMPARE(line(made.last()), last);
        if (parts > 1)
            QCOMPARE(line(made.first()), QStringLiteral("T(1_50) 50 0"));
        for (const TitleRecord& record : made) {
            QCOMPARE(QStringList({record.author, record.magazine, record.rating, record.firstIssue, record.lastIssue}),
                     QStringList({"未登録", "未登録", "未", "2024/03/05", "2024/03/05"}));
        }
    }
};

QTEST_GUILESS_MAIN(TestTitleInput)
#include "tst_titleinput.moc"
