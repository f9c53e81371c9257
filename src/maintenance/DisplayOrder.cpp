#include "maintenance/DisplayOrder.h"

namespace displayorder {

QList<Entry> fill(const TitleTable& titles)
{
    QList<Entry> entries;
    entries.reserve(titles.count());
    for (int i = 1; i <= titles.count(); ++i)
        entries.append({titles.at(i).title, i});
    return entries;
}

int landingRow(int from, int target, int count)
{
    if (from < 0 || from >= count || target < 0 || target >= count)
        return -1;
    if (target == from || target == from + 1)
        return -1;
    // Taking the entry out first moves every entry below it up by one.
    return target > from ? target - 1 : target;
}

} // namespace displayorder
