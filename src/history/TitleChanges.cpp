#include "history/TitleChanges.h"

#include "store/CollectionStore.h"
#include "store/Cp932.h"
#include "store/DataFiles.h"

#include <algorithm>

TitleAdd::TitleAdd(ChangeData& data, const QString& title, const QList<TitleRecord>& records)
    : Change(data, quoted(title) + QStringLiteral("の追加")), m_records(records)
{
    for (const TitleRecord& record : records)
        m_titles << record.title;
    // The new titles are taken out of the ranking wherever they stand, whatever else it holds by then.
    mergesInto(CollectionStore::RankingFileName);
}

QString TitleAdd::apply(bool forward)
{
    return forward ? add() : takeBack();
}

QString TitleAdd::add()
{
    CollectionStore& store = m_data.store;
    DataFolder& folder = store.folder();
    m_first = m_data.titles.count() + 1;
    m_fileBefore = store.collectionBytesUnlessOwn(m_data.titles);

    // No record may reach the collection file without its volume file, so the volume files come first and
    // are put back when anything after them fails.
    QList<FileBytes> before;
    const auto rollBack = [&] {
        for (qsizetype i = 0; i < before.size(); ++i)
            changefiles::putBack(m_data.store, m_titles[i] + CollectionStore::VolumeSuffix, before[i]);
    };
    for (const QString& title : std::as_const(m_titles)) {
        const QString name = title + CollectionStore::VolumeSuffix;
        const FileBytes old = folder.read(name);
        if (const QString error = store.writeVolumeFile(name, VolumeStates{}); !error.isEmpty()) {
            rollBack();
            return error;
        }
        before.append(old);
    }
    const FileBytes collection = folder.read(CollectionStore::CollectionFileName);
    if (const QString error = store.appendCollection(m_records); !error.isEmpty()) {
        rollBack();
        return error;
    }
    // A redo gives back exactly what the change made: titles the ranking did not take then stay out of it, and
    // a redo whose ranking lines cannot be written again does not go ahead.
    if (!m_made || m_rankingTaken) {
        m_rankingError = m_ranking.append(m_data, m_titles);
        if (m_made && !m_rankingError.isEmpty()) {
            changefiles::putBack(m_data.store, CollectionStore::CollectionFileName, collection);
            rollBack();
            return m_rankingError;
        }
    }
    if (!m_made)
        m_rankingTaken = m_rankingError.isEmpty();
    m_made = true;
    m_volumesBefore = before;
    for (const TitleRecord& record : std::as_const(m_records))
        m_data.titles.append(record);
    return {};
}

QString TitleAdd::takeBack()
{
    CollectionStore& store = m_data.store;
    DataFolder& folder = store.folder();
    QString missing;
    const TitleTable remaining = changefiles::withoutAppended(m_data.titles, m_titles, &missing);
    if (!missing.isEmpty())
        return missing;

    // The ranking goes back after the collection file: taking it back may delete a file no write can make
    // again on a full disk, while the collection file just written can be given back the bytes it held.
    const FileBytes collection = folder.read(CollectionStore::CollectionFileName);
    if (const QString error =
            m_fileBefore ? store.restoreCollectionBytes(*m_fileBefore) : store.writeCollection(remaining);
        !error.isEmpty())
        return error;
    if (const QString error = m_ranking.takeBack(m_data); !error.isEmpty()) {
        changefiles::putBack(m_data.store, CollectionStore::CollectionFileName, collection);
        return error;
    }
    m_data.titles = remaining;
    m_ranking.takeBackFavourites(m_data);
    // Deleting cannot be taken back, so it comes last; a volume file that stays is harmless without its record,
    // but the user is told which.
    QStringList failures;
    for (qsizetype i = 0; i < m_titles.size(); ++i)
        if (const QString error = changefiles::putBack(m_data.store, m_titles[i] + CollectionStore::VolumeSuffix,
                                                       m_volumesBefore.value(i));
            !error.isEmpty())
            failures << error;
    m_undoNotice = failures.join(QStringLiteral("\n"));
    return {};
}

ChangeOutcome TitleAdd::outcome(bool forward) const
{
    const int count = m_data.titles.count();
    return {forward ? m_first : std::min(m_first - 1, count), true, ChangeOutcome::Everything};
}

qsizetype TitleAdd::heldBytes() const
{
    qsizetype bytes = m_fileBefore ? m_fileBefore->size() : 0;
    bytes += m_ranking.heldBytes();
    for (const FileBytes& volume : m_volumesBefore)
        bytes += volume ? volume->size() : 0;
    return bytes;
}

