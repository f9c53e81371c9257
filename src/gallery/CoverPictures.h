#pragma once

#include <QImage>
#include <QSize>
#include <QString>

class CollectionStore;

// Reading cover pictures at the size they are shown (see store/PictureFile.h): a scanned cover is often
// thousands of pixels high while its slot is a little over a hundred.
namespace covers {

// The picture in the file at path, fitted into box and decoded at that size; null when the file is missing,
// unreadable, not a picture or too large to decode. The content decides the format, not the name's extension.
QImage readFitted(const QString& path, QSize box, bool enlarge);

// The gallery's picture of a title: of title.jpg, title.gif and title.bmp (names matched without regard to
// letter case), the last that decodes, fitted into box; null when none does. There is no placeholder
// picture here: a title without a cover shows only its name. A name that is one of the program's own files
// is never taken for a cover.
QImage galleryCover(const CollectionStore& store, const QString& title, QSize box);

} // namespace covers
