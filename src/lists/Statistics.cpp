#include "lists/Statistics.h"

#include <QHash>
#include <QMap>
#include <algorithm>

namespace statistics {

namespace {

const QString Unknown = QStringLiteral("不明");
const QString Others = QStringLiteral("その他");
const QString Blank = QStringLiteral("（なし）");

// One series while the records are gathered.
struct Series {
    QString name;
    int firstIndex = 0; // the record with the lowest start volume
    int firstStart = 0;
    qint64 volumes = 0;
    qint64 missing = 0;
    FewVolumes missingVolumes; // complete only while there are at most AlmostMissing
    int firstMissingIndex = 0;
    int firstMissingVolume = 0;
};

QString orBlank(const QString& text)
{
    return text.isEmpty() ? Blank : text;
}

QString yearOf(const QString& firstIssue)
{
    const QString text = firstIssue.trimmed();
    if (text.size() < 4)
        return Unknown;
    for (int i = 0; i < 4; ++i)
        if (text[i] < u'0' || text[i] > u'9')
            return Unknown;
    return text.left(4);
}

int bandOf(const Series& series)
{
    if (series.missing == 0 || series.volumes <= 0)
        return 0;
    const qint64 owned = series.volumes - series.missing;
    if (owned <= 0)
        return 5;
    const qint64 percent = owned * 100 / series.volumes;
    if (percent >= 90)
        return 1;
    if (percent >= 75)
        return 2;
    if (percent >= 50)
        return 3;
    return 4;
}

// Bars in the order their keys were first met.
class BarList {
public:
    Bar& operator[](const QString& label)
    {
        const auto found = m_index.constFind(label);
        if (found != m_index.constEnd())
            return m_bars[*found];
        m_index.insert(label, m_bars.size());
        m_bars.append(Bar{label, 0, 0});
        return m_bars.last();
    }
    QList<Bar> take() { return std::move(m_bars); }

private:
    QHash<QString, qsizetype> m_index;
    QList<Bar> m_bars;
};

QList<Series> gather(const TitleTable& titles, const QList<statuslist::StatusRow>& rows)
{
    QList<Series> series;
    QHash<QString, int> splitSeries;
    QHash<QString, int> plainSeries;
    const qsizetype count = std::min<qsizetype>(rows.size(), titles.count());
    for (qsizetype i = 0; i < count; ++i) {
        const statuslist::StatusRow& row = rows[i];
        const int index = int(i) + 1;
        bool split = false;
        const QString name = seriesName(titles.at(index).title, &split);
        QHash<QString, int>& known = split ? splitSeries : plainSeries;
        auto found = known.find(name);
        if (found == known.end()) {
            found = known.insert(name, int(series.size()));
            series.append(Series{name, index, row.startVolume, 0, 0, {}, 0, 0});
        }
        Series& s = series[*found];
        if (row.startVolume < s.firstStart) {
            s.firstIndex = index;
            s.firstStart = row.startVolume;
        }
        s.volumes += row.volumeCount;
        const int missing = statuslist::countBits(row.missing);
        s.missing += missing;
        if (missing == 0)
            continue;
        for (int c = 1; c <= row.filledColumns(); ++c) {
            if (!row.isMissing(c))
                continue;
            const int volume = c + row.startVolume;
            if (s.firstMissingIndex == 0 || volume < s.firstMissingVolume) {
                s.firstMissingIndex = index;
                s.firstMissingVolume = volume;
            }
            if (s.missing <= AlmostMissing)
                s.missingVolumes.append(volume);
        }
    }
    return series;
}

QList<Bar> topMagazines(QList<Bar> bars)
{
    std::stable_sort(bars.begin(), bars.end(), [](const Bar& a, const Bar& b) {
        if (a.owned != b.owned)
            return a.owned > b.owned;
        return a.missing > b.missing;
    });
    if (bars.size() <= MagazineBars)
        return bars;
    Bar rest{Others, 0, 0};
    for (qsizetype i = MagazineBars; i < bars.size(); ++i) {
        rest.owned += bars[i].owned;
        rest.missing += bars[i].missing;
    }
    bars.resize(MagazineBars);
    bars.append(rest);
    return bars;
}

} // namespace

QString seriesName(const QString& title, bool* split)
{
    *split = false;
    if (!title.endsWith(u')'))
        return title;
    const qsizetype open = title.lastIndexOf(u'(');
    const qsizetype bar = title.lastIndexOf(u'_');
    if (open < 0 || bar < open)
        return title;
    bool firstOk = false;
    bool lastOk = false;
    const QStringView first = QStringView(title).mid(open + 1, bar - open - 1);
    const QStringView last = QStringView(title).mid(bar + 1, title.size() - bar - 2);
    const int from = first.toInt(&firstOk);
    const int to = last.toInt(&lastOk);
    // Only the suffix the program writes, digits alone: "(1_50)", "(51_100)", ...
    const auto digitsOnly = [](QStringView text) {
        return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    };
    if (!firstOk || !lastOk || !digitsOnly(first) || !digitsOnly(last) || to < 50 || to % 50 != 0 || from != to - 49)
        return title;
    *split = true;
    return title.left(open);
}

QStringList completionLabels()
{
    return {QStringLiteral("100%"),    QStringLiteral("90～99%"), QStringLiteral("75～89%"),
            QStringLiteral("50～74%"), QStringLiteral("1～49%"),  QStringLiteral("0%")};
}

Counts count(const TitleTable& titles, const QList<statuslist::StatusRow>& rows)
{
    const QList<Series> series = gather(titles, rows);
    Counts counts;
    counts.totals.series = int(series.size());
    counts.totals.records = int(std::min<qsizetype>(rows.size(), titles.count()));

    QMap<QString, Bar> years;
    Bar unknownYear{Unknown, 0, 0};
    bool anyUnknownYear = false;
    BarList magazines;
    BarList ratings;
    for (const char16_t* fixed : {u"◎", u"○", u"△", u"×", u"未"})
        ratings[QString::fromUtf16(fixed)];
    for (const Series& s : series) {
        const TitleRecord& first = titles.at(s.firstIndex);
        counts.totals.volumes += s.volumes;
        counts.totals.missing += s.missing;
        counts.totals.complete += int(s.missing == 0);

        const QString year = yearOf(first.firstIssue);
        anyUnknownYear = anyUnknownYear || year == Unknown;
        Bar& yearBar = year == Unknown ? unknownYear : years[year];
        yearBar.label = year;
        yearBar.owned += s.volumes - s.missing;
        yearBar.missing += s.missing;

        Bar& magazine = magazines[orBlank(first.magazine)];
        magazine.owned += s.volumes - s.missing;
        magazine.missing += s.missing;

        ++ratings[orBlank(first.rating)].owned;
        ++counts.completion[size_t(bandOf(s))];

        if (s.missing >= 1 && s.missing <= AlmostMissing) {
            AlmostRow row{s.name, s.missingVolumes, s.firstMissingIndex};
            std::sort(row.volumes.numbers.begin(), row.volumes.numbers.begin() + row.volumes.count);
            counts.almost.append(std::move(row));
        }
    }
    counts.years = years.values();
    if (anyUnknownYear)
        counts.years.append(unknownYear);
    counts.magazines = topMagazines(magazines.take());
    counts.ratings = ratings.take();
    std::stable_sort(counts.almost.begin(), counts.almost.end(),
                     [](const AlmostRow& a, const AlmostRow& b) { return a.volumes.count < b.volumes.count; });
    return counts;
}

QString ownedShare(qint64 owned, qint64 volumes)
{
    if (volumes <= 0)
        return QStringLiteral("0.0");
    return QString::number(double(owned) * 100.0 / double(volumes), 'f', 1);
}

QString summaryText(const Totals& totals)
{
    return QStringLiteral("作品数 %1　総冊数 %2　所持 %3　未所持 %4　所持率 %5%　完了 %6　継続 %7")
        .arg(totals.series)
        .arg(totals.volumes)
        .arg(totals.owned())
        .arg(totals.missing)
        .arg(ownedShare(totals.owned(), totals.volumes))
        .arg(totals.complete)
        .arg(totals.continuing());
}

QString almostText(const AlmostRow& row)
{
    QStringList numbers;
    for (int volume : row.volumes)
        numbers << QString::number(volume);
    return QStringLiteral("%1　あと %2 冊（%3巻）").arg(row.title).arg(row.volumes.count).arg(numbers.join(u", "));
}

} // namespace statistics
