#pragma once

#include "store/AtomicFileWriter.h"
#include "store/TextKeys.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

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

    // While it lives, the index that rescanTrusted() just built answers for the names it lacks too: they are
    // missing, and nothing but a file stands where they go unless the listing showed it, without asking the disk
    // again. For a batch of thousands of new files written right after the listing, where each lookup would
    // cost a system call or more. A file another program makes meanwhile may be replaced unseen, as it could
    // be between any check and its write.
    class TrustedScan final {
    public:
        explicit TrustedScan(DataFolder& folder) : m_folder(folder) {}
        ~TrustedScan();
        TrustedScan(const TrustedScan&) = delete;
        TrustedScan& operator=(const TrustedScan&) = delete;

    private:
        DataFolder& m_folder;
    };
    [[nodiscard]] TrustedScan rescanTrusted();
    // Rebuilds the index from names, the files the folder is known to hold (a listing made moments ago, with
    // the writes and deletions made since), rather than listing it again.
    void reindex(const QStringList& names);

    // Empty when name may be used as a file name inside this folder; else a Japanese reason (a path
    // separator, a control character, "." or "..", more than 255 bytes, a staging file's name).
    static QString checkFileName(const QString& name);
    // The bytes of text in UTF-8, the length a file name is limited by; a lone surrogate counts as three.
    static qsizetype utf8Length(QStringView text);
    // Each name's letter-case-folded form, in order: a list of tens of thousands of names is folded on every core.
    static QStringList foldedAll(const QStringList& names);
    // The names a listing of folder with QDir::Files | QDir::Hidden | QDir::System shows, in no particular
    // order: read with readdir, which for a folder of tens of thousands of files takes a fraction of the time.
    static QStringList fileNames(const QString& folder);

    // The spelling on disk of the file that name designates (the exact spelling when it exists), or an empty
    // string when there is none or name is not a valid file name.
    QString existingName(const QString& name) const;
    // The same, for a caller that has the name's folded form (QString::toCaseFolded) at hand.
    QString existingName(const QString& name, const QString& folded) const;
    bool exists(const QString& name) const { return !existingName(name).isEmpty(); }
    // Absolute path of the existing spelling, or empty.
    QString existingPath(const QString& name) const;

    // Whole content of the file, or nullopt when it is missing or unreadable.
    std::optional<QByteArray> read(const QString& name) const;

    // Replaces the file atomically, reusing the spelling already on disk so that no case twin is created.
    // Returns an empty string on success, else a Japanese message naming the file and the reason.
    QString write(const QString& name, const QByteArray& data);
    // Empty when write(name) can replace or create the file as far as can be told before writing: name is a file
    // name and nothing but a file (a folder, say) stands where it goes; else a Japanese message naming it.
    QString placeProblem(const QString& name) const;
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

    // Every spelling on disk of each of names, with one listing of the folder (the index may not know files put
    // there by hand), so that a deletion can be put back byte for byte.
    QStringList spellingsOf(const QStringList& names) const;
    // Whole content of the file of exactly this spelling, or nullopt.
    std::optional<QByteArray> readExact(const QString& diskName) const;
    // Replaces or creates the file with exactly this spelling, also beside a twin that differs only in letter
    // case: how a deleted spelling is put back. Messages as write().
    QString writeExact(const QString& diskName, const QByteArray& data);
    // Deletes the file of exactly this spelling; false when it could not be deleted.
    bool removeExact(const QString& diskName);
    // Deletes the one file name stands for: exactly this spelling when it is on disk, else the spelling the
    // index knows; twins differing in letter case stay. True when no such file is left.
    bool removeOne(const QString& name);

    // Replaces the writer, so that tests can make writes fail.
    void setWriter(std::unique_ptr<FileWriter> writer);
    // Runs before every write and deletion made through this folder (a backup taken at the day's first change).
    void setBeforeChange(std::function<void()> hook) { m_beforeChange = std::move(hook); }
    // The files an undo step changed: every name written or deleted through this folder, in order, and for the
    // names whose last change was a whole write that succeeded, the spelling on disk and the bytes written, so
    // that the step learns what the file holds without reading it back.
    struct WriteLog {
        // As given, and folded.
        QList<std::pair<QString, QString>> names;
        // Folded name -> spelling on disk and bytes.
        QHash<TextKey, std::pair<QString, QByteArray>> written;
    };
    // While set, every write and deletion through this folder is added to *log; nullptr stops the log.
    void setWriteLog(WriteLog* log) { m_writeLog = log; }

private:
    // existingName for a name already found a valid file name.
    QString existingChecked(const QString& name, const QString& folded) const;
    // The index is a cache of the disk, so a const lookup that finds a file the index missed may record it.
    void remember(const QString& diskName) const { remember(diskName, diskName.toCaseFolded()); }
    // The same, for callers that folded the name already: a batch folds each of its names once.
    void remember(const QString& diskName, const QString& folded) const;
    void forget(const QString& diskName);
    // Every spelling on disk whose folded name is in folded, with one listing of the folder.
    QStringList spellingsOnDisk(const QSet<QString>& folded) const;
    // Deletes the files of exactly these spellings and drops them from the index; how many were deleted.
    int removeSpellings(const QStringList& spellings);
    QString pathOf(const QString& diskName) const { return m_path + QLatin1Char('/') + diskName; }
    void scan(QHash<TextKey, QString>* others);
    void sortTwins();
    void beforeChange() const
    {
        if (m_beforeChange)
            m_beforeChange();
    }
    // Before each write or deletion: until it succeeds, nothing is known of what the file holds.
    void logWrite(const QString& name) const
    {
        if (m_writeLog)
            logWrite(name, name.toCaseFolded());
    }
    void logWrite(const QString& name, const QString& folded) const
    {
        if (m_writeLog) {
            m_writeLog->names.append({name, folded});
            m_writeLog->written.remove({folded});
        }
    }
    void logWritten(const QString& diskName, const QByteArray& data) const
    {
        if (m_writeLog)
            logWritten(diskName, diskName.toCaseFolded(), data);
    }
    void logWritten(const QString& diskName, const QString& folded, const QByteArray& data) const
    {
        if (m_writeLog)
            m_writeLog->written.insert({folded}, {diskName, data});
    }

    QString m_path;
    // Folded name -> the spelling on disk a lookup gives when the exact name is not there (the first twin).
    mutable QHash<TextKey, QString> m_index;
    // Folded name -> every spelling on disk, kept only for the rare names that have more than one.
    mutable QHash<TextKey, QStringList> m_twins;
    // While a TrustedScan lives: folded name -> spelling of every entry the listing showed that is no file.
    std::optional<QHash<TextKey, QString>> m_trustedOthers;
    std::unique_ptr<FileWriter> m_writer;
    std::function<void()> m_beforeChange;
    WriteLog* m_writeLog = nullptr;
};
