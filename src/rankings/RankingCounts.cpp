#include "rankings/RankingCounts.h"

#include "store/SelectionLists.h"

#include <QDate>
#include <QHash>
#include <QRegularExpression>

namespace ranking {

namespace {

const QString Year = QStringLiteral("年");

struct Range {
    int last; // highest volume key of the range
    const char16_t* label;
};
// Every label begins with a blank; the two-digit volume numbers make their text order the volume order.
constexpr std::array<Range, RangeRows> Ranges = {{
    {1, u" 01巻"},
    {5, u" 02巻～05巻"},
    {10, u" 06巻～10巻"},
    {20, u" 11巻～20巻"},
    {30, u" 21巻～30巻"},
    {40, u" 31巻～40巻"},
    {50, u" 41巻～50巻"},
    {0, u" 51巻以上"},
}};

const QString NotEntered = QStringLiteral("未登録");

// Counts every record that has a first issue under the key keyOf gives it; keys in order of first appearance.
template <typename KeyOf> QList<PeriodCount> countPeriods(const TitleTable& table, KeyOf keyOf)
{
    QList<PeriodCount> rows;
    QHash<QString, qsizetype> rowOf;
    for (const TitleRecord& record : table.records()) {
        if (record.firstIssue.isEmpty())
            continue;
        const QString key = keyOf(record.firstIssue);
        const auto found = rowOf.constFind(key);
        if (found != rowOf.constEnd()) {
            ++rows[*found].count;
            continue;
        }
        rowOf.insert(key, rows.size());
        rows.append({key, 1});
    }
    return rows;
}

// The year and month a first issue begins with: four digits, a separator, one or two digits of a month, then
// the same separator again or the end. 0 and 0 when it does not.
struct YearMonth {
    int year = 0;
    int month = 0;
};
YearMonth readYearMonth(const QString& firstIssue)
{
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{4})([/.-])([0-9]{1,2})(?:\\2|$)"));
    const QRegularExpressionMatch match = pattern.match(QStringView(firstIssue).trimmed());
    if (!match.hasMatch())
        return {};
    const int month = match.capturedView(3).toInt();
    if (month < 1 || month > 12)
        return {};
    return {match.capturedView(1).toInt(), month};
}

} // namespace

QList<NameCount> countNames(const TitleTable& table, QString TitleRecord::*field)
{
    struct Totals {
        qint64 works = 0;
        qint64 volumes = 0;
    };
    QHash<QString, Totals> byName;
    for (const TitleRecord& record : table.records()) {
        const QString& name = record.*field;
        if (name.isEmpty() || name == NotEntered)
            continue;
        Totals& totals = byName[name];
        ++totals.works;
        totals.volumes += record.volumeCount;
    }

    QStringList names = byName.keys();
    sortText(names);
    QList<NameCount> counts;
    counts.reserve(names.size());
    for (const QString& name : names) {
        const Totals totals = byName.value(name);
        counts.append({name, totals.works, totals.volumes});
    }
    return counts;
}

QString rangeLabel(int row)
{
    return row >= 1 && row <= RangeRows ? QString::fromUtf16(Ranges[size_t(row - 1)].label) : QString();
}

QString rangeRankText(int row)
{
    return QLatin1Char(' ') + QString::number(row);
}

int rangeRowOf(int volumeKey)
{
    if (volumeKey < 1)
        return RangeRows;
    for (int row = 1; row < RangeRows; ++row)
        if (volumeKey <= Ranges[size_t(row - 1)].last)
            return row;
    return RangeRows;
}

std::array<qint64, RangeRows> countVolumeRanges(const TitleTable& table)
{
    std::array<qint64, RangeRows> counts{};
    for (const TitleRecord& record : table.records())
        ++counts[size_t(rangeRowOf(int(record.startVolume) + int(record.volumeCount)) - 1)];
    return counts;
}

QString issueMonthKey(const QString& firstIssue)
{
    const YearMonth read = readYearMonth(firstIssue);
    if (read.month == 0)
        return firstIssue.left(7);
    return QStringLiteral("%1/%2").arg(read.year, 4, 10, QLatin1Char('0')).arg(read.month, 2, 10, QLatin1Char('0'));
}

QString issueYearKey(const QString& firstIssue)
{
    const YearMonth read = readYearMonth(firstIssue);
    return (read.month == 0 ? firstIssue.left(4) : QString::number(read.year)) + Year;
}

QList<PeriodCount> countFirstIssueMonths(const TitleTable& table)
{
    return countPeriods(table, issueMonthKey);
}

QList<PeriodCount> countFirstIssueYears(const TitleTable& table)
{
    return countPeriods(table, issueYearKey);
}

QString monthLabel(const QString& month)
{
    // Seven characters of a first issue: "2005/03", or "2005/3/" when the month was written with one digit.
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{4})/([0-9]{1,2})/?$"));
    const QRegularExpressionMatch match = pattern.match(month);
    if (!match.hasMatch())
        return month;
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), 1);
    if (!date.isValid() || date.year() < 100)
        return month;
    // "MM", not "mm": in a Qt date format "mm" would be minutes.
    return date.toString(QStringLiteral("yyyy年MM月"));
}

} // namespace ranking
