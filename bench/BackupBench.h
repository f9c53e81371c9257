#pragma once

#include "Timing.h"

#include <QList>
#include <QString>

class SyntheticCollection;

struct BackupResults : timing::Results {}; // backup_take, restore

// Taking a backup generation of the whole collection (hard links, the manifest, pruning), and restoring the
// newest generation (the present state taken first, every file put back, the folder's index rebuilt). The
// backup folder is removed afterwards, untimed.
BackupResults measureBackups(const SyntheticCollection& collection, int runs);
