#pragma once

#include "store/TitleTable.h"

#include <QList>
#include <QString>
#include <functional>

class AppState;
class CollectionStore;

// Saving the title table. Every edit changes the table in memory, rewrites the collection file at once, and
// puts the table back as it was when the file could not be written, so that memory never claims what the disk
// does not hold.
namespace edits {

// Rewrites the collection file from the table and marks the sort screen stale. Returns the error, or empty.
QString WriteCollectionFile(AppState& state);

// Changes record index through apply and saves; on failure the record is restored. Returns the error, or empty.
QString changeRecord(AppState& state, int index, const std::function<void(TitleRecord&)>& apply);

// Writes the new records' volume files (all collected), appends the records to the collection file and their
// titles to the favourite ranking file. When a volume file or the collection file cannot be written, every
// file written so far is put back and the error returned: no record is left in the collection file without its
// volume file. A ranking file that cannot be written is reported in rankingError; the records stay added.
struct AddResult {
    QString error;
    QString rankingError;
};
AddResult addRecords(CollectionStore& store, const QList<TitleRecord>& records);

// Rewrites the collection file without record index, then deletes the record's volume file (every letter case),
// cover pictures and memo, unless another record of the same name still uses them. When the rewrite fails nothing is
// deleted and the error is returned. The table in memory is not changed: the caller reloads it.
QString deleteRecord(AppState& state, int index);

} // namespace edits
