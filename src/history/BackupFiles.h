#pragma once

#include <QByteArray>
#include <QString>

// The file operations backups are made of. Tests replace them to make a link, a copy or a rename fail.
class BackupFiles {
public:
    virtual ~BackupFiles() = default;

    // Makes a new hard link to the file at from (symbolic links followed). False when the file system refuses.
    virtual bool link(const QString& from, const QString& to);
    // Copies from to a new file at to, its data on disk before this returns. Empty, or the reason.
    virtual QString copy(const QString& from, const QString& to);
    // Writes a new file (not waiting for its data to reach the disk). Empty, or the reason.
    virtual QString writeNew(const QString& path, const QByteArray& data);
    // Renames from over to in one step. Empty, or the reason.
    virtual QString rename(const QString& from, const QString& to);

    // Makes to hold what from holds: a link where the file system allows one, else a copy. Every program write
    // replaces a file by renaming a new one over it, so a linked file is never changed by a later save. Its size
    // goes to *size. Empty, or the reason.
    QString share(const QString& from, const QString& to, qint64* size);

private:
    static QString writeFile(const QString& path, const QByteArray& data, bool sync);
};
