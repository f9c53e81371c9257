#pragma once

#include <QFont>
#include <QRect>
#include <QStringList>

// Screen geometry is designed in twips (1/1440 inch), the way the window has always been laid out; these turn
// it into pixels for the screen's logical DPI (15 twips per pixel at 96 dots per inch).
namespace twips {

int toPixels(int twips);
QRect rect(int left, int top, int width, int height);

// The user-interface font: "ＭＳ Ｐゴシック" where it exists, else a metric-alike Japanese gothic.
QFont uiFont(qreal pointSize = 9);
// The volume labels' font: "Times New Roman", else a metric-compatible serif.
QFont volumeFont(qreal pointSize = 12);

} // namespace twips
