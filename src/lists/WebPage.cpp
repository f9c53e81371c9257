#include "lists/WebPage.h"

#include "store/CollectionStore.h"

#include <QCryptographicHash>
#include <QHash>

namespace webpage {

namespace {

// Sixty-four characters that need no escaping in JSON or HTML: small numbers (volume positions, counts, date
// codes) as single characters.
constexpr char Alphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-_";
constexpr int AlphabetSize = 64;
// Date codes: 0 an empty text, 1 a text kept as written in "dx", n >= 2 the day n - 2 after DateOrigin.
const QDate DateOrigin(1800, 1, 1);
constexpr int DateCodeChars = 3;

void appendJsonString(QString& out, QStringView text)
{
    out += u'"';
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'"' || u == u'\\') {
            out += u'\\';
            out += c;
        } else if (u == u'\n') {
            out += QLatin1String("\\n");
        } else if (u < 0x20 || u == u'<' || u == 0x2028 || u == 0x2029) {
            out += QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    out += u'"';
}

// One line of a column: line breaks would split the record, so they become spaces.
QString oneLine(const QString& text)
{
    if (!text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString line = text;
    line.replace(u'\r', u' ').replace(u'\n', u' ');
    return line;
}

void appendKey(QString& out, const char* key)
{
    out += QLatin1Char(',');
    out += u'"';
    out += QLatin1String(key);
    out += QLatin1String("\":");
}

void appendTextColumn(QString& out, const char* key, const TitleTable& titles, QString TitleRecord::*field)
{
    QString column;
    for (qsizetype i = 0; i < titles.count(); ++i) {
        if (i > 0)
            column += u'\n';
        column += oneLine(titles.records()[i].*field);
    }
    appendKey(out, key);
    appendJsonString(out, column);
}

// Ratings are few distinct texts: a list of them and one character per record, or every text in full when
// there are more distinct texts than characters.
void appendRatings(QString& out, const TitleTable& titles)
{
    QHash<QString, int> codes;
    QStringList distinct;
    QString coded;
    for (const TitleRecord& record : titles.records()) {
        auto it = codes.find(record.rating);
        if (it == codes.end()) {
            if (distinct.size() == AlphabetSize)
                break;
            it = codes.insert(record.rating, int(distinct.size()));
            distinct.append(oneLine(record.rating));
        }
        coded += QLatin1Char(Alphabet[*it]);
    }
    appendKey(out, "r");
    if (coded.size() == titles.count()) {
        out += QLatin1String("{\"d\":[");
        for (qsizetype i = 0; i < distinct.size(); ++i) {
            if (i > 0)
                out += u',';
            appendJsonString(out, distinct[i]);
        }
        out += QLatin1String("],\"c\":\"") + coded + QLatin1String("\"}");
        return;
    }
    QStringList all;
    for (const TitleRecord& record : titles.records())
        all.append(oneLine(record.rating));
    out += QLatin1String("{\"s\":");
    appendJsonString(out, all.join(u'\n'));
    out += u'}';
}

// Issue dates in the program's "yyyy/mm/dd" form take three characters; any other text is kept as written.
void appendDates(QString& out, const TitleTable& titles)
{
    QString codes;
    QString exceptions;
    codes.reserve(titles.count() * 2 * DateCodeChars);
    int index = 0;
    for (const TitleRecord& record : titles.records()) {
        for (const QString* text : {&record.firstIssue, &record.lastIssue}) {
            qint64 code = 0;
            if (!text->isEmpty()) {
                const QDate date =
                    text->size() == 10 ? QDate::fromString(*text, QStringLiteral("yyyy/MM/dd")) : QDate();
                const qint64 day = date.isValid() ? DateOrigin.daysTo(date) : -1;
                code = day >= 0 && day + 2 < qint64(AlphabetSize) * AlphabetSize * AlphabetSize ? day + 2 : 1;
                if (code == 1) {
                    exceptions += exceptions.isEmpty() ? QStringLiteral("{") : QStringLiteral(",");
                    exceptions += QStringLiteral("\"%1\":").arg(index);
                    appendJsonString(exceptions, oneLine(*text));
                }
            }
            for (int k = DateCodeChars - 1; k >= 0; --k)
                codes += QLatin1Char(Alphabet[(code >> (6 * k)) & (AlphabetSize - 1)]);
            ++index;
        }
    }
    appendKey(out, "d");
    out += u'"' + codes + u'"';
    appendKey(out, "dx");
    out += exceptions.isEmpty() ? QStringLiteral("{}") : exceptions + u'}';
}

// Per record: its volume count (one character, or "!n!" outside 0 to 63), the positions of its missing
// volumes, "." and the positions in any other state, and "+n" when the record starts after volume n.
void appendVolumes(QString& out, const TitleTable& titles, const QList<VolumeStates>& states)
{
    QString column;
    column.reserve(titles.count() * 8);
    for (qsizetype i = 0; i < titles.count(); ++i) {
        const TitleRecord& record = titles.records()[i];
        if (i > 0)
            column += u'\n';
        if (record.volumeCount >= 0 && record.volumeCount < AlphabetSize)
            column += QLatin1Char(Alphabet[record.volumeCount]);
        else
            column += u'!' + QString::number(record.volumeCount) + u'!';
        const int shown = qBound(0, int(record.volumeCount), int(statuslist::Columns));
        const VolumeStates volumes = i < states.size() ? states[i] : VolumeStates{};
        QString other;
        for (int k = 1; k <= shown; ++k) {
            if (volumes[k] == 1)
                column += QLatin1Char(Alphabet[k]);
            else if (volumes[k] != 0)
                other += QLatin1Char(Alphabet[k]);
        }
        if (!other.isEmpty())
            column += u'.' + other;
        if (record.startVolume != 0)
            column += u'+' + QString::number(record.startVolume);
    }
    appendKey(out, "v");
    appendJsonString(out, column);
}

QByteArray sha256(const QByteArray& text)
{
    return "'sha256-" + QCryptographicHash::hash(text, QCryptographicHash::Sha256).toBase64() + "'";
}

} // namespace

Content read(CollectionStore& store, const TitleTable& titles, const QDate& date, bool withMemos)
{
    Content content;
    content.date = date;
    content.states = statuslist::readAllStates(store, titles);
    content.totals = statuslist::totals(titles, content.states);
    content.withMemos = withMemos;
    if (withMemos) {
        QStringList names;
        names.reserve(titles.count());
        for (const TitleRecord& record : titles.records())
            names.append(record.title);
        content.memos = store.readMemos(names);
    }
    return content;
}

QByteArray dataJson(const TitleTable& titles, const Content& content)
{
    QString out;
    out.reserve(titles.count() * 64 + 1024);
    out += QLatin1String("{\"date\":");
    appendJsonString(out, content.date.isValid() ? content.date.toString(QStringLiteral("yyyy年MM月dd日")) : QString());
    const statuslist::Totals& t = content.totals;
    appendKey(out, "totals");
    out += QStringLiteral("[%1,%2,%3,%4,%5,%6]")
               .arg(t.totalVolumes)
               .arg(t.collectedVolumes())
               .arg(t.missingVolumes)
               .arg(t.titleCount)
               .arg(t.completedTitles)
               .arg(t.continuingTitles());
    appendKey(out, "n");
    out += QString::number(titles.count());
    appendTextColumn(out, "t", titles, &TitleRecord::title);
    appendTextColumn(out, "a", titles, &TitleRecord::author);
    appendTextColumn(out, "m", titles, &TitleRecord::magazine);
    appendRatings(out, titles);
    appendDates(out, titles);
    appendVolumes(out, titles, content.states);
    if (content.withMemos) {
        appendKey(out, "memo");
        out += u'[';
        for (qsizetype i = 0; i < titles.count(); ++i) {
            if (i > 0)
                out += u',';
            QString memo = i < content.memos.size() ? content.memos[i] : QString();
            appendJsonString(out, memo.replace(QLatin1String("\r\n"), QLatin1String("\n")));
        }
        out += u']';
    }
    out += u'}';
    return out.toUtf8();
}

QByteArray html(const TitleTable& titles, const Content& content)
{
    const QByteArray style = pageStyle();
    const QByteArray script = pageScript();
    const QByteArray policy = "default-src 'none'; script-src " + sha256(script) + "; style-src " + sha256(style) +
                              "; img-src data:; connect-src 'none'; base-uri 'none'; form-action 'none'";
    QByteArray page = pageTemplate();
    page.replace("@POLICY@", policy);
    page.replace("@STYLE@", style);
    page.replace("@SCRIPT@", script);
    const qsizetype at = page.indexOf("@DATA@");
    page.replace(at, 6, dataJson(titles, content));
    return page;
}

QString suggestedFileName(const QDate& date)
{
    return QStringLiteral("コレクション_%1.html").arg(date.toString(QStringLiteral("yyyyMMdd")));
}

} // namespace webpage
