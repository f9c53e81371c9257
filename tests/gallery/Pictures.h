#pragma once

// Solid-colour pictures for the gallery and import tests: a picture is told apart by the colour it draws.
#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QLabel>

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

} // namespace pictures
