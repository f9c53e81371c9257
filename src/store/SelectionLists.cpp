#include "store/SelectionLists.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <vector>

namespace {

const QString NotEntered = QStringLiteral("未登録");

QCollator& collator()
{
    // Creating a collator loads locale data; one per thread is enough.
    thread_local QCollator instance{QLocale(QLocale::Japanese, QLocale::Japan)};
    return instance;
}

void addName(const QString& name, MembershipSet& set, QStringList& list)
{
    if (name.isEmpty() || name == NotEntered || set.containsWhole(name))
        return;
    set.add(name);
    list.append(name);
}

} // namespace

void MembershipSet::clear()
{
    m_text = QStringLiteral(",");
    m_names.clear();
    m_anyComma = false;
}

bool MembershipSet::containsWhole(const QString& value) const
{
    // Without commas in any name or in value, ",value," can only match one whole name of the string.
    if (!m_anyComma && !value.contains(u','))
        return m_names.contains(value);
    return m_text.contains(u',' + value + u',');
}

void MembershipSet::add(const QString& value)
{
    m_text += value + u',';
    m_names.insert(value);
    if (value.contains(u','))
        m_anyComma = true;
}

SelectionLists buildSelectionLists(const TitleTable& table)
{
    SelectionLists lists;
    lists.titles.reserve(table.count());
    for (const TitleRecord& record : table.records()) {
        lists.titles.append(record.title);
        addName(record.author, lists.authorSet, lists.authors);
        addName(record.magazine, lists.magazineSet, lists.magazines);

        // Every non-empty first issue counts, whatever its form.
        if (record.firstIssue.isEmpty())
            continue;
        const QString year = record.firstIssue.left(4);
        if (!lists.issueYearSet.containsWhole(year)) {
            lists.issueYearSet.add(year);
            lists.issueYears.append(year + QStringLiteral("年"));
        }
        const QString month = record.firstIssue.left(7);
        if (!lists.issueMonthSet.containsWhole(month)) {
            lists.issueMonthSet.add(month);
            lists.issueMonths.append(month);
        }
    }
    sortText(lists.authors);
    sortText(lists.magazines);
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

// Sort keys make each comparison a byte comparison.
void sortText(QStringList& values)
{
    QCollator& c = collator();
    std::vector<std::pair<QCollatorSortKey, qsizetype>> keyed;
    keyed.reserve(values.size());
    for (qsizetype i = 0; i < values.size(); ++i)
        keyed.emplace_back(c.sortKey(values[i]), i);
    std::sort(keyed.begin(), keyed.end(), [&values](const auto& a, const auto& b) {
        const int order = a.first.compare(b.first);
        // Values the collation finds equal still get one fixed order.
        return order != 0 ? order < 0 : values[a.second] < values[b.second];
    });
    QStringList sorted;
    sorted.reserve(values.size());
    for (const auto& entry : keyed)
        sorted.append(values[entry.second]);
    values = std::move(sorted);
}
