#include "maintenance/CsvTable.h"

#include "store/CollectionFile.h"
#include "store/Cp932.h"

#include <QStringDecoder>
#include <algorithm>

namespace csvtable {

namespace {

// Appends a cell, quoted when it holds a separator, a quote or a line break, or starts or ends with a space;
// one look at each character decides.
void appendCell(QString& text, const QString& cell)
{
    bool needsQuotes = !cell.isEmpty() && (cell.front() == u' ' || cell.back() == u' ');
    bool hasQuote = false;
    for (const QChar c : cell) {
        if (c == u'"')
            hasQuote = true;
        else if (c == u',' || c == u'\r' || c == u'\n')
            needsQuotes = true;
    }
    if (!needsQuotes && !hasQuote) {
        text += cell;
        return;
    }
    text += u'"';
    if (hasQuote)
        text += QString(cell).replace(QLatin1Char('"'), QStringLiteral("\"\""));
    else
        text += cell;
    text += u'"';
}

QChar separatorOf(const QString& text)
{
    bool inQuotes = false;
    bool tab = false;
    for (const QChar c : text) {
        if (c == u'"')
            inQuotes = !inQuotes;
        else if (!inQuotes && (c == u'\r' || c == u'\n'))
            break;
        else if (!inQuotes && c == u',')
            return QLatin1Char(',');
        else if (!inQuotes && c == u'\t')
            tab = true;
    }
    return tab ? QLatin1Char('\t') : QLatin1Char(',');
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\u3000' || c == u'\t';
}

bool startsFormula(QChar c)
{
    return c == u'=' || c == u'+' || c == u'-' || c == u'@' || c == u'\t' || c == u'\r';
}

constexpr QChar Guard = u'\'';

// Past the line end at pos (CR LF, LF, a lone CR, or CRs before a CR LF); pos itself when none is there.
qsizetype pastLineEnd(const QString& text, qsizetype pos)
{
    const qsizetype n = text.size();
    qsizetype end = pos;
    while (end < n && text[end] == u'\r')
        ++end;
    if (end < n && text[end] == u'\n')
        return end + 1;
    // Lone CRs without a following LF: each is a line end of its own.
    return end > pos ? pos + 1 : pos;
}

} // namespace

QString guarded(const QString& cell)
{
    if (!cell.isEmpty() && (startsFormula(cell.front()) || cell.front() == Guard))
        return Guard + cell;
    return cell;
}

QString unguarded(const QString& cell)
{
    if (cell.size() >= 2 && cell[0] == Guard && (startsFormula(cell[1]) || cell[1] == Guard))
        return cell.mid(1);
    return cell;
}

QByteArray write(const QList<QStringList>& rows)
{
    QString text;
    for (const QStringList& row : rows) {
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (i > 0)
                text += QLatin1Char(',');
            appendCell(text, guarded(row[i]));
        }
        text += QLatin1String("\r\n");
    }
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

QString decode(const QByteArray& bytes, QString* problem)
{
    if (problem)
        problem->clear();
    QByteArrayView view(bytes);
    if (view.startsWith("\xFF\xFE") || view.startsWith("\xFE\xFF")) {
        const bool little = view.startsWith("\xFF\xFE");
        QStringDecoder utf16(little ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                             QStringDecoder::Flag::Stateless);
        const QString text = utf16.decode(view.sliced(2));
        if (utf16.hasError() && problem)
            *problem = QStringLiteral("UTF-16 として読めない文字があります。");
        return text;
    }
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(view);
    if (!utf8.hasError())
        return text;
    const cp932::Decoded decoded = cp932::decode(bytes);
    if (!decoded.ok() && problem)
        *problem = QStringLiteral("%1行目: 先頭から%2バイト目が UTF-8 としてもシフトJIS としても読めません。"
                                  "UTF-8 かシフトJIS で保存し直して下さい。")
                       .arg(collection::lineOfOffset(bytes, decoded.badOffset))
                       .arg(decoded.badOffset + 1);
    return decoded.text;
}

Read read(const QString& text)
{
    Read result;
    const QChar separator = separatorOf(text);
    const qsizetype n = text.size();
    qsizetype pos = 0;
    int line = 1;
    while (pos < n) {
        Row row;
        row.line = line;
        QString cell;
        bool rowEnded = false;
        while (!rowEnded) {
            qsizetype quote = pos;
            while (quote < n && isBlank(text[quote]) && text[quote] != separator)
                ++quote;
            if (quote < n && text[quote] == u'"') {
                pos = quote + 1;
                const int openedOn = line;
                // Each run up to the next quote is taken whole, its line breaks counted; a quote doubled (blanks
                // between the two are dropped) stands for one.
                for (;;) {
                    const qsizetype close = text.indexOf(u'"', pos);
                    const qsizetype end = close < 0 ? n : close;
                    for (qsizetype i = pos; i < end; ++i) {
                        const QChar c = text[i];
                        if (c == u'\n' ||
                            (c == u'\r' && (i + 1 >= n || (text[i + 1] != u'\n' && text[i + 1] != u'\r'))))
                            ++line;
                    }
                    if (close < 0) {
                        result.problem =
                            QStringLiteral("%1行目: 「\"」で始まった項目が閉じられていません。").arg(openedOn);
                        return result;
                    }
                    cell += QStringView(text).sliced(pos, end - pos);
                    pos = close + 1;
                    qsizetype next = pos;
                    while (next < n && isBlank(text[next]) && text[next] != separator)
                        ++next;
                    if (next < n && text[next] == u'"') {
                        cell += u'"';
                        pos = next + 1;
                        continue;
                    }
                    break;
                }
            }
            // Unquoted text, or what follows a closing quote, runs to the separator or the line end.
            const qsizetype start = pos;
            while (pos < n && text[pos] != separator && text[pos] != u'\r' && text[pos] != u'\n')
                ++pos;
            if (cell.isEmpty())
                cell = text.mid(start, pos - start);
            else
                cell += QStringView(text).sliced(start, pos - start);
            row.cells.append(std::move(cell));
            cell = QString();
            if (pos < n && text[pos] == separator) {
                ++pos;
                continue;
            }
            rowEnded = true;
            pos = pastLineEnd(text, pos);
            ++line;
        }
        // Spreadsheets save the empty rows below a table as bare separators.
        const bool blank = std::all_of(row.cells.cbegin(), row.cells.cend(),
                                       [](const QString& cell) { return cell.trimmed().isEmpty(); });
        if (!blank)
            result.rows.append(std::move(row));
    }
    return result;
}

} // namespace csvtable
