#include "history/Backups.h"

#include "store/CollectionFile.h"
#include "store/CollectionStore.h"
#include "store/DataFolder.h"
#include "store/TitleTable.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSet>

namespace {

QString stagingName()
{
    static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString name = AtomicFileWriter::StagingPrefix;
    for (int i = 0; i < 8; ++i)
        name += QLatin1Char(Letters[QRandomGenerator::global()->bounded(int(sizeof Letters) - 1)]);
    return name;
}

std::optional<manifest::Manifest> readManifest(const QString& folder)
{
    QFile file(folder + QLatin1Char('/') + manifest::FileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return manifest::parse(file.readAll());
}

// The titles a generation's collection file holds, as far as it can be read.
QStringList titlesOf(const QString& folder, const manifest::Manifest& list)
{
    const QString collection = CollectionStore::CollectionFileName.toCaseFolded();
    for (const manifest::Entry& entry : list.files) {
        if (entry.name.toCaseFolded() != collection)
            continue;
        QFile file(folder + QLatin1Char('/') + entry.name);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const collection::Parsed parsed = collection::parse(file.readAll());
        QStringList titles;
        for (const TitleRecord& record : parsed.table.records())
            titles.append(record.title);
        return titles;
    }
    return {};
}

} // namespace

Backups::Restore Backups::restore(const QString& folderName, const TitleTable& titles)
{
    Restore result;
    const QString source = generationPath(folderName);
    if (const QString damage = check(folderName); !damage.isEmpty()) {
        result.error = QStringLiteral("このバックアップは壊れているため、戻せません。\n%1").arg(damage);
        return result;
    }
    const std::optional<manifest::Manifest> list = readManifest(source);
    if (!list) {
        result.error = QStringLiteral("このバックアップは壊れているため、戻せません。");
        return result;
    }

    // The present state first, so that the restore itself can be taken back: with every file the restore is
    // about to replace, also files of titles that are no longer in the collection.
    const QStringList restoredTitles = titlesOf(source, *list);
    if (const QString error =
            takeInto(titles, restoredTitles, backup::Reason::BeforeRestore, folderName, &result.taken);
        !error.isEmpty()) {
        result.error = error + QStringLiteral("\nバックアップから戻すのをやめました。ファイルは何も変わっていません。");
        return result;
    }

    const bool wasBusy = m_busy;
    m_busy = true;
    DataFolder& folder = m_store.folder();
    const QString dataPath = folder.path() + QLatin1Char('/');
    // The spelling each file has on disk, so that a file put back replaces it rather than becoming its twin.
    QHash<QString, QString> onDisk;
    for (const QString& name : backup::regularFiles(folder.path()))
        onDisk.insert(name.toCaseFolded(), name);

    // Every file is first put beside its target under a staging name; only when all are there does any target
    // change, each by one rename.
    struct Staged {
        QString staging;
        QString target; // spelling in the data folder
    };
    QList<Staged> staged;
    staged.reserve(list->files.size());
    const auto discard = [&staged](qsizetype from) {
        for (qsizetype i = from; i < staged.size(); ++i)
            QFile::remove(staged[i].staging);
    };
    for (const manifest::Entry& entry : list->files) {
        const QString staging = dataPath + stagingName();
        qint64 size = -1;
        QString reason = m_files->share(source + QLatin1Char('/') + entry.name, staging, &size);
        if (reason.isEmpty() && size != entry.size) {
            QFile::remove(staging);
            reason = QStringLiteral("大きさが記録と違います");
        }
        if (!reason.isEmpty()) {
            discard(0);
            m_busy = wasBusy;
            result.error = QStringLiteral("「%1」を戻せませんでした（%2）。\nファイルは何も変わっていません。")
                               .arg(entry.name, reason);
            return result;
        }
        staged.append({staging, onDisk.value(entry.name.toCaseFolded(), entry.name)});
    }

    QList<std::pair<QString, QString>> replaced; // target, and the spelling it had before (empty: none)
    for (qsizetype i = 0; i < staged.size(); ++i) {
        const QString before = onDisk.value(staged[i].target.toCaseFolded());
        if (const QString reason = m_files->rename(staged[i].staging, dataPath + staged[i].target); !reason.isEmpty()) {
            discard(i);
            const QString putBackError = putBack(replaced, result.taken);
            folder.rescan();
            m_store.forgetReads();
            m_busy = wasBusy;
            result.error = QStringLiteral("「%1」を戻せませんでした（%2）。\n").arg(staged[i].target, reason);
            result.error += putBackError.isEmpty()
                                ? QStringLiteral("それまでに戻したファイルは元に戻しました。")
                                : QStringLiteral("それまでに戻したファイルを元に戻せませんでした（%1）。\n"
                                                 "一覧の一番新しいバックアップから、戻す前の状態に戻せます。")
                                      .arg(putBackError);
            return result;
        }
        replaced.append({staged[i].target, before});
    }

    // Files of titles the generation does not hold go: volume files, memos and covers, nothing else.
    QSet<QString> held;
    for (const manifest::Entry& entry : list->files)
        held.insert(entry.name.toCaseFolded());
    QSet<QString> owners(restoredTitles.cbegin(), restoredTitles.cend());
    for (const TitleRecord& record : titles.records())
        owners.insert(record.title);
    const backup::TitleFiles owned(owners.values());
    for (auto it = onDisk.cbegin(); it != onDisk.cend(); ++it)
        if (owned.contains(it.key()) && !held.contains(it.key()))
            QFile::remove(dataPath + it.value());

    // The files were replaced behind the folder's index and the store's memory of what it read.
    folder.rescan();
    m_store.forgetReads();
    m_busy = wasBusy;
    return result;
}

QString Backups::putBack(const QList<std::pair<QString, QString>>& replaced, const QString& takenFolder)
{
    const QString dataPath = m_store.folder().path() + QLatin1Char('/');
    const QString taken = generationPath(takenFolder);
    const std::optional<manifest::Manifest> list = readManifest(taken);
    if (!list)
        return QStringLiteral("目録「%1」を読み込めません").arg(manifest::FileName);
    QHash<QString, QString> before;
    for (const manifest::Entry& entry : list->files)
        before.insert(entry.name.toCaseFolded(), entry.name);

    QString firstError;
    for (const auto& [target, spellingBefore] : replaced) {
        const QString kept = before.value(target.toCaseFolded());
        if (kept.isEmpty()) {
            // There was no such file before the restore.
            if (spellingBefore.isEmpty() && !QFile::remove(dataPath + target) && firstError.isEmpty())
                firstError = target;
            continue;
        }
        const QString staging = dataPath + stagingName();
        qint64 size = 0;
        QString reason = m_files->share(taken + QLatin1Char('/') + kept, staging, &size);
        if (reason.isEmpty())
            reason = m_files->rename(staging, dataPath + target);
        if (!reason.isEmpty()) {
            QFile::remove(staging);
            if (firstError.isEmpty())
                firstError = QStringLiteral("「%1」: %2").arg(target, reason);
        }
    }
    return firstError;
}
