#pragma once

#include "Timing.h"

#include <QString>

class SyntheticCollection;

// sort_open first.
using SortSearchResults = timing::Results;

// The sort and search screens of the main window over the collection's folder, each step timed up to its repaint:
// opening either screen with its list stale, the first sort by title, by 巻数 and by 著者 after a fill, "メインに反映"
// (against reading the collection file and writing the same bytes atomically), and a keyword and an author search. The
// collection file ends in another order than it began.
SortSearchResults measureSortSearch(const SyntheticCollection& collection, int runs);
