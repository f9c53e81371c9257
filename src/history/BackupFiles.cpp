#include "history/BackupFiles.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

QString BackupFiles::writeNew(const QString& path, const QByteArray& data)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return file.errorString();
    if (file.write(data) != data.size() || !file.flush() || ::fdatasync(file.handle()) != 0 ||
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

QStringList BackupFiles::writeEach(const QList<FileWriter::FileData>& files)
{
    return AtomicFileWriter().writeEachAtomically(files);
}

QString BackupFiles::remove(const QString& path)
{
    if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT)
        return qt_error_string(errno);
    return {};
}
