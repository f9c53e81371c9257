#pragma once

#include "history/ChangeHistory.h"
#include "history/Backups.h"
#include "store/CollectionStore.h"
#include "store/DataFiles.h"
#include "store/SelectionLists.h"
#include "store/TitleTable.h"

#include <QString>
#include <QStringList>

// Which list screens must rebuild before they are next shown. Every operation that changes the data sets the
// flags its change makes stale; each screen clears its own flag after rebuilding.
struct StaleFlags {
    bool StatusListStale = true;  // the status list must refill its cells
    bool StatusGridStale = true;  // the status list must rebuild its whole grid
    bool UncollectedStale = true; // the uncollected view must be rebuilt
    bool SortListStale = true;    // the sort screen must reread the title table
    bool SearchListStale = true;  // the search screen must reread the title table

    void setAll() { StatusListStale = StatusGridStale = UncollectedStale = SortListStale = SearchListStale = true; }
};

// The window's shared state, owned by the main window and handed to every screen by reference. The title
// table here is the only copy of the collection in memory.
class AppState final {
public:
    explicit AppState(const QString& folderPath) : store(folderPath), CoverFolder(folderPath) {}

    CollectionStore store;
    // Backup generations of the folder's files; see safeguards::beforeChange for the call every change makes.
    Backups backups{store};
    TitleTable titles;
    SelectionLists lists;
    StaleFlags stale;

    // Volume states of the title on the main page (entry k is the record's k-th volume) and the volume file
    // they belong to. Whoever changes the current title sets VolumeFilePath first.
    VolumeStates VolumeStatus{};
    QString VolumeFilePath;

    // Index of the title last picked on another screen, 0 when none. Not adjusted when titles are deleted or
    // reordered, so it may point past the end.
    qint16 PickedIndex = 0;
    qint16 HelpTourOn = 0;
    bool Loading = false;
    // The cover gallery has been built from the current order; a change of the order clears it, and the next
    // opening builds it from page 1.
    bool GalleryBuilt = false;
    // Titles were added or deleted, or a cover imported, since the gallery was filled: its kept page is refilled
    // when it is next opened.
    bool GalleryStale = false;
    QString CoverFolder;
    QString HelpFile = QStringLiteral("HondexHelp.chm");
    QString TourText;
    QStringList favourites; // the favourite ranking, in file order

    // Every change to the collection is made as a step of history, through changes.
    ChangeData changes{store, titles, favourites};
    ChangeHistory history;
};
