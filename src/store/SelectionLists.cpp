#include "store/SelectionLists.h"

#include <QCollator>
#include <QFuture>
#include <QLocale>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <numeric>
#include <vector>

namespace {

const QString NotEntered = QStringLiteral("未登録");

QCollator& collator()
{
    // Creating a collator loads locale data; one per thread is enough.
    thread_local QCollator instance{QLocale(QLocale::Japanese, QLocale::Japan)};
    return instance;
}

// values' positions in textLessThan order, equal values by position: each collation key computed once, so
// that every comparison of the sort is a byte comparison. The sort moves plain positions, never the keys.
std::vector<qsizetype> sortedPositions(const QStringList& values)
{
    QCollator& c = collator();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(values.size());
    for (const QString& value : values)
        keys.push_back(c.sortKey(value));
    std::vector<qsizetype> positions(values.size());
    std::iota(positions.begin(), positions.end(), 0);
    std::sort(positions.begin(), positions.end(), [&values, &keys](qsizetype a, qsizetype b) {
        if (const int order = keys[size_t(a)].compare(keys[size_t(b)]); order != 0)
            return order < 0;
        // Values the collation finds equal still get one fixed order.
        if (const int order = values[a].compare(values[b]); order != 0)
            return order < 0;
        return a < b;
    });
    return positions;
}

struct Names {
    QStringList sorted;    // distinct, in textLessThan order
    QStringList firstSeen; // distinct, in the order of first appearance
};

// Equal values sort next to each other, first appearance first, so one sort both orders and dedupes.
Names distinctNames(const QStringList& values)
{
    Names names;
    std::vector<char> first(values.size(), 0);
    for (const qsizetype at : sortedPositions(values)) {
        const QString& value = values[at];
        if (!names.sorted.isEmpty() && names.sorted.constLast() == value)
            continue;
        names.sorted.append(value);
        first[size_t(at)] = 1;
    }
    names.firstSeen.reserve(names.sorted.size());
    for (qsizetype i = 0; i < values.size(); ++i)
        if (first[i])
            names.firstSeen.append(values[i]);
    return names;
}

// The names a list may offer, in table order: no blanks, no "未登録", and a run of one name kept once.
void addCandidate(QStringList& candidates, const QString& name)
{
    if (name.isEmpty() || name == NotEntered || (!candidates.isEmpty() && candidates.constLast() == name))
        return;
    candidates.append(name);
}

// The number a year ("2002") or a month ("2002/02") stands for, years and months apart; -1 for any other text.
int dateKey(QStringView value)
{
    if (value.size() != 4 && value.size() != 7)
        return -1;
    const auto digit = [value](qsizetype i) {
        return value[i] >= u'0' && value[i] <= u'9' ? value[i].unicode() - u'0' : -1;
    };
    int key = 0;
    for (qsizetype i : {0, 1, 2, 3}) {
        if (digit(i) < 0)
            return -1;
        key = key * 10 + digit(i);
    }
    if (value.size() == 4)
        return key;
    if (value[4] != u'/' || digit(5) < 0 || digit(6) < 0)
        return -1;
    return 10000 + key * 100 + digit(5) * 10 + digit(6);
}

// Picks out the values not seen before, in one pass over the table: most records repeat a year and a month
// already listed, and those are found by a bit in a table, without making or hashing a string.
class FirstSeen final {
public:
    // True, after adding value to set, when set did not hold it as a whole name.
    bool isNew(QStringView value, MembershipSet& set)
    {
        if (const int key = m_anyComma ? -1 : dateKey(value); key >= 0) {
            if (m_dates.empty())
                m_dates.resize(10000 + 1000000);
            if (m_dates[size_t(key)])
                return false;
            m_dates[size_t(key)] = true;
            set.add(value.toString());
            return true;
        }
        const bool comma = value.contains(u',');
        // A comma makes the set's whole-name test differ from plain equality; then the set itself decides.
        if (comma || m_anyComma ? set.containsWhole(value.toString()) : m_seen.contains(value))
            return false;
        m_seen.insert(value);
        m_anyComma = m_anyComma || comma;
        set.add(value.toString());
        return true;
    }

private:
    std::vector<bool> m_dates; // by dateKey
    QSet<QStringView> m_seen;  // other values: views into the table, which outlives the pass
    bool m_anyComma = false;
};

} // namespace

