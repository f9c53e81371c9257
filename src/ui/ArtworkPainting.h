#pragma once

#include <QColor>
#include <QPen>
#include <QPixmap>

// What the drawings of the faces and of the button pictograms share.
namespace artwork::painting {

inline QPen roundPen(const QColor& color, qreal width)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

inline QPixmap transparentPixmap(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

} // namespace artwork::painting
