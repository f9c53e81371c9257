// Checking many candidate titles at once: against the records of the collection and against each other, one
// verdict per candidate, the later of two clashing candidates being the one refused.
#include "store/TitleRules.h"

#include <QTest>

namespace {

TitleTable tableOf(const QStringList& titles)
{
    TitleTable table;
    for (const QString& title : titles)
        table.append(TitleRecord{title, 1, 0, {}, {}, {}, {}, {}});
    return table;
}

QString faultName(titlerules::Fault fault)
{
    using titlerules::Fault;
    switch (fault) {
    case Fault::None:
        return QStringLiteral("ok");
    case Fault::RefusedCharacter:
        return QStringLiteral("character");
    case Fault::NotStorable:
        return QStringLiteral("storable");
    case Fault::BadFileName:
        return QStringLiteral("filename");
    case Fault::ProgramFile:
        return QStringLiteral("program");
    case Fault::SameTitle:
        return QStringLiteral("same");
    case Fault::FileTwin:
        return QStringLiteral("twin");
    }
    return {};
}

// A verdict as one word: its fault, and what it met ("twin r2": record 2, "same c0": candidate 0).
QString shown(const titlerules::Verdict& verdict)
{
    QString text = faultName(verdict.fault);
    if (verdict.record != 0)
        text += QStringLiteral(" r%1").arg(verdict.record);
    if (verdict.candidate >= 0)
        text += QStringLiteral(" c%1").arg(verdict.candidate);
    return text;
}

} // namespace

class TestTitleRules : public QObject {
    Q_OBJECT
private slots:
    void batch_data();
    void batch();
    void reasonsNameBothTitles();
};

void TestTitleRules::batch_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QStringList>("candidates");
    QTest::addColumn<QStringList>("verdicts");

    QTest::newRow("all fit") << QStringList{"甲"} << QStringList{"乙", "丙"} << QStringList{"ok", "ok"};
    QTest::newRow("each check alone") << QStringList{} << QStringList{"a/b", "a\tb", "", "設定", "😀"}
                                      << QStringList{"character", "storable", "filename", "program", "storable"};
    // A program file is met in any letter case, by any suffix: the picture shown for titles without a cover is
    // the cover of "nopic", and "データＰＲＯ_C" would be a memo named as the collection file is not.
    QTest::newRow("program files in other letter case")
        << QStringList{}
        << QStringList{"nopic", "NoPic", "ｎｏｐｉｃ", "データＰＲＯ", "データｐｒｏ", "データＰＲＯ_C"}
        << QStringList{"program", "program", "ok", "program", "program", "ok"};
    QTest::newRow("against the records") << QStringList{"x", "abc", "Ｐ"}
                                         << QStringList{"abc", "ABC", "abc_C", "ｐ", "P"}
                                         << QStringList{"same r2", "twin r2", "twin r2", "twin r3", "ok"};
    // "abc_C.TXT" is both the volume file of "abc_C" and the memo of "abc", in either order of coming.
    QTest::newRow("memo of one, volume file of the other")
        << QStringList{"x", "Abc_c"} << QStringList{"abc", "abc_c_C", "abc_d"}
        << QStringList{"twin r2", "twin r2", "ok"};
    QTest::newRow("against each other") << QStringList{} << QStringList{"abc", "abc_C", "ABC", "abc", "ｶ", "カ"}
                                        << QStringList{"ok", "twin c0", "twin c0", "same c0", "ok", "ok"};
    // A refused candidate is not taken, so a later one is judged only against what would be.
    QTest::newRow("refused candidates are not met")
        << QStringList{} << QStringList{"a*", "a*", "Ab", "ab_C", "AB"}
        << QStringList{"character", "character", "ok", "twin c2", "twin c2"};
    // Long enough for each title's own checks to be shared among the cores: every verdict stays at its title.
    QStringList many;
    QStringList manyVerdicts;
    for (int k = 0; k < 60; ++k) {
        const QString name = QStringLiteral("題%1").arg(k);
        const QString first = QString::number(5 * k);
        many << name << name.toUpper() + "X" << name << name + "/" << name + "_C";
        manyVerdicts << "ok"
                     << "ok"
                     << "same c" + first << "character"
                     << "twin c" + first;
    }
    QTest::newRow("a long list") << QStringList{} << many << manyVerdicts;
}

void TestTitleRules::batch()
{
    QFETCH(QStringList, existing);
    QFETCH(QStringList, candidates);
    QFETCH(QStringList, verdicts);
    const QList<titlerules::Verdict> got = titlerules::checkTitles(tableOf(existing), candidates);
    QStringList texts;
    for (const titlerules::Verdict& verdict : got) {
        texts << shown(verdict);
        QCOMPARE(verdict.ok(), verdict.reason.isEmpty());
    }
    QCOMPARE(texts, verdicts);
    // One candidate alone is judged as the typed title is.
    for (qsizetype i = 0; i < candidates.size(); ++i)
        if (got[i].candidate < 0)
            QCOMPARE(shown(titlerules::checkTitle(tableOf(existing), candidates[i])), verdicts[i]);
}

void TestTitleRules::reasonsNameBothTitles()
{
    const QList<titlerules::Verdict> got = titlerules::checkTitles(tableOf({"Abc"}), {"abc", "新", "新", "新_c"});
    QVERIFY2(got[0].reason.contains(QStringLiteral("「abc」は、登録済みの「Abc」と英字の大文字・小文字しか違わない")),
             qPrintable(got[0].reason));
    QVERIFY2(got[2].reason.contains(QStringLiteral("「新」")), qPrintable(got[2].reason));
    QVERIFY2(got[3].reason.contains(QStringLiteral("「新_c」の巻数・メモ・画像のファイルのどれかが、先にある「新」")),
             qPrintable(got[3].reason));
}

QTEST_MAIN(TestTitleRules)
#include "tst_titlerules.moc"
