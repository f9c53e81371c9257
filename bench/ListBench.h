#pragma once

#include "Timing.h"

#include <QList>
#include <QString>

class SyntheticCollection;

// list_first_fill first.
struct ListResults : timing::Results {
    int toggles = 0;
};

// The status list in the main window over the collection's folder: the first fill of a freshly started window
// (runs times), toggles of random volumes, the rebuild of the uncollected view and the three exports, each
// against the plain reading and atomic writing of the same files.
ListResults measureLists(const SyntheticCollection& collection, int runs, int toggles);
