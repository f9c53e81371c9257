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

// Which fields a reading keeps: every one, or only each record's title and counts (the other fields stay empty)
// for a reader that wants the titles alone.
enum class Fields { All, TitlesOnly };

// Decodes code page 932 and reads records until the end. A short last record, a count that is not a 16-bit
// number, bytes that are not code page 932, or more than TitleTable::MaxTitles records are problems.
Parsed parse(const QByteArray& bytes, Fields fields = Fields::All);

// Reads records from decoded text as parse does. The records from the first line start at or after splitAt on
// are read on another core while this one reads those before it; the two join where a record of each begins at
// the same place, and where none does this core reads on alone. parse splits a long file in the middle; every
// split gives what one reader alone gives.
Parsed parseText(QStringView text, qsizetype splitAt);

// Reads a record's volume count and start offset into record; empty, or why one of them is not a 16-bit
// number (naming the field and its text).
QString readCounts(QStringView countField, QStringView startField, TitleRecord& record);

// Empty when a record of volumeCount volumes after startVolume is one the program can show and save: 1 to 50
// volumes (one volume file's worth), a start offset from 0 such that the last volume's number stays a 16-bit
// number; else why not.
QString countsProblem(qint16 volumeCount, qint16 startVolume);

// Line number (1-based) of the byte at offset; CR LF, a lone CR and a lone LF each end a line.
int lineOfOffset(const QByteArray& bytes, qsizetype offset);

// The record line of one title, CR LF included, as text.
QString formatLine(const TitleRecord& record);
// The whole file's text for records 1 to count, in table order.
QString format(const TitleTable& table);
// The lines of these records, one after the other.
QString format(const QList<TitleRecord>& records);

} // namespace collection
