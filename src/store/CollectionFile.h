#pragma once

#include "store/TitleTable.h"

#include <QByteArray>
#include <QString>

// The collection file's text: one record of eight fields per line.
namespace collection {

struct Parsed {
    TitleTable table; // every whole record read before any problem
    // Empty when the whole file was read; else a Japanese description naming the line and what was wrong.
    QString problem;
    int problemLine = 0;
    bool ok() const { return problem.isEmpty(); }
};

// Decodes code page 932 and reads records until the end. A short last record, a count that is not a 16-bit
// number, bytes that are not code page 932, or more than TitleTable::MaxTitles records are problems.
Parsed parse(const QByteArray& bytes);

// The record line of one title, CR LF included, as text.
QString formatLine(const TitleRecord& record);
// The whole file's text for records 1 to count, in table order.
QString format(const TitleTable& table);

} // namespace collection
