// Numbers as the user types them, with the input method on or off.
#include "ui/logic/TypedNumber.h"

#include <QTest>
#include <limits>

class TestTypedNumber : public QObject {
    Q_OBJECT
private slots:
    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("number");

        constexpr qint64 largest = std::numeric_limits<qint64>::max();
        QTest::newRow("12.9") << "12.9" << qint64(12);
        QTest::newRow("blanks, sign, unit") << " \t+50巻" << qint64(50);
        QTest::newRow("-3") << "-3" << qint64(-3);
        QTest::newRow("abc") << "abc" << qint64(0);
        QTest::newRow("empty") << "" << qint64(0);
        QTest::newRow("full-width digits") << "１２" << qint64(12);
        QTest::newRow("full-width and half-width mixed") << "１2０" << qint64(120);
        QTest::newRow("ideographic space, full-width sign") << "\u3000＋５０巻" << qint64(50);
        QTest::newRow("full-width minus") << "－３" << qint64(-3);
        QTest::newRow("input method's minus sign") << "\u22123" << qint64(-3);
        QTest::newRow("full-width stop ends the number") << "１２．９" << qint64(12);
        QTest::newRow("other digits are no number") << "١٢" << qint64(0);
        QTest::newRow("beyond 16 bits") << "99999999999" << qint64(99999999999);
        QTest::newRow("beyond 64 bits") << "123456789012345678901234567890" << largest;
        QTest::newRow("below 64 bits") << "-99999999999999999999" << -largest;
    }
    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(qint64, number);
        QCOMPARE(typednumber::leadingNumber(text), number);
    }
};

QTEST_GUILESS_MAIN(TestTypedNumber)
#include "tst_typednumber.moc"
