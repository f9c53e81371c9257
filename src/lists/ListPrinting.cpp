#include "lists/ListPrinting.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>

namespace listprint {

QList<Line> shoppingLines(const QDate& date, const QList<exports::TitleMissing>& titles)
{
    QList<Line> lines{{exports::dateText(date), {}}, {}};
    for (const exports::TitleMissing& t : titles) {
        const QStringList parts = exports::shoppingParts(t.missing, t.volumeCount, t.startVolume);
        for (qsizetype i = 0; i < parts.size(); ++i)
            lines.append({i == 0 ? t.title : QString(), parts[i]});
    }
    return lines;
}

bool paintLines(QPainter& painter, const QRect& page, qreal dpiX, const QList<Line>& lines,
                const std::function<bool()>& newPage)
{
    const QFontMetrics metrics(painter.font(), painter.device());
    const int lineHeight = qMax(1, metrics.lineSpacing());
    const int partsX = page.left() + int(std::lround(PartsColumnTwips * dpiX / 1440.0));
    int top = page.top();
    for (const Line& line : lines) {
        if (top + lineHeight > page.bottom() + 1 && top > page.top()) {
            if (!newPage())
                return false;
            top = page.top();
        }
        const int baseline = top + metrics.ascent();
        if (!line.left.isEmpty())
            painter.drawText(page.left(), baseline, line.left);
        if (!line.right.isEmpty())
            painter.drawText(partsX, baseline, line.right);
        top += lineHeight;
    }
    return true;
}

} // namespace listprint

QString PdfListPrinter::print(const QList<listprint::Line>& lines)
{
    return printPages([&](QPainter& painter, const QRect& page, qreal dpiX, const std::function<bool()>& newPage) {
        return listprint::paintLines(painter, page, dpiX, lines, newPage);
    });
}

QString PdfListPrinter::printPages(const listprint::PagePainter& paint)
{
    QPdfWriter writer(m_path);
    QPainter painter;
    if (!painter.begin(&writer))
        return QStringLiteral("「%1」に印刷できませんでした。").arg(m_path);
    const QRect page(0, 0, writer.width(), writer.height());
    const bool ok = paint(painter, page, writer.logicalDpiX(), [&] { return writer.newPage(); });
    painter.end();
    return ok ? QString() : QStringLiteral("「%1」の次のページを始められませんでした。").arg(m_path);
}
