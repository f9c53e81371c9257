#include "ui/Artwork.h"
#include "ui/ArtworkPainting.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QRadialGradient>
#include <QRectF>

#include <cmath>

// The rating faces and the help-tour face.
namespace artwork {
namespace {

using painting::roundPen;
using painting::transparentPixmap;

// Faces are drawn on a 100 × 100 canvas; the painter scales to the pixel size.
constexpr qreal FaceCanvas = 100.0;

enum class Mood { Delighted, Smiling, Doubtful, Dozing };

struct FaceColors {
    QColor light;   // highlight of the face
    QColor base;    // face colour
    QColor outline; // rim
    QColor ink;     // eyes, brows and mouth line
    QColor mouth;   // inside of an open mouth
    QColor cheek;   // blush, drawn half transparent; fully transparent for none
};

const FaceColors DelightedColors{QColor(255, 236, 130), QColor(255, 176, 32), QColor(214, 120, 0),
                                 QColor(92, 52, 20),    QColor(150, 40, 40),  QColor(255, 110, 110)};
const FaceColors SmilingColors{QColor(255, 246, 170), QColor(255, 210, 70), QColor(212, 150, 20),
                               QColor(92, 60, 20),    QColor(150, 40, 40),  QColor(255, 140, 120)};
const FaceColors DoubtfulColors{QColor(255, 248, 214), QColor(246, 222, 150), QColor(190, 160, 90),
                                QColor(96, 76, 48),    QColor(150, 40, 40),   QColor(0, 0, 0, 0)};
const FaceColors GreyColors{QColor(236, 236, 236), QColor(188, 188, 188), QColor(130, 130, 130),
                            QColor(96, 96, 96),    QColor(120, 120, 120), QColor(0, 0, 0, 0)};

// Two filled eyes of radii rx, ry; the pen is left as the features' line pen.
void drawEyes(QPainter& p, const FaceColors& c, QPointF left, QPointF right, qreal rx, qreal ry)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c.ink);
    p.drawEllipse(left, rx, ry);
    p.drawEllipse(right, rx, ry);
    p.setBrush(Qt::NoBrush);
    p.setPen(roundPen(c.ink, 5));
}

void drawCheeks(QPainter& p, const FaceColors& c)
{
    if (c.cheek.alpha() == 0)
        return;
    QColor blush = c.cheek;
    blush.setAlpha(110);
    p.setPen(Qt::NoPen);
    p.setBrush(blush);
    p.drawEllipse(QPointF(24, 60), 9, 6);
    p.drawEllipse(QPointF(76, 60), 9, 6);
}

void drawFace(QPainter& p, Mood mood, const FaceColors& c)
{
    p.setRenderHint(QPainter::Antialiasing);

    QRadialGradient shade(QPointF(38, 32), 62);
    shade.setColorAt(0.0, c.light);
    shade.setColorAt(0.75, c.base);
    shade.setColorAt(1.0, c.base.darker(108));
    p.setPen(roundPen(c.outline, 3));
    p.setBrush(shade);
    p.drawEllipse(QPointF(50, 50), 46, 46);

    drawCheeks(p, c);
    p.setBrush(Qt::NoBrush);
    p.setPen(roundPen(c.ink, 5));

    switch (mood) {
    case Mood::Delighted: {
        // Eyes squeezed shut with joy, mouth wide open.
        p.drawArc(QRectF(23, 32, 18, 16), 0, 180 * 16);
        p.drawArc(QRectF(59, 32, 18, 16), 0, 180 * 16);
        QPainterPath mouth;
        mouth.moveTo(26, 57);
        mouth.lineTo(74, 57);
        mouth.arcTo(QRectF(26, 35, 48, 44), 0, -180);
        mouth.closeSubpath();
        p.setPen(roundPen(c.ink, 3.5));
        p.setBrush(c.mouth);
        p.drawPath(mouth);
        p.setClipPath(mouth);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 130, 140));
        p.drawEllipse(QPointF(50, 80), 15, 10);
        p.setClipping(false);
        break;
    }
    case Mood::Smiling:
        drawEyes(p, c, QPointF(35, 40), QPointF(65, 40), 5, 7);
        p.drawArc(QRectF(28, 36, 44, 34), 200 * 16, 140 * 16);
        break;
    case Mood::Doubtful: {
        // One brow raised, eyes glancing aside, a wavering mouth.
        p.drawLine(QPointF(25, 27), QPointF(42, 22));
        p.drawLine(QPointF(58, 30), QPointF(75, 30));
        drawEyes(p, c, QPointF(37, 41), QPointF(69, 41), 5, 6);
        QPainterPath mouth;
        mouth.moveTo(33, 70);
        mouth.cubicTo(42, 62, 50, 76, 58, 68);
        mouth.cubicTo(62, 64, 66, 66, 69, 67);
        p.drawPath(mouth);
        break;
    }
    case Mood::Dozing:
        p.drawArc(QRectF(25, 34, 20, 14), 200 * 16, 140 * 16);
        p.drawArc(QRectF(55, 34, 20, 14), 200 * 16, 140 * 16);
        p.drawArc(QRectF(36, 50, 28, 20), 210 * 16, 120 * 16);
        break;
    }
}

QPixmap facePixmap(Mood mood, const FaceColors& colors, int size)
{
    QPixmap pixmap = transparentPixmap(size);
    QPainter p(&pixmap);
    p.scale(size / FaceCanvas, size / FaceCanvas);
    drawFace(p, mood, colors);
    return pixmap;
}

} // namespace

QPixmap ratingFace(int index, int size)
{
    switch (index) {
    case 0:
        return facePixmap(Mood::Delighted, DelightedColors, size);
    case 1:
        return facePixmap(Mood::Smiling, SmilingColors, size);
    case 2:
        return facePixmap(Mood::Doubtful, DoubtfulColors, size);
    default:
        return QPixmap();
    }
}

QIcon helpTourIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        icon.addPixmap(facePixmap(Mood::Smiling, DelightedColors, size), QIcon::Normal, QIcon::On);
        icon.addPixmap(facePixmap(Mood::Dozing, GreyColors, size), QIcon::Normal, QIcon::Off);
    }
    return icon;
}

} // namespace artwork
