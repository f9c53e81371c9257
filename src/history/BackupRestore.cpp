#include "history/Backups.h"

#include "store/CollectionFile.h"
#include "store/CollectionStore.h"
#include "store/DataFolder.h"
#include "store/TextKeys.h"
#include "store/TitleTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QtConcurrent/QtConcurrentMap>

namespace {

const QString Damaged = QStringLiteral("このバックアップは壊れているため、戻せません。\n%1");
const QString Interrupted = QStringLiteral("前回、バックアップから戻している途中でプログラムが終わっていました。\n");

// "yyyy/MM/dd HH:mm:ss" of a generation, as its row in the list shows it.
QString whenOf(const QList<Generation>& list, const QString& folderName)
{
    for (const Generation& generation : list)
        if (generation.folderName == folderName)
            return generation.taken.toString(u"yyyy/MM/dd HH:mm:ss");
    return folderName;
}

// The titles of a generation's collection file, as far as it can be read.
QStringList titlesOf(const std::optional<QByteArray>& collectionBytes)
{
    QStringList titles;
    if (!collectionBytes)
        return titles;
    const collection::Parsed parsed = collection::parse(*collectionBytes, collection::Fields::TitlesOnly);
    for (const TitleRecord& record : parsed.table.records())
        titles.append(record.title);
    return titles;
}

} // namespace

QStringList Backups::titlesIn(const QString& folderName) const
{
    return titlesOf(fileOf(folderName, CollectionStore::CollectionFileName));
}

QStringList Backups::titlesIn(const manifest::Manifest& list) const
{
    return titlesOf(fileIn(list, CollectionStore::CollectionFileName));
}

QString Backups::apply(const manifest::Manifest& list, const QStringList& owners, QStringList* notDeleted,
                       const manifest::Manifest* present, const backup::Listing* listing, QStringList* after)
{
    const QString dataPath = m_store.folder().path() + QLatin1Char('/');
    // Every spelling of each name on disk: a file is given back under the generation's own spelling, and a twin
    // differing only in letter case goes, so that the folder holds exactly what the generation held.
    // The listing made moments ago for the generation of the present state serves: a file another program puts
    // in the folder since is kept rather than deleted.
    const QStringList files = listing ? listing->regular : backup::regularFiles(m_store.folder().path());
    // Tens of thousands of names on each side: they are folded on every core.
    const QStringList filesFolded = DataFolder::foldedAll(files);
    const QStringList entriesFolded = QtConcurrent::blockingMapped<QStringList>(
        list.files, [](const manifest::Entry& entry) { return entry.name.toCaseFolded(); });
    // The spellings of one folded name are chained in the listing's order from one hash entry (1-based, 0
    // ending a chain), so that a folder of tens of thousands of files needs no list per name.
    QHash<ViewKey, qsizetype> firstSpelling; // views of filesFolded
    firstSpelling.reserve(files.size());
    QList<qsizetype> nextSpelling(files.size() + 1, 0);
    for (qsizetype i = files.size(); i >= 1; --i) {
        qsizetype& first = firstSpelling[ViewKey{filesFolded[i - 1]}];
        nextSpelling[i] = first;
        first = i;
    }
    // What the generation taken moments ago read from each file: a file it found with the bytes this generation
    // holds need not be read a second time to be compared. Its list names the files in the listing's order.
    QList<const QByteArray*> presentHash(files.size(), nullptr);
    if (present) {
        qsizetype i = 0;
        for (const manifest::Entry& entry : present->files) {
            while (i < files.size() && files[i] != entry.name)
                ++i;
            if (i == files.size())
                break;
            presentHash[i++] = &entry.hash;
        }
    }

    // What becomes of each file on disk.
    QList<char> held(files.size(), false);    // the generation holds a file of its name, in some spelling
    QList<char> written(files.size(), false); // given back under its own spelling
    QList<qsizetype> replaced;
    // Only files whose bytes differ are written; all of them in one atomic batch.
    backup::PackReader packs(contentPath());
    QList<FileWriter::FileData> writes;
    QStringList writtenNames;
    QList<qsizetype> writtenOnDisk; // the file on disk each write replaces, or -1
    for (qsizetype k = 0; k < list.files.size(); ++k) {
        const manifest::Entry& entry = list.files[k];
        qsizetype same = -1;
        for (qsizetype at = firstSpelling.value(ViewKey{entriesFolded[k]}); at != 0; at = nextSpelling[at]) {
            const qsizetype i = at - 1;
            held[i] = true;
            if (files[i] == entry.name)
                same = i;
            else
                replaced.append(i);
        }
        if (same >= 0 && presentHash[same] && *presentHash[same] == entry.hash)
            continue;
        const std::optional<QByteArrayView> kept = packs.bytes(list, entry);
        if (!kept) // the pack went after the list was proved: nothing has been written yet
            return Damaged.arg(QStringLiteral("「%1」がありません").arg(entry.name));
        const QByteArrayView bytes = *kept;
        const std::optional<QByteArray> now = backup::readWhole(dataPath + entry.name);
        if (now && QByteArrayView(*now) == bytes)
            continue;
        writes.append({dataPath + entry.name, bytes.toByteArray()});
        writtenNames.append(entry.name);
        writtenOnDisk.append(same);
    }
    const QStringList reasons = m_files->writeEach(writes);
    for (qsizetype i = 0; i < reasons.size(); ++i)
        if (!reasons[i].isEmpty())
            return QStringLiteral("「%1」を戻せませんでした（%2）。").arg(writtenNames[i], reasons[i]);
    for (const qsizetype i : std::as_const(writtenOnDisk))
        if (i >= 0)
            written[i] = true;

    // Files the generation would have held had they been there go: the volume files, memos and covers of its
    // titles and the program's own files it keeps, nothing else. The titles' names are only gathered when some
    // file is not held.
    std::optional<backup::TitleFiles> owned;
    const QSet<QString> programFiles = programFilesKept();
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (held[i])
            continue;
        if (!owned)
            owned.emplace(owners);
        if (owned->contains(filesFolded[i]) || programFiles.contains(filesFolded[i]))
            replaced.append(i);
    }
    QList<char> gone(files.size(), false);
    for (const qsizetype i : std::as_const(replaced)) {
        if (const QString reason = m_files->remove(dataPath + files[i]); reason.isEmpty())
            gone[i] = true;
        else if (notDeleted)
            notDeleted->append(QStringLiteral("「%1」（%2）").arg(files[i], reason));
    }
    if (after) {
        *after = writtenNames + (listing ? listing->others : QStringList());
        for (qsizetype i = 0; i < files.size(); ++i)
            if (!gone[i] && !written[i])
                after->append(files[i]);
    }
    return {};
}

