#include "store/AtomicFileWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSet>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

const QString AtomicFileWriter::StagingPrefix = QStringLiteral(".tanamiru✎");

namespace {

// The end of a chain of symbolic links (a dangling link's target is created); the path itself when the chain
// does not end.
QString followLinks(const QString& path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 64 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? path : info.absoluteFilePath();
}

// A fresh staging name in the target's folder, so that the final rename never crosses file systems.
QString stagingPathFor(const QString& target)
{
    static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString name = AtomicFileWriter::StagingPrefix;
    for (int i = 0; i < 8; ++i)
        name += QLatin1Char(Letters[QRandomGenerator::global()->bounded(int(sizeof Letters) - 1)]);
    return QFileInfo(target).absolutePath() + QLatin1Char('/') + name;
}

// The permission bits of the file at path, or nothing when there is none: one stat, where QFileInfo's permissions
// also ask the system what this user may do.
std::optional<mode_t> permissionsOf(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return info.st_mode & 0777;
}

// The file a save replaces, held from before the rename until after it. Dropping a file's last name frees its
// blocks, and for a file of megabytes that bookkeeping takes a millisecond or two; while the file is held, the
// rename only moves a name, and the blocks are freed when the hold is let go: for a large file on a worker thread,
// where nobody waits for it.
class ReplacedFile final {
public:
    explicit ReplacedFile(const QString& path) : m_fd(::open(QFile::encodeName(path).constData(), O_PATH | O_CLOEXEC))
    {
        if (m_fd >= 0 && ::fstat(m_fd, &m_info) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~ReplacedFile()
    {
        constexpr off_t WorthAWorker = 1024 * 1024;
        if (m_fd < 0)
            return;
        if (m_info.st_size < WorthAWorker)
            ::close(m_fd);
        else
            QThreadPool::globalInstance()->start([fd = m_fd] { ::close(fd); });
    }
    ReplacedFile(const ReplacedFile&) = delete;
    ReplacedFile& operator=(const ReplacedFile&) = delete;

    // The permission bits of the file replaced, or nothing when there was none.
    std::optional<mode_t> permissions() const
    {
        return m_fd >= 0 ? std::optional<mode_t>(m_info.st_mode & 0777) : std::nullopt;
    }

private:
    int m_fd;
    struct stat m_info {};
};

} // namespace

QString AtomicFileWriter::writeAtomically(const QString& absolutePath, const QByteArray& data)
{
    const QString target = followLinks(absolutePath);
    const QString staging = stagingPathFor(target);
    const ReplacedFile replaced(target);
    {
        // QSaveFile writes to a nameless file where the file system allows it, and gives it the staging name
        // only at commit, after its data is on disk.
        QSaveFile file(staging);
        // Writing in place would leave a cut-off file behind on failure.
        file.setDirectWriteFallback(false);
        if (!file.open(QIODevice::WriteOnly))
            return QStringLiteral("一時ファイルを作れませんでした（%1）").arg(file.errorString());

        const auto fail = [&file](const QString& what) {
            const QString reason = QStringLiteral("%1（%2）").arg(what, file.errorString());
            file.cancelWriting();
            return reason;
        };
        // Best effort, as QSaveFile itself does: some file systems keep no permissions.
        if (const std::optional<mode_t> mode = replaced.permissions())
            (void)::fchmod(file.handle(), *mode);
        if (file.write(data) != data.size())
            return fail(QStringLiteral("書き込みが途中で失敗しました"));
        // commit() does not report an error of its own final flush, so a full disk is caught here instead.
        if (!file.flush() || file.error() != QFileDevice::NoError)
            return fail(QStringLiteral("ディスクへの書き出しに失敗しました"));
        if (!file.commit())
            return QStringLiteral("ファイルを置き換えられませんでした（%1）").arg(file.errorString());
    }
    // One rename replaces the target: a reader, or a later start after a kill, sees the old file or the new
    // one, never part of each.
    if (std::rename(QFile::encodeName(staging).constData(), QFile::encodeName(target).constData()) != 0) {
        const QString reason = qt_error_string(errno);
        QFile::remove(staging);
        return QStringLiteral("ファイルを置き換えられませんでした（%1）").arg(reason);
    }
    return {};
}

QStringList FileWriter::writeEachAtomically(const QList<FileData>& files)
{
    QStringList reasons;
    reasons.reserve(files.size());
    for (const FileData& file : files)
        reasons.append(writeAtomically(file.absolutePath, file.data));
    return reasons;
}

namespace {

// The folder of the last path asked for, held open, so that a batch's files are created and renamed by their
// names within it rather than by a walk along the whole path each time.
class HeldFolder final {
public:
    HeldFolder() = default;
    ~HeldFolder()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    HeldFolder(const HeldFolder&) = delete;
    HeldFolder& operator=(const HeldFolder&) = delete;

