#pragma once

#include "Timing.h"

#include <QString>

class SyntheticCollection;

// rank_open first.
using RankResults = timing::Results;

// The ranking screen over the collection's folder, with every title in the favourite list, each step timed up to
// its repaint: opening the screen (the five rankings counted, filled, sorted and painted), the first sort of the
// author grid by name and by volumes after an opening, a drag in the favourite list as mouse events, and the
// save of the favourite list (against writing the same bytes atomically). The ranking file is put back as it was.
RankResults measureRankings(const SyntheticCollection& collection, int runs);
