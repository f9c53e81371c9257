#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Tables as spreadsheets save them: one row per line, cells quoted when they hold a separator, a quote or a line
// break, a quote inside a quoted cell doubled.
namespace csvtable {

// A spreadsheet runs a cell that begins with = + - @, a tab or a CR as a formula. Such a cell, and one that begins
// with the guard itself, is written with a ' in front, which spreadsheets show and save as text; unguarded takes
// exactly that ' off again, so that unguarded(guarded(cell)) == cell for every cell. A ' in front of anything
// else (typed by hand) is left as it is.
QString guarded(const QString& cell);
QString unguarded(const QString& cell);

// UTF-8 with a byte-order mark, comma-separated, CR LF after every row; every cell guarded.
QByteArray write(const QList<QStringList>& rows);

struct Row {
    QStringList cells;
    int line = 0; // 1-based line of the file on which the row begins
};

struct Read {
    QList<Row> rows; // blank lines and rows of nothing but separators and blanks are left out
    QString problem; // empty when the whole file was read
};

// Text of a file saved by a spreadsheet or an editor: UTF-16 with a byte-order mark, UTF-8 with or without one,
// else code page 932. problem (when given) is set to a Japanese sentence naming the first byte that none of them
// can read, and is left empty otherwise.
QString decode(const QByteArray& bytes, QString* problem = nullptr);

// Rows of text; the separator is a tab when the first line holds a tab and no comma outside quotes, else a
// comma. A quoted cell (blanks before its opening quote are dropped) runs to its closing quote across line breaks
// (kept as they are in the file); a quote left open at the end of the file is a problem. CR LF, LF, a lone CR and
// CRs followed by CR LF (a CR LF file saved again in text mode) each end one line.
Read read(const QString& text);

} // namespace csvtable
