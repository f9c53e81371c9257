#pragma once

#include "Timing.h"

class SyntheticCollection;

// csv_export first, then csv_import. The export writes the whole collection through the panel's button; the
// import reads that file back through its button into an empty working folder of its own (a fresh one for every
// run, made untimed), answering the question with OK: every row checked, the collection written, every volume
// file and memo written. The import runs at most three times.
timing::Results measureSpreadsheet(const SyntheticCollection& collection, int runs);
