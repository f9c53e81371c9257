#include "lists/widgets/SystemListPrinter.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

QString SystemListPrinter::print(const QList<listprint::Line>& lines)
{
    return printPages([&](QPainter& painter, const QRect& page, qreal dpiX, const std::function<bool()>& newPage) {
        return listprint::paintLines(painter, page, dpiX, lines, newPage);
    });
}

QString SystemListPrinter::printPages(const listprint::PagePainter& paint)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return QStringLiteral("通常使うプリンタが設定されていないため、印刷できませんでした。");
    QPrinter printer(info, QPrinter::HighResolution);
    if (!printer.isValid())
        return QStringLiteral("プリンタ「%1」を使えないため、印刷できませんでした。").arg(info.printerName());
    QPainter painter;
    if (!painter.begin(&printer))
        return QStringLiteral("プリンタ「%1」で印刷を始められませんでした。").arg(info.printerName());
    const QRect page(0, 0, printer.width(), printer.height());
    const bool ok = paint(painter, page, printer.logicalDpiX(), [&] { return printer.newPage(); });
    // Ending the painter ends the job and hands it to the printer.
    painter.end();
    if (!ok)
        return QStringLiteral("プリンタ「%1」で次のページを始められませんでした。").arg(info.printerName());
    return {};
}
