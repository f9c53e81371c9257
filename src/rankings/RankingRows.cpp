#include "rankings/RankingRows.h"

#include "rankings/RankingCounts.h"

namespace rankrows {

QList<RankingModel::Row> names(const QStringList& names, const TitleTable& table, QString TitleRecord::*field)
{
    const QList<ranking::NameCount> counts = ranking::countNames(names, table, field);
    QList<RankingModel::Row> rows;
    rows.reserve(counts.size());
    for (const ranking::NameCount& count : counts)
        rows.append({QString(), count.name, {count.works, count.volumes}});
    return rows;
}

QList<RankingModel::Row> months(const QStringList& months, const TitleTable& table)
{
    const QList<qint64> counts = ranking::countFirstIssueMonths(months, table);
    QList<RankingModel::Row> rows;
    rows.reserve(months.size());
    for (qsizetype k = 0; k < months.size(); ++k)
        rows.append({QString(), ranking::monthLabel(months[k]), {counts[k], 0}});
    return rows;
}

QList<RankingModel::Row> years(const QStringList& years, const TitleTable& table)
{
    const QList<qint64> counts = ranking::countFirstIssueYears(years, table);
    QList<RankingModel::Row> rows;
    rows.reserve(years.size());
    for (qsizetype k = 0; k < years.size(); ++k)
        rows.append({QString(), years[k], {counts[k], 0}});
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
