#pragma once

#include "Timing.h"

#include <QList>
#include <QString>

class SyntheticCollection;

// page_change first.
struct PageResults : timing::Results {
    int pages = 0;
    int coverPages = 0;
};

// Starts one main window in the collection's folder and moves the page scroll bar to pages pages drawn from
// a fixed seed, a quarter of them among the titles with covers. Each change is timed on its own against the
// plain reading of that page's volume file, cover and memo.
PageResults measurePageChanges(const SyntheticCollection& collection, int pages);
