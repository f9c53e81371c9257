#pragma once

#include "Timing.h"

#include <QString>

class SyntheticCollection;

// The memory the window holds, measured in a process of its own so that nothing the benchmark itself made
// counts: resident after start-up and a quiet second (resident_after_startup_mib), after every screen was
// opened once (resident_all_screens_mib), and the most the process held (resident_peak_mib). The lines carry
// MiB where the others carry milliseconds, and have no floor.
timing::Results measureResident(const SyntheticCollection& collection);

// The option that makes the benchmark that probe process, and what the probe does: starts the window in
// folder, opens each screen and prints its figures on standard output. Returns the exit code.
inline const QString ResidentProbeOption = QStringLiteral("resident-probe");
int runResidentProbe(const QString& folder);
