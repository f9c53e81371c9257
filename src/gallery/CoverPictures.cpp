#include "gallery/CoverPictures.h"

#include "store/CollectionStore.h"

#include <QImageReader>

namespace covers {

QSize fitted(QSize picture, QSize box, bool enlarge)
{
    if (picture.isEmpty() || box.isEmpty())
        return {};
    if (!enlarge && picture.width() <= box.width() && picture.height() <= box.height())
        return picture;
    QSize size = picture.scaled(box, Qt::KeepAspectRatio);
    return size.expandedTo(QSize(1, 1));
}

QImage readFitted(const QString& path, QSize box, bool enlarge)
{
    QImageReader reader(path);
    // Cover files are often saved under the wrong extension; the content decides.
    reader.setDecideFormatFromContent(true);
    const QSize original = reader.size();
    const QSize size = fitted(original, box, enlarge);
    if (size.isValid() && size != original)
        reader.setScaledSize(size);
    QImage image = reader.read();
    // A format that cannot tell its size before decoding is fitted afterwards.
    if (!image.isNull() && !original.isValid()) {
        const QSize late = fitted(image.size(), box, enlarge);
        if (late != image.size())
            image = image.scaled(late, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    return image;
}

QImage galleryCover(const CollectionStore& store, const QString& title, QSize box)
{
    QImage cover;
    for (const QString& suffix : CollectionStore::CoverSuffixes) {
        const QString name = title + suffix;
        if (CollectionStore::isProgramFile(name))
            continue;
        const QString path = store.folder().existingPath(name);
        if (path.isEmpty())
            continue;
        // Each picture that decodes replaces the one before: .bmp wins over .gif, .gif over .jpg.
        if (QImage image = readFitted(path, box, true); !image.isNull())
            cover = std::move(image);
    }
    return cover;
}

} // namespace covers
