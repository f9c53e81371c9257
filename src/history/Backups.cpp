#include "history/Backups.h"

#include "store/CollectionStore.h"
#include "store/DataFolder.h"
#include "store/TitleTable.h"
#include "store/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QtConcurrent/QtConcurrentMap>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

QString Generation::rowText() const
{
    QString text = QStringLiteral("%1　%2　題名 %3 件")
                       .arg(taken.toString(u"yyyy/MM/dd HH:mm:ss"), backup::reasonText(reasonKey))
                       .arg(titleCount);
    if (!damage.isEmpty())
        text += QStringLiteral("　［壊れています：%1］").arg(damage);
    return text;
}

namespace {

// A generation's folder: the time it was taken, and a number when two were taken in the same second. The name
// only tells generations apart; their order is the sequence number in their lists.
const QRegularExpression GenerationName(QStringLiteral("^\\d{8}-\\d{6}(?:-\\d+)?$"));
const QString StampFormat = QStringLiteral("yyyyMMdd-HHmmss");
const QString PackPrefix = QStringLiteral("束-");
// Enough for the header and the pack lines of any list this program writes.
constexpr qint64 HeadBytes = 64 * 1024;

QString randomSuffix()
{
    static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString suffix;
    for (int i = 0; i < 8; ++i)
        suffix += QLatin1Char(Letters[QRandomGenerator::global()->bounded(int(sizeof Letters) - 1)]);
    return suffix;
}

QByteArray readHead(const QString& generationFolder)
{
    QFile file(generationFolder + QLatin1Char('/') + manifest::FileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(HeadBytes);
}

} // namespace

struct Backups::Found {
    QString folderName;
    std::optional<manifest::Manifest> head;
    bool earlierForm = false;
    qint64 order() const { return head ? head->sequence : -1; }
};

namespace {

QString failure(const QString& name, const QString& reason)
{
    return QStringLiteral("バックアップを作れませんでした。\n「%1」: %2").arg(name, reason);
}

} // namespace

Backups::Backups(CollectionStore& store) : m_store(store), m_files(std::make_unique<BackupFiles>()) {}

Backups::~Backups() = default;

void Backups::setFiles(std::unique_ptr<BackupFiles> files)
{
    m_files = files ? std::move(files) : std::make_unique<BackupFiles>();
}

void Backups::setClock(std::function<QDateTime()> now)
{
    m_now = std::move(now);
}

QDateTime Backups::clock() const
{
    QDateTime now = m_now ? m_now() : QDateTime::currentDateTime();
    // The list keeps whole seconds; so does everything compared with it.
    return now.addMSecs(-now.time().msec());
}

QString Backups::folderPath() const
{
    return m_store.folder().path() + QLatin1Char('/') + FolderName;
}

QString Backups::generationPath(const QString& folderName) const
{
    return folderPath() + QLatin1Char('/') + folderName;
}

QString Backups::contentPath() const
{
    return folderPath() + QLatin1Char('/') + backup::ContentFolderName;
}

QList<Backups::Found> Backups::generations() const
{
    QList<Found> found;
    const QString root = folderPath();
    for (const QString& name : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (!GenerationName.match(name).hasMatch())
            continue;
        const QByteArray head = readHead(root + QLatin1Char('/') + name);
        found.append({name, manifest::parseHeader(head), manifest::isEarlierForm(head)});
    }
    // Oldest first: a generation whose list cannot be read counts as older than every other.
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.order() != b.order() ? a.order() < b.order() : a.folderName < b.folderName;
    });
    return found;
}

QSet<QString> Backups::programFilesKept()
{
    QSet<QString> names;
    for (const QString& name :
         {CollectionStore::CollectionFileName, CollectionStore::SettingsFileName, CollectionStore::RankingFileName})
        names.insert(name.toCaseFolded());
    return names;
}

Backups::Newest Backups::newestHeld(const QList<Found>& found, const QString& content) const
{
    Newest newest;
    if (found.isEmpty() || !found.constLast().head)
        return newest;
    const std::optional<QByteArray> bytes =
        backup::readWhole(generationPath(found.constLast().folderName) + QLatin1Char('/') + manifest::FileName);
    const std::optional<manifest::Manifest> list = bytes ? manifest::parse(*bytes) : std::nullopt;
    if (!list)
        return newest;
    // A pack that is gone or cut short is not built on.
    QList<qint64> packSizes;
    for (const QString& pack : list->packs) {
        newest.packs.append(pack);
        const QFileInfo info(content + QLatin1Char('/') + pack);
        packSizes.append(info.isFile() ? info.size() : -1);
    }
    newest.held.reserve(list->files.size());
    for (const manifest::Entry& entry : list->files)
        if (entry.offset + entry.size <= packSizes[entry.pack])
            newest.held.insert({entry.hash}, {entry.pack, entry.offset});
    return newest;
}

