#include "rankings/RankingRows.h"

#include "rankings/RankingCounts.h"

namespace rankrows {

QList<RankingModel::Row> names(const TitleTable& table, QString TitleRecord::*field, const QStringList& sortedHint)
{
    const QList<ranking::NameCount> counts = ranking::countNames(table, field, sortedHint);
    QList<RankingModel::Row> rows;
    rows.reserve(counts.size());
    for (const ranking::NameCount& count : counts)
        rows.append({QString(), count.name, {count.works, count.volumes}});
    return rows;
}

QList<RankingModel::Row> months(const TitleTable& table)
{
    const QList<ranking::PeriodCount> counts = ranking::countFirstIssueMonths(table);
    QList<RankingModel::Row> rows;
    rows.reserve(counts.size());
    for (const ranking::PeriodCount& count : counts)
        rows.append({QString(), ranking::monthLabel(count.key), {count.count, 0}});
    return rows;
}

QList<RankingModel::Row> years(const TitleTable& table)
{
    const QList<ranking::PeriodCount> counts = ranking::countFirstIssueYears(table);
    QList<RankingModel::Row> rows;
    rows.reserve(counts.size());
    for (const ranking::PeriodCount& count : counts)
        rows.append({QString(), count.key, {count.count, 0}});
    return rows;
}

QList<RankingModel::Row> volumeRanges(const TitleTable& table)
{
    const std::array<qint64, ranking::RangeRows> counts = ranking::countVolumeRanges(table);
    QList<RankingModel::Row> rows;
    for (int row = 1; row <= ranking::RangeRows; ++row)
        rows.append({ranking::rangeRankText(row), ranking::rangeLabel(row), {counts[size_t(row - 1)], 0}});
    return rows;
}

} // namespace rankrows
