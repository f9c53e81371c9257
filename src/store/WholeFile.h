#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Reading a whole file with as little around it as the system allows: one open, one fstat of the open file and
// reads to its end. Safe to call from worker threads: it touches nothing but the file.
namespace wholefile {

// What fstat said of the very file that was read, so that a fingerprint never pairs one file's content with
// another file's times (the file may be replaced between a read and a later stat).
struct Stamp {
    qint64 modifiedMs = 0; // milliseconds since the epoch, UTC
};

// The whole content of the file at path, or nullopt when it cannot be opened or read (missing, a directory, an
// I/O error), errno then saying why. Symbolic links are followed. stamp, when given, is filled only on success.
std::optional<QByteArray> read(const QString& path, Stamp* stamp = nullptr);

// The same for the file name inside the folder open as folderFd (a descriptor from openFolder), which spares the
// system walking the folder's own path for every file of a bulk read.
std::optional<QByteArray> readAt(int folderFd, const QString& name, Stamp* stamp = nullptr);

// The same for a name that a listing of the folder has just shown as a regular file: a file of a few kilobytes,
// as nearly every file of a collection is, is read whole by one read into a buffer of its own and costs no
// fstat. Only a regular file ends where a read comes up short, hence the condition.
std::optional<QByteArray> readRegularAt(int folderFd, const QString& name);
// A descriptor of the folder for readAt, or -1; closeFolder(-1) does nothing.
int openFolder(const QString& path);
void closeFolder(int folderFd);

// The modification time of the file at path, or 0 when it cannot be seen.
qint64 modifiedMs(const QString& path);

} // namespace wholefile
