#pragma once

#include "store/TitleTable.h"

#include <QString>

namespace listrow {

// The record a row of the sort grid or of the search results stands for: the record it was filled from while
// that still carries the row's title (so that each of two records with one title keeps its own row), else the
// first record of that title (the table was reordered since), else 0.
inline int recordOf(const TitleTable& titles, const QString& title, int record)
{
    if (titles.isValidIndex(record) && titles.at(record).title == title)
        return record;
    return titles.indexOfTitle(title);
}

} // namespace listrow
