#include "maintenance/SpreadsheetCells.h"

#include <QDate>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace spreadsheetcells {

namespace {

QString halfWidthDigits(QString text)
{
    for (QChar& c : text)
        if (c >= u'０' && c <= u'９')
            c = QChar(u'0' + (c.unicode() - u'０'));
    return text.trimmed();
}

// Where the digits of "yyyy/MM/dd" stand.
constexpr qsizetype ExportedDateDigits[] = {0, 1, 2, 3, 5, 6, 8, 9};

bool isItemSeparator(QChar c)
{
    return c == u',' || c == u'、' || c == u'，' || c == u' ' || c == u'\u3000' || c == u'\t';
}

} // namespace

qint64 number(const QString& cell)
{
    const QString text = halfWidthDigits(cell);
    if (text.isEmpty() || text.size() > 9)
        return -1;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return -1;
    return text.toLongLong();
}

QString storedDate(const QString& cell)
{
    // Most cells hold a date as the export writes it, "yyyy/MM/dd" in ASCII digits: such a cell is read as it is,
    // without a match or a split, and kept as it is when it names a day.
    const auto digit = [&cell](qsizetype i) { return cell[i] >= u'0' && cell[i] <= u'9'; };
    if (cell.size() == 10 && cell[4] == u'/' && cell[7] == u'/' &&
        std::all_of(std::begin(ExportedDateDigits), std::end(ExportedDateDigits), digit)) {
        const auto value = [&cell](qsizetype from, qsizetype count) {
            int v = 0;
            for (qsizetype i = from; i < from + count; ++i)
                v = v * 10 + (cell[i].unicode() - u'0');
            return v;
        };
        const int year = value(0, 4);
        return year >= 1000 && QDate(year, value(5, 2), value(8, 2)).isValid() ? cell : QString();
    }
    static const QRegularExpression withTime(QStringLiteral("^(\\S+)\\s+\\d{1,2}:\\d{2}(:\\d{2})?$"));
    QString written = cell.trimmed();
    if (const QRegularExpressionMatch m = withTime.match(written); m.hasMatch())
        written = m.captured(1);
    QString text = halfWidthDigits(written);
    for (QChar& c : text)
        if (c == u'-' || c == u'.' || c == u'年' || c == u'月' || c == u'／' || c == u'－' || c == u'．')
            c = u'/';
    if (text.endsWith(u'日'))
        text.chop(1);
    const QStringList parts = text.split(u'/');
    if (parts.size() != 3)
        return {};
    int values[3];
    for (int i = 0; i < 3; ++i) {
        const qint64 v = number(parts[i]);
        if (v < 0 || parts[i] != parts[i].trimmed())
            return {};
        values[i] = int(v);
    }
    const QDate date(values[0], values[1], values[2]);
    if (!date.isValid() || values[0] < 1000)
        return {};
    if (text == written)
        return written;
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}

QString rating(const QString& cell)
{
    if (cell == QStringLiteral("◯") || cell == QStringLiteral("〇"))
        return QStringLiteral("○");
    return cell;
}

QString formatOtherStates(const OtherStates& states)
{
    QStringList items;
    for (const auto& [volume, state] : states)
        items << QStringLiteral("%1(%2)").arg(volume).arg(state);
    return items.join(u'、');
}

ParsedStates parseOtherStates(const QString& cell, int first, int last)
{
    static const QRegularExpression item(QStringLiteral("^(\\d+)[(（](-?\\d+)[)）]$"));
    ParsedStates parsed;
    const QString text = halfWidthDigits(cell);
    qsizetype pos = 0;
    while (pos < text.size()) {
        if (isItemSeparator(text[pos])) {
            ++pos;
            continue;
        }
        qsizetype end = pos;
        while (end < text.size() && !isItemSeparator(text[end]))
            ++end;
        const QString written = text.mid(pos, end - pos);
        pos = end;
        const QRegularExpressionMatch m = item.match(written);
        bool volumeOk = false;
        bool stateOk = false;
        const int volume = m.hasMatch() ? m.captured(1).toInt(&volumeOk) : 0;
        const int state = m.hasMatch() ? m.captured(2).toInt(&stateOk) : 0;
        if (!volumeOk || !stateOk || state < -32768 || state > 32767) {
            parsed.problem = QStringLiteral("「%1」は「巻(状態)」として読めません（例：7(2)）。").arg(written);
            return parsed;
        }
        if (volume < first || volume > last) {
            parsed.problem =
                QStringLiteral("「%1」の巻は%2から%3までで書いて下さい。").arg(written).arg(first).arg(last);
            return parsed;
        }
        parsed.states.append({volume, qint16(state)});
    }
    return parsed;
}

} // namespace spreadsheetcells
