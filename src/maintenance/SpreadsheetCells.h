#pragma once

#include <QList>
#include <QString>
#include <utility>

// The cells of the spreadsheet exchange that are more than text: numbers, dates, ratings and the volumes whose
// state is neither collected nor missing.
namespace spreadsheetcells {

// A whole non-negative number (half- or full-width digits, blanks around), or -1.
qint64 number(const QString& cell);

// The date a cell holds as the collection file stores it, or an empty string when it is not a date. A date
// written y/m/d with half-width digits is kept exactly as written (2015/4/1 stays 2015/4/1); one written with
// - . 年月日 or full-width digits becomes yyyy/MM/dd. A time after the date (2015/4/10 0:00, as spreadsheets
// save a date) is dropped.
QString storedDate(const QString& cell);

// The rating a cell holds: a character that only looks like one of the ratings (◯ U+25EF or 〇 U+3007 for ○)
// becomes that rating, so that it is never stored as another value.
QString rating(const QString& cell);

// Volumes in another state than collected (0) or missing (1): "7(2)、60(-1)", each the number its label shows
// and the value its volume file holds, separated as volume lists are. A spreadsheet keeps this as text.
using OtherStates = QList<std::pair<int, qint16>>;
QString formatOtherStates(const OtherStates& states);
struct ParsedStates {
    OtherStates states; // in the order written
    QString problem;    // empty when the whole cell was read; else why not, in Japanese
};
// Numbers outside first..last are refused at once.
ParsedStates parseOtherStates(const QString& cell, int first, int last);

} // namespace spreadsheetcells
