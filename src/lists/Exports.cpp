#include "lists/Exports.h"

#include "store/CollectionStore.h"
#include "store/RecordSyntax.h"

namespace exports {

namespace {

// The first part of a "残巻" line takes pieces while it holds at most this many characters.
constexpr int FirstPartLimit = 105;

QString atLeastTwoDigits(int number)
{
    const QString digits = QString::number(qAbs(number)).rightJustified(2, u'0');
    return number < 0 ? QLatin1Char('-') + digits : digits;
}

QString closePart(QString part, int lastVolume)
{
    part.chop(1); // the last "_"
    return part + QStringLiteral(" <%1>").arg(lastVolume);
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
        const QString piece = atLeastTwoDigits(c + startVolume) + QLatin1Char('_');
        if (second.isEmpty() && first.size() <= FirstPartLimit)
            first += piece;
        else
            second += piece;
    }
    const int lastVolume = volumeCount + startVolume;
    QStringList parts;
    if (!first.isEmpty())
        parts << closePart(first, lastVolume);
    if (!second.isEmpty())
        parts << closePart(second, lastVolume);
    return parts;
}

QString shoppingLines(const QString& title, const QStringList& parts)
{
    QString text;
    for (const QString& part : parts)
        text += RecordLine().str(title).str(part).text();
    return text;
}

QString uncollectedLine(const QString& title, quint64 missing, int volumeCount)
{
    if (missing == 0)
        return {};
    QStringList positions;
    for (int c = 1; c <= statuslist::Columns; ++c) {
        if ((missing >> (c - 1)) & 1)
            positions << QString::number(c);
    }
    return RecordLine()
        .str(title)
        .str(positions.join(QLatin1Char('_')))
        .str(QStringLiteral("<%1>").arg(volumeCount))
        .text();
}

QString fullStatusText(const QDate& date, const QList<statuslist::StatusRow>& rows)
{
    QString text = dateHeader(date);
    text += QLatin1Char(' ');
    for (int c = 1; c <= statuslist::Columns; ++c)
        text += QLatin1Char(',') + QString::number(c);
    text += QLatin1String("\r\n");
    text.reserve(text.size() + rows.size() * 96);
    for (const statuslist::StatusRow& row : rows) {
        text += row.title;
        for (int c = 1; c <= statuslist::Columns; ++c) {
            text += QLatin1Char(',');
            if (row.isMissing(c) && c <= row.filledColumns())
                text += QString::number(c + row.startVolume);
        }
        text += QLatin1String("\r\n");
    }
    return text;
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
    for (const TitleMissing& t : titles)
        text += shoppingLines(t.title, shoppingParts(t.missing, t.volumeCount, t.startVolume));
    return text;
}

QString uncollectedText(const QDate& date, const QList<TitleMissing>& titles)
{
    QString text = dateHeader(date);
    for (const TitleMissing& t : titles)
        text += uncollectedLine(t.title, t.missing, t.volumeCount);
    return text;
}

QString write(CollectionStore& store, const QString& fileName, const QString& text)
{
    QByteArray bytes;
    if (const QString problem = CollectionStore::encodeFor(fileName, text, &bytes); !problem.isEmpty())
        return problem;
    return store.folder().write(fileName, bytes);
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
