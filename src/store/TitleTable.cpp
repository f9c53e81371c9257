#include "store/TitleTable.h"

#include "store/ReleaseLater.h"

int TitleTable::indexOfTitle(const QString& title) const
{
    for (int i = 0; i < m_records.size(); ++i) {
        if (m_records[i].title == title)
            return i + 1;
    }
    return 0;
}

void TitleTable::replaceWith(TitleTable&& table)
{
    // A small table frees quicker than a thread is woken, and records shared with another copy are not freed
    // here at all.
    constexpr qsizetype WorthAThread = 1024;
    QList<TitleRecord> old = std::exchange(m_records, std::move(table.m_records));
    if (old.size() >= WorthAThread && old.isDetached())
        releaseLater(std::move(old));
}
