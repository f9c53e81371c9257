#pragma once

#include <QString>

// The user's own data folder, used instead of the current folder when the program is started with
// --user-folder (as the desktop menu entry does).
namespace userfolder {

// The folder: the application data location of the platform (~/.local/share/tanamiru on Linux).
QString location();

// Makes folder the current folder. A folder without a collection file (missing, empty, or holding only other
// files) is first filled with the files of sampleFolder that it lacks, without the sample's help file (the
// installed one is shown and stays current with the program); files already there are kept. Each file is
// copied under a staging name and renamed into place, and the collection file comes last, so a folder is
// taken as made only once it is complete: a first start that is interrupted is finished by the next one.
// Without a sampleFolder such a folder is left as it is and not entered, since an empty collection made in it
// would keep the sample out for good.
// Returns an empty string, or a Japanese message saying what failed.
QString enter(const QString& folder, const QString& sampleFolder);

// What a program started without --user-folder tells first when folder, where it works, holds no collection
// file and is not the user's data folder userFolder: that it starts an empty collection there, and how to reach
// the collection of the menu's entry. Empty when there is nothing to tell.
QString startNotice(const QString& folder, const QString& userFolder);

} // namespace userfolder
