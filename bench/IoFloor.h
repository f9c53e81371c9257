#pragma once

#include <QString>
#include <QStringList>

// The least any code can spend on the disk for a step: the plain reads of the same files, with no decoding.
namespace iofloor {

// Opens each file of folder and reads it whole with QFile::readAll; milliseconds for all of them.
double readFilesMs(const QString& folder, const QStringList& names);

// Lists the names in folder, unsorted and unfiltered; milliseconds.
double listFolderMs(const QString& folder);

} // namespace iofloor
