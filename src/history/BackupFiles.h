#pragma once

#include "store/AtomicFileWriter.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The file operations backups are made of. Tests replace them to make a write, a rename or a deletion fail.
class BackupFiles {
public:
    virtual ~BackupFiles() = default;

    // Writes a new file, its data on disk before this returns. Empty, or the reason.
    virtual QString writeNew(const QString& path, const QByteArray& data);
    // Renames from over to in one step. Empty, or the reason.
    virtual QString rename(const QString& from, const QString& to);
    // Replaces files of the data folder, each atomically; entry i is empty or the reason for files[i].
    virtual QStringList writeEach(const QList<FileWriter::FileData>& files);
    // Deletes a file of the data folder. Empty, or the reason.
    virtual QString remove(const QString& path);
};
