#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

class QImageReader;

// Decoding cover pictures at the size they are used, within one memory budget. A scanned cover is often
// thousands of pixels high while its place on the screen is a little over a hundred: JPEG and PNG are decoded
// at the shown size directly, so their size hardly matters; BMP and GIF can only be decoded whole and then
// shrunk. The content decides the format, never the name's extension (covers are often saved under the wrong
// one).
namespace picturefile {

// The most memory one decode may take, in MiB. Qt's default of 128 MiB refuses any whole decode over about
// 33 million pixels (a 6000 × 6000 picture); 512 MiB lets an 8000 × 12000 BMP (366 MiB) be decoded whole.
// A picture whose decode at the size it is used would need more is too large to be used.
inline constexpr int DecodeLimitMiB = 512;

// The largest size with picture's proportions that fits in box; a smaller picture is enlarged only when
// enlarge is set. Never less than 1 × 1 for a valid picture.
QSize fitted(QSize picture, QSize box, bool enlarge);

struct Picture {
    enum Status { Decoded, Missing, NotPicture, TooLarge };
    Status status = NotPicture;
    QImage image;   // null unless Decoded
    QSize fullSize; // the picture's own size, when the file tells it
};

// The picture in the file at path (or in data), fitted into box and decoded at that size. An invalid box asks
// for the picture whole, or, when it is too large for that and the format decodes at a smaller size, for the
// largest size within the budget.
Picture read(const QString& path, QSize box, bool enlarge);
Picture readData(const QByteArray& data, QSize box, bool enlarge);

// Why a picture named name cannot be used, in Japanese; empty when it was decoded.
QString problem(const Picture& picture, const QString& name);

} // namespace picturefile
