#include "store/SelectionLists.h"

#include "store/TextCollation.h"
#include "store/TextKeys.h"

#include <QFuture>
#include <QHash>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <optional>
#include <vector>

namespace {

const QString NotEntered = QStringLiteral("未登録");

struct Names {
    QStringList sorted;    // distinct, in textLessThan order
    QStringList firstSeen; // distinct, in the order of first appearance
};

// Equal values sort next to each other, first appearance first, so one sort both orders and dedupes.
Names distinctNames(const QStringList& values, const std::vector<qsizetype>& sortedPositions)
{
    Names names;
    names.sorted.reserve(values.size());
    std::vector<char> first(values.size(), 0);
    for (const qsizetype at : sortedPositions) {
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

// The lists kept in table order: every title, and the first-issue years and months.
void fillTableOrderLists(const TitleTable& table, SelectionLists& lists)
{
    lists.titles.reserve(table.count());
    FirstSeen years;
    FirstSeen months;
    for (const TitleRecord& record : table.records()) {
        lists.titles.append(record.title);

        // Every non-empty first issue counts, whatever its form.
        if (record.firstIssue.isEmpty())
            continue;
        const QStringView issue(record.firstIssue);
        if (years.isNew(issue.left(4), lists.issueYearSet))
            lists.issueYears.append(issue.left(4).toString() + QStringLiteral("年"));
        if (months.isNew(issue.left(7), lists.issueMonthSet))
            lists.issueMonths.append(issue.left(7).toString());
    }
}

// More names than this come or go, and sorting them all again is the quicker way.
constexpr qsizetype MostPlaced = 16;

// True when names, with repeats, are exactly the distinct names of sorted: the records were put in another
// order, or changed without a name coming or going, and the sorted list stands as it is.
bool holdsExactly(const QStringList& names, const QStringList& sorted)
{
    QHash<ViewKey, qsizetype> places;
    places.reserve(sorted.size());
    for (qsizetype i = 0; i < sorted.size(); ++i)
        places.insert(ViewKey{sorted[i]}, i);
    std::vector<bool> seen(size_t(sorted.size()), false);
    qsizetype unseen = sorted.size();
    for (const QString& name : names) {
        const auto place = places.constFind(ViewKey{name});
        if (place == places.cend())
            return false;
        if (!seen[size_t(*place)]) {
            seen[size_t(*place)] = true;
            --unseen;
        }
    }
    return unseen == 0;
}

// The sorted list of earlier's distinct names updated to those of now, both names in table order: the two
// sequences agree but for a short stretch when records were added or removed in one place, and only the names
// of that stretch can come or go. A long stretch keeps the list only when no name came or went (the records
// were reordered); otherwise, or when earlier's names are not known, nothing.
std::optional<QStringList> patchedSorted(const QStringList& sorted, const MembershipSet& earlierSet,
                                         const QStringList& now)
{
    if (!earlierSet.candidates())
        return std::nullopt;
    const QStringList& before = *earlierSet.candidates();
    qsizetype head = 0;
    const qsizetype shorter = std::min(before.size(), now.size());
    while (head < shorter && before[head] == now[head])
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head && before[before.size() - 1 - tail] == now[now.size() - 1 - tail])
        ++tail;
    const qsizetype beforeEnd = before.size() - tail;
    const qsizetype nowEnd = now.size() - tail;
    if ((beforeEnd - head) + (nowEnd - head) > MostPlaced)
        return holdsExactly(now, sorted) ? std::optional(sorted) : std::nullopt;

    QStringList patched = sorted;
    // A name of the stretch left behind goes unless now still holds it somewhere.
    for (qsizetype i = head; i < beforeEnd; ++i) {
        const QString& name = before[i];
        if (now.contains(name))
            continue;
        const auto at = std::lower_bound(patched.cbegin(), patched.cend(), name, textLessThan);
        if (at != patched.cend() && *at == name)
            patched.removeAt(at - patched.cbegin());
    }
    // A name of the new stretch comes in unless the list holds it already.
    for (qsizetype i = head; i < nowEnd; ++i) {
        const QString& name = now[i];
        const auto at = std::lower_bound(patched.cbegin(), patched.cend(), name, textLessThan);
        if (at == patched.cend() || *at != name)
            patched.insert(at - patched.cbegin(), name);
    }
    return patched;
}

} // namespace

void MembershipSet::clear()
{
    m_candidates.reset();
    m_unordered = false;
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

void MembershipSet::assignFrom(QStringList candidates, std::optional<QStringList> names)
{
    clear();
    m_candidates = std::move(candidates);
    if (names)
        m_order = std::move(*names);
    else
        m_unordered = true;
}

void MembershipSet::order() const
{
    if (!m_unordered)
        return;
    QSet<QStringView> seen;
    seen.reserve(m_candidates->size());
    m_order.reserve(m_candidates->size());
    for (const QString& name : *m_candidates) {
        if (seen.contains(name))
            continue;
        seen.insert(name);
        m_order.append(name);
    }
    m_unordered = false;
}

QString MembershipSet::text() const
{
    order();
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
    order();
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
    order();
    // A name added by hand is no name of the table: the set no longer stands for its candidates.
    m_candidates.reset();
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

namespace {

// The names the author and magazine lists may offer, in table order.
void gatherNames(const TitleTable& table, QStringList& authors, QStringList& magazines)
{
    authors.reserve(table.count());
    magazines.reserve(table.count());
    for (const TitleRecord& record : table.records()) {
        addCandidate(authors, record.author);
        addCandidate(magazines, record.magazine);
    }
}

void sortNames(const QStringList& authors, const QStringList& magazines, SelectionLists& lists)
{
    // The two collation sorts are most of the work; they are done together, on every core.
    const std::vector<std::vector<qsizetype>> sorted = collation::sortedPositionsOfEach({&authors, &magazines});
    QFuture<Names> authorsLater = QtConcurrent::run([&] { return distinctNames(authors, sorted[0]); });
    Names magazineNames = distinctNames(magazines, sorted[1]);
    Names authorNames = authorsLater.result();
    lists.authors = std::move(authorNames.sorted);
    lists.authorSet.assignFrom(authors, std::move(authorNames.firstSeen));
    lists.magazines = std::move(magazineNames.sorted);
    lists.magazineSet.assignFrom(magazines, std::move(magazineNames.firstSeen));
}

// The earlier sorted lists with the names that came or went placed; false, leaving lists alone, when too many
// did.
bool patchNames(const SelectionLists& earlier, const QStringList& authors, const QStringList& magazines,
                SelectionLists& lists)
{
    std::optional<QStringList> sortedAuthors = patchedSorted(earlier.authors, earlier.authorSet, authors);
    if (!sortedAuthors)
        return false;
    std::optional<QStringList> sortedMagazines = patchedSorted(earlier.magazines, earlier.magazineSet, magazines);
    if (!sortedMagazines)
        return false;
    lists.authors = std::move(*sortedAuthors);
    lists.authorSet.assignFrom(authors);
    lists.magazines = std::move(*sortedMagazines);
    lists.magazineSet.assignFrom(magazines);
    return true;
}

} // namespace

SelectionLists buildSelectionLists(const TitleTable& table)
{
    // The lists in table order are made on a worker thread while this one gathers the names to sort; the two
    // touch different members. Should the pool be busy, waiting for it runs it here.
    SelectionLists lists;
    QFuture<void> tableOrder = QtConcurrent::run([&table, &lists] { fillTableOrderLists(table, lists); });
    QStringList authors;
    QStringList magazines;
    gatherNames(table, authors, magazines);
    sortNames(authors, magazines, lists);
    tableOrder.waitForFinished();
    return lists;
}

SelectionLists updatedSelectionLists(const SelectionLists& earlier, const TitleTable& table)
{
    SelectionLists lists;
    QFuture<void> tableOrder = QtConcurrent::run([&table, &lists] { fillTableOrderLists(table, lists); });
    QStringList authors;
    QStringList magazines;
    gatherNames(table, authors, magazines);
    // Lists made before any table was read, or changed by hand since, fall back to sorting.
    const bool kept = patchNames(earlier, authors, magazines, lists);
    if (!kept)
        sortNames(authors, magazines, lists);
    tableOrder.waitForFinished();
    return lists;
}

bool textLessThan(const QString& a, const QString& b)
{
    return collation::compare(a, b) < 0;
}

void insertSorted(QStringList& list, const QString& value)
{
    list.insert(std::upper_bound(list.cbegin(), list.cend(), value, textLessThan), value);
}

void sortText(QStringList& values)
{
    QStringList sorted;
    sorted.reserve(values.size());
    for (const qsizetype at : collation::sortedPositions(values))
        sorted.append(values[at]);
    values = std::move(sorted);
}
