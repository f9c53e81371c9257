#pragma once

// Solid-colour pictures for the gallery and import tests: a picture is told apart by the colour it draws.
#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QLabel>
#include <QtEndian>

namespace pictures {

inline const QColor Red(220, 30, 30);
inline const QColor Blue(30, 40, 220);
inline const QColor Green(30, 200, 60);

inline QByteArray bytes(QColor colour, QSize size = QSize(120, 180), const char* format = "jpg")
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return data;
}

// The centre's colour, invalid for a null image.
inline QColor centre(const QImage& image)
{
    return image.isNull() ? QColor() : image.pixelColor(image.width() / 2, image.height() / 2);
}

inline QColor shown(const QLabel* label)
{
    return centre(label->pixmap().toImage());
}

inline QColor ofFile(const QByteArray& data)
{
    return centre(QImage::fromData(data));
}

// JPEG shifts a solid colour by a few steps; two invalid colours are alike.
inline bool near(QColor a, QColor b)
{
    if (!a.isValid() || !b.isValid())
        return a.isValid() == b.isValid();
    return qAbs(a.red() - b.red()) <= 12 && qAbs(a.green() - b.green()) <= 12 && qAbs(a.blue() - b.blue()) <= 12;
}

// Large pictures, made quickly: a solid colour compresses to almost nothing, so they are written directly
// rather than through Qt's slower PNG and BMP encoders.

// A 24-bit BMP of a solid colour; with headerOnly, just the headers that announce its size.
inline QByteArray bmp(QColor colour, QSize size, bool headerOnly = false)
{
    const qint64 rowBytes = (qint64(size.width()) * 3 + 3) / 4 * 4;
    QByteArray data(54, '\0');
    data[0] = 'B';
    data[1] = 'M';
    qToLittleEndian<quint32>(quint32(54 + rowBytes * size.height()), data.data() + 2);
    qToLittleEndian<quint32>(54, data.data() + 10);
    qToLittleEndian<quint32>(40, data.data() + 14);
    qToLittleEndian<qint32>(size.width(), data.data() + 18);
    qToLittleEndian<qint32>(size.height(), data.data() + 22);
    qToLittleEndian<quint16>(1, data.data() + 26);
    qToLittleEndian<quint16>(24, data.data() + 28);
    if (headerOnly)
        return data;
    QByteArray row(rowBytes, '\0');
    for (int x = 0; x < size.width(); ++x) {
        row[3 * x] = char(colour.blue());
        row[3 * x + 1] = char(colour.green());
        row[3 * x + 2] = char(colour.red());
    }
    data.reserve(data.size() + rowBytes * size.height());
    for (int y = 0; y < size.height(); ++y)
        data += row;
    return data;
}

inline quint32 crc32(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

inline QByteArray pngChunk(const QByteArray& type, const QByteArray& body)
{
    QByteArray chunk(4, '\0');
    qToBigEndian<quint32>(quint32(body.size()), chunk.data());
    chunk += type + body;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(crc32(type + body), crc.data());
    return chunk + crc;
}

// An 8-bit RGB PNG of a solid colour: the first row holds the colour, every other row repeats the one above.
inline QByteArray png(QColor colour, QSize size)
{
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(quint32(size.width()), header.data());
    qToBigEndian<quint32>(quint32(size.height()), header.data() + 4);
    header[8] = 8; // bits per channel
    header[9] = 2; // RGB
    const qsizetype rowBytes = 1 + qsizetype(size.width()) * 3;
    QByteArray raw(rowBytes * size.height(), '\0');
    for (int x = 0; x < size.width(); ++x) {
        raw[1 + 3 * x] = char(colour.red());
        raw[2 + 3 * x] = char(colour.green());
        raw[3 + 3 * x] = char(colour.blue());
    }
    for (int y = 1; y < size.height(); ++y)
        raw[y * rowBytes] = 2;                            // "up" filter: the row above, unchanged
    const QByteArray deflated = qCompress(raw, 1).mid(4); // a zlib stream after Qt's length prefix
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) + pngChunk("IDAT", deflated) +
           pngChunk("IEND", {});
}

// A JPEG of a solid colour at low quality, the way a large scan is kept.
inline QByteArray largeJpeg(QColor colour, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "jpg", 20);
    return data;
}

// A JPEG that announces height rows but holds only its top width × width square, in colour; a decoder fills
// the rows it misses with grey. Tall enough, it takes more memory to decode whole than any budget allows,
// and is still made in a blink.
inline QByteArray tallJpeg(QColor colour, int width, int height)
{
    QByteArray data = largeJpeg(colour, {width, width});
    const qsizetype frame = data.indexOf(QByteArray("\xFF\xC0", 2)); // baseline frame header
    if (frame >= 0)
        qToBigEndian<quint16>(quint16(height), data.data() + frame + 5);
    return data;
}

} // namespace pictures
