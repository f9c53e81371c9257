#include "BackupBench.h"

#include "SyntheticCollection.h"
#include "history/Backups.h"
#include "store/CollectionStore.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace {

// The least a generation of links costs: listing the folder and one hard link per file into a fresh folder.
double linkFloorMs(const QString& folder, const QStringList& names)
{
    const QString target = folder + QStringLiteral("/floor-links");
    QDir().mkdir(target);
    const double ms = timing::measureMs([&] {
        QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System);
        while (it.hasNext())
            it.next();
        for (const QString& name : names)
            ::link(QFile::encodeName(folder + QLatin1Char('/') + name).constData(),
                   QFile::encodeName(target + QLatin1Char('/') + name).constData());
    });
    QDir(target).removeRecursively();
    return ms;
}

// The least a restore of links costs: one link to a staging name and one rename over the target per file.
// A rename onto a link of the same file does nothing and leaves the staging name in place (as it does after an
// earlier restore of the same generation), so that name is cleared before the next link; never is one file's
// staging link renamed over another file.
double restoreFloorMs(const QString& folder, const QString& generation, const QStringList& names)
{
    const QByteArray staging = QFile::encodeName(folder + QStringLiteral("/floor-staging"));
    const double ms = timing::measureMs([&] {
        for (const QString& name : names) {
            const QByteArray source = QFile::encodeName(generation + QLatin1Char('/') + name);
            if (::link(source.constData(), staging.constData()) != 0) {
                if (errno != EEXIST || ::unlink(staging.constData()) != 0 ||
                    ::link(source.constData(), staging.constData()) != 0)
                    continue;
            }
            std::rename(staging.constData(), QFile::encodeName(folder + QLatin1Char('/') + name).constData());
        }
    });
    ::unlink(staging.constData());
    return ms;
}

} // namespace

BackupResults measureBackups(const SyntheticCollection& collection, int runs)
{
    BackupResults results;
    CollectionStore store(collection.path());
    const CollectionStore::Load load = store.loadCollection();
    if (load.table.count() != collection.titleCount()) {
        results.error = QStringLiteral("backup: the collection did not load whole");
        return results;
    }
    Backups backups(store);
    timing::Samples take(QStringLiteral("backup_take"));
    timing::Samples restore(QStringLiteral("restore"));
    for (int run = 0; run < runs; ++run) {
        QString error;
        const double ms = timing::measureMs([&] { error = backups.take(load.table, backup::Reason::Daily); });
        if (!error.isEmpty()) {
            results.error = QStringLiteral("backup_take: ") + error;
            return results;
        }
        const Generation newest = backups.list().constFirst();
        const QString generation = backups.folderPath() + QLatin1Char('/') + newest.folderName;
        QStringList names = QDir(generation).entryList(QDir::Files);
        names.removeAll(manifest::FileName);
        take.add(ms, linkFloorMs(collection.path(), names));

        Backups::Restore result;
        const double restoreMs = timing::measureMs([&] { result = backups.restore(newest.folderName, load.table); });
        if (!result.error.isEmpty()) {
            results.error = QStringLiteral("restore: ") + result.error;
            return results;
        }
        restore.add(restoreMs, restoreFloorMs(collection.path(), generation, names));
    }
    if (backups.list().size() > Backups::Kept)
        results.error = QStringLiteral("backup: more generations kept than %1").arg(Backups::Kept);
    QDir(backups.folderPath()).removeRecursively();
    store.folder().rescan();
    results.measurements = {take.result(), restore.result()};
    return results;
}
