#pragma once

#include <QString>

// Where the files installed with the program live: the help file and the sample collection, in the data folder
// beside the installed executable (<prefix>/share/tanamiru for <prefix>/bin/tanamiru). The folder is found from
// the executable's own place, so an installation moved to another prefix still finds them. A program run from
// its build folder has no such folder; the paths then name files that do not exist.
namespace installedfiles {

QString dataFolder();
// The help file shown when the working folder has none.
QString helpFile();
// The sample collection that a new user folder is filled with.
QString sampleFolder();

} // namespace installedfiles
