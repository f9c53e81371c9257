#include "ui/logic/TypedNumber.h"

#include <limits>

namespace typednumber {

QString halfWidthDigits(const QString& text)
{
    QString half = text;
    for (QChar& c : half) {
        const char16_t u = c.unicode();
        if (u >= u'０' && u <= u'９')
            c = QChar(char16_t(u'0' + (u - u'０')));
        else if (u == u'＋')
            c = u'+';
        else if (u == u'－' || u == u'\u2212')
            c = u'-';
        else if (u == u'\u3000')
            c = u' ';
    }
    return half;
}

qint64 leadingNumber(const QString& text)
{
    constexpr qint64 Largest = std::numeric_limits<qint64>::max();
    const QString half = halfWidthDigits(text);
    qsizetype i = 0;
    while (i < half.size() && (half[i] == u' ' || half[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < half.size() && (half[i] == u'-' || half[i] == u'+'))
        negative = half[i++] == u'-';
    qint64 value = 0;
    for (; i < half.size() && half[i] >= u'0' && half[i] <= u'9'; ++i) {
        const int digit = half[i].unicode() - u'0';
        if (value > (Largest - digit) / 10) {
            value = Largest;
            break;
        }
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

} // namespace typednumber
