#pragma once

#include "store/TitleTable.h"

#include <QString>

// The made-up content of a synthetic collection. Every function is pure: record i is the same in every run,
// so timings of different runs and sizes compare like with like.
namespace synthetic {

// n written with the full-width digits ０ to ９.
QString fullWidthNumber(int n);

// Record i (1-based). Titles, authors and magazines are all distinct, so the author and magazine lists are as
// long as the table: the worst case for sorting them.
TitleRecord record(int index);

// The collection file line of a record: quoted strings, bare integers, CR LF.
QString collectionLine(const TitleRecord& record);

// Five records of ten volume states, one of them missing per record.
QString volumeFileText(int index);

// A short memo of a few lines, CR LF throughout.
QString memoText(int index);

} // namespace synthetic