QString Backups::writeJournal(const QString& restoring, const QString& taken)
{
    const QString staging = folderPath() + QLatin1Char('/') + AtomicFileWriter::StagingPrefix + QStringLiteral("j");
    QFile::remove(staging);
    const QByteArray text = "戻す\t" + restoring.toUtf8() + "\n戻す前\t" + taken.toUtf8() + '\n';
    if (QString reason = m_files->writeNew(staging, text); !reason.isEmpty())
        return reason;
    if (QString reason = m_files->rename(staging, folderPath() + QLatin1Char('/') + JournalName); !reason.isEmpty()) {
        QFile::remove(staging);
        return reason;
    }
    return {};
}

void Backups::removeJournal()
{
    QFile::remove(folderPath() + QLatin1Char('/') + JournalName);
}

Backups::Restore Backups::restore(const QString& folderName, const TitleTable& titles)
{
    Restore result;
    QString damage;
    const std::optional<manifest::Manifest> list = provenList(folderName, &damage);
    if (!list) {
        result.error = Damaged.arg(damage);
        return result;
    }

    // The present state first, so that the restore itself can be taken back: with every file the restore is
    // about to replace, also files of titles that are no longer in the collection.
    QStringList owners = titlesIn(*list);
    manifest::Manifest present;
    backup::Listing listing;
    if (const QString error =
            takeInto(titles, owners, backup::Reason::BeforeRestore, folderName, &result.taken, &present, &listing);
        !error.isEmpty()) {
        result.error = error + QStringLiteral("\nバックアップから戻すのをやめました。ファイルは何も変わっていません。");
        return result;
    }
    if (const QString reason = writeJournal(folderName, result.taken); !reason.isEmpty()) {
        result.error = QStringLiteral("「%1」を書き込めませんでした（%2）。\n"
                                      "バックアップから戻すのをやめました。ファイルは何も変わっていません。")
                           .arg(JournalName, reason);
        return result;
    }

    const bool wasBusy = m_busy;
    m_busy = true;
    for (const TitleRecord& record : titles.records())
        owners.append(record.title);
    // The generation just taken read every file the restore may replace; the backup folder is this program's
    // alone, so the list proved above still holds.
    QStringList after;
    const QString error = apply(*list, owners, &result.notDeleted, &present, &listing, &after);
    bool mixed = false;
    if (!error.isEmpty()) {
        QString putBackDamage;
        const std::optional<manifest::Manifest> takenList = provenList(result.taken, &putBackDamage);
        const QString putBackError = takenList ? apply(*takenList, owners, nullptr) : Damaged.arg(putBackDamage);
        mixed = !putBackError.isEmpty();
        result.error =
            error + QLatin1Char('\n') +
            (putBackError.isEmpty() ? QStringLiteral("それまでに戻したファイルは元に戻しました。")
                                    : QStringLiteral("それまでに戻したファイルを元に戻せませんでした（%1）。\n"
                                                     "一覧の一番新しいバックアップから、戻す前の状態に戻せます。")
                                          .arg(putBackError));
    }
    // A collection left mixed keeps its journal: the next start repairs it.
    if (!mixed)
        removeJournal();
    // The files were replaced behind the folder's index and the store's memory of what it read. Given back
    // whole, the folder holds what the listing held with the generation's writes and deletions: no need to list
    // it a third time.
    if (error.isEmpty())
        m_store.folder().reindex(after);
    else
        m_store.folder().rescan();
    m_store.forgetReads();
    m_busy = wasBusy;
    return result;
}

