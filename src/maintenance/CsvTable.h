#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Tables as spreadsheets save them: one row per line, cells quoted when they hold a separator, a quote or a line
// break, a quote inside a quoted cell doubled.
namespace csvtable {

// UTF-8 with a byte-order mark, comma-separated, CR LF after every row.
QByteArray write(const QList<QStringList>& rows);

struct Row {
    QStringList cells;
    int line = 0; // 1-based line of the file on which the row begins
};

struct Read {
    QList<Row> rows; // blank lines are left out
    QString problem; // empty when the whole file was read
};

// Text of a file saved by a spreadsheet or an editor: UTF-8 with or without a byte-order mark, else code page 932.
QString decode(const QByteArray& bytes);

// Rows of text; the separator is a tab when the first line holds a tab and no comma outside quotes, else a
// comma. A quoted cell runs to its closing quote across line breaks (kept as they are in the file); a quote
// left open at the end of the file is a problem.
Read read(const QString& text);

} // namespace csvtable
