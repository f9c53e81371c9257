#pragma once

#include <QString>
#include <QStringList>

// Listing the files of a folder that a user browses, cheaply enough for a folder of tens of thousands of files:
// the folder is read once, names are matched before anything else is asked of an entry, and no file is opened.
namespace folderfiles {

// The names of the files in folder (no folders, nor links to folders, nor hidden files) that match one of the
// name patterns ("*.jpg") without regard to letter case, in natural order: "2.jpg" before "10.jpg", letter case
// aside. An unreadable or missing folder lists nothing.
QStringList matching(const QString& folder, const QStringList& patterns);

} // namespace folderfiles
