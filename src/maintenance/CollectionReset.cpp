#include "maintenance/CollectionReset.h"

#include "store/CollectionStore.h"
#include "store/TitleTable.h"

namespace collectionreset {

QString clear(CollectionStore& store, const TitleTable& titles)
{
    // Both files are emptied through the store's writers, which refuse while the collection is locked: only the
    // files of the titles read would go, and those of the titles that could not be read would stay behind.
    DataFolder& folder = store.folder();
    const bool hadCollection = folder.exists(CollectionStore::CollectionFileName);
    const std::optional<QByteArray> oldCollection = folder.read(CollectionStore::CollectionFileName);
    if (QString error = store.writeCollection(TitleTable()); !error.isEmpty())
        return error;
    if (QString error = store.writeRanking({}); !error.isEmpty()) {
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
