#include "maintenance/CollectionReset.h"

#include "store/CollectionStore.h"
#include "store/TitleTable.h"

namespace collectionreset {

QString clear(CollectionStore& store, const TitleTable& titles)
{
    DataFolder& folder = store.folder();
    // Emptying is wanted even when the collection file could not be read whole: everything in it goes, so
    // nothing unread can be cut off. The store's write lock guards saves of a partly read table, not this.
    const bool hadCollection = folder.exists(CollectionStore::CollectionFileName);
    const std::optional<QByteArray> oldCollection = folder.read(CollectionStore::CollectionFileName);
    if (QString error = folder.write(CollectionStore::CollectionFileName, QByteArray()); !error.isEmpty())
        return error;
    if (QString error = folder.write(CollectionStore::RankingFileName, QByteArray()); !error.isEmpty()) {
        // Put the collection back, so that a failed reset leaves the titles and their ranking together.
        // A collection file that was missing reads as empty, which it is now.
        QString restored;
        if (oldCollection)
            restored = folder.write(CollectionStore::CollectionFileName, *oldCollection);
        else if (hadCollection)
            restored = QStringLiteral("元の内容を読み込めませんでした。");
        if (!restored.isEmpty())
            error += QStringLiteral("\n「%1」は空になったまま、元に戻せませんでした。\n%2")
                         .arg(CollectionStore::CollectionFileName, restored);
        return error;
    }

    QStringList names;
    names.reserve(qsizetype(titles.count()) * 5);
    for (const TitleRecord& record : titles.records())
        for (const QString& name : CollectionStore::titleFileNames(record.title))
            if (!CollectionStore::isProgramFile(name))
                names.append(name);
    // Names that are no file name (a path separator, "..") are passed over by the folder.
    folder.remove(names);
    return {};
}

} // namespace collectionreset
