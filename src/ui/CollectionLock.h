#pragma once

#include "store/CollectionStore.h"
#include "ui/Dialogs.h"

// Every command that writes from the title table asks this first, before any question: while the collection is
// locked it says why the command cannot run (refusal, in the command's own words, then the lock reason) in a
// warning box titled title and returns true; nothing has been written.
inline bool refusedWhileLocked(const CollectionStore& store, Dialogs& dialogs, const QString& refusal,
                               const QString& title)
{
    const QString text = store.lockRefusal(refusal);
    if (text.isEmpty())
        return false;
    dialogs.messageBox(text, Dialogs::OkOnly + Dialogs::Exclamation, title);
    return true;
}
