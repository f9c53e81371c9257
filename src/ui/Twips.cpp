#include "ui/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace twips {

static qreal dpi()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal value = screen ? screen->logicalDotsPerInch() : 96.0;
    return value > 0 ? value : 96.0;
}

int toPixels(int twips)
{
    return int(std::lround(twips * dpi() / 1440.0));
}

QRect rect(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

QFont uiFont(qreal pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("IPAexGothic"), QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP")});
    font.setPointSizeF(pointSize);
    return font;
}

QFont volumeFont(qreal pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"), QStringLiteral("Tinos"),
                      QStringLiteral("DejaVu Serif")});
    font.setPointSizeF(pointSize);
    return font;
}

} // namespace twips
