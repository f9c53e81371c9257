#include "store/VolumeList.h"

#include <algorithm>
#include <utility>

namespace volumelist {

namespace {

bool isSeparator(QChar c)
{
    return c == u',' || c == u'、' || c == u'，' || c == u' ' || c == u'\u3000' || c == u'\t';
}

bool isDash(QChar c)
{
    return c == u'-' || c == u'‐' || c == u'ー' || c == u'～' || c == u'〜' || c == u'~' || c == u'－';
}

int digitValue(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'０' && c <= u'９')
        return c.unicode() - u'０';
    return -1;
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\u3000' || c == u'\t';
}

} // namespace

Parsed parse(const QString& text, int first, int last)
{
    first = std::max(first, 1);
    last = std::min(last, Largest);
    Parsed parsed;
    const qsizetype n = text.size();
    qsizetype pos = 0;
    // The item being read, from its first character to the next separator, for the message.
    const auto itemAt = [&](qsizetype start) {
        qsizetype end = start;
        while (end < n && !(isSeparator(text[end]) && !isBlank(text[end])))
            ++end;
        return text.mid(start, end - start).trimmed();
    };
    const auto readNumber = [&](int* value) {
        const qsizetype start = pos;
        qint64 v = 0;
        while (pos < n && digitValue(text[pos]) >= 0) {
            v = v * 10 + digitValue(text[pos]);
            if (v > Largest)
                v = Largest + 1;
            ++pos;
        }
        *value = int(v);
        return pos > start;
    };
    const auto skipBlanks = [&] {
        while (pos < n && isBlank(text[pos]))
            ++pos;
    };
    QList<std::pair<int, int>> ranges;
    while (pos < n) {
        if (isSeparator(text[pos])) {
            ++pos;
            continue;
        }
        const qsizetype start = pos;
        const auto fail = [&](const QString& why) {
            parsed.problem = QStringLiteral("「%1」%2").arg(itemAt(start), why);
            return parsed;
        };
        int low = 0;
        if (!readNumber(&low))
            return fail(QStringLiteral("は巻の番号として読めません。"));
        int high = low;
        const qsizetype afterFirst = pos;
        skipBlanks();
        if (pos < n && isDash(text[pos])) {
            ++pos;
            skipBlanks();
            if (!readNumber(&high))
                return fail(QStringLiteral("は範囲として読めません（終わりの巻がありません）。"));
        } else {
            pos = afterFirst;
        }
        if (pos < n && !isSeparator(text[pos]))
            return fail(QStringLiteral("は巻の番号として読めません。"));
        if (high < low)
            return fail(QStringLiteral("は範囲の始めが終わりより大きくなっています。"));
        if (low < first || high > last) {
            parsed.outOfRange = itemAt(start);
            return fail(first > last ? QStringLiteral("の巻はありません。")
                                     : QStringLiteral("の巻は%1から%2までで書いて下さい。").arg(first).arg(last));
        }
        ranges.append({low, high});
    }
    // Every range lies within first..last, so the merged list is never longer than that span.
    std::sort(ranges.begin(), ranges.end());
    int next = first; // the smallest number not yet listed
    for (const auto& [low, high] : std::as_const(ranges)) {
        for (int v = std::max(low, next); v <= high; ++v)
            parsed.numbers.append(v);
        next = std::max(next, high + 1);
    }
    return parsed;
}

QString format(QList<int> numbers)
{
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    QString text;
    for (qsizetype i = 0; i < numbers.size();) {
        qsizetype j = i;
        while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1)
            ++j;
        if (!text.isEmpty())
            text += u'、';
        text += QString::number(numbers[i]);
        if (j - i >= 2) {
            text += u'～' + QString::number(numbers[j]);
            i = j + 1;
        } else {
            ++i;
        }
    }
    return text;
}

} // namespace volumelist
