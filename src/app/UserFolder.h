#pragma once

#include <QString>

// The user's own data folder, used instead of the current folder when the program is started with
// --user-folder (as the desktop menu entry does).
namespace userfolder {

// The folder: the application data location of the platform (~/.local/share/tanamiru on Linux).
QString location();

// Makes folder the current folder. A folder that does not exist yet, or holds nothing at all, is first filled
// with the files of sampleFolder (without its help file: the installed one is shown and stays current with the
// program). The copy is made beside the folder and renamed into place, so an interrupted first start leaves no
// half-filled folder. A missing sampleFolder gives an empty folder, which starts an empty collection.
// Returns an empty string, or a Japanese message saying what failed.
QString enter(const QString& folder, const QString& sampleFolder);

} // namespace userfolder
