#include "history/RecordChanges.h"

#include "store/CollectionStore.h"
#include "store/DataFolder.h"

#include <algorithm>

namespace {

QString stepText(const QString& title, const QString& what)
{
    return Change::quoted(title) + QStringLiteral("の") + what;
}

// Index of the record now holding title: the remembered index when it still does, else the first by name.
int locate(const TitleTable& titles, int remembered, const QString& title)
{
    if (titles.isValidIndex(remembered) && titles.at(remembered).title == title)
        return remembered;
    return titles.indexOfTitle(title);
}

} // namespace

RecordEdit::RecordEdit(ChangeData& data, int index, const TitleRecord& after, const QString& what, unsigned stale)
    : Change(data, stepText(after.title, what)), m_index(index), m_before(data.titles.at(index)), m_after(after),
      m_stale(stale | ChangeOutcome::SortList)
{
}

QString RecordEdit::apply(bool forward)
{
    TitleTable& titles = m_data.titles;
    const int index = locate(titles, m_index, m_before.title);
    if (index == 0)
        return changefiles::missingTitle(m_before.title);
    m_index = index;
    const TitleRecord& from = forward ? m_before : m_after;
    const TitleRecord& to = forward ? m_after : m_before;
    if (forward)
        m_fileBefore = m_data.store.collectionBytesUnlessOwn(titles);
    titles[index] = to;
    const QString error = !forward && m_fileBefore ? m_data.store.restoreCollectionBytes(*m_fileBefore)
                                                   : m_data.store.writeCollection(titles);
    if (!error.isEmpty())
        titles[index] = from;
    return error;
}

ChangeOutcome RecordEdit::outcome(bool) const
{
    return {m_index, false, m_stale};
}

VolumeToggle::VolumeToggle(ChangeData& data, const QString& title, int volume, qint16 state,
                           ChangeOutcome::Screen screen)
    : Change(data, QString()), m_title(title), m_fileName(title + CollectionStore::VolumeSuffix), m_volumes{volume},
      m_state(state), m_screen(screen)
{
    const int index = data.titles.indexOfTitle(title);
    const int first = index ? data.titles.at(index).startVolume : 0;
    setText(stepText(title, Change::fullWidthNumber(first + volume) + QStringLiteral("巻")));
}

VolumeToggle::VolumeToggle(ChangeData& data, const QString& title, const QList<int>& volumes, qint16 state)
    : Change(data, stepText(title, QStringLiteral("巻の一括入力"))), m_title(title),
      m_fileName(title + CollectionStore::VolumeSuffix), m_volumes(volumes), m_state(state)
{
}

QString VolumeToggle::apply(bool forward)
{
    CollectionStore& store = m_data.store;
    DataFolder& folder = store.folder();
    if (m_made)
        return changefiles::putBack(store, m_fileName, forward ? m_after : m_before);

    // Read just now, so that the write below replaces exactly what was read, with only the asked volumes changed.
    const FileBytes before = folder.read(m_fileName);
    VolumeStates states = store.readVolumeFile(m_fileName);
    QList<int> changed;
    for (const int volume : std::as_const(m_volumes)) {
        if (volume < 1 || volume > volumefile::Volumes || states[volume] == m_state)
            continue;
        states[volume] = m_state;
        changed << volume;
    }
    if (!changed.isEmpty()) {
        if (const QString error = store.writeVolumeFile(m_fileName, states); !error.isEmpty())
            return error;
    }
    m_made = true;
    m_volumes = changed;
    m_before = before;
    m_after = folder.read(m_fileName);
    return {};
}

ChangeOutcome VolumeToggle::outcome(bool) const
{
    ChangeOutcome outcome{m_data.titles.indexOfTitle(m_title), false,
                          ChangeOutcome::StatusList | ChangeOutcome::Uncollected};
    outcome.screen = m_screen;
    return outcome;
}

qsizetype VolumeToggle::heldBytes() const
{
    return (m_before ? m_before->size() : 0) + (m_after ? m_after->size() : 0);
}

