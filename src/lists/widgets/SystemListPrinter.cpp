#include "lists/widgets/SystemListPrinter.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

QString SystemListPrinter::print(const QList<listprint::Line>& lines)
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
    const bool ok =
        listprint::paintLines(painter, page, printer.logicalDpiX(), lines, [&] { return printer.newPage(); });
    // Ending the painter ends the job and hands it to the printer.
    painter.end();
    if (!ok)
        return QStringLiteral("プリンタ「%1」で次のページを始められませんでした。").arg(info.printerName());
    return {};
}
