#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

// Writes a whole file so that it is either replaced completely or left as it was.
class FileWriter {
public:
    virtual ~FileWriter() = default;
    // Returns an empty string on success, else the reason in Japanese.
    virtual QString writeAtomically(const QString& absolutePath, const QByteArray& data) = 0;

    struct FileData {
        QString absolutePath;
        QByteArray data;
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

// The working folder, seen the way the data was made: names that differ only in letter case (A and a, Ｐ and
// ｐ) are one file. An index keyed by the case-folded name is built once and kept current by the writes and
// deletions made through this class; a lookup the index misses falls back to the exact name on disk.
class DataFolder final {
public:
    explicit DataFolder(const QString& path);

    QString path() const { return m_path; }
    // Rebuilds the index. Staging files, left by a save that was killed before its last step, are deleted
    // and never indexed: the file each was meant to replace is whole in its old version.
    void rescan();

    // Empty when name may be used as a file name inside this folder; else a Japanese reason (a path
    // separator, a control character, "." or "..", more than 255 bytes, a staging file's name).
    static QString checkFileName(const QString& name);

    // The spelling on disk of the file that name designates (the exact spelling when it exists), or an empty
    // string when there is none or name is not a valid file name.
    QString existingName(const QString& name) const;
    bool exists(const QString& name) const { return !existingName(name).isEmpty(); }
    // Absolute path of the existing spelling, or empty.
    QString existingPath(const QString& name) const;

    // Whole content of the file, or nullopt when it is missing or unreadable.
    std::optional<QByteArray> read(const QString& name) const;

    // Replaces the file atomically, reusing the spelling already on disk so that no case twin is created.
    // Returns an empty string on success, else a Japanese message naming the file and the reason.
    QString write(const QString& name, const QByteArray& data);
    // Replaces many files, each as write() does; entry i of the result is empty or the message for files[i].
    QStringList writeEach(const QList<std::pair<QString, QByteArray>>& files);
    // Appends data by rewriting the whole file atomically; a missing file is created. The old content becomes
    // appended(old, data).
    QString append(const QString& name, const QByteArray& data);
    // The old content followed by data on a line of its own: CR LF is put first when the last line that holds
    // more than spaces and tabs has no line break, and the blank lines after it are dropped, since a reader
    // would take a blank line in front of the data for an empty field.
    static QByteArray appended(const QByteArray& old, const QByteArray& data);
    // Deletes every spelling of name found in the folder, also those created behind the index. Returns false
    // when nothing was deleted.
    bool remove(const QString& name);
    // The same for many names with one listing of the folder, so that deleting the files of a whole collection
    // stays linear. Returns how many files were deleted.
    int remove(const QStringList& names);

    // Replaces the writer, so that tests can make writes fail.
    void setWriter(std::unique_ptr<FileWriter> writer);
    // Runs before every write and deletion made through this folder (a backup taken at the day's first change).
    void setBeforeChange(std::function<void()> hook) { m_beforeChange = std::move(hook); }

private:
    // The index is a cache of the disk, so a const lookup that finds a file the index missed may record it.
    void remember(const QString& diskName) const;
    void forget(const QString& diskName);
    QString pathOf(const QString& diskName) const { return m_path + QLatin1Char('/') + diskName; }
    void beforeChange() const
    {
        if (m_beforeChange)
            m_beforeChange();
    }

    QString m_path;
    mutable QHash<QString, QStringList> m_index; // folded name -> spellings on disk
    std::unique_ptr<FileWriter> m_writer;
    std::function<void()> m_beforeChange;
};
