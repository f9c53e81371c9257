#pragma once

#include "Timing.h"

#include <QString>

class SyntheticCollection;

// maint_open first.
using MaintenanceResults = timing::Results;

// The maintenance panel over the collection's folder, each step up to its repaint: opening it (the list refilled
// from the table), a drag in the list made of plain mouse events, applying the dragged order, clearing the
// collection and importing a free edition folder of as many titles. Clearing and importing change the folder, so
// it is put back as it was (untimed) around and after them; they run at most three times each.
MaintenanceResults measureMaintenance(const SyntheticCollection& collection, int runs);
