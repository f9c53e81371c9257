#include "history/RankingAppend.h"

#include "store/CollectionStore.h"
#include "store/Cp932.h"
#include "store/DataFiles.h"
#include "store/DataFolder.h"

namespace {

QByteArray rankingLines(const QStringList& titles)
{
    // Titles are code page 932 text: every way of adding a title refuses other characters before it is made.
    return cp932::encode(rankingfile::format(titles)).bytes;
}

} // namespace

QString RankingAppend::append(ChangeData& data, const QStringList& titles)
{
    m_titles = titles;
    const QByteArray lines = rankingLines(m_titles);
    const FileBytes ranking = data.store.folder().read(CollectionStore::RankingFileName);
    const QString error = data.store.appendRanking(m_titles);
    m_appended = error.isEmpty();
    m_existed = ranking.has_value();
    m_before.reset();
    if (ranking && DataFolder::appended(*ranking, lines) != *ranking + lines)
        m_before = ranking;
    // The favourites in memory follow the ranking file: a title the file did not take is not among them.
    if (m_appended)
        data.favourites += m_titles;
    return error;
}

QString RankingAppend::takeBack(ChangeData& data) const
{
    if (!m_appended)
        return {};
    CollectionStore& store = data.store;
    // Titles another program put in the file since (or took out of it) are kept there whether or not taking
    // back succeeds; the favourites in memory lack them, and a later save from memory would lose them, so the
    // window reads the files again.
    QStringList kept = store.readRanking();
    QStringList remembered = data.favourites;
    for (auto it = m_titles.crbegin(); it != m_titles.crend(); ++it) {
        if (const qsizetype at = kept.lastIndexOf(*it); at >= 0)
            kept.removeAt(at);
        if (const qsizetype at = remembered.lastIndexOf(*it); at >= 0)
            remembered.removeAt(at);
    }
    if (remembered != kept)
        store.noticeOutsideChange(CollectionStore::RankingFileName);

    const QByteArray lines = rankingLines(m_titles);
    const FileBytes now = store.folder().read(CollectionStore::RankingFileName);
    if (!m_existed && now == lines)
        return store.putBack(CollectionStore::RankingFileName, std::nullopt);
    if (m_before && now == DataFolder::appended(*m_before, lines))
        return store.putBack(CollectionStore::RankingFileName, *m_before);
    if (now && now->endsWith(lines))
        return store.putBack(CollectionStore::RankingFileName, now->chopped(lines.size()));
    // Saved since in another order: the new titles leave it wherever they are.
    return store.writeRanking(kept);
}

void RankingAppend::takeBackFavourites(ChangeData& data) const
{
    if (!m_appended)
        return;
    for (auto it = m_titles.crbegin(); it != m_titles.crend(); ++it)
        if (const qsizetype at = data.favourites.lastIndexOf(*it); at >= 0)
            data.favourites.removeAt(at);
}
