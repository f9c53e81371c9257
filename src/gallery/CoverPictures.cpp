#include "gallery/CoverPictures.h"

#include "store/CollectionStore.h"
#include "store/PictureFile.h"

namespace covers {

QImage readFitted(const QString& path, QSize box, bool enlarge)
{
    return picturefile::read(path, box, enlarge).image;
}

QStringList coverFiles(const CollectionStore& store, const QString& title)
{
    QStringList files;
    for (const QString& suffix : CollectionStore::CoverSuffixes) {
        if (CollectionStore::isProgramFile(title + suffix))
            continue;
        if (const QString path = store.folder().existingPath(title + suffix); !path.isEmpty())
            files.append(path);
    }
    return files;
}

QImage decodeCover(const QStringList& files, QSize box)
{
    // Each picture that decodes replaces the one before (.bmp wins over .gif, .gif over .jpg), so the first that
    // decodes from the end is the one shown; the others need not be decoded at all.
    for (auto file = files.crbegin(); file != files.crend(); ++file)
        if (QImage image = picturefile::read(*file, box, true).image; !image.isNull())
            return image;
    return {};
}

QImage galleryCover(const CollectionStore& store, const QString& title, QSize box)
{
    return decodeCover(coverFiles(store, title), box);
}

} // namespace covers
