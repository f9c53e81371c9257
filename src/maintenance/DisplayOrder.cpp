#include "maintenance/DisplayOrder.h"

#include <QHash>
#include <vector>

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

Reorder reorder(const QList<Entry>& entries, const TitleTable& titles)
{
    const int count = titles.count();
    std::vector<bool> taken(size_t(count) + 1, false);
    std::vector<int> picked(size_t(entries.size()), 0);
    bool allPicked = true;
    for (qsizetype e = 0; e < entries.size(); ++e) {
        const Entry& entry = entries[e];
        if (titles.isValidIndex(entry.record) && !taken[size_t(entry.record)] &&
            titles.at(entry.record).title == entry.title) {
            picked[size_t(e)] = entry.record;
            taken[size_t(entry.record)] = true;
        } else {
            allPicked = false;
        }
    }

    if (!allPicked) {
        // Records not taken yet, by title, each list in reverse table order so that the first is at the back.
        QHash<QString, QList<int>> free;
        for (int i = count; i >= 1; --i)
            if (!taken[size_t(i)])
                free[titles.at(i).title].append(i);
        for (qsizetype e = 0; e < entries.size(); ++e) {
            if (picked[size_t(e)] != 0)
                continue;
            const auto found = free.find(entries[e].title);
            if (found == free.end() || found->isEmpty())
                continue;
            picked[size_t(e)] = found->takeLast();
            taken[size_t(picked[size_t(e)])] = true;
        }
    }

    Reorder result;
    result.table.reserve(count);
    for (const int i : picked) {
        if (i == 0)
            result.oneToOne = false;
        else
            result.table.append(titles.at(i));
    }
    for (int i = 1; i <= count; ++i) {
        if (!taken[size_t(i)]) {
            result.oneToOne = false;
            result.table.append(titles.at(i));
        }
    }
    return result;
}

} // namespace displayorder
