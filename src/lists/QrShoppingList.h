#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class QPainter;
class QRect;

// The missing volumes as text a phone's camera reads from QR codes: one line per record with missing volumes,
// "題名　3, 5-7巻" (an ideographic space between the title and its volumes), in the order given. Volumes are
// the numbers on the labels: the position within the record plus the record's start volume.
namespace qrlist {

// Most bytes of UTF-8 one code carries; far below a code's capacity, so that a phone still reads it at a glance.
inline constexpr int MaxCodeBytes = 1000;

struct Missing {
    QString title;
    int startVolume = 0;
    quint64 missing = 0; // bit c - 1: position c within the record is missing
};

// Ascending volume numbers joined by ", "; a run of three or more consecutive numbers is written as "first-last"
// ("3, 5-7"), a run of two stays as two numbers ("3, 4").
QString volumeText(quint64 missing, int startVolume);
QString line(const Missing& entry);
QStringList lines(const QList<Missing>& entries);

// The lines in the codes' order, packed into as few texts as the order allows, each at most maxBytes of UTF-8
// with its lines joined by LF. A code holds whole lines only; a single line longer than maxBytes is cut into
// pieces that each start a code of their own: after the last ", " that fits (so the piece ends in ", " and reads
// as going on), or, without one, after the last whole character that fits. Joining the pieces gives the line.
QList<QStringList> split(const QStringList& lines, int maxBytes = MaxCodeBytes);
QString codeText(const QStringList& codeLines);

// The QR code of utf8 in byte mode, declared UTF-8 by its ECI header, error correction level M: one pixel per
// module, black on white, with the four-module quiet zone around it. A null image when it cannot be made.
QImage encode(const QByteArray& utf8);

// The codes as printed pages, one code per page: "未収集の巻　1 / 3" on top, the code below it at the left, about
// 2.5 inches wide, and the code's lines beside it in the painter's font, made smaller where the lines would not fit
// the page. newPage starts the next page; false when it could not, or when a code could not be made.
bool paintCodePages(QPainter& painter, const QRect& page, qreal dpiX, const QList<QStringList>& codes,
                    const std::function<bool()>& newPage);

// "1 / 3": which code of how many.
QString pageText(int index, int count);

} // namespace qrlist
