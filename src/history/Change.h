#pragma once

#include "store/TextKeys.h"
#include "store/TitleTable.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUndoCommand>
#include <optional>

class CollectionStore;
class DataFolder;

// What every change works on: the files through the store, the title table and the favourites in memory.
struct ChangeData {
    CollectionStore& store;
    TitleTable& titles;
    QStringList& favourites;
};

// What the window shows after a change was undone or redone: the page of the title concerned, with the lists
// marked stale as the change itself marked them.
struct ChangeOutcome {
    enum Stale : unsigned {
        StatusList = 1,
        StatusGrid = 2,
        Uncollected = 4,
        SortList = 8,
        SearchList = 16,
        Gallery = 32,      // the cover gallery refills its kept page
        Everything = 63,   // every list and the gallery's kept page
        GalleryOrder = 64, // the gallery is built afresh from page 1
    };
    int index = 0;       // the main page's title to show; 0 when the collection is empty
    bool reload = false; // records were added or removed: the title table and its lists are read again
    unsigned stale = 0;
    // Where the result is shown: the main page on the title concerned, or the favourite ranking.
    enum class Screen { MainPage, Favourites, StatusList } screen = Screen::MainPage;
};

// What a file held, told apart by its size and a fast 64-bit hash of its bytes; nothing when there was no file.
// A seal notices a change another program made, as the store's fingerprints do: the collection file is sealed
// several times in each undo, and a cryptographic hash took five times as long for no gain against a program
// that is not trying to forge one.
struct FileSeal {
    qsizetype size = 0;
    size_t hash = 0;
    friend bool operator==(const FileSeal&, const FileSeal&) = default;
};
using Seal = std::optional<FileSeal>;

// One kind of change to the collection. A change writes the state after it (forward) or puts back the state
// before it, each atomically: when a write fails, every file and the table in memory are as they were and the
// message is returned. The stack only keeps the order of the steps: ChangeHistory writes before it moves the
// stack, so that a step whose write failed stays where it is.
class Change : public QUndoCommand {
public:
    Change(ChangeData& data, const QString& text) : m_data(data) { setText(text); }

    virtual QString apply(bool forward) = 0;
    virtual ChangeOutcome outcome(bool forward) const = 0;
    // Something the user should know although the change was made (a side file that could not be written).
    virtual QString notice() const { return {}; }
    // The same after the change was undone (a file that could not be put back or deleted).
    virtual QString undoNotice() const { return {}; }
    // The first apply found nothing to change (every volume already held the state asked for): no step is kept.
    virtual bool changedNothing() const { return false; }
    // Bytes of files this step keeps in memory to put them back.
    virtual qsizetype heldBytes() const { return 0; }

    // apply() with every file it wrote sealed as it left them; ChangeHistory calls this, never apply() itself.
    QString applySealed(bool forward);
    // A file this step wrote that no longer holds what the step left there (another program changed it, or
    // the files were replaced), or an empty string. Such a step is never applied again: putting its files back
    // would erase that change. cache keeps each file's seal over one pass through many steps.
    QString changedFile(QHash<QString, Seal>* cache = nullptr) const;
    CollectionStore& store() const { return m_data.store; }

    void undo() final {}
    void redo() final {}

    // "「題名」" as the step texts name a title.
    static QString quoted(const QString& title);
    // Digits as full-width digits: 12 gives "１２".
    static QString fullWidthNumber(int number);

protected:
    // A file the step did not write that has appeared or changed since and that applying the step would delete
    // or overwrite (a file another program made for a deleted title), or an empty string.
    virtual QString changedBeside() const { return {}; }
    // A file the step changes only by adding or taking out its own part, whatever else it holds then (the
    // favourite ranking): a change made there since does not keep the step from being applied.
    void mergesInto(const QString& fileName) { m_merged.insert(fileName.toCaseFolded()); }

    ChangeData& m_data;

private:
    // Folded name -> the spelling written and the seal of its content.
    QHash<TextKey, std::pair<QString, Seal>> m_seals;
    QSet<QString> m_merged;
};

// A file's content before or after a change: its bytes, or nothing when the file did not exist.
using FileBytes = std::optional<QByteArray>;

namespace changefiles {
// Writes bytes to the file atomically, or deletes it when bytes is empty (the file did not exist), through the
// store so that a file another program changed since is never overwritten.
QString putBack(CollectionStore& store, const QString& name, const FileBytes& bytes);
// The message for a record a step can no longer find (the collection file was changed by other means).
QString missingTitle(const QString& title);
// The table without the records of titles that a step appended, each the last record of its title, taken from
// the end; the missingTitle message in *error when one is no longer there.
TitleTable withoutAppended(const TitleTable& table, const QStringList& titles, QString* error);
} // namespace changefiles
