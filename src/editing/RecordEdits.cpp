#include "editing/RecordEdits.h"

#include "store/CollectionStore.h"
#include "ui/logic/AppState.h"

#include <optional>

namespace edits {

QString WriteCollectionFile(AppState& state)
{
    const QString error = state.store.writeCollection(state.titles);
    if (error.isEmpty())
        state.stale.SortListStale = true;
    return error;
}

QString changeRecord(AppState& state, int index, const std::function<void(TitleRecord&)>& apply)
{
    if (!state.titles.isValidIndex(index))
        return QString();
    const TitleRecord before = state.titles.at(index);
    apply(state.titles[index]);
    const QString error = WriteCollectionFile(state);
    if (!error.isEmpty())
        state.titles[index] = before;
    return error;
}

AddResult addRecords(CollectionStore& store, const QList<TitleRecord>& records)
{
    AddResult result;
    DataFolder& folder = store.folder();
    // What each volume file held before, so that a failure can put it back.
    QList<std::pair<QString, std::optional<QByteArray>>> written;
    auto rollBack = [&] {
        for (const auto& [name, old] : written) {
            if (old)
                folder.write(name, *old);
            else
                folder.remove(name);
        }
    };

    VolumeStates allCollected{};
    for (const TitleRecord& record : records) {
        const QString name = record.title + CollectionStore::VolumeSuffix;
        const std::optional<QByteArray> old = folder.read(name);
        const QString error = store.writeVolumeFile(name, allCollected);
        if (!error.isEmpty()) {
            rollBack();
            result.error = error;
            return result;
        }
        written.append({name, old});
    }

    const QString error = store.appendCollection(records);
    if (!error.isEmpty()) {
        rollBack();
        result.error = error;
        return result;
    }

    QStringList titles;
    for (const TitleRecord& record : records)
        titles << record.title;
    result.rankingError = store.appendRanking(titles);
    return result;
}

QString deleteRecord(AppState& state, int index)
{
    if (!state.titles.isValidIndex(index))
        return QString();
    TitleTable remaining = state.titles;
    remaining.removeAt(index);
    const QString error = state.store.writeCollection(remaining);
    if (!error.isEmpty())
        return error;

    const QString title = state.titles.at(index).title;
    // Another record of the same name (possible in a hand-edited file) still uses these files.
    const QString folded = title.toCaseFolded();
    for (const TitleRecord& record : remaining.records())
        if (record.title.toCaseFolded() == folded)
            return QString();
    state.store.removeTitleFiles(title);
    return QString();
}

} // namespace edits
