#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Writes a whole file so that it is either replaced completely or left as it was.
class FileWriter {
public:
    virtual ~FileWriter() = default;
    // Returns an empty string on success, else the reason in Japanese.
    virtual QString writeAtomically(const QString& absolutePath, const QByteArray& data) = 0;

    struct FileData {
        QString absolutePath;
        QByteArray data;
        // Known to be missing just before (a listing of the folder said so): there is no link to follow and no
        // permissions to keep, and asking the disk again would cost two system calls a file.
        bool missing = false;
    };
    // Writes each file as writeAtomically does; entry i of the result is empty or the reason for files[i].
    // Files are written one after the other unless a writer can do better.
    virtual QStringList writeEachAtomically(const QList<FileData>& files);
};

// Writes a staging file beside the target (write, flush, error check, commit with QSaveFile), then renames it
// over the target. Never falls back to writing in place. A process killed at any point leaves the target whole,
// old or new; the only other thing it can leave is a staging file, which DataFolder deletes when it scans.
// Symbolic links are followed, so a linked file is updated where it lives; a replaced file keeps its
// permissions.
class AtomicFileWriter final : public FileWriter {
public:
    // Every name a save creates besides its target starts with this, and no data file's name ever does: it
    // holds a character code page 932 cannot hold, while data file names are made from titles, which are
    // code page 932 text. Staging names are short and of fixed length, so a target whose name is at the
    // 255-byte limit can still be replaced.
    static const QString StagingPrefix;

    QString writeAtomically(const QString& absolutePath, const QByteArray& data) override;
    // Stages every file first, puts all their data on disk with one flush per file system instead of one per
    // file, then renames each over its target: the guarantee of writeAtomically for each file, at the cost of
    // one save for thousands of small files.
    QStringList writeEachAtomically(const QList<FileData>& files) override;
};
