#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

// The program's order of names: Japanese collation, with the settings QCollator gives a ja_JP collator, so that
// lists sorted here and lists a QCollator sorts agree. Values the collation finds equal still get one fixed
// order, by their code units.
namespace collation {

// Negative, zero or positive as a comes before, with or after b.
int compare(QStringView a, QStringView b);

// values' positions in compare() order, equal values by position.
std::vector<qsizetype> sortedPositions(const QStringList& values);

// The same for several lists at once. Every value's collation key is computed once, the lists' keys on all
// cores together, and the lists are sorted side by side: tens of thousands of names take milliseconds.
std::vector<std::vector<qsizetype>> sortedPositionsOfEach(const std::vector<const QStringList*>& lists);

} // namespace collation
