#include "store/SelectionLists.h"

#include <QTest>

namespace {

TitleTable tableOf(const QStringList& names, const QStringList& firstIssues = {})
{
    TitleTable table;
    for (qsizetype i = 0; i < std::max(names.size(), firstIssues.size()); ++i)
        table.append(
            {QStringLiteral("題%1").arg(i % 2), 1, 0, names.value(i), names.value(i), "未", firstIssues.value(i), ""});
    return table;
}

} // namespace

class TestSelectionLists final : public QObject {
    Q_OBJECT

private slots:
    void names_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("listed");

        QTest::newRow("blank and not entered left out")
            << QStringList{"B", "未登録", "", "A", "B"} << QStringList{"A", "B"};
        QTest::newRow("whole names, not prefixes") << QStringList{"AB", "A"} << QStringList{"A", "AB"};
        QTest::newRow("kana order") << QStringList{"かな", "あい", "さ"} << QStringList{"あい", "かな", "さ"};
    }
    void names()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, listed);

        const SelectionLists lists = buildSelectionLists(tableOf(names));
        QCOMPARE(lists.authors, listed);
        QCOMPARE(lists.magazines, listed);
        QCOMPARE(lists.titles.size(), names.size());
    }

    void issueDates()
    {
        const SelectionLists lists =
            buildSelectionLists(tableOf({}, {"2002/02/18", "2002/03/01", "", "未登録", "2002/02/20", "99"}));
        QCOMPARE(lists.issueYears, (QStringList{"2002年", "未登録年", "99年"}));
        QCOMPARE(lists.issueMonths, (QStringList{"2002/02", "2002/03", "未登録", "99"}));
        QCOMPARE(lists.titles, (QStringList{"題0", "題1", "題0", "題1", "題0", "題1"}));

        // Once a listed value holds a comma, a value is listed only when the list's string does not already
        // hold it between commas.
        const SelectionLists commas = buildSelectionLists(tableOf({}, {"1,2", "2", "2002/01/01", "2", "2002/01/05"}));
        QCOMPARE(commas.issueYears, (QStringList{"1,2年", "2002年"}));
        QCOMPARE(commas.issueMonths, (QStringList{"1,2", "2002/01"}));
        QCOMPARE(commas.issueMonthSet.text(), QStringLiteral(",1,2,2002/01,"));
    }

    void membership_data()
    {
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<bool>("part");

        QTest::newRow("longer name is no member") << QStringList{"AB"} << "A" << false << true;
        QTest::newRow("empty name added") << QStringList{"x", ""} << "" << true << true;
        QTest::newRow("case-sensitive") << QStringList{"a"} << "A" << false << false;
        QTest::newRow("name with comma holds its parts") << QStringList{"a,b"} << "b" << true << true;
        QTest::newRow("value spanning two names") << QStringList{"x", "y"} << "x,y" << true << true;
    }
    void membership()
    {
        QFETCH(QStringList, added);
        QFETCH(QString, value);
        QFETCH(bool, whole);
        QFETCH(bool, part);

        MembershipSet set;
        set.add("stale");
        set.clear();
        for (const QString& name : added)
            set.add(name);
        QCOMPARE(set.containsWhole(value), whole);
        QCOMPARE(set.containsSubstring(value), part);
    }

    // Lists kept from the table before a change and patched give exactly what building them anew gives.
    void updatedAgreesWithBuilt_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");

        const QStringList kana{"か", "あ", "さ", "か"};
        QTest::newRow("record put back with a name of its own")
            << kana << QStringList{"か", "あ", "ｶ", "さ", "か"};
        QTest::newRow("record deleted with the only use of its name") << kana << QStringList{"か", "さ", "か"};
        QTest::newRow("record deleted whose name another keeps") << kana << QStringList{"あ", "さ", "か"};
        QTest::newRow("records reordered") << kana << QStringList{"さ", "か", "か", "あ"};
        QTest::newRow("names both come and go") << kana << QStringList{"た", "あ", "カ", "か"};
        QTest::newRow("name holding a comma") << QStringList{"a,b", "c"} << QStringList{"c", "a,b", "b"};
        QTest::newRow("not entered and blank") << kana << QStringList{"か", "未登録", "", "あ"};
        QStringList many = kana;
        for (int i = 0; i < 100; ++i)
            many << QStringLiteral("名%1").arg(i);
        QTest::newRow("too many new names") << kana << many;
        QTest::newRow("too many names gone") << many << kana;
        QStringList reversed(many.crbegin(), many.crend());
        QTest::newRow("many records reordered") << many << reversed;
        QStringList swapped = reversed;
        swapped[7] = QStringLiteral("新");
        QTest::newRow("many reordered, one name for another") << many << swapped;
        QStringList doubled = reversed;
        doubled[7] = doubled[8];
        QTest::newRow("many reordered, a name gone and one twice") << many << doubled;
        QTest::newRow("first table") << QStringList{} << kana;
    }
    void updatedAgreesWithBuilt()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);

        QStringList issues;
        for (qsizetype i = 0; i < after.size(); ++i)
            issues << QStringLiteral("20%1/0%2/01").arg(10 + i % 3).arg(1 + i % 2);
        const SelectionLists earlier = buildSelectionLists(tableOf(before));
        const SelectionLists updated = updatedSelectionLists(earlier, tableOf(after, issues));
        const SelectionLists built = buildSelectionLists(tableOf(after, issues));
        QCOMPARE(updated.titles, built.titles);
        QCOMPARE(updated.authors, built.authors);
        QCOMPARE(updated.magazines, built.magazines);
        QCOMPARE(updated.issueYears, built.issueYears);
        QCOMPARE(updated.issueMonths, built.issueMonths);
        QCOMPARE(updated.authorSet.text(), built.authorSet.text());
        QCOMPARE(updated.magazineSet.text(), built.magazineSet.text());
        QCOMPARE(updated.issueMonthSet.text(), built.issueMonthSet.text());
    }

    // A name the user typed is put in the lists by hand; lists updated from them hold only the table's names.
    void updatedDropsNamesAddedByHand()
    {
        const QStringList kana{"か", "あ", "さ"};
        SelectionLists earlier = buildSelectionLists(tableOf(kana));
        earlier.authorSet.add(QStringLiteral("ん"));
        insertSorted(earlier.authors, QStringLiteral("ん"));
        const TitleTable after = tableOf(kana + QStringList{"た"});
        QCOMPARE(updatedSelectionLists(earlier, after).authors, buildSelectionLists(after).authors);
    }

    void bulkSortAgreesWithComparison()
    {
        const QString pieces[] = {"あ", "ア", "ｱ", "A", "ａ", "漢", "1", "ー", "が", "か", " "};
        QStringList names;
        for (int i = 0; i < 1331; ++i)
            names.append(pieces[i % 11] + pieces[(i / 11) % 11] + pieces[i / 121]);
        const QStringList sorted = buildSelectionLists(tableOf(names)).authors;
        QVERIFY(std::is_sorted(sorted.cbegin(), sorted.cend(), textLessThan));

        QStringList inserted;
        for (auto it = sorted.crbegin(); it != sorted.crend(); ++it)
            insertSorted(inserted, *it);
        QCOMPARE(inserted, sorted);
    }
};

QTEST_GUILESS_MAIN(TestSelectionLists)
#include "tst_selectionlists.moc"
