#include "store/PictureFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>

#include <cmath>

namespace picturefile {

namespace {

constexpr qint64 LimitBytes = qint64(DecodeLimitMiB) * 1024 * 1024;

// The memory a decode to size takes in the format the reader will produce (4 bytes a pixel when it cannot
// tell; 16-bit PNG takes 8).
qint64 bytesFor(QSize size, QImage::Format format)
{
    const int bits = format == QImage::Format_Invalid ? 32 : qMax(1, int(QImage::toPixelFormat(format).bitsPerPixel()));
    return qint64(size.width()) * size.height() * ((bits + 7) / 8);
}

// The memory a decode of picture to target takes. A format that can decode at a smaller size does so: JPEG at
// 1/2, 1/4 or 1/8 of the whole, then shrinks the rest of the way, so it may hold up to twice the target's width
// and height. Any other format is decoded whole, then resized.
qint64 decodeBytes(QSize picture, QSize target, QImage::Format format, bool scales)
{
    const qint64 whole = bytesFor(picture, format);
    if (scales && target.width() < picture.width() && target.height() < picture.height())
        return qMin(4 * bytesFor(target, format), whole);
    return whole + (target == picture ? 0 : bytesFor(target, format));
}

// The picture whole, or, when that takes more than the budget, the largest size with its proportions that a
// decoder able to decode at a smaller size can produce within it.
QSize withinBudget(QSize picture, QImage::Format format)
{
    const qint64 bytes = bytesFor(picture, format);
    if (bytes <= LimitBytes)
        return picture;
    const double factor = std::sqrt(double(LimitBytes) / double(4 * bytes));
    return QSize(qMax(1, int(picture.width() * factor)), qMax(1, int(picture.height() * factor)));
}

Picture decode(QImageReader& reader, QSize box, bool enlarge)
{
    // Process-wide in Qt; every picture the program reads goes through here or is far smaller. Set once, before
    // the first decode, since covers are decoded on several threads at a time.
    static const bool limited = [] {
        QImageReader::setAllocationLimit(DecodeLimitMiB);
        return true;
    }();
    Q_UNUSED(limited);
    reader.setDecideFormatFromContent(true);

    Picture result;
    const QSize original = reader.size();
    if (!reader.canRead())
        return result;
    result.fullSize = original;
    if (original.isValid()) {
        const QImage::Format format = reader.imageFormat();
        const bool scales = reader.supportsOption(QImageIOHandler::ScaledSize);
        const QSize target = box.isValid() ? fitted(original, box, enlarge)
                             : scales      ? withinBudget(original, format)
                                           : original;
        if (decodeBytes(original, target, format, scales) > LimitBytes) {
            result.status = Picture::TooLarge;
            return result;
        }
        if (target != original)
            reader.setScaledSize(target);
    }
    QImage image = reader.read();
    if (image.isNull())
        return result;
    // A format that cannot tell its size before decoding is fitted afterwards.
    if (!original.isValid() && box.isValid()) {
        const QSize late = fitted(image.size(), box, enlarge);
        if (late != image.size())
            image = image.scaled(late, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    result.status = Picture::Decoded;
    result.image = std::move(image);
    return result;
}

} // namespace

QSize fitted(QSize picture, QSize box, bool enlarge)
{
    if (picture.isEmpty() || box.isEmpty())
        return {};
    if (!enlarge && picture.width() <= box.width() && picture.height() <= box.height())
        return picture;
    QSize size = picture.scaled(box, Qt::KeepAspectRatio);
    return size.expandedTo(QSize(1, 1));
}

Picture read(const QString& path, QSize box, bool enlarge)
{
    if (!QFileInfo(path).isFile()) {
        Picture missing;
        missing.status = Picture::Missing;
        return missing;
    }
    QImageReader reader(path);
    return decode(reader, box, enlarge);
}

Picture readData(const QByteArray& data, QSize box, bool enlarge)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return decode(reader, box, enlarge);
}

QString problem(const Picture& picture, const QString& name)
{
    switch (picture.status) {
    case Picture::Decoded:
        return {};
    case Picture::Missing:
        return QStringLiteral("「%1」が見つかりません。").arg(name);
    case Picture::TooLarge:
        return QStringLiteral("「%1」は大きすぎて使えません（幅 %2 × 高さ %3 ピクセル）。\n"
                              "画像ソフトで縮小してから使ってください。")
            .arg(name)
            .arg(picture.fullSize.width())
            .arg(picture.fullSize.height());
    case Picture::NotPicture:
        break;
    }
    return QStringLiteral("「%1」を画像として読み込めませんでした。\n"
                          "画像ではないか、壊れているファイルです。")
        .arg(name);
}

} // namespace picturefile