MemoSave::MemoSave(ChangeData& data, const QString& title, const QString& memo)
    : Change(data, stepText(title, QStringLiteral("メモ"))), m_title(title), m_memo(memo)
{
}

QString MemoSave::apply(bool forward)
{
    CollectionStore& store = m_data.store;
    DataFolder& folder = store.folder();
    if (!m_made) {
        const FileBytes before = folder.read(m_title + CollectionStore::MemoSuffix);
        if (const QString error = store.writeMemo(m_title, m_memo); !error.isEmpty())
            return error;
        m_made = true;
        m_before = before;
        m_diskName = folder.existingName(m_title + CollectionStore::MemoSuffix);
        m_after = folder.read(m_diskName);
        return {};
    }
    return changefiles::putBack(m_data.store, m_diskName, forward ? m_after : m_before);
}

ChangeOutcome MemoSave::outcome(bool) const
{
    return {m_data.titles.indexOfTitle(m_title), false, 0};
}

qsizetype MemoSave::heldBytes() const
{
    return (m_before ? m_before->size() : 0) + (m_after ? m_after->size() : 0);
}

CoverImport::CoverImport(ChangeData& data, const QString& title, std::function<QString()> install)
    : Change(data, stepText(title, QStringLiteral("画像"))), m_title(title), m_install(std::move(install))
{
}

QList<CoverImport::CoverFile> CoverImport::snapshot() const
{
    const DataFolder& folder = m_data.store.folder();
    QStringList names;
    for (const QString& suffix : CollectionStore::CoverSuffixes)
        names << m_title + suffix;
    QList<CoverFile> files;
    for (const QString& diskName : folder.spellingsOf(names))
        files.append({diskName, folder.readExact(diskName), {}});
    return files;
}

QString CoverImport::apply(bool forward)
{
    if (!m_made) {
        QList<CoverFile> files = snapshot();
        if (const QString error = m_install(); !error.isEmpty())
            return error;
        m_made = true;
        m_install = nullptr;
        // Files the import made are known only afterwards; each one did not exist before.
        for (const CoverFile& now : snapshot()) {
            const auto known = std::find_if(files.begin(), files.end(),
                                            [&](const CoverFile& f) { return f.diskName == now.diskName; });
            if (known == files.end())
                files.append({now.diskName, std::nullopt, now.before});
            else
                known->after = now.before;
        }
        // A cover the import left as it was is not the step's: putting it back could undo another program's
        // change made since, which no seal would catch.
        files.removeIf([](const CoverFile& file) { return file.before == file.after; });
        m_files = std::move(files);
        return {};
    }
    // Each file is put back atomically, the writes first and the deletions last: a deletion needs no room, so on a
    // full disk the first write fails before anything changed. When one fails, those already put back return to
    // where they were.
    QList<const CoverFile*> order;
    for (const CoverFile& file : std::as_const(m_files))
        if (forward ? file.after : file.before)
            order.append(&file);
    for (const CoverFile& file : std::as_const(m_files))
        if (!(forward ? file.after : file.before))
            order.append(&file);
    for (qsizetype i = 0; i < order.size(); ++i) {
        const CoverFile& file = *order.at(i);
        if (const QString error = changefiles::putBack(m_data.store, file.diskName, forward ? file.after : file.before);
            !error.isEmpty()) {
            for (qsizetype j = 0; j < i; ++j)
                changefiles::putBack(m_data.store, order.at(j)->diskName,
                                     forward ? order.at(j)->before : order.at(j)->after);
            return error;
        }
    }
    return {};
}

ChangeOutcome CoverImport::outcome(bool) const
{
    return {m_data.titles.indexOfTitle(m_title), false, ChangeOutcome::Gallery};
}

qsizetype CoverImport::heldBytes() const
{
    qsizetype bytes = 0;
    for (const CoverFile& file : m_files)
        bytes += (file.before ? file.before->size() : 0) + (file.after ? file.after->size() : 0);
    return bytes;
}
