#include "history/OrderChange.h"

#include "store/CollectionStore.h"

#include <QHash>

OrderChange::OrderChange(ChangeData& data, const TitleTable& reordered, const QString& what) : Change(data, what)
{
    // Records of one title (possible in a hand-edited file) are told apart by their other fields. Each title's
    // records are chained in file order from one hash entry, and a record taken is unlinked, so that tens of
    // thousands of titles cost one lookup each and no list of their own.
    const TitleTable& titles = data.titles;
    QHash<QString, int> first;
    first.reserve(titles.count());
    QList<int> next(titles.count() + 1, 0);
    for (int i = titles.count(); i >= 1; --i) {
        int& head = first[titles.at(i).title];
        next[i] = head;
        head = i;
    }
    m_from.reserve(reordered.count());
    for (const TitleRecord& record : reordered.records()) {
        int taken = 0;
        if (const auto found = first.find(record.title); found != first.end()) {
            for (int previous = 0, at = *found; at != 0; previous = at, at = next[at]) {
                if (titles.at(at) != record)
                    continue;
                (previous == 0 ? *found : next[previous]) = next[at];
                taken = at;
                break;
            }
        }
        m_from.append(taken);
    }
}

QString OrderChange::apply(bool forward)
{
    const TitleTable& titles = m_data.titles;
    if (titles.count() != m_from.size() || m_from.contains(0))
        return QStringLiteral("データファイルの件数が変わったため、並び順を変えられません。");
    TitleTable table;
    table.reserve(titles.count());
    if (forward) {
        for (const int from : std::as_const(m_from))
            table.append(titles.at(from));
    } else {
        QList<const TitleRecord*> before(titles.count());
        for (int k = 0; k < m_from.size(); ++k)
            before[m_from[k] - 1] = &titles.at(k + 1);
        for (const TitleRecord* record : std::as_const(before))
            table.append(*record);
    }
    if (forward)
        m_fileBefore = m_data.store.collectionBytesUnlessOwn(titles);
    const QString error = !forward && m_fileBefore ? m_data.store.restoreCollectionBytes(*m_fileBefore)
                                                   : m_data.store.writeCollection(table);
    if (error.isEmpty())
        m_data.titles = std::move(table);
    return error;
}

ChangeOutcome OrderChange::outcome(bool) const
{
    return {1, true,
            ChangeOutcome::StatusGrid | ChangeOutcome::SortList | ChangeOutcome::SearchList |
                ChangeOutcome::GalleryOrder};
}

qsizetype OrderChange::heldBytes() const
{
    return m_from.size() * qsizetype(sizeof(int)) + (m_fileBefore ? m_fileBefore->size() : 0);
}
