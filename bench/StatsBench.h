#pragma once

#include "Timing.h"

class SyntheticCollection;

// stats_open first.
using StatsResults = timing::Results;

// The statistics screen in the main window over the collection's folder, each opening its first, in a freshly
// started window, timed up to its repaint: after the status list has been filled once (the counts made from its
// rows in memory), and from a cold start (every volume file read first, against reading them plainly).
StatsResults measureStatistics(const SyntheticCollection& collection, int runs);
