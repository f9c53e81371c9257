#pragma once

#include "store/TitleTable.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

// The set of values a combo list already holds, kept as the string ",a,b,c," that has always stood for it,
// beside a hash set so that the whole-name test stays constant-time. Both are built on first use: a collection
// of tens of thousands of names pays for neither at start-up.
class MembershipSet final {
public:
    void clear();
    // Replaces the set with names, distinct, in the order they were first seen (the order of the string).
    void assign(QStringList names);
    // The same for the distinct names of candidates, the names in table order they were drawn from, which the
    // set keeps (shared) so that the next lists can tell what changed; the distinct names are worked out only
    // when first asked for, unless given.
    void assignFrom(QStringList candidates, std::optional<QStringList> names = std::nullopt);
    // The candidates the set was made from; nothing once a name was added by hand (or never given).
    const std::optional<QStringList>& candidates() const { return m_candidates; }
    // True when the set string holds ",value," (the whole name, case-sensitive).
    bool containsWhole(const QString& value) const;
    // True when the set string holds value anywhere (a part of a longer name counts).
    bool containsSubstring(const QString& value) const { return text().contains(value); }
    void add(const QString& value);
    QString text() const;

private:
    void hash() const;
    void order() const;

    std::optional<QStringList> m_candidates;
    mutable QStringList m_order; // valid unless m_unordered
    mutable bool m_unordered = false;
    mutable QString m_text;        // empty until text() first asks
    mutable QSet<QString> m_names; // valid when m_hashed
    mutable bool m_hashed = false;
    mutable bool m_anyComma = false; // a name holding a comma makes the string test differ from the hash test
};

// What the title table offers the main page's combos, in the order the combos list them.
struct SelectionLists {
    QStringList titles;      // every title, table order, duplicates included
    QStringList authors;     // sorted, without "" and "未登録"
    QStringList magazines;   // sorted, without "" and "未登録"
    QStringList issueYears;  // "2002年", order of first appearance
    QStringList issueMonths; // "2002/02", order of first appearance
    MembershipSet authorSet;
    MembershipSet magazineSet;
    MembershipSet issueYearSet;
    MembershipSet issueMonthSet;
};

SelectionLists buildSelectionLists(const TitleTable& table);
// The same lists, made from earlier, the lists of the table before a change that added, removed or changed a few
// records in one place: only the authors and magazines that came or went are placed, each by a binary search,
// where building them anew sorts every name again. Any other change falls back to building them anew.
SelectionLists updatedSelectionLists(const SelectionLists& earlier, const TitleTable& table);

// Ascending text order of the author and magazine lists.
bool textLessThan(const QString& a, const QString& b);
// Sorts values in textLessThan order, fast enough for tens of thousands of names.
void sortText(QStringList& values);
// Inserts value into a list kept in textLessThan order.
void insertSorted(QStringList& list, const QString& value);
