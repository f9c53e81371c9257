#include "store/RecordOrder.h"

#include <QHash>
#include <vector>

namespace recordorder {

Result reorder(const QList<Row>& rows, const TitleTable& titles)
{
    const int count = titles.count();
    std::vector<bool> taken(size_t(count) + 1, false);
    std::vector<int> picked(size_t(rows.size()), 0);
    bool allPicked = true;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const Row& row = rows[r];
        if (titles.isValidIndex(row.record) && !taken[size_t(row.record)] && titles.at(row.record).title == row.title) {
            picked[size_t(r)] = row.record;
            taken[size_t(row.record)] = true;
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
        for (qsizetype r = 0; r < rows.size(); ++r) {
            if (picked[size_t(r)] != 0)
                continue;
            const auto found = free.find(rows[r].title);
            if (found == free.end() || found->isEmpty())
                continue;
            picked[size_t(r)] = found->takeLast();
            taken[size_t(picked[size_t(r)])] = true;
        }
    }

    Result result;
    result.from.reserve(count);
    result.rowRecords.reserve(rows.size());
    for (const int i : picked) {
        if (i == 0) {
            result.oneToOne = false;
            result.rowRecords.append(0);
            continue;
        }
        result.from.append(i);
        result.rowRecords.append(int(result.from.size()));
    }
    for (int i = 1; i <= count; ++i) {
        if (!taken[size_t(i)]) {
            result.oneToOne = false;
            result.from.append(i);
        }
    }
    return result;
}

} // namespace recordorder
