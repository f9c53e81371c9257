#include "ui/Artwork.h"
#include "ui/ArtworkPainting.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QPolygonF>
#include <QRadialGradient>
#include <QRectF>
#include <QTransform>

#include <array>
#include <cmath>
namespace artwork {
namespace {

using painting::roundPen;
using painting::transparentPixmap;

// Button pictograms are drawn on a 48 × 48 canvas; the painter scales to the pixel size.
constexpr qreal IconCanvas = 48.0;

void drawHouse(QPainter& p)
{
    p.setPen(roundPen(QColor(110, 70, 40), 2.5));
    p.setBrush(QColor(255, 243, 224));
    p.drawRect(QRectF(11, 22, 26, 21));
    p.setBrush(QColor(150, 95, 50));
    p.drawRect(QRectF(20, 30, 8, 13));
    p.setPen(roundPen(QColor(160, 30, 30), 2.5));
    p.setBrush(QColor(229, 57, 53));
    p.drawPolygon(QPolygonF({QPointF(4, 25), QPointF(24, 6), QPointF(44, 25)}));
}

void drawNewBook(QPainter& p)
{
    p.setPen(roundPen(QColor(20, 60, 130), 2.5));
    p.setBrush(QColor(66, 133, 244));
    p.drawRoundedRect(QRectF(8, 5, 26, 36), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 80, 170));
    p.drawRect(QRectF(9.5, 6.5, 4, 33));
    p.setBrush(QColor(255, 255, 255, 220));
    p.drawRect(QRectF(17, 11, 13, 6));

    p.setPen(roundPen(QColor(27, 110, 40), 2.5));
    p.setBrush(QColor(67, 176, 71));
    p.drawEllipse(QPointF(35, 35), 10, 10);
    p.setPen(roundPen(Qt::white, 3.5));
    p.drawLine(QPointF(35, 29.5), QPointF(35, 40.5));
    p.drawLine(QPointF(29.5, 35), QPointF(40.5, 35));
}

void drawTrash(QPainter& p)
{
    const QColor rim(60, 70, 80);
    p.setPen(roundPen(rim, 2.5));
    p.setBrush(QColor(144, 164, 174));
    p.drawPolygon(QPolygonF({QPointF(12, 15), QPointF(36, 15), QPointF(33, 43), QPointF(15, 43)}));
    p.drawLine(QPointF(19, 20), QPointF(20, 38));
    p.drawLine(QPointF(24, 20), QPointF(24, 38));
    p.drawLine(QPointF(29, 20), QPointF(28, 38));
    p.setBrush(QColor(176, 190, 197));
    p.drawRoundedRect(QRectF(19, 5, 10, 5), 1.5, 1.5);
    p.drawRoundedRect(QRectF(8, 9, 32, 6), 2, 2);
}

void drawGrid(QPainter& p)
{
    // The main page's volume colours: mostly collected, a few missing.
    const QColor collected(192, 255, 192), missing(255, 192, 255);
    constexpr std::array<bool, 9> isMissing{false, false, true, false, false, false, true, false, false};
    for (int i = 0; i < 9; ++i) {
        const bool gap = isMissing[static_cast<std::size_t>(i)];
        p.setPen(roundPen(gap ? QColor(170, 60, 170) : QColor(40, 140, 40), 2));
        p.setBrush(gap ? missing : collected);
        p.drawRoundedRect(QRectF(5 + (i % 3) * 13.5, 5 + (i / 3) * 13.5, 11, 11), 2, 2);
    }
}

void drawPrinter(QPainter& p)
{
    const QColor rim(55, 71, 79);
    p.setPen(roundPen(rim, 2.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(14, 5, 20, 14));
    p.setBrush(QColor(120, 144, 156));
    p.drawRoundedRect(QRectF(5, 17, 38, 17), 3, 3);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(13, 28, 22, 15));
    p.setPen(roundPen(QColor(120, 144, 156), 2));
    p.drawLine(QPointF(17, 33), QPointF(31, 33));
    p.drawLine(QPointF(17, 38), QPointF(27, 38));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(100, 221, 23));
    p.drawEllipse(QPointF(37, 22), 2.2, 2.2);
}

QPolygonF verticalArrow(qreal x, qreal tipY, qreal tailY)
{
    const qreal dir = tailY > tipY ? 1.0 : -1.0;
    const qreal neck = tipY + dir * 12;
    return QPolygonF({QPointF(x, tipY), QPointF(x + 9, neck), QPointF(x + 3.5, neck), QPointF(x + 3.5, tailY),
                      QPointF(x - 3.5, tailY), QPointF(x - 3.5, neck), QPointF(x - 9, neck)});
}

void drawUpDownArrows(QPainter& p)
{
    p.setPen(roundPen(QColor(13, 71, 161), 2));
    p.setBrush(QColor(66, 165, 245));
    p.drawPolygon(verticalArrow(15, 5, 42));
    p.setPen(roundPen(QColor(191, 90, 0), 2));
    p.setBrush(QColor(255, 167, 38));
    p.drawPolygon(verticalArrow(33, 43, 6));
}

void drawMagnifier(QPainter& p)
{
    p.setPen(roundPen(QColor(121, 85, 72), 8));
    p.drawLine(QPointF(30, 30), QPointF(41, 41));
    p.setPen(roundPen(QColor(69, 90, 100), 4.5));
    p.setBrush(QColor(179, 229, 252, 200));
    p.drawEllipse(QPointF(20, 20), 13, 13);
    p.setPen(roundPen(QColor(255, 255, 255, 230), 2.5));
    p.drawArc(QRectF(12, 12, 16, 16), 100 * 16, 70 * 16);
}

