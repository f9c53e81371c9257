#pragma once

#include "store/TitleTable.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

class CollectionStore;

// Taking over the data of the free edition: its data file "データ.txt" (code page 932, the same record syntax as
// the collection file, one record of three fields per line: title, volume count, start offset) and its volume
// files (title + ".txt", the same format as ours) in the folder the user picked.
namespace freeedition {

inline const QString DataFileName = QStringLiteral("データ.txt");

// Absolute path of the data file in folder, found without regard to letter case (the exact spelling first), or
// an empty string when there is none or the folder cannot be read.
QString findDataFile(const QString& folder);

struct Record {
    QString title;
    qint16 volumeCount = 0;
    qint16 startVolume = 0;
};

struct Parsed {
    QList<Record> records; // every record, or none when there is a problem
    // Empty when the whole file is fit to take over; else a Japanese description naming the line and what is
    // wrong with it.
    QString problem;
    int problemLine = 0;
    bool ok() const { return problem.isEmpty(); }
};

// Reads and checks the whole file before anything is changed; the first line with a problem is named. Problems:
// bytes that are not code page 932, a line with fewer or more than three fields, a volume count or start offset
// that is not a 16-bit number or is one no record may hold, more than TitleTable::MaxTitles records, and a title
// refused by any check an added title gets (titlerules), against the file's other titles too: the same title
// twice, or two titles sharing a file.
Parsed parse(const QByteArray& bytes);

// The record a free title becomes: author and magazine "未登録", rating "未", both issue dates the import day as
// "yyyy/mm/dd".
TitleRecord convert(const Record& record, const QDate& importDay);

struct Outcome {
    // Empty when the new collection file was written; else the store's message, and nothing was changed.
    QString error;
    int copied = 0;        // volume files taken over
    int missing = 0;       // titles without a volume file in the free folder (they show as all collected)
    QStringList notCopied; // volume files that exist there but could not be read or written here
};

// Writes the converted collection (atomically, replacing the whole current collection; refused with the store's
// lock reason while the collection is locked), then copies each title's
// volume file from freeFolder over the title's volume file in the working folder, each copy atomic and the bytes
// unchanged. records must come from a parse() without problem.
Outcome importRecords(CollectionStore& store, const QString& freeFolder, const QList<Record>& records,
                      const QDate& importDay);

} // namespace freeedition
