#pragma once

#include "store/TitleRules.h"
#include "store/TitleTable.h"

#include <QDate>
#include <QList>
#include <QString>

// Checks on what the user types before it can become a title, a name or a memo, and the records an add makes.
namespace titleinput {

// The checks on a title, the name and the memo live with the store; they keep their names here for the
// screens that ask for text.
using titlerules::fileCollisionIndex;
using titlerules::fileNameProblem;
using titlerules::hasRefusedCharacter;
using titlerules::RefusedCharacterMessage;
using titlerules::storableProblem;

// The largest count an add accepts: split suffixes must stay within the 16-bit range.
inline constexpr int MaxCount = 32750;

// "(1_50)", "(51_100)", ... for record k (1-based) of a split series.
QString splitSuffix(int k);

// The records an add of count volumes (1..MaxCount) makes: one record when count <= 50, else
// ceil(count / 50) records of 50 volumes (the last holding the rest) titled title + splitSuffix(k), with
// start volumes 0, 50, 100, ...; author and magazine "未登録", rating "未", both dates today.
QList<TitleRecord> newRecords(const QString& title, int count, const QDate& today);

} // namespace titleinput