QString Backups::finishInterruptedRestore()
{
    const std::optional<QByteArray> text = backup::readWhole(folderPath() + QLatin1Char('/') + JournalName);
    if (!text)
        return {};
    QString restoring;
    QString taken;
    for (const QByteArray& line : text->split('\n')) {
        if (line.startsWith("戻す\t"))
            restoring = QString::fromUtf8(line.mid(QByteArray("戻す\t").size()));
        else if (line.startsWith("戻す前\t"))
            taken = QString::fromUtf8(line.mid(QByteArray("戻す前\t").size()));
    }
    const QList<Generation> generations = list();
    // Either generation may own files the other does not hold.
    QStringList owners;
    for (const QString& folderName : {restoring, taken})
        if (!folderName.isEmpty())
            owners += titlesIn(folderName);

    const bool wasBusy = m_busy;
    m_busy = true;
    QString message;
    QStringList notDeleted;
    QString damage;
    const std::optional<manifest::Manifest> finishable =
        restoring.isEmpty() ? std::nullopt : provenList(restoring, &damage);
    const std::optional<manifest::Manifest> undoable = taken.isEmpty() ? std::nullopt : provenList(taken, &damage);
    QString error;
    if (finishable && (error = apply(*finishable, owners, &notDeleted)).isEmpty()) {
        message =
            Interrupted +
            QStringLiteral("%1 のバックアップに戻す作業を、最後まで済ませました。").arg(whenOf(generations, restoring));
    } else if (undoable && (error = apply(*undoable, owners, &notDeleted)).isEmpty()) {
        message = Interrupted + QStringLiteral("%1 のバックアップに戻せないため、戻す前の状態に戻しました。")
                                    .arg(whenOf(generations, restoring));
    } else {
        message = Interrupted + QStringLiteral("戻す作業を済ませることも、戻す前の状態に戻すこともできませんでした。\n"
                                               "コミックデータが一部だけ戻った状態のおそれがあります。%1")
                                    .arg(error.isEmpty() ? QString() : QLatin1Char('\n') + error);
    }
    if (error.isEmpty() || (!finishable && !undoable))
        removeJournal();
    if (!notDeleted.isEmpty())
        message += QStringLiteral("\n次のファイルを削除できませんでした：\n%1").arg(notDeleted.join(QLatin1Char('\n')));
    m_store.folder().rescan();
    m_store.forgetReads();
    m_busy = wasBusy;
    return message;
}
