#pragma once

#include "store/DataFiles.h"

#include <QList>
#include <QString>

// A run of volumes typed on the main page ("1-12, 15") applied to the volumes the page shows.
namespace quickvolumes {

struct Plan {
    QString problem;      // empty when every listed volume is shown on the page; else why nothing may change
    QList<int> entries;   // the entries (1 to 50) whose state the list changes, ascending
    VolumeStates after{}; // the states with those entries set
    bool ok() const { return problem.isEmpty(); }
};

// shown holds the number on each shown label by entry: shown[k] is the caption of entry k, 0 for a hidden one.
// Every listed number must be on a shown label, or the plan changes nothing and names what could not be used.
// missing sets the listed volumes missing, else collected.
Plan plan(const QString& text, const std::array<int, 51>& shown, const VolumeStates& states, bool missing);

} // namespace quickvolumes
