#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

// The record syntax shared by the collection, volume, settings and ranking files: comma-separated fields,
// strings in double quotes without escaping, integers as bare decimal digits, CR LF line ends.

// Reads fields one after the other, regardless of line structure, the way the files have always been read:
// leading spaces and tabs are skipped; a field ends at a comma or a line end; a quoted field runs to the next
// double quote on its line (a comma inside belongs to it) and whatever follows the closing quote up to the
// next comma or line end is dropped; an unquoted field loses its trailing spaces and tabs.
class RecordReader final {
public:
    explicit RecordReader(QStringView text);

    // True when nothing but blanks and line ends remains, so no further record begins.
    bool atEnd() const;
    // The next field, or nullopt when atEnd(). A field that ends at a comma is always followed by one more
    // field, empty when only blanks and line ends follow: a last line ending in a comma is whole.
    std::optional<QString> readField();
    // The same field as a view into the text, for a reader that keeps few of the fields it reads.
    std::optional<QStringView> readFieldView();
    // 1-based line on which the field last read began (1 before any read).
    int line() const { return m_fieldLine; }

    // Where the reader stands between two fields. Two readers of one text that stand at the same position,
    // both after a comma or both not, read the same fields from there on; line is not part of that.
    struct Place {
        qsizetype position = 0;
        bool afterComma = false;
        int line = 1;
    };
    Place place() const { return {m_pos, m_afterComma, m_line}; }

private:
    void skipLineEnd();

    QStringView m_text;
    qsizetype m_contentEnd = 0; // just past the last character that is neither blank nor line end
    qsizetype m_pos = 0;
    int m_line = 1;
    int m_fieldLine = 1;
    bool m_afterComma = false; // the field last read ended at a comma
};

// A field read as a 16-bit signed integer: an empty field is 0; a decimal fraction is rounded to the nearest
// integer (halves to even); anything else, or a value outside -32768..32767, is nullopt.
std::optional<qint16> parseInt16(QStringView field);

// Appends number in decimal, its digits padded with zeros to at least minDigits, a minus sign in front of them.
// Files and exports hold tens of thousands of numbers, so no number becomes a string of its own.
void appendNumber(QString& text, int number, int minDigits = 1);

// Builds one record line, CR LF included: in a string of its own, or appended to a buffer that a whole file of
// records is written into without a string per line.
class RecordLine final {
public:
    RecordLine() : m_out(&m_text) {}
    explicit RecordLine(QString& buffer) : m_out(&buffer) {}
    RecordLine(const RecordLine&) = delete;
    RecordLine& operator=(const RecordLine&) = delete;

    RecordLine& str(QStringView value);
    RecordLine& num(int value);
    // The line built in a string of its own.
    QString text() const { return m_text + QStringLiteral("\r\n"); }
    // Ends the line appended to the buffer.
    void end() { *m_out += QLatin1String("\r\n"); }

private:
    QString m_text;
    QString* m_out;
    bool m_first = true;
};
