#pragma once

#include <QString>

class CollectionStore;
class TitleTable;

// Starting afresh on an empty collection.
namespace collectionreset {

// Empties the collection file and the favourite ranking file (both left in place with length zero), then
// deletes every file of every title of titles: its volume file, memo and three cover pictures, in every
// letter-case spelling, but never one of the program's own files ("NOPIC.JPG", the settings file, ...) and never
// anything outside the working folder. Files of titles not in titles are kept.
// Returns an empty string, or the message naming the file that could not be emptied, or the store's lock
// refusal while the collection is locked; then no file was deleted and both files hold what they held before.
QString clear(CollectionStore& store, const TitleTable& titles);

} // namespace collectionreset
