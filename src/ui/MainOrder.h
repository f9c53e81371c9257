#pragma once

#include "history/Backups.h"
#include "store/RecordOrder.h"

#include <QString>
#include <functional>

class AppState;
class Dialogs;
class ScreenHost;

// Making a list's order the collection's order, the steps every screen that offers it shares: refused while
// the collection is locked (lockedWords, the screen's own words), asked with question ("メイン並び替え確認"),
// a backup generation taken for backupReason (when it cannot be, nothing else happens), the collection rewritten
// in the order reorder() gives, as one undo step named undoText, and the title table reloaded, under the busy
// pointer.
// written() runs right after the reload with the order and the reload's problem, so the screen can renumber
// its rows before anything is shown. A failed write is reported ("メインの順番は変わっていません") and
// changes nothing; a reload's problem is reported after written(). Returns true when the collection was
// rewritten; the caller then moves the main page and calls reportDone().
namespace mainorder {

bool apply(AppState& state, Dialogs& dialogs, ScreenHost& host, const QString& lockedWords, const QString& question,
           const QString& undoText, backup::Reason backupReason, const std::function<recordorder::Result()>& reorder,
           const std::function<void(const recordorder::Result&, const QString& problem)>& written);

// Marks what the new order leaves stale (the gallery, the status grid) and says the order was taken.
void reportDone(AppState& state, Dialogs& dialogs);

} // namespace mainorder
