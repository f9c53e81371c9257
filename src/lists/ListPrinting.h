#pragma once

#include "lists/Exports.h"

#include <QList>
#include <QString>
#include <functional>

class QPainter;
class QRect;

// The printed list of missing volumes: the date on top, an empty line, then per title its name at the left edge
// of the printable area and its "残巻" parts starting 2,500 twips from that edge, a second part on a line of
// its own. The printer's own font and page are used as they are.
namespace listprint {

// Distance of the parts column from the left edge of the printable area, in twips (1/1440 inch).
inline constexpr int PartsColumnTwips = 2500;

struct Line {
    QString left;
    QString right; // starts PartsColumnTwips from the left edge
};

QList<Line> shoppingLines(const QDate& date, const QList<exports::TitleMissing>& titles);

// Paints lines from the top of page (the printable area in device pixels, dpiX pixels per inch across),
// one line spacing of the painter's font apart; newPage is called when the next line would not fit and
// returns false when the device could not start a page. False when a page could not be started.
bool paintLines(QPainter& painter, const QRect& page, qreal dpiX, const QList<Line>& lines,
                const std::function<bool()>& newPage);

// Paints a whole job: page is the printable area in device pixels, dpiX the device's pixels per inch across;
// newPage starts the next page and returns false when it could not. False when a page could not be started.
using PagePainter =
    std::function<bool(QPainter& painter, const QRect& page, qreal dpiX, const std::function<bool()>& newPage)>;

} // namespace listprint

// Where the list is printed, so that tests print to a file.
class ListPrinter {
public:
    virtual ~ListPrinter() = default;
    // Prints the lines as one job. Empty on success, else the reason in Japanese.
    virtual QString print(const QList<listprint::Line>& lines) = 0;
    // Prints what paint draws as one job, with the same answer as print.
    virtual QString printPages(const listprint::PagePainter& paint) = 0;
};

// Prints into a PDF file.
class PdfListPrinter final : public ListPrinter {
public:
    explicit PdfListPrinter(QString path) : m_path(std::move(path)) {}
    QString print(const QList<listprint::Line>& lines) override;
    QString printPages(const listprint::PagePainter& paint) override;

private:
    QString m_path;
};
