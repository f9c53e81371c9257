// The store's reads of the per-title files, one at a time and in bulk.

#include "store/CollectionStore.h"

#include "store/WholeFile.h"

#include <QThreadPool>
#include <atomic>
#include <memory>
#include <vector>

namespace {

// Files per task of a bulk read: large enough that handing out tasks costs nothing beside the reads, small
// enough that both cores stay busy to the end.
constexpr qsizetype FilesPerTask = 256;

// Files named on the calling thread, read on the global thread pool and the calling thread, taken in on the
// calling thread: for each range of FilesPerTask entries, locate(i) runs on the caller for every i of the range;
// then read(i) for each, on a pool thread or on the caller once it has located every range, whichever claims the
// range first; and finally take(i) on the caller, in order. read(i) must touch nothing but entry i.
// The caller waits only for ranges a pool thread has claimed, so a pool kept busy by other work never holds it
// up: a task that starts late finds its range claimed and returns at once, touching only what it shares.
template <typename Locate, typename Read, typename Take>
void readInParallel(qsizetype count, Locate locate, Read read, Take take)
{
    const qsizetype ranges = (count + FilesPerTask - 1) / FilesPerTask;
    struct Claims {
        explicit Claims(qsizetype ranges) : claimed(size_t(ranges)), done(size_t(ranges)) {}
        std::vector<std::atomic<bool>> claimed;
        std::vector<std::atomic<bool>> done;
    };
    const auto claims = std::make_shared<Claims>(ranges);
    const auto readRange = [&read, count](qsizetype range) {
        const qsizetype end = qMin(count, (range + 1) * FilesPerTask);
        for (qsizetype i = range * FilesPerTask; i < end; ++i)
            read(i);
    };
    QThreadPool* const pool = QThreadPool::globalInstance();
    for (qsizetype range = 0; range < ranges; ++range) {
        const qsizetype end = qMin(count, (range + 1) * FilesPerTask);
        for (qsizetype i = range * FilesPerTask; i < end; ++i)
            locate(i);
        pool->start([claims, range, &readRange] {
            if (claims->claimed[size_t(range)].exchange(true))
                return;
            readRange(range);
            claims->done[size_t(range)].store(true, std::memory_order_release);
            claims->done[size_t(range)].notify_one();
        });
    }
    for (qsizetype range = 0; range < ranges; ++range) {
        if (!claims->claimed[size_t(range)].exchange(true))
            readRange(range);
        else
            claims->done[size_t(range)].wait(false, std::memory_order_acquire);
        const qsizetype end = qMin(count, (range + 1) * FilesPerTask);
        for (qsizetype i = range * FilesPerTask; i < end; ++i)
            take(i);
    }
}

// The working folder held open for the reads of one bulk read, so that each read looks up its name alone.
class OpenFolder final {
public:
    explicit OpenFolder(const QString& path) : m_path(path), m_fd(wholefile::openFolder(path)) {}
    ~OpenFolder() { wholefile::closeFolder(m_fd); }
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    std::optional<QByteArray> read(const QString& diskName, wholefile::Stamp* stamp = nullptr) const
    {
        if (m_fd < 0)
            return wholefile::read(m_path + QLatin1Char('/') + diskName, stamp);
        return wholefile::readAt(m_fd, diskName, stamp);
    }

private:
    QString m_path;
    int m_fd;
};

} // namespace

VolumeStates CollectionStore::readVolumeFile(const QString& fileName, bool* complete) const
{
    if (isProgramFile(fileName)) {
        if (complete)
            *complete = true;
        return VolumeStates{};
    }
    const QString path = m_folder.existingPath(fileName);
    wholefile::Stamp stamp;
    const std::optional<QByteArray> bytes = path.isEmpty() ? std::nullopt : wholefile::read(path, &stamp);
    m_prints.remember(fileName, FileFingerprints::printOf(bytes, stamp.modifiedMs));
    if (!bytes) {
        // A missing file is a new title's: nothing is damaged. One that exists but cannot be read is.
        if (complete)
            *complete = path.isEmpty();
        return VolumeStates{};
    }
    return volumefile::parse(*bytes, complete);
}

QList<CollectionStore::VolumeRead> CollectionStore::readVolumeFiles(const QStringList& fileNames) const
{
    const qsizetype count = fileNames.size();
    QList<VolumeRead> reads(count);
    VolumeRead* const out = reads.data();
    // Per file: its spelling on disk (found through the folder's index, on this thread only), then what a worker
    // found: the key it is remembered under (empty for one of the program's own files, which is never read) and
    // its fingerprint.
    struct Job {
        QString diskName;
        QString key;
        FileFingerprints::Print print;
    };
    std::vector<Job> jobs(static_cast<size_t>(count));
    const OpenFolder folder(m_folder.path());
    m_prints.reserveMore(count);
    readInParallel(
        count, [&](qsizetype i) { jobs[size_t(i)].diskName = m_folder.existingName(fileNames[i]); },
        [&](qsizetype i) {
            Job& job = jobs[size_t(i)];
            const QString& name = fileNames[i];
            QString key = FileFingerprints::keyOf(name);
            if (!programFileForFolded(key).isEmpty())
                return;
            job.key = std::move(key);
            if (job.diskName.isEmpty()) {
                out[i].exists = false;
                return;
            }
            wholefile::Stamp stamp;
            const std::optional<QByteArray> bytes = folder.read(job.diskName, &stamp);
            job.print = FileFingerprints::printOf(bytes, stamp.modifiedMs);
            if (bytes)
                out[i].states = volumefile::parse(*bytes, &out[i].complete);
            else
                out[i].complete = false;
        },
        [&](qsizetype i) {
            if (const Job& job = jobs[size_t(i)]; !job.key.isEmpty())
                m_prints.rememberByKey(job.key, job.print);
        });
    return reads;
}

QString CollectionStore::readMemo(const QString& title) const
{
    if (isProgramFile(title + MemoSuffix))
        return {};
    const std::optional<QByteArray> bytes = m_folder.read(title + MemoSuffix);
    rememberRead(title + MemoSuffix, bytes);
    return bytes ? memofile::parse(*bytes) : QString();
}

QStringList CollectionStore::readMemos(const QStringList& titles) const
{
    const qsizetype count = titles.size();
    QStringList diskNames(count);
    QStringList memos(count);
    QString* const out = memos.data();
    const QString* const in = diskNames.constData();
    const OpenFolder folder(m_folder.path());
    readInParallel(
        count,
        [&](qsizetype i) {
            if (const QString name = titles[i] + MemoSuffix; !isProgramFile(name))
                diskNames[i] = m_folder.existingName(name);
        },
        [&](qsizetype i) {
            if (in[i].isEmpty())
                return;
            if (const std::optional<QByteArray> bytes = folder.read(in[i]))
                out[i] = memofile::parse(*bytes);
        },
        [](qsizetype) {});
    return memos;
}
