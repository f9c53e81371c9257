#pragma once

#include "rankings/RankingModel.h"
#include "store/TitleTable.h"

#include <QList>
#include <QStringList>

// The data rows each ranking grid is filled with, in fill order (the order of the lists they come from); the
// grid's sort then orders and numbers them.
namespace rankrows {

// One row per name: the name, its works and its volumes.
QList<RankingModel::Row> names(const QStringList& names, const TitleTable& table, QString TitleRecord::*field);
// One row per first-issue month entry, shown as "yyyy年mm月", with its count.
QList<RankingModel::Row> months(const QStringList& months, const TitleTable& table);
// One row per first-issue year entry ("yyyy年"), with its count.
QList<RankingModel::Row> years(const QStringList& years, const TitleTable& table);
// The eight volume ranges with their counts, ranges without a record included.
QList<RankingModel::Row> volumeRanges(const TitleTable& table);

} // namespace rankrows
