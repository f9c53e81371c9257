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

// Every name the field holds in the table as it is now, once, in ascending text order (textLessThan), with the
// records whose field equals it exactly (whole text, letter case and width included). "" and "未登録" are no
// names. A series split into several records counts once per record. The table is read afresh at every call:
// names the main page's lists have not caught up with count as well, and names no record holds any more
// are left out. sortedHint, names in textLessThan order (the main page's list), only spares sorting the names
// it holds: whatever it holds or lacks, the result is the same.
QList<NameCount> countNames(const TitleTable& table, QString TitleRecord::*field, const QStringList& sortedHint = {});

// The eight volume ranges, keyed by the number of a record's last volume (StartVolume + VolumeCount).
inline constexpr int RangeRows = 8;
// Row 1..8: the range's label as the grid shows it (" 01巻" .. " 51巻以上"), and the rank text the fill writes.
QString rangeLabel(int row);
QString rangeRankText(int row);
// The row (1..8) a volume key falls in; the last row takes every key the first seven do not.
int rangeRowOf(int volumeKey);
// Records per range row; entry row - 1 belongs to row.
std::array<qint64, RangeRows> countVolumeRanges(const TitleTable& table);

// The month and the year a first issue is counted under. A first issue that begins with a four-digit year and a
// month of 1 to 12, separated by "/", "-" or "." ("2005/3/1", "2005/03/01", "2005-03"), is counted under
// "yyyy/MM" ("2005/03") and "yyyy年", so that dates written in other forms by other tools share one row;
// any other non-empty text under its first seven characters and its first four followed by "年".
QString issueMonthKey(const QString& firstIssue);
QString issueYearKey(const QString& firstIssue);

// One row of the first-issue grid: a month key ("2005/03") or a year ("2005年"), and its records.
struct PeriodCount {
    QString key;
    qint64 count = 0;
};
// Every month (year) key of the table's first issues, once, in order of first appearance, with the records
// counted under it. Records without a first issue count nowhere.
QList<PeriodCount> countFirstIssueMonths(const TitleTable& table);
QList<PeriodCount> countFirstIssueYears(const TitleTable& table);
// A month entry as the grid shows it: "2005/03" is "2005年03月"; an entry that is no year and month is shown as
// it stands.
QString monthLabel(const QString& month);

} // namespace ranking
