#pragma once

#include "Timing.h"

#include <QList>
#include <QString>

class SyntheticCollection;

struct UndoResults : timing::Results {};

// The main window over the collection's folder: a title with a cover and a memo deleted (untimed), then
// actUndo: the record back at its place, its volume file, memo and cover written back, the title table
// reloaded, its page shown and repainted (against reading the collection file and writing the same bytes and
// the title's files atomically). The folder is left as it was found.
UndoResults measureUndo(const SyntheticCollection& collection, int runs);
