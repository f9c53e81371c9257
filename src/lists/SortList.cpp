#include "lists/SortList.h"

#include <QHash>
#include <QSet>
#include <QStringView>
#include <vector>

namespace sortlist {

namespace {

// Day 0 of the run-length arithmetic.
const QDate DayZero(1899, 12, 30);

// The run of ASCII digits at pos, 1 to maxLength long; advances pos past it.
std::optional<int> digits(QStringView text, qsizetype& pos, qsizetype maxLength)
{
    const qsizetype start = pos;
    int value = 0;
    while (pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9') {
        value = value * 10 + (text[pos].unicode() - u'0');
        ++pos;
    }
    const qsizetype length = pos - start;
    if (length < 1 || length > maxLength)
        return std::nullopt;
    return value;
}

bool isCanonical(const QString& text)
{
    if (text.size() != 10 || text[4] != u'/' || text[7] != u'/')
        return false;
    for (qsizetype i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (text[i] < u'0' || text[i] > u'9')
            return false;
    }
    return true;
}

} // namespace

std::optional<QDate> readDate(const QString& text)
{
    const QStringView trimmed = QStringView(text).trimmed();
    qsizetype pos = 0;
    const std::optional<int> year = digits(trimmed, pos, 4);
    if (!year || pos >= trimmed.size())
        return std::nullopt;
    const QChar separator = trimmed[pos];
    if (separator != u'/' && separator != u'-' && separator != u'.')
        return std::nullopt;
    const qsizetype yearLength = pos++;
    const std::optional<int> month = digits(trimmed, pos, 2);
    if (!month || pos >= trimmed.size() || trimmed[pos] != separator)
        return std::nullopt;
    ++pos;
    const std::optional<int> day = digits(trimmed, pos, 2);
    if (!day || pos != trimmed.size())
        return std::nullopt;
    int y = *year;
    if (yearLength <= 2)
        y += y < 30 ? 2000 : 1900;
    const QDate date(y, *month, *day);
    if (!date.isValid() || y < 100)
        return std::nullopt;
    return date;
}

QString dateCell(const QString& text)
{
    const std::optional<QDate> date = readDate(text);
    // Dates the program stored are in the shown form already; they are shared, not rebuilt.
    if (!date || isCanonical(text))
        return text;
    return QStringLiteral("%1/%2/%3")
        .arg(date->year(), 4, 10, QLatin1Char('0'))
        .arg(date->month(), 2, 10, QLatin1Char('0'))
        .arg(date->day(), 2, 10, QLatin1Char('0'));
}

QString runLength(const QString& firstIssue, const QString& lastIssue)
{
    if (dateCell(firstIssue) == dateCell(lastIssue))
        return QStringLiteral("00年00ヶ月");
    const std::optional<QDate> first = readDate(firstIssue);
    const std::optional<QDate> last = readDate(lastIssue);
    if (!first || !last)
        return {};
    const QDate run = DayZero.addDays(first->daysTo(*last));
    if (run.year() < 100 || run.year() > 9999)
        return {};
    return QStringLiteral("%1年%2ヶ月")
        .arg(run.year() % 100, 2, 10, QLatin1Char('0'))
        .arg(run.month(), 2, 10, QLatin1Char('0'));
}

QList<SortRow> fill(const TitleTable& titles)
{
    // The volume and run-length cells of tens of thousands of rows hold only a few hundred distinct texts; each
    // is kept once and shared, not once per row.
    QSet<QString> made;
    const auto shared = [&made](const QString& text) {
        const auto it = made.constFind(text);
        return it != made.cend() ? *it : *made.insert(text);
    };
    QList<SortRow> rows;
    rows.reserve(titles.count());
    for (int i = 1; i <= titles.count(); ++i) {
        const TitleRecord& r = titles.at(i);
        SortRow row;
        row.record = i;
        row.cells[TitleColumn] = r.title;
        row.cells[VolumeColumn] = shared(QString::number(int(r.startVolume) + int(r.volumeCount)));
        row.cells[RatingColumn] = r.rating;
        row.cells[AuthorColumn] = r.author;
        row.cells[MagazineColumn] = r.magazine;
        row.cells[FirstColumn] = dateCell(r.firstIssue);
        row.cells[LastColumn] = dateCell(r.lastIssue);
        row.cells[RunColumn] = shared(runLength(r.firstIssue, r.lastIssue));
        rows.append(std::move(row));
    }
    return rows;
}

Reorder reorder(const QList<SortRow>& rows, const TitleTable& titles)
{
    QList<recordorder::Row> shown;
    shown.reserve(rows.size());
    for (const SortRow& row : rows)
        shown.append({row.cells[TitleColumn], row.record});
    return recordorder::reorder(shown, titles);
}

} // namespace sortlist
