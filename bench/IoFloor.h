#pragma once

#include <QString>
#include <QStringList>

// The least any code can spend on the disk for a step: the plain reads of the same files, with no decoding.
namespace iofloor {

// Opens each file of folder and reads it whole with QFile::readAll; milliseconds for all of them.
double readFilesMs(const QString& folder, const QStringList& names);

// Lists the names in folder, unsorted and unfiltered; milliseconds.
double listFolderMs(const QString& folder);

// Lists folder (and the folders under it, when recursive) and reads each file whole; milliseconds. Over the
// data folder: the least a backup generation taken before a risky step spends, since it proves every file it
// keeps by a hash of its content.
double readFolderMs(const QString& folder, bool recursive = false);

} // namespace iofloor