TitleDelete::TitleDelete(ChangeData& data, int index)
    : Change(data, quoted(data.titles.at(index).title) + QStringLiteral("の削除")), m_index(index),
      m_record(data.titles.at(index))
{
}

QString TitleDelete::apply(bool forward)
{
    return forward ? remove() : restore();
}

QString TitleDelete::remove()
{
    CollectionStore& store = m_data.store;
    DataFolder& folder = store.folder();
    TitleTable& titles = m_data.titles;
    if (!titles.isValidIndex(m_index) || titles.at(m_index) != m_record) {
        const int index = titles.indexOfTitle(m_record.title);
        if (index == 0)
            return changefiles::missingTitle(m_record.title);
        m_index = index;
    }
    m_countBefore = titles.count();
    TitleTable remaining = titles;
    remaining.removeAt(m_index);

    // Another record of the same name (possible in a hand-edited file) still uses these files.
    bool shared = false;
    const QString folded = m_record.title.toCaseFolded();
    for (const TitleRecord& record : remaining.records())
        shared = shared || record.title.toCaseFolded() == folded;
    QList<std::pair<QString, QByteArray>> files;
    if (!shared) {
        QStringList names;
        for (const QString& name : CollectionStore::titleFileNames(m_record.title))
            if (!CollectionStore::isProgramFile(name))
                names << name;
        // Every spelling, as the deletion removes every one; a file that cannot be read back is left alone.
        for (const QString& diskName : folder.spellingsOf(names))
            if (const FileBytes bytes = folder.readExact(diskName))
                files.append({diskName, *bytes});
    }

    m_fileBefore = store.collectionBytesUnlessOwn(titles);
    if (const QString error = store.writeCollection(remaining); !error.isEmpty())
        return error;
    titles = remaining;
    m_files = files;
    m_undone = false;
    QStringList kept;
    for (const auto& file : std::as_const(m_files))
        if (!folder.removeExact(file.first))
            kept << file.first;
    m_notice = kept.isEmpty() ? QString()
                              : QStringLiteral("「%1」を削除できませんでした。").arg(kept.join(QStringLiteral("」「")));
    return {};
}

QString TitleDelete::restore()
{
    CollectionStore& store = m_data.store;
    DataFolder& folder = store.folder();
    QStringList restored;
    const auto rollBack = [&] {
        for (const QString& diskName : std::as_const(restored))
            folder.removeExact(diskName);
    };
    for (const auto& [diskName, bytes] : std::as_const(m_files)) {
        if (const QString error = folder.writeExact(diskName, bytes); !error.isEmpty()) {
            rollBack();
            return error;
        }
        store.forgetRead(diskName);
        restored << diskName;
    }

    TitleTable table;
    const TitleTable& titles = m_data.titles;
    const int at = std::min(m_index, titles.count() + 1);
    table.reserve(titles.count() + 1);
    for (int i = 1; i <= titles.count() + 1; ++i) {
        if (i == at)
            table.append(m_record);
        if (i <= titles.count())
            table.append(titles.at(i));
    }
    const QString error = m_fileBefore ? store.restoreCollectionBytes(*m_fileBefore) : store.writeCollection(table);
    if (!error.isEmpty()) {
        rollBack();
        return error;
    }
    m_index = at;
    m_data.titles = std::move(table);
    m_undone = true;
    return {};
}

QString TitleDelete::changedBeside() const
{
    if (!m_undone)
        return {};
    // A redo deletes every file of the title: one that was not put back by the undo is another program's since.
    QStringList names;
    for (const QString& name : CollectionStore::titleFileNames(m_record.title))
        if (!CollectionStore::isProgramFile(name))
            names << name;
    for (const QString& diskName : m_data.store.folder().spellingsOf(names))
        if (std::none_of(m_files.cbegin(), m_files.cend(), [&](const auto& file) { return file.first == diskName; }))
            return diskName;
    return {};
}

ChangeOutcome TitleDelete::outcome(bool forward) const
{
    if (!forward)
        return {m_index, true, ChangeOutcome::Everything};
    const int count = m_data.titles.count();
    return {m_index == m_countBefore ? m_index - 1 : std::min(m_index, count), true, ChangeOutcome::Everything};
}

qsizetype TitleDelete::heldBytes() const
{
    qsizetype bytes = m_fileBefore ? m_fileBefore->size() : 0;
    for (const auto& file : m_files)
        bytes += file.second.size();
    return bytes;
}
