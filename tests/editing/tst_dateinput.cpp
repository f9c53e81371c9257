#include "editing/DateInput.h"

#include <QTest>

class TestDateInput final : public QObject {
    Q_OBJECT

    static void row(const char* name, QStringView text, QStringView stored)
    {
        QTest::newRow(name) << text.toString() << stored.toString();
    }
    static void refused(const char* name, QStringView text) { row(name, text, {}); }

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored"); // empty when the text must be refused

        row("slashes", u"2002/2/18", u"2002/02/18");
        row("hyphens", u"2002-02-18", u"2002/02/18");
        row("dots", u"2002.2.18", u"2002/02/18");
        row("kanji", u"2002年2月18日", u"2002/02/18");
        row("full-width", u"２００２／２／１８", u"2002/02/18");
        row("Linux minus sign", u"2002\u22122\u221218", u"2002/02/18");
        row("blanks around", u"\u3000 2002/2/18 \u3000", u"2002/02/18");
        row("leap day", u"2000/2/29", u"2000/02/29");
        row("Heisei kanji", u"平成14年2月18日", u"2002/02/18");
        row("Heisei name, slashes", u"平成14/2/18", u"2002/02/18");
        row("H letter", u"H14/2/18", u"2002/02/18");
        row("h lower case, dots", u"h14.2.18", u"2002/02/18");
        row("full-width letter", u"Ｈ１４．２．１８", u"2002/02/18");
        row("era sign", u"㍻14年2月18日", u"2002/02/18");
        row("R hyphens", u"R1-5-1", u"2019/05/01");
        row("Reiwa first year", u"令和元年5月1日", u"2019/05/01");
        row("Heisei first year", u"平成元年1月8日", u"1989/01/08");
        row("last day of Showa", u"昭和64年1月7日", u"1989/01/07");
        row("Taisho", u"大正15年12月24日", u"1926/12/24");
        row("T letter", u"t1/8/1", u"1912/08/01");
        row("Meiji first year", u"明治元年1月1日", u"1868/01/01");

        refused("month 13, day 40", u"2002/13/40");
        refused("30 February", u"2002/2/30");
        refused("30 February, hyphens", u"2002-2-30");
        refused("1900 no leap year", u"1900/2/29");
        refused("word", u"abc");
        refused("empty", u"");
        refused("no day", u"2002/2");
        refused("trailing letter", u"2002/2/18x");
        refused("two-digit year", u"02/2/18");
        refused("five-digit year", u"20021/2/18");
        refused("mixed separators", u"2002/2-18");
        refused("kanji without 日", u"2002年2月18");
        refused("era year 0", u"平成0年1月1日");
        refused("three-digit era year", u"H100/1/1");
        refused("unknown era letter", u"X14/2/18");
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QString, stored);

        const std::optional<QDate> date = dateinput::parse(text);
        if (stored.isEmpty()) {
            QVERIFY2(!date, qPrintable(date ? date->toString(Qt::ISODate) : QString()));
            return;
        }
        QVERIFY(date);
        QCOMPARE(dateinput::format(*date), stored);
        // The stored form must read back as the same date.
        QCOMPARE(dateinput::parse(stored), date);
    }
};

QTEST_GUILESS_MAIN(TestDateInput)
#include "tst_dateinput.moc"
