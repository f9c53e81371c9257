#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

// Writes a whole file so that it is either replaced completely or left as it was.
class FileWriter {
public:
    virtual ~FileWriter() = default;
    // Returns an empty string on success, else the reason in Japanese.
    virtual QString writeAtomically(const QString& absolutePath, const QByteArray& data) = 0;
};

// Temporary file, write, flush, error check, rename. Never falls back to writing in place.
class AtomicFileWriter final : public FileWriter {
public:
    QString writeAtomically(const QString& absolutePath, const QByteArray& data) override;
};

// The working folder, seen the way the data was made: names that differ only in letter case (A and a, Ｐ and
// ｐ) are one file. An index keyed by the case-folded name is built once and kept current by the writes and
// deletions made through this class; a lookup the index misses falls back to the exact name on disk.
class DataFolder final {
public:
    explicit DataFolder(const QString& path);

    QString path() const { return m_path; }
    void rescan();

    // Empty when name may be used as a file name inside this folder; else a Japanese reason (a path
    // separator, a control character, "." or "..", more than 255 bytes).
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
    // Appends data by rewriting the whole file atomically; a missing file is created.
    QString append(const QString& name, const QByteArray& data);
    // Deletes every spelling of name found in the folder, also those created behind the index. Returns false
    // when nothing was deleted.
    bool remove(const QString& name);

    // Replaces the writer, so that tests can make writes fail.
    void setWriter(std::unique_ptr<FileWriter> writer);

private:
    // The index is a cache of the disk, so a const lookup that finds a file the index missed may record it.
    void remember(const QString& diskName) const;
    void forget(const QString& diskName);
    QString pathOf(const QString& diskName) const { return m_path + QLatin1Char('/') + diskName; }

    QString m_path;
    mutable QHash<QString, QStringList> m_index; // folded name -> spellings on disk
    std::unique_ptr<FileWriter> m_writer;
};
