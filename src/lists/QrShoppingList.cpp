#include "lists/QrShoppingList.h"

#include "lists/QrEncoder.h"

#include <QFontMetricsF>
#include <QPainter>
#include <bit>
#include <cmath>

namespace qrlist {

namespace {

constexpr int QuietZone = 4;

int utf8Bytes(const QString& text)
{
    return int(text.toUtf8().size());
}

// Index into text after the longest start that fits maxBytes, never inside a surrogate pair; at least one
// whole character so that the cutting always advances.
qsizetype fittingEnd(const QString& text, int maxBytes)
{
    qsizetype end = 0;
    int bytes = 0;
    while (end < text.size()) {
        const bool pair = text[end].isHighSurrogate() && end + 1 < text.size() && text[end + 1].isLowSurrogate();
        const qsizetype width = pair ? 2 : 1;
        const int size = utf8Bytes(text.mid(end, width));
        if (bytes + size > maxBytes)
            break;
        bytes += size;
        end += width;
    }
    if (end == 0)
        end = (text[0].isHighSurrogate() && text.size() > 1 && text[1].isLowSurrogate()) ? 2 : 1;
    return end;
}

QStringList cutLine(QString text, int maxBytes)
{
    static const QString separator = QStringLiteral(", ");
    QStringList pieces;
    while (utf8Bytes(text) > maxBytes) {
        qsizetype end = fittingEnd(text, maxBytes);
        const qsizetype comma = text.lastIndexOf(separator, end - separator.size());
        if (comma > 0)
            end = comma + separator.size();
        pieces << text.left(end);
        text = text.mid(end);
    }
    pieces << text;
    return pieces;
}

} // namespace

QString volumeText(quint64 missing, int startVolume)
{
    QStringList parts;
    for (int c = 1; c <= 64; ++c) {
        if (!((missing >> (c - 1)) & 1))
            continue;
        int last = c;
        while (last < 64 && ((missing >> last) & 1))
            ++last;
        if (last - c >= 2) {
            parts << QStringLiteral("%1-%2").arg(c + startVolume).arg(last + startVolume);
        } else {
            for (int v = c; v <= last; ++v)
                parts << QString::number(v + startVolume);
        }
        c = last;
    }
    return parts.join(QStringLiteral(", "));
}

QString line(const Missing& entry)
{
    return entry.title + QChar(0x3000) + volumeText(entry.missing, entry.startVolume) + QStringLiteral("巻");
}

QStringList lines(const QList<Missing>& entries)
{
    QStringList result;
    result.reserve(entries.size());
    for (const Missing& entry : entries)
        result << line(entry);
    return result;
}

QList<QStringList> split(const QStringList& lines, int maxBytes)
{
    QList<QStringList> codes;
    QStringList current;
    int bytes = 0;
    const auto close = [&] {
        if (!current.isEmpty())
            codes << current;
        current.clear();
        bytes = 0;
    };
    for (const QString& text : lines) {
        const int size = utf8Bytes(text);
        if (size > maxBytes) {
            close();
            for (const QString& piece : cutLine(text, maxBytes))
                codes << QStringList{piece};
            continue;
        }
        const int joined = current.isEmpty() ? size : bytes + 1 + size;
        if (joined > maxBytes) {
            close();
            current << text;
            bytes = size;
        } else {
            current << text;
            bytes = joined;
        }
    }
    close();
    return codes;
}

QString codeText(const QStringList& codeLines)
{
    return codeLines.join(QLatin1Char('\n'));
}

QImage encode(const QByteArray& utf8)
{
    const std::optional<qrencoder::Matrix> code = qrencoder::encode(utf8);
    if (!code)
        return {};
    const int side = code->size + 2 * QuietZone;
    QImage image(side, side, QImage::Format_Grayscale8);
    image.fill(255);
    for (int y = 0; y < code->size; ++y) {
        uchar* row = image.scanLine(y + QuietZone) + QuietZone;
        for (int w = 0; w < code->wordsPerRow; ++w) {
            for (std::uint64_t bits = code->rows[size_t(y) * code->wordsPerRow + w]; bits; bits &= bits - 1)
                row[64 * w + std::countr_zero(bits)] = 0;
        }
    }
    return image;
}

QString pageText(int index, int count)
{
    return QStringLiteral("%1 / %2").arg(index + 1).arg(count);
}

bool paintCodePages(QPainter& painter, const QRect& page, qreal dpiX, const QList<QStringList>& codes,
                    const std::function<bool()>& newPage)
{
    const QFont baseFont = painter.font();
    const qreal gap = dpiX / 4;
    for (qsizetype i = 0; i < codes.size(); ++i) {
        if (i > 0 && !newPage())
            return false;
        const QImage code = encode(codeText(codes[i]).toUtf8());
        if (code.isNull())
            return false;
        painter.setFont(baseFont);
        const QFontMetricsF headMetrics(baseFont, painter.device());
        painter.drawText(QPointF(page.left(), page.top() + headMetrics.ascent()),
                         QStringLiteral("未収集の巻　") + pageText(int(i), int(codes.size())));

        // Whole device pixels per module keep the modules square and sharp.
        const qreal top = page.top() + headMetrics.lineSpacing() * 1.5;
        const int module = qMax(1, int(std::min(2.5 * dpiX, page.width() / 2.0) / code.width()));
        const QRect codeRect(page.left(), int(top), code.width() * module, code.height() * module);
        painter.drawImage(codeRect, code);

        // The lines beside the code, smaller when they are too tall or too wide for what is left of the page.
        const qreal left = codeRect.right() + gap;
        const qreal width = page.right() - left;
        const qreal height = page.bottom() - top;
        QFont font = baseFont;
        QFontMetricsF metrics(font, painter.device());
        qreal widest = 1;
        for (const QString& text : codes[i])
            widest = std::max(widest, metrics.horizontalAdvance(text));
        const qreal scale = std::min({1.0, width / widest, height / (metrics.lineSpacing() * codes[i].size())});
        if (scale < 1.0 && font.pointSizeF() > 0) {
            font.setPointSizeF(std::max(4.0, font.pointSizeF() * scale));
            painter.setFont(font);
            metrics = QFontMetricsF(font, painter.device());
        }
        qreal y = top + metrics.ascent();
        for (const QString& text : codes[i]) {
            painter.drawText(QPointF(left, y), text);
            y += metrics.lineSpacing();
        }
    }
    painter.setFont(baseFont);
    return true;
}

} // namespace qrlist
