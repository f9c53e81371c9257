#pragma once

#include "store/RecordOrder.h"
#include "store/TitleTable.h"

#include <QList>
#include <QString>

// The working order of the display-order list: one entry per record, dragged into a new order and then written
// as the collection's order.
namespace displayorder {

// A list entry: the title it shows and the record it stands for.
using Entry = recordorder::Row;

// Entry i - 1 stands for record i.
QList<Entry> fill(const TitleTable& titles);

// The row where an entry pressed on row from and released on row target ends up: directly above the entry it
// was released on. -1 when the drop changes nothing (onto itself, onto the entry just below it, or a row
// outside 0..count - 1).
int landingRow(int from, int target, int count);

// The collection in the order of the entries, every record exactly once, entries mapped to records as
// recordorder::reorder does.
using Reorder = recordorder::Result;
inline Reorder reorder(const QList<Entry>& entries, const TitleTable& titles)
{
    return recordorder::reorder(entries, titles);
}

} // namespace displayorder
