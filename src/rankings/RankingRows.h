#pragma once

#include "rankings/RankingModel.h"
#include "store/TitleTable.h"

#include <QList>
#include <QStringList>

// The data rows each ranking grid is filled with, in fill order, all counted from the title table as it is at
// the call; the grid's sort then orders and numbers them.
namespace rankrows {

// One row per author (magazine) the records hold, in ascending text order: the name, its works and its volumes.
// sortedHint as for ranking::countNames.
QList<RankingModel::Row> names(const TitleTable& table, QString TitleRecord::*field, const QStringList& sortedHint);
// One row per first-issue month, in order of first appearance, shown as "yyyy年mm月", with its count.
QList<RankingModel::Row> months(const TitleTable& table);
// One row per first-issue year ("yyyy年"), in order of first appearance, with its count.
QList<RankingModel::Row> years(const TitleTable& table);
// The eight volume ranges with their counts, ranges without a record included.
QList<RankingModel::Row> volumeRanges(const TitleTable& table);

} // namespace rankrows
