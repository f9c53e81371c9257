#include "store/AtomicFileWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSet>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

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

} // namespace

QString AtomicFileWriter::writeAtomically(const QString& absolutePath, const QByteArray& data)
{
    const QString target = followLinks(absolutePath);
    const QString staging = stagingPathFor(target);
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
        if (const QFileInfo old(target); old.exists())
            file.setPermissions(old.permissions());
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

QStringList AtomicFileWriter::writeEachAtomically(const QList<FileData>& files)
{
    QStringList reasons(files.size());
    // Plain system calls, as a batch may hold tens of thousands of small files: a QFile costs more per file
    // than the write itself.
    struct Staged {
        qsizetype index;
        QByteArray staging;
        QByteArray target;
    };
    QList<Staged> staged;
    staged.reserve(files.size());
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString target = files[i].missing ? files[i].absolutePath : followLinks(files[i].absolutePath);
        const QByteArray staging = QFile::encodeName(stagingPathFor(target));
        const int fd = ::open(staging.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            reasons[i] = QStringLiteral("一時ファイルを作れませんでした（%1）").arg(qt_error_string(errno));
            continue;
        }
        // Best effort, as for a single save.
        if (const std::optional<mode_t> mode = files[i].missing ? std::nullopt : permissionsOf(target))
            (void)::fchmod(fd, *mode);
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
            ::unlink(staging.constData());
            continue;
        }
        staged.append({i, staging, QFile::encodeName(target)});
    }

    // Every staged file's data must be on disk before any rename, as a single save syncs its own file first.
    QSet<QByteArray> folders;
    for (const Staged& s : std::as_const(staged))
        folders.insert(s.staging.left(s.staging.lastIndexOf('/') + 1));
    bool synced = true;
    for (const QByteArray& folder : std::as_const(folders)) {
        const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        synced = synced && fd >= 0 && ::syncfs(fd) == 0;
        if (fd >= 0)
            ::close(fd);
    }
    for (const Staged& s : std::as_const(staged)) {
        if (!synced) {
            // One file at a time, then.
            const int fd = ::open(s.staging.constData(), O_RDONLY | O_CLOEXEC);
            const bool ok = fd >= 0 && ::fsync(fd) == 0;
            const QString reason = qt_error_string(errno);
            if (fd >= 0)
                ::close(fd);
            if (!ok) {
                reasons[s.index] = QStringLiteral("ディスクへの書き出しに失敗しました（%1）").arg(reason);
                ::unlink(s.staging.constData());
                continue;
            }
        }
        if (std::rename(s.staging.constData(), s.target.constData()) != 0) {
            reasons[s.index] = QStringLiteral("ファイルを置き換えられませんでした（%1）").arg(qt_error_string(errno));
            ::unlink(s.staging.constData());
        }
    }
    return reasons;
}