    // The descriptor for the *at() calls and the name to give them: the folder's and the name within it, or
    // AT_FDCWD and the path itself when the folder cannot be opened.
    std::pair<int, const char*> locate(const QByteArray& path)
    {
        const qsizetype slash = path.lastIndexOf('/');
        if (slash < 0)
            return {AT_FDCWD, path.constData()};
        if (QByteArrayView(path.constData(), slash + 1) != m_folder) {
            if (m_fd >= 0)
                ::close(m_fd);
            m_folder = path.left(slash + 1);
            // Held as a place only: a folder that may be written to but not listed serves as well.
            m_fd = ::open(m_folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        }
        if (m_fd < 0)
            return {AT_FDCWD, path.constData()};
        return {m_fd, path.constData() + slash + 1};
    }

private:
    QByteArray m_folder;
    int m_fd = -1;
};

// Where a batch's file goes and the permission bits it keeps: what followLinks and permissionsOf give, from one
// lstat within the held folder rather than two QFileInfo lookups along the whole path. Only a link is followed
// the long way.
struct BatchTarget {
    QByteArray path;
    std::optional<mode_t> mode;
};

BatchTarget batchTarget(const FileWriter::FileData& file, HeldFolder& folder)
{
    QByteArray path = QFile::encodeName(file.absolutePath);
    if (file.missing)
        return {path, std::nullopt};
    struct stat info {};
    const auto [at, name] = folder.locate(path);
    if (::fstatat(at, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return {path, std::nullopt};
    if (!S_ISLNK(info.st_mode))
        return {path, mode_t(info.st_mode & 0777)};
    const QString target = followLinks(file.absolutePath);
    return {QFile::encodeName(target), permissionsOf(target)};
}

// A fresh staging name beside target, as stagingPathFor makes for a single save; each thread draws its letters
// from a generator of its own, seeded once, rather than all of them from the shared, locked one.
QByteArray stagingBeside(const QByteArray& target)
{
    static const QByteArray prefix = QFile::encodeName(AtomicFileWriter::StagingPrefix);
    static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 random(QRandomGenerator::global()->generate64());
    QByteArray staging;
    const qsizetype folderEnd = target.lastIndexOf('/') + 1;
    staging.reserve(folderEnd + prefix.size() + 8);
    staging.append(target.constData(), folderEnd);
    staging += prefix;
    for (int i = 0; i < 8; ++i)
        staging += Letters[random() % (sizeof Letters - 1)];
    return staging;
}

// The permission bits a file created with 0666 gets: 0666 less the process's umask, as /proc tells it without
// changing it (umask() itself would change it for every thread while asked). Nothing when /proc cannot say.
std::optional<mode_t> createdMode()
{
    static const std::optional<mode_t> mode = []() -> std::optional<mode_t> {
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly))
            return std::nullopt;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (!line.startsWith("Umask:"))
                continue;
            bool ok = false;
            const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
            return ok ? std::optional(mode_t(0666 & ~mask)) : std::nullopt;
        }
        return std::nullopt;
    }();
    return mode;
}

struct Staged {
    qsizetype index;
    QByteArray staging;
    QByteArray target;
};

// Writes files[begin, end) to staging files beside their targets, with plain system calls: a batch may hold tens
// of thousands of small files, and a QFile costs more per file than the write itself. A failure is put in
// reasons; the rest are appended to staged.
void stage(const QList<FileWriter::FileData>& files, qsizetype begin, qsizetype end, QString* reasons,
           QList<Staged>& staged)
{
    staged.reserve(end - begin);
    HeldFolder folder;
    for (qsizetype i = begin; i < end; ++i) {
        const BatchTarget target = batchTarget(files[i], folder);
        const QByteArray staging = stagingBeside(target.path);
        const auto [at, stagingName] = folder.locate(staging);
        const int fd = ::openat(at, stagingName, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            reasons[i] = QStringLiteral("一時ファイルを作れませんでした（%1）").arg(qt_error_string(errno));
            continue;
        }
        // Best effort, as for a single save; a file that replaces one of the usual mode is made with it already.
        if (target.mode && target.mode != createdMode())
            (void)::fchmod(fd, *target.mode);
        const QByteArray& data = files[i].data;
        int error = 0;
        for (qsizetype done = 0; done < data.size() && error == 0;) {
            const ssize_t step = ::write(fd, data.constData() + done, size_t(data.size() - done));
            if (step > 0)
                done += step;
            else if (step == 0)
                error = EIO;
            else if (errno != EINTR)
                error = errno; // a full disk: ENOSPC
        }
        if (::close(fd) != 0 && error == 0)
            error = errno;
        if (error != 0) {
            reasons[i] = QStringLiteral("書き込みが途中で失敗しました（%1）").arg(qt_error_string(error));
            ::unlinkat(at, stagingName, 0);
            continue;
        }
        staged.append({i, staging, target.path});
    }
}

// Puts each staged file of [begin, end) in place of its target; when synced is false, syncs each file first.
void commit(const Staged* begin, const Staged* end, bool synced, QString* reasons)
{
    HeldFolder stagingFolder;
    HeldFolder targetFolder;
    for (const Staged* s = begin; s != end; ++s) {
        const auto [stagingAt, stagingName] = stagingFolder.locate(s->staging);
        if (!synced) {
            // One file at a time, then.
            const int fd = ::open(s->staging.constData(), O_RDONLY | O_CLOEXEC);
            const bool ok = fd >= 0 && ::fsync(fd) == 0;
            const QString reason = qt_error_string(errno);
            if (fd >= 0)
                ::close(fd);
            if (!ok) {
                reasons[s->index] = QStringLiteral("ディスクへの書き出しに失敗しました（%1）").arg(reason);
                ::unlinkat(stagingAt, stagingName, 0);
                continue;
            }
        }
        const auto [targetAt, targetName] = targetFolder.locate(s->target);
        if (::renameat(stagingAt, stagingName, targetAt, targetName) != 0) {
            reasons[s->index] = QStringLiteral("ファイルを置き換えられませんでした（%1）").arg(qt_error_string(errno));
            ::unlinkat(stagingAt, stagingName, 0);
        }
    }
}

// Runs work(part, begin, end) over [0, count): part 0, the first half, on a worker thread and part 1 here, when
// there are enough items for a second thread to pay and the halves may run in any order; else part 0 is all.
template <typename Work> void inTwoHalves(qsizetype count, bool orderMatters, const Work& work)
{
    constexpr qsizetype EnoughForTwo = 256;
    if (count < EnoughForTwo || orderMatters) {
        work(0, 0, count);
        return;
    }
    const qsizetype half = count / 2;
    QFuture<void> first = QtConcurrent::run([&] { work(0, 0, half); });
    work(1, half, count);
    first.waitForFinished();
}

} // namespace

QStringList AtomicFileWriter::writeEachAtomically(const QList<FileData>& files)
{
    // Creating and renaming hold the folder's lock, but the rest of each file's work (the names, the data copied
    // in, the closing) runs on two cores.
    std::vector<QString> reasons(files.size());
    QList<Staged> staged[2];
    inTwoHalves(files.size(), false, [&](int part, qsizetype begin, qsizetype end) {
        stage(files, begin, end, reasons.data(), staged[part]);
    });
    staged[0].append(std::move(staged[1]));
    const QList<Staged>& all = staged[0];

    // Every staged file's data must be on disk before any rename, as a single save syncs its own file first.
    QSet<QByteArray> folders;
    // A target named twice ends with the later file, as when the files are written one by one: such a batch
    // is renamed in order.
    QSet<QByteArray> targets;
    targets.reserve(all.size());
    bool repeated = false;
    for (const Staged& s : all) {
        folders.insert(s.staging.left(s.staging.lastIndexOf('/') + 1));
        if (!repeated) {
            const qsizetype before = targets.size();
            targets.insert(s.target);
            repeated = targets.size() == before;
        }
    }
    bool synced = true;
    for (const QByteArray& folder : std::as_const(folders)) {
        const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        synced = synced && fd >= 0 && ::syncfs(fd) == 0;
        if (fd >= 0)
            ::close(fd);
    }
    inTwoHalves(all.size(), repeated, [&](int, qsizetype begin, qsizetype end) {
        commit(all.constData() + begin, all.constData() + end, synced, reasons.data());
    });
    return QStringList(reasons.begin(), reasons.end());
}
