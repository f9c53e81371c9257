#include "rankings/RankingCounts.h"

#include "store/SelectionLists.h"

#include <QDate>
#include <QHash>
#include <QRegularExpression>
#include <algorithm>

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

// The year and month a first issue begins with: four digits, a separator ("/", "-" or "."), one or two digits of
// a month from 1 to 12, then the same separator again or the end; blanks around the text ignored. Read by hand:
// the first-issue grid reads every record at every opening.
struct YearMonth {
    std::array<char16_t, 4> year{};
    std::array<char16_t, 2> month{};
    bool ok = false;
};
YearMonth readYearMonth(const QString& firstIssue)
{
    const QStringView text = QStringView(firstIssue).trimmed();
    auto isDigit = [&text](qsizetype i) { return i < text.size() && text[i] >= u'0' && text[i] <= u'9'; };
    YearMonth read;
    for (qsizetype i = 0; i < 4; ++i) {
        if (!isDigit(i))
            return read;
        read.year[size_t(i)] = text[i].unicode();
    }
    if (text.size() < 6 || (text[4] != u'/' && text[4] != u'-' && text[4] != u'.'))
        return read;
    const QChar separator = text[4];
    qsizetype end = 5;
    while (end < 7 && isDigit(end))
        ++end;
    if (end == 5 || (end < text.size() && text[end] != separator))
        return read;
    const char16_t tens = end == 7 ? text[5].unicode() : u'0';
    const char16_t units = text[end - 1].unicode();
    const int month = (tens - u'0') * 10 + (units - u'0');
    if (month < 1 || month > 12)
        return read;
    read.month = {tens, units};
    read.ok = true;
    return read;
}

} // namespace

QList<NameCount> countNames(const TitleTable& table, QString TitleRecord::*field, const QStringList& sortedHint)
{
    struct Totals {
        qint64 works = 0;
        qint64 volumes = 0;
        bool listed = false;
    };
    QHash<QString, Totals> byName;
    byName.reserve(std::max(qsizetype(sortedHint.size()), qsizetype(16)));
    for (const TitleRecord& record : table.records()) {
        const QString& name = record.*field;
        if (name.isEmpty() || name == NotEntered)
            continue;
        Totals& totals = byName[name];
        ++totals.works;
        totals.volumes += record.volumeCount;
    }

    // The hint's names keep its order: sorting tens of thousands of names afresh costs more than counting them.
    QList<NameCount> counts;
    counts.reserve(byName.size());
    for (const QString& name : sortedHint) {
        const auto found = byName.find(name);
        if (found == byName.end() || found->listed)
            continue;
        found->listed = true;
        counts.append({name, found->works, found->volumes});
    }
    if (counts.size() == byName.size())
        return counts;

    // Names the hint lacks are sorted and merged in.
    QStringList others;
    for (auto it = byName.cbegin(); it != byName.cend(); ++it)
        if (!it->listed)
            others.append(it.key());
    sortText(others);
    const auto nameLess = [](const QString& name, const NameCount& count) { return textLessThan(name, count.name); };
    QList<NameCount> merged;
    merged.reserve(byName.size());
    auto from = counts.cbegin();
    for (const QString& name : others) {
        const auto at = std::upper_bound(from, counts.cend(), name, nameLess);
        merged.append(from, at);
        const Totals totals = byName.value(name);
        merged.append({name, totals.works, totals.volumes});
        from = at;
    }
    merged.append(from, counts.cend());
    return merged;
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
    if (!read.ok)
        return firstIssue.left(7);
    const std::array<char16_t, 7> key = {read.year[0], read.year[1],  read.year[2], read.year[3],
                                         u'/',         read.month[0], read.month[1]};
    return QString(reinterpret_cast<const QChar*>(key.data()), qsizetype(key.size()));
}

QString issueYearKey(const QString& firstIssue)
{
    const YearMonth read = readYearMonth(firstIssue);
    if (!read.ok)
        return firstIssue.left(4) + Year;
    const std::array<char16_t, 5> key = {read.year[0], read.year[1], read.year[2], read.year[3], u'年'};
    return QString(reinterpret_cast<const QChar*>(key.data()), qsizetype(key.size()));
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
