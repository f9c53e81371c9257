#include "rankings/RankingCounts.h"

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

// The count of every entry, looked up by its key: equal entries get equal counts, entries no record has get 0.
QList<qint64> countsOf(const QStringList& entries, const QHash<QString, qint64>& byKey)
{
    QList<qint64> counts;
    counts.reserve(entries.size());
    for (const QString& entry : entries)
        counts.append(byKey.value(entry, 0));
    return counts;
}

} // namespace

QList<NameCount> countNames(const QStringList& names, const TitleTable& table, QString TitleRecord::*field)
{
    struct Totals {
        qint64 works = 0;
        qint64 volumes = 0;
    };
    QHash<QString, Totals> byName;
    byName.reserve(names.size());
    for (const QString& name : names)
        byName.insert(name, {});
    for (const TitleRecord& record : table.records()) {
        const auto found = byName.find(record.*field);
        if (found == byName.end())
            continue;
        ++found->works;
        found->volumes += record.volumeCount;
    }

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

QList<qint64> countFirstIssueMonths(const QStringList& months, const TitleTable& table)
{
    QHash<QString, qint64> byMonth;
    for (const TitleRecord& record : table.records())
        if (!record.firstIssue.isEmpty())
            ++byMonth[record.firstIssue.left(7)];
    // An entry is compared by its first seven characters, as a record's first issue is.
    QStringList keys;
    keys.reserve(months.size());
    for (const QString& month : months)
        keys.append(month.left(7));
    return countsOf(keys, byMonth);
}

QList<qint64> countFirstIssueYears(const QStringList& years, const TitleTable& table)
{
    QHash<QString, qint64> byYear;
    for (const TitleRecord& record : table.records())
        if (!record.firstIssue.isEmpty())
            ++byYear[record.firstIssue.left(4) + Year];
    return countsOf(years, byYear);
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
