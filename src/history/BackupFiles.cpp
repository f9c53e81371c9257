#include "history/BackupFiles.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Puts the open file's data on disk.
bool syncFile(QFile& file)
{
    return file.flush() && ::fdatasync(file.handle()) == 0;
}

} // namespace

bool BackupFiles::link(const QString& from, const QString& to)
{
    return ::linkat(AT_FDCWD, QFile::encodeName(from).constData(), AT_FDCWD, QFile::encodeName(to).constData(),
                    AT_SYMLINK_FOLLOW) == 0;
}

QString BackupFiles::copy(const QString& from, const QString& to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return source.errorString();
    const QByteArray data = source.readAll();
    if (source.error() != QFileDevice::NoError)
        return source.errorString();
    return writeFile(to, data, true);
}

QString BackupFiles::writeNew(const QString& path, const QByteArray& data)
{
    // Not synced: a manifest cut short by a crash makes its generation show as damaged, nothing worse, while a
    // sync would wait for every link of the generation to reach the disk.
    return writeFile(path, data, false);
}

QString BackupFiles::writeFile(const QString& path, const QByteArray& data, bool sync)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return file.errorString();
    if (file.write(data) != data.size() || !file.flush() || (sync && !syncFile(file)) ||
        file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString().isEmpty() ? qt_error_string(errno) : file.errorString();
        file.close();
        QFile::remove(path);
        return reason;
    }
    return {};
}

QString BackupFiles::rename(const QString& from, const QString& to)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return qt_error_string(errno);
    return {};
}

QString BackupFiles::share(const QString& from, const QString& to, qint64* size)
{
    if (!link(from, to)) {
        // A file system without hard links (a FAT stick) or a file on another file system.
        if (const QString reason = copy(from, to); !reason.isEmpty())
            return reason;
    }
    const QFileInfo info(to);
    if (!info.exists())
        return QStringLiteral("作ったファイルが見つかりません");
    *size = info.size();
    return {};
}
