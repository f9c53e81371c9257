#pragma once

#include <QImage>
#include <QSize>
#include <QString>

class CollectionStore;

// Reading cover pictures at the size they are shown. A scanned cover is often 2,000 pixels high while its
// place on the screen is a little over a hundred: decoding it at full size and shrinking it afterwards would
// cost tens of times the work, so the decoder is asked for the shown size (JPEG decodes at 1/2, 1/4 or 1/8
// scale directly).
namespace covers {

// The largest size with picture's proportions that fits in box; a smaller picture is enlarged only when
// enlarge is set. Never less than 1 × 1 for a valid picture.
QSize fitted(QSize picture, QSize box, bool enlarge);

// The picture in the file at path, fitted into box and decoded at that size; null when the file is missing,
// unreadable or not a picture. The content decides the format, not the name's extension.
QImage readFitted(const QString& path, QSize box, bool enlarge);

// The gallery's picture of a title: of title.jpg, title.gif and title.bmp (names matched without regard to
// letter case), the last that decodes, fitted into box; null when none does. There is no placeholder
// picture here: a title without a cover shows only its name. A name that is one of the program's own files
// is never taken for a cover.
QImage galleryCover(const CollectionStore& store, const QString& title, QSize box);

} // namespace covers
