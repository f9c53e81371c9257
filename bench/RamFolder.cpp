#include "RamFolder.h"

#include <QFileInfo>
#include <QStorageInfo>

namespace ramfolder {

Choice find()
{
    const QString named = qEnvironmentVariable(EnvironmentVariable);
    const QString path = named.isEmpty() ? QStringLiteral("/dev/shm") : named;
    const QFileInfo info(path);
    if (!info.isDir() || !info.isWritable())
        return {{}, QStringLiteral("%1 is not a writable folder").arg(path)};
    const QByteArray type = QStorageInfo(path).fileSystemType();
    // A folder on a disk would measure the disk again under another name.
    if (type != "tmpfs" && type != "ramfs")
        return {
            {},
            QStringLiteral("%1 is on %2, not on a file system held in memory").arg(path, QString::fromLatin1(type))};
    return {info.absoluteFilePath(), QStringLiteral("%1 (%2)").arg(info.absoluteFilePath(), QString::fromLatin1(type))};
}

} // namespace ramfolder