backup::TitleFiles Backups::ownedFiles(const TitleTable& titles, const QStringList& moreTitles)
{
    QStringList owners = moreTitles;
    owners.reserve(moreTitles.size() + titles.count());
    for (const TitleRecord& record : titles.records())
        owners.append(record.title);
    return backup::TitleFiles(owners);
}

QString Backups::take(const TitleTable& titles, backup::Reason reason)
{
    QString folderName;
    return takeInto(titles, {}, reason, QString(), &folderName);
}

QString Backups::takeInto(const TitleTable& titles, const QStringList& moreTitles, backup::Reason reason,
                          const QString& keep, QString* folderName, manifest::Manifest* taken, backup::Listing* listing)
{
    const bool wasBusy = m_busy;
    m_busy = true;
    const auto done = [this, wasBusy](const QString& result) {
        m_busy = wasBusy;
        return result;
    };

    const QString root = folderPath();
    const QString content = contentPath();
    const QString dataPath = m_store.folder().path();
    bool madeRoot = false;
    if (!QFileInfo(root).isDir()) {
        if (!QDir(dataPath).mkdir(FolderName))
            return done(failure(FolderName, QStringLiteral("フォルダを作れません")));
        madeRoot = true;
    }
    if (!QFileInfo(content).isDir() && !QDir(root).mkdir(backup::ContentFolderName)) {
        if (madeRoot)
            QDir(dataPath).rmdir(FolderName);
        return done(failure(backup::ContentFolderName, QStringLiteral("フォルダを作れません")));
    }
    // What a take that was killed part-way left behind is this program's own and never a generation.
    for (const QString& folder : {root, content})
        for (const QString& name : QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
            if (name.startsWith(AtomicFileWriter::StagingPrefix)) {
                const QString path = folder + QLatin1Char('/') + name;
                if (!QDir(path).removeRecursively())
                    QFile::remove(path);
            }

    const QList<Found> found = generations();
    manifest::Manifest list;
    list.sequence = found.isEmpty() ? 1 : std::max<qint64>(found.constLast().order(), 0) + 1;
    // A pack left by a take killed after naming it is never overwritten.
    for (const QString& name : QDir(content).entryList(QDir::Files | QDir::Hidden))
        if (name.startsWith(PackPrefix))
            list.sequence = std::max(list.sequence, name.mid(PackPrefix.size()).toLongLong() + 1);
    list.taken = clock();
    list.reason = backup::reasonKey(reason);
    list.titleCount = titles.count();

    // The data folder is listed on another core while this one gathers the titles that own files there and
    // reads the newest generation's list: bytes it holds are not copied again. The listing waits on nothing,
    // so it never holds a pooled thread that work of this thread would need.
    QStringList others;
    QFuture<QStringList> listed = QtConcurrent::run(
        [&dataPath, &others, listing] { return backup::regularFiles(dataPath, listing ? &others : nullptr); });
    const backup::TitleFiles owned = ownedFiles(titles, moreTitles);
    const QSet<QString> programFiles = programFilesKept();
    Newest newest = newestHeld(found, content);
    const QStringList files = listed.result();
    list.packs = newest.packs;
    QHash<manifest::ContentKey, Place>& held = newest.held;
    const QString packName = PackPrefix + QString::number(list.sequence);
    const int newPack = int(list.packs.size());
    list.packs.append(packName);
    QByteArray pack;

    // Each name of the folder is judged, and a file kept is read and hashed, on every core, a batch at a time
    // so that only one batch of contents is held at once; the list and the pack are then made from each batch
    // in the listing's order.
    struct Read {
        bool kept = false;
        std::optional<QByteArray> bytes;
        QByteArray hash;
        QString reason;
    };
    list.files.reserve(files.size());
    const int dataFd = wholefile::openFolder(dataPath);
    const auto closed = qScopeGuard([dataFd] { wholefile::closeFolder(dataFd); });
    constexpr qsizetype Batch = 2048;
    for (qsizetype from = 0; from < files.size(); from += Batch) {
        const QStringList batch = files.mid(from, Batch);
        const QList<Read> reads = QtConcurrent::blockingMapped(batch, [&](const QString& name) {
            Read read;
            const QString folded = name.toCaseFolded();
            read.kept =
                (programFiles.contains(folded) || owned.contains(folded)) && backup::isDataFileName(name, folded);
            if (!read.kept)
                return read;
            read.bytes = backup::readWholeAt(dataFd, name, &read.reason);
            if (read.bytes)
                read.hash = manifest::hashOf(*read.bytes);
            return read;
        });
        for (qsizetype i = 0; i < batch.size(); ++i) {
            const Read& read = reads[i];
            if (!read.kept)
                continue;
            if (!read.bytes)
                return done(failure(batch[i], read.reason));
            manifest::Entry entry{batch[i], read.bytes->size(), read.hash, newPack, pack.size()};
            if (const auto place = held.constFind({entry.hash}); place != held.cend()) {
                entry.pack = place->pack;
                entry.offset = place->offset;
            } else {
                pack += *read.bytes;
                held.insert({entry.hash}, {newPack, entry.offset});
            }
            list.files.append(std::move(entry));
        }
    }
    if (listing)
        *listing = {files, others};
    // Only the packs the new list uses are named in it, so that a pack goes once no kept list names it.
    QList<int> renumbered(list.packs.size(), -1);
    QStringList packs;
    for (manifest::Entry& entry : list.files) {
        if (renumbered[entry.pack] < 0) {
            renumbered[entry.pack] = int(packs.size());
            packs.append(list.packs[entry.pack]);
        }
        entry.pack = renumbered[entry.pack];
    }
    list.packs = packs;

    // The pack and the generation are made under names nothing else has and get their own names only when
    // whole; the pack first, since the list names it.
    const QString staging = root + QLatin1Char('/') + AtomicFileWriter::StagingPrefix + randomSuffix();
    const QString packPath = content + QLatin1Char('/') + packName;
    bool packNamed = false;
    const auto giveUp = [&](const QString& name, const QString& reason) {
        QDir(staging).removeRecursively();
        if (packNamed)
            QFile::remove(packPath);
        if (madeRoot)
            QDir(root).removeRecursively();
        return done(failure(name, reason));
    };
    if (list.packs.contains(packName)) {
        const QString packStaging = content + QLatin1Char('/') + AtomicFileWriter::StagingPrefix + randomSuffix();
        if (QString reason = m_files->writeNew(packStaging, pack); !reason.isEmpty())
            return giveUp(FolderName + QLatin1Char('/') + backup::ContentFolderName, reason);
        if (QString reason = m_files->rename(packStaging, packPath); !reason.isEmpty()) {
            QFile::remove(packStaging);
            return giveUp(FolderName + QLatin1Char('/') + backup::ContentFolderName, reason);
        }
        packNamed = true;
    }
    if (!QDir(root).mkdir(QFileInfo(staging).fileName()))
        return giveUp(FolderName, QStringLiteral("フォルダを作れません"));
    if (const QString reasonText =
            m_files->writeNew(staging + QLatin1Char('/') + manifest::FileName, manifest::format(list));
        !reasonText.isEmpty())
        return giveUp(manifest::FileName, reasonText);

    QString name = list.taken.toString(StampFormat);
    for (int n = 2; QFileInfo::exists(root + QLatin1Char('/') + name); ++n)
        name = list.taken.toString(StampFormat) + QLatin1Char('-') + QString::number(n);
    if (const QString reasonText = m_files->rename(staging, root + QLatin1Char('/') + name); !reasonText.isEmpty())
        return giveUp(FolderName, reasonText);

    *folderName = name;
    m_lastTaken = list.taken.date();
    m_lastTakenKnown = true;
    prune(keep, name);
    if (taken)
        *taken = std::move(list);
    return done(QString());
}

void Backups::prune(const QString& keep, const QString& newest) const
{
    QList<Found> found = generations();
    qsizetype excess = found.size() - Kept;
    for (qsizetype i = 0; i < found.size() && excess > 0;) {
        if (found[i].folderName == keep || found[i].folderName == newest) {
            ++i;
            continue;
        }
        QDir(generationPath(found[i].folderName)).removeRecursively();
        found.removeAt(i);
        --excess;
    }
    // A pack goes when no kept list names it; while a kept list cannot be read, none goes.
    QSet<QString> used;
    for (const Found& generation : std::as_const(found)) {
        if (!generation.head && !generation.earlierForm)
            return;
        if (generation.head)
            for (const QString& pack : generation.head->packs)
                used.insert(pack);
    }
    const QString content = contentPath();
    for (const QString& name : QDir(content).entryList(QDir::Files | QDir::Hidden))
        if (name.startsWith(PackPrefix) && !used.contains(name))
            QFile::remove(content + QLatin1Char('/') + name);
}

bool Backups::dailyDue()
{
    if (m_busy)
        return false;
    const QDate today = clock().date();
    if (m_dailyFailed == today)
        return false;
    if (!m_lastTakenKnown) {
        const QList<Found> found = generations();
        if (!found.isEmpty())
            m_lastTaken =
                found.constLast().head
                    ? found.constLast().head->taken.date()
                    : QDateTime::fromString(found.constLast().folderName.left(StampFormat.size()), StampFormat).date();
        m_lastTakenKnown = true;
    }
    return m_lastTaken != today;
}

QString Backups::takeDaily(const TitleTable& titles)
{
    if (!dailyDue())
        return {};
    const QString error = take(titles, backup::Reason::Daily);
    // Told once: the changes of the day go on without asking again.
    if (!error.isEmpty())
        m_dailyFailed = clock().date();
    return error;
}

QList<Generation> Backups::list() const
{
    QList<Generation> list;
    const QList<Found> found = generations();
    for (auto it = found.crbegin(); it != found.crend(); ++it) {
        Generation generation;
        generation.folderName = it->folderName;
        if (it->head) {
            generation.sequence = it->head->sequence;
            generation.taken = it->head->taken;
            generation.reasonKey = it->head->reason;
            generation.titleCount = it->head->titleCount;
        } else {
            generation.taken = QDateTime::fromString(it->folderName.left(StampFormat.size()), StampFormat);
            generation.damage = it->earlierForm
                                    ? QStringLiteral("以前の形式のため戻せません")
                                    : QStringLiteral("目録「%1」がないか、読み込めません").arg(manifest::FileName);
        }
        list.append(generation);
    }
    return list;
}

QString Backups::check(const QString& folderName) const
{
    return checkGeneration(generationPath(folderName));
}

QString Backups::checkGeneration(const QString& folder)
{
    QString damage;
    provenListAt(folder, &damage);
    return damage;
}

std::optional<manifest::Manifest> Backups::provenList(const QString& folderName, QString* damage) const
{
    return provenListAt(generationPath(folderName), damage);
}

std::optional<manifest::Manifest> Backups::provenListAt(const QString& folder, QString* damage)
{
    const std::optional<QByteArray> bytes = backup::readWhole(folder + QLatin1Char('/') + manifest::FileName);
    if (!bytes) {
        *damage = QStringLiteral("目録「%1」がないか、読み込めません").arg(manifest::FileName);
        return std::nullopt;
    }
    if (manifest::isEarlierForm(*bytes)) {
        *damage = QStringLiteral("以前の形式のため戻せません");
        return std::nullopt;
    }
    std::optional<manifest::Manifest> list = manifest::parse(*bytes);
    if (!list) {
        *damage = QStringLiteral("目録「%1」が壊れています").arg(manifest::FileName);
        return std::nullopt;
    }
    *damage = backup::verify(QFileInfo(folder).absolutePath() + QLatin1Char('/') + backup::ContentFolderName, *list);
    if (!damage->isEmpty())
        return std::nullopt;
    return list;
}

std::optional<QByteArray> Backups::fileOf(const QString& folderName, const QString& name) const
{
    const std::optional<QByteArray> bytes =
        backup::readWhole(generationPath(folderName) + QLatin1Char('/') + manifest::FileName);
    const std::optional<manifest::Manifest> list = bytes ? manifest::parse(*bytes) : std::nullopt;
    if (!list)
        return std::nullopt;
    return fileIn(*list, name);
}

std::optional<QByteArray> Backups::fileIn(const manifest::Manifest& list, const QString& name) const
{
    const QString folded = name.toCaseFolded();
    backup::PackReader packs(contentPath());
    for (const manifest::Entry& entry : list.files) {
        if (entry.name.toCaseFolded() != folded)
            continue;
        const std::optional<QByteArrayView> held = packs.bytes(list, entry);
        if (!held || manifest::hashOf(*held) != entry.hash)
            return std::nullopt;
        return held->toByteArray();
    }
    return std::nullopt;
}
