#pragma once

#include "Timing.h"

#include <QList>
#include <QString>

class SyntheticCollection;

struct BackupResults : timing::Results {}; // backup_take, restore, backup_disk_twenty_mib

// With covers for the first 1,000 titles: taking a backup generation after a few titles changed (every file of
// the titles read and hashed, the new bytes packed, the list written, pruning to the newest 20), and restoring
// the newest generation after a few titles changed again (the present state taken first, every file proved by
// its hash and compared, the differing ones replaced). Then, in MiB, the backup folder holding twenty
// generations that differ in a few titles each, beside the data folder. The backup folder and the extra covers
// are removed afterwards, untimed.
BackupResults measureBackups(const SyntheticCollection& collection, int runs);
