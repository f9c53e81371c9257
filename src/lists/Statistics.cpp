#include "lists/Statistics.h"

#include <QHash>
#include <QMap>
#include <algorithm>

namespace statistics {

namespace {

const QString Unknown = QStringLiteral("不明");
const QString Others = QStringLiteral("その他");
const QString Blank = QStringLiteral("（なし）");

// One series while its records are added: order is the table index of its first record met.
struct Series {
    int order = 0;
    int firstStart = 0;
    int firstIndex = 0; // the record with the lowest start volume
    qint64 volumes = 0;
    qint64 missing = 0;
    FewVolumes missingVolumes; // complete only while there are at most AlmostMissing
    int firstMissingIndex = 0;
    int firstMissingVolume = 0;
};

Series startedAt(int index)
{
    Series series;
    series.order = index;
    return series;
}

void add(Series& s, const statuslist::StatusRow& row, int index)
{
    if (s.firstIndex == 0 || row.startVolume < s.firstStart) {
        s.firstIndex = index;
        s.firstStart = row.startVolume;
    }
    s.volumes += row.volumeCount;
    const int missing = statuslist::countBits(row.missing);
    s.missing += missing;
    if (missing == 0)
        return;
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

// The magazine bars' order: most owned volumes, then most missing, then by name.
bool ranksBefore(const Bar& a, const Bar& b)
{
    if (a.owned != b.owned)
        return a.owned > b.owned;
    if (a.missing != b.missing)
        return a.missing > b.missing;
    return a.label < b.label;
}

// The series, each taken once, summed into the counts. A collection may hold a magazine per title: magazines are
// kept as one small entry per series and summed after a sort, so that only the top bars are ever made.
class Tally {
public:
    explicit Tally(const TitleTable& titles) : m_titles(titles)
    {
        for (const char16_t* fixed : {u"◎", u"○", u"△", u"×", u"未"})
            counts.ratings.append(Bar{QString::fromUtf16(fixed), 0, 0});
    }

    void take(const Series& s, const QString& name)
    {
        const TitleRecord& first = m_titles.at(s.firstIndex);
        const qint64 owned = s.volumes - s.missing;
        ++counts.totals.series;
        counts.totals.volumes += s.volumes;
        counts.totals.missing += s.missing;
        counts.totals.complete += int(s.missing == 0);

        const QString year = yearOf(first.firstIssue);
        m_anyUnknownYear = m_anyUnknownYear || year == Unknown;
        Bar& yearBar = year == Unknown ? m_unknownYear : m_years[year];
        yearBar.label = year;
        yearBar.owned += owned;
        yearBar.missing += s.missing;

        m_magazines.append({s.firstIndex, owned, s.missing});
        rating(orBlank(first.rating));
        ++counts.completion[size_t(bandOf(s))];
        if (s.missing >= 1 && s.missing <= AlmostMissing) {
            AlmostRow row{name, s.missingVolumes, s.firstMissingIndex};
            std::sort(row.volumes.numbers.begin(), row.volumes.numbers.begin() + row.volumes.count);
            counts.almost.append(std::move(row));
        }
    }

    Counts finish()
    {
        counts.years = m_years.values();
        if (m_anyUnknownYear)
            counts.years.append(m_unknownYear);
        counts.magazines = topMagazines();
        std::stable_sort(counts.almost.begin(), counts.almost.end(),
                         [](const AlmostRow& a, const AlmostRow& b) { return a.volumes.count < b.volumes.count; });
        return std::move(counts);
    }

    Counts counts;

private:
    struct MagazineEntry {
        int index; // the record whose magazine counts
        qint64 owned;
        qint64 missing;
    };

    void rating(const QString& label)
    {
        for (Bar& bar : counts.ratings) {
            if (bar.label == label) {
                ++bar.owned;
                return;
            }
        }
        counts.ratings.append(Bar{label, 1, 0});
    }

    QList<Bar> topMagazines()
    {
        const auto label = [this](const MagazineEntry& entry) { return orBlank(m_titles.at(entry.index).magazine); };
        std::sort(m_magazines.begin(), m_magazines.end(),
                  [&](const MagazineEntry& a, const MagazineEntry& b) { return label(a) < label(b); });
        QList<Bar> top;
        Bar rest{Others, 0, 0};
        bool anyRest = false;
        const auto putAside = [&](const Bar& bar) {
            rest.owned += bar.owned;
            rest.missing += bar.missing;
            anyRest = true;
        };
        for (qsizetype i = 0; i < m_magazines.size();) {
            Bar bar{label(m_magazines[i]), 0, 0};
            for (; i < m_magazines.size() && label(m_magazines[i]) == bar.label; ++i) {
                bar.owned += m_magazines[i].owned;
                bar.missing += m_magazines[i].missing;
            }
            if (top.size() == MagazineBars) {
                if (!ranksBefore(bar, top.last())) {
                    putAside(bar);
                    continue;
                }
                putAside(top.takeLast());
            }
            top.insert(std::upper_bound(top.begin(), top.end(), bar, ranksBefore), bar);
        }
        m_magazines = {};
        if (anyRest)
            top.append(rest);
        return top;
    }

    const TitleTable& m_titles;
    QMap<QString, Bar> m_years;
    Bar m_unknownYear{Unknown, 0, 0};
    bool m_anyUnknownYear = false;
    QList<MagazineEntry> m_magazines;
};

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
    const int records = int(std::min<qsizetype>(rows.size(), titles.count()));
    // Split series first, whole, so that every series is then taken in table order of its first record met.
    QHash<QString, Series> splitSeries;
    for (int index = 1; index <= records; ++index) {
        bool split = false;
        const QString name = seriesName(titles.at(index).title, &split);
        if (!split)
            continue;
        auto found = splitSeries.find(name);
        if (found == splitSeries.end())
            found = splitSeries.insert(name, startedAt(index));
        add(*found, rows[index - 1], index);
    }
    Tally tally(titles);
    tally.counts.totals.records = records;
    for (int index = 1; index <= records; ++index) {
        bool split = false;
        const QString name = seriesName(titles.at(index).title, &split);
        if (!split) {
            Series series = startedAt(index);
            add(series, rows[index - 1], index);
            tally.take(series, name);
        } else if (const Series& series = *splitSeries.constFind(name); series.order == index) {
            tally.take(series, name);
        }
    }
    return tally.finish();
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
