#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

class CollectionStore;

// Reading cover pictures at the size they are shown (see store/PictureFile.h): a scanned cover is often
// thousands of pixels high while its slot is a little over a hundred.
namespace covers {

// The picture in the file at path, fitted into box and decoded at that size; null when the file is missing,
// unreadable, not a picture or too large to decode. The content decides the format, not the name's extension.
QImage readFitted(const QString& path, QSize box, bool enlarge);

// The files that may hold the gallery's picture of a title, in the order they are tried: of title.jpg, title.gif
// and title.bmp, those present (names matched without regard to letter case, given as spelled on disk). A name
// that is one of the program's own files is never taken for a cover. Looks the names up in the store's index of
// the folder, so it belongs on the thread that owns the store.
QStringList coverFiles(const CollectionStore& store, const QString& title);

// The cover held by files: the last of them that decodes, fitted into box (enlarged to fill it); null when none
// does. Reads the named files and nothing else, so it may run on any thread.
QImage decodeCover(const QStringList& files, QSize box);

// The gallery's picture of a title: decodeCover() of its coverFiles(). There is no placeholder picture here: a
// title without a cover shows only its name.
QImage galleryCover(const CollectionStore& store, const QString& title, QSize box);

} // namespace covers