void MembershipSet::clear()
{
    m_order.clear();
    m_text.clear();
    m_names.clear();
    m_hashed = false;
    m_anyComma = false;
}

void MembershipSet::assign(QStringList names)
{
    clear();
    m_order = std::move(names);
}

QString MembershipSet::text() const
{
    if (m_text.isEmpty()) {
        qsizetype length = 1;
        for (const QString& name : m_order)
            length += name.size() + 1;
        m_text.reserve(length);
        m_text += u',';
        for (const QString& name : m_order) {
            m_text += name;
            m_text += u',';
        }
    }
    return m_text;
}

void MembershipSet::hash() const
{
    if (m_hashed)
        return;
    m_names.reserve(m_order.size());
    for (const QString& name : m_order) {
        m_names.insert(name);
        if (name.contains(u','))
            m_anyComma = true;
    }
    m_hashed = true;
}

bool MembershipSet::containsWhole(const QString& value) const
{
    hash();
    // Without commas in any name or in value, ",value," can only match one whole name of the string.
    if (!m_anyComma && !value.contains(u','))
        return m_names.contains(value);
    return text().contains(u',' + value + u',');
}

void MembershipSet::add(const QString& value)
{
    m_order.append(value);
    if (!m_text.isEmpty()) {
        m_text += value;
        m_text += u',';
    }
    if (m_hashed) {
        m_names.insert(value);
        if (value.contains(u','))
            m_anyComma = true;
    }
}

SelectionLists buildSelectionLists(const TitleTable& table)
{
    SelectionLists lists;
    QStringList authors;
    QStringList magazines;
    lists.titles.reserve(table.count());
    authors.reserve(table.count());
    magazines.reserve(table.count());
    FirstSeen years;
    FirstSeen months;
    for (const TitleRecord& record : table.records()) {
        lists.titles.append(record.title);
        addCandidate(authors, record.author);
        addCandidate(magazines, record.magazine);

        // Every non-empty first issue counts, whatever its form.
        if (record.firstIssue.isEmpty())
            continue;
        const QStringView issue(record.firstIssue);
        if (years.isNew(issue.left(4), lists.issueYearSet))
            lists.issueYears.append(issue.left(4).toString() + QStringLiteral("年"));
        if (months.isNew(issue.left(7), lists.issueMonthSet))
            lists.issueMonths.append(issue.left(7).toString());
    }
    // The two collation sorts are most of the work; they share nothing, so one runs on a worker thread. Should
    // the pool be busy, waiting for the result runs it here.
    QFuture<Names> authorNames = QtConcurrent::run([&authors] { return distinctNames(authors); });
    Names magazineNames = distinctNames(magazines);
    Names authorResult = authorNames.result();
    lists.authors = std::move(authorResult.sorted);
    lists.authorSet.assign(std::move(authorResult.firstSeen));
    lists.magazines = std::move(magazineNames.sorted);
    lists.magazineSet.assign(std::move(magazineNames.firstSeen));
    return lists;
}

bool textLessThan(const QString& a, const QString& b)
{
    const int order = collator().compare(a, b);
    return order != 0 ? order < 0 : a < b;
}

void insertSorted(QStringList& list, const QString& value)
{
    list.insert(std::upper_bound(list.cbegin(), list.cend(), value, textLessThan), value);
}

void sortText(QStringList& values)
{
    QStringList sorted;
    sorted.reserve(values.size());
    for (const qsizetype at : sortedPositions(values))
        sorted.append(values[at]);
    values = std::move(sorted);
}
