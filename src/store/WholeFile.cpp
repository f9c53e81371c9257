#include "store/WholeFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace wholefile {

namespace {

qint64 toMs(const struct timespec& time)
{
    return qint64(time.tv_sec) * 1000 + time.tv_nsec / 1000000;
}

int openForReading(int folderFd, const QByteArray& path)
{
    int fd;
    do {
        fd = ::openat(folderFd, path.constData(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Reads to the end of the file. The size fstat gave is only where to start: a file that grows or shrinks while
// it is read is read as far as it goes. A regular file answers a read short only at its end, so for one (regular)
// a short read ends the reading without the extra read that would return nothing.
bool readToEnd(int fd, qint64 sizeHint, bool regular, QByteArray* data)
{
    qsizetype capacity = qsizetype(qBound<qint64>(0, sizeHint, qint64(1) << 30)) + 1;
    data->resize(capacity);
    qsizetype total = 0;
    for (;;) {
        if (total == capacity) {
            capacity *= 2;
            data->resize(capacity);
        }
        const ssize_t got = ::read(fd, data->data() + total, size_t(capacity - total));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (got == 0)
            break;
        total += got;
        if (regular && total < capacity)
            break;
    }
    data->resize(total);
    return true;
}

// Reads the file open as fd (nothing for -1) and closes it.
std::optional<QByteArray> readOpened(int fd, Stamp* stamp)
{
    if (fd < 0)
        return std::nullopt;
    struct stat info;
    QByteArray data;
    bool ok = ::fstat(fd, &info) == 0;
    // A directory opens for reading on Linux but holds no content.
    if (ok && S_ISDIR(info.st_mode)) {
        errno = EISDIR;
        ok = false;
    }
    ok = ok && readToEnd(fd, info.st_size, S_ISREG(info.st_mode), &data);
    const int error = errno;
    ::close(fd);
    if (!ok) {
        errno = error;
        return std::nullopt;
    }
    if (stamp)
        stamp->modifiedMs = toMs(info.st_mtim);
    return data;
}

} // namespace

std::optional<QByteArray> read(const QString& path, Stamp* stamp)
{
    return readOpened(openForReading(AT_FDCWD, QFile::encodeName(path)), stamp);
}

std::optional<QByteArray> readAt(int folderFd, const QString& name, Stamp* stamp)
{
    return readOpened(openForReading(folderFd, QFile::encodeName(name)), stamp);
}

std::optional<QByteArray> readRegularAt(int folderFd, const QString& name)
{
    const int fd = openForReading(folderFd, QFile::encodeName(name));
    if (fd < 0)
        return std::nullopt;
    char first[16 * 1024];
    ssize_t got;
    do {
        got = ::read(fd, first, sizeof first);
    } while (got < 0 && errno == EINTR);
    if (got >= 0 && size_t(got) < sizeof first) {
        ::close(fd);
        return QByteArray(first, qsizetype(got));
    }
    // A larger file (or a read that failed) is read again from its start the usual way, which says why.
    if (got < 0 || ::lseek(fd, 0, SEEK_SET) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return std::nullopt;
    }
    return readOpened(fd, nullptr);
}

int openFolder(const QString& path)
{
    return ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

void closeFolder(int folderFd)
{
    if (folderFd >= 0)
        ::close(folderFd);
}

qint64 modifiedMs(const QString& path)
{
    struct stat info;
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return toMs(info.st_mtim);
}

} // namespace wholefile
