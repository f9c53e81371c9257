#include "gallery/CoverPictures.h"

#include "store/CollectionStore.h"
#include "store/PictureFile.h"

namespace covers {

QImage readFitted(const QString& path, QSize box, bool enlarge)
{
    return picturefile::read(path, box, enlarge).image;
}

QImage galleryCover(const CollectionStore& store, const QString& title, QSize box)
{
    // Each picture that decodes replaces the one before: .bmp wins over .gif, .gif over .jpg.
    return store.readCover(title, box, true);
}

} // namespace covers
