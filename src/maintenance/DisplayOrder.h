#pragma once

#include "store/TitleTable.h"

#include <QList>
#include <QString>

// The working order of the display-order list: one entry per record, dragged into a new order and then written
// as the collection's order.
namespace displayorder {

// A list entry: the title it shows and the record it stands for, so that two records with one title each keep
// their own entry.
struct Entry {
    QString title;
    int record = 0; // index in the title table at the last fill or rewrite
};

// Entry i - 1 stands for record i.
QList<Entry> fill(const TitleTable& titles);

// The row where an entry pressed on row from and released on row target ends up: directly above the entry it
// was released on. -1 when the drop changes nothing (onto itself, onto the entry just below it, or a row
// outside 0..count - 1).
int landingRow(int from, int target, int count);

// The collection in the order of the entries, every record exactly once.
struct Reorder {
    TitleTable table;
    bool oneToOne = true; // every entry found its record and every record an entry
};
// An entry takes the record it stands for while that record still carries the entry's title; an entry whose
// record has moved takes the first record of its title not taken yet. An entry that finds no record writes
// nothing, and records no entry took follow at the end in table order, so that nothing is lost or doubled.
Reorder reorder(const QList<Entry>& entries, const TitleTable& titles);

} // namespace displayorder
