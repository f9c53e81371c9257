#include "lists/Exports.h"

#include "store/CollectionStore.h"
#include "store/RecordSyntax.h"

#include <QFuture>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <bit>
#include <cstring>

namespace exports {

namespace {

// The first part of a "残巻" line takes pieces while it holds at most this many characters.
constexpr int FirstPartLimit = 105;

// Appends a quoted field as RecordLine writes it: a comma first unless it opens the line.
void appendQuoted(QString& text, QStringView value, bool first = false)
{
    if (!first)
        text += u',';
    text += u'"';
    text += value;
    text += u'"';
}

void endLine(QString& text)
{
    text += u'\r';
    text += u'\n';
}

void closePart(QString& part, int lastVolume)
{
    part.chop(1); // the last "_"
    part += QLatin1String(" <");
    appendNumber(part, lastVolume);
    part += u'>';
}

} // namespace

QString dateText(const QDate& date)
{
    // A Qt date pattern writes the month as MM (mm would be minutes).
    return date.toString(QStringLiteral("yyyy年MM月dd日現在の未収集状況"));
}

QString dateHeader(const QDate& date)
{
    return RecordLine().str(dateText(date)).text() + RecordLine().str(QString()).text();
}

QStringList shoppingParts(quint64 missing, int volumeCount, int startVolume)
{
    QString first;
    QString second;
    for (int c = 1; c <= statuslist::Columns && missing >> (c - 1) != 0; ++c) {
        if (!((missing >> (c - 1)) & 1))
            continue;
        QString& part = second.isEmpty() && first.size() <= FirstPartLimit ? first : second;
        appendNumber(part, c + startVolume, 2);
        part += u'_';
    }
    const int lastVolume = volumeCount + startVolume;
    QStringList parts;
    if (!first.isEmpty()) {
        closePart(first, lastVolume);
        parts << first;
    }
    if (!second.isEmpty()) {
        closePart(second, lastVolume);
        parts << second;
    }
    return parts;
}

QString shoppingLines(const QString& title, const QStringList& parts)
{
    QString text;
    for (const QString& part : parts) {
        appendQuoted(text, title, true);
        appendQuoted(text, part);
        endLine(text);
    }
    return text;
}

namespace {

void appendUncollectedLine(QString& text, const QString& title, quint64 missing, int volumeCount)
{
    if (missing == 0)
        return;
    appendQuoted(text, title, true);
    text += QLatin1String(",\"");
    bool firstPosition = true;
    for (int c = 1; c <= statuslist::Columns; ++c) {
        if (!((missing >> (c - 1)) & 1))
            continue;
        if (!firstPosition)
            text += u'_';
        firstPosition = false;
        appendNumber(text, c);
    }
    text += QLatin1String("\",\"<");
    appendNumber(text, volumeCount);
    text += QLatin1String(">\"");
    endLine(text);
}

} // namespace

QString uncollectedLine(const QString& title, quint64 missing, int volumeCount)
{
    QString text;
    appendUncollectedLine(text, title, missing, volumeCount);
    return text;
}

namespace {

// The date header and the unquoted column header " ,1,...,50".
QString fullStatusHeader(const QDate& date)
{
    QString text = dateHeader(date);
    text += QLatin1Char(' ');
    for (int c = 1; c <= statuslist::Columns; ++c) {
        text += QLatin1Char(',');
        appendNumber(text, c);
    }
    endLine(text);
    return text;
}

} // namespace

QString fullStatusText(const QDate& date, const QList<statuslist::StatusRow>& rows)
{
    QString text = fullStatusHeader(date);
    text.reserve(text.size() + rows.size() * 96);
    for (const statuslist::StatusRow& row : rows) {
        text += row.title;
        for (int c = 1; c <= statuslist::Columns; ++c) {
            text += QLatin1Char(',');
            if (row.isMissing(c) && c <= row.filledColumns())
                appendNumber(text, c + row.startVolume);
        }
        endLine(text);
    }
    return text;
}

namespace {

// Writes number in decimal at out, a minus sign in front; returns the end.
char* putNumber(char* out, int number)
{
    unsigned value = number < 0 ? 0u - unsigned(number) : unsigned(number);
    if (number < 0)
        *out++ = '-';
    char digits[10];
    int count = 0;
    do {
        digits[count++] = char('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (count > 0)
        *out++ = digits[--count];
    return out;
}

// The bits of a row's missing volumes that the grid shows: those within its filled columns.
quint64 shownMissing(const statuslist::StatusRow& row)
{
    const int filled = row.filledColumns();
    return filled >= 64 ? row.missing : row.missing & ((quint64(1) << filled) - 1);
}

// The most bytes the full status rows of [begin, end) can take: at most two bytes a title character, a sign and
// five digits a cell (start volumes are 16-bit), a comma each and CR LF a row.
qsizetype statusRowsBound(const statuslist::StatusRow* begin, const statuslist::StatusRow* end)
{
    qsizetype bound = 0;
    for (const statuslist::StatusRow* row = begin; row != end; ++row)
        bound += 2 * row->title.size() + statuslist::Columns + 2 + 6 * std::popcount(shownMissing(*row));
    return bound;
}

// Writes the full status rows of [begin, end) at out, which has room for statusRowsBound of them; the end of what
// was written, or nullptr when a title needs the converter (a character that cannot be stored among them).
char* writeStatusRows(char* out, const statuslist::StatusRow* begin, const statuslist::StatusRow* end)
{
    // Each title lives in memory of its own: fetching a few rows ahead keeps the rows from waiting on memory.
    constexpr int Ahead = 8;
    for (const statuslist::StatusRow* row = begin; row != end; ++row) {
        if (end - row > Ahead)
            __builtin_prefetch(row[Ahead].title.constData());
        out = cp932::encodeInto(row->title, out);
        if (!out)
            return nullptr;
        quint64 missing = shownMissing(*row);
        int column = 0;
        while (missing != 0) {
            const int next = std::countr_zero(missing) + 1;
            out = std::fill_n(out, next - column, ',');
            out = putNumber(out, next + row->startVolume);
            column = next;
            missing &= missing - 1;
        }
        out = std::fill_n(out, statuslist::Columns - column, ',');
        *out++ = '\r';
        *out++ = '\n';
    }
    return out;
}

} // namespace

cp932::Encoded fullStatusBytes(const QDate& date, const QList<statuslist::StatusRow>& rows)
{
    cp932::Encoded result = cp932::encode(fullStatusHeader(date));
    if (!result.ok())
        return result;

    const statuslist::StatusRow* const first = rows.constData();
    const statuslist::StatusRow* const last = first + rows.size();
    // The file is rewritten on every click and its rows are most of the wait: a long list's second half is written
    // on another core into its own part of the buffer, then moved up behind the first half.
    constexpr qsizetype EnoughForTwo = 4096;
    const statuslist::StatusRow* const middle = rows.size() >= EnoughForTwo ? first + rows.size() / 2 : last;
    const qsizetype start = result.bytes.size();
    const qsizetype firstBound = statusRowsBound(first, middle);
    result.bytes.resize(start + firstBound + statusRowsBound(middle, last));
    char* const firstAt = result.bytes.data() + start;
    char* const secondAt = firstAt + firstBound;
    QFuture<char*> later = middle == last ? QtFuture::makeReadyFuture(secondAt)
                                          : QtConcurrent::run(writeStatusRows, secondAt, middle, last);
    char* const firstEnd = writeStatusRows(firstAt, first, middle);
    char* const secondEnd = later.result();
    if (!firstEnd || !secondEnd) // named as the text path names them
        return cp932::encode(fullStatusText(date, rows));
    std::memmove(firstEnd, secondAt, size_t(secondEnd - secondAt));
    result.bytes.truncate(firstEnd + (secondEnd - secondAt) - result.bytes.constData());
    return result;
}

QList<TitleMissing> readMissing(CollectionStore& store, const TitleTable& titles)
{
    QList<TitleMissing> result;
    result.reserve(titles.count());
    const QList<VolumeStates> states = statuslist::readAllStates(store, titles);
    for (qsizetype i = 0; i < states.size(); ++i) {
        const TitleRecord& record = titles.records()[i];
        result.append({record.title, record.volumeCount, record.startVolume,
                       statuslist::missingMask(states[i], record.volumeCount)});
    }
    return result;
}

QString shoppingText(const QDate& date, const QList<TitleMissing>& titles)
{
    QString text = dateHeader(date);
    for (const TitleMissing& t : titles) {
        if (t.missing == 0)
            continue;
        for (const QString& part : shoppingParts(t.missing, t.volumeCount, t.startVolume)) {
            appendQuoted(text, t.title, true);
            appendQuoted(text, part);
            endLine(text);
        }
    }
    return text;
}

QString uncollectedText(const QDate& date, const QList<TitleMissing>& titles)
{
    QString text = dateHeader(date);
    for (const TitleMissing& t : titles)
        appendUncollectedLine(text, t.title, t.missing, t.volumeCount);
    return text;
}

QString write(CollectionStore& store, const QString& fileName, const QString& text)
{
    return write(store, fileName, cp932::encode(text));
}

QString write(CollectionStore& store, const QString& fileName, const cp932::Encoded& encoded)
{
    if (!encoded.ok())
        return CollectionStore::unencodableProblem(fileName, encoded.unencodable);
    return store.folder().write(fileName, encoded.bytes);
}

QString shoppingTourText()
{
    return QStringLiteral("このボタンを押すと、未収集分だけの情報にピックアップしたリストを表示します。\r\n"
                          "\r\n"
                          "コミックを収集する毎にこのボタンを押して最新情報を打ち出しておけば、\r\n"
                          "古本屋巡りできっと役に立つでしょう。\r\n"
                          "\r\n"
                          "「ブックオフジャンキー」にはお薦めの機能です。\r\n"
                          "\r\n");
}

} // namespace exports
