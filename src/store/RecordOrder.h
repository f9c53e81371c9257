#pragma once

#include "store/TitleTable.h"

#include <QList>
#include <QString>

// Rows of a list that shows records (the sort grid, the display-order list), mapped back to the records they
// stand for when the list's order becomes the collection's order.
namespace recordorder {

// A row: the title it shows and the record it was filled from, so that two records with one title each keep
// their own row.
struct Row {
    QString title;
    int record = 0; // index in the title table at the last fill or rewrite
};

// The collection in the order of the rows, every record exactly once.
struct Result {
    QList<int> from;       // per record of the new order, its index in the table given
    QList<int> rowRecords; // per row, its index in the new order (from 1), 0 when the row matched no record
    bool oneToOne = true;  // every row matched a record and every record a row
};

// A row takes the record it stands for while that record still carries the row's title; a row whose record has
// moved takes the first record of its title not taken yet. A row that finds no record writes nothing, and
// records no row took follow at the end in table order, so that nothing is lost or written twice.
Result reorder(const QList<Row>& rows, const TitleTable& titles);

} // namespace recordorder
