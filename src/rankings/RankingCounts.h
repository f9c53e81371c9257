#pragma once

#include "store/TitleTable.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>

// What the ranking screen counts, all from the title table alone (volume files are never read). Every count is
// made in one pass over the records and kept in 64-bit integers, so that neither the number of names nor the
// size of the collection can slow it down quadratically or make a total wrap round.
namespace ranking {

// One author or magazine with the works (title records) and volumes (their VolumeCount) under that exact name.
struct NameCount {
    QString name;
    qint64 works = 0;
    qint64 volumes = 0;
};

// For every entry of names, in list order: the records whose field equals the entry exactly (whole text,
// letter case and width included). A series split into several records counts once per record.
QList<NameCount> countNames(const QStringList& names, const TitleTable& table, QString TitleRecord::*field);

// The eight volume ranges, keyed by the number of a record's last volume (StartVolume + VolumeCount).
inline constexpr int RangeRows = 8;
// Row 1..8: the range's label as the grid shows it (" 01巻" .. " 51巻以上"), and the rank text the fill writes.
QString rangeLabel(int row);
QString rangeRankText(int row);
// The row (1..8) a volume key falls in; the last row takes every key the first seven do not.
int rangeRowOf(int volumeKey);
// Records per range row; entry row - 1 belongs to row.
std::array<qint64, RangeRows> countVolumeRanges(const TitleTable& table);

// For every entry of months ("yyyy/mm", the first seven characters of a first issue): the records whose first
// issue begins with the same seven characters. Records without a first issue count nowhere.
QList<qint64> countFirstIssueMonths(const QStringList& months, const TitleTable& table);
// For every entry of years ("yyyy年"): the records whose first issue's first four characters and "年" give the
// entry. Records without a first issue count nowhere.
QList<qint64> countFirstIssueYears(const QStringList& years, const TitleTable& table);
// A month entry as the grid shows it: "2005/03" is "2005年03月"; an entry that is no year and month is shown as
// it stands.
QString monthLabel(const QString& month);

} // namespace ranking
