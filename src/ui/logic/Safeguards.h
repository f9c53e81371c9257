#pragma once

#include "history/Backups.h"

#include <QString>

class AppState;
class Dialogs;

// The safety net around every change of the collection's files.
namespace safeguards {

// Runs before every write and deletion in the data folder: at the day's first change a backup generation is
// taken. One that cannot be taken is told once; the change goes on, its files no less safe than before.
void beforeChange(AppState& state, Dialogs& dialogs);

// Takes a generation before a change that replaces much at once (clearing, the import, a new order). False,
// after telling the user why, when it could not be taken: the change must not go on.
bool backupBefore(AppState& state, Dialogs& dialogs, backup::Reason reason);

// Tells that another running program holds the data folder: always on the standard error, and in a box
// unless the program runs without a display of its own (offscreen).
void tellFolderHeld(Dialogs& dialogs, const QString& message);

// Asks whether to take over a data folder that a program on another computer holds (message says which and
// since when); No is the default. True on Yes.
bool askTakeOver(Dialogs& dialogs, const QString& message);

} // namespace safeguards