void drawPodium(QPainter& p)
{
    p.setPen(roundPen(QColor(90, 70, 40), 2));
    p.setBrush(QColor(189, 189, 189));
    p.drawRect(QRectF(4, 28, 13, 16));
    p.setBrush(QColor(205, 127, 50));
    p.drawRect(QRectF(31, 33, 13, 11));
    p.setBrush(QColor(255, 202, 40));
    p.drawRect(QRectF(17, 21, 14, 23));

    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const qreal radius = i % 2 == 0 ? 8.5 : 3.6;
        const qreal angle = (-90 + i * 36) * 3.14159265358979 / 180.0;
        star << QPointF(24 + radius * std::cos(angle), 11 + radius * std::sin(angle));
    }
    p.setPen(roundPen(QColor(200, 130, 0), 1.5));
    p.setBrush(QColor(255, 213, 79));
    p.drawPolygon(star);
}

void drawPictureFrame(QPainter& p)
{
    const QRectF inside(8, 11, 32, 26);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(187, 222, 251));
    p.drawRect(inside);
    p.setBrush(QColor(255, 214, 0));
    p.drawEllipse(QPointF(32, 18), 4, 4);
    p.setBrush(QColor(76, 175, 80));
    p.drawPolygon(QPolygonF({QPointF(8, 37), QPointF(18, 22), QPointF(26, 32), QPointF(31, 27), QPointF(40, 37)}));
    p.setPen(roundPen(QColor(141, 90, 50), 4.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(inside.adjusted(-2, -2, 2, 2), 2, 2);
}

void drawGear(QPainter& p)
{
    QPainterPath gear;
    gear.addEllipse(QPointF(24, 24), 14, 14);
    for (int i = 0; i < 8; ++i) {
        QPainterPath tooth;
        tooth.addRoundedRect(QRectF(-4.5, -21, 9, 10), 1.5, 1.5);
        QTransform turn;
        turn.translate(24, 24);
        turn.rotate(i * 45.0);
        gear = gear.united(turn.map(tooth));
    }
    QPainterPath hole;
    hole.addEllipse(QPointF(24, 24), 5.5, 5.5);
    gear = gear.subtracted(hole);
    p.setPen(roundPen(QColor(55, 71, 79), 2));
    p.setBrush(QColor(120, 144, 156));
    p.drawPath(gear);
}

void drawQuestion(QPainter& p)
{
    p.setPen(roundPen(QColor(13, 71, 161), 2));
    p.setBrush(QColor(30, 136, 229));
    p.drawEllipse(QPointF(24, 24), 20, 20);
    QPainterPath hook;
    hook.arcMoveTo(QRectF(17, 11, 14, 13), 180);
    hook.arcTo(QRectF(17, 11, 14, 13), 180, -270);
    hook.lineTo(24, 29);
    p.setPen(roundPen(Qt::white, 5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(24, 36.5), 3, 3);
}

void drawExitDoor(QPainter& p)
{
    p.setPen(roundPen(QColor(78, 52, 46), 2.5));
    p.setBrush(QColor(215, 204, 200));
    p.drawRect(QRectF(6, 5, 24, 39));
    p.setBrush(QColor(141, 90, 50));
    p.drawPolygon(QPolygonF({QPointF(6, 5), QPointF(19, 9), QPointF(19, 47), QPointF(6, 44)}));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 213, 79));
    p.drawEllipse(QPointF(16, 27), 1.8, 1.8);

    p.setPen(roundPen(QColor(27, 94, 32), 2));
    p.setBrush(QColor(102, 187, 106));
    p.drawPolygon(QPolygonF({QPointF(45, 26), QPointF(34, 16), QPointF(34, 22), QPointF(23, 22), QPointF(23, 30),
                             QPointF(34, 30), QPointF(34, 36)}));
}

using DrawFunction = void (*)(QPainter&);

struct Pictogram {
    const char* objectName;
    DrawFunction draw;
};

constexpr std::array<Pictogram, 12> Pictograms{{
    {"cmdMain", drawHouse},
    {"cmdNew", drawNewBook},
    {"cmdDel", drawTrash},
    {"cmdList", drawGrid},
    {"cmdHozon", drawPrinter},
    {"cmdIchiran", drawUpDownArrows},
    {"cmdKensaku", drawMagnifier},
    {"cmdRank", drawPodium},
    {"cmdPic", drawPictureFrame},
    {"cmdMaster", drawGear},
    {"cmdHelp", drawQuestion},
    {"cmdEnd", drawExitDoor},
}};

QPixmap pictogramPixmap(DrawFunction draw, int size)
{
    QPixmap pixmap = transparentPixmap(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / IconCanvas, size / IconCanvas);
    draw(p);
    return pixmap;
}
} // namespace

QIcon buttonIcon(const QString& objectName)
{
    for (const Pictogram& pictogram : Pictograms) {
        if (objectName == QLatin1String(pictogram.objectName)) {
            QIcon icon;
            icon.addPixmap(pictogramPixmap(pictogram.draw, 24));
            icon.addPixmap(pictogramPixmap(pictogram.draw, 48));
            return icon;
        }
    }
    return QIcon();
}

} // namespace artwork
