#include "history/OrderChange.h"

#include "store/CollectionStore.h"

#include <vector>

OrderChange::OrderChange(ChangeData& data, QList<int> from, const QString& what)
    : Change(data, what), m_from(std::move(from))
{
    // An order that leaves out a record or names one twice would lose it from the file: it is kept as no order.
    const int count = data.titles.count();
    std::vector<bool> seen(size_t(count) + 1, false);
    bool whole = m_from.size() == count;
    for (qsizetype k = 0; whole && k < m_from.size(); ++k) {
        const int i = m_from[k];
        whole = i >= 1 && i <= count && !seen[size_t(i)];
        if (whole)
            seen[size_t(i)] = true;
    }
    if (!whole)
        m_from.clear();
}

QString OrderChange::apply(bool forward)
{
    const TitleTable& titles = m_data.titles;
    if (titles.count() != m_from.size())
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
