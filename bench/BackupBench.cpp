#include "BackupBench.h"

#include "IoFloor.h"
#include "SyntheticCollection.h"
#include "history/BackupContent.h"
#include "history/Backups.h"
#include "store/CollectionStore.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <sys/stat.h>

namespace {

// Covers of titles beyond the collection's own, each of its own bytes (no two share content), so that the
// folder holds ExtraCoversUpTo covers.
constexpr int ExtraCoversUpTo = 1000;

// Bytes on disk of the regular files under path (blocks, not sizes: a small file takes a whole block).
qint64 diskBytes(const QString& path, bool recursive)
{
    qint64 bytes = 0;
    QDirIterator it(path, QDir::Files | QDir::Hidden,
                    recursive ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
    while (it.hasNext()) {
        struct stat info {};
        if (::lstat(QFile::encodeName(it.next()).constData(), &info) == 0)
            bytes += qint64(info.st_blocks) * 512;
    }
    return bytes;
}

double mib(qint64 bytes)
{
    return double(bytes) / (1024.0 * 1024.0);
}

} // namespace

BackupResults measureBackups(const SyntheticCollection& collection, int runs)
{
    BackupResults results;
    const QString folder = collection.path();
    const QByteArray cover = [&] {
        QFile file(folder + QLatin1Char('/') + collection.coverFileName(1));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    QStringList extraCovers;
    for (int i = SyntheticCollection::CoveredTitles + 1; i <= std::min(ExtraCoversUpTo, collection.titleCount()); ++i) {
        const QString name = collection.title(i) + QStringLiteral(".jpg");
        QFile file(folder + QLatin1Char('/') + name);
        // Bytes after a JPEG's end are ignored by readers; they make each cover a content of its own.
        if (!file.open(QIODevice::WriteOnly) || file.write(cover + QByteArray::number(i)) < 0) {
            results.error = QStringLiteral("backup: a cover could not be written");
            return results;
        }
        extraCovers.append(name);
    }

    CollectionStore store(folder);
    store.folder().rescan();
    const CollectionStore::Load load = store.loadCollection();
    if (load.table.count() != collection.titleCount()) {
        results.error = QStringLiteral("backup: the collection did not load whole");
        return results;
    }
    Backups backups(store);
    QStringList names;
    for (const TitleRecord& record : load.table.records())
        for (const QString& name : CollectionStore::titleFileNames(record.title))
            if (QFile::exists(folder + QLatin1Char('/') + name))
                names.append(name);
    names << CollectionStore::CollectionFileName << CollectionStore::RankingFileName;

    // Between generations a few titles change, as on a day of use.
    int changes = 0;
    const auto changeFewTitles = [&] {
        for (int k = 0; k < 3; ++k) {
            const int index = 1 + (changes * 7919) % collection.titleCount();
            QFile file(folder + QLatin1Char('/') + collection.title(index) + CollectionStore::VolumeSuffix);
            if (file.open(QIODevice::WriteOnly))
                file.write("1,1,1," + QByteArray::number(changes) + "\r\n");
            ++changes;
        }
    };

    timing::Samples take(QStringLiteral("backup_take"));
    timing::Samples restore(QStringLiteral("restore"));
    // The first generation copies everything; the lines measure the generations that follow it.
    QString error = backups.take(load.table, backup::Reason::Daily);
    for (int run = 0; run < runs && error.isEmpty(); ++run) {
        changeFewTitles();
        const double ms = timing::measureMs([&] { error = backups.take(load.table, backup::Reason::Daily); });
        if (!error.isEmpty())
            break;
        take.add(ms, iofloor::listFolderMs(folder) + iofloor::readFilesMs(folder, names));

        changeFewTitles();
        const Generation newest = backups.list().constFirst();
        Backups::Restore result;
        const double restoreMs = timing::measureMs([&] { result = backups.restore(newest.folderName, load.table); });
        error = result.error;
        // Besides the data folder, the generation's files are read to prove each by its hash.
        restore.add(
            restoreMs,
            iofloor::listFolderMs(folder) + iofloor::readFilesMs(folder, names) +
                iofloor::readFolderMs(backups.folderPath() + QLatin1Char('/') + newest.folderName, true) +
                iofloor::readFolderMs(backups.folderPath() + QLatin1Char('/') + backup::ContentFolderName, true));
    }
    while (error.isEmpty() && backups.list().size() < Backups::Kept) {
        changeFewTitles();
        error = backups.take(load.table, backup::Reason::Daily);
    }
    if (!error.isEmpty()) {
        results.error = QStringLiteral("backup: ") + error;
        return results;
    }
    if (backups.list().size() != Backups::Kept)
        results.error =
            QStringLiteral("backup: %1 generations kept, not %2").arg(backups.list().size()).arg(Backups::Kept);
    // MiB, not ms: the backup folder with twenty generations beside the data folder it keeps.
    const timing::Measurement disk{QStringLiteral("backup_disk_twenty_mib"), mib(diskBytes(backups.folderPath(), true)),
                                   mib(diskBytes(folder, false))};

    QDir(backups.folderPath()).removeRecursively();
    for (const QString& name : std::as_const(extraCovers))
        QFile::remove(folder + QLatin1Char('/') + name);
    results.measurements = {take.result(), restore.result(), disk};
    return results;
}
