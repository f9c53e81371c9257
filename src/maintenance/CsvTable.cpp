#include "maintenance/CsvTable.h"

#include "store/Cp932.h"

#include <QStringDecoder>

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

} // namespace

QByteArray write(const QList<QStringList>& rows)
{
    QString text;
    for (const QStringList& row : rows) {
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (i > 0)
                text += QLatin1Char(',');
            appendCell(text, row[i]);
        }
        text += QLatin1String("\r\n");
    }
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

QString decode(const QByteArray& bytes)
{
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(view);
    if (!utf8.hasError())
        return text;
    return cp932::decode(bytes).text;
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
            if (pos < n && text[pos] == u'"') {
                const int openedOn = line;
                ++pos;
                for (;;) {
                    if (pos >= n) {
                        result.problem =
                            QStringLiteral("%1行目: 「\"」で始まった項目が閉じられていません。").arg(openedOn);
                        return result;
                    }
                    const QChar c = text[pos++];
                    if (c == u'"') {
                        if (pos < n && text[pos] == u'"') {
                            cell += c;
                            ++pos;
                            continue;
                        }
                        break;
                    }
                    if (c == u'\n' || (c == u'\r' && (pos >= n || text[pos] != u'\n')))
                        ++line;
                    cell += c;
                }
            }
            // Unquoted text, or what follows a closing quote, runs to the separator or the line end.
            while (pos < n && text[pos] != separator && text[pos] != u'\r' && text[pos] != u'\n')
                cell += text[pos++];
            row.cells.append(cell);
            cell.clear();
            if (pos < n && text[pos] == separator) {
                ++pos;
                continue;
            }
            rowEnded = true;
            if (pos < n && text[pos] == u'\r')
                ++pos;
            if (pos < n && text[pos] == u'\n')
                ++pos;
            ++line;
        }
        const bool blank = row.cells.size() == 1 && row.cells.first().trimmed().isEmpty();
        if (!blank)
            result.rows.append(std::move(row));
    }
    return result;
}

} // namespace csvtable
