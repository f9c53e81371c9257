#include "history/RankingSave.h"

#include "store/CollectionStore.h"

RankingSave::RankingSave(ChangeData& data, const QStringList& titles)
    : Change(data, QStringLiteral("おもしろランキングの保存")), m_titles(titles)
{
}

QString RankingSave::apply(bool forward)
{
    CollectionStore& store = m_data.store;
    DataFolder& folder = store.folder();
    if (!m_made) {
        const FileBytes before = folder.read(CollectionStore::RankingFileName);
        if (const QString error = store.writeRanking(m_titles); !error.isEmpty())
            return error;
        m_made = true;
        m_before = before;
        m_after = folder.read(CollectionStore::RankingFileName);
        return {};
    }
    const QString error =
        changefiles::putBack(m_data.store, CollectionStore::RankingFileName, forward ? m_after : m_before);
    if (error.isEmpty())
        m_data.favourites = forward ? m_titles : store.readRanking();
    return error;
}

ChangeOutcome RankingSave::outcome(bool) const
{
    ChangeOutcome outcome;
    outcome.screen = ChangeOutcome::Screen::Favourites;
    return outcome;
}

qsizetype RankingSave::heldBytes() const
{
    return (m_before ? m_before->size() : 0) + (m_after ? m_after->size() : 0);
}
